#include "cli/cli_args.h"

#include <charconv>
#include <cstdlib>
#include <string_view>

namespace velmor {
namespace {

bool ParseInt(std::string_view text, int& value) {
  if (text.empty()) return false;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end;
}

// "hh:mm" as a minute of the day.
bool ParseClock(std::string_view text, int& minutes) {
  int h = 0, m = 0;
  const size_t colon = text.find(':');
  if (colon == std::string_view::npos || !ParseInt(text.substr(0, colon), h) ||
      !ParseInt(text.substr(colon + 1), m) || h < 0 || h > 23 || m < 0 || m > 59) {
    return false;
  }
  minutes = h * 60 + m;
  return true;
}

bool IsPlanOption(std::string_view name) {
  return name == "--changes" || name == "--min-change" || name == "--city-change" ||
         name == "--max-wait" || name == "--from-time";
}

// Takes the value of a plan option; says why when it is out of range, "" otherwise.
std::string SetPlanOption(CliOptions& o, std::string_view name, std::string_view value) {
  int n = 0;
  if (name == "--from-time") {
    if (!ParseClock(value, n)) return "--from-time needs a time hh:mm";
    o.FromTime = n;
  } else if (name == "--changes") {
    if (!ParseInt(value, n) || n < 1 || n > 2) return "--changes must be 1 or 2";
    o.Changes = n;
  } else {
    if (!ParseInt(value, n) || n < 0 || n > 1439)
      return std::string(name) + " needs minutes 0-1439";
    (name == "--min-change" ? o.MinChange : name == "--city-change" ? o.CityChange : o.MaxWait) = n;
  }
  return {};
}

bool TakesValue(std::string_view name) {
  return name == "--tables" || name == "--timetable" || name == "--sort" || name == "--detail" ||
         name == "--format" || name == "--export" || name == "--print" || name == "--via" ||
         name == "--date" || name == "--line-factor" || name == "--cities";
}

}  // namespace

std::string CliUsage() {
  return "usage: velmor-cli [--tables DIR | --timetable FILE] [--sf] [--zd] [--jq] [--dc] [--sort "
         "N]... "
         "[--detail ROW]\n"
         "                  [--format table|csv|json] [--export FILE] [--print FILE.pdf] "
         "COMMAND ARGS\n"
         "commands:\n"
         "  zz FROM TO            station to station (查询)\n"
         "  zzz FROM TO           transfer stations (中转)\n"
         "  zzz FROM TO --via S   the two legs through transfer station S\n"
         "  cc NUMBER             train number\n"
         "  cz STATION            all trains of a station\n"
         "  plan FROM TO          journeys with real changes, earliest arrival first per "
         "departure\n"
         "  import FEED OUT       turn a GTFS feed (zip or folder) into the timetable file OUT\n"
         "                        [--date yyyy-mm-dd] [--line-factor F] [--cities FILE]\n"
         "options:\n"
         "  --tables DIR          read SPY.txt, SLIST.txt, SM.txt, STRAIN.txt from DIR\n"
         "  --timetable FILE      use a timetable file (made by the import command)\n"
         "  --sf --zd --jq --dc   check 始发车, 终到车, 精确站名, 仅动车 after the query\n"
         "  --sort N              click header label N (1-15; 1-9 for the transfer list)\n"
         "  --detail ROW          the stop list of shown row ROW (counted from 0)\n"
         "  --format F            table (default on a terminal), csv (default otherwise), json\n"
         "  --export FILE         write what is shown as a comma-separated GBK file\n"
         "  --print FILE.pdf      print what is shown into a PDF file\n"
         "  --changes 1|2         plan: most changes (1)\n"
         "  --min-change M        plan: minutes to change at one station (30)\n"
         "  --city-change M       plan: minutes to change to another station of the city (90)\n"
         "  --max-wait W          plan: longest wait in minutes; 1439, the default, is no limit\n"
         "  --from-time hh:mm     plan: list from this departure time round the clock (00:00)\n"
         "  --date D              import: the service day (default: today when the feed\n"
         "                        runs then, else its first day)\n"
         "  --line-factor F       import: great-circle distance x F where the feed has none "
         "(1.15)\n"
         "  --cities FILE         import: \"station,city\" lines that set same-city groups\n"
         "  --help                this text\n"
         "json: an array of objects whose values are the texts shown, under these keys\n"
         "  rows:      train start end type from depart to arrive stops km duration\n"
         "             hard_seat soft_seat hard_sleeper soft_sleeper\n"
         "  zzz list:  station first_km second_km km first_duration second_duration duration\n"
         "             first_trains second_trains\n"
         "  plan:      depart arrive duration changes trains via waits km hard_seat soft_seat\n"
         "             hard_sleeper soft_sleeper, and legs: an array of objects with train from\n"
         "             depart to arrive duration wait stops km and the four fares\n"
         "  --detail:  stop station km arrive depart day elapsed speed stretch (\"1\" or \"0\")\n"
         "exit status: 0 done; 1 tables, export, print, import or writing the output failed;\n"
         "  2 input refused (also a --detail row or --via station not shown); 64 usage\n";
}

std::optional<CliOptions> ParseCliArgs(const std::vector<std::string>& args, std::string* error) {
  auto fail = [&](const std::string& why) -> std::optional<CliOptions> {
    if (error) *error = why;
    return std::nullopt;
  };
  CliOptions o;
  std::vector<std::string> positional;
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (optionsEnded || a.size() < 2 || a[0] != '-') {
      positional.push_back(a);
      continue;
    }
    if (a == "--") {
      optionsEnded = true;
      continue;
    }
    if (a == "--help" || a == "-h") {
      o.Help = true;
      return o;
    }
    std::string name = a;
    std::optional<std::string> value;
    if (const size_t eq = a.find('='); eq != std::string::npos && a.starts_with("--")) {
      name = a.substr(0, eq);
      value = a.substr(eq + 1);
    }
    if (name == "--sf" || name == "--zd" || name == "--jq" || name == "--dc") {
      if (value) return fail("option " + name + " takes no value");
      if (name == "--sf") o.SF = true;
      if (name == "--zd") o.ZD = true;
      if (name == "--jq") o.JQ = true;
      if (name == "--dc") o.DC = true;
      continue;
    }
    if (!TakesValue(name) && !IsPlanOption(name)) return fail("unknown option " + a);
    if (!value) {
      if (i + 1 >= args.size()) return fail("option " + name + " needs a value");
      value = args[++i];
    }
    if (IsPlanOption(name)) {
      if (const std::string why = SetPlanOption(o, name, *value); !why.empty()) return fail(why);
    } else if (name == "--tables" || name == "--timetable" || name == "--export" ||
               name == "--print" || name == "--via") {
      if (value->empty()) return fail("option " + name + " needs a value");
      if (name == "--tables") o.TablesDir = *value;
      if (name == "--timetable") o.TimetableFile = *value;
      if (name == "--export") o.ExportFile = *value;
      if (name == "--print") o.PrintFile = *value;
      if (name == "--via") o.Via = *value;
    } else if (name == "--date" || name == "--cities") {
      if (value->empty()) return fail("option " + name + " needs a value");
      (name == "--date" ? o.ImportDate : o.CitiesFile) = *value;
    } else if (name == "--line-factor") {
      char* end = nullptr;
      const double f = std::strtod(value->c_str(), &end);
      if (value->empty() || *end != '\0' || !(f >= 1.0 && f <= 3.0)) {
        return fail("--line-factor needs a number from 1 to 3");
      }
      o.LineFactor = f;
    } else if (name == "--sort") {
      int n = 0;
      if (!ParseInt(*value, n) || n < 1 || n > 15) return fail("--sort needs a number 1-15");
      o.Sorts.push_back(n);
    } else if (name == "--detail") {
      int n = 0;
      if (!ParseInt(*value, n) || n < 0) return fail("--detail needs a row number from 0");
      o.DetailRow = n;
    } else if (*value == "table") {
      o.Format = CliFormat::Table;
    } else if (*value == "csv") {
      o.Format = CliFormat::Csv;
    } else if (*value == "json") {
      o.Format = CliFormat::Json;
    } else {
      return fail("--format must be table, csv or json");
    }
  }

  if (positional.empty()) return fail("no command");
  const std::string& command = positional[0];
  size_t wanted = 0;
  if (command == "zz") {
    o.Command = CliCommand::ZZ;
    wanted = 2;
  } else if (command == "zzz") {
    o.Command = CliCommand::ZZZ;
    wanted = 2;
  } else if (command == "cc") {
    o.Command = CliCommand::CC;
    wanted = 1;
  } else if (command == "cz") {
    o.Command = CliCommand::CZ;
    wanted = 1;
  } else if (command == "plan") {
    o.Command = CliCommand::Plan;
    wanted = 2;
  } else if (command == "import") {
    o.Command = CliCommand::Import;
    wanted = 2;
  } else {
    return fail("unknown command " + command);
  }
  if (positional.size() - 1 != wanted) return fail("wrong number of arguments for " + command);
  o.Args.assign(positional.begin() + 1, positional.end());

  const bool importOptions = !o.ImportDate.empty() || o.LineFactor || !o.CitiesFile.empty();
  if (importOptions && o.Command != CliCommand::Import) {
    return fail("--date, --line-factor and --cities belong to import");
  }
  if (!o.TablesDir.empty() && !o.TimetableFile.empty()) {
    return fail("--tables and --timetable exclude each other");
  }
  if (o.Via && o.Command != CliCommand::ZZZ) return fail("--via belongs to zzz");
  const bool planOptions = o.Changes || o.MinChange || o.CityChange || o.MaxWait || o.FromTime;
  if (planOptions && o.Command != CliCommand::Plan) {
    return fail(
        "--changes, --min-change, --city-change, --max-wait and --from-time belong to plan");
  }
  if (o.Command == CliCommand::Plan &&
      (o.SF || o.ZD || o.JQ || o.DC || !o.Sorts.empty() || o.DetailRow || !o.PrintFile.empty())) {
    return fail("plan takes neither filters, --sort, --detail nor --print");
  }
  if (o.Command == CliCommand::ZZZ && !o.Via) {
    for (int n : o.Sorts) {
      if (n > 9) return fail("the transfer list has 9 header labels");
    }
    if (o.DetailRow || !o.ExportFile.empty() || !o.PrintFile.empty()) {
      return fail("--detail, --export and --print need a train list (zzz with --via)");
    }
  }
  return o;
}

std::optional<CliOptions> ParseMainArgs(int argc, char** argv, std::ostream& err) {
  std::string error;
  auto options = ParseCliArgs(std::vector<std::string>(argv + 1, argv + argc), &error);
  if (!options) err << "velmor-cli: " << error << '\n' << CliUsage();
  return options;
}

}  // namespace velmor

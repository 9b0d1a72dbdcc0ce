#include "cli/cli_args.h"

#include <charconv>
#include <cstdlib>
#include <string>
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
    if (!ParseClock(value, n)) return "--from-time 须为时刻 hh:mm";
    o.FromTime = n;
  } else if (name == "--changes") {
    if (!ParseInt(value, n) || n < 1 || n > 2) return "--changes 须为 1 或 2";
    o.Changes = n;
  } else {
    if (!ParseInt(value, n) || n < 0 || n > 1439)
      return std::string(name) + " 须为 0 到 1439 的分钟数";
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
  return "用法：velmor-cli [--tables DIR | --timetable FILE] [--sf] [--zd] [--jq] [--dc]\n"
         "                 [--sort N]... [--detail ROW] [--format table|csv|json]\n"
         "                 [--export FILE] [--print FILE.pdf] 命令 参数\n"
         "命令：\n"
         "  zz 发站 到站            站站查询（查询）\n"
         "  zzz 发站 到站           中转站查询（中转）\n"
         "  zzz 发站 到站 --via 站  经中转站“站”的前后两程\n"
         "  cc 车次                 车次查询\n"
         "  cz 车站                 车站全部车次查询\n"
         "  plan 发站 到站          按实际换乘规划行程，每个出发时刻最早到达者在前\n"
         "  import 数据源 输出文件  把 GTFS 数据源（zip 或文件夹）导入为时刻表文件\n"
         "                          [--date yyyy-mm-dd] [--line-factor F] [--cities FILE]\n"
         "选项：\n"
         "  --tables DIR          从 DIR 读取 SPY.txt、SLIST.txt、SM.txt、STRAIN.txt\n"
         "  --timetable FILE      使用时刻表文件（由 import 命令生成）\n"
         "  --sf --zd --jq --dc   查询后勾选 始发车、终到车、精确站名、仅动车\n"
         "  --sort N              点击第 N 个表头（1-15；中转站列表为 1-9）\n"
         "  --detail ROW          显示第 ROW 行（从 0 数起）列车的停站表\n"
         "  --format F            table（终端上的默认）、csv（其余情况的默认）、json\n"
         "  --export FILE         把显示的内容写成逗号分隔的 GBK 文件\n"
         "  --print FILE.pdf      把显示的内容打印到 PDF 文件\n"
         "  --changes 1|2         plan：最多换乘次数（1）\n"
         "  --min-change M        plan：同站换乘所需分钟数（30）\n"
         "  --city-change M       plan：换到同城另一车站所需分钟数（90）\n"
         "  --max-wait W          plan：最长等候分钟数；默认 1439 即不限\n"
         "  --from-time hh:mm     plan：从此出发时刻起按钟点循环列出（00:00）\n"
         "  --date D              import：运行日（默认：数据源当天有车时为今天，\n"
         "                        否则为其首日）\n"
         "  --line-factor F       import：数据源无里程时，大圆距离乘以 F（1.15）\n"
         "  --cities FILE         import：每行“车站,城市”，指定同城车站\n"
         "  --help                显示本说明\n"
         "json：对象数组，值为显示的文字，键如下\n"
         "  结果行：train start end type from depart to arrive stops km duration\n"
         "          hard_seat soft_seat hard_sleeper soft_sleeper\n"
         "  中转站列表：station first_km second_km km first_duration\n"
         "          second_duration duration first_trains second_trains\n"
         "  plan：depart arrive duration changes trains via waits km hard_seat\n"
         "          soft_seat hard_sleeper soft_sleeper，以及 legs：每程一个对象，\n"
         "          键为 train from depart to arrive duration wait stops km 和四种票价\n"
         "  --detail：stop station km arrive depart day elapsed speed\n"
         "          stretch（\"1\" 或 \"0\"）\n"
         "退出状态：0 完成；1 时刻表载入、导出、打印、导入或写出结果失败；\n"
         "  2 输入被拒绝（--detail 的行或 --via 的车站未显示时也是）；64 用法错误\n";
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
      if (value) return fail("选项 " + name + " 不带值");
      if (name == "--sf") o.SF = true;
      if (name == "--zd") o.ZD = true;
      if (name == "--jq") o.JQ = true;
      if (name == "--dc") o.DC = true;
      continue;
    }
    if (!TakesValue(name) && !IsPlanOption(name)) return fail("未知选项 " + a);
    if (!value) {
      if (i + 1 >= args.size()) return fail("选项 " + name + " 缺少值");
      value = args[++i];
    }
    if (IsPlanOption(name)) {
      if (const std::string why = SetPlanOption(o, name, *value); !why.empty()) return fail(why);
    } else if (name == "--tables" || name == "--timetable" || name == "--export" ||
               name == "--print" || name == "--via") {
      if (value->empty()) return fail("选项 " + name + " 缺少值");
      if (name == "--tables") o.TablesDir = *value;
      if (name == "--timetable") o.TimetableFile = *value;
      if (name == "--export") o.ExportFile = *value;
      if (name == "--print") o.PrintFile = *value;
      if (name == "--via") o.Via = *value;
    } else if (name == "--date" || name == "--cities") {
      if (value->empty()) return fail("选项 " + name + " 缺少值");
      (name == "--date" ? o.ImportDate : o.CitiesFile) = *value;
    } else if (name == "--line-factor") {
      char* end = nullptr;
      const double f = std::strtod(value->c_str(), &end);
      if (value->empty() || *end != '\0' || !(f >= 1.0 && f <= 3.0)) {
        return fail("--line-factor 须为 1 到 3 之间的数");
      }
      o.LineFactor = f;
    } else if (name == "--sort") {
      int n = 0;
      if (!ParseInt(*value, n) || n < 1 || n > 15) return fail("--sort 须为 1 到 15 的整数");
      o.Sorts.push_back(n);
    } else if (name == "--detail") {
      int n = 0;
      if (!ParseInt(*value, n) || n < 0) return fail("--detail 须为从 0 数起的行号");
      o.DetailRow = n;
    } else if (*value == "table") {
      o.Format = CliFormat::Table;
    } else if (*value == "csv") {
      o.Format = CliFormat::Csv;
    } else if (*value == "json") {
      o.Format = CliFormat::Json;
    } else {
      return fail("--format 须为 table、csv 或 json");
    }
  }

  if (positional.empty()) return fail("缺少命令");
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
    return fail("未知命令 " + command);
  }
  if (positional.size() - 1 != wanted)
    return fail("命令 " + command + " 需要 " + std::to_string(wanted) + " 个参数");
  o.Args.assign(positional.begin() + 1, positional.end());

  const bool importOptions = !o.ImportDate.empty() || o.LineFactor || !o.CitiesFile.empty();
  if (importOptions && o.Command != CliCommand::Import) {
    return fail("--date、--line-factor 和 --cities 只用于 import");
  }
  if (!o.TablesDir.empty() && !o.TimetableFile.empty()) {
    return fail("--tables 与 --timetable 不能同时使用");
  }
  if (o.Via && o.Command != CliCommand::ZZZ) return fail("--via 只用于 zzz");
  const bool planOptions = o.Changes || o.MinChange || o.CityChange || o.MaxWait || o.FromTime;
  if (planOptions && o.Command != CliCommand::Plan) {
    return fail("--changes、--min-change、--city-change、--max-wait 和 --from-time 只用于 plan");
  }
  if (o.Command == CliCommand::Plan &&
      (o.SF || o.ZD || o.JQ || o.DC || !o.Sorts.empty() || o.DetailRow || !o.PrintFile.empty())) {
    return fail("plan 不接受 --sf、--zd、--jq、--dc、--sort、--detail 和 --print");
  }
  if (o.Command == CliCommand::ZZZ && !o.Via) {
    for (int n : o.Sorts) {
      if (n > 9) return fail("中转站列表只有 9 个表头");
    }
    if (o.DetailRow || !o.ExportFile.empty() || !o.PrintFile.empty()) {
      return fail("--detail、--export 和 --print 需要列车列表（zzz 加 --via）");
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

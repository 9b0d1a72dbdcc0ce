// The command line of velmor-cli: options, one command and its arguments.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace velmor {

enum class CliCommand { ZZ, ZZZ, CC, CZ, Plan, Import };
enum class CliFormat { Table, Csv, Json };

// What the command line asks for; texts are still UTF-8 here.
struct CliOptions {
  bool Help = false;
  std::string TablesDir;      // empty: the built-in timetable
  std::string TimetableFile;  // empty: the built-in timetable
  bool SF = false;
  bool ZD = false;
  bool JQ = false;
  bool DC = false;
  std::vector<int> Sorts;  // header labels clicked, 1-based, in order
  std::optional<int> DetailRow;
  std::optional<CliFormat> Format;  // none: table on a terminal, csv otherwise
  std::string ExportFile;
  std::string PrintFile;
  std::optional<std::string> Via;
  // plan: most changes, the minimum change times, the longest wait (minutes), the start
  // clock minute; set only when given.
  std::optional<int> Changes, MinChange, CityChange, MaxWait, FromTime;
  // import: the service day (yyyy-mm-dd), the line factor and the same-city overrides.
  std::string ImportDate;
  std::optional<double> LineFactor;
  std::string CitiesFile;
  CliCommand Command = CliCommand::ZZ;
  std::vector<std::string> Args;
};

// Parses the arguments after the program name. Nothing (and `error` set) for an unknown option,
// a missing or bad value, an unknown command or a wrong number of arguments.
std::optional<CliOptions> ParseCliArgs(const std::vector<std::string>& args, std::string* error);

// The usage text (UTF-8).
std::string CliUsage();

// The options of a program's command line; for arguments that are not, says why with the
// usage on `err` and gives nothing (the program then exits with 64).
std::optional<CliOptions> ParseMainArgs(int argc, char** argv, std::ostream& err);

}  // namespace velmor

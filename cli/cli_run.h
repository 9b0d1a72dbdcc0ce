// Running one velmor-cli request the way the main window runs a click.
#pragma once

#include <ostream>
#include <string>

#include "cli/cli_args.h"
#include "present/string_grid.h"

namespace velmor {

// Prints rows 0..rows-1 of a grid (a stop list when `detail`) into a PDF file; false with
// `error` set when it cannot.
using PdfPrinter = bool (*)(const std::string& path, const TStringGrid& grid, bool detail, int rows,
                            std::string* error);

// Loads the timetable, runs a query command, writes what would be shown and prints it through
// `print` when asked. Returns the exit status: 0 done, 1 tables, export or print failed,
// 2 input refused.
int RunCli(const CliOptions& options, std::ostream& out, std::ostream& err, bool stdoutIsTerminal,
           PdfPrinter print);

}  // namespace velmor

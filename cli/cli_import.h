// velmor-cli import: a GTFS feed into a timetable file, with progress and the report.
#pragma once

#include <ostream>

#include "cli/cli_args.h"

namespace velmor {

// Runs the import command; progress goes to `err` when it is a terminal, the report to `out`.
// Returns 0 done, 1 failed.
int RunCliImport(const CliOptions& options, std::ostream& out, std::ostream& err,
                 bool errIsTerminal);

}  // namespace velmor

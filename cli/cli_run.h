// Running one velmor-cli request the way the main window runs a click.
#pragma once

#include <ostream>

#include "cli/cli_args.h"

namespace velmor {

// Loads the timetable, runs the command, writes what would be shown. Returns the exit status:
// 0 done, 1 tables, export, print or an import failed, 2 input refused. An import runs without
// progress here.
int RunCli(const CliOptions& options, std::ostream& out, std::ostream& err, bool stdoutIsTerminal);

}  // namespace velmor

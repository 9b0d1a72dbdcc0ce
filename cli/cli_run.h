// Running one velmor-cli request the way the main window runs a click.
#pragma once

#include <ostream>

#include "cli/cli_args.h"

namespace velmor {

// Loads the timetable, runs the command, writes what would be shown. Returns the exit status:
// 0 done, 1 tables, export or print failed, 2 input refused.
int RunCli(const CliOptions& options, std::ostream& out, std::ostream& err, bool stdoutIsTerminal);

}  // namespace velmor

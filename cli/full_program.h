// velmor-cli answers queries with the core alone. Importing and printing need libzip and Qt,
// and loading those libraries takes longer than a query, so those requests go to
// velmor-cli-full: the same front end with everything linked.
#pragma once

#include <ostream>

#include "cli/cli_args.h"

namespace velmor {

// True for the requests only velmor-cli-full can carry out.
bool NeedsFullProgram(const CliOptions& options);

// Replaces this process with velmor-cli-full run with `argv`, found beside this program or at
// its installed place. Returns only when that cannot be done: 1, after saying why on `err`.
int RunFullProgram(char** argv, std::ostream& err);

}  // namespace velmor

// velmor-cli plan: journeys with real changes between two stations.
#pragma once

#include <ostream>

#include "cli/cli_args.h"
#include "data/loaders.h"

namespace velmor {

// Plans between the two station arguments and writes the journeys; returns the exit status:
// 0 done, 1 the export failed, 2 input refused.
int RunPlanCommand(const TablesSet& tables, const CliOptions& options, CliFormat format,
                   std::ostream& out, std::ostream& err);

}  // namespace velmor

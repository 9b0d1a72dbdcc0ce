#include <unistd.h>

#include <iostream>

#include "cli/cli_args.h"
#include "cli/cli_output.h"
#include "cli/cli_run.h"
#include "cli/full_program.h"

int main(int argc, char** argv) {
  const auto options = velmor::ParseMainArgs(argc, argv, std::cerr);
  if (!options) return 64;
  if (options->Help) {
    std::cout << velmor::CliUsage();
    return std::cout.flush() ? 0 : 1;
  }
  if (velmor::NeedsFullProgram(*options)) return velmor::RunFullProgram(argv, std::cerr);
  const int status =
      velmor::RunCli(*options, std::cout, std::cerr, isatty(STDOUT_FILENO) != 0, nullptr);
  return velmor::FlushedStatus(status, std::cerr);
}

#include <unistd.h>

#include <iostream>

#include "cli/cli_args.h"
#include "cli/cli_output.h"
#include "cli/cli_run.h"
#include "cli/full_program.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  std::string error;
  const auto options = velmor::ParseCliArgs(args, &error);
  if (!options) {
    std::cerr << "velmor-cli: " << error << '\n' << velmor::CliUsage();
    return 64;
  }
  if (options->Help) {
    std::cout << velmor::CliUsage();
    return std::cout.flush() ? 0 : 1;
  }
  if (velmor::NeedsFullProgram(*options)) return velmor::RunFullProgram(argv, std::cerr);
  const int status =
      velmor::RunCli(*options, std::cout, std::cerr, isatty(STDOUT_FILENO) != 0, nullptr);
  return velmor::FlushedStatus(status, std::cerr);
}

#include <unistd.h>

#include <iostream>

#include "cli/cli_args.h"
#include "cli/cli_run.h"

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
    return 0;
  }
  const int status = velmor::RunCli(*options, std::cout, std::cerr, isatty(STDOUT_FILENO) != 0);
  std::cout.flush();
  return status;
}

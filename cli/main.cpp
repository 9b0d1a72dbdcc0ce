#include <unistd.h>

#include <cerrno>
#include <iostream>

#include "cli/cli_args.h"
#include "cli/cli_import.h"
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
    return std::cout.flush() ? 0 : 1;
  }
  // Only an import shows progress, on standard error when a person watches it.
  const int status =
      options->Command == velmor::CliCommand::Import
          ? velmor::RunCliImport(*options, std::cout, std::cerr, isatty(STDERR_FILENO) != 0)
          : velmor::RunCli(*options, std::cout, std::cerr, isatty(STDOUT_FILENO) != 0);
  // A result that never reached its reader is no success (a full disk, a closed terminal);
  // a reader that stopped reading (`| head`) wanted no more.
  errno = 0;
  if (!std::cout.flush() && errno != EPIPE) {
    std::cerr << "velmor-cli: cannot write the output\n";
    return 1;
  }
  return status;
}

// velmor-cli-full: what velmor-cli hands over (importing, printing), with the same arguments.
#include <unistd.h>

#include <iostream>

#include "cli/cli_args.h"
#include "cli/cli_import.h"
#include "cli/cli_output.h"
#include "cli/cli_print.h"
#include "cli/cli_run.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  std::string error;
  const auto options = velmor::ParseCliArgs(args, &error);
  if (!options) {
    std::cerr << "velmor-cli: " << error << '\n' << velmor::CliUsage();
    return 64;
  }
  // Only an import shows progress, on standard error when a person watches it.
  const int status =
      options->Command == velmor::CliCommand::Import
          ? velmor::RunCliImport(*options, std::cout, std::cerr, isatty(STDERR_FILENO) != 0)
          : velmor::RunCli(*options, std::cout, std::cerr, isatty(STDOUT_FILENO) != 0,
                           &velmor::PrintToPdf);
  return velmor::FlushedStatus(status, std::cerr);
}

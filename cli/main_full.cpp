// velmor-cli-full: what velmor-cli hands over (importing, printing), with the same arguments.
#include <unistd.h>

#include <iostream>

#include "cli/cli_args.h"
#include "cli/cli_import.h"
#include "cli/cli_output.h"
#include "cli/cli_print.h"
#include "cli/cli_run.h"

int main(int argc, char** argv) {
  const auto options = velmor::ParseMainArgs(argc, argv, std::cerr);
  if (!options) return 64;
  // Only an import shows progress, on standard error when a person watches it.
  const int status =
      options->Command == velmor::CliCommand::Import
          ? velmor::RunCliImport(*options, std::cout, std::cerr, isatty(STDERR_FILENO) != 0)
          : velmor::RunCli(*options, std::cout, std::cerr, isatty(STDOUT_FILENO) != 0,
                           &velmor::PrintToPdf);
  return velmor::FlushedStatus(status, std::cerr);
}

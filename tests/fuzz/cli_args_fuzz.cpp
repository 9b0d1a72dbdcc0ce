// Arbitrary bytes split at NUL into an argument vector: the parser accepts or refuses, and an
// accepted command line always has the argument count its command needs.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/cli_args.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> args(1);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      args.emplace_back();
    } else {
      args.back() += static_cast<char>(data[i]);
    }
  }
  std::string error;
  auto options = velmor::ParseCliArgs(args, &error);
  if (!options && error.empty()) std::abort();
  if (options && !options->Help) {
    using velmor::CliCommand;
    const CliCommand c = options->Command;
    const size_t need = (c == CliCommand::CC || c == CliCommand::CZ) ? 1 : 2;
    if (options->Args.size() != need) std::abort();
  }
  return 0;
}

// Arbitrary bytes behind a size prefix: the inflaters must agree and never overrun.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "data/resource_container.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view in(reinterpret_cast<const char*>(data), size);
  auto a = velmor::InflateResourceZlib(in);
  auto b = velmor::InflateResourceLibdeflate(in);
  if (a.has_value() != b.has_value()) std::abort();
  if (a && (a->size != b->size || std::memcmp(a->data.get(), b->data.get(), a->size) != 0)) {
    std::abort();
  }
  return 0;
}

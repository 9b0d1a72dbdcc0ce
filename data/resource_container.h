// The resource container: a 4-byte little-endian size N, then one zlib stream of exactly N bytes.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string_view>

namespace velmor {

// An inflated resource; owns its bytes and frees them when it goes out of scope. The bytes are
// followed by kTail NUL bytes, so a reader scanning a block at a time never leaves the buffer.
struct ResourceBuffer {
  static constexpr size_t kTail = 64;
  std::unique_ptr<char[]> data;
  size_t size = 0;
  std::string_view View() const { return {data.get(), size}; }
};

// Inflates one container. A short prefix, a damaged or truncated stream, a stream that
// inflates to more or fewer than N bytes or does not end at the end of the input: nullopt.
std::optional<ResourceBuffer> InflateResource(std::string_view container);

// The same with one inflater each, so that both can be measured; InflateResource uses the faster.
std::optional<ResourceBuffer> InflateResourceZlib(std::string_view container);
std::optional<ResourceBuffer> InflateResourceLibdeflate(std::string_view container);
bool HaveLibdeflate();

// Builds a container from raw bytes (best compression); used by the packer and by tests.
std::string PackResource(std::string_view content);
// The same at a zlib level (1 fastest … 9 smallest); for files written while the user waits.
std::string PackResource(std::string_view content, int level);

}  // namespace velmor

#include "data/resource_container.h"

#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>

#ifdef VELMOR_HAVE_LIBDEFLATE
#include <libdeflate.h>
#endif

namespace velmor {

namespace {

// A damaged prefix must not make the reader allocate gigabytes.
constexpr uint32_t kMaxResourceSize = 256u << 20;

bool ReadPrefix(std::string_view container, uint32_t& n) {
  if (container.size() < 4) return false;
  const auto* p = reinterpret_cast<const unsigned char*>(container.data());
  n = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
      static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
  // Deflate cannot expand beyond about 1032:1, so a larger claim is damage, not data.
  uint64_t reachable = (static_cast<uint64_t>(container.size()) - 4) * 1040 + 64;
  return n <= kMaxResourceSize && n <= reachable;
}

ResourceBuffer TailedBuffer(uint32_t n) {
  ResourceBuffer out{std::unique_ptr<char[]>(new char[n + ResourceBuffer::kTail]), n};
  std::memset(out.data.get() + n, 0, ResourceBuffer::kTail);
  return out;
}

}  // namespace

std::optional<ResourceBuffer> InflateResourceZlib(std::string_view container) {
  uint32_t n = 0;
  if (!ReadPrefix(container, n)) return std::nullopt;
  ResourceBuffer out = TailedBuffer(n);
  z_stream zs{};
  if (inflateInit(&zs) != Z_OK) return std::nullopt;
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(container.data() + 4));
  zs.avail_in = static_cast<uInt>(container.size() - 4);
  zs.next_out = reinterpret_cast<Bytef*>(out.data.get());
  zs.avail_out = n;
  int rc = inflate(&zs, Z_FINISH);
  bool ok = rc == Z_STREAM_END && zs.total_out == n && zs.avail_in == 0;
  inflateEnd(&zs);
  if (!ok) return std::nullopt;
  return out;
}

#ifdef VELMOR_HAVE_LIBDEFLATE
bool HaveLibdeflate() {
  return true;
}

std::optional<ResourceBuffer> InflateResourceLibdeflate(std::string_view container) {
  uint32_t n = 0;
  if (!ReadPrefix(container, n)) return std::nullopt;
  ResourceBuffer out = TailedBuffer(n);
  libdeflate_decompressor* d = libdeflate_alloc_decompressor();
  if (!d) return std::nullopt;
  size_t consumed = 0;
  size_t produced = 0;
  libdeflate_result r = libdeflate_zlib_decompress_ex(d, container.data() + 4, container.size() - 4,
                                                      out.data.get(), n, &consumed, &produced);
  libdeflate_free_decompressor(d);
  if (r != LIBDEFLATE_SUCCESS || produced != n || consumed != container.size() - 4) {
    return std::nullopt;
  }
  return out;
}
#else
bool HaveLibdeflate() {
  return false;
}

std::optional<ResourceBuffer> InflateResourceLibdeflate(std::string_view container) {
  return InflateResourceZlib(container);
}
#endif

std::optional<ResourceBuffer> InflateResource(std::string_view container) {
#ifdef VELMOR_HAVE_LIBDEFLATE
  return InflateResourceLibdeflate(container);
#else
  return InflateResourceZlib(container);
#endif
}

std::string PackResource(std::string_view content) {
  return PackResource(content, Z_BEST_COMPRESSION);
}

std::string PackResource(std::string_view content, int level) {
  uLongf bound = compressBound(static_cast<uLong>(content.size()));
  std::string out(4 + bound, '\0');
  uLongf len = bound;
  if (compress2(reinterpret_cast<Bytef*>(out.data() + 4), &len,
                reinterpret_cast<const Bytef*>(content.data()), static_cast<uLong>(content.size()),
                level) != Z_OK) {
    throw std::runtime_error("compression failed");
  }
  auto n = static_cast<uint32_t>(content.size());
  for (int i = 0; i < 4; ++i)
    out[static_cast<size_t>(i)] = static_cast<char>((n >> (8 * i)) & 0xFF);
  out.resize(4 + len);
  return out;
}

}  // namespace velmor

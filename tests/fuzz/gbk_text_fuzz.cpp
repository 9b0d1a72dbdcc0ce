// Arbitrary bytes through both edge conversions: no crash, and GBK that came from UTF-8
// survives a round trip unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "data/gbk_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string in(reinterpret_cast<const char*>(data), size);
  std::string gbk = velmor::Utf8ToGbk(in);
  std::string utf8 = velmor::GbkToUtf8(gbk);
  if (velmor::Utf8ToGbk(utf8) != gbk) std::abort();
  (void)velmor::GbkToUtf8(in);
  (void)velmor::Trim(in);
  return 0;
}

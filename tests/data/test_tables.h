// Helpers shared by the data tests: building table texts inline.
#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

#include "data/gbk_text.h"

namespace velmor::testing {

// Joins UTF-8 lines with CR LF and converts them to GBK, as the shipped texts are stored.
inline std::string GbkText(std::initializer_list<std::string_view> lines) {
  std::string out;
  for (std::string_view l : lines) {
    out += Utf8ToGbk(l);
    out += "\r\n";
  }
  return out;
}

inline std::string ReadFixture(const std::string& relative) {
  std::ifstream in(std::string(VELMOR_FIXTURE_DIR) + "/" + relative, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace velmor::testing

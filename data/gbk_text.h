// GBK byte strings are the core's only text type; UTF-8 exists only at the edges.
#pragma once

#include <string>
#include <string_view>

namespace velmor {

// True for the bytes that trimming removes: blanks and control characters.
inline bool IsTrimByte(unsigned char c) {
  return c <= 0x20 || c == 0x7F;
}

// Removes leading and trailing blanks and control characters.
std::string Trim(std::string_view text);

// ASCII letters a-z become A-Z; every other byte (GBK lead and trail bytes included) stays.
std::string UpperAscii(std::string_view text);

// ASCII case-insensitive equality, used for field and index names.
bool SameTextAscii(std::string_view a, std::string_view b);

// Converts UTF-8 to GBK. A character GBK cannot hold, or malformed UTF-8, becomes '?'
// so that the text can never match a stored name by accident; `lossless` tells whether it did.
std::string Utf8ToGbk(std::string_view utf8, bool* lossless = nullptr);

// Converts GBK to UTF-8. A byte sequence that is not GBK becomes U+FFFD.
std::string GbkToUtf8(std::string_view gbk);

// Shorthand for literals at the edges and in tests: G("北京") is the GBK spelling.
inline std::string G(std::string_view utf8) {
  return Utf8ToGbk(utf8);
}

}  // namespace velmor

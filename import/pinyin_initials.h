// Pinyin initials of a station name ("北京西" → "BJX"), from Unicode's Unihan readings with
// the readings place names use where a character has several.
#pragma once

#include <string>
#include <string_view>

namespace velmor {

// The generated table: one capital letter (or ' ') per code point from kUnihanFirst.
extern const char kUnihanInitials[];
extern const char32_t kUnihanFirst;
extern const char32_t kUnihanLast;

// Initials of a GBK name: one capital per Chinese character, ASCII letters and digits kept
// (upper case), everything else left out.
std::string DerivePinyinInitials(std::string_view gbkName);

}  // namespace velmor

// The type code (NType) of an imported train: from its route's class name when that is one the
// Chinese network uses, else from its number.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace velmor {

// The code of a class name (UTF-8) found in a route's names; nothing for an unknown class.
std::optional<int32_t> TypeOfClassName(std::string_view utf8Name);

// The code a number implies: G 2, D 1, C 3, Z 4, T 5, K 6, Y 5, digits by range 8–11, others 14.
int32_t TypeOfNumber(std::string_view number);

}  // namespace velmor

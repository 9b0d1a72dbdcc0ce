#include "import/train_types.h"

#include <charconv>
#include <utility>

namespace velmor {
namespace {

// Class names as feeds of the Chinese network give them (route_short_name, route_long_name or
// route_desc), mapped onto the program's types. Longer names first: "新空调快速" before "快速",
// "直达特快" before "特快".
constexpr std::pair<std::string_view, int32_t> kClasses[] = {
    {"城际高速", 3},   {"高速动车组", 2}, {"高速", 2},       {"城际动车组", 3},  {"城际", 3},
    {"动车组", 1},     {"动车", 1},       {"直达特快", 4},   {"直特", 4},        {"新空调特快", 5},
    {"空调特快", 5},   {"特快", 5},       {"新空调快速", 6}, {"空调快速", 6},    {"快速", 7},
    {"新空调普快", 9}, {"空调普快", 9},   {"普快", 8},       {"新空调普客", 10}, {"空调普客", 10},
    {"普客", 11},      {"普慢", 11},      {"临客", 14},
};

}  // namespace

std::optional<int32_t> TypeOfClassName(std::string_view name) {
  for (const auto& [cls, type] : kClasses) {
    if (name.find(cls) != std::string_view::npos) return type;
  }
  return std::nullopt;
}

int32_t TypeOfNumber(std::string_view number) {
  if (number.empty()) return 14;
  switch (number.front()) {
    case 'G':
      return 2;
    case 'D':
      return 1;
    case 'C':
      return 3;
    case 'Z':
      return 4;
    case 'T':
    case 'Y':
      return 5;
    case 'K':
      return 6;
    default:
      break;
  }
  int n = 0;
  const auto [p, ec] = std::from_chars(number.data(), number.data() + number.size(), n);
  if (ec != std::errc() || p == number.data()) return 14;
  // Ranges of the national numbering: 1001–5998 ordinary fast trains, 6001–7598 stopping ones.
  if (n >= 1001 && n <= 5998) return 8;
  if (n >= 6001 && n <= 7598) return 11;
  return 14;
}

}  // namespace velmor

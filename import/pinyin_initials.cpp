#include "import/pinyin_initials.h"

#include <utility>

#include "data/gbk_text.h"

namespace velmor {
namespace {

// Characters whose reading in place names differs from the common one Unihan gives first.
constexpr std::pair<char32_t, char> kPlaceReadings[] = {
    // clang-format off
    {U'长', 'C'},  // 长春, 长沙 (not zhǎng)
    {U'乐', 'L'},  // 乐山
    {U'六', 'L'},  // 六安 (lù)
    {U'蚌', 'B'},  // 蚌埠 (bèng)
    {U'厦', 'X'},  // 厦门 (not shà)
    {U'单', 'S'},  // 单县 (shàn)
    {U'蔚', 'Y'},  // 蔚县 (yù)
    {U'堡', 'B'},  // 堡 in station names is bǎo
    {U'铅', 'Y'},  // 铅山 (yán)
    {U'亳', 'B'},  // 亳州
    {U'重', 'C'},  // 重庆 (chóng)
    {U'泊', 'B'},  // 泊头 (bó)
    {U'坻', 'D'},  // 宝坻 (dǐ)
    {U'圈', 'J'},  // 羊圈子 (juàn)
    {U'埔', 'P'},  // 大埔 (pǔ)
    {U'圩', 'X'},  // 吴圩 (xū)
    {U'仇', 'Q'},  // 南仇 (qiú)
    {U'茄', 'Q'},  // 茄子溪 (qié)
    {U'么', 'Y'},  // 么铺 (yāo)
    {U'曾', 'Z'},  // 曾家坪子 (zēng)
    {U'解', 'X'},  // 解州 (xiè)
    // clang-format on
};

char InitialOf(char32_t c) {
  for (const auto& [ch, letter] : kPlaceReadings) {
    if (ch == c) return letter;
  }
  if (c >= kUnihanFirst && c <= kUnihanLast) {
    const char l = kUnihanInitials[c - kUnihanFirst];
    return l == ' ' ? '\0' : l;
  }
  if (c >= 'a' && c <= 'z') return static_cast<char>(c - 'a' + 'A');
  if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return static_cast<char>(c);
  return '\0';
}

}  // namespace

std::string DerivePinyinInitials(std::string_view gbkName) {
  const std::string utf8 = GbkToUtf8(gbkName);
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    const int len = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    char32_t c = len == 1 ? b : b & (0xFF >> (len + 1));
    for (int k = 1; k < len && i + static_cast<size_t>(k) < utf8.size(); ++k) {
      c = (c << 6) | (static_cast<unsigned char>(utf8[i + static_cast<size_t>(k)]) & 0x3F);
    }
    i += static_cast<size_t>(len);
    if (const char l = InitialOf(c)) out += l;
  }
  return out;
}

}  // namespace velmor

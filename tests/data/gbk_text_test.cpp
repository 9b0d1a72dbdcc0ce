#include "data/gbk_text.h"

#include <gtest/gtest.h>

namespace velmor {
namespace {

TEST(GbkText, ConvertsBothWays) {
  EXPECT_EQ(Utf8ToGbk("北京"), "\xB1\xB1\xBE\xA9");
  EXPECT_EQ(GbkToUtf8("\xB1\xB1\xBE\xA9"), "北京");
  EXPECT_EQ(G("↑").size(), 2u) << "sort marks are two GBK bytes";
  EXPECT_EQ(GbkToUtf8(G("k10 上海虹桥")), "k10 上海虹桥");
}

TEST(GbkText, CharactersOutsideGbkNeverVanish) {
  bool lossless = true;
  std::string s = Utf8ToGbk("北京😀", &lossless);
  EXPECT_FALSE(lossless);
  EXPECT_EQ(s, G("北京") + "?");
  EXPECT_EQ(Utf8ToGbk("\xC3"), "?") << "truncated UTF-8";
  EXPECT_EQ(Utf8ToGbk("a\xFF"
                      "b"),
            "a?b");
  Utf8ToGbk("é", &lossless);
  EXPECT_TRUE(lossless) << "GBK holds Latin letters with accents";
  EXPECT_EQ(GbkToUtf8("\x81"), "\xEF\xBF\xBD");
  EXPECT_EQ(GbkToUtf8("\x81\x20x"), "\xEF\xBF\xBD x");
}

TEST(GbkText, TrimAndCase) {
  EXPECT_EQ(Trim(" \t" + G("北京") + " \r\n"), G("北京"));
  EXPECT_EQ(Trim("\x01\x7F"), "");
  EXPECT_EQ(UpperAscii("k10" + G("站")), "K10" + G("站"));
  // 峧's second byte is 'j': upper-casing it would turn 南峧 into 南岼.
  EXPECT_EQ(UpperAscii(G("南峧") + "k"), G("南峧") + "K");
  EXPECT_TRUE(SameTextAscii("a_time", "A_Time"));
  EXPECT_FALSE(SameTextAscii("a_time", "A_Tim"));
}

}  // namespace
}  // namespace velmor

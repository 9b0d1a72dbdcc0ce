#include "import/pinyin_initials.h"

#include <gtest/gtest.h>

#include <iostream>

#include "data/gbk_text.h"
#include "data/loaders.h"

namespace velmor {
namespace {

TEST(PinyinInitials, PlaceNameReadingsWinOverTheCommonOne) {
  EXPECT_EQ(DerivePinyinInitials(G("长沙南")), "CSN");
  EXPECT_EQ(DerivePinyinInitials(G("蚌埠")), "BB");
  EXPECT_EQ(DerivePinyinInitials(G("厦门北")), "XMB");
  EXPECT_EQ(DerivePinyinInitials(G("重庆")), "CQ");
  EXPECT_EQ(DerivePinyinInitials(G("G1站")), "G1Z");
}

// Every name of the built-in table derived without looking it up agrees with its stored code
// for at least 99 % of names; the differences are printed for the record.
TEST(PinyinInitials, AgreesWithTheBuiltInCodes) {
  TablesSet t;
  std::string error;
  ASSERT_TRUE(LoadTableResource(t.KMPy, t.sfCSV, EmbeddedResourceFinder(), "SPY", "", &error));
  const int st = t.KMPy.RequireField("Station"), code = t.KMPy.RequireField("Shortcode");
  size_t same = 0;
  for (size_t r = 0; r < t.KMPy.RecordCount(); ++r) {
    const std::string derived = DerivePinyinInitials(t.KMPy.TextOf(r, st));
    if (derived == t.KMPy.TextOf(r, code)) {
      ++same;
    } else {
      std::cout << GbkToUtf8(t.KMPy.TextOf(r, st)) << " " << t.KMPy.TextOf(r, code) << " ≠ "
                << derived << '\n';
    }
  }
  std::cout << "agreement " << same << "/" << t.KMPy.RecordCount() << '\n';
  EXPECT_GE(static_cast<double>(same), 0.99 * static_cast<double>(t.KMPy.RecordCount()));
}

}  // namespace
}  // namespace velmor

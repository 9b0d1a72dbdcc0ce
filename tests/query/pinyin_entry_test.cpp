#include "query/pinyin_entry.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "data/gbk_text.h"
#include "data/table_text_format.h"

namespace velmor {
namespace {

// A pinyin table built inline from (station, code) pairs, in the given stored order.
TMemTable PinyinTable(std::initializer_list<std::pair<const char*, const char*>> rows) {
  std::string text =
      "\"@@FILE VERSION@@\",\"251\"\r\n\"@@TABLEDEF START@@\"\r\n"
      "\"Station=WideString,20,\"\"Station\"\",\"\"\"\",20,Data,\"\"\"\"\"\r\n"
      "\"Shortcode=WideString,10,\"\"Shortcode\"\",\"\"\"\",10,Data,\"\"\"\"\"\r\n"
      "\"@@INDEXDEF START@@\"\r\n\"@@INDEXDEF END@@\"\r\n\"@@TABLEDEF END@@\"\r\n"
      "\"Station\",\"Shortcode\",\r\n";
  for (const auto& [station, code] : rows) {
    text += "\"" + G(station) + "\",\"" + code + "\",\r\n";
  }
  TMemTable table;
  TTableTextFormat format;
  table.LoadFromStreamViaFormat(text, format);
  return table;
}

std::vector<std::string> Gbk(std::initializer_list<const char*> utf8) {
  std::vector<std::string> out;
  for (const char* s : utf8) out.push_back(G(s));
  return out;
}

TEST(PinyinEntry, IsLettersAcceptsOnlyNonEmptyAsciiLetters) {
  EXPECT_TRUE(IsLetters("BJ"));
  EXPECT_TRUE(IsLetters("bjX"));
  EXPECT_FALSE(IsLetters(""));
  EXPECT_FALSE(IsLetters("bj1"));
  EXPECT_FALSE(IsLetters("b j"));
  EXPECT_FALSE(IsLetters(G("北京")));
  EXPECT_FALSE(IsLetters(G("bj北")));
}

TEST(PinyinEntry, TextDecidesTheListAction) {
  EXPECT_EQ(StationTextAction("bj"), StationListAction::FillPinyinList);
  EXPECT_EQ(StationTextAction(""), StationListAction::ClearList);
  EXPECT_EQ(StationTextAction(G("北京")), StationListAction::KeepList);
  EXPECT_EQ(StationTextAction("bj2"), StationListAction::KeepList);
}

TEST(PinyinEntry, MatchesKeepStoredOrderAndPadFewMatchesToNine) {
  TMemTable py = PinyinTable({{"安阳", "AY"},
                              {"北京", "BJ"},
                              {"北京西", "BJX"},
                              {"北京南", "BJN"},
                              {"宝鸡", "BJ"},
                              {"蚌埠", "BB"},
                              {"长沙", "CS"}});
  std::vector<std::string> b = PinyinMatches(py, "b");
  ASSERT_EQ(b.size(), 9u);
  EXPECT_EQ(std::vector<std::string>(b.begin(), b.begin() + 5),
            Gbk({"北京", "北京西", "北京南", "宝鸡", "蚌埠"}));
  EXPECT_EQ(b[5], "");
  EXPECT_EQ(b[8], "");

  std::vector<std::string> bjx = PinyinMatches(py, "bjx");
  ASSERT_EQ(bjx.size(), 9u);
  EXPECT_EQ(bjx[0], G("北京西"));
  for (size_t i = 1; i < bjx.size(); ++i) EXPECT_EQ(bjx[i], "") << i;

  EXPECT_EQ(PinyinMatches(py, "qq"), BlankStationItems());
  // A code shorter than the typed letters never matches.
  EXPECT_EQ(PinyinMatches(py, "bjxx"), BlankStationItems());
}

TEST(PinyinEntry, EightOrMoreMatchesGetNoBlanks) {
  TMemTable py = PinyinTable({{"北京", "BJ"},
                              {"北京西", "BJX"},
                              {"北京南", "BJN"},
                              {"北京北", "BJB"},
                              {"北京东", "BJD"},
                              {"宝鸡", "BJ"},
                              {"北滘", "BJ"},
                              {"滨江", "BJ"},
                              {"蚌埠", "BB"}});
  std::vector<std::string> bj = PinyinMatches(py, "BJ");
  EXPECT_EQ(bj, Gbk({"北京", "北京西", "北京南", "北京北", "北京东", "宝鸡", "北滘", "滨江"}));
  EXPECT_EQ(PinyinMatches(py, "b").size(), 9u);
}

TEST(PinyinEntry, BlankItemsAreNineEmptyTexts) {
  std::vector<std::string> blank = BlankStationItems();
  ASSERT_EQ(blank.size(), 9u);
  for (const std::string& s : blank) EXPECT_TRUE(s.empty());
}

}  // namespace
}  // namespace velmor

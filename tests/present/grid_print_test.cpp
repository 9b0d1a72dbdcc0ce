#include "present/grid_print.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "data/gbk_text.h"

namespace velmor {
namespace {

// Records every call, page by page.
class RecordingCanvas : public TPrintCanvas {
 public:
  struct Text {
    int page, x, y;
    std::string text, font;
    int size;
  };
  struct Rule {
    int page, x1, y1, x2, y2, pen;
  };
  RecordingCanvas(int width, int height, int dpi) : width_(width), height_(height), dpi_(dpi) {}
  int PageWidth() const override { return width_; }
  int PageHeight() const override { return height_; }
  int DpiX() const override { return dpi_; }
  int DpiY() const override { return dpi_; }
  void SetLandscape(bool turn) override {
    if (turn != landscape) std::swap(width_, height_);
    landscape = turn;
  }
  // Half an em for each byte: a GBK character is one em wide, an ASCII one half.
  int TextWidth(std::string_view text, std::string_view, int size) const override {
    return static_cast<int>(text.size()) * size * dpi_ / 144;
  }
  void TextOut(int x, int y, std::string_view text, std::string_view font, int size) override {
    texts.push_back({page_, x, y, std::string(text), std::string(font), size});
  }
  void Line(int x1, int y1, int x2, int y2, int pen) override {
    rules.push_back({page_, x1, y1, x2, y2, pen});
  }
  void NewPage() override { ++page_; }
  int PageNumber() const override { return page_; }

  std::vector<Text> TextsWith(const std::string& gbk) const {
    std::vector<Text> out;
    for (const auto& t : texts) {
      if (t.text == gbk) out.push_back(t);
    }
    return out;
  }
  bool HasRule(int page, int x1, int y1, int x2, int y2) const {
    return std::any_of(rules.begin(), rules.end(), [&](const Rule& r) {
      return r.page == page && r.x1 == x1 && r.y1 == y1 && r.x2 == x2 && r.y2 == y2;
    });
  }

  std::vector<Text> texts;
  std::vector<Rule> rules;
  bool landscape = false;

 private:
  int width_, height_, dpi_;
  int page_ = 1;
};

std::tm Day() {
  std::tm t{};
  t.tm_year = 2011 - 1900;
  t.tm_mon = 11;
  t.tm_mday = 1;
  return t;
}

TStringGrid ResultGrid(int rows) {
  TStringGrid g(15, std::max(rows, 16));
  for (int r = 0; r < rows; ++r) {
    g.SetCell(0, r, "D" + std::to_string(r));
    g.SetCell(13, r, "38/41/43");
  }
  return g;
}

// A4 at 600 dpi, turned: L = U = 200, M = 300, W = (7016 - 300) / 15 = 447, XR = (447 + 20) * 15.
constexpr int kWidth = 7016, kHeight = 4960, kL = 200, kW = 447, kXR = 7005;

TEST(GridPrint, PageHeadAndFirstRowOfALandscapeResultListAt600Dpi) {
  RecordingCanvas c(kHeight, kWidth, 600);
  PrintGrid(c, ResultGrid(1), false, 1, Day());
  EXPECT_TRUE(c.landscape);
  const auto title = c.TextsWith(G("纬途列车时刻表"));
  ASSERT_EQ(title.size(), 1u);
  EXPECT_EQ(title[0].x, kWidth / 3);
  EXPECT_EQ(title[0].y, 200);
  EXPECT_EQ(title[0].size, 15);
  EXPECT_EQ(title[0].font, G("楷体_GB2312"));
  const auto date = c.TextsWith(G("2011年12月1日"));
  ASSERT_EQ(date.size(), 1u);
  EXPECT_EQ(date[0].x, kW);
  EXPECT_EQ(date[0].y, 200 + 200 + 75);
  const auto publisher = c.TextsWith(G("纬途火车网(http://www.velmor.cn)"));
  ASSERT_EQ(publisher.size(), 1u);
  EXPECT_EQ(publisher[0].x, 9 * kW);
  EXPECT_EQ(publisher[0].y, 500);
  // Title row between y 600 and 800, first data row between 800 and 1000.
  const auto head = c.TextsWith("  " + G("车次"));
  ASSERT_EQ(head.size(), 1u);
  EXPECT_EQ(head[0].x, kL);
  EXPECT_EQ(head[0].y, 600 + 66);
  EXPECT_EQ(c.TextsWith("  " + G("软卧"))[0].x, kL + 14 * kW);
  EXPECT_TRUE(c.HasRule(1, kL, 600, kXR, 600));
  EXPECT_TRUE(c.HasRule(1, kL + kW, 600, kL + kW, 800));
  EXPECT_TRUE(c.HasRule(1, kXR, 600, kXR, 800));
  EXPECT_TRUE(c.HasRule(1, kL, 800, kXR, 800));
  const auto cell = c.TextsWith(" D0");
  ASSERT_EQ(cell.size(), 1u);
  EXPECT_EQ(cell[0].y, 800 + 66);
  EXPECT_EQ(cell[0].size, 10);
  EXPECT_EQ(c.TextsWith(" 38/41/43")[0].x, kL + 13 * kW);
  EXPECT_TRUE(c.HasRule(1, kL + 3 * kW, 800, kL + 3 * kW, 1000));
  EXPECT_TRUE(c.HasRule(1, kL, 1000, kXR, 1000));
  for (const auto& r : c.rules) EXPECT_EQ(r.pen, 2);
  const auto number = c.TextsWith(G("第  1  页"));
  ASSERT_EQ(number.size(), 1u);
  EXPECT_EQ(number[0].x, kWidth / 2 - 300);
  EXPECT_EQ(number[0].y, kHeight - 75);
}

TEST(GridPrint, ALongListRepeatsTheHeadAndNumbersThePages) {
  RecordingCanvas c(kHeight, kWidth, 600);
  // 19 rows fit a page: after row 19 the running position 4200 + 200 passes 4960 - 600.
  PrintGrid(c, ResultGrid(20), false, 20, Day());
  const auto titles = c.TextsWith(G("纬途列车时刻表"));
  ASSERT_EQ(titles.size(), 2u);
  EXPECT_EQ(titles[1].page, 2);
  EXPECT_EQ(c.TextsWith(" D18")[0].page, 1);
  EXPECT_EQ(c.TextsWith(" D18")[0].y, 4400 + 66);
  const auto second = c.TextsWith(" D19");
  ASSERT_EQ(second.size(), 1u);
  EXPECT_EQ(second[0].page, 2);
  EXPECT_EQ(second[0].y, 800 + 66);
  ASSERT_EQ(c.TextsWith(G("第  1  页")).size(), 1u);
  EXPECT_EQ(c.TextsWith(G("第  1  页"))[0].page, 1);
  ASSERT_EQ(c.TextsWith(G("第  2  页")).size(), 1u);
  EXPECT_EQ(c.TextsWith(G("第  2  页"))[0].page, 2);
}

TEST(GridPrint, ALastRowThatFillsThePageStartsNoFurtherSheet) {
  RecordingCanvas c(kHeight, kWidth, 600);
  PrintGrid(c, ResultGrid(19), false, 19, Day());
  EXPECT_TRUE(c.TextsWith(G("第  2  页")).empty());
  for (const auto& r : c.rules) EXPECT_EQ(r.page, 1);
  EXPECT_TRUE(c.HasRule(1, kL, 4600, kXR, 4600));
  EXPECT_EQ(c.TextsWith(G("第  1  页")).size(), 1u);
}

TEST(GridPrint, DetailTurnsOnlyWhenATextOverrunsAndShrinksWhatStillDoes) {
  // Upright W = 582; turned W = 839, where 11 characters fit at 8 points and 20 not even at 6.
  TStringGrid g(8, 20);
  g.SetCell(1, 0, G("西安"));
  RecordingCanvas upright(4960, 7016, 600);
  PrintGrid(upright, g, true, 1, Day());
  EXPECT_FALSE(upright.landscape);
  g.SetCell(1, 1, G("一二三四五六七八九十一"));
  g.SetCell(1, 2, G("一二三四五六七八九十一二三四五六七八九十"));
  RecordingCanvas turned(4960, 7016, 600);
  PrintGrid(turned, g, true, 3, Day());
  EXPECT_TRUE(turned.landscape);
  EXPECT_EQ(turned.TextsWith(" " + G("西安"))[0].size, 10);
  EXPECT_EQ(turned.TextsWith(" " + G("一二三四五六七八九十一"))[0].size, 8);
  EXPECT_EQ(turned.TextsWith(" " + G("一二三四五六七八九十一二三四五六七八九十"))[0].size, 6);
  EXPECT_EQ(turned.TextsWith("  " + G("车站"))[0].x, 200 + 839);
}

TEST(GridPrint, NoRowsPrintsOnlyThePageNumber) {
  RecordingCanvas c(kWidth, kHeight, 600);
  PrintGrid(c, ResultGrid(0), false, 0, Day());
  ASSERT_EQ(c.texts.size(), 1u);
  EXPECT_EQ(c.texts[0].text, G("第  1  页"));
  EXPECT_TRUE(c.rules.empty());
}

TEST(GridPrint, DetailTitlesAndHalvesToEvenForTheMargin) {
  // 609 dpi: L = 203, M = 1.5 * 203 = 304.5 rounds to the even 304.
  RecordingCanvas c(5000, 7000, 609);
  TStringGrid g(8, 20);
  g.SetCell(1, 0, G("西安"));
  PrintGrid(c, g, true, 1, Day());
  const int m = 304, w = (5000 - m) / 8;
  EXPECT_EQ(c.TextsWith(G("第  1  页"))[0].x, 2500 - m);
  EXPECT_EQ(c.TextsWith("  " + G("站序"))[0].x, 203);
  EXPECT_EQ(c.TextsWith("  " + G("时速"))[0].x, 203 + 7 * w);
  EXPECT_EQ(c.TextsWith(" " + G("西安"))[0].x, 203 + w);
  EXPECT_TRUE(c.TextsWith("  " + G("车次")).empty());
}

TEST(GridPrint, ColumnTitles) {
  EXPECT_EQ(ResultColumnTitles(0), G("车次"));
  EXPECT_EQ(ResultColumnTitles(13), G("硬卧"));
  EXPECT_EQ(ResultColumnTitles(15), "");
  EXPECT_EQ(DetailColumnTitles(5), G("天数"));
  EXPECT_EQ(DetailColumnTitles(8), "");
  EXPECT_EQ(DetailColumnTitles(-1), "");
}

}  // namespace
}  // namespace velmor

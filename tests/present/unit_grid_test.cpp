#include "present/unit_grid.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/gbk_text.h"

namespace velmor {
namespace {

// A two-column grid: the key in column 0 and the row's original position in column 1.
TStringGrid KeyedGrid(const std::vector<std::string>& keys) {
  TStringGrid grid(2, static_cast<int>(keys.size()));
  for (int row = 0; row < grid.RowCount(); ++row) {
    grid.SetCell(0, row, keys[static_cast<size_t>(row)]);
    grid.SetCell(1, row, std::to_string(row));
  }
  return grid;
}

std::vector<std::string> Column(const TStringGrid& grid, int col) {
  std::vector<std::string> out;
  for (int row = 0; row < grid.RowCount(); ++row) out.push_back(grid.Cells(col, row));
  return out;
}

using Texts = std::vector<std::string>;

TEST(StringGrid, CellsOutsideTheGridReadEmptyAndIgnoreWrites) {
  TStringGrid grid(3, 2);
  grid.SetCell(1, 1, "x");
  grid.SetCell(3, 0, "lost");
  grid.SetCell(0, 2, "lost");
  grid.SetCell(-1, 0, "lost");
  EXPECT_EQ(grid.Cells(1, 1), "x");
  EXPECT_EQ(grid.Cells(3, 0), "");
  EXPECT_EQ(grid.Cells(0, -1), "");
  EXPECT_EQ(grid.Cells(0, 2), "");
}

TEST(StringGrid, RewritesReplaceTheWholeTextOfAnyLength) {
  TStringGrid grid(1, 1);
  grid.SetCell(0, 0, "08:00");
  grid.SetCell(0, 0, "21:15");  // same length: bytes overwritten in place
  EXPECT_EQ(grid.Cells(0, 0), "21:15");
  grid.SetCell(0, 0, grid.Cells(0, 0));  // its own text
  EXPECT_EQ(grid.Cells(0, 0), "21:15");
  grid.SetCell(0, 0, "-");
  EXPECT_EQ(grid.Cells(0, 0), "-");
}

TEST(StringGrid, RowCountChangesKeepTheRemainingCells) {
  TStringGrid grid(2, 2);
  grid.SetCell(0, 0, "a");
  grid.SetCell(1, 1, "b");
  grid.SetRowCount(5);
  EXPECT_EQ(grid.RowCount(), 5);
  EXPECT_EQ(grid.Cells(0, 0), "a");
  EXPECT_EQ(grid.Cells(1, 1), "b");
  EXPECT_EQ(grid.Cells(0, 4), "");
  grid.SetRowCount(1);
  EXPECT_EQ(grid.Cells(0, 0), "a");
  EXPECT_EQ(grid.Cells(1, 1), "");
}

TEST(StringGrid, ParkedSelectionAndEmptyRowsCannotBeSelected) {
  TStringGrid grid(15, 3);
  grid.SetCell(0, 0, "G1");
  ClearGridSelection(grid);
  EXPECT_TRUE(grid.SelectionParked());
  EXPECT_EQ(grid.Selection().Left, 24);
  EXPECT_EQ(grid.Selection().Top, 24);
  EXPECT_EQ(grid.Selection().Bottom, 24);
  EXPECT_TRUE(CanSelectRow(grid, 0));
  EXPECT_FALSE(CanSelectRow(grid, 1));
  EXPECT_FALSE(CanSelectRow(grid, 7));
  grid.SetSelection(TGridRect{0, 0, 14, 0});
  EXPECT_FALSE(grid.SelectionParked());
}

TEST(SwapGridRows, ExchangesEveryColumn) {
  TStringGrid grid = KeyedGrid({"a", "b", "c"});
  SwapGridRows(grid, 0, 2);
  EXPECT_EQ(Column(grid, 0), (Texts{"c", "b", "a"}));
  EXPECT_EQ(Column(grid, 1), (Texts{"2", "1", "0"}));
  SwapGridRows(grid, 0, 9);  // outside: nothing happens
  EXPECT_EQ(Column(grid, 0), (Texts{"c", "b", "a"}));
}

TEST(SortGrid, TextComparesBytes) {
  TStringGrid grid = KeyedGrid({"T10", "2", "K1", "1043", G("北京"), ""});
  SortGrid(grid, 0, true, TSortAs::Text);
  EXPECT_EQ(Column(grid, 0), (Texts{"", "1043", "2", "K1", "T10", G("北京")}));
  SortGrid(grid, 0, false, TSortAs::Text);
  EXPECT_EQ(Column(grid, 0), (Texts{G("北京"), "T10", "K1", "2", "1043", ""}));
}

TEST(SortGrid, NumbersCompareByValue) {
  TStringGrid grid = KeyedGrid({"120", "95", "1069.5", "3.5", "1000"});
  SortGrid(grid, 0, true, TSortAs::Number);
  EXPECT_EQ(Column(grid, 0), (Texts{"3.5", "95", "120", "1000", "1069.5"}));
  SortGrid(grid, 0, false, TSortAs::Number);
  EXPECT_EQ(Column(grid, 0), (Texts{"1069.5", "1000", "120", "95", "3.5"}));
}

TEST(SortGrid, NonNumbersCountAsZeroAndTheSortCompletes) {
  TStringGrid grid = KeyedGrid({"-", "120", "95", "-", "12abc", "7", "-", "300"});
  SortGrid(grid, 0, true, TSortAs::Number);
  const Texts keys = Column(grid, 0);
  ASSERT_EQ(keys.size(), 8u);
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_TRUE(keys[i] == "-" || keys[i] == "12abc") << keys[i];
  }
  EXPECT_EQ(Texts(keys.begin() + 4, keys.end()), (Texts{"7", "95", "120", "300"}));

  SortGrid(grid, 0, false, TSortAs::Number);
  const Texts down = Column(grid, 0);
  EXPECT_EQ(Texts(down.begin(), down.begin() + 4), (Texts{"300", "120", "95", "7"}));
}

TEST(SortGrid, RunningTimesCompareInMinutesAndKeepTheirTexts) {
  TStringGrid grid = KeyedGrid({"10:5", "6:5", "", "9:50", "06:04"});
  SortGrid(grid, 0, true, TSortAs::Duration);
  EXPECT_EQ(Column(grid, 0), (Texts{"", "06:04", "6:5", "9:50", "10:5"}));
}

TEST(SortGrid, EmptyNumberCellsBecomeZero) {
  TStringGrid grid = KeyedGrid({"", "5"});
  SortGrid(grid, 0, true, TSortAs::Number);
  EXPECT_EQ(Column(grid, 0), (Texts{"0", "5"}));
}

TEST(SortGrid, EqualKeysEndInTheOrderOfTheHoarePartitions) {
  // Worked by hand: the pivot "b" of row 2 swaps rows 0/4 and 2/3, then 0..2 and 3..4
  // are sorted, giving original rows 3, 1, 4, 0, 2 (a stable sort would give 1, 3, 0, 2, 4).
  TStringGrid grid = KeyedGrid({"b", "a", "b", "a", "b"});
  SortGrid(grid, 0, true, TSortAs::Text);
  EXPECT_EQ(Column(grid, 0), (Texts{"a", "a", "b", "b", "b"}));
  EXPECT_EQ(Column(grid, 1), (Texts{"3", "1", "4", "0", "2"}));
}

TEST(SortGrid, EmptyAndSingleRowGridsAreHarmless) {
  TStringGrid none(2, 0);
  SortGrid(none, 0, true, TSortAs::Number);
  EXPECT_EQ(none.RowCount(), 0);
  TStringGrid one = KeyedGrid({"x"});
  SortGrid(one, 0, false, TSortAs::Number);
  EXPECT_EQ(Column(one, 0), (Texts{"x"}));
}

std::vector<THeaderLabel> ThreeLabels() {
  std::vector<THeaderLabel> labels(3);
  labels[0].Name = "Lab1";
  labels[0].Caption = G("车 次");
  labels[1].Name = "Lab10";
  labels[1].Caption = G("里程");
  labels[2].Name = "Lab11";
  labels[2].Caption = G("历时");
  return labels;
}

TEST(ToggleHeaderLabels, RepeatedClicksFlipTheMark) {
  auto labels = ThreeLabels();
  EXPECT_TRUE(ToggleHeaderLabels(labels, 1));
  EXPECT_EQ(labels[1].Caption, G("里程↑"));
  EXPECT_TRUE(labels[1].Bold);
  EXPECT_FALSE(ToggleHeaderLabels(labels, 1));
  EXPECT_EQ(labels[1].Caption, G("里程↓"));
  EXPECT_TRUE(ToggleHeaderLabels(labels, 1));
  EXPECT_EQ(labels[1].Caption, G("里程↑"));
  EXPECT_EQ(G("↑").size(), 2u);
}

TEST(ToggleHeaderLabels, AnotherHeaderClearsTheFirst) {
  auto labels = ThreeLabels();
  ToggleHeaderLabels(labels, 0);
  ToggleHeaderLabels(labels, 0);
  EXPECT_TRUE(ToggleHeaderLabels(labels, 2));
  EXPECT_EQ(labels[0].Caption, G("车 次"));
  EXPECT_FALSE(labels[0].Bold);
  EXPECT_EQ(labels[2].Caption, G("历时↑"));
  EXPECT_TRUE(labels[2].Bold);
}

TEST(ToggleHeaderLabels, OnlyTag33LabelsTakePartAndAMarklessBoldLabelStays) {
  auto labels = ThreeLabels();
  labels[0].Tag = 0;
  labels[0].Bold = true;
  labels[2].Bold = true;  // bold without a mark
  EXPECT_TRUE(ToggleHeaderLabels(labels, 2));
  EXPECT_EQ(labels[2].Caption, G("历时"));
  EXPECT_TRUE(labels[0].Bold);
  EXPECT_EQ(labels[0].Caption, G("车 次"));
}

TEST(LabelColumn, ReadsTheNumberInTheName) {
  THeaderLabel label;
  label.Name = "Lab1";
  EXPECT_EQ(LabelColumn(label), 0);
  label.Name = "Lab10";
  EXPECT_EQ(LabelColumn(label), 9);
  label.Name = "Lab15";
  EXPECT_EQ(LabelColumn(label), 14);
  label.Name = "Lab";
  EXPECT_EQ(LabelColumn(label), -1);
}

}  // namespace
}  // namespace velmor

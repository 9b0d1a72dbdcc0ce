#include "present/result_grid.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/gbk_text.h"

namespace velmor {
namespace {

using Texts = std::vector<std::string>;

// "G" and 7 give "G7".
std::string Numbered(std::string_view prefix, int n) {
  std::string out(prefix);
  out += std::to_string(n);
  return out;
}

TPub_GridResult Row(std::string id, std::string from, std::string to, int32_t km = 100) {
  TPub_GridResult r;
  r.TrainID = std::move(id);
  r.StartStation = G("北京");
  r.EndStation = G("上海");
  r.FromStation = std::move(from);
  r.ToStation = std::move(to);
  r.Distance = km;
  r.StopCount = 3;
  r.FareHardSeat = "50";
  return r;
}

class ResultGridTest : public ::testing::Test {
 protected:
  void Add(TPub_GridResult r) { state_.Pub_GridResults.push_back(std::move(r)); }
  void Fill(std::string_view cz = {}) {
    ResetResultGrid(state_, view_);
    FillResultGrid(state_, view_, cz);
  }
  Texts Column(int col) const {
    Texts out;
    for (int row = 0; row < state_.Pub_ResultCount; ++row) {
      out.push_back(view_.SGrid.Cells(col, row));
    }
    return out;
  }

  PubState state_;
  ResultView view_;
};

TEST_F(ResultGridTest, StartsWithFifteenTaggedLabelsOverTwentyEmptyRows) {
  EXPECT_EQ(view_.SGrid.ColCount(), 15);
  EXPECT_EQ(view_.SGrid.RowCount(), 20);
  EXPECT_EQ(view_.LabResult, G("结果:0"));
  ASSERT_EQ(view_.Labels.size(), 15u);
  for (int n = 0; n < 15; ++n) {
    const THeaderLabel& label = view_.Labels[static_cast<size_t>(n)];
    EXPECT_EQ(label.Name, Numbered("Lab", n + 1));
    EXPECT_EQ(label.Caption, ResultColumnCaption(n));
    EXPECT_EQ(label.Tag, 33);
    EXPECT_FALSE(label.Bold);
  }
  EXPECT_EQ(ResultColumnCaption(0), G("车 次"));
  EXPECT_EQ(ResultColumnCaption(13), G("硬卧上/中/下"));
  EXPECT_EQ(ResultColumnCaption(15), "");
}

TEST_F(ResultGridTest, EmptyListGivesSixteenBlankRows) {
  view_.SGrid.SetCell(0, 19, "old");
  view_.SGrid.SetSelection(TGridRect{0, 2, 14, 2});
  state_.Pub_ResultCount = 25;
  Fill();
  EXPECT_EQ(view_.SGrid.RowCount(), 16);
  EXPECT_EQ(state_.Pub_ResultCount, 0);
  EXPECT_EQ(view_.LabResult, G("结果:0"));
  EXPECT_TRUE(view_.SGrid.SelectionParked());
  for (int row = 0; row < 16; ++row) EXPECT_EQ(view_.SGrid.Cells(0, row), "");
}

TEST_F(ResultGridTest, SixteenRowsKeepSixteenAndSeventeenGrowTheGrid) {
  for (int n = 0; n < 16; ++n) Add(Row(Numbered("G", n), G("北京"), G("上海")));
  Fill();
  EXPECT_EQ(view_.SGrid.RowCount(), 16);
  EXPECT_EQ(view_.LabResult, G("结果:16"));
  Add(Row("G99", G("北京"), G("上海")));
  Fill();
  EXPECT_EQ(view_.SGrid.RowCount(), 17);
  EXPECT_EQ(state_.Pub_ResultCount, 17);
  EXPECT_EQ(view_.LabResult, G("结果:17"));
  EXPECT_EQ(view_.SGrid.Cells(0, 16), "G99");
}

TEST_F(ResultGridTest, WritesTheFifteenCellsWithDashForEmptyFares) {
  TPub_GridResult r = Row("1043", G("西安"), G("咸阳"), 23);
  r.TypeName = G("普快");
  r.FromDepart = "21:25";
  r.ToArrive = "21:43";
  r.Duration = "00:18";
  r.StopCount = 0;
  r.FareHardSeat = "3.5";
  r.FareHardSleeper = "38/41/43";
  Add(r);
  Fill();
  const Texts expected = {"1043",  G("北京"), G("上海"), G("普快"),  G("西安"),
                          "21:25", G("咸阳"), "21:43",   "0",        "23",
                          "00:18", "3.5",     "-",       "38/41/43", "-"};
  for (int col = 0; col < 15; ++col) {
    EXPECT_EQ(view_.SGrid.Cells(col, 0), expected[static_cast<size_t>(col)]) << col;
  }
}

TEST_F(ResultGridTest, MultipleUnitFilterKeepsUpperCaseCDGOnly) {
  state_.QueryMode = 1;
  for (const char* id : {"D301", "T1", "G7", "K44B", "C2001", "d302"}) {
    Add(Row(id, G("北京"), G("上海")));
  }
  view_.Filters.CBDC = true;
  Fill();
  EXPECT_EQ(Column(0), (Texts{"D301", "G7", "C2001"}));
  view_.Filters.CBDC = false;
  CBSFClick(state_, view_, {});
  EXPECT_EQ(Column(0), (Texts{"D301", "T1", "G7", "K44B", "C2001", "d302"}));
}

TEST_F(ResultGridTest, StationToStationOriginatingAndTerminatingFilters) {
  state_.QueryMode = 1;
  Add(Row("G1", G("北京"), G("上海")));    // starts and ends here
  Add(Row("G3", G("北京南"), G("上海")));  // boards after the origin
  Add(Row("G5", G("北京"), G("苏州")));    // alights before the terminus
  view_.Filters.CBSF = true;
  Fill();
  EXPECT_EQ(Column(0), (Texts{"G1", "G5"}));
  view_.Filters.CBZD = true;
  Fill();
  EXPECT_EQ(Column(0), (Texts{"G1"}));
}

TEST_F(ResultGridTest, TrainNumberModeIgnoresEverythingButMultipleUnitOnly) {
  state_.QueryMode = 2;
  Add(Row("T1", G("天津"), G("南京")));
  Add(Row("D5", G("天津"), G("南京")));
  view_.Filters.CBSF = view_.Filters.CBZD = view_.Filters.CBJQ = true;
  Fill();
  EXPECT_EQ(Column(0), (Texts{"T1", "D5"}));
  view_.Filters.CBDC = true;
  Fill();
  EXPECT_EQ(Column(0), (Texts{"D5"}));
}

TEST_F(ResultGridTest, StationTimetableFiltersAgainstTheTextAtFilterTime) {
  state_.QueryMode = 3;
  TPub_GridResult a = Row("G1", G("北京"), G("上海"));
  TPub_GridResult b = Row("G2", G("北京南"), G("上海"));
  b.StartStation = G("北京南");
  Add(a);
  Add(b);
  view_.Filters.CBSF = true;
  CBSFClick(state_, view_, G("北京"));
  EXPECT_EQ(Column(0), (Texts{"G1"}));
  // The box was edited after the query: the filter follows the edited, trimmed text.
  CBSFClick(state_, view_, G(" 北京南  "));
  EXPECT_EQ(Column(0), (Texts{"G2"}));

  view_.Filters.CBSF = false;
  view_.Filters.CBZD = true;
  CBSFClick(state_, view_, G("上海"));
  EXPECT_EQ(Column(0), (Texts{"G1", "G2"}));

  view_.Filters.CBZD = false;
  view_.Filters.CBJQ = true;
  CBSFClick(state_, view_, G("北京南"));
  EXPECT_EQ(Column(0), (Texts{"G2"}));
}

TEST_F(ResultGridTest, ExactNameFilterOfADirectQuery) {
  state_.QueryMode = 1;
  state_.Pub_FZ.Name = G("北京");
  state_.Pub_DZ.Name = G("上海");
  Add(Row("G1", G("北京南"), G("上海虹桥")));
  Add(Row("T1", G("北京"), G("上海")));
  Add(Row("D1", G("北京"), G("上海虹桥")));
  view_.Filters.CBJQ = true;
  Fill();
  EXPECT_EQ(Column(0), (Texts{"T1"}));
}

TEST_F(ResultGridTest, ExactNameFilterWithATransferStationShown) {
  state_.QueryMode = 1;
  state_.Pub_FZ.Name = G("北京");
  state_.Pub_DZ.Name = G("上海");
  state_.Pub_ZZStation = G("南京");
  Add(Row("G1", G("北京"), G("南京")));    // first leg
  Add(Row("G2", G("北京南"), G("南京")));  // first leg from another Beijing station
  Add(Row("D3", G("南京"), G("上海")));    // second leg to the typed station
  TPub_GridResult d4 = Row("D4", G("南京"), G("上海虹桥"));  // to another Shanghai station
  d4.EndStation = G("上海虹桥");
  Add(d4);
  view_.Filters.CBJQ = true;
  Fill();
  EXPECT_EQ(Column(0), (Texts{"G1", "D3"}));

  // The legs' transfer-side ends always pass the originating and terminating filters.
  view_.Filters.CBJQ = false;
  view_.Filters.CBSF = view_.Filters.CBZD = true;
  Fill();
  EXPECT_EQ(Column(0), (Texts{"G1", "D3", "D4"}));
}

TEST_F(ResultGridTest, HeaderClickWithoutResultsChangesNothing) {
  Lab1Click(state_, view_, 9);
  EXPECT_FALSE(view_.Labels[9].Bold);
  EXPECT_EQ(view_.Labels[9].Caption, G("里程"));
}

TEST_F(ResultGridTest, DistanceSortsAsNumbersTrainNumbersAsText) {
  Add(Row("T10", G("北京"), G("上海"), 120));
  Add(Row("2", G("北京"), G("上海"), 95));
  Add(Row("K1", G("北京"), G("上海"), 1463));
  Add(Row("1043", G("北京"), G("上海"), 1000));
  Fill();
  Lab1Click(state_, view_, 9);
  EXPECT_EQ(Column(9), (Texts{"95", "120", "1000", "1463"}));
  Lab1Click(state_, view_, 0);
  EXPECT_EQ(Column(0), (Texts{"1043", "2", "K1", "T10"}));
  EXPECT_EQ(view_.SGrid.RowCount(), 16);
}

TEST_F(ResultGridTest, ThreeClicksGoUpDownUpAndAnotherHeaderClearsTheMark) {
  for (int km : {300, 100, 200}) Add(Row(Numbered("G", km), G("北京"), G("上海"), km));
  Fill();
  Lab1Click(state_, view_, 9);
  EXPECT_EQ(view_.Labels[9].Caption, G("里程↑"));
  EXPECT_EQ(Column(9), (Texts{"100", "200", "300"}));
  Lab1Click(state_, view_, 9);
  EXPECT_EQ(view_.Labels[9].Caption, G("里程↓"));
  EXPECT_EQ(Column(9), (Texts{"300", "200", "100"}));
  Lab1Click(state_, view_, 9);
  EXPECT_EQ(view_.Labels[9].Caption, G("里程↑"));
  EXPECT_EQ(Column(9), (Texts{"100", "200", "300"}));

  Lab1Click(state_, view_, 0);
  EXPECT_FALSE(view_.Labels[9].Bold);
  EXPECT_EQ(view_.Labels[9].Caption, G("里程"));
  EXPECT_TRUE(view_.Labels[0].Bold);
  EXPECT_EQ(view_.Labels[0].Caption, G("车 次↑"));
}

TEST_F(ResultGridTest, ANewFillReappliesADescendingHeader) {
  Add(Row("G1", G("北京"), G("上海"), 100));
  Fill();
  Lab1Click(state_, view_, 9);
  Lab1Click(state_, view_, 9);
  state_.Pub_GridResults.clear();
  for (int km : {95, 1463, 120}) Add(Row(Numbered("G", km), G("北京"), G("上海"), km));
  Fill();
  EXPECT_EQ(Column(9), (Texts{"1463", "120", "95"}));
  EXPECT_EQ(view_.Labels[9].Caption, G("里程↓"));
}

TEST_F(ResultGridTest, OnlyTheShownRowsAreSortedAndAllStayVisible) {
  state_.QueryMode = 1;
  Add(Row("T9", G("北京"), G("上海"), 300));
  Add(Row("D2", G("北京"), G("上海"), 200));
  Add(Row("K5", G("北京"), G("上海"), 50));
  Add(Row("G4", G("北京"), G("上海"), 100));
  view_.Filters.CBDC = true;
  Fill();
  Lab1Click(state_, view_, 9);
  EXPECT_EQ(state_.Pub_ResultCount, 2);
  EXPECT_EQ(Column(0), (Texts{"G4", "D2"}));
  EXPECT_EQ(view_.SGrid.RowCount(), 16);
  EXPECT_EQ(view_.SGrid.Cells(0, 2), "");
  EXPECT_EQ(view_.SGrid.Cells(9, 2), "");  // blank rows take no part, so they stay blank
  EXPECT_EQ(view_.LabResult, G("结果:2"));
}

TEST_F(ResultGridTest, HardSeatSortCompletesOverDashes) {
  const std::vector<std::string> fares = {"120", "", "95", "33.5", "", "200"};
  for (size_t n = 0; n < fares.size(); ++n) {
    TPub_GridResult r = Row(Numbered("K", static_cast<int>(n)), G("北京"), G("上海"));
    r.FareHardSeat = fares[n];
    Add(r);
  }
  Fill();
  Lab1Click(state_, view_, 11);
  const Texts seats = Column(11);
  EXPECT_EQ(seats[0], "-");
  EXPECT_EQ(seats[1], "-");
  EXPECT_EQ(Texts(seats.begin() + 2, seats.end()), (Texts{"33.5", "95", "120", "200"}));
  Lab1Click(state_, view_, 11);
  const Texts down = Column(11);
  EXPECT_EQ(Texts(down.begin(), down.begin() + 4), (Texts{"200", "120", "95", "33.5"}));
}

// The train-number list writes running times unpadded: only minutes put 6:5 before 10:5.
TEST_F(ResultGridTest, TheRunningTimeColumnSortsByMinutes) {
  state_.QueryMode = 2;
  for (const char* time : {"10:5", "6:5", "9:50"}) {
    TPub_GridResult r = Row(time, G("北京"), G("上海"));
    r.Duration = time;
    Add(r);
  }
  Fill();
  Lab1Click(state_, view_, 10);
  EXPECT_EQ(Column(10), (Texts{"6:5", "9:50", "10:5"}));
}

}  // namespace
}  // namespace velmor

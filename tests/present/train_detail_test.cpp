#include "present/train_detail.h"

#include <gtest/gtest.h>

#include "../query/query_fixture.h"
#include "present/result_grid.h"
#include "query/fares.h"
#include "query/queries.h"

namespace velmor {
namespace {

using testing::FixtureTables;

struct Shown {
  Shown() {
    BuildFareZoneTable(state.Fares);
    BuildFareRateTable(state.Fares);
  }
  PubState state;
  ResultView view;
};

TEST(TrainDetail, ATrainNumberRowIsBlueThroughout) {
  Shown s;
  TrainNumberQuery(s.state, FixtureTables(), "1043");
  FillResultGrid(s.state, s.view, "");
  MsgView m;
  ASSERT_TRUE(BuildTrainDetail(s.state, FixtureTables(), s.view.SGrid, 0, m));
  EXPECT_EQ(m.Caption, G("车次:1043"));
  EXPECT_EQ(m.FilledRows, 6);
  EXPECT_EQ(m.MGrid.RowCount(), 20);
  EXPECT_EQ(m.MarkFromNo, 1);
  EXPECT_EQ(m.MarkToNo, 6);
  for (int r = 0; r < 6; ++r) EXPECT_TRUE(IsStretchRow(m, r)) << r;
  EXPECT_FALSE(IsStretchRow(m, 6));
  EXPECT_TRUE(m.MGrid.SelectionParked());
  EXPECT_EQ(m.LabQC, G("全程：2810km/历时37:43/速度75km/h"));
  EXPECT_EQ(m.LabQJ, G("区间：2810km/历时37:43/速度75km/h"));
  // Stop 2: 23 km in 18 minutes.
  const std::vector<std::string> second = {"2",     G("咸阳"), "23", "21:43",
                                           "21:45", G("当天"), "18", "77"};
  for (int k = 0; k < 8; ++k) EXPECT_EQ(m.MGrid.Cells(k, 1), second[k]) << k;
  EXPECT_EQ(m.MGrid.Cells(3, 0), "");
  EXPECT_EQ(m.MGrid.Cells(7, 0), "");
  // 05:10 is earlier than 23:34: the train is in its second day from 兰州 on.
  EXPECT_EQ(m.MGrid.Cells(5, 2), G("当天"));
  EXPECT_EQ(m.MGrid.Cells(5, 3), G("第2天"));
  EXPECT_EQ(m.MGrid.Cells(5, 5), G("第2天"));
}

TEST(TrainDetail, AStationToStationRowMarksOnlyItsStretch) {
  Shown s;
  QueryStationToStation(s.state, FixtureTables(), G("咸阳"), G("兰州"));
  FillResultGrid(s.state, s.view, "");
  MsgView m;
  ASSERT_TRUE(BuildTrainDetail(s.state, FixtureTables(), s.view.SGrid, 0, m));
  EXPECT_EQ(m.MarkFromNo, 2);
  EXPECT_EQ(m.MarkToNo, 4);
  const std::vector<bool> blue = {false, true, true, true, false, false};
  for (int r = 0; r < 6; ++r) EXPECT_EQ(IsStretchRow(m, r), blue[r]) << r;
  EXPECT_EQ(m.LabQJ, G("区间：653km/历时07:27/速度88km/h"));
}

TEST(TrainDetail, RunningTimeWithoutMinutesIsRepaired) {
  Shown s;
  TrainNumberQuery(s.state, FixtureTables(), "K10");
  FillResultGrid(s.state, s.view, "");
  MsgView m;
  ASSERT_TRUE(BuildTrainDetail(s.state, FixtureTables(), s.view.SGrid, 0, m));
  EXPECT_EQ(m.MGrid.Cells(6, 2), "5:0");
  EXPECT_EQ(m.MGrid.Cells(7, 2), "102");
  // The whole-run line shows the stored text.
  EXPECT_EQ(m.LabQC, G("全程：495km/历时5:/速度99km/h"));
}

TEST(TrainDetail, NothingToOpenOutsideTheResultsOrForAnUnknownTrain) {
  Shown s;
  TrainNumberQuery(s.state, FixtureTables(), "1043");
  FillResultGrid(s.state, s.view, "");
  MsgView m;
  m.Caption = "untouched";
  EXPECT_FALSE(BuildTrainDetail(s.state, FixtureTables(), s.view.SGrid, 1, m));
  EXPECT_FALSE(BuildTrainDetail(s.state, FixtureTables(), s.view.SGrid, -1, m));
  TStringGrid grid(15, 16);
  grid.SetCell(0, 0, "1112");  // stored as 1112/1113
  EXPECT_FALSE(BuildTrainDetail(s.state, FixtureTables(), grid, 0, m));
  EXPECT_EQ(m.Caption, "untouched");
}

TEST(TrainDetail, ABoardingStationNotAmongTheStopsStartsTheStretchAtTheEnd) {
  Shown s;
  s.state.Pub_GridResults.resize(1);
  TStringGrid grid(15, 16);
  grid.SetCell(0, 0, "1043");
  grid.SetCell(4, 0, G("北京"));
  grid.SetCell(8, 0, "x");  // unreadable stop count counts as 0
  MsgView m;
  ASSERT_TRUE(BuildTrainDetail(s.state, FixtureTables(), grid, 0, m));
  EXPECT_EQ(m.MarkFromNo, 6);
  EXPECT_EQ(m.MarkToNo, 6);
  EXPECT_TRUE(IsStretchRow(m, 5));
  EXPECT_FALSE(IsStretchRow(m, 4));
  EXPECT_EQ(m.LabQJ, G("区间：km/历时/速度km/h"));
}

}  // namespace
}  // namespace velmor

#include "present/transfer_list.h"

#include <gtest/gtest.h>

#include "../query/query_fixture.h"
#include "query/fares.h"
#include "query/queries.h"

namespace velmor {
namespace {

using testing::FixtureTables;

struct Transfer {
  Transfer(const char* from, const char* to) {
    BuildFareZoneTable(state.Fares);
    BuildFareRateTable(state.Fares);
    state.QueryMode = 1;
    ZZSearch(state, FixtureTables(), G(from), G(to));
    ShowZZList(state, list);
  }
  int RowOf(const char* station) const {
    for (int r = 0; r < list.ZZCount; ++r) {
      if (list.ZGrid.Cells(0, r) == G(station)) return r;
    }
    return -1;
  }
  PubState state;
  ZzzView list;
  ResultView result;
};

TEST(TransferList, ListsUsableCandidatesSortedByNameWithoutTheTypedStations) {
  Transfer t("合肥", "鹰潭");
  // 合肥 is reached (K103 boards at 合肥南) and left towards 鹰潭, but it is the typed name;
  // 上饶 is never left towards 鹰潭.
  ASSERT_EQ(t.list.ZZCount, 2);
  EXPECT_EQ(t.list.ZGrid.Cells(0, 0), G("九江"));
  EXPECT_EQ(t.list.ZGrid.Cells(0, 1), G("南昌"));
  EXPECT_EQ(t.list.ZGrid.Cells(0, 2), "");
  EXPECT_EQ(t.list.ZGrid.RowCount(), 20);
  const std::vector<std::string> nanchang = {G("南昌"), "420", "118", "538", "05:07",
                                             "00:58",   "6:5", "3",   "2"};
  for (int k = 0; k < 9; ++k) EXPECT_EQ(t.list.ZGrid.Cells(k, 1), nanchang[k]) << k;
  EXPECT_TRUE(t.list.Labels[0].Bold);
  EXPECT_EQ(t.list.Labels[0].Caption, G("中转站↑"));
  EXPECT_FALSE(t.list.Labels[1].Bold);
  EXPECT_EQ(t.list.Caption, G("两地共有<2>个中转站供选择:"));
  EXPECT_EQ(t.list.LabInfo, G("中转换乘牵涉因素较多，请综合各种因素进行换乘站选择。"));
  EXPECT_TRUE(t.list.ZGrid.SelectionParked());
}

TEST(TransferList, HeaderClicksSortNumbersAndDoNothingOnAnEmptyList) {
  Transfer t("合肥", "鹰潭");
  ZzzLab1Click(t.list, 1);  // 前里程 ascending: 250 before 420
  EXPECT_EQ(t.list.ZGrid.Cells(0, 0), G("九江"));
  ZzzLab1Click(t.list, 1);
  EXPECT_EQ(t.list.ZGrid.Cells(0, 0), G("南昌"));
  EXPECT_EQ(t.list.Labels[1].Caption, G("前里程↓"));
  EXPECT_FALSE(t.list.Labels[0].Bold);
  EXPECT_EQ(t.list.Labels[0].Caption, G("中转站"));
  EXPECT_EQ(t.list.ZGrid.RowCount(), 20);

  Transfer none("北京", "广州");
  EXPECT_EQ(none.list.ZZCount, 0);
  EXPECT_EQ(none.list.Caption, G("两地共有<0>个中转站供选择:"));
  EXPECT_FALSE(none.list.Labels[0].Bold);
  ZzzLab1Click(none.list, 3);
  EXPECT_FALSE(none.list.Labels[3].Bold);
}

TEST(TransferList, ClickingAStationShowsThreeFirstLegsThenTwoSecondLegs) {
  Transfer t("合肥", "鹰潭");
  const int row = t.RowOf("南昌");
  ASSERT_GE(row, 0);
  ASSERT_TRUE(ZGridClick(t.state, FixtureTables(), t.list, t.result, row, ""));
  EXPECT_EQ(t.state.Pub_ResultCount, 5);
  EXPECT_EQ(t.result.LabResult, G("结果:5"));
  const std::vector<std::string> ids = {"K101", "K103", "T145", "K103", "D6501"};
  for (int r = 0; r < 5; ++r) EXPECT_EQ(t.result.SGrid.Cells(0, r), ids[r]) << r;
  for (int r = 0; r < 3; ++r) EXPECT_EQ(t.result.SGrid.Cells(6, r), G("南昌")) << r;
  for (int r = 3; r < 5; ++r) EXPECT_EQ(t.result.SGrid.Cells(4, r), G("南昌")) << r;
  EXPECT_EQ(t.state.Pub_ZZStation, G("南昌"));

  // After a sort the counts are read from the row as shown.
  ZzzLab1Click(t.list, 8);
  ZzzLab1Click(t.list, 8);  // 到站车数 descending: 南昌 (2) first
  ASSERT_EQ(t.list.ZGrid.Cells(0, 0), G("南昌"));
  ASSERT_TRUE(ZGridClick(t.state, FixtureTables(), t.list, t.result, t.RowOf("九江"), ""));
  EXPECT_EQ(t.state.Pub_ResultCount, 4);
  EXPECT_EQ(t.state.Pub_ZZStation, G("九江"));
}

TEST(TransferList, ClicksOutsideTheListedRowsChangeNothing) {
  Transfer t("合肥", "鹰潭");
  ASSERT_TRUE(ZGridClick(t.state, FixtureTables(), t.list, t.result, 1, ""));
  const int shown = t.state.Pub_ResultCount;
  EXPECT_FALSE(ZGridClick(t.state, FixtureTables(), t.list, t.result, 2, ""));
  EXPECT_FALSE(ZGridClick(t.state, FixtureTables(), t.list, t.result, -1, ""));
  EXPECT_EQ(t.state.Pub_ResultCount, shown);
}

TEST(TransferList, TheTotalTimeColumnSortsByMinutes) {
  PubState state;
  for (const char* name : {"a", "b"}) {
    TPub_ZZStruct e;
    e.StationName = name;
    e.SumDuration = name[0] == 'a' ? "10:5" : "6:5";
    e.DZTrainCount = 1;
    state.Pub_ZZList.push_back(e);
  }
  ZzzView list;
  ShowZZList(state, list);
  ZzzLab1Click(list, 6);
  EXPECT_EQ(list.ZGrid.Cells(6, 0), "6:5");
  EXPECT_EQ(list.ZGrid.Cells(6, 1), "10:5");
}

}  // namespace
}  // namespace velmor

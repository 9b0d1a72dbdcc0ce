#include <gtest/gtest.h>

#include "query/queries.h"
#include "query_fixture.h"

namespace velmor {
namespace {

using testing::FixtureTables;

const TPub_GridResult* Row(const PubState& s, const std::string& id) {
  for (const auto& r : s.Pub_GridResults) {
    if (r.TrainID == id) return &r;
  }
  return nullptr;
}

TEST(StationTimetableChecks, LettersEmptyAndUnknownNames) {
  TMemTable& py = FixtureTables().KMPy;
  for (const std::string text : {"", "BJ"}) {
    auto m = CheckStationTimetable(text, py);
    ASSERT_TRUE(m.has_value());
    EXPECT_EQ(m->Caption, G("信息不完整"));
    EXPECT_EQ(m->Text, G("请输入车站。"));
    EXPECT_EQ(m->Focus, TFocusTarget::ComboCZ);
  }
  auto m = CheckStationTimetable(G("北京x"), py);
  ASSERT_TRUE(m.has_value());
  EXPECT_EQ(m->Caption, G("输入错误"));
  EXPECT_EQ(m->Text, G("车站不存在。"));
  EXPECT_FALSE(CheckStationTimetable(G("南昌"), py).has_value());
}

TEST(StationTimetable, OriginIntermediateAndTerminatingTrains) {
  PubState s;
  QueryStationTimetable(s, FixtureTables(), G("南昌"));
  ASSERT_EQ(s.Pub_GridResults.size(), 4u);
  const TPub_GridResult* origin = Row(s, "D6501");
  ASSERT_NE(origin, nullptr);
  EXPECT_EQ(origin->FromStation, G("南昌"));
  EXPECT_EQ(origin->FromNo, 1);
  EXPECT_EQ(origin->ToStation, G("鹰潭"));
  EXPECT_EQ(origin->Duration, "00:58");
  EXPECT_EQ(origin->FareHardSeat, "37");

  const TPub_GridResult* ends = Row(s, "K101");
  ASSERT_NE(ends, nullptr);
  EXPECT_EQ(ends->FromStation, G("合肥"));
  EXPECT_EQ(ends->FromNo, 1);
  EXPECT_EQ(ends->FromDepart, "20:00");
  EXPECT_EQ(ends->FromElapsed, "0");
  EXPECT_EQ(ends->FromDistance, 0);
  EXPECT_EQ(ends->ToStation, G("南昌"));
  EXPECT_EQ(ends->ToNo, 3);
  EXPECT_EQ(ends->StopCount, 2);
  EXPECT_EQ(ends->Duration, "05:07");

  // An intermediate stop runs to the terminus, not to the next stop.
  const TPub_GridResult* through = Row(s, "T145");
  ASSERT_NE(through, nullptr);
  EXPECT_EQ(through->FromNo, 3);
  EXPECT_EQ(through->ToStation, G("上饶"));
  EXPECT_EQ(through->ToNo, 4);
  EXPECT_EQ(through->Distance, 230);
}

TEST(StationTimetable, AGroupedStationListsEveryStationOfItsCityOncePerTrain) {
  PubState s;
  QueryStationTimetable(s, FixtureTables(), G("北京"));
  std::vector<std::string> ids;
  for (const auto& r : s.Pub_GridResults) ids.push_back(r.TrainID);
  EXPECT_EQ(ids, (std::vector<std::string>{"C2001", "D301", "G1", "K10", "T110", "T8", "Z19"}));
  // T8 departs 北京南 and ends at 北京: the terminus is passed over, one row only.
  const TPub_GridResult* t8 = Row(s, "T8");
  ASSERT_NE(t8, nullptr);
  EXPECT_EQ(t8->FromStation, G("北京南"));
  EXPECT_EQ(t8->ToStation, G("北京"));
  EXPECT_EQ(s.Pub_FZ.Name, G("北京"));
  EXPECT_EQ(s.Pub_DZ.Name, G("北京"));
}

TEST(StationTimetable, AStationWithoutGroupMatchesByName) {
  PubState s;
  QueryStationTimetable(s, FixtureTables(), G("济南"));
  for (const auto& r : s.Pub_GridResults) {
    EXPECT_TRUE(r.FromStation == G("济南") || r.ToStation == G("济南")) << r.TrainID;
  }
  EXPECT_EQ(s.Pub_GridResults.size(), 4u);  // G1, D301, T110, K10
}

TEST(StationTimetable, AStopListWithoutTerminusEndsAtItsLastStop) {
  PubState s;
  QueryStationTimetable(s, FixtureTables(), G("长沙"));
  const TPub_GridResult* k = Row(s, "K264B");
  ASSERT_NE(k, nullptr);
  EXPECT_EQ(k->FromNo, 2);
  EXPECT_EQ(k->ToStation, G("武汉"));
  EXPECT_EQ(k->ToNo, 3);
  EXPECT_EQ(k->Duration, "04:30");

  // Z99 is the last train of the table: the walk stops at the table's end.
  QueryStationTimetable(s, FixtureTables(), G("兰州"));
  const TPub_GridResult* z = Row(s, "Z99");
  ASSERT_NE(z, nullptr);
  EXPECT_EQ(z->ToStation, G("乌鲁木齐"));
  EXPECT_EQ(z->ToNo, 2);
  EXPECT_EQ(z->Duration, "23:40");
  const TPub_GridResult* west = Row(s, "1043");
  ASSERT_NE(west, nullptr);
  EXPECT_EQ(west->ToStation, G("奎屯"));
}

}  // namespace
}  // namespace velmor

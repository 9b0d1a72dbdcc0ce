#include <gtest/gtest.h>

#include "query/queries.h"
#include "query_fixture.h"

namespace velmor {
namespace {

using testing::FixtureTables;

std::vector<std::string> TrainIds(const PubState& s) {
  std::vector<std::string> ids;
  for (const auto& r : s.Pub_GridResults) ids.push_back(r.TrainID);
  return ids;
}

void ExpectMessage(const std::optional<TInputMessage>& m, const char* caption, const char* text,
                   TFocusTarget focus) {
  ASSERT_TRUE(m.has_value()) << text;
  EXPECT_EQ(m->Caption, G(caption));
  EXPECT_EQ(m->Text, G(text));
  EXPECT_EQ(m->Focus, focus);
}

TEST(StationToStationChecks, EachRefusalWithItsCaptionAndFocus) {
  TMemTable& py = FixtureTables().KMPy;
  ExpectMessage(CheckStationToStation("", G("上海"), py), "信息不完整", "请输入发站。",
                TFocusTarget::ComboFZ);
  // Valid pinyin initials are still refused: a station must be picked from the list.
  ExpectMessage(CheckStationToStation("BJ", G("上海"), py), "信息不完整", "请输入发站。",
                TFocusTarget::ComboFZ);
  ExpectMessage(CheckStationToStation(G("北京"), "sh", py), "信息不完整", "请输入到站。",
                TFocusTarget::ComboDZ);
  ExpectMessage(CheckStationToStation(G("北京"), G("北京"), py), "输入错误", "发站与到站相同。",
                TFocusTarget::ComboDZ);
  ExpectMessage(CheckStationToStation("bj1", G("北京"), py), "输入错误", "发站不存在。",
                TFocusTarget::ComboFZ);
  ExpectMessage(CheckStationToStation(G("北京"), G("火星"), py), "输入错误", "到站不存在。",
                TFocusTarget::ComboDZ);
  EXPECT_FALSE(CheckStationToStation(G("北京"), G("上海"), py).has_value());
  EXPECT_EQ(TransferOfferText(), G("两站之间无直达列车,是否进行中转站查询?"));
}

TEST(StationToStation, BeijingToShanghaiBoardsAtAnyBeijingStation) {
  PubState s;
  QueryStationToStation(s, FixtureTables(), G("北京"), G("上海"));
  // T110 and T8 run the other way and give no row.
  ASSERT_EQ(TrainIds(s), (std::vector<std::string>{"D301", "G1"}));
  const TPub_GridResult& d = s.Pub_GridResults[0];
  EXPECT_EQ(d.NType, 1);
  EXPECT_EQ(d.TypeName, G("动车组"));
  EXPECT_EQ(d.StartStation, G("北京"));
  EXPECT_EQ(d.FromStation, G("北京"));
  EXPECT_EQ(d.FromNo, 1);
  EXPECT_EQ(d.FromDepart, "21:15");
  EXPECT_EQ(d.ToStation, G("上海"));
  EXPECT_EQ(d.ToNo, 6);
  EXPECT_EQ(d.ToArrive, "07:25");
  EXPECT_EQ(d.StopCount, 5);
  EXPECT_EQ(d.Distance, 1463);
  EXPECT_EQ(d.Duration, "10:10");
  // Boarding at the origin copies the stored fares.
  EXPECT_EQ(d.FareHardSeat, "453");
  EXPECT_EQ(d.FareSoftSeat, "544");
  const TPub_GridResult& g = s.Pub_GridResults[1];
  EXPECT_EQ(g.FromStation, G("北京南"));
  EXPECT_EQ(g.ToStation, G("上海虹桥"));
  EXPECT_EQ(g.TotalDistance, 1318);
  EXPECT_EQ(g.Duration, "04:48");
  EXPECT_EQ(s.Pub_FZ.Name, G("北京"));
  EXPECT_EQ(s.Pub_DZ.Name, G("上海"));
}

TEST(StationToStation, TheLastWantedArrivalStopIsTheAlightingStop) {
  PubState s;
  QueryStationToStation(s, FixtureTables(), G("上海"), G("北京"));
  ASSERT_EQ(TrainIds(s), (std::vector<std::string>{"T110", "T8"}));
  const TPub_GridResult& t8 = s.Pub_GridResults[1];
  EXPECT_EQ(t8.ToStation, G("北京"));
  EXPECT_EQ(t8.ToNo, 4);
  EXPECT_EQ(t8.ToArrive, "06:30");
  EXPECT_EQ(t8.Duration, "13:30");
}

TEST(StationToStation, ATrainEndingAtTheDepartureOrRunningBackwardsGivesNoRow) {
  PubState s;
  // Z40 ends at 武汉 and K264B calls at 长沙 before 武汉.
  QueryStationToStation(s, FixtureTables(), G("武汉"), G("长沙"));
  EXPECT_EQ(TrainIds(s), (std::vector<std::string>{"G1001", "K1002/K1003"}));
  const TPub_GridResult& k = s.Pub_GridResults[1];
  EXPECT_EQ(k.FromNo, 2);
  EXPECT_EQ(k.StopCount, 1);
  EXPECT_EQ(k.Distance, 362);
  EXPECT_EQ(k.Duration, "04:20");
  EXPECT_FALSE(k.FareHardSeat.empty());
}

TEST(StationToStation, UngroupedDepartureReachesTheWholeArrivalCity) {
  PubState s;
  QueryStationToStation(s, FixtureTables(), G("济南"), G("北京"));
  ASSERT_EQ(TrainIds(s), std::vector<std::string>{"T110"});
  EXPECT_EQ(s.Pub_GridResults[0].Duration, "04:39");
}

TEST(StationToStation, SameCityMatchesOnlyTheTypedStations) {
  PubState s;
  // T8 calls at 北京南 and then 北京; 北京西 is the typed departure, so nothing matches.
  QueryStationToStation(s, FixtureTables(), G("北京南"), G("北京"));
  ASSERT_EQ(TrainIds(s), std::vector<std::string>{"T8"});
  EXPECT_EQ(s.Pub_GridResults[0].StopCount, 1);
  QueryStationToStation(s, FixtureTables(), G("北京西"), G("北京"));
  EXPECT_TRUE(s.Pub_GridResults.empty());
}

TEST(StationToStation, NoDirectTrainLeavesTheListEmpty) {
  PubState s;
  s.Pub_GridResults.resize(3);
  QueryStationToStation(s, FixtureTables(), G("南京"), G("西安"));
  EXPECT_TRUE(s.Pub_GridResults.empty());
}

}  // namespace
}  // namespace velmor

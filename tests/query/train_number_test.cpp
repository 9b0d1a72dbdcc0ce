#include <gtest/gtest.h>

#include "query/queries.h"
#include "query_fixture.h"

namespace velmor {
namespace {

using testing::FixtureTables;

std::vector<std::string> Query(PubState& s, std::string_view text) {
  TrainNumberQuery(s, FixtureTables(), text);
  std::vector<std::string> ids;
  for (const auto& r : s.Pub_GridResults) ids.push_back(r.TrainID);
  return ids;
}

TEST(TrainNumberChecks, OnlyBlankInputIsRefused) {
  auto m = CheckTrainNumber(" \t ");
  ASSERT_TRUE(m.has_value());
  EXPECT_EQ(m->Caption, G("信息不完整"));
  EXPECT_EQ(m->Text, G("请输入车次。"));
  EXPECT_EQ(m->Focus, TFocusTarget::ECC);
  EXPECT_FALSE(CheckTrainNumber("k10").has_value());
}

TEST(TrainNumber, TrimmedLowerCaseFindsTheWholeRun) {
  PubState s;
  s.Pub_FZ.Name = G("北京");
  s.Pub_DZ.Name = G("上海");
  // K1002/K1003 begins with "K10" but not with "K10/".
  ASSERT_EQ(Query(s, "  k10 "), std::vector<std::string>{"K10"});
  EXPECT_TRUE(s.Pub_FZ.Name.empty());
  EXPECT_TRUE(s.Pub_DZ.Name.empty());
  const TPub_GridResult& r = s.Pub_GridResults[0];
  EXPECT_EQ(r.TypeName, G("空调快速"));
  EXPECT_EQ(r.FromStation, G("北京"));
  EXPECT_EQ(r.FromNo, 1);
  EXPECT_EQ(r.FromDepart, "08:00");
  EXPECT_EQ(r.FromElapsed, "0");
  EXPECT_EQ(r.ToStation, G("济南"));
  EXPECT_EQ(r.ToNo, 3);
  EXPECT_EQ(r.ToArrive, "13:00");
  EXPECT_EQ(r.StopCount, 2);
  EXPECT_EQ(r.Distance, 495);
  EXPECT_EQ(r.Duration, "5:");
  EXPECT_EQ(r.FareHardSeat, "52");
  EXPECT_EQ(r.FareSoftSeat, "-");
  EXPECT_EQ(r.FareHardSleeper, "108/113/117");
  EXPECT_EQ(r.FareSoftSleeper, "167/175");
}

TEST(TrainNumber, CombinedNumbersMatchOnTheirFirstNumberOnly) {
  PubState s;
  ASSERT_EQ(Query(s, "1112"), std::vector<std::string>{"1112/1113"});
  const TPub_GridResult& r = s.Pub_GridResults[0];
  EXPECT_EQ(r.FromStation, G("石家庄"));
  EXPECT_EQ(r.ToStation, G("郑州"));
  EXPECT_EQ(r.ToNo, 3);
  EXPECT_EQ(r.FareHardSeat, "49");
  EXPECT_TRUE(Query(s, "1113").empty());
  EXPECT_EQ(Query(s, "K1002"), std::vector<std::string>{"K1002/K1003"});
  EXPECT_TRUE(Query(s, "K1003").empty());
  EXPECT_TRUE(Query(s, "K264").empty());
}

TEST(TrainNumber, TrainsWithoutTerminusRowGetStopOne) {
  PubState s;
  for (const char* id : {"K264B", "Z99"}) {
    ASSERT_EQ(Query(s, id), std::vector<std::string>{id});
    EXPECT_EQ(s.Pub_GridResults[0].ToNo, 1) << id;
    EXPECT_EQ(s.Pub_GridResults[0].StopCount, 0) << id;
  }
  EXPECT_EQ(s.Pub_GridResults[0].ToStation, G("奎屯"));
  EXPECT_EQ(TerminalStopNo(FixtureTables().KMTrain, "1043"), 6);
  EXPECT_EQ(TerminalStopNo(FixtureTables().KMTrain, "1112"), 1);
}

TEST(TrainNumber, DurationIsTheStoredWholeRunTime) {
  PubState s;
  ASSERT_EQ(Query(s, "1043"), std::vector<std::string>{"1043"});
  EXPECT_EQ(s.Pub_GridResults[0].Duration, "37:43");
  EXPECT_EQ(s.Pub_GridResults[0].ToArrive, "11:08");
}

}  // namespace
}  // namespace velmor

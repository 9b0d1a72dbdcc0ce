#include <gtest/gtest.h>

#include "query/queries.h"
#include "query_fixture.h"

namespace velmor {
namespace {

using testing::FixtureTables;

const TPub_ZZStruct* Candidate(const PubState& s, const std::string& name) {
  for (const auto& e : s.Pub_ZZList) {
    if (e.StationName == name) return &e;
  }
  return nullptr;
}

TEST(TransferSearch, LegsOfBothSides) {
  PubState s;
  s.Pub_GridResults.resize(2);
  ZZSearch(s, FixtureTables(), G("合肥"), G("鹰潭"));
  EXPECT_TRUE(s.Pub_GridResults.empty());
  // K101: 2 legs, K103 boards at 合肥南 (same city): 4 legs, T145: 3 legs.
  ASSERT_EQ(s.Pub_FZLegs.size(), 9u);
  EXPECT_EQ(s.Pub_FZLegs[0].TrainID, "K101");
  EXPECT_EQ(s.Pub_FZLegs[2].TrainID, "K103");
  EXPECT_EQ(s.Pub_FZLegs[2].FromStation, G("合肥南"));
  EXPECT_EQ(s.Pub_FZLegs[2].ToStation, G("合肥"));
  EXPECT_EQ(s.Pub_FZLegs[2].ToArrive, "19:20");
  // Arrival side walked backwards: K103's earlier stops nearest first, then D6501.
  ASSERT_EQ(s.Pub_DZLegs.size(), 5u);
  std::vector<std::string> from;
  for (const auto& l : s.Pub_DZLegs) from.push_back(l.FromStation);
  EXPECT_EQ(from,
            (std::vector<std::string>{G("南昌"), G("九江"), G("合肥"), G("合肥南"), G("南昌")}));
  EXPECT_EQ(s.Pub_DZLegs[4].TrainID, "D6501");
  EXPECT_EQ(s.Pub_DZLegs[0].FromDepart, "00:50");
  EXPECT_EQ(s.Pub_DZLegs[0].ToArrive, "02:30");
}

TEST(TransferSearch, CandidateFiguresComeFromTheFirstTrainsInIndexOrder) {
  PubState s;
  ZZSearch(s, FixtureTables(), G("合肥"), G("鹰潭"));
  const TPub_ZZStruct* nc = Candidate(s, G("南昌"));
  ASSERT_NE(nc, nullptr);
  EXPECT_EQ(nc->FrontDistance, 420);
  EXPECT_EQ(nc->FrontDuration, "05:07");
  EXPECT_EQ(nc->BackDistance, 118);
  EXPECT_EQ(nc->BackDuration, "00:58");
  EXPECT_EQ(nc->SumDistance, 538);
  EXPECT_EQ(nc->SumDuration, "6:5");
  EXPECT_EQ(nc->FZTrainCount, 3);
  EXPECT_EQ(nc->DZTrainCount, 2);
  const TPub_ZZStruct* jj = Candidate(s, G("九江"));
  ASSERT_NE(jj, nullptr);
  EXPECT_EQ(jj->BackDistance, 288);
  EXPECT_EQ(jj->BackDuration, "03:50");
  EXPECT_EQ(jj->SumDuration, "7:0");
  EXPECT_EQ(jj->FZTrainCount, 3);
  EXPECT_EQ(jj->DZTrainCount, 1);
  // Reached but never left towards the arrival side.
  const TPub_ZZStruct* sr = Candidate(s, G("上饶"));
  ASSERT_NE(sr, nullptr);
  EXPECT_EQ(sr->DZTrainCount, 0);
  // Stations reached only from the arrival side are never candidates.
  EXPECT_EQ(Candidate(s, G("合肥南")), nullptr);
  // List order is first reach in leg order.
  ASSERT_GE(s.Pub_ZZList.size(), 2u);
  EXPECT_EQ(s.Pub_ZZList[0].StationName, G("九江"));
  EXPECT_EQ(s.Pub_ZZList[1].StationName, G("南昌"));
}

TEST(TransferSearch, LinesMeetingAtOneStation) {
  PubState s;
  ZZSearch(s, FixtureTables(), G("南京"), G("西安"));
  const TPub_ZZStruct* zz = Candidate(s, G("郑州"));
  ASSERT_NE(zz, nullptr);
  EXPECT_EQ(zz->FrontDistance, 697);
  EXPECT_EQ(zz->BackDistance, 511);
  EXPECT_EQ(zz->FrontDuration, "06:38");
  EXPECT_EQ(zz->BackDuration, "05:57");
  EXPECT_EQ(zz->SumDuration, "12:35");
  int listed = 0;
  for (const auto& e : s.Pub_ZZList) listed += e.DZTrainCount > 0 ? 1 : 0;
  EXPECT_EQ(listed, 1);
}

TEST(TransferSearch, FillResultsPutsFirstLegsBeforeSecondLegs) {
  PubState s;
  ZZSearch(s, FixtureTables(), G("合肥"), G("鹰潭"));
  FillZZResults(s, FixtureTables(), G("南昌"), 3, 2);
  EXPECT_EQ(s.Pub_ZZStation, G("南昌"));
  std::vector<std::string> ids;
  for (const auto& r : s.Pub_GridResults) ids.push_back(r.TrainID);
  EXPECT_EQ(ids, (std::vector<std::string>{"K101", "K103", "T145", "K103", "D6501"}));
  const TPub_GridResult& first = s.Pub_GridResults[1];
  EXPECT_EQ(first.StartStation, G("合肥南"));
  EXPECT_EQ(first.FromStation, G("合肥南"));
  EXPECT_EQ(first.ToStation, G("南昌"));
  EXPECT_EQ(first.StopCount, 3);
  EXPECT_EQ(first.Duration, "05:40");
  const TPub_GridResult& second = s.Pub_GridResults[3];
  EXPECT_EQ(second.FromStation, G("南昌"));
  EXPECT_EQ(second.ToStation, G("鹰潭"));
  EXPECT_EQ(second.Distance, 118);
  EXPECT_EQ(second.Duration, "01:50");
  EXPECT_FALSE(second.FareHardSeat.empty());

  // Counts smaller than the legs cut each walk short; odd counts never overrun the list.
  FillZZResults(s, FixtureTables(), G("南昌"), 1, 1);
  ASSERT_EQ(s.Pub_GridResults.size(), 2u);
  EXPECT_EQ(s.Pub_GridResults[0].TrainID, "K101");
  EXPECT_EQ(s.Pub_GridResults[1].TrainID, "K103");
  FillZZResults(s, FixtureTables(), G("南昌"), 0, -4);
  EXPECT_TRUE(s.Pub_GridResults.empty());
}

TEST(TransferSearch, BuildListFromHandMadeLegs) {
  PubState s;
  TPub_GridResult a;
  a.FromElapsed = "0";
  a.ToStation = "X";
  a.ToElapsed = "1:0";
  a.ToDistance = 50;
  TPub_GridResult b = a;
  b.ToElapsed = "2:0";
  b.ToDistance = 90;
  s.Pub_FZLegs = {a, b};
  TPub_GridResult back;
  back.FromStation = "X";
  back.FromElapsed = "3:0";
  back.FromDistance = 100;
  back.ToElapsed = "3:30";
  back.ToDistance = 130;
  TPub_GridResult unknown = back;
  unknown.FromStation = "Y";
  s.Pub_DZLegs = {back, unknown};
  BuildZZList(s);
  ASSERT_EQ(s.Pub_ZZList.size(), 1u);
  const TPub_ZZStruct& e = s.Pub_ZZList[0];
  EXPECT_EQ(e.FrontDistance, 50);
  EXPECT_EQ(e.FrontDuration, "01:00");
  EXPECT_EQ(e.BackDistance, 30);
  EXPECT_EQ(e.BackDuration, "00:30");
  EXPECT_EQ(e.SumDistance, 80);
  EXPECT_EQ(e.SumDuration, "1:30");
  EXPECT_EQ(e.FZTrainCount, 2);
  EXPECT_EQ(e.DZTrainCount, 1);
}

}  // namespace
}  // namespace velmor

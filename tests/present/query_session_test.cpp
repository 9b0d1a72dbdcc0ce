#include "present/query_session.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "../query/query_fixture.h"

namespace velmor {
namespace {

using testing::FixtureTables;

std::string MessageText(const TSessionReply& r) {
  return r.Message ? r.Message->Text : std::string("(none)");
}

TEST(QuerySession, ARefusedQueryLeavesTheShownRowsAndTheirMode) {
  TQuerySession s(FixtureTables());
  ASSERT_TRUE(s.StationToStation(G("北京"), G("上海"), true, false, "").RowsChanged);
  TFilterBoxes origin;
  origin.CBSF = true;
  s.SetFilters(origin, "");
  const int fromOrigin = s.ResultCount();
  ASSERT_GT(fromOrigin, 0);
  s.SetFilters(TFilterBoxes{}, "");
  const int all = s.ResultCount();

  // Refusals of each other query keep the station-to-station mode the rows were made under,
  // so the filters still work on them.
  EXPECT_EQ(MessageText(s.StationTimetable("BJ")), G("请输入车站。"));
  EXPECT_EQ(MessageText(s.TrainNumber(" ")), G("请输入车次。"));
  EXPECT_EQ(s.Pub().QueryMode, 1);
  EXPECT_EQ(s.ResultCount(), all);
  s.SetFilters(origin, "");
  EXPECT_EQ(s.ResultCount(), fromOrigin);
}

TEST(QuerySession, TextsThatConvertAlikeAreTheSameStationOnlyWhenTypedAlike) {
  TQuerySession s(FixtureTables());
  EXPECT_EQ(MessageText(s.StationToStation("?", "?", false, false, "")), G("发站不存在。"));
  const TSessionReply same = s.StationToStation("?", "?", true, false, "");
  EXPECT_EQ(MessageText(same), G("发站与到站相同。"));
  EXPECT_EQ(same.Message->Focus, TFocusTarget::ComboDZ);
  EXPECT_FALSE(same.RowsChanged);
}

TEST(QuerySession, NoDirectTrainOffersTheTransferWhoseListPicksTheLegs) {
  TQuerySession s(FixtureTables());
  const TSessionReply none = s.StationToStation(G("南京"), G("西安"), true, false, "");
  EXPECT_TRUE(none.RowsChanged && none.AskTransfer && !none.OpenTransferList);
  EXPECT_EQ(s.ResultCount(), 0);

  const TSessionReply transfer = s.StationToStation(G("合肥"), G("鹰潭"), true, true, "");
  EXPECT_TRUE(transfer.OpenTransferList && !transfer.AskTransfer);
  const ZzzView& list = s.TransferList();
  ASSERT_EQ(list.ZZCount, 2);
  ASSERT_EQ(list.ZGrid.Cells(0, 1), G("南昌"));
  EXPECT_FALSE(s.PickTransferStation(2, "").RowsChanged);
  ASSERT_TRUE(s.PickTransferStation(1, "").RowsChanged);
  EXPECT_EQ(s.Pub().Pub_ZZStation, G("南昌"));
  EXPECT_EQ(s.ResultCount(), 5);
}

TEST(QuerySession, DetailOpensOnlyForShownRows) {
  TQuerySession s(FixtureTables());
  s.TrainNumber("k10");
  ASSERT_EQ(s.ResultCount(), 1);
  const std::optional<MsgView> detail = s.Detail(0);
  ASSERT_TRUE(detail);
  EXPECT_EQ(detail->Caption, G("车次:K10"));
  EXPECT_FALSE(s.Detail(1));
  EXPECT_FALSE(s.Detail(-1));
}

// Loaded tables never change, so sessions on several threads read them at once, each with
// cursors of its own, and each gets what it would get alone.
TEST(ConcurrentSessions, ShareTheLoadedTables) {
  auto rows = [](TQuerySession& s) {
    std::vector<std::string> out;
    for (int r = 0; r < s.ResultCount(); ++r) out.push_back(s.Result().SGrid.Cells(0, r));
    return out;
  };
  auto round = [&](TQuerySession& s) {
    std::vector<std::string> all;
    s.StationToStation(G("北京"), G("上海"), true, false, "");
    for (const std::string& r : rows(s)) all.push_back(r);
    s.StationTimetable(G("南昌"));
    for (const std::string& r : rows(s)) all.push_back(r);
    s.StationToStation(G("合肥"), G("鹰潭"), true, true, "");
    s.PickTransferStation(1, "");
    for (const std::string& r : rows(s)) all.push_back(r);
    return all;
  };
  TQuerySession alone(FixtureTables());
  const std::vector<std::string> expected = round(alone);
  ASSERT_FALSE(expected.empty());
  std::vector<std::vector<std::string>> got(4);
  std::vector<std::thread> threads;
  for (auto& g : got) {
    threads.emplace_back([&] {
      TQuerySession s(FixtureTables());
      for (int i = 0; i < 20; ++i) g = round(s);
    });
  }
  for (std::thread& t : threads) t.join();
  for (const auto& g : got) EXPECT_EQ(g, expected);
}

}  // namespace
}  // namespace velmor

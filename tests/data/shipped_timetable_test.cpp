// The timetable compiled into the program: every row loads and the relations the queries
// rely on hold.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "data/gbk_text.h"
#include "data/loaders.h"
#include "data/table_cursor.h"

namespace velmor {
namespace {

class ShippedTimetable : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    tables = new TablesSet;
    LoadAllTables(*tables, EmbeddedResourceFinder());
  }
  static void TearDownTestSuite() {
    delete tables;
    tables = nullptr;
  }
  static TablesSet* tables;
};
TablesSet* ShippedTimetable::tables = nullptr;

int Minutes(const std::string& elapsed) {
  size_t colon = elapsed.find(':');
  if (colon == std::string::npos) return std::stoi(elapsed);
  return std::stoi(elapsed.substr(0, colon)) * 60 + std::stoi(elapsed.substr(colon + 1));
}

int Clock(const std::string& hhmm) {
  return std::stoi(hhmm.substr(0, 2)) * 60 + std::stoi(hhmm.substr(3));
}

TEST_F(ShippedTimetable, EveryTableLoadsWithTheExpectedSize) {
  ASSERT_TRUE(tables->SpyLoaded && tables->ListLoaded && tables->SMLoaded && tables->TrainLoaded);
  EXPECT_GT(tables->KMList.RecordCount(), 3000u);
  EXPECT_LT(tables->KMList.RecordCount(), 4500u);
  EXPECT_GT(tables->KMTrain.RecordCount(), 35000u);
  EXPECT_LT(tables->KMTrain.RecordCount(), 50000u);
  EXPECT_GT(tables->KMPy.RecordCount(), 1200u);
  EXPECT_EQ(tables->KMSM.RecordCount(), 315u);
}

TEST_F(ShippedTimetable, SampleRowsStandAsPublished) {
  TTableCursor list(tables->KMList);
  ASSERT_TRUE(list.Locate("ID", "1043"));
  EXPECT_EQ(list.FieldByName("NType").AsInteger(), 8);
  EXPECT_EQ(list.FieldByName("StartStation").AsString(), G("西安"));
  EXPECT_EQ(list.FieldByName("endStation").AsString(), G("奎屯"));
  EXPECT_EQ(list.FieldByName("R_Date").AsString(), "37:43");
  EXPECT_EQ(list.FieldByName("Distance").AsInteger(), 2810);
  EXPECT_EQ(list.FieldByName("P3").AsString(), "280/291/303");
  ASSERT_TRUE(list.Locate("ID", "G1"));
  EXPECT_EQ(list.FieldByName("StartStation").AsString(), G("北京南"));
  EXPECT_EQ(list.FieldByName("endStation").AsString(), G("上海虹桥"));
  EXPECT_EQ(list.FieldByName("A_Time").AsString(), "09:00");
  EXPECT_EQ(list.FieldByName("P2").AsString(), "935");

  TTableCursor stops(tables->KMTrain);
  ASSERT_TRUE(stops.Locate("ID", "1043"));
  stops.Next();
  EXPECT_EQ(stops.FieldByName("Station").AsString(), G("咸阳"));
  EXPECT_EQ(stops.FieldByName("P1").AsString(), "3.5");
  EXPECT_EQ(stops.FieldByName("P4").AsString(), "54/58");

  TTableCursor py(tables->KMPy);
  ASSERT_TRUE(py.Locate("Station", G("安阳")));
  EXPECT_EQ(py.FieldByName("Shortcode").AsString(), "AY");
  TTableCursor sm(tables->KMSM);
  ASSERT_TRUE(sm.Locate("Station", G("安庆西")));
  EXPECT_EQ(sm.FieldByName("Gp").AsInteger(), 1);
  int beijing = 0;
  for (sm.First(); !sm.Eof(); sm.Next()) {
    if (sm.FieldByName("Gp").AsInteger() == 5) ++beijing;
  }
  EXPECT_EQ(beijing, 5);
}

TEST_F(ShippedTimetable, StopsAndTrainsAgree) {
  TTableCursor stops(tables->KMTrain);
  TTableCursor list(tables->KMList);
  const int id = tables->KMTrain.FieldIndex("ID");
  const int no = tables->KMTrain.FieldIndex("S_No");
  const int arrive = tables->KMTrain.FieldIndex("A_Time");
  const int depart = tables->KMTrain.FieldIndex("D_Time");
  const int elapsed = tables->KMTrain.FieldIndex("R_Date");
  std::set<std::string> trains;
  std::string current;
  int count = 0;
  int previousNo = 0;
  int origin = 0;
  auto finish = [&] {
    if (!current.empty()) {
      EXPECT_GE(count, 2) << current;
      EXPECT_LE(count, 62) << current;
    }
  };
  for (stops.First(); !stops.Eof(); stops.Next()) {
    std::string train(stops.Text(id));
    if (train != current) {
      finish();
      current = train;
      count = 0;
      previousNo = 0;
      EXPECT_TRUE(trains.insert(train).second);
      EXPECT_TRUE(stops.Text(arrive).empty()) << train;
      EXPECT_EQ(stops.Text(elapsed), "0") << train;
      origin = Clock(std::string(stops.Text(depart)));
    } else if (!stops.Text(arrive).empty()) {
      int run = Minutes(std::string(stops.Text(elapsed)));
      EXPECT_EQ(((Clock(std::string(stops.Text(arrive))) - origin) % 1440 + 1440) % 1440,
                run % 1440)
          << train;
    }
    ++count;
    EXPECT_EQ(stops.Integer(no), previousNo + 1) << train;
    previousNo = stops.Integer(no);
  }
  finish();
  size_t listed = 0;
  for (list.First(); !list.Eof(); list.Next()) {
    ++listed;
    EXPECT_TRUE(trains.count(list.FieldByName("ID").AsString()))
        << list.FieldByName("ID").AsString();
  }
  EXPECT_EQ(listed, trains.size());
}

}  // namespace
}  // namespace velmor

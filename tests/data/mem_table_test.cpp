#include "data/mem_table.h"

#include "data/table_cursor.h"

#include <gtest/gtest.h>

#include <memory>

#include "data/table_text_format.h"
#include "test_tables.h"

namespace velmor {
namespace {

class StopTable : public ::testing::Test {
 protected:
  static TMemTable LoadStops() {
    TMemTable t;
    TTableTextFormat f;
    t.LoadFromStreamViaFormat(testing::ReadFixture("tables/STRAIN.txt"), f);
    t.SetIndexName("SIDNo");
    return t;
  }
  std::string Station() const { return stops.FieldByName("Station").AsString(); }
  TMemTable table = LoadStops();
  TTableCursor stops{table};
};

TEST_F(StopTable, LocateLandsOnTheFirstStopAndNextContinuesInStopOrder) {
  ASSERT_TRUE(stops.Locate("ID", "1043"));
  EXPECT_EQ(Station(), G("西安"));
  EXPECT_EQ(stops.FieldByName("S_No").AsString(), "1");
  stops.Next();
  EXPECT_EQ(Station(), G("咸阳"));
  EXPECT_EQ(stops.FieldByName("S_No").AsInteger(), 2);
  EXPECT_EQ(stops.FieldByName("a_time").AsString(), "21:43");
}

TEST_F(StopTable, LocateOfACombinedNumberNeedsTheWholeKey) {
  EXPECT_FALSE(stops.Locate("ID", "1112"));
  EXPECT_TRUE(stops.Locate("ID", "1112/1113"));
}

TEST_F(StopTable, OnwardAndPrefixSearchesLandWhereLocateDoes) {
  TTableCursor onward(table);
  for (const char* id : {"1043", "1112/1113", "G1", "1043", "G1", "X999", "1112/1113"}) {
    const bool found = stops.Locate("ID", id);
    EXPECT_EQ(onward.LocateOnward("ID", id), found) << id;
    EXPECT_EQ(onward.CurrentRecord(), stops.CurrentRecord()) << id;
  }
  ASSERT_TRUE(stops.LocatePrefix("ID", "1112"));
  EXPECT_EQ(stops.FieldByName("ID").AsString(), "1112/1113");
  EXPECT_EQ(stops.FieldByName("S_No").AsInteger(), 1);
  EXPECT_FALSE(stops.LocatePrefix("ID", "X9"));
  EXPECT_EQ(stops.FieldByName("ID").AsString(), "1112/1113");
}

TEST_F(StopTable, MissedLocateLeavesTheCursor) {
  ASSERT_TRUE(stops.Locate("ID", "G1"));
  stops.Next();
  EXPECT_FALSE(stops.Locate("ID", "X999"));
  EXPECT_EQ(Station(), G("济南"));
  // Locate on a field that does not lead the index scans in index order.
  ASSERT_TRUE(stops.Locate("Station", G("南京")));
  EXPECT_EQ(stops.FieldByName("ID").AsString(), "D301");
}

TEST_F(StopTable, EndsKeepTheLastAndFirstRowReadable) {
  stops.Last();
  EXPECT_TRUE(stops.Eof());
  std::string last = Station();
  stops.Next();
  EXPECT_TRUE(stops.Eof());
  EXPECT_EQ(Station(), last);
  stops.Prior();
  EXPECT_FALSE(stops.Eof());

  stops.First();
  EXPECT_TRUE(stops.Bof());
  std::string first = Station();
  stops.Prior();
  EXPECT_TRUE(stops.Bof());
  EXPECT_EQ(Station(), first);
  stops.Next();
  EXPECT_FALSE(stops.Bof());
}

TEST_F(StopTable, WalksFollowTheCompoundIndex) {
  std::string previousId;
  int previousNo = 0;
  size_t rows = 0;
  TField id = stops.FieldByName("ID");
  TField no = stops.FieldByName("S_No");
  for (stops.First(); !stops.Eof(); stops.Next()) {
    ++rows;
    if (id.AsString() == previousId) {
      EXPECT_EQ(no.AsInteger(), previousNo + 1);
    } else {
      EXPECT_LT(previousId, id.AsString());
      EXPECT_EQ(no.AsInteger(), 1);
    }
    previousId = id.AsString();
    previousNo = no.AsInteger();
  }
  EXPECT_EQ(rows, table.RecordCount());
  // Backwards the same rows come in reverse.
  size_t back = 0;
  for (stops.Last(); !stops.Bof(); stops.Prior()) ++back;
  EXPECT_EQ(back, rows);
}

TEST(MemTable, EmptyTableIsAtBothEnds) {
  TMemTable t;
  TTableTextFormat f;
  t.LoadFromStreamViaFormat(
      testing::GbkText({R"("@@TABLEDEF START@@")",
                        R"("Station=WideString,20,""Station"","""",20,Data,""""")",
                        R"("@@TABLEDEF END@@")", R"("Station",)"}),
      f);
  TTableCursor c(t);
  EXPECT_TRUE(c.Eof());
  EXPECT_TRUE(c.Bof());
  EXPECT_FALSE(c.Locate("Station", "x"));
  EXPECT_EQ(c.FieldByName("Station").AsString(), "");
}

TEST(MemTable, WithoutCurrentIndexTheWalkIsLoadOrder) {
  TMemTable t;
  TTableTextFormat f;
  t.LoadFromStreamViaFormat(testing::ReadFixture("tables/SPY.txt"), f);
  std::vector<std::string> walked;
  TTableCursor c(t);
  for (c.First(); !c.Eof(); c.Next()) walked.push_back(c.FieldByName("Station").AsString());
  ASSERT_GE(walked.size(), 3u);
  EXPECT_EQ(walked[0], G("安阳"));
  EXPECT_EQ(walked[1], G("北京"));
  EXPECT_EQ(walked[2], G("北京西"));
  EXPECT_TRUE(c.Locate("Station", G("北京西")));
  EXPECT_EQ(c.FieldByName("ShortCode").AsString(), "BJX");
  EXPECT_EQ(c.IndexName(), "");
}

TEST(MemTable, UnknownNamesAreErrors) {
  TMemTable t;
  TTableTextFormat f;
  t.LoadFromStreamViaFormat(testing::ReadFixture("tables/SM.txt"), f);
  TTableCursor c(t);
  EXPECT_THROW(c.FieldByName("Nope"), TableError);
  EXPECT_THROW(c.SetIndexName("Nope"), TableError);
  EXPECT_THROW(t.SetIndexName("Nope"), TableError);
  c.SetIndexName("sstation");
  EXPECT_EQ(c.IndexName(), "SStation");
  ASSERT_TRUE(c.Locate("Station", G("北京南")));
  EXPECT_EQ(c.FieldByName("Gp").AsInteger(), 5);
}

TEST(MemTable, IntegerIndexOrdersNumerically) {
  TMemTable t;
  TTableTextFormat f;
  t.LoadFromStreamViaFormat(
      testing::GbkText(
          {R"("@@TABLEDEF START@@")", R"("Station=WideString,20,""Station"","""",20,Data,""""")",
           R"("Gp=Integer,0,""Gp"","""",10,Data,""""")", R"("@@INDEXDEF START@@")",
           R"("SGp=""Gp"",""SGp""")", R"("@@INDEXDEF END@@")", R"("@@TABLEDEF END@@")",
           R"("Station","Gp",)", R"("a","120",)", R"("b","95",)", R"("c","",)", R"("d","95",)"}),
      f);
  t.SetIndexName("SGp");
  std::string order;
  for (TTableCursor c(t); !c.Eof(); c.Next()) order += c.FieldByName("Station").AsString();
  // Null first, equal keys in load order.
  EXPECT_EQ(order, "cbda");
}

}  // namespace
}  // namespace velmor

namespace velmor {
namespace {

// Readers each keep their own place: one walking the stops must not move another's.
TEST_F(StopTable, CursorsOnOneTableMoveIndependently) {
  TTableCursor other(table);
  ASSERT_TRUE(stops.Locate("ID", "1043"));
  ASSERT_TRUE(other.Locate("ID", "G1"));
  other.Next();
  EXPECT_EQ(Station(), G("西安"));
  EXPECT_EQ(other.FieldByName("Station").AsString(), G("济南"));
  // A cursor in load order beside one in the table's index.
  TTableCursor loadOrder(table);
  loadOrder.SetIndexName("");
  EXPECT_EQ(stops.IndexName(), "SIDNo");
  EXPECT_EQ(loadOrder.IndexName(), "");
}

// Ranks of a leading text follow byte order whether the rows came sorted or not; a descending
// index has none.
TEST(MemTable, LeadingRanksFollowByteOrder) {
  auto load = [](std::string_view rows) {
    auto t = std::make_unique<TMemTable>();
    TTableTextFormat f;
    t->LoadFromStreamViaFormat(
        testing::GbkText({R"("@@TABLEDEF START@@")", R"("ID=WideString,9,""ID"","""",9,Data,""""")",
                          R"("S_No=Integer,0,""S_No"","""",10,Data,""""")",
                          R"("@@INDEXDEF START@@")", R"("SIDNo=""ID;S_No"",""SIDNo"",UNIQ")",
                          R"("SDown=""ID"",""SDown"",DESC")", R"("@@INDEXDEF END@@")",
                          R"("@@TABLEDEF END@@")", R"("ID","S_No",)", rows}),
        f);
    return t;
  };
  const auto sorted = load("\"G1\",\"1\",\r\n\"G1\",\"2\",\r\n\"G10\",\"1\",\r\n\"K7\",\"1\",");
  EXPECT_TRUE(sorted->InLoadOrder("SIDNo"));
  EXPECT_EQ(sorted->LeadingRanks("SIDNo"), (std::vector<uint32_t>{0, 0, 1, 2}));
  EXPECT_TRUE(sorted->LeadingRanks("SDown").empty());
  const auto mixed = load("\"K7\",\"1\",\r\n\"G10\",\"1\",\r\n\"G1\",\"2\",\r\n\"G1\",\"1\",");
  EXPECT_FALSE(mixed->InLoadOrder("SIDNo"));
  EXPECT_EQ(mixed->LeadingRanks("SIDNo"), (std::vector<uint32_t>{2, 1, 0, 0}));
}

}  // namespace
}  // namespace velmor

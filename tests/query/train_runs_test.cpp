#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "query/fares.h"
#include "query/queries.h"
#include "query/query_fields.h"
#include "query/train_runs.h"
#include "query_fixture.h"

namespace velmor {
namespace {

using testing::FixtureTables;
using testing::U;

std::string FixtureText(const std::string& file) {
  std::ifstream in(std::string(VELMOR_FIXTURE_DIR) + "/tables/" + file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The fixture's stop table with its rows in the order of their numbers and stop numbers, the
// order every timetable is written in (the fixture's own rows are not).
std::string StopsInWalkOrder() {
  std::istringstream in(FixtureText("STRAIN.txt"));
  std::string head, line;
  while (std::getline(in, line)) {
    head += line + "\n";
    if (line.starts_with("\"@@TABLEDEF END@@\"")) break;
  }
  std::getline(in, line);
  head += line + "\n";
  struct Row {
    std::string id;
    int no;
    std::string text;
  };
  std::vector<Row> rows;
  while (std::getline(in, line)) {
    if (line.empty()) continue;
    std::istringstream fields(line);
    std::string id, station, no;
    std::getline(fields, id, ',');
    std::getline(fields, station, ',');
    std::getline(fields, no, ',');
    rows.push_back({id, std::stoi(no.substr(1, no.size() - 2)), line});
  }
  std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
    return a.id != b.id ? a.id < b.id : a.no < b.no;
  });
  for (const Row& r : rows) head += r.text + "\n";
  return head;
}

// Every field a query sets, stored fares included, as one comparable text.
std::vector<std::string> Rows(const PubState& s) {
  std::vector<std::string> out;
  for (const TPub_GridResult& r : s.Pub_GridResults) {
    std::string t = r.TrainID;
    for (std::string_view v : std::initializer_list<std::string_view>{
             r.FromStation, r.FromDepart, r.FromElapsed, r.FromP1, r.FromP4, r.ToStation,
             r.ToArrive, r.ToElapsed, r.ToP1, r.ToP4, r.TotalTime, r.TrainP3, r.Duration,
             r.FareHardSeat, r.FareHardSleeper}) {
      t += "|";
      t += v;
    }
    t += "|" + std::to_string(r.FromNo) + "|" + std::to_string(r.ToNo);
    out.push_back(U(t));
  }
  return out;
}

// The fixture's stop table without its index by station: every stop is then walked, and
// told apart by its texts rather than by ranks.
std::string StopsWithoutStationIndex() {
  std::string text = FixtureText("STRAIN.txt");
  const size_t at = text.find("\"SStation=");
  text.erase(at, text.find('\n', at) + 1 - at);
  return text;
}

TEST(TrainRuns, QueriesAnswerAlikeHoweverTheStopsWereLoaded) {
  // Loaded in walk order, a train's earliest call is found by its record; loaded otherwise,
  // by a search; without the station index, by a walk over every stop. All must give the
  // same rows.
  const TablesSet& loaded = FixtureTables();
  for (const std::string& stops : {StopsInWalkOrder(), StopsWithoutStationIndex()}) {
    TablesSet other;
    std::string error;
    ASSERT_TRUE(LoadTableText(other.KMTrain, other.sfCSV1, stops, "SIDNo", &error)) << error;
    ASSERT_TRUE(LoadTableText(other.KMList, other.sfCSV, FixtureText("SLIST.txt"), "SID", &error))
        << error;
    ASSERT_TRUE(LoadTableText(other.KMSM, other.sfCSV, FixtureText("SM.txt"), "SStation", &error))
        << error;
    auto compare = [&](auto query) {
      PubState a, b;
      for (PubState* s : {&a, &b}) {
        BuildFareZoneTable(s->Fares);
        BuildFareRateTable(s->Fares);
      }
      query(a, loaded);
      query(b, other);
      ASSERT_FALSE(a.Pub_GridResults.empty());
      EXPECT_EQ(Rows(a), Rows(b));
    };
    for (const char* station : {"北京", "上海", "南京", "济南", "天津"}) {
      SCOPED_TRACE(station);
      compare([&](PubState& s, const TablesSet& t) { QueryStationTimetable(s, t, G(station)); });
    }
    compare(
        [](PubState& s, const TablesSet& t) { QueryStationToStation(s, t, G("北京"), G("上海")); });
  }
}

TEST(TrainRuns, TrainListRowsAreFoundWhereverTheyStand) {
  // A train's list row is tried first at its number's rank among the stops. With D301's row
  // missing, every later train stands one place early; with "Z9" added after all, the list is
  // as long as the stops' numbers again, so each guess is tried and must be checked. With G1
  // listed twice instead (an index not unique), the guess would land on the second G1, whose
  // running time differs, and the first must be used. Every way the rows are those of the
  // whole list without D301.
  const std::string list = FixtureText("SLIST.txt");
  const size_t at = list.find("\"D301\",");
  const std::string without = list.substr(0, at) + list.substr(list.find('\n', at) + 1);
  const std::string extra = without +
                            "\"Z9\",\"4\",\"A\",\"B\",\"08:00\",\"09:00\",\"1:00\","
                            "\"50\",\"10\",\"-\",\"-\",\"-\",\n";
  std::string repeated = without;
  repeated.replace(repeated.find("\"\"SID\"\",UNIQ"), 14, "\"\"SID\"\"");
  const size_t g1 = repeated.find("\"G1\",");
  const size_t g1End = repeated.find('\n', g1) + 1;
  std::string second = repeated.substr(g1, g1End - g1);
  second.replace(second.find("\"4:48\""), 6, "\"9:59\"");
  repeated.insert(g1End, second);
  auto rows = [](const TablesSet& t, const char* station) {
    PubState s;
    BuildFareZoneTable(s.Fares);
    BuildFareRateTable(s.Fares);
    QueryStationTimetable(s, t, G(station));
    std::vector<std::string> out = Rows(s);
    std::erase_if(out, [](const std::string& r) { return r.starts_with("D301|"); });
    return out;
  };
  ASSERT_TRUE(std::ranges::any_of(rows(FixtureTables(), "北京"),
                                  [](const std::string& r) { return r.starts_with("G1|"); }));
  for (const std::string& text : {without, extra, repeated}) {
    TablesSet t;
    std::string error;
    ASSERT_TRUE(LoadTableText(t.KMTrain, t.sfCSV1, FixtureText("STRAIN.txt"), "SIDNo", &error))
        << error;
    ASSERT_TRUE(LoadTableText(t.KMList, t.sfCSV, text, "SID", &error)) << error;
    ASSERT_TRUE(LoadTableText(t.KMSM, t.sfCSV, FixtureText("SM.txt"), "SStation", &error)) << error;
    for (const char* station : {"北京", "上海", "济南"}) {
      SCOPED_TRACE(station);
      const std::vector<std::string> expected = rows(FixtureTables(), station);
      ASSERT_FALSE(expected.empty());
      EXPECT_EQ(rows(t, station), expected);
    }
  }
}

TEST(TrainRuns, FieldsAreFoundHoweverTheirNamesAreSpelled) {
  // The usual layout settles each name by one comparison; a name spelled otherwise must
  // find the same fields as the table's own lookup.
  const StopFields usual(FixtureTables().KMTrain);
  EXPECT_EQ(usual.ID, 0);
  EXPECT_EQ(usual.P[3], 10);
  std::string text = FixtureText("SLIST.txt");
  text.replace(text.find("\"ID=WideString"), 3, "\"id");
  TablesSet t;
  std::string error;
  ASSERT_TRUE(LoadTableText(t.KMList, t.sfCSV, text, "SID", &error)) << error;
  ASSERT_EQ(t.KMList.FieldDefs()[0].Name, "id");
  const ListFields spelled(t.KMList);
  EXPECT_TRUE(spelled.Valid());
  EXPECT_EQ(spelled.ID, 0);
  EXPECT_EQ(spelled.EndStation, t.KMList.FieldIndex("endStation"));
  EXPECT_EQ(spelled.P[3], t.KMList.FieldIndex("P4"));
}

}  // namespace
}  // namespace velmor

// A feed written from the built-in tables imports to a timetable on which the queries give the
// same trains, stations and times as the built-in one.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>
#include <vector>

#include "data/gbk_text.h"
#include "data/table_cursor.h"
#include "feed_support.h"
#include "query/fares.h"
#include "query/queries.h"

namespace velmor {
namespace {

int Minutes(std::string_view clock) {
  return std::stoi(std::string(clock.substr(0, 2))) * 60 + std::stoi(std::string(clock.substr(3)));
}

int ElapsedMinutes(std::string_view r) {
  const size_t colon = r.find(':');
  if (colon == std::string_view::npos) return std::stoi(std::string(r));
  return std::stoi(std::string(r.substr(0, colon))) * 60 +
         std::stoi(std::string(r.substr(colon + 1)));
}

std::string GtfsTime(int minutes) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%02d:%02d:00", minutes / 60, minutes % 60);
  return buf;
}

std::string Quoted(const std::string& s) {
  return "\"" + s + "\"";
}

// The built-in tables as a feed: one route per type named as the program names it, stop ids
// the station names, distances as shape_dist_traveled in km.
std::map<std::string, std::string> FeedFromBuiltIn(const TablesSet& t) {
  std::ostringstream stops, routes, trips, times;
  stops << "stop_id,stop_name\n";
  routes << "route_id,route_short_name\n";
  trips << "route_id,service_id,trip_id,trip_short_name\n";
  times << "trip_id,arrival_time,departure_time,stop_id,stop_sequence,shape_dist_traveled\n";
  for (int type = 1; type <= 14; ++type) {
    routes << type << "," << GbkToUtf8(TrainTypeName(type)) << "\n";
  }
  TTableCursor list(t.KMList);
  for (list.First(); !list.Eof(); list.Next()) {
    const std::string id = GbkToUtf8(list.FieldByName("ID").AsString());
    trips << list.FieldByName("NType").AsInteger() << ",ALL," << Quoted(id) << "," << Quoted(id)
          << "\n";
  }
  std::map<std::string, bool> stations;
  TTableCursor c(t.KMTrain);
  int origin = 0;
  for (c.First(); !c.Eof(); c.Next()) {
    const std::string id = GbkToUtf8(c.FieldByName("ID").AsString());
    const std::string station = GbkToUtf8(c.FieldByName("Station").AsString());
    stations[station] = true;
    const std::string a = c.FieldByName("A_Time").AsString();
    const std::string d = c.FieldByName("D_Time").AsString();
    int arr = 0, dep = 0;
    if (a.empty()) {
      origin = Minutes(d);
      arr = dep = origin;
    } else {
      arr = origin + ElapsedMinutes(c.FieldByName("R_Date").AsString());
      dep = d.empty() ? arr : arr + ((Minutes(d) - Minutes(a)) % 1440 + 1440) % 1440;
    }
    times << Quoted(id) << "," << GtfsTime(arr) << "," << GtfsTime(dep) << "," << Quoted(station)
          << "," << c.FieldByName("S_No").AsInteger() << ","
          << c.FieldByName("Distance").AsInteger() << "\n";
  }
  for (const auto& [name, unused] : stations) stops << Quoted(name) << "," << Quoted(name) << "\n";
  return {{"stops.txt", stops.str()},
          {"routes.txt", routes.str()},
          {"trips.txt", trips.str()},
          {"stop_times.txt", times.str()},
          {"calendar.txt",
           "service_id,monday,tuesday,wednesday,thursday,friday,saturday,sunday,start_date,"
           "end_date\nALL,1,1,1,1,1,1,1,20260101,20261231\n"}};
}

// Trains whose list row disagrees with their last stop: the import derives the row from the
// stops, so they cannot come back the same.
std::set<std::string> OddTrains(const TablesSet& t) {
  std::set<std::string> odd;
  TTableCursor list(t.KMList);
  for (list.First(); !list.Eof(); list.Next()) {
    const std::string id = list.FieldByName("ID").AsString();
    TTableCursor c(t.KMTrain);
    c.Locate("ID", id);
    std::string station, arrive;
    for (; !c.Eof() && c.FieldByName("ID").AsString() == id; c.Next()) {
      station = c.FieldByName("Station").AsString();
      arrive = c.FieldByName("A_Time").AsString();
    }
    if (station != list.FieldByName("endStation").AsString() ||
        arrive != list.FieldByName("D_Time").AsString()) {
      odd.insert(id);
    }
  }
  return odd;
}

// What the queries show of a train, fares left out (the tariff prices them afresh); the first
// line that differs between two answers, or "" when none does.
std::vector<std::string> Rows(const PubState& s, const std::set<std::string>& odd) {
  std::vector<std::string> rows;
  for (const TPub_GridResult& r : s.Pub_GridResults) {
    if (odd.contains(r.TrainID)) continue;
    rows.push_back(GbkToUtf8(r.TrainID + " " + std::to_string(r.NType) + " " + r.StartStation +
                             " " + r.EndStation + " " + r.FromStation + " " + r.FromDepart + " " +
                             r.ToStation + " " + r.ToArrive + " " + std::to_string(r.StopCount) +
                             " " + std::to_string(r.Distance) + " " + r.Duration));
  }
  return rows;
}

std::string FirstDifference(const PubState& a, const PubState& b,
                            const std::set<std::string>& odd) {
  const auto x = Rows(a, odd), y = Rows(b, odd);
  for (size_t i = 0; i < std::max(x.size(), y.size()); ++i) {
    const std::string l = i < x.size() ? x[i] : "(none)", r = i < y.size() ? y[i] : "(none)";
    if (l != r) return l + " | " + r;
  }
  return x.empty() ? "no rows" : "";
}

TEST(ImportRoundTrip, BuiltInTablesThroughAFeedAnswerTheSame) {
  TablesSet builtIn;
  std::string error;
  ASSERT_TRUE(LoadAllTables(builtIn, EmbeddedResourceFinder(), &error)) << error;
  const ImportResult r = testing::Import(testing::WriteFeed(FeedFromBuiltIn(builtIn)));
  ASSERT_TRUE(r.Ok) << GbkToUtf8(r.Error);
  TablesSet imported;
  ASSERT_TRUE(testing::LoadImported(r.Texts, imported));
  EXPECT_EQ(imported.KMList.RecordCount(), builtIn.KMList.RecordCount());
  EXPECT_EQ(imported.KMTrain.RecordCount(), builtIn.KMTrain.RecordCount());

  const std::set<std::string> odd = OddTrains(builtIn);
  EXPECT_LE(odd.size(), 3u);
  PubState a, b;
  BuildFareZoneTable(a.Fares);
  BuildFareRateTable(a.Fares);
  b.Fares = a.Fares;
  for (const auto& [from, to] : {std::pair{"北京", "上海"},
                                 {"广州", "武汉"},
                                 {"西安", "兰州"},
                                 {"南京", "杭州"},
                                 {"沈阳", "北京"}}) {
    QueryStationToStation(a, builtIn, G(from), G(to));
    QueryStationToStation(b, imported, G(from), G(to));
    EXPECT_EQ(FirstDifference(a, b, odd), "") << from << "-" << to;
  }
  for (const char* station : {"北京", "郑州", "乌鲁木齐"}) {
    QueryStationTimetable(a, builtIn, G(station));
    QueryStationTimetable(b, imported, G(station));
    EXPECT_EQ(FirstDifference(a, b, odd), "") << station;
  }
  for (const char* number : {"G1", "1043", "K264B", "T97A"}) {
    TrainNumberQuery(a, builtIn, number);
    TrainNumberQuery(b, imported, number);
    EXPECT_EQ(FirstDifference(a, b, odd), "") << number;
  }
}

}  // namespace
}  // namespace velmor

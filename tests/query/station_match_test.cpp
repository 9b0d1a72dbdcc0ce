#include "query/station_match.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "query_fixture.h"

namespace velmor {
namespace {

using testing::FixtureTables;

std::vector<std::string> Sorted(std::vector<std::string> v) {
  std::sort(v.begin(), v.end());
  return v;
}

const std::vector<std::string>& BeijingGroup() {
  static const std::vector<std::string> group =
      Sorted({G("北京"), G("北京北"), G("北京东"), G("北京南"), G("北京西")});
  return group;
}

TEST(StationMatch, AGroupedStationWantsItsWholeCity) {
  PubState s;
  FillFZStruct(s, FixtureTables().KMSM, G("北京"), 0);
  EXPECT_EQ(s.Pub_FZ.Name, G("北京"));
  EXPECT_EQ(s.Pub_FZ.Gp, 5);
  EXPECT_EQ(Sorted(s.Pub_FZ.Stations), BeijingGroup());
  for (const std::string& station : BeijingGroup()) {
    EXPECT_TRUE(IsWantedStation(s, station, 0, 1)) << testing::U(station);
  }
  EXPECT_FALSE(IsWantedStation(s, G("上海"), 0, 1));
  // Exact matching compares with the typed name only.
  EXPECT_TRUE(IsWantedStation(s, G("北京"), 1, 1));
  EXPECT_FALSE(IsWantedStation(s, G("北京南"), 1, 1));
}

TEST(StationMatch, NameIsTrimmedAndExactFillSkipsTheGroup) {
  PubState s;
  FillDZStruct(s, FixtureTables().KMSM, " \t" + G("北京西") + "  \r\n", 0);
  EXPECT_EQ(s.Pub_DZ.Name, G("北京西"));
  EXPECT_EQ(s.Pub_DZ.Gp, 5);
  FillDZStruct(s, FixtureTables().KMSM, G("北京西"), 1);
  EXPECT_EQ(s.Pub_DZ.Name, G("北京西"));
  EXPECT_EQ(s.Pub_DZ.Gp, 0);
  EXPECT_TRUE(s.Pub_DZ.Stations.empty());
}

TEST(StationMatch, SameCityOnBothSidesMatchesExactNames) {
  PubState s;
  FillFZStruct(s, FixtureTables().KMSM, G("北京西"), 0);
  FillDZStruct(s, FixtureTables().KMSM, G("北京南"), 0);
  const int exact = ApplySameGroupRule(s);
  EXPECT_EQ(exact, 1);
  EXPECT_TRUE(s.Pub_FZ.Stations.empty());
  EXPECT_TRUE(s.Pub_DZ.Stations.empty());
  EXPECT_TRUE(IsWantedStation(s, G("北京西"), exact, 1));
  EXPECT_FALSE(IsWantedStation(s, G("北京"), exact, 1));
  EXPECT_TRUE(IsWantedStation(s, G("北京南"), exact, 2));
  EXPECT_FALSE(IsWantedStation(s, G("北京西"), exact, 2));
}

TEST(StationMatch, UngroupedDepartureAgainstAGroupedArrival) {
  PubState s;
  FillFZStruct(s, FixtureTables().KMSM, G("济南"), 0);
  FillDZStruct(s, FixtureTables().KMSM, G("北京"), 0);
  EXPECT_EQ(s.Pub_FZ.Gp, 0);
  EXPECT_TRUE(s.Pub_FZ.Stations.empty());
  const int exact = ApplySameGroupRule(s);
  EXPECT_EQ(exact, 0);
  EXPECT_TRUE(IsWantedStation(s, G("济南"), exact, 1));
  EXPECT_FALSE(IsWantedStation(s, G("北京"), exact, 1));
  for (const std::string& station : BeijingGroup()) {
    // Side 2 and any other side value both mean the arrival side.
    EXPECT_TRUE(IsWantedStation(s, station, exact, 2)) << testing::U(station);
    EXPECT_TRUE(IsWantedStation(s, station, exact, 3)) << testing::U(station);
  }
  EXPECT_FALSE(IsWantedStation(s, G("济南"), exact, 2));
}

TEST(StationMatch, BothUngroupedMatchByName) {
  PubState s;
  FillFZStruct(s, FixtureTables().KMSM, G("济南"), 0);
  FillDZStruct(s, FixtureTables().KMSM, G("南京"), 0);
  EXPECT_EQ(ApplySameGroupRule(s), 1);
  EXPECT_TRUE(IsWantedStation(s, G("南京"), 1, 2));
  EXPECT_FALSE(IsWantedStation(s, G("济南"), 1, 2));
}

TEST(StationMatch, StationTimetableFillSetsTheArrivalNameOnly) {
  PubState s;
  s.Pub_DZ.Stations = {G("上海")};
  s.Pub_DZ.Gp = 80;
  FillCZStruct(s, FixtureTables().KMSM, G(" 广州 "), 0);
  EXPECT_EQ(s.Pub_FZ.Name, G("广州"));
  EXPECT_EQ(s.Pub_FZ.Gp, 30);
  EXPECT_EQ(Sorted(s.Pub_FZ.Stations), Sorted({G("广州"), G("广州南")}));
  EXPECT_EQ(s.Pub_DZ.Name, G("广州"));
  EXPECT_EQ(s.Pub_DZ.Stations, std::vector<std::string>{G("上海")});
  EXPECT_EQ(s.Pub_DZ.Gp, 80);
  FillCZStruct(s, FixtureTables().KMSM, G("天津"), 1);
  EXPECT_EQ(s.Pub_FZ.Name, G("天津"));
  EXPECT_EQ(s.Pub_DZ.Name, G("广州"));
}

TEST(StationMatch, AnUnloadedGroupTableMatchesByName) {
  PubState s;
  TMemTable empty;
  FillFZStruct(s, empty, G("北京"), 0);
  EXPECT_EQ(s.Pub_FZ.Gp, 0);
  EXPECT_TRUE(IsWantedStation(s, G("北京"), 0, 1));
  EXPECT_FALSE(IsWantedStation(s, G("北京南"), 0, 1));
}

// The quick test in front of the name comparisons must never turn a wanted stop away, nor let
// an unwanted one through: names of other lengths, a shared first character, names shorter
// than one character and very long ones, against sets of one name and of a whole city.
TEST(StationMatch, TheQuickTestAgreesWithTheFullComparison) {
  const std::string longName(70, 'x');
  std::vector<std::string> probes = {"",
                                     "x",
                                     G("北"),
                                     G("北京"),
                                     G("北京南"),
                                     G("北京西站"),
                                     G("上海"),
                                     G("南京"),
                                     G("京北"),
                                     longName,
                                     longName + "y",
                                     std::string(64, 'x'),
                                     std::string("\xb1", 1)};
  for (const std::string& name : BeijingGroup()) probes.push_back(name);
  struct Case {
    std::string name;
    int gp;
    std::vector<std::string> stations;
  };
  const Case cases[] = {{G("北京"), 5, BeijingGroup()},
                        {G("北京"), 0, {}},
                        {"x", 0, {}},
                        {"", 0, {}},
                        {longName, 7, {longName, G("北京西")}},
                        {std::string(64, 'x'), 0, {}}};
  for (const Case& c : cases) {
    for (int side : {1, 2}) {
      for (int exact : {0, 1}) {
        PubState s;
        TPub_StationSet& set = side == 1 ? s.Pub_FZ : s.Pub_DZ;
        set.Name = c.name;
        set.Gp = c.gp;
        set.Stations = c.stations;
        const TWantedStations wanted(s, exact, side);
        for (const std::string& probe : probes) {
          EXPECT_EQ(wanted.Match(probe), IsWantedStation(s, probe, exact, side))
              << testing::U(c.name) << " side " << side << " exact " << exact << " probe "
              << testing::U(probe);
        }
      }
    }
  }
}

}  // namespace
}  // namespace velmor

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <random>
#include <sstream>

#include "data/table_cursor.h"
#include "query/journey_planner.h"
#include "query/station_match.h"
#include "query_fixture.h"

namespace velmor {
namespace {

using testing::FixtureTables;

// ---- Inline timetables -------------------------------------------------------------------

struct StopRow {
  std::string Station;  // UTF-8
  std::string Arrive, Depart;
  int Km;
};
struct TrainRow {
  std::string Id;
  std::vector<StopRow> Stops;
};

int Clock(const std::string& t) {
  return t.empty() ? -1 : std::stoi(t.substr(0, 2)) * 60 + std::stoi(t.substr(3, 2));
}

std::string ClockText(int m) {
  return PlanMinutesText(m % 1440);
}

// The fixture file's declarations and column line, for tables of our own rows.
std::string Head(const std::string& file) {
  std::ifstream in(std::string(VELMOR_FIXTURE_DIR) + "/tables/" + file, std::ios::binary);
  std::string text, line;
  while (std::getline(in, line)) {
    text += line + "\n";
    if (line.starts_with("\"@@TABLEDEF END@@\"")) break;
  }
  std::getline(in, line);
  return text + line + "\n";
}

std::string Q(const std::string& utf8) {
  return "\"" + G(utf8) + "\",";
}

// Loads trains (every one a conventional K train with a hard-seat fare) and city groups.
void LoadInline(TablesSet& t, const std::vector<TrainRow>& trains,
                const std::vector<std::pair<std::string, int>>& groups) {
  std::string stops = Head("STRAIN.txt"), list = Head("SLIST.txt"), sm = Head("SM.txt"),
              py = Head("SPY.txt");
  std::map<std::string, bool> stations;
  for (const TrainRow& tr : trains) {
    int origin = Clock(tr.Stops.front().Depart);
    int day = 0, last = origin;
    for (size_t k = 0; k < tr.Stops.size(); ++k) {
      const StopRow& s = tr.Stops[k];
      int elapsed = 0;
      if (k > 0) {
        const int a = Clock(s.Arrive);
        day += a < last ? 1 : 0;
        elapsed = day * 1440 + a - origin;
        last = s.Depart.empty() ? a : Clock(s.Depart);
        day += !s.Depart.empty() && Clock(s.Depart) < a ? 1 : 0;
      }
      const std::string fare = k == 0 ? "" : std::to_string(s.Km / 10 + 1);
      stops += Q(tr.Id) + Q(s.Station) + Q(std::to_string(k + 1)) + Q(s.Arrive) + Q(s.Depart) +
               Q(MinutesToElapsed(elapsed)) + Q(std::to_string(s.Km)) + Q(fare) + Q("-") +
               Q(k == 0 ? "" : "-") + Q(k == 0 ? "" : "-") + "\n";
      stations[s.Station] = true;
    }
    const StopRow& end = tr.Stops.back();
    list += Q(tr.Id) + Q("6") + Q(tr.Stops.front().Station) + Q(end.Station) +
            Q(tr.Stops.front().Depart) + Q(end.Arrive) + Q("1:0") + Q(std::to_string(end.Km)) +
            Q(std::to_string(end.Km / 10 + 1)) + Q("-") + Q("-") + Q("-") + "\n";
  }
  for (const auto& [name, gp] : groups) sm += Q(name) + Q(std::to_string(gp)) + "\n";
  for (const auto& [name, unused] : stations) py += Q(name) + Q("X") + "\n";
  std::string error;
  ASSERT_TRUE(LoadTableText(t.KMTrain, t.sfCSV1, stops, "SIDNo", &error)) << error;
  ASSERT_TRUE(LoadTableText(t.KMList, t.sfCSV, list, "SID", &error)) << error;
  ASSERT_TRUE(LoadTableText(t.KMSM, t.sfCSV, sm, "SStation", &error)) << error;
  ASSERT_TRUE(LoadTableText(t.KMPy, t.sfCSV, py, "", &error)) << error;
}

// ---- The brute-force planner: every leg pair and triple ----------------------------------

struct Leg {
  std::string Train;
  std::string From, To;
  int Depart, Arrive, Run, Km;
};

struct Plan {
  int Depart = 0, Duration = 0, Km = 0;
  std::vector<std::string> Trains;
  int Arrival() const { return Depart + Duration; }
  bool TieBefore(const Plan& o) const {
    if (Trains.size() != o.Trains.size()) return Trains.size() < o.Trains.size();
    if (Km != o.Km) return Km < o.Km;
    return Trains < o.Trains;
  }
  bool operator==(const Plan& o) const {
    return Depart == o.Depart && Duration == o.Duration && Km == o.Km && Trains == o.Trains;
  }
};

std::ostream& operator<<(std::ostream& out, const Plan& p) {
  out << ClockText(p.Depart) << " +" << p.Duration << "min " << p.Km << "km";
  for (const std::string& t : p.Trains) out << ' ' << t;
  return out;
}

// Every ride between two stops: running times count from the departure, days from R_Date.
std::vector<Leg> AllLegs(const TablesSet& t) {
  std::vector<Leg> legs;
  struct Row {
    std::string Id, Station;
    int Arrive, Depart, Elapsed, Km;
  };
  std::vector<Row> rows;
  TTableCursor c(t.KMTrain);
  const int id = t.KMTrain.FieldIndex("ID"), st = t.KMTrain.FieldIndex("Station"),
            a = t.KMTrain.FieldIndex("A_Time"), d = t.KMTrain.FieldIndex("D_Time"),
            r = t.KMTrain.FieldIndex("R_Date"), km = t.KMTrain.FieldIndex("Distance");
  for (; !c.Eof(); c.Next()) {
    rows.push_back({std::string(c.Text(id)), std::string(c.Text(st)), Clock(std::string(c.Text(a))),
                    Clock(std::string(c.Text(d))), ElapsedToMinutes(c.Text(r)), c.Integer(km)});
  }
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].Depart < 0) continue;
    const int dwell = rows[i].Arrive < 0 ? 0 : (rows[i].Depart - rows[i].Arrive + 1440) % 1440;
    for (size_t j = i + 1; j < rows.size() && rows[j].Id == rows[i].Id; ++j) {
      legs.push_back({rows[i].Id, rows[i].Station, rows[j].Station, rows[i].Depart, rows[j].Arrive,
                      rows[j].Elapsed - rows[i].Elapsed - dwell, rows[j].Km - rows[i].Km});
    }
  }
  return legs;
}

std::vector<Plan> BruteForce(const TablesSet& t, const std::string& fz, const std::string& dz,
                             const TPlanOptions& o) {
  PubState sides;
  FillFZStruct(sides, t.KMSM, fz, 0);
  FillDZStruct(sides, t.KMSM, dz, 0);
  const int exact = ApplySameGroupRule(sides);
  std::map<std::string, int> group;
  for (TTableCursor c(t.KMSM); !c.Eof(); c.Next()) {
    group[std::string(c.Text(0))] = c.Integer(1);
  }
  auto wait = [&](const Leg& in, const Leg& out) {
    int minimum = o.MinChange;
    if (in.To != out.From) {
      if (!group.count(in.To) || !group.count(out.From) || group.at(in.To) != group.at(out.From)) {
        return -1;
      }
      minimum = o.CityChange;
    }
    int w = ((out.Depart - in.Arrive) % 1440 + 1440) % 1440;
    if (w < minimum) w += 1440;
    return o.MaxWait < 1439 && w > o.MaxWait ? -1 : w;
  };
  const std::vector<Leg> legs = AllLegs(t);
  // Best per departure event, keyed by train, boarding station and time.
  std::map<std::tuple<std::string, std::string, int>, Plan> best;
  auto offer = [&](const Plan& p, const Leg& first) {
    auto [it, added] = best.emplace(std::tuple{first.Train, first.From, first.Depart}, p);
    const Plan& b = it->second;
    if (!added && (p.Arrival() < b.Arrival() || (p.Arrival() == b.Arrival() && p.TieBefore(b)))) {
      it->second = p;
    }
  };
  for (const Leg& l1 : legs) {
    if (!IsWantedStation(sides, l1.From, exact, 1)) continue;
    if (IsWantedStation(sides, l1.To, exact, 2)) offer({l1.Depart, l1.Run, l1.Km, {l1.Train}}, l1);
    for (const Leg& l2 : legs) {
      const int w1 = l2.Train == l1.Train ? -1 : wait(l1, l2);
      if (w1 < 0) continue;
      const int d2 = l1.Run + w1 + l2.Run, k2 = l1.Km + l2.Km;
      if (IsWantedStation(sides, l2.To, exact, 2)) {
        offer({l1.Depart, d2, k2, {l1.Train, l2.Train}}, l1);
      }
      if (o.MaxChanges < 2) continue;
      for (const Leg& l3 : legs) {
        const int w2 = l3.Train == l2.Train ? -1 : wait(l2, l3);
        if (w2 < 0 || !IsWantedStation(sides, l3.To, exact, 2)) continue;
        offer({l1.Depart, d2 + w2 + l3.Run, k2 + l3.Km, {l1.Train, l2.Train, l3.Train}}, l1);
      }
    }
  }
  std::vector<Plan> kept;
  for (const auto& [event, j] : best) {
    bool beaten = false;
    for (const auto& [other, i] : best) {
      if (other == event) continue;
      const int offset = ((i.Depart - j.Depart) % 1440 + 1440) % 1440;
      const int arrival = j.Depart + offset + i.Duration;
      if (arrival < j.Arrival() || (arrival == j.Arrival() && (offset > 0 || i.TieBefore(j)))) {
        beaten = true;
      }
    }
    if (!beaten) kept.push_back(j);
  }
  std::sort(kept.begin(), kept.end(), [&](const Plan& a, const Plan& b) {
    return (a.Depart - o.StartTime + 1440) % 1440 < (b.Depart - o.StartTime + 1440) % 1440;
  });
  return kept;
}

std::vector<Plan> Planned(const TPlanIndex& index, const std::string& fz, const std::string& dz,
                          const TPlanOptions& o) {
  std::vector<Plan> out;
  for (const TJourney& j : PlanJourneys(index, fz, dz, o)) {
    Plan p{j.Depart, j.Duration, j.Km, {}};
    for (const TPlanLeg& l : j.Legs) p.Trains.push_back(l.Train);
    out.push_back(p);
  }
  return out;
}

std::vector<TPlanOptions> EveryOption() {
  std::vector<TPlanOptions> all;
  for (int changes : {1, 2}) {
    for (auto [m, city] : {std::pair{30, 90}, std::pair{5, 20}, std::pair{60, 200}}) {
      for (int w : {1439, 120}) {
        all.push_back({changes, m, city, w, changes == 1 ? 0 : 600});
      }
    }
  }
  return all;
}

void CompareAllPairs(const TablesSet& t) {
  const TPlanIndex index(t);
  std::vector<std::string> names;
  for (TTableCursor c(t.KMPy); !c.Eof(); c.Next()) names.emplace_back(c.Text(0));
  int journeys = 0;
  for (const TPlanOptions& o : EveryOption()) {
    for (const std::string& fz : names) {
      for (const std::string& dz : names) {
        if (fz == dz) continue;
        const std::vector<Plan> expected = BruteForce(t, fz, dz, o);
        ASSERT_EQ(Planned(index, fz, dz, o), expected)
            << testing::U(fz) << " -> " << testing::U(dz) << " changes " << o.MaxChanges << " min "
            << o.MinChange << "/" << o.CityChange << " wait " << o.MaxWait;
        journeys += static_cast<int>(expected.size());
      }
    }
  }
  // The comparison is only worth something when there are journeys to compare.
  EXPECT_GT(journeys, 100);
}

TEST(JourneyPlanner, AgreesWithEveryLegCombinationOnTheFixtureTables) {
  CompareAllPairs(FixtureTables());
}

TEST(JourneyPlanner, AgreesWithEveryLegCombinationOnRandomTimetables) {
  const std::vector<std::string> stations = {"甲", "乙", "丙", "丁", "戊", "己", "庚", "辛"};
  std::mt19937 rng(14);
  for (int round = 0; round < 3; ++round) {
    std::vector<TrainRow> trains;
    for (int n = 0; n < 14; ++n) {
      TrainRow tr{"K" + std::to_string(100 + n), {}};
      std::vector<std::string> route = stations;
      std::shuffle(route.begin(), route.end(), rng);
      route.resize(2 + rng() % 4);
      int clock = static_cast<int>(rng() % 1440), km = 0;
      for (size_t k = 0; k < route.size(); ++k) {
        StopRow s{route[k], k == 0 ? "" : ClockText(clock), "", km};
        if (k + 1 < route.size()) {
          if (k > 0) clock += static_cast<int>(rng() % 5);
          s.Depart = ClockText(clock);
          clock += 20 + static_cast<int>(rng() % 600);
          km += 10 + static_cast<int>(rng() % 300);
        }
        tr.Stops.push_back(s);
      }
      trains.push_back(tr);
    }
    TablesSet t;
    LoadInline(t, trains, {{"甲", 1}, {"乙", 1}, {"丙", 2}, {"丁", 2}, {"戊", 2}});
    CompareAllPairs(t);
  }
}

// ---- Hand-made cases ---------------------------------------------------------------------

class HandMade : public ::testing::Test {
 protected:
  void Load(const std::vector<TrainRow>& trains) {
    LoadInline(t_, trains, {{"东城", 7}, {"东城南", 7}});
    index_ = std::make_unique<TPlanIndex>(t_);
  }
  std::vector<TJourney> Plan(const char* fz, const char* dz, const TPlanOptions& o = {}) {
    return PlanJourneys(*index_, G(fz), G(dz), o);
  }
  TablesSet t_;
  std::unique_ptr<TPlanIndex> index_;
};

TEST_F(HandMade, ChangeAtAnotherStationOfTheCityWaitsTheCityMinimum) {
  Load({{"K1", {{"甲", "", "08:00", 0}, {"东城", "10:00", "", 100}}},
        {"K2", {{"东城南", "", "11:00", 0}, {"乙", "12:00", "", 50}}},
        {"K3", {{"东城", "", "10:40", 0}, {"乙", "12:30", "", 60}}}});
  // K3 at the same station leaves 40 min after K1 comes in, K2 across the city 60 min after.
  std::vector<TJourney> j = Plan("甲", "乙");
  ASSERT_EQ(j.size(), 1u);
  EXPECT_EQ(j[0].Legs[1].Train, "K3");
  j = Plan("甲", "乙", {1, 30, 60, 1439, 0});
  ASSERT_EQ(j.size(), 1u);
  EXPECT_EQ(j[0].Legs[1].Train, "K2");
  EXPECT_EQ(j[0].Legs[1].From, G("东城南"));
  EXPECT_EQ(j[0].Legs[1].Wait, 60);
  EXPECT_EQ(j[0].Duration, 240);
}

TEST_F(HandMade, WaitAcrossMidnightJustBelowTheMinimumAndTheLongestWait) {
  Load({{"K1", {{"甲", "", "20:00", 0}, {"丙", "23:30", "", 100}}},
        {"K2", {{"丙", "", "00:40", 0}, {"乙", "02:00", "", 50}}}});
  std::vector<TJourney> j = Plan("甲", "乙");
  ASSERT_EQ(j.size(), 1u);
  EXPECT_EQ(j[0].Legs[1].Wait, 70);
  EXPECT_EQ(j[0].Arrival(), 1440 + 120);
  // A minimum one minute above the wait puts the change on the next day.
  j = Plan("甲", "乙", {1, 71, 90, 1439, 0});
  ASSERT_EQ(j.size(), 1u);
  EXPECT_EQ(j[0].Legs[1].Wait, 70 + 1440);
  EXPECT_EQ(Plan("甲", "乙", {1, 30, 90, 70, 0}).size(), 1u);
  EXPECT_TRUE(Plan("甲", "乙", {1, 30, 90, 69, 0}).empty());
}

TEST_F(HandMade, DirectTrainDominatesAndTiesGoToFewerKmThenSmallerNumbers) {
  Load({{"K1", {{"甲", "", "08:00", 0}, {"丙", "09:00", "09:02", 100}, {"乙", "12:00", "", 200}}},
        // From 丙 at the same times: K9 is shorter than K5, K7 as short as K9 but smaller.
        {"K5", {{"丙", "", "09:40", 0}, {"乙", "11:00", "", 90}}},
        {"K7", {{"丙", "", "09:40", 0}, {"乙", "11:00", "", 80}}},
        {"K9", {{"丙", "", "09:40", 0}, {"乙", "11:00", "", 80}}},
        {"K11", {{"甲", "", "07:30", 0}, {"乙", "12:30", "", 300}}}});
  const std::vector<TJourney> j = Plan("甲", "乙");
  // K11 leaves earlier but arrives later than K1 and K7 together, so it is dropped.
  ASSERT_EQ(j.size(), 1u);
  ASSERT_EQ(j[0].Legs.size(), 2u);
  EXPECT_EQ(j[0].Legs[1].Train, "K7");
  EXPECT_EQ(j[0].Km, 180);

  // A direct train that leaves as late and arrives as early wins the tie by having no change.
  Load({{"K1", {{"甲", "", "08:00", 0}, {"丙", "09:00", "", 100}}},
        {"K2", {{"丙", "", "09:30", 0}, {"乙", "11:00", "", 50}}},
        {"K3", {{"甲", "", "08:00", 0}, {"乙", "11:00", "", 400}}}});
  const std::vector<TJourney> d = Plan("甲", "乙");
  ASSERT_EQ(d.size(), 1u);
  EXPECT_EQ(d[0].Changes(), 0);
}

TEST_F(HandMade, TwoChangesFindWhatOneCannot) {
  Load({{"K1", {{"甲", "", "08:00", 0}, {"丙", "09:00", "", 100}}},
        {"K2", {{"丙", "", "10:00", 0}, {"丁", "11:00", "", 100}}},
        {"K3", {{"丁", "", "12:00", 0}, {"乙", "13:00", "", 100}}}});
  EXPECT_TRUE(Plan("甲", "乙").empty());
  const std::vector<TJourney> j = Plan("甲", "乙", {2, 30, 90, 1439, 0});
  ASSERT_EQ(j.size(), 1u);
  EXPECT_EQ(j[0].Changes(), 2);
  EXPECT_EQ(j[0].Duration, 300);
  EXPECT_EQ(j[0].Fares[0], "33");
  EXPECT_EQ(j[0].Fares[1], "-");
}

TEST_F(HandMade, ListStartsAtTheStartTimeRoundTheClock) {
  Load({{"K1", {{"甲", "", "06:00", 0}, {"乙", "07:00", "", 100}}},
        {"K2", {{"甲", "", "12:00", 0}, {"乙", "13:00", "", 100}}},
        {"K3", {{"甲", "", "18:00", 0}, {"乙", "19:00", "", 100}}}});
  const std::vector<TJourney> j = Plan("甲", "乙", {1, 30, 90, 1439, 12 * 60});
  ASSERT_EQ(j.size(), 3u);
  EXPECT_EQ(j[0].Legs[0].Train, "K2");
  EXPECT_EQ(j[2].Legs[0].Train, "K1");
}

}  // namespace
}  // namespace velmor

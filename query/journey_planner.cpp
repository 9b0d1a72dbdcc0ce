#include "query/journey_planner.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

#include "data/table_cursor.h"
#include "query/fares.h"
#include "query/query_fields.h"
#include "query/station_match.h"

namespace velmor {
namespace {

constexpr int32_t kDay = 1440;
// No label, and no change possible; bad data may give negative running times, never this.
constexpr int32_t kNone = std::numeric_limits<int32_t>::min();
constexpr uint32_t kNoStop = UINT32_MAX;
// Running times beyond this are damaged data; capping them keeps every sum inside int32.
constexpr int32_t kLongestElapsed = 1000000;

// Minute of the day of "hh:mm"; -1 for an empty or unreadable text.
int32_t ClockMinutes(std::string_view text) {
  if (text.size() != 5 || text[2] != ':') return -1;
  for (size_t i : {0, 1, 3, 4}) {
    if (text[i] < '0' || text[i] > '9') return -1;
  }
  const int32_t h = (text[0] - '0') * 10 + (text[1] - '0');
  const int32_t m = (text[3] - '0') * 10 + (text[4] - '0');
  if (h > 23 || m > 59) return -1;
  return h * 60 + m;
}

// The best continuation from one departing stop: a duration from its departure, then the
// order the profile breaks ties in.
struct Label {
  int32_t Dur = kNone;
  int32_t Changes = 0;
  int32_t Km = 0;
  std::array<int32_t, 3> Ranks{-1, -1, -1};
  uint32_t Alight = kNoStop;  // where this label's ride ends
  uint32_t Next = kNoStop;    // the stop boarded after the change, if any
  bool Valid() const { return Dur != kNone; }
};

bool Less(const Label& a, const Label& b) {
  if (!b.Valid()) return a.Valid();
  if (!a.Valid()) return false;
  if (a.Dur != b.Dur) return a.Dur < b.Dur;
  if (a.Changes != b.Changes) return a.Changes < b.Changes;
  if (a.Km != b.Km) return a.Km < b.Km;
  return a.Ranks < b.Ranks;
}

bool TieLess(const Label& a, const Label& b) {
  if (a.Changes != b.Changes) return a.Changes < b.Changes;
  if (a.Km != b.Km) return a.Km < b.Km;
  return a.Ranks < b.Ranks;
}

// The wait from an arrival to a departure under the minimum, or kNone when over the longest.
int32_t ChangeWait(int32_t arrive, int32_t depart, int32_t minimum, int32_t longest) {
  int32_t wait = ((depart - arrive) % kDay + kDay) % kDay;
  if (wait < minimum) wait += kDay;
  // 1439 or more sets no limit: a wait below 1440 always fits it.
  if (longest < kDay - 1 && wait > longest) return kNone;
  return wait;
}

class Planner {
 public:
  Planner(const TPlanIndex& index, const TPlanOptions& o) : x_(index), o_(o) {}

  std::vector<TJourney> Run(const std::vector<char>& from, const std::vector<char>& to,
                            const std::stop_token& stop) {
    const int levels = std::clamp(o_.MaxChanges, 0, 2) + 1;
    labels_.assign(size_t(levels), {});
    DirectLevel(to);
    std::vector<char> fromTrains(x_.Trains().size(), 0);
    for (size_t s = 0; s < from.size(); ++s) {
      if (!from[s]) continue;
      for (uint32_t q : x_.Departures(int32_t(s))) fromTrains[size_t(x_.Stops()[q].Train)] = 1;
    }
    for (int c = 1; c < levels; ++c) {
      const bool last = c + 1 == levels;
      Candidates(c - 1);
      labels_[size_t(c)].assign(x_.Stops().size(), Label{});
      for (size_t t = 0; t < x_.Trains().size(); ++t) {
        if (stop.stop_requested()) return {};
        if (!last || fromTrains[t]) ChangeLevel(c, t);
      }
    }
    return Profile(levels - 1, from);
  }

 private:
  // Level 0: on the same train to its nearest arrival-side stop.
  void DirectLevel(const std::vector<char>& to) {
    std::vector<Label>& out = labels_[0];
    out.assign(x_.Stops().size(), Label{});
    const auto& stops = x_.Stops();
    for (const TPlanIndex::Train& t : x_.Trains()) {
      uint32_t best = kNoStop;
      for (uint32_t q = t.First + t.Count; q-- > t.First;) {
        const TPlanIndex::Stop& s = stops[q];
        if (s.Depart >= 0 && best != kNoStop) {
          Label& l = out[q];
          l.Dur = stops[best].ArrElapsed - s.DepElapsed;
          l.Km = stops[best].Km - s.Km;
          l.Ranks[0] = t.Rank;
          l.Alight = best;
        }
        if (s.Arrive >= 0 && to[size_t(s.Station)] &&
            (best == kNoStop || s.ArrElapsed <= stops[best].ArrElapsed)) {
          best = q;
        }
      }
    }
  }

  // Per station, the stops whose level-`c` label reaches the arrival side; and those of them
  // no other one beats for every arrival time. A stop that leaves no earlier (within a day) and
  // arrives no later beats another for any arrival, so the change search may skip the beaten
  // ones, unless the stop it keeps is on the arriving train, which may not be boarded again,
  // or the longest wait could rule out the later stop.
  void Candidates(int c) {
    const std::vector<Label>& l = labels_[size_t(c)];
    candidates_.assign(x_.StationCount(), {});
    for (uint32_t q = 0; q < l.size(); ++q) {
      if (l[q].Valid()) candidates_[size_t(x_.Stops()[q].Station)].push_back(q);
    }
    front_ = candidates_;
    if (o_.MaxWait < kDay - 1) return;
    for (std::vector<uint32_t>& list : front_) {
      std::vector<uint32_t> kept;
      for (uint32_t q : list) {
        const int32_t d = x_.Stops()[q].Depart;
        const bool beaten = std::any_of(list.begin(), list.end(), [&](uint32_t other) {
          if (other == q) return false;
          Label shifted = l[other];
          shifted.Dur += ((x_.Stops()[other].Depart - d) % kDay + kDay) % kDay;
          return Less(shifted, l[q]);
        });
        if (!beaten) kept.push_back(q);
      }
      list = std::move(kept);
    }
  }

  // The best change from arriving at stop `r` onto a stop labelled at level c-1.
  Label BestChange(int c, uint32_t r) const {
    const TPlanIndex::Stop& s = x_.Stops()[r];
    const std::vector<Label>& prev = labels_[size_t(c - 1)];
    Label best;
    // Whether a kept stop was on the arriving train: then the beaten ones count again.
    bool own = false;
    auto consider = [&](const std::vector<uint32_t>& list, int32_t minimum) {
      for (uint32_t q : list) {
        const TPlanIndex::Stop& d = x_.Stops()[q];
        if (d.Train == s.Train) {
          own = true;
          continue;
        }
        const int32_t wait = ChangeWait(s.Arrive, d.Depart, minimum, o_.MaxWait);
        if (wait == kNone) continue;
        Label cand = prev[q];
        cand.Dur += wait;
        cand.Changes += 1;
        cand.Next = q;
        if (Less(cand, best)) best = cand;
      }
    };
    auto station = [&](int32_t z, int32_t minimum) {
      own = false;
      consider(front_[size_t(z)], minimum);
      if (own) consider(candidates_[size_t(z)], minimum);
    };
    station(s.Station, o_.MinChange);
    for (int32_t mate : x_.CityMates(s.Station)) station(mate, o_.CityChange);
    return best;
  }

  // Level c on one train: the direct ride, or a ride to a later stop and the best change there.
  void ChangeLevel(int c, size_t train) {
    const TPlanIndex::Train& t = x_.Trains()[train];
    const auto& stops = x_.Stops();
    std::vector<Label>& out = labels_[size_t(c)];
    // The best alighting stop seen so far, its duration and km counted from the train's origin.
    Label suffix;
    for (uint32_t q = t.First + t.Count; q-- > t.First;) {
      const TPlanIndex::Stop& s = stops[q];
      if (s.Depart >= 0) {
        Label l = labels_[0][q];
        if (suffix.Valid()) {
          Label via = suffix;
          via.Dur -= s.DepElapsed;
          via.Km -= s.Km;
          if (Less(via, l)) l = via;
        }
        out[q] = l;
      }
      if (s.Arrive < 0) continue;
      const Label change = BestChange(c, q);
      if (!change.Valid()) continue;
      Label cand = change;
      cand.Dur += s.ArrElapsed;
      cand.Km += s.Km;
      cand.Ranks = {t.Rank, change.Ranks[0], change.Ranks[1]};
      cand.Alight = q;
      if (Less(cand, suffix)) suffix = cand;
    }
  }

  struct Event {
    uint32_t Stop;
    int32_t Depart;
    Label L;
  };

  // One journey per departing stop of the departure side, then those another one beats.
  std::vector<TJourney> Profile(int level, const std::vector<char>& from) const {
    std::vector<Event> events;
    for (size_t st = 0; st < from.size(); ++st) {
      if (!from[st]) continue;
      for (uint32_t q : x_.Departures(int32_t(st))) {
        const Label& l = labels_[size_t(level)][q];
        if (l.Valid()) events.push_back({q, x_.Stops()[q].Depart, l});
      }
    }
    std::vector<TJourney> out;
    for (const Event& j : events) {
      const int32_t arrival = j.Depart + j.L.Dur;
      const bool beaten = std::any_of(events.begin(), events.end(), [&](const Event& i) {
        if (&i == &j) return false;
        const int32_t offset = ((i.Depart - j.Depart) % kDay + kDay) % kDay;
        const int32_t iArrival = j.Depart + offset + i.L.Dur;
        if (iArrival > arrival) return false;
        if (offset == 0 && iArrival == arrival) return TieLess(i.L, j.L);
        return true;
      });
      if (!beaten) out.push_back(Build(level, j.Stop));
    }
    const int32_t start = ((o_.StartTime % kDay) + kDay) % kDay;
    std::sort(out.begin(), out.end(), [&](const TJourney& a, const TJourney& b) {
      const int32_t ka = (a.Depart - start + kDay) % kDay;
      const int32_t kb = (b.Depart - start + kDay) % kDay;
      if (ka != kb) return ka < kb;
      return a.Arrival() < b.Arrival();
    });
    return out;
  }

  // The legs of the journey that starts at stop `board` under its level-`level` label.
  TJourney Build(int level, uint32_t board) const {
    const auto& stops = x_.Stops();
    const TablesSet& tables = x_.Tables();
    const StopFields sf(tables.KMTrain);
    const ListFields lf(tables.KMList);
    TTableCursor list(tables.KMList);
    PubState scratch;
    scratch.Fares = x_.Fares();

    TJourney j;
    j.Depart = stops[board].Depart;
    int32_t wait = 0;
    for (int c = level; board != kNoStop; --c) {
      const Label& l = labels_[size_t(c)][board];
      const TPlanIndex::Stop& b = stops[board];
      const TPlanIndex::Stop& a = stops[l.Alight];
      TPub_GridResult& r = scratch.Pub_GridResults.emplace_back();
      SetFromStop(r, tables.KMTrain, sf, b.Record);
      SetToStop(r, tables.KMTrain, sf, a.Record);
      r.TrainID = x_.Trains()[size_t(b.Train)].Id;
      if (lf.Valid() && list.Locate("ID", r.TrainID)) SetTrainFields(r, list, lf);
      SetIntervalFields(r);
      ComputeRowFares(scratch, scratch.Pub_GridResults.size() - 1);

      TPlanLeg& leg = j.Legs.emplace_back();
      leg.Train = r.TrainID;
      leg.From = r.FromStation;
      leg.To = r.ToStation;
      leg.FromNo = r.FromNo;
      leg.ToNo = r.ToNo;
      leg.StopCount = r.StopCount;
      leg.Depart = b.Depart;
      leg.Arrive = a.Arrive;
      leg.Run = a.ArrElapsed - b.DepElapsed;
      leg.Wait = wait;
      leg.Km = a.Km - b.Km;
      leg.Fares = {r.FareHardSeat, r.FareSoftSeat, r.FareHardSleeper, r.FareSoftSleeper};
      j.Duration += leg.Wait + leg.Run;
      j.Km += leg.Km;
      if (l.Next != kNoStop) {
        const int32_t minimum = stops[l.Next].Station == a.Station ? o_.MinChange : o_.CityChange;
        wait = ChangeWait(a.Arrive, stops[l.Next].Depart, minimum, o_.MaxWait);
      }
      board = l.Next;
    }
    for (size_t k = 0; k < 4; ++k) j.Fares[k] = SumFares(j.Legs, k);
    return j;
  }

  // Per berth position the sum of a class over the legs; "-" when a leg lacks the class.
  static std::string SumFares(const std::vector<TPlanLeg>& legs, size_t cls) {
    std::vector<double> sum;
    for (const TPlanLeg& leg : legs) {
      const std::string& text = leg.Fares[cls];
      if (text.empty() || text == "-") return "-";
      std::vector<double> parts;
      for (size_t p = 0; p <= text.size();) {
        const size_t slash = std::min(text.find('/', p), text.size());
        parts.push_back(StrToFloatDef0(std::string_view(text).substr(p, slash - p)));
        p = slash + 1;
      }
      if (sum.empty()) {
        sum = parts;
      } else if (sum.size() != parts.size()) {
        return "-";
      } else {
        for (size_t k = 0; k < sum.size(); ++k) sum[k] += parts[k];
      }
    }
    std::string out;
    for (size_t k = 0; k < sum.size(); ++k) {
      if (k > 0) out += '/';
      const double tenths = std::round(sum[k] * 10);
      out += std::to_string(int64_t(tenths) / 10);
      if (int64_t(tenths) % 10 != 0) out += "." + std::to_string(int64_t(tenths) % 10);
    }
    return out;
  }

  const TPlanIndex& x_;
  const TPlanOptions& o_;
  std::vector<std::vector<Label>> labels_;
  std::vector<std::vector<uint32_t>> candidates_;
  std::vector<std::vector<uint32_t>> front_;
};

}  // namespace

TPlanIndex::TPlanIndex(const TablesSet& tables) : tables_(tables) {
  BuildFareZoneTable(fares_);
  BuildFareRateTable(fares_);
  const StopFields f(tables.KMTrain);
  if (!f.Valid()) return;
  auto stationOf = [&](std::string_view name) {
    auto [it, added] = ids_.emplace(name, int32_t(names_.size()));
    if (added) names_.push_back(name);
    return it->second;
  };
  stops_.reserve(tables.KMTrain.RecordCount());
  for (TTableCursor c(tables.KMTrain); !c.Eof();) {
    const std::string_view id = c.Text(f.ID);
    Train& t = trains_.emplace_back();
    t.Id = id;
    t.First = uint32_t(stops_.size());
    for (; !c.Eof() && SameBytes(c.Text(f.ID), id); c.Next()) {
      Stop& s = stops_.emplace_back();
      s.Station = stationOf(c.Text(f.Station));
      s.Train = int32_t(trains_.size() - 1);
      s.Arrive = ClockMinutes(c.Text(f.A_Time));
      s.Depart = ClockMinutes(c.Text(f.D_Time));
      s.ArrElapsed = std::clamp(ElapsedToMinutes(c.Text(f.R_Date)), 0, kLongestElapsed);
      const int32_t dwell =
          s.Arrive >= 0 && s.Depart >= 0 ? (s.Depart - s.Arrive + kDay) % kDay : 0;
      s.DepElapsed = s.ArrElapsed + dwell;
      s.Km = c.Integer(f.Distance);
      s.Record = uint32_t(c.CurrentRecord());
    }
    t.Count = uint32_t(stops_.size()) - t.First;
  }
  std::vector<int32_t> order(trains_.size());
  std::iota(order.begin(), order.end(), 0);
  std::sort(order.begin(), order.end(),
            [&](int32_t a, int32_t b) { return trains_[size_t(a)].Id < trains_[size_t(b)].Id; });
  for (size_t k = 0; k < order.size(); ++k) trains_[size_t(order[k])].Rank = int32_t(k);

  departures_.assign(names_.size(), {});
  for (uint32_t q = 0; q < stops_.size(); ++q) {
    if (stops_[q].Depart >= 0) departures_[size_t(stops_[q].Station)].push_back(q);
  }
  mates_.assign(names_.size(), {});
  const int fStation = tables.KMSM.FieldIndex("Station");
  const int fGp = tables.KMSM.FieldIndex("Gp");
  if (fStation < 0 || fGp < 0) return;
  std::unordered_map<int32_t, std::vector<int32_t>> groups;
  for (TTableCursor c(tables.KMSM); !c.Eof(); c.Next()) {
    const int32_t id = StationId(c.Text(fStation));
    if (id >= 0) groups[c.Integer(fGp)].push_back(id);
  }
  for (const auto& [gp, members] : groups) {
    for (int32_t a : members) {
      for (int32_t b : members) {
        if (a != b) mates_[size_t(a)].push_back(b);
      }
    }
  }
}

int32_t TPlanIndex::StationId(std::string_view name) const {
  const auto it = ids_.find(name);
  return it == ids_.end() ? -1 : it->second;
}

std::vector<TJourney> PlanJourneys(const TPlanIndex& index, std::string_view fzText,
                                   std::string_view dzText, const TPlanOptions& options,
                                   std::stop_token stop) {
  PubState sides;
  FillFZStruct(sides, index.Tables().KMSM, fzText, 0);
  FillDZStruct(sides, index.Tables().KMSM, dzText, 0);
  const int exact = ApplySameGroupRule(sides);
  std::vector<char> from(index.StationCount(), 0);
  std::vector<char> to(index.StationCount(), 0);
  for (int32_t s = 0; s < int32_t(index.StationCount()); ++s) {
    from[size_t(s)] = IsWantedStation(sides, index.StationName(s), exact, 1);
    to[size_t(s)] = IsWantedStation(sides, index.StationName(s), exact, 2);
  }
  return Planner(index, options).Run(from, to, stop);
}

std::string PlanMinutesText(int minutes) {
  const int h = minutes / 60;
  const int m = minutes % 60;
  std::string out = h < 10 ? "0" + std::to_string(h) : std::to_string(h);
  out += m < 10 ? ":0" : ":";
  return out + std::to_string(m);
}

}  // namespace velmor

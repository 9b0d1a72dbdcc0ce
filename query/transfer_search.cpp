#include <algorithm>
#include <unordered_map>

#include "query/fares.h"
#include "query/queries.h"
#include "query/query_fields.h"
#include "query/station_match.h"

namespace velmor {
namespace {

constexpr size_t kLegsFirstAllocation = 5000;

// Departure side: every later stop of a train that boarded at its first wanted stop.
void CollectFZLegs(PubState& state, const TMemTable& table, const StopFields& f, int exact) {
  auto& legs = state.Pub_FZLegs;
  legs.reserve(kLegsFirstAllocation);
  const TWantedStations wanted(state, exact, 1);
  TTableCursor stops(table);
  while (!stops.Eof()) {
    const std::string_view id = stops.Text(f.ID);
    TPub_GridResult boarding;
    bool boarded = false;
    for (; !stops.Eof() && SameBytes(stops.Text(f.ID), id); stops.Next()) {
      if (boarded) {
        TPub_GridResult& leg = legs.emplace_back(boarding);
        SetToStop(leg, stops, f);
      } else if (wanted.Match(stops.Text(f.Station))) {
        boarding.TrainID = id;
        SetFromStop(boarding, stops, f);
        boarded = true;
      }
    }
  }
}

// Arrival side, walked backwards: every earlier stop of a train, nearest first, towards its
// last wanted stop.
void CollectDZLegs(PubState& state, const TMemTable& table, const StopFields& f, int exact) {
  auto& legs = state.Pub_DZLegs;
  legs.reserve(kLegsFirstAllocation);
  const TWantedStations wanted(state, exact, 2);
  TTableCursor stops(table);
  stops.Last();
  while (!stops.Bof()) {
    const std::string_view id = stops.Text(f.ID);
    TPub_GridResult alighting;
    bool alighted = false;
    for (; !stops.Bof() && SameBytes(stops.Text(f.ID), id); stops.Prior()) {
      if (alighted) {
        TPub_GridResult& leg = legs.emplace_back(alighting);
        SetFromStop(leg, stops, f);
      } else if (wanted.Match(stops.Text(f.Station))) {
        alighting.TrainID = id;
        SetToStop(alighting, stops, f);
        alighted = true;
      }
    }
  }
}

}  // namespace

void ZZSearch(PubState& state, const TablesSet& tables, std::string_view fzText,
              std::string_view dzText) {
  state.Pub_GridResults.clear();
  state.Pub_FZLegs.clear();
  state.Pub_DZLegs.clear();
  FillFZStruct(state, tables.KMSM, fzText, 0);
  FillDZStruct(state, tables.KMSM, dzText, 0);
  const int exact = ApplySameGroupRule(state);

  const StopFields f(tables.KMTrain);
  if (f.Valid()) {
    CollectFZLegs(state, tables.KMTrain, f, exact);
    CollectDZLegs(state, tables.KMTrain, f, exact);
  }
  state.Pub_FZLegs.shrink_to_fit();
  state.Pub_DZLegs.shrink_to_fit();
  BuildZZList(state);
}

void BuildZZList(PubState& state) {
  auto& list = state.Pub_ZZList;
  list.clear();
  // Names are unique in the list, so a hash lookup finds the same element a linear search would.
  std::unordered_map<std::string_view, size_t> byName;
  for (const TPub_GridResult& leg : state.Pub_FZLegs) {
    auto it = byName.find(leg.ToStation);
    if (it != byName.end()) {
      ++list[it->second].FZTrainCount;
      continue;
    }
    TPub_ZZStruct e;
    e.StationName = leg.ToStation;
    e.FrontDistance = leg.ToDistance - leg.FromDistance;
    e.FrontDuration = IntervalTime(leg.FromElapsed, leg.ToElapsed);
    e.FZTrainCount = 1;
    list.push_back(std::move(e));
    // Keys point into the legs, which stay unchanged while the map lives.
    byName.emplace(leg.ToStation, list.size() - 1);
  }
  for (const TPub_GridResult& leg : state.Pub_DZLegs) {
    auto it = byName.find(leg.FromStation);
    if (it == byName.end()) continue;
    TPub_ZZStruct& e = list[it->second];
    e.BackDistance = leg.ToDistance - leg.FromDistance;
    e.SumDistance = e.FrontDistance + e.BackDistance;
    e.BackDuration = IntervalTime(leg.FromElapsed, leg.ToElapsed);
    e.SumDuration =
        MinutesToElapsed(ElapsedToMinutes(e.FrontDuration) + ElapsedToMinutes(e.BackDuration));
    ++e.DZTrainCount;
  }
}

void FillZZResults(PubState& state, const TablesSet& tables, std::string_view station, int fzCount,
                   int dzCount) {
  state.Pub_ZZStation = station;
  // Counts come from grid cells; negative ones give no rows rather than a bad length.
  const size_t fz = static_cast<size_t>(std::max(fzCount, 0));
  const size_t total = fz + static_cast<size_t>(std::max(dzCount, 0));
  state.Pub_GridResults.assign(total, TPub_GridResult{});

  TTableCursor list(tables.KMList);
  const ListFields lf(tables.KMList);
  size_t k = 0;
  auto fill = [&](const TPub_GridResult& leg) {
    ++k;
    if (!lf.Valid() || !list.Locate("ID", leg.TrainID)) return;
    TPub_GridResult& r = state.Pub_GridResults[k - 1];
    r = leg;
    SetTrainFields(r, list, lf);
    SetIntervalFields(r);
    ComputeRowFares(state, k - 1);
  };
  for (const TPub_GridResult& leg : state.Pub_FZLegs) {
    if (leg.ToStation != station) continue;
    if (k >= fz) break;
    fill(leg);
  }
  for (const TPub_GridResult& leg : state.Pub_DZLegs) {
    if (leg.FromStation != station) continue;
    if (k >= total) break;
    fill(leg);
  }
}

}  // namespace velmor

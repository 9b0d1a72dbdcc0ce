#include <algorithm>
#include <iterator>

#include "query/fares.h"
#include "query/queries.h"
#include "query/query_fields.h"
#include "query/station_match.h"
#include "query/train_runs.h"

namespace velmor {

void QueryStationToStation(PubState& state, const TablesSet& tables, std::string_view fzText,
                           std::string_view dzText) {
  state.Pub_GridResults.clear();
  FillFZStruct(state, tables.KMSM, fzText, 0);
  FillDZStruct(state, tables.KMSM, dzText, 0);
  const int exact = ApplySameGroupRule(state);

  TTableCursor stops(tables.KMTrain);
  TTableCursor list(tables.KMList);
  const StopFields sf(tables.KMTrain);
  const ListFields lf(tables.KMList);
  if (!sf.Valid() || !lf.Valid()) return;
  const TWantedStations boardAt(state, exact, 1);
  const TWantedStations alightAt(state, exact, 2);
  const bool listByID = WalksByID(tables.KMList);
  const bool listByRank = ListPlacedByRank(tables.KMList, tables.KMTrain);

  // Only the trains calling on both sides are walked, each from its earliest boarding stop.
  std::optional<std::vector<TCallingTrain>> trains = CallingTrains(tables.KMTrain, boardAt.Names());
  const std::optional<std::vector<TCallingTrain>> alighting =
      CallingTrains(tables.KMTrain, alightAt.Names());
  if (trains && alighting) trains = CallingAtBoth(tables.KMTrain, *trains, *alighting);
  const TStopKeys keys(tables.KMTrain, sf, {&boardAt, &alightAt});
  ForEachTrainRun(stops, trains, [&] {
    // A view into the table, which no query changes: see SameBytes.
    const std::string_view id = stops.Text(sf.ID);
    const size_t first = stops.CurrentRecord();
    // Only the positions of the boarding and alighting stops are kept during the walk; a
    // record is built for the few trains that have both.
    bool boarded = false;
    bool alights = false;
    size_t from = 0;
    size_t to = 0;
    while (!stops.Eof() && keys.SameTrain(stops.CurrentRecord(), first)) {
      const size_t record = stops.CurrentRecord();
      if (!boarded) {
        if (keys.Wanted(0, record)) {
          boarded = true;
          from = record;
        }
      } else if (keys.Wanted(1, record)) {
        alights = true;
        to = record;
      }
      stops.Next();
    }
    if (!alights) return;
    const size_t place = listByRank ? keys.TrainRank(first) : kNoPlace;
    if (!StepToTrain(list, lf.ID, id, listByID, place)) return;
    TPub_GridResult& r = state.Pub_GridResults.emplace_back();
    SetFromStop(r, tables.KMTrain, sf, from);
    SetToStop(r, tables.KMTrain, sf, to);
    SetTrainFields(r, list, lf);
    SetIntervalFields(r);
    ComputeRowFares(state, state.Pub_GridResults.size() - 1);
  });
}

}  // namespace velmor

#include "query/fares.h"
#include "query/queries.h"
#include "query/query_fields.h"
#include "query/station_match.h"

namespace velmor {

void QueryStationToStation(PubState& state, TablesSet& tables, std::string_view fzText,
                           std::string_view dzText) {
  state.Pub_GridResults.clear();
  FillFZStruct(state, tables.KMSM, fzText, 0);
  FillDZStruct(state, tables.KMSM, dzText, 0);
  const int exact = ApplySameGroupRule(state);

  TMemTable& stops = tables.KMTrain;
  TMemTable& list = tables.KMList;
  const StopFields sf(stops);
  const ListFields lf(list);
  if (!sf.Valid() || !lf.Valid()) return;

  stops.First();
  while (!stops.Eof()) {
    // A view into the table, which no query changes: see SameBytes.
    const std::string_view id = stops.Text(sf.ID);
    TPub_GridResult r;
    // Only the boarding and alighting stops are copied; every other stop costs two reads.
    while (!stops.Eof() && SameBytes(stops.Text(sf.ID), id)) {
      const std::string_view station = stops.Text(sf.Station);
      if (r.FromStation.empty()) {
        if (IsWantedStation(state, station, exact, 1)) SetFromStop(r, stops, sf);
      } else if (IsWantedStation(state, station, exact, 2)) {
        SetToStop(r, stops, sf);
      }
      stops.Next();
    }
    if (r.FromStation.empty() || r.ToStation.empty() || !list.Locate("ID", id)) continue;
    SetTrainFields(r, list, lf);
    SetIntervalFields(r);
    state.Pub_GridResults.push_back(std::move(r));
    ComputeRowFares(state, state.Pub_GridResults.size() - 1);
  }
}

}  // namespace velmor

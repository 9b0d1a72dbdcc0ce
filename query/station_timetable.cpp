#include "query/fares.h"
#include "query/queries.h"
#include "query/query_fields.h"
#include "query/station_match.h"
#include "query/train_runs.h"

namespace velmor {

void QueryStationTimetable(PubState& state, const TablesSet& tables, std::string_view czText) {
  state.Pub_GridResults.clear();
  FillCZStruct(state, tables.KMSM, czText, 0);
  int exact = 0;
  if (state.Pub_FZ.Gp == 0) {
    exact = 1;
    state.Pub_FZ.Stations.clear();
  }

  TTableCursor stops(tables.KMTrain);
  TTableCursor list(tables.KMList);
  const StopFields sf(tables.KMTrain);
  const ListFields lf(tables.KMList);
  if (!sf.Valid() || !lf.Valid()) return;
  const TWantedStations wanted(state, exact, 1);
  const bool listByID = WalksByID(tables.KMList);
  const bool listByRank = ListPlacedByRank(tables.KMList, tables.KMTrain);

  // Only the trains calling at the station are walked, each from its earliest call there.
  const TStopKeys keys(tables.KMTrain, sf, {&wanted});
  ForEachTrainRun(stops, CallingTrains(tables.KMTrain, wanted.Names()), [&] {
    const size_t first = stops.CurrentRecord();
    for (; !stops.Eof() && keys.SameTrain(stops.CurrentRecord(), first); stops.Next()) {
      if (!keys.Wanted(0, stops.CurrentRecord())) continue;
      const std::string_view id = stops.Text(sf.ID);
      const size_t place = listByRank ? keys.TrainRank(first) : kNoPlace;
      if (!StepToTrain(list, lf.ID, id, listByID, place)) continue;
      // Built where it stays: a record is thirty texts, and a hub lists hundreds of trains.
      TPub_GridResult& r = state.Pub_GridResults.emplace_back();
      SetTrainFields(r, list, lf);
      if (!stops.Text(sf.D_Time).empty()) {
        SetFromStop(r, stops, sf);
        // The walk to the terminus stays inside this train: a stop list that ends without a
        // terminus row (or the end of the table) leaves the train's last recorded stop.
        for (;;) {
          stops.Next();
          if (stops.Eof()) break;
          if (!keys.SameTrain(stops.CurrentRecord(), first)) {
            stops.Prior();
            break;
          }
          if (stops.Text(sf.D_Time).empty()) break;
        }
        SetToStop(r, stops, sf);
      } else {
        SetToStop(r, stops, sf);
        SetOriginBoarding(r, list, lf);
      }
      SetIntervalFields(r);
      ComputeRowFares(state, state.Pub_GridResults.size() - 1);
    }
  });
}

}  // namespace velmor

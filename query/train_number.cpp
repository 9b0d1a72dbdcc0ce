#include "data/gbk_text.h"
#include "query/queries.h"
#include "query/query_fields.h"
#include "query/train_runs.h"

namespace velmor {

namespace {

// TerminalStopNo with the fields resolved and a cursor made once for all matching trains.
int32_t TerminalStopNo(TTableCursor& stops, const StopFields& f, std::string_view trainNumber) {
  if (!f.Valid() || !stops.Locate("ID", trainNumber)) return 1;
  for (; !stops.Eof() && SameBytes(stops.Text(f.ID), trainNumber); stops.Next()) {
    if (stops.Text(f.D_Time).empty()) return stops.Integer(f.S_No);
  }
  return 1;
}

}  // namespace

int32_t TerminalStopNo(const TMemTable& KMTrain, std::string_view trainNumber) {
  TTableCursor stops(KMTrain);
  return TerminalStopNo(stops, StopFields(KMTrain), trainNumber);
}

void TrainNumberQuery(PubState& state, const TablesSet& tables, std::string_view eccText) {
  state.Pub_GridResults.clear();
  state.Pub_FZ.Name.clear();
  state.Pub_DZ.Name.clear();
  const std::string number = UpperAscii(Trim(eccText));
  // A combined number: the typed one, "/", and the rest.
  auto combined = [&](std::string_view id) {
    return id.size() > number.size() && id.starts_with(number) && id[number.size()] == '/';
  };

  TTableCursor list(tables.KMList);
  const ListFields lf(tables.KMList);
  if (!lf.Valid()) return;
  TTableCursor stops(tables.KMTrain);
  const StopFields sf(tables.KMTrain);
  // In the list's order by ID the matches stand together: the number, then the numbers
  // going on with "/", before any going on with a digit or letter.
  const bool together = WalksByID(tables.KMList);
  auto pastMatches = [&](std::string_view id) {
    return !id.starts_with(number) || (id.size() > number.size() && id[number.size()] > '/');
  };
  if (!list.LocatePrefix("ID", number)) return;
  for (; !list.Eof() && !(together && pastMatches(list.Text(lf.ID))); list.Next()) {
    const std::string_view id = list.Text(lf.ID);
    if (id != number && !combined(id)) continue;
    TPub_GridResult& r = state.Pub_GridResults.emplace_back();
    SetTrainFields(r, list, lf);
    SetOriginBoarding(r, list, lf);
    r.ToStation = r.EndStation;
    r.ToNo = TerminalStopNo(stops, sf, id);
    r.ToArrive = list.Text(lf.D_Time);
    r.ToElapsed = r.TotalTime;
    r.ToDistance = r.TotalDistance;
    r.ToP1 = r.TrainP1;
    r.ToP2 = r.TrainP2;
    r.ToP3 = r.TrainP3;
    r.ToP4 = r.TrainP4;
    r.StopCount = r.ToNo - 1;
    r.Distance = r.TotalDistance;
    r.Duration = r.TotalTime;
    r.FareHardSeat = r.TrainP1;
    r.FareSoftSeat = r.TrainP2;
    r.FareHardSleeper = r.TrainP3;
    r.FareSoftSleeper = r.TrainP4;
  }
}

}  // namespace velmor

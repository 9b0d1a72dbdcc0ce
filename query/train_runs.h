// Walks over the stop table train by train, visiting only the trains that call at the wanted
// stations when the table's indexes can find them.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string_view>
#include <vector>

#include "data/table_cursor.h"
#include "query/query_fields.h"
#include "query/station_match.h"

namespace velmor {

// No place in a walk: see StepToTrain.
inline constexpr size_t kNoPlace = static_cast<size_t>(-1);

// Whether a walk of `table` in its current index meets the rows of one ID together and in
// byte order of the IDs (the current index is led by ID).
bool WalksByID(const TMemTable& table);

// A train with a stop at a wanted station: the record of its earliest such stop (by stop
// number), which also tells its number, and the number's rank in the stop table's walk order
// (TMemTable::LeadingRanks) when the table has ranks, else kNoRank.
struct TCallingTrain {
  static constexpr uint32_t kNoRank = 0xFFFFFFFFu;
  size_t FirstCall;
  uint32_t Rank;
};

// The trains with a stop at one of `stations`, in byte order of their numbers without
// repeats, found through the stop table's index led by Station; nothing when the table has no
// such index or its walk order is not led by ID (then only a walk over every stop finds them).
std::optional<std::vector<TCallingTrain>> CallingTrains(
    const TMemTable& KMTrain, const std::vector<std::string_view>& stations);

// The trains of both lists (each as CallingTrains gives them), in the same order, with the
// earliest calls of `a`.
std::vector<TCallingTrain> CallingAtBoth(const TMemTable& KMTrain,
                                         const std::vector<TCallingTrain>& a,
                                         const std::vector<TCallingTrain>& b);

// Tells the stops of one train and the stops at wanted stations by the stop table's ranks
// (TMemTable::LeadingRanks) where it has them, so that a walk reads no stop's bytes for it; by
// the stops' texts otherwise.
class TStopKeys {
 public:
  // `wanted` lists the station sets Wanted asks about; it must outlive this.
  TStopKeys(const TMemTable& stops, const StopFields& sf,
            std::initializer_list<const TWantedStations*> wanted);

  // Whether the stops at records `a` and `b` belong to one train.
  bool SameTrain(size_t a, size_t b) const {
    return trainRanks_ ? (*trainRanks_)[a] == (*trainRanks_)[b]
                       : SameBytes(stops_.TextOf(a, id_), stops_.TextOf(b, id_));
  }
  // The rank of the train number of the stop at `record` (TMemTable::LeadingRanks), or
  // kNoPlace where the table has no ranks.
  size_t TrainRank(size_t record) const { return trainRanks_ ? (*trainRanks_)[record] : kNoPlace; }
  // Whether the stop at `record` is at a station of the `set`th station set given.
  bool Wanted(size_t set, size_t record) const {
    if (!stationRanks_) return wanted_[set]->Match(stops_.TextOf(record, station_));
    const uint32_t rank = (*stationRanks_)[record];
    const std::vector<bool>& bits = wantedRanks_[set];
    return rank < bits.size() && bits[rank];
  }

 private:
  const TMemTable& stops_;
  int id_;
  int station_;
  const std::vector<uint32_t>* trainRanks_ = nullptr;
  const std::vector<uint32_t>* stationRanks_ = nullptr;
  std::vector<const TWantedStations*> wanted_;
  std::vector<std::vector<bool>> wantedRanks_;
};

// Whether `table`'s walk order is by train number, then stop number, without repeats.
bool WalksByIDAndStopNo(const TMemTable& table);

// Moves `stops` to a stop of `train` from which a walk meets every wanted stop of it: where it
// stands already (the train's first stop), at its earliest call when `byStopNo` (a walk
// ordered as WalksByIDAndStopNo says) and the table was loaded in walk order there, or at its
// first stop by a search onward. False when the train has no stops (the cursor is then unmoved).
bool MoveToTrain(TTableCursor& stops, int idField, const TCallingTrain& train, bool byStopNo);

// Whether the train list walks by number in a unique index and has as many rows as the stop
// table has numbers: then a train's row most likely stands at its number's rank in the stop
// table (as both tables are written), and StepToTrain can try that place first.
bool ListPlacedByRank(const TMemTable& list, const TMemTable& stops);

// Moves `list` to the first row numbered `id`, as LocateOnward does, but first at `place` in
// the list's walk when given (see ListPlacedByRank), then, where `byID` (the walk is by
// number, as WalksByID says) and the row stands a few rows on, by stepping there. The cursor
// may move onward when there is no such row.
bool StepToTrain(TTableCursor& list, int idField, std::string_view id, bool byID,
                 size_t place = kNoPlace);

// Calls `run()` with `stops` on each train in walk order, at a stop from which the train's
// wanted stops all lie ahead: every train from its first stop when `trains` is empty-handed,
// otherwise those listed, as MoveToTrain places the cursor. `run` must leave the cursor past
// the train's last stop (or at the end).
template <typename Run>
void ForEachTrainRun(TTableCursor& stops, const std::optional<std::vector<TCallingTrain>>& trains,
                     Run run) {
  if (!trains) {
    for (stops.First(); !stops.Eof();) run();
    return;
  }
  const TMemTable& table = stops.Table();
  const int idField = table.FieldIndex("ID");
  const bool byStopNo = WalksByIDAndStopNo(table);
  // The trains lie all over a big table: the records of trains some turns ahead, and then
  // their numbers, are asked for early so that the waits for them overlap.
  constexpr size_t kRecordsAhead = 8;
  constexpr size_t kNumbersAhead = 4;
  const std::vector<TCallingTrain>& list = *trains;
  for (size_t k = 0; k < list.size(); ++k) {
    if (k + kRecordsAhead < list.size()) table.PrefetchRecord(list[k + kRecordsAhead].FirstCall);
    if (idField >= 0 && k + kNumbersAhead < list.size()) {
      table.PrefetchText(list[k + kNumbersAhead].FirstCall, idField);
    }
    if (MoveToTrain(stops, idField, list[k], byStopNo)) run();
  }
}

}  // namespace velmor

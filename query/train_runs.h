// Walks over the stop table train by train, visiting only the trains that call at the wanted
// stations when the table's indexes can find them.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "data/table_cursor.h"
#include "query/query_fields.h"

namespace velmor {

// Whether a walk of `table` in its current index meets the rows of one ID together and in
// byte order of the IDs (the current index is led by ID).
bool WalksByID(const TMemTable& table);

// A train with a stop at a wanted station, and where its first stop probably stands in the
// walk order: the position of that stop's record less its stop number, right whenever the
// table was loaded in walk order (as every timetable is written).
struct TCallingTrain {
  std::string_view ID;
  size_t FirstStopGuess;
};

// The trains with a stop at one of `stations`, in byte order of their numbers without
// repeats, found through the stop table's index led by Station; nothing when the table has no
// such index or its walk order is not led by ID (then only a walk over every stop finds them).
std::optional<std::vector<TCallingTrain>> CallingTrains(
    const TMemTable& KMTrain, const std::vector<std::string_view>& stations);

// Moves `stops` to the first stop of `train`: where it stands already, at the guessed position,
// or by a search onward. False when the train has no stops (the cursor is then unmoved).
bool MoveToFirstStop(TTableCursor& stops, int idField, const TCallingTrain& train);

// Calls `run()` with `stops` on the first stop of each train, in walk order: every train when
// `trains` is empty-handed, otherwise those listed. `run` must leave the cursor past the
// train's last stop (or at the end).
template <typename Run>
void ForEachTrainRun(TTableCursor& stops, const std::optional<std::vector<TCallingTrain>>& trains,
                     Run run) {
  if (!trains) {
    for (stops.First(); !stops.Eof();) run();
    return;
  }
  const int idField = stops.Table().FieldIndex("ID");
  for (const TCallingTrain& train : *trains) {
    if (MoveToFirstStop(stops, idField, train)) run();
  }
}

}  // namespace velmor

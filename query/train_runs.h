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

// The numbers of the trains with a stop at one of `stations`, in byte order without repeats,
// found through the stop table's index led by Station; nothing when the table has no such
// index or its walk order is not led by ID (then only a walk over every stop finds them).
std::optional<std::vector<std::string_view>> CallingTrains(
    const TMemTable& KMTrain, const std::vector<std::string_view>& stations);

// Calls `run()` with `stops` on the first stop of each train, in walk order: every train when
// `trains` is empty-handed, otherwise those listed. `run` must leave the cursor past the
// train's last stop (or at the end).
template <typename Run>
void ForEachTrainRun(TTableCursor& stops,
                     const std::optional<std::vector<std::string_view>>& trains, Run run) {
  if (!trains) {
    for (stops.First(); !stops.Eof();) run();
    return;
  }
  for (std::string_view id : *trains) {
    if (stops.LocateOnward("ID", id)) run();
  }
}

}  // namespace velmor

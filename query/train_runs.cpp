#include "query/train_runs.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "data/gbk_text.h"

namespace velmor {

namespace {

// How many stops ahead a walk through the Station index asks for a stop's bytes.
constexpr int kLookAhead = 8;

bool LedBy(const TIndexDef& d, std::string_view field) {
  return !d.FieldNames.empty() && SameTextAscii(d.FieldNames.front(), field) && !d.Descending &&
         !d.CaseInsensitive;
}

}  // namespace

bool WalksByID(const TMemTable& table) {
  const std::vector<TIndexDef>& defs = table.IndexDefs();
  auto walk = std::find_if(defs.begin(), defs.end(), [&](const TIndexDef& d) {
    return SameTextAscii(d.Name, table.IndexName());
  });
  return walk != defs.end() && LedBy(*walk, "ID");
}

std::optional<std::vector<TCallingTrain>> CallingTrains(
    const TMemTable& KMTrain, const std::vector<std::string_view>& stations) {
  const StopFields sf(KMTrain);
  const std::vector<TIndexDef>& defs = KMTrain.IndexDefs();
  auto byStation = std::find_if(defs.begin(), defs.end(),
                                [](const TIndexDef& d) { return LedBy(d, "Station"); });
  if (!sf.Valid() || !WalksByID(KMTrain) || byStation == defs.end()) {
    return std::nullopt;
  }
  TTableCursor c(KMTrain);
  c.SetIndexName(byStation->Name);
  // A hub's stations have thousands of stops: the numbers sort on their first eight bytes as
  // one integer, looking at the bytes only where those agree.
  struct Key {
    uint64_t prefix;
    std::string_view id;
    size_t guess;
    bool operator<(const Key& o) const {
      if (prefix != o.prefix) return prefix < o.prefix;
      if (id.size() <= 8 && o.id.size() <= 8) return id.size() < o.id.size();
      return id.substr(8) < o.id.substr(8);
    }
  };
  std::vector<Key> keys;
  for (std::string_view name : stations) {
    if (!c.Locate("Station", name)) continue;
    // The stops of a station lie all over the table, each a wait for memory: a second cursor
    // some rows ahead asks for them early, so that several waits overlap.
    TTableCursor ahead = c;
    for (int k = 0; k < kLookAhead && !ahead.Eof(); ++k) ahead.Next();
    for (; !c.Eof() && SameBytes(c.Text(sf.Station), name); c.Next()) {
      if (!ahead.Eof()) {
        __builtin_prefetch(ahead.Text(sf.ID).data());
        ahead.Next();
      }
      const std::string_view id = c.Text(sf.ID);
      unsigned char b[8] = {};
      if (!id.empty()) std::memcpy(b, id.data(), std::min<size_t>(id.size(), 8));
      uint64_t prefix = 0;
      for (unsigned char x : b) prefix = prefix << 8 | x;
      // A stop number out of reach of the record gives a guess past the end, never taken.
      const size_t record = c.CurrentRecord();
      const int32_t before = c.Integer(sf.S_No) - 1;
      const size_t guess =
          before >= 0 && static_cast<size_t>(before) <= record ? record - before : SIZE_MAX;
      keys.push_back({prefix, id, guess});
    }
  }
  // Stops of one station usually come out in load order, which is the order wanted.
  if (!std::is_sorted(keys.begin(), keys.end())) std::sort(keys.begin(), keys.end());
  std::vector<TCallingTrain> trains;
  trains.reserve(keys.size());
  for (const Key& k : keys) {
    if (trains.empty() || !SameBytes(trains.back().ID, k.id)) trains.push_back({k.id, k.guess});
  }
  return trains;
}

bool MoveToFirstStop(TTableCursor& stops, int idField, const TCallingTrain& train) {
  // Each run ends on the next train's first stop, and often that is the train wanted.
  if (!stops.Eof() && SameBytes(stops.Text(idField), train.ID)) return true;
  const size_t from = stops.Position();
  const size_t guess = train.FirstStopGuess;
  // The guess holds when the row there is the train's and the row before is not: rows of one
  // train stand together in a walk by ID.
  if (stops.MoveTo(guess) && SameBytes(stops.Text(idField), train.ID)) {
    if (guess == 0) return true;
    stops.MoveTo(guess - 1);
    const bool first = !SameBytes(stops.Text(idField), train.ID);
    stops.MoveTo(guess);
    if (first) return true;
  }
  stops.MoveTo(from);
  return stops.LocateOnward("ID", train.ID);
}

}  // namespace velmor

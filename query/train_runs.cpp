#include "query/train_runs.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>

#include "data/gbk_text.h"

namespace velmor {

namespace {

// How many stops ahead a walk through the Station index asks for a stop's bytes.
constexpr int kLookAhead = 8;

// Byte order of two short numbers without a library call, as the table's indexes order them.
bool OrdersBefore(std::string_view a, std::string_view b) {
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    if (a[i] != b[i]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[i]);
  }
  return a.size() < b.size();
}

bool LedBy(const TIndexDef& d, std::string_view field) {
  return !d.FieldNames.empty() && SameTextAscii(d.FieldNames.front(), field) && !d.Descending &&
         !d.CaseInsensitive;
}

// The definition of the index a new cursor of `table` walks; nullptr for load order.
const TIndexDef* WalkIndex(const TMemTable& table) {
  const std::vector<TIndexDef>& defs = table.IndexDefs();
  auto walk = std::find_if(defs.begin(), defs.end(), [&](const TIndexDef& d) {
    return SameTextAscii(d.Name, table.IndexName());
  });
  return walk == defs.end() ? nullptr : &*walk;
}

}  // namespace

bool WalksByID(const TMemTable& table) {
  const TIndexDef* walk = WalkIndex(table);
  return walk && LedBy(*walk, "ID");
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
  const std::vector<uint32_t>& trainRank = KMTrain.LeadingRanks(KMTrain.IndexName());
  const std::vector<uint32_t>& stationRank = KMTrain.LeadingRanks(byStation->Name);
  if (!trainRank.empty() && !stationRank.empty() && WalksByIDAndStopNo(KMTrain) &&
      KMTrain.InLoadOrder(KMTrain.IndexName())) {
    // Stored in walk order, a train's stops are consecutive records in stop-number order and
    // the ranks of the numbers follow their byte order: the trains and their earliest calls
    // come from ranks and record numbers alone, and a stop's bytes are read only for the
    // number of each train found. (Reading them for every stop of a hub waits on memory once
    // a stop, which grows with the table.)
    struct Call {
      uint32_t train;
      uint32_t record;
      bool operator<(const Call& o) const {
        return train != o.train ? train < o.train : record < o.record;
      }
    };
    std::vector<Call> calls;
    for (std::string_view name : stations) {
      if (!c.Locate("Station", name)) continue;
      const uint32_t station = stationRank[c.CurrentRecord()];
      const size_t runStart = calls.size();
      for (; !c.Eof() && stationRank[c.CurrentRecord()] == station; c.Next()) {
        const auto record = static_cast<uint32_t>(c.CurrentRecord());
        calls.push_back({trainRank[record], record});
      }
      const auto run = calls.begin() + static_cast<std::ptrdiff_t>(runStart);
      if (!std::is_sorted(run, calls.end())) std::sort(run, calls.end());
      std::inplace_merge(calls.begin(), run, calls.end());
    }
    std::vector<TCallingTrain> trains;
    for (size_t k = 0; k < calls.size(); ++k) {
      if (k == 0 || calls[k].train != calls[k - 1].train) {
        trains.push_back({calls[k].record, calls[k].train});
      }
    }
    return trains;
  }
  // A hub's stations have thousands of stops: the numbers sort on their first eight bytes as
  // one integer, looking at the bytes only where those agree. Stops of one train order by stop
  // number as the index does (no number first), so that the first of them is its earliest call.
  struct Key {
    uint64_t prefix;
    std::string_view id;
    int64_t stopNo;
    size_t record;
    bool operator<(const Key& o) const {
      if (prefix != o.prefix) return prefix < o.prefix;
      if (id.size() > 8 || o.id.size() > 8) {
        const int c = id.substr(std::min<size_t>(id.size(), 8))
                          .compare(o.id.substr(std::min<size_t>(o.id.size(), 8)));
        if (c != 0) return c < 0;
      } else if (id.size() != o.id.size()) {
        return id.size() < o.id.size();
      }
      return stopNo < o.stopNo;
    }
  };
  std::vector<Key> keys;
  for (std::string_view name : stations) {
    if (!c.Locate("Station", name)) continue;
    const size_t runStart = keys.size();
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
      const int64_t stopNo = c.IsNull(sf.S_No) ? INT64_MIN : c.Integer(sf.S_No);
      keys.push_back({prefix, id, stopNo, c.CurrentRecord()});
    }
    // Stops of one station usually come out in load order, which is the order wanted: each
    // station's run is sorted only when it is not, then merged into the runs before it.
    const auto run = keys.begin() + static_cast<std::ptrdiff_t>(runStart);
    if (!std::is_sorted(run, keys.end())) std::sort(run, keys.end());
    std::inplace_merge(keys.begin(), run, keys.end());
  }
  std::vector<TCallingTrain> trains;
  trains.reserve(keys.size());
  for (size_t k = 0; k < keys.size(); ++k) {
    if (k == 0 || !SameBytes(keys[k - 1].id, keys[k].id)) {
      trains.push_back({keys[k].record, TCallingTrain::kNoRank});
    }
  }
  return trains;
}

std::vector<TCallingTrain> CallingAtBoth(const TMemTable& KMTrain,
                                         const std::vector<TCallingTrain>& a,
                                         const std::vector<TCallingTrain>& b) {
  const int id = KMTrain.FieldIndex("ID");
  // Both lists come from one table, so both are ranked or neither is.
  auto before = [&](const TCallingTrain& x, const TCallingTrain& y) {
    if (x.Rank != TCallingTrain::kNoRank) return x.Rank < y.Rank;
    return OrdersBefore(KMTrain.TextOf(x.FirstCall, id), KMTrain.TextOf(y.FirstCall, id));
  };
  std::vector<TCallingTrain> both;
  std::set_intersection(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(both), before);
  return both;
}

TStopKeys::TStopKeys(const TMemTable& stops, const StopFields& sf,
                     std::initializer_list<const TWantedStations*> wanted)
    : stops_(stops), id_(sf.ID), station_(sf.Station), wanted_(wanted) {
  const std::vector<TIndexDef>& defs = stops.IndexDefs();
  if (WalksByID(stops) && !stops.LeadingRanks(stops.IndexName()).empty()) {
    trainRanks_ = &stops.LeadingRanks(stops.IndexName());
  }
  auto byStation = std::find_if(defs.begin(), defs.end(),
                                [](const TIndexDef& d) { return LedBy(d, "Station"); });
  if (byStation == defs.end() || stops.LeadingRanks(byStation->Name).empty()) return;
  stationRanks_ = &stops.LeadingRanks(byStation->Name);
  TTableCursor c(stops);
  c.SetIndexName(byStation->Name);
  for (const TWantedStations* set : wanted_) {
    std::vector<bool>& bits = wantedRanks_.emplace_back();
    for (std::string_view name : set->Names()) {
      if (!c.Locate("Station", name)) continue;
      const uint32_t rank = (*stationRanks_)[c.CurrentRecord()];
      if (rank >= bits.size()) bits.resize(rank + 1);
      bits[rank] = true;
    }
  }
}

bool WalksByIDAndStopNo(const TMemTable& table) {
  const TIndexDef* walk = WalkIndex(table);
  return walk && LedBy(*walk, "ID") && walk->Unique && walk->FieldNames.size() == 2 &&
         SameTextAscii(walk->FieldNames[1], "S_No");
}

bool MoveToTrain(TTableCursor& stops, int idField, const TCallingTrain& train, bool byStopNo) {
  // In a walk by number and stop number the earliest call is the train's first wanted stop;
  // where the table was loaded in walk order (as every timetable is written) its record is
  // also its place, and the walk starts right there without reading a byte.
  const size_t from = stops.Position();
  if (byStopNo && stops.MoveTo(train.FirstCall) && stops.CurrentRecord() == train.FirstCall) {
    return true;
  }
  stops.MoveTo(from);
  const std::string_view id = stops.Table().TextOf(train.FirstCall, idField);
  // Each run ends on the next train's first stop, and often that is the train wanted.
  if (!stops.Eof() && SameBytes(stops.Text(idField), id)) return true;
  return stops.LocateOnward("ID", id);
}

bool ListPlacedByRank(const TMemTable& list, const TMemTable& stops) {
  // A number repeated in the list would put the guess on a row after the first of its number.
  const TIndexDef* listWalk = WalkIndex(list);
  if (!listWalk || !LedBy(*listWalk, "ID") || !listWalk->Unique) return false;
  if (!WalksByID(stops) || stops.RecordCount() == 0) return false;
  const std::vector<uint32_t>& ranks = stops.LeadingRanks(stops.IndexName());
  if (ranks.empty()) return false;
  TTableCursor last(stops);
  last.Last();
  return size_t{ranks[last.CurrentRecord()]} + 1 == list.RecordCount();
}

bool StepToTrain(TTableCursor& list, int idField, std::string_view id, bool byID, size_t place) {
  // One read settles the usual case, where both tables hold the same numbers.
  if (place != kNoPlace && list.MoveTo(place) && SameBytes(list.Text(idField), id)) return true;
  // The trains come in order of their numbers, mostly a few rows apart in the list.
  constexpr int kSteps = 16;
  if (byID && !list.Eof() && !OrdersBefore(id, list.Text(idField))) {
    for (int k = 0; k < kSteps && !list.Eof(); ++k, list.Next()) {
      const std::string_view at = list.Text(idField);
      if (OrdersBefore(at, id)) continue;
      return SameBytes(at, id);
    }
    if (list.Eof()) return false;
  }
  return list.LocateOnward("ID", id);
}

}  // namespace velmor

// Turning a typed station into the set of stations of its city, and testing stops against it.
#pragma once

#include <bitset>
#include <cstdint>
#include <string_view>
#include <vector>

#include "data/mem_table.h"
#include "query/query_fields.h"
#include "query/upub_center.h"

namespace velmor {

// Fills Pub_FZ from the departure text: trimmed name, and with exact != 1 its city group.
void FillFZStruct(PubState& state, const TMemTable& KMSM, std::string_view comboFZText, int exact);
// Fills Pub_DZ from the arrival text, as FillFZStruct.
void FillDZStruct(PubState& state, const TMemTable& KMSM, std::string_view comboDZText, int exact);
// Fills Pub_FZ from the station-timetable text; with exact != 1 also Pub_DZ.Name.
void FillCZStruct(PubState& state, const TMemTable& KMSM, std::string_view comboCZText, int exact);

// Same-group rule after both sides were filled with 0: equal Gp makes matching exact and
// empties both sets. Returns the exact flag the scan must use (0 or 1).
int ApplySameGroupRule(PubState& state);

// Whether a stop's station is wanted: side 1 the departure set, any other the arrival set.
// Inline: the walks ask it for every stop of the stop table.
inline bool IsWantedStation(const PubState& state, std::string_view station, int exact, int side) {
  const TPub_StationSet& s = side == 1 ? state.Pub_FZ : state.Pub_DZ;
  if (exact != 1 && !s.Stations.empty()) {
    for (const std::string& name : s.Stations) {
      if (SameBytes(station, name)) return true;
    }
    return false;
  }
  return SameBytes(station, s.Name);
}

// IsWantedStation for walks over every stop, with a quick first test: a name whose length or
// first two bytes no wanted name has cannot match, and nearly every stop falls out there
// without the comparisons against each name of the set.
class TWantedStations {
 public:
  // The stations IsWantedStation(state, _, exact, side) accepts; `state` must outlive this.
  TWantedStations(const PubState& state, int exact, int side);

  // The names Match accepts (the city's stations, or the one name).
  std::vector<std::string_view> Names() const;

  // Same answer as IsWantedStation(state, station, exact, side).
  bool Match(std::string_view station) const {
    if (station.size() < kLengthBits && ((lengths_ >> station.size()) & 1U) == 0) return false;
    if (station.size() >= 2 && !heads_[Head(station)]) return false;
    return IsWantedStation(*state_, station, exact_, side_);
  }

 private:
  static constexpr size_t kLengthBits = 64;
  static size_t Head(std::string_view s) {
    return static_cast<size_t>(static_cast<uint8_t>(s[0])) << 8 | static_cast<uint8_t>(s[1]);
  }

  const PubState* state_;
  int exact_;
  int side_;
  uint64_t lengths_ = 0;
  std::bitset<65536> heads_;
};

}  // namespace velmor

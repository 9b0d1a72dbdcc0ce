#include "query/train_runs.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "data/gbk_text.h"

namespace velmor {

namespace {

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

std::optional<std::vector<std::string_view>> CallingTrains(
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
    bool operator<(const Key& o) const {
      if (prefix != o.prefix) return prefix < o.prefix;
      if (id.size() <= 8 && o.id.size() <= 8) return id.size() < o.id.size();
      return id.substr(8) < o.id.substr(8);
    }
  };
  std::vector<Key> keys;
  for (std::string_view name : stations) {
    if (!c.Locate("Station", name)) continue;
    for (; !c.Eof() && SameBytes(c.Text(sf.Station), name); c.Next()) {
      const std::string_view id = c.Text(sf.ID);
      unsigned char b[8] = {};
      if (!id.empty()) std::memcpy(b, id.data(), std::min<size_t>(id.size(), 8));
      uint64_t prefix = 0;
      for (unsigned char x : b) prefix = prefix << 8 | x;
      keys.push_back({prefix, id});
    }
  }
  std::sort(keys.begin(), keys.end());
  std::vector<std::string_view> trains;
  trains.reserve(keys.size());
  for (const Key& k : keys) {
    if (trains.empty() || !SameBytes(trains.back(), k.id)) trains.push_back(k.id);
  }
  return trains;
}

}  // namespace velmor

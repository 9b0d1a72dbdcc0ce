#include "query/station_match.h"

#include "data/gbk_text.h"
#include "query/query_fields.h"

namespace velmor {
namespace {

void FillSide(TPub_StationSet& side, const TMemTable& KMSM, std::string_view text, int exact) {
  side.Name = Trim(text);
  side.Stations.clear();
  side.Gp = 0;
  if (exact == 1) return;
  const int fStation = KMSM.FieldIndex("Station");
  const int fGp = KMSM.FieldIndex("Gp");
  // An unloaded group table means no group is known: the side matches by name.
  if (fStation < 0 || fGp < 0) return;
  TTableCursor c(KMSM);
  if (!c.Locate("Station", side.Name)) return;
  const int32_t g = c.Integer(fGp);
  for (c.First(); !c.Eof(); c.Next()) {
    if (c.Integer(fGp) == g) side.Stations.emplace_back(c.Text(fStation));
  }
  side.Gp = g;
}

}  // namespace

void FillFZStruct(PubState& state, const TMemTable& KMSM, std::string_view comboFZText, int exact) {
  FillSide(state.Pub_FZ, KMSM, comboFZText, exact);
}

void FillDZStruct(PubState& state, const TMemTable& KMSM, std::string_view comboDZText, int exact) {
  FillSide(state.Pub_DZ, KMSM, comboDZText, exact);
}

void FillCZStruct(PubState& state, const TMemTable& KMSM, std::string_view comboCZText, int exact) {
  FillSide(state.Pub_FZ, KMSM, comboCZText, exact);
  if (exact != 1) state.Pub_DZ.Name = Trim(comboCZText);
}

int ApplySameGroupRule(PubState& state) {
  if (state.Pub_FZ.Gp != state.Pub_DZ.Gp) return 0;
  state.Pub_FZ.Stations.clear();
  state.Pub_DZ.Stations.clear();
  return 1;
}

TWantedStations::TWantedStations(const PubState& state, int exact, int side)
    : state_(&state), exact_(exact), side_(side) {
  const TPub_StationSet& s = side == 1 ? state.Pub_FZ : state.Pub_DZ;
  auto add = [this](std::string_view name) {
    // Names of 64 bytes or more are never ruled out by length.
    if (name.size() < kLengthBits) lengths_ |= uint64_t{1} << name.size();
    if (name.size() >= 2) heads_.set(Head(name));
  };
  if (exact != 1 && !s.Stations.empty()) {
    for (const std::string& name : s.Stations) add(name);
  } else {
    add(s.Name);
  }
}

std::vector<std::string_view> TWantedStations::Names() const {
  const TPub_StationSet& s = side_ == 1 ? state_->Pub_FZ : state_->Pub_DZ;
  if (exact_ != 1 && !s.Stations.empty()) return {s.Stations.begin(), s.Stations.end()};
  return {s.Name};
}

}  // namespace velmor

// Field positions of the stop and train-list tables, resolved once per query, and the copies
// from the current rows into a result record that every query makes.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

#include "data/mem_table.h"
#include "data/table_cursor.h"
#include "query/upub_center.h"

namespace velmor {

// Byte equality for the short names and numbers of the walks: a length and first-byte check
// rejects most stops without a library call, which dominates a 43,000-stop walk otherwise.
inline bool SameBytes(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  // A text compared with itself (one cell read twice) needs no byte loop.
  if (a.data() == b.data()) return true;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

// The positions t.FieldIndex gives `names`. Tables are written with their fields in one known
// order, and then one exact comparison per name settles each (names distinct even ignoring
// case match nothing earlier); a train-number query otherwise spends a fifth of its time here.
template <size_t N>
std::array<int, N> ResolveFields(const TMemTable& t, const std::array<std::string_view, N>& names) {
  const std::vector<TFieldDef>& defs = t.FieldDefs();
  bool laidOut = defs.size() >= N;
  for (size_t k = 0; laidOut && k < N; ++k) laidOut = SameBytes(defs[k].Name, names[k]);
  std::array<int, N> positions;
  for (size_t k = 0; k < N; ++k) {
    positions[k] = laidOut ? static_cast<int>(k) : t.FieldIndex(names[k]);
  }
  return positions;
}

struct StopFields {
  explicit StopFields(const TMemTable& t)
      : StopFields(ResolveFields<11>(t, {"ID", "Station", "S_No", "A_Time", "D_Time", "R_Date",
                                         "Distance", "P1", "P2", "P3", "P4"})) {}
  // False for a table that was never loaded; a query then finds nothing.
  bool Valid() const {
    return ID >= 0 && Station >= 0 && S_No >= 0 && A_Time >= 0 && D_Time >= 0 && R_Date >= 0 &&
           Distance >= 0 && P[0] >= 0 && P[1] >= 0 && P[2] >= 0 && P[3] >= 0;
  }
  int ID, Station, S_No, A_Time, D_Time, R_Date, Distance;
  int P[4];

 private:
  explicit StopFields(const std::array<int, 11>& f)
      : ID(f[0]),
        Station(f[1]),
        S_No(f[2]),
        A_Time(f[3]),
        D_Time(f[4]),
        R_Date(f[5]),
        Distance(f[6]),
        P{f[7], f[8], f[9], f[10]} {}
};

struct ListFields {
  explicit ListFields(const TMemTable& t)
      : ListFields(ResolveFields<12>(t, {"ID", "NType", "StartStation", "endStation", "A_Time",
                                         "D_Time", "R_Date", "Distance", "P1", "P2", "P3", "P4"})) {
  }
  bool Valid() const {
    return ID >= 0 && NType >= 0 && StartStation >= 0 && EndStation >= 0 && A_Time >= 0 &&
           D_Time >= 0 && R_Date >= 0 && Distance >= 0 && P[0] >= 0 && P[1] >= 0 && P[2] >= 0 &&
           P[3] >= 0;
  }
  int ID, NType, StartStation, EndStation, A_Time, D_Time, R_Date, Distance;
  int P[4];

 private:
  explicit ListFields(const std::array<int, 12>& f)
      : ID(f[0]),
        NType(f[1]),
        StartStation(f[2]),
        EndStation(f[3]),
        A_Time(f[4]),
        D_Time(f[5]),
        R_Date(f[6]),
        Distance(f[7]),
        P{f[8], f[9], f[10], f[11]} {}
};

// Boarding fields from a stop: station, number, departure, running time, km, fares.
inline void SetFromStop(TPub_GridResult& r, const TMemTable& t, const StopFields& f,
                        size_t record) {
  r.FromStation = t.TextOf(record, f.Station);
  r.FromNo = t.IntegerOf(record, f.S_No);
  r.FromDepart = t.TextOf(record, f.D_Time);
  r.FromElapsed = t.TextOf(record, f.R_Date);
  r.FromDistance = t.IntegerOf(record, f.Distance);
  r.FromP1 = t.TextOf(record, f.P[0]);
  r.FromP2 = t.TextOf(record, f.P[1]);
  r.FromP3 = t.TextOf(record, f.P[2]);
  r.FromP4 = t.TextOf(record, f.P[3]);
}
inline void SetFromStop(TPub_GridResult& r, const TTableCursor& c, const StopFields& f) {
  SetFromStop(r, c.Table(), f, c.CurrentRecord());
}

// Alighting fields from a stop: station, number, arrival, running time, km, fares.
inline void SetToStop(TPub_GridResult& r, const TMemTable& t, const StopFields& f, size_t record) {
  r.ToStation = t.TextOf(record, f.Station);
  r.ToNo = t.IntegerOf(record, f.S_No);
  r.ToArrive = t.TextOf(record, f.A_Time);
  r.ToElapsed = t.TextOf(record, f.R_Date);
  r.ToDistance = t.IntegerOf(record, f.Distance);
  r.ToP1 = t.TextOf(record, f.P[0]);
  r.ToP2 = t.TextOf(record, f.P[1]);
  r.ToP3 = t.TextOf(record, f.P[2]);
  r.ToP4 = t.TextOf(record, f.P[3]);
}
inline void SetToStop(TPub_GridResult& r, const TTableCursor& c, const StopFields& f) {
  SetToStop(r, c.Table(), f, c.CurrentRecord());
}

// The train's own fields from the current train-list row.
inline void SetTrainFields(TPub_GridResult& r, const TTableCursor& t, const ListFields& f) {
  r.TrainID = t.Text(f.ID);
  r.NType = t.Integer(f.NType);
  r.TypeName = TrainTypeName(r.NType);
  r.StartStation = t.Text(f.StartStation);
  r.EndStation = t.Text(f.EndStation);
  r.TotalTime = t.Text(f.R_Date);
  r.TotalDistance = t.Integer(f.Distance);
  r.TrainP1 = t.Text(f.P[0]);
  r.TrainP2 = t.Text(f.P[1]);
  r.TrainP3 = t.Text(f.P[2]);
  r.TrainP4 = t.Text(f.P[3]);
}

// Boarding at the train's origin, read from its train-list row (whose A_Time is the origin's
// departure): station, stop 1, no running time, km 0.
inline void SetOriginBoarding(TPub_GridResult& r, const TTableCursor& list, const ListFields& f) {
  r.FromStation = r.StartStation;
  r.FromNo = 1;
  r.FromDepart = list.Text(f.A_Time);
  r.FromElapsed = "0";
  r.FromDistance = 0;
}

// Stop count, distance and duration of an interval whose two ends are set.
inline void SetIntervalFields(TPub_GridResult& r) {
  r.StopCount = r.ToNo - r.FromNo;
  r.Distance = r.ToDistance - r.FromDistance;
  r.Duration = IntervalTime(r.FromElapsed, r.ToElapsed);
}

}  // namespace velmor

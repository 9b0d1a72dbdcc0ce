// The tariff the stored fares of a timetable are priced by: a train's fare from its origin to a
// stop, in the four classes, as the tables hold them for the interval fares to read back.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "query/upub_center.h"

namespace velmor {

// P1..P4 of one stop: hard seat (or second class), soft seat (or first class), hard sleeper
// upper/middle/lower, soft sleeper upper/lower; "-" for a class the train does not offer.
using StoredFares = std::array<std::string, 4>;

// The fares of `km` from the origin on a train of type `nType` whose whole run is `runKm`:
// multiple units by their per-km rates, everything else by the tapered distance tariff with
// its supplements. Sleepers are offered on conventional trains running 300 km or more.
StoredFares TariffFares(const FareTables& tables, int32_t nType, int32_t km, int32_t runKm);

}  // namespace velmor

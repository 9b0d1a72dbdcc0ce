// Interval fares: copied at the origin, by rate or difference for multiple units, by the
// tapered distance tariff for everything else.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "query/upub_center.h"

namespace velmor {

// Fills the ten distance zones and their sub-zones.
void BuildFareZoneTable(FareTables& tables);
// Fills the six per-km rate bands.
void BuildFareRateTable(FareTables& tables);

// Base fare of a distance; `fareDistance` receives the zone-centred distance (at least 20).
double BaseFare(const FareTables& tables, int32_t distance, int32_t& fareDistance);

// Number in a fare text: part 0 the whole text, 1 and 2 the first and second "/" pieces.
// "-", "" and anything unreadable give 0.
double FareField(std::string_view text, int part);

// Sets FareHardSeat..FareSoftSleeper of row `row` of Pub_GridResults.
void ComputeRowFares(PubState& state, size_t row);
void ComputeMultipleUnitFares(PubState& state, size_t row);
void ComputeConventionalFares(PubState& state, size_t row);

}  // namespace velmor

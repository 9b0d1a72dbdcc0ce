// Journey plans: connections with real waiting times and one or two changes.
//
// The planner works backwards from the arrival side over a stop index built once per
// timetable: level 0 gives, for every stop of every train, the best ride to the arrival side
// on that train; level c rides a train to any later stop, changes there (or at a station of
// the same city) onto a stop already labelled at level c-1, and keeps the best. Every train runs
// every day, so a label is a duration from one departure, not a time: one pass per level over
// all stops answers every departure at once, which is the profile the list needs.
#pragma once

#include <array>
#include <cstdint>
#include <stop_token>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "data/loaders.h"
#include "query/upub_center.h"

namespace velmor {

// The traveller's limits, in minutes; MaxChanges is 1 or 2. A wait is the time from the arrival
// to the next departure round the clock, a day more when that is below the change's minimum;
// a MaxWait of 1439 or more sets no limit. A change is always onto another train than the one
// just left.
struct TPlanOptions {
  int MaxChanges = 1;
  int MinChange = 30;
  int CityChange = 90;
  int MaxWait = 1439;
  int StartTime = 0;  // the list starts at this clock minute, round the clock
};

// One ride on one train; fares are the interval's reference fares, "" where not offered.
struct TPlanLeg {
  std::string Train;
  std::string From;
  std::string To;
  int FromNo = 0;
  int ToNo = 0;
  int Depart = 0;  // clock minute
  int Arrive = 0;  // clock minute
  int Run = 0;     // minutes from departure to arrival
  int Wait = 0;    // minutes waited before boarding; 0 on the first leg
  int Km = 0;
  int StopCount = 0;
  std::array<std::string, 4> Fares;
};

struct TJourney {
  int Depart = 0;    // clock minute of the first leg
  int Duration = 0;  // rides and waits
  int Km = 0;
  std::vector<TPlanLeg> Legs;
  // Per class the sum over the legs, "-" when a leg does not offer it.
  std::array<std::string, 4> Fares;

  int Changes() const { return static_cast<int>(Legs.size()) - 1; }
  // Minutes after the departure day's midnight; may exceed 1440.
  int Arrival() const { return Depart + Duration; }
};

// The stops of a loaded timetable as numbers, and the same-city groups; read-only once built,
// so any number of searches on any threads may share it. The tables must outlive it.
class TPlanIndex {
 public:
  struct Stop {
    int32_t Station = 0;
    int32_t Train = 0;
    int32_t Arrive = -1;  // clock minute, -1 when the stop has no arrival
    int32_t Depart = -1;  // clock minute, -1 when the stop has no departure
    int32_t ArrElapsed = 0;
    int32_t DepElapsed = 0;
    int32_t Km = 0;
    uint32_t Record = 0;  // the stop's record in KMTrain
  };
  struct Train {
    std::string_view Id;
    uint32_t First = 0;  // first stop in Stops()
    uint32_t Count = 0;
    int32_t Rank = 0;  // position of Id in byte order among all trains
  };

  explicit TPlanIndex(const TablesSet& tables);

  const std::vector<Stop>& Stops() const { return stops_; }
  const std::vector<Train>& Trains() const { return trains_; }
  size_t StationCount() const { return names_.size(); }
  std::string_view StationName(int32_t station) const { return names_[size_t(station)]; }
  // -1 for a name no train calls at.
  int32_t StationId(std::string_view name) const;
  // The other stations of the station's same-city group.
  const std::vector<int32_t>& CityMates(int32_t station) const { return mates_[size_t(station)]; }
  // Stops at the station that have a departure, in no particular order.
  const std::vector<uint32_t>& Departures(int32_t station) const {
    return departures_[size_t(station)];
  }
  const TablesSet& Tables() const { return tables_; }
  const FareTables& Fares() const { return fares_; }

 private:
  const TablesSet& tables_;
  std::vector<Stop> stops_;
  std::vector<Train> trains_;
  std::vector<std::string_view> names_;
  std::unordered_map<std::string_view, int32_t> ids_;
  std::vector<std::vector<int32_t>> mates_;
  std::vector<std::vector<uint32_t>> departures_;
  FareTables fares_;
};

// The journeys from the departure text's city to the arrival text's (both known station
// names, GBK), profiled and ordered from options.StartTime. Empty when `stop` was requested.
std::vector<TJourney> PlanJourneys(const TPlanIndex& index, std::string_view fzText,
                                   std::string_view dzText, const TPlanOptions& options,
                                   std::stop_token stop = {});

// hh:mm of a minute count, hours not wrapped ("26:05").
std::string PlanMinutesText(int minutes);

}  // namespace velmor

// The shared unit: result records, the query state, and the arithmetic every query uses.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace velmor {

// One result row; fields in the order every query and the grid rely on.
// The stored fares and running times the grid never shows are views: a query reads them from
// the loaded tables, which outlive every result (the window or command owns both), and only
// the fare computation reads them back. Building a hub's hundreds of rows then copies half the
// texts it would otherwise.
struct TPub_GridResult {
  std::string TrainID;
  int32_t NType = 0;
  std::string TypeName;
  std::string StartStation;
  std::string EndStation;
  std::string_view TotalTime;
  int32_t TotalDistance = 0;
  std::string_view TrainP1, TrainP2, TrainP3, TrainP4;
  std::string FromStation;
  int32_t FromNo = 0;
  int32_t FromDistance = 0;
  std::string_view FromP1, FromP2, FromP3, FromP4;
  std::string FromDepart;
  std::string_view FromElapsed;
  std::string ToStation;
  int32_t ToNo = 0;
  std::string ToArrive;
  std::string_view ToElapsed;
  int32_t ToDistance = 0;
  std::string_view ToP1, ToP2, ToP3, ToP4;
  int32_t StopCount = 0;
  int32_t Distance = 0;
  std::string Duration;
  std::string FareHardSeat;
  std::string FareSoftSeat;
  std::string FareHardSleeper;
  std::string FareSoftSleeper;
};

// A side of the current query: the typed name and, when its city group is used, the group.
struct TPub_StationSet {
  std::string Name;
  std::vector<std::string> Stations;
  int32_t Gp = 0;
};
using TPub_FZStruct = TPub_StationSet;
using TPub_DZStruct = TPub_StationSet;

// One candidate transfer station.
struct TPub_ZZStruct {
  std::string StationName;
  int32_t FrontDistance = 0;
  int32_t BackDistance = 0;
  int32_t SumDistance = 0;
  std::string FrontDuration;
  std::string BackDuration;
  std::string SumDuration;
  int32_t FZTrainCount = 0;
  int32_t DZTrainCount = 0;
};

// Distance zones of the conventional tariff: sub-zone j spans First + j*Step .. First+(j+1)*Step-1.
struct FareSubZone {
  int32_t First = 0;
  int32_t Last = 0;
};
struct TPub_CPQDSJ {
  int32_t First = 0;
  int32_t Last = 0;
  int32_t Step = 0;
  int32_t Count = 0;
  std::vector<FareSubZone> SubZones;
};
struct TPub_FareRate {
  int32_t First = 0;
  int32_t Last = 0;
  double Rate = 0;
};
// Built once when a window is created and only read afterwards.
struct FareTables {
  std::vector<TPub_CPQDSJ> FareZones;
  std::vector<TPub_FareRate> FareRates;
};

// The query state a main window (or the command line) owns; one instance per window.
struct PubState {
  std::vector<TPub_GridResult> Pub_GridResults;
  int32_t Pub_ResultCount = 0;
  std::string Pub_ZZStation;
  TPub_FZStruct Pub_FZ;
  TPub_DZStruct Pub_DZ;
  std::vector<TPub_GridResult> Pub_FZLegs;
  std::vector<TPub_GridResult> Pub_DZLegs;
  std::vector<TPub_ZZStruct> Pub_ZZList;
  // 1 station to station (and transfer legs), 2 train number, 3 station timetable; 0 before any.
  int32_t QueryMode = 0;
  FareTables Fares;
};

// Display name of a train type code; "" outside 1..14.
const std::string& TrainTypeName(int32_t nType);

// Minutes of a running-time text ("1:1" is 61, "18" is 18); unreadable parts count as 0.
int32_t ElapsedToMinutes(std::string_view text);

// Running-time text of a number of minutes, unpadded ("2:5", "0:45").
std::string MinutesToElapsed(int32_t minutes);

// Duration between two running times as hh:mm with at least two hour digits; "0" when the
// texts are identical.
std::string IntervalTime(std::string_view from, std::string_view to);

// Average km/h as decimal text, or "" when distance or time is not positive.
std::string AverageSpeed(std::string_view distance, std::string_view elapsed);

// km/h between two stops as decimal text, or "" when either difference is not positive.
std::string IntervalSpeed(std::string_view fromDistance, std::string_view toDistance,
                          std::string_view fromElapsed, std::string_view toElapsed);

// Rounds halves up and truncates negatives toward zero (2.5 -> 3, -2.7 -> -2).
// Inline: every interval fare rounds some twenty times.
inline int32_t RoundHalfUp(double x) {
  // Converting a double outside the int32 range is undefined, so such values saturate.
  if (std::isnan(x)) return 0;
  const double t = std::trunc(x);
  const double r = (x - t >= 0.5) ? t + 1 : t;
  if (r >= static_cast<double>(std::numeric_limits<int32_t>::max())) {
    return std::numeric_limits<int32_t>::max();
  }
  if (r <= static_cast<double>(std::numeric_limits<int32_t>::min())) {
    return std::numeric_limits<int32_t>::min();
  }
  return static_cast<int32_t>(r);
}

// Day label of the n-th travelling day: "当天" for 1, "第n天" after (GBK).
std::string DayLabel(int32_t day);

// Lenient integer parse used by the query code: not a number gives 0.
int32_t StrToIntDef0(std::string_view text);

// Lenient parse of a plain decimal ("12", "3.5", "-0.5"): anything else, exponents and
// partial numbers such as "12abc" included, gives 0.
double StrToFloatDef0(std::string_view text);

// Counts travelling days along a train's stops in stop order: a day passes whenever an arrival
// clock time is earlier (as text) than the previous reference time.
class TDayCounter {
 public:
  // `firstDeparture` is the departure clock time of the train's first stop.
  explicit TDayCounter(std::string_view firstDeparture);
  // Day of a stop with this arrival time; an empty arrival leaves day and reference unchanged.
  int32_t Arrive(std::string_view arrival);
  int32_t Day() const { return day_; }

 private:
  int32_t day_ = 1;
  std::string reference_;
};

}  // namespace velmor

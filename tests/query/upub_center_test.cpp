#include "query/upub_center.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "data/gbk_text.h"

namespace velmor {
namespace {

TEST(TrainTypeName, NamesEveryCodeAndNothingOutside) {
  EXPECT_EQ(TrainTypeName(1), G("动车组"));
  EXPECT_EQ(TrainTypeName(2), G("高速动车"));
  EXPECT_EQ(TrainTypeName(6), G("空调快速"));
  EXPECT_EQ(TrainTypeName(8), G("普快"));
  EXPECT_EQ(TrainTypeName(14), G("临客"));
  EXPECT_EQ(TrainTypeName(0), "");
  EXPECT_EQ(TrainTypeName(15), "");
  EXPECT_EQ(TrainTypeName(-1), "");
}

TEST(ElapsedToMinutes, ReadsHoursAndBareMinutes) {
  EXPECT_EQ(ElapsedToMinutes("1:1"), 61);
  EXPECT_EQ(ElapsedToMinutes("18"), 18);
  EXPECT_EQ(ElapsedToMinutes("0"), 0);
  EXPECT_EQ(ElapsedToMinutes(""), 0);
  EXPECT_EQ(ElapsedToMinutes("37:43"), 37 * 60 + 43);
}

TEST(ElapsedToMinutes, UnreadablePartsCountAsZeroOnTheirOwn) {
  EXPECT_EQ(ElapsedToMinutes(":30"), 30);
  EXPECT_EQ(ElapsedToMinutes("2:"), 120);
  EXPECT_EQ(ElapsedToMinutes("x"), 0);
  EXPECT_EQ(ElapsedToMinutes("2:x"), 120);
  EXPECT_EQ(ElapsedToMinutes("1:2:3"), 60);  // "2:3" is not an integer
}

TEST(MinutesToElapsed, LeavesBothPartsUnpadded) {
  EXPECT_EQ(MinutesToElapsed(61), "1:1");
  EXPECT_EQ(MinutesToElapsed(600), "10:0");
  EXPECT_EQ(MinutesToElapsed(125), "2:5");
  EXPECT_EQ(MinutesToElapsed(45), "0:45");
  EXPECT_EQ(MinutesToElapsed(0), "0:0");
}

TEST(IntervalTime, PadsHoursToTwoDigitsAndMinutesToTwo) {
  EXPECT_EQ(IntervalTime("0", "18"), "00:18");
  EXPECT_EQ(IntervalTime("18", "1:1"), "00:43");
  EXPECT_EQ(IntervalTime("2:9", "3:54"), "01:45");
  EXPECT_EQ(IntervalTime("0", "37:43"), "37:43");
  EXPECT_EQ(IntervalTime("0", "100:0"), "100:00");
}

TEST(IntervalTime, IdenticalTextsGiveASingleZero) {
  EXPECT_EQ(IntervalTime("5:00", "5:00"), "0");
  EXPECT_EQ(IntervalTime("1:0", "1:00"), "00:00");
}

TEST(AverageSpeed, RoundsHalfUpAndRefusesNonPositiveInputs) {
  EXPECT_EQ(AverageSpeed("1069", "3:33"), "301");
  EXPECT_EQ(AverageSpeed("0", "3:33"), "");
  EXPECT_EQ(AverageSpeed("100", "0"), "");
  EXPECT_EQ(AverageSpeed("abc", "3:33"), "");
  EXPECT_EQ(AverageSpeed("-5", "3:33"), "");
}

TEST(IntervalSpeed, UsesTheDifferencesOfBothStops) {
  EXPECT_EQ(IntervalSpeed("23", "85", "18", "1:1"), "87");
  EXPECT_EQ(IntervalSpeed("85", "85", "18", "1:1"), "");
  EXPECT_EQ(IntervalSpeed("23", "85", "1:1", "1:1"), "");
  EXPECT_EQ(IntervalSpeed("85", "23", "18", "1:1"), "");
}

TEST(RoundHalfUp, HalvesGoUpNegativesTruncate) {
  EXPECT_EQ(RoundHalfUp(86.5), 87);
  EXPECT_EQ(RoundHalfUp(86.4999), 86);
  EXPECT_EQ(RoundHalfUp(-0.5), 0);
  EXPECT_EQ(RoundHalfUp(2.5), 3);
  EXPECT_EQ(RoundHalfUp(-2.7), -2);
  EXPECT_EQ(RoundHalfUp(0), 0);
}

TEST(RoundHalfUp, SaturatesOutsideTheIntegerRange) {
  EXPECT_EQ(RoundHalfUp(1e300), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(RoundHalfUp(-1e300), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(RoundHalfUp(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(LenientNumbers, NotANumberGivesZero) {
  EXPECT_EQ(StrToIntDef0("42"), 42);
  EXPECT_EQ(StrToIntDef0("-7"), -7);
  EXPECT_EQ(StrToIntDef0("+7"), 7);
  EXPECT_EQ(StrToIntDef0(""), 0);
  EXPECT_EQ(StrToIntDef0("-"), 0);
  EXPECT_EQ(StrToIntDef0("12abc"), 0);
  EXPECT_EQ(StrToIntDef0("+-7"), 0);
  EXPECT_EQ(StrToIntDef0("99999999999"), 0);

  EXPECT_DOUBLE_EQ(StrToFloatDef0("3.5"), 3.5);
  EXPECT_DOUBLE_EQ(StrToFloatDef0("120"), 120.0);
  EXPECT_DOUBLE_EQ(StrToFloatDef0("-0.5"), -0.5);
  EXPECT_DOUBLE_EQ(StrToFloatDef0("12abc"), 0.0);
  EXPECT_DOUBLE_EQ(StrToFloatDef0("-"), 0.0);
  EXPECT_DOUBLE_EQ(StrToFloatDef0(""), 0.0);
  EXPECT_DOUBLE_EQ(StrToFloatDef0("."), 0.0);
  EXPECT_DOUBLE_EQ(StrToFloatDef0("inf"), 0.0);
  EXPECT_DOUBLE_EQ(StrToFloatDef0("nan"), 0.0);
  EXPECT_DOUBLE_EQ(StrToFloatDef0("1e3"), 0.0);
  EXPECT_DOUBLE_EQ(StrToFloatDef0("1.2.3"), 0.0);
}

TEST(DayCounting, LabelsFollowEarlierArrivalTimes) {
  TDayCounter counter("21:25");
  std::vector<std::string> labels = {DayLabel(counter.Day())};
  for (const char* arrival : {"21:43", "23:34", "01:19", "05:10"}) {
    labels.push_back(DayLabel(counter.Arrive(arrival)));
  }
  const std::vector<std::string> expected = {G("当天"), G("当天"), G("当天"), G("第2天"),
                                             G("第2天")};
  EXPECT_EQ(labels, expected);
}

TEST(DayCounting, StopsWithoutArrivalChangeNothingAndDepartureIsNeverCompared) {
  TDayCounter counter("23:50");
  EXPECT_EQ(counter.Arrive(""), 1);  // no arrival: reference stays 23:50
  EXPECT_EQ(counter.Arrive("00:10"), 2);
  EXPECT_EQ(counter.Arrive("23:55"), 2);
  EXPECT_EQ(counter.Arrive("00:05"), 3);
  EXPECT_EQ(DayLabel(3), G("第3天"));
}

}  // namespace
}  // namespace velmor

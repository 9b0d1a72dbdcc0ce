#include "query/upub_center.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>

#include "data/gbk_text.h"

namespace velmor {

const std::string& TrainTypeName(int32_t nType) {
  static const std::array<std::string, 14> names = {
      G("动车组"),   G("高速动车"), G("城际高速"), G("直特"),     G("空调特快"),
      G("空调快速"), G("快速"),     G("普快"),     G("空调普快"), G("空调普客"),
      G("普客"),     G("特快"),     G("空调临客"), G("临客")};
  static const std::string none;
  if (nType < 1 || nType > 14) return none;
  return names[static_cast<size_t>(nType - 1)];
}

int32_t StrToIntDef0(std::string_view text) {
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (text.empty() || text.front() < '0' || text.front() > '9') return 0;
  }
  int32_t value = 0;
  const char* end = text.data() + text.size();
  auto [p, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || p != end) return 0;
  return value;
}

double StrToFloatDef0(std::string_view text) {
  // Only plain decimals count: from_chars alone would also take "inf", "nan" and exponents.
  std::string_view body = text;
  bool negative = false;
  if (!body.empty() && (body.front() == '+' || body.front() == '-')) {
    negative = body.front() == '-';
    body.remove_prefix(1);
  }
  bool digit = false;
  bool point = false;
  double whole = 0;
  for (char c : body) {
    if (c >= '0' && c <= '9') {
      digit = true;
      whole = whole * 10 + (c - '0');
    } else if (c == '.' && !point) {
      point = true;
    } else {
      return 0;
    }
  }
  if (!digit) return 0;
  // Sorting converts at every comparison; whole numbers of up to 15 digits are exact as
  // accumulated, so only fractions and longer texts need the full conversion.
  if (!point && body.size() <= 15) return negative ? -whole : whole;
  double value = 0;
  const char* end = body.data() + body.size();
  auto [p, ec] = std::from_chars(body.data(), end, value, std::chars_format::fixed);
  if (ec != std::errc() || p != end) return 0;
  return negative ? -value : value;
}

int32_t ElapsedToMinutes(std::string_view text) {
  const size_t colon = text.find(':');
  if (colon == std::string_view::npos) return StrToIntDef0(text);
  const int64_t minutes =
      int64_t{StrToIntDef0(text.substr(0, colon))} * 60 + StrToIntDef0(text.substr(colon + 1));
  if (minutes > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (minutes < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(minutes);
}

std::string MinutesToElapsed(int32_t minutes) {
  const int32_t h = minutes / 60;
  const int32_t r = minutes - 60 * h;
  return std::to_string(h) + ":" + std::to_string(r);
}

namespace {

// One part of a duration at `out`: below ten with a leading zero, negatives as they are.
char* DurationPart(char* out, char* end, int64_t v) {
  if (v >= 0 && v <= 9) *out++ = '0';
  return std::to_chars(out, end, v).ptr;
}

}  // namespace

std::string IntervalTime(std::string_view from, std::string_view to) {
  if (from == to) return "0";
  const int64_t d = int64_t{ElapsedToMinutes(to)} - ElapsedToMinutes(from);
  const int64_t h = d / 60;
  // Written into one buffer: every result row has a duration.
  char buf[48];
  char* const end = buf + sizeof buf;
  char* p = DurationPart(buf, end, h);
  *p++ = ':';
  p = DurationPart(p, end, d - 60 * h);
  return std::string(buf, p);
}

std::string AverageSpeed(std::string_view distance, std::string_view elapsed) {
  const int32_t km = StrToIntDef0(distance);
  const int32_t minutes = ElapsedToMinutes(elapsed);
  if (km <= 0 || minutes <= 0) return {};
  return std::to_string(RoundHalfUp(static_cast<double>(km) * 60.0 / minutes));
}

std::string IntervalSpeed(std::string_view fromDistance, std::string_view toDistance,
                          std::string_view fromElapsed, std::string_view toElapsed) {
  const int64_t dk = int64_t{StrToIntDef0(toDistance)} - StrToIntDef0(fromDistance);
  const int64_t dm = int64_t{ElapsedToMinutes(toElapsed)} - ElapsedToMinutes(fromElapsed);
  if (dk <= 0 || dm <= 0) return {};
  return std::to_string(RoundHalfUp(static_cast<double>(dk) * 60.0 / static_cast<double>(dm)));
}

std::string DayLabel(int32_t day) {
  if (day == 1) return G("当天");
  return G("第") + std::to_string(day) + G("天");
}

TDayCounter::TDayCounter(std::string_view firstDeparture) : reference_(firstDeparture) {}

int32_t TDayCounter::Arrive(std::string_view arrival) {
  if (arrival.empty()) return day_;
  if (std::string_view(reference_) > arrival) ++day_;
  reference_.assign(arrival);
  return day_;
}

}  // namespace velmor

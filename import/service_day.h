// Which services of a feed run on one day: calendar.txt weekdays within their range, then
// calendar_dates.txt additions (1) and removals (2).
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmor {

// A date as yyyymmdd.
using FeedDate = int;

// Reads "yyyymmdd" (GTFS) or "yyyy-mm-dd" (the command line); nothing when not a real date.
std::optional<FeedDate> ParseFeedDate(std::string_view text);
// "2026.12.08".
std::string DottedDate(FeedDate date);
// "2026-12-08".
std::string DashedDate(FeedDate date);

class ServiceCalendar {
 public:
  void AddCalendar(const std::string& service, const bool weekdays[7], FeedDate start,
                   FeedDate end);
  void AddException(const std::string& service, FeedDate date, bool added);

  // Whether `service` runs on `date`.
  bool Runs(const std::string& service, FeedDate date) const;
  // `today` when some service runs then, else the first day any service runs; nothing for a
  // feed without a running day.
  std::optional<FeedDate> DefaultDay(FeedDate today) const;

 private:
  struct Range {
    bool weekdays[7];  // Monday first
    FeedDate start, end;
  };
  std::map<std::string, Range> ranges_;
  std::map<std::string, std::map<FeedDate, bool>> exceptions_;
};

}  // namespace velmor

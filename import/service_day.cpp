#include "import/service_day.h"

#include <chrono>
#include <cstdio>

namespace velmor {
namespace {

std::chrono::year_month_day Ymd(FeedDate d) {
  return std::chrono::year_month_day{std::chrono::year{d / 10000},
                                     std::chrono::month{static_cast<unsigned>(d / 100 % 100)},
                                     std::chrono::day{static_cast<unsigned>(d % 100)}};
}

FeedDate FromYmd(std::chrono::year_month_day ymd) {
  return static_cast<int>(ymd.year()) * 10000 + static_cast<int>(unsigned(ymd.month())) * 100 +
         static_cast<int>(unsigned(ymd.day()));
}

// 0 for Monday.
int WeekdayOf(FeedDate d) {
  const std::chrono::weekday w{std::chrono::sys_days{Ymd(d)}};
  return static_cast<int>(w.iso_encoding()) - 1;
}

}  // namespace

std::optional<FeedDate> ParseFeedDate(std::string_view text) {
  std::string digits;
  if (text.size() == 10 && text[4] == '-' && text[7] == '-') {
    digits = std::string(text.substr(0, 4)) + std::string(text.substr(5, 2)) +
             std::string(text.substr(8, 2));
  } else if (text.size() == 8) {
    digits = std::string(text);
  } else {
    return std::nullopt;
  }
  int value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (!Ymd(value).ok() || value < 19000101) return std::nullopt;
  return value;
}

std::string DottedDate(FeedDate d) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d.%02d.%02d", d / 10000 % 10000, d / 100 % 100, d % 100);
  return buf;
}

std::string DashedDate(FeedDate d) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d / 10000 % 10000, d / 100 % 100, d % 100);
  return buf;
}

void ServiceCalendar::AddCalendar(const std::string& service, const bool weekdays[7],
                                  FeedDate start, FeedDate end) {
  Range& r = ranges_[service];
  for (int i = 0; i < 7; ++i) r.weekdays[i] = weekdays[i];
  r.start = start;
  r.end = end;
}

void ServiceCalendar::AddException(const std::string& service, FeedDate date, bool added) {
  exceptions_[service][date] = added;
}

bool ServiceCalendar::Runs(const std::string& service, FeedDate date) const {
  if (const auto e = exceptions_.find(service); e != exceptions_.end()) {
    if (const auto d = e->second.find(date); d != e->second.end()) return d->second;
  }
  const auto r = ranges_.find(service);
  return r != ranges_.end() && r->second.start <= date && date <= r->second.end &&
         r->second.weekdays[WeekdayOf(date)];
}

std::optional<FeedDate> ServiceCalendar::DefaultDay(FeedDate today) const {
  std::optional<FeedDate> first;
  auto consider = [&](FeedDate d) {
    if (!first || d < *first) first = d;
  };
  for (const auto& [service, r] : ranges_) {
    if (Runs(service, today)) return today;
    // The first weekday of the range that runs (a week is enough to find it).
    auto day = std::chrono::sys_days{Ymd(r.start)};
    for (int k = 0; k < 7; ++k, day += std::chrono::days{1}) {
      const FeedDate d = FromYmd(std::chrono::year_month_day{day});
      if (d > r.end) break;
      if (Runs(service, d)) {
        consider(d);
        break;
      }
    }
  }
  for (const auto& [service, dates] : exceptions_) {
    if (Runs(service, today)) return today;
    for (const auto& [d, added] : dates) {
      if (added) consider(d);
    }
  }
  return first;
}

}  // namespace velmor

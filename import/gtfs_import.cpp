#include "import/gtfs_import.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <map>
#include <set>
#include <unordered_map>
#include <vector>

#include "data/gbk_text.h"
#include "data/table_text_writer.h"
#include "import/csv_reader.h"
#include "import/feed_files.h"
#include "import/pinyin_initials.h"
#include "import/same_city.h"
#include "import/service_day.h"
#include "import/train_types.h"
#include "query/fares.h"
#include "query/tariff.h"

namespace velmor {
namespace {

// Unwinds an import the user cancelled.
struct CancelledImport {};
// Unwinds an import that cannot go on; `why` is GBK.
struct FailedImport {
  std::string why;
};

constexpr size_t kShownBadRows = 20;
constexpr double kMaxBadShare = 0.05;
constexpr size_t kMaxIdBytes = 35;  // the ID field of both train tables

// Bad rows: each skipped with its reason, the first few kept for the report, all counted.
class BadRows {
 public:
  void Add(const std::string& where, const std::string& reason) {
    ++count_;
    ++perFile_;
    if (shown_.size() < kShownBadRows) shown_.push_back(where + G("：") + reason);
  }
  // Starts counting one file's rows.
  void StartFile() { perFile_ = 0; }
  // Fails the import when too many of the file's rows were bad.
  void EndFile(const std::string& file, size_t rows) const {
    if (rows > 0 && static_cast<double>(perFile_) > kMaxBadShare * static_cast<double>(rows)) {
      throw FailedImport{file + G("：坏行过多（") + std::to_string(perFile_) + "/" +
                         std::to_string(rows) + G("），导入失败。首个坏行：") +
                         (shown_.empty() ? std::string() : shown_.back())};
    }
  }
  size_t Count() const { return count_; }
  const std::vector<std::string>& Shown() const { return shown_; }

 private:
  size_t count_ = 0;
  size_t perFile_ = 0;
  std::vector<std::string> shown_;
};

// Seconds since the service day's noon minus 12 h; "25:10:00" is past midnight. -1 for an empty
// text; nothing for one that is not a time.
std::optional<int> ParseGtfsTime(std::string_view t) {
  while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
  while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
  if (t.empty()) return -1;
  int parts[3] = {0, 0, 0};
  int part = 0;
  int digits = 0;
  for (char c : t) {
    if (c == ':') {
      if (digits == 0 || ++part > 2) return std::nullopt;
      digits = 0;
    } else if (c >= '0' && c <= '9' && digits < 3) {
      parts[part] = parts[part] * 10 + (c - '0');
      ++digits;
    } else {
      return std::nullopt;
    }
  }
  if (part != 2 || digits != 2 || parts[1] > 59 || parts[2] > 59) return std::nullopt;
  return parts[0] * 3600 + parts[1] * 60 + parts[2];
}

std::optional<double> ParseNumber(std::string_view t) {
  std::string s(t);
  if (s.empty()) return std::nullopt;
  char* end = nullptr;
  const double v = std::strtod(s.c_str(), &end);
  if (end != s.c_str() + s.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

int ParseIntOr(std::string_view t, int fallback) {
  const auto v = ParseNumber(t);
  return v ? static_cast<int>(*v) : fallback;
}

double GreatCircleKm(double lat1, double lon1, double lat2, double lon2) {
  constexpr double kRad = 3.14159265358979323846 / 180.0;
  const double dlat = (lat2 - lat1) * kRad, dlon = (lon2 - lon1) * kRad;
  const double a =
      std::sin(dlat / 2) * std::sin(dlat / 2) +
      std::cos(lat1 * kRad) * std::cos(lat2 * kRad) * std::sin(dlon / 2) * std::sin(dlon / 2);
  return 6371.0 * 2 * std::atan2(std::sqrt(a), std::sqrt(1 - a));
}

// "18" below an hour, else "37:43": the tables' running-time text.
std::string Elapsed(int minutes) {
  if (minutes < 60) return std::to_string(minutes);
  return std::to_string(minutes / 60) + ":" + std::to_string(minutes % 60);
}

std::string Clock(int minutes) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02d:%02d", minutes / 60 % 24, minutes % 60);
  return buf;
}

struct Station {
  std::string gbk;
  bool lossless = true;
  bool isStation = true;
  bool hasCoord = false;
  double lat = 0, lon = 0;
};

struct StopTime {
  int seq = 0;
  int arr = -1, dep = -1;  // seconds, -1 without
  int stop = 0;            // index into the stations
  double shape = NAN;
  bool restricted = false;
  std::string where;
};

struct Trip {
  std::string id, route, shortName;
  std::vector<StopTime> times;
};

struct Headway {
  int start, end, secs;
};

// One stop as the tables hold it.
struct OutStop {
  int station = 0;
  int arrMin = -1, depMin = -1;
  int elapsed = 0;
  int km = 0;
};

struct OutTrain {
  std::string id;
  int32_t type = 14;
  std::vector<OutStop> stops;
};

class Importer {
 public:
  Importer(const ImportOptions& o, const ImportReference& ref, const ImportHooks& hooks)
      : o_(o), ref_(ref), hooks_(hooks) {}

  ImportResult Run(const std::string& feedPath) {
    ImportResult result;
    std::string error;
    Progress(G("打开时刻表数据"), 0);
    auto feed = FeedFiles::Open(feedPath, &error);
    if (!feed) throw FailedImport{error};
    feed_ = &*feed;
    for (const char* name : {"stops.txt", "routes.txt", "trips.txt", "stop_times.txt"}) {
      if (!feed->Has(name)) throw FailedImport{G("缺少必需的文件 ") + name};
    }
    if (!feed->Has("calendar.txt") && !feed->Has("calendar_dates.txt")) {
      throw FailedImport{G("缺少必需的文件 calendar.txt 或 calendar_dates.txt")};
    }
    ReadFeedInfo();
    ReadCalendar();
    ReadStops();
    ReadRoutes();
    ReadTrips();
    ReadFrequencies();
    ReadStopTimes();
    BuildTrains();
    result.Texts = Write(feedPath);
    result.Report = Report();
    result.Ok = true;
    return result;
  }

 private:
  void Progress(std::string_view step, int percent) {
    if (hooks_.Cancel && hooks_.Cancel->load()) throw CancelledImport{};
    if (hooks_.Progress) hooks_.Progress(step, percent);
  }

  // The file's text; a missing optional file is empty.
  std::string Load(const char* name, bool required) {
    Progress(G("读取 ") + name, 0);
    if (!required && !feed_->Has(name)) return {};
    std::string error;
    auto text = feed_->Read(name, &error);
    if (!text) throw FailedImport{error};
    return std::move(*text);
  }

  template <typename Row>
  void EachRow(const char* name, bool required, std::vector<const char*> columns,
               std::vector<const char*> optional, Row row) {
    const std::string text = Load(name, required);
    if (text.empty()) return;
    try {
      CsvReader csv(text, name);
      std::vector<int> cols;
      for (const char* c : columns) cols.push_back(csv.RequireColumn(c));
      for (const char* c : optional) cols.push_back(csv.Column(c));
      bad_.StartFile();
      size_t rows = 0;
      while (csv.Next()) {
        if (++rows % 8192 == 0) {
          Progress(G("读取 ") + name, static_cast<int>(100 * csv.Position() / text.size()));
        }
        row(csv, cols);
      }
      Progress(G("读取 ") + name, 100);
      bad_.EndFile(name, rows);
    } catch (const CsvError& e) {
      throw FailedImport{e.what()};
    }
  }

  void ReadFeedInfo() {
    EachRow("feed_info.txt", false, {}, {"feed_version", "feed_publisher_name"},
            [&](CsvReader& c, const std::vector<int>& k) {
              version_ = Utf8ToGbk(c.Field(k[0]));
              publisher_ = Utf8ToGbk(c.Field(k[1]));
            });
  }

  void ReadCalendar() {
    static const char* const kDays[] = {"monday", "tuesday",  "wednesday", "thursday",
                                        "friday", "saturday", "sunday"};
    if (feed_->Has("calendar.txt")) {
      EachRow("calendar.txt", true,
              {"service_id", kDays[0], kDays[1], kDays[2], kDays[3], kDays[4], kDays[5], kDays[6],
               "start_date", "end_date"},
              {}, [&](CsvReader& c, const std::vector<int>& k) {
                bool days[7];
                for (int i = 0; i < 7; ++i) days[i] = c.Field(k[static_cast<size_t>(i) + 1]) == "1";
                const auto start = ParseFeedDate(c.Field(k[8]));
                const auto end = ParseFeedDate(c.Field(k[9]));
                if (!start || !end) return bad_.Add(c.Where(), G("日期无法识别"));
                calendar_.AddCalendar(std::string(c.Field(k[0])), days, *start, *end);
              });
    }
    EachRow("calendar_dates.txt", false, {"service_id", "date", "exception_type"}, {},
            [&](CsvReader& c, const std::vector<int>& k) {
              const auto date = ParseFeedDate(c.Field(k[1]));
              const std::string_view type = c.Field(k[2]);
              if (!date || (type != "1" && type != "2")) {
                return bad_.Add(c.Where(), G("日期或例外类型无法识别"));
              }
              calendar_.AddException(std::string(c.Field(k[0])), *date, type == "1");
            });
    if (!o_.Date.empty()) {
      const auto d = ParseFeedDate(o_.Date);
      if (!d) throw FailedImport{G("日期无法识别：") + o_.Date};
      day_ = *d;
      return;
    }
    const auto now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&now, &local);
    const FeedDate today =
        (local.tm_year + 1900) * 10000 + (local.tm_mon + 1) * 100 + local.tm_mday;
    const auto d = calendar_.DefaultDay(today);
    if (!d) throw FailedImport{G("时刻表数据中没有任何运行日")};
    day_ = *d;
  }

  void ReadStops() {
    std::vector<std::string> parents;
    EachRow("stops.txt", true, {"stop_id", "stop_name"},
            {"stop_lat", "stop_lon", "location_type", "parent_station"},
            [&](CsvReader& c, const std::vector<int>& k) {
              Station s;
              bool lossless = true;
              s.gbk = Trim(Utf8ToGbk(c.Field(k[1]), &lossless));
              s.lossless = lossless;
              const int type = ParseIntOr(c.Field(k[4]), 0);
              s.isStation = type == 0 || type == 1;
              const auto lat = ParseNumber(c.Field(k[2]));
              const auto lon = ParseNumber(c.Field(k[3]));
              if (lat && lon) {
                s.hasCoord = true;
                s.lat = *lat;
                s.lon = *lon;
              }
              if (!stopIndex_.emplace(std::string(c.Field(k[0])), stations_.size()).second) {
                return bad_.Add(c.Where(), G("站点编号重复"));
              }
              stations_.push_back(std::move(s));
              parents.emplace_back(c.Field(k[5]));
            });
    // A platform is named and placed as its station.
    for (size_t i = 0; i < stations_.size(); ++i) {
      if (parents[i].empty()) continue;
      const auto p = stopIndex_.find(parents[i]);
      if (p == stopIndex_.end()) continue;
      const Station& parent = stations_[p->second];
      stations_[i].gbk = parent.gbk;
      stations_[i].lossless = parent.lossless;
      if (!stations_[i].hasCoord) {
        stations_[i].hasCoord = parent.hasCoord;
        stations_[i].lat = parent.lat;
        stations_[i].lon = parent.lon;
      }
    }
  }

  void ReadRoutes() {
    EachRow("routes.txt", true, {"route_id"}, {"route_short_name", "route_long_name", "route_desc"},
            [&](CsvReader& c, const std::vector<int>& k) {
              std::string names = std::string(c.Field(k[1])) + " " + std::string(c.Field(k[2])) +
                                  " " + std::string(c.Field(k[3]));
              routeType_[std::string(c.Field(k[0]))] = TypeOfClassName(names);
              if (!TypeOfClassName(names)) {
                const std::string shown = Trim(Utf8ToGbk(c.Field(k[1])));
                if (!shown.empty()) unknownClasses_.insert(shown);
              }
            });
  }

  void ReadTrips() {
    const std::string wholeLine = "(全线)";
    EachRow("trips.txt", true, {"route_id", "service_id", "trip_id"}, {"trip_short_name"},
            [&](CsvReader& c, const std::vector<int>& k) {
              const std::string id(c.Field(k[2]));
              if (tripIndex_.contains(id)) return bad_.Add(c.Where(), G("车次编号重复"));
              if (!routeType_.contains(std::string(c.Field(k[0])))) {
                return bad_.Add(c.Where(), G("未知线路 ") + Utf8ToGbk(c.Field(k[0])));
              }
              if (!calendar_.Runs(std::string(c.Field(k[1])), day_)) {
                tripIndex_[id] = -1;
                return;
              }
              const std::string shortName(c.Field(k[3]));
              if (shortName.ends_with(wholeLine) || id.ends_with(wholeLine)) {
                tripIndex_[id] = -1;
                ++skipped_[G("全线站表")];
                return;
              }
              tripIndex_[id] = static_cast<int>(trips_.size());
              trips_.push_back({id, std::string(c.Field(k[0])), shortName, {}});
              if (!shortName.empty()) ++shortNames_[shortName];
            });
  }

  void ReadFrequencies() {
    EachRow("frequencies.txt", false, {"trip_id", "start_time", "end_time", "headway_secs"}, {},
            [&](CsvReader& c, const std::vector<int>& k) {
              const auto t = tripIndex_.find(std::string(c.Field(k[0])));
              const auto start = ParseGtfsTime(c.Field(k[1]));
              const auto end = ParseGtfsTime(c.Field(k[2]));
              const int secs = ParseIntOr(c.Field(k[3]), 0);
              if (t == tripIndex_.end()) return bad_.Add(c.Where(), G("未知车次"));
              if (!start || !end || *start < 0 || *end < *start || secs <= 0) {
                return bad_.Add(c.Where(), G("发车间隔无法识别"));
              }
              if (t->second >= 0) headways_[t->second].push_back({*start, *end, secs});
            });
  }

  void ReadStopTimes() {
    EachRow("stop_times.txt", true,
            {"trip_id", "arrival_time", "departure_time", "stop_id", "stop_sequence"},
            {"shape_dist_traveled", "pickup_type", "drop_off_type"},
            [&](CsvReader& c, const std::vector<int>& k) {
              const auto t = tripIndex_.find(std::string(c.Field(k[0])));
              if (t == tripIndex_.end()) return bad_.Add(c.Where(), G("未知车次"));
              if (t->second < 0) return;  // not running on the service day
              const auto s = stopIndex_.find(std::string(c.Field(k[3])));
              if (s == stopIndex_.end()) {
                return bad_.Add(c.Where(), G("未知站点 ") + Utf8ToGbk(c.Field(k[3])));
              }
              const auto arr = ParseGtfsTime(c.Field(k[1]));
              const auto dep = ParseGtfsTime(c.Field(k[2]));
              const auto seq = ParseNumber(c.Field(k[4]));
              if (!arr || !dep) return bad_.Add(c.Where(), G("时间无法识别"));
              if (!seq || *seq < 0 || *seq != std::floor(*seq)) {
                return bad_.Add(c.Where(), G("stop_sequence 无法识别"));
              }
              if (!stations_[s->second].isStation) {
                return bad_.Add(c.Where(), G("不是车站的站点"));
              }
              StopTime st;
              st.seq = static_cast<int>(*seq);
              st.arr = *arr < 0 ? *dep : *arr;
              st.dep = *dep < 0 ? *arr : *dep;
              st.stop = static_cast<int>(s->second);
              st.shape = ParseNumber(c.Field(k[5])).value_or(NAN);
              st.restricted =
                  ParseIntOr(c.Field(k[6]), 0) != 0 || ParseIntOr(c.Field(k[7]), 0) != 0;
              st.where = c.Where();
              trips_[static_cast<size_t>(t->second)].times.push_back(std::move(st));
            });
  }

  // Orders a trip's stops, drops untimed ones and rows going back in time.
  void CleanTimes(Trip& trip) {
    std::sort(trip.times.begin(), trip.times.end(),
              [](const StopTime& a, const StopTime& b) { return a.seq < b.seq; });
    std::vector<StopTime> kept;
    for (StopTime& st : trip.times) {
      if (!kept.empty() && kept.back().seq == st.seq) {
        bad_.Add(st.where, G("stop_sequence 重复"));
        continue;
      }
      if (st.arr < 0) continue;  // a passing stop without times
      if (st.dep < st.arr || (!kept.empty() && st.arr < kept.back().dep)) {
        bad_.Add(st.where, G("时间倒流"));
        continue;
      }
      kept.push_back(std::move(st));
    }
    trip.times = std::move(kept);
  }

  // Metres or kilometres, judged once for the whole feed from its trips' spans.
  void JudgeShapeUnit() {
    std::vector<double> ratios;
    for (const Trip& t : trips_) {
      if (t.times.size() < 2 || !FullShape(t)) continue;
      const Station& a = stations_[static_cast<size_t>(t.times.front().stop)];
      const Station& b = stations_[static_cast<size_t>(t.times.back().stop)];
      if (!a.hasCoord || !b.hasCoord) continue;
      const double gc = GreatCircleKm(a.lat, a.lon, b.lat, b.lon);
      if (gc > 1) ratios.push_back((t.times.back().shape - t.times.front().shape) / gc);
    }
    if (ratios.empty()) return;
    std::nth_element(ratios.begin(), ratios.begin() + static_cast<long>(ratios.size() / 2),
                     ratios.end());
    shapeMetres_ = ratios[ratios.size() / 2] > 100;
  }

  static bool FullShape(const Trip& t) {
    return std::all_of(t.times.begin(), t.times.end(),
                       [](const StopTime& s) { return !std::isnan(s.shape); });
  }

  std::vector<int> Distances(const Trip& t) {
    std::vector<int> km;
    if (FullShape(t)) {
      ++shapeTrips_;
      const double scale = shapeMetres_ ? 0.001 : 1.0;
      for (const StopTime& s : t.times) {
        km.push_back(static_cast<int>(std::lround((s.shape - t.times.front().shape) * scale)));
      }
    } else {
      ++circleTrips_;
      double sum = 0;
      km.push_back(0);
      for (size_t i = 1; i < t.times.size(); ++i) {
        const Station& a = stations_[static_cast<size_t>(t.times[i - 1].stop)];
        const Station& b = stations_[static_cast<size_t>(t.times[i].stop)];
        if (a.hasCoord && b.hasCoord) sum += GreatCircleKm(a.lat, a.lon, b.lat, b.lon);
        km.push_back(static_cast<int>(std::lround(sum * o_.LineFactor)));
      }
    }
    for (size_t i = 1; i < km.size(); ++i) km[i] = std::max(km[i], km[i - 1]);
    return km;
  }

  void Skip(const char* reason) { ++skipped_[G(reason)]; }

  void BuildTrains() {
    Progress(G("整理车次"), 0);
    for (Trip& t : trips_) CleanTimes(t);
    JudgeShapeUnit();
    std::set<std::string> ids;
    for (size_t i = 0; i < trips_.size(); ++i) {
      if (i % 1024 == 0) Progress(G("整理车次"), static_cast<int>(100 * i / trips_.size()));
      const Trip& t = trips_[i];
      if (t.times.size() < 2) {
        Skip("有时刻的停站少于两个");
        continue;
      }
      bool gbk = true;
      for (const StopTime& s : t.times) {
        const Station& st = stations_[static_cast<size_t>(s.stop)];
        if (!st.lossless || st.gbk.empty()) {
          gbk = false;
          badNames_.insert(GbkToUtf8(st.gbk));
        }
      }
      if (!gbk) {
        Skip("站名无法用 GBK 表示");
        continue;
      }
      const bool unique = !t.shortName.empty() && shortNames_[t.shortName] == 1;
      bool lossless = true;
      const std::string number = Utf8ToGbk(unique ? t.shortName : t.id, &lossless);
      const auto routeType = routeType_[t.route];
      // A shared short name still tells the class by its letter.
      const int32_t type =
          routeType ? *routeType : TypeOfNumber(t.shortName.empty() ? number : t.shortName);
      const std::vector<int> km = Distances(t);
      std::vector<std::pair<std::string, int>> runs;  // number, shift in seconds
      if (const auto h = headways_.find(static_cast<int>(i)); h != headways_.end()) {
        for (const Headway& w : h->second) {
          for (int dep = w.start; dep < w.end; dep += w.secs) {
            const int m = dep / 60;
            char suffix[16];
            std::snprintf(suffix, sizeof suffix, "-%02d%02d", m / 60, m % 60);
            runs.emplace_back(number + suffix, dep - t.times.front().dep);
          }
        }
      } else {
        runs.emplace_back(number, 0);
      }
      for (const auto& [id, shift] : runs) {
        if (!lossless || id.empty() || id.size() > kMaxIdBytes) {
          Skip("车次号无法存入 ID 字段");
          continue;
        }
        if (!ids.insert(id).second) {
          Skip("车次号重复");
          continue;
        }
        OutTrain out{id, type, {}};
        const int origin = (t.times.front().dep + shift) / 60;
        for (size_t k = 0; k < t.times.size(); ++k) {
          const StopTime& s = t.times[k];
          OutStop o;
          o.station = s.stop;
          if (k > 0) o.arrMin = (s.arr + shift) / 60;
          if (k + 1 < t.times.size()) o.depMin = (s.dep + shift) / 60;
          o.elapsed = k > 0 ? o.arrMin - origin : 0;
          o.km = km[k];
          if (s.restricted) ++restricted_;
          out.stops.push_back(o);
        }
        trains_.push_back(std::move(out));
      }
    }
    std::sort(trains_.begin(), trains_.end(),
              [](const OutTrain& a, const OutTrain& b) { return a.id < b.id; });
  }

  TimetableTexts Write(const std::string& feedPath) {
    Progress(G("写入时刻表"), 0);
    FareTables fares;
    BuildFareZoneTable(fares);
    BuildFareRateTable(fares);
    std::set<std::string> names;
    size_t longest = 0;
    for (const OutTrain& t : trains_) {
      for (const OutStop& s : t.stops) {
        const std::string& n = stations_[static_cast<size_t>(s.station)].gbk;
        names.insert(n);
        longest = std::max(longest, n.size());
      }
    }
    const int nameSize = TextFieldSize(longest);
    auto fareFields = [] {
      return std::vector<TWrittenField>{
          {"P1", false, 20}, {"P2", false, 20}, {"P3", false, 20}, {"P4", false, 20}};
    };
    std::vector<TWrittenField> listFields = {{"ID", false, 35},
                                             {"NType", true, 0},
                                             {"StartStation", false, nameSize},
                                             {"endStation", false, nameSize},
                                             {"A_Time", false, 20},
                                             {"D_Time", false, 20},
                                             {"R_Date", false, 20},
                                             {"Distance", true, 0}};
    for (auto& f : fareFields()) listFields.push_back(f);
    std::vector<TWrittenField> stopFields = {{"ID", false, 35},     {"Station", false, nameSize},
                                             {"S_No", true, 0},     {"A_Time", false, 20},
                                             {"D_Time", false, 20}, {"R_Date", false, 20},
                                             {"Distance", true, 0}};
    for (auto& f : fareFields()) stopFields.push_back(f);
    TTableTextWriter list(listFields, {{"SID", "ID", true},
                                       {"SstartStation", "startStation", false},
                                       {"SendStation", "endStation", false}});
    TTableTextWriter stops(stopFields,
                           {{"SIDNo", "ID;S_No", true}, {"SStation", "Station", false}});
    for (size_t i = 0; i < trains_.size(); ++i) {
      if (i % 1024 == 0) Progress(G("写入时刻表"), static_cast<int>(100 * i / trains_.size()));
      const OutTrain& t = trains_[i];
      const int runKm = t.stops.back().km;
      const std::string type = std::to_string(t.type);
      StoredFares last;
      for (size_t k = 0; k < t.stops.size(); ++k) {
        const OutStop& s = t.stops[k];
        StoredFares f{"", "", "", ""};
        if (k > 0) f = TariffFares(fares, t.type, s.km, runKm);
        last = f;
        stops.AddRow({t.id, stations_[static_cast<size_t>(s.station)].gbk, std::to_string(k + 1),
                      s.arrMin < 0 ? "" : Clock(s.arrMin), s.depMin < 0 ? "" : Clock(s.depMin),
                      Elapsed(s.elapsed), std::to_string(s.km), f[0], f[1], f[2], f[3]});
        ++stopRows_;
      }
      const OutStop& first = t.stops.front();
      const OutStop& end = t.stops.back();
      list.AddRow({t.id, type, stations_[static_cast<size_t>(first.station)].gbk,
                   stations_[static_cast<size_t>(end.station)].gbk, Clock(first.depMin),
                   Clock(end.arrMin), Elapsed(end.elapsed), std::to_string(end.km), last[0],
                   last[1], last[2], last[3]});
    }

    // Pinyin: the built-in code where the name is known, else the derived one.
    std::map<std::string, std::string> builtInCode;
    std::set<std::string> known;
    {
      const int st = ref_.KMPy.FieldIndex("Station"), code = ref_.KMPy.FieldIndex("Shortcode");
      for (size_t r = 0; st >= 0 && code >= 0 && r < ref_.KMPy.RecordCount(); ++r) {
        const std::string n(ref_.KMPy.TextOf(r, st));
        builtInCode.emplace(n, std::string(ref_.KMPy.TextOf(r, code)));
        known.insert(n);
      }
    }
    std::vector<std::pair<std::string, std::string>> codes;
    size_t longestCode = 10;
    for (const std::string& n : names) {
      const auto b = builtInCode.find(n);
      codes.emplace_back(n, b != builtInCode.end() ? b->second : DerivePinyinInitials(n));
      (b != builtInCode.end() ? pinyinBuiltIn_ : pinyinDerived_)++;
      longestCode = std::max(longestCode, codes.back().second.size());
    }
    TTableTextWriter py(
        {{"Station", false, nameSize}, {"Shortcode", false, static_cast<int>(longestCode)}},
        {{"PyIndex", "ShortCode", false}, {"StationIndex", "Station", false}});
    for (const auto& [n, code] : codes) py.AddRow({n, code});

    std::map<std::string, int> builtInGroups;
    {
      const int st = ref_.KMSM.FieldIndex("Station"), gp = ref_.KMSM.FieldIndex("Gp");
      for (size_t r = 0; st >= 0 && gp >= 0 && r < ref_.KMSM.RecordCount(); ++r) {
        builtInGroups.emplace(std::string(ref_.KMSM.TextOf(r, st)), ref_.KMSM.IntegerOf(r, gp));
      }
    }
    std::map<std::string, std::string> cities;
    if (!o_.CitiesFile.empty()) {
      std::string error;
      auto read = ReadCityOverrides(o_.CitiesFile, &error);
      if (!read) throw FailedImport{error};
      cities = std::move(*read);
    }
    SameCityGroups groups(std::move(builtInGroups), std::move(known));
    groups.Assign(names, cities);
    groupCount_ = groups.GroupCount();
    std::vector<std::pair<int, std::string>> byGroup;
    for (const auto& [station, gp] : groups.Groups()) byGroup.emplace_back(gp, station);
    std::sort(byGroup.begin(), byGroup.end());
    TTableTextWriter sm({{"Station", false, nameSize}, {"Gp", true, 0}},
                        {{"SStation", "Station", true}, {"SGp", "Gp", false}});
    for (const auto& [gp, station] : byGroup) sm.AddRow({station, std::to_string(gp)});
    stationCount_ = names.size();

    TimetableTexts texts;
    texts.SPY = py.Text();
    texts.SList = list.Text();
    texts.SM = sm.Text();
    texts.STrain = stops.Text();
    const auto now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&now, &local);
    char when[32];
    std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", &local);
    texts.Meta = {{"Edition", version_.empty() ? DottedDate(day_) : version_},
                  {"Source", publisher_.empty()
                                 ? Utf8ToGbk(std::filesystem::path(feedPath).filename().string())
                                 : publisher_},
                  {"ServiceDate", DashedDate(day_)},
                  {"ImportTime", when},
                  {"Trains", std::to_string(trains_.size())},
                  {"StopRows", std::to_string(stopRows_)},
                  {"Stations", std::to_string(stationCount_)},
                  {"Groups", std::to_string(groupCount_)}};
    return texts;
  }

  std::string Report() const {
    std::string r;
    auto line = [&](const std::string& s) { r += s + "\n"; };
    line(G("服务日期：") + DashedDate(day_));
    line(G("车次：") + std::to_string(trains_.size()) + G("，停站记录：") +
         std::to_string(stopRows_) + G("，车站：") + std::to_string(stationCount_) +
         G("，同城组：") + std::to_string(groupCount_));
    std::string skipped;
    for (const auto& [reason, n] : skipped_) {
      skipped += (skipped.empty() ? "" : G("，")) + reason + " " + std::to_string(n);
    }
    line(G("跳过的车次：") + (skipped.empty() ? G("无") : skipped));
    line(G("距离：") + std::to_string(shapeTrips_) + G(" 个车次取自 shape_dist_traveled（") +
         (shapeMetres_ ? G("米") : G("公里")) + G("），") + std::to_string(circleTrips_) +
         G(" 个车次按站间大圆距离 × ") + FactorText() + G(" 计算"));
    line(G("拼音简码：") + std::to_string(pinyinBuiltIn_) + G(" 个取自内置时刻表，") +
         std::to_string(pinyinDerived_) + G(" 个由 Unihan 读音推得"));
    if (!unknownClasses_.empty()) {
      std::string names;
      for (const std::string& n : unknownClasses_) names += (names.empty() ? "" : G("、")) + n;
      line(G("未知的列车等级（按车次字母定类型）：") + std::to_string(unknownClasses_.size()) +
           G(" 种：") + names);
    }
    if (restricted_ > 0) {
      line(G("有上下客限制的停站（表中无法显示）：") + std::to_string(restricted_));
    }
    for (const std::string& n : badNames_) line(G("GBK 无法表示的站名：") + Utf8ToGbk(n));
    line(G("坏行：") + std::to_string(bad_.Count()));
    for (const std::string& s : bad_.Shown()) line("  " + s);
    return r;
  }

  std::string FactorText() const {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", o_.LineFactor);
    return buf;
  }

  const ImportOptions& o_;
  const ImportReference& ref_;
  const ImportHooks& hooks_;
  const FeedFiles* feed_ = nullptr;
  BadRows bad_;
  ServiceCalendar calendar_;
  FeedDate day_ = 0;
  std::string version_, publisher_;
  std::vector<Station> stations_;
  std::unordered_map<std::string, size_t> stopIndex_;
  std::unordered_map<std::string, std::optional<int32_t>> routeType_;
  std::set<std::string> unknownClasses_;
  std::unordered_map<std::string, int> tripIndex_;
  std::vector<Trip> trips_;
  std::unordered_map<std::string, int> shortNames_;
  std::map<int, std::vector<Headway>> headways_;
  std::map<std::string, size_t> skipped_;
  std::set<std::string> badNames_;
  std::vector<OutTrain> trains_;
  bool shapeMetres_ = false;
  size_t shapeTrips_ = 0, circleTrips_ = 0, restricted_ = 0, stopRows_ = 0;
  size_t pinyinBuiltIn_ = 0, pinyinDerived_ = 0, stationCount_ = 0, groupCount_ = 0;
};

}  // namespace

ImportResult ImportFeed(const std::string& feedPath, const ImportOptions& options,
                        const ImportReference& reference, const ImportHooks& hooks) {
  ImportResult result;
  if (!(options.LineFactor >= 1.0 && options.LineFactor <= 3.0)) {
    result.Error = G("线路系数须在 1 到 3 之间");
    return result;
  }
  try {
    return Importer(options, reference, hooks).Run(feedPath);
  } catch (const CancelledImport&) {
    result.Cancelled = true;
    result.Error = G("导入已取消。");
  } catch (const FailedImport& f) {
    result.Error = f.why;
  } catch (const std::bad_alloc&) {
    result.Error = G("内存不足，导入失败。");
  }
  return result;
}

ImportResult ImportFeedToFile(const std::string& feedPath, const std::string& outPath,
                              const ImportOptions& options, const ImportReference& reference,
                              const ImportHooks& hooks) {
  ImportResult result = ImportFeed(feedPath, options, reference, hooks);
  if (!result.Ok) return result;
  if (hooks.Cancel && hooks.Cancel->load()) {
    return ImportResult{false, true, G("导入已取消。"), {}, {}};
  }
  std::string error;
  if (!WriteTimetableFile(outPath, result.Texts, &error)) {
    result.Ok = false;
    result.Error = error;
  }
  return result;
}

}  // namespace velmor

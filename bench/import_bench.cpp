// A national-size feed (12,000 trips, 3,300 stations, 150,000 stop times): its import, loading
// the imported timetable beside the built-in one, and the queries on both.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <random>
#include <set>
#include <thread>

#include "data/gbk_text.h"
#include "data/loaders.h"
#include "data/timetable_file.h"
#include "import/gtfs_import.h"
#include "query/fares.h"
#include "query/queries.h"

namespace velmor {
namespace {

namespace fs = std::filesystem;

constexpr int kStations = 3300, kTrips = 12000, kLines = 220, kLineLength = 60;

// Station names: the built-in ones, then new ones made from them with a suffix.
std::vector<std::string> StationNames(const TablesSet& builtIn) {
  std::vector<std::string> names;
  const int st = builtIn.KMPy.FieldIndex("Station");
  std::set<std::string> seen;
  for (size_t r = 0; r < builtIn.KMPy.RecordCount() && names.size() < kStations; ++r) {
    const std::string n = GbkToUtf8(builtIn.KMPy.TextOf(r, st));
    if (seen.insert(n).second) names.push_back(n);
  }
  for (size_t r = 0; names.size() < kStations; ++r) {
    const std::string n = names[r] + "新区";
    if (seen.insert(n).second) names.push_back(n);
  }
  return names;
}

void WriteNationalFeed(const fs::path& dir, const TablesSet& builtIn) {
  fs::create_directories(dir);
  std::mt19937 rng(20261208);
  const std::vector<std::string> names = StationNames(builtIn);
  std::ofstream stops(dir / "stops.txt"), routes(dir / "routes.txt"), trips(dir / "trips.txt"),
      times(dir / "stop_times.txt"), calendar(dir / "calendar.txt");
  stops << "stop_id,stop_name,stop_lat,stop_lon\n";
  for (int i = 0; i < kStations; ++i) {
    stops << "s" << i << "," << names[static_cast<size_t>(i)] << "," << 20 + (i / 60) * 0.4 << ","
          << 85 + (i % 60) * 0.6 << "\n";
  }
  const char* classes[] = {"高速", "动车组", "城际", "直达特快", "特快", "快速", "普快", "普客"};
  const char letters[] = {'G', 'D', 'C', 'Z', 'T', 'K', '\0', '\0'};
  routes << "route_id,route_short_name\n";
  for (int c = 0; c < 8; ++c) routes << "r" << c << "," << classes[c] << "\n";
  calendar << "service_id,monday,tuesday,wednesday,thursday,friday,saturday,sunday,start_date,"
              "end_date\nALL,1,1,1,1,1,1,1,20260101,20271231\n";
  // Lines: walks over neighbouring stations, so that lines cross and share stations.
  std::vector<std::vector<int>> lines(kLines);
  for (auto& line : lines) {
    int s = static_cast<int>(rng() % kStations);
    for (int k = 0; k < kLineLength; ++k) {
      line.push_back(s);
      const int step[] = {1, -1, 60, -60, 61, 59};
      s = (s + step[rng() % 6] + kStations) % kStations;
    }
  }
  trips << "route_id,service_id,trip_id,trip_short_name\n";
  times << "trip_id,arrival_time,departure_time,stop_id,stop_sequence\n";
  long stopTimes = 0;
  for (int t = 0; t < kTrips; ++t) {
    const int c = static_cast<int>(rng() % 8);
    const std::string number =
        (letters[c] ? std::string(1, letters[c]) : std::string()) +
        std::to_string(letters[c] ? t + 1 : 1001 + t % 4990 + 10000 * (t / 4990));
    trips << "r" << c << ",ALL,trip" << t << "," << number << "\n";
    const auto& line = lines[static_cast<size_t>(rng() % kLines)];
    const int count = 12 + static_cast<int>(t % 2 == 0);
    const int first = static_cast<int>(rng() % (kLineLength - count));
    int clock = 5 * 3600 + static_cast<int>(rng() % (16 * 3600));
    for (int k = 0; k < count; ++k) {
      char a[16], d[16];
      std::snprintf(a, sizeof a, "%02d:%02d:00", clock / 3600, clock / 60 % 60);
      if (k > 0) clock += 120;
      std::snprintf(d, sizeof d, "%02d:%02d:00", clock / 3600, clock / 60 % 60);
      times << "trip" << t << "," << a << "," << d << ",s"
            << line[static_cast<size_t>(first + (t % 2 ? count - 1 - k : k))] << "," << k + 1
            << "\n";
      clock += 1200 + static_cast<int>(rng() % 2400);
      ++stopTimes;
    }
  }
}

const TablesSet& BuiltIn() {
  static TablesSet* t = [] {
    auto* s = new TablesSet;
    LoadAllTables(*s, EmbeddedResourceFinder());
    return s;
  }();
  return *t;
}

fs::path FeedDir() {
  static const fs::path dir = [] {
    fs::path d = fs::temp_directory_path() / "velmor_bench_national_feed";
    fs::remove_all(d);
    WriteNationalFeed(d, BuiltIn());
    return d;
  }();
  return dir;
}

// The imported national timetable, written once.
const std::string& NationalFile() {
  static const std::string path = [] {
    const std::string out = (fs::temp_directory_path() / "velmor_bench_national.velmor").string();
    const ImportResult r = ImportFeedToFile(FeedDir().string(), out, {"2026-12-08", 1.15, ""},
                                            {BuiltIn().KMPy, BuiltIn().KMSM}, {});
    if (!r.Ok) std::cerr << GbkToUtf8(r.Error) << '\n';
    std::cerr << GbkToUtf8(r.Report);
    return out;
  }();
  return path;
}

void BM_ImportNationalFeed(benchmark::State& state) {
  const std::string dir = FeedDir().string();
  for (auto _ : state) {
    const ImportResult r =
        ImportFeed(dir, {"2026-12-08", 1.15, ""}, {BuiltIn().KMPy, BuiltIn().KMSM}, {});
    if (!r.Ok) state.SkipWithError("import failed");
    benchmark::DoNotOptimize(r.Texts.STrain.data());
  }
}
BENCHMARK(BM_ImportNationalFeed)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3);

// Both loaders on their own threads until every flag is true.
void BM_BothLoaders(benchmark::State& state, bool national) {
  std::optional<TimetableFile> file;
  if (national) file = TimetableFile::Open(NationalFile(), nullptr);
  const ResourceFinder find = national ? file->Finder() : EmbeddedResourceFinder();
  for (auto _ : state) {
    TablesSet t;
    std::thread a([&] { TThreadLoad1::Execute(t, find, nullptr); });
    std::thread b([&] { TThreadLoad::Execute(t, find, nullptr); });
    a.join();
    b.join();
    state.counters["stops"] = static_cast<double>(t.KMTrain.RecordCount());
  }
}
BENCHMARK_CAPTURE(BM_BothLoaders, built_in, false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_BothLoaders, national, true)->Unit(benchmark::kMillisecond)->UseRealTime();

const TablesSet& National() {
  static TablesSet* t = [] {
    auto* s = new TablesSet;
    const auto file = TimetableFile::Open(NationalFile(), nullptr);
    LoadAllTables(*s, file->Finder());
    return s;
  }();
  return *t;
}

// The four queries, each between two busy stations of the timetable.
void BM_Query(benchmark::State& state, bool national, int which) {
  const TablesSet& t = national ? National() : BuiltIn();
  const std::string a = national ? GbkToUtf8(t.KMTrain.TextOf(0, 1)) : "北京";
  const std::string b = national ? GbkToUtf8(t.KMTrain.TextOf(5, 1)) : "上海";
  PubState s;
  BuildFareZoneTable(s.Fares);
  BuildFareRateTable(s.Fares);
  for (auto _ : state) {
    switch (which) {
      case 0:
        QueryStationToStation(s, t, G(a), G(b));
        break;
      case 1:
        QueryStationTimetable(s, t, G(a));
        break;
      case 2:
        TrainNumberQuery(s, t, national ? "G1" : "G1");
        break;
      default:
        ZZSearch(s, t, G(a), G(b));
        break;
    }
    benchmark::DoNotOptimize(s.Pub_GridResults.data());
  }
}
BENCHMARK_CAPTURE(BM_Query, zz_built_in, false, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Query, zz_national, true, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Query, cz_built_in, false, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Query, cz_national, true, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Query, cc_built_in, false, 2)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Query, cc_national, true, 2)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Query, zzz_built_in, false, 3)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Query, zzz_national, true, 3)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmor

// `--write-feed DIR` only writes the generated feed (for measuring velmor-cli import).
int main(int argc, char** argv) {
  if (argc == 3 && std::string_view(argv[1]) == "--write-feed") {
    velmor::WriteNationalFeed(argv[2], velmor::BuiltIn());
    return 0;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

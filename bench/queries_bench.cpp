// The four queries over the built-in timetable: each walks the stop table once.
#include <benchmark/benchmark.h>

#include "bench/bench_tables.h"
#include "data/gbk_text.h"
#include "data/loaders.h"
#include "query/fares.h"
#include "query/queries.h"

namespace velmor {
namespace {

const TablesSet& Tables() {
  return BenchTables();
}

PubState FreshState() {
  PubState s;
  BuildFareZoneTable(s.Fares);
  BuildFareRateTable(s.Fares);
  return s;
}

void BM_StationToStation(benchmark::State& bs) {
  PubState s = FreshState();
  const std::string from = G("北京"), to = G("上海");
  for (auto _ : bs) {
    QueryStationToStation(s, Tables(), from, to);
    benchmark::DoNotOptimize(s.Pub_GridResults.data());
  }
  bs.counters["rows"] = static_cast<double>(s.Pub_GridResults.size());
  bs.counters["stops"] = static_cast<double>(Tables().KMTrain.RecordCount());
}
BENCHMARK(BM_StationToStation)->Unit(benchmark::kMicrosecond);

void BM_StationTimetable(benchmark::State& bs) {
  PubState s = FreshState();
  const std::string station = G("北京");
  for (auto _ : bs) {
    QueryStationTimetable(s, Tables(), station);
    benchmark::DoNotOptimize(s.Pub_GridResults.data());
  }
  bs.counters["rows"] = static_cast<double>(s.Pub_GridResults.size());
}
BENCHMARK(BM_StationTimetable)->Unit(benchmark::kMicrosecond);

void BM_TrainNumber(benchmark::State& bs) {
  PubState s = FreshState();
  for (auto _ : bs) {
    TrainNumberQuery(s, Tables(), "G1");
    benchmark::DoNotOptimize(s.Pub_GridResults.data());
  }
  bs.counters["rows"] = static_cast<double>(s.Pub_GridResults.size());
}
BENCHMARK(BM_TrainNumber)->Unit(benchmark::kMicrosecond);

void BM_TransferSearch(benchmark::State& bs) {
  PubState s = FreshState();
  const std::string from = G("北京"), to = G("广州");
  for (auto _ : bs) {
    ZZSearch(s, Tables(), from, to);
    benchmark::DoNotOptimize(s.Pub_ZZList.data());
  }
  bs.counters["legs"] = static_cast<double>(s.Pub_FZLegs.size() + s.Pub_DZLegs.size());
  bs.counters["candidates"] = static_cast<double>(s.Pub_ZZList.size());
}
BENCHMARK(BM_TransferSearch)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmor

BENCHMARK_MAIN();

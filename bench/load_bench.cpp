// Start-up cost: inflating the embedded tables and reading them into memory tables.
#include <benchmark/benchmark.h>

#include <thread>

#include "bench/bench_tables.h"
#include "data/embedded_resources.h"
#include "data/loaders.h"
#include "data/resource_container.h"

namespace velmor {
namespace {

std::string_view Container(const char* name) {
  return *BenchFinder()(name, "ME");
}

void BM_InflateStopTable(benchmark::State& state, bool libdeflate) {
  std::string_view c = Container("STRAIN");
  for (auto _ : state) {
    auto out = libdeflate ? InflateResourceLibdeflate(c) : InflateResourceZlib(c);
    benchmark::DoNotOptimize(out->data.get());
  }
}
BENCHMARK_CAPTURE(BM_InflateStopTable, zlib, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_InflateStopTable, libdeflate, true)->Unit(benchmark::kMillisecond);

void BM_LoadTable(benchmark::State& state, const char* name, const char* index) {
  for (auto _ : state) {
    TMemTable table;
    TTableTextFormat format;
    bool ok = LoadTableResource(table, format, BenchFinder(), name, index);
    if (!ok) state.SkipWithError("load failed");
    state.counters["rows"] = static_cast<double>(table.RecordCount());
    state.counters["bytes"] = static_cast<double>(table.MemoryBytes());
  }
}
BENCHMARK_CAPTURE(BM_LoadTable, SPY, "SPY", "")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadTable, SLIST, "SList", "SID")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadTable, SM, "SM", "SStation")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadTable, STRAIN, "STrain", "SIDNo")->Unit(benchmark::kMillisecond);

// Both loaders on their own threads, as at start-up: the time until every flag is true.
void BM_BothLoaders(benchmark::State& state) {
  const ResourceFinder finder = BenchFinder();
  for (auto _ : state) {
    TablesSet t;
    std::thread a([&] { TThreadLoad1::Execute(t, finder, nullptr); });
    std::thread b([&] { TThreadLoad::Execute(t, finder, nullptr); });
    a.join();
    b.join();
    state.counters["tables_bytes"] =
        static_cast<double>(t.KMPy.MemoryBytes() + t.KMList.MemoryBytes() + t.KMSM.MemoryBytes() +
                            t.KMTrain.MemoryBytes());
  }
}
BENCHMARK(BM_BothLoaders)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace velmor

BENCHMARK_MAIN();

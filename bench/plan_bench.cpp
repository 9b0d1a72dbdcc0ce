// Journey plans over the built-in timetable and a three-times timetable generated into the
// build tree: building the stop index, and one search per station pair and change count.
#include <benchmark/benchmark.h>

#include <array>
#include <map>

#include "data/embedded_resources.h"
#include "data/gbk_text.h"
#include "data/loaders.h"
#include "query/journey_planner.h"

namespace velmor {
namespace {

// The built-in timetable for scale 1, the generated one for scale 3; null when missing.
const TablesSet* Tables(int scale) {
  static std::map<int, TablesSet*> loaded;
  if (auto it = loaded.find(scale); it != loaded.end()) return it->second;
  auto* t = new TablesSet;
  const bool ok = scale == 1 ? LoadAllTables(*t, EmbeddedResourceFinder())
                             : LoadTablesFromDirectory(*t, VELMOR_TIMETABLE_X3, nullptr);
  loaded[scale] = ok ? t : nullptr;
  return loaded[scale];
}

void BM_PlanIndex(benchmark::State& st) {
  const TablesSet* t = Tables(static_cast<int>(st.range(0)));
  if (!t) return st.SkipWithError("timetable missing");
  for (auto _ : st) {
    TPlanIndex index(*t);
    benchmark::DoNotOptimize(index.Stops().data());
  }
}
BENCHMARK(BM_PlanIndex)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);

constexpr std::array<std::array<const char*, 2>, 3> kPairs = {
    {{"北京", "广州"}, {"乌鲁木齐", "上海"}, {"黄村", "白涧"}}};

// Arguments: station pair, most changes, timetable scale.
void BM_Plan(benchmark::State& st) {
  const auto& pair = kPairs[static_cast<size_t>(st.range(0))];
  const TablesSet* t = Tables(static_cast<int>(st.range(2)));
  if (!t) return st.SkipWithError("timetable missing");
  static std::map<const TablesSet*, TPlanIndex*> indexes;
  TPlanIndex*& index = indexes[t];
  if (!index) index = new TPlanIndex(*t);
  TPlanOptions o;
  o.MaxChanges = static_cast<int>(st.range(1));
  const std::string from = G(pair[0]), to = G(pair[1]);
  size_t found = 0;
  for (auto _ : st) {
    found = PlanJourneys(*index, from, to, o).size();
    benchmark::DoNotOptimize(found);
  }
  st.SetLabel(std::string(pair[0]) + "-" + pair[1]);
  st.counters["journeys"] = static_cast<double>(found);
}
BENCHMARK(BM_Plan)
    ->ArgsProduct({{0, 1, 2}, {1, 2}, {1, 3}})
    ->ArgNames({"pair", "changes", "scale"})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmor

BENCHMARK_MAIN();

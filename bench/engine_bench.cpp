// Costs of the per-row and per-list work of a query: fares, the grid fill and the header sort.
#include <benchmark/benchmark.h>

#include <deque>
#include <random>
#include <string>

#include "data/gbk_text.h"
#include "present/result_grid.h"
#include "present/unit_grid.h"
#include "query/fares.h"
#include "query/upub_center.h"

namespace velmor {
namespace {

constexpr int kRows = 1000;

// The stored texts a loaded table would hold; a row's stored fares are views into them.
std::string_view Stored(std::string text) {
  static std::deque<std::string> texts;
  return texts.emplace_back(std::move(text));
}

// Rows shaped like a big station-to-station answer: mixed types, boarding after the origin.
PubState MakeState() {
  PubState state;
  BuildFareZoneTable(state.Fares);
  BuildFareRateTable(state.Fares);
  std::mt19937 rng(20111201);
  std::uniform_int_distribution<int> km(20, 3000);
  std::uniform_int_distribution<int> type(1, 11);
  const char* prefixes[] = {"D", "G", "C", "Z", "T", "K", "K", "", "", "", ""};
  for (int n = 0; n < kRows; ++n) {
    TPub_GridResult r;
    r.NType = type(rng);
    r.TrainID = prefixes[r.NType - 1] + std::to_string(n + 1);
    r.TypeName = TrainTypeName(r.NType);
    r.StartStation = G("北京西");
    r.EndStation = G("广州");
    r.FromStation = G("北京");
    r.ToStation = G("上海");
    r.TotalDistance = km(rng) + 200;
    r.Distance = r.TotalDistance / 2;
    r.StopCount = n % 30;
    r.FromDepart = "08:00";
    r.ToArrive = "17:30";
    r.Duration = "09:30";
    const double rate = r.NType <= 3 ? 0.31 : 0.07;
    r.TrainP1 = Stored(std::to_string(RoundHalfUp(r.TotalDistance * rate)));
    r.TrainP2 =
        r.NType <= 3 ? Stored(std::to_string(RoundHalfUp(r.TotalDistance * rate * 1.2))) : "-";
    r.TrainP3 = r.NType > 3 ? "280/291/303" : "-";
    r.TrainP4 = r.NType > 3 ? "469/492" : "-";
    r.FromP1 = "40";
    r.FromP2 = "60";
    r.FromP4 = "-";
    r.ToP1 = Stored(std::to_string(40 + r.Distance / 3));
    r.ToP2 = Stored(std::to_string(60 + r.Distance / 2));
    r.ToP4 = "-";
    state.Pub_GridResults.push_back(r);
  }
  for (size_t i = 0; i < state.Pub_GridResults.size(); ++i) ComputeRowFares(state, i);
  return state;
}

void BM_ComputeRowFares(benchmark::State& st) {
  PubState state = MakeState();
  size_t row = 0;
  for (auto _ : st) {
    ComputeRowFares(state, row);
    benchmark::DoNotOptimize(state.Pub_GridResults[row].FareHardSeat);
    row = (row + 1) % state.Pub_GridResults.size();
  }
}
BENCHMARK(BM_ComputeRowFares);

void BM_FillResultGrid(benchmark::State& st) {
  PubState state = MakeState();
  state.QueryMode = 1;
  ResultView view;
  for (auto _ : st) {
    CBSFClick(state, view, {});
    benchmark::DoNotOptimize(view.SGrid.Cells(0, 0));
  }
}
BENCHMARK(BM_FillResultGrid)->Unit(benchmark::kMicrosecond);

void SortBench(benchmark::State& st, int column, TSortAs as) {
  PubState state = MakeState();
  state.QueryMode = 1;
  ResultView view;
  CBSFClick(state, view, {});
  const TStringGrid unsorted = view.SGrid;
  for (auto _ : st) {
    st.PauseTiming();
    view.SGrid = unsorted;
    st.ResumeTiming();
    SortGrid(view.SGrid, column, true, as);
    benchmark::DoNotOptimize(view.SGrid.Cells(column, 0));
  }
}

void BM_SortGridNumber(benchmark::State& st) {
  SortBench(st, 9, TSortAs::Number);
}
BENCHMARK(BM_SortGridNumber)->Unit(benchmark::kMicrosecond);

void BM_SortGridText(benchmark::State& st) {
  SortBench(st, 0, TSortAs::Text);
}
BENCHMARK(BM_SortGridText)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace velmor

BENCHMARK_MAIN();

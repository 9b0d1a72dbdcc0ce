// Our three queries beside an in-memory SQLite database answering the same questions.
// Ours include building the rows the grid shows, fares included; the peer steps through its
// answer reading every column, as a program showing it would.
#include <benchmark/benchmark.h>

#include "bench/bench_tables.h"
#include "bench/peer_database.h"
#include "bench/peer_sql.h"
#include "data/gbk_text.h"
#include "present/result_grid.h"
#include "query/fares.h"
#include "query/queries.h"

namespace velmor {
namespace {

sqlite3* PeerDb() {
  static sqlite3* db = [] {
    sqlite3* d = nullptr;
    sqlite3_open(":memory:", &d);
    FillPeerDatabase(d, BenchTables());
    return d;
  }();
  return db;
}

// Runs one prepared statement to its end, reading every column; the number of rows.
int64_t StepAll(sqlite3_stmt* st) {
  int64_t rows = 0;
  while (sqlite3_step(st) == SQLITE_ROW) {
    for (int c = 0, n = sqlite3_column_count(st); c < n; ++c) {
      benchmark::DoNotOptimize(sqlite3_column_text(st, c));
    }
    ++rows;
  }
  sqlite3_reset(st);
  return rows;
}

void Peer(benchmark::State& bs, const char* sql, const std::string& a, const std::string& b) {
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(PeerDb(), sql, -1, &st, nullptr) != SQLITE_OK) {
    bs.SkipWithError(sqlite3_errmsg(PeerDb()));
    return;
  }
  sqlite3_bind_text(st, 1, a.data(), static_cast<int>(a.size()), SQLITE_STATIC);
  if (!b.empty()) sqlite3_bind_text(st, 2, b.data(), static_cast<int>(b.size()), SQLITE_STATIC);
  int64_t rows = 0;
  for (auto _ : bs) rows = StepAll(st);
  bs.counters["rows"] = static_cast<double>(rows);
  sqlite3_finalize(st);
}

enum class Question { StationToStation, StationTimetable, TrainNumber };

void Ours(benchmark::State& bs, Question q, const std::string& a, const std::string& b) {
  PubState s;
  BuildFareZoneTable(s.Fares);
  BuildFareRateTable(s.Fares);
  ResultView view;
  const TablesSet& t = BenchTables();
  for (auto _ : bs) {
    switch (q) {
      case Question::StationToStation:
        s.QueryMode = 1;
        QueryStationToStation(s, t, a, b);
        FillResultGrid(s, view, {});
        break;
      case Question::StationTimetable:
        s.QueryMode = 3;
        QueryStationTimetable(s, t, a);
        FillResultGrid(s, view, a);
        break;
      case Question::TrainNumber:
        s.QueryMode = 2;
        TrainNumberQuery(s, t, a);
        FillResultGrid(s, view, {});
        break;
    }
    benchmark::DoNotOptimize(view.SGrid.Cells(0, 0));
  }
  bs.counters["rows"] = static_cast<double>(s.Pub_GridResults.size());
}

const std::string kBeijing = G("北京");
const std::string kShanghai = G("上海");

BENCHMARK_CAPTURE(Ours, zz, Question::StationToStation, kBeijing, kShanghai)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Peer, zz, PEER_SQL_ZZ, kBeijing, kShanghai)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Ours, cz, Question::StationTimetable, kBeijing, std::string())
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Peer, cz, PEER_SQL_CZ, kBeijing, std::string())->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Ours, cc, Question::TrainNumber, std::string("G1"), std::string())
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Peer, cc, PEER_SQL_CC, std::string("G1"), std::string())
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace velmor

BENCHMARK_MAIN();

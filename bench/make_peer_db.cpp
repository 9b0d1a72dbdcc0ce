// Writes the peer database to a file, for the peer's command-line program: the same tables
// (GBK texts, as loaded) and indexes as the in-memory peer of the benchmarks.
#include <cstdio>

#include "bench/bench_tables.h"
#include "bench/peer_database.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FILE.sqlite\n", argv[0]);
    return 2;
  }
  std::remove(argv[1]);
  sqlite3* db = nullptr;
  if (sqlite3_open(argv[1], &db) != SQLITE_OK) {
    std::fprintf(stderr, "%s: %s\n", argv[1], sqlite3_errmsg(db));
    return 1;
  }
  velmor::FillPeerDatabase(db, velmor::BenchTables());
  return sqlite3_close(db) == SQLITE_OK ? 0 : 1;
}

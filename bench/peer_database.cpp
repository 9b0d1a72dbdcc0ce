#include "bench/peer_database.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/peer_sql.h"

namespace velmor {
namespace {

void Check(sqlite3* db, int rc) {
  if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
    std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
    std::exit(1);
  }
}

// Copies the table's rows in load order, column for column in field order.
void CopyTable(sqlite3* db, const TMemTable& t, const char* name) {
  const size_t nf = t.FieldDefs().size();
  std::string sql = std::string("INSERT INTO ") + name + " VALUES(";
  for (size_t f = 0; f < nf; ++f) sql += f ? ",?" : "?";
  sql += ")";
  sqlite3_stmt* st = nullptr;
  Check(db, sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr));
  for (size_t r = 0; r < t.RecordCount(); ++r) {
    for (size_t f = 0; f < nf; ++f) {
      const int field = static_cast<int>(f);
      const int column = field + 1;
      if (t.FieldDefs()[f].DataType != TFieldType::ftWideString) {
        sqlite3_bind_int(st, column, t.IntegerOf(r, field));
      } else {
        const std::string_view s = t.TextOf(r, field);
        sqlite3_bind_text(st, column, s.data(), static_cast<int>(s.size()), SQLITE_STATIC);
      }
    }
    Check(db, sqlite3_step(st));
    sqlite3_reset(st);
  }
  sqlite3_finalize(st);
}

}  // namespace

void FillPeerDatabase(sqlite3* db, const TablesSet& tables) {
  Check(db, sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr));
  Check(db, sqlite3_exec(db, PEER_SQL_SCHEMA, nullptr, nullptr, nullptr));
  CopyTable(db, tables.KMPy, "py");
  CopyTable(db, tables.KMList, "trains");
  CopyTable(db, tables.KMTrain, "stops");
  CopyTable(db, tables.KMSM, "sm");
  Check(db, sqlite3_exec(db, "COMMIT; ANALYZE", nullptr, nullptr, nullptr));
}

}  // namespace velmor

/* The peer's command line: station to station from a SQLite file, as `velmor-cli zz FROM TO`
   does from the built-in tables. Names come in as UTF-8, the file holds GBK, rows go out as
   UTF-8, one per line, columns separated by tabs. */
#include <iconv.h>
#include <sqlite3.h>
#include <stdio.h>
#include <string.h>

#include "bench/peer_sql.h"

/* Converts `in` with `cd` into `out` (NUL-terminated); 0 on failure. */
static int Convert(iconv_t cd, const char* in, char* out, size_t size) {
  char* src = (char*)in;
  size_t left = strlen(in);
  char* dst = out;
  size_t room = size - 1;
  if (iconv(cd, &src, &left, &dst, &room) == (size_t)-1) return 0;
  *dst = '\0';
  return 1;
}

int main(int argc, char** argv) {
  if (argc != 4) {
    fprintf(stderr, "usage: %s FILE.sqlite FROM TO\n", argv[0]);
    return 2;
  }
  iconv_t toGbk = iconv_open("GBK", "UTF-8");
  iconv_t toUtf8 = iconv_open("UTF-8", "GBK");
  char from[256], to[256], text[1024];
  if (!Convert(toGbk, argv[2], from, sizeof from) || !Convert(toGbk, argv[3], to, sizeof to)) {
    fprintf(stderr, "bad station name\n");
    return 2;
  }
  sqlite3* db = NULL;
  sqlite3_stmt* st = NULL;
  if (sqlite3_open_v2(argv[1], &db, SQLITE_OPEN_READONLY, NULL) != SQLITE_OK ||
      sqlite3_prepare_v2(db, PEER_SQL_ZZ, -1, &st, NULL) != SQLITE_OK) {
    fprintf(stderr, "%s: %s\n", argv[1], sqlite3_errmsg(db));
    return 1;
  }
  sqlite3_bind_text(st, 1, from, -1, SQLITE_STATIC);
  sqlite3_bind_text(st, 2, to, -1, SQLITE_STATIC);
  while (sqlite3_step(st) == SQLITE_ROW) {
    for (int c = 0, n = sqlite3_column_count(st); c < n; ++c) {
      const char* v = (const char*)sqlite3_column_text(st, c);
      if (!v || !Convert(toUtf8, v, text, sizeof text)) text[0] = '\0';
      fputs(text, stdout);
      fputc(c + 1 < n ? '\t' : '\n', stdout);
    }
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
  return 0;
}

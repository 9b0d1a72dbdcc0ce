// The peer: the same four tables in an in-memory SQLite database, for the benchmarks that set
// our queries beside a database's answer to the same questions.
#pragma once

#include <sqlite3.h>

#include "data/loaders.h"

namespace velmor {

// Creates the peer's tables and indexes in `db` and copies every row of `tables` into them.
// Exits the program with a message when SQLite refuses.
void FillPeerDatabase(sqlite3* db, const TablesSet& tables);

}  // namespace velmor

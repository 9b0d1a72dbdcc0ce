// The four timetable tables, their readiness flags, and the two loaders that fill them.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <string_view>

#include "data/embedded_resources.h"
#include "data/mem_table.h"
#include "data/table_text_format.h"

namespace velmor {

// Owned by a front end; must outlive every loader that runs on it.
struct TablesSet {
  TMemTable KMPy;
  TMemTable KMList;
  TMemTable KMTrain;
  TMemTable KMSM;
  TTableTextFormat sfCSV;
  TTableTextFormat sfCSV1;
  // Each flag has a single writer (its loader) and readers on other threads.
  std::atomic<bool> SpyLoaded{false};
  std::atomic<bool> ListLoaded{false};
  std::atomic<bool> SMLoaded{false};
  std::atomic<bool> TrainLoaded{false};
};

// What a loader tells its front end; the front end decides on which thread to act.
enum class LoaderSignal { StationBoxesReady, QueryButtonsReady };
using LoaderNotify = std::function<void(LoaderSignal)>;

// A table that could not be loaded: its resource name ("STrain") and the reason (GBK), the
// reader's message with its line number when the text was bad.
struct LoaderFailure {
  std::string Table;
  std::string Reason;
};
using LoaderFailed = std::function<void(const LoaderFailure&)>;

// Loads the pinyin, train-list and same-city tables in that order. A failed step ends it
// there: that table and the later ones stay unloaded, their flags false, and `failed` hears
// why. Nothing is thrown out of it, whatever goes wrong.
struct TThreadLoad {
  static void Execute(TablesSet& tables, const ResourceFinder& find, const LoaderNotify& notify,
                      const LoaderFailed& failed = nullptr);
};

// Loads the stop table, then signals that the query buttons may be enabled; failures as above.
struct TThreadLoad1 {
  static void Execute(TablesSet& tables, const ResourceFinder& find, const LoaderNotify& notify,
                      const LoaderFailed& failed = nullptr);
};

// Reads one resource container and loads it into `table` with `indexName` current.
// False (nothing thrown) on a missing resource, a damaged stream or a failed read, with
// `error` (GBK) saying which.
bool LoadTableResource(TMemTable& table, TTableTextFormat& format, const ResourceFinder& find,
                       std::string_view resourceName, std::string_view indexName,
                       std::string* error = nullptr);

// Loads one plain table text; false with `error` set on failure.
bool LoadTableText(TMemTable& table, TTableTextFormat& format, std::string_view text,
                   std::string_view indexName, std::string* error = nullptr);

// Loads all four tables from SPY.txt, SLIST.txt, SM.txt and STRAIN.txt in `dir`, setting the
// flags as the loaders would; false with `error` (GBK) naming the file that failed.
bool LoadTablesFromDirectory(TablesSet& tables, const std::string& dir, std::string* error);

// Runs both loaders one after the other on the calling thread; false with `error` naming the
// first table that failed and why.
bool LoadAllTables(TablesSet& tables, const ResourceFinder& find, std::string* error = nullptr);

}  // namespace velmor

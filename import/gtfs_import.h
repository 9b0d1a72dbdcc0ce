// Turns a GTFS feed (zip or folder) into the four tables and the metadata of a timetable file.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <string_view>

#include "data/mem_table.h"
#include "data/timetable_file.h"

namespace velmor {

struct ImportOptions {
  std::string Date;          // yyyy-mm-dd; empty: today when the feed runs then, else its first day
  double LineFactor = 1.15;  // great-circle distance × this when the feed has no distances
  std::string CitiesFile;    // optional "station,city" overrides of the same-city groups
};

// The built-in tables the importer takes pinyin codes and same-city groups from.
struct ImportReference {
  const TMemTable& KMPy;
  const TMemTable& KMSM;
};

// Progress: the step (GBK, "读取 stop_times.txt") and its percentage; cancel is polled often.
struct ImportHooks {
  std::function<void(std::string_view step, int percent)> Progress;
  const std::atomic<bool>* Cancel = nullptr;
};

struct ImportResult {
  bool Ok = false;
  bool Cancelled = false;
  std::string Error;   // GBK, when not Ok
  std::string Report;  // GBK lines, when Ok
  TimetableTexts Texts;
};

// Reads the feed and builds the tables; nothing is written.
ImportResult ImportFeed(const std::string& feedPath, const ImportOptions& options,
                        const ImportReference& reference, const ImportHooks& hooks);

// Imports and writes the timetable file `outPath` (only when the import succeeded and was not
// cancelled).
ImportResult ImportFeedToFile(const std::string& feedPath, const std::string& outPath,
                              const ImportOptions& options, const ImportReference& reference,
                              const ImportHooks& hooks);

}  // namespace velmor

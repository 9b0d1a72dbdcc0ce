// Small feeds for the import tests: written into a fresh folder, imported against the built-in
// pinyin and same-city tables, read back into tables.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "data/loaders.h"
#include "import/gtfs_import.h"

namespace velmor::testing {

inline std::filesystem::path FreshDir(const std::string& name) {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::filesystem::path d = std::filesystem::temp_directory_path() /
                            ("velmor_import_" + std::string(info->name()) + "_" + name);
  std::filesystem::remove_all(d);
  std::filesystem::create_directories(d);
  return d;
}

// Writes each file of `files` (name → UTF-8 text) into a fresh folder.
inline std::string WriteFeed(const std::map<std::string, std::string>& files,
                             const std::string& name = "feed") {
  const auto dir = FreshDir(name);
  for (const auto& [file, text] : files) {
    std::ofstream(dir / file, std::ios::binary) << text;
  }
  return dir.string();
}

// The built-in SPY and SM tables, loaded once.
inline const TablesSet& BuiltIn() {
  static TablesSet* t = [] {
    auto* s = new TablesSet;
    std::string e;
    const ResourceFinder f = EmbeddedResourceFinder();
    if (!LoadTableResource(s->KMPy, s->sfCSV, f, "SPY", "", &e) ||
        !LoadTableResource(s->KMSM, s->sfCSV, f, "SM", "SStation", &e)) {
      ADD_FAILURE() << e;
    }
    return s;
  }();
  return *t;
}

inline ImportResult Import(const std::string& feed, ImportOptions options = {}) {
  if (options.Date.empty()) options.Date = "2026-12-08";  // a Tuesday
  return ImportFeed(feed, options, ImportReference{BuiltIn().KMPy, BuiltIn().KMSM}, {});
}

// The imported texts loaded as the program loads a timetable.
inline bool LoadImported(const TimetableTexts& texts, TablesSet& t) {
  std::string e;
  const bool ok = LoadTableText(t.KMPy, t.sfCSV, texts.SPY, "", &e) &&
                  LoadTableText(t.KMList, t.sfCSV, texts.SList, "SID", &e) &&
                  LoadTableText(t.KMSM, t.sfCSV, texts.SM, "SStation", &e) &&
                  LoadTableText(t.KMTrain, t.sfCSV1, texts.STrain, "SIDNo", &e);
  EXPECT_TRUE(ok) << e;
  t.SpyLoaded = t.ListLoaded = t.SMLoaded = t.TrainLoaded = ok;
  return ok;
}

}  // namespace velmor::testing

// Where the benchmarks take the timetable from: the built-in one, or the four table texts in
// the directory named by VELMOR_BENCH_TABLES (a scaled-up timetable from timetable_gen).
#pragma once

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "data/embedded_resources.h"
#include "data/loaders.h"
#include "data/resource_container.h"

namespace velmor {

// The resource finder the benchmarks load through; texts from VELMOR_BENCH_TABLES are packed
// once into containers, as the build packs the built-in ones.
inline ResourceFinder BenchFinder() {
  const char* dir = std::getenv("VELMOR_BENCH_TABLES");
  if (!dir || !*dir) return EmbeddedResourceFinder();
  static const std::map<std::string, std::string> packed = [dir] {
    std::map<std::string, std::string> m;
    for (const char* name : {"SPY", "SLIST", "SM", "STRAIN"}) {
      std::ifstream in(std::string(dir) + "/" + name + ".txt", std::ios::binary);
      std::ostringstream text;
      text << in.rdbuf();
      m[name] = PackResource(text.str());
    }
    return m;
  }();
  return [](std::string_view name, std::string_view) -> std::optional<std::string_view> {
    std::string upper(name);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    auto it = packed.find(upper);
    if (it == packed.end()) return std::nullopt;
    return std::string_view(it->second);
  };
}

// The four tables, loaded once per benchmark program.
inline const TablesSet& BenchTables() {
  static TablesSet* tables = [] {
    auto* t = new TablesSet;
    std::string error;
    if (!LoadAllTables(*t, BenchFinder(), &error)) {
      std::fprintf(stderr, "tables: %s\n", error.c_str());
      std::exit(1);
    }
    return t;
  }();
  return *tables;
}

}  // namespace velmor

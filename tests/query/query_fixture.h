// The fixture timetable of tests/fixtures/tables, loaded once per test program.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "data/gbk_text.h"
#include "data/loaders.h"
#include "query/upub_center.h"

namespace velmor::testing {

// The four fixture tables, loaded with the loaders' current indexes; shared by the tests of
// one program because nothing writes them.
inline TablesSet& FixtureTables() {
  static TablesSet* tables = [] {
    auto* t = new TablesSet;
    std::string error;
    if (!LoadTablesFromDirectory(*t, std::string(VELMOR_FIXTURE_DIR) + "/tables", &error)) {
      ADD_FAILURE() << error;
    }
    return t;
  }();
  return *tables;
}

// The UTF-8 spelling of a GBK text, for readable failure messages.
inline std::string U(const std::string& gbk) {
  return GbkToUtf8(gbk);
}

}  // namespace velmor::testing

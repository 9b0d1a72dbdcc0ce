// A long session of every kind of query on the shipped timetable: nothing may accumulate
// from query to query (LeakSanitizer in the sanitizer build reports leaks at exit).
#include <gtest/gtest.h>

#include <random>

#include "data/loaders.h"
#include "data/table_cursor.h"
#include "present/result_grid.h"
#include "present/train_detail.h"
#include "present/transfer_list.h"
#include "query/fares.h"
#include "query/queries.h"

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define VELMOR_SANITIZER_HEAP 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define VELMOR_SANITIZER_HEAP 1
#endif
#endif
#ifdef VELMOR_SANITIZER_HEAP
#include <sanitizer/allocator_interface.h>
#else
#include <malloc.h>
#endif

namespace {

// Bytes the program holds on the heap right now, from whichever allocator is in use.
long LiveBytes() {
#ifdef VELMOR_SANITIZER_HEAP
  return static_cast<long>(__sanitizer_get_current_allocated_bytes());
#else
  const struct mallinfo2 m = mallinfo2();
  return static_cast<long>(m.uordblks + m.hblkhd);
#endif
}

}  // namespace

namespace velmor {
namespace {

class QuerySession : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadAllTables(tables_, EmbeddedResourceFinder());
    ASSERT_TRUE(tables_.TrainLoaded && tables_.SMLoaded);
    BuildFareZoneTable(state_.Fares);
    BuildFareRateTable(state_.Fares);
    for (TTableCursor py(tables_.KMPy); !py.Eof(); py.Next()) {
      stations_.push_back(py.FieldByName("Station").AsString());
    }
    for (TTableCursor list(tables_.KMList); !list.Eof(); list.Next()) {
      trains_.push_back(list.FieldByName("ID").AsString());
    }
  }

  // The same queries every time, so that what the state holds afterwards is comparable.
  void FixedRound() {
    std::mt19937 saved = rng_;
    rng_.seed(7);
    Round();
    rng_ = saved;
  }

  // One round: a query of every kind, filters, sorts, a transfer pick and a detail list.
  void Round() {
    const std::string& a = stations_[rng_() % stations_.size()];
    const std::string& b = stations_[rng_() % stations_.size()];
    ResetResultGrid(state_, view_);
    if (!CheckStationToStation(a, b, tables_.KMPy)) {
      QueryStationToStation(state_, tables_, a, b);
      FillResultGrid(state_, view_, "");
      Lab1Click(state_, view_, static_cast<int>(rng_() % 15));
      ZZSearch(state_, tables_, a, b);
      ZzzView zzz;
      ShowZZList(state_, zzz);
      if (zzz.ZZCount > 0) {
        ZGridClick(state_, tables_, zzz, view_, static_cast<int>(rng_() % zzz.ZZCount), "");
      }
    }
    ResetResultGrid(state_, view_);
    QueryStationTimetable(state_, tables_, a);
    view_.Filters.CBDC = rng_() % 2 == 0;
    FillResultGrid(state_, view_, a);
    ResetResultGrid(state_, view_);
    TrainNumberQuery(state_, tables_, trains_[rng_() % trains_.size()]);
    FillResultGrid(state_, view_, "");
    MsgView detail;
    BuildTrainDetail(state_, tables_, view_.SGrid, 0, detail);
    view_.Filters = TFilterBoxes();
  }

  TablesSet tables_;
  PubState state_;
  ResultView view_;
  std::vector<std::string> stations_;
  std::vector<std::string> trains_;
  std::mt19937 rng_{20111201};
};

TEST_F(QuerySession, HundredsOfQueriesLeaveNothingBehind) {
  // Warm-up: the result lists reach the capacities of the largest answers.
  for (int i = 0; i < 100; ++i) Round();
  FixedRound();
  const long before = LiveBytes();
  for (int i = 0; i < 200; ++i) Round();
  FixedRound();
  const long after = LiveBytes();
  for (int i = 0; i < 200; ++i) Round();
  FixedRound();
  const long later = LiveBytes();
  // Each round moves megabytes through the heap; what stays may differ only by the spare
  // capacity a rare larger answer left in a result list.
  EXPECT_LT(after - before, 1 << 20) << before << " -> " << after;
  EXPECT_LT(later - before, 1 << 20) << before << " -> " << later;
  RecordProperty("live_bytes", std::to_string(before) + " " + std::to_string(after) + " " +
                                   std::to_string(later));
}

}  // namespace
}  // namespace velmor

#include "data/loaders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <stdexcept>
#include <thread>
#include <vector>

#include "data/resource_container.h"
#include "test_tables.h"

namespace velmor {
namespace {

// Resources packed from the fixture tables, with one of them replaceable by a broken copy.
class FakeResources {
 public:
  FakeResources() {
    for (const char* n : {"SPY", "SLIST", "SM", "STRAIN"}) {
      packed_[n] = PackResource(testing::ReadFixture(std::string("tables/") + n + ".txt"));
    }
  }
  void Break(const std::string& name) { packed_[name] = packed_[name].substr(0, 20); }
  void Replace(const std::string& name, const std::string& text) {
    packed_[name] = PackResource(text);
  }
  void Remove(const std::string& name) { packed_.erase(name); }
  ResourceFinder Finder() const {
    return [this](std::string_view name, std::string_view type) -> std::optional<std::string_view> {
      if (!SameTextAscii(type, "ME")) return std::nullopt;
      auto it = packed_.find(UpperAscii(name));
      if (it == packed_.end()) return std::nullopt;
      return std::string_view(it->second);
    };
  }

 private:
  std::map<std::string, std::string> packed_;
};

TEST(Loaders, LoadEverythingWithCurrentIndexesAndSignals) {
  FakeResources res;
  TablesSet t;
  std::vector<LoaderSignal> signals;
  auto notify = [&](LoaderSignal s) { signals.push_back(s); };
  TThreadLoad::Execute(t, res.Finder(), notify);
  TThreadLoad1::Execute(t, res.Finder(), notify);
  EXPECT_TRUE(t.SpyLoaded && t.ListLoaded && t.SMLoaded && t.TrainLoaded);
  EXPECT_EQ(t.KMPy.IndexName(), "");
  EXPECT_EQ(t.KMList.IndexName(), "SID");
  EXPECT_EQ(t.KMSM.IndexName(), "SStation");
  EXPECT_EQ(t.KMTrain.IndexName(), "SIDNo");
  EXPECT_EQ(signals, (std::vector<LoaderSignal>{LoaderSignal::StationBoxesReady,
                                                LoaderSignal::QueryButtonsReady}));
}

TEST(Loaders, ABrokenStepStopsOnlyItsOwnLoader) {
  FakeResources res;
  res.Break("SM");
  TablesSet t;
  LoadAllTables(t, res.Finder());
  EXPECT_TRUE(t.SpyLoaded);
  EXPECT_TRUE(t.ListLoaded);
  EXPECT_FALSE(t.SMLoaded);
  EXPECT_TRUE(t.TrainLoaded);
  EXPECT_GT(t.KMList.RecordCount(), 0u);
}

TEST(Loaders, AFailureEndsItsLoaderAndSaysWhichTableAndWhy) {
  std::vector<LoaderFailure> failures;
  auto failed = [&](const LoaderFailure& f) { failures.push_back(f); };
  {
    FakeResources res;
    res.Remove("SPY");
    TablesSet t;
    int signals = 0;
    TThreadLoad::Execute(
        t, res.Finder(), [&](LoaderSignal) { ++signals; }, failed);
    EXPECT_FALSE(t.SpyLoaded || t.ListLoaded || t.SMLoaded);
    EXPECT_EQ(signals, 0) << "station boxes stay disabled";
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].Table, "SPY");
    EXPECT_EQ(failures[0].Reason, G("找不到数据。"));
  }
  {
    FakeResources res;
    std::string bad = testing::ReadFixture("tables/SLIST.txt");
    // G1's distance becomes something that is no number.
    const size_t g1 = bad.find("\"G1\",");
    const size_t line = static_cast<size_t>(std::count(bad.begin(), bad.begin() + g1, '\n')) + 1;
    bad.replace(bad.find("\"1318\"", g1), 6, "\"13x8\"");
    res.Replace("SLIST", bad);
    TablesSet t;
    failures.clear();
    TThreadLoad::Execute(t, res.Finder(), nullptr, failed);
    EXPECT_TRUE(t.SpyLoaded);
    EXPECT_FALSE(t.ListLoaded);
    EXPECT_FALSE(t.SMLoaded) << "later tables of the same loader stay unloaded";
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].Table, "SList");
    EXPECT_EQ(failures[0].Reason,
              "'13x8' is not a valid integer value for field 'Distance' (line " +
                  std::to_string(line) + ")");
  }
  {
    FakeResources res;
    res.Break("STRAIN");
    TablesSet t;
    int signals = 0;
    failures.clear();
    TThreadLoad1::Execute(
        t, res.Finder(), [&](LoaderSignal) { ++signals; }, failed);
    EXPECT_FALSE(t.TrainLoaded);
    EXPECT_EQ(signals, 0) << "query buttons stay disabled";
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].Reason, G("数据已损坏，无法解压。"));
  }
}

// A loader runs on a thread of its own: whatever goes wrong is reported, never thrown.
TEST(Loaders, NothingEscapesALoader) {
  TablesSet t;
  std::vector<LoaderFailure> failures;
  const ResourceFinder throwing = [](std::string_view,
                                     std::string_view) -> std::optional<std::string_view> {
    throw std::runtime_error("disk gone");
  };
  EXPECT_NO_THROW(TThreadLoad1::Execute(t, throwing, nullptr,
                                        [&](const LoaderFailure& f) { failures.push_back(f); }));
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0].Table, "STrain");
  EXPECT_EQ(failures[0].Reason, G("意外错误：") + "disk gone");
}

// Both loaders on their own threads, as the program runs them; the flags only ever rise.
TEST(Loaders, ConcurrentLoadersAndAPollingReader) {
  FakeResources res;
  for (int round = 0; round < 20; ++round) {
    TablesSet t;
    std::atomic<bool> sawFall{false};
    std::atomic<bool> done{false};
    std::thread reader([&] {
      bool seen[4] = {false, false, false, false};
      while (!done) {
        bool now[4] = {t.SpyLoaded, t.ListLoaded, t.SMLoaded, t.TrainLoaded};
        for (int i = 0; i < 4; ++i) {
          if (seen[i] && !now[i]) sawFall = true;
          seen[i] = seen[i] || now[i];
        }
        if (now[3]) (void)t.KMTrain.RecordCount();
      }
    });
    std::thread a([&] { TThreadLoad1::Execute(t, res.Finder(), nullptr); });
    std::thread b([&] { TThreadLoad::Execute(t, res.Finder(), nullptr); });
    a.join();
    b.join();
    done = true;
    reader.join();
    EXPECT_FALSE(sawFall);
    EXPECT_TRUE(t.SpyLoaded && t.ListLoaded && t.SMLoaded && t.TrainLoaded);
  }
}

TEST(Loaders, DirectoryOfTableTexts) {
  TablesSet t;
  std::string error;
  ASSERT_TRUE(LoadTablesFromDirectory(t, std::string(VELMOR_FIXTURE_DIR) + "/tables", &error))
      << error;
  EXPECT_TRUE(t.TrainLoaded && t.SMLoaded);
  TablesSet missing;
  EXPECT_FALSE(LoadTablesFromDirectory(missing, "/nonexistent", &error));
  EXPECT_NE(error.find("SPY.txt"), std::string::npos);
}

TEST(Loaders, EmbeddedTimetableLoads) {
  TablesSet t;
  LoadAllTables(t, EmbeddedResourceFinder());
  EXPECT_TRUE(t.SpyLoaded && t.ListLoaded && t.SMLoaded && t.TrainLoaded);
  EXPECT_GT(t.KMTrain.RecordCount(), t.KMList.RecordCount());
}

}  // namespace
}  // namespace velmor

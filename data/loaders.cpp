#include "data/loaders.h"

#include <cstring>
#include <fstream>
#include <memory>
#include <thread>

#include "data/gbk_text.h"
#include "data/resource_container.h"

namespace velmor {

namespace {

// Loads by `load`, then names the index; a failure empties the table and says why.
template <typename Load>
bool LoadAndName(TMemTable& table, std::string_view indexName, std::string* error, Load load) {
  try {
    load();
    table.SetIndexName(indexName);
    return true;
  } catch (const TableError& e) {
    if (error) *error = e.what();
    table.Clear();
    return false;
  }
}

}  // namespace

bool LoadTableText(TMemTable& table, TTableTextFormat& format, std::string_view text,
                   std::string_view indexName, std::string* error) {
  return LoadAndName(table, indexName, error, [&] { table.LoadFromStreamViaFormat(text, format); });
}

bool LoadTableResource(TMemTable& table, TTableTextFormat& format, const ResourceFinder& find,
                       std::string_view resourceName, std::string_view indexName,
                       std::string* error) {
  std::optional<std::string_view> container = find(resourceName, "me");
  if (!container) {
    if (error) *error = G("找不到数据。");
    return false;
  }
  std::optional<ResourceBuffer> text = InflateResource(*container);
  if (!text) {
    if (error) *error = G("数据已损坏，无法解压。");
    return false;
  }
  // The table keeps the inflated text: its cells point into it.
  return LoadAndName(table, indexName, error,
                     [&] { table.LoadFromBuffer(std::move(*text), format); });
}

namespace {

// One loader's steps, each a table; the first failure ends the run and is reported once.
class LoadRun {
 public:
  LoadRun(const ResourceFinder& find, const LoaderFailed& failed) : find_(find), failed_(failed) {}

  bool Step(TMemTable& table, TTableTextFormat& format, const char* name, const char* index) {
    current_ = name;
    std::string why;
    if (LoadTableResource(table, format, find_, name, index, &why)) return true;
    Fail(why);
    return false;
  }

  // Whatever escapes a step (no memory, a bug) is reported against the table being loaded.
  void Fail(const std::string& why) {
    if (failed_) failed_(LoaderFailure{current_, why});
  }

 private:
  const ResourceFinder& find_;
  const LoaderFailed& failed_;
  std::string current_;
};

// A loader runs on its own thread: nothing may be thrown past this point.
template <typename Body>
void Guarded(LoadRun& run, Body body) {
  std::string why;
  try {
    body();
    return;
  } catch (const std::exception& e) {
    why = G("意外错误：") + e.what();
  } catch (...) {
    why = G("意外错误。");
  }
  run.Fail(why);
}

}  // namespace

void TThreadLoad::Execute(TablesSet& t, const ResourceFinder& find, const LoaderNotify& notify,
                          const LoaderFailed& failed) {
  LoadRun run(find, failed);
  Guarded(run, [&] {
    t.SpyLoaded = false;
    if (!run.Step(t.KMPy, t.sfCSV, "SPY", "")) return;
    t.SpyLoaded = true;
    if (notify) notify(LoaderSignal::StationBoxesReady);

    t.ListLoaded = false;
    if (!run.Step(t.KMList, t.sfCSV, "SList", "SID")) return;
    t.ListLoaded = true;

    t.SMLoaded = false;
    if (!run.Step(t.KMSM, t.sfCSV, "SM", "SStation")) return;
    t.SMLoaded = true;
  });
}

void TThreadLoad1::Execute(TablesSet& t, const ResourceFinder& find, const LoaderNotify& notify,
                           const LoaderFailed& failed) {
  LoadRun run(find, failed);
  Guarded(run, [&] {
    t.TrainLoaded = false;
    if (!run.Step(t.KMTrain, t.sfCSV1, "STrain", "SIDNo")) return;
    if (notify) notify(LoaderSignal::QueryButtonsReady);
    t.TrainLoaded = true;
  });
}

bool LoadAllTables(TablesSet& tables, const ResourceFinder& find, std::string* error) {
  // The two loaders run side by side, as at the window's start; the stop table's failure is
  // named first whichever finishes first.
  std::string failures[2];
  auto recorder = [&failures](int k) {
    return [&failures, k](const LoaderFailure& f) {
      if (failures[k].empty()) failures[k] = f.Table + ": " + f.Reason;
    };
  };
  std::thread others([&] { TThreadLoad::Execute(tables, find, nullptr, recorder(1)); });
  TThreadLoad1::Execute(tables, find, nullptr, recorder(0));
  others.join();
  if (error) *error = failures[0].empty() ? failures[1] : failures[0];
  return tables.SpyLoaded && tables.ListLoaded && tables.SMLoaded && tables.TrainLoaded;
}

bool LoadTablesFromDirectory(TablesSet& t, const std::string& dir, std::string* error) {
  struct Item {
    const char* file;
    TMemTable* table;
    TTableTextFormat* format;
    const char* index;
    std::atomic<bool>* flag;
  };
  const Item items[] = {{"SPY.txt", &t.KMPy, &t.sfCSV, "", &t.SpyLoaded},
                        {"SLIST.txt", &t.KMList, &t.sfCSV, "SID", &t.ListLoaded},
                        {"SM.txt", &t.KMSM, &t.sfCSV, "SStation", &t.SMLoaded},
                        {"STRAIN.txt", &t.KMTrain, &t.sfCSV1, "SIDNo", &t.TrainLoaded}};
  // Each item's failure, empty when it loaded; the stop table loads on a thread of its own
  // beside the others, and the first failure in item order is the one named.
  std::string failures[4];
  auto load = [&](size_t k) {
    const Item& it = items[k];
    const std::string path = dir + "/" + it.file;
    // One read into a buffer of the file's size, which the table then keeps: a stream copy
    // grows and copies it in steps.
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    ResourceBuffer text;
    if (in) {
      text.size = static_cast<size_t>(in.tellg());
      text.data.reset(new char[text.size + ResourceBuffer::kTail]);
      std::memset(text.data.get() + text.size, 0, ResourceBuffer::kTail);
      in.seekg(0);
      in.read(text.data.get(), static_cast<std::streamsize>(text.size));
    }
    if (!in) {
      failures[k] = G("无法读取文件：") + it.file;
      return;
    }
    std::string why;
    if (!LoadAndName(*it.table, it.index, &why,
                     [&] { it.table->LoadFromBuffer(std::move(text), *it.format); })) {
      failures[k] = std::string(it.file) + G("：") + why;
      return;
    }
    *it.flag = true;
  };
  std::thread stops(load, 3);
  for (size_t k = 0; k < 3; ++k) {
    load(k);
    if (!failures[k].empty()) break;
  }
  stops.join();
  for (const std::string& f : failures) {
    if (!f.empty()) {
      if (error) *error = f;
      return false;
    }
  }
  return true;
}

}  // namespace velmor

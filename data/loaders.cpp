#include "data/loaders.h"

#include <fstream>
#include <sstream>

#include "data/gbk_text.h"
#include "data/resource_container.h"

namespace velmor {

bool LoadTableText(TMemTable& table, TTableTextFormat& format, std::string_view text,
                   std::string_view indexName, std::string* error) {
  try {
    table.LoadFromStreamViaFormat(text, format);
    table.SetIndexName(indexName);
    return true;
  } catch (const TableError& e) {
    if (error) *error = e.what();
    table.Clear();
    return false;
  }
}

bool LoadTableResource(TMemTable& table, TTableTextFormat& format, const ResourceFinder& find,
                       std::string_view resourceName, std::string_view indexName,
                       std::string* error) {
  std::optional<std::string_view> container = find(resourceName, "me");
  if (!container) {
    if (error) *error = G("找不到数据。");
    return false;
  }
  // The inflated text lives only for this step.
  std::optional<ResourceBuffer> text = InflateResource(*container);
  if (!text) {
    if (error) *error = G("数据已损坏，无法解压。");
    return false;
  }
  return LoadTableText(table, format, text->View(), indexName, error);
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
  std::string first;
  auto failed = [&](const LoaderFailure& f) {
    if (first.empty()) first = f.Table + ": " + f.Reason;
  };
  TThreadLoad1::Execute(tables, find, nullptr, failed);
  TThreadLoad::Execute(tables, find, nullptr, failed);
  if (error) *error = first;
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
  for (const Item& it : items) {
    std::string path = dir + "/" + it.file;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
      if (error) *error = "cannot read " + path;
      return false;
    }
    std::ostringstream s;
    s << in.rdbuf();
    std::string why;
    if (!LoadTableText(*it.table, *it.format, s.str(), it.index, &why)) {
      if (error) *error = path + ": " + why;
      return false;
    }
    *it.flag = true;
  }
  return true;
}

}  // namespace velmor

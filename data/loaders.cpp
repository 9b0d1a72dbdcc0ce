#include "data/loaders.h"

#include <fstream>
#include <sstream>

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
                       std::string_view resourceName, std::string_view indexName) {
  std::optional<std::string_view> container = find(resourceName, "me");
  if (!container) return false;
  // The inflated text lives only for this step.
  std::optional<ResourceBuffer> text = InflateResource(*container);
  if (!text) return false;
  return LoadTableText(table, format, text->View(), indexName);
}

void TThreadLoad::Execute(TablesSet& t, const ResourceFinder& find, const LoaderNotify& notify) {
  t.SpyLoaded = false;
  if (!LoadTableResource(t.KMPy, t.sfCSV, find, "SPY", "")) return;
  t.SpyLoaded = true;
  if (notify) notify(LoaderSignal::StationBoxesReady);

  t.ListLoaded = false;
  if (!LoadTableResource(t.KMList, t.sfCSV, find, "SList", "SID")) return;
  t.ListLoaded = true;

  t.SMLoaded = false;
  if (!LoadTableResource(t.KMSM, t.sfCSV, find, "SM", "SStation")) return;
  t.SMLoaded = true;
}

void TThreadLoad1::Execute(TablesSet& t, const ResourceFinder& find, const LoaderNotify& notify) {
  t.TrainLoaded = false;
  if (!LoadTableResource(t.KMTrain, t.sfCSV1, find, "STrain", "SIDNo")) return;
  if (notify) notify(LoaderSignal::QueryButtonsReady);
  t.TrainLoaded = true;
}

void LoadAllTables(TablesSet& tables, const ResourceFinder& find) {
  TThreadLoad1::Execute(tables, find, nullptr);
  TThreadLoad::Execute(tables, find, nullptr);
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

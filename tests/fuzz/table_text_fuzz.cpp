// Arbitrary bytes as a table text: the reader must load them or raise TableError, nothing else.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "data/mem_table.h"
#include "data/table_cursor.h"
#include "data/table_text_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  velmor::TMemTable table;
  velmor::TTableTextFormat format;
  try {
    table.LoadFromStreamViaFormat(std::string_view(reinterpret_cast<const char*>(data), size),
                                  format);
  } catch (const velmor::TableError&) {
    return 0;
  }
  // Whatever loaded must be walkable and searchable in every index.
  for (const velmor::TIndexDef& ix : table.IndexDefs()) {
    velmor::TTableCursor c(table);
    c.SetIndexName(ix.Name);
    for (; !c.Eof(); c.Next()) {
      for (size_t f = 0; f < table.FieldDefs().size(); ++f) {
        (void)velmor::TField(&c, static_cast<int>(f)).AsString();
      }
    }
    if (!table.FieldDefs().empty()) (void)c.Locate(table.FieldDefs()[0].Name, "x");
  }
  return 0;
}

// Arbitrary bytes as a table text: the reader must load them or raise TableError, nothing else,
// and a text the table takes over must read as the same text copied.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "data/mem_table.h"
#include "data/table_cursor.h"
#include "data/table_text_format.h"

namespace {

// The failure message, or "" when the text loaded.
std::string Load(velmor::TMemTable& table, std::string_view text, bool takeOver) {
  velmor::TTableTextFormat format;
  try {
    if (takeOver) {
      velmor::ResourceBuffer buffer{
          std::make_unique<char[]>(text.size() + velmor::ResourceBuffer::kTail), text.size()};
      std::copy(text.begin(), text.end(), buffer.data.get());
      table.LoadFromBuffer(std::move(buffer), format);
    } else {
      table.LoadFromStreamViaFormat(text, format);
    }
  } catch (const velmor::TableError& e) {
    return std::string("failed: ") + e.what();
  }
  return {};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  velmor::TMemTable table;
  velmor::TMemTable taken;
  const std::string failure = Load(table, text, false);
  if (Load(taken, text, true) != failure) __builtin_trap();
  if (!failure.empty()) return 0;
  if (taken.RecordCount() != table.RecordCount()) __builtin_trap();
  for (size_t r = 0; r < table.RecordCount(); ++r) {
    for (size_t f = 0; f < table.FieldDefs().size(); ++f) {
      const int field = static_cast<int>(f);
      if (table.TextOf(r, field) != taken.TextOf(r, field) ||
          table.IntegerOf(r, field) != taken.IntegerOf(r, field)) {
        __builtin_trap();
      }
    }
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

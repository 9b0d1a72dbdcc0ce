// An in-memory indexed table: fields, rows and named indexes. Once loaded it never changes;
// readers walk it with cursors of their own (data/table_cursor.h), on any thread.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "data/resource_container.h"

namespace velmor {

class TTableTextFormat;
class TTableCursor;
class TField;

// Every failure of reading or using a table; the message is the one the user-facing layer shows.
class TableError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum class TFieldType { ftWideString, ftSmallint, ftInteger };

struct TFieldDef {
  std::string Name;
  TFieldType DataType = TFieldType::ftWideString;
  int Size = 0;
  std::string DisplayLabel;
  std::string EditMask;
  int DisplayWidth = 0;
  std::string Kind = "Data";
  std::string DefaultExpression;
  bool Required = false;
  bool ReadOnly = false;
  bool Visible = true;
};

struct TIndexDef {
  std::string Name;
  std::vector<std::string> FieldNames;
  bool Unique = false;
  bool Descending = false;
  bool CaseInsensitive = false;
  bool NonMaintained = false;
};

class TMemTable {
 public:
  TMemTable() = default;
  // Cursors point into the table's buffers: a move keeps them, a copy would not, so a table
  // moves but is never copied.
  TMemTable(const TMemTable&) = delete;
  TMemTable& operator=(const TMemTable&) = delete;
  TMemTable(TMemTable&&) noexcept = default;
  TMemTable& operator=(TMemTable&&) noexcept = default;

  // Reads one whole table text, replacing fields, indexes and rows.
  // Throws TableError with the reader's message; the table is left empty then.
  void LoadFromStreamViaFormat(std::string_view stream, TTableTextFormat& format);
  // The same for a text the table takes over: its rows stay where they lie, uncopied.
  void LoadFromBuffer(ResourceBuffer&& text, TTableTextFormat& format);

  // Empties the table: no fields, no indexes, no rows.
  void Clear();

  const std::vector<TFieldDef>& FieldDefs() const { return fields_; }
  const std::vector<TIndexDef>& IndexDefs() const { return indexDefs_; }
  size_t RecordCount() const { return rowCount_; }

  // Index of the field by name, ASCII case-insensitive; -1 when unknown.
  int FieldIndex(std::string_view name) const;
  // Throws TableError for an unknown name.
  int RequireField(std::string_view name) const;

  // Names the index a new cursor starts in ("" for load order); throws TableError for an
  // unknown name. Only the table's owner calls it, before any reader sees the table.
  void SetIndexName(std::string_view name);
  const std::string& IndexName() const { return indexName_; }

  // Reads of any physical row, wherever a cursor stands.
  std::string_view TextOf(size_t record, int field) const { return CellText(record, field); }
  int32_t IntegerOf(size_t record, int field) const { return CellInt(record, field); }
  bool IsNullOf(size_t record, int field) const { return CellNull(record, field); }
  // Asks the processor early for a record's cells, or for the bytes of one text cell (whose
  // cell is read to find them), so that a walk jumping across a big table overlaps its waits
  // on memory. The record must exist.
  void PrefetchRecord(size_t record) const {
    const Cell* row = &cells_[record * nf_];
    __builtin_prefetch(row);
    __builtin_prefetch(row + nf_ - 1);
  }
  void PrefetchText(size_t record, int field) const {
    __builtin_prefetch(arena_.data.get() + At(record, field).a);
  }

  // For an index led by a text field in byte order (neither descending nor case-insensitive):
  // each record's rank among the distinct values of that field, in the index's order, so that
  // records with one value share a rank. Empty for any other index; throws TableError for an
  // unknown name. A walk can tell values apart by rank without reading their bytes.
  const std::vector<uint32_t>& LeadingRanks(std::string_view index) const;
  // Whether the named index walks the records in load order; throws TableError for an unknown
  // name.
  bool InLoadOrder(std::string_view index) const;

  // Bytes held by rows, arena and indexes (for memory reporting).
  size_t MemoryBytes() const;

 private:
  friend class TTableTextFormat;
  friend class TTableCursor;

  // A text cell is (offset, length) into the arena; an integer cell is (value, a marker in
  // place of the length), so one comparison tells a readable text from everything else.
  struct Cell {
    uint32_t a;
    uint32_t b;
  };
  // The reader writes every cell of each row it keeps, so its block is not cleared first:
  // for a national stop table that pass over 13 MB was a tenth of the load.
  template <typename T>
  struct UnclearedAllocator : std::allocator<T> {
    template <typename U>
    struct rebind {
      using other = UnclearedAllocator<U>;
    };
    UnclearedAllocator() = default;
    template <typename U>
    UnclearedAllocator(const UnclearedAllocator<U>&) {}
    template <typename U>
    void construct(U* p) {
      ::new (static_cast<void*>(p)) U;
    }
    template <typename U, typename... Args>
    void construct(U* p, Args&&... args) {
      ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
  };
  using Cells = std::vector<Cell, UnclearedAllocator<Cell>>;
  static constexpr uint32_t kNullText = 0xFFFFFFFFu;
  static constexpr uint32_t kIntValue = 0xFFFFFFFEu;
  static constexpr uint32_t kIntNull = 0xFFFFFFFDu;
  static constexpr uint32_t kMaxTextLength = 0xFFFFFFF0u;

  struct Index {
    TIndexDef def;
    std::vector<int> fields;
    std::vector<uint32_t> order;
    std::vector<uint32_t> leadingRanks;  // see LeadingRanks
    bool loadOrder = false;
  };

  // Inline: the queries call these for every stop of the stop table.
  const Cell& At(size_t row, int field) const {
    return cells_[row * nf_ + static_cast<size_t>(field)];
  }
  // A table without rows keeps one row of null cells, so a cursor always has a row to read.
  std::string_view CellText(size_t row, int field) const {
    const Cell& c = At(row, field);
    return c.b >= kIntNull ? std::string_view() : std::string_view(arena_.data.get() + c.a, c.b);
  }
  int32_t CellInt(size_t row, int field) const {
    const Cell& c = At(row, field);
    return c.b == kIntValue ? static_cast<int32_t>(c.a) : 0;
  }
  bool CellNull(size_t row, int field) const {
    const Cell& c = At(row, field);
    return c.b == kNullText || c.b == kIntNull;
  }
  // Places the row of null cells that an empty table reads.
  void AddNullRow();
  bool IsTextField(int field) const { return isText_[static_cast<size_t>(field)] != 0; }
  // Refreshes the per-field caches the inline readers use after the fields changed.
  void FieldsChanged();
  // Position of the named index in indexes_, -1 for "" (load order); throws for unknown names.
  int FindIndex(std::string_view name) const;
  // Row order of an index position (nullptr for load order or an empty table).
  const uint32_t* OrderOf(int index) const;
  // Order of two records by the index's key; `differs`, when given, gets the position in the
  // key of the first field that differs (the key's length when none does).
  int CompareRows(const Index& index, uint32_t x, uint32_t y, size_t* differs = nullptr) const;
  void SortIndex(Index& index) const;
  // Sorts one index; false when a unique index meets two equal keys.
  bool BuildIndex(Index& index) const;
  // Builds every index, the indexes of a big table two at a time; throws TableError for a
  // unique index with equal keys.
  void BuildIndexes();
  // From this many rows up a table's indexes are built on two threads.
  static constexpr size_t kParallelRows = 20000;

  std::vector<TFieldDef> fields_;
  size_t nf_ = 0;
  std::vector<unsigned char> isText_;
  std::vector<TIndexDef> indexDefs_;
  std::vector<Index> indexes_;
  ResourceBuffer arena_;  // the rows' text (and a table text's header when taken over)
  Cells cells_;
  size_t rowCount_ = 0;
  int current_ = -1;  // the index a new cursor starts in
  std::string indexName_;
};

}  // namespace velmor

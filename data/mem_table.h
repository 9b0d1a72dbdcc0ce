// An in-memory, read-mostly indexed table: fields, rows, named indexes and one cursor.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace velmor {

class TTableTextFormat;
class TMemTable;

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

// A field of the current row, as `FieldByName` hands it out.
class TField {
 public:
  TField(const TMemTable* table, int index) : table_(table), index_(index) {}
  // The current row's value as text; integers give their decimal text, null gives "".
  std::string AsString() const;
  // The current row's value of an integer field; null (or a text field) gives 0.
  int32_t AsInteger() const;
  bool IsNull() const;
  int Index() const { return index_; }
  const TFieldDef& Def() const;

 private:
  const TMemTable* table_;
  int index_;
};

class TMemTable {
 public:
  TMemTable() = default;
  // The cursor caches a pointer into the current index: a move keeps that buffer, a copy
  // would not, so a table moves but is never copied.
  TMemTable(const TMemTable&) = delete;
  TMemTable& operator=(const TMemTable&) = delete;
  TMemTable(TMemTable&&) noexcept = default;
  TMemTable& operator=(TMemTable&&) noexcept = default;

  // Reads one whole table text, replacing fields, indexes and rows; cursor on the first row.
  // Throws TableError with the reader's message; the table is left empty then.
  void LoadFromStreamViaFormat(std::string_view stream, TTableTextFormat& format);

  // Empties the table: no fields, no indexes, no rows.
  void Clear();

  const std::vector<TFieldDef>& FieldDefs() const { return fields_; }
  const std::vector<TIndexDef>& IndexDefs() const { return indexDefs_; }
  size_t RecordCount() const { return rowCount_; }

  // Field by name, ASCII case-insensitive; throws TableError for an unknown name.
  TField FieldByName(std::string_view name) const;
  // Index of the field by name, ASCII case-insensitive; -1 when unknown.
  int FieldIndex(std::string_view name) const;

  // Makes the named index current ("" for load order); throws TableError for an unknown name.
  void SetIndexName(std::string_view name);
  const std::string& IndexName() const { return indexName_; }

  void First();
  void Next() {
    if (rowCount_ != 0 && pos_ + 1 < rowCount_) {
      ++pos_;
      bof_ = false;
      eof_ = false;
    } else {
      eof_ = true;
      if (rowCount_ != 0) bof_ = false;
    }
  }
  void Prior();
  void Last();
  bool Eof() const { return eof_; }
  bool Bof() const { return bof_; }

  // Moves to the first row in current order whose field equals `value` byte for byte.
  // Binary search when the field leads the current index, a scan otherwise. False leaves
  // the cursor where it was.
  bool Locate(std::string_view keyField, std::string_view value);

  // The physical row under the cursor, and reads of any physical row: lets a walk remember
  // a stop and read it after the cursor has moved on.
  size_t CurrentRecord() const { return CurrentRow(); }
  std::string_view TextOf(size_t record, int field) const { return CellText(record, field); }
  int32_t IntegerOf(size_t record, int field) const { return CellInt(record, field); }

  // Raw access to the current row by field index, for walks that resolve fields once.
  std::string_view Text(int field) const { return CellText(CurrentRow(), field); }
  int32_t Integer(int field) const { return CellInt(CurrentRow(), field); }
  bool IsNull(int field) const { return CellNull(CurrentRow(), field); }

  // Bytes held by rows, arena and indexes (for memory reporting).
  size_t MemoryBytes() const;

 private:
  friend class TTableTextFormat;
  friend class TField;

  // A text cell is (offset, length) into the arena; an integer cell is (value, a marker in
  // place of the length), so one comparison tells a readable text from everything else.
  struct Cell {
    uint32_t a = 0;
    uint32_t b = 0;
  };
  static constexpr uint32_t kNullText = 0xFFFFFFFFu;
  static constexpr uint32_t kIntValue = 0xFFFFFFFEu;
  static constexpr uint32_t kIntNull = 0xFFFFFFFDu;
  static constexpr uint32_t kMaxTextLength = 0xFFFFFFF0u;

  struct Index {
    TIndexDef def;
    std::vector<int> fields;
    std::vector<uint32_t> order;
  };

  // Inline: the queries call these for every stop of the stop table.
  size_t CurrentRow() const { return order_ ? order_[pos_] : pos_; }
  const Cell& At(size_t row, int field) const {
    return cells_[row * nf_ + static_cast<size_t>(field)];
  }
  // A table without rows keeps one row of null cells, so a cursor always has a row to read.
  std::string_view CellText(size_t row, int field) const {
    const Cell& c = At(row, field);
    return c.b >= kIntNull ? std::string_view() : std::string_view(arena_.data() + c.a, c.b);
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
  int CompareRows(const Index& index, uint32_t x, uint32_t y) const;
  void SortIndex(Index& index) const;
  void BuildIndexes();

  std::vector<TFieldDef> fields_;
  size_t nf_ = 0;
  std::vector<unsigned char> isText_;
  const uint32_t* order_ = nullptr;  // the current index's row order; null for load order
  std::vector<TIndexDef> indexDefs_;
  std::vector<Index> indexes_;
  std::string arena_;
  std::vector<Cell> cells_;
  size_t rowCount_ = 0;
  int current_ = -1;
  std::string indexName_;
  size_t pos_ = 0;
  bool bof_ = true;
  bool eof_ = true;
};

}  // namespace velmor

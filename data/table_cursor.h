// A reader's own position in a loaded table: any number of cursors may walk one table at once,
// on any threads, because walking never changes the table.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "data/mem_table.h"

namespace velmor {

class TTableCursor;

// A field of the cursor's current row, as `FieldByName` hands it out.
class TField {
 public:
  TField(const TTableCursor* cursor, int index) : cursor_(cursor), index_(index) {}
  // The current row's value as text; integers give their decimal text, null gives "".
  std::string AsString() const;
  // The current row's value of an integer field; null (or a text field) gives 0.
  int32_t AsInteger() const;
  bool IsNull() const;
  int Index() const { return index_; }
  const TFieldDef& Def() const;

 private:
  const TTableCursor* cursor_;
  int index_;
};

class TTableCursor {
 public:
  // A cursor on the first row, in the index the table's owner made current. The table must
  // outlive the cursor.
  explicit TTableCursor(const TMemTable& table);

  // Walks in the named index from now on ("" for load order), on its first row; throws
  // TableError for an unknown name.
  void SetIndexName(std::string_view name);
  const std::string& IndexName() const;

  void First();
  void Next() {
    if (rows_ != 0 && pos_ + 1 < rows_) {
      ++pos_;
      bof_ = false;
      eof_ = false;
    } else {
      eof_ = true;
      if (rows_ != 0) bof_ = false;
    }
  }
  void Prior();
  void Last();

  // The current row's place in the walk order (0 for the first row), and a move straight to
  // one: a walk that found a row through another index can try where it stands in this one.
  // MoveTo past the last row leaves the cursor where it was and returns false.
  size_t Position() const { return pos_; }
  bool MoveTo(size_t position) {
    if (position >= rows_) return false;
    pos_ = position;
    bof_ = false;
    eof_ = false;
    return true;
  }
  bool Eof() const { return eof_; }
  bool Bof() const { return bof_; }

  // Moves to the first row in current order whose field equals `value` byte for byte.
  // Binary search when the field leads the current index, a scan otherwise. False leaves
  // the cursor where it was. Throws TableError for an unknown field.
  bool Locate(std::string_view keyField, std::string_view value);

  // Same result as Locate; faster when successive searches ask for ascending values of the
  // current index's leading field, because it searches onward from the current row then.
  bool LocateOnward(std::string_view keyField, std::string_view value);

  // Moves to the first row in current order whose field starts with `prefix`, as Locate does
  // (binary search when the field leads the current index). False leaves the cursor.
  bool LocatePrefix(std::string_view keyField, std::string_view prefix);

  // Field by name, ASCII case-insensitive; throws TableError for an unknown name.
  TField FieldByName(std::string_view name) const;

  // The physical row under the cursor: lets a walk remember a stop and read it (through the
  // table's TextOf and IntegerOf) after the cursor has moved on.
  size_t CurrentRecord() const { return order_ ? order_[pos_] : pos_; }

  // Raw access to the current row by field index, for walks that resolve fields once.
  std::string_view Text(int field) const { return table_->CellText(CurrentRecord(), field); }
  int32_t Integer(int field) const { return table_->CellInt(CurrentRecord(), field); }
  bool IsNull(int field) const { return table_->CellNull(CurrentRecord(), field); }

  const TMemTable& Table() const { return *table_; }

 private:
  // The first row whose field starts with `prefix` (all of it when `whole`), as Locate finds it.
  bool Find(std::string_view keyField, std::string_view prefix, bool whole);

  const TMemTable* table_;
  int index_;
  const uint32_t* order_;
  size_t rows_;
  size_t pos_ = 0;
  bool bof_ = true;
  bool eof_ = true;
};

}  // namespace velmor

#include "data/table_cursor.h"

#include <algorithm>
#include <charconv>

namespace velmor {

namespace {

// Byte order of short keys without a library call: a search compares a train number or a
// station name some sixteen times, and every query searches once per train it shows.
bool LessBytes(std::string_view a, std::string_view b) {
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    if (a[i] != b[i]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[i]);
  }
  return a.size() < b.size();
}

}  // namespace

std::string TField::AsString() const {
  const TMemTable& t = cursor_->Table();
  if (t.FieldDefs()[static_cast<size_t>(index_)].DataType == TFieldType::ftWideString) {
    return std::string(cursor_->Text(index_));
  }
  if (cursor_->IsNull(index_)) return {};
  return std::to_string(cursor_->Integer(index_));
}

int32_t TField::AsInteger() const {
  if (Def().DataType == TFieldType::ftWideString) {
    // Integer reads of a text field happen nowhere in the program; lenient like the rest.
    int32_t v = 0;
    std::string_view t = cursor_->Text(index_);
    std::from_chars(t.data(), t.data() + t.size(), v);
    return v;
  }
  return cursor_->Integer(index_);
}

bool TField::IsNull() const {
  return cursor_->IsNull(index_);
}

const TFieldDef& TField::Def() const {
  return cursor_->Table().FieldDefs()[static_cast<size_t>(index_)];
}

TTableCursor::TTableCursor(const TMemTable& table)
    : table_(&table),
      index_(table.current_),
      order_(table.OrderOf(table.current_)),
      rows_(table.RecordCount()) {
  First();
}

void TTableCursor::SetIndexName(std::string_view name) {
  index_ = table_->FindIndex(name);
  order_ = table_->OrderOf(index_);
  First();
}

const std::string& TTableCursor::IndexName() const {
  static const std::string loadOrder;
  return index_ < 0 ? loadOrder : table_->indexes_[static_cast<size_t>(index_)].def.Name;
}

void TTableCursor::First() {
  pos_ = 0;
  bof_ = true;
  eof_ = rows_ == 0;
}

void TTableCursor::Last() {
  pos_ = rows_ ? rows_ - 1 : 0;
  eof_ = true;
  bof_ = rows_ == 0;
}

void TTableCursor::Prior() {
  if (pos_ > 0) {
    --pos_;
    eof_ = false;
    bof_ = false;
  } else {
    bof_ = true;
    if (rows_ != 0) eof_ = false;
  }
}

TField TTableCursor::FieldByName(std::string_view name) const {
  return TField(this, table_->RequireField(name));
}

bool TTableCursor::Locate(std::string_view keyField, std::string_view value) {
  return Find(keyField, value, true);
}

bool TTableCursor::LocateOnward(std::string_view keyField, std::string_view value) {
  const TMemTable& t = *table_;
  const int f = t.RequireField(keyField);
  if (rows_ == 0 || index_ < 0) return Locate(keyField, value);
  const TMemTable::Index& ix = t.indexes_[static_cast<size_t>(index_)];
  if (ix.fields.front() != f || !t.IsTextField(f) || ix.def.Descending || ix.def.CaseInsensitive ||
      !LessBytes(t.CellText(order_[pos_], f), value)) {
    return Locate(keyField, value);
  }
  // Every row up to here orders before `value`: gallop onward to bracket the first row that
  // does not, touching few rows far away (the table is bigger than the caches).
  auto before = [&](size_t p) { return LessBytes(t.CellText(order_[p], f), value); };
  size_t lo = pos_ + 1;
  size_t step = 1;
  size_t hi = lo;
  while (hi < rows_ && before(hi)) {
    lo = hi + 1;
    step *= 2;
    hi = pos_ + step;
  }
  hi = std::min(hi, rows_);
  const uint32_t* it = std::lower_bound(
      order_ + lo, order_ + hi, value,
      [&](uint32_t row, std::string_view v) { return LessBytes(t.CellText(row, f), v); });
  if (it == order_ + rows_ || t.CellText(*it, f) != value) return false;
  pos_ = static_cast<size_t>(it - order_);
  bof_ = false;
  eof_ = false;
  return true;
}

bool TTableCursor::LocatePrefix(std::string_view keyField, std::string_view prefix) {
  return Find(keyField, prefix, false);
}

bool TTableCursor::Find(std::string_view keyField, std::string_view value, bool whole) {
  const TMemTable& t = *table_;
  const int f = t.RequireField(keyField);
  if (rows_ == 0) return false;
  auto found = [&](size_t p) {
    pos_ = p;
    bof_ = false;
    eof_ = false;
    return true;
  };
  auto matches = [&](std::string_view key) {
    return whole ? key == value : key.starts_with(value);
  };
  const bool text = t.IsTextField(f);
  if (index_ >= 0) {
    const TMemTable::Index& ix = t.indexes_[static_cast<size_t>(index_)];
    if (ix.fields.front() == f && text && !ix.def.Descending && !ix.def.CaseInsensitive) {
      auto it = std::lower_bound(
          ix.order.begin(), ix.order.end(), value,
          [&](uint32_t row, std::string_view v) { return LessBytes(t.CellText(row, f), v); });
      if (it != ix.order.end() && matches(t.CellText(*it, f))) {
        return found(static_cast<size_t>(it - ix.order.begin()));
      }
      return false;
    }
  }
  for (size_t p = 0; p < rows_; ++p) {
    const size_t row = order_ ? order_[p] : p;
    const bool match = text ? matches(t.CellText(row, f))
                            : (!t.CellNull(row, f) && matches(std::to_string(t.CellInt(row, f))));
    if (match) return found(p);
  }
  return false;
}

}  // namespace velmor

#include "data/mem_table.h"

#include <algorithm>
#include <charconv>

#include "data/gbk_text.h"
#include "data/table_text_format.h"

namespace velmor {

std::string TField::AsString() const {
  if (table_->IsTextField(index_)) return std::string(table_->Text(index_));
  if (table_->IsNull(index_)) return {};
  return std::to_string(table_->Integer(index_));
}

int32_t TField::AsInteger() const {
  if (table_->IsTextField(index_)) {
    // Integer reads of a text field happen nowhere in the program; lenient like the rest.
    int32_t v = 0;
    std::string_view t = table_->Text(index_);
    std::from_chars(t.data(), t.data() + t.size(), v);
    return v;
  }
  return table_->Integer(index_);
}

bool TField::IsNull() const {
  return table_->IsNull(index_);
}

const TFieldDef& TField::Def() const {
  return table_->fields_[index_];
}

void TMemTable::LoadFromStreamViaFormat(std::string_view stream, TTableTextFormat& format) {
  try {
    format.Read(*this, stream);
  } catch (...) {
    Clear();
    throw;
  }
}

void TMemTable::Clear() {
  fields_.clear();
  indexDefs_.clear();
  indexes_.clear();
  arena_.clear();
  arena_.shrink_to_fit();
  cells_.clear();
  cells_.shrink_to_fit();
  rowCount_ = 0;
  current_ = -1;
  order_ = nullptr;
  FieldsChanged();
  indexName_.clear();
  pos_ = 0;
  bof_ = eof_ = true;
}

int TMemTable::FieldIndex(std::string_view name) const {
  for (size_t i = 0; i < fields_.size(); ++i) {
    if (SameTextAscii(fields_[i].Name, name)) return static_cast<int>(i);
  }
  return -1;
}

TField TMemTable::FieldByName(std::string_view name) const {
  int i = FieldIndex(name);
  if (i < 0) throw TableError("Field '" + std::string(name) + "' not found");
  return TField(this, i);
}

void TMemTable::SetIndexName(std::string_view name) {
  if (name.empty()) {
    current_ = -1;
    order_ = nullptr;
    indexName_.clear();
  } else {
    auto it = std::find_if(indexes_.begin(), indexes_.end(),
                           [&](const Index& x) { return SameTextAscii(x.def.Name, name); });
    if (it == indexes_.end()) throw TableError("Index '" + std::string(name) + "' not found");
    current_ = static_cast<int>(it - indexes_.begin());
    order_ = rowCount_ ? it->order.data() : nullptr;
    indexName_ = it->def.Name;
  }
  First();
}

void TMemTable::AddNullRow() {
  for (size_t f = 0; f < nf_; ++f) {
    cells_.push_back(isText_[f] ? Cell{0, kNullText} : Cell{0, kIntNull});
  }
}

void TMemTable::FieldsChanged() {
  nf_ = fields_.size();
  isText_.resize(nf_);
  for (size_t i = 0; i < nf_; ++i) {
    isText_[i] = fields_[i].DataType == TFieldType::ftWideString ? 1 : 0;
  }
}

void TMemTable::First() {
  pos_ = 0;
  bof_ = true;
  eof_ = rowCount_ == 0;
}

void TMemTable::Last() {
  pos_ = rowCount_ ? rowCount_ - 1 : 0;
  eof_ = true;
  bof_ = rowCount_ == 0;
}

void TMemTable::Prior() {
  if (pos_ > 0) {
    --pos_;
    eof_ = false;
    bof_ = false;
  } else {
    bof_ = true;
    if (rowCount_ != 0) eof_ = false;
  }
}

bool TMemTable::Locate(std::string_view keyField, std::string_view value) {
  int f = FieldIndex(keyField);
  if (f < 0) throw TableError("Field '" + std::string(keyField) + "' not found");
  if (rowCount_ == 0) return false;
  auto found = [&](size_t p) {
    pos_ = p;
    bof_ = false;
    eof_ = false;
    return true;
  };
  if (current_ >= 0) {
    const Index& ix = indexes_[static_cast<size_t>(current_)];
    if (ix.fields.front() == f && IsTextField(f) && !ix.def.Descending && !ix.def.CaseInsensitive) {
      auto it = std::lower_bound(
          ix.order.begin(), ix.order.end(), value,
          [&](uint32_t row, std::string_view v) { return CellText(row, f).compare(v) < 0; });
      if (it != ix.order.end() && CellText(*it, f) == value) {
        return found(static_cast<size_t>(it - ix.order.begin()));
      }
      return false;
    }
  }
  for (size_t p = 0; p < rowCount_; ++p) {
    size_t row = current_ < 0 ? p : indexes_[static_cast<size_t>(current_)].order[p];
    bool match = IsTextField(f) ? CellText(row, f) == value
                                : (!CellNull(row, f) && std::to_string(CellInt(row, f)) == value);
    if (match) return found(p);
  }
  return false;
}

int TMemTable::CompareRows(const Index& index, uint32_t x, uint32_t y) const {
  for (int f : index.fields) {
    int c = 0;
    if (IsTextField(f)) {
      std::string_view a = CellText(x, f);
      std::string_view b = CellText(y, f);
      if (index.def.CaseInsensitive) {
        std::string ua = UpperAscii(a);
        std::string ub = UpperAscii(b);
        c = ua.compare(ub);
      } else {
        c = a.compare(b);
      }
    } else {
      bool na = CellNull(x, f);
      bool nb = CellNull(y, f);
      if (na || nb) {
        c = (na ? 0 : 1) - (nb ? 0 : 1);
      } else {
        int32_t a = CellInt(x, f);
        int32_t b = CellInt(y, f);
        c = a < b ? -1 : (a > b ? 1 : 0);
      }
    }
    if (c != 0) return index.def.Descending ? -c : c;
  }
  return 0;
}

void TMemTable::SortIndex(Index& ix) const {
  if (ix.fields.size() == 1 && IsTextField(ix.fields[0]) && !ix.def.Descending &&
      !ix.def.CaseInsensitive) {
    // A plain text key sorts fastest with its views gathered once, not looked up per compare.
    const int f = ix.fields[0];
    std::vector<std::pair<std::string_view, uint32_t>> keys(rowCount_);
    for (size_t i = 0; i < rowCount_; ++i) keys[i] = {CellText(i, f), static_cast<uint32_t>(i)};
    std::stable_sort(keys.begin(), keys.end(),
                     [](const auto& x, const auto& y) { return x.first < y.first; });
    for (size_t i = 0; i < rowCount_; ++i) ix.order[i] = keys[i].second;
  } else {
    std::stable_sort(ix.order.begin(), ix.order.end(),
                     [&](uint32_t x, uint32_t y) { return CompareRows(ix, x, y) < 0; });
  }
}

void TMemTable::BuildIndexes() {
  for (Index& ix : indexes_) {
    ix.order.resize(rowCount_);
    for (size_t i = 0; i < rowCount_; ++i) ix.order[i] = static_cast<uint32_t>(i);
    // Texts usually stand in the order of their main index already; checking is linear.
    if (!std::is_sorted(ix.order.begin(), ix.order.end(),
                        [&](uint32_t x, uint32_t y) { return CompareRows(ix, x, y) < 0; })) {
      SortIndex(ix);
    }
    if (ix.def.Unique) {
      for (size_t i = 1; i < ix.order.size(); ++i) {
        if (CompareRows(ix, ix.order[i - 1], ix.order[i]) == 0) {
          throw TableError("Duplicate index value. Operation aborted.");
        }
      }
    }
  }
}

size_t TMemTable::MemoryBytes() const {
  size_t n = arena_.capacity() + cells_.capacity() * sizeof(Cell);
  for (const Index& ix : indexes_) n += ix.order.capacity() * sizeof(uint32_t);
  return n;
}

}  // namespace velmor

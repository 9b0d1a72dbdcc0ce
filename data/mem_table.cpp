#include "data/mem_table.h"

#include <algorithm>

#include "data/gbk_text.h"
#include "data/table_text_format.h"

namespace velmor {

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
  FieldsChanged();
  indexName_.clear();
}

int TMemTable::FieldIndex(std::string_view name) const {
  for (size_t i = 0; i < fields_.size(); ++i) {
    if (SameTextAscii(fields_[i].Name, name)) return static_cast<int>(i);
  }
  return -1;
}

int TMemTable::RequireField(std::string_view name) const {
  const int i = FieldIndex(name);
  if (i < 0) throw TableError("Field '" + std::string(name) + "' not found");
  return i;
}

int TMemTable::FindIndex(std::string_view name) const {
  if (name.empty()) return -1;
  auto it = std::find_if(indexes_.begin(), indexes_.end(),
                         [&](const Index& x) { return SameTextAscii(x.def.Name, name); });
  if (it == indexes_.end()) throw TableError("Index '" + std::string(name) + "' not found");
  return static_cast<int>(it - indexes_.begin());
}

const uint32_t* TMemTable::OrderOf(int index) const {
  if (index < 0 || rowCount_ == 0) return nullptr;
  return indexes_[static_cast<size_t>(index)].order.data();
}

void TMemTable::SetIndexName(std::string_view name) {
  current_ = FindIndex(name);
  indexName_ = current_ < 0 ? std::string() : indexes_[static_cast<size_t>(current_)].def.Name;
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

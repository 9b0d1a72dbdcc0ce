#include "data/mem_table.h"

#include <algorithm>
#include <cstring>
#include <thread>

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

void TMemTable::LoadFromBuffer(ResourceBuffer&& text, TTableTextFormat& format) {
  try {
    format.Read(*this, std::move(text));
  } catch (...) {
    Clear();
    throw;
  }
}

void TMemTable::Clear() {
  fields_.clear();
  indexDefs_.clear();
  indexes_.clear();
  arena_ = {};
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

namespace {

// Byte order of two short texts without a library call: keys are station names and train
// numbers of a few bytes, for which the call costs more than the comparison.
int CompareBytes(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    if (a[i] != b[i])
      return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[i]) ? -1 : 1;
  }
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

// The first eight bytes of a text as a big-endian number: comparing two of them orders most
// keys by one integer comparison.
uint64_t Prefix(std::string_view s) {
  unsigned char b[8] = {};
  // An empty text may have no bytes behind it at all.
  if (!s.empty()) std::memcpy(b, s.data(), std::min<size_t>(s.size(), 8));
  uint64_t v = 0;
  for (unsigned char c : b) v = v << 8 | c;
  return v;
}

}  // namespace

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
        c = CompareBytes(a, b);
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
  const int f = ix.fields[0];
  if (!IsTextField(f) || ix.def.Descending || ix.def.CaseInsensitive) {
    std::stable_sort(ix.order.begin(), ix.order.end(),
                     [&](uint32_t x, uint32_t y) { return CompareRows(ix, x, y) < 0; });
    return;
  }
  // A leading text key (stations and train numbers: a few thousand values over many rows)
  // sorts by a stable radix sort of its first eight bytes, one linear pass per byte that
  // differs at all. Rows with equal prefixes then stand in load order, which is already their
  // order unless a key is longer than eight bytes or a later key field disagrees.
  struct Key {
    uint64_t prefix;
    uint32_t row;
  };
  std::vector<Key> keys(rowCount_);
  std::vector<Key> spare(rowCount_);
  for (size_t i = 0; i < rowCount_; ++i)
    keys[i] = {Prefix(CellText(i, f)), static_cast<uint32_t>(i)};
  for (int shift = 0; shift < 64; shift += 8) {
    size_t count[257] = {};
    for (const Key& k : keys) ++count[((k.prefix >> shift) & 0xFF) + 1];
    if (count[((keys[0].prefix >> shift) & 0xFF) + 1] == rowCount_) continue;
    for (size_t d = 1; d < 257; ++d) count[d] += count[d - 1];
    for (const Key& k : keys) spare[count[(k.prefix >> shift) & 0xFF]++] = k;
    keys.swap(spare);
  }
  for (size_t i = 0; i < rowCount_; ++i) ix.order[i] = keys[i].row;
  auto less = [&](uint32_t x, uint32_t y) { return CompareRows(ix, x, y) < 0; };
  for (size_t i = 0; i < rowCount_;) {
    size_t j = i + 1;
    while (j < rowCount_ && keys[j].prefix == keys[i].prefix) ++j;
    const auto from = ix.order.begin() + static_cast<std::ptrdiff_t>(i);
    const auto to = ix.order.begin() + static_cast<std::ptrdiff_t>(j);
    if (j - i > 1 && !std::is_sorted(from, to, less)) std::stable_sort(from, to, less);
    i = j;
  }
}

bool TMemTable::BuildIndex(Index& ix) const {
  ix.order.resize(rowCount_);
  for (size_t i = 0; i < rowCount_; ++i) ix.order[i] = static_cast<uint32_t>(i);
  // Texts usually stand in the order of their main index already: one pass over neighbours
  // both checks that and finds duplicates of a unique key.
  bool sorted = true;
  bool duplicate = false;
  for (size_t i = 1; i < rowCount_ && sorted; ++i) {
    const int c = CompareRows(ix, static_cast<uint32_t>(i - 1), static_cast<uint32_t>(i));
    sorted = c <= 0;
    duplicate = duplicate || c == 0;
  }
  if (sorted) return !(ix.def.Unique && duplicate);
  SortIndex(ix);
  if (!ix.def.Unique) return true;
  for (size_t i = 1; i < ix.order.size(); ++i) {
    if (CompareRows(ix, ix.order[i - 1], ix.order[i]) == 0) return false;
  }
  return true;
}

void TMemTable::BuildIndexes() {
  // The indexes of a big table are independent of each other: the first one is built on a
  // thread of its own while this thread builds the rest.
  std::vector<char> ok(indexes_.size(), 1);
  std::thread first;
  size_t from = 0;
  if (indexes_.size() > 1 && rowCount_ >= kParallelRows) {
    first = std::thread([&] { ok[0] = BuildIndex(indexes_[0]) ? 1 : 0; });
    from = 1;
  }
  for (size_t k = from; k < indexes_.size(); ++k) ok[k] = BuildIndex(indexes_[k]) ? 1 : 0;
  if (first.joinable()) first.join();
  if (std::find(ok.begin(), ok.end(), 0) != ok.end()) {
    throw TableError("Duplicate index value. Operation aborted.");
  }
}

size_t TMemTable::MemoryBytes() const {
  size_t n = arena_.size + cells_.capacity() * sizeof(Cell);
  for (const Index& ix : indexes_) n += ix.order.capacity() * sizeof(uint32_t);
  return n;
}

}  // namespace velmor

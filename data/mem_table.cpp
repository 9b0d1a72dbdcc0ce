#include "data/mem_table.h"

#include <algorithm>
#include <bit>
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

// The distinct values of one text field, each row's value numbered in order of first
// appearance: an open-addressing table over views into the arena, so no value is copied. Every
// view lies in the arena, which has ResourceBuffer::kTail readable bytes behind its end, so the
// first eight bytes of any value read as one word; most values differ there.
class DistinctTexts {
 public:
  // The number of `text`; a text not met before gets the next one.
  uint32_t Number(std::string_view text) {
    if (values_.size() * 2 >= slots_.size()) Grow();
    const uint64_t head = Head(text);
    const size_t mask = slots_.size() - 1;
    for (size_t at = Hash(head, text) & mask;; at = (at + 1) & mask) {
      const uint32_t slot = slots_[at];
      if (slot == 0) {
        values_.push_back({head, text});
        slots_[at] = static_cast<uint32_t>(values_.size());
        return static_cast<uint32_t>(values_.size() - 1);
      }
      const Value& v = values_[slot - 1];
      if (v.head == head && v.text.size() == text.size() &&
          (text.size() <= 8 ||
           std::memcmp(v.text.data() + 8, text.data() + 8, text.size() - 8) == 0)) {
        return slot - 1;
      }
    }
  }

  // The values' numbers in byte order of the values.
  std::vector<uint32_t> InByteOrder() const {
    struct Key {
      uint64_t order;  // the first eight bytes as a big-endian number
      uint32_t value;
    };
    std::vector<Key> keys(values_.size());
    for (uint32_t v = 0; v < keys.size(); ++v) {
      const uint64_t h = values_[v].head;
      keys[v] = {std::endian::native == std::endian::little ? __builtin_bswap64(h) : h, v};
    }
    std::sort(keys.begin(), keys.end(), [&](const Key& x, const Key& y) {
      if (x.order != y.order) return x.order < y.order;
      return CompareBytes(values_[x.value].text, values_[y.value].text) < 0;
    });
    std::vector<uint32_t> out(keys.size());
    for (size_t k = 0; k < keys.size(); ++k) out[k] = keys[k].value;
    return out;
  }
  size_t Count() const { return values_.size(); }

 private:
  struct Value {
    uint64_t head;
    std::string_view text;
  };
  // The first eight bytes in memory order, zeros past the end of a shorter value.
  static uint64_t Head(std::string_view s) {
    if (s.empty()) return 0;
    uint64_t w = 0;
    std::memcpy(&w, s.data(), 8);
    if (s.size() >= 8) return w;
    const uint64_t keep = ~uint64_t{0} >> (8 * (8 - s.size()));
    return std::endian::native == std::endian::little ? w & keep
                                                      : w & ~(~uint64_t{0} >> (8 * s.size()));
  }
  static size_t Hash(uint64_t head, std::string_view s) {
    uint64_t h = head ^ s.size();
    for (size_t i = 8; i < s.size(); ++i)
      h = (h ^ static_cast<unsigned char>(s[i])) * 0x100000001b3ull;
    // Every bit of the value moves the low bits the table's slot is taken from.
    h = (h ^ h >> 33) * 0xff51afd7ed558ccdull;
    h = (h ^ h >> 33) * 0xc4ceb9fe1a85ec53ull;
    return static_cast<size_t>(h ^ h >> 33);
  }
  void Grow() {
    std::vector<uint32_t> slots(std::max<size_t>(slots_.size() * 2, 1024), 0);
    const size_t mask = slots.size() - 1;
    for (uint32_t v = 0; v < values_.size(); ++v) {
      size_t at = Hash(values_[v].head, values_[v].text) & mask;
      while (slots[at] != 0) at = (at + 1) & mask;
      slots[at] = v + 1;
    }
    slots_.swap(slots);
  }

  std::vector<uint32_t> slots_;  // 0 for a free slot, else the value's number + 1
  std::vector<Value> values_;
};

}  // namespace

int TMemTable::CompareRows(const Index& index, uint32_t x, uint32_t y, size_t* differs) const {
  for (size_t k = 0; k < index.fields.size(); ++k) {
    const int f = index.fields[k];
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
    if (c != 0) {
      if (differs) *differs = k;
      return index.def.Descending ? -c : c;
    }
  }
  if (differs) *differs = index.fields.size();
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
  // sorts by its distinct values: only those are compared, and the rows are placed by a
  // stable counting sort on their value's rank. Rows of one value then stand in load order,
  // which is already their order unless a later key field disagrees.
  DistinctTexts distinct;
  std::vector<uint32_t> valueOf(rowCount_);
  for (size_t i = 0; i < rowCount_; ++i) valueOf[i] = distinct.Number(CellText(i, f));
  const std::vector<uint32_t> byText = distinct.InByteOrder();
  // start[r] ends as where the rows of the value ranked r begin.
  std::vector<uint32_t> rank(distinct.Count());
  std::vector<uint32_t> start(distinct.Count() + 1, 0);
  for (uint32_t r = 0; r < byText.size(); ++r) rank[byText[r]] = r;
  for (uint32_t v : valueOf) ++start[rank[v] + 1];
  for (size_t r = 1; r < start.size(); ++r) start[r] += start[r - 1];
  std::vector<uint32_t> next(start.begin(), start.end() - 1);
  ix.leadingRanks.resize(rowCount_);
  for (size_t i = 0; i < rowCount_; ++i) {
    ix.leadingRanks[i] = rank[valueOf[i]];
    ix.order[next[rank[valueOf[i]]]++] = static_cast<uint32_t>(i);
  }
  if (ix.fields.size() == 1) return;
  auto less = [&](uint32_t x, uint32_t y) { return CompareRows(ix, x, y) < 0; };
  for (size_t r = 0; r + 1 < start.size(); ++r) {
    const auto from = ix.order.begin() + static_cast<std::ptrdiff_t>(start[r]);
    const auto to = ix.order.begin() + static_cast<std::ptrdiff_t>(start[r + 1]);
    if (to - from > 1 && !std::is_sorted(from, to, less)) std::stable_sort(from, to, less);
  }
}

bool TMemTable::BuildIndex(Index& ix) const {
  ix.order.resize(rowCount_);
  for (size_t i = 0; i < rowCount_; ++i) ix.order[i] = static_cast<uint32_t>(i);
  const int lead = ix.fields[0];
  const bool ranked = IsTextField(lead) && !ix.def.Descending && !ix.def.CaseInsensitive;
  // Texts usually stand in the order of their main index already: one pass over neighbours
  // checks that, finds duplicates of a unique key and ranks the leading values.
  bool sorted = true;
  bool duplicate = false;
  if (ranked) ix.leadingRanks.assign(rowCount_, 0);
  for (size_t i = 1; i < rowCount_ && sorted; ++i) {
    size_t differs = 0;
    const int c = CompareRows(ix, static_cast<uint32_t>(i - 1), static_cast<uint32_t>(i), &differs);
    sorted = c <= 0;
    duplicate = duplicate || c == 0;
    if (ranked) ix.leadingRanks[i] = ix.leadingRanks[i - 1] + (differs == 0 ? 1 : 0);
  }
  if (sorted) {
    ix.loadOrder = true;
    return !(ix.def.Unique && duplicate);
  }
  ix.leadingRanks.clear();
  SortIndex(ix);
  if (!ix.def.Unique) return true;
  for (size_t i = 1; i < ix.order.size(); ++i) {
    if (CompareRows(ix, ix.order[i - 1], ix.order[i]) == 0) return false;
  }
  return true;
}

const std::vector<uint32_t>& TMemTable::LeadingRanks(std::string_view index) const {
  static const std::vector<uint32_t> kNone;
  const int k = FindIndex(index);
  return k < 0 ? kNone : indexes_[static_cast<size_t>(k)].leadingRanks;
}

bool TMemTable::InLoadOrder(std::string_view index) const {
  const int k = FindIndex(index);
  return k < 0 || indexes_[static_cast<size_t>(k)].loadOrder;
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
  for (const Index& ix : indexes_) {
    n += (ix.order.capacity() + ix.leadingRanks.capacity()) * sizeof(uint32_t);
  }
  return n;
}

}  // namespace velmor

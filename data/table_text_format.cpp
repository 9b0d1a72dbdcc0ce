#include "data/table_text_format.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <exception>
#include <functional>
#include <limits>
#include <thread>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "data/gbk_text.h"
#include "data/mem_table.h"

namespace velmor {

namespace {

bool IsLineBreak(char c) {
  return c == '\r' || c == '\n' || c == '\0';
}

// Items of a definition list: quoted with doubled quotes inside, or bare up to a comma or blank.
std::vector<std::string> SplitDefinitionItems(std::string_view s) {
  std::vector<std::string> items;
  size_t i = 0;
  while (i <= s.size()) {
    std::string item;
    if (i < s.size() && s[i] == '"') {
      ++i;
      while (i < s.size()) {
        if (s[i] == '"') {
          if (i + 1 < s.size() && s[i + 1] == '"') {
            item += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        item += s[i++];
      }
    } else {
      while (i < s.size() && s[i] != ',' && s[i] != ' ') item += s[i++];
    }
    items.push_back(std::move(item));
    while (i < s.size() && s[i] != ',') ++i;
    if (i >= s.size()) break;
    ++i;  // the comma; a comma at the very end yields one more, empty item
    if (i == s.size()) {
      items.emplace_back();
      break;
    }
  }
  return items;
}

bool AllDigits(const char* begin, const char* end) {
  for (; begin != end; ++begin) {
    if (static_cast<unsigned char>(*begin - '0') > 9) return false;
  }
  return true;
}

// The arena's data rows are followed by this many NUL bytes, so a block read never leaves it.
constexpr size_t kPadding = 64;

// Finds the bytes that end the plain run of a value (the quote, the escape character, line
// breaks) 64 bytes at a time: a block's stops become one bit mask, and each value's end is
// one count of trailing zeros. The stretches between quotes are short but of every length,
// and a loop over bytes or words mispredicts its exit once per value. The text holds a NUL at
// its end and kPadding bytes behind it.
class StopFinder {
 public:
  StopFinder(char quote, char escape) : quoteByte_(quote), escapeByte_(escape) {}

  // The first stop byte from `q` on.
  const char* Next(const char* q) {
    for (;;) {
      // As addresses: before the first block there is no block to measure from.
      const uintptr_t offset = reinterpret_cast<uintptr_t>(q) - reinterpret_cast<uintptr_t>(base_);
      if (offset < 64) {
        const uint64_t m = mask_ >> offset;
        if (m != 0) return q + std::countr_zero(m);
        q = base_ + 64;
      }
      Load(q);
    }
  }

 private:
  void Load(const char* q) {
    base_ = q;
    uint64_t m = 0;
#ifdef __SSE2__
    for (int k = 0; k < 4; ++k) {
      const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q + 16 * k));
      const __m128i hit =
          _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(x, quote_), _mm_cmpeq_epi8(x, escape_)),
                       _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(x, cr_), _mm_cmpeq_epi8(x, lf_)),
                                    _mm_cmpeq_epi8(x, _mm_setzero_si128())));
      m |= static_cast<uint64_t>(static_cast<uint16_t>(_mm_movemask_epi8(hit))) << (16 * k);
    }
#else
    for (int k = 0; k < 64; ++k) {
      const char c = q[k];
      if (c == quoteByte_ || c == escapeByte_ || IsLineBreak(c)) m |= uint64_t{1} << k;
    }
#endif
    mask_ = m;
  }

  const char quoteByte_;
  const char escapeByte_;
#ifdef __SSE2__
  const __m128i quote_ = _mm_set1_epi8(quoteByte_);
  const __m128i escape_ = _mm_set1_epi8(escapeByte_);
  const __m128i cr_ = _mm_set1_epi8('\r');
  const __m128i lf_ = _mm_set1_epi8('\n');
#endif
  const char* base_ = nullptr;
  uint64_t mask_ = 0;
};

int ParseIntOr(std::string_view s, int fallback) {
  int v = 0;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  return (ec == std::errc() && p == s.data() + s.size()) ? v : fallback;
}

}  // namespace

std::vector<std::string> TTableTextFormat::SplitLine(std::string_view line) const {
  std::vector<std::string> fields;
  size_t i = 0;
  while (i < line.size()) {
    std::string value;
    bool quoted = false;
    for (; i < line.size(); ++i) {
      char c = line[i];
      if (c == CSVQuote) {
        if (quoted && i + 1 < line.size() && line[i + 1] == CSVQuote) {
          value += c;
          ++i;
        } else {
          quoted = !quoted;
        }
      } else if (!quoted && (c == CSVFieldDelimiter || c == CSVRecordDelimiter)) {
        ++i;
        break;
      } else {
        value += c;
      }
    }
    fields.push_back(std::move(value));
  }
  return fields;
}

TFieldDef TTableTextFormat::ParseFieldDef(std::string_view text) const {
  TFieldDef def;
  size_t eq = text.find('=');
  def.Name = std::string(text.substr(0, eq));
  std::string_view body = eq == std::string_view::npos ? std::string_view() : text.substr(eq + 1);
  std::vector<std::string> items = SplitDefinitionItems(body);
  const std::string type = items.empty() ? std::string() : items[0];
  if (type == "WideString" || type == "String") {
    def.DataType = TFieldType::ftWideString;
  } else if (type == "SmallInt" || type == "Smallint") {
    def.DataType = TFieldType::ftSmallint;
  } else if (type == "Integer") {
    def.DataType = TFieldType::ftInteger;
  } else {
    throw TableError("Unknown field type (" + type + ") in CSV file. (" + std::string(body) + ")");
  }
  def.Size = items.size() > 1 ? ParseIntOr(items[1], 0) : 0;
  def.DisplayLabel = items.size() > 2 ? items[2] : def.Name;
  def.EditMask = items.size() > 3 ? items[3] : std::string();
  def.DisplayWidth = items.size() > 4 ? ParseIntOr(items[4], 0) : 0;
  if (items.size() >= 6) {
    const std::string& kind = items[5];
    bool known = kind == "Data" || kind == "Calculated" || kind == "Lookup" ||
                 kind == "InternalCalc" || kind == "Aggregate";
    def.Kind = known ? kind : "Data";
  }
  if (items.size() > 6) def.DefaultExpression = items.back();
  def.Required = body.find(",REQ") != std::string_view::npos;
  def.ReadOnly = body.find(",RO") != std::string_view::npos;
  def.Visible = body.find(",INV") == std::string_view::npos;
  return def;
}

TIndexDef TTableTextFormat::ParseIndexDef(std::string_view text) const {
  TIndexDef def;
  size_t eq = text.find('=');
  std::string_view body = eq == std::string_view::npos ? std::string_view() : text.substr(eq + 1);
  std::vector<std::string> items = SplitDefinitionItems(body);
  def.Name = items.size() > 1 && !items[1].empty() ? items[1] : std::string(text.substr(0, eq));
  if (!items.empty()) {
    std::string_view f = items[0];
    while (!f.empty()) {
      size_t semi = f.find(';');
      def.FieldNames.emplace_back(f.substr(0, semi));
      if (semi == std::string_view::npos) break;
      f.remove_prefix(semi + 1);
    }
  }
  def.Unique = text.find(",UNIQ") != std::string_view::npos;
  def.Descending = text.find(",DESC") != std::string_view::npos;
  def.CaseInsensitive = text.find(",CASE") != std::string_view::npos;
  def.NonMaintained = text.find(",NONMT") != std::string_view::npos;
  return def;
}

bool TTableTextFormat::NextLine(std::string_view& line) {
  while (pos_ < stream_.size() && IsLineBreak(stream_[pos_])) ++pos_;
  if (pos_ >= stream_.size()) return false;
  size_t start = pos_;
  lineStart_ = start;
  // Every line break byte is at most CR, so one comparison passes almost every byte.
  while (pos_ < stream_.size() &&
         (static_cast<unsigned char>(stream_[pos_]) > '\r' || !IsLineBreak(stream_[pos_]))) {
    ++pos_;
  }
  line = stream_.substr(start, pos_ - start);
  return true;
}

void TTableTextFormat::AppendEscapedValue(std::string& arena, std::string_view raw) const {
  for (size_t i = 0; i < raw.size(); ++i) {
    char c = raw[i];
    if (c != EscapeChar) {
      arena += c;
      continue;
    }
    if (i + 1 == raw.size()) break;  // a trailing escape character is dropped
    char n = raw[++i];
    if (n == EscapeChar) {
      arena += EscapeChar;
    } else if (n == 'c') {
      arena += '\r';
    } else if (n == 'n') {
      arena += '\n';
    } else if (n == '0') {
      arena += '\0';
    } else {
      arena += c;
      arena += n;
    }
  }
}

std::string_view TTableTextFormat::NextValue(std::string_view line, size_t& i,
                                             std::string& scratch) const {
  const size_t n = line.size();
  scratch.clear();
  bool quoted = false;
  while (i < n) {
    size_t j = i;
    if (quoted) {
      while (j < n && line[j] != CSVQuote) ++j;
    } else {
      while (j < n && line[j] != CSVQuote && line[j] != CSVFieldDelimiter &&
             line[j] != CSVRecordDelimiter) {
        ++j;
      }
    }
    scratch.append(line.data() + i, j - i);
    i = j;
    if (i == n) break;
    if (line[i] != CSVQuote) {
      ++i;  // the delimiter ends the field
      break;
    }
    if (quoted && i + 1 < n && line[i + 1] == CSVQuote) {
      scratch += CSVQuote;
      i += 2;
    } else {
      quoted = !quoted;
      ++i;
    }
  }
  return scratch;
}

void TTableTextFormat::StoreInteger(const TMemTable& table, TMemTable::Cell& cell, int f,
                                    std::string_view value) const {
  int32_t v = 0;
  auto [p, ec] = std::from_chars(value.data(), value.data() + value.size(), v);
  bool ok = ec == std::errc() && p == value.data() + value.size();
  if (ok && table.fields_[static_cast<size_t>(f)].DataType == TFieldType::ftSmallint) {
    ok = v >= std::numeric_limits<int16_t>::min() && v <= std::numeric_limits<int16_t>::max();
  }
  if (!ok) {
    throw TableError("'" + std::string(value) + "' is not a valid integer value for field '" +
                     table.fields_[static_cast<size_t>(f)].Name + "'");
  }
  cell = {static_cast<uint32_t>(v), TMemTable::kIntValue};
}

void TTableTextFormat::ReadSpan(const TMemTable& table, const char* text, const char* end,
                                RowSpan& span) const {
  StopFinder stops(CSVQuote, EscapeChar);
  const char fieldDelimiter = CSVFieldDelimiter;
  const char recordDelimiter = CSVRecordDelimiter;
  const char quote = CSVQuote;
  const auto isDelimiter = [=](char c) { return c == fieldDelimiter || c == recordDelimiter; };

  const size_t nf = table.fields_.size();
  const std::vector<int>& columnField = columnField_;
  const size_t columns = columnField.size();
  const unsigned char* const isText = table.isText_.data();
  std::vector<TMemTable::Cell> nullRow(nf);
  for (size_t f = 0; f < nf; ++f) {
    nullRow[f] = isText[f] ? TMemTable::Cell{0, TMemTable::kNullText}
                           : TMemTable::Cell{0, TMemTable::kIntNull};
  }
  std::string scratch;
  std::string unescaped;

  const char* p = span.begin;
  for (;;) {
    while (p != end && IsLineBreak(*p)) ++p;
    if (p == end) break;
    if (span.rows == span.capacityRows) {
      span.full = true;
      return;
    }
    const char* const lineBegin = p;
    span.lineStart = lineBegin;
    const size_t base = span.rows * nf;
    TMemTable::Cell* row = span.cells + base;
    std::copy(nullRow.begin(), nullRow.end(), row);
    size_t column = 0;
    while (column < columns) {
      const int f = columnField[column];
      if (*p == quote) {
        const char* const q = stops.Next(p + 1);
        const char after = q[1];
        const bool delimited = isDelimiter(after);
        if (*q == quote && (delimited || IsLineBreak(after))) {
          ++column;
          const char* const begin = p + 1;
          p = delimited ? q + 2 : q + 1;
          if (f < 0) continue;
          TMemTable::Cell& cell = row[f];
          const auto length = static_cast<uint32_t>(q - begin);
          if (isText[f]) {
            cell = {static_cast<uint32_t>(begin - text), length};
          } else if (length != 0 && length < 5 && AllDigits(begin, q)) {
            int32_t v = 0;
            for (const char* d = begin; d != q; ++d) v = v * 10 + (*d - '0');
            cell = {static_cast<uint32_t>(v), TMemTable::kIntValue};
          } else if (length != 0) {
            StoreInteger(table, cell, f, std::string_view(begin, length));
          }
          continue;
        }
      } else if (IsLineBreak(*p)) {
        break;
      }
      // Anything else (doubled quotes, escapes, bytes outside quotes, a line ending inside
      // quotes) takes the general rules for the rest of the line.
      const char* lineEnd = p;
      while (!IsLineBreak(*lineEnd)) ++lineEnd;
      const std::string_view line(lineBegin, static_cast<size_t>(lineEnd - lineBegin));
      size_t i = static_cast<size_t>(p - lineBegin);
      while (i < line.size() && column < columns) {
        std::string_view value = NextValue(line, i, scratch);
        const int g = columnField[column++];
        if (g < 0) continue;
        if (!isText[g]) {
          if (!value.empty()) StoreInteger(table, row[g], g, value);
          continue;
        }
        if (value.find(EscapeChar) != std::string_view::npos) {
          unescaped.clear();
          AppendEscapedValue(unescaped, value);
          value = unescaped;
        }
        // Placed behind the copied rows once every span is read. Two header columns may name
        // one field: the later value wins, and its cell is moved behind the rows only once.
        row[g] = {static_cast<uint32_t>(span.extra.size()), static_cast<uint32_t>(value.size())};
        const size_t cell = base + static_cast<size_t>(g);
        bool listed = false;
        for (auto it = span.extraCells.rbegin(); it != span.extraCells.rend() && *it >= base;
             ++it) {
          listed = listed || *it == cell;
        }
        if (!listed) span.extraCells.push_back(cell);
        span.extra.append(value);
      }
      p = lineEnd;
    }
    while (!IsLineBreak(*p)) ++p;  // fields beyond the header's columns are ignored
    ++span.rows;
  }
}

namespace {

// Line feeds: one more than this is the rows of a text whose lines end in LF or CR LF.
size_t CountLineFeeds(const char* from, const char* to) {
  size_t n = 0;
  for (const char* q = from;
       (q = static_cast<const char*>(std::memchr(q, '\n', static_cast<size_t>(to - q)))) != nullptr;
       ++q) {
    ++n;
  }
  return n;
}

// Every byte that ends a line: one more than this bounds the rows of any text.
size_t CountLineBreaks(const char* from, const char* to) {
  return static_cast<size_t>(std::count_if(from, to, IsLineBreak));
}

// Runs `second` on a thread of its own beside `first` when asked to, else one after the other.
template <typename First, typename Second>
void RunBoth(bool apart, First first, Second second) {
  if (!apart) {
    first();
    second();
    return;
  }
  std::thread other(second);
  first();
  other.join();
}

}  // namespace

void TTableTextFormat::ReadDataRows(TMemTable& table, ResourceBuffer* owned) {
  // A plain quoted value (almost every value) becomes a cell pointing at its own bytes in the
  // text: no per-value copy. A text the table takes over is read where it lies; any other is
  // copied once. Values that need their quotes or escapes undone are gathered per span and
  // appended behind the text. The NULs behind the text are line breaks, so the scans need no
  // bounds check.
  static_assert(ResourceBuffer::kTail >= kPadding);
  const size_t dataStart = pos_;
  const size_t dataSize = stream_.size() - dataStart;
  if (dataSize >= TMemTable::kMaxTextLength) throw TableError("Table text too large");
  ResourceBuffer& arena = table.arena_;
  size_t textAt = dataStart;  // where the data rows start in the arena
  if (owned) {
    arena = std::move(*owned);
  } else {
    arena = {std::unique_ptr<char[]>(new char[dataSize + ResourceBuffer::kTail]), dataSize};
    std::memcpy(arena.data.get(), stream_.data() + dataStart, dataSize);
    std::memset(arena.data.get() + dataSize, 0, ResourceBuffer::kTail);
    textAt = 0;
  }
  if (arena.size >= TMemTable::kMaxTextLength) throw TableError("Table text too large");
  const char* const text = arena.data.get();
  const char* const end = text + textAt + dataSize;

  // A big text is read in two halves, the second on a thread of its own; the halves meet at
  // a line break. Their lines are counted first, so that both write their cells straight
  // into the table's one block.
  RowSpan spans[2];
  spans[0].begin = text + textAt;
  spans[1].begin = end;
  if (dataSize >= kSplitBytes) {
    const char* mid =
        static_cast<const char*>(std::memchr(spans[0].begin + dataSize / 2, '\n', dataSize / 2));
    if (mid) spans[1].begin = mid;
  }
  const bool apart = spans[1].begin != end;
  const size_t nf = table.fields_.size();
  TMemTable::Cells& cells = table.cells_;
  auto read = [&](RowSpan& span, const char* to) {
    try {
      ReadSpan(table, text, to, span);
    } catch (...) {
      span.error = std::current_exception();
    }
  };
  // Line feeds give the room almost every text needs; a text whose lines end otherwise (a
  // bare CR, a NUL) fills it early and is read again with every line break counted.
  for (const auto count : {CountLineFeeds, CountLineBreaks}) {
    size_t lines[2] = {0, 0};
    RunBoth(
        apart, [&] { lines[0] = count(spans[0].begin, spans[1].begin); },
        [&] { lines[1] = count(spans[1].begin, end); });
    cells = TMemTable::Cells((lines[0] + lines[1] + 2) * nf);
    for (int k = 0; k < 2; ++k) {
      RowSpan& span = spans[k];
      const char* const begin = span.begin;
      span = RowSpan();
      span.begin = begin;
      span.cells = cells.data() + (k ? (lines[0] + 1) * nf : 0);
      span.capacityRows = lines[k] + 1;
    }
    RunBoth(
        apart, [&] { read(spans[0], spans[1].begin); }, [&] { read(spans[1], end); });
    if (!spans[0].full && !spans[1].full) break;
  }
  // The first failure in the text is the one reported.
  for (const RowSpan& span : spans) {
    if (span.error) {
      lineStart_ = static_cast<size_t>(span.lineStart - text) - textAt + dataStart;
      std::rethrow_exception(span.error);
    }
  }

  // Empty lines leave slots unused: the second half's cells close up behind the first's.
  const size_t secondBase = spans[0].rows * nf;
  if (spans[1].cells != cells.data() + secondBase) {
    std::memmove(cells.data() + secondBase, spans[1].cells,
                 spans[1].rows * nf * sizeof(TMemTable::Cell));
  }
  table.rowCount_ = spans[0].rows + spans[1].rows;
  cells.resize(table.rowCount_ * nf);

  const size_t extraBytes = spans[0].extra.size() + spans[1].extra.size();
  if (extraBytes == 0) return;
  const size_t at = arena.size + ResourceBuffer::kTail;
  if (at + extraBytes >= TMemTable::kMaxTextLength) throw TableError("Table text too large");
  ResourceBuffer joined{std::unique_ptr<char[]>(new char[at + extraBytes + ResourceBuffer::kTail]),
                        at + extraBytes};
  std::memcpy(joined.data.get(), text, at);
  size_t next = at;
  for (int k = 0; k < 2; ++k) {
    const RowSpan& span = spans[k];
    for (size_t c : span.extraCells)
      cells[(k ? secondBase : 0) + c].a += static_cast<uint32_t>(next);
    std::memcpy(joined.data.get() + next, span.extra.data(), span.extra.size());
    next += span.extra.size();
  }
  std::memset(joined.data.get() + next, 0, ResourceBuffer::kTail);
  arena = std::move(joined);
}

void TTableTextFormat::Read(TMemTable& table, std::string_view stream) {
  ReadGuarded(table, stream, nullptr);
}

void TTableTextFormat::Read(TMemTable& table, ResourceBuffer&& text) {
  ReadGuarded(table, text.View(), &text);
}

void TTableTextFormat::ReadGuarded(TMemTable& table, std::string_view stream,
                                   ResourceBuffer* owned) {
  try {
    ReadLines(table, stream, owned);
  } catch (const TableError& e) {
    // Checks over the whole table (unique indexes) belong to no one line.
    std::string where;
    if (lineStart_ != kNoLine) where = " (line " + std::to_string(LineNumberAt(lineStart_)) + ")";
    stream_ = {};
    throw TableError(e.what() + where);
  }
}

size_t TTableTextFormat::LineNumberAt(size_t offset) const {
  // Counted only when a read fails, so the hot path never counts line breaks.
  size_t line = 1;
  for (size_t i = 0; i < offset && i < stream_.size(); ++i) {
    if (stream_[i] == '\n' ||
        (stream_[i] == '\r' && (i + 1 >= stream_.size() || stream_[i + 1] != '\n'))) {
      ++line;
    }
  }
  return line;
}

void TTableTextFormat::ReadLines(TMemTable& table, std::string_view stream, ResourceBuffer* owned) {
  stream_ = stream;
  pos_ = 0;
  lineStart_ = 0;
  columnField_.clear();
  std::vector<TFieldDef> fieldDefs = table.fields_;
  std::vector<TIndexDef> indexDefs = table.indexDefs_;
  table.Clear();

  enum class Where { Outside, Fields, Indexes } where = Where::Outside;
  std::string_view line;
  bool haveHeader = false;
  while (NextLine(line)) {
    std::vector<std::string> first = SplitLine(line);
    const std::string head = first.empty() ? std::string() : first[0];
    if (head == "@@FILE VERSION@@") continue;
    if (head == "@@TABLEDEF START@@") {
      fieldDefs.clear();
      where = Where::Fields;
      continue;
    }
    if (head == "@@INDEXDEF START@@") {
      indexDefs.clear();
      where = Where::Indexes;
      continue;
    }
    if (head == "@@INDEXDEF END@@") {
      where = Where::Fields;
      continue;
    }
    if (head == "@@TABLEDEF END@@") {
      where = Where::Outside;
      continue;
    }
    if (where == Where::Indexes) {
      indexDefs.push_back(ParseIndexDef(head));
    } else if (where == Where::Fields) {
      fieldDefs.push_back(ParseFieldDef(head));
    } else {
      haveHeader = true;
      break;
    }
  }

  std::vector<std::string> columns;
  if (haveHeader) columns = SplitLine(line);
  if (fieldDefs.empty()) {
    // A text without a schema gets one text field per header column.
    for (const std::string& c : columns) {
      TFieldDef d;
      d.Name = d.DisplayLabel = c;
      d.Size = DefaultStringFieldSize;
      fieldDefs.push_back(d);
    }
  }
  table.fields_ = std::move(fieldDefs);
  table.FieldsChanged();
  bool mapped = false;
  for (const std::string& c : columns) {
    int f = -1;
    for (size_t k = 0; k < table.fields_.size(); ++k) {
      if (SameTextAscii(table.fields_[k].DisplayLabel, c)) {
        f = static_cast<int>(k);
        break;
      }
    }
    mapped = mapped || f >= 0;
    columnField_.push_back(f);
  }
  if (!mapped) throw TableError("Couldnt determine field count for load.");

  table.indexDefs_ = std::move(indexDefs);
  for (const TIndexDef& d : table.indexDefs_) {
    TMemTable::Index ix;
    ix.def = d;
    for (const std::string& name : d.FieldNames) {
      int f = table.FieldIndex(name);
      if (f < 0) throw TableError("Field '" + name + "' not found");
      ix.fields.push_back(f);
    }
    if (ix.fields.empty()) throw TableError("Index '" + d.Name + "' has no fields");
    table.indexes_.push_back(std::move(ix));
  }

  ReadDataRows(table, owned);
  lineStart_ = kNoLine;
  if (table.rowCount_ == 0) table.AddNullRow();
  table.BuildIndexes();
  stream_ = {};
}

}  // namespace velmor

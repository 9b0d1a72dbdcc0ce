#include "data/table_text_format.h"

#include <charconv>
#include <limits>

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

std::string_view TTableTextFormat::NextValue(std::string_view line, size_t& i) {
  const size_t n = line.size();
  // Almost every value is one quoted run followed by a delimiter: take it as a view of the line,
  // since this runs for every field of the 3 MB stop table at start-up.
  if (line[i] == CSVQuote) {
    size_t j = i + 1;
    while (j < n && line[j] != CSVQuote) ++j;
    if (j < n &&
        (j + 1 == n || line[j + 1] == CSVFieldDelimiter || line[j + 1] == CSVRecordDelimiter)) {
      std::string_view v = line.substr(i + 1, j - i - 1);
      i = j + 1 < n ? j + 2 : n;
      return v;
    }
  }
  scratch_.clear();
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
    scratch_.append(line.data() + i, j - i);
    i = j;
    if (i == n) break;
    if (line[i] != CSVQuote) {
      ++i;  // the delimiter ends the field
      break;
    }
    if (quoted && i + 1 < n && line[i + 1] == CSVQuote) {
      scratch_ += CSVQuote;
      i += 2;
    } else {
      quoted = !quoted;
      ++i;
    }
  }
  return scratch_;
}

void TTableTextFormat::ReadDataRow(TMemTable& table, std::string_view line) {
  const size_t nf = table.fields_.size();
  const size_t base = table.cells_.size();
  table.cells_.resize(base + nf);
  for (size_t f = 0; f < nf; ++f) {
    table.cells_[base + f] = table.IsTextField(static_cast<int>(f))
                                 ? TMemTable::Cell{0, TMemTable::kNullText}
                                 : TMemTable::Cell{0, TMemTable::kIntNull};
  }
  size_t i = 0;
  size_t column = 0;
  while (i < line.size() && column < columnField_.size()) {
    const std::string_view value = NextValue(line, i);
    int f = columnField_[column++];
    if (f < 0) continue;
    TMemTable::Cell& cell = table.cells_[base + static_cast<size_t>(f)];
    if (table.IsTextField(f)) {
      std::string_view text = value;
      if (value.find(EscapeChar) != std::string_view::npos) {
        unescaped_.clear();
        AppendEscapedValue(unescaped_, value);
        text = unescaped_;
      }
      // A value equal to the one above it (a train's ID on each of its stops, a "-" fare)
      // shares that copy: less memory, and walks can compare positions instead of bytes.
      if (base >= nf) {
        const TMemTable::Cell& above = table.cells_[base - nf + static_cast<size_t>(f)];
        if (above.b == text.size() &&
            std::string_view(table.arena_.data() + above.a, above.b) == text) {
          cell = above;
          continue;
        }
      }
      if (table.arena_.size() + text.size() >= TMemTable::kMaxTextLength) {
        throw TableError("Table text too large");
      }
      cell = {static_cast<uint32_t>(table.arena_.size()), static_cast<uint32_t>(text.size())};
      table.arena_.append(text);
    } else if (!value.empty()) {
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
  }
  ++table.rowCount_;
}

void TTableTextFormat::Read(TMemTable& table, std::string_view stream) {
  try {
    ReadLines(table, stream);
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

void TTableTextFormat::ReadLines(TMemTable& table, std::string_view stream) {
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

  table.arena_.reserve(stream.size() - pos_);
  table.cells_.reserve((stream.size() - pos_) / 24 + 16);
  while (NextLine(line)) ReadDataRow(table, line);
  lineStart_ = kNoLine;
  if (table.rowCount_ == 0) table.AddNullRow();
  table.arena_.shrink_to_fit();
  table.cells_.shrink_to_fit();
  table.BuildIndexes();
  stream_ = {};
}

}  // namespace velmor

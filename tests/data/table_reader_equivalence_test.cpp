// The table reader's fast data-row path against the format's rules applied line by line the
// plain way (the general field splitter, escapes undone, integers converted, indexes by a
// stable sort): same cells, same index orders, same failures with the same line numbers.
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <limits>
#include <memory>
#include <optional>

#include "data/mem_table.h"
#include "data/table_cursor.h"
#include "data/table_text_format.h"
#include "test_tables.h"

namespace velmor {
namespace {

bool IsBreak(char c) {
  return c == '\r' || c == '\n' || c == '\0';
}

// What the plain reading gives: rows of optional values, or the failure message.
struct Expected {
  std::vector<std::vector<std::optional<std::string>>> texts;
  std::vector<std::vector<std::optional<int32_t>>> ints;
  std::string error;
};

size_t LineNumber(std::string_view text, size_t offset) {
  size_t line = 1;
  for (size_t i = 0; i < offset; ++i) {
    if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) {
      ++line;
    }
  }
  return line;
}

std::string Unescape(std::string_view v) {
  std::string out;
  for (size_t i = 0; i < v.size(); ++i) {
    if (v[i] != '%') {
      out += v[i];
    } else if (i + 1 < v.size()) {
      const char n = v[++i];
      out += n == 'c'   ? std::string("\r")
             : n == 'n' ? std::string("\n")
             : n == '0' ? std::string(1, '\0')
             : n == '%' ? std::string("%")
                        : std::string{'%', n};
    }
  }
  return out;
}

// Reads the rows after the header line (which ends at `dataStart`) of a table whose schema
// `table` already holds.
Expected ReadPlainly(const TMemTable& table, std::string_view text, size_t dataStart,
                     const std::vector<int>& columnField) {
  Expected e;
  const TTableTextFormat format;
  const auto& fields = table.FieldDefs();
  size_t i = dataStart;
  while (true) {
    while (i < text.size() && IsBreak(text[i])) ++i;
    if (i >= text.size()) break;
    const size_t start = i;
    while (i < text.size() && !IsBreak(text[i])) ++i;
    const std::vector<std::string> values = format.SplitLine(text.substr(start, i - start));
    std::vector<std::optional<std::string>> texts(fields.size());
    std::vector<std::optional<int32_t>> ints(fields.size());
    for (size_t c = 0; c < values.size() && c < columnField.size(); ++c) {
      const int f = columnField[c];
      if (f < 0) continue;
      const std::string& v = values[c];
      if (fields[static_cast<size_t>(f)].DataType == TFieldType::ftWideString) {
        texts[static_cast<size_t>(f)] = Unescape(v);
        continue;
      }
      if (v.empty()) continue;
      int32_t n = 0;
      auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
      bool ok = ec == std::errc() && p == v.data() + v.size();
      if (fields[static_cast<size_t>(f)].DataType == TFieldType::ftSmallint) {
        ok = ok && n >= std::numeric_limits<int16_t>::min() &&
             n <= std::numeric_limits<int16_t>::max();
      }
      if (!ok) {
        e.error = "'" + v + "' is not a valid integer value for field '" +
                  fields[static_cast<size_t>(f)].Name + "' (line " +
                  std::to_string(LineNumber(text, start)) + ")";
        return e;
      }
      ints[static_cast<size_t>(f)] = n;
    }
    e.texts.push_back(std::move(texts));
    e.ints.push_back(std::move(ints));
  }
  return e;
}

// Rows in the order of an index: a stable sort by its fields, null integers first.
std::vector<size_t> PlainOrder(const Expected& e, const TMemTable& t, const TIndexDef& ix) {
  std::vector<size_t> order(e.texts.size());
  for (size_t r = 0; r < order.size(); ++r) order[r] = r;
  auto cmp = [&](size_t x, size_t y) {
    for (const std::string& name : ix.FieldNames) {
      const auto f = static_cast<size_t>(t.FieldIndex(name));
      static const std::string kNone;
      const std::string& a = e.texts[x][f] ? *e.texts[x][f] : kNone;
      const std::string& b = e.texts[y][f] ? *e.texts[y][f] : kNone;
      if (a != b) return a < b ? -1 : 1;
      const auto& i = e.ints[x][f];
      const auto& j = e.ints[y][f];
      if (i != j) return i < j ? -1 : 1;  // an empty optional orders first
    }
    return 0;
  };
  std::stable_sort(order.begin(), order.end(), [&](size_t x, size_t y) { return cmp(x, y) < 0; });
  for (size_t k = 1; ix.Unique && k < order.size(); ++k) {
    if (cmp(order[k - 1], order[k]) == 0) return {};
  }
  return order;
}

// Loads `text` (copied, or taken over as an inflated buffer is) and compares everything with
// the plain reading; `header` is the header line.
void ExpectSameAsPlain(const std::string& text, size_t dataStart,
                       const std::vector<std::string>& header, const std::string& what,
                       bool takeOver) {
  SCOPED_TRACE(what + (takeOver ? " taken over" : " copied"));
  TMemTable t;
  TTableTextFormat format;
  std::string error;
  try {
    if (takeOver) {
      ResourceBuffer buffer{std::make_unique<char[]>(text.size() + ResourceBuffer::kTail),
                            text.size()};
      std::copy(text.begin(), text.end(), buffer.data.get());
      t.LoadFromBuffer(std::move(buffer), format);
    } else {
      t.LoadFromStreamViaFormat(text, format);
    }
  } catch (const TableError& e) {
    error = e.what();
  }
  // The schema part is read as before; recover it from a clean copy to read the rows plainly.
  TMemTable schema;
  TTableTextFormat f2;
  schema.LoadFromStreamViaFormat(text.substr(0, dataStart), f2);
  std::vector<int> columnField;
  for (const std::string& c : header) {
    int f = -1;
    for (size_t k = 0; k < schema.FieldDefs().size() && f < 0; ++k) {
      if (SameTextAscii(schema.FieldDefs()[k].DisplayLabel, c)) f = static_cast<int>(k);
    }
    columnField.push_back(f);
  }
  const Expected e = ReadPlainly(schema, text, dataStart, columnField);
  if (!e.error.empty()) {
    EXPECT_EQ(error, e.error);
    return;
  }
  for (const TIndexDef& ix : schema.IndexDefs()) {
    if (PlainOrder(e, schema, ix).empty() && !e.texts.empty()) {
      EXPECT_EQ(error, "Duplicate index value. Operation aborted.");
      return;
    }
  }
  ASSERT_EQ(error, "");
  ASSERT_EQ(t.RecordCount(), e.texts.size());
  for (size_t r = 0; r < e.texts.size(); ++r) {
    for (size_t f = 0; f < t.FieldDefs().size(); ++f) {
      const int field = static_cast<int>(f);
      if (t.FieldDefs()[f].DataType == TFieldType::ftWideString) {
        ASSERT_EQ(t.IsNullOf(r, field), !e.texts[r][f].has_value()) << r << "/" << f;
        ASSERT_EQ(t.TextOf(r, field), e.texts[r][f].value_or("")) << r << "/" << f;
      } else {
        ASSERT_EQ(t.IsNullOf(r, field), !e.ints[r][f].has_value()) << r << "/" << f;
        ASSERT_EQ(t.IntegerOf(r, field), e.ints[r][f].value_or(0)) << r << "/" << f;
      }
    }
  }
  for (const TIndexDef& ix : t.IndexDefs()) {
    TTableCursor c(t);
    c.SetIndexName(ix.Name);
    std::vector<size_t> walked;
    for (; !c.Eof(); c.Next()) walked.push_back(c.CurrentRecord());
    EXPECT_EQ(walked, PlainOrder(e, schema, ix)) << ix.Name;
  }
}

void ExpectSameAsPlain(const std::string& text, size_t dataStart,
                       const std::vector<std::string>& header, const std::string& what) {
  for (bool takeOver : {false, true}) ExpectSameAsPlain(text, dataStart, header, what, takeOver);
}

// The end of the header line: the first line after "@@TABLEDEF END@@".
size_t HeaderEnd(const std::string& text, std::vector<std::string>& header) {
  const size_t end = text.find("\"@@TABLEDEF END@@\"");
  size_t i = end + 18;
  while (IsBreak(text[i])) ++i;
  const size_t start = i;
  while (i < text.size() && !IsBreak(text[i])) ++i;
  header = TTableTextFormat().SplitLine(std::string_view(text).substr(start, i - start));
  return i;
}

std::string ReadFile(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(TableReaderEquivalence, BuiltInTablesAndFuzzSeeds) {
  std::vector<std::filesystem::path> files;
  for (const char* name : {"SPY", "SLIST", "SM", "STRAIN"}) {
    files.push_back(std::filesystem::path(VELMOR_SOURCE_DIR) / "resources/tables" /
                    (std::string(name) + ".txt"));
  }
  for (const auto& entry : std::filesystem::directory_iterator(
           std::filesystem::path(VELMOR_SOURCE_DIR) / "tests/fuzz/corpus/table_text")) {
    files.push_back(entry.path());
  }
  for (const auto& p : files) {
    const std::string text = ReadFile(p);
    std::vector<std::string> header;
    ExpectSameAsPlain(text, HeaderEnd(text, header), header, p.filename().string());
  }
}

// Bytes that steer the reader off its fast path, sprinkled over the rows of the stop table
// (big enough to be read in two halves) and of the same-city table.
TEST(TableReaderEquivalence, DamagedRowsGiveTheSameCellsOrFailures) {
  const char kSteering[] = {'"', ',', '%', '\r', '\n', '\0', '\t', 'x', '9', '-', 'c'};
  uint32_t seed = 2011;
  auto rnd = [&] {
    seed = seed * 1103515245u + 12345u;
    return seed >> 8;
  };
  for (const char* name : {"SM", "STRAIN"}) {
    const std::string clean = ReadFile(std::filesystem::path(VELMOR_SOURCE_DIR) /
                                       "resources/tables" / (std::string(name) + ".txt"));
    std::vector<std::string> header;
    const size_t dataStart = HeaderEnd(clean, header);
    for (int round = 0; round < 8; ++round) {
      std::string text = clean;
      const int changes = 1 + static_cast<int>(rnd() % 6);
      for (int k = 0; k < changes; ++k) {
        const size_t at = dataStart + rnd() % (text.size() - dataStart);
        text[at] = kSteering[rnd() % sizeof kSteering];
      }
      ExpectSameAsPlain(text, dataStart, header,
                        std::string(name) + " round " + std::to_string(round));
    }
  }
}

// Lines that end in a bare CR or a NUL outnumber the line feeds the reader sizes its rows by.
TEST(TableReaderEquivalence, LinesEndingWithoutLineFeeds) {
  const std::string clean =
      ReadFile(std::filesystem::path(VELMOR_SOURCE_DIR) / "resources/tables/STRAIN.txt");
  std::vector<std::string> header;
  const size_t dataStart = HeaderEnd(clean, header);
  for (char ending : {'\r', '\0'}) {
    std::string text = clean;
    std::replace(text.begin() + static_cast<std::ptrdiff_t>(dataStart), text.end(), '\n', ending);
    ExpectSameAsPlain(text, dataStart, header, ending == '\r' ? "CR" : "NUL");
  }
}

}  // namespace
}  // namespace velmor

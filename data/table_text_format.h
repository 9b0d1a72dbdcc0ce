// Settings and per-read state for reading a table text (schema, header row, data rows).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmor {

class TMemTable;
struct TFieldDef;
struct TIndexDef;

class TTableTextFormat {
 public:
  char CSVQuote = '"';
  char CSVFieldDelimiter = ',';
  char CSVRecordDelimiter = ',';
  char EscapeChar = '%';
  char CommentChar = '\0';
  int DefaultStringFieldSize = 255;
  std::string CSVTrueString = "True";
  std::string CSVFalseString = "False";

  // Reads one document into `table`, replacing its fields, indexes and rows.
  // Throws TableError on the three reader failures and on a value that is not an integer;
  // the message ends with the line it happened on ("... (line 12)").
  void Read(TMemTable& table, std::string_view stream);

  // Splits one line into its fields by the quote and delimiter rules of the format.
  std::vector<std::string> SplitLine(std::string_view line) const;

  // Parses the first field of a field definition line ("Name=Type,Size,...").
  TFieldDef ParseFieldDef(std::string_view text) const;
  // Parses the first field of an index definition line ("Name=""F1;F2"",""Name"",UNIQ").
  TIndexDef ParseIndexDef(std::string_view text) const;

 private:
  void ReadLines(TMemTable& table, std::string_view stream);
  // 1-based line number of a byte offset of the stream being read.
  size_t LineNumberAt(size_t offset) const;
  bool NextLine(std::string_view& line);
  // The raw bytes of the value starting at `i` (quotes removed), `i` moved past its delimiter.
  // The view lives until the next call.
  std::string_view NextValue(std::string_view line, size_t& i);
  void ReadDataRow(TMemTable& table, std::string_view line);
  void AppendEscapedValue(std::string& arena, std::string_view raw) const;

  // Per-read state: one settings object serves one read at a time.
  std::string_view stream_;
  size_t pos_ = 0;
  static constexpr size_t kNoLine = static_cast<size_t>(-1);
  size_t lineStart_ = 0;  // where the line being read starts, kNoLine once all are read
  std::vector<int> columnField_;
  std::string scratch_;
  std::string unescaped_;
};

}  // namespace velmor

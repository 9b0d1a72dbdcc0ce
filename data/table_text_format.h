// Settings and per-read state for reading a table text (schema, header row, data rows).
#pragma once

#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "data/mem_table.h"

namespace velmor {

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
  // The same for a text the table takes over (TMemTable::LoadFromBuffer).
  void Read(TMemTable& table, ResourceBuffer&& text);

  // Splits one line into its fields by the quote and delimiter rules of the format.
  std::vector<std::string> SplitLine(std::string_view line) const;

  // Parses the first field of a field definition line ("Name=Type,Size,...").
  TFieldDef ParseFieldDef(std::string_view text) const;
  // Parses the first field of an index definition line ("Name=""F1;F2"",""Name"",UNIQ").
  TIndexDef ParseIndexDef(std::string_view text) const;

 private:
  // Reads `stream`, which is `owned`'s text when the table takes that over (else nullptr);
  // a failure's message gains its line.
  void ReadGuarded(TMemTable& table, std::string_view stream, ResourceBuffer* owned);
  void ReadLines(TMemTable& table, std::string_view stream, ResourceBuffer* owned);
  // 1-based line number of a byte offset of the stream being read.
  size_t LineNumberAt(size_t offset) const;
  bool NextLine(std::string_view& line);
  // The value starting at `i` by the general rules (quotes removed), `i` moved past its
  // delimiter. The view lives in `scratch` until its next use.
  std::string_view NextValue(std::string_view line, size_t& i, std::string& scratch) const;
  void AppendEscapedValue(std::string& arena, std::string_view raw) const;

  // The data rows of one stretch of the text, read on its own thread. Text cells point into
  // the arena, or into `extra` (offsets fixed up when the stretches are joined).
  struct RowSpan {
    const char* begin = nullptr;
    TMemTable::Cell* cells = nullptr;  // room for capacityRows rows
    size_t capacityRows = 0;
    bool full = false;  // a row was left unread for want of room
    size_t rows = 0;
    std::string extra;
    std::vector<size_t> extraCells;
    const char* lineStart = nullptr;  // the line being read, for the message of a failure
    std::exception_ptr error;
  };
  // Texts from this size up are read in two halves at once.
  static constexpr size_t kSplitBytes = 512 * 1024;
  // Reads every data row from pos_ to the end of the stream into the table's cells; the text
  // becomes the table's arena when `owned`, else its rows are copied there.
  void ReadDataRows(TMemTable& table, ResourceBuffer* owned);
  // Reads the rows from span.begin up to `end` (which stands on a line break); `text` is the
  // start of the arena copy the cells point into.
  void ReadSpan(const TMemTable& table, const char* text, const char* end, RowSpan& span) const;
  // Reads a decimal integer into `cell`; throws TableError when it is not one for the field.
  void StoreInteger(const TMemTable& table, TMemTable::Cell& cell, int field,
                    std::string_view value) const;

  // Per-read state: one settings object serves one read at a time.
  std::string_view stream_;
  size_t pos_ = 0;
  static constexpr size_t kNoLine = static_cast<size_t>(-1);
  size_t lineStart_ = 0;  // where the line being read starts, kNoLine once all are read
  std::vector<int> columnField_;
};

}  // namespace velmor

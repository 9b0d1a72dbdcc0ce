// Reads one CSV file of a feed (RFC 4180): a byte-order mark, quoted fields with commas,
// doubled quotes and line breaks, CR LF or LF; columns found by their header name.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace velmor {

// A file that cannot be read as CSV or lacks a required column; the message (GBK) names
// the file and, where there is one, the line ("stops.txt:12：...").
class CsvError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class CsvReader {
 public:
  // Reads the header row of `text` (which must outlive the reader); `fileName` prefixes errors.
  CsvReader(std::string_view text, std::string fileName);
  // Reads `text` as a file without a header row whose columns are `header`.
  CsvReader(std::string_view text, std::string fileName, std::vector<std::string> header);

  // Position of a header name, -1 when the file has no such column.
  int Column(std::string_view name) const;
  // The same, throwing CsvError naming the file and the column when it is missing.
  int RequireColumn(std::string_view name) const;

  // Moves to the next record; false at the end. Throws CsvError for a quote never closed.
  bool Next();
  // The current record's value of a column; "" for -1 or a short record.
  std::string_view Field(int column) const;
  // "file:line" of the line the current record starts on.
  std::string Where() const;
  // Bytes read so far, for progress.
  size_t Position() const { return pos_; }

 private:
  bool ReadRecord(std::vector<std::string>& fields);

  std::string_view text_;
  std::string file_;
  size_t pos_ = 0;
  size_t line_ = 1;        // line the reader stands on
  size_t recordLine_ = 0;  // line the current record started on
  std::vector<std::string> header_;
  std::vector<std::string> fields_;
};

}  // namespace velmor

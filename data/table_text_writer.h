// Writes a table text that TTableTextFormat reads back: schema, header row, data rows.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace velmor {

// One field of a written table: a text of at most `Size` bytes, or an integer.
struct TWrittenField {
  std::string Name;
  bool Integer = false;
  int Size = 0;
};

// One index of a written table: ";"-separated field names.
struct TWrittenIndex {
  std::string Name;
  std::string Fields;
  bool Unique = false;
};

class TTableTextWriter {
 public:
  // Starts the text with its schema and header row.
  TTableTextWriter(std::vector<TWrittenField> fields, const std::vector<TWrittenIndex>& indexes);

  // Appends one row; values in field order, as the reader will return them.
  void AddRow(std::initializer_list<std::string_view> values);
  void AddRow(const std::vector<std::string>& values);

  // The finished text (GBK bytes as given, CR LF line ends).
  const std::string& Text() const { return text_; }

 private:
  void AppendValue(std::string_view value);
  std::vector<TWrittenField> fields_;
  std::string text_;
};

// The size a text field needs for `longest` bytes: never below the built-in tables' 20.
int TextFieldSize(size_t longest);

}  // namespace velmor

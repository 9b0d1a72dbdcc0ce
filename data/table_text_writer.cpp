#include "data/table_text_writer.h"

#include <algorithm>
#include <stdexcept>

namespace velmor {
namespace {

// A value as one quoted field of the format: quotes doubled, the escape character and line
// breaks escaped so that a value never splits a line.
void AppendQuoted(std::string& out, std::string_view value) {
  out += '"';
  for (char c : value) {
    if (c == '"') {
      out += "\"\"";
    } else if (c == '%') {
      out += "%%";
    } else if (c == '\r') {
      out += "%c";
    } else if (c == '\n') {
      out += "%n";
    } else {
      out += c;
    }
  }
  out += '"';
}

}  // namespace

int TextFieldSize(size_t longest) {
  return static_cast<int>(std::max<size_t>(20, longest));
}

TTableTextWriter::TTableTextWriter(std::vector<TWrittenField> fields,
                                   const std::vector<TWrittenIndex>& indexes)
    : fields_(std::move(fields)) {
  text_ = "\"@@FILE VERSION@@\",\"251\"\r\n\"@@TABLEDEF START@@\"\r\n";
  for (const TWrittenField& f : fields_) {
    const int width = f.Integer ? 10 : f.Size;
    const std::string def = f.Name + "=" + (f.Integer ? "Integer" : "WideString") + "," +
                            std::to_string(f.Integer ? 0 : f.Size) + ",\"" + f.Name + "\",\"\"," +
                            std::to_string(width) + ",Data,\"\"";
    AppendQuoted(text_, def);
    text_ += "\r\n";
  }
  text_ += "\"@@INDEXDEF START@@\"\r\n";
  for (const TWrittenIndex& ix : indexes) {
    AppendQuoted(
        text_, ix.Name + "=\"" + ix.Fields + "\",\"" + ix.Name + "\"" + (ix.Unique ? ",UNIQ" : ""));
    text_ += "\r\n";
  }
  text_ += "\"@@INDEXDEF END@@\"\r\n\"@@TABLEDEF END@@\"\r\n";
  for (const TWrittenField& f : fields_) {
    AppendQuoted(text_, f.Name);
    text_ += ',';
  }
  text_ += "\r\n";
}

void TTableTextWriter::AppendValue(std::string_view value) {
  AppendQuoted(text_, value);
  text_ += ',';
}

void TTableTextWriter::AddRow(std::initializer_list<std::string_view> values) {
  if (values.size() != fields_.size()) throw std::logic_error("row width differs from schema");
  for (std::string_view v : values) AppendValue(v);
  text_ += "\r\n";
}

void TTableTextWriter::AddRow(const std::vector<std::string>& values) {
  if (values.size() != fields_.size()) throw std::logic_error("row width differs from schema");
  for (const std::string& v : values) AppendValue(v);
  text_ += "\r\n";
}

}  // namespace velmor

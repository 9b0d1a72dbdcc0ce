#include "import/csv_reader.h"

#include "data/gbk_text.h"

namespace velmor {

CsvReader::CsvReader(std::string_view text, std::string fileName)
    : text_(text), file_(std::move(fileName)) {
  if (text_.starts_with("\xEF\xBB\xBF")) pos_ = 3;
  if (!ReadRecord(header_)) throw CsvError(file_ + G("：文件是空的"));
  for (std::string& h : header_) {
    while (!h.empty() && (h.back() == ' ' || h.back() == '\t')) h.pop_back();
    while (!h.empty() && (h.front() == ' ' || h.front() == '\t')) h.erase(0, 1);
  }
}

CsvReader::CsvReader(std::string_view text, std::string fileName, std::vector<std::string> header)
    : text_(text), file_(std::move(fileName)), header_(std::move(header)) {
  if (text_.starts_with("\xEF\xBB\xBF")) pos_ = 3;
}

int CsvReader::Column(std::string_view name) const {
  for (size_t i = 0; i < header_.size(); ++i) {
    if (header_[i] == name) return static_cast<int>(i);
  }
  return -1;
}

int CsvReader::RequireColumn(std::string_view name) const {
  const int c = Column(name);
  if (c < 0) throw CsvError(file_ + G("：缺少列 ") + std::string(name));
  return c;
}

bool CsvReader::Next() {
  // Blank lines between records carry nothing.
  while (true) {
    if (!ReadRecord(fields_)) return false;
    if (fields_.size() > 1 || !fields_[0].empty()) return true;
  }
}

std::string_view CsvReader::Field(int column) const {
  if (column < 0 || static_cast<size_t>(column) >= fields_.size()) return {};
  return fields_[static_cast<size_t>(column)];
}

std::string CsvReader::Where() const {
  return file_ + ":" + std::to_string(recordLine_);
}

bool CsvReader::ReadRecord(std::vector<std::string>& fields) {
  if (pos_ >= text_.size()) return false;
  recordLine_ = line_;
  size_t count = 0;
  auto field = [&]() -> std::string& {
    if (fields.size() <= count) fields.emplace_back();
    std::string& f = fields[count];
    f.clear();
    return f;
  };
  std::string* current = &field();
  bool quoted = false;
  bool wasQuoted = false;
  const size_t n = text_.size();
  while (pos_ < n) {
    const char c = text_[pos_];
    if (quoted) {
      ++pos_;
      if (c == '"') {
        if (pos_ < n && text_[pos_] == '"') {
          *current += '"';
          ++pos_;
        } else {
          quoted = false;
        }
      } else {
        if (c == '\n') ++line_;
        *current += c;
      }
      continue;
    }
    if (c == ',') {
      ++pos_;
      ++count;
      current = &field();
      wasQuoted = false;
    } else if (c == '\r' || c == '\n') {
      ++pos_;
      if (c == '\r' && pos_ < n && text_[pos_] == '\n') ++pos_;
      ++line_;
      break;
    } else if (c == '"' && current->empty() && !wasQuoted) {
      ++pos_;
      quoted = true;
      wasQuoted = true;
    } else {
      *current += c;
      ++pos_;
    }
  }
  if (quoted) {
    throw CsvError(file_ + ":" + std::to_string(recordLine_) + G("：引号没有结束"));
  }
  fields.resize(count + 1);
  return true;
}

}  // namespace velmor

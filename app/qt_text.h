// The edge between the core's GBK strings and Qt's QString.
#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "data/gbk_text.h"

namespace velmor {

// A GBK text for display.
inline QString FromGbk(std::string_view gbk) {
  return QString::fromStdString(GbkToUtf8(gbk));
}

// A displayed or typed text as GBK; characters GBK cannot hold become '?', and `lossless`
// tells whether there were any.
inline std::string ToGbk(const QString& text, bool* lossless = nullptr) {
  const std::string utf8 = text.toStdString();
  bool clean = true;
  std::string gbk = Utf8ToGbk(utf8, &clean);
  // Qt writes a lone surrogate (a broken paste) as '?' before the converter sees it.
  if (!text.isValidUtf16()) clean = false;
  // The system converter drops some characters without a word (the tag characters U+E0000 to
  // U+E007F), which would shorten "北京" + tag to "北京"; such a text goes one character at a
  // time, each lost character as '?'.
  if (clean && GbkToUtf8(gbk) != utf8) {
    clean = false;
    gbk.clear();
    for (const uint code : text.toUcs4()) {
      const char32_t c = code;
      const std::string one = Utf8ToGbk(QString::fromUcs4(&c, 1).toStdString());
      gbk += one.empty() ? std::string("?") : one;
    }
  }
  if (lossless) *lossless = clean;
  return gbk;
}

// Removes what Trim removes (leading and trailing blanks and control characters) from a typed
// text without converting it, so that characters GBK cannot hold stay as they were typed.
inline QString TrimText(const QString& text) {
  auto trimmable = [](QChar c) {
    return c.unicode() < 0x80 && IsTrimByte(static_cast<unsigned char>(c.unicode()));
  };
  qsizetype begin = 0;
  qsizetype end = text.size();
  while (begin < end && trimmable(text.at(begin))) ++begin;
  while (end > begin && trimmable(text.at(end - 1))) --end;
  return text.mid(begin, end - begin);
}

}  // namespace velmor

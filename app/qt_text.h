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

// A displayed or typed text as GBK; characters GBK cannot hold become '?'.
inline std::string ToGbk(const QString& text) {
  return Utf8ToGbk(text.toStdString());
}

}  // namespace velmor

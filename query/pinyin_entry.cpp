#include "query/pinyin_entry.h"

#include "data/gbk_text.h"
#include "data/table_cursor.h"

namespace velmor {

namespace {
constexpr size_t kFewMatches = 8;
constexpr size_t kPaddedCount = 9;
}  // namespace

bool IsLetters(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    if (!letter) return false;
  }
  return true;
}

StationListAction StationTextAction(std::string_view trimmed) {
  if (IsLetters(trimmed)) return StationListAction::FillPinyinList;
  if (trimmed.empty()) return StationListAction::ClearList;
  return StationListAction::KeepList;
}

std::vector<std::string> PinyinMatches(const TMemTable& KMPy, std::string_view typed) {
  std::vector<std::string> items;
  const std::string key = UpperAscii(typed);
  const int station = KMPy.FieldIndex("Station");
  const int code = KMPy.FieldIndex("Shortcode");
  if (station >= 0 && code >= 0) {
    for (TTableCursor c(KMPy); !c.Eof(); c.Next()) {
      if (c.Text(code).starts_with(key)) items.emplace_back(c.Text(station));
    }
  }
  if (items.size() < kFewMatches) items.resize(kPaddedCount);
  return items;
}

std::vector<std::string> BlankStationItems() {
  return std::vector<std::string>(kPaddedCount);
}

}  // namespace velmor

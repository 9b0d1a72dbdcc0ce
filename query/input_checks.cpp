#include "data/gbk_text.h"
#include "data/table_cursor.h"
#include "query/pinyin_entry.h"
#include "query/queries.h"

namespace velmor {
namespace {

TInputMessage Incomplete(std::string_view text, TFocusTarget focus) {
  return {G("信息不完整"), G(text), focus};
}

TInputMessage Wrong(std::string_view text, TFocusTarget focus) {
  return {G("输入错误"), G(text), focus};
}

bool MissingStation(std::string_view text) {
  return text.empty() || IsLetters(text);
}

bool KnownStation(const TMemTable& KMPy, std::string_view text) {
  return KMPy.FieldIndex("Station") >= 0 && TTableCursor(KMPy).Locate("Station", text);
}

}  // namespace

std::optional<TInputMessage> CheckStationToStation(std::string_view fzText, std::string_view dzText,
                                                   const TMemTable& KMPy) {
  if (MissingStation(fzText)) return Incomplete("请输入发站。", TFocusTarget::ComboFZ);
  if (MissingStation(dzText)) return Incomplete("请输入到站。", TFocusTarget::ComboDZ);
  if (fzText == dzText) return Wrong("发站与到站相同。", TFocusTarget::ComboDZ);
  if (!KnownStation(KMPy, fzText)) return Wrong("发站不存在。", TFocusTarget::ComboFZ);
  if (!KnownStation(KMPy, dzText)) return Wrong("到站不存在。", TFocusTarget::ComboDZ);
  return std::nullopt;
}

std::string TransferOfferText() {
  return G("两站之间无直达列车,是否进行中转站查询?");
}

std::optional<TInputMessage> CheckStationTimetable(std::string_view czText, const TMemTable& KMPy) {
  if (MissingStation(czText)) return Incomplete("请输入车站。", TFocusTarget::ComboCZ);
  if (!KnownStation(KMPy, czText)) return Wrong("车站不存在。", TFocusTarget::ComboCZ);
  return std::nullopt;
}

std::optional<TInputMessage> CheckTrainNumber(std::string_view eccText) {
  if (Trim(eccText).empty()) return Incomplete("请输入车次。", TFocusTarget::ECC);
  return std::nullopt;
}

}  // namespace velmor

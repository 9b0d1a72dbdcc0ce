#include "present/plan_session.h"

#include "data/gbk_text.h"

namespace velmor {

TPlanSession::TPlanSession(const TablesSet& tables) : tables_(tables) {}

std::optional<TInputMessage> TPlanSession::Check(std::string_view fz, std::string_view dz,
                                                 bool typedAlike) const {
  std::optional<TInputMessage> m = CheckStationToStation(fz, dz, tables_.KMPy);
  // Texts that only convert alike are different names, and a '?' is in no station's name.
  if (m && fz == dz && !typedAlike) {
    m = TInputMessage{G("输入错误"), G("发站不存在。"), TFocusTarget::ComboFZ};
  }
  return m;
}

std::vector<TJourney> TPlanSession::Search(std::string_view fz, std::string_view dz,
                                           const TPlanOptions& options, std::stop_token stop) {
  if (!Ready()) return {};
  std::call_once(built_, [this] { index_ = std::make_unique<const TPlanIndex>(tables_); });
  return PlanJourneys(*index_, fz, dz, options, stop);
}

TSessionReply TPlanSession::Show(std::vector<TJourney> journeys) {
  ShowPlans(view_, std::move(journeys));
  TSessionReply r;
  r.RowsChanged = true;
  return r;
}

TSessionReply TPlanSession::Plan(std::string_view fz, std::string_view dz, bool typedAlike,
                                 const TPlanOptions& options) {
  if (std::optional<TInputMessage> m = Check(fz, dz, typedAlike)) {
    TSessionReply r;
    r.Message = std::move(m);
    return r;
  }
  return Show(Search(fz, dz, options));
}

std::optional<MsgView> TPlanSession::Detail(int row) const {
  if (row < 0 || row >= static_cast<int>(view_.Journeys.size())) return std::nullopt;
  const TPlanLeg& leg = view_.Journeys[size_t(row)].Legs.front();
  MsgView detail;
  if (!BuildStretchDetail(tables_, leg.Train, leg.From, leg.StopCount, std::to_string(leg.Km),
                          PlanMinutesText(leg.Run), detail)) {
    return std::nullopt;
  }
  return detail;
}

}  // namespace velmor

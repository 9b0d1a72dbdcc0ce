#include "present/query_session.h"

#include "data/gbk_text.h"
#include "present/grid_export.h"
#include "query/fares.h"

namespace velmor {
namespace {

TSessionReply Say(std::optional<TInputMessage> message) {
  TSessionReply r;
  r.Message = std::move(message);
  return r;
}

TSessionReply RowsChanged() {
  TSessionReply r;
  r.RowsChanged = true;
  return r;
}

}  // namespace

TQuerySession::TQuerySession(const TablesSet& tables) : tables_(tables) {
  BuildFareZoneTable(pub_.Fares);
  BuildFareRateTable(pub_.Fares);
  ClearGridSelection(result_.SGrid);
}

void TQuerySession::StartQuery() {
  result_.Filters = TFilterBoxes{};
  ResetResultGrid(pub_, result_);
  pub_.Pub_ZZStation.clear();
}

TSessionReply TQuerySession::StationToStation(std::string_view fz, std::string_view dz,
                                              bool typedAlike, bool transfer, std::string_view cz) {
  if (!tables_.SpyLoaded) return {};
  std::optional<TInputMessage> m = CheckStationToStation(fz, dz, tables_.KMPy);
  // Different texts with characters GBK cannot hold may convert alike ("北京?"); they are not
  // the same station, and a '?' is in no station's name, so the departure is unknown.
  if (m && fz == dz && !typedAlike) {
    m = TInputMessage{G("输入错误"), G("发站不存在。"), TFocusTarget::ComboFZ};
  }
  // A refused query changes nothing, not even the mode the shown rows are filtered under.
  if (m) return Say(m);
  pub_.QueryMode = 1;
  if (!Loaded()) return {};
  StartQuery();
  if (transfer) {
    ZZSearch(pub_, tables_, fz, dz);
    ShowZZList(pub_, transfer_);
    TSessionReply r = RowsChanged();
    r.OpenTransferList = true;
    return r;
  }
  QueryStationToStation(pub_, tables_, fz, dz);
  if (pub_.Pub_GridResults.empty()) {
    TSessionReply r = RowsChanged();
    r.AskTransfer = true;
    return r;
  }
  FillResultGrid(pub_, result_, cz);
  return RowsChanged();
}

TSessionReply TQuerySession::StationTimetable(std::string_view cz) {
  if (!tables_.SpyLoaded) return {};
  if (std::optional<TInputMessage> m = CheckStationTimetable(cz, tables_.KMPy)) {
    return Say(m);
  }
  pub_.QueryMode = 3;
  if (!Loaded()) return {};
  StartQuery();
  QueryStationTimetable(pub_, tables_, cz);
  FillResultGrid(pub_, result_, cz);
  return RowsChanged();
}

TSessionReply TQuerySession::TrainNumber(std::string_view ecc) {
  if (std::optional<TInputMessage> m = CheckTrainNumber(ecc)) return Say(m);
  pub_.QueryMode = 2;
  if (!Loaded()) return {};
  StartQuery();
  TrainNumberQuery(pub_, tables_, ecc);
  FillResultGrid(pub_, result_, {});
  return RowsChanged();
}

TSessionReply TQuerySession::SetFilters(const TFilterBoxes& boxes, std::string_view cz) {
  result_.Filters = boxes;
  CBSFClick(pub_, result_, cz);
  return RowsChanged();
}

TSessionReply TQuerySession::HeaderClick(int labelIndex) {
  if (pub_.Pub_GridResults.empty()) return {};
  Lab1Click(pub_, result_, labelIndex);
  return RowsChanged();
}

void TQuerySession::TransferHeaderClick(int labelIndex) {
  ZzzLab1Click(transfer_, labelIndex);
}

TSessionReply TQuerySession::PickTransferStation(int row, std::string_view cz) {
  if (!ZGridClick(pub_, tables_, transfer_, result_, row, cz)) return {};
  return RowsChanged();
}

std::optional<MsgView> TQuerySession::Detail(int row) const {
  if (row < 0 || row >= pub_.Pub_ResultCount) return std::nullopt;
  MsgView view;
  if (!BuildTrainDetail(pub_, tables_, result_.SGrid, row, view)) return std::nullopt;
  return view;
}

std::vector<std::string> TQuerySession::ExportLines() const {
  return velmor::ExportLines(result_.SGrid, false, pub_.Pub_ResultCount);
}

}  // namespace velmor

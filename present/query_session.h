// One query session: the state a main window (or velmor-cli) holds, and one operation per
// user action. Each operation returns what the front end must perform; no front end runs a
// query flow of its own.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/loaders.h"
#include "present/result_grid.h"
#include "present/train_detail.h"
#include "present/transfer_list.h"
#include "query/queries.h"
#include "query/upub_center.h"

namespace velmor {

// What to perform after an operation, in this order: show the message with an OK button and
// move the focus; mirror the result view; ask TransferOfferText() as a Yes/No question with
// the question icon (Yes is the transfer button's operation on the same texts); open the
// transfer window over TransferList().
struct TSessionReply {
  std::optional<TInputMessage> Message;
  bool RowsChanged = false;
  bool AskTransfer = false;
  bool OpenTransferList = false;
};

class TQuerySession {
 public:
  // The tables belong to the front end and must outlive the session; they may still be
  // loading, in which case the operations that need them do nothing.
  explicit TQuerySession(const TablesSet& tables);

  // The station-to-station buttons: 查询 (`transfer` false) and 中转 (true) on the two boxes'
  // texts. `typedAlike` tells whether the boxes hold the same typed text: texts with
  // characters GBK cannot hold may convert alike and still differ. `cz` is the
  // station-timetable box's text, which the filters read.
  TSessionReply StationToStation(std::string_view fz, std::string_view dz, bool typedAlike,
                                 bool transfer, std::string_view cz);
  // The station-timetable button.
  TSessionReply StationTimetable(std::string_view cz);
  // The train-number button, with the box's text as typed.
  TSessionReply TrainNumber(std::string_view ecc);
  // Any of the four filter boxes was clicked; `boxes` is what they show now.
  TSessionReply SetFilters(const TFilterBoxes& boxes, std::string_view cz);
  // A header label of the result grid was clicked (0 for Lab1).
  TSessionReply HeaderClick(int labelIndex);

  // The transfer window's list, its header clicks, and a click on one of its rows.
  const ZzzView& TransferList() const { return transfer_; }
  // The grids keep their selection, which the views set.
  ZzzView& TransferList() { return transfer_; }
  void TransferHeaderClick(int labelIndex);
  TSessionReply PickTransferStation(int row, std::string_view cz);

  // The stop list of shown row `row`; nothing when the row shows no train.
  std::optional<MsgView> Detail(int row) const;

  // Whether print and export have anything to work on.
  bool HasRows() const { return pub_.Pub_ResultCount > 0; }
  // The shown rows as the export writes them.
  std::vector<std::string> ExportLines() const;

  const ResultView& Result() const { return result_; }
  ResultView& Result() { return result_; }
  const PubState& Pub() const { return pub_; }
  int ResultCount() const { return pub_.Pub_ResultCount; }

 private:
  bool Loaded() const { return tables_.TrainLoaded && tables_.SMLoaded; }
  // The query buttons' common start: filters unchecked, grid blanked, no transfer station.
  void StartQuery();

  const TablesSet& tables_;
  PubState pub_;
  ResultView result_;
  ZzzView transfer_;
};

}  // namespace velmor

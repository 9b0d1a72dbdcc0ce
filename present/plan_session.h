// The journey-plan window's session: its input checks, the stop index of the loaded timetable,
// the list it shows, and one operation per user action. The window and velmor-cli both drive it.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "data/loaders.h"
#include "present/plan_list.h"
#include "present/query_session.h"
#include "present/train_detail.h"
#include "query/journey_planner.h"

namespace velmor {

class TPlanSession {
 public:
  // The tables belong to the front end and must outlive the session.
  explicit TPlanSession(const TablesSet& tables);

  // The 查询 button's checks on the two boxes' texts, those of the station-to-station query;
  // nothing when a search may run. `typedAlike` as for TQuerySession::StationToStation.
  std::optional<TInputMessage> Check(std::string_view fz, std::string_view dz,
                                     bool typedAlike) const;
  // Whether the tables a search reads are loaded.
  bool Ready() const { return tables_.TrainLoaded && tables_.SMLoaded && tables_.ListLoaded; }
  // The search itself, on any thread: builds the index once, then plans. Empty when stopped.
  std::vector<TJourney> Search(std::string_view fz, std::string_view dz,
                               const TPlanOptions& options, std::stop_token stop = {});
  // Shows the journeys a search found.
  TSessionReply Show(std::vector<TJourney> journeys);
  // Check, Search and Show on the calling thread.
  TSessionReply Plan(std::string_view fz, std::string_view dz, bool typedAlike,
                     const TPlanOptions& options);

  void HeaderClick(int labelIndex) { PlanHeaderClick(view_, labelIndex); }
  // A click on journey `row`: its legs in LGrid.
  void PickJourney(int row) { ShowLegs(view_, row); }
  // The stop list of the first leg's train of journey `row`, the leg's stretch marked.
  std::optional<MsgView> Detail(int row) const;
  std::vector<std::string> ExportLines() const { return PlanExportLines(view_); }

  const PlanView& View() const { return view_; }
  PlanView& View() { return view_; }

 private:
  const TablesSet& tables_;
  std::once_flag built_;
  std::unique_ptr<const TPlanIndex> index_;
  PlanView view_;
};

}  // namespace velmor

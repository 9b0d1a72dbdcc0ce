// The train detail list as data: every stop of the train of a result row, and the stretch.
#pragma once

#include <string>

#include "data/loaders.h"
#include "present/string_grid.h"
#include "query/upub_center.h"

namespace velmor {

// What the detail window shows; a front end mirrors it on screen.
struct MsgView {
  TStringGrid MGrid{8, 20};
  int FilledRows = 0;
  int MarkFromNo = 0;
  int MarkToNo = 0;
  std::string Caption;
  std::string LabQC;
  std::string LabQJ;
};

// Builds the detail list of SGrid row `row` into a fresh `view`. False when there is nothing
// to open (row outside the results, or a train number not in the stop table).
bool BuildTrainDetail(const PubState& state, const TablesSet& tables, const TStringGrid& SGrid,
                      int row, MsgView& view);

// The detail list of train `number` with the stretch of `stopCount` stops from `boarding`
// marked, and the stretch's km and running time in LabQJ. False when the train is not found.
bool BuildStretchDetail(const TablesSet& tables, const std::string& number,
                        const std::string& boarding, int32_t stopCount, const std::string& span,
                        const std::string& spanTime, MsgView& view);

// Whether MGrid row `row` lies in the queried stretch (drawn blue when not selected).
bool IsStretchRow(const MsgView& view, int row);

}  // namespace velmor

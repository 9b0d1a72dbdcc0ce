// The main result grid as data: cells, header labels, count label and the four filter boxes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "present/string_grid.h"
#include "query/upub_center.h"

namespace velmor {

struct TFilterBoxes {
  bool CBSF = false;  // 始发车
  bool CBZD = false;  // 终到车
  bool CBJQ = false;  // 精确站名
  bool CBDC = false;  // 仅动车
};

// What the main window shows of a result; a front end mirrors it on screen.
struct ResultView {
  ResultView();
  TStringGrid SGrid;                 // 15 columns, 20 rows at start
  std::vector<THeaderLabel> Labels;  // Lab1..Lab15, in component order
  std::string LabResult;             // "结果:0"
  TFilterBoxes Filters;
};

// Blanks every cell, 16 rows, parked selection, Pub_ResultCount 0, "结果:0".
void ResetResultGrid(PubState& state, ResultView& view);

// Writes the rows that pass the filters, then re-applies the active header sort.
// `comboCZText` is the station-timetable box's text at the time of filtering.
void FillResultGrid(PubState& state, ResultView& view, std::string_view comboCZText);

// The one handler of the four filter boxes: reset, then fill.
void CBSFClick(PubState& state, ResultView& view, std::string_view comboCZText);

// Header click on Labels[labelIndex]: toggles marks and sorts the shown rows.
void Lab1Click(PubState& state, ResultView& view, int labelIndex);

// Re-applies the sort of the bold header label, if any, to the shown rows.
void ResortResultGrid(PubState& state, ResultView& view);

// Captions of the fifteen result columns as the header labels show them (GBK).
std::string ResultColumnCaption(int column);

}  // namespace velmor

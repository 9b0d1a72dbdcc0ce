// The journey-plan list as data: PGrid and its nine header labels, the legs of the picked
// journey in LGrid, and the export lines of both.
#pragma once

#include <string>
#include <vector>

#include "present/string_grid.h"
#include "query/journey_planner.h"

namespace velmor {

// What the plan window shows; a front end mirrors it on screen.
struct PlanView {
  PlanView();
  std::vector<TJourney> Journeys;  // in the order shown
  TStringGrid PGrid{9, 20};
  std::vector<THeaderLabel> Labels;  // Lab1..Lab9
  TStringGrid LGrid{13, 4};
  int LegCount = 0;
  std::string LabResult;  // "共N个方案"
};

// Caption of a plan column, "出发" .. "参考票价" (GBK); "" outside 0..8.
std::string PlanColumnCaption(int column);
// Caption of a leg column, "车次" .. "软卧上/下" (GBK); "" outside 0..12.
std::string LegColumnCaption(int column);

// The nine cells of a journey (GBK): times hh:mm, an arrival on a later day marked "+n",
// trains, change stations and waits joined by "、", the hard-seat fare sum.
std::vector<std::string> PlanCells(const TJourney& journey);
// The thirteen cells of a leg (GBK).
std::vector<std::string> LegCells(const TPlanLeg& leg);

// Shows the journeys in the given order, then re-applies the active header sort.
void ShowPlans(PlanView& view, std::vector<TJourney> journeys);

// Header click on Labels[labelIndex]: sorts the journeys by that column's value (times and
// durations in minutes, counts and km as numbers, the rest as GBK text).
void PlanHeaderClick(PlanView& view, int labelIndex);

// Lists the legs of shown journey `row` in LGrid; no legs for a row outside the list.
void ShowLegs(PlanView& view, int row);

// The export file's lines: the publisher lines, a title line, then one line per journey.
std::vector<std::string> PlanExportLines(const PlanView& view);

}  // namespace velmor

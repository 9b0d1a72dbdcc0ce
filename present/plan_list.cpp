#include "present/plan_list.h"

#include <algorithm>
#include <array>
#include <numeric>

#include "data/gbk_text.h"
#include "present/grid_export.h"
#include "present/grid_print.h"
#include "present/unit_grid.h"

namespace velmor {
namespace {

constexpr std::array<const char*, 9> kCaptions = {"出发",   "到达", "历时", "换乘",    "车次",
                                                  "换乘站", "等候", "里程", "参考票价"};
constexpr std::array<const char*, 13> kLegCaptions = {
    "车次", "发站", "发时", "到站", "到时",         "历时",     "等候",
    "停站", "里程", "硬座", "软座", "硬卧上/中/下", "软卧上/下"};

std::string Joined(const std::vector<std::string>& parts) {
  std::string out;
  for (const std::string& p : parts) {
    if (!out.empty()) out += G("、");
    out += p;
  }
  return out;
}

int TotalWait(const TJourney& j) {
  return std::accumulate(j.Legs.begin(), j.Legs.end(), 0,
                         [](int sum, const TPlanLeg& l) { return sum + l.Wait; });
}

// The value a column sorts by: minutes, a count or km, or -1 to sort by the cell text.
double SortValue(const TJourney& j, int column) {
  switch (column) {
    case 0:
      return j.Depart;
    case 1:
      return j.Arrival();
    case 2:
      return j.Duration;
    case 3:
      return j.Changes();
    case 6:
      return TotalWait(j);
    case 7:
      return j.Km;
    case 8:
      // A journey without the class sorts after every priced one.
      return j.Fares[0] == "-" ? 1e9 : StrToFloatDef0(j.Fares[0]);
    default:
      return -1;
  }
}

void Fill(PlanView& view) {
  TStringGrid& g = view.PGrid;
  g = TStringGrid(9, std::max<int>(20, static_cast<int>(view.Journeys.size())));
  for (size_t r = 0; r < view.Journeys.size(); ++r) {
    const std::vector<std::string> cells = PlanCells(view.Journeys[r]);
    for (size_t k = 0; k < cells.size(); ++k) g.SetCell(int(k), int(r), cells[k]);
  }
  ClearGridSelection(g);
  view.LabResult = G("共") + std::to_string(view.Journeys.size()) + G("个方案");
}

void SortJourneys(PlanView& view, int column, bool ascending) {
  auto key = [column](const TJourney& j) { return SortValue(j, column); };
  std::stable_sort(view.Journeys.begin(), view.Journeys.end(),
                   [&](const TJourney& a, const TJourney& b) {
                     if (key(a) >= 0) return ascending ? key(a) < key(b) : key(b) < key(a);
                     const std::string ta = PlanCells(a)[size_t(column)];
                     const std::string tb = PlanCells(b)[size_t(column)];
                     return ascending ? ta < tb : tb < ta;
                   });
}

}  // namespace

PlanView::PlanView() {
  for (int i = 0; i < static_cast<int>(kCaptions.size()); ++i) {
    Labels.push_back(THeaderLabel{"Lab" + std::to_string(i + 1), PlanColumnCaption(i), false, 33});
  }
  ClearGridSelection(PGrid);
  ClearGridSelection(LGrid);
  LabResult = G("共0个方案");
}

std::string PlanColumnCaption(int column) {
  if (column < 0 || column >= static_cast<int>(kCaptions.size())) return {};
  return G(kCaptions[size_t(column)]);
}

std::string LegColumnCaption(int column) {
  if (column < 0 || column >= static_cast<int>(kLegCaptions.size())) return {};
  return G(kLegCaptions[size_t(column)]);
}

std::vector<std::string> PlanCells(const TJourney& j) {
  std::string arrive = PlanMinutesText(j.Arrival() % 1440);
  if (j.Arrival() >= 1440) arrive += "+" + std::to_string(j.Arrival() / 1440);
  std::vector<std::string> trains, via, waits;
  for (size_t k = 0; k < j.Legs.size(); ++k) {
    const TPlanLeg& leg = j.Legs[k];
    trains.push_back(leg.Train);
    if (k == 0) continue;
    const std::string& off = j.Legs[k - 1].To;
    via.push_back(off == leg.From ? off : off + G("→") + leg.From);
    waits.push_back(PlanMinutesText(leg.Wait));
  }
  return {PlanMinutesText(j.Depart),
          arrive,
          PlanMinutesText(j.Duration),
          std::to_string(j.Changes()),
          Joined(trains),
          Joined(via),
          Joined(waits),
          std::to_string(j.Km),
          j.Fares[0]};
}

std::vector<std::string> LegCells(const TPlanLeg& leg) {
  std::vector<std::string> cells = {leg.Train,
                                    leg.From,
                                    PlanMinutesText(leg.Depart),
                                    leg.To,
                                    PlanMinutesText(leg.Arrive),
                                    PlanMinutesText(leg.Run),
                                    leg.Wait > 0 ? PlanMinutesText(leg.Wait) : std::string(),
                                    std::to_string(leg.StopCount),
                                    std::to_string(leg.Km)};
  for (const std::string& fare : leg.Fares) cells.push_back(fare.empty() ? "-" : fare);
  return cells;
}

void ShowPlans(PlanView& view, std::vector<TJourney> journeys) {
  view.Journeys = std::move(journeys);
  view.LGrid = TStringGrid(13, 4);
  view.LegCount = 0;
  ClearGridSelection(view.LGrid);
  for (const THeaderLabel& label : view.Labels) {
    if (!label.Bold) continue;
    const std::string& down = G("↓");
    const bool ascending = !label.Caption.ends_with(down);
    SortJourneys(view, LabelColumn(label), ascending);
  }
  Fill(view);
}

void PlanHeaderClick(PlanView& view, int labelIndex) {
  if (view.Journeys.empty()) return;
  if (labelIndex < 0 || labelIndex >= static_cast<int>(view.Labels.size())) return;
  const bool ascending = ToggleHeaderLabels(view.Labels, labelIndex);
  SortJourneys(view, LabelColumn(view.Labels[size_t(labelIndex)]), ascending);
  Fill(view);
}

void ShowLegs(PlanView& view, int row) {
  view.LGrid = TStringGrid(13, 4);
  view.LegCount = 0;
  ClearGridSelection(view.LGrid);
  if (row < 0 || row >= static_cast<int>(view.Journeys.size())) return;
  for (const TPlanLeg& leg : view.Journeys[size_t(row)].Legs) {
    const std::vector<std::string> cells = LegCells(leg);
    for (size_t k = 0; k < cells.size(); ++k) view.LGrid.SetCell(int(k), view.LegCount, cells[k]);
    ++view.LegCount;
  }
}

std::vector<std::string> PlanExportLines(const PlanView& view) {
  std::vector<std::string> lines = {"", "", PublisherName(), PublisherAddress(), "", ""};
  auto join = [](const std::vector<std::string>& cells) {
    std::string line;
    for (size_t k = 0; k < cells.size(); ++k) {
      if (k > 0) line += ',';
      line += CsvField(cells[k]);
    }
    return line;
  };
  std::vector<std::string> titles;
  for (int k = 0; k < 9; ++k) titles.push_back(PlanColumnCaption(k));
  lines.push_back(join(titles));
  for (const TJourney& j : view.Journeys) lines.push_back(join(PlanCells(j)));
  return lines;
}

}  // namespace velmor

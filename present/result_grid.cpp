#include "present/result_grid.h"

#include <array>
#include <charconv>
#include <string>

#include "data/gbk_text.h"
#include "present/unit_grid.h"

namespace velmor {

namespace {

constexpr int kColumns = 15;
constexpr int kResetRows = 16;

const std::array<std::string, kColumns>& Captions() {
  static const std::array<std::string, kColumns> captions = {
      G("车 次"), G("始发站"), G("终到站"), G("车型"),         G("发站"),
      G("发时"),  G("到站"),   G("到时"),   G("停站"),         G("里程"),
      G("历时"),  G("硬座"),   G("软座"),   G("硬卧上/中/下"), G("软卧上/下")};
  return captions;
}

const std::string& ResultPrefix() {
  static const std::string prefix = G("结果:");
  return prefix;
}

const std::string& UpMark() {
  static const std::string mark = G("↑");
  return mark;
}

TSortAs ColumnSort(int column) {
  if (column == 8 || column == 9 || column == 11) return TSortAs::Number;
  // 历时: the train-number list writes it unpadded ("6:5"), so only minutes order it.
  if (column == 10) return TSortAs::Duration;
  return TSortAs::Text;
}

std::string_view FareCell(const std::string& fare) {
  return fare.empty() ? std::string_view("-") : std::string_view(fare);
}

// A count's decimal text, without a string of its own.
void SetNumberCell(TStringGrid& grid, int col, int row, int32_t value) {
  char buf[16];
  grid.SetCell(col, row, std::string_view(buf, std::to_chars(buf, buf + sizeof buf, value).ptr));
}

// The four keep flags of one row; every comparison is byte for byte.
bool Keep(const PubState& s, const TFilterBoxes& f, const TPub_GridResult& r,
          const std::string& cz) {
  const std::string& zz = s.Pub_ZZStation;
  if (f.CBSF) {
    if (s.QueryMode == 1 && !(r.StartStation == r.FromStation || r.FromStation == zz)) {
      return false;
    }
    if (s.QueryMode == 3 && !(r.StartStation == cz || r.FromStation == zz)) return false;
  }
  if (f.CBZD) {
    if (s.QueryMode == 1 && !(r.EndStation == r.ToStation || r.ToStation == zz)) return false;
    if (s.QueryMode == 3 && !(r.EndStation == cz || r.ToStation == zz)) return false;
  }
  if (f.CBJQ) {
    if (s.QueryMode == 1) {
      if (zz.empty()) {
        if (!(r.FromStation == s.Pub_FZ.Name && r.ToStation == s.Pub_DZ.Name)) return false;
      } else if (!((r.FromStation == s.Pub_FZ.Name || r.FromStation == zz) &&
                   (r.ToStation == s.Pub_DZ.Name || r.ToStation == zz))) {
        return false;
      }
    }
    if (s.QueryMode == 3 && !(r.FromStation == cz || r.ToStation == cz)) return false;
  }
  if (f.CBDC) {
    const char first = r.TrainID.empty() ? '\0' : r.TrainID.front();
    if (first != 'C' && first != 'D' && first != 'G') return false;
  }
  return true;
}

void WriteRow(TStringGrid& grid, int row, const TPub_GridResult& r) {
  grid.SetCell(0, row, r.TrainID);
  grid.SetCell(1, row, r.StartStation);
  grid.SetCell(2, row, r.EndStation);
  grid.SetCell(3, row, r.TypeName);
  grid.SetCell(4, row, r.FromStation);
  grid.SetCell(5, row, r.FromDepart);
  grid.SetCell(6, row, r.ToStation);
  grid.SetCell(7, row, r.ToArrive);
  SetNumberCell(grid, 8, row, r.StopCount);
  SetNumberCell(grid, 9, row, r.Distance);
  grid.SetCell(10, row, r.Duration);
  grid.SetCell(11, row, FareCell(r.FareHardSeat));
  grid.SetCell(12, row, FareCell(r.FareSoftSeat));
  grid.SetCell(13, row, FareCell(r.FareHardSleeper));
  grid.SetCell(14, row, FareCell(r.FareSoftSleeper));
}

// Sorts exactly the shown rows: the row count is cut to them for the sort and then restored.
void SortShownRows(const PubState& state, ResultView& view, int column, bool ascending) {
  const int rows = view.SGrid.RowCount();
  view.SGrid.SetRowCount(state.Pub_ResultCount);
  if (column >= 0) SortGrid(view.SGrid, column, ascending, ColumnSort(column));
  view.SGrid.SetRowCount(rows);
}

}  // namespace

ResultView::ResultView() : SGrid(kColumns, 20), LabResult(ResultPrefix() + "0") {
  for (int n = 0; n < kColumns; ++n) {
    THeaderLabel label;
    label.Name = "Lab";
    label.Name += std::to_string(n + 1);
    label.Caption = Captions()[static_cast<size_t>(n)];
    Labels.push_back(std::move(label));
  }
}

std::string ResultColumnCaption(int column) {
  if (column < 0 || column >= kColumns) return {};
  return Captions()[static_cast<size_t>(column)];
}

void ResetResultGrid(PubState& state, ResultView& view) {
  for (int row = 0; row < view.SGrid.RowCount(); ++row) {
    for (int col = 0; col < kColumns; ++col) view.SGrid.SetCell(col, row, std::string());
  }
  view.SGrid.SetRowCount(kResetRows);
  ClearGridSelection(view.SGrid);
  state.Pub_ResultCount = 0;
  view.LabResult = ResultPrefix() + "0";
}

void FillResultGrid(PubState& state, ResultView& view, std::string_view comboCZText) {
  const std::string cz = Trim(comboCZText);
  const int rowsBefore = view.SGrid.RowCount();
  // Room for every row up front; the count the grid keeps is settled after the pass.
  if (static_cast<size_t>(rowsBefore) < state.Pub_GridResults.size()) {
    view.SGrid.SetRowCount(static_cast<int>(state.Pub_GridResults.size()));
  }
  state.Pub_ResultCount = 0;
  for (const TPub_GridResult& r : state.Pub_GridResults) {
    if (!Keep(state, view.Filters, r, cz)) continue;
    WriteRow(view.SGrid, state.Pub_ResultCount, r);
    ++state.Pub_ResultCount;
  }
  view.SGrid.SetRowCount(state.Pub_ResultCount > kResetRows ? state.Pub_ResultCount : rowsBefore);
  ResortResultGrid(state, view);
  view.LabResult = ResultPrefix() + std::to_string(state.Pub_ResultCount);
}

void CBSFClick(PubState& state, ResultView& view, std::string_view comboCZText) {
  ResetResultGrid(state, view);
  FillResultGrid(state, view, comboCZText);
}

void Lab1Click(PubState& state, ResultView& view, int labelIndex) {
  if (state.Pub_GridResults.empty()) return;
  if (labelIndex < 0 || labelIndex >= static_cast<int>(view.Labels.size())) return;
  const bool ascending = ToggleHeaderLabels(view.Labels, labelIndex);
  const int column = LabelColumn(view.Labels[static_cast<size_t>(labelIndex)]);
  SortShownRows(state, view, column, ascending);
}

void ResortResultGrid(PubState& state, ResultView& view) {
  if (state.Pub_ResultCount < 1) return;
  for (const THeaderLabel& label : view.Labels) {
    if (label.Tag != 33 || !label.Bold) continue;
    const bool ascending = label.Caption.find(UpMark()) != std::string::npos;
    SortShownRows(state, view, LabelColumn(label), ascending);
    return;
  }
}

}  // namespace velmor

#include "present/transfer_list.h"

#include <array>

#include "data/gbk_text.h"
#include "present/unit_grid.h"
#include "query/queries.h"
#include "query/station_match.h"

namespace velmor {
namespace {

constexpr std::array<const char*, 9> kCaptions = {
    "中转站", "前里程", "后里程", "总里程", "前历时", "后历时", "总历时", "发站车数", "到站车数"};

TSortAs ColumnSort(int column) {
  if (column == 1 || column == 2 || column == 3 || column == 7 || column == 8) {
    return TSortAs::Number;
  }
  // 总历时 is unpadded ("6:5"); the two leg times sort the same way for consistency.
  if (column >= 4 && column <= 6) return TSortAs::Duration;
  return TSortAs::Text;
}

}  // namespace

ZzzView::ZzzView() {
  for (int i = 0; i < static_cast<int>(kCaptions.size()); ++i) {
    Labels.push_back(THeaderLabel{"Lab" + std::to_string(i + 1), ZzzColumnCaption(i), false, 33});
  }
  ClearGridSelection(ZGrid);
}

std::string ZzzColumnCaption(int column) {
  if (column < 0 || column >= static_cast<int>(kCaptions.size())) return {};
  return G(kCaptions[static_cast<size_t>(column)]);
}

void ShowZZList(const PubState& state, ZzzView& view) {
  view = ZzzView();
  for (const TPub_ZZStruct& e : state.Pub_ZZList) {
    if (e.DZTrainCount <= 0 || IsWantedStation(state, e.StationName, 1, 1) ||
        IsWantedStation(state, e.StationName, 1, 2)) {
      continue;
    }
    const int row = view.ZZCount++;
    if (view.ZZCount > view.ZGrid.RowCount()) view.ZGrid.SetRowCount(view.ZZCount);
    TStringGrid& g = view.ZGrid;
    g.SetCell(0, row, e.StationName);
    g.SetCell(1, row, std::to_string(e.FrontDistance));
    g.SetCell(2, row, std::to_string(e.BackDistance));
    g.SetCell(3, row, std::to_string(e.SumDistance));
    g.SetCell(4, row, e.FrontDuration);
    g.SetCell(5, row, e.BackDuration);
    g.SetCell(6, row, e.SumDuration);
    g.SetCell(7, row, std::to_string(e.FZTrainCount));
    g.SetCell(8, row, std::to_string(e.DZTrainCount));
  }
  ZzzLab1Click(view, 0);
  view.Caption = G("两地共有<") + std::to_string(view.ZZCount) + G(">个中转站供选择:");
  view.LabInfo = G("中转换乘牵涉因素较多，请综合各种因素进行换乘站选择。");
}

void ZzzLab1Click(ZzzView& view, int labelIndex) {
  if (view.ZZCount <= 0) return;
  if (labelIndex < 0 || labelIndex >= static_cast<int>(view.Labels.size())) return;
  const bool ascending = ToggleHeaderLabels(view.Labels, labelIndex);
  const int column = LabelColumn(view.Labels[static_cast<size_t>(labelIndex)]);
  const int rows = view.ZGrid.RowCount();
  view.ZGrid.SetRowCount(view.ZZCount);
  if (column >= 0) SortGrid(view.ZGrid, column, ascending, ColumnSort(column));
  view.ZGrid.SetRowCount(rows);
}

bool ZGridClick(PubState& state, const TablesSet& tables, const ZzzView& view, ResultView& result,
                int row, std::string_view comboCZText) {
  if (row < 0 || row >= view.ZZCount) return false;
  ResetResultGrid(state, result);
  const TStringGrid& g = view.ZGrid;
  FillZZResults(state, tables, g.Cells(0, row), StrToIntDef0(g.Cells(7, row)),
                StrToIntDef0(g.Cells(8, row)));
  FillResultGrid(state, result, comboCZText);
  return true;
}

}  // namespace velmor

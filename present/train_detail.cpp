#include "present/train_detail.h"

#include "data/gbk_text.h"
#include "data/table_cursor.h"
#include "present/string_grid.h"

namespace velmor {
namespace {

// An integer field as AsString gives it: decimal text, "" when null.
std::string IntText(const TTableCursor& t, int field) {
  return t.IsNull(field) ? std::string() : std::to_string(t.Integer(field));
}

}  // namespace

bool BuildTrainDetail(const PubState& state, const TablesSet& tables, const TStringGrid& SGrid,
                      int row, MsgView& view) {
  if (row < 0 || static_cast<size_t>(row) >= state.Pub_GridResults.size()) return false;
  return BuildStretchDetail(tables, SGrid.Cells(0, row), SGrid.Cells(4, row),
                            StrToIntDef0(SGrid.Cells(8, row)), SGrid.Cells(9, row),
                            SGrid.Cells(10, row), view);
}

bool BuildStretchDetail(const TablesSet& tables, const std::string& number,
                        const std::string& boarding, int32_t stopCount, const std::string& span,
                        const std::string& spanTime, MsgView& view) {
  const TMemTable& table = tables.KMTrain;
  const int fID = table.FieldIndex("ID"), fStation = table.FieldIndex("Station"),
            fNo = table.FieldIndex("S_No"), fArrive = table.FieldIndex("A_Time"),
            fDepart = table.FieldIndex("D_Time"), fElapsed = table.FieldIndex("R_Date"),
            fDistance = table.FieldIndex("Distance");
  if (fID < 0 || fStation < 0 || fNo < 0 || fArrive < 0 || fDepart < 0 || fElapsed < 0 ||
      fDistance < 0) {
    return false;
  }
  TTableCursor stops(table);
  if (number.empty() || !stops.Locate("ID", number)) return false;

  view = MsgView();
  ClearGridSelection(view.MGrid);
  view.Caption = G("车次:") + number;

  int day = 1;
  std::string reference(stops.Text(fDepart));
  bool boardingFound = false;
  TStringGrid& g = view.MGrid;
  for (; !stops.Eof() && stops.Text(fID) == number; stops.Next()) {
    const int n = view.FilledRows++;
    if (view.FilledRows > g.RowCount()) g.SetRowCount(view.FilledRows);
    const std::string_view arrive = stops.Text(fArrive);
    if (!arrive.empty()) {
      if (reference > arrive) ++day;
      reference = arrive;
    }
    if (!boardingFound) {
      if (stops.Text(fStation) == boarding) {
        view.MarkFromNo = stops.Integer(fNo);
        boardingFound = true;
      } else {
        ++view.MarkFromNo;
      }
      view.MarkToNo = view.MarkFromNo + stopCount;
    }
    g.SetCell(0, n, IntText(stops, fNo));
    g.SetCell(1, n, std::string(stops.Text(fStation)));
    g.SetCell(2, n, IntText(stops, fDistance));
    g.SetCell(3, n, std::string(arrive));
    g.SetCell(4, n, std::string(stops.Text(fDepart)));
    g.SetCell(5, n, DayLabel(day));
    std::string elapsed(stops.Text(fElapsed));
    if (!elapsed.empty() && elapsed.back() == ':') elapsed += '0';
    g.SetCell(6, n, elapsed);
    if (n > 0) {
      g.SetCell(7, n,
                IntervalSpeed(g.Cells(2, n - 1), g.Cells(2, n), g.Cells(6, n - 1), g.Cells(6, n)));
    }
  }
  if (!stops.Eof()) stops.Prior();

  const std::string distance = IntText(stops, fDistance);
  const std::string total(stops.Text(fElapsed));
  view.LabQC = G("全程：") + distance + "km" + G("/历时") + total + G("/速度") +
               AverageSpeed(distance, total) + "km/h";
  view.LabQJ = G("区间：") + span + "km" + G("/历时") + spanTime + G("/速度") +
               AverageSpeed(span, spanTime) + "km/h";
  return true;
}

bool IsStretchRow(const MsgView& view, int row) {
  const std::string& no = view.MGrid.Cells(0, row);
  if (no.empty()) return false;
  const int32_t n = StrToIntDef0(no);
  return view.MarkFromNo <= n && n <= view.MarkToNo;
}

}  // namespace velmor

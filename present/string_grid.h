// A plain grid of text cells with a selection rectangle, and the sortable header labels.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmor {

struct TGridRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
};

// SGrid, MGrid and ZGrid are instances; cells are addressed column first.
class TStringGrid {
 public:
  TStringGrid(int colCount, int rowCount);

  int ColCount() const { return colCount_; }
  int RowCount() const { return rowCount_; }
  // Keeps existing cells; new rows are empty.
  void SetRowCount(int rows);
  int FixedRows() const { return 0; }

  // Text of a cell; "" outside the grid.
  const std::string& Cells(int col, int row) const;
  // Writes a cell; writes outside the grid are ignored.
  void SetCell(int col, int row, std::string_view text);
  // Exchanges the cells of two rows; ignored when either row lies outside the grid.
  void SwapRows(int row1, int row2);

  const TGridRect& Selection() const { return selection_; }
  void SetSelection(const TGridRect& r) { selection_ = r; }
  // The current row (top of the selection).
  int Row() const { return selection_.Top; }
  // True while the selection is parked outside the grid (no row selected).
  bool SelectionParked() const { return selection_.Right == 24; }

 private:
  int colCount_;
  int rowCount_;
  // One vector per row, so that a row swap during a sort moves three pointers, not the texts.
  std::vector<std::vector<std::string>> rows_;
  TGridRect selection_;
};

// A caption label above a grid column; Tag 33 marks it as a sortable header.
struct THeaderLabel {
  std::string Name;     // "Lab1".."Lab15"
  std::string Caption;  // GBK, with a two-byte "↑"/"↓" mark appended while it is the sort column
  bool Bold = false;
  int Tag = 33;
};

// Parks the selection at column 24, row 24, outside every grid, so no row shows as selected.
void ClearGridSelection(TStringGrid& grid);

// Whether a click may select `row`: rows whose column 0 is empty never can.
bool CanSelectRow(const TStringGrid& grid, int row);

}  // namespace velmor

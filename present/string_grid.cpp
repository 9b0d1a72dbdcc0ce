#include "present/string_grid.h"

#include <cstring>
#include <utility>

namespace velmor {

TStringGrid::TStringGrid(int colCount, int rowCount)
    : colCount_(colCount < 0 ? 0 : colCount),
      rowCount_(rowCount < 0 ? 0 : rowCount),
      rows_(static_cast<size_t>(rowCount_),
            std::vector<std::string>(static_cast<size_t>(colCount_))) {}

void TStringGrid::SetRowCount(int rows) {
  if (rows < 0) rows = 0;
  // The blank row new rows copy is made only when the grid grows: every query settles the
  // row count, and mostly to what it was.
  if (static_cast<size_t>(rows) > rows_.size()) {
    rows_.resize(static_cast<size_t>(rows),
                 std::vector<std::string>(static_cast<size_t>(colCount_)));
  } else {
    rows_.resize(static_cast<size_t>(rows));
  }
  rowCount_ = rows;
}

const std::string& TStringGrid::Cells(int col, int row) const {
  static const std::string empty;
  if (col < 0 || col >= colCount_ || row < 0 || row >= rowCount_) return empty;
  return rows_[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

void TStringGrid::SetCell(int col, int row, std::string_view text) {
  if (col < 0 || col >= colCount_ || row < 0 || row >= rowCount_) return;
  // Copied into the cell's own storage: a result grid rewrites some 9,000 cells per query, and
  // a cell of the same length (the usual case for a time, a fare or a station) takes the bytes
  // without the library's general replace.
  std::string& cell = rows_[static_cast<size_t>(row)][static_cast<size_t>(col)];
  if (cell.size() == text.size()) {
    if (!text.empty()) std::memmove(cell.data(), text.data(), text.size());
  } else {
    cell.assign(text);
  }
}

void TStringGrid::SwapRows(int row1, int row2) {
  if (row1 < 0 || row1 >= rowCount_ || row2 < 0 || row2 >= rowCount_) return;
  std::swap(rows_[static_cast<size_t>(row1)], rows_[static_cast<size_t>(row2)]);
}

void ClearGridSelection(TStringGrid& grid) {
  grid.SetSelection(TGridRect{24, 24, 24, 24});
}

bool CanSelectRow(const TStringGrid& grid, int row) {
  return !grid.Cells(0, row).empty();
}

}  // namespace velmor

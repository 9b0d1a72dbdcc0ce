#include "present/string_grid.h"

#include <utility>

namespace velmor {

TStringGrid::TStringGrid(int colCount, int rowCount)
    : colCount_(colCount < 0 ? 0 : colCount),
      rowCount_(rowCount < 0 ? 0 : rowCount),
      rows_(static_cast<size_t>(rowCount_),
            std::vector<std::string>(static_cast<size_t>(colCount_))) {}

void TStringGrid::SetRowCount(int rows) {
  if (rows < 0) rows = 0;
  rows_.resize(static_cast<size_t>(rows), std::vector<std::string>(static_cast<size_t>(colCount_)));
  rowCount_ = rows;
}

const std::string& TStringGrid::Cells(int col, int row) const {
  static const std::string empty;
  if (col < 0 || col >= colCount_ || row < 0 || row >= rowCount_) return empty;
  return rows_[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

void TStringGrid::SetCell(int col, int row, std::string_view text) {
  if (col < 0 || col >= colCount_ || row < 0 || row >= rowCount_) return;
  // Copied into the cell's own storage: a result grid rewrites some 9,000 cells per query.
  rows_[static_cast<size_t>(row)][static_cast<size_t>(col)].assign(text);
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

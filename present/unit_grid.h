// Grid utilities shared by the three list windows: sorting (printing and export join later).
#pragma once

#include <vector>

#include "present/string_grid.h"

namespace velmor {

// Sorts rows FixedRows..RowCount-1 by one column: a recursive Hoare quicksort, not stable.
// Numeric columns compare as numbers; an empty cell becomes "0" and a cell that is not a
// number counts as 0, so the sort always completes.
void SortGrid(TStringGrid& grid, int column, bool ascending, bool numeric);

// Exchanges the texts of two rows.
void SwapGridRows(TStringGrid& grid, int row1, int row2);

// Header-label toggling shared by every sortable list: makes `clicked` the sort column
// (bold, "↑"; a second click flips to "↓" and back), clears the others. Returns the
// direction to sort in.
bool ToggleHeaderLabels(std::vector<THeaderLabel>& labels, int clicked);

// The column a label heads: the number in its name ("Lab10" heads 9).
int LabelColumn(const THeaderLabel& label);

}  // namespace velmor

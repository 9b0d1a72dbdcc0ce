// Grid utilities shared by the three list windows: sorting (printing and export join later).
#pragma once

#include <vector>

#include "present/string_grid.h"

namespace velmor {

// How a column's cells compare: as GBK bytes, as numbers, or as running times in minutes
// ("10:5" after "6:5").
enum class TSortAs { Text, Number, Duration };

// Sorts rows FixedRows..RowCount-1 by one column: a recursive Hoare quicksort, not stable.
// Numbers and running times that cannot be read count as 0, so the sort always completes; an
// empty cell of a number column becomes "0", running times keep their texts.
void SortGrid(TStringGrid& grid, int column, bool ascending, TSortAs as);

// Exchanges the texts of two rows.
void SwapGridRows(TStringGrid& grid, int row1, int row2);

// Header-label toggling shared by every sortable list: makes `clicked` the sort column
// (bold, "↑"; a second click flips to "↓" and back), clears the others. Returns the
// direction to sort in.
bool ToggleHeaderLabels(std::vector<THeaderLabel>& labels, int clicked);

// The column a label heads: the number in its name ("Lab10" heads 9).
int LabelColumn(const THeaderLabel& label);

}  // namespace velmor

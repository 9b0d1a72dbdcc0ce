#include "present/unit_grid.h"

#include <string>
#include <string_view>

#include "data/gbk_text.h"
#include "query/upub_center.h"

namespace velmor {

namespace {

const std::string& UpMark() {
  static const std::string mark = G("↑");
  return mark;
}

const std::string& DownMark() {
  static const std::string mark = G("↓");
  return mark;
}

struct SortKey {
  TStringGrid& grid;
  int column;
  bool ascending;
  TSortAs as;

  double Value(int row) const {
    const std::string& text = grid.Cells(column, row);
    return as == TSortAs::Duration ? ElapsedToMinutes(text) : StrToFloatDef0(text);
  }
};

// Hoare partitioning around a copied pivot, then both halves; the pivot text is never
// re-read, so swaps cannot move it.
void QuickSortText(const SortKey& k, int lo, int hi) {
  int i = lo;
  int j = hi;
  const std::string pivot = k.grid.Cells(k.column, (lo + hi) / 2);
  do {
    if (k.ascending) {
      while (k.grid.Cells(k.column, i) < pivot) ++i;
      while (k.grid.Cells(k.column, j) > pivot) --j;
    } else {
      while (k.grid.Cells(k.column, i) > pivot) ++i;
      while (k.grid.Cells(k.column, j) < pivot) --j;
    }
    if (i <= j) {
      SwapGridRows(k.grid, i, j);
      ++i;
      --j;
    }
  } while (i <= j);
  if (lo < j) QuickSortText(k, lo, j);
  if (i < hi) QuickSortText(k, i, hi);
}

// The same sort on numbers or minutes. A text that cannot be read counts as 0, so every pair
// of cells compares and the partition invariants hold for any content.
void QuickSortNumber(const SortKey& k, int lo, int hi) {
  int i = lo;
  int j = hi;
  // An empty pivot stands for "0", which is also what it reads as.
  const double p = k.Value((lo + hi) / 2);
  auto value = [&](int row) { return k.Value(row); };
  do {
    if (k.as == TSortAs::Number) {
      if (k.grid.Cells(k.column, i).empty()) k.grid.SetCell(k.column, i, "0");
      if (k.grid.Cells(k.column, j).empty()) k.grid.SetCell(k.column, j, "0");
    }
    if (k.ascending) {
      while (value(i) < p) ++i;
      while (value(j) > p) --j;
    } else {
      while (value(i) > p) ++i;
      while (value(j) < p) --j;
    }
    if (i <= j) {
      SwapGridRows(k.grid, i, j);
      ++i;
      --j;
    }
  } while (i <= j);
  if (lo < j) QuickSortNumber(k, lo, j);
  if (i < hi) QuickSortNumber(k, i, hi);
}

}  // namespace

void SortGrid(TStringGrid& grid, int column, bool ascending, TSortAs as) {
  const SortKey key{grid, column, ascending, as};
  const int lo = grid.FixedRows();
  const int hi = grid.RowCount() - 1;
  if (as == TSortAs::Text) {
    QuickSortText(key, lo, hi);
  } else {
    QuickSortNumber(key, lo, hi);
  }
}

void SwapGridRows(TStringGrid& grid, int row1, int row2) {
  grid.SwapRows(row1, row2);
}

bool ToggleHeaderLabels(std::vector<THeaderLabel>& labels, int clicked) {
  bool ascending = true;
  for (int n = 0; n < static_cast<int>(labels.size()); ++n) {
    THeaderLabel& label = labels[static_cast<size_t>(n)];
    if (label.Tag != 33) continue;
    const bool isClicked = n == clicked;
    if (!label.Bold && isClicked) {
      label.Bold = true;
      label.Caption += UpMark();
    } else if (label.Bold && !isClicked) {
      label.Bold = false;
      label.Caption.resize(label.Caption.size() >= 2 ? label.Caption.size() - 2 : 0);
    } else if (label.Bold && isClicked) {
      if (size_t at = label.Caption.find(UpMark()); at != std::string::npos) {
        label.Caption.replace(at, UpMark().size(), DownMark());
        ascending = false;
      } else if (size_t down = label.Caption.find(DownMark()); down != std::string::npos) {
        label.Caption.replace(down, DownMark().size(), UpMark());
      }
    }
  }
  return ascending;
}

int LabelColumn(const THeaderLabel& label) {
  const std::string_view name = label.Name;
  if (name.size() < 4) return -1;
  return StrToIntDef0(name.substr(3, 2)) - 1;
}

}  // namespace velmor

// The owner-drawn view shared by the three list grids: centred one-line cells, the selected
// row white on the active-caption colour, per-row text colours, empty rows never selected,
// and the wheel scrolling the view while no row is selected.
#pragma once

#include <QColor>
#include <QTableView>
#include <functional>
#include <optional>
#include <vector>

#include "app/grid_model.h"
#include "present/string_grid.h"

namespace velmor {

class GridView : public QTableView {
  Q_OBJECT

 public:
  // The text colour of an unselected row, or nothing for the grid's font colour.
  using RowColour = std::function<std::optional<QColor>(int row)>;

  GridView(TStringGrid& grid, const std::vector<int>& columnWidths, QWidget* parent = nullptr);

  void SetRowColour(RowColour colour) { rowColour_ = std::move(colour); }
  void SetHint(const QString& hint);
  StringGridModel* GridModel() const { return model_; }
  TStringGrid& Grid() const { return grid_; }

  // Call after the core changed the grid's cells, row count or selection.
  void Refresh();

  // Selects `row` as a click would; false (nothing changes) for an empty or missing row.
  bool SelectRow(int row);

  // Whether `row` is drawn as selected.
  bool IsRowSelected(int row) const;

  // The text colour `row` is drawn in (white when selected).
  QColor RowTextColour(int row) const;

  // The fill colour of a selected row: the system's colour of an active window's caption.
  QColor SelectionColour() const;
  // The cell colour of every list grid.
  static QColor CellColour() { return QColor(255, 253, 244); }

 signals:
  // A click selected `row`.
  void RowClicked(int row);
  // A double click on the selected `row`.
  void RowDoubleClicked(int row);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // Moves the selection by `step` rows; stops at the ends and before empty rows.
  void MoveSelection(int step);

  TStringGrid& grid_;
  StringGridModel* model_;
  RowColour rowColour_;
};

}  // namespace velmor

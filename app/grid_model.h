// A Qt table model over one of the core's string grids (SGrid, MGrid, ZGrid).
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <vector>

#include "present/string_grid.h"

namespace velmor {

// Shows the grid as it was at the last Refresh: the cells are decoded from GBK once per change,
// not at every repaint, and the model's own data changes only inside a reset.
class StringGridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  StringGridModel(const TStringGrid& grid, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  // Every cell shows the grid's hint as its tool tip.
  void SetHint(const QString& hint) { hint_ = hint; }

  // Takes the grid's current cells after the core rewrote it (cells, rows or selection).
  void Refresh();

 private:
  const TStringGrid& grid_;
  QString hint_;
  int rows_ = 0;
  int columns_ = 0;
  std::vector<QString> cells_;  // row by row
};

}  // namespace velmor

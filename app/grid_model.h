// A Qt table model over one of the core's string grids (SGrid, MGrid, ZGrid).
#pragma once

#include <QAbstractTableModel>
#include <QString>

#include "present/string_grid.h"

namespace velmor {

// Reads the grid cells directly; GBK is decoded only for display.
class StringGridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  StringGridModel(const TStringGrid& grid, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  // Every cell shows the grid's hint as its tool tip.
  void SetHint(const QString& hint) { hint_ = hint; }

  // Tells the views that the core rewrote the grid (cells, rows or selection).
  void Refresh();

 private:
  const TStringGrid& grid_;
  QString hint_;
};

}  // namespace velmor

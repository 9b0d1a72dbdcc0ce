#include "app/grid_model.h"

#include "app/qt_text.h"

namespace velmor {

StringGridModel::StringGridModel(const TStringGrid& grid, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid) {}

int StringGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : grid_.RowCount();
}

int StringGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : grid_.ColCount();
}

QVariant StringGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (role == Qt::DisplayRole) return FromGbk(grid_.Cells(index.column(), index.row()));
  if (role == Qt::ToolTipRole && !hint_.isEmpty()) return hint_;
  if (role == Qt::TextAlignmentRole) return int(Qt::AlignCenter);
  return {};
}

void StringGridModel::Refresh() {
  beginResetModel();
  endResetModel();
}

}  // namespace velmor

#include "app/grid_model.h"

#include "app/qt_text.h"

namespace velmor {

StringGridModel::StringGridModel(const TStringGrid& grid, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid) {
  Refresh();
}

int StringGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_;
}

int StringGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : columns_;
}

QVariant StringGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rows_ || index.column() >= columns_) return {};
  if (role == Qt::DisplayRole) {
    return cells_[static_cast<size_t>(index.row() * columns_ + index.column())];
  }
  if (role == Qt::ToolTipRole && !hint_.isEmpty()) return hint_;
  if (role == Qt::TextAlignmentRole) return int(Qt::AlignCenter);
  return {};
}

void StringGridModel::Refresh() {
  beginResetModel();
  rows_ = grid_.RowCount();
  columns_ = grid_.ColCount();
  cells_.assign(static_cast<size_t>(rows_) * static_cast<size_t>(columns_), QString());
  for (int r = 0; r < rows_; ++r) {
    for (int c = 0; c < columns_; ++c) {
      const std::string& text = grid_.Cells(c, r);
      // Most cells of a grid are blank rows; they need no converter at all.
      if (!text.empty()) cells_[static_cast<size_t>(r * columns_ + c)] = FromGbk(text);
    }
  }
  endResetModel();
}

}  // namespace velmor

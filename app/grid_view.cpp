#include "app/grid_view.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QWheelEvent>

namespace velmor {

namespace {

constexpr int kRowHeight = 18;

// Draws every cell itself: fill, then the text centred on one line.
class GridCellDelegate : public QStyledItemDelegate {
 public:
  explicit GridCellDelegate(GridView* view) : QStyledItemDelegate(view), view_(view) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const int row = index.row();
    const bool selected = view_->IsRowSelected(row);
    painter->save();
    painter->fillRect(option.rect, selected ? view_->SelectionColour() : GridView::CellColour());
    painter->setPen(view_->RowTextColour(row));
    painter->setFont(option.font);
    const QString text = index.data(Qt::DisplayRole).toString();
    painter->drawText(option.rect, Qt::AlignCenter | Qt::TextSingleLine, text);
    painter->restore();
  }

 private:
  GridView* view_;
};

}  // namespace

GridView::GridView(TStringGrid& grid, const std::vector<int>& columnWidths, QWidget* parent)
    : QTableView(parent), grid_(grid), model_(new StringGridModel(grid, this)) {
  setModel(model_);
  setItemDelegate(new GridCellDelegate(this));
  // The core's selection rectangle is the only selection; the view just draws it.
  setSelectionMode(QAbstractItemView::NoSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setFocusPolicy(Qt::StrongFocus);
  // Tab leaves the grid for the next control: the cells are never stepped through.
  setTabKeyNavigation(false);
  horizontalHeader()->hide();
  verticalHeader()->hide();
  verticalHeader()->setMinimumSectionSize(kRowHeight);
  verticalHeader()->setDefaultSectionSize(kRowHeight);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setMinimumSectionSize(8);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  for (size_t c = 0; c < columnWidths.size(); ++c) {
    setColumnWidth(static_cast<int>(c), columnWidths[c]);
  }
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  setShowGrid(true);
  setWordWrap(false);
  setFrameShape(QFrame::Box);
  setFrameShadow(QFrame::Plain);
  QPalette pal = palette();
  pal.setColor(QPalette::Base, CellColour());
  pal.setColor(QPalette::Window, CellColour());
  setPalette(pal);
  setMouseTracking(false);
}

void GridView::SetHint(const QString& hint) {
  setToolTip(hint);
  model_->SetHint(hint);
}

void GridView::Refresh() {
  model_->Refresh();
  viewport()->update();
}

QColor GridView::SelectionColour() const {
  return palette().color(QPalette::Active, QPalette::Highlight);
}

bool GridView::IsRowSelected(int row) const {
  if (grid_.SelectionParked()) return false;
  const TGridRect& s = grid_.Selection();
  return row >= s.Top && row <= s.Bottom;
}

QColor GridView::RowTextColour(int row) const {
  if (IsRowSelected(row)) return QColor(255, 255, 255);
  if (rowColour_) {
    if (std::optional<QColor> c = rowColour_(row)) return *c;
  }
  return palette().color(QPalette::Text);
}

bool GridView::SelectRow(int row) {
  if (row < 0 || row >= grid_.RowCount() || !CanSelectRow(grid_, row)) return false;
  grid_.SetSelection(TGridRect{0, row, grid_.ColCount() - 1, row});
  scrollTo(model_->index(row, 0));
  viewport()->update();
  return true;
}

void GridView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    setFocus(Qt::MouseFocusReason);
    const int row = rowAt(event->position().toPoint().y());
    if (SelectRow(row)) emit RowClicked(row);
    event->accept();
    return;
  }
  QTableView::mousePressEvent(event);
}

void GridView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  // The double click stands for the second press as well, so it selects like a press.
  SelectRow(rowAt(event->position().toPoint().y()));
  // Only a selected row opens anything; a parked selection names no row.
  if (!grid_.SelectionParked()) emit RowDoubleClicked(grid_.Row());
  event->accept();
}

void GridView::wheelEvent(QWheelEvent* event) {
  const int notches = event->angleDelta().y() / 120;
  if (notches == 0) {
    event->accept();
    return;
  }
  if (grid_.SelectionParked()) {
    verticalScrollBar()->setValue(verticalScrollBar()->value() - notches);
  } else {
    for (int i = 0; i < (notches > 0 ? notches : -notches); ++i)
      MoveSelection(notches > 0 ? -1 : 1);
  }
  event->accept();
}

void GridView::keyPressEvent(QKeyEvent* event) {
  if (!grid_.SelectionParked() && (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)) {
    MoveSelection(event->key() == Qt::Key_Up ? -1 : 1);
    event->accept();
    return;
  }
  QTableView::keyPressEvent(event);
}

void GridView::MoveSelection(int step) {
  const int target = grid_.Row() + step;
  if (SelectRow(target)) emit RowClicked(target);
}

}  // namespace velmor

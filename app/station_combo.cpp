#include "app/station_combo.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>

#include "app/qt_text.h"

namespace velmor {

namespace {
constexpr int kVisibleItems = 8;
}  // namespace

StationCombo::StationCombo(QWidget* parent) : QComboBox(parent), list_(new QListView) {
  setEditable(true);
  setInsertPolicy(QComboBox::NoInsert);
  setMaxVisibleItems(kVisibleItems);
  // The typed text is the box's own; the items are only offers.
  setCompleter(nullptr);
  // A tool-tip window is shown without being activated, so the box keeps the keyboard focus.
  list_->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
  list_->setAttribute(Qt::WA_ShowWithoutActivating);
  list_->setFocusPolicy(Qt::NoFocus);
  list_->viewport()->setFocusPolicy(Qt::NoFocus);
  list_->setModel(model());
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  list_->setUniformItemSizes(true);
  connect(list_, &QListView::clicked, this, [this](const QModelIndex& index) {
    PickRow(index.row());
    CloseUp();
  });
}

StationCombo::~StationCombo() {
  delete list_;
}

std::string StationCombo::GbkText() const {
  return ToGbk(currentText());
}

void StationCombo::SetGbkText(const std::string& gbk) {
  SetText(FromGbk(gbk));
}

void StationCombo::SetText(const QString& text) {
  const bool blocked = blockSignals(true);
  setEditText(text);
  blockSignals(blocked);
  CaretToEnd();
}

void StationCombo::SetItems(const std::vector<std::string>& gbkItems) {
  const QString text = currentText();
  const int caret = lineEdit()->cursorPosition();
  const bool blocked = blockSignals(true);
  clear();
  QStringList items;
  items.reserve(static_cast<qsizetype>(gbkItems.size()));
  for (const std::string& s : gbkItems) items << FromGbk(s);
  addItems(items);
  // Filling an empty box selects its first item; the typed text must stay.
  setCurrentIndex(-1);
  setEditText(text);
  lineEdit()->setCursorPosition(caret);
  blockSignals(blocked);
}

void StationCombo::CaretToEnd() {
  lineEdit()->setCursorPosition(static_cast<int>(lineEdit()->text().size()));
}

void StationCombo::DropDown() {
  if (!isVisible()) return;
  list_->setFont(font());
  const int rowHeight = qMax(list_->sizeHintForRow(0), fontMetrics().height());
  const int rows = qMin(count(), kVisibleItems);
  const int frame = 2 * list_->frameWidth();
  QPoint below = mapToGlobal(QPoint(0, height()));
  list_->resize(width(), rows * rowHeight + frame);
  list_->move(below);
  list_->clearSelection();
  list_->verticalScrollBar()->setValue(0);
  if (!list_->isVisible()) {
    window()->installEventFilter(this);
    list_->show();
  }
}

void StationCombo::CloseUp() {
  if (!list_->isVisible()) return;
  list_->hide();
  window()->removeEventFilter(this);
}

bool StationCombo::IsDroppedDown() const {
  return list_->isVisible();
}

void StationCombo::PickRow(int row) {
  if (row < 0 || row >= count()) return;
  // Picking runs the change handler, as typing does.
  setEditText(itemText(row));
  CaretToEnd();
}

void StationCombo::keyPressEvent(QKeyEvent* event) {
  if (IsDroppedDown()) {
    switch (event->key()) {
      case Qt::Key_Down:
      case Qt::Key_Up: {
        const int step = event->key() == Qt::Key_Down ? 1 : -1;
        const int current = list_->currentIndex().isValid() ? list_->currentIndex().row() : -1;
        const int row = qBound(0, current + step, count() - 1);
        list_->setCurrentIndex(model()->index(row, 0));
        PickRow(row);
        event->accept();
        return;
      }
      case Qt::Key_Escape:
        CloseUp();
        event->accept();
        return;
      case Qt::Key_Return:
      case Qt::Key_Enter:
        CloseUp();
        break;
      default:
        break;
    }
  }
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  QComboBox::keyPressEvent(event);
  if (enter) emit EnterPressed();
}

void StationCombo::focusOutEvent(QFocusEvent* event) {
  CloseUp();
  QComboBox::focusOutEvent(event);
}

void StationCombo::hideEvent(QHideEvent* event) {
  CloseUp();
  QComboBox::hideEvent(event);
}

bool StationCombo::eventFilter(QObject* watched, QEvent* event) {
  if (watched == window()) {
    switch (event->type()) {
      case QEvent::Move:
      case QEvent::Resize:
      case QEvent::Hide:
      case QEvent::WindowDeactivate:
      case QEvent::WindowStateChange:
        CloseUp();
        break;
      default:
        break;
    }
  }
  return QComboBox::eventFilter(watched, event);
}

}  // namespace velmor

// An editable station box whose list drops down while the user keeps typing in the box: the
// dropped list never takes the focus and never swallows a key.
#pragma once

#include <QComboBox>
#include <QListView>
#include <string>
#include <vector>

namespace velmor {

class StationCombo : public QComboBox {
  Q_OBJECT

 public:
  explicit StationCombo(QWidget* parent = nullptr);
  ~StationCombo() override;

  // The box's text as GBK.
  std::string GbkText() const;
  // Sets the text without running the change handler.
  void SetGbkText(const std::string& gbk);
  void SetText(const QString& text);

  // Replaces the item list (GBK texts); the typed text and the caret stay.
  void SetItems(const std::vector<std::string>& gbkItems);

  // Places the caret at the end of the text.
  void CaretToEnd();

  // Shows the item list below the box without taking the focus from it.
  void DropDown();
  void CloseUp();
  bool IsDroppedDown() const;
  QListView* DropList() const { return list_; }

 signals:
  // The Enter key was pressed in the box (it is passed on as well).
  void EnterPressed();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void PickRow(int row);

  QListView* list_;
};

}  // namespace velmor

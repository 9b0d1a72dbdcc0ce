// Keys a user presses on focused controls: Enter on a button, Tab out of a grid, typing in the
// middle of a station name.
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "app/UnitMsg.h"
#include "app/enter_clicks.h"
#include "app/grid_view.h"
#include "app/station_combo.h"
#include "app_test_support.h"

using namespace velmor;
using namespace velmor::testing;

class WindowKeysTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { InstallEnterClicksButtons(); }
  void enterOnTheFocusedButtonClicksIt();
  void tabLeavesTheGrids();
  void typingInTheMiddleLeavesTheCaretAtTheEnd();

 private:
  FixtureResources resources_;
};

void WindowKeysTest::enterOnTheFocusedButtonClicksIt() {
  ScriptedDialogs dialogs;
  auto w = ReadyWindow(dialogs, resources_);
  QVERIFY(w);
  PickStation(w->ComboFZ, "天津");
  PickStation(w->ComboDZ, "南京");
  w->ComboDZ->setFocus();
  QTest::keyClick(w->ComboDZ, Qt::Key_Return);
  QTRY_VERIFY(w->BTNZZCX->hasFocus());
  QTest::keyClick(w->BTNZZCX, Qt::Key_Return);
  QVERIFY(w->Pub().Pub_ResultCount > 0);
  // The keypad's Enter as well: 反向 swaps the two stations.
  w->BTNZZFX->setFocus();
  QTest::keyClick(w->BTNZZFX, Qt::Key_Enter, Qt::KeypadModifier);
  QCOMPARE(w->ComboFZ->currentText(), QStringLiteral("南京"));
}

void WindowKeysTest::tabLeavesTheGrids() {
  ScriptedDialogs dialogs;
  auto w = ReadyWindow(dialogs, resources_);
  QVERIFY(w);
  w->SGrid->setFocus();
  QTRY_VERIFY(w->SGrid->hasFocus());
  QTest::keyClick(w->SGrid, Qt::Key_Tab);
  QTRY_VERIFY(w->ComboFZ->hasFocus());

  TFrmMsg msg(MsgView{}, dialogs);
  msg.show();
  QApplication::setActiveWindow(&msg);
  QVERIFY(QTest::qWaitForWindowActive(&msg));
  msg.MGrid->setFocus();
  QTRY_VERIFY(msg.MGrid->hasFocus());
  QTest::keyClick(msg.MGrid, Qt::Key_Tab);
  QTRY_VERIFY(msg.BTNExport->hasFocus());
}

void WindowKeysTest::typingInTheMiddleLeavesTheCaretAtTheEnd() {
  ScriptedDialogs dialogs;
  auto w = ReadyWindow(dialogs, resources_);
  QVERIFY(w);
  QLineEdit* edit = w->ComboFZ->lineEdit();
  edit->setFocus();
  QTest::keyClicks(edit, QStringLiteral("bj1"));
  QTest::keyClick(edit, Qt::Key_Home);
  QTest::keyClicks(edit, QStringLiteral("xy"));
  QCOMPARE(edit->text(), QStringLiteral("xbj1y"));
  QCOMPARE(edit->cursorPosition(), 5);
}

QTEST_MAIN(WindowKeysTest)
#include "window_keys_test.moc"

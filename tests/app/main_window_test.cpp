#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <chrono>
#include <initializer_list>
#include <sstream>
#include <thread>
#include <utility>
#include <vector>

#include "app/click_label.h"
#include "app/grid_view.h"
#include "app_test_support.h"
#include "cli/cli_run.h"
#include "present/grid_export.h"
#include "query/queries.h"

using namespace velmor;
using namespace velmor::testing;

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void startsWithTheLayoutAndDisabledControls();
  void closingWhileTheLoadersRunIsSafe();
  void buttonsNeverComeBeforeTheStationBoxes();
  void typingLettersDropsTheListAndKeepsTheFocus();
  void clearingAndTrimmingTheStationText();
  void enterMovesThroughThePanel();
  void stationToStationShowsRowsInRed();
  void filtersSortingAndReverse();
  void inputMessagesMoveTheFocus();
  void noDirectTrainOffersTheTransferSearch();
  void trainNumberIsTypedInUpperCase();
  void stationTimetableListsTheCity();
  void gridRefusesEmptyRowsAndWheelScrolls();
  void advancedMenuFollowsTheResultCount();
  void embeddedTimetableAnswersBeijingShanghai();
  void bothFrontEndsShowTheSameRows();
  void aTableThatFailsToLoadIsSaid();
  void aShortcutThatCannotBeCreatedIsSaid();

 private:
  FixtureResources resources_;
};

void MainWindowTest::startsWithTheLayoutAndDisabledControls() {
  ScriptedDialogs dialogs;
  TFrmVelmor w(TestOptions(dialogs, resources_.Finder()));
  // Enabling is queued to the event loop, so right after creation nothing is enabled yet.
  QVERIFY(!w.ComboFZ->isEnabled());
  QVERIFY(!w.BTNZZCX->isEnabled());
  QVERIFY(!w.BTNCZCX->isEnabled());
  QVERIFY(w.BTNZZFX->isEnabled());
  QVERIFY(w.ECC->isEnabled());
  QCOMPARE(w.LabNew->text(), QStringLiteral("版本检测中..."));
  QCOMPARE(w.size(), QSize(985, 519));
  QCOMPARE(w.minimumSize(), w.maximumSize());
  QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));
  QVERIFY(w.windowTitle().startsWith(QStringLiteral("纬途时刻表，")));
  QCOMPARE(w.StatusBar1[0]->text(), QStringLiteral("当前版本:2011.12.01"));
  QCOMPARE(w.LabResult->text(), QStringLiteral("结果:0"));
  QCOMPARE(w.SGrid->geometry(), QRect(14, 43, 959, 305));
  QCOMPARE(w.Lab[9]->text(), QStringLiteral("里程"));
  QCOMPARE(w.Lab[10]->text(), QStringLiteral("历时"));
  QVERIFY(w.Lab[9]->x() < w.Lab[10]->x());
  for (ClickLabel* label : w.Lab) QCOMPARE(label->Tag, 33);
  QCOMPARE(w.ComboFZ->count(), 12);
  QCOMPARE(w.ComboFZ->toolTip(), QStringLiteral("支持拼音首字母输入，如[北京]->BJ"));
  QCOMPARE(w.BTNZZZZ->property("Tag").toInt(), 1);
  // A real font with Chinese glyphs is in use, not a box-drawing fallback.
  QVERIFY(QFontMetrics(w.font()).inFont(QChar(0x5317)));

  w.show();
  QTRY_VERIFY_WITH_TIMEOUT(w.ComboFZ->isEnabled(), 20000);
  QTRY_VERIFY_WITH_TIMEOUT(w.BTNZZCX->isEnabled(), 20000);
  QVERIFY(w.BTNZZZZ->isEnabled() && w.BTNCCCX->isEnabled() && w.BTNCZCX->isEnabled());
  QVERIFY(w.Tables.SMLoaded && w.Tables.TrainLoaded);
  // The offline check ends with the unreachable message, on this thread.
  QTRY_COMPARE_WITH_TIMEOUT(w.LabNew->text(), QStringLiteral("网络未连通，无法获取最新版本信息。"),
                            20000);
}

void MainWindowTest::closingWhileTheLoadersRunIsSafe() {
  for (int i = 0; i < 5; ++i) {
    ScriptedDialogs dialogs;
    auto w = std::make_unique<TFrmVelmor>(TestOptions(dialogs));
    w->show();
    if (i % 2 == 1) QCoreApplication::processEvents();
    w.reset();
    // Signals queued by the loaders for the dead window must be dropped.
    QCoreApplication::processEvents();
    QVERIFY(dialogs.Messages.empty());
  }
}

// Records, each time a button becomes enabled, whether the station boxes already were.
class EnableOrder : public QObject {
 public:
  explicit EnableOrder(QWidget* box) : box_(box) {}
  bool BoxesFirst = true;
  int Enabled = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::EnabledChange && static_cast<QWidget*>(watched)->isEnabled()) {
      ++Enabled;
      BoxesFirst = BoxesFirst && box_->isEnabled();
    }
    return false;
  }

 private:
  QWidget* box_;
};

void MainWindowTest::buttonsNeverComeBeforeTheStationBoxes() {
  // The pinyin table comes last, after the train list has loaded and queued its signal; the
  // window looks at its queue only when both loaders are through, so the train loader's
  // request to enable the buttons sits ahead of the request to enable the boxes.
  std::atomic<bool> trainAsked{false};
  std::atomic<bool> smAsked{false};
  ResourceFinder inner = resources_.Finder();
  ResourceFinder finder = [&](std::string_view name, std::string_view type) {
    if (SameTextAscii(name, "STRAIN")) trainAsked = true;
    if (SameTextAscii(name, "SM")) smAsked = true;
    if (SameTextAscii(name, "SPY")) {
      while (!trainAsked) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return inner(name, type);
  };
  ScriptedDialogs dialogs;
  TFrmVelmor w(TestOptions(dialogs, finder));
  EnableOrder order(w.ComboFZ);
  for (QPushButton* b : {w.BTNZZCX, w.BTNZZZZ, w.BTNCCCX, w.BTNCZCX}) b->installEventFilter(&order);
  // The event loop must not run before both loaders are through; a loader that never gets
  // there fails the test below instead of hanging it.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while ((!smAsked || !w.Tables.SMLoaded) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(100));

  QTRY_VERIFY_WITH_TIMEOUT(w.QueriesReady(), 20000);
  QCOMPARE(order.Enabled, 4);
  QVERIFY(order.BoxesFirst);
  QVERIFY(w.ComboFZ->isEnabled() && w.ComboDZ->isEnabled() && w.ComboCZ->isEnabled());
}

void MainWindowTest::typingLettersDropsTheListAndKeepsTheFocus() {
  ScriptedDialogs dialogs;
  auto w = ReadyWindow(dialogs, resources_);
  QVERIFY(w);
  w->ComboFZ->setFocus();
  QTRY_VERIFY(w->ComboFZ->hasFocus());

  QTest::keyClick(w->ComboFZ, Qt::Key_B);
  QVERIFY(w->ComboFZ->IsDroppedDown());
  QVERIFY(w->ComboFZ->DropList()->isVisible());
  QVERIFY(w->ComboFZ->hasFocus());
  QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w->ComboFZ));
  QCOMPARE(w->ComboFZ->itemText(0), QStringLiteral("北京"));

  QTest::keyClick(w->ComboFZ, Qt::Key_J);
  QCOMPARE(w->ComboFZ->currentText(), QStringLiteral("bj"));
  QVERIFY(w->ComboFZ->IsDroppedDown());
  QVERIFY(w->ComboFZ->hasFocus());
  QCOMPARE(w->ComboFZ->itemText(0), QStringLiteral("北京"));
  QCOMPARE(w->ComboFZ->itemText(1), QStringLiteral("北京西"));
  for (int i = 0; i < w->ComboFZ->count(); ++i) {
    const QString item = w->ComboFZ->itemText(i);
    QVERIFY2(item.isEmpty() || item == QStringLiteral("北京") || item.startsWith("北京") ||
                 item == QStringLiteral("宝鸡"),
             qPrintable(item));
  }
  // The popup's model is the box's own item list.
  QCOMPARE(w->ComboFZ->DropList()->model()->rowCount(), w->ComboFZ->count());

  QTest::keyClick(w->ComboFZ, Qt::Key_X);
  QCOMPARE(w->ComboFZ->count(), 9);
  QCOMPARE(w->ComboFZ->itemText(0), QStringLiteral("北京西"));
  for (int i = 1; i < 9; ++i) QVERIFY(w->ComboFZ->itemText(i).isEmpty());

  // Picking from the dropped list puts the name in the box and closes the list.
  QListView* list = w->ComboFZ->DropList();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                    list->visualRect(list->model()->index(0, 0)).center());
  QCOMPARE(w->ComboFZ->currentText(), QStringLiteral("北京西"));
  QVERIFY(!w->ComboFZ->IsDroppedDown());
  QVERIFY(w->ComboFZ->hasFocus());
  // A Chinese name leaves the list as it was.
  QCOMPARE(w->ComboFZ->itemText(0), QStringLiteral("北京西"));
}

void MainWindowTest::clearingAndTrimmingTheStationText() {
  ScriptedDialogs dialogs;
  auto w = ReadyWindow(dialogs, resources_);
  QVERIFY(w);
  w->ComboDZ->setFocus();
  QTest::keyClicks(w->ComboDZ, "sh");
  QVERIFY(w->ComboDZ->IsDroppedDown());
  QCOMPARE(w->ComboDZ->itemText(0), QStringLiteral("上海"));
  QTest::keyClick(w->ComboDZ, Qt::Key_Backspace);
  QTest::keyClick(w->ComboDZ, Qt::Key_Backspace);
  QCOMPARE(w->ComboDZ->currentText(), QString());
  QCOMPARE(w->ComboDZ->count(), 9);
  for (int i = 0; i < 9; ++i) QVERIFY(w->ComboDZ->itemText(i).isEmpty());
  QVERIFY(!w->ComboDZ->IsDroppedDown());

  // Blanks at either end vanish at once and the caret goes to the end.
  QTest::keyClick(w->ComboDZ, Qt::Key_Space);
  QCOMPARE(w->ComboDZ->currentText(), QString());
  w->ComboDZ->setEditText(QStringLiteral(" 上海 "));
  QCOMPARE(w->ComboDZ->currentText(), QStringLiteral("上海"));
  QCOMPARE(w->ComboDZ->lineEdit()->cursorPosition(), 2);
  // Letters followed by a digit leave the list as it was.
  const int before = w->ComboDZ->count();
  w->ComboDZ->setEditText(QStringLiteral("bj2"));
  QCOMPARE(w->ComboDZ->count(), before);
  QCOMPARE(w->ComboDZ->itemText(0), QString());
}

void MainWindowTest::enterMovesThroughThePanel() {
  ScriptedDialogs dialogs;
  auto w = ReadyWindow(dialogs, resources_);
  QVERIFY(w);
  w->ComboFZ->setFocus();
  QTRY_VERIFY(w->ComboFZ->hasFocus());
  QTest::keyClick(w->ComboFZ, Qt::Key_Return);
  QTRY_VERIFY(w->ComboDZ->hasFocus());
  QTest::keyClick(w->ComboDZ, Qt::Key_Return);
  QTRY_VERIFY(w->BTNZZCX->hasFocus());
  // Enter never runs a query by itself.
  QVERIFY(dialogs.Messages.empty());
  w->ComboCZ->setFocus();
  QTest::keyClick(w->ComboCZ, Qt::Key_Enter);
  QTRY_VERIFY(w->BTNCZCX->hasFocus());
}

void MainWindowTest::stationToStationShowsRowsInRed() {
  ScriptedDialogs dialogs;
  auto w = ReadyWindow(dialogs, resources_);
  QVERIFY(w);
  PickStation(w->ComboFZ, "北京");
  PickStation(w->ComboDZ, "上海");
  QTest::mouseClick(w->BTNZZCX, Qt::LeftButton);
  QVERIFY(dialogs.Messages.empty());
  const TStringGrid& g = w->Result().SGrid;
  const int shown = FilledRows(g);
  QVERIFY(shown > 0);
  QCOMPARE(shown, w->Pub().Pub_ResultCount);
  QCOMPARE(w->LabResult->text(), QStringLiteral("结果:%1").arg(shown));
  const auto beijing = CityGroup(w->Tables, G("北京"));
  const auto shanghai = CityGroup(w->Tables, G("上海"));
  int red = 0;
  for (int r = 0; r < shown; ++r) {
    QVERIFY(Contains(beijing, g.Cells(4, r)));
    QVERIFY(Contains(shanghai, g.Cells(6, r)));
    const bool startsHere = g.Cells(4, r) == g.Cells(1, r);
    QCOMPARE(w->SGrid->RowTextColour(r) == QColor(255, 0, 0), startsHere);
    red += startsHere ? 1 : 0;
  }
  QVERIFY(red > 0);
  // The model shows the cells decoded, one row per grid row.
  QCOMPARE(w->SGrid->model()->rowCount(), g.RowCount());
  QCOMPARE(w->SGrid->model()->index(0, 4).data().toString(), Cell(g, 4, 0));

  // A clicked row is drawn white on the selection colour; an empty row cannot be selected.
  QTest::mouseClick(w->SGrid->viewport(), Qt::LeftButton, {},
                    w->SGrid->visualRect(w->SGrid->model()->index(0, 2)).center());
  QVERIFY(w->SGrid->IsRowSelected(0));
  QCOMPARE(w->SGrid->RowTextColour(0), QColor(255, 255, 255));
}

void MainWindowTest::filtersSortingAndReverse() {
  ScriptedDialogs dialogs;
  auto w = ReadyWindow(dialogs, resources_);
  QVERIFY(w);
  PickStation(w->ComboFZ, "北京");
  PickStation(w->ComboDZ, "上海");
  w->BTNZZCXClick(0);
  const TStringGrid& g = w->Result().SGrid;
  const int all = w->Pub().Pub_ResultCount;
  QVERIFY(all > 0);

  QTest::mouseClick(w->CBDC, Qt::LeftButton);
  QVERIFY(w->CBDC->isChecked());
  const int multipleUnits = w->Pub().Pub_ResultCount;
  QVERIFY(multipleUnits <= all);
  QCOMPARE(FilledRows(g), multipleUnits);
  QCOMPARE(w->LabResult->text(), QStringLiteral("结果:%1").arg(multipleUnits));
  for (int r = 0; r < multipleUnits; ++r) {
    const char first = g.Cells(0, r)[0];
    QVERIFY2(first == 'C' || first == 'D' || first == 'G', g.Cells(0, r).c_str());
  }
  QTest::mouseClick(w->CBDC, Qt::LeftButton);
  QCOMPARE(w->Pub().Pub_ResultCount, all);

  // "里程" twice: ascending, then descending, with the mark after the caption.
  QTest::mouseClick(w->Lab[9], Qt::LeftButton);
  QCOMPARE(w->Lab[9]->text(), QStringLiteral("里程↑"));
  QVERIFY(w->Lab[9]->font().bold());
  for (int r = 1; r < all; ++r) {
    QVERIFY(StrToIntDef0(g.Cells(9, r - 1)) <= StrToIntDef0(g.Cells(9, r)));
  }
  QTest::mouseClick(w->Lab[9], Qt::LeftButton);
  QCOMPARE(w->Lab[9]->text(), QStringLiteral("里程↓"));
  for (int r = 1; r < all; ++r) {
    QVERIFY(StrToIntDef0(g.Cells(9, r - 1)) >= StrToIntDef0(g.Cells(9, r)));
  }
  // Another header clears the first.
  QTest::mouseClick(w->Lab[0], Qt::LeftButton);
  QCOMPARE(w->Lab[9]->text(), QStringLiteral("里程"));
  QVERIFY(!w->Lab[9]->font().bold());
  QCOMPARE(w->Lab[0]->text(), QStringLiteral("车 次↑"));

  // 反向 swaps the boxes and queries again.
  QTest::mouseClick(w->BTNZZFX, Qt::LeftButton);
  QCOMPARE(w->ComboFZ->currentText(), QStringLiteral("上海"));
  QCOMPARE(w->ComboDZ->currentText(), QStringLiteral("北京"));
  const auto shanghai = CityGroup(w->Tables, G("上海"));
  const auto beijing = CityGroup(w->Tables, G("北京"));
  QVERIFY(w->Pub().Pub_ResultCount > 0);
  for (int r = 0; r < w->Pub().Pub_ResultCount; ++r) {
    QVERIFY(Contains(shanghai, g.Cells(4, r)));
    QVERIFY(Contains(beijing, g.Cells(6, r)));
  }
  QVERIFY(!w->CBDC->isChecked());
}

void MainWindowTest::inputMessagesMoveTheFocus() {
  ScriptedDialogs dialogs;
  auto w = ReadyWindow(dialogs, resources_);
  QVERIFY(w);
  PickStation(w->ComboFZ, "北京");
  PickStation(w->ComboDZ, "上海");
  w->BTNZZCXClick(0);
  const int rows = w->Pub().Pub_ResultCount;
  QVERIFY(rows > 0);

  // Pinyin initials left in the box are refused even though they are a valid code.
  w->ComboFZ->setEditText(QStringLiteral("BJ"));
  w->ComboFZ->CloseUp();
  w->ECC->setFocus();
  QTest::mouseClick(w->BTNZZCX, Qt::LeftButton);
  QCOMPARE(dialogs.Messages.size(), size_t{1});
  QCOMPARE(dialogs.Messages[0].Caption, QStringLiteral("信息不完整"));
  QCOMPARE(dialogs.Messages[0].Text, QStringLiteral("请输入发站。"));
  QTRY_VERIFY(w->ComboFZ->hasFocus());
  // A failed check leaves the previous rows.
  QCOMPARE(w->Pub().Pub_ResultCount, rows);

  PickStation(w->ComboFZ, "上海");
  w->BTNZZCXClick(0);
  QCOMPARE(dialogs.Messages.back().Caption, QStringLiteral("输入错误"));
  QCOMPARE(dialogs.Messages.back().Text, QStringLiteral("发站与到站相同。"));
  QTRY_VERIFY(w->ComboDZ->hasFocus());

  PickStation(w->ComboFZ, "北京");
  PickStation(w->ComboDZ, "火星");
  w->BTNZZCXClick(0);
  QCOMPARE(dialogs.Messages.back().Text, QStringLiteral("到站不存在。"));

  w->ComboCZ->setEditText(QStringLiteral("bj"));
  w->BTNCZCXClick();
  QCOMPARE(dialogs.Messages.back().Caption, QStringLiteral("信息不完整"));
  QCOMPARE(dialogs.Messages.back().Text, QStringLiteral("请输入车站。"));
  QTRY_VERIFY(w->ComboCZ->hasFocus());

  w->ECC->setText(QStringLiteral("  "));
  w->BTNCCCXClick();
  QCOMPARE(dialogs.Messages.back().Text, QStringLiteral("请输入车次。"));
  QTRY_VERIFY(w->ECC->hasFocus());
}

void MainWindowTest::noDirectTrainOffersTheTransferSearch() {
  ScriptedDialogs dialogs;
  auto w = ReadyWindow(dialogs, resources_);
  QVERIFY(w);
  // In the fixture timetable the two lines meet only at 郑州.
  PickStation(w->ComboFZ, "南京");
  PickStation(w->ComboDZ, "西安");
  dialogs.YesNoAnswers = {false};
  w->BTNZZCXClick(0);
  QCOMPARE(dialogs.Questions.size(), size_t{1});
  QCOMPARE(dialogs.Questions[0].Caption, QStringLiteral("纬途时刻表"));
  QCOMPARE(dialogs.Questions[0].Text, FromGbk(TransferOfferText()));
  QCOMPARE(w->LabResult->text(), QStringLiteral("结果:0"));
  QCOMPARE(w->Result().SGrid.RowCount(), 16);
  QCOMPARE(FilledRows(w->Result().SGrid), 0);
}

void MainWindowTest::trainNumberIsTypedInUpperCase() {
  ScriptedDialogs dialogs;
  auto w = ReadyWindow(dialogs, resources_);
  QVERIFY(w);
  w->ECC->setFocus();
  QTest::keyClicks(w->ECC, "k10");
  QCOMPARE(w->ECC->text(), QStringLiteral("K10"));
  w->ECC->clear();
  QTest::keyClicks(w->ECC, " t110 ");
  QCOMPARE(w->ECC->text(), QStringLiteral(" T110 "));
  QTest::mouseClick(w->BTNCCCX, Qt::LeftButton);
  QCOMPARE(w->Pub().QueryMode, 2);
  QCOMPARE(w->Pub().Pub_ResultCount, 1);
  QCOMPARE(Cell(w->Result().SGrid, 0, 0), QStringLiteral("T110"));
  QCOMPARE(w->LabResult->text(), QStringLiteral("结果:1"));
}

void MainWindowTest::stationTimetableListsTheCity() {
  ScriptedDialogs dialogs;
  auto w = ReadyWindow(dialogs, resources_);
  QVERIFY(w);
  PickStation(w->ComboCZ, "北京");
  QTest::mouseClick(w->BTNCZCX, Qt::LeftButton);
  QCOMPARE(w->Pub().QueryMode, 3);
  const TStringGrid& g = w->Result().SGrid;
  const int rows = w->Pub().Pub_ResultCount;
  QVERIFY(rows > 0);
  const auto beijing = CityGroup(w->Tables, G("北京"));
  for (int r = 0; r < rows; ++r) {
    QVERIFY(Contains(beijing, g.Cells(4, r)) || Contains(beijing, g.Cells(6, r)));
  }
  // 精确站名 keeps only the rows at 北京 itself.
  QTest::mouseClick(w->CBJQ, Qt::LeftButton);
  QVERIFY(w->Pub().Pub_ResultCount < rows);
  for (int r = 0; r < w->Pub().Pub_ResultCount; ++r) {
    QVERIFY(g.Cells(4, r) == G("北京") || g.Cells(6, r) == G("北京"));
  }
}

void MainWindowTest::gridRefusesEmptyRowsAndWheelScrolls() {
  ScriptedDialogs dialogs;
  auto w = ReadyWindow(dialogs, resources_);
  QVERIFY(w);
  PickStation(w->ComboCZ, "北京");
  w->BTNCZCXClick();
  const int rows = w->Pub().Pub_ResultCount;
  QVERIFY(rows > 0 && rows < w->Result().SGrid.RowCount());
  GridView* grid = w->SGrid;
  QVERIFY(w->Result().SGrid.SelectionParked());
  // An empty row below the results cannot be selected.
  QVERIFY(!grid->SelectRow(rows));
  QVERIFY(w->Result().SGrid.SelectionParked());

  // With no row selected the wheel scrolls the view.
  w->Result().SGrid.SetRowCount(60);
  grid->Refresh();
  QCOMPARE(grid->verticalScrollBar()->value(), 0);
  const QPoint centre = grid->viewport()->rect().center();
  QWheelEvent down(centre, grid->viewport()->mapToGlobal(centre), QPoint(), QPoint(0, -120),
                   Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(grid->viewport(), &down);
  QCOMPARE(grid->verticalScrollBar()->value(), 1);
  QVERIFY(w->Result().SGrid.SelectionParked());

  // With a row selected the wheel moves the selection and stops at the last result row.
  grid->verticalScrollBar()->setValue(0);
  QVERIFY(grid->SelectRow(rows - 1));
  QApplication::sendEvent(grid->viewport(), &down);
  QCOMPARE(w->Result().SGrid.Row(), rows - 1);
  QWheelEvent up(centre, grid->viewport()->mapToGlobal(centre), QPoint(), QPoint(0, 120),
                 Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  if (rows > 1) {
    QApplication::sendEvent(grid->viewport(), &up);
    QCOMPARE(w->Result().SGrid.Row(), rows - 2);
  }
}

void MainWindowTest::advancedMenuFollowsTheResultCount() {
  ScriptedDialogs dialogs;
  auto w = ReadyWindow(dialogs, resources_);
  QVERIFY(w);
  QVERIFY(w->BTNAdvanced->menu() == w->MAdvanced);
  QMetaObject::invokeMethod(w->MAdvanced, "aboutToShow");
  QVERIFY(!w->MPrint->isEnabled());
  QVERIFY(!w->MExport->isEnabled());
  QVERIFY(w->MAbout->isEnabled() && w->MDesktop->isEnabled() && w->NStart->isEnabled());
  // Triggering the disabled items does nothing.
  w->MPrintClick();
  w->MExportClick();
  QVERIFY(dialogs.Questions.empty() && dialogs.SaveFilters.isEmpty());

  w->ECC->setText(QStringLiteral("G1"));
  w->BTNCCCXClick();
  QVERIFY(w->Pub().Pub_ResultCount > 0);
  QMetaObject::invokeMethod(w->MAdvanced, "aboutToShow");
  QVERIFY(w->MPrint->isEnabled());
  QVERIFY(w->MExport->isEnabled());
}

void MainWindowTest::embeddedTimetableAnswersBeijingShanghai() {
  ScriptedDialogs dialogs;
  TFrmVelmor w(TestOptions(dialogs));
  w.show();
  QTRY_VERIFY_WITH_TIMEOUT(w.QueriesReady(), 20000);
  PickStation(w.ComboFZ, "北京");
  PickStation(w.ComboDZ, "上海");
  w.BTNZZCXClick(0);
  QVERIFY(dialogs.Messages.empty());
  const int rows = w.Pub().Pub_ResultCount;
  QVERIFY(rows > 0);
  const auto beijing = CityGroup(w.Tables, G("北京"));
  for (int r = 0; r < rows; ++r) QVERIFY(Contains(beijing, w.Result().SGrid.Cells(4, r)));
  QCOMPARE(w.LabResult->text(), QStringLiteral("结果:%1").arg(rows));
}

// The same clicks in the window and as velmor-cli options give the same rows in the same order.
void MainWindowTest::bothFrontEndsShowTheSameRows() {
  ScriptedDialogs dialogs;
  auto w = ReadyWindow(dialogs, resources_);
  QVERIFY(w);
  PickStation(w->ComboFZ, "北京");
  PickStation(w->ComboDZ, "上海");
  w->BTNZZCXClick(0);
  w->CBSF->click();
  w->Lab1Click(9);
  w->Lab1Click(9);
  const TStringGrid& g = w->Result().SGrid;
  std::string shown;
  for (int r = 0; r < w->Pub().Pub_ResultCount; ++r) {
    std::string line;
    for (int c = 0; c < g.ColCount(); ++c) line += (c ? "," : "") + CsvField(g.Cells(c, r));
    shown += GbkToUtf8(line) + "\n";
  }
  QVERIFY(w->Pub().Pub_ResultCount > 1);

  CliOptions cli;
  cli.TablesDir = std::string(VELMOR_FIXTURE_DIR) + "/tables";
  cli.SF = true;
  cli.Sorts = {10, 10};
  cli.Format = CliFormat::Csv;
  cli.Command = CliCommand::ZZ;
  cli.Args = {"北京", "上海"};
  std::ostringstream out;
  std::ostringstream err;
  QCOMPARE(RunCli(cli, out, err, false, nullptr), 0);
  QCOMPARE(QString::fromStdString(out.str()), QString::fromStdString(shown));
}

void MainWindowTest::aTableThatFailsToLoadIsSaid() {
  ResourceFinder inner = resources_.Finder();
  const std::string damaged = "ME\x10\x00\x00\x00not deflate at all";
  ResourceFinder finder = [&](std::string_view name,
                              std::string_view type) -> std::optional<std::string_view> {
    if (SameTextAscii(name, "STRAIN")) return std::string_view(damaged);
    return inner(name, type);
  };
  ScriptedDialogs dialogs;
  TFrmVelmor w(TestOptions(dialogs, finder));
  QTRY_COMPARE_WITH_TIMEOUT(dialogs.Messages.size(), size_t{1}, 20000);
  QVERIFY(dialogs.Messages[0].Text.contains(QStringLiteral("STrain")));
  QVERIFY(dialogs.Messages[0].Text.contains(QStringLiteral("数据已损坏")));
  QVERIFY(!w.BTNZZCX->isEnabled());
}

// Sets environment variables for its lifetime and puts back what was there.
class EnvironmentFor {
 public:
  EnvironmentFor(std::initializer_list<std::pair<const char*, QString>> values) {
    for (const auto& [name, value] : values) {
      saved_.push_back({name, qEnvironmentVariableIsSet(name), qgetenv(name)});
      qputenv(name, QFile::encodeName(value));
    }
  }
  ~EnvironmentFor() {
    for (const Saved& s : saved_) {
      if (s.wasSet) {
        qputenv(s.name, s.value);
      } else {
        qunsetenv(s.name);
      }
    }
  }
  EnvironmentFor(const EnvironmentFor&) = delete;
  EnvironmentFor& operator=(const EnvironmentFor&) = delete;

 private:
  struct Saved {
    const char* name;
    bool wasSet;
    QByteArray value;
  };
  std::vector<Saved> saved_;
};

void MainWindowTest::aShortcutThatCannotBeCreatedIsSaid() {
  // Files where the desktop and applications folders belong: no launcher can be written.
  QTemporaryDir home;
  QVERIFY(home.isValid());
  QFile(home.filePath(QStringLiteral("Desktop"))).open(QIODevice::WriteOnly);
  QDir().mkpath(home.filePath(QStringLiteral("share")));
  QFile(home.filePath(QStringLiteral("share/applications"))).open(QIODevice::WriteOnly);
  const EnvironmentFor env({{"HOME", home.path()},
                            {"XDG_DATA_HOME", home.filePath(QStringLiteral("share"))},
                            {"XDG_CONFIG_HOME", home.filePath(QStringLiteral("config"))}});
  ScriptedDialogs dialogs;
  auto w = ReadyWindow(dialogs, resources_);
  QVERIFY(w);
  w->MDesktop->trigger();
  w->NStart->trigger();
  QCOMPARE(dialogs.Messages.size(), size_t{2});
  QCOMPARE(dialogs.Messages[0].Text, QStringLiteral("无法在桌面创建快捷方式。"));
  QCOMPARE(dialogs.Messages[1].Text, QStringLiteral("无法在开始菜单创建快捷方式。"));
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"

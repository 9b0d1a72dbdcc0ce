#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>

#include "app/UnitMsg.h"
#include "app/grid_view.h"
#include "app_test_support.h"

using namespace velmor;
using namespace velmor::testing;

class MsgWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void doubleClickShowsTheStretchInBlue();
  void trainNumberRowIsBlueThroughout();
  void detailListExportsWithDetailTitles();
  void doubleClickOnAnEmptyRowOpensNothing();

 private:
  // Double-clicks result row `row` of the main grid.
  static void DoubleClickRow(TFrmVelmor& w, int row) {
    GridView* grid = w.SGrid;
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {},
                       grid->visualRect(grid->model()->index(row, 1)).center());
  }
  static int RowOfTrain(const TStringGrid& g, const char* number) {
    for (int r = 0; r < g.RowCount(); ++r) {
      if (g.Cells(0, r) == number) return r;
    }
    return -1;
  }

  FixtureResources resources_;
};

void MsgWindowTest::doubleClickShowsTheStretchInBlue() {
  ScriptedDialogs dialogs;
  auto w = ReadyWindow(dialogs, resources_);
  QVERIFY(w);
  // D301 runs 北京 - 天津 - 济南 - 南京 - 苏州 - 上海 through the night.
  PickStation(w->ComboFZ, "天津");
  PickStation(w->ComboDZ, "南京");
  w->BTNZZCXClick(0);
  const int row = RowOfTrain(w->Result().SGrid, "D301");
  QVERIFY(row >= 0);
  bool shown = false;
  auto watch = WhenModal<TFrmMsg>([&](TFrmMsg* msg) {
    const MsgView& v = msg->View();
    QCOMPARE(msg->windowTitle(), QStringLiteral("车次:D301"));
    QVERIFY(v.FilledRows >= 2);
    const QRegularExpression whole(QStringLiteral("^全程：\\d+km/历时\\d+:\\d+/速度\\d*km/h$"));
    const QRegularExpression stretch(QStringLiteral("^区间：\\d+km/历时\\d+:\\d+/速度\\d*km/h$"));
    QVERIFY2(whole.match(msg->LabQC->text()).hasMatch(), qPrintable(msg->LabQC->text()));
    QVERIFY2(stretch.match(msg->LabQJ->text()).hasMatch(), qPrintable(msg->LabQJ->text()));
    QCOMPARE(Cell(v.MGrid, 5, 0), QStringLiteral("当天"));
    QVERIFY(v.MGrid.Cells(7, 0).empty());
    bool nextDay = false;
    int blue = 0;
    for (int r = 0; r < v.FilledRows; ++r) {
      const QString day = Cell(v.MGrid, 5, r);
      QVERIFY(day == QStringLiteral("当天") ||
              QRegularExpression("^第\\d+天$").match(day).hasMatch());
      nextDay = nextDay || day == QStringLiteral("第2天");
      const bool inStretch = IsStretchRow(v, r);
      QCOMPARE(msg->MGrid->RowTextColour(r) == QColor(0, 0, 255), inStretch);
      if (inStretch) {
        ++blue;
      }
    }
    QVERIFY(nextDay);
    // Only the stops from the boarding to the alighting station are blue.
    QVERIFY(blue > 0 && blue < v.FilledRows);
    QVERIFY(IsStretchRow(v, 1) && !IsStretchRow(v, 0));
    QCOMPARE(v.MGrid.Cells(1, 1), G("天津"));
    // Rows below the stops cannot be selected.
    QVERIFY(!msg->MGrid->SelectRow(v.FilledRows));
    QVERIFY(msg->MGrid->SelectRow(0));
    shown = true;
    QTest::mouseClick(msg->BTNClose, Qt::LeftButton);
  });
  DoubleClickRow(*w, row);
  QVERIFY(shown);
}

void MsgWindowTest::trainNumberRowIsBlueThroughout() {
  ScriptedDialogs dialogs;
  auto w = ReadyWindow(dialogs, resources_);
  QVERIFY(w);
  w->ECC->setText(QStringLiteral("T110"));
  w->BTNCCCXClick();
  QCOMPARE(w->Pub().Pub_ResultCount, 1);
  bool shown = false;
  auto watch = WhenModal<TFrmMsg>([&](TFrmMsg* msg) {
    const MsgView& v = msg->View();
    QCOMPARE(msg->windowTitle(), QStringLiteral("车次:T110"));
    for (int r = 0; r < v.FilledRows; ++r) {
      QCOMPARE(msg->MGrid->RowTextColour(r), QColor(0, 0, 255));
    }
    shown = true;
    msg->BTNCloseClick();
  });
  DoubleClickRow(*w, 0);
  QVERIFY(shown);
}

void MsgWindowTest::detailListExportsWithDetailTitles() {
  ScriptedDialogs dialogs;
  auto w = ReadyWindow(dialogs, resources_);
  QVERIFY(w);
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("detail.csv"));
  dialogs.SaveNames = {path};
  w->ECC->setText(QStringLiteral("G1"));
  w->BTNCCCXClick();
  int stops = 0;
  auto watch = WhenModal<TFrmMsg>([&](TFrmMsg* msg) {
    stops = msg->View().FilledRows;
    QTest::mouseClick(msg->BTNExport, Qt::LeftButton);
    msg->BTNCloseClick();
  });
  DoubleClickRow(*w, 0);
  QVERIFY(stops > 0);
  const std::string bytes = ReadFile(QFile::encodeName(path).toStdString());
  QVERIFY(bytes.find(G("站序,车站,里程,到时,发时,天数,历时,时速") + "\r\n") != std::string::npos);
  // Publisher lines, title line and one line per stop, each ended by CR LF.
  size_t lines = 0;
  for (size_t p = bytes.find("\r\n"); p != std::string::npos; p = bytes.find("\r\n", p + 2))
    ++lines;
  QCOMPARE(lines, size_t(7 + stops));
}

void MsgWindowTest::doubleClickOnAnEmptyRowOpensNothing() {
  ScriptedDialogs dialogs;
  auto w = ReadyWindow(dialogs, resources_);
  QVERIFY(w);
  w->ECC->setText(QStringLiteral("G1"));
  w->BTNCCCXClick();
  bool opened = false;
  auto watch = WhenModal<TFrmMsg>([&](TFrmMsg* msg) {
    opened = true;
    msg->reject();
  });
  DoubleClickRow(*w, 5);
  QTest::qWait(50);
  QVERIFY(!opened);
  QVERIFY(w->Result().SGrid.SelectionParked());
}

QTEST_MAIN(MsgWindowTest)
#include "msg_window_test.moc"

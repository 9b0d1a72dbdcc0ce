#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "app/UnitZzz.h"
#include "app/click_label.h"
#include "app/grid_view.h"
#include "app_test_support.h"

using namespace velmor;
using namespace velmor::testing;

class ZzzWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void transferButtonListsStationsAndClicksRefillTheGrid();
  void yesOnTheOfferOpensTheTransferWindow();

 private:
  FixtureResources resources_;
};

void ZzzWindowTest::transferButtonListsStationsAndClicksRefillTheGrid() {
  ScriptedDialogs dialogs;
  auto w = ReadyWindow(dialogs, resources_);
  QVERIFY(w);
  PickStation(w->ComboFZ, "南京");
  PickStation(w->ComboDZ, "西安");
  bool checked = false;
  auto watch = WhenModal<TFrmZzz>([&](TFrmZzz* zzz) {
    const TStringGrid& z = zzz->View().ZGrid;
    const int count = zzz->ZZCount();
    QVERIFY(count > 0);
    QCOMPARE(zzz->windowTitle(), QStringLiteral("两地共有<%1>个中转站供选择:").arg(count));
    QCOMPARE(zzz->LabInfo->text(),
             QStringLiteral("中转换乘牵涉因素较多，请综合各种因素进行换乘站选择。"));
    // Sorted by name ascending, the typed names never listed.
    QCOMPARE(zzz->Lab[0]->text(), QStringLiteral("中转站↑"));
    QVERIFY(zzz->Lab[0]->font().bold());
    int zhengzhou = -1;
    for (int r = 0; r < count; ++r) {
      if (r > 0) QVERIFY(z.Cells(0, r - 1) <= z.Cells(0, r));
      QVERIFY(z.Cells(0, r) != G("南京") && z.Cells(0, r) != G("西安"));
      if (z.Cells(0, r) == G("郑州")) zhengzhou = r;
    }
    QVERIFY(z.Cells(0, count).empty());
    QVERIFY(zhengzhou >= 0);
    QVERIFY(z.SelectionParked());

    // A click on 郑州 fills the main grid: first-leg trains, then second-leg trains in blue.
    GridView* grid = zzz->ZGrid;
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualRect(grid->model()->index(zhengzhou, 0)).center());
    const int fz = StrToIntDef0(z.Cells(7, zhengzhou));
    const int dz = StrToIntDef0(z.Cells(8, zhengzhou));
    QCOMPARE(w->Pub().Pub_ZZStation, G("郑州"));
    QCOMPARE(w->Pub().Pub_ResultCount, fz + dz);
    QCOMPARE(w->LabResult->text(), QStringLiteral("结果:%1").arg(fz + dz));
    const TStringGrid& s = w->Result().SGrid;
    for (int r = 0; r < fz; ++r) QCOMPARE(s.Cells(6, r), G("郑州"));
    for (int r = fz; r < fz + dz; ++r) {
      QCOMPARE(s.Cells(4, r), G("郑州"));
      const QColor expected = s.Cells(1, r) == G("郑州") ? QColor(255, 0, 0) : QColor(0, 0, 255);
      QCOMPARE(w->SGrid->RowTextColour(r), expected);
    }
    // The window stays open for further clicks; an empty row does nothing.
    QVERIFY(zzz->isVisible());
    QVERIFY(!grid->SelectRow(count));

    // A header click sorts the listed rows by a number column.
    zzz->Lab1Click(3);
    QCOMPARE(zzz->Lab[3]->text(), QStringLiteral("总里程↑"));
    QCOMPARE(zzz->Lab[0]->text(), QStringLiteral("中转站"));
    for (int r = 1; r < count; ++r) {
      QVERIFY(StrToIntDef0(z.Cells(3, r - 1)) <= StrToIntDef0(z.Cells(3, r)));
    }
    checked = true;
    QTest::mouseClick(zzz->BTNClose, Qt::LeftButton);
  });
  QTest::mouseClick(w->BTNZZZZ, Qt::LeftButton);
  QVERIFY(checked);
  QVERIFY(!QApplication::activeModalWidget());
  // After closing, the main grid keeps the legs of the last clicked station.
  QCOMPARE(w->Pub().Pub_ZZStation, G("郑州"));
  QVERIFY(w->Pub().Pub_ResultCount > 0);
}

void ZzzWindowTest::yesOnTheOfferOpensTheTransferWindow() {
  ScriptedDialogs dialogs;
  auto w = ReadyWindow(dialogs, resources_);
  QVERIFY(w);
  PickStation(w->ComboFZ, "南京");
  PickStation(w->ComboDZ, "西安");
  dialogs.YesNoAnswers = {true};
  bool opened = false;
  auto watch = WhenModal<TFrmZzz>([&](TFrmZzz* zzz) {
    opened = true;
    zzz->BTNCloseClick();
  });
  w->BTNZZCXClick(0);
  QVERIFY(opened);
  QCOMPARE(dialogs.Questions.size(), size_t{1});
  // Nothing was clicked in the window: the grid stays blank.
  QCOMPARE(w->LabResult->text(), QStringLiteral("结果:0"));
  QVERIFY(w->Pub().Pub_ZZStation.empty());
}

QTEST_MAIN(ZzzWindowTest)
#include "zzz_window_test.moc"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "app/UnitMsg.h"
#include "app/UnitPlan.h"
#include "app/click_label.h"
#include "app/grid_view.h"
#include "app/station_combo.h"
#include "app_test_support.h"

using namespace velmor;
using namespace velmor::testing;

class PlanWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void menuOpensThePrefilledWindowAndASearchFillsBothLists();
  void aNewSearchReplacesTheOneRunningAndRefusalsAreSaid();

 private:
  FixtureResources resources_;
};

namespace {

TFrmPlan* OpenPlanWindow(TFrmVelmor& w) {
  w.MPlan->trigger();
  return w.findChild<TFrmPlan*>();
}

}  // namespace

void PlanWindowTest::menuOpensThePrefilledWindowAndASearchFillsBothLists() {
  ScriptedDialogs dialogs;
  auto w = ReadyWindow(dialogs, resources_);
  QVERIFY(w);
  PickStation(w->ComboFZ, "合肥");
  PickStation(w->ComboDZ, "鹰潭");
  TFrmPlan* plan = OpenPlanWindow(*w);
  QVERIFY(plan && plan->isVisible());
  QCOMPARE(plan->ComboFZ->currentText(), QStringLiteral("合肥"));
  QCOMPARE(plan->ComboDZ->currentText(), QStringLiteral("鹰潭"));

  QTest::mouseClick(plan->BTNPlan, Qt::LeftButton);
  QTRY_VERIFY(!plan->Searching());
  QCOMPARE(plan->LabResult->text(), QStringLiteral("共2个方案"));
  const TStringGrid& g = plan->View().PGrid;
  QCOMPARE(Cell(g, 4, 1), QStringLiteral("T145、D6501"));
  QCOMPARE(Cell(g, 5, 1), QStringLiteral("南昌"));

  // Latest arrival first: the header sorts by the arrival's value, not its text.
  plan->Lab1Click(1);
  plan->Lab1Click(1);
  QCOMPARE(plan->Lab[1]->text(), QStringLiteral("到达↓"));
  QCOMPARE(Cell(g, 1, 0), QStringLiteral("08:58+1"));

  GridView* grid = plan->PGrid;
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                    grid->visualRect(grid->model()->index(0, 0)).center());
  QCOMPARE(plan->View().LegCount, 2);
  QCOMPARE(Cell(plan->View().LGrid, 1, 1), QStringLiteral("南昌"));
  QCOMPARE(Cell(plan->View().LGrid, 6, 1), QStringLiteral("06:30"));

  bool opened = false;
  auto watch = WhenModal<TFrmMsg>([&](TFrmMsg* msg) {
    opened = true;
    QCOMPARE(FromGbk(msg->View().Caption), QStringLiteral("车次:T145"));
    QVERIFY(msg->View().MarkFromNo < msg->View().MarkToNo);
  });
  QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {},
                     grid->visualRect(grid->model()->index(0, 0)).center());
  QTRY_VERIFY(opened);
}

void PlanWindowTest::aNewSearchReplacesTheOneRunningAndRefusalsAreSaid() {
  ScriptedDialogs dialogs;
  auto w = ReadyWindow(dialogs, resources_);
  QVERIFY(w);
  TFrmPlan* plan = OpenPlanWindow(*w);
  QVERIFY(plan);
  PickStation(plan->ComboFZ, "合肥");
  PickStation(plan->ComboDZ, "鹰潭");
  plan->BTNPlanClick();
  PickStation(plan->ComboFZ, "北京");
  PickStation(plan->ComboDZ, "上海");
  plan->BTNPlanClick();
  QTRY_VERIFY(!plan->Searching());
  // Only the second search shows, whether or not the first had finished.
  QTest::qWait(50);
  QCOMPARE(plan->LabResult->text(), QStringLiteral("共2个方案"));
  QCOMPARE(Cell(plan->View().PGrid, 4, 0), QStringLiteral("G1"));

  PickStation(plan->ComboDZ, "北京");
  plan->BTNPlanClick();
  QVERIFY(!plan->Searching());
  QCOMPARE(dialogs.Messages.size(), size_t{1});
  QCOMPARE(dialogs.Messages[0].Text, QStringLiteral("发站与到站相同。"));
}

QTEST_MAIN(PlanWindowTest)
#include "plan_window_test.moc"

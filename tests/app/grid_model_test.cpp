// The Qt model over a core grid: its data changes only inside a reset, as views require.
#include <QSignalSpy>
#include <QtTest>

#include "app/grid_model.h"
#include "data/gbk_text.h"

using velmor::G;
using velmor::StringGridModel;
using velmor::TStringGrid;

class GridModelTest : public QObject {
  Q_OBJECT

 private slots:
  void viewsSeeTheOldGridUntilTheResetAndTheNewOneAfter();
};

void GridModelTest::viewsSeeTheOldGridUntilTheResetAndTheNewOneAfter() {
  TStringGrid grid(2, 1);
  grid.SetCell(0, 0, G("北京"));
  StringGridModel model(grid);
  QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("北京"));

  grid.SetRowCount(3);
  grid.SetCell(1, 2, G("上海"));
  // The core has rewritten the grid; until the model is told, views keep reading the old one.
  QCOMPARE(model.rowCount(), 1);
  int rowsAtReset = -1;
  QObject::connect(&model, &QAbstractItemModel::modelAboutToBeReset,
                   [&] { rowsAtReset = model.rowCount(); });
  model.Refresh();
  QCOMPARE(rowsAtReset, 1);
  QCOMPARE(model.rowCount(), 3);
  QCOMPARE(model.data(model.index(2, 1)).toString(), QStringLiteral("上海"));
  QCOMPARE(model.data(model.index(1, 1)).toString(), QString());
}

QTEST_MAIN(GridModelTest)
#include "grid_model_test.moc"

// What the program takes from the system and the framework: Chinese standard texts, the
// selection colour, the advanced button's glyph, the window centred with its frame.
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

#include "app/chinese_translations.h"
#include "app/grid_view.h"
#include "app/pictures.h"
#include "app_test_support.h"

using namespace velmor;
using namespace velmor::testing;

class SystemLookTest : public QObject {
  Q_OBJECT

 private slots:
  void standardButtonsAreChinese();
  void selectedRowTakesThePaletteHighlight();
  void advancedGlyphHasANormalAndADisabledHalf();
  void theFrameIsCentred();

 private:
  FixtureResources resources_;
};

void SystemLookTest::standardButtonsAreChinese() {
  QVERIFY(InstallChineseTranslations());
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("t"), QStringLiteral("t"),
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel | QMessageBox::Ok);
  QVERIFY(box.button(QMessageBox::Yes)->text().startsWith(QStringLiteral("是")));
  QVERIFY(box.button(QMessageBox::No)->text().startsWith(QStringLiteral("否")));
  QVERIFY(box.button(QMessageBox::Cancel)->text().startsWith(QStringLiteral("取消")));
  QVERIFY(box.button(QMessageBox::Ok)->text().startsWith(QStringLiteral("确定")));
}

void SystemLookTest::selectedRowTakesThePaletteHighlight() {
  QPalette system = QApplication::palette();
  system.setColor(QPalette::Active, QPalette::Highlight, QColor(200, 40, 90));
  QApplication::setPalette(system);
  TStringGrid grid(1, 3);
  grid.SetCell(0, 0, "G1");
  GridView view(grid, {60});
  view.resize(80, 80);
  QVERIFY(view.SelectRow(0));
  QCOMPARE(view.SelectionColour(), QColor(200, 40, 90));
  view.show();
  view.activateWindow();
  QApplication::setActiveWindow(&view);
  QVERIFY(QTest::qWaitForWindowActive(&view));
  const QImage shot = view.viewport()->grab().toImage();
  QCOMPARE(QColor(shot.pixel(3, 3)), QColor(200, 40, 90));
}

void SystemLookTest::advancedGlyphHasANormalAndADisabledHalf() {
  ScriptedDialogs dialogs;
  TFrmVelmor w(TestOptions(dialogs, resources_.Finder()));
  QCOMPARE(w.BTNAdvanced->iconSize(), QSize(16, 16));
  const QIcon icon = w.BTNAdvanced->icon();
  const QImage normal = icon.pixmap(QSize(16, 16), 1.0, QIcon::Normal).toImage();
  const QImage disabled = icon.pixmap(QSize(16, 16), 1.0, QIcon::Disabled).toImage();
  QCOMPARE(normal.size(), QSize(16, 16));
  QCOMPARE(disabled.size(), QSize(16, 16));
  // The corners are see-through; the gear's rim is coloured, its disabled twin grey.
  QCOMPARE(qAlpha(normal.pixel(0, 15)), 0);
  QCOMPARE(qAlpha(disabled.pixel(0, 15)), 0);
  const QColor rim = normal.pixelColor(7, 3);
  QVERIFY(rim.alpha() == 255 && rim.blue() > rim.red());
  QCOMPARE(disabled.pixelColor(7, 3), QColor(128, 128, 128));
}

void SystemLookTest::theFrameIsCentred() {
  ScriptedDialogs dialogs;
  auto w = ReadyWindow(dialogs, resources_);
  QVERIFY(w);
  const QPoint centre = w->screen()->availableGeometry().center();
  QVERIFY((w->frameGeometry().center() - centre).manhattanLength() <= 2);
  QVERIFY(w->frameGeometry() != w->geometry());
}

QTEST_MAIN(SystemLookTest)
#include "system_look_test.moc"

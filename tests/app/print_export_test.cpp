#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "app/click_label.h"
#include "app_test_support.h"
#include "present/grid_print.h"
#include "qtprint/print_canvas.h"

using namespace velmor;
using namespace velmor::testing;

namespace {

// The real Qt dialogs, except that the no-printer message is recorded instead of shown.
class RecordingQtDialogs : public QtDialogs {
 public:
  int NoPrinterCount = 0;
  void NoPrinter(QWidget*) override { ++NoPrinterCount; }
};

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

}  // namespace

class PrintExportTest : public QObject {
  Q_OBJECT

 private slots:
  void exportWritesTheShownRowsExactly();
  void exportAsksBeforeReplacing();
  void exportFailuresAreReportedAndCancelWritesNothing();
  void printAsksFirstAndPrintsTitleAndPageNumber();
  void longListsPrintOnSeveralPages();
  void noPrinterIsSaidAndNothingCountsAsPrinted();
  void fileFilterInQtForm();

 private:
  static QString PdfText(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(30000)) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
  }
  static bool HavePdfToText() {
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
  }
  // 北京's station timetable, narrowed to multiple units and sorted by train number.
  static void FilteredSortedQuery(TFrmVelmor& w) {
    PickStation(w.ComboCZ, "北京");
    w.BTNCZCXClick();
    QTest::mouseClick(w.CBDC, Qt::LeftButton);
    QTest::mouseClick(w.Lab[0], Qt::LeftButton);
    QTest::mouseClick(w.Lab[0], Qt::LeftButton);
  }

  FixtureResources resources_;
};

void PrintExportTest::exportWritesTheShownRowsExactly() {
  ScriptedDialogs dialogs;
  auto w = ReadyWindow(dialogs, resources_);
  QVERIFY(w);
  FilteredSortedQuery(*w);
  const int shown = w->Pub().Pub_ResultCount;
  QVERIFY(shown > 0 && static_cast<size_t>(shown) < w->Pub().Pub_GridResults.size());
  QTemporaryDir dir;
  // A name without an extension gets ".csv".
  dialogs.SaveNames = {QStringLiteral("  ") + dir.filePath(QStringLiteral("result")) +
                       QStringLiteral(" ")};
  w->MExportClick();
  QCOMPARE(dialogs.SaveFilters, QStringList{QStringLiteral("Excel文件(*.csv)|*.csv / csv")});
  QVERIFY(dialogs.Messages.empty());

  std::string expected =
      "\r\n\r\n" + PublisherName() + "\r\n" + PublisherAddress() + "\r\n\r\n\r\n" +
      G("车次,始发,终到,车型,发站,发时,到站,到时,停站,里程,历时,硬座,软座,硬卧,软卧") + "\r\n";
  const TStringGrid& g = w->Result().SGrid;
  for (int r = 0; r < shown; ++r) {
    for (int c = 0; c < 15; ++c) expected += (c ? "," : "") + g.Cells(c, r);
    expected += "\r\n";
  }
  const std::string written =
      ReadFile(QFile::encodeName(dir.filePath(QStringLiteral("result.csv"))).toStdString());
  QCOMPARE(written, expected);
  // The rows are in the order shown: descending train numbers.
  for (int r = 1; r < shown; ++r) QVERIFY(g.Cells(0, r - 1) >= g.Cells(0, r));
}

void PrintExportTest::exportAsksBeforeReplacing() {
  ScriptedDialogs dialogs;
  auto w = ReadyWindow(dialogs, resources_);
  QVERIFY(w);
  FilteredSortedQuery(*w);
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("old.csv"));
  WriteFile(path, "keep me");

  dialogs.SaveNames = {path};
  dialogs.YesNoAnswers = {false};
  w->MExportClick();
  QCOMPARE(dialogs.Questions.size(), size_t{1});
  QCOMPARE(dialogs.Questions[0].Caption, QStringLiteral("纬途时刻表"));
  QVERIFY(dialogs.Questions[0].Text.contains(QStringLiteral("old.csv")));
  QCOMPARE(ReadFile(QFile::encodeName(path).toStdString()), std::string("keep me"));

  dialogs.SaveNames = {path};
  dialogs.YesNoAnswers = {true};
  w->MExportClick();
  QCOMPARE(dialogs.Questions.size(), size_t{2});
  const std::string replaced = ReadFile(QFile::encodeName(path).toStdString());
  QVERIFY(replaced.starts_with("\r\n\r\n" + PublisherName()));
}

void PrintExportTest::exportFailuresAreReportedAndCancelWritesNothing() {
  ScriptedDialogs dialogs;
  auto w = ReadyWindow(dialogs, resources_);
  QVERIFY(w);
  FilteredSortedQuery(*w);
  QTemporaryDir dir;
  dialogs.SaveNames = {dir.filePath(QStringLiteral("missing/folder/x.csv"))};
  w->MExportClick();
  QCOMPARE(dialogs.Messages.size(), size_t{1});
  QVERIFY(dialogs.Messages[0].Text.startsWith(QStringLiteral("无法创建文件")));

  dialogs.SaveNames = {QString()};
  w->MExportClick();
  dialogs.SaveNames = {QStringLiteral("   ")};
  w->MExportClick();
  QCOMPARE(dialogs.Messages.size(), size_t{1});
  QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

void PrintExportTest::printAsksFirstAndPrintsTitleAndPageNumber() {
  if (!HavePdfToText()) QSKIP("pdftotext is not installed");
  ScriptedDialogs dialogs;
  auto w = ReadyWindow(dialogs, resources_);
  QVERIFY(w);
  FilteredSortedQuery(*w);
  QTemporaryDir dir;
  dialogs.PdfPath = dir.filePath(QStringLiteral("print.pdf"));

  dialogs.YesNoCancelAnswers = {TAnswer::Cancel, TAnswer::No};
  w->MPrintClick();
  w->MPrintClick();
  QCOMPARE(dialogs.Questions.size(), size_t{2});
  QCOMPARE(dialogs.Questions[0].Caption, QStringLiteral(" 打印提示"));
  QCOMPARE(dialogs.Questions[0].Text, QStringLiteral("确实要打印吗？"));
  QVERIFY(!QFile::exists(dialogs.PdfPath));

  dialogs.YesNoCancelAnswers = {TAnswer::Yes};
  w->MPrintClick();
  QCOMPARE(dialogs.PrintJobs, 1);
  const QString text = PdfText(dialogs.PdfPath);
  QVERIFY2(text.contains(QStringLiteral("纬途列车时刻表")), qPrintable(text));
  QVERIFY(text.contains(QStringLiteral("车次")));
  QVERIFY(text.contains(FromGbk(w->Result().SGrid.Cells(0, 0))));
  QVERIFY(QRegularExpression(QStringLiteral("第\\s+1\\s+页")).match(text).hasMatch());
  QVERIFY(!QRegularExpression(QStringLiteral("第\\s+2\\s+页")).match(text).hasMatch());
}

void PrintExportTest::longListsPrintOnSeveralPages() {
  if (!HavePdfToText()) QSKIP("pdftotext is not installed");
  TStringGrid grid(8, 120);
  for (int r = 0; r < 120; ++r) {
    grid.SetCell(0, r, std::to_string(r + 1));
    grid.SetCell(1, r, G("北京"));
  }
  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  dialogs.PdfPath = dir.filePath(QStringLiteral("long.pdf"));
  QVERIFY(dialogs.Print(nullptr,
                        [&](QPrinter& printer) { return PrintGridOn(printer, grid, true, 120); }));
  const QString text = PdfText(dialogs.PdfPath);
  QVERIFY(QRegularExpression(QStringLiteral("第\\s+1\\s+页")).match(text).hasMatch());
  QVERIFY(QRegularExpression(QStringLiteral("第\\s+2\\s+页")).match(text).hasMatch());
  // The page head comes again on every page.
  QVERIFY(text.count(QStringLiteral("纬途列车时刻表")) >= 2);
  QVERIFY(text.count(QStringLiteral("站序")) >= 2);
}

void PrintExportTest::noPrinterIsSaidAndNothingCountsAsPrinted() {
  if (!QPrinterInfo::defaultPrinter().isNull()) QSKIP("this machine has a default printer");
  RecordingQtDialogs dialogs;
  bool ran = false;
  const bool printed = dialogs.Print(nullptr, [&](QPrinter&) {
    ran = true;
    return true;
  });
  QVERIFY(!printed);
  QVERIFY(!ran);
  QCOMPARE(dialogs.NoPrinterCount, 1);
}

void PrintExportTest::fileFilterInQtForm() {
  QCOMPARE(QtFileFilter(QStringLiteral("Excel文件(*.csv)|*.csv")),
           QStringLiteral("Excel文件(*.csv)"));
  QCOMPARE(QtFileFilter(QStringLiteral("Text|*.txt|All|*")),
           QStringLiteral("Text (*.txt);;All (*)"));
}

QTEST_MAIN(PrintExportTest)
#include "print_export_test.moc"

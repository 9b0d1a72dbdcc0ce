// The main window on a timetable file: its edition in the status bar, the timetable items of the
// advanced menu, a file given at start, and the remembered choice.
#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>

#include "app/timetable_windows.h"
#include "app/version_info.h"
#include "app_test_support.h"
#include "data/timetable_file.h"

namespace velmor::testing {

class TimetableWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    KeepSettingsIn(dir_.filePath(QStringLiteral("settings")));
    good_ = dir_.filePath(QStringLiteral("good.velmor"));
    const std::string tables = std::string(VELMOR_FIXTURE_DIR) + "/tables/";
    // One train fewer than the built-in tables, so that the window shows which it queries.
    std::string list = ReadFile(tables + "SLIST.txt");
    list.erase(list.rfind('\n', list.size() - 2) + 1);
    TMemTable builtIn, file;
    TTableTextFormat format;
    builtIn.LoadFromStreamViaFormat(ReadFile(tables + "SLIST.txt"), format);
    file.LoadFromStreamViaFormat(list, format);
    fileTrains_ = file.RecordCount();
    QCOMPARE(fileTrains_ + 1, builtIn.RecordCount());
    const TimetableTexts texts{ReadFile(tables + "SPY.txt"),
                               list,
                               ReadFile(tables + "SM.txt"),
                               ReadFile(tables + "STRAIN.txt"),
                               {{"Edition", "2026.12.08"}}};
    std::string error;
    QVERIFY(WriteTimetableFile(good_.toStdString(), texts, &error));
    bad_ = dir_.filePath(QStringLiteral("bad.velmor"));
    QFile bad(bad_);
    QVERIFY(bad.open(QIODevice::WriteOnly) && bad.write("not a timetable") > 0);
    bad.close();
    QVERIFY(!TimetableFile::Open(bad_.toStdString(), &error));
    badReason_ = FromGbk(error);
    QVERIFY(!badReason_.isEmpty());
  }

  void init() { QSettings().clear(); }

  // 打开时刻表… on a good file, then on a bad one, then 使用内置时刻表.
  void MenuOpensAFileRefusesABadOneAndForgetsOnTheBuiltInItem() {
    ScriptedDialogs dialogs;
    FixtureResources resources;
    TimetableWindows windows(TestOptions(dialogs, resources.Finder()));
    windows.Start(QString());
    QVERIFY(Ready(windows));
    QCOMPARE(Edition(windows), QStringLiteral("当前版本:") + QString::fromLatin1(kBuiltInVersion));
    QVERIFY(!windows.Window()->MBuiltInTimetable->isEnabled());

    Open(windows, good_);
    QVERIFY(Ready(windows));
    QCOMPARE(Edition(windows), QStringLiteral("当前版本:2026.12.08"));
    QCOMPARE(windows.Window()->Tables.KMList.RecordCount(), fileTrains_);
    QCOMPARE(TimetableWindows::Remembered(), good_);

    TFrmVelmor* inUse = windows.Window();
    Open(windows, bad_);
    QCOMPARE(dialogs.Warnings.size(), size_t{1});
    QCOMPARE(dialogs.Warnings[0].Text,
             QStringLiteral("时刻表 %1 无法打开，仍使用当前的时刻表。\n%2").arg(bad_, badReason_));
    QCOMPARE(windows.Window(), inUse);
    QCOMPARE(Edition(windows), QStringLiteral("当前版本:2026.12.08"));
    QCOMPARE(TimetableWindows::Remembered(), good_);

    QVERIFY(inUse->MBuiltInTimetable->isEnabled());
    inUse->MBuiltInTimetable->trigger();
    QVERIFY(Ready(windows));
    QCOMPARE(Edition(windows), QStringLiteral("当前版本:") + QString::fromLatin1(kBuiltInVersion));
    QVERIFY(TimetableWindows::Remembered().isEmpty());
    QCOMPARE(dialogs.Warnings.size(), size_t{1});
  }

  // `velmor FILE` with a bad file: the remembered file when there is one, else the built-in.
  void BadFileAtStartIsExplainedAndTheTimetableInUseStays() {
    ScriptedDialogs dialogs;
    FixtureResources resources;
    {
      TimetableWindows windows(TestOptions(dialogs, resources.Finder()));
      windows.Start(bad_);
      QVERIFY(Ready(windows));
      QCOMPARE(Edition(windows),
               QStringLiteral("当前版本:") + QString::fromLatin1(kBuiltInVersion));
      QVERIFY(TimetableWindows::Remembered().isEmpty());
    }
    {
      TimetableWindows windows(TestOptions(dialogs, resources.Finder()));
      windows.Start(good_);
      QVERIFY(Ready(windows));
    }
    TimetableWindows windows(TestOptions(dialogs, resources.Finder()));
    windows.Start(bad_);
    QVERIFY(Ready(windows));
    QCOMPARE(Edition(windows), QStringLiteral("当前版本:2026.12.08"));
    QCOMPARE(windows.Window()->Tables.KMList.RecordCount(), fileTrains_);
    QCOMPARE(TimetableWindows::Remembered(), good_);
    QCOMPARE(dialogs.Warnings.size(), size_t{2});
    QCOMPARE(dialogs.Warnings[0].Text,
             QStringLiteral("时刻表 %1 无法打开，使用内置时刻表。\n%2").arg(bad_, badReason_));
    QCOMPARE(
        dialogs.Warnings[1].Text,
        QStringLiteral("时刻表 %1 无法打开，使用时刻表 %2。\n%3").arg(bad_, good_, badReason_));
  }

  void BuiltInTimetableWithoutASwitchHidesTheItems() {
    ScriptedDialogs dialogs;
    FixtureResources resources;
    auto window = ReadyWindow(dialogs, resources);
    QVERIFY(window);
    QVERIFY(!window->MImportTimetable->isVisible());
  }

 private:
  static bool Ready(const TimetableWindows& windows) {
    return windows.Window() &&
           QTest::qWaitFor([&] { return windows.Window()->QueriesReady(); }, 20000);
  }
  static QString Edition(const TimetableWindows& windows) {
    return windows.Window()->StatusBar1[0]->text();
  }
  // Picks `path` in the file dialog of 打开时刻表….
  static void Open(const TimetableWindows& windows, const QString& path) {
    const auto watch = WhenModal<QFileDialog>([path](QFileDialog* d) {
      // Typed, as selectFile races the dialog's folder listing.
      d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
      static_cast<QDialog*>(d)->accept();  // QFileDialog hides its override
    });
    windows.Window()->MOpenTimetable->trigger();
  }

  QTemporaryDir dir_;
  QString good_;
  QString bad_;
  QString badReason_;
  size_t fileTrains_ = 0;
};

}  // namespace velmor::testing

QTEST_MAIN(velmor::testing::TimetableWindowTest)
#include "timetable_window_test.moc"

// The main window on a timetable file: its tables, its edition in the status bar and the
// timetable items of the advanced menu.
#include <QAction>
#include <QLabel>
#include <QTemporaryDir>

#include "app/version_info.h"
#include "app_test_support.h"
#include "data/timetable_file.h"

namespace velmor::testing {

class TimetableWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void FileTimetableShowsItsEditionAndOffersTheBuiltInOne() {
    QTemporaryDir dir;
    const std::string path = (dir.path() + QStringLiteral("/t.velmor")).toStdString();
    const std::string tables = std::string(VELMOR_FIXTURE_DIR) + "/tables/";
    TimetableTexts texts{ReadFile(tables + "SPY.txt"),
                         ReadFile(tables + "SLIST.txt"),
                         ReadFile(tables + "SM.txt"),
                         ReadFile(tables + "STRAIN.txt"),
                         {{"Edition", "2026.12.08"}}};
    std::string error;
    QVERIFY(WriteTimetableFile(path, texts, &error));
    const auto file = TimetableFile::Open(path, &error);
    QVERIFY(file);

    ScriptedDialogs dialogs;
    QStringList switched;
    TFrmVelmorOptions options;
    options.Dialogs = &dialogs;
    options.VersionCheck = OfflineVersionCheck();
    options.TablesFinder = file->Finder();
    options.Edition = QString::fromStdString(file->Edition());
    options.TimetablePath = QString::fromStdString(path);
    options.SwitchTimetable = [&](const QString& p) { switched << p; };
    TFrmVelmor window(std::move(options));
    window.show();
    QVERIFY(QTest::qWaitFor([&] { return window.QueriesReady(); }, 20000));
    QCOMPARE(window.StatusBar1[0]->text(), QStringLiteral("当前版本:2026.12.08"));
    TMemTable list;
    TTableTextFormat format;
    list.LoadFromStreamViaFormat(texts.SList, format);
    QCOMPARE(window.Tables.KMList.RecordCount(), list.RecordCount());
    QVERIFY(window.MBuiltInTimetable->isVisible() && window.MBuiltInTimetable->isEnabled());
    window.MBuiltInTimetable->trigger();
    QCOMPARE(switched, QStringList{QString()});
  }

  void BuiltInTimetableKeepsTheBuiltInVersionAndHidesTheItemsWithoutASwitch() {
    ScriptedDialogs dialogs;
    FixtureResources resources;
    auto window = ReadyWindow(dialogs, resources);
    QVERIFY(window);
    QCOMPARE(window->StatusBar1[0]->text(),
             QStringLiteral("当前版本:") + QString::fromLatin1(kBuiltInVersion));
    QVERIFY(!window->MImportTimetable->isVisible());
    QVERIFY(!window->MBuiltInTimetable->isEnabled());
  }
};

}  // namespace velmor::testing

QTEST_MAIN(velmor::testing::TimetableWindowTest)
#include "timetable_window_test.moc"

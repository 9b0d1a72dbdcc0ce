// 导入时刻表: progress on the dialog, 取消 on the worker, the replace question and the offer to
// open the result.
#include <QAction>
#include <QDeadlineTimer>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <thread>

#include "app/import_dialog.h"
#include "app/timetable_windows.h"
#include "app_test_support.h"
#include "data/timetable_file.h"

namespace velmor::testing {
namespace {

// Fills in the feed and accepts the first dialog of the import.
[[nodiscard]] std::unique_ptr<QTimer> ChooseFeed(const QString& feed) {
  return WhenModal<QDialog>([feed](QDialog* d) {
    d->findChild<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly)->setText(feed);
    d->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
  });
}

bool WriteText(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray ReadText(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class ImportDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    KeepSettingsIn(dir_.filePath(QStringLiteral("settings")));
    feed_ = dir_.filePath(QStringLiteral("feed"));
    QVERIFY(QDir().mkpath(feed_));
    const std::pair<const char*, const char*> files[] = {
        {"stops.txt",
         "stop_id,stop_name,stop_lat,stop_lon\nBJ,北京,39.90,116.42\n"
         "TJ,天津,39.13,117.20\n"},
        {"routes.txt", "route_id,route_short_name\nR,\n"},
        {"calendar.txt",
         "service_id,monday,tuesday,wednesday,thursday,friday,saturday,sunday,start_date,"
         "end_date\nD,1,1,1,1,1,1,1,20200101,20391231\n"},
        {"trips.txt", "route_id,service_id,trip_id,trip_short_name\nR,D,a,K1\n"},
        {"stop_times.txt",
         "trip_id,arrival_time,departure_time,stop_id,stop_sequence\n"
         "a,08:00:00,08:00:00,BJ,1\na,09:00:00,09:00:00,TJ,2\n"}};
    for (const auto& [name, text] : files) {
      QVERIFY(WriteText(feed_ + u'/' + QLatin1String(name), QByteArray(text)));
    }
  }

  void init() {
    QVERIFY(QDir().mkpath(out_.path()));
    target_ = out_.filePath(QStringLiteral("out.velmor"));
    QVERIFY(WriteText(target_, "old"));
  }
  void cleanup() { QDir(out_.path()).removeRecursively(); }

  // The worker is held at the end of a step until the dialog shows it; 取消 then stops the import
  // before anything is written over the target the user agreed to replace.
  void ProgressReachesTheDialogAndCancelLeavesTheTargetAlone() {
    ScriptedDialogs dialogs;
    dialogs.SaveNames = {out_.filePath(QStringLiteral("out"))};
    dialogs.YesNoAnswers = {true};
    std::atomic<bool> held{false};
    std::atomic<bool> release{false};
    std::string heldStep;
    const ImportWorkerHook hook = [&](std::string_view step, int percent) {
      if (percent != 100 || held) return;
      heldStep = step;
      held = true;
      const QDeadlineTimer deadline(20000);
      while (!release && !deadline.hasExpired()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
    };
    QString shown;
    QTimer watch;
    watch.setInterval(10);
    connect(&watch, &QTimer::timeout, [&] {
      auto* progress = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
      if (!held || !progress || !progress->isVisible() || progress->value() != 100 ||
          progress->labelText() != FromGbk(heldStep)) {
        return;
      }
      watch.stop();
      shown = progress->labelText();
      progress->findChild<QPushButton*>()->click();
      release = true;
    });
    watch.start();
    QWidget parent;
    parent.show();
    const auto feedWatch = ChooseFeed(feed_);
    const std::optional<QString> made = RunImportDialog(&parent, dialogs, hook);
    release = true;
    QVERIFY(!made);
    QVERIFY(held);
    QCOMPARE(shown, FromGbk(heldStep));
    QCOMPARE(ReadText(target_), QByteArray("old"));
    QCOMPARE(QDir(out_.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("out.velmor")});
    QCOMPARE(dialogs.Questions.size(), size_t{1});
    QCOMPARE(dialogs.Questions[0].Text, QStringLiteral("out.velmor 已存在。\n要替换它吗？"));
    QVERIFY(dialogs.Messages.empty());
  }

  void DecliningTheReplaceQuestionImportsNothing() {
    ScriptedDialogs dialogs;
    dialogs.SaveNames = {target_};
    dialogs.YesNoAnswers = {false};
    std::atomic<int> reports{0};
    const auto feedWatch = ChooseFeed(feed_);
    QVERIFY(!RunImportDialog(nullptr, dialogs, [&](std::string_view, int) { ++reports; }));
    QCOMPARE(reports.load(), 0);
    QCOMPARE(dialogs.Questions.size(), size_t{1});
    QCOMPARE(ReadText(target_), QByteArray("old"));
  }

  // Through the window's menu: replaced, then opened on the answer Yes.
  void ImportedTimetableReplacesTheTargetAndOpens() {
    ScriptedDialogs dialogs;
    dialogs.SaveNames = {target_};
    dialogs.YesNoAnswers = {true, true};
    FixtureResources resources;
    TimetableWindows windows(TestOptions(dialogs, resources.Finder()));
    windows.Start(QString());
    QVERIFY(QTest::qWaitFor([&] { return windows.Window()->QueriesReady(); }, 20000));
    TFrmVelmor* before = windows.Window();
    {
      const auto feedWatch = ChooseFeed(feed_);
      before->MImportTimetable->trigger();
    }
    QCOMPARE(dialogs.Questions.size(), size_t{2});
    QVERIFY(dialogs.Questions[1].Text.startsWith(QStringLiteral("导入完成：") + target_));
    std::string error;
    const auto file = TimetableFile::Open(target_.toStdString(), &error);
    QVERIFY2(file, error.c_str());
    QVERIFY(windows.Window() != before);
    QVERIFY(QTest::qWaitFor([&] { return windows.Window()->QueriesReady(); }, 20000));
    QCOMPARE(windows.Window()->StatusBar1[0]->text(),
             QStringLiteral("当前版本:") + FromGbk(file->Edition()));
    QCOMPARE(windows.Window()->Tables.KMList.RecordCount(), size_t{1});
    QCOMPARE(TimetableWindows::Remembered(), target_);
  }

 private:
  QTemporaryDir dir_;
  QTemporaryDir out_;
  QString feed_;
  QString target_;
};

}  // namespace velmor::testing

QTEST_MAIN(velmor::testing::ImportDialogTest)
#include "import_dialog_test.moc"

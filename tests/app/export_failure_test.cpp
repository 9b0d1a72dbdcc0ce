// Exports that cannot be written: the user is told, and a file already at the path survives
// untouched; a successful export replaces the old file whole.
#include <sys/resource.h>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>

#include "app/UnitMsg.h"
#include "app_test_support.h"

using namespace velmor;
using namespace velmor::testing;

namespace {

// Limits the size of files this process writes, with SIGXFSZ ignored so that a write past the
// limit fails with EFBIG instead of ending the process; both restored at the end of the scope.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ok_ = getrlimit(RLIMIT_FSIZE, &saved_) == 0;
    previous_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved_;
    limited.rlim_cur = bytes;
    ok_ = ok_ && setrlimit(RLIMIT_FSIZE, &limited) == 0;
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previous_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;
  bool Ok() const { return ok_; }

 private:
  rlimit saved_{};
  void (*previous_)(int) = SIG_DFL;
  bool ok_ = false;
};

std::string Read(const QString& path) {
  return ReadFile(QFile::encodeName(path).toStdString());
}

void Write(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  QVERIFY(f.write(bytes) == bytes.size());
}

QStringList Entries(const QTemporaryDir& dir) {
  return QDir(dir.path())
      .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

}  // namespace

class ExportFailureTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void ontoADirectoryIsRefused();
  void writeFailingHalfWayKeepsTheOldFile();
  void detailWindowWriteFailingHalfWayKeepsTheOldFile();
  void successReplacesTheFileWhole();

 private:
  // A main window showing one train: something to export.
  std::unique_ptr<TFrmVelmor> WindowWithResult(ScriptedDialogs& dialogs) {
    auto w = ReadyWindow(dialogs, resources_);
    if (!w) return nullptr;
    w->ECC->setText(QStringLiteral("G1"));
    w->BTNCCCXClick();
    return w->Pub().Pub_ResultCount == 1 ? std::move(w) : nullptr;
  }

  FixtureResources resources_;
  QByteArray old_;
};

void ExportFailureTest::init() {
  old_ = QByteArray("an older export\r\n").repeated(4);
}

void ExportFailureTest::ontoADirectoryIsRefused() {
  ScriptedDialogs dialogs;
  auto w = WindowWithResult(dialogs);
  QVERIFY(w);
  QTemporaryDir dir;
  const QString target = dir.filePath(QStringLiteral("taken.csv"));
  QVERIFY(QDir().mkpath(target));
  Write(target + QStringLiteral("/inside.txt"), old_);
  dialogs.SaveNames = {target};
  dialogs.YesNoAnswers = {true};
  w->MExportClick();
  QCOMPARE(dialogs.Messages.size(), size_t{1});
  QVERIFY(dialogs.Messages[0].Text.startsWith(QStringLiteral("无法创建文件")));
  QVERIFY(QFileInfo(target).isDir());
  QCOMPARE(Read(target + QStringLiteral("/inside.txt")), old_.toStdString());
  // No half-written file is left beside it.
  QCOMPARE(Entries(dir), QStringList{QStringLiteral("taken.csv")});
}

void ExportFailureTest::writeFailingHalfWayKeepsTheOldFile() {
  ScriptedDialogs dialogs;
  auto w = WindowWithResult(dialogs);
  QVERIFY(w);
  QTemporaryDir dir;
  const QString target = dir.filePath(QStringLiteral("result.csv"));
  Write(target, old_);
  dialogs.SaveNames = {target};
  dialogs.YesNoAnswers = {true};
  {
    // Room for the first lines only: the write fails in the middle of the file.
    FileSizeLimit limit(40);
    QVERIFY(limit.Ok());
    w->MExportClick();
  }
  QCOMPARE(dialogs.Questions.size(), size_t{1});
  QCOMPARE(dialogs.Messages.size(), size_t{1});
  QVERIFY(dialogs.Messages[0].Text.contains(QStringLiteral("result.csv")));
  QCOMPARE(dialogs.Messages[0].Text.section(QLatin1Char('\n'), 1), QStringLiteral("磁盘已满。"));
  QCOMPARE(Read(target), old_.toStdString());
  QCOMPARE(Entries(dir), QStringList{QStringLiteral("result.csv")});

  // Without the limit the same export succeeds.
  dialogs.SaveNames = {target};
  dialogs.YesNoAnswers = {true};
  w->MExportClick();
  QCOMPARE(dialogs.Messages.size(), size_t{1});
  QVERIFY(Read(target) != old_.toStdString());
}

void ExportFailureTest::detailWindowWriteFailingHalfWayKeepsTheOldFile() {
  ScriptedDialogs dialogs;
  auto w = WindowWithResult(dialogs);
  QVERIFY(w);
  QTemporaryDir dir;
  const QString target = dir.filePath(QStringLiteral("detail.csv"));
  Write(target, old_);
  dialogs.SaveNames = {target};
  dialogs.YesNoAnswers = {true};
  bool exported = false;
  auto watch = WhenModal<TFrmMsg>([&](TFrmMsg* msg) {
    FileSizeLimit limit(40);
    QVERIFY(limit.Ok());
    msg->BTNExportClick();
    exported = true;
  });
  w->SGridDblClick(0);
  QVERIFY(exported);
  QCOMPARE(dialogs.Messages.size(), size_t{1});
  QVERIFY(dialogs.Messages[0].Text.startsWith(QStringLiteral("无法创建文件")));
  QCOMPARE(Read(target), old_.toStdString());
  QCOMPARE(Entries(dir), QStringList{QStringLiteral("detail.csv")});
}

void ExportFailureTest::successReplacesTheFileWhole() {
  ScriptedDialogs dialogs;
  auto w = WindowWithResult(dialogs);
  QVERIFY(w);
  QTemporaryDir dir;
  // Written fresh first, for what the export holds.
  const QString fresh = dir.filePath(QStringLiteral("fresh.csv"));
  dialogs.SaveNames = {fresh};
  w->MExportClick();
  const std::string expected = Read(fresh);
  QVERIFY(expected.find("\r\nG1,") != std::string::npos);

  // An old file much longer than the export: nothing of its tail may remain.
  const QString target = dir.filePath(QStringLiteral("old.csv"));
  Write(target, QByteArray(100000, 'x'));
  dialogs.SaveNames = {target};
  dialogs.YesNoAnswers = {true};
  w->MExportClick();
  QVERIFY(dialogs.Messages.empty());
  QCOMPARE(Read(target), expected);
  QCOMPARE(Entries(dir), (QStringList{QStringLiteral("fresh.csv"), QStringLiteral("old.csv")}));
}

QTEST_MAIN(ExportFailureTest)
#include "export_failure_test.moc"

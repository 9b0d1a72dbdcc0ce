// Desktop and applications-menu launchers in a temporary home folder.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTemporaryDir>
#include <QtTest>

#include "app/shortcuts.h"

using velmor::CreateShortcut;

namespace {

const QString kLinkName = QStringLiteral("纬途时刻");

// The keys of a launcher's [Desktop Entry] group, values as written (escapes kept).
QMap<QString, QString> ReadEntry(const QString& fileName) {
  QMap<QString, QString> entry;
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) return entry;
  const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
  if (lines.value(0) != QStringLiteral("[Desktop Entry]")) return entry;
  for (const QString& line : lines.mid(1)) {
    const qsizetype eq = line.indexOf(u'=');
    if (eq > 0) entry.insert(line.left(eq), line.mid(eq + 1));
  }
  return entry;
}

bool MakeFile(const QString& path) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write("#!/bin/sh\n") > 0;
}

}  // namespace

class ShortcutsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void init();
  void DesktopLauncherIsReplacedOnSecondCall();
  void StartMenuLauncherLandsInApplicationsFolderItself();
  void MissingTargetWritesNothing();
  void ExplicitFolderMustExist();
  void EmptyLinkNameTakesTargetBaseName();
  void ExecQuotesSpecialCharacters();
  void UnknownSpecialFolderFails();
  void MenuConveniencesPointAtThisProgram();

 private:
  QString DesktopFile() const { return home_.filePath(QStringLiteral("Desktop/纬途时刻.desktop")); }
  QString ApplicationsDir() const {
    return home_.filePath(QStringLiteral(".local/share/applications"));
  }

  QTemporaryDir home_;
  QTemporaryDir work_;
  QString target_;
};

void ShortcutsTest::initTestCase() {
  QVERIFY(home_.isValid());
  QVERIFY(work_.isValid());
  // The standard folders are looked up afresh on every call, so the home folder can move here.
  qputenv("HOME", QFile::encodeName(home_.path()));
  qputenv("XDG_DATA_HOME", QFile::encodeName(home_.filePath(QStringLiteral(".local/share"))));
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(home_.filePath(QStringLiteral(".config"))));
  target_ = work_.filePath(QStringLiteral("bin/velmor"));
  QVERIFY(MakeFile(target_));
}

void ShortcutsTest::init() {
  QDir(home_.filePath(QStringLiteral("Desktop"))).removeRecursively();
  QDir(home_.filePath(QStringLiteral(".local"))).removeRecursively();
}

void ShortcutsTest::DesktopLauncherIsReplacedOnSecondCall() {
  const QString other = work_.filePath(QStringLiteral("other/velmor2"));
  QVERIFY(MakeFile(other));
  QVERIFY(CreateShortcut(other, kLinkName, {}, -1));
  QCOMPARE(ReadEntry(DesktopFile()).value(QStringLiteral("Exec")), u'"' + other + u'"');

  QVERIFY(CreateShortcut(target_, kLinkName, {}, -1));
  const QMap<QString, QString> entry = ReadEntry(DesktopFile());
  QCOMPARE(entry.value(QStringLiteral("Type")), QStringLiteral("Application"));
  QCOMPARE(entry.value(QStringLiteral("Name")), kLinkName);
  QCOMPARE(entry.value(QStringLiteral("Exec")), u'"' + target_ + u'"');
  QCOMPARE(entry.value(QStringLiteral("Path")), QFileInfo(target_).absolutePath());
  QCOMPARE(QDir(home_.filePath(QStringLiteral("Desktop"))).entryList(QDir::Files | QDir::Hidden),
           QStringList{QStringLiteral("纬途时刻.desktop")});
  QVERIFY(QFileInfo(DesktopFile()).isExecutable());
}

void ShortcutsTest::StartMenuLauncherLandsInApplicationsFolderItself() {
  QVERIFY(!QFileInfo::exists(ApplicationsDir()));
  QVERIFY(CreateShortcut(target_, kLinkName, {}, velmor::CSIDL_PROGRAMS));
  const QDir applications(ApplicationsDir());
  QCOMPARE(applications.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
           QStringList{QStringLiteral("纬途时刻.desktop")});
  QCOMPARE(ReadEntry(applications.filePath(QStringLiteral("纬途时刻.desktop")))
               .value(QStringLiteral("Exec")),
           u'"' + target_ + u'"');
  QVERIFY(!QFileInfo::exists(DesktopFile()));
}

void ShortcutsTest::MissingTargetWritesNothing() {
  QVERIFY(!CreateShortcut(work_.filePath(QStringLiteral("bin/absent")), kLinkName, {}, -1));
  QVERIFY(!CreateShortcut(work_.filePath(QStringLiteral("bin")), kLinkName, {}, -1));
  QVERIFY(!CreateShortcut({}, kLinkName, {}, velmor::CSIDL_PROGRAMS));
  QVERIFY(!QFileInfo::exists(DesktopFile()));
  QVERIFY(!QFileInfo::exists(ApplicationsDir()));
}

void ShortcutsTest::ExplicitFolderMustExist() {
  const QString folder = work_.filePath(QStringLiteral("links"));
  QVERIFY(!CreateShortcut(target_, kLinkName, folder, -1));
  QVERIFY(!QFileInfo::exists(folder));

  QVERIFY(QDir().mkpath(folder));
  QVERIFY(CreateShortcut(target_, kLinkName, folder + QStringLiteral("//"), -1));
  QCOMPARE(ReadEntry(folder + QStringLiteral("/纬途时刻.desktop")).value(QStringLiteral("Exec")),
           u'"' + target_ + u'"');
  QVERIFY(!QFileInfo::exists(DesktopFile()));
}

void ShortcutsTest::EmptyLinkNameTakesTargetBaseName() {
  const QString target = work_.filePath(QStringLiteral("bin/velmor.run.sh"));
  QVERIFY(MakeFile(target));
  QVERIFY(CreateShortcut(target, {}, {}, velmor::CSIDL_DESKTOP));
  const QString file = home_.filePath(QStringLiteral("Desktop/velmor.run.desktop"));
  QCOMPARE(ReadEntry(file).value(QStringLiteral("Name")), QStringLiteral("velmor.run"));
}

void ShortcutsTest::ExecQuotesSpecialCharacters() {
  const QString target = work_.filePath(QStringLiteral("a b$c/run%.sh"));
  QVERIFY(MakeFile(target));
  QVERIFY(CreateShortcut(target, kLinkName, {}, -1));
  // '$' gets a backslash inside the quotes, that backslash is doubled as a string escape, and
  // '%' is doubled so that it is no field code.
  QCOMPARE(ReadEntry(DesktopFile()).value(QStringLiteral("Exec")),
           u'"' + work_.path() + QStringLiteral("/a b\\\\$c/run%%.sh\""));
  QCOMPARE(ReadEntry(DesktopFile()).value(QStringLiteral("Path")),
           work_.path() + QStringLiteral("/a b$c"));
}

void ShortcutsTest::UnknownSpecialFolderFails() {
  QVERIFY(!CreateShortcut(target_, kLinkName, {}, 5));
  QVERIFY(!QFileInfo::exists(DesktopFile()));
}

void ShortcutsTest::MenuConveniencesPointAtThisProgram() {
  QVERIFY(velmor::MDesktopShortcut());
  QVERIFY(velmor::StartMenuShortcut());
  const QString exec = u'"' + QCoreApplication::applicationFilePath() + u'"';
  QCOMPARE(ReadEntry(DesktopFile()).value(QStringLiteral("Exec")), exec);
  QCOMPARE(ReadEntry(ApplicationsDir() + QStringLiteral("/纬途时刻.desktop"))
               .value(QStringLiteral("Name")),
           kLinkName);
}

QTEST_GUILESS_MAIN(ShortcutsTest)
#include "shortcuts_test.moc"

#include "app/shortcuts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace velmor {

namespace {

// A value of type string in a desktop entry: backslash and line breaks are escaped.
QString EscapeValue(const QString& text) {
  QString out;
  for (const QChar c : text) {
    if (c == u'\\') {
      out += QStringLiteral("\\\\");
    } else if (c == u'\n') {
      out += QStringLiteral("\\n");
    } else if (c == u'\r') {
      out += QStringLiteral("\\r");
    } else if (c == u'\t') {
      out += QStringLiteral("\\t");
    } else {
      out += c;
    }
  }
  return out;
}

// The Exec key's quoted argument: the characters that are special inside double quotes get a
// backslash, and '%' is doubled so that it is not taken for a field code.
QString QuoteExecArgument(const QString& path) {
  QString quoted = QStringLiteral("\"");
  for (const QChar c : path) {
    if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') quoted += u'\\';
    if (c == u'%') quoted += u'%';
    quoted += c;
  }
  quoted += u'"';
  return quoted;
}

// The standard folder behind a special folder number; empty when the number is unknown. The
// folder is created when missing: a fresh account may have no applications folder yet.
QString SpecialFolderPath(int specialFolder) {
  QString path;
  if (specialFolder == CSIDL_DESKTOP) {
    path = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
  } else if (specialFolder == CSIDL_PROGRAMS) {
    path = QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation);
  }
  if (path.isEmpty() || !QDir().mkpath(path)) return {};
  return path;
}

QString StripTrailingSeparators(QString path) {
  while (path.size() > 1 && (path.endsWith(u'/') || path.endsWith(u'\\'))) path.chop(1);
  return path;
}

bool WriteLauncher(const QString& fileName, const QString& content) {
  QSaveFile file(fileName);
  if (!file.open(QIODevice::WriteOnly)) return false;
  const QByteArray bytes = content.toUtf8();
  if (file.write(bytes) != bytes.size() || !file.commit()) return false;
  // Desktops start only launchers that are marked executable.
  return QFile::setPermissions(fileName, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                             QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                             QFile::ExeOther);
}

}  // namespace

bool CreateShortcut(const QString& targetPath, const QString& linkName, const QString& folderPath,
                    int specialFolder) {
  const QFileInfo target(targetPath);
  if (targetPath.isEmpty() || !target.isFile()) return false;
  const QString name = linkName.isEmpty() ? target.completeBaseName() : linkName;
  const QString absoluteTarget = target.absoluteFilePath();
  const QString content =
      QStringLiteral("[Desktop Entry]\nType=Application\nName=") + EscapeValue(name) +
      QStringLiteral("\nExec=") + EscapeValue(QuoteExecArgument(absoluteTarget)) +
      QStringLiteral("\nPath=") + EscapeValue(target.absolutePath()) + QStringLiteral("\n");

  if (folderPath.isEmpty() && specialFolder == -1) specialFolder = CSIDL_DESKTOP;
  QString folder;
  if (specialFolder >= 0) {
    folder = SpecialFolderPath(specialFolder);
    if (folder.isEmpty()) return false;
  } else {
    folder = StripTrailingSeparators(folderPath);
    if (!QFileInfo(folder).isDir()) return false;
  }
  return WriteLauncher(folder + u'/' + name + QStringLiteral(".desktop"), content);
}

bool MDesktopShortcut() {
  return CreateShortcut(QCoreApplication::applicationFilePath(), QStringLiteral("纬途时刻"), {},
                        -1);
}

bool StartMenuShortcut() {
  return CreateShortcut(QCoreApplication::applicationFilePath(), QStringLiteral("纬途时刻"), {},
                        CSIDL_PROGRAMS);
}

}  // namespace velmor

#include "cli/cli_print.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPdfWriter>
#include <QSaveFile>
#include <cerrno>
#include <memory>

#include "data/gbk_text.h"
#include "present/grid_export.h"
#include "qtprint/print_canvas.h"

namespace velmor {
namespace {

// Fonts and painting need an application object; a terminal program has no screen to show,
// so it renders off screen unless the user chose a platform.
void EnsureGuiApplication() {
  if (QCoreApplication::instance()) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Qt's notes about the session (no runtime folder, no screen) mean nothing to a script that
  // reads standard error; failures are reported by the caller.
  // (Qt still aborts after a fatal one.)
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  static int argc = 1;
  static char name[] = "velmor-cli";
  static char* argv[] = {name, nullptr};
  static std::unique_ptr<QGuiApplication> app = std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace

bool PrintToPdf(const std::string& path, const TStringGrid& grid, bool detail, int rowCount,
                std::string* error) {
  EnsureGuiApplication();
  QSaveFile file(QFile::decodeName(path.c_str()));
  bool printed = false;
  if (file.open(QIODevice::WriteOnly)) {
    QPdfWriter writer(&file);
    writer.setCreator(QStringLiteral("velmor-cli"));
    printed = PrintGridOn(writer, grid, detail, rowCount);
  }
  if (printed && file.commit()) return true;
  // Qt's own reason is English; the user reads why in the window's words.
  int number = EIO;
  if (!QFileInfo(file.fileName()).absoluteDir().exists()) {
    number = ENOENT;
  } else if (file.error() == QFileDevice::PermissionsError) {
    number = EACCES;
  }
  if (error) *error = "无法写入“" + path + "”。" + GbkToUtf8(ExportErrorText(number));
  return false;
}

}  // namespace velmor

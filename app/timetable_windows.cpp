#include "app/timetable_windows.h"

#include <QMessageBox>
#include <QSettings>

#include "app/UnitVelmor.h"
#include "app/dialogs.h"
#include "app/qt_text.h"
#include "data/timetable_file.h"

namespace velmor {
namespace {

const QString kSettingsKey = QStringLiteral("Timetable/File");

}  // namespace

TimetableWindows::TimetableWindows() = default;
TimetableWindows::~TimetableWindows() = default;

QString TimetableWindows::Remembered() {
  return QSettings().value(kSettingsKey).toString();
}

std::unique_ptr<TFrmVelmor> TimetableWindows::Make(const QString& path, QString* why) {
  TFrmVelmorOptions options;
  options.SwitchTimetable = [this](const QString& p) { Switch(p); };
  if (!path.isEmpty()) {
    // The whole file is read and loaded once here, so that a damaged table is refused before
    // the window depends on it.
    std::string error;
    std::optional<TimetableFile> file = TimetableFile::Open(path.toStdString(), &error);
    TablesSet probe;
    if (!file || !LoadAllTables(probe, file->Finder(), &error)) {
      *why = FromGbk(error);
      return nullptr;
    }
    options.TablesFinder = file->Finder();
    options.Edition = FromGbk(file->Edition());
    options.TimetablePath = path;
  }
  return std::make_unique<TFrmVelmor>(std::move(options));
}

void TimetableWindows::Show(std::unique_ptr<TFrmVelmor> window) {
  window->show();
  // The old window may be the one whose menu asked for the switch: it goes once that returns.
  if (window_) window_.release()->deleteLater();
  window_ = std::move(window);
}

void TimetableWindows::Start(const QString& path) {
  const QString wanted = path.isEmpty() ? Remembered() : path;
  QString why;
  std::unique_ptr<TFrmVelmor> window = wanted.isEmpty() ? nullptr : Make(wanted, &why);
  if (!window) {
    if (!wanted.isEmpty()) {
      QMessageBox::warning(
          nullptr, AppTitle(),
          QStringLiteral("时刻表 %1 无法打开，使用内置时刻表。\n%2").arg(wanted, why));
    }
    window = Make(QString(), &why);
  } else if (!path.isEmpty()) {
    QSettings().setValue(kSettingsKey, path);
  }
  Show(std::move(window));
}

void TimetableWindows::Switch(const QString& path) {
  QString why;
  std::unique_ptr<TFrmVelmor> window = Make(path, &why);
  if (!window) {
    QMessageBox::warning(
        window_.get(), AppTitle(),
        QStringLiteral("时刻表 %1 无法打开，仍使用当前的时刻表。\n%2").arg(path, why));
    return;
  }
  if (path.isEmpty()) {
    QSettings().remove(kSettingsKey);
  } else {
    QSettings().setValue(kSettingsKey, path);
  }
  Show(std::move(window));
}

}  // namespace velmor

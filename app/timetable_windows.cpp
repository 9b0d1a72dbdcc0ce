#include "app/timetable_windows.h"

#include <QSettings>

#include "app/dialogs.h"
#include "app/qt_text.h"
#include "data/timetable_file.h"

namespace velmor {
namespace {

const QString kSettingsKey = QStringLiteral("Timetable/File");

}  // namespace

TimetableWindows::TimetableWindows(TFrmVelmorOptions base) : base_(std::move(base)) {
  if (!base_.Dialogs) {
    ownDialogs_ = std::make_unique<QtDialogs>();
    base_.Dialogs = ownDialogs_.get();
  }
  dialogs_ = base_.Dialogs;
  base_.SwitchTimetable = [this](const QString& p) { Switch(p); };
}

TimetableWindows::~TimetableWindows() = default;

QString TimetableWindows::Remembered() {
  return QSettings().value(kSettingsKey).toString();
}

std::unique_ptr<TFrmVelmor> TimetableWindows::Make(const QString& path, QString* why) {
  TFrmVelmorOptions options = base_;
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
  // The given file, then the one in use last time: a bad file on the command line does not
  // take the user's timetable away.
  QStringList wanted;
  if (!path.isEmpty()) wanted << path;
  if (const QString remembered = Remembered(); !remembered.isEmpty() && remembered != path) {
    wanted << remembered;
  }
  QStringList failed, reasons;
  std::unique_ptr<TFrmVelmor> window;
  QString used;
  for (const QString& candidate : wanted) {
    QString why;
    window = Make(candidate, &why);
    if (window) {
      used = candidate;
      break;
    }
    failed << candidate;
    reasons << why;
  }
  if (!window) {
    QString why;
    window = Make(QString(), &why);
  }
  const QString instead =
      used.isEmpty() ? QStringLiteral("使用内置时刻表") : QStringLiteral("使用时刻表 ") + used;
  for (qsizetype i = 0; i < failed.size(); ++i) {
    dialogs_->Warning(
        nullptr, AppTitle(),
        QStringLiteral("时刻表 %1 无法打开，%2。\n%3").arg(failed[i], instead, reasons[i]));
  }
  if (!path.isEmpty() && used == path) QSettings().setValue(kSettingsKey, path);
  Show(std::move(window));
}

void TimetableWindows::Switch(const QString& path) {
  QString why;
  std::unique_ptr<TFrmVelmor> window = Make(path, &why);
  if (!window) {
    dialogs_->Warning(
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

#include "app/import_dialog.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <atomic>
#include <mutex>
#include <thread>

#include "app/dialogs.h"
#include "app/qt_text.h"
#include "data/loaders.h"
#include "data/timetable_file.h"
#include "import/gtfs_import.h"

namespace velmor {
namespace {

struct FeedChoice {
  QString Feed;
  QString Date;  // yyyy-MM-dd, empty for the feed's default
};

std::optional<FeedChoice> AskForFeed(QWidget* parent) {
  QDialog dialog(parent);
  dialog.setWindowTitle(QStringLiteral("导入时刻表"));
  auto* grid = new QGridLayout(&dialog);
  grid->addWidget(new QLabel(QStringLiteral("GTFS 时刻表数据（zip 文件或文件夹）："), &dialog), 0,
                  0, 1, 3);
  auto* feed = new QLineEdit(&dialog);
  feed->setMinimumWidth(360);
  grid->addWidget(feed, 1, 0);
  auto* zip = new QPushButton(QStringLiteral("zip 文件…"), &dialog);
  auto* folder = new QPushButton(QStringLiteral("文件夹…"), &dialog);
  grid->addWidget(zip, 1, 1);
  grid->addWidget(folder, 1, 2);
  auto* useDate = new QCheckBox(QStringLiteral("指定运行日期："), &dialog);
  auto* date = new QDateEdit(QDate::currentDate(), &dialog);
  date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
  date->setCalendarPopup(true);
  date->setEnabled(false);
  grid->addWidget(useDate, 2, 0);
  grid->addWidget(date, 2, 1, 1, 2);
  grid->addWidget(
      new QLabel(QStringLiteral("不指定时：数据包含今天则用今天，否则用数据的第一天。"), &dialog),
      3, 0, 1, 3);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  grid->addWidget(buttons, 4, 0, 1, 3);
  QObject::connect(useDate, &QCheckBox::toggled, date, &QWidget::setEnabled);
  QObject::connect(zip, &QPushButton::clicked, &dialog, [&] {
    const QString f = QFileDialog::getOpenFileName(&dialog, QStringLiteral("选择 GTFS zip 文件"),
                                                   QString(), QStringLiteral("GTFS 数据 (*.zip)"),
                                                   nullptr, QFileDialog::DontUseNativeDialog);
    if (!f.isEmpty()) feed->setText(f);
  });
  QObject::connect(folder, &QPushButton::clicked, &dialog, [&] {
    const QString d = QFileDialog::getExistingDirectory(
        &dialog, QStringLiteral("选择 GTFS 文件夹"), QString(),
        QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    if (!d.isEmpty()) feed->setText(d);
  });
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  if (dialog.exec() != QDialog::Accepted || feed->text().trimmed().isEmpty()) return std::nullopt;
  return FeedChoice{
      feed->text().trimmed(),
      useDate->isChecked() ? date->date().toString(QStringLiteral("yyyy-MM-dd")) : QString()};
}

// What the worker reports to the progress dialog.
struct SharedProgress {
  std::mutex lock;
  QString step;
  int percent = 0;
  std::atomic<bool> done{false};
  std::atomic<bool> cancel{false};
};

ImportResult ImportWithProgress(QWidget* parent, const FeedChoice& choice, const QString& out,
                                const ImportWorkerHook& onWorker) {
  SharedProgress shared;
  ImportResult result;
  std::thread worker([&] {
    TablesSet builtIn;
    const ResourceFinder find = EmbeddedResourceFinder();
    std::string error;
    if (!LoadTableResource(builtIn.KMPy, builtIn.sfCSV, find, "SPY", "", &error) ||
        !LoadTableResource(builtIn.KMSM, builtIn.sfCSV, find, "SM", "SStation", &error)) {
      result.Error = error;
    } else {
      ImportOptions options;
      options.Date = choice.Date.toStdString();
      ImportHooks hooks;
      hooks.Cancel = &shared.cancel;
      hooks.Progress = [&](std::string_view step, int percent) {
        {
          const std::lock_guard<std::mutex> hold(shared.lock);
          shared.step = FromGbk(step);
          shared.percent = percent;
        }
        if (onWorker) onWorker(step, percent);
      };
      result = ImportFeedToFile(choice.Feed.toStdString(), out.toStdString(), options,
                                ImportReference{builtIn.KMPy, builtIn.KMSM}, hooks);
    }
    shared.done = true;
  });
  QProgressDialog progress(QStringLiteral("正在导入…"), QStringLiteral("取消"), 0, 100, parent);
  progress.setWindowTitle(QStringLiteral("导入时刻表"));
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(0);
  // Every step runs from 0 to 100: a step's end must not hide the dialog until the next one.
  progress.setAutoReset(false);
  QObject::connect(&progress, &QProgressDialog::canceled, [&] { shared.cancel = true; });
  QEventLoop loop;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
    if (shared.done) {
      loop.quit();
      return;
    }
    const std::lock_guard<std::mutex> hold(shared.lock);
    // Until the first report the dialog keeps its own label.
    if (!shared.cancel && !shared.step.isEmpty()) {
      progress.setLabelText(shared.step);
      progress.setValue(shared.percent);
    }
  });
  timer.start(50);
  loop.exec();
  worker.join();
  return result;
}

}  // namespace

std::optional<QString> RunImportDialog(QWidget* parent, IDialogs& dialogs,
                                       const ImportWorkerHook& onWorker) {
  const std::optional<FeedChoice> choice = AskForFeed(parent);
  if (!choice) return std::nullopt;
  std::optional<QString> out = dialogs.SaveFileName(
      parent, QStringLiteral("时刻表文件(*%1)|*%1").arg(QLatin1String(kTimetableExtension)),
      QString::fromLatin1(kTimetableExtension + 1));
  if (!out) return std::nullopt;
  if (!out->endsWith(QLatin1String(kTimetableExtension)))
    *out += QLatin1String(kTimetableExtension);
  // The save dialog leaves the question to the program, after the extension has been added.
  if (!ConfirmReplace(dialogs, parent, *out)) return std::nullopt;
  const ImportResult result = ImportWithProgress(parent, *choice, *out, onWorker);
  if (result.Cancelled) return std::nullopt;
  if (!result.Ok) {
    dialogs.Message(parent, AppTitle(),
                    QStringLiteral("导入失败，没有写入任何文件。\n%1").arg(FromGbk(result.Error)));
    return std::nullopt;
  }
  if (!dialogs.AskYesNo(parent, AppTitle(),
                        QStringLiteral("导入完成：%1\n\n%2\n现在打开这个时刻表吗？")
                            .arg(*out, FromGbk(result.Report)))) {
    return std::nullopt;
  }
  return out;
}

}  // namespace velmor

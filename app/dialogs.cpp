#include "app/dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStringList>

namespace velmor {

QString AppTitle() {
  return QStringLiteral("纬途时刻表");
}

QString ExportFilter() {
  return QStringLiteral("Excel文件(*.csv)|*.csv");
}

QString ExportSuffix() {
  return QStringLiteral("csv");
}

QString QtFileFilter(const QString& filter) {
  const QStringList parts = filter.split(QLatin1Char('|'));
  QStringList out;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString& description = parts[i];
    const QString pattern = parts[i + 1];
    // A description that already ends in "(pattern)" is shown as it is.
    if (description.endsWith(QLatin1Char('(') + pattern + QLatin1Char(')'))) {
      out << description;
    } else {
      out << description + QStringLiteral(" (") + pattern + QLatin1Char(')');
    }
  }
  return out.join(QStringLiteral(";;"));
}

std::optional<QString> ChooseExportFile(IDialogs& dialogs, QWidget* parent) {
  std::optional<QString> chosen = dialogs.SaveFileName(parent, ExportFilter(), ExportSuffix());
  if (!chosen) return std::nullopt;
  QString name = chosen->trimmed();
  if (name.isEmpty()) return std::nullopt;
  if (QFileInfo(name).suffix().isEmpty()) name += QLatin1Char('.') + ExportSuffix();
  if (!ConfirmReplace(dialogs, parent, name)) return std::nullopt;
  return name;
}

bool ConfirmReplace(IDialogs& dialogs, QWidget* parent, const QString& name) {
  // Replacing a file silently loses it, so the user is asked first.
  if (!QFileInfo::exists(name)) return true;
  const QString question =
      QStringLiteral("%1 已存在。\n要替换它吗？").arg(QFileInfo(name).fileName());
  return dialogs.AskYesNo(parent, AppTitle(), question);
}

void QtDialogs::Message(QWidget* parent, const QString& caption, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, parent);
  box.exec();
}

void QtDialogs::Warning(QWidget* parent, const QString& caption, const QString& text) {
  QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::Ok, parent);
  box.exec();
}

bool QtDialogs::AskYesNo(QWidget* parent, const QString& caption, const QString& text) {
  QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No, parent);
  return box.exec() == QMessageBox::Yes;
}

TAnswer QtDialogs::AskYesNoCancel(QWidget* parent, const QString& caption, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, caption, text,
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
  switch (box.exec()) {
    case QMessageBox::Yes:
      return TAnswer::Yes;
    case QMessageBox::No:
      return TAnswer::No;
    default:
      return TAnswer::Cancel;
  }
}

std::optional<QString> QtDialogs::SaveFileName(QWidget* parent, const QString& filter,
                                               const QString& defaultSuffix) {
  QFileDialog dialog(parent);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilter(QtFileFilter(filter));
  dialog.setDefaultSuffix(defaultSuffix);
  // ChooseExportFile asks about replacing, after the default extension has been added.
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  // The framework's own dialog speaks the program's Chinese; a desktop's would follow the
  // user's locale.
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return std::nullopt;
  }
  return dialog.selectedFiles().constFirst();
}

void QtDialogs::NoPrinter(QWidget* parent) {
  Message(parent, AppTitle(), QStringLiteral("没有可用的打印机，无法打印。"));
}

bool QtDialogs::Print(QWidget* parent, const std::function<bool(QPrinter&)>& job) {
  const QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (info.isNull()) {
    NoPrinter(parent);
    return false;
  }
  QPrinter printer(info, QPrinter::HighResolution);
  if (!printer.isValid() || !job(printer)) {
    NoPrinter(parent);
    return false;
  }
  return true;
}

}  // namespace velmor

#include "app/grid_actions.h"

#include <QFile>
#include <QPrinter>
#include <string>
#include <vector>

#include "app/qt_text.h"
#include "present/grid_export.h"
#include "qtprint/print_canvas.h"

namespace velmor {

bool PrintListGrid(IDialogs& dialogs, QWidget* parent, const TStringGrid& grid, bool detail,
                   int rowCount) {
  return dialogs.Print(
      parent, [&](QPrinter& printer) { return PrintGridOn(printer, grid, detail, rowCount); });
}

bool ExportListGrid(IDialogs& dialogs, QWidget* parent, const TStringGrid& grid, bool detail,
                    int rowCount) {
  // The text is built before the dialog, so it is what was shown when the user asked.
  const std::vector<std::string> lines = ExportLines(grid, detail, rowCount);
  const std::optional<QString> file = ChooseExportFile(dialogs, parent);
  if (!file) return false;
  std::string error;
  int number = 0;
  if (!WriteExportFile(QFile::encodeName(*file).toStdString(), lines, &error, &number)) {
    dialogs.Message(
        parent, AppTitle(),
        QStringLiteral("无法创建文件“%1”。\n%2").arg(*file, FromGbk(ExportErrorText(number))));
    return false;
  }
  return true;
}

}  // namespace velmor

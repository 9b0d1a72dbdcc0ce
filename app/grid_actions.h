// Printing and exporting a list grid from a window, through the dialogs seam.
#pragma once

#include "app/dialogs.h"
#include "present/string_grid.h"

class QWidget;

namespace velmor {

// Prints rows 0..rowCount-1 on the default printer; true when a page was printed.
bool PrintListGrid(IDialogs& dialogs, QWidget* parent, const TStringGrid& grid, bool detail,
                   int rowCount);

// Exports rows 0..rowCount-1 to the file the user chooses; a failed write leaves any existing
// file untouched and is reported in a message box. True when a file was written.
bool ExportListGrid(IDialogs& dialogs, QWidget* parent, const TStringGrid& grid, bool detail,
                    int rowCount);

}  // namespace velmor

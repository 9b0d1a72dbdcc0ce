// 导入时刻表: choosing a GTFS feed and its service day, the import on a worker thread behind a
// progress dialog with 取消, and the offer to open the result.
#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace velmor {

class IDialogs;

// Runs the whole import conversation; the written timetable file when the user wants to open
// it, nothing otherwise (cancelled, failed with a message, or declined).
std::optional<QString> RunImportDialog(QWidget* parent, IDialogs& dialogs);

}  // namespace velmor

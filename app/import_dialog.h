// 导入时刻表: choosing a GTFS feed and its service day, the import on a worker thread behind a
// progress dialog with 取消, and the offer to open the result.
#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <string_view>

class QWidget;

namespace velmor {

class IDialogs;

// Called on the import's worker thread after each progress report (step in GBK, percent).
using ImportWorkerHook = std::function<void(std::string_view step, int percent)>;

// Runs the whole import conversation; the written timetable file when the user wants to open
// it, nothing otherwise (cancelled, failed with a message, or declined). An existing target is
// replaced only when the user agrees, and only by a finished import. `onWorker` lets tests
// hold the import at a chosen step.
std::optional<QString> RunImportDialog(QWidget* parent, IDialogs& dialogs,
                                       const ImportWorkerHook& onWorker = {});

}  // namespace velmor

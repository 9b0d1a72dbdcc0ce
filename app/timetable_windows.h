// Which timetable the main window shows: the built-in one, a file given on the command line,
// or the one the user opened last (remembered in QSettings); reopening the window on another.
#pragma once

#include <QString>
#include <memory>

#include "app/UnitVelmor.h"

namespace velmor {

class TimetableWindows {
 public:
  // Every window is built from `base` (dialogs, resources, version check) with the timetable
  // fields filled in; the program passes the defaults, tests their own seams. Messages go
  // through base.Dialogs, the Qt dialogs when it is null.
  explicit TimetableWindows(TFrmVelmorOptions base = {});
  ~TimetableWindows();
  TimetableWindows(const TimetableWindows&) = delete;
  TimetableWindows& operator=(const TimetableWindows&) = delete;

  // Shows the main window on `path` when given, else on the remembered file, else on the
  // built-in timetable. A file that fails is said why and the next of these is used; only a
  // given file that opens is remembered.
  void Start(const QString& path);

  // Reopens the window on the timetable file `path` (empty: the built-in timetable) and
  // remembers the choice; a file that fails is said why and the current window stays.
  void Switch(const QString& path);

  // The window shown, nullptr before Start.
  TFrmVelmor* Window() const { return window_.get(); }

  // The remembered timetable file, empty for none.
  static QString Remembered();

 private:
  // A window on `path` (empty: built-in); nullptr and `why` when the file cannot be used.
  std::unique_ptr<TFrmVelmor> Make(const QString& path, QString* why);
  void Show(std::unique_ptr<TFrmVelmor> window);
  TFrmVelmorOptions base_;
  std::unique_ptr<IDialogs> ownDialogs_;
  IDialogs* dialogs_ = nullptr;
  std::unique_ptr<TFrmVelmor> window_;
};

}  // namespace velmor

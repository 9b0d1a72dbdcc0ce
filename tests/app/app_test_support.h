// Shared pieces of the window tests: scripted dialogs, fixture resources, a window factory and
// a way to act on a modal window while it runs.
#pragma once

#include <QApplication>
#include <QPrinter>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QtTest>
#include <deque>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/UnitVelmor.h"
#include "app/dialogs.h"
#include "app/qt_text.h"
#include "app/station_combo.h"
#include "data/gbk_text.h"
#include "data/resource_container.h"
#include "data/table_cursor.h"

namespace velmor::testing {

// Answers every question from a script and records what was shown.
class ScriptedDialogs : public IDialogs {
 public:
  struct Shown {
    QString Caption;
    QString Text;
  };

  std::vector<Shown> Messages;
  std::vector<Shown> Warnings;
  std::vector<Shown> Questions;
  std::deque<bool> YesNoAnswers;
  std::deque<TAnswer> YesNoCancelAnswers;
  // A null QString answers Cancel.
  std::deque<QString> SaveNames;
  QStringList SaveFilters;
  // Where "the default printer" prints; empty means there is no printer.
  QString PdfPath;
  int NoPrinterCount = 0;
  int PrintJobs = 0;

  void Message(QWidget*, const QString& caption, const QString& text) override {
    Messages.push_back({caption, text});
  }
  void Warning(QWidget*, const QString& caption, const QString& text) override {
    Warnings.push_back({caption, text});
  }
  bool AskYesNo(QWidget*, const QString& caption, const QString& text) override {
    Questions.push_back({caption, text});
    if (YesNoAnswers.empty()) return false;
    bool answer = YesNoAnswers.front();
    YesNoAnswers.pop_front();
    return answer;
  }
  TAnswer AskYesNoCancel(QWidget*, const QString& caption, const QString& text) override {
    Questions.push_back({caption, text});
    if (YesNoCancelAnswers.empty()) return TAnswer::Cancel;
    TAnswer answer = YesNoCancelAnswers.front();
    YesNoCancelAnswers.pop_front();
    return answer;
  }
  std::optional<QString> SaveFileName(QWidget*, const QString& filter,
                                      const QString& suffix) override {
    SaveFilters << filter + QStringLiteral(" / ") + suffix;
    if (SaveNames.empty()) return std::nullopt;
    const QString name = SaveNames.front();
    SaveNames.pop_front();
    if (name.isNull()) return std::nullopt;
    return name;
  }
  void NoPrinter(QWidget*) override { ++NoPrinterCount; }
  bool Print(QWidget*, const std::function<bool(QPrinter&)>& job) override {
    if (PdfPath.isEmpty()) {
      NoPrinter(nullptr);
      return false;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(PdfPath);
    const bool printed = job(printer);
    if (printed) ++PrintJobs;
    return printed;
  }
};

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// The fixture tables packed as resources; pictures still come from the executable.
class FixtureResources {
 public:
  FixtureResources() {
    for (const char* n : {"SPY", "SLIST", "SM", "STRAIN"}) {
      packed_[n] =
          PackResource(ReadFile(std::string(VELMOR_FIXTURE_DIR) + "/tables/" + n + ".txt"));
    }
  }
  ResourceFinder Finder() const {
    return [this](std::string_view name, std::string_view type) -> std::optional<std::string_view> {
      auto it = packed_.find(UpperAscii(name));
      if (it != packed_.end() && SameTextAscii(type, "ME")) return std::string_view(it->second);
      return FindEmbeddedResource(name, type);
    };
  }

 private:
  std::map<std::string, std::string> packed_;
};

// Keeps the settings of this test program in `folder`, never in the user's own.
inline void KeepSettingsIn(const QString& folder) {
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
  QCoreApplication::setOrganizationName(QStringLiteral("velmor-test"));
}

// A version check that ends at once without touching the network.
inline VersionCheckSettings OfflineVersionCheck() {
  VersionCheckSettings s;
  s.probeHost = QStringLiteral("127.0.0.1");
  s.probePort = 1;
  s.connectTimeout = std::chrono::milliseconds(2000);
  s.readTimeout = std::chrono::milliseconds(2000);
  return s;
}

// What a test window is built with: scripted dialogs, the given tables, no network.
inline TFrmVelmorOptions TestOptions(ScriptedDialogs& dialogs,
                                     ResourceFinder finder = EmbeddedResourceFinder()) {
  TFrmVelmorOptions options;
  options.Dialogs = &dialogs;
  options.Finder = std::move(finder);
  options.VersionCheck = OfflineVersionCheck();
  return options;
}

// A shown main window over the fixture tables, with both loaders finished.
inline std::unique_ptr<TFrmVelmor> ReadyWindow(ScriptedDialogs& dialogs,
                                               const FixtureResources& resources) {
  auto window = std::make_unique<TFrmVelmor>(TestOptions(dialogs, resources.Finder()));
  window->show();
  if (!QTest::qWaitForWindowExposed(window.get())) return nullptr;
  window->activateWindow();
  QApplication::setActiveWindow(window.get());
  if (!QTest::qWaitForWindowActive(window.get())) return nullptr;
  if (!QTest::qWaitFor([&] { return window->QueriesReady(); }, 20000)) return nullptr;
  return window;
}

// Runs `action` on the first modal dialog of type T once it is showing, then closes the dialog
// if the action did not (a failed check returns early and must not leave the test hanging).
// The watch ends with the returned guard, so a dialog that never came cannot be caught by a
// later test through an action whose captures are gone.
template <typename T>
[[nodiscard]] std::unique_ptr<QTimer> WhenModal(std::function<void(T*)> action) {
  auto timer = std::make_unique<QTimer>();
  timer->setInterval(10);
  QTimer* raw = timer.get();
  QObject::connect(raw, &QTimer::timeout, [raw, action] {
    if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
      raw->stop();
      action(dialog);
      if (dialog->isVisible()) dialog->reject();
    }
  });
  timer->start();
  return timer;
}

inline QString Cell(const TStringGrid& grid, int col, int row) {
  return FromGbk(grid.Cells(col, row));
}

// Shown result rows whose train number is not empty.
inline int FilledRows(const TStringGrid& grid) {
  int n = 0;
  for (int r = 0; r < grid.RowCount(); ++r) {
    if (!grid.Cells(0, r).empty()) ++n;
  }
  return n;
}

// The stations of the same-city group of `station` (just the station without a group).
inline std::vector<std::string> CityGroup(const TablesSet& tables, const std::string& station) {
  TTableCursor sm(tables.KMSM);
  const int nameField = tables.KMSM.FieldIndex("Station");
  const int groupField = tables.KMSM.FieldIndex("Gp");
  int group = 0;
  for (sm.First(); !sm.Eof(); sm.Next()) {
    if (sm.Text(nameField) == station) group = sm.Integer(groupField);
  }
  std::vector<std::string> out;
  if (group == 0) return {station};
  for (sm.First(); !sm.Eof(); sm.Next()) {
    if (sm.Integer(groupField) == group) out.emplace_back(sm.Text(nameField));
  }
  return out;
}

inline bool Contains(const std::vector<std::string>& set, const std::string& s) {
  for (const std::string& x : set) {
    if (x == s) return true;
  }
  return false;
}

// Types a station name as a user picking it would: the box's text becomes the name.
inline void PickStation(StationCombo* combo, const char* utf8) {
  combo->setEditText(QString::fromUtf8(utf8));
}

}  // namespace velmor::testing

// The main window: the query panels, the result grid with its header labels and filters, the
// links, the advanced menu and the status bar.
#pragma once

#include <QPixmap>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "app/version_check.h"
#include "data/embedded_resources.h"
#include "data/loaders.h"
#include "present/query_session.h"

class QAction;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace velmor {

class ClickLabel;
class GridView;
class IDialogs;
class StationCombo;
class TFrmPlan;

// What the window is built with; the program uses the defaults, tests substitute their own.
struct TFrmVelmorOptions {
  // Questions and messages; nullptr for the Qt dialogs.
  IDialogs* Dialogs = nullptr;
  // Where tables and pictures come from.
  ResourceFinder Finder = EmbeddedResourceFinder();
  // The version check's addresses and limits.
  VersionCheckSettings VersionCheck;
  // An open timetable file: its tables' finder, its edition for the status bar and its path;
  // no finder for the built-in timetable, whose tables come from Finder.
  ResourceFinder TablesFinder;
  QString Edition;
  QString TimetablePath;
  // Reopens the program on another timetable file (empty: the built-in one); without it the
  // timetable menu items are hidden.
  std::function<void(const QString&)> SwitchTimetable;
};

class TFrmVelmor : public QWidget {
  Q_OBJECT

 public:
  explicit TFrmVelmor(TFrmVelmorOptions options = {}, QWidget* parent = nullptr);
  // Stops the version check and waits for both loaders, so no worker outlives the tables.
  ~TFrmVelmor() override;
  TFrmVelmor(const TFrmVelmor&) = delete;
  TFrmVelmor& operator=(const TFrmVelmor&) = delete;

  // The tables, and the query session over them that every handler drives.
  TablesSet Tables;
  TQuerySession Session{Tables};
  const PubState& Pub() const { return Session.Pub(); }
  ResultView& Result() { return Session.Result(); }

  // Handlers, named after their controls and events.
  void ComboFZChange(StationCombo* sender);
  void FillPinyinList(StationCombo* combo);
  void ComboFZKeyPress();
  void ComboDZKeyPress();
  void ComboCZKeyPress();
  // `tag` 0 is the "查询" button, 1 the "中转" button.
  void BTNZZCXClick(int tag);
  void BTNZZFXClick();
  void BTNCCCXClick();
  void BTNCZCXClick();
  void CBSFClick();
  void Lab1Click(int labelIndex);
  void SGridDblClick(int row);
  void MAdvancedPopup();
  void MPrintClick();
  void MExportClick();
  void MDesktopClick();
  void NStartClick();
  void MAboutClick();
  // 换乘方案…: the plan window, made once and shown again with the current stations.
  void MPlanClick();
  void LabSellClick();
  void Label30Click();
  void Label31Click();
  void Label32Click();
  void Label33Click();
  void ImageLogoClick();
  void BtnUpdateClick();

  // Mirrors the result view (cells, header labels, count, filter boxes) on screen.
  void ShowResult();

  // True once both loaders have finished and the query buttons are enabled.
  bool QueriesReady() const { return queriesReady_; }

  IDialogs& Dialogs() { return *dialogs_; }
  const QPixmap& LogoPicture() const { return logo_; }

  // Controls, under the names the handlers use.
  QWidget* PTop = nullptr;
  QWidget* P1 = nullptr;
  QLabel* Image1 = nullptr;
  QLabel* Image2 = nullptr;
  QLabel* Image3 = nullptr;
  QLabel* Image4 = nullptr;
  QLabel* Image5 = nullptr;
  ClickLabel* Image7 = nullptr;
  ClickLabel* ImageLogo = nullptr;
  ClickLabel* Label30 = nullptr;
  ClickLabel* Label31 = nullptr;
  ClickLabel* Label32 = nullptr;
  ClickLabel* Label33 = nullptr;
  ClickLabel* LabSell = nullptr;
  std::array<ClickLabel*, 15> Lab{};
  GridView* SGrid = nullptr;
  QGroupBox* GroupBox1 = nullptr;
  QGroupBox* GroupBox2 = nullptr;
  QGroupBox* GroupBox3 = nullptr;
  StationCombo* ComboFZ = nullptr;
  StationCombo* ComboDZ = nullptr;
  StationCombo* ComboCZ = nullptr;
  QLineEdit* ECC = nullptr;
  QPushButton* BTNZZCX = nullptr;
  QPushButton* BTNZZFX = nullptr;
  QPushButton* BTNZZZZ = nullptr;
  QPushButton* BTNCCCX = nullptr;
  QPushButton* BTNCZCX = nullptr;
  QPushButton* BTNAdvanced = nullptr;
  QPushButton* BTNAbout = nullptr;
  QPushButton* BtnUpdate = nullptr;
  QLabel* LabResult = nullptr;
  QLabel* Label1 = nullptr;
  QCheckBox* CBSF = nullptr;
  QCheckBox* CBZD = nullptr;
  QCheckBox* CBJQ = nullptr;
  QCheckBox* CBDC = nullptr;
  QLabel* LabNew = nullptr;
  std::array<QLabel*, 5> StatusBar1{};
  QMenu* MAdvanced = nullptr;
  QAction* MPrint = nullptr;
  QAction* MExport = nullptr;
  QMenu* MShortcuts = nullptr;
  QAction* MDesktop = nullptr;
  QAction* NStart = nullptr;
  QAction* MAbout = nullptr;
  QAction* MPlan = nullptr;
  // Deleted before the tables it searches, with any search it still runs.
  std::unique_ptr<TFrmPlan> PlanWindow;
  QAction* MImportTimetable = nullptr;
  QAction* MOpenTimetable = nullptr;
  QAction* MBuiltInTimetable = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void BuildTopPanel();
  void BuildHeaderBand();
  void BuildPanels();
  void BuildStatusBar();
  void BuildMenu();
  void ConnectHandlers();
  void FormCreate();
  void OnLoaderSignal(LoaderSignal signal);
  void OnLoaderFailed(const LoaderFailure& failure);
  void UpdateQueryButtons();
  // Carries out what the session asked for after an operation.
  void Perform(const TSessionReply& reply);
  void ShowZZWindow();
  QWidget* FocusWidget(TFocusTarget target) const;

  std::unique_ptr<IDialogs> ownDialogs_;
  IDialogs* dialogs_;
  ResourceFinder finder_;
  VersionCheckSettings versionSettings_;
  ResourceFinder tablesFinder_;
  QString edition_;
  QString timetablePath_;
  std::function<void(const QString&)> switchTimetable_;
  // 高级 → 导入时刻表…, 打开时刻表…, 使用内置时刻表.
  void MImportTimetableClick();
  void MOpenTimetableClick();
  std::unique_ptr<TThreadNet> net_;
  std::thread load1_;
  std::thread load_;
  bool stationBoxesSignalled_ = false;
  bool queryButtonsSignalled_ = false;
  bool queriesReady_ = false;
  bool centred_ = false;
  bool frameCentred_ = false;
  // Centres the window's frame on its screen's available area.
  void CentreFrame();
  QPixmap logo_;
};

}  // namespace velmor

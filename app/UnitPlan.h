// The journey-plan window: two station boxes with pinyin completion, the start time, the most
// changes and the two minimum change times; the journeys found, sortable by their header
// labels, and the legs of the picked one. Searches run on a worker thread; a new search
// stops the one before it.
#pragma once

#include <QDialog>
#include <array>
#include <cstdint>
#include <stop_token>
#include <thread>
#include <vector>

#include "present/plan_session.h"

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTimeEdit;
class QTimer;

namespace velmor {

class ClickLabel;
class GridView;
class IDialogs;
class StationCombo;

class TFrmPlan : public QDialog {
  Q_OBJECT

 public:
  // The tables must be loaded and outlive the window.
  TFrmPlan(const TablesSet& tables, IDialogs& dialogs, QWidget* parent = nullptr);
  ~TFrmPlan() override;

  // Puts the main window's station texts into the two boxes.
  void Prefill(const QString& fz, const QString& dz);

  void BTNPlanClick();
  void Lab1Click(int labelIndex);
  void PGridClick(int row);
  void PGridDblClick(int row);
  void BTNPrintClick();
  void BTNExportClick();

  // Whether a search is running.
  bool Searching() const { return searching_; }
  const PlanView& View() const { return session_.View(); }

  StationCombo* ComboFZ = nullptr;
  StationCombo* ComboDZ = nullptr;
  QTimeEdit* EStart = nullptr;
  QComboBox* CBChanges = nullptr;
  QSpinBox* EMinChange = nullptr;
  QSpinBox* ECityChange = nullptr;
  QPushButton* BTNPlan = nullptr;
  QLabel* LabBusy = nullptr;
  QLabel* LabResult = nullptr;
  std::array<ClickLabel*, 9> Lab{};
  GridView* PGrid = nullptr;
  GridView* LGrid = nullptr;
  QPushButton* BTNPrint = nullptr;
  QPushButton* BTNExport = nullptr;
  QPushButton* BTNClose = nullptr;

 private:
  void StationChanged(StationCombo* combo);
  void Finished(uint64_t search, std::vector<TJourney> journeys);
  void ShowList();
  TPlanOptions Options() const;

  const TablesSet& tables_;
  IDialogs& dialogs_;
  TPlanSession session_;
  QTimer* busyTimer_ = nullptr;
  uint64_t search_ = 0;
  bool searching_ = false;
  // Last: destroyed first, stopping and joining a running search before the session goes.
  std::jthread worker_;
};

}  // namespace velmor

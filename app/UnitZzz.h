// The transfer-stations window: the candidate stations of a transfer search; a click on one
// refills the main result grid with the trains of both legs while the window stays open.
#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <string>

#include "present/query_session.h"

class QLabel;
class QPushButton;

namespace velmor {

class ClickLabel;
class GridView;

// What the window reads and refills in its owner.
struct ZzzContext {
  // The session whose last transfer search the window lists.
  TQuerySession& Session;
  // The station-timetable box's text at the time of filtering (GBK).
  std::function<std::string()> ComboCZText;
  // Called after a click refilled the main result grid.
  std::function<void()> ResultChanged;
};

class TFrmZzz : public QDialog {
  Q_OBJECT

 public:
  // Lists the candidates of the owner's last transfer search.
  explicit TFrmZzz(ZzzContext context, QWidget* parent = nullptr);

  void Lab1Click(int labelIndex);
  void ZGridClick(int row);
  void BTNCloseClick();

  const ZzzView& View() const { return context_.Session.TransferList(); }
  int ZZCount() const { return View().ZZCount; }

  GridView* ZGrid = nullptr;
  std::array<ClickLabel*, 9> Lab{};
  QLabel* LabInfo = nullptr;
  QPushButton* BTNClose = nullptr;

 private:
  void ShowLabels();

  ZzzContext context_;
};

}  // namespace velmor

// The train detail window: every stop of one train, the whole-run and stretch lines, the
// stretch in blue, and print and export of the list.
#pragma once

#include <QDialog>
#include <array>

#include "present/train_detail.h"

class QLabel;
class QPushButton;

namespace velmor {

class GridView;
class IDialogs;

class TFrmMsg : public QDialog {
  Q_OBJECT

 public:
  // Shows a detail list built by BuildTrainDetail.
  TFrmMsg(MsgView view, IDialogs& dialogs, QWidget* parent = nullptr);

  void BTNPrintClick();
  void BTNExportClick();
  void BTNCloseClick();

  const MsgView& View() const { return view_; }

  QPushButton* BTNPrint = nullptr;
  QPushButton* BTNExport = nullptr;
  QPushButton* BTNClose = nullptr;
  GridView* MGrid = nullptr;
  QLabel* LabQJ = nullptr;
  QLabel* LabQC = nullptr;
  std::array<QLabel*, 8> Captions{};

 private:
  MsgView view_;
  IDialogs& dialogs_;
};

}  // namespace velmor

#include "app/UnitMsg.h"

#include <QLabel>
#include <QPushButton>
#include <vector>

#include "app/app_fonts.h"
#include "app/grid_actions.h"
#include "app/grid_view.h"
#include "app/qt_text.h"

namespace velmor {

namespace {
const std::vector<int> kMGridWidths = {34, 75, 42, 41, 40, 50, 41, 41};
const char* const kCaptions[] = {"站序", "车站", "里程", "到时", "发时", "天数", "历时", "时速"};
}  // namespace

TFrmMsg::TFrmMsg(MsgView view, IDialogs& dialogs, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint),
      view_(std::move(view)),
      dialogs_(dialogs) {
  setFont(SongFont(12));
  setFixedSize(426, 403);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(227, 239, 243));
  setPalette(pal);
  setWindowTitle(FromGbk(view_.Caption));

  BTNPrint = new QPushButton(QStringLiteral("打印"), this);
  BTNPrint->setGeometry(23, 366, 50, 32);
  BTNExport = new QPushButton(QStringLiteral("导出"), this);
  BTNExport->setGeometry(80, 366, 50, 32);
  BTNClose = new QPushButton(QStringLiteral("关闭"), this);
  BTNClose->setGeometry(327, 366, 90, 32);

  MGrid = new GridView(view_.MGrid, kMGridWidths, this);
  MGrid->setGeometry(24, 68, 393, 287);
  MGrid->SetRowColour([this](int row) -> std::optional<QColor> {
    if (IsStretchRow(view_, row)) return QColor(0, 0, 255);
    return std::nullopt;
  });

  LabQC = new QLabel(FromGbk(view_.LabQC), this);
  LabQC->setStyleSheet(QStringLiteral("color: rgb(255,0,0);"));
  LabQC->move(24, 8);
  LabQC->adjustSize();
  LabQJ = new QLabel(FromGbk(view_.LabQJ), this);
  LabQJ->setStyleSheet(QStringLiteral("color: rgb(0,0,255);"));
  LabQJ->move(24, 28);
  LabQJ->adjustSize();

  int x = MGrid->x() + MGrid->frameWidth();
  for (size_t i = 0; i < Captions.size(); ++i) {
    const int w = kMGridWidths[i];
    auto* shape = new QWidget(this);
    shape->setGeometry(x, 50, w, 18);
    shape->setAutoFillBackground(true);
    QPalette sp = shape->palette();
    sp.setColor(QPalette::Window, QColor(242, 242, 249));
    shape->setPalette(sp);
    auto* caption = new QLabel(QString::fromUtf8(kCaptions[i]), this);
    caption->setAlignment(Qt::AlignCenter);
    caption->setGeometry(x, 50, w, 18);
    Captions[i] = caption;
    x += w + 1;
  }

  setTabOrder(BTNClose, MGrid);
  setTabOrder(MGrid, BTNExport);
  setTabOrder(BTNExport, BTNPrint);
  BTNClose->setFocus();

  connect(BTNPrint, &QPushButton::clicked, this, &TFrmMsg::BTNPrintClick);
  connect(BTNExport, &QPushButton::clicked, this, &TFrmMsg::BTNExportClick);
  connect(BTNClose, &QPushButton::clicked, this, &TFrmMsg::BTNCloseClick);
}

void TFrmMsg::BTNPrintClick() {
  PrintListGrid(dialogs_, this, view_.MGrid, true, view_.FilledRows);
}

void TFrmMsg::BTNExportClick() {
  ExportListGrid(dialogs_, this, view_.MGrid, true, view_.FilledRows);
}

void TFrmMsg::BTNCloseClick() {
  accept();
}

}  // namespace velmor

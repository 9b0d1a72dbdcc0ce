#include "app/UnitZzz.h"

#include <QLabel>
#include <QPushButton>
#include <vector>

#include "app/app_fonts.h"
#include "app/click_label.h"
#include "app/grid_view.h"
#include "app/qt_text.h"

namespace velmor {

namespace {
const std::vector<int> kZGridWidths = {86, 47, 47, 48, 46, 47, 47, 61, 57};
}  // namespace

TFrmZzz::TFrmZzz(ZzzContext context, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint),
      context_(std::move(context)) {
  setFont(SongFont(12));
  setFixedSize(532, 356);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(227, 239, 243));
  setPalette(pal);

  ZzzView& view = context_.Session.TransferList();
  ZGrid = new GridView(view.ZGrid, kZGridWidths, this);
  ZGrid->setGeometry(9, 30, 513, 287);
  ZGrid->SetHint(QStringLiteral("点击标题栏，可以根据各种条件排序。"));
  int x = ZGrid->x() + ZGrid->frameWidth();
  for (size_t i = 0; i < Lab.size(); ++i) {
    const int w = kZGridWidths[i];
    auto* shape = new QWidget(this);
    shape->setGeometry(x, 13, w, 17);
    shape->setAutoFillBackground(true);
    QPalette sp = shape->palette();
    sp.setColor(QPalette::Window, QColor(242, 242, 249));
    shape->setPalette(sp);
    auto* label = new ClickLabel(this);
    label->setObjectName(QStringLiteral("Lab%1").arg(i + 1));
    label->Tag = 33;
    label->setAlignment(Qt::AlignCenter);
    label->setGeometry(x, 14, w, 16);
    Lab[i] = label;
    const int index = static_cast<int>(i);
    connect(label, &ClickLabel::clicked, this, [this, index] { Lab1Click(index); });
    x += w + 1;
  }
  LabInfo = new QLabel(this);
  LabInfo->setStyleSheet(QStringLiteral("color: rgb(0,0,255);"));
  LabInfo->move(10, 328);
  BTNClose = new QPushButton(QStringLiteral("关闭"), this);
  BTNClose->setGeometry(433, 321, 90, 30);
  connect(BTNClose, &QPushButton::clicked, this, &TFrmZzz::BTNCloseClick);
  connect(ZGrid, &GridView::RowClicked, this, &TFrmZzz::ZGridClick);

  setWindowTitle(FromGbk(view.Caption));
  LabInfo->setText(FromGbk(view.LabInfo));
  LabInfo->adjustSize();
  ShowLabels();
}

void TFrmZzz::ShowLabels() {
  const ZzzView& view = View();
  for (size_t i = 0; i < Lab.size() && i < view.Labels.size(); ++i) {
    Lab[i]->setText(FromGbk(view.Labels[i].Caption));
    QFont f = Lab[i]->font();
    f.setBold(view.Labels[i].Bold);
    Lab[i]->setFont(f);
  }
  ZGrid->Refresh();
}

void TFrmZzz::Lab1Click(int labelIndex) {
  context_.Session.TransferHeaderClick(labelIndex);
  ShowLabels();
}

void TFrmZzz::ZGridClick(int row) {
  const std::string cz = context_.ComboCZText ? context_.ComboCZText() : std::string();
  if (!context_.Session.PickTransferStation(row, cz).RowsChanged) return;
  if (context_.ResultChanged) context_.ResultChanged();
}

void TFrmZzz::BTNCloseClick() {
  accept();
}

}  // namespace velmor

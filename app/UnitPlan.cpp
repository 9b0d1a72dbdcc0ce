#include "app/UnitPlan.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QTimeEdit>
#include <QTimer>

#include "app/UnitMsg.h"
#include "app/app_fonts.h"
#include "app/click_label.h"
#include "app/dialogs.h"
#include "app/grid_view.h"
#include "app/qt_text.h"
#include "app/station_combo.h"
#include "present/grid_export.h"
#include "present/grid_print.h"
#include "qtprint/print_canvas.h"
#include "query/pinyin_entry.h"

namespace velmor {
namespace {

const std::vector<int> kPGridWidths = {48, 62, 48, 34, 150, 170, 96, 48, 64};
const std::vector<int> kLGridWidths = {66, 66, 42, 66, 42, 42, 42, 34, 42, 48, 48, 86, 70};
// Searches shorter than this finish without the busy line flickering up.
constexpr int kBusyDelayMs = 100;

QLabel* Caption(QWidget* parent, const QString& text, int x, int y) {
  auto* label = new QLabel(text, parent);
  label->move(x, y);
  return label;
}

QSpinBox* Minutes(QWidget* parent, int value, int x, int y) {
  auto* box = new QSpinBox(parent);
  box->setRange(0, 1439);
  box->setValue(value);
  box->setSuffix(QStringLiteral("分"));
  box->setGeometry(x, y, 62, 22);
  return box;
}

// A row of caption shapes above a grid, as the other list windows draw them.
template <typename Label>
void HeaderRow(QWidget* parent, const GridView* grid, const std::vector<int>& widths, int y,
               const std::function<void(size_t, Label*)>& made) {
  int x = grid->x() + grid->frameWidth();
  for (size_t i = 0; i < widths.size(); ++i) {
    auto* shape = new QWidget(parent);
    shape->setGeometry(x, y - 1, widths[i], 17);
    shape->setAutoFillBackground(true);
    QPalette sp = shape->palette();
    sp.setColor(QPalette::Window, QColor(242, 242, 249));
    shape->setPalette(sp);
    auto* label = new Label(parent);
    label->setAlignment(Qt::AlignCenter);
    label->setGeometry(x, y, widths[i], 16);
    made(i, label);
    x += widths[i] + 1;
  }
}

}  // namespace

TFrmPlan::TFrmPlan(const TablesSet& tables, IDialogs& dialogs, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint),
      tables_(tables),
      dialogs_(dialogs),
      session_(tables) {
  setWindowTitle(QStringLiteral("换乘方案"));
  setFont(SongFont(12));
  setFixedSize(760, 560);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(227, 239, 243));
  setPalette(pal);

  Caption(this, QStringLiteral("发站"), 10, 14);
  ComboFZ = new StationCombo(this);
  ComboFZ->setGeometry(40, 10, 96, 22);
  Caption(this, QStringLiteral("到站"), 144, 14);
  ComboDZ = new StationCombo(this);
  ComboDZ->setGeometry(174, 10, 96, 22);
  Caption(this, QStringLiteral("出发时间"), 280, 14);
  EStart = new QTimeEdit(this);
  EStart->setDisplayFormat(QStringLiteral("HH:mm"));
  EStart->setGeometry(334, 10, 62, 22);
  Caption(this, QStringLiteral("换乘次数"), 406, 14);
  CBChanges = new QComboBox(this);
  CBChanges->addItems({QStringLiteral("1"), QStringLiteral("2")});
  CBChanges->setGeometry(460, 10, 40, 22);
  Caption(this, QStringLiteral("同站换乘"), 510, 14);
  EMinChange = Minutes(this, TPlanOptions{}.MinChange, 564, 10);
  Caption(this, QStringLiteral("同城换乘"), 10, 44);
  ECityChange = Minutes(this, TPlanOptions{}.CityChange, 64, 40);
  BTNPlan = new QPushButton(QStringLiteral("查询"), this);
  BTNPlan->setGeometry(660, 8, 90, 28);
  LabBusy = Caption(this, QStringLiteral("正在查询，请稍候……"), 140, 44);
  LabBusy->setStyleSheet(QStringLiteral("color: rgb(255,0,0);"));
  LabBusy->hide();
  LabResult = Caption(this, {}, 600, 44);
  LabResult->setFixedWidth(150);

  PlanView& view = session_.View();
  PGrid = new GridView(view.PGrid, kPGridWidths, this);
  PGrid->setGeometry(10, 86, 740, 270);
  PGrid->SetHint(QStringLiteral("单击查看各段行程，双击查看首段列车详细信息\r点击列表头可排序"));
  HeaderRow<ClickLabel>(this, PGrid, kPGridWidths, 70, [this](size_t i, ClickLabel* label) {
    label->setObjectName(QStringLiteral("Lab%1").arg(i + 1));
    label->Tag = 33;
    Lab[i] = label;
    const int index = static_cast<int>(i);
    connect(label, &ClickLabel::clicked, this, [this, index] { Lab1Click(index); });
  });
  LGrid = new GridView(view.LGrid, kLGridWidths, this);
  LGrid->setGeometry(10, 386, 740, 124);
  HeaderRow<QLabel>(this, LGrid, kLGridWidths, 370, [](size_t i, QLabel* label) {
    label->setText(FromGbk(LegColumnCaption(static_cast<int>(i))));
  });

  BTNPrint = new QPushButton(QStringLiteral("打印"), this);
  BTNPrint->setGeometry(10, 520, 60, 30);
  BTNExport = new QPushButton(QStringLiteral("导出"), this);
  BTNExport->setGeometry(78, 520, 60, 30);
  BTNClose = new QPushButton(QStringLiteral("关闭"), this);
  BTNClose->setGeometry(660, 520, 90, 30);

  busyTimer_ = new QTimer(this);
  busyTimer_->setSingleShot(true);
  connect(busyTimer_, &QTimer::timeout, this, [this] {
    LabBusy->show();
    PGrid->viewport()->setCursor(Qt::BusyCursor);
  });
  for (StationCombo* combo : {ComboFZ, ComboDZ}) {
    connect(combo, &QComboBox::editTextChanged, this, [this, combo] { StationChanged(combo); });
  }
  connect(ComboFZ, &StationCombo::EnterPressed, this,
          [this] { ComboDZ->setFocus(Qt::TabFocusReason); });
  connect(ComboDZ, &StationCombo::EnterPressed, this,
          [this] { BTNPlan->setFocus(Qt::TabFocusReason); });
  connect(BTNPlan, &QPushButton::clicked, this, &TFrmPlan::BTNPlanClick);
  connect(PGrid, &GridView::RowClicked, this, &TFrmPlan::PGridClick);
  connect(PGrid, &GridView::RowDoubleClicked, this, &TFrmPlan::PGridDblClick);
  connect(BTNPrint, &QPushButton::clicked, this, &TFrmPlan::BTNPrintClick);
  connect(BTNExport, &QPushButton::clicked, this, &TFrmPlan::BTNExportClick);
  connect(BTNClose, &QPushButton::clicked, this, &QDialog::close);
  ShowList();
}

TFrmPlan::~TFrmPlan() = default;

void TFrmPlan::Prefill(const QString& fz, const QString& dz) {
  ComboFZ->SetText(fz);
  ComboDZ->SetText(dz);
}

void TFrmPlan::StationChanged(StationCombo* combo) {
  const QString trimmed = TrimText(combo->currentText());
  combo->SetText(trimmed);
  switch (StationTextAction(ToGbk(trimmed))) {
    case StationListAction::FillPinyinList:
      combo->SetItems(PinyinMatches(tables_.KMPy, combo->GbkText()));
      combo->CaretToEnd();
      combo->DropDown();
      break;
    case StationListAction::ClearList:
      combo->SetItems(BlankStationItems());
      combo->CloseUp();
      break;
    case StationListAction::KeepList:
      break;
  }
}

TPlanOptions TFrmPlan::Options() const {
  TPlanOptions o;
  o.MaxChanges = CBChanges->currentIndex() + 1;
  o.MinChange = EMinChange->value();
  o.CityChange = ECityChange->value();
  o.StartTime = EStart->time().hour() * 60 + EStart->time().minute();
  return o;
}

void TFrmPlan::BTNPlanClick() {
  const std::string fz = ComboFZ->GbkText();
  const std::string dz = ComboDZ->GbkText();
  const bool alike = TrimText(ComboFZ->currentText()) == TrimText(ComboDZ->currentText());
  if (const std::optional<TInputMessage> m = session_.Check(fz, dz, alike)) {
    dialogs_.Message(this, FromGbk(m->Caption), FromGbk(m->Text));
    (m->Focus == TFocusTarget::ComboDZ ? ComboDZ : ComboFZ)->setFocus(Qt::OtherFocusReason);
    return;
  }
  const uint64_t search = ++search_;
  searching_ = true;
  busyTimer_->start(kBusyDelayMs);
  // Assigning stops the running search and waits for it; it gives up within one train's walk.
  worker_ = std::jthread([this, search, fz, dz, o = Options()](std::stop_token stop) {
    std::vector<TJourney> found = session_.Search(fz, dz, o, stop);
    if (stop.stop_requested()) return;
    // Posted to the window: dropped unseen if the window is gone by then.
    QMetaObject::invokeMethod(
        this, [this, search, f = std::move(found)]() mutable { Finished(search, std::move(f)); },
        Qt::QueuedConnection);
  });
}

void TFrmPlan::Finished(uint64_t search, std::vector<TJourney> journeys) {
  if (search != search_) return;
  searching_ = false;
  busyTimer_->stop();
  LabBusy->hide();
  PGrid->viewport()->unsetCursor();
  session_.Show(std::move(journeys));
  ShowList();
}

void TFrmPlan::ShowList() {
  const PlanView& view = session_.View();
  for (size_t i = 0; i < Lab.size() && i < view.Labels.size(); ++i) {
    Lab[i]->setText(FromGbk(view.Labels[i].Caption));
    QFont f = Lab[i]->font();
    f.setBold(view.Labels[i].Bold);
    Lab[i]->setFont(f);
  }
  LabResult->setText(FromGbk(view.LabResult));
  PGrid->Refresh();
  LGrid->Refresh();
  const bool any = !view.Journeys.empty();
  BTNPrint->setEnabled(any);
  BTNExport->setEnabled(any);
}

void TFrmPlan::Lab1Click(int labelIndex) {
  session_.HeaderClick(labelIndex);
  session_.PickJourney(-1);
  ShowList();
}

void TFrmPlan::PGridClick(int row) {
  session_.PickJourney(row);
  LGrid->Refresh();
}

void TFrmPlan::PGridDblClick(int row) {
  std::optional<MsgView> detail = session_.Detail(row);
  if (!detail) return;
  TFrmMsg window(std::move(*detail), dialogs_, this);
  window.exec();
}

void TFrmPlan::BTNPrintClick() {
  const PlanView& view = session_.View();
  if (view.Journeys.empty()) return;
  std::vector<std::string> titles;
  for (int k = 0; k < view.PGrid.ColCount(); ++k) titles.push_back(PlanColumnCaption(k));
  dialogs_.Print(this, [&](QPrinter& printer) {
    return PrintGridOn(printer, view.PGrid, titles, false, static_cast<int>(view.Journeys.size()));
  });
}

void TFrmPlan::BTNExportClick() {
  if (session_.View().Journeys.empty()) return;
  const std::vector<std::string> lines = session_.ExportLines();
  const std::optional<QString> file = ChooseExportFile(dialogs_, this);
  if (!file) return;
  std::string error;
  int number = 0;
  if (!WriteExportFile(QFile::encodeName(*file).toStdString(), lines, &error, &number)) {
    dialogs_.Message(
        this, AppTitle(),
        QStringLiteral("无法创建文件“%1”。\n%2").arg(*file, FromGbk(ExportErrorText(number))));
  }
}

}  // namespace velmor

#include "app/UnitVelmor.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMetaObject>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QValidator>
#include <QWindow>
#include <vector>

#include "app/UnitAbout.h"
#include "app/UnitMsg.h"
#include "app/UnitPlan.h"
#include "app/UnitZzz.h"
#include "app/app_fonts.h"
#include "app/click_label.h"
#include "app/dialogs.h"
#include "app/grid_actions.h"
#include "app/grid_view.h"
#include "app/import_dialog.h"
#include "app/pictures.h"
#include "app/qt_text.h"
#include "app/shortcuts.h"
#include "app/station_combo.h"
#include "app/version_info.h"
#include "app/web_links.h"
#include "data/timetable_file.h"
#include "present/train_detail.h"
#include "present/transfer_list.h"
#include "query/pinyin_entry.h"
#include "query/queries.h"

namespace velmor {

namespace {

constexpr int kClientWidth = 985;
constexpr int kClientHeight = 519;
constexpr int kTopHeight = 68;
constexpr int kStatusHeight = 25;
const std::vector<int> kSGridWidths = {97, 77, 77, 70, 77, 45, 77, 45, 32, 45, 37, 42, 43, 91, 70};
constexpr int kLabelLeft[15] = {19,  116, 193, 272, 343, 420, 467, 544,
                                589, 627, 668, 706, 750, 796, 888};
constexpr int kLabelWidth[15] = {91, 72, 73, 65, 72, 42, 73, 42, 31, 33, 35, 41, 40, 87, 73};

// The publisher's contact values shown in the status bar.
constexpr char kContactMail[] = "service@velmor.cn";
constexpr char kContactQQ[] = "800062011";

QString ColourCss(const QColor& c) {
  return QStringLiteral("rgb(%1,%2,%3)").arg(c.red()).arg(c.green()).arg(c.blue());
}

// Hint texts mark their line breaks with CR.
QString Hint(const char* text) {
  return QString::fromUtf8(text).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

QWidget* Block(QWidget* parent, const QRect& r, const QColor& colour) {
  auto* w = new QWidget(parent);
  w->setGeometry(r);
  w->setAutoFillBackground(true);
  QPalette pal = w->palette();
  pal.setColor(QPalette::Window, colour);
  w->setPalette(pal);
  return w;
}

QLabel* Caption(QWidget* parent, const QString& text, int x, int y) {
  auto* label = new QLabel(text, parent);
  label->move(x, y);
  label->adjustSize();
  return label;
}

QPushButton* Button(QWidget* parent, const QString& text, const QRect& r) {
  auto* b = new QPushButton(text, parent);
  b->setGeometry(r);
  return b;
}

// ECC turns every typed letter a-z into upper case as it is typed.
class UpperCaseValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    for (QChar& c : input) {
      if (c >= QLatin1Char('a') && c <= QLatin1Char('z')) c = c.toUpper();
    }
    return Acceptable;
  }
};

// Runs a secondary window modally. It lives on the heap because destroying its owner while it
// runs deletes it as a child (a window on the stack would be deleted twice); the caller returns
// at once afterwards, since the owner may be gone.
void ExecOwned(QDialog* dialog) {
  const QPointer<QDialog> guard(dialog);
  dialog->exec();
  delete guard.data();
}

}  // namespace

TFrmVelmor::TFrmVelmor(TFrmVelmorOptions options, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      dialogs_(options.Dialogs),
      finder_(std::move(options.Finder)),
      versionSettings_(std::move(options.VersionCheck)),
      tablesFinder_(options.TablesFinder ? std::move(options.TablesFinder) : finder_),
      edition_(std::move(options.Edition)),
      timetablePath_(std::move(options.TimetablePath)),
      switchTimetable_(std::move(options.SwitchTimetable)) {
  if (!dialogs_) {
    ownDialogs_ = std::make_unique<QtDialogs>();
    dialogs_ = ownDialogs_.get();
  }
  setWindowTitle(QStringLiteral(
      "纬途时刻表，准确及时的列车时刻表提供者，免费预订打折机票、特价酒店，使您出行无忧！"));
  setFont(SongFont(12));
  setFixedSize(kClientWidth, kClientHeight);
  setStyleSheet(QStringLiteral(
      "QPushButton { background-color: rgb(244,244,240); border: 1px solid rgb(160,160,160);"
      " border-radius: 2px; }"
      "QPushButton:hover { border: 1px solid rgb(255,199,60); background-color: rgb(255,247,222); }"
      "QPushButton:pressed { border: 1px solid rgb(106,141,244); background-color: "
      "rgb(222,230,250); }"
      "QPushButton:focus { border: 1px solid rgb(106,141,244); }"
      "QPushButton:disabled { color: rgb(160,160,160); }"
      "QPushButton::menu-indicator { subcontrol-position: right center; right: 4px; }"));
  BuildTopPanel();
  BuildPanels();
  BuildHeaderBand();
  BuildStatusBar();
  BuildMenu();
  ConnectHandlers();
  FormCreate();
}

TFrmVelmor::~TFrmVelmor() {
  net_.reset();
  if (load1_.joinable()) load1_.join();
  if (load_.joinable()) load_.join();
}

void TFrmVelmor::BuildTopPanel() {
  PTop = Block(this, QRect(0, 0, kClientWidth, kTopHeight), Qt::white);
  const QColor green(0, 128, 0);
  Block(PTop, QRect(0, 0, kClientWidth, 2), green);  // Shape20

  auto picture = [](QLabel* label, const QRect& r) {
    label->setGeometry(r);
    label->setScaledContents(true);
  };
  Image7 = new ClickLabel(PTop);
  picture(Image7, QRect(10, 7, 111, 54));
  Image7->setCursor(Qt::PointingHandCursor);
  Image7->setToolTip(QStringLiteral("纬途酒店预订：全国优惠酒店在线预订，返现更多"));
  Image1 = new QLabel(PTop);
  picture(Image1, QRect(257, 9, 28, 24));
  Image2 = new QLabel(PTop);
  picture(Image2, QRect(257, 39, 28, 24));
  Image4 = new QLabel(PTop);
  picture(Image4, QRect(432, 7, 28, 24));
  Image3 = new QLabel(PTop);
  picture(Image3, QRect(432, 37, 28, 24));
  Image5 = new QLabel(PTop);
  picture(Image5, QRect(600, 23, 28, 24));

  auto link = [this](const QString& text, int x, int y, const QColor& colour, const QString& hint) {
    auto* label = new ClickLabel(text, PTop);
    QFont f = SongFont(14, true);
    f.setUnderline(true);
    label->setFont(f);
    label->setStyleSheet(QStringLiteral("color: %1;").arg(ColourCss(colour)));
    label->setCursor(Qt::PointingHandCursor);
    label->setToolTip(hint);
    label->move(x, y);
    label->adjustSize();
    return label;
  };
  Label32 = link(QStringLiteral("酒店预订"), 290, 18, QColor(0, 128, 0),
                 Hint("国内700个城市，2万家酒店在线预订  \r返现高达20%  到店无房赔首晚房费 "
                      "7X24小时服务 预订价高于酒店门市价3倍差额赔付"));
  Label31 = link(QStringLiteral("特价机票"), 290, 46, QColor(0, 128, 192),
                 Hint("千条航线低价信息 每天超过6000名用户成功出票 \r纳斯达克上市公司 "
                      "服务满意度超99.7%"));
  Label30 = link(QStringLiteral("列车时刻"), 465, 16, QColor(128, 0, 128),
                 QStringLiteral("上纬途火车网，查询火车时刻"));
  Label33 = link(QStringLiteral("余票查询"), 465, 44, QColor(255, 128, 0),
                 QStringLiteral("铁道部官网，10月份开始，预售全国动车（\"C\"/\"D\"/\"G\"字头）"
                                "列车的售票业务。"));
  LabSell = link(QStringLiteral("铁道部官网售票"), 633, 32, QColor(0, 64, 128),
                 QStringLiteral("中国铁路客户服务中心网站，网上购买火车票"));
  ImageLogo = new ClickLabel(PTop);
  ImageLogo->move(825, 3);
  ImageLogo->setCursor(Qt::PointingHandCursor);
  ImageLogo->setToolTip(QStringLiteral("点击访问纬途火车网，旅行资讯专家"));
}

void TFrmVelmor::BuildPanels() {
  P1 = Block(this, QRect(0, kTopHeight, kClientWidth, kClientHeight - kTopHeight - kStatusHeight),
             QColor(227, 239, 243));
  Block(P1, QRect(0, 0, kClientWidth, 2), QColor(0, 128, 0))->setObjectName("Shape1");
  // The band and the grid are placed in P1's coordinates, which start below the top panel.
  SGrid = new GridView(Session.Result().SGrid, kSGridWidths, P1);
  SGrid->setGeometry(14, 43, 959, 305);
  SGrid->SetHint(Hint("双击鼠标，可查看详细车次信息\r鼠标右键，弹出高级菜单\r点击列表头可排序"));
  SGrid->setContextMenuPolicy(Qt::CustomContextMenu);
  SGrid->SetRowColour([this](int row) -> std::optional<QColor> {
    const TStringGrid& g = Session.Result().SGrid;
    const std::string& boarding = g.Cells(4, row);
    if (boarding.empty()) return std::nullopt;
    if (boarding == g.Cells(1, row)) return QColor(255, 0, 0);
    if (boarding == Session.Pub().Pub_ZZStation) return QColor(0, 0, 255);
    return std::nullopt;
  });

  const QString stationHint = QStringLiteral("支持拼音首字母输入，如[北京]->BJ");
  auto station = [&](QWidget* parent, int x) {
    auto* combo = new StationCombo(parent);
    combo->setGeometry(x, 17, 102, 20);
    combo->setToolTip(stationHint);
    combo->SetItems(std::vector<std::string>(12));
    combo->setEnabled(false);
    return combo;
  };

  GroupBox1 = new QGroupBox(QStringLiteral("站站查询"), P1);
  GroupBox1->setGeometry(12, 353, 473, 46);
  Caption(GroupBox1, QStringLiteral("发站"), 6, 21)->setObjectName("LabFz");
  ComboFZ = station(GroupBox1, 35);
  Caption(GroupBox1, QStringLiteral("到站"), 150, 21)->setObjectName("LabDz");
  ComboDZ = station(GroupBox1, 179);
  BTNZZCX = Button(GroupBox1, QStringLiteral("查询"), QRect(300, 15, 53, 24));
  BTNZZFX = Button(GroupBox1, QStringLiteral("反向"), QRect(356, 15, 53, 24));
  BTNZZZZ = Button(GroupBox1, QStringLiteral("中转"), QRect(412, 15, 53, 24));
  BTNZZZZ->setProperty("Tag", 1);

  GroupBox2 = new QGroupBox(QStringLiteral("车次查询"), P1);
  GroupBox2->setGeometry(483, 353, 178, 46);
  ECC = new QLineEdit(GroupBox2);
  ECC->setGeometry(8, 17, 108, 20);
  ECC->setValidator(new UpperCaseValidator(ECC));
  BTNCCCX = Button(GroupBox2, QStringLiteral("查询"), QRect(119, 15, 53, 24));

  GroupBox3 = new QGroupBox(QStringLiteral("车站全部车次查询"), P1);
  GroupBox3->setGeometry(659, 353, 186, 46);
  ComboCZ = station(GroupBox3, 15);
  BTNCZCX = Button(GroupBox3, QStringLiteral("查询"), QRect(124, 15, 53, 24));

  for (QPushButton* b : {BTNZZCX, BTNZZZZ, BTNCCCX, BTNCZCX}) b->setEnabled(false);

  BTNAdvanced = Button(P1, QStringLiteral("高级"), QRect(849, 363, 75, 31));
  BTNAbout = Button(P1, QStringLiteral("关于"), QRect(925, 363, 49, 31));
  BtnUpdate = Button(P1, QStringLiteral("版本升级"), QRect(849, 394, 125, 29));

  LabResult = new QLabel(P1);
  LabResult->setFont(SongFont(14));
  LabResult->setStyleSheet(QStringLiteral("color: rgb(0,0,255);"));
  LabResult->setGeometry(14, 405, 95, 16);
  Label1 = Caption(P1, QStringLiteral("当前结果过滤:"), 110, 406);
  auto box = [this](const QString& text, const QRect& r) {
    auto* cb = new QCheckBox(text, P1);
    cb->setGeometry(r);
    return cb;
  };
  CBSF = box(QStringLiteral("始发车"), QRect(191, 403, 65, 17));
  CBZD = box(QStringLiteral("终到车"), QRect(265, 403, 65, 17));
  CBJQ = box(QStringLiteral("精确站名"), QRect(338, 403, 73, 17));
  CBDC = box(QStringLiteral("仅动车"), QRect(421, 403, 65, 17));

  LabNew = new QLabel(QStringLiteral("版本检测中..."), P1);
  LabNew->setAlignment(Qt::AlignRight | Qt::AlignTop);
  LabNew->setStyleSheet(QStringLiteral("color: rgb(0,0,255);"));
  LabNew->setGeometry(844 - 360, 404, 360, 16);

  setTabOrder(SGrid, ComboFZ);
  setTabOrder(ComboFZ, ComboDZ);
  setTabOrder(ComboDZ, BTNZZCX);
  setTabOrder(BTNZZCX, BTNZZFX);
  setTabOrder(BTNZZFX, BTNZZZZ);
  setTabOrder(BTNZZZZ, ECC);
  setTabOrder(ECC, BTNCCCX);
  setTabOrder(BTNCCCX, ComboCZ);
  setTabOrder(ComboCZ, BTNCZCX);
  setTabOrder(BTNCZCX, BTNAdvanced);
  setTabOrder(BTNAdvanced, BTNAbout);
  setTabOrder(BTNAbout, CBSF);
  setTabOrder(CBSF, CBZD);
  setTabOrder(CBZD, CBJQ);
  setTabOrder(CBJQ, CBDC);
  setTabOrder(CBDC, BtnUpdate);
}

void TFrmVelmor::BuildHeaderBand() {
  const QColor top(254, 252, 218);
  const QColor second(242, 242, 249);
  const struct {
    const char* text;
    int left;
    int width;
  } groups[] = {
      {"列  车  信  息", 14, 326}, {"查  询  区  间", 339, 366}, {"参  考  票  价", 704, 269}};
  for (const auto& g : groups) {
    QWidget* block = Block(P1, QRect(g.left, 3, g.width, 22), top);
    auto* caption = new QLabel(QString::fromUtf8(g.text), block);
    caption->setFont(SongFont(14));
    caption->setAlignment(Qt::AlignCenter);
    caption->setGeometry(0, 0, g.width, 22);
  }
  // One block per grid column, drawn over the column's cells.
  int x = SGrid->x() + SGrid->frameWidth();
  for (int c = 0; c < 15; ++c) {
    const int w = kSGridWidths[static_cast<size_t>(c)];
    Block(P1, QRect(x, 24, w, 20), second);
    x += w + 1;
  }
  for (int i = 0; i < 15; ++i) {
    auto* label =
        new ClickLabel(FromGbk(Session.Result().Labels[static_cast<size_t>(i)].Caption), P1);
    label->setObjectName(QStringLiteral("Lab%1").arg(i + 1));
    label->Tag = 33;
    label->setAlignment(Qt::AlignCenter);
    label->setGeometry(kLabelLeft[i], 24, kLabelWidth[i], 20);
    Lab[static_cast<size_t>(i)] = label;
  }
  SGrid->raise();
}

void TFrmVelmor::BuildStatusBar() {
  QWidget* bar = Block(this, QRect(0, kClientHeight - kStatusHeight, kClientWidth, kStatusHeight),
                       QColor(206, 227, 234));
  bar->setObjectName("StatusBar1");
  const int widths[5] = {150, 300, 150, 100, kClientWidth - 700};
  const Qt::Alignment align[5] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignHCenter, Qt::AlignLeft,
                                  Qt::AlignHCenter};
  const QString texts[5] = {
      QString(), QStringLiteral("纬途时刻在手，出差旅行无忧！"),
      QStringLiteral("邮箱:") + QString::fromLatin1(kContactMail),
      QStringLiteral("QQ:") + QString::fromLatin1(kContactQQ),
      QStringLiteral("出品: 纬途火车网 ") + QString::fromLatin1(kPublisherSite)};
  int x = 0;
  for (int i = 0; i < 5; ++i) {
    auto* panel = new QLabel(texts[i], bar);
    panel->setGeometry(x + 2, 2, widths[i] - 4, kStatusHeight - 4);
    panel->setAlignment(align[i] | Qt::AlignVCenter);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setContentsMargins(3, 0, 3, 0);
    StatusBar1[static_cast<size_t>(i)] = panel;
    x += widths[i];
  }
}

void TFrmVelmor::BuildMenu() {
  MAdvanced = new QMenu(this);
  MPrint = MAdvanced->addAction(QStringLiteral("打印查询结果"));
  MExport = MAdvanced->addAction(QStringLiteral("导出查询结果"));
  MAdvanced->addSeparator();
  // The additions come after the lists' own commands, which keep their places.
  MPlan = MAdvanced->addAction(QStringLiteral("换乘方案…"));
  MImportTimetable = MAdvanced->addAction(QStringLiteral("导入时刻表…"));
  MOpenTimetable = MAdvanced->addAction(QStringLiteral("打开时刻表…"));
  MBuiltInTimetable = MAdvanced->addAction(QStringLiteral("使用内置时刻表"));
  for (QAction* a : {MImportTimetable, MOpenTimetable, MBuiltInTimetable}) {
    a->setVisible(static_cast<bool>(switchTimetable_));
  }
  MBuiltInTimetable->setEnabled(!timetablePath_.isEmpty());
  MAdvanced->addSeparator();
  MShortcuts = MAdvanced->addMenu(QStringLiteral("创建快捷方式"));
  MDesktop = MShortcuts->addAction(QStringLiteral("桌面快捷方式"));
  NStart = MShortcuts->addAction(QStringLiteral("开始菜单快捷方式"));
  MAdvanced->addSeparator();
  MAbout = MAdvanced->addAction(QStringLiteral("关于"));
  BTNAdvanced->setMenu(MAdvanced);
}

void TFrmVelmor::ConnectHandlers() {
  for (StationCombo* combo : {ComboFZ, ComboDZ, ComboCZ}) {
    connect(combo, &QComboBox::editTextChanged, this, [this, combo] { ComboFZChange(combo); });
  }
  connect(ComboFZ, &StationCombo::EnterPressed, this, &TFrmVelmor::ComboFZKeyPress);
  connect(ComboDZ, &StationCombo::EnterPressed, this, &TFrmVelmor::ComboDZKeyPress);
  connect(ComboCZ, &StationCombo::EnterPressed, this, &TFrmVelmor::ComboCZKeyPress);
  connect(BTNZZCX, &QPushButton::clicked, this,
          [this] { BTNZZCXClick(BTNZZCX->property("Tag").toInt()); });
  connect(BTNZZZZ, &QPushButton::clicked, this,
          [this] { BTNZZCXClick(BTNZZZZ->property("Tag").toInt()); });
  connect(BTNZZFX, &QPushButton::clicked, this, &TFrmVelmor::BTNZZFXClick);
  connect(BTNCCCX, &QPushButton::clicked, this, &TFrmVelmor::BTNCCCXClick);
  connect(BTNCZCX, &QPushButton::clicked, this, &TFrmVelmor::BTNCZCXClick);
  for (QCheckBox* cb : {CBSF, CBZD, CBJQ, CBDC}) {
    connect(cb, &QCheckBox::clicked, this, &TFrmVelmor::CBSFClick);
  }
  for (int i = 0; i < 15; ++i) {
    connect(Lab[static_cast<size_t>(i)], &ClickLabel::clicked, this, [this, i] { Lab1Click(i); });
  }
  connect(SGrid, &GridView::RowDoubleClicked, this, &TFrmVelmor::SGridDblClick);
  connect(SGrid, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& pos) { MAdvanced->popup(SGrid->viewport()->mapToGlobal(pos)); });
  connect(MAdvanced, &QMenu::aboutToShow, this, &TFrmVelmor::MAdvancedPopup);
  connect(MPrint, &QAction::triggered, this, &TFrmVelmor::MPrintClick);
  connect(MExport, &QAction::triggered, this, &TFrmVelmor::MExportClick);
  connect(MDesktop, &QAction::triggered, this, &TFrmVelmor::MDesktopClick);
  connect(NStart, &QAction::triggered, this, &TFrmVelmor::NStartClick);
  connect(MAbout, &QAction::triggered, this, &TFrmVelmor::MAboutClick);
  connect(MPlan, &QAction::triggered, this, &TFrmVelmor::MPlanClick);
  connect(MImportTimetable, &QAction::triggered, this, &TFrmVelmor::MImportTimetableClick);
  connect(MOpenTimetable, &QAction::triggered, this, &TFrmVelmor::MOpenTimetableClick);
  connect(MBuiltInTimetable, &QAction::triggered, this, [this] { switchTimetable_(QString()); });
  connect(BTNAbout, &QPushButton::clicked, this, &TFrmVelmor::MAboutClick);
  connect(BtnUpdate, &QPushButton::clicked, this, &TFrmVelmor::BtnUpdateClick);
  connect(LabSell, &ClickLabel::clicked, this, &TFrmVelmor::LabSellClick);
  connect(Label30, &ClickLabel::clicked, this, &TFrmVelmor::Label30Click);
  connect(Label31, &ClickLabel::clicked, this, &TFrmVelmor::Label31Click);
  connect(Label32, &ClickLabel::clicked, this, &TFrmVelmor::Label32Click);
  connect(Label33, &ClickLabel::clicked, this, &TFrmVelmor::Label33Click);
  connect(Image7, &ClickLabel::clicked, this, &TFrmVelmor::Label32Click);
  connect(ImageLogo, &ClickLabel::clicked, this, &TFrmVelmor::ImageLogoClick);
}

void TFrmVelmor::FormCreate() {
  auto notify = [this](LoaderSignal signal) {
    // Loaders never touch a widget: the signal is carried out on the user-interface thread.
    QMetaObject::invokeMethod(
        this, [this, signal] { OnLoaderSignal(signal); }, Qt::QueuedConnection);
  };
  // The stop-table loader signals before it sets TrainLoaded, and the other loader may finish
  // in between, so each thread asks again once it has ended.
  auto failed = [this](const LoaderFailure& failure) {
    QMetaObject::invokeMethod(
        this, [this, failure] { OnLoaderFailed(failure); }, Qt::QueuedConnection);
  };
  load1_ = std::thread([this, notify, failed] {
    TThreadLoad1::Execute(Tables, tablesFinder_, notify, failed);
    QMetaObject::invokeMethod(
        this, [this] { UpdateQueryButtons(); }, Qt::QueuedConnection);
  });
  load_ = std::thread([this, notify, failed] {
    TThreadLoad::Execute(Tables, tablesFinder_, notify, failed);
    QMetaObject::invokeMethod(
        this, [this] { UpdateQueryButtons(); }, Qt::QueuedConnection);
  });
  net_ = std::make_unique<TThreadNet>(nullptr, versionSettings_);
  connect(net_.get(), &TThreadNet::Finished, LabNew, &QLabel::setText);
  net_->Start();

  logo_ = LoadPicture(finder_, "Logo");
  ImageLogo->setPixmap(logo_);
  ImageLogo->resize(logo_.isNull() ? QSize(143, 63) : logo_.size());
  BtnUpdate->setIcon(QIcon(LoadPicture(finder_, "update")));
  BtnUpdate->setIconSize(QSize(23, 23));
  BTNAdvanced->setIcon(GlyphPairIcon(LoadPicture(finder_, "advanced")));
  BTNAdvanced->setIconSize(QSize(16, 16));
  Image1->setPixmap(LoadPicture(finder_, "b1"));
  Image2->setPixmap(LoadPicture(finder_, "b2"));
  Image3->setPixmap(LoadPicture(finder_, "b3"));
  Image4->setPixmap(LoadPicture(finder_, "b4"));
  Image5->setPixmap(LoadPicture(finder_, "b5"));
  Image7->setPixmap(LoadPicture(finder_, "b7"));

  // The open timetable's edition; the version check keeps comparing the built-in one.
  StatusBar1[0]->setText(QStringLiteral("当前版本:") +
                         (edition_.isEmpty() ? QString::fromLatin1(kBuiltInVersion) : edition_));
  ShowResult();
}

void TFrmVelmor::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (centred_) return;
  centred_ = true;
  CentreFrame();
}

void TFrmVelmor::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  // A window manager frames the window only after the first show; it is known once the window
  // has been activated, and the window is centred again with it.
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && !frameCentred_) {
    frameCentred_ = true;
    CentreFrame();
  }
}

void TFrmVelmor::CentreFrame() {
  QScreen* screen = this->screen();
  QWindow* window = windowHandle();
  if (!screen || !window) return;
  // The frame, title bar included, is what the user sees centred.
  const QMargins margins = window->frameMargins();
  QRect frame = geometry().marginsAdded(margins);
  frame.moveCenter(screen->availableGeometry().center());
  window->setPosition(frame.topLeft() + QPoint(margins.left(), margins.top()));
}

void TFrmVelmor::MImportTimetableClick() {
  const std::optional<QString> made = RunImportDialog(this, *dialogs_);
  // The window may be replaced: nothing of it is touched afterwards.
  if (made) switchTimetable_(*made);
}

void TFrmVelmor::MOpenTimetableClick() {
  const QString path = QFileDialog::getOpenFileName(
      this, QStringLiteral("打开时刻表"), QString(),
      QStringLiteral("时刻表文件 (*%1)").arg(QLatin1String(kTimetableExtension)), nullptr,
      QFileDialog::DontUseNativeDialog);
  if (!path.isEmpty()) switchTimetable_(path);
}

void TFrmVelmor::OnLoaderSignal(LoaderSignal signal) {
  if (signal == LoaderSignal::StationBoxesReady) {
    stationBoxesSignalled_ = true;
    for (StationCombo* combo : {ComboFZ, ComboDZ, ComboCZ}) combo->setEnabled(true);
  } else {
    queryButtonsSignalled_ = true;
  }
  UpdateQueryButtons();
}

void TFrmVelmor::OnLoaderFailed(const LoaderFailure& failure) {
  dialogs_->Message(this, AppTitle(),
                    QStringLiteral("时刻表数据 %1 载入失败，无法查询。\n%2")
                        .arg(FromGbk(failure.Table), FromGbk(failure.Reason)));
}

void TFrmVelmor::UpdateQueryButtons() {
  // The buttons wait for both loaders, so that no query reads KMList or KMSM early. The flags
  // are read when this runs, not when it was queued, so the station boxes' own signal may still
  // be waiting behind it: a button must not come before the boxes it reads.
  if (queriesReady_ || !queryButtonsSignalled_ || !stationBoxesSignalled_ || !Tables.SMLoaded ||
      !Tables.TrainLoaded) {
    return;
  }
  queriesReady_ = true;
  for (QPushButton* b : {BTNZZCX, BTNZZZZ, BTNCCCX, BTNCZCX}) b->setEnabled(true);
}

void TFrmVelmor::ComboFZChange(StationCombo* sender) {
  // Trimmed as typed: a GBK round trip would turn what GBK cannot hold into '?' in the box.
  const QString text = sender->currentText();
  const QString trimmed = TrimText(text);
  // Setting the text always leaves the caret at its end, even when trimming changed nothing.
  sender->SetText(trimmed);
  switch (StationTextAction(ToGbk(trimmed))) {
    case StationListAction::FillPinyinList:
      FillPinyinList(sender);
      break;
    case StationListAction::ClearList:
      sender->SetItems(BlankStationItems());
      sender->CloseUp();
      break;
    case StationListAction::KeepList:
      break;
  }
}

void TFrmVelmor::FillPinyinList(StationCombo* combo) {
  // The boxes are enabled only after KMPy has loaded; a programmatic call before that is ignored.
  if (!Tables.SpyLoaded) return;
  combo->SetItems(PinyinMatches(Tables.KMPy, combo->GbkText()));
  combo->CaretToEnd();
  combo->DropDown();
}

void TFrmVelmor::ComboFZKeyPress() {
  ComboDZ->setFocus(Qt::TabFocusReason);
}

void TFrmVelmor::ComboDZKeyPress() {
  if (BTNZZCX->isEnabled()) BTNZZCX->setFocus(Qt::TabFocusReason);
}

void TFrmVelmor::ComboCZKeyPress() {
  if (BTNCZCX->isEnabled()) BTNCZCX->setFocus(Qt::TabFocusReason);
}

QWidget* TFrmVelmor::FocusWidget(TFocusTarget target) const {
  switch (target) {
    case TFocusTarget::ComboFZ:
      return ComboFZ;
    case TFocusTarget::ComboDZ:
      return ComboDZ;
    case TFocusTarget::ComboCZ:
      return ComboCZ;
    case TFocusTarget::ECC:
      return ECC;
  }
  return nullptr;
}

void TFrmVelmor::Perform(const TSessionReply& reply) {
  if (reply.Message) {
    dialogs_->Message(this, FromGbk(reply.Message->Caption), FromGbk(reply.Message->Text));
    if (QWidget* focus = FocusWidget(reply.Message->Focus)) focus->setFocus(Qt::OtherFocusReason);
  }
  if (reply.RowsChanged) ShowResult();
  if (reply.AskTransfer && dialogs_->AskYesNo(this, AppTitle(), FromGbk(TransferOfferText()))) {
    BTNZZCXClick(1);
    return;
  }
  if (reply.OpenTransferList) ShowZZWindow();
}

void TFrmVelmor::BTNZZCXClick(int tag) {
  Perform(Session.StationToStation(ComboFZ->GbkText(), ComboDZ->GbkText(),
                                   ComboFZ->currentText() == ComboDZ->currentText(), tag == 1,
                                   ComboCZ->GbkText()));
}

void TFrmVelmor::BTNZZFXClick() {
  // The texts as typed change places; characters GBK cannot hold must not become '?'.
  const QString fz = ComboFZ->currentText();
  ComboFZ->SetText(ComboDZ->currentText());
  ComboDZ->SetText(fz);
  if (BTNZZCX->isEnabled()) BTNZZCXClick(0);
}

void TFrmVelmor::BTNCCCXClick() {
  Perform(Session.TrainNumber(ToGbk(ECC->text())));
}

void TFrmVelmor::BTNCZCXClick() {
  Perform(Session.StationTimetable(ComboCZ->GbkText()));
}

void TFrmVelmor::CBSFClick() {
  const TFilterBoxes boxes{CBSF->isChecked(), CBZD->isChecked(), CBJQ->isChecked(),
                           CBDC->isChecked()};
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const TSessionReply reply = Session.SetFilters(boxes, ComboCZ->GbkText());
  QApplication::restoreOverrideCursor();
  Perform(reply);
}

void TFrmVelmor::Lab1Click(int labelIndex) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const TSessionReply reply = Session.HeaderClick(labelIndex);
  QApplication::restoreOverrideCursor();
  Perform(reply);
}

void TFrmVelmor::ShowResult() {
  const ResultView& result = Session.Result();
  for (size_t i = 0; i < Lab.size() && i < result.Labels.size(); ++i) {
    const THeaderLabel& model = result.Labels[i];
    Lab[i]->setText(FromGbk(model.Caption));
    QFont f = Lab[i]->font();
    f.setBold(model.Bold);
    Lab[i]->setFont(f);
  }
  LabResult->setText(FromGbk(result.LabResult));
  CBSF->setChecked(result.Filters.CBSF);
  CBZD->setChecked(result.Filters.CBZD);
  CBJQ->setChecked(result.Filters.CBJQ);
  CBDC->setChecked(result.Filters.CBDC);
  SGrid->Refresh();
}

void TFrmVelmor::SGridDblClick(int row) {
  std::optional<MsgView> detail = Session.Detail(row);
  if (!detail) return;
  ExecOwned(new TFrmMsg(std::move(*detail), *dialogs_, this));
}

void TFrmVelmor::ShowZZWindow() {
  ExecOwned(new TFrmZzz(
      ZzzContext{Session, [this] { return ComboCZ->GbkText(); }, [this] { ShowResult(); }}, this));
}

void TFrmVelmor::MAdvancedPopup() {
  const bool any = Session.HasRows();
  MPrint->setEnabled(any);
  MExport->setEnabled(any);
  MPlan->setEnabled(QueriesReady());
}

void TFrmVelmor::MPrintClick() {
  // The menu item may be triggered without the menu having opened.
  if (!Session.HasRows()) return;
  if (dialogs_->AskYesNoCancel(this, QStringLiteral(" 打印提示"),
                               QStringLiteral("确实要打印吗？")) != TAnswer::Yes) {
    return;
  }
  PrintListGrid(*dialogs_, this, Session.Result().SGrid, false, Session.ResultCount());
}

void TFrmVelmor::MExportClick() {
  if (!Session.HasRows()) return;
  ExportListGrid(*dialogs_, this, Session.Result().SGrid, false, Session.ResultCount());
}

void TFrmVelmor::MDesktopClick() {
  if (!MDesktopShortcut()) {
    dialogs_->Message(this, AppTitle(), QStringLiteral("无法在桌面创建快捷方式。"));
  }
}

void TFrmVelmor::NStartClick() {
  if (!StartMenuShortcut()) {
    dialogs_->Message(this, AppTitle(), QStringLiteral("无法在开始菜单创建快捷方式。"));
  }
}

void TFrmVelmor::MAboutClick() {
  ExecOwned(new TFrmAbout(logo_, this));
}

void TFrmVelmor::MPlanClick() {
  // Its stop index is built once, at the first search, from the tables it was made with.
  if (!QueriesReady()) return;
  if (!PlanWindow) PlanWindow = std::make_unique<TFrmPlan>(Tables, *dialogs_, this);
  PlanWindow->Prefill(ComboFZ->currentText(), ComboDZ->currentText());
  PlanWindow->show();
  PlanWindow->raise();
  PlanWindow->activateWindow();
}

void TFrmVelmor::LabSellClick() {
  OpenLink(LinkTarget::OfficialSales);
}

void TFrmVelmor::Label30Click() {
  OpenLink(LinkTarget::TrainTimes);
}

void TFrmVelmor::Label31Click() {
  OpenLink(LinkTarget::Flights);
}

void TFrmVelmor::Label32Click() {
  OpenLink(LinkTarget::Hotels);
}

void TFrmVelmor::Label33Click() {
  OpenLink(LinkTarget::RemainingTickets);
}

void TFrmVelmor::ImageLogoClick() {
  OpenLink(LinkTarget::PublisherHome);
}

void TFrmVelmor::BtnUpdateClick() {
  OpenLink(LinkTarget::PublisherHome);
}

}  // namespace velmor

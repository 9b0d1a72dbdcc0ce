// A seeded monkey on the main window and its secondary windows: random typing, pasting,
// clicks, double clicks and menu items, with the window's promises checked after every action.
// VELMOR_MONKEY_ACTIONS sets the number of actions, VELMOR_MONKEY_SEED the seed.
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QtTest>
#include <random>

#include "app/UnitAbout.h"
#include "app/UnitMsg.h"
#include "app/UnitZzz.h"
#include "app/click_label.h"
#include "app/grid_view.h"
#include "app/web_links.h"
#include "app_test_support.h"

using namespace velmor;
using namespace velmor::testing;

namespace {

constexpr unsigned kDefaultSeed = 20111201;
constexpr int kDefaultActions = 1000;

// Pieces the random texts are made of: what users type, paste, and what GBK cannot hold.
const char* const kHostile[] = {"😀", "🚄",  "🀄",      "𠀀",     "𠮷",     "𪚥",        "é",
                                "ü", "Å",  "ñ",      "ç",      "ő",      "Ł",         "ß",
                                "/", "　", "\u00a0", "\u200b", "\ufeff", "\U000E0041"};

// The monkey: one random number source, the window under test and its scripted dialogs.
class Monkey {
 public:
  Monkey(TFrmVelmor& window, ScriptedDialogs& dialogs, const QString& folder, unsigned seed)
      : w_(window), dialogs_(dialogs), folder_(folder), rng_(seed) {
    CollectNames();
    QDir(folder_).mkpath(QStringLiteral("dir.csv"));
    modalTimer_.setInterval(1);
    QObject::connect(&modalTimer_, &QTimer::timeout, [this] { OnModal(); });
    modalTimer_.start();
  }

  // Runs one random action; the log line says what it was.
  void Act(int index) {
    ScriptDialogs();
    const int kind = Weighted();
    log_ = QStringLiteral("#%1 ").arg(index);
    switch (kind) {
      case 0:
        TypeInto(RandomBox(), false);
        break;
      case 1:
        TypeInto(RandomBox(), true);
        break;
      case 2:
        EditKeys(RandomBox());
        break;
      case 3:
        PickListItem();
        break;
      case 4:
        PressEnter();
        break;
      case 5:
        Click(w_.BTNZZCX, "查询");
        break;
      case 6:
        Click(w_.BTNZZFX, "反向");
        break;
      case 7:
        Click(w_.BTNZZZZ, "中转");
        break;
      case 8:
        Click(w_.BTNCCCX, "车次查询");
        break;
      case 9:
        Click(w_.BTNCZCX, "车站查询");
        break;
      case 10:
        ClickFilter();
        break;
      case 11:
        ClickHeader();
        break;
      case 12:
        TouchGrid();
        break;
      case 13:
        DoubleClickRow();
        break;
      case 14:
        MenuItem();
        break;
      case 15:
        Click(w_.BTNAbout, "关于");
        break;
      case 16:
        ClickLink();
        break;
      default:
        KnownQuery();
        break;
    }
  }

  // What the last action was, for the failure message.
  const QString& Log() const { return log_; }
  // The first broken promise seen inside a secondary window, if any.
  const QString& ModalFailure() const { return modalFailure_; }
  // A broken promise seen anywhere during the last action (kept until the end).
  void Fail(const QString& why) {
    if (modalFailure_.isEmpty()) modalFailure_ = log_ + QStringLiteral(": ") + why;
  }
  int ModalsHandled() const { return modalsHandled_; }
  int ResultsSeen() const { return resultsSeen_; }

  // The main window's promises: the count line, the rows shown, the selection, and boxes that
  // never show a '?' (the monkey types none; one would be a character lost on the way).
  static QString Broken(TFrmVelmor& w) {
    for (QComboBox* box : {static_cast<QComboBox*>(w.ComboFZ), static_cast<QComboBox*>(w.ComboDZ),
                           static_cast<QComboBox*>(w.ComboCZ)}) {
      if (box->currentText().contains(QLatin1Char('?'))) {
        QString codes;
        for (QChar c : box->currentText())
          codes += QString::number(c.unicode(), 16) + QLatin1Char(' ');
        return QStringLiteral("a box reads \"%1\" %2").arg(box->currentText(), codes);
      }
    }
    const int count = w.Pub().Pub_ResultCount;
    const QString expected = QStringLiteral("结果:%1").arg(count);
    if (w.LabResult->text() != expected) {
      return QStringLiteral("LabResult reads \"%1\", expected \"%2\"")
          .arg(w.LabResult->text(), expected);
    }
    const TStringGrid& g = w.Result().SGrid;
    if (FilledRows(g) != count) {
      return QStringLiteral("%1 non-empty rows for Pub_ResultCount %2")
          .arg(FilledRows(g))
          .arg(count);
    }
    if (!g.SelectionParked()) {
      const int row = g.Row();
      if (row < 0 || row >= g.RowCount() || g.Cells(0, row).empty()) {
        return QStringLiteral("empty row %1 selected").arg(row);
      }
    }
    return {};
  }

 private:
  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
  bool Chance(int percent) { return Pick(100) < percent; }
  template <typename T>
  const T& PickOf(const std::vector<T>& v) {
    return v[static_cast<size_t>(Pick(static_cast<int>(v.size())))];
  }

  int Weighted() {
    static const int weights[] = {18, 6, 6, 8, 4, 8, 4, 4, 6, 6, 6, 6, 6, 5, 4, 1, 1, 8};
    int total = 0;
    for (int x : weights) total += x;
    int r = Pick(total);
    for (int i = 0; i < static_cast<int>(std::size(weights)); ++i) {
      if (r < weights[i]) return i;
      r -= weights[i];
    }
    return 0;
  }

  void CollectNames() {
    for (const TMemTable* t : {&w_.Tables.KMPy, &w_.Tables.KMSM}) {
      const int f = t->FieldIndex("Station");
      for (TTableCursor c(*t); !c.Eof(); c.Next()) stations_.push_back(FromGbk(c.Text(f)));
    }
    const int code = w_.Tables.KMPy.FieldIndex("Shortcode");
    for (TTableCursor py(w_.Tables.KMPy); !py.Eof(); py.Next()) {
      codes_.push_back(FromGbk(py.Text(code)));
    }
    const int id = w_.Tables.KMList.FieldIndex("ID");
    for (TTableCursor list(w_.Tables.KMList); !list.Eof(); list.Next()) {
      trains_.push_back(FromGbk(list.Text(id)));
    }
  }

  // The dialogs answer at random; export paths stay in the temporary folder.
  void ScriptDialogs() {
    dialogs_.YesNoAnswers.clear();
    dialogs_.YesNoCancelAnswers.clear();
    dialogs_.SaveNames.clear();
    for (int i = 0; i < 3; ++i) {
      dialogs_.YesNoAnswers.push_back(Chance(50));
      dialogs_.YesNoCancelAnswers.push_back(static_cast<TAnswer>(Pick(3)));
      dialogs_.SaveNames.push_back(RandomSaveName());
    }
    dialogs_.PdfPath = Chance(50) ? QString() : QDir(folder_).filePath(QStringLiteral("p.pdf"));
  }

  QString RandomSaveName() {
    const QDir dir(folder_);
    switch (Pick(7)) {
      case 0:
        return QString();
      case 1:
        return QStringLiteral("   ");
      case 2:
        return dir.filePath(QStringLiteral("dir.csv"));
      case 3:
        return dir.filePath(QStringLiteral("missing/x.csv"));
      case 4:
        return dir.filePath(QStringLiteral("结果😀é"));
      default:
        return dir.filePath(QStringLiteral("out.csv"));
    }
  }

  QWidget* RandomBox() {
    switch (Pick(4)) {
      case 0:
        return w_.ComboFZ;
      case 1:
        return w_.ComboDZ;
      case 2:
        return w_.ComboCZ;
      default:
        return w_.ECC;
    }
  }

  QString NameOf(const QWidget* box) const {
    if (box == w_.ComboFZ) return QStringLiteral("ComboFZ");
    if (box == w_.ComboDZ) return QStringLiteral("ComboDZ");
    if (box == w_.ComboCZ) return QStringLiteral("ComboCZ");
    return QStringLiteral("ECC");
  }

  static QLineEdit* EditOf(QWidget* box) {
    if (auto* combo = qobject_cast<QComboBox*>(box)) return combo->lineEdit();
    return qobject_cast<QLineEdit*>(box);
  }

  QString RandomPiece() {
    switch (Pick(8)) {
      case 0:
        return QString(QChar(u'a' + Pick(26)));
      case 1:
        return QString(QChar(u'A' + Pick(26)));
      case 2:
        return QString(QChar(u'0' + Pick(10)));
      case 3:
        return QStringLiteral(" ");
      case 4:
        return PickOf(stations_).left(1 + Pick(3));
      case 5:
        return PickOf(codes_);
      case 6:
        return PickOf(trains_);
      default:
        return QString::fromUtf8(kHostile[Pick(static_cast<int>(std::size(kHostile)))]);
    }
  }

  QString RandomText(QWidget* box) {
    // Often a whole good answer, so that queries find rows, sometimes with a hostile tail.
    if (Chance(40)) {
      QString s = box == w_.ECC ? PickOf(trains_) : PickOf(stations_);
      if (Chance(25)) s += RandomPiece();
      return s;
    }
    QString s;
    const int n = 1 + Pick(4);
    for (int i = 0; i < n; ++i) s += RandomPiece();
    return s;
  }

  // Types `text`: ASCII as key presses, the rest committed through the input method.
  static void Type(QWidget* box, const QString& text) {
    QString run;
    auto flushAscii = [&] {
      if (!run.isEmpty()) QTest::keyClicks(box, run);
      run.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
      const QChar c = text.at(i);
      if (c.unicode() >= 0x20 && c.unicode() < 0x7F) {
        run += c;
        continue;
      }
      flushAscii();
      QString unit(c);
      if (c.isHighSurrogate() && i + 1 < text.size()) unit += text.at(++i);
      QInputMethodEvent commit;
      commit.setCommitString(unit);
      QApplication::sendEvent(EditOf(box), &commit);
    }
    flushAscii();
  }

  void TypeInto(QWidget* box, bool paste) {
    box->setFocus(Qt::OtherFocusReason);
    if (Chance(50)) EditOf(box)->clear();
    const QString text = RandomText(box);
    log_ += QStringLiteral("%1 %2 \"%3\"").arg(paste ? "paste" : "type", NameOf(box), text);
    if (paste) {
      QGuiApplication::clipboard()->setText(text);
      QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    } else {
      Type(box, text);
    }
  }

  void EditKeys(QWidget* box) {
    box->setFocus(Qt::OtherFocusReason);
    static const Qt::Key keys[] = {Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Home, Qt::Key_End,
                                   Qt::Key_Left,      Qt::Key_Down,   Qt::Key_Up,   Qt::Key_Escape};
    const Qt::Key key = keys[Pick(static_cast<int>(std::size(keys)))];
    const int times = 1 + Pick(3);
    log_ += QStringLiteral("key %1 x%2 in %3").arg(key).arg(times).arg(NameOf(box));
    if (Chance(15)) {
      log_ += QStringLiteral(" after select-all");
      QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    }
    for (int i = 0; i < times; ++i) QTest::keyClick(box, key);
  }

  void PickListItem() {
    StationCombo* combos[] = {w_.ComboFZ, w_.ComboDZ, w_.ComboCZ};
    StationCombo* combo = combos[Pick(3)];
    if (!combo->IsDroppedDown()) {
      // Letters drop the list down first.
      combo->setFocus(Qt::OtherFocusReason);
      combo->setEditText(QString());
      QTest::keyClicks(combo, PickOf(codes_).left(1 + Pick(2)).toLower());
    }
    const int row = combo->count() > 0 ? Pick(combo->count()) : 0;
    log_ +=
        QStringLiteral("pick row %1 of %2 in %3").arg(row).arg(combo->count()).arg(NameOf(combo));
    if (!combo->IsDroppedDown() || combo->count() == 0) return;
    QListView* list = combo->DropList();
    if (Chance(50)) {
      list->scrollTo(list->model()->index(row, 0));
      QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                        list->visualRect(list->model()->index(row, 0)).center());
    } else {
      for (int i = 0; i <= row; ++i) QTest::keyClick(combo, Qt::Key_Down);
      QTest::keyClick(combo, Qt::Key_Return);
    }
  }

  void PressEnter() {
    QWidget* box = RandomBox();
    log_ += QStringLiteral("enter in %1").arg(NameOf(box));
    box->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(box, Qt::Key_Return);
  }

  void Click(QWidget* target, const char* what) {
    log_ += QStringLiteral("click %1").arg(QString::fromUtf8(what));
    QTest::mouseClick(target, Qt::LeftButton);
  }

  // 反向 swaps the two texts exactly, whatever they hold.
  void Reverse() {
    const QString fz = w_.ComboFZ->currentText();
    const QString dz = w_.ComboDZ->currentText();
    Click(w_.BTNZZFX, "反向");
    if (w_.ComboFZ->currentText() != dz || w_.ComboDZ->currentText() != fz) {
      Fail(QStringLiteral("反向 made [%1][%2] of [%3][%4]")
               .arg(w_.ComboFZ->currentText(), w_.ComboDZ->currentText(), fz, dz));
    }
  }

  void ClickFilter() {
    QCheckBox* boxes[] = {w_.CBSF, w_.CBZD, w_.CBJQ, w_.CBDC};
    QCheckBox* box = boxes[Pick(4)];
    log_ += QStringLiteral("filter %1").arg(box->text());
    QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
  }

  void ClickHeader() {
    const int i = Pick(15);
    log_ += QStringLiteral("header Lab%1").arg(i + 1);
    QTest::mouseClick(w_.Lab[static_cast<size_t>(i)], Qt::LeftButton);
  }

  // Clicks, wheel turns and arrow keys on the result grid, empty rows included.
  static void ClickGridRow(GridView* grid, int row, bool twice) {
    const QModelIndex index = grid->model()->index(row, 1);
    grid->scrollTo(index);
    const QPoint at = grid->visualRect(index).center();
    if (twice) {
      QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
    } else {
      QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
    }
  }

  int RandomRow(const TStringGrid& g) {
    const int filled = FilledRows(g);
    // Mostly rows with results, now and then the empty rows below them.
    if (filled > 0 && Chance(75)) return Pick(filled);
    return Pick(g.RowCount());
  }

  void TouchGrid() {
    GridView* grid = w_.SGrid;
    switch (Pick(3)) {
      case 0: {
        const int row = RandomRow(w_.Result().SGrid);
        log_ += QStringLiteral("click SGrid row %1").arg(row);
        ClickGridRow(grid, row, false);
        break;
      }
      case 1: {
        const int notches = Pick(7) - 3;
        log_ += QStringLiteral("wheel SGrid %1").arg(notches);
        const QPoint centre = grid->viewport()->rect().center();
        QWheelEvent wheel(centre, grid->viewport()->mapToGlobal(centre), QPoint(),
                          QPoint(0, 120 * notches), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                          false);
        QApplication::sendEvent(grid->viewport(), &wheel);
        break;
      }
      default: {
        const bool up = Chance(50);
        log_ += QStringLiteral("key %1 in SGrid").arg(up ? "up" : "down");
        grid->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(grid, up ? Qt::Key_Up : Qt::Key_Down);
        break;
      }
    }
  }

  void DoubleClickRow() {
    const int row = RandomRow(w_.Result().SGrid);
    log_ += QStringLiteral("double click SGrid row %1").arg(row);
    ClickGridRow(w_.SGrid, row, true);
  }

  // The advanced menu as the user opens it, then one of its enabled items.
  void MenuItem() {
    QMenu* menu = w_.MAdvanced;
    menu->popup(w_.SGrid->mapToGlobal(QPoint(20, 20)));
    std::vector<QAction*> items;
    for (QAction* a : {w_.MPrint, w_.MExport, w_.MDesktop, w_.NStart, w_.MAbout}) {
      if (a->isEnabled()) items.push_back(a);
    }
    menu->hide();
    QAction* item = PickOf(items);
    log_ += QStringLiteral("menu %1").arg(item->text());
    item->trigger();
  }

  void ClickLink() {
    ClickLabel* links[] = {w_.Label30, w_.Label31, w_.Label32,  w_.Label33,
                           w_.LabSell, w_.Image7,  w_.ImageLogo};
    ClickLabel* link = links[Pick(static_cast<int>(std::size(links)))];
    log_ += QStringLiteral("link %1").arg(link->text());
    QTest::mouseClick(link, Qt::LeftButton);
  }

  // Two real stations or a real train, then the matching button.
  void KnownQuery() {
    switch (Pick(3)) {
      case 0: {
        const QString fz = PickOf(stations_);
        const QString dz = PickOf(stations_);
        log_ += QStringLiteral("query %1 -> %2").arg(fz, dz);
        w_.ComboFZ->setEditText(fz);
        w_.ComboDZ->setEditText(dz);
        QTest::mouseClick(w_.BTNZZCX, Qt::LeftButton);
        break;
      }
      case 1: {
        const QString cz = PickOf(stations_);
        log_ += QStringLiteral("timetable of %1").arg(cz);
        w_.ComboCZ->setEditText(cz);
        QTest::mouseClick(w_.BTNCZCX, Qt::LeftButton);
        break;
      }
      default: {
        const QString train = PickOf(trains_);
        log_ += QStringLiteral("train %1").arg(train);
        w_.ECC->setText(train);
        QTest::mouseClick(w_.BTNCCCX, Qt::LeftButton);
        break;
      }
    }
    if (w_.Pub().Pub_ResultCount > 0) ++resultsSeen_;
  }

  // A secondary window is showing: a few random actions in it, then it is closed.
  void OnModal() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || inModal_) return;
    inModal_ = true;
    ++modalsHandled_;
    if (auto* zzz = qobject_cast<TFrmZzz*>(modal)) {
      ActInZzz(zzz);
    } else if (auto* msg = qobject_cast<TFrmMsg*>(modal)) {
      ActInMsg(msg);
    } else if (auto* about = qobject_cast<TFrmAbout*>(modal)) {
      ActInAbout(about);
    } else {
      Fail(QStringLiteral("unexpected modal window %1").arg(modal->metaObject()->className()));
    }
    if (modal->isVisible()) CloseModal(static_cast<QDialog*>(modal));
    inModal_ = false;
  }

  // By its close button when it has one, by Escape, or as the window manager would.
  void CloseModal(QDialog* dialog) {
    QPushButton* close = nullptr;
    for (QPushButton* b : dialog->findChildren<QPushButton*>()) {
      if (b->text() == QStringLiteral("关闭")) close = b;
    }
    switch (Pick(3)) {
      case 0:
        if (close) QTest::mouseClick(close, Qt::LeftButton);
        break;
      case 1:
        QTest::keyClick(dialog, Qt::Key_Escape);
        break;
      default:
        dialog->close();
        break;
    }
    if (dialog->isVisible()) dialog->reject();
  }

  void ActInZzz(TFrmZzz* zzz) {
    const int n = Pick(6);
    for (int i = 0; i < n; ++i) {
      if (Chance(30)) {
        const int label = Pick(9);
        log_ += QStringLiteral(" / zzz Lab%1").arg(label + 1);
        QTest::mouseClick(zzz->Lab[static_cast<size_t>(label)], Qt::LeftButton);
      } else {
        const TStringGrid& z = zzz->View().ZGrid;
        const int row =
            zzz->ZZCount() > 0 && Chance(80) ? Pick(zzz->ZZCount()) : Pick(z.RowCount());
        log_ += QStringLiteral(" / zzz row %1").arg(row);
        ClickGridRow(zzz->ZGrid, row, false);
        if (!z.SelectionParked() && z.Cells(0, z.Row()).empty()) {
          Fail(QStringLiteral("empty transfer row %1 selected").arg(z.Row()));
        }
      }
      const QString broken = Broken(w_);
      if (!broken.isEmpty()) Fail(broken);
    }
  }

  void ActInMsg(TFrmMsg* msg) {
    const int n = Pick(4);
    for (int i = 0; i < n; ++i) {
      switch (Pick(4)) {
        case 0: {
          // The detail window has captions, not sorting header labels.
          QLabel* caption = msg->Captions[static_cast<size_t>(Pick(8))];
          log_ += QStringLiteral(" / msg caption %1").arg(caption->text());
          QTest::mouseClick(caption, Qt::LeftButton);
          break;
        }
        case 1: {
          const int row = Pick(msg->View().MGrid.RowCount());
          log_ += QStringLiteral(" / msg row %1").arg(row);
          ClickGridRow(msg->MGrid, row, Chance(30));
          break;
        }
        case 2:
          log_ += QStringLiteral(" / msg print");
          QTest::mouseClick(msg->BTNPrint, Qt::LeftButton);
          break;
        default:
          log_ += QStringLiteral(" / msg export");
          QTest::mouseClick(msg->BTNExport, Qt::LeftButton);
          break;
      }
    }
  }

  void ActInAbout(TFrmAbout* about) {
    if (Chance(30)) {
      log_ += QStringLiteral(" / about link");
      QTest::mouseClick(Chance(50) ? static_cast<QWidget*>(about->Label2) : about->ImageLogo,
                        Qt::LeftButton);
    }
  }

  TFrmVelmor& w_;
  ScriptedDialogs& dialogs_;
  QString folder_;
  std::mt19937 rng_;
  QTimer modalTimer_;
  bool inModal_ = false;
  int modalsHandled_ = 0;
  int resultsSeen_ = 0;
  QString log_;
  QString modalFailure_;
  std::vector<QString> stations_;
  std::vector<QString> codes_;
  std::vector<QString> trains_;
};

}  // namespace

class MonkeyTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void cleanupTestCase();
  void randomActionsKeepTheWindowSound();
  void brokenPromisesAreSeen();

 private:
  FixtureResources resources_;
  QTemporaryDir home_;
  LinkOpener previousOpener_;
  int linksOpened_ = 0;
};

namespace {
// The offscreen platform says it cannot raise windows or grab the keyboard, once per popup.
QtMessageHandler previousHandler = nullptr;
void QuietOffscreen(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (text.startsWith(QStringLiteral("This plugin does not support"))) return;
  previousHandler(type, context, text);
}
}  // namespace

void MonkeyTest::initTestCase() {
  previousHandler = qInstallMessageHandler(QuietOffscreen);
  QVERIFY(home_.isValid());
  // Shortcut items write launchers below the home folder; links must not start a browser.
  qputenv("HOME", QFile::encodeName(home_.path()));
  qputenv("XDG_DATA_HOME", QFile::encodeName(home_.filePath(QStringLiteral(".local/share"))));
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(home_.filePath(QStringLiteral(".config"))));
  previousOpener_ = SetLinkOpener([this](const QUrl&) {
    ++linksOpened_;
    return true;
  });
}

void MonkeyTest::cleanupTestCase() {
  SetLinkOpener(previousOpener_);
  qInstallMessageHandler(previousHandler);
}

void MonkeyTest::randomActionsKeepTheWindowSound() {
  const int actions = qEnvironmentVariableIsSet("VELMOR_MONKEY_ACTIONS")
                          ? qEnvironmentVariableIntValue("VELMOR_MONKEY_ACTIONS")
                          : kDefaultActions;
  const unsigned seed =
      qEnvironmentVariableIsSet("VELMOR_MONKEY_SEED")
          ? static_cast<unsigned>(qEnvironmentVariableIntValue("VELMOR_MONKEY_SEED"))
          : kDefaultSeed;
  ScriptedDialogs dialogs;
  auto w = ReadyWindow(dialogs, resources_);
  QVERIFY(w);
  QTemporaryDir folder;
  QVERIFY(folder.isValid());
  Monkey monkey(*w, dialogs, folder.path(), seed);
  QElapsedTimer clock;
  clock.start();
  for (int i = 0; i < actions; ++i) {
    monkey.Act(i);
    QString broken = monkey.ModalFailure();
    if (broken.isEmpty() && QApplication::activeModalWidget()) {
      broken = QStringLiteral("a modal window is still open");
    }
    if (broken.isEmpty()) broken = Monkey::Broken(*w);
    QVERIFY2(broken.isEmpty(),
             qPrintable(QStringLiteral("seed %1, %2: %3").arg(seed).arg(monkey.Log(), broken)));
  }
  qInfo(
      "%d actions with seed %u in %lld ms: %d secondary windows, %d known queries with rows, "
      "%zu messages, %d links",
      actions, seed, static_cast<long long>(clock.elapsed()), monkey.ModalsHandled(),
      monkey.ResultsSeen(), dialogs.Messages.size(), linksOpened_);
}

void MonkeyTest::brokenPromisesAreSeen() {
  ScriptedDialogs dialogs;
  auto w = ReadyWindow(dialogs, resources_);
  QVERIFY(w);
  w->ECC->setText(QStringLiteral("G1"));
  w->BTNCCCXClick();
  QVERIFY(Monkey::Broken(*w).isEmpty());
  w->LabResult->setText(QStringLiteral("结果:2"));
  QVERIFY(Monkey::Broken(*w).contains(QStringLiteral("LabResult")));
  w->ShowResult();
  w->Result().SGrid.SetCell(0, 3, "X");
  QVERIFY(Monkey::Broken(*w).contains(QStringLiteral("non-empty rows")));
  w->Result().SGrid.SetCell(0, 3, "");
  w->Result().SGrid.SetSelection(TGridRect{0, 3, 14, 3});
  QVERIFY(Monkey::Broken(*w).contains(QStringLiteral("empty row 3")));
  ClearGridSelection(w->Result().SGrid);
  w->ComboCZ->SetText(QStringLiteral("北京?"));
  QVERIFY(Monkey::Broken(*w).contains(QStringLiteral("a box")));
}

QTEST_MAIN(MonkeyTest)
#include "monkey_test.moc"

// Text that GBK cannot hold (emoji, rare characters, some accented letters, invisible marks),
// typed through the input method or pasted: the ordinary messages, no silent truncation, and
// the boxes keep what the user typed.
#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "app_test_support.h"

using namespace velmor;
using namespace velmor::testing;

namespace {

// Each tail makes a real station name into a text that is no station.
// A tag character is dropped by the system converter unless the edge catches it.
const char* const kTails[] = {"😀",      "𠀀",     "𪚥",         "ő",         "\u200b",
                              "\u00a0", "\ufeff", "\U000E0041", "\U000E007F"};

// "北京" and a tail, built in one piece (a lone byte-order mark would be dropped as a header).
QString Beijing(const char* tail) {
  return QString::fromUtf8(std::string("北京") + tail);
}

// Commits `text` into the box as an input method does.
void Commit(QLineEdit* edit, const QString& text) {
  QInputMethodEvent event;
  event.setCommitString(text);
  QApplication::sendEvent(edit, &event);
}

// Pastes `text` into the box through the clipboard.
void Paste(QWidget* box, const QString& text) {
  QGuiApplication::clipboard()->setText(text);
  QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
}

void Enter(StationCombo* combo, const QString& text, bool paste) {
  combo->setFocus();
  combo->setEditText(QString());
  if (paste) {
    Paste(combo, text);
  } else {
    Commit(combo->lineEdit(), text);
  }
}

}  // namespace

class HostileTextTest : public QObject {
  Q_OBJECT

 private slots:
  void conversionMarksWhatGbkCannotHold();
  void stationsWithForeignCharactersAreUnknown_data();
  void stationsWithForeignCharactersAreUnknown();
  void twoDifferentForeignTextsAreNotTheSameStation();
  void trainNumberWithForeignCharactersFindsNoTrain();
  void boxesKeepWhatWasTyped();
  void exportToAFileNameOutsideGbk();

 private:
  FixtureResources resources_;
};

void HostileTextTest::conversionMarksWhatGbkCannotHold() {
  for (const char* tail : kTails) {
    bool lossless = true;
    const std::string gbk = ToGbk(Beijing(tail), &lossless);
    QVERIFY2(!lossless, tail);
    QVERIFY(gbk != G("北京"));
    QVERIFY(gbk.starts_with(G("北京")));
  }
  // A lone surrogate, as a broken paste may carry, is no character either.
  bool lossless = true;
  QVERIFY(ToGbk(QStringLiteral("北京") + QChar(0xD83D), &lossless) != G("北京"));
  QVERIFY(!lossless);
  // Letters with accents that GBK holds (its pinyin letters) pass unchanged.
  QCOMPARE(FromGbk(ToGbk(QStringLiteral("éü"))), QStringLiteral("éü"));
}

void HostileTextTest::stationsWithForeignCharactersAreUnknown_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<bool>("paste");
  for (const char* tail : kTails) {
    const QString t = Beijing(tail);
    QTest::newRow(qPrintable(QStringLiteral("typed %1").arg(t))) << t << false;
    QTest::newRow(qPrintable(QStringLiteral("pasted %1").arg(t))) << t << true;
  }
  QTest::newRow("foreign head") << QStringLiteral("😀北京") << false;
  QTest::newRow("letters and emoji") << QStringLiteral("bj😀") << false;
  QTest::newRow("accented letters") << QStringLiteral("Bé") << true;
}

void HostileTextTest::stationsWithForeignCharactersAreUnknown() {
  QFETCH(QString, text);
  QFETCH(bool, paste);
  ScriptedDialogs dialogs;
  auto w = ReadyWindow(dialogs, resources_);
  QVERIFY(w);
  // A result on screen first, so that an emptied grid would show.
  w->ECC->setText(QStringLiteral("G1"));
  w->BTNCCCXClick();
  QCOMPARE(w->Pub().Pub_ResultCount, 1);

  struct Case {
    StationCombo* box;
    const char* other;
    QPushButton* button;
    QString message;
  };
  const Case cases[] = {
      {w->ComboFZ, "上海", w->BTNZZCX, QStringLiteral("发站不存在。")},
      {w->ComboDZ, "上海", w->BTNZZCX, QStringLiteral("到站不存在。")},
      {w->ComboFZ, "上海", w->BTNZZZZ, QStringLiteral("发站不存在。")},
      {w->ComboCZ, nullptr, w->BTNCZCX, QStringLiteral("车站不存在。")},
  };
  for (const Case& c : cases) {
    if (c.other) PickStation(c.box == w->ComboFZ ? w->ComboDZ : w->ComboFZ, c.other);
    Enter(c.box, text, paste);
    QCOMPARE(c.box->currentText(), text);
    dialogs.Messages.clear();
    QTest::mouseClick(c.button, Qt::LeftButton);
    QCOMPARE(dialogs.Messages.size(), size_t{1});
    QCOMPARE(dialogs.Messages[0].Caption, QStringLiteral("输入错误"));
    QCOMPARE(dialogs.Messages[0].Text, c.message);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(c.box));
    // Nothing was queried: the earlier result stays.
    QCOMPARE(w->Pub().Pub_ResultCount, 1);
    QCOMPARE(w->LabResult->text(), QStringLiteral("结果:1"));
    QVERIFY(!QApplication::activeModalWidget());
  }
}

void HostileTextTest::twoDifferentForeignTextsAreNotTheSameStation() {
  ScriptedDialogs dialogs;
  auto w = ReadyWindow(dialogs, resources_);
  QVERIFY(w);
  // Both convert to the same GBK bytes, yet they are different texts and neither is a station.
  PickStation(w->ComboFZ, "北京😀");
  PickStation(w->ComboDZ, "北京𠀀");
  w->BTNZZCXClick(0);
  QCOMPARE(dialogs.Messages.size(), size_t{1});
  QCOMPARE(dialogs.Messages[0].Text, QStringLiteral("发站不存在。"));
  // The same text twice is still the same station.
  PickStation(w->ComboDZ, "北京😀");
  w->BTNZZCXClick(0);
  QCOMPARE(dialogs.Messages.size(), size_t{2});
  QCOMPARE(dialogs.Messages[1].Text, QStringLiteral("发站与到站相同。"));
  // A literal question mark is no station either.
  PickStation(w->ComboFZ, "北京?");
  w->BTNZZCXClick(0);
  QCOMPARE(dialogs.Messages.size(), size_t{3});
  QCOMPARE(dialogs.Messages[2].Text, QStringLiteral("发站不存在。"));
}

void HostileTextTest::trainNumberWithForeignCharactersFindsNoTrain() {
  ScriptedDialogs dialogs;
  auto w = ReadyWindow(dialogs, resources_);
  QVERIFY(w);
  const QString numbers[] = {QStringLiteral("G1😀"),   QStringLiteral("G1𠀀"),
                             QStringLiteral("😀G1"),   QStringLiteral("G1\u200b"),
                             QStringLiteral("Gő1"),   QStringLiteral("😀"),
                             QStringLiteral("1112😀"), QStringLiteral("1112/😀")};
  bool paste = false;
  for (const QString& number : numbers) {
    w->ECC->setText(QStringLiteral("G1"));
    w->BTNCCCXClick();
    QCOMPARE(w->Pub().Pub_ResultCount, 1);
    w->ECC->clear();
    w->ECC->setFocus();
    paste = !paste;
    if (paste) {
      Paste(w->ECC, number);
    } else {
      Commit(w->ECC, number);
    }
    QCOMPARE(w->ECC->text(), number);
    QTest::mouseClick(w->BTNCCCX, Qt::LeftButton);
    QVERIFY2(dialogs.Messages.empty(), qPrintable(number));
    QCOMPARE(w->Pub().Pub_ResultCount, 0);
    QCOMPARE(w->LabResult->text(), QStringLiteral("结果:0"));
    QCOMPARE(FilledRows(w->Result().SGrid), 0);
  }
}

void HostileTextTest::boxesKeepWhatWasTyped() {
  ScriptedDialogs dialogs;
  auto w = ReadyWindow(dialogs, resources_);
  QVERIFY(w);
  // Trailing blanks go, and with them nothing else.
  Enter(w->ComboFZ, QStringLiteral("北京😀 "), false);
  QCOMPARE(w->ComboFZ->currentText(), QStringLiteral("北京😀"));
  Enter(w->ComboDZ, QStringLiteral("  上海𠀀"), true);
  QCOMPARE(w->ComboDZ->currentText(), QStringLiteral("上海𠀀"));
  // 反向 swaps the texts exactly, then asks as 查询 does.
  w->BTNZZFXClick();
  QCOMPARE(w->ComboFZ->currentText(), QStringLiteral("上海𠀀"));
  QCOMPARE(w->ComboDZ->currentText(), QStringLiteral("北京😀"));
  QCOMPARE(dialogs.Messages.size(), size_t{1});
  QCOMPARE(dialogs.Messages[0].Text, QStringLiteral("发站不存在。"));
}

void HostileTextTest::exportToAFileNameOutsideGbk() {
  ScriptedDialogs dialogs;
  auto w = ReadyWindow(dialogs, resources_);
  QVERIFY(w);
  w->ECC->setText(QStringLiteral("G1"));
  w->BTNCCCXClick();
  QTemporaryDir dir;
  const QString name = QStringLiteral("结果😀𠀀ő.csv");
  dialogs.SaveNames = {dir.filePath(name)};
  w->MExportClick();
  QVERIFY(dialogs.Messages.empty());
  QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{name});
  const std::string written = ReadFile(QFile::encodeName(dir.filePath(name)).toStdString());
  QVERIFY(written.find(G("车次,始发,终到")) != std::string::npos);
  QVERIFY(written.find("\r\nG1,") != std::string::npos);
}

QTEST_MAIN(HostileTextTest)
#include "hostile_text_test.moc"

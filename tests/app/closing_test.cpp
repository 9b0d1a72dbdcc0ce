// Closing the main window at awkward moments: while the loaders run, while the version check
// waits on a server that never answers, and while a secondary window is open modally.
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QtTest>
#include <atomic>
#include <chrono>
#include <thread>

#include "app/UnitAbout.h"
#include "app/UnitMsg.h"
#include "app/UnitZzz.h"
#include "app_test_support.h"
#include "loopback_servers.h"

using namespace velmor;
using namespace velmor::testing;
using namespace std::chrono_literals;

namespace {

// The fixture tables, with the train-list and stop tables slow to come, as on a slow disk.
class SlowResources {
 public:
  explicit SlowResources(std::chrono::milliseconds delay) : delay_(delay) {}
  ResourceFinder Finder() {
    return [this, inner = fixtures_.Finder()](std::string_view name, std::string_view type) {
      if (SameTextAscii(name, "SLIST") || SameTextAscii(name, "STRAIN")) {
        ++slowLookups;
        std::this_thread::sleep_for(delay_);
      }
      return inner(name, type);
    };
  }
  std::atomic<int> slowLookups{0};

 private:
  FixtureResources fixtures_;
  std::chrono::milliseconds delay_;
};

// Counts events delivered to objects that no longer exist, by their former address.
class DeadReceivers : public QObject {
 public:
  DeadReceivers() { QCoreApplication::instance()->installEventFilter(this); }
  ~DeadReceivers() override { QCoreApplication::instance()->removeEventFilter(this); }
  DeadReceivers(const DeadReceivers&) = delete;
  DeadReceivers& operator=(const DeadReceivers&) = delete;

  void Watch(const QObject* o) { dead_.push_back(reinterpret_cast<quintptr>(o)); }
  int Delivered() const { return delivered_; }

 protected:
  bool eventFilter(QObject* receiver, QEvent*) override {
    for (quintptr d : dead_) {
      if (reinterpret_cast<quintptr>(receiver) == d) ++delivered_;
    }
    return false;
  }

 private:
  std::vector<quintptr> dead_;
  int delivered_ = 0;
};

std::unique_ptr<TFrmVelmor> NewWindow(ScriptedDialogs& dialogs, ResourceFinder finder,
                                      VersionCheckSettings check = OfflineVersionCheck()) {
  TFrmVelmorOptions options = TestOptions(dialogs, std::move(finder));
  options.VersionCheck = std::move(check);
  auto w = std::make_unique<TFrmVelmor>(std::move(options));
  w->show();
  return w;
}

// Destroys `window`, returning how long that took in milliseconds; its address is watched.
qint64 Destroy(std::unique_ptr<TFrmVelmor>& window, DeadReceivers& watch) {
  const QObject* address = window.get();
  const QObject* label = window->LabNew;
  QElapsedTimer clock;
  clock.start();
  window.reset();
  const qint64 ms = clock.elapsed();
  watch.Watch(address);
  watch.Watch(label);
  return ms;
}

enum Secondary { TransferButton, TransferOffer, Detail, About };

}  // namespace

class ClosingTest : public QObject {
  Q_OBJECT

 private slots:
  void closingWhileTheLoadersRun_data();
  void closingWhileTheLoadersRun();
  void closingWhileTheVersionCheckWaits();
  void closingWhileASecondaryWindowIsOpen_data();
  void closingWhileASecondaryWindowIsOpen();

 private:
  FixtureResources resources_;
};

void ClosingTest::closingWhileTheLoadersRun_data() {
  QTest::addColumn<bool>("afterStationBoxes");
  QTest::newRow("at once") << false;
  QTest::newRow("station boxes enabled, tables still loading") << true;
}

void ClosingTest::closingWhileTheLoadersRun() {
  QFETCH(bool, afterStationBoxes);
  constexpr auto kDelay = 300ms;
  SlowResources slow(kDelay);
  ScriptedDialogs dialogs;
  DeadReceivers watch;
  auto w = NewWindow(dialogs, slow.Finder());
  if (afterStationBoxes) {
    QTRY_VERIFY_WITH_TIMEOUT(w->ComboFZ->isEnabled(), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(slow.slowLookups.load() >= 1, 5000);
  }
  QVERIFY(!w->QueriesReady());
  const qint64 ms = Destroy(w, watch);
  // The loaders cannot be interrupted inside a table, so closing waits for them at most once.
  QVERIFY2(ms < 2 * kDelay.count() + 1000, qPrintable(QString::number(ms)));
  QTest::qWait(100);
  QCOMPARE(watch.Delivered(), 0);
}

void ClosingTest::closingWhileTheVersionCheckWaits() {
  ProbeServer probe;
  CannedServer silent{QByteArray()};
  VersionCheckSettings check;
  check.probeHost = QStringLiteral("127.0.0.1");
  check.probePort = probe.Port();
  check.publisherSite = silent.Site();
  check.connectTimeout = 10s;
  check.readTimeout = 10s;
  ScriptedDialogs dialogs;
  DeadReceivers watch;
  auto w = NewWindow(dialogs, resources_.Finder(), check);
  QTRY_VERIFY_WITH_TIMEOUT(!silent.requests.isEmpty(), 5000);
  QTRY_VERIFY_WITH_TIMEOUT(w->QueriesReady(), 10000);
  QVERIFY(silent.requests.front().startsWith("GET /velmorver.txt"));
  QCOMPARE(w->LabNew->text(), QStringLiteral("版本检测中..."));
  const qint64 ms = Destroy(w, watch);
  QVERIFY2(ms < 3000, qPrintable(QString::number(ms)));
  QTest::qWait(200);
  QCOMPARE(watch.Delivered(), 0);
}

void ClosingTest::closingWhileASecondaryWindowIsOpen_data() {
  QTest::addColumn<int>("which");
  QTest::newRow("transfer window from 中转") << int{Secondary::TransferButton};
  QTest::newRow("transfer window from Yes on the offer") << int{Secondary::TransferOffer};
  QTest::newRow("train detail") << int{Secondary::Detail};
  QTest::newRow("about") << int{Secondary::About};
}

void ClosingTest::closingWhileASecondaryWindowIsOpen() {
  QFETCH(int, which);
  ScriptedDialogs dialogs;
  DeadReceivers watch;
  auto w = ReadyWindow(dialogs, resources_);
  QVERIFY(w);
  PickStation(w->ComboFZ, "南京");
  PickStation(w->ComboDZ, "西安");
  if (which == Secondary::Detail) {
    w->ECC->setText(QStringLiteral("G1"));
    w->BTNCCCXClick();
    QVERIFY(w->Pub().Pub_ResultCount > 0);
  }

  // Destroys the main window from inside the secondary window's event loop.
  QPointer<QDialog> secondary;
  qint64 ms = -1;
  QTimer timer;
  timer.setInterval(10);
  QObject::connect(&timer, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog || !w) return;
    timer.stop();
    secondary = dialog;
    ms = Destroy(w, watch);
  });
  timer.start();
  TFrmVelmor* raw = w.get();
  switch (which) {
    case Secondary::TransferButton:
      raw->BTNZZCXClick(1);
      break;
    case Secondary::TransferOffer:
      dialogs.YesNoAnswers = {true};
      raw->BTNZZCXClick(0);
      break;
    case Secondary::Detail:
      raw->SGridDblClick(0);
      break;
    case Secondary::About:
      raw->MAboutClick();
      break;
  }
  timer.stop();
  QVERIFY2(ms >= 0, "the secondary window never opened");
  QVERIFY(!w);
  // The secondary window went with its owner, and its event loop ended.
  QVERIFY(secondary.isNull());
  QVERIFY(!QApplication::activeModalWidget());
  QVERIFY2(ms < 2000, qPrintable(QString::number(ms)));
  QTest::qWait(100);
  QCOMPARE(watch.Delivered(), 0);
}

QTEST_MAIN(ClosingTest)
#include "closing_test.moc"

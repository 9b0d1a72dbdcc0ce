// The version check against real HTTP servers on loopback.
#include <QElapsedTimer>
#include <QPointer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QtTest>
#include <memory>

#include "app/version_check.h"
#include "app/version_info.h"
#include "data/gbk_text.h"
#include "loopback_servers.h"

using namespace std::chrono_literals;
using velmor::TThreadNet;
using velmor::VersionCheckSettings;
using velmor::testing::CannedServer;
using velmor::testing::ProbeServer;

namespace {

const QString kUpToDate = QStringLiteral("当前已是最新版本，无需升级。");
const QString kUnreachable = QStringLiteral("网络未连通，无法获取最新版本信息。");

QString NewVersion(const QString& text) {
  return QStringLiteral("发现新版本:") + text + QStringLiteral("，请及时升级。");
}

QByteArray Response(const QByteArray& status, const QByteArray& body,
                    const QByteArray& extraHeaders = {}) {
  return "HTTP/1.1 " + status +
         "\r\nContent-Type: text/plain\r\nContent-Length: " + QByteArray::number(body.size()) +
         "\r\nConnection: close\r\n" + extraHeaders + "\r\n" + body;
}

// A loopback port where nothing listens.
quint16 ClosedPort() {
  QTcpServer server;
  if (!server.listen(QHostAddress::LocalHost)) return 0;
  const quint16 port = server.serverPort();
  server.close();
  return port;
}

VersionCheckSettings LoopbackSettings(quint16 probePort, const QUrl& site) {
  VersionCheckSettings settings;
  settings.probeHost = QStringLiteral("127.0.0.1");
  settings.probePort = probePort;
  settings.publisherSite = site;
  settings.connectTimeout = 1s;
  settings.readTimeout = 1s;
  return settings;
}

struct CheckOutcome {
  QString message;
  bool connected = false;
  qint64 elapsedMs = 0;
};

// Runs one check to its end, serving the loopback servers meanwhile.
CheckOutcome RunCheck(const VersionCheckSettings& settings) {
  CheckOutcome outcome;
  TThreadNet net(nullptr, settings);
  QSignalSpy spy(&net, &TThreadNet::Finished);
  QElapsedTimer clock;
  clock.start();
  net.Start();
  if (spy.isEmpty()) spy.wait(30000);
  outcome.elapsedMs = clock.elapsed();
  if (spy.size() == 1) outcome.message = spy.at(0).at(0).toString();
  outcome.connected = net.Connected();
  return outcome;
}

QByteArray HeaderValue(const QByteArray& head, const QByteArray& name) {
  for (const QByteArray& line : head.split('\n')) {
    const qsizetype colon = line.indexOf(':');
    if (colon > 0 && line.left(colon).trimmed().toLower() == name.toLower()) {
      return line.mid(colon + 1).trimmed();
    }
  }
  return {};
}

}  // namespace

class VersionCheckTest : public QObject {
  Q_OBJECT

 private slots:
  void JudgesByLengthThenEquality_data();
  void JudgesByLengthThenEquality();
  void ServedBodyGivesMessage_data();
  void ServedBodyGivesMessage();
  void RequestCarriesTheHeaders();
  void ErrorStatusIsUnreachable();
  void RefusedProbeSendsNoRequest();
  void SilentServerTimesOut();
  void HugeBodyIsCutShort();
  void RedirectIsNotFollowed();
  void DestroyingWhileWaitingStopsQuietly();
  void DestroyingRightAfterStartIsSafe();
};

void VersionCheckTest::JudgesByLengthThenEquality_data() {
  QTest::addColumn<QString>("fetched");
  QTest::addColumn<QString>("expected");
  QTest::newRow("same") << QString::fromLatin1(velmor::kBuiltInVersion) << kUpToDate;
  QTest::newRow("newer") << QStringLiteral("2012.03.15")
                         << NewVersion(QStringLiteral("2012.03.15"));
  QTest::newRow("garbage of ten") << QStringLiteral("abcdefghij")
                                  << NewVersion(QStringLiteral("abcdefghij"));
  QTest::newRow("empty") << QString() << kUnreachable;
  QTest::newRow("nine") << QStringLiteral("2011.12.0") << kUnreachable;
  QTest::newRow("eleven") << QStringLiteral("2011.12.01 ") << kUnreachable;
}

void VersionCheckTest::JudgesByLengthThenEquality() {
  QFETCH(QString, fetched);
  QFETCH(QString, expected);
  const std::string verdict = velmor::JudgeVersionText(velmor::G(fetched.toStdString()));
  QCOMPARE(QString::fromStdString(velmor::GbkToUtf8(verdict)), expected);
}

void VersionCheckTest::ServedBodyGivesMessage_data() {
  QTest::addColumn<QByteArray>("body");
  QTest::addColumn<QString>("expected");
  QTest::newRow("built-in") << QByteArray(velmor::kBuiltInVersion) << kUpToDate;
  QTest::newRow("newer") << QByteArray("2012.03.15") << NewVersion(QStringLiteral("2012.03.15"));
  QTest::newRow("older") << QByteArray("2009.05.20") << NewVersion(QStringLiteral("2009.05.20"));
  QTest::newRow("CR LF after") << QByteArray("2012.03.15\r\n") << kUnreachable;
  QTest::newRow("empty") << QByteArray() << kUnreachable;
  QTest::newRow("not UTF-8") << QByteArray("2012.03.\xff\xfe") << kUnreachable;
  // Fifteen UTF-8 bytes are ten GBK bytes: the length is judged after the conversion.
  QTest::newRow("five Chinese") << QStringLiteral("二零一二年").toUtf8()
                                << NewVersion(QStringLiteral("二零一二年"));
}

void VersionCheckTest::ServedBodyGivesMessage() {
  QFETCH(QByteArray, body);
  QFETCH(QString, expected);
  ProbeServer probe;
  CannedServer site(Response("200 OK", body));
  const CheckOutcome outcome = RunCheck(LoopbackSettings(probe.Port(), site.Site()));
  QCOMPARE(outcome.message, expected);
  QVERIFY(outcome.connected);
  QCOMPARE(probe.connections, 1);
  QCOMPARE(site.requests.size(), 1);
}

void VersionCheckTest::RequestCarriesTheHeaders() {
  ProbeServer probe;
  CannedServer site(Response("200 OK", "2012.03.15"));
  RunCheck(LoopbackSettings(probe.Port(), site.Site()));
  QCOMPARE(site.requests.size(), 1);
  const QByteArray head = site.requests.first();
  QCOMPARE(head.left(head.indexOf("\r\n")), QByteArray("GET /velmorver.txt HTTP/1.1"));
  QCOMPARE(HeaderValue(head, "Accept"), QByteArray("text/html, */*"));
  QCOMPARE(HeaderValue(head, "Content-Type"), QByteArray("text/html"));
  QCOMPARE(HeaderValue(head, "User-Agent"), QByteArray("Mozilla/3.0 (compatible; Indy Library)"));
}

void VersionCheckTest::ErrorStatusIsUnreachable() {
  ProbeServer probe;
  // A ten-byte body would read as a new version if the status were ignored.
  CannedServer site(Response("404 Not Found", "2012.03.15"));
  const CheckOutcome outcome = RunCheck(LoopbackSettings(probe.Port(), site.Site()));
  QCOMPARE(outcome.message, kUnreachable);
  QCOMPARE(site.requests.size(), 1);
}

void VersionCheckTest::RefusedProbeSendsNoRequest() {
  CannedServer site(Response("200 OK", "2012.03.15"));
  const quint16 closed = ClosedPort();
  QVERIFY(closed != 0);
  const CheckOutcome outcome = RunCheck(LoopbackSettings(closed, site.Site()));
  QCOMPARE(outcome.message, kUnreachable);
  QVERIFY(!outcome.connected);
  QTest::qWait(100);
  QCOMPARE(site.connections, 0);
}

void VersionCheckTest::SilentServerTimesOut() {
  ProbeServer probe;
  CannedServer silent{QByteArray()};
  const CheckOutcome outcome = RunCheck(LoopbackSettings(probe.Port(), silent.Site()));
  QCOMPARE(outcome.message, kUnreachable);
  QCOMPARE(silent.requests.size(), 1);
  // The one-second read limit ended it, not the thirty-second wait of the test.
  QVERIFY2(outcome.elapsedMs >= 900 && outcome.elapsedMs < 5000,
           qPrintable(QString::number(outcome.elapsedMs)));
}

void VersionCheckTest::HugeBodyIsCutShort() {
  ProbeServer probe;
  // Announces ten megabytes, sends 100 KiB and then holds the connection open: only the body
  // limit can end the check before the read limit.
  const QByteArray response =
      "HTTP/1.1 200 OK\r\nContent-Length: 10000000\r\n\r\n" + QByteArray(100 * 1024, '2');
  CannedServer site(response, false);
  VersionCheckSettings settings = LoopbackSettings(probe.Port(), site.Site());
  settings.readTimeout = 20s;
  const CheckOutcome outcome = RunCheck(settings);
  QCOMPARE(outcome.message, kUnreachable);
  QVERIFY2(outcome.elapsedMs < 10000, qPrintable(QString::number(outcome.elapsedMs)));
}

void VersionCheckTest::RedirectIsNotFollowed() {
  ProbeServer probe;
  CannedServer target(Response("200 OK", "2012.03.15"));
  const QByteArray location = target.Site().toEncoded() + "/velmorver.txt";
  // The redirect's own ten-byte body must not be taken for the version either.
  CannedServer site(Response("302 Found", "2012.03.15", "Location: " + location + "\r\n"));
  const CheckOutcome outcome = RunCheck(LoopbackSettings(probe.Port(), site.Site()));
  QCOMPARE(outcome.message, kUnreachable);
  QCOMPARE(site.requests.size(), 1);
  QTest::qWait(100);
  QCOMPARE(target.connections, 0);
}

void VersionCheckTest::DestroyingWhileWaitingStopsQuietly() {
  ProbeServer probe;
  CannedServer silent{QByteArray()};
  VersionCheckSettings settings = LoopbackSettings(probe.Port(), silent.Site());
  settings.connectTimeout = 10s;
  settings.readTimeout = 10s;
  auto net = std::make_unique<TThreadNet>(nullptr, settings);
  QObject receiver;
  int delivered = 0;
  QObject::connect(net.get(), &TThreadNet::Finished, &receiver, [&] { ++delivered; });
  net->Start();
  QTRY_COMPARE_WITH_TIMEOUT(silent.requests.size(), 1, 5000);
  QElapsedTimer clock;
  clock.start();
  net.reset();
  QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
  QTest::qWait(200);
  QCOMPARE(delivered, 0);
}

void VersionCheckTest::DestroyingRightAfterStartIsSafe() {
  ProbeServer probe;
  CannedServer site(Response("200 OK", "2012.03.15"));
  int delivered = 0;
  int doneAtEnd = 0;
  QObject receiver;
  for (int i = 0; i < 20; ++i) {
    TThreadNet net(nullptr, LoopbackSettings(probe.Port(), site.Site()));
    QObject::connect(&net, &TThreadNet::Finished, &receiver, [&] { ++delivered; });
    net.Start();
    QTest::qWait(i % 4);
    if (net.IsDone()) ++doneAtEnd;
  }
  QTest::qWait(100);
  // Only checks that finished while their owner lived were heard of.
  QCOMPARE(delivered, doneAtEnd);
}

QTEST_MAIN(VersionCheckTest)
#include "version_check_test.moc"

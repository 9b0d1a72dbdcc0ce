// The fixed web links, opened through a capturing opener instead of a browser.
#include <QList>
#include <QtTest>

#include "app/version_info.h"
#include "app/web_links.h"

using velmor::LinkTarget;
using velmor::LinkUrl;

namespace {

const QList<LinkTarget> kAllTargets = {LinkTarget::OfficialSales,    LinkTarget::TrainTimes,
                                       LinkTarget::Flights,          LinkTarget::Hotels,
                                       LinkTarget::RemainingTickets, LinkTarget::PublisherHome};

}  // namespace

class WebLinksTest : public QObject {
  Q_OBJECT

 private slots:
  void EveryLinkIsAnAbsoluteHttpAddress();
  void FixedPathsAreExact();
  void PublisherPagesShareTheSite();
  void OpenLinkHandsTheUrlToTheOpener();
};

void WebLinksTest::EveryLinkIsAnAbsoluteHttpAddress() {
  for (const LinkTarget target : kAllTargets) {
    const QUrl url = LinkUrl(target);
    QVERIFY2(url.isValid(), qPrintable(url.toString()));
    QCOMPARE(url.scheme(), QStringLiteral("http"));
    QVERIFY2(!url.host().isEmpty(), qPrintable(url.toString()));
  }
}

void WebLinksTest::FixedPathsAreExact() {
  const QUrl sales = LinkUrl(LinkTarget::OfficialSales);
  const QUrl tickets = LinkUrl(LinkTarget::RemainingTickets);
  QCOMPARE(sales.path(), QStringLiteral("/mormhweb/kyfw/"));
  QCOMPARE(tickets.path(), QStringLiteral("/TrainQuery/leftTicketByStation.jsp"));
  QCOMPARE(sales.host(), tickets.host());
  QCOMPARE(LinkUrl(LinkTarget::TrainTimes).path(), QStringLiteral("/huocheshike.html"));
}

void WebLinksTest::PublisherPagesShareTheSite() {
  const QUrl home = LinkUrl(LinkTarget::PublisherHome);
  QCOMPARE(home, QUrl(QString::fromLatin1(velmor::kPublisherSite)));
  QCOMPARE(LinkUrl(LinkTarget::TrainTimes).host(), home.host());
  QVERIFY(LinkUrl(LinkTarget::Flights) != LinkUrl(LinkTarget::Hotels));
  QVERIFY(LinkUrl(LinkTarget::OfficialSales).host() != home.host());
}

void WebLinksTest::OpenLinkHandsTheUrlToTheOpener() {
  QList<QUrl> opened;
  const velmor::LinkOpener previous = velmor::SetLinkOpener([&opened](const QUrl& url) {
    opened.append(url);
    return false;
  });
  for (const LinkTarget target : kAllTargets) velmor::OpenLink(target);
  // A refusing browser is not reported, and the next link still opens.
  QCOMPARE(opened.size(), kAllTargets.size());
  for (qsizetype i = 0; i < kAllTargets.size(); ++i) QCOMPARE(opened[i], LinkUrl(kAllTargets[i]));
  const velmor::LinkOpener mine = velmor::SetLinkOpener(previous);
  QVERIFY(static_cast<bool>(mine));
}

QTEST_GUILESS_MAIN(WebLinksTest)
#include "web_links_test.moc"

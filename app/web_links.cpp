#include "app/web_links.h"

#include <QDesktopServices>
#include <QString>
#include <utility>

#include "app/version_info.h"

namespace velmor {

namespace {

constexpr char kRailwaySite[] = "http://www.12306.cn";
// The partners' affiliate pages are reached through the publisher's site, so that a partner can
// change without a new build.
constexpr char kFlightsPath[] = "/go/jipiao.html";
constexpr char kHotelsPath[] = "/go/jiudian.html";

QUrl Join(const char* site, const char* path) {
  return QUrl(QString::fromLatin1(site) + QString::fromLatin1(path));
}

LinkOpener& CurrentOpener() {
  static LinkOpener opener;
  return opener;
}

}  // namespace

QUrl LinkUrl(LinkTarget target) {
  switch (target) {
    case LinkTarget::OfficialSales:
      return Join(kRailwaySite, "/mormhweb/kyfw/");
    case LinkTarget::TrainTimes:
      return Join(kPublisherSite, "/huocheshike.html");
    case LinkTarget::Flights:
      return Join(kPublisherSite, kFlightsPath);
    case LinkTarget::Hotels:
      return Join(kPublisherSite, kHotelsPath);
    case LinkTarget::RemainingTickets:
      return Join(kRailwaySite, "/TrainQuery/leftTicketByStation.jsp");
    case LinkTarget::PublisherHome:
      break;
  }
  return QUrl(QString::fromLatin1(kPublisherSite));
}

LinkOpener SetLinkOpener(LinkOpener opener) {
  return std::exchange(CurrentOpener(), std::move(opener));
}

void OpenLink(LinkTarget target) {
  const QUrl url = LinkUrl(target);
  if (const LinkOpener& opener = CurrentOpener()) {
    opener(url);
  } else {
    QDesktopServices::openUrl(url);
  }
}

}  // namespace velmor

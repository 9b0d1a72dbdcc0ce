// The fixed web pages the main and About windows open in the default browser.
#pragma once

#include <QUrl>
#include <functional>

namespace velmor {

enum class LinkTarget {
  OfficialSales,     // LabSell: the national railway's ticketing site
  TrainTimes,        // Label30: the publisher's timetable page
  Flights,           // Label31: the flight-booking partner
  Hotels,            // Label32 and Image7: the hotel-booking partner
  RemainingTickets,  // Label33: the railway site's remaining-tickets query
  PublisherHome,     // ImageLogo, BtnUpdate and the About window's Label2
};

// The absolute "http://" address of a link.
QUrl LinkUrl(LinkTarget target);

// Opens a URL somewhere (a browser); the return value is ignored by callers.
using LinkOpener = std::function<bool(const QUrl&)>;

// Replaces the opener (tests capture instead of starting a browser); an empty one restores the
// default browser. Returns the previous opener.
LinkOpener SetLinkOpener(LinkOpener opener);

// Opens the link; a browser that does not start is not reported.
void OpenLink(LinkTarget target);

}  // namespace velmor

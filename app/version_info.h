// The timetable's built-in version and the publisher's site, shared by every place that shows
// or fetches them so that they always change together.
#pragma once

namespace velmor {

// Ten characters, year.month.day; plain ASCII, so the same bytes in GBK and UTF-8.
inline constexpr char kBuiltInVersion[] = "2011.12.01";

// The publisher's site root: home page, version file and timetable page hang below it.
inline constexpr char kPublisherSite[] = "http://www.velmor.cn";

}  // namespace velmor

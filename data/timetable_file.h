// The timetable file: the four tables and a metadata table, each a table text in a resource
// container, in one file the same loaders read through a ResourceFinder.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "data/embedded_resources.h"

namespace velmor {

// The file's extension, with its dot.
inline constexpr const char* kTimetableExtension = ".velmor";

// The table texts of one timetable (GBK) and its metadata (key → value, GBK).
struct TimetableTexts {
  std::string SPY, SList, SM, STrain;
  std::map<std::string, std::string> Meta;
};

// Writes `texts` to `path` through a temporary file beside it that is renamed over it once
// complete: a failure leaves no file behind and an existing one untouched. False with `error`
// (GBK) on failure.
bool WriteTimetableFile(const std::string& path, const TimetableTexts& texts, std::string* error);

// An opened timetable file; its finder keeps the bytes alive as long as any copy of it lives.
class TimetableFile {
 public:
  // Reads and checks the whole file: every table present and complete. Nothing and `error`
  // (GBK) for a missing, unreadable, foreign or damaged file.
  static std::optional<TimetableFile> Open(const std::string& path, std::string* error);

  // Serves "SPY", "SList", "SM", "STrain" and "Meta" of type "me", names without regard to case.
  ResourceFinder Finder() const;

  // Metadata as written ("Edition", "Source", "ServiceDate", "ImportTime", counts).
  const std::map<std::string, std::string>& Meta() const { return meta_; }
  // The edition shown to the user ("2026.12.08"); empty when the file has none.
  std::string Edition() const;

 private:
  struct Entry {
    std::string name;
    size_t offset = 0;
    size_t size = 0;
  };
  std::shared_ptr<const std::string> bytes_;
  std::shared_ptr<const std::vector<Entry>> entries_;
  std::map<std::string, std::string> meta_;
};

}  // namespace velmor

// The named files of a feed, read from a folder or from a zip archive.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace velmor {

// An entry name that may be opened: relative, without "..", without a drive or backslash.
bool SafeEntryName(std::string_view name);

// Limits against a zip bomb: no entry expands beyond this, nor beyond this ratio.
inline constexpr unsigned long long kMaxEntryBytes = 2ull << 30;
inline constexpr unsigned long long kMaxEntryRatio = 200;

class FeedFiles {
 public:
  // Opens a folder or a .zip; nothing and `error` (GBK) when it is neither or unreadable.
  static std::optional<FeedFiles> Open(const std::string& path, std::string* error);
  ~FeedFiles();
  FeedFiles(FeedFiles&&) noexcept;
  FeedFiles& operator=(FeedFiles&&) noexcept;

  // Whether the feed has the file (in a zip: at the top or in one folder).
  bool Has(std::string_view name) const;
  // The whole file; nothing and `error` (GBK) when it is missing, damaged or too big.
  std::optional<std::string> Read(std::string_view name, std::string* error) const;

 private:
  FeedFiles() = default;
  struct Zip;
  std::string folder_;
  std::unique_ptr<Zip> zip_;
};

}  // namespace velmor

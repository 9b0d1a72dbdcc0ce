#include "import/feed_files.h"

#include <zip.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "data/gbk_text.h"

namespace velmor {

struct FeedFiles::Zip {
  zip_t* archive = nullptr;
  // Index of each safe entry by its file name (without a folder).
  std::vector<std::pair<std::string, zip_uint64_t>> entries;
  ~Zip() {
    if (archive) zip_discard(archive);
  }
};

bool SafeEntryName(std::string_view name) {
  if (name.empty() || name.front() == '/' || name.front() == '\\') return false;
  if (name.find('\\') != std::string_view::npos || name.find(':') != std::string_view::npos) {
    return false;
  }
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find('/', start);
    if (end == std::string_view::npos) end = name.size();
    if (name.substr(start, end - start) == "..") return false;
    start = end + 1;
  }
  return true;
}

FeedFiles::~FeedFiles() = default;
FeedFiles::FeedFiles(FeedFiles&&) noexcept = default;
FeedFiles& FeedFiles::operator=(FeedFiles&&) noexcept = default;

std::optional<FeedFiles> FeedFiles::Open(const std::string& path, std::string* error) {
  auto fail = [&](const std::string& why) -> std::optional<FeedFiles> {
    if (error) *error = why;
    return std::nullopt;
  };
  std::error_code ec;
  FeedFiles feed;
  if (std::filesystem::is_directory(path, ec)) {
    feed.folder_ = path;
    return feed;
  }
  int code = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
  if (!archive) {
    if (!std::filesystem::exists(path, ec)) return fail(G("找不到时刻表数据：") + path);
    return fail(G("不是可读的 zip 文件或文件夹：") + path);
  }
  feed.zip_ = std::make_unique<Zip>();
  feed.zip_->archive = archive;
  const zip_int64_t count = zip_get_num_entries(archive, 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    const char* name = zip_get_name(archive, static_cast<zip_uint64_t>(i), 0);
    if (!name || !SafeEntryName(name)) continue;
    std::string_view n(name);
    const size_t slash = n.rfind('/');
    // One folder level at most: feeds zipped with their folder.
    if (slash != std::string_view::npos && n.substr(0, slash).find('/') != std::string_view::npos) {
      continue;
    }
    feed.zip_->entries.emplace_back(
        std::string(slash == std::string_view::npos ? n : n.substr(slash + 1)),
        static_cast<zip_uint64_t>(i));
  }
  return feed;
}

bool FeedFiles::Has(std::string_view name) const {
  if (!zip_) {
    std::error_code ec;
    return std::filesystem::is_regular_file(std::filesystem::path(folder_) / name, ec);
  }
  for (const auto& e : zip_->entries) {
    if (e.first == name) return true;
  }
  return false;
}

std::optional<std::string> FeedFiles::Read(std::string_view name, std::string* error) const {
  auto fail = [&](const std::string& why) -> std::optional<std::string> {
    if (error) *error = std::string(name) + G("：") + why;
    return std::nullopt;
  };
  if (!zip_) {
    const std::filesystem::path p = std::filesystem::path(folder_) / name;
    std::ifstream f(p, std::ios::binary);
    if (!f) return fail(G("缺少这个文件"));
    std::ostringstream s;
    s << f.rdbuf();
    if (f.bad()) return fail(G("无法读取"));
    return s.str();
  }
  for (const auto& [entryName, index] : zip_->entries) {
    if (entryName != name) continue;
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(zip_->archive, index, 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE) ||
        !(st.valid & ZIP_STAT_COMP_SIZE)) {
      return fail(G("zip 条目已损坏"));
    }
    if (st.size > kMaxEntryBytes ||
        (st.size > 0 && st.size > kMaxEntryRatio * std::max<zip_uint64_t>(st.comp_size, 1))) {
      return fail(G("解压后过大（疑似 zip 炸弹），拒绝读取"));
    }
    zip_file_t* file = zip_fopen_index(zip_->archive, index, 0);
    if (!file) return fail(G("zip 条目无法打开"));
    std::string out(static_cast<size_t>(st.size), '\0');
    zip_uint64_t got = 0;
    bool ok = true;
    while (got < st.size) {
      const zip_int64_t n = zip_fread(file, out.data() + got, st.size - got);
      if (n <= 0) {
        ok = false;
        break;
      }
      got += static_cast<zip_uint64_t>(n);
    }
    // Reading one byte more tells an entry that inflates beyond its stated size (or a bad
    // checksum, which libzip reports at the end).
    char extra = 0;
    if (ok && zip_fread(file, &extra, 1) != 0) ok = false;
    zip_fclose(file);
    if (!ok) return fail(G("zip 条目已损坏或被截断"));
    return out;
  }
  return fail(G("缺少这个文件"));
}

}  // namespace velmor

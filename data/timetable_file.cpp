#include "data/timetable_file.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "data/gbk_text.h"
#include "data/loaders.h"
#include "data/resource_container.h"
#include "data/table_text_writer.h"

namespace velmor {
namespace {

constexpr std::string_view kMagic = "VELMOR-TIMETABLE 1\n";
constexpr std::string_view kEnd = "END\n";
// Larger than any national timetable by far; a bigger file is not one of ours.
constexpr uintmax_t kMaxFileBytes = uintmax_t{1} << 31;
const char* const kNames[] = {"SPY", "SList", "SM", "STrain", "Meta"};
// An import is waited for: zlib's default level packs a national timetable in about a second,
// the best level takes ten times as long for a few per cent less.
constexpr int kPackLevel = 6;

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::string MetaText(const std::map<std::string, std::string>& meta) {
  size_t longest = 0;
  for (const auto& [k, v] : meta) longest = std::max({longest, k.size(), v.size()});
  TTableTextWriter w(
      {{"Key", false, TextFieldSize(longest)}, {"Value", false, TextFieldSize(longest)}},
      {{"SKey", "Key", true}});
  for (const auto& [k, v] : meta) w.AddRow({k, v});
  return w.Text();
}

}  // namespace

bool WriteTimetableFile(const std::string& path, const TimetableTexts& texts, std::string* error) {
  auto fail = [&](const std::string& why) {
    if (error) *error = why;
    return false;
  };
  const std::string* parts[] = {&texts.SPY, &texts.SList, &texts.SM, &texts.STrain};
  std::string out(kMagic);
  for (size_t i = 0; i < 5; ++i) {
    const std::string packed = PackResource(i < 4 ? *parts[i] : MetaText(texts.Meta), kPackLevel);
    out += std::string(kNames[i]) + " me " + std::to_string(packed.size()) + "\n";
    out += packed;
  }
  out += kEnd;

  namespace fs = std::filesystem;
  const fs::path target(path);
  const fs::path temp = target.parent_path() / ("." + target.filename().string() + "." +
                                                std::to_string(getpid()) + ".tmp");
  {
    std::ofstream f(temp, std::ios::binary | std::ios::trunc);
    if (!f) return fail(G("无法创建文件：") + temp.string());
    f.write(out.data(), static_cast<std::streamsize>(out.size()));
    f.flush();
    if (!f) {
      f.close();
      std::error_code ec;
      fs::remove(temp, ec);
      return fail(G("无法写入文件：") + temp.string());
    }
  }
  std::error_code ec;
  fs::rename(temp, target, ec);
  if (ec) {
    fs::remove(temp, ec);
    return fail(G("无法保存文件：") + path);
  }
  return true;
}

std::optional<TimetableFile> TimetableFile::Open(const std::string& path, std::string* error) {
  auto fail = [&](const std::string& why) -> std::optional<TimetableFile> {
    if (error) *error = why;
    return std::nullopt;
  };
  std::error_code ec;
  const uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec) return fail(G("无法打开文件：") + path);
  if (size > kMaxFileBytes) return fail(G("不是时刻表文件：") + path);
  std::ifstream f(path, std::ios::binary);
  if (!f) return fail(G("无法打开文件：") + path);
  auto bytes = std::make_shared<std::string>(static_cast<size_t>(size), '\0');
  if (!f.read(bytes->data(), static_cast<std::streamsize>(size))) {
    return fail(G("无法读取文件：") + path);
  }
  const std::string_view all(*bytes);
  if (!all.starts_with(kMagic)) return fail(G("不是时刻表文件：") + path);

  auto entries = std::make_shared<std::vector<Entry>>();
  size_t pos = kMagic.size();
  const std::string damaged = G("时刻表文件已损坏：") + path;
  while (all.substr(pos) != kEnd) {
    const size_t nl = all.find('\n', pos);
    if (nl == std::string_view::npos || nl - pos > 64) return fail(damaged);
    const std::string_view head = all.substr(pos, nl - pos);
    const size_t s1 = head.find(' ');
    const size_t s2 = s1 == std::string_view::npos ? s1 : head.find(' ', s1 + 1);
    if (s2 == std::string_view::npos || head.substr(s1 + 1, s2 - s1 - 1) != "me") {
      return fail(damaged);
    }
    size_t n = 0;
    for (char c : head.substr(s2 + 1)) {
      if (c < '0' || c > '9' || n > (size_t{1} << 40)) return fail(damaged);
      n = n * 10 + static_cast<size_t>(c - '0');
    }
    if (n > all.size() - nl - 1) return fail(damaged);
    entries->push_back({std::string(head.substr(0, s1)), nl + 1, n});
    pos = nl + 1 + n;
  }
  for (const char* name : kNames) {
    bool found = false;
    for (const Entry& e : *entries) found = found || SameName(e.name, name);
    if (!found) return fail(damaged);
  }

  TimetableFile file;
  file.bytes_ = std::move(bytes);
  file.entries_ = std::move(entries);
  TMemTable meta;
  TTableTextFormat format;
  std::string why;
  if (!LoadTableResource(meta, format, file.Finder(), "Meta", "", &why)) {
    return fail(damaged + " (" + why + ")");
  }
  const int key = meta.RequireField("Key");
  const int value = meta.RequireField("Value");
  for (size_t r = 0; r < meta.RecordCount(); ++r) {
    file.meta_[std::string(meta.TextOf(r, key))] = std::string(meta.TextOf(r, value));
  }
  return file;
}

ResourceFinder TimetableFile::Finder() const {
  return [bytes = bytes_, entries = entries_](
             std::string_view name, std::string_view type) -> std::optional<std::string_view> {
    if (!SameName(type, "me")) return std::nullopt;
    for (const Entry& e : *entries) {
      if (SameName(e.name, name)) return std::string_view(*bytes).substr(e.offset, e.size);
    }
    return std::nullopt;
  };
}

std::string TimetableFile::Edition() const {
  const auto it = meta_.find("Edition");
  return it == meta_.end() ? std::string() : it->second;
}

}  // namespace velmor

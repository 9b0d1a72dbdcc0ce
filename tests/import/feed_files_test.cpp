#include "import/feed_files.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "data/gbk_text.h"
#include "feed_support.h"

namespace velmor {
namespace {

// Writes a zip of (entry name, content) pairs, deflated.
std::string WriteZip(const std::vector<std::pair<std::string, std::string>>& entries) {
  const std::string path = (testing::FreshDir("zip") / "feed.zip").string();
  int code = 0;
  zip_t* z = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
  EXPECT_NE(z, nullptr);
  for (const auto& [name, content] : entries) {
    zip_source_t* src = zip_source_buffer(z, content.data(), content.size(), 0);
    const zip_int64_t i = zip_file_add(z, name.c_str(), src, ZIP_FL_ENC_UTF_8);
    EXPECT_GE(i, 0);
    zip_set_file_compression(z, static_cast<zip_uint64_t>(i), ZIP_CM_DEFLATE, 9);
  }
  EXPECT_EQ(zip_close(z), 0);
  return path;
}

TEST(FeedFiles, EntryNamesThatLeaveTheFeedAreNeverOpened) {
  EXPECT_TRUE(SafeEntryName("stops.txt"));
  EXPECT_TRUE(SafeEntryName("feed/stops.txt"));
  EXPECT_FALSE(SafeEntryName("../stops.txt"));
  EXPECT_FALSE(SafeEntryName("a/../../stops.txt"));
  EXPECT_FALSE(SafeEntryName("/etc/stops.txt"));
  EXPECT_FALSE(SafeEntryName("C:\\stops.txt"));
  EXPECT_FALSE(SafeEntryName(""));
}

TEST(FeedFiles, ZipEntriesAreReadAtTheTopOrInOneFolder) {
  const std::string zip =
      WriteZip({{"gtfs/stops.txt", "stop_id\n1\n"}, {"../trips.txt", "x"}, {"a/b/c.txt", "y"}});
  std::string error;
  const auto feed = FeedFiles::Open(zip, &error);
  ASSERT_TRUE(feed) << error;
  EXPECT_EQ(feed->Read("stops.txt", &error), "stop_id\n1\n");
  EXPECT_FALSE(feed->Has("trips.txt"));
  EXPECT_FALSE(feed->Has("c.txt"));
}

TEST(FeedFiles, ZipBombIsRefused) {
  const std::string zip = WriteZip({{"stop_times.txt", std::string(4 << 20, '0')}});
  std::string error;
  const auto feed = FeedFiles::Open(zip, &error);
  ASSERT_TRUE(feed) << error;
  EXPECT_FALSE(feed->Read("stop_times.txt", &error));
  EXPECT_NE(error.find(G("zip 炸弹")), std::string::npos);
}

TEST(FeedFiles, TruncatedZipFailsWithAMessage) {
  std::string text;
  for (int i = 0; i < 2000; ++i) text += "t" + std::to_string(i) + ",08:00:00,08:00:00,S,1\n";
  const std::string zip = WriteZip({{"stop_times.txt", text}});
  std::stringstream whole;
  whole << std::ifstream(zip, std::ios::binary).rdbuf();
  const std::string bytes = whole.str();
  std::ofstream(zip, std::ios::binary | std::ios::trunc) << bytes.substr(0, bytes.size() / 2);
  std::string error;
  const auto feed = FeedFiles::Open(zip, &error);
  EXPECT_FALSE(feed && feed->Read("stop_times.txt", &error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace velmor

#include "present/grid_export.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "data/gbk_text.h"

namespace velmor {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const fs::path& p, const std::string& text) {
  std::ofstream(p, std::ios::binary) << text;
}

class ExportFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("velmor_export_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  size_t FilesInDir() const {
    return static_cast<size_t>(std::distance(fs::directory_iterator(dir_), {}));
  }
  fs::path dir_;
};

TEST(GridExport, PublisherLinesTitleLineAndShownRows) {
  TStringGrid g(15, 16);
  g.SetCell(0, 0, "1043");
  g.SetCell(13, 0, "38/41/43");
  g.SetCell(12, 0, "-");
  g.SetCell(0, 1, "G1");
  const auto lines = ExportLines(g, false, 1);
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[0], "");
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines[2], G("纬途火车网"));
  EXPECT_EQ(lines[3], "http://www.velmor.cn");
  EXPECT_EQ(lines[4], "");
  EXPECT_EQ(lines[5], "");
  EXPECT_EQ(lines[6],
            G("车次,始发,终到,车型,发站,发时,到站,到时,停站,里程,历时,硬座,软座,硬卧,软卧"));
  EXPECT_EQ(lines[7], "1043,,,,,,,,,,,,-,38/41/43,");
  EXPECT_EQ(ExportLines(g, false, 0).size(), 7u);
}

TEST(GridExport, DetailTitles) {
  TStringGrid g(8, 20);
  const auto lines = ExportLines(g, true, 0);
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[6], G("站序,车站,里程,到时,发时,天数,历时,时速"));
}

TEST(GridExport, CellsThatWouldSplitAreQuoted) {
  EXPECT_EQ(CsvField("38/41/43"), "38/41/43");
  EXPECT_EQ(CsvField(""), "");
  EXPECT_EQ(CsvField("a,b"), "\"a,b\"");
  EXPECT_EQ(CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
  EXPECT_EQ(CsvField("two\r\nlines"), "\"two\r\nlines\"");
  TStringGrid g(2, 1);
  g.SetCell(0, 0, "x,y");
  g.SetCell(1, 0, "z");
  EXPECT_EQ(ExportLines(g, true, 1).back(), "\"x,y\",z");
}

TEST_F(ExportFile, WritesCrLfWithoutBomAndReplacesAWholeFile) {
  const fs::path target = dir_ / "out.csv";
  WriteFile(target, std::string(5000, 'x'));
  std::string error;
  ASSERT_TRUE(WriteExportFile(target.string(), {"", G("车次"), "a,b"}, &error)) << error;
  EXPECT_EQ(ReadFile(target), "\r\n" + G("车次") + "\r\na,b\r\n");
  EXPECT_EQ(FilesInDir(), 1u);
}

TEST_F(ExportFile, AFailedWriteLeavesTheExistingFileAndNoTemporary) {
  const fs::path target = dir_ / "keep.csv";
  WriteFile(target, "precious\r\n");
  // A file size limit makes the write fail half-way, as a full disk would.
  struct rlimit old {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  auto previous = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  std::string error;
  int number = 0;
  const bool ok = WriteExportFile(target.string(), std::vector<std::string>(2000, "0123456789"),
                                  &error, &number);
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, previous);
  EXPECT_FALSE(ok);
  EXPECT_NE(error.find("keep.csv"), std::string::npos);
  EXPECT_EQ(ExportErrorText(number), G("磁盘已满。"));
  EXPECT_EQ(ReadFile(target), "precious\r\n");
  EXPECT_EQ(FilesInDir(), 1u);
}

TEST_F(ExportFile, MissingFolderOrADirectoryAtThePathFail) {
  std::string error;
  int number = 0;
  EXPECT_FALSE(WriteExportFile((dir_ / "no" / "x.csv").string(), {"a"}, &error, &number));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(ExportErrorText(number), G("文件夹不存在。"));
  const fs::path folder = dir_ / "folder";
  fs::create_directories(folder / "inside");
  EXPECT_FALSE(WriteExportFile(folder.string(), {"a"}, &error));
  EXPECT_TRUE(fs::is_directory(folder / "inside"));
  EXPECT_EQ(FilesInDir(), 1u);
  EXPECT_FALSE(WriteExportFile("", {"a"}, &error));
}

TEST_F(ExportFile, TheTemporaryIsCreatedExclusively) {
  // The traced run writes where the tracing one reads.
  if (const char* traced = std::getenv("VELMOR_TRACED")) {
    std::string error;
    ASSERT_TRUE(WriteExportFile(traced, {"a"}, &error)) << error;
    return;
  }
  const fs::path target = dir_ / "out.csv";
  if (std::system("strace -V >/dev/null 2>&1") != 0) GTEST_SKIP() << "strace is not installed";
  // Only a trace shows how the file was opened: a name taken in between leaves no other trace.
  const fs::path log = dir_ / "trace";
  const std::string command =
      // LeakSanitizer cannot run under a tracer; the sanitizer build still checks the rest.
      "ASAN_OPTIONS=detect_leaks=0 VELMOR_TRACED=" + target.string() + " strace -f -qq -e trace=open,openat,creat -o " +
      log.string() + " " + fs::read_symlink("/proc/self/exe").string() +
      " --gtest_filter=ExportFile.TheTemporaryIsCreatedExclusively >/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::istringstream trace(ReadFile(log));
  int opened = 0;
  for (std::string line; std::getline(trace, line);) {
    if (line.find(target.string() + ".") == std::string::npos) continue;
    ++opened;
    EXPECT_NE(line.find("O_EXCL"), std::string::npos) << line;
  }
  EXPECT_EQ(opened, 1);
}

}  // namespace
}  // namespace velmor

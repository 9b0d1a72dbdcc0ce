#include "data/timetable_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "data/gbk_text.h"
#include "data/loaders.h"
#include "data/table_cursor.h"
#include "data/table_text_writer.h"

namespace velmor {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

fs::path TempDir() {
  fs::path d = fs::temp_directory_path() /
               ("velmor_tt_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
  fs::remove_all(d);
  fs::create_directories(d);
  return d;
}

TEST(TableTextWriter, ValuesWithQuotesEscapesAndBreaksReadBack) {
  TTableTextWriter w({{"Name", false, 20}, {"N", true, 0}}, {{"SName", "Name", true}});
  w.AddRow({"a\"b,c", "7"});
  w.AddRow({"50%\r\nx", "-3"});
  TMemTable t;
  TTableTextFormat f;
  t.LoadFromStreamViaFormat(w.Text(), f);
  ASSERT_EQ(t.RecordCount(), 2u);
  EXPECT_EQ(t.TextOf(0, 0), "a\"b,c");
  EXPECT_EQ(t.IntegerOf(0, 1), 7);
  EXPECT_EQ(t.TextOf(1, 0), "50%\r\nx");
  EXPECT_EQ(t.IntegerOf(1, 1), -3);
  EXPECT_TRUE(t.IndexDefs()[0].Unique);
}

// The built-in table texts written into a file load into the same tables.
TEST(TimetableFile, BuiltInTablesRoundTrip) {
  const fs::path src = fs::path(VELMOR_SOURCE_DIR) / "resources" / "tables";
  TimetableTexts texts{ReadFile(src / "SPY.txt"),
                       ReadFile(src / "SLIST.txt"),
                       ReadFile(src / "SM.txt"),
                       ReadFile(src / "STRAIN.txt"),
                       {{"Edition", "2026.12.08"}, {"Source", G("测试")}}};
  const fs::path dir = TempDir();
  const std::string path = (dir / "a.velmor").string();
  std::string error;
  ASSERT_TRUE(WriteTimetableFile(path, texts, &error)) << error;
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);

  const auto file = TimetableFile::Open(path, &error);
  ASSERT_TRUE(file) << error;
  EXPECT_EQ(file->Edition(), "2026.12.08");
  EXPECT_EQ(file->Meta().at("Source"), G("测试"));
  TablesSet fromFile, builtIn;
  ASSERT_TRUE(LoadAllTables(fromFile, file->Finder(), &error)) << error;
  ASSERT_TRUE(LoadAllTables(builtIn, EmbeddedResourceFinder(), &error)) << error;
  EXPECT_EQ(fromFile.KMTrain.RecordCount(), builtIn.KMTrain.RecordCount());
  EXPECT_EQ(fromFile.KMList.RecordCount(), builtIn.KMList.RecordCount());
  EXPECT_TRUE(fromFile.TrainLoaded && fromFile.SMLoaded);
  fs::remove_all(dir);
}

TEST(TimetableFile, TruncatedOrForeignFileIsRefusedAndFailedWriteLeavesTargetAlone) {
  const fs::path dir = TempDir();
  const std::string path = (dir / "a.velmor").string();
  TimetableTexts texts;
  texts.SPY = texts.SList = texts.SM = texts.STrain = "x";
  std::string error;
  ASSERT_TRUE(WriteTimetableFile(path, texts, &error)) << error;
  const std::string whole = ReadFile(path);
  for (size_t cut : {whole.size() - 1, whole.size() / 2, size_t{5}}) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << whole.substr(0, cut);
    EXPECT_FALSE(TimetableFile::Open(path, &error)) << cut;
    EXPECT_FALSE(error.empty());
  }
  // A target in a folder that does not exist: nothing is written anywhere.
  EXPECT_FALSE(WriteTimetableFile((dir / "no" / "b.velmor").string(), texts, &error));
  EXPECT_EQ(ReadFile(path), whole.substr(0, 5));
  fs::remove_all(dir);
}

}  // namespace
}  // namespace velmor

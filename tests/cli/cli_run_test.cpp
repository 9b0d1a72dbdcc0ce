// Runs velmor-cli on the fixture tables and compares exit status, stdout and stderr. Expected
// stdout is kept in expected/<name>.out; a mismatch writes <name>.out.fail into the build tree.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct CliResult {
  int status = -1;
  std::string out;
  std::string err;
};

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

std::string ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class CliRun : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("velmor_cli_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  CliResult Velmor(const std::vector<std::string>& args, bool withTables = true) {
    std::string cmd = Quote(VELMOR_CLI_EXE);
    if (withTables) cmd += " --tables " + Quote(std::string(VELMOR_FIXTURE_DIR) + "/tables");
    for (const std::string& a : args) cmd += " " + Quote(a);
    const fs::path out = dir_ / "stdout", err = dir_ / "stderr";
    cmd += " >" + Quote(out.string()) + " 2>" + Quote(err.string()) + " </dev/null";
    const int raw = std::system(cmd.c_str());
    CliResult r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = ReadFile(out);
    r.err = ReadFile(err);
    return r;
  }

  // Compares with expected/<name>; on a mismatch leaves <name>.fail in the build tree, never
  // in the sources.
  static void ExpectGolden(const std::string& name, const std::string& actual) {
    const fs::path expected = fs::path(VELMOR_CLI_EXPECTED_DIR) / name;
    const fs::path fail = fs::path(VELMOR_CLI_FAIL_DIR) / (name + ".fail");
    if (fs::exists(expected) && ReadFile(expected) == actual) {
      fs::remove(fail);
      return;
    }
    std::ofstream(fail, std::ios::binary) << actual;
    ADD_FAILURE() << "output differs from " << expected << "; see " << fail;
  }

  // A successful run whose stdout is the golden file and whose stderr is empty.
  void ExpectShown(const std::string& name, const std::vector<std::string>& args) {
    SCOPED_TRACE(name);
    const CliResult r = Velmor(args);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    ExpectGolden(name + ".out", r.out);
  }

  void ExpectRefused(const std::vector<std::string>& args, int status, const std::string& err) {
    SCOPED_TRACE(args.empty() ? std::string("(none)") : args.back());
    const CliResult r = Velmor(args);
    EXPECT_EQ(r.status, status);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(err), std::string::npos) << r.err;
  }

  fs::path dir_;
};

TEST_F(CliRun, StationToStationInEachFormat) {
  ExpectShown("zz_table", {"--format", "table", "zz", "北京", "上海"});
  ExpectShown("zz_csv", {"--format", "csv", "zz", "北京", "上海"});
  ExpectShown("zz_json", {"--format", "json", "zz", "北京", "上海"});
  // Not a terminal: csv is the default. Station arguments are trimmed like the boxes do.
  ExpectShown("zz_csv", {"zz", " 北京 ", "上海\t"});
  ExpectShown("zz_exact_csv", {"--jq", "zz", "北京", "上海"});
}

TEST_F(CliRun, NoDirectTrainSuggestsTheTransferSearch) {
  ExpectShown("zz_none_table", {"--format", "table", "zz", "南京", "西安"});
  ExpectShown("zz_none_csv", {"--format", "csv", "zz", "南京", "西安"});
  ExpectShown("zz_none_json", {"--format", "json", "zz", "南京", "西安"});
}

TEST_F(CliRun, TransferListAndLegs) {
  ExpectShown("zzz_table", {"--format", "table", "zzz", "合肥", "鹰潭"});
  ExpectShown("zzz_csv", {"zzz", "合肥", "鹰潭"});
  ExpectShown("zzz_json", {"--format", "json", "zzz", "合肥", "鹰潭"});
  ExpectShown("zzz_sorted_csv", {"--sort", "2", "--sort", "2", "zzz", "合肥", "鹰潭"});
  ExpectShown("zzz_via_csv", {"zzz", "合肥", "鹰潭", "--via", "南昌"});
  ExpectShown("zzz_via_table", {"--format", "table", "zzz", "合肥", "鹰潭", "--via", "南昌"});
  ExpectShown("zzz_via_exact_csv", {"--jq", "zzz", "合肥", "鹰潭", "--via", "南昌"});
  ExpectRefused({"zzz", "合肥", "鹰潭", "--via", "上海"}, 2, "上海 不在列出的中转站中");
}

TEST_F(CliRun, TrainNumber) {
  ExpectShown("cc_k10_csv", {"cc", "  k10 "});
  ExpectShown("cc_1112_table", {"--format", "table", "cc", "1112"});
  ExpectShown("cc_k264b_json", {"--format", "json", "cc", "K264B"});
  ExpectShown("cc_none_csv", {"cc", "1113"});
}

TEST_F(CliRun, StationTimetableWithFiltersAndSorts) {
  ExpectShown("cz_table", {"--format", "table", "cz", "南昌"});
  ExpectShown("cz_sorted_csv", {"--sort", "10", "--sort", "10", "cz", "北京"});
  ExpectShown("cz_origin_csv", {"--sf", "cz", "北京"});
  ExpectShown("cz_multiple_unit_csv", {"--dc", "cz", "北京"});
}

TEST_F(CliRun, TrainDetail) {
  ExpectShown("detail_cc_csv", {"--detail", "0", "cc", "1043"});
  ExpectShown("detail_zz_table", {"--format", "table", "--detail", "0", "zz", "咸阳", "兰州"});
  ExpectShown("detail_zz_csv", {"--detail", "0", "zz", "咸阳", "兰州"});
  ExpectShown("detail_json", {"--format", "json", "--detail", "0", "cc", "K10"});
  ExpectRefused({"--detail", "1", "cc", "1043"}, 2, "第 1 行不在显示的 1 行之中");
}

TEST_F(CliRun, ExportWritesTheShownRowsAsGbk) {
  const std::string file = (dir_ / "result.csv").string();
  ExpectShown("cz_sorted_csv", {"--export", file, "--sort", "10", "--sort", "10", "cz", "北京"});
  ExpectGolden("export_cz.csv", ReadFile(file));
  ExpectShown("detail_cc_csv", {"--export", file, "--detail", "0", "cc", "1043"});
  ExpectGolden("export_detail.csv", ReadFile(file));
  // The rows are still shown; the failed write is reported and nothing is left behind.
  const CliResult failed = Velmor({"--export", (dir_ / "missing" / "x.csv").string(), "cc", "K10"});
  EXPECT_EQ(failed.status, 1);
  EXPECT_NE(failed.err.find("文件夹不存在"), std::string::npos) << failed.err;
  EXPECT_FALSE(fs::exists(dir_ / "missing"));
}

TEST_F(CliRun, JourneyPlans) {
  ExpectShown("plan_table", {"--format", "table", "plan", "合肥", "鹰潭"});
  const std::string file = (dir_ / "plan.csv").string();
  ExpectShown("plan_json", {"--format", "json", "--export", file, "plan", "合肥", "鹰潭"});
  ExpectGolden("export_plan.csv", ReadFile(file));
  // Here only journeys with two changes reach 广州.
  ExpectShown("plan_options_csv",
              {"plan", "北京", "广州", "--changes", "2", "--min-change", "20", "--city-change",
               "60", "--max-wait", "600", "--from-time", "20:00"});
  ExpectRefused({"plan", "北京", "北京"}, 2, "输入错误: 发站与到站相同。\n");
}

TEST_F(CliRun, InputErrorsGoToStderrWithStatus2) {
  ExpectRefused({"zz", "BJ", "上海"}, 2, "信息不完整: 请输入发站。\n");
  ExpectRefused({"zz", "北京", ""}, 2, "信息不完整: 请输入到站。\n");
  ExpectRefused({"zz", "北京", "北京"}, 2, "输入错误: 发站与到站相同。\n");
  ExpectRefused({"zz", "火星", "北京"}, 2, "输入错误: 发站不存在。\n");
  ExpectRefused({"zzz", "北京", "火星"}, 2, "输入错误: 到站不存在。\n");
  ExpectRefused({"cz", "BJ"}, 2, "信息不完整: 请输入车站。\n");
  // A character GBK cannot hold never matches a station by accident.
  ExpectRefused({"cz", "北京😀"}, 2, "输入错误: 车站不存在。\n");
  ExpectRefused({"cc", "  "}, 2, "信息不完整: 请输入车次。\n");
}

TEST_F(CliRun, PrintWritesWhatIsShownIntoAPdf) {
  const fs::path pdf = dir_ / "list.pdf";
  ExpectShown("cc_k10_csv", {"--print", pdf.string(), "cc", "K10"});
  ASSERT_EQ(ReadFile(pdf).substr(0, 5), "%PDF-");
  const fs::path text = dir_ / "list.txt";
  ASSERT_EQ(std::system(("pdftotext " + Quote(pdf.string()) + " " + Quote(text.string())).c_str()),
            0);
  const std::string printed = ReadFile(text);
  for (const char* shown : {"K10", "北京", "纬途列车时刻表"}) {
    EXPECT_NE(printed.find(shown), std::string::npos) << shown << " in " << printed;
  }
  // The rows are still shown; the failed print is reported and nothing is left behind.
  const CliResult failed = Velmor({"--print", (dir_ / "missing" / "x.pdf").string(), "cc", "K10"});
  EXPECT_EQ(failed.status, 1);
  EXPECT_NE(failed.err.find("x.pdf”。文件夹不存在。"), std::string::npos) << failed.err;
  EXPECT_FALSE(fs::exists(dir_ / "missing"));
  ExpectRefused({"--print", pdf.string(), "zzz", "合肥", "鹰潭"}, 64, "需要列车列表");
}

// A copy of velmor-cli without velmor-cli-full still answers queries, and says why it cannot
// print rather than failing silently.
TEST_F(CliRun, WithoutTheFullProgramOnlyPrintingFails) {
  const fs::path alone = dir_ / "bin" / "velmor-cli";
  fs::create_directories(alone.parent_path());
  fs::copy_file(VELMOR_CLI_EXE, alone);
  const std::string cmd = Quote(alone.string()) + " --tables " +
                          Quote(std::string(VELMOR_FIXTURE_DIR) + "/tables") + " --format csv";
  EXPECT_EQ(std::system((cmd + " cc K10 >/dev/null 2>&1").c_str()), 0);
  const fs::path err = dir_ / "stderr";
  const int raw = std::system(
      (cmd + " --print " + Quote((dir_ / "x.pdf").string()) + " cc K10 2>" + Quote(err.string()))
          .c_str());
  ASSERT_TRUE(WIFEXITED(raw));
  EXPECT_EQ(WEXITSTATUS(raw), 1);
  EXPECT_NE(ReadFile(err).find("无法运行"), std::string::npos) << ReadFile(err);
  EXPECT_NE(ReadFile(err).find("找不到该程序"), std::string::npos) << ReadFile(err);
  EXPECT_FALSE(fs::exists(dir_ / "x.pdf"));
}

TEST_F(CliRun, AnOutputThatCannotBeWrittenFails) {
  const std::string cmd = Quote(VELMOR_CLI_EXE) + " --tables " +
                          Quote(std::string(VELMOR_FIXTURE_DIR) + "/tables") +
                          " cc K10 >/dev/full 2>/dev/null";
  const int raw = std::system(cmd.c_str());
  ASSERT_TRUE(WIFEXITED(raw));
  EXPECT_EQ(WEXITSTATUS(raw), 1);
}

TEST_F(CliRun, UsageHelpAndUnavailableThings) {
  ExpectRefused({}, 64, "缺少命令\n用法：");
  ExpectRefused({"--bogus", "cc", "K10"}, 64, "未知选项 --bogus");
  ExpectRefused({"zz", "北京"}, 64, "命令 zz 需要 2 个参数\n用法：");
  ExpectRefused({"--sort", "16", "cc", "K10"}, 64, "--sort 须为 1 到 15 的整数\n用法：");
  const CliResult help = Velmor({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("用法：velmor-cli"), std::string::npos);
  EXPECT_EQ(help.err, "");
  const CliResult missing = Velmor({"--tables", (dir_ / "none").string(), "cc", "K10"}, false);
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("无法读取文件：SPY.txt"), std::string::npos) << missing.err;
}

}  // namespace

namespace {

// A feed imported by the command, then the timetable file used by a query.
TEST_F(CliRun, ImportWritesATimetableThatQueriesRead) {
  const fs::path feed = dir_ / "feed";
  fs::create_directories(feed);
  const std::pair<const char*, const char*> files[] = {
      {"stops.txt", "stop_id,stop_name\nA,北京\nB,天津\n"},
      {"routes.txt", "route_id,route_short_name\nR,动车组\n"},
      {"trips.txt", "route_id,service_id,trip_id,trip_short_name\nR,S,t,D9\n"},
      {"calendar.txt",
       "service_id,monday,tuesday,wednesday,thursday,friday,saturday,sunday,start_date,"
       "end_date\nS,1,1,1,1,1,1,1,20260101,20261231\n"},
      {"stop_times.txt",
       "trip_id,arrival_time,departure_time,stop_id,stop_sequence,shape_dist_traveled\n"
       "t,08:00:00,08:00:00,A,1,0\nt,08:30:00,08:30:00,B,2,120\n"}};
  for (const auto& [name, text] : files) std::ofstream(feed / name) << text;
  const std::string out = (dir_ / "t.velmor").string();
  CliResult r = Velmor({"import", feed.string(), out, "--date", "2026-12-08"}, false);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("车次：1，停站记录：2"), std::string::npos) << r.out;
  r = Velmor({"--timetable", out, "--format", "csv", "zz", "北京", "天津"}, false);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("D9,北京,天津,动车组,北京,08:00,天津,08:30,1,120,00:30"), std::string::npos)
      << r.out;

  r = Velmor({"import", (dir_ / "missing").string(), out + "2"}, false);
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(fs::exists(out + "2"));
  r = Velmor({"--timetable", feed.string() + "/stops.txt", "cc", "D9"}, false);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("不是时刻表文件"), std::string::npos) << r.err;
}

}  // namespace

#include "cli/cli_args.h"

#include <gtest/gtest.h>

namespace velmor {
namespace {

std::optional<CliOptions> Parse(std::vector<std::string> args, std::string* error = nullptr) {
  std::string ignored;
  return ParseCliArgs(args, error ? error : &ignored);
}

TEST(CliArgs, OptionsMayStandAnywhereAndSortsKeepTheirOrder) {
  auto o = Parse({"--tables", "dir", "--sort", "10", "zzz", "A", "--sf", "B", "--via=S", "--sort=3",
                  "--format", "json", "--zd", "--jq", "--dc"});
  ASSERT_TRUE(o.has_value());
  EXPECT_EQ(o->TablesDir, "dir");
  EXPECT_EQ(o->Command, CliCommand::ZZZ);
  EXPECT_EQ(o->Args, (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(o->Via, std::optional<std::string>("S"));
  EXPECT_EQ(o->Sorts, (std::vector<int>{10, 3}));
  EXPECT_EQ(o->Format, std::optional<CliFormat>(CliFormat::Json));
  EXPECT_TRUE(o->SF && o->ZD && o->JQ && o->DC);
}

TEST(CliArgs, CommandsAndTheirArgumentCounts) {
  EXPECT_EQ(Parse({"cc", "K10"})->Command, CliCommand::CC);
  EXPECT_EQ(Parse({"cz", "X"})->Command, CliCommand::CZ);
  EXPECT_EQ(Parse({"zz", "X", "Y"})->Command, CliCommand::ZZ);
  EXPECT_FALSE(Parse({"zz", "X"}).has_value());
  EXPECT_FALSE(Parse({"cc", "K10", "K11"}).has_value());
  EXPECT_FALSE(Parse({}).has_value());
  EXPECT_FALSE(Parse({"qq", "X"}).has_value());
  // After "--" a text that looks like an option is an argument.
  auto o = Parse({"cc", "--", "-1"});
  ASSERT_TRUE(o.has_value());
  EXPECT_EQ(o->Args, std::vector<std::string>{"-1"});
  EXPECT_FALSE(o->Format.has_value());
}

TEST(CliArgs, BadOptionsAndValuesAreUsageErrors) {
  std::string error;
  EXPECT_FALSE(Parse({"--bogus", "cc", "K1"}, &error).has_value());
  EXPECT_NE(error.find("--bogus"), std::string::npos);
  EXPECT_FALSE(Parse({"cc", "K1", "--sort"}).has_value());
  EXPECT_FALSE(Parse({"--sort", "0", "cc", "K1"}).has_value());
  EXPECT_FALSE(Parse({"--sort", "16", "cc", "K1"}).has_value());
  EXPECT_FALSE(Parse({"--sort", "3x", "cc", "K1"}).has_value());
  EXPECT_FALSE(Parse({"--detail", "-1", "cc", "K1"}).has_value());
  EXPECT_FALSE(Parse({"--format", "xml", "cc", "K1"}).has_value());
  EXPECT_FALSE(Parse({"--sf=1", "cc", "K1"}).has_value());
  EXPECT_FALSE(Parse({"--export=", "cc", "K1"}).has_value());
  EXPECT_FALSE(Parse({"--via", "S", "zz", "A", "B"}).has_value());
}

TEST(CliArgs, TheTransferListHasNineLabelsAndNoTrainToOpen) {
  EXPECT_TRUE(Parse({"--sort", "9", "zzz", "A", "B"}).has_value());
  EXPECT_FALSE(Parse({"--sort", "10", "zzz", "A", "B"}).has_value());
  EXPECT_TRUE(Parse({"--sort", "10", "zzz", "A", "B", "--via", "S"}).has_value());
  EXPECT_FALSE(Parse({"--detail", "0", "zzz", "A", "B"}).has_value());
  EXPECT_FALSE(Parse({"--export", "f.csv", "zzz", "A", "B"}).has_value());
  EXPECT_TRUE(Parse({"--detail", "0", "zzz", "A", "B", "--via", "S"}).has_value());
}

TEST(CliArgs, PlanOptionsAreCheckedAndBelongToPlan) {
  auto o = Parse({"plan", "A", "B", "--changes", "2", "--min-change=5", "--city-change", "0",
                  "--max-wait", "1439", "--from-time", "07:05"});
  ASSERT_TRUE(o.has_value());
  EXPECT_EQ(o->Command, CliCommand::Plan);
  EXPECT_EQ(o->Changes, 2);
  EXPECT_EQ(o->MinChange, 5);
  EXPECT_EQ(o->CityChange, 0);
  EXPECT_EQ(o->MaxWait, 1439);
  EXPECT_EQ(o->FromTime, 7 * 60 + 5);
  EXPECT_FALSE(Parse({"plan", "A", "B", "--changes", "3"}).has_value());
  EXPECT_FALSE(Parse({"plan", "A", "B", "--max-wait", "1440"}).has_value());
  EXPECT_FALSE(Parse({"plan", "A", "B", "--from-time", "24:00"}).has_value());
  EXPECT_FALSE(Parse({"plan", "A", "B", "--from-time", "7"}).has_value());
  EXPECT_FALSE(Parse({"zz", "A", "B", "--changes", "2"}).has_value());
  EXPECT_FALSE(Parse({"plan", "A", "B", "--sort", "2"}).has_value());
}

TEST(CliArgs, ImportTakesAFeedAnOutputAndItsOwnOptions) {
  auto o = Parse({"import", "feed.zip", "out.velmor", "--date", "2026-12-08", "--line-factor=1.2",
                  "--cities", "c.csv"});
  ASSERT_TRUE(o.has_value());
  EXPECT_EQ(o->Command, CliCommand::Import);
  EXPECT_EQ(o->Args, (std::vector<std::string>{"feed.zip", "out.velmor"}));
  EXPECT_EQ(o->ImportDate, "2026-12-08");
  EXPECT_EQ(o->LineFactor, std::optional<double>(1.2));
  EXPECT_EQ(o->CitiesFile, "c.csv");
  EXPECT_FALSE(Parse({"--date", "2026-12-08", "cc", "K1"}).has_value());
  EXPECT_FALSE(Parse({"--line-factor", "0.5", "import", "a", "b"}).has_value());
  EXPECT_FALSE(Parse({"import", "a"}).has_value());
  EXPECT_EQ(Parse({"--timetable", "t.velmor", "cc", "K1"})->TimetableFile, "t.velmor");
  EXPECT_FALSE(Parse({"--timetable", "t.velmor", "--tables", "d", "cc", "K1"}).has_value());
}

TEST(CliArgs, HelpWinsOverEverythingElse) {
  auto o = Parse({"--bogus-later-is-not-read", "--help"});
  EXPECT_FALSE(o.has_value());
  o = Parse({"--help", "--bogus"});
  ASSERT_TRUE(o.has_value());
  EXPECT_TRUE(o->Help);
  EXPECT_NE(CliUsage().find("zzz 发站 到站 --via 站"), std::string::npos);
}

}  // namespace
}  // namespace velmor

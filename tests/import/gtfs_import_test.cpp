#include "import/gtfs_import.h"

#include <gtest/gtest.h>

#include "data/gbk_text.h"
#include "data/table_cursor.h"
#include "feed_support.h"

namespace velmor {
namespace {

using testing::Import;
using testing::LoadImported;
using testing::WriteFeed;

const char* const kStops =
    "stop_id,stop_name,stop_lat,stop_lon,location_type,parent_station\n"
    "BJ,北京,39.90,116.42,1,\n"
    "BJ1,北京 站台1,39.90,116.42,0,BJ\n"
    "TJ,天津,39.13,117.20,0,\n"
    "SH,上海,31.25,121.45,0,\n"
    "EN,入口,31.25,121.45,2,SH\n";
const char* const kRoutes = "route_id,route_short_name\nR1,高速\nR2,\n";
const char* const kCalendar =
    "service_id,monday,tuesday,wednesday,thursday,friday,saturday,sunday,start_date,end_date\n"
    "DAILY,1,1,1,1,1,1,1,20261201,20261231\n"
    "WEEKEND,0,0,0,0,0,1,1,20261201,20261231\n";

// One stop row of a loaded stop table, as its texts.
std::string StopRow(const TablesSet& t, std::string_view id, int no) {
  TTableCursor c(t.KMTrain);
  for (c.First(); !c.Eof(); c.Next()) {
    if (c.FieldByName("ID").AsString() == id && c.FieldByName("S_No").AsInteger() == no) {
      std::string row;
      for (const char* f : {"Station", "A_Time", "D_Time", "R_Date", "P1"}) {
        row += GbkToUtf8(c.FieldByName(f).AsString()) + "|";
      }
      return row;
    }
  }
  return "none";
}

TEST(GtfsImport, ServiceDayFromCalendarAndItsExceptions) {
  const std::string feed = WriteFeed({
      {"stops.txt", kStops},
      {"routes.txt", kRoutes},
      {"calendar.txt", kCalendar},
      {"calendar_dates.txt",
       "service_id,date,exception_type\nDAILY,20261208,2\nEXTRA,20261208,1\n"},
      {"trips.txt",
       "route_id,service_id,trip_id,trip_short_name\nR2,DAILY,a,K1\nR2,WEEKEND,b,K2\n"
       "R2,EXTRA,c,K3\n"},
      {"stop_times.txt",
       "trip_id,arrival_time,departure_time,stop_id,stop_sequence\n"
       "a,08:00:00,08:00:00,BJ,1\na,09:00:00,09:00:00,TJ,2\n"
       "b,08:00:00,08:00:00,BJ,1\nb,09:00:00,09:00:00,TJ,2\n"
       "c,08:00:00,08:00:00,BJ,1\nc,09:00:00,09:00:00,TJ,2\n"},
  });
  ImportResult r = Import(feed);
  ASSERT_TRUE(r.Ok) << GbkToUtf8(r.Error);
  TablesSet t;
  ASSERT_TRUE(LoadImported(r.Texts, t));
  ASSERT_EQ(t.KMList.RecordCount(), 1u);  // only the added service runs that Tuesday
  EXPECT_EQ(t.KMList.TextOf(0, 0), "K3");
  r = Import(feed, {"2026-12-12", 1.15, ""});  // a Saturday: daily and weekend
  ASSERT_TRUE(r.Ok);
  EXPECT_EQ(r.Texts.Meta.at("Trains"), "2");
  EXPECT_EQ(r.Texts.Meta.at("Edition"), "2026.12.12");
}

// BOM, CR LF, quoted fields, columns in another order, a platform named as its station, a
// stop without times, a sequence with gaps, times past midnight, the whole-line pseudo-trip.
TEST(GtfsImport, StopsTimesAndNamesAsTheTablesHoldThem) {
  const std::string feed = WriteFeed({
      {"stops.txt", kStops},
      {"routes.txt",
       "\xEF\xBB\xBFroute_long_name,route_id,route_short_name\r\n"
       "\"京沪,高速\",R1,\"\"\"高速\"\"\"\r\n\"x\",R2,\r\n"},
      {"calendar.txt", kCalendar},
      {"trips.txt",
       "trip_id,route_id,service_id,trip_short_name,extra\r\n"
       "t,R1,DAILY,G7,1\r\nw,R1,DAILY,京沪线(全线),1\r\n"},
      {"stop_times.txt",
       "stop_sequence,trip_id,stop_id,arrival_time,departure_time,shape_dist_traveled\r\n"
       "10,t,BJ1,,22:30:00,0\r\n20,t,TJ,,,150\r\n35,t,TJ,23:20:00,23:24:00,151\r\n"
       "90,t,SH,25:05:30,25:05:30,1318.4\r\n"
       "1,w,BJ,08:00:00,08:00:00,\r\n2,w,SH,09:00:00,09:00:00,\r\n"},
  });
  const ImportResult r = Import(feed);
  ASSERT_TRUE(r.Ok) << GbkToUtf8(r.Error);
  TablesSet t;
  ASSERT_TRUE(LoadImported(r.Texts, t));
  ASSERT_EQ(t.KMList.RecordCount(), 1u);
  EXPECT_EQ(StopRow(t, "G7", 1), "北京||22:30|0||");
  EXPECT_EQ(StopRow(t, "G7", 2), "天津|23:20|23:24|50|" + GbkToUtf8(t.KMTrain.TextOf(1, 7)) + "|");
  EXPECT_EQ(StopRow(t, "G7", 3), "上海|01:05||2:35|" + GbkToUtf8(t.KMTrain.TextOf(2, 7)) + "|");
  EXPECT_EQ(t.KMList.IntegerOf(0, 1), 2);  // the route's class
  EXPECT_EQ(t.KMList.IntegerOf(0, 7), 1318);
  EXPECT_NE(r.Report.find(G("全线站表 1")), std::string::npos);
  EXPECT_NE(r.Report.find(G("1 个车次取自 shape_dist_traveled（公里）")), std::string::npos);
}

TEST(GtfsImport, NumbersTypesAndNamesGbkCannotHold) {
  const std::string feed = WriteFeed({
      {"stops.txt", std::string(kStops) + "XX,𠀀站,30.0,120.0,0,\n"},
      {"routes.txt", kRoutes},
      {"calendar.txt", kCalendar},
      {"trips.txt",
       "route_id,service_id,trip_id,trip_short_name\n"
       "R2,DAILY,a1,K5\nR2,DAILY,a2,K5\nR2,DAILY,z,Z9\nR2,DAILY,bad,T1\n"
       "R2,DAILY,long,K123456789012345678901234567890123456\n"},
      {"stop_times.txt",
       "trip_id,arrival_time,departure_time,stop_id,stop_sequence\n"
       "a1,08:00:00,08:00:00,BJ,1\na1,09:00:00,09:00:00,TJ,2\n"
       "a2,10:00:00,10:00:00,BJ,1\na2,11:00:00,11:00:00,TJ,2\n"
       "z,10:00:00,10:00:00,BJ,1\nz,11:00:00,11:00:00,TJ,2\n"
       "bad,10:00:00,10:00:00,BJ,1\nbad,11:00:00,11:00:00,XX,2\n"
       "long,10:00:00,10:00:00,BJ,1\nlong,11:00:00,11:00:00,TJ,2\n"},
  });
  const ImportResult r = Import(feed);
  ASSERT_TRUE(r.Ok) << GbkToUtf8(r.Error);
  TablesSet t;
  ASSERT_TRUE(LoadImported(r.Texts, t));
  TTableCursor c(t.KMList);
  std::string ids;
  for (c.First(); !c.Eof(); c.Next()) {
    ids += c.FieldByName("ID").AsString() + "=" + c.FieldByName("NType").AsString() + " ";
  }
  EXPECT_EQ(ids, "Z9=4 a1=6 a2=6 ");  // a shared short name gives way to the trip ids
  EXPECT_NE(r.Report.find(G("GBK 无法表示的站名：")), std::string::npos);
  EXPECT_NE(r.Report.find(G("车次号无法存入 ID 字段 1")), std::string::npos);
}

TEST(GtfsImport, FrequenciesExpandIntoOneTrainPerDeparture) {
  const std::string feed = WriteFeed({
      {"stops.txt", kStops},
      {"routes.txt", kRoutes},
      {"calendar.txt", kCalendar},
      {"trips.txt", "route_id,service_id,trip_id,trip_short_name\nR2,DAILY,f,B12\n"},
      {"frequencies.txt", "trip_id,start_time,end_time,headway_secs\nf,08:05:00,09:00:00,1800\n"},
      {"stop_times.txt",
       "trip_id,arrival_time,departure_time,stop_id,stop_sequence\n"
       "f,00:00:00,00:00:00,BJ,1\nf,00:20:00,00:21:00,TJ,2\n"},
  });
  const ImportResult r = Import(feed);
  ASSERT_TRUE(r.Ok) << GbkToUtf8(r.Error);
  TablesSet t;
  ASSERT_TRUE(LoadImported(r.Texts, t));
  EXPECT_EQ(StopRow(t, "B12-0835", 2), "天津|08:55||20|" + GbkToUtf8(t.KMTrain.TextOf(3, 7)) + "|");
  EXPECT_EQ(t.KMList.RecordCount(), 2u);
}

// Distances in metres are told from kilometres by their size against the coordinates; a trip
// without them is measured along its stations; a loop calls at one station twice.
TEST(GtfsImport, DistancesInMetresAndAlongTheStations) {
  const std::string feed = WriteFeed({
      {"stops.txt", kStops},
      {"routes.txt", kRoutes},
      {"calendar.txt", kCalendar},
      {"trips.txt", "route_id,service_id,trip_id,trip_short_name\nR2,DAILY,m,K1\nR2,DAILY,g,K2\n"},
      {"stop_times.txt",
       "trip_id,arrival_time,departure_time,stop_id,stop_sequence,shape_dist_traveled\n"
       "m,08:00:00,08:00:00,BJ,1,0\nm,09:00:00,09:00:00,TJ,2,137400\n"
       "g,08:00:00,08:00:00,BJ,1,\ng,09:00:00,09:05:00,TJ,2,\ng,10:00:00,10:00:00,BJ,3,\n"},
  });
  const ImportResult r = Import(feed, {"2026-12-08", 1.5, ""});
  ASSERT_TRUE(r.Ok) << GbkToUtf8(r.Error);
  TablesSet t;
  ASSERT_TRUE(LoadImported(r.Texts, t));
  TTableCursor c(t.KMTrain);
  std::string km;
  for (c.First(); !c.Eof(); c.Next()) km += c.FieldByName("Distance").AsString() + " ";
  // 北京–天津 is 109 km as the crow flies; × 1.5 there and back.
  EXPECT_EQ(km, "0 137 0 163 326 ");
  EXPECT_NE(r.Report.find(G("（米）")), std::string::npos);
}

// Each kind of bad row is skipped with file:line; past 5 % of a file the import fails.
TEST(GtfsImport, BadRowsAreSkippedAndTooManyFail) {
  std::string times = "trip_id,arrival_time,departure_time,stop_id,stop_sequence\n";
  for (int i = 0; i < 30; ++i) {
    const std::string id = "t" + std::to_string(i);
    times += id + ",08:00:00,08:00:00,BJ,1\n" + id + ",09:00:00,09:00:00,TJ,2\n";
  }
  times += "t0,10:00:00,10:00:00,NOPE,3\n";  // line 62: unknown stop
  times += "t1,1O:00:00,10:00:00,SH,3\n";    // line 63: not a time
  times += "t2,07:00:00,07:00:00,SH,3\n";    // line 64: back in time
  std::string trips = "route_id,service_id,trip_id\n";
  for (int i = 0; i < 30; ++i) trips += "R2,DAILY,t" + std::to_string(i) + "\n";
  std::map<std::string, std::string> files = {{"stops.txt", kStops},
                                              {"routes.txt", kRoutes},
                                              {"calendar.txt", kCalendar},
                                              {"trips.txt", trips},
                                              {"stop_times.txt", times}};
  ImportResult r = Import(WriteFeed(files));
  ASSERT_TRUE(r.Ok) << GbkToUtf8(r.Error);
  EXPECT_NE(r.Report.find("stop_times.txt:62"), std::string::npos);
  EXPECT_NE(r.Report.find("stop_times.txt:63"), std::string::npos);
  EXPECT_NE(r.Report.find("stop_times.txt:64"), std::string::npos);
  EXPECT_NE(r.Report.find(G("坏行：3")), std::string::npos);
  EXPECT_EQ(r.Texts.Meta.at("Trains"), "30");

  files["stop_times.txt"] += "t3,x,x,SH,3\nt4,x,x,SH,3\n";  // 5 of 65 rows
  r = Import(WriteFeed(files, "more"));
  EXPECT_FALSE(r.Ok);
  EXPECT_NE(r.Error.find(G("坏行过多")), std::string::npos);
}

TEST(GtfsImport, MissingFileOrColumnIsOneMessageAndNothingIsWritten) {
  std::map<std::string, std::string> files = {
      {"stops.txt", "stop_id,stop_lat\nBJ,1\n"},
      {"routes.txt", kRoutes},
      {"calendar.txt", kCalendar},
      {"trips.txt", "route_id,service_id,trip_id\n"},
      {"stop_times.txt", "trip_id,arrival_time,departure_time,stop_id,stop_sequence\n"}};
  const std::string out = (testing::FreshDir("out") / "x.velmor").string();
  const ImportHooks hooks;
  ImportResult r = ImportFeedToFile(WriteFeed(files), out, {"2026-12-08", 1.15, ""},
                                    {testing::BuiltIn().KMPy, testing::BuiltIn().KMSM}, hooks);
  EXPECT_FALSE(r.Ok);
  EXPECT_EQ(GbkToUtf8(r.Error), "stops.txt：缺少列 stop_name");
  EXPECT_FALSE(std::filesystem::exists(out));
  files.erase("trips.txt");
  r = Import(WriteFeed(files, "nofile"));
  EXPECT_EQ(GbkToUtf8(r.Error), "缺少必需的文件 trips.txt");
}

TEST(GtfsImport, CancelStopsWithoutAResult) {
  const std::atomic<bool> cancel{true};
  ImportHooks hooks;
  hooks.Cancel = &cancel;
  const ImportResult r = ImportFeed(WriteFeed({{"stops.txt", kStops}}), {},
                                    {testing::BuiltIn().KMPy, testing::BuiltIn().KMSM}, hooks);
  EXPECT_FALSE(r.Ok);
  EXPECT_TRUE(r.Cancelled);
}

}  // namespace
}  // namespace velmor

#include "query/fares.h"

#include <gtest/gtest.h>

#include "data/gbk_text.h"

namespace velmor {
namespace {

class FaresTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BuildFareZoneTable(state_.Fares);
    BuildFareRateTable(state_.Fares);
  }

  // A row boarding at an intermediate stop, so that fares are computed, not copied.
  TPub_GridResult& AddRow(std::string trainId, int32_t nType, int32_t totalDistance,
                          int32_t distance) {
    TPub_GridResult r;
    r.TrainID = std::move(trainId);
    r.NType = nType;
    r.StartStation = G("西安");
    r.FromStation = G("宝鸡");
    r.TotalDistance = totalDistance;
    r.Distance = distance;
    state_.Pub_GridResults.push_back(r);
    return state_.Pub_GridResults.back();
  }

  PubState state_;
};

TEST_F(FaresTest, ZoneTableHasTenRowsWhoseSubZonesTileThem) {
  const auto& zones = state_.Fares.FareZones;
  ASSERT_EQ(zones.size(), 10u);
  int32_t expectedFirst = 1;
  for (const TPub_CPQDSJ& zone : zones) {
    EXPECT_EQ(zone.First, expectedFirst);
    ASSERT_EQ(zone.SubZones.size(), static_cast<size_t>(zone.Count));
    EXPECT_EQ(zone.SubZones.front().First, zone.First);
    EXPECT_EQ(zone.SubZones.back().Last, zone.Last);
    expectedFirst = zone.Last + 1;
  }
  EXPECT_EQ(zones.back().Last, 6000);
  EXPECT_EQ(zones.back().Count, 14);
  EXPECT_EQ(state_.Fares.FareRates.size(), 6u);
  EXPECT_EQ(state_.Fares.FareRates.back().Last, 6000);
}

TEST_F(FaresTest, BaseFareCentresTheDistanceInItsSubZone) {
  int32_t z = 0;
  EXPECT_NEAR(BaseFare(state_.Fares, 173, z), 175 * 0.05861, 1e-9);
  EXPECT_EQ(z, 175);
  EXPECT_NEAR(BaseFare(state_.Fares, 400, z), 21.74431, 1e-9);
  EXPECT_EQ(z, 390);
  BaseFare(state_.Fares, 10, z);
  EXPECT_EQ(z, 20);  // 1-10 centres on 5, then the 20 km minimum
  BaseFare(state_.Fares, 215, z);
  EXPECT_EQ(z, 210);
  BaseFare(state_.Fares, 430, z);
  EXPECT_EQ(z, 415);
  BaseFare(state_.Fares, 4700, z);
  EXPECT_EQ(z, 4650);
  BaseFare(state_.Fares, 1303, z);
  EXPECT_EQ(z, 1325);
  // Sub-zones not Step wide (a table made by hand) are still found: the sub-zone at the
  // Step-wide place of 15 km is 6-7 km, and 173 km lies beyond the second of two.
  FareTables uneven = state_.Fares;
  uneven.FareZones[0].SubZones = {{1, 5}, {6, 7}, {8, 200}};
  BaseFare(uneven, 15, z);
  EXPECT_EQ(z, 103);
  uneven.FareZones[0].SubZones = {{1, 100}, {101, 200}};
  BaseFare(uneven, 173, z);
  EXPECT_EQ(z, 150);
}

TEST_F(FaresTest, BaseFareChargesShortTripsAsTwentyAndLongOnesAsSixThousandKm) {
  int32_t z = 0;
  EXPECT_NEAR(BaseFare(state_.Fares, 5, z), 1.1722, 1e-9);
  EXPECT_EQ(z, 20);
  const double wholeTariff = 200 * 0.05861 + 300 * 0.052749 + 500 * 0.046888 + 500 * 0.041027 +
                             1000 * 0.035166 + 3500 * 0.029305;
  EXPECT_NEAR(BaseFare(state_.Fares, 7000, z), wholeTariff, 1e-9);
  EXPECT_EQ(z, 7000);
  EXPECT_NEAR(BaseFare(state_.Fares, 0, z), 1.1722, 1e-9);
}

TEST(FareField, ReadsWholeTextsAndSlashPieces) {
  EXPECT_DOUBLE_EQ(FareField("3.5", 0), 3.5);
  EXPECT_DOUBLE_EQ(FareField("3.5", 1), 0);
  EXPECT_DOUBLE_EQ(FareField("3.5", 2), 0);
  EXPECT_DOUBLE_EQ(FareField("280/291/303", 1), 280);
  EXPECT_DOUBLE_EQ(FareField("280/291/303", 2), 291);
  EXPECT_DOUBLE_EQ(FareField("469/492", 2), 492);
  EXPECT_DOUBLE_EQ(FareField("469/492", 0), 0);
  EXPECT_DOUBLE_EQ(FareField("-", 0), 0);
  EXPECT_DOUBLE_EQ(FareField("", 1), 0);
  EXPECT_DOUBLE_EQ(FareField("x/5", 1), 0);
  EXPECT_DOUBLE_EQ(FareField("x/5", 2), 5);
}

TEST_F(FaresTest, ConventionalWorkedExample) {
  TPub_GridResult& r = AddRow("K1", 6, 1303, 173);
  r.TrainP1 = "165";
  r.TrainP2 = "-";
  r.TrainP3 = "282/291/301";
  r.TrainP4 = "502/524";
  r.FareSoftSeat = "untouched";
  ComputeRowFares(state_, 0);
  const TPub_GridResult& out = state_.Pub_GridResults[0];
  EXPECT_EQ(out.FareHardSeat, "29");
  EXPECT_EQ(out.FareSoftSeat, "untouched");
  EXPECT_EQ(out.FareHardSleeper, "75/78/81");
  EXPECT_EQ(out.FareSoftSleeper, "111/117");
}

TEST_F(FaresTest, ConventionalSeatFaresMayEndInAHalf) {
  // Type 11 over 20 km: base 1.1722 + 0.1 rounds to 1, so the seat fare gains only 0.5.
  TPub_GridResult& r = AddRow("7001", 11, 100, 20);
  r.TrainP1 = "5";
  r.TrainP2 = "-";
  r.TrainP3 = "-";
  r.TrainP4 = "-";
  ComputeRowFares(state_, 0);
  EXPECT_EQ(state_.Pub_GridResults[0].FareHardSeat, "1.5");
  EXPECT_EQ(state_.Pub_GridResults[0].FareHardSleeper, "");
}

TEST_F(FaresTest, ConventionalTrainWithoutAnyWholeRunFareGetsNone) {
  TPub_GridResult& r = AddRow("K1", 6, 1303, 173);
  r.TrainP1 = r.TrainP2 = r.TrainP3 = r.TrainP4 = "-";
  ComputeRowFares(state_, 0);
  const TPub_GridResult& out = state_.Pub_GridResults[0];
  EXPECT_EQ(out.FareHardSeat, "");
  EXPECT_EQ(out.FareSoftSeat, "");
  EXPECT_EQ(out.FareHardSleeper, "");
  EXPECT_EQ(out.FareSoftSleeper, "");
}

TEST_F(FaresTest, BoardingAtTheOriginCopiesTheStoredFares) {
  TPub_GridResult& r = AddRow("1043", 8, 2810, 23);
  r.FromStation = r.StartStation;
  r.TrainP1 = "143";
  r.ToP1 = "3.5";
  r.ToP2 = "-";
  r.ToP3 = "38/41/43";
  r.ToP4 = "";
  ComputeRowFares(state_, 0);
  const TPub_GridResult& out = state_.Pub_GridResults[0];
  EXPECT_EQ(out.FareHardSeat, "3.5");
  EXPECT_EQ(out.FareSoftSeat, "-");
  EXPECT_EQ(out.FareHardSleeper, "38/41/43");
  EXPECT_EQ(out.FareSoftSleeper, "");

  TPub_GridResult& g = AddRow("G1", 2, 1318, 406);
  g.FromStation = g.StartStation;
  g.TrainP1 = "555";
  g.ToP1 = "185";
  g.ToP2 = "310";
  g.ToP3 = g.ToP4 = "-";
  ComputeRowFares(state_, 1);
  EXPECT_EQ(state_.Pub_GridResults[1].FareHardSeat, "185");
  EXPECT_EQ(state_.Pub_GridResults[1].FareSoftSleeper, "-");
}

TEST_F(FaresTest, BoardingAtTheOriginComputesWhenAllFourStoredFaresAreDashes) {
  TPub_GridResult& r = AddRow("K1", 6, 1303, 173);
  r.FromStation = r.StartStation;
  r.TrainP1 = "165";
  r.TrainP2 = "-";
  r.TrainP3 = "282/291/301";
  r.TrainP4 = "502/524";
  r.ToP1 = r.ToP2 = r.ToP3 = r.ToP4 = "-";
  ComputeRowFares(state_, 0);
  EXPECT_EQ(state_.Pub_GridResults[0].FareHardSeat, "29");
  EXPECT_EQ(state_.Pub_GridResults[0].FareHardSleeper, "75/78/81");
}

TEST_F(FaresTest, DTrainNearTheReferenceRateUsesIt) {
  TPub_GridResult& r = AddRow("D301", 1, 703, 126);
  r.TrainP1 = "207";
  r.FromP2 = "51";
  r.FromP4 = "-";
  r.FareHardSleeper = "untouched";
  ComputeRowFares(state_, 0);
  const TPub_GridResult& out = state_.Pub_GridResults[0];
  EXPECT_EQ(out.FareHardSeat, "39");
  EXPECT_EQ(out.FareSoftSeat, "47");
  EXPECT_EQ(out.FareSoftSleeper, "");
  EXPECT_EQ(out.FareHardSleeper, "untouched");
}

TEST_F(FaresTest, DTrainWithoutFirstClassAtTheBoardingStopHasNoSoftSeat) {
  TPub_GridResult& r = AddRow("D301", 1, 703, 126);
  r.TrainP1 = "207";
  r.FromP2 = "-";
  r.FromP4 = "136/153";
  ComputeRowFares(state_, 0);
  const TPub_GridResult& out = state_.Pub_GridResults[0];
  EXPECT_EQ(out.FareSoftSeat, "");
  // 39.025 x 1.91651809 = 74.79, 39.025 x 2.155609769 = 84.12
  EXPECT_EQ(out.FareSoftSleeper, "75/84");
}

TEST_F(FaresTest, CheapDTrainUsesItsFactorOnlyBeyondSevenHundredKm) {
  AddRow("D1", 1, 1000, 600).TrainP1 = "212.6";  // rate 0.2126, factor 0.6864
  AddRow("D1", 1, 1000, 800).TrainP1 = "212.6";
  AddRow("D2", 1, 1000, 1000).TrainP1 = "225";  // factor 0.7265 snaps to 0.75
  for (size_t i = 0; i < 3; ++i) ComputeRowFares(state_, i);
  EXPECT_EQ(state_.Pub_GridResults[0].FareHardSeat, "186");  // 600 x 0.3097222 = 185.83
  EXPECT_EQ(state_.Pub_GridResults[1].FareHardSeat, "170");  // 800 x 0.2126 = 170.08
  EXPECT_EQ(state_.Pub_GridResults[2].FareHardSeat, "232");  // 1000 x 0.3097222 x 0.75
}

TEST_F(FaresTest, GAndCTrainsChargeTheDifferenceOfStoredFares) {
  TPub_GridResult& g = AddRow("G1", 2, 1318, 617);
  g.TrainP1 = "555";
  g.FromP1 = "185";
  g.FromP2 = "310";
  g.ToP1 = "420";
  g.ToP2 = "705";
  g.FromP4 = g.ToP4 = "-";
  TPub_GridResult& c = AddRow("c2001", 3, 120, 60);  // prefix is upper-cased
  c.TrainP1 = "54.5";
  c.FromP1 = "30";
  c.ToP1 = "24.4";  // a negative difference shows no fare
  c.FromP2 = "10";
  c.ToP2 = "30.5";
  ComputeRowFares(state_, 0);
  ComputeRowFares(state_, 1);
  EXPECT_EQ(state_.Pub_GridResults[0].FareHardSeat, "235");
  EXPECT_EQ(state_.Pub_GridResults[0].FareSoftSeat, "395");
  EXPECT_EQ(state_.Pub_GridResults[0].FareSoftSleeper, "");
  EXPECT_EQ(state_.Pub_GridResults[1].FareHardSeat, "");
  EXPECT_EQ(state_.Pub_GridResults[1].FareSoftSeat, "21");
}

TEST_F(FaresTest, G100TrainsShowFixedFaresForEveryInterval) {
  for (int32_t km : {50, 362, 707}) {
    TPub_GridResult& r = AddRow("G1001", 2, 1069, km);
    r.TrainP1 = "464";
    r.FromP1 = "164";
    r.ToP1 = "464";
  }
  for (size_t i = 0; i < 3; ++i) {
    ComputeRowFares(state_, i);
    EXPECT_EQ(state_.Pub_GridResults[i].FareHardSeat, "333");
    EXPECT_EQ(state_.Pub_GridResults[i].FareSoftSeat, "532");
  }
}

TEST_F(FaresTest, MultipleUnitWithoutWholeRunSeatFareOrKnownPrefixGetsEmptyFares) {
  TPub_GridResult& a = AddRow("D5", 1, 500, 100);
  a.TrainP1 = "-";
  a.FareHardSeat = "stale";
  TPub_GridResult& b = AddRow("Y5", 0, 500, 100);
  b.TrainP1 = "150";
  b.FareHardSeat = "stale";
  ComputeRowFares(state_, 0);
  ComputeRowFares(state_, 1);
  EXPECT_EQ(state_.Pub_GridResults[0].FareHardSeat, "");
  EXPECT_EQ(state_.Pub_GridResults[1].FareHardSeat, "");
}

}  // namespace
}  // namespace velmor

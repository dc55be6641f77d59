#include "core/SupportSpot.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "core/DrawCount.h"
#include "core/FloatFlags.h"
#include "core/Geometry.h"
#include "core/StrategyShapes.h"

namespace {

class SupportSpotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    W = {};
    W.PitchWidth = 70.0f;
    W.PlayersPerTeam = 15;
    TTeamBlock& A = W.Teams[1];
    A.SupportGridSize = 11;
    A.Players[4].DisciplineProb = 900;
    A.Players[4].InBackline = kTrue32;
    StrategyParams.ActionSeqTemplate = {};
    StrategyParams.ActionSeqTemplate.NumEvents = 1;
    StrategyParams.ActionSeqTemplate.EventArray[1].DistOrig = 100.0f;
  }
  int CellsOf(int p) const {
    int n = 0;
    for (int r = 1; r <= kSupportGridMax; ++r) {
      for (int c = 1; c <= kSupportGridMax; ++c) n += W.Teams[1].SupportGridCells[r][c] == p;
    }
    return n;
  }
  static TWorld W;
};
TWorld SupportSpotTest::W;

TEST_F(SupportSpotTest, TheCentreSlotPlayerKeepsHisPlace) {
  TTeamBlock& A = W.Teams[1];
  A.SetPieceLine[101] = 9;
  A.SupportGridWeightsAlt1[1][1] = 5;
  RandSeed = 3;
  RemovePlayerFromLists(A, 9, kTrue32, kTrue32);
  EXPECT_EQ(A.SetPieceLine[101], 9);
  EXPECT_EQ(CellsOf(9), 0);
  EXPECT_EQ(DrawsSince(3), 0);
}

TEST_F(SupportSpotTest, APlayerLeavesTheLineAndHisCellForAWeightedFreeCell) {
  TTeamBlock& A = W.Teams[1];
  A.SetPieceLine[90] = 4;
  A.SupportGridCells[5][5] = 4;
  A.SupportGridCells[1][2] = 7;  // taken: its weight does not count
  A.SupportGridWeightsAlt1[1][2] = 1000;
  A.SupportGridWeightsAlt1[3][4] = 2;
  A.SupportGridWeightsAlt2[6][6] = 1;
  RandSeed = 8;
  RemovePlayerFromLists(A, 4, kTrue32, kTrue32);
  EXPECT_EQ(DrawsSince(8), 1);
  EXPECT_EQ(A.SetPieceLine[90], 0);
  EXPECT_EQ(A.Players[4].InBackline, kFalse32);
  EXPECT_EQ(A.Players[4].DisciplineProb, 900);  // his offside roll is untouched
  EXPECT_EQ(A.SupportGridCells[5][5], 0);
  EXPECT_EQ(A.SupportGridCells[3][4], 4);
  EXPECT_EQ(A.SupportGridCells[1][2], 7);
  // The second table, and the line left alone without TakeOffLine.
  A.SetPieceLine[90] = 4;
  RemovePlayerFromLists(A, 4, kFalse32, kFalse32);
  EXPECT_EQ(A.SetPieceLine[90], 4);
  EXPECT_EQ(A.SupportGridCells[6][6], 4);
  EXPECT_EQ(CellsOf(4), 1);
  // No weight left anywhere: he gets no cell.
  RemovePlayerFromLists(A, 4, kFalse32, kFalse32);
  A.SupportGridWeightsAlt2[6][6] = 0;
  RemovePlayerFromLists(A, 4, kFalse32, kFalse32);
  EXPECT_EQ(CellsOf(4), 0);
}

TEST_F(SupportSpotTest, TemplateRunTargetsByStateAndPosition) {
  TTeamBlock& A = W.Teams[1];
  A.BallCarrier = 10;
  A.Players[10].Pos = {12.0f, 0, 0};
  W.MarkX = 3.0f;
  // Draws: distance and side, then one per matching rule (state, half-back
  // outside gottackled, wing).
  const struct {
    TGameState state;
    int player;
    f32 lo, hi;
    int draws;
  } cases[] = {
      {gsRunning, 11, -34.2f, -30.0f, 4},  // a wing runs his own touchline, 0.8 m in at least
      {gsGotTackled, 14, 30.0f, 34.2f, 4},
      {gsRunning, 12, 5.0f, 19.0f, 3},     // within 7 m of the carrier
      {gsRunning, 9, 10.0f, 14.0f, 4},     // half-backs within 2 m
      {gsGotTackled, 9, 3.0f - 22.0f, 3.0f - 15.0f, 3},  // 15 to 22 m away from touch
      {gsGotTackled, 12, 3.0f - 22.0f, 3.0f - 15.0f, 3},
      {gsScrum, 12, -35.0f, 35.0f, 2},
      {gsScrum, 10, -35.0f, 35.0f, 3},
  };
  for (const auto& c : cases) {
    for (u32 seed = 1; seed <= 40; ++seed) {
      W.gamestate = c.state;
      RandSeed = seed;
      A.Players[c.player].ActionSeq = {};
      StartTemplateSequence(W, static_cast<i16>(c.player));
      EXPECT_EQ(DrawsSince(seed), c.draws) << c.player;
      const TActionSeq& S = A.Players[c.player].ActionSeq;
      EXPECT_GE(S.EventArray[1].TargetX, c.lo) << c.player << " seed " << seed;
      EXPECT_LE(S.EventArray[1].TargetX, c.hi) << c.player << " seed " << seed;
      EXPECT_EQ(S.EventArray[1].EventType, 14);
      EXPECT_EQ(S.EventArray[1].EndCondition, 3);
      EXPECT_EQ(S.EventArray[1].DistOrig, 100.0f);  // from the template
      EXPECT_EQ(S.seqON, kTrue32);
      EXPECT_EQ(S.SeqHeadFlag, c.state == gsGotTackled ? kTrue32 : kFalse32);
      EXPECT_EQ(A.Players[c.player].InBackline, kTrue32);
    }
  }
}

TEST_F(SupportSpotTest, PassWithoutSpeedStaysStillAndFalls) {
  TPassLaunch L{0, 0, 0, 9, 9, 9, 0.5f};
  RandSeed = 17;
  ApplyPassError(L, {1.0f, 2.0f, 3.0f}, kFalse32, 9.81f, 5.0f, 5.0f, kFalse32);
  EXPECT_EQ(DrawsSince(17), 4);  // two normal draws of two each
  EXPECT_EQ(L.vx, 0);
  EXPECT_EQ(L.vy, 0);
  EXPECT_EQ(L.vz, 0);
  EXPECT_FLOAT_EQ(L.x, 1.0f);
  EXPECT_FLOAT_EQ(L.z, 3.0f);
  EXPECT_FLOAT_EQ(L.y, static_cast<f32>(2.0 - 0.5 * 9.81f * 0.25));
}

TEST_F(SupportSpotTest, PassErrorsStayWithinTheirClamps) {
  // With a huge spread most draws hit the clamps: heading -25..14 degrees
  // (sign flipped for passes to +x), elevation within 17 degrees.
  for (f32 vx : {-6.0f, 6.0f}) {
    int lowHits = 0, highHits = 0;
    for (u32 seed = 1; seed <= 60; ++seed) {
      TPassLaunch L{vx, 2.0f, 8.0f, 0, 0, 0, 1.0f};
      const f32 h0 = Distance2D(0, 0, L.vx, L.vz);
      const f32 a0 = HeadingToPoint(0, 0, L.vx, L.vz, 315.0f);
      const f32 e0 = HeadingToPoint(0, 0, h0, L.vy, 180.0f);
      RandSeed = seed;
      ApplyPassError(L, {0, 1, 0}, kFalse32, 9.81f, 1000.0f, 1000.0f, kFalse32);
      const f32 h1 = Distance2D(0, 0, L.vx, L.vz);
      double da = HeadingToPoint(0, 0, L.vx, L.vz, 315.0f) - a0;
      double de = HeadingToPoint(0, 0, h1, L.vy, 180.0f) - e0;
      da = std::remainder(da, 360.0);
      de = std::remainder(de, 360.0);
      const double lo = vx > 0 ? -14.0 : -25.0, hi = vx > 0 ? 25.0 : 14.0;
      EXPECT_GE(da, lo - 1e-3) << seed;
      EXPECT_LE(da, hi + 1e-3) << seed;
      EXPECT_LE(std::fabs(de), 17.0 + 1e-3) << seed;
      lowHits += std::fabs(da - lo) < 1e-3;
      highHits += std::fabs(da - hi) < 1e-3;
      // The end point follows the new velocity for the flight time.
      EXPECT_NEAR(L.x, L.vx * 1.0, 1e-3);
      EXPECT_NEAR(L.z, L.vz * 1.0, 1e-3);
      EXPECT_NEAR(L.y, L.vy + 1.0 - 0.5 * 9.81, 1e-3);
    }
    EXPECT_GT(lowHits, 0);
    EXPECT_GT(highHits, 0);
  }
}

TEST_F(SupportSpotTest, HalfChanceHalvesTheErrorsOnAnEvenDraw) {
  int halved = 0;
  for (u32 seed = 1; seed <= 40; ++seed) {
    // The draws in their order: the even chance, the elevation error, the
    // heading error.
    RandSeed = seed;
    const bool half = RandomRange(1, 1001) < 500;
    GaussianRandom(0, 0, -17, 17, kTrue32, kTrue32);
    const f32 g = GaussianRandom(0, 30.0f, -25, 14, kTrue32, kTrue32);
    TPassLaunch L{-6.0f, 0.0f, 8.0f, 0, 0, 0, 1.0f};
    const f32 a0 = HeadingToPoint(0, 0, L.vx, L.vz, 315.0f);
    RandSeed = seed;
    ApplyPassError(L, {0, 1, 0}, kTrue32, 9.81f, 30.0f, 0.0f, kFalse32);
    EXPECT_EQ(DrawsSince(seed), 5);
    const double da = std::remainder(HeadingToPoint(0, 0, L.vx, L.vz, 315.0f) - a0, 360.0);
    EXPECT_NEAR(da, (half ? 0.5 : 1.0) * g, 1e-3) << seed;
    halved += half;
  }
  EXPECT_GT(halved, 0);
  EXPECT_LT(halved, 40);
}

TEST_F(SupportSpotTest, SpeedErrorChangesOnlyTheSpeed) {
  RandSeed = 12;
  TPassLaunch L{-6.0f, 0.0f, 8.0f, 0, 0, 0, 1.0f};
  ApplyPassError(L, {0, 0, 0}, kFalse32, 9.81f, 0.0f, 0.0f, kTrue32);
  EXPECT_EQ(DrawsSince(12), 5);
  const double s = std::sqrt(L.vx * L.vx + L.vy * L.vy + L.vz * L.vz);
  EXPECT_GE(s, 10.0 * 0.9 - 1e-4);
  EXPECT_LE(s, 10.0 * 1.09 + 1e-4);
  EXPECT_NEAR(L.vx / L.vz, -6.0 / 8.0, 1e-5);  // same heading
}

}  // namespace

// The cell points are float sums: the double sums rounded to float, bit for
// bit, with the same float errors, on every grid size and across the float
// range (signed zeros, where the step is a whole unit or more, the range's
// ends, infinities, a NaN).
TEST(SetSupportGridOrigin, CellPointsAreTheRoundedDoubleSums) {
  static TTeamBlock T;
  constexpr f32 kMax = std::numeric_limits<f32>::max();
  constexpr f32 kInf = std::numeric_limits<f32>::infinity();
  std::vector<f32> values = {0.0f, -0.0f, 1.0f, -7.25f, 0.1f, 1e-40f, 16777216.0f, 16777215.0f, -16777217.0f,
                             kMax, -kMax, std::nextafter(kMax, 0.0f), kInf, -kInf,
                             std::numeric_limits<f32>::quiet_NaN()};
  uint32_t seed = 7;
  for (int k = 0; k < 300; ++k) {  // finite, either sign, any exponent
    f32 v;
    do {
      seed = seed * 1664525u + 1013904223u;
      std::memcpy(&v, &seed, sizeof v);
    } while (!std::isfinite(v));
    values.push_back(v);
  }
  int wrong = 0, flagsDiffer = 0;
  for (size_t i = 0; i < values.size(); ++i) {
    const f32 x = values[i], z = values[(i * 7 + 3) % values.size()];
    T.SupportGridSize = static_cast<i32>(i % (kSupportGridMax + 3));
    const int side = SupportGridSide(T);
    std::feclearexcept(FE_ALL_EXCEPT);
    for (int k = 1; k <= side; ++k) {
      volatile f32 wx = static_cast<f32>(static_cast<double>(x) + k);
      volatile f32 wz = static_cast<f32>(static_cast<double>(z) - k);
      (void)wx, (void)wz;
    }
    const bool want = FloatErrorRaised();
    std::feclearexcept(FE_ALL_EXCEPT);
    SetSupportGridOrigin(T, x, z);
    const bool got = FloatErrorRaised();
    flagsDiffer += want != got;
    for (int r = 1; r <= side; ++r) {
      for (int c = 1; c <= side; ++c) {
        const f32 wx = static_cast<f32>(static_cast<double>(x) + c);
        const f32 wz = static_cast<f32>(static_cast<double>(z) - r);
        wrong += std::memcmp(&wx, &T.SupportGridSpots[r][c].x, sizeof wx) != 0 ||
                 std::memcmp(&wz, &T.SupportGridSpots[r][c].z, sizeof wz) != 0;
      }
    }
  }
  std::feclearexcept(FE_ALL_EXCEPT);
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(flagsDiffer, 0);
}

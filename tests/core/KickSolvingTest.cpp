#include "core/KickSolving.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>

#include "core/BallFlight.h"
#include "core/DrawCount.h"
#include "core/FloatFlags.h"
#include "core/Geometry.h"
#include "core/Random.h"
#include "platform/Form.h"

namespace {

void ExpectLaunch(const TLaunchParams& p, f32 speed, f32 elevation, f32 heading, f32 tol = 1e-4f) {
  EXPECT_NEAR(p.Speed, speed, tol);
  EXPECT_NEAR(p.Elevation, elevation, tol);
  EXPECT_NEAR(p.Heading, heading, tol);
}

TDistribution Fixed(f32 mean) { return {0.0f, mean, 0.0f, 0.0f, 0.0f, kFalse32, kFalse32}; }

}  // namespace

// ------------------------------------------------------------ conversions

TEST(VelocityToLaunchAngles, ConvertsAVelocity) {
  struct Case {
    bool scale;
    f32 vx, vy, vz, factor;
    f32 speed, elevation, heading;
  };
  const Case cases[] = {
      {false, 0, 0, 5, 0.5f, 5, 0, 90},
      {true, 0, 0, 5, 0.5f, 2.5f, 0, 90},
      {false, -3, 4, 0, 1, 5, 53.130102f, 0},
      {false, 3, -4, 0, 1, 5, -53.130102f, 180},
      {false, 0, -2, 0, 1, 2, -90, 90},  // straight down: heading defaults to 90
      {false, 0, 0, -1, 1, 1, 0, 270},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.vx << "," << c.vy << "," << c.vz);
    ExpectLaunch(VelocityToLaunchAngles(c.scale, c.vx, c.vy, c.vz, c.factor), c.speed, c.elevation, c.heading);
  }
}

TEST(VelocityToLaunchAngles, ZeroOrNonFiniteVectorGivesZero) {
  const f32 inf = INFINITY, nan = NAN;
  for (const TVector3 v : {TVector3{0, 0, 0}, TVector3{inf, 0, 1}, TVector3{1, nan, 0}}) {
    ExpectLaunch(VelocityToLaunchAngles(true, v.x, v.y, v.z, 2.0f), 0, 0, 0, 0);
    ExpectLaunch(LaunchAnglesWithMotion(true, v.x, v.y, v.z, 1.0f, 5.0f, 1.0f, 90.0f, 0.43f), 0, 0, 0, 0);
  }
}

TEST(LaunchAnglesWithMotion, BallGoesBackTheWayItCame) {
  // (0, 3, 4): length 5, rising at asin(0.6), arriving along +z so leaving along -z.
  ExpectLaunch(LaunchAnglesWithMotion(false, 0, 3, 4, 0.5f, 9, 1, 90, 0.43f), 2.5f, 36.869898f, 270);
  // Not moving when the player stands still.
  ExpectLaunch(LaunchAnglesWithMotion(true, 0, 3, 4, 0.5f, 0, 1, 90, 0.43f), 2.5f, 36.869898f, 270);
}

TEST(LaunchAnglesWithMotion, PlayerMomentumIsAdded) {
  // Ball arrives along -z at 4, leaves along +z at 2; the player pushes 0.43 kg m/s along +z.
  ExpectLaunch(LaunchAnglesWithMotion(true, 0, 0, -4, 0.5f, 10, 0.043f, 90, 0.43f), 3, 0, 90);
  // With height: u = 3 stays, horizontal 4 + 1 = 5 along +z.
  ExpectLaunch(LaunchAnglesWithMotion(true, 0, 3, -4, 1, 10, 0.043f, 90, 0.43f), std::sqrt(34.0f),
               std::asin(3 / std::sqrt(34.0)) * 180 / M_PI, 90);
  // A push across the ball's path turns it: 2 along +z and 2 along -x.
  ExpectLaunch(LaunchAnglesWithMotion(true, 0, 0, -4, 0.5f, 20, 0.043f, 0, 0.43f), std::sqrt(8.0f), 0, 45);
}

TEST(LaunchAnglesWithMotion, BallBroughtToRestHasNoNaN) {
  std::feclearexcept(FE_ALL_EXCEPT);
  const TLaunchParams p = LaunchAnglesWithMotion(true, 0, 3, 4, 0, 5, 0, 90, 0.43f);
  EXPECT_FALSE(FloatErrorRaised());
  EXPECT_EQ(p.Speed, 0.0f);
  EXPECT_EQ(p.Elevation, 0.0f);
}

TEST(VelocityToLaunchWithError, ZeroVectorDrawsNothing) {
  Arr1<TDistribution, 3> errors{{Fixed(1), Fixed(5), Fixed(10)}};
  RandSeed = 12345;
  ExpectLaunch(VelocityToLaunchWithError(errors, 0, 0, 0), 0, 0, 0, 0);
  ExpectLaunch(VelocityToLaunchWithError(errors, NAN, 1, 0), 0, 0, 0, 0);
  EXPECT_EQ(RandSeed, 12345u);
}

TEST(VelocityToLaunchWithError, DrawsInOrderAndKeepsTheDraws) {
  for (u32 seed : {1u, 77u, 31337u, 4000000000u}) {
    Arr1<TDistribution, 3> errors{{{0, 0.7f, 0.1f, 0.6f, 0.75f, kTrue32, kTrue32},
                                   {0, -10, 10, -15, 15, kTrue32, kTrue32},
                                   {0, 0, 20, -90, 90, kTrue32, kTrue32}}};
    // The same draws made by hand: elevation error, coin, speed factor, heading error.
    RandSeed = seed;
    const f32 elevationError = GaussianRandom(-10, 10, -15, 15, kTrue32, kTrue32);
    const bool coin = RandomRange(1, 1001) < 500;
    const f32 speedFactor = GaussianRandom(0.7f, 0.1f, 0.6f, 0.75f, kTrue32, kTrue32);
    const f32 headingError = GaussianRandom(0, 20, -90, 90, kTrue32, kTrue32);
    const u32 after = RandSeed;

    double e = std::asin(6.0 / 10.0) * 180 / M_PI + elevationError;  // V = (8, 6, 0)
    if (coin) e += e <= 30 ? 15 : -15;
    e = std::max(2.0, std::min(90.0, e));
    RandSeed = seed;
    const TLaunchParams p = VelocityToLaunchWithError(errors, 8, -6, 0);
    EXPECT_EQ(RandSeed, after);
    ExpectLaunch(p, 10 * speedFactor, static_cast<f32>(e), 180 + headingError);
    EXPECT_EQ(errors[1].value, speedFactor);
    EXPECT_EQ(errors[2].value, elevationError);
    EXPECT_EQ(errors[3].value, headingError);
  }
}

TEST(VelocityToLaunchWithError, CoinRaisesUpToThirtyDegreesAndLowersAbove) {
  struct Case {
    f32 elevationError, raised, lowered;  // raised/lowered: result on a won coin
  };
  // Flat velocity, so the elevation is the error draw alone; then kept within 2 .. 90.
  const Case cases[] = {{30.0f, 45.0f, 30.0f}, {30.5f, 15.5f, 30.5f}, {-20.0f, 2.0f, 2.0f},
                        {80.0f, 65.0f, 80.0f}, {100.0f, 85.0f, 90.0f}};
  for (const Case& c : cases) {
    int won = 0, lost = 0;
    for (u32 seed = 1; seed <= 40; ++seed) {
      TDistribution speed = Fixed(0.5f), elevation = Fixed(c.elevationError), heading = Fixed(0);
      RandSeed = SeedAfter(seed, 2);
      const bool coin = RandomRange(1, 1001) < 500;
      RandSeed = seed;
      const TLaunchParams p = VelocityToLaunchWithError(speed, elevation, heading, 0, 0, 4);
      EXPECT_EQ(p.Elevation, coin ? c.raised : c.lowered) << c.elevationError << " seed " << seed;
      EXPECT_EQ(p.Speed, 2.0f);
      EXPECT_EQ(p.Heading, 90.0f);
      ++(coin ? won : lost);
    }
    EXPECT_GT(won, 0);
    EXPECT_GT(lost, 0);
  }
}

// ------------------------------------------------------------ FindKick

class FindKickTest : public testing::Test {
 protected:
  void SetUp() override {
    saved_ = World;
    World.InGoalDepth = 10.0f;
    World.TryLineZ = 50.0f;
    World.GoalPostGap = 5.6f;
    World.CrossbarHeight = 3.0f;
    World.clock = 12.5f;
    RandSeed = 2024;
  }
  void TearDown() override { World = saved_; }

  // 25 tries from (X, 0.5, Z) with the kick constants, a pitch of 70 x 100 and max speed 30.
  static TLaunchParams Kick(f32 mode, bool grid, bool cap, f32 x, f32 z, f32 speedLow, f32 speedHigh,
                            f32 elevLow, f32 elevHigh, f32 headLow, f32 headHigh, f32 targetX = 0,
                            f32 targetZ = 0, i32 tries = 25) {
    return FindKick(tries, grid, cap, x, 0.5f, z, speedLow, speedHigh, elevLow, elevHigh, headLow,
                    headHigh, mode, targetX, targetZ, 0, 70.0f, 100.0f, 30.0f);
  }

  static TVector3 Landing(f32 speed, f32 elevation, f32 heading, f32 x, f32 z) {
    static TBallFlight F;
    SimulateKickFlight(F, speed, elevation, heading, x, 0.5f, z, 70.0f);
    return F.LandingStep != 0 ? F.Pos[F.LandingStep] : TVector3{NAN, NAN, NAN};
  }

  TWorld saved_;
};

TEST_F(FindKickTest, NoTriesGivesTheMiddleOfTheRanges) {
  for (i32 tries : {0, -3}) {
    ExpectLaunch(Kick(kKickModeInField, true, true, 0, 0, 10, 20, 30, 40, -100, -60, 0, 0, tries), 15, 35, 280);
    EXPECT_EQ(RandSeed, 2024u);
  }
}

TEST_F(FindKickTest, CapSpeedLimitsSteepKicks) {
  struct Case {
    f32 speed, elevation, capped;
  };
  const Case cases[] = {{40, 57, 22.5f}, {40, 62, 22.5f}, {40, 52, 26.25f},
                        {40, 47, 30},    {25, 52, 25},    {20, 57, 20}};
  for (const Case& c : cases) {
    RandSeed = 2024;
    const TLaunchParams p = Kick(kKickModeFirst, false, true, 0, 0, c.speed, c.speed, c.elevation,
                                 c.elevation, 80, 80);
    EXPECT_FLOAT_EQ(p.Speed, c.capped) << c.speed << " at " << c.elevation;
    EXPECT_EQ(p.Elevation, c.elevation);
    // Mode 0 takes the first candidate: three draws.
    EXPECT_EQ(RandSeed, SeedAfter(2024, 3));
  }
  EXPECT_EQ(Kick(kKickModeFirst, false, false, 0, 0, 40, 40, 57, 57, 80, 80).Speed, 40.0f);
}

TEST_F(FindKickTest, CandidatesAreDrawnWithinTheRanges) {
  // The first candidate is speed, heading, elevation from 1..100 per cent of their ranges.
  RandSeed = 99;
  const i32 r1 = RandomRange(1, 101), r2 = RandomRange(1, 101), r3 = RandomRange(1, 101);
  RandSeed = 99;
  const TLaunchParams p = Kick(kKickModeFirst, false, false, 0, 0, 10, 20, 30, 50, 60, 120);
  ExpectLaunch(p, 10 + r1 / 10.0f, 30 + r3 / 5.0f, 60 + r2 * 0.6f);
}

TEST_F(FindKickTest, HeadingGridReplacesTheDrawnHeading) {
  // The target is where heading 90 (try 13 of 60 + (t - 1) x 2.5) lands; the
  // neighbouring headings land more than 2 m away, so the search stops there.
  const TVector3 target = Landing(40, 40, 90, 0, -40);
  const TVector3 before = Landing(40, 40, 87.5f, 0, -40);
  ASSERT_GT(Distance2D(target.x, target.z, before.x, before.z), 2.0f);
  const TLaunchParams p = Kick(kKickModeNearPoint, true, false, 0, -40, 40, 40, 40, 40, 60, 120, target.x, target.z);
  ExpectLaunch(p, 40, 40, 90, 0);
  EXPECT_EQ(RandSeed, SeedAfter(2024, 13 * 3));

  // Any other goal runs all tries and keeps the first, at the low heading.
  RandSeed = 2024;
  ExpectLaunch(Kick(7.0f, true, false, 0, 0, 28, 28, 40, 40, 60, 120), 28, 40, 60, 0);
  EXPECT_EQ(RandSeed, SeedAfter(2024, 25 * 3));
}

TEST_F(FindKickTest, OneTryOnTheGridTakesTheLowHeading) {
  std::feclearexcept(FE_ALL_EXCEPT);
  const TLaunchParams p = Kick(kKickModeInField, true, false, 0, 0, 20, 20, 40, 40, 70, 110, 0, 0, 1);
  EXPECT_FALSE(FloatErrorRaised());
  ExpectLaunch(p, 20, 40, 70, 0);
}

TEST_F(FindKickTest, InFieldAndBeyondTenMetres) {
  struct Case {
    f32 mode, x, z, speed, heading;
    bool found;  // else the middle of the ranges
  };
  const Case cases[] = {
      {kKickModeInField, 0, 0, 25, 90, true},
      {kKickModeInField, -30, 0, 25, 0, false},    // out over the touch line at x = -35
      {kKickModeInField, 0, 40, 30, 90, false},    // beyond the dead-ball line at z = 60
      {kKickModeBeyond10, 0, -10, 25, 90, true},
      {kKickModeBeyond10, 0, -20, 8, 90, false},   // lands short of z = 10
      {kKickModeBeyond10, 0, 5, 5, 270, false},    // kicked backwards
  };
  for (const Case& c : cases) {
    RandSeed = 2024;
    // The elevation range 20..50 has the middle 35; the drawn one lies within it.
    const TLaunchParams p = Kick(c.mode, false, false, c.x, c.z, c.speed, c.speed, 20, 50, c.heading, c.heading);
    SCOPED_TRACE(testing::Message() << "mode " << c.mode << " from " << c.x << "," << c.z);
    EXPECT_EQ(p.Speed, c.speed);
    EXPECT_FLOAT_EQ(p.Heading, c.heading);
    if (c.found) {
      const TVector3 land = Landing(p.Speed, p.Elevation, p.Heading, c.x, c.z);
      EXPECT_TRUE(std::fabs(land.x) < 35 && std::fabs(land.z) < 60);
      if (c.mode == kKickModeBeyond10) {
        EXPECT_GT(land.z, 10);
      }
    } else {
      EXPECT_EQ(p.Elevation, 35.0f);
      EXPECT_EQ(RandSeed, SeedAfter(2024, 25 * 3));
    }
  }
}

TEST_F(FindKickTest, LandingOnABoundaryFails) {
  // Kicked straight down from 0.1 m, the ball lands at step 2 exactly below the kicking point.
  struct Case {
    f32 mode, x, z;
    bool found;
  };
  const Case cases[] = {
      {kKickModeBeyond10, 0, 10.0f, false}, {kKickModeBeyond10, 0, 10.01f, true},
      {kKickModeInField, 35.0f, 0, false},  {kKickModeInField, -34.99f, 0, true},
      {kKickModeInField, 0, 60.0f, false},  {kKickModeInField, 0, -60.0f, false},
      {kKickModeInField, 0, 59.99f, true},
  };
  for (const Case& c : cases) {
    RandSeed = 2024;
    const TLaunchParams p = FindKick(25, false, false, c.x, 0.1f, c.z, 5, 5, -90, -90, 90, 90, c.mode, 0, 0, 0,
                                     70.0f, 100.0f, 30.0f);
    SCOPED_TRACE(testing::Message() << "mode " << c.mode << " at " << c.x << "," << c.z);
    ExpectLaunch(p, 5, -90, 90, 0);
    // Found on the first try, or all 25 tried and the middle of the ranges returned.
    EXPECT_EQ(RandSeed, SeedAfter(2024, (c.found ? 1 : 25) * 3));
  }
}

TEST_F(FindKickTest, CandidateThatNeverLandsFails) {
  const TLaunchParams p = FindKick(25, false, false, 0, 1000, 0, 10, 20, 20, 40, 80, 100, kKickModeInField,
                                   0, 0, 0, 70, 100, 30);
  ExpectLaunch(p, 15, 30, 90, 0);
  for (f32 mode : {kKickModeNearPoint, kKickModeFindTouch, kKickModeAtGoal}) {
    RandSeed = 2024;
    const TLaunchParams q = FindKick(3, false, false, 0, 1000, 0, 10, 20, 20, 40, 80, 100, mode, 0, 0,
                                     0, 70, 100, 30);
    // Only the first candidate, taken before any test.
    RandSeed = 2024;
    const i32 r1 = RandomRange(1, 101);
    EXPECT_FLOAT_EQ(q.Speed, 10 + r1 / 10.0f) << mode;
  }
}

TEST_F(FindKickTest, KickAtGoal) {
  Form1.Memo2.Clear();
  // From 25 m out in front of the posts: clears the bar on the first try.
  ExpectLaunch(Kick(kKickModeAtGoal, false, false, 0, 25, 25, 25, 35, 35, 90, 90), 25, 35, 90, 0);
  EXPECT_EQ(RandSeed, SeedAfter(2024, 3));
  EXPECT_EQ(Form1.Memo2.Count(), 0u);

  // Too weak to reach: every try fails, the first candidate stays and the run log says so.
  RandSeed = 2024;
  ExpectLaunch(Kick(kKickModeAtGoal, false, false, 0, 0, 10, 10, 35, 35, 90, 90), 10, 35, 90, 0);
  EXPECT_EQ(RandSeed, SeedAfter(2024, 25 * 3));
  ASSERT_EQ(Form1.Memo2.Count(), 2u);
  EXPECT_EQ(Form1.Memo2.Lines[0], "NO SUITABLE KICK FOUND AT 12.5");
  EXPECT_EQ(Form1.Memo2.Lines[1], "MAX LAUNCH SPEED 10");

  // Wide of the posts: no candidate is taken.
  Form1.Memo2.Clear();
  RandSeed = 2024;
  ExpectLaunch(Kick(kKickModeAtGoal, false, false, 15, 25, 25, 25, 35, 35, 90, 90), 25, 35, 90, 0);
  EXPECT_EQ(Form1.Memo2.Count(), 2u);
  Form1.Memo2.Clear();
}

TEST_F(FindKickTest, GoalKickInsideTheNearMarginReplacesTheBestButSearchesOn) {
  // From 25 m out at 25 m/s and 35 degrees, all well over the bar: headings
  // 80, 82.5 and 85 pass outside the posts, 87.5 crosses 2.3 m off centre
  // (inside by the 0.2 m margin only), 90 crosses 1.2 m off centre.
  Form1.Memo2.Clear();
  ExpectLaunch(Kick(kKickModeAtGoal, true, false, 0, 25, 25, 25, 35, 35, 80, 95, 0, 0, 7), 25, 35, 90, 0);
  EXPECT_EQ(RandSeed, SeedAfter(2024, 5 * 3));
  EXPECT_EQ(Form1.Memo2.Count(), 0u);
  // Without the heading of 90 the near one is the answer, and the run log reports.
  RandSeed = 2024;
  ExpectLaunch(Kick(kKickModeAtGoal, true, false, 0, 25, 25, 25, 35, 35, 80, 87.5f, 0, 0, 4), 25, 35, 87.5f, 0);
  EXPECT_EQ(RandSeed, SeedAfter(2024, 4 * 3));
  EXPECT_EQ(Form1.Memo2.Count(), 2u);
  Form1.Memo2.Clear();
}

TEST_F(FindKickTest, FindTouchTakesOnlyBallsThatGoOutShortOfTheTryLine) {
  // From (20, 30): straight ahead lands beyond z = 50 in the field (refused),
  // heading 170 goes into touch at x = 35 near z = 33 (taken).
  ExpectLaunch(Kick(kKickModeFindTouch, true, false, 20, 30, 25, 25, 30, 30, 90, 170, 0, 0, 2), 25, 30, 170, 0);
  // From (0, 0) headings 60, 90 and 120 all land in the field short of z = 50,
  // near x = -18.7, -2.0 and 15.1: the nearest to the target x wins.
  struct Case {
    f32 targetX, heading;
  };
  for (const Case c : {Case{-30, 60}, Case{0, 90}, Case{14, 120}}) {
    RandSeed = 2024;
    ExpectLaunch(Kick(kKickModeFindTouch, true, false, 0, 0, 25, 25, 30, 30, 60, 120, c.targetX, 0, 3), 25, 30,
                 c.heading, 0);
  }
}

#include "core/Interception.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <cstring>
#include <numbers>

#include "core/Geometry.h"

TEST(InterceptPoint, StandingAndReachedTargets) {
  // Standing target: its own position.
  TVector2 p = InterceptPoint(45, 3, 4, 0, 0, 0, -10, -10, 5, 0, 0, 70, kFalse32, kFalse32, kFalse32);
  EXPECT_FLOAT_EQ(p.x, 3);
  EXPECT_FLOAT_EQ(p.z, 4);
  // Chaser already on a running target: t is 0.
  p = InterceptPoint(90, 3, 4, 6, 0, 0, 3, 4, 5, 0, 0, 70, kFalse32, kFalse32, kFalse32);
  EXPECT_FLOAT_EQ(p.x, 3);
  EXPECT_FLOAT_EQ(p.z, 4);
}

TEST(InterceptPoint, MeetingPoints) {
  struct Case {
    const char* what;
    f32 targetZ, targetHeading, targetSpeed, targetAccel, targetMax;
    f32 chaserSpeed, chaserAccel, chaserMax;
    bool32 targetAcc, chaserAcc;
    f32 expectedZ;
  };
  // Target on the z axis at targetZ, chaser at the origin.
  const Case cases[] = {
      {"head on: closing at 5 m/s, 2 s", 10, 270, 2, 0, 0, 3, 0, 0, kFalse32, kFalse32, 6},
      // Closing speed 0.1 m/s (chaser given 5.1): t = 100; the chaser at 3 m/s
      // needs 170 s to that point, so it moves on to 10 + 5 x 170.
      {"running away from a slower chaser", 10, 90, 5, 0, 0, 3, 0, 0, kFalse32, kFalse32, 860},
      // vT averages to 3.5 over t = 2.5, but the closing speed keeps the
      // start speed 1; the chaser's 3.75 s moves the point on.
      {"accelerating target", 10, 90, 1, 2, 8, 5, 0, 0, kTrue32, kFalse32, 23.125f},
      // A standing chaser runs at 0.1 m/s and falls far behind ...
      {"standing chaser", 10, 270, 2, 0, 0, 0, 0, 0, kFalse32, kFalse32, static_cast<f32>(10 - 2 * (5.122 / 0.1))},
      // ... unless he accelerates (average 4 m/s): the first meeting point holds.
      {"accelerating chaser", 10, 270, 2, 0, 0, 0, 4, 8, kFalse32, kTrue32, static_cast<f32>(10 - 2 * 10 / 4.1)},
  };
  for (const Case& c : cases) {
    const TVector2 p = InterceptPoint(c.targetHeading, 0, c.targetZ, c.targetSpeed, c.targetAccel, c.targetMax, 0, 0,
                                      c.chaserSpeed, c.chaserAccel, c.chaserMax, 70, c.targetAcc, c.chaserAcc, kFalse32);
    EXPECT_NEAR(p.x, 0, 1e-3f) << c.what;
    EXPECT_NEAR(p.z, c.expectedZ, 0.02f) << c.what;
  }
}

TEST(InterceptPoint, KeepInFieldPullsThePointInsideTheTouchline) {
  // Target running towards +x near the right touchline, chaser 0.5 m inside it.
  TVector2 p = InterceptPoint(180, 33, 0, 5, 0, 0, 34.5f, 3, 6, 0, 0, 70, kFalse32, kFalse32, kTrue32);
  EXPECT_FLOAT_EQ(p.x, 34.5f);
  p = InterceptPoint(180, 33, 0, 5, 0, 0, 34.5f, 3, 6, 0, 0, 70, kFalse32, kFalse32, kFalse32);
  EXPECT_GT(p.x, 35.0f);
  // Mirrored on the left.
  p = InterceptPoint(0, -33, 0, 5, 0, 0, -34.5f, 3, 6, 0, 0, 70, kFalse32, kFalse32, kTrue32);
  EXPECT_FLOAT_EQ(p.x, -34.5f);
  // A chaser well inside is not pulled.
  p = InterceptPoint(180, 33, 0, 5, 0, 0, 20, 3, 6, 0, 0, 70, kFalse32, kFalse32, kTrue32);
  EXPECT_GT(p.x, 35.0f);
}
// Asked for headings in turn, some repeated and some after another: each
// point lies along its own heading from the target, and a heading asked again
// gets the same point bit for bit (the last heading's direction is kept).
TEST(InterceptPoint, EachHeadingMeetsAlongItsOwnDirection) {
  const f32 headings[] = {0, 45, 45, 90, 135, 45, 180, 270, 270, 0, 135};
  TVector2 first[360];
  bool seen[360] = {};
  for (f32 h : headings) {
    const TVector2 p = InterceptPoint(h, 0, 0, 5, 0, 0, 10, -10, 8, 0, 0, 70, kFalse32, kFalse32, kFalse32);
    const TVector2 u = HeadingVector(h);
    EXPECT_NEAR(p.x * u.z - p.z * u.x, 0.0f, 1e-3f) << h;
    EXPECT_GT(p.x * u.x + p.z * u.z, 0.0f) << h;
    const int k = static_cast<int>(h);
    if (seen[k]) {
      EXPECT_EQ(std::memcmp(&p, &first[k], sizeof p), 0) << h;
    }
    first[k] = p;
    seen[k] = true;
  }
}

namespace {

// The chase reads the touchlines from the match world.
class SimulateChaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = World.PitchWidth;
    World.PitchWidth = 70;
  }
  void TearDown() override { World.PitchWidth = saved_; }
  f32 saved_ = 0;
};

TChaseResult Chase(f32 carrierX, f32 carrierZ, f32 heading, f32 speed, f32 accel, f32 capA, f32 capB, f32 chaserX,
                   f32 chaserZ, f32 chaserSpeed, f32 chaserAccel, f32 topA, f32 topB, f32 maxTime, f32 step, f32 reach,
                   bool32 touchCheck) {
  return SimulateChase(carrierX, carrierZ, heading, speed, accel, capA, capB, chaserX, chaserZ, chaserSpeed, chaserAccel,
                       topA, topB, maxTime, step, reach, 0.4f, touchCheck, 77);
}

}  // namespace

TEST_F(SimulateChaseTest, CaughtAtOnceWithinReach) {
  const TChaseResult r = Chase(0, 1, 90, 5, 0, 8, 8, 0, 0, 0, 0, 5, 5, 1, 0.1f, 1.5f, kTrue32);
  EXPECT_EQ(r.Caught, kTrue32);
  EXPECT_EQ(r.Escaped, kFalse32);
  EXPECT_EQ(r.Time, 0);
  EXPECT_EQ(r.ChaserX, 0);
  EXPECT_EQ(r.ChaserZ, 0);
  EXPECT_EQ(r.CarrierZ, 1);
  EXPECT_EQ(r.ChaserHeading, 90);
  EXPECT_EQ(r.Id, 77);
}

TEST_F(SimulateChaseTest, CaughtWhenTheRunCoversTheGap) {
  // Standing carrier 10 m away, reach 1: a 5 m/s chaser covers the 9 m at t = 2.
  const TChaseResult r = Chase(0, 10, 90, 0, 0, 8, 8, 0, 0, 5, 0, 5, 5, 5, 0.25f, 1, kTrue32);
  EXPECT_EQ(r.Caught, kTrue32);
  EXPECT_EQ(r.Time, 2.0f);
  EXPECT_NEAR(r.ChaserX, 0, 1e-5f);
  EXPECT_FLOAT_EQ(r.ChaserZ, 9);
  EXPECT_EQ(r.ChaserHeading, 90);
}

TEST_F(SimulateChaseTest, EscapeOverTheTouchlineOnlyWithTouchCheck) {
  // Carrier running at +x from x = 30 at 5 m/s; chaser far behind.
  TChaseResult r = Chase(30, 0, 180, 5, 0, 8, 8, 0, -50, 1, 0, 1, 1, 2, 0.25f, 1, kTrue32);
  EXPECT_EQ(r.Escaped, kTrue32);
  EXPECT_EQ(r.Caught, kFalse32);
  EXPECT_EQ(r.Time, 1.0f);
  EXPECT_FLOAT_EQ(r.CarrierX, 35);

  r = Chase(30, 0, 180, 5, 0, 8, 8, 0, -50, 1, 0, 1, 1, 2, 0.25f, 1, kFalse32);
  EXPECT_EQ(r.Escaped, kFalse32);
  EXPECT_EQ(r.Caught, kFalse32);
  EXPECT_GT(r.Time, 2.0f);  // ran out of time
}

TEST_F(SimulateChaseTest, SpeedCapsAndTheChasersAccelerationPhase) {
  // Carrier accelerating at 10 m/s^2 under caps 3 and 4: speeds 2.5, 3, 3, 3.
  TChaseResult r = Chase(0, 0, 90, 0, 10, 4, 3, 0, -100, 0, 0, 1, 1, 0.9f, 0.25f, 1, kFalse32);
  EXPECT_EQ(r.Time, 1.0f);
  EXPECT_FLOAT_EQ(r.CarrierZ, 0.25f * (2.5f + 3 + 3 + 3));

  // Chaser from rest at 2 m/s^2 up to the smaller top 4 (tA = 2 s), then at
  // 4 m/s: at t = 3.5 he has run 4 + 1.5 x 4 = 10 m.
  r = Chase(0, 100, 90, 0, 0, 8, 8, 0, 0, 0, 2, 6, 4, 3, 0.5f, 0, kFalse32);
  EXPECT_EQ(r.Caught, kFalse32);
  EXPECT_EQ(r.Time, 3.5f);
  EXPECT_FLOAT_EQ(r.ChaserZ, 10);
}

TEST_F(SimulateChaseTest, NonPositiveStepEndsAtOnce) {
  const TChaseResult r = Chase(0, 10, 90, 5, 0, 8, 8, 0, 0, 5, 0, 5, 5, 5, 0, 1, kTrue32);
  EXPECT_EQ(r.Caught, kFalse32);
  EXPECT_EQ(r.Escaped, kFalse32);
  EXPECT_EQ(r.CarrierZ, 10);
}

namespace {

TCatchResult Catch(f32 vx, f32 vy, f32 vz, f32 bx, f32 by, f32 bz, f32 px, f32 pz, f32 speed, f32 accel, f32 heading,
                   bool32 useAccel, bool32 useTurn) {
  return BallCatchPoint(vx, vy, vz, bx, by, bz, px, pz, speed, accel, 8, 5, 0.25f, 1, 2.5f, heading, -2, useAccel,
                        useTurn);
}

}  // namespace

TEST(BallCatchPoint, BallThatStaysHighIsNotFound) {
  // Thrown up hard: still above catch height at MaxTime 5 (y = 5 + 30t - 4.905t^2).
  const TCatchResult r = Catch(1, 30, 0, 0, 5, 0, 0, 0, 5, 2, 90, kFalse32, kFalse32);
  EXPECT_EQ(r.Found, kFalse32);
  EXPECT_FLOAT_EQ(r.x, 5.0f);  // the last point looked at: t = MaxTime
}

TEST(BallCatchPoint, FirstReachablePointOnTheGrid) {
  // A ball dropping at the player's feet: reachable once below 2.5 m (t > 0.32).
  TCatchResult r = Catch(0, 0, 0, 0, 3, 5, 0, 5, 5, 2, 90, kFalse32, kFalse32);
  EXPECT_EQ(r.Found, kTrue32);
  EXPECT_EQ(r.z, 5);
  // Rolling away at 2 m/s from 10 m: a 5 m/s player catches it; at 9 m/s an
  // accelerating player (top 8) does not.
  r = Catch(0, 0, 2, 0, 0.1f, 10, 0, 0, 5, 2, 90, kFalse32, kFalse32);
  EXPECT_EQ(r.Found, kTrue32);
  EXPECT_FLOAT_EQ(r.z, 10 + 2 * 3.0f);  // (10 + 2t - 1) / 5 <= t first at t = 3
  r = Catch(0, 0, 9, 0, 0.1f, 10, 0, 0, 0, 2, 90, kTrue32, kFalse32);
  EXPECT_EQ(r.Found, kFalse32);
}

TEST(BallCatchPoint, TurnCostsSpeed) {
  // Facing away (270) from a ball 4 m ahead (+z): a 180-degree turn leaves no
  // speed at all, so the ball is never reached; facing it, at once.
  TCatchResult r = Catch(0, 0, 0, 0, 0.1f, 4, 0, 0, 5, 2, 270, kFalse32, kTrue32);
  EXPECT_EQ(r.Found, kFalse32);
  r = Catch(0, 0, 0, 0, 0.1f, 4, 0, 0, 5, 2, 90, kFalse32, kTrue32);
  EXPECT_EQ(r.Found, kTrue32);
}

TEST(BallCatchPoint, StandingPlayerNeverDividesByZero) {
  std::feclearexcept(FE_ALL_EXCEPT);
  TCatchResult r = Catch(0, 0, 0, 0, 0.1f, 10, 0, 0, 0, 2, 90, kFalse32, kFalse32);
  EXPECT_EQ(r.Found, kFalse32);  // out of reach
  r = Catch(0, 0, 0, 0, 0.1f, 1, 0, 0, 0, 2, 90, kFalse32, kFalse32);
  EXPECT_EQ(r.Found, kTrue32);   // exactly within reach (d = 0)
  EXPECT_EQ(std::fetestexcept(FE_INVALID | FE_DIVBYZERO), 0);
}

TEST(BallCatchPoint, NonPositiveStepReturnsTheStartPoint) {
  const TCatchResult r = BallCatchPoint(1, 0, 1, 3, 0.1f, 4, 3, 4, 5, 2, 8, 5, 0, 1, 2.5f, 90, -2, kFalse32, kFalse32);
  EXPECT_EQ(r.Found, kFalse32);
  EXPECT_EQ(r.x, 3);
  EXPECT_EQ(r.z, 4);
}

namespace {

TThrowTargetTable& FreshTable() {
  static TThrowTargetTable t;
  std::memset(&t, 0, sizeof t);
  t.Chosen = 5;
  t.BestRiskScore = 2.5f;
  for (TThrowTarget& e : t.Entries) e.Valid = kTrue32;  // stale from an earlier pass
  return t;
}

int ValidCount(const TThrowTargetTable& t) {
  int n = 0;
  for (const TThrowTarget& e : t.Entries) n += e.Valid != 0;
  return n;
}

}  // namespace

TEST(ThrowTargetsAlongRun, KeepsTheThrowsWithinTheLaunchSpeed) {
  // Runner at the origin at top speed 8 along +z; thrower 5 m behind. Targets
  // at 5, 10, 15, 20 m need about 16.3, 13.5, 14.0, 15.8 m/s.
  TThrowTargetTable& t = FreshTable();
  ThrowTargetsAlongRun(0, 0, 1, 8, 2, 8, 90, 0, -5, 1, 14.5f, 20, 4, t);
  EXPECT_EQ(ValidCount(t), 2);
  EXPECT_NEAR(t.Entries[1].z, 10, 1e-5f);
  EXPECT_FLOAT_EQ(t.Entries[1].Time, 1.25f);
  EXPECT_FLOAT_EQ(t.Entries[1].vz, 12);
  EXPECT_FLOAT_EQ(t.Entries[1].vy, 4.905f * 1.25f);
  EXPECT_EQ(t.Entries[1].y, 1);
  EXPECT_NEAR(t.Entries[2].z, 15, 1e-5f);
  EXPECT_EQ(t.Entries[3].Valid, kFalse32);
  EXPECT_EQ(t.Chosen, 5);  // the head is the caller's
  EXPECT_EQ(t.BestRiskScore, 2.5f);

  ThrowTargetsAlongRun(0, 0, 1, 8, 2, 8, 90, 0, -5, 1, 0, 20, 4, t);
  EXPECT_EQ(ValidCount(t), 0);

  // A receiver whose run speed is 0 reaches no point (and nothing divides by 0).
  std::feclearexcept(FE_ALL_EXCEPT);
  ThrowTargetsAlongRun(0, 0, 1, 0, 2, 0, 90, 0, -5, 1, 30, 20, 4, t);
  EXPECT_EQ(ValidCount(t), 0);
  EXPECT_EQ(std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW), 0);
}

TEST(ThrowTargetsAlongRun, CountsOutsideTheTableWriteNothingOutsideIt) {
  TThrowTargetTable& t = FreshTable();
  std::feclearexcept(FE_ALL_EXCEPT);
  ThrowTargetsAlongRun(0, 0, 1, 8, 2, 8, 90, 0, -5, 1, 100, 20, 0, t);
  EXPECT_EQ(ValidCount(t), 0);
  EXPECT_EQ(std::fetestexcept(FE_INVALID | FE_DIVBYZERO), 0);

  // 150 points over 30 m: the first 100 fill the table, spaced 0.2 m.
  ThrowTargetsAlongRun(0, 0, 1, 8, 2, 8, 90, 0, -5, 1, 1000, 30, 150, t);
  EXPECT_EQ(ValidCount(t), 100);
  EXPECT_NEAR(t.Entries[1].z, 0.2f, 1e-5f);
  EXPECT_NEAR(t.Entries[100].z, 20.0f, 1e-4f);
}

TEST(CombineMomentum, Cases) {
  struct Case {
    f32 m1, s1, h1, m2, s2, h2, speed, heading;
  };
  const Case cases[] = {
      {80, 5, 90, 20, 5, 90, 5, 90},
      {3, 2, 0, 1, 2, 180, 1, 0},                            // mass-weighted
      {80, 0, 0, 80, 0, 90, static_cast<f32>(std::sqrt(0.5)), 45},  // standing: both taken as 1
  };
  for (const Case& c : cases) {
    const TSpeedHeading r = CombineMomentum(c.m1, c.s1, c.h1, c.m2, c.s2, c.h2);
    EXPECT_NEAR(r.Speed, c.speed, 1e-5f);
    EXPECT_NEAR(r.Heading, c.heading, 1e-4f);
  }
  // Equal and opposite: speed 0 up to rounding, heading 90.
  const TSpeedHeading r = CombineMomentum(90, 6, 0, 90, 6, 180);
  EXPECT_NEAR(r.Speed, 0, 1e-5f);
  EXPECT_NEAR(r.Heading, 90, 1e-4f);
}

TEST(ResolveCollision, EqualMassesHandOverTheMotion) {
  // Body 1 running along +z at 5 m/s into body 2 standing straight ahead.
  const TCollisionResult r =
      ResolveCollision({0, -0.2f}, {0, 0}, 5, 90, 0, 0, {0, 1}, {0, 1}, 0, 90, 1, kTrue32, kFalse32);
  EXPECT_NEAR(r.Body1.Speed, 0, 1e-5f);
  EXPECT_FLOAT_EQ(r.Body2.Speed, 5);
  EXPECT_NEAR(r.Body2.Heading, 90, 1e-4f);
}

TEST(ResolveCollision, HeadingsAreTurnedBackAndNotNormalised) {
  // The same along heading 300: body 2 leaves along 300 (r = -120).
  const double h = 300 * std::numbers::pi / 180;
  const f32 ux = static_cast<f32>(-std::cos(h)), uz = static_cast<f32>(std::sin(h));
  const TCollisionResult r = ResolveCollision({-ux, -uz}, {0, 0}, 5, 90, 0, 0, {ux, uz}, {ux, uz}, 0, 90, 1,
                                              kTrue32, kFalse32);
  EXPECT_NEAR(r.Body2.Heading, 300, 1e-3f);
  EXPECT_FLOAT_EQ(r.Body2.Speed, 5);
}

TEST(ResolveCollision, ImpulseAndInelasticContact) {
  // Restitution 0, equal masses 100: both would move on at 2.5; the impulse
  // 200 x 1 moves 2 m/s from body 1 to body 2.
  const TCollisionResult r =
      ResolveCollision({0, -0.2f}, {0, 0}, 5, 100, 200, 1, {0, 1}, {0, 1}, 0, 100, 0, kTrue32, kTrue32);
  EXPECT_NEAR(r.Body1.Speed, 0.5f, 1e-5f);
  EXPECT_NEAR(r.Body2.Speed, 4.5f, 1e-5f);
}

TEST(ResolveCollision, OnlyBodyTwoMoving) {
  // Body 1 stops; body 2 rebounds back along its path with e x S2 + I / M2.
  const TCollisionResult r =
      ResolveCollision({1, 0}, {2, 0}, 3, 80, 40, 2, {0, 5}, {0, 4}, 6, 100, 0.5f, kFalse32, kTrue32);
  EXPECT_EQ(r.Body1.Speed, 0);
  EXPECT_EQ(r.Body1.Heading, 180);  // from P1Old to P1
  EXPECT_FLOAT_EQ(r.Body2.Speed, 3 + 0.8f);
  EXPECT_EQ(r.Body2.Heading, 90);  // from P2 back to P2Old
  const TCollisionResult still =
      ResolveCollision({2, 0}, {2, 0}, 0, 80, 0, 0, {0, 4}, {0, 4}, 0, 100, 0.5f, kFalse32, kFalse32);
  EXPECT_EQ(still.Body1.Heading, 90);   // coincident: the defaults
  EXPECT_EQ(still.Body2.Heading, 180);
}

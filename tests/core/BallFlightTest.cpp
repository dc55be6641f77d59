#include "core/BallFlight.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <cstring>

#include "core/FloatFlags.h"

namespace {

constexpr f32 kPitchWidth = 70.0f;
constexpr double kGroundHeight = 0.5 * 0.29f;

// A flight with every argument but the launch as the callers pass them.
struct TFlightArgs {
  f32 TimeStep = 0.02f, Speed = 20.0f, Elevation = 30.0f, Heading = 90.0f;
  f32 X = 0.0f, Y = 0.5f, Z = 0.0f;
  f32 DragCoefficient = 0.2f, DragMode = 1.0f, WindSpeed = 0.0f, WindHeading = 0.0f;
  f32 LiftCoefficient = 0.0f, SpinMode = 0.0f, SpinRate = 0.0f, SpinAxisAngle = 0.0f;
};

void Fly(TBallFlight& F, const TFlightArgs& a) {
  SimulateBallFlight(F, a.TimeStep, a.Speed, a.Elevation, a.Heading, a.X, a.Y, a.Z, 0.43f, 0.029f,
                     0.29f, 0.0f, 25.0f, a.DragCoefficient, a.DragMode, a.WindSpeed, a.WindHeading,
                     a.LiftCoefficient, a.SpinMode, a.SpinRate, a.SpinAxisAngle, kPitchWidth);
}

bool SameTables(const TBallFlight& A, const TBallFlight& B) {
  return std::memcmp(&A.Pos, &B.Pos, sizeof A.Pos) == 0 &&
         std::memcmp(&A.Vel, &B.Vel, sizeof A.Vel) == 0 && A.LandingStep == B.LandingStep;
}

// The ball lies still after its landing step while the clock runs on.
void ExpectRestAfterLanding(const TBallFlight& F, f32 dt) {
  const int n = F.StepCount;
  for (int j = n + 1; j <= kFlightSteps; ++j) {
    ASSERT_EQ(std::memcmp(&F.Pos[j], &F.Pos[n], sizeof(TVector3)), 0) << j;
    ASSERT_EQ(std::memcmp(&F.Vel[j], &F.Vel[n], sizeof(TVector3)), 0) << j;
    ASSERT_EQ(F.Speed[j], F.Speed[n]) << j;
    ASSERT_EQ(F.Time[j], static_cast<f32>(F.Time[j - 1] + double(dt))) << j;
  }
}

}  // namespace

TEST(BallFlight, StraightUpComesDownWhereLaunched) {
  static TBallFlight F;
  std::feclearexcept(FE_ALL_EXCEPT);
  SimulateLooseBallFlight(F, 15.0f, 90.0f, 37.0f, 3.0f, 0.5f, -7.0f, kPitchWidth);
  EXPECT_FALSE(FloatErrorRaised());
  const int n = F.LandingStep;
  ASSERT_GT(n, 2);
  EXPECT_EQ(F.StepCount, n);
  EXPECT_EQ(F.Pos[n].x, 3.0f);
  EXPECT_EQ(F.Pos[n].z, -7.0f);
  // It lands the first time its height falls to the ball's radius on the way down.
  EXPECT_LE(F.Pos[n].y, kGroundHeight);
  EXPECT_GT(F.Pos[n - 1].y, kGroundHeight);
  for (int i = 2; i < n; ++i) ASSERT_GT(F.Pos[i].y, kGroundHeight) << i;
  // Drops through both catching heights on the way down, 2.2 m first.
  ASSERT_GT(F.Drop22Step, 0);
  EXPECT_GT(F.Pos[F.Drop22Step - 1].y, 2.2);
  EXPECT_LE(F.Pos[F.Drop22Step].y, 2.2);
  EXPECT_GT(F.Drop145Step, F.Drop22Step);
  EXPECT_LE(F.Drop145Step, n);
  EXPECT_EQ(F.FirstDropStep, F.Drop22Step);
  EXPECT_EQ(F.NoDrop, kFalse32);
  EXPECT_EQ(F.WideStep, 0);
  EXPECT_EQ(F.Time[1], 0.0f);
  EXPECT_EQ(F.Speed[1], 15.0f);
  ExpectRestAfterLanding(F, 0.02f);
}

TEST(BallFlight, BallLaunchedDownwardsLandsAsSoonAsItIsLow) {
  struct Case {
    f32 y, elevation;
    int landing;  // 0: only check that it lands on first reaching the radius
  };
  const Case cases[] = {{0.1f, -10.0f, 2}, {0.145f, -5.0f, 2}, {3.0f, -20.0f, 0}, {1.2f, -60.0f, 0}};
  static TBallFlight F;
  for (const Case& c : cases) {
    SimulateKickFlight(F, 5.0f, c.elevation, 90.0f, 0.0f, c.y, 0.0f, kPitchWidth);
    const int n = F.LandingStep;
    ASSERT_GE(n, 2) << c.y;
    if (c.landing != 0) {
      EXPECT_EQ(n, c.landing) << c.y;
    }
    EXPECT_TRUE(F.Pos[n].y <= kGroundHeight) << c.y;
    if (n > 2) {
      EXPECT_GT(F.Pos[n - 1].y, kGroundHeight) << c.y;
    }
    // A launch from 3 m drops through both heights before landing; from 1.2 m through neither.
    EXPECT_EQ(F.NoDrop, Flag(c.y < 1.45f)) << c.y;
    ExpectRestAfterLanding(F, 0.015f);
  }
}

TEST(BallFlight, FinalHeightIsRaisedToOneCentimetre) {
  static TBallFlight F;
  SimulateLooseBallFlight(F, 5.0f, -45.0f, 90.0f, 1.0f, 0.012f, 2.0f, kPitchWidth);
  ASSERT_EQ(F.LandingStep, 2);
  EXPECT_EQ(F.Pos[2].y, 0.01f);
  EXPECT_EQ(F.Pos[2].x, 1.0f);
  EXPECT_GT(F.Pos[2].z, 2.0f);
  EXPECT_EQ(F.Pos[1000].y, 0.01f);
  EXPECT_EQ(F.FirstDropStep, 2);
  EXPECT_EQ(F.NoDrop, kTrue32);
}

TEST(BallFlight, KickCurvesWithSpinLooseBallStaysInItsPlane) {
  static TBallFlight Kick, Reverse, Loose;
  TFlightArgs a;
  a.TimeStep = 0.015f;
  a.Speed = 25.0f;
  a.WindHeading = 180.0f;
  a.LiftCoefficient = 0.5f;
  a.SpinMode = 1.0f;
  a.SpinRate = 0.2f;
  a.SpinAxisAngle = 180.0f;
  Fly(Kick, a);
  a.SpinAxisAngle = 0.0f;
  Fly(Reverse, a);
  SimulateLooseBallFlight(Loose, 25.0f, 30.0f, 90.0f, 0.0f, 0.5f, 0.0f, kPitchWidth);

  for (const TBallFlight* F : {&Kick, &Reverse, &Loose}) {
    ASSERT_GT(F->LandingStep, 0);
    EXPECT_GT(F->Pos[F->LandingStep].z, 20.0f);
  }
  const f32 side = Kick.Pos[Kick.LandingStep].x;
  EXPECT_GT(std::fabs(side), 1.0f);
  // The opposite spin axis curves it the other way by as much.
  EXPECT_NEAR(Reverse.Pos[Reverse.LandingStep].x, -side, 1e-3f);
  for (int i = 1; i <= Loose.LandingStep; ++i) ASSERT_NEAR(Loose.Pos[i].x, 0.0f, 1e-6f) << i;
  // SimulateKickFlight passes the kick constants.
  static TBallFlight Same;
  SimulateKickFlight(Same, 25.0f, 30.0f, 90.0f, 0.0f, 0.5f, 0.0f, kPitchWidth);
  EXPECT_TRUE(SameTables(Kick, Same));
}

TEST(BallFlight, DragCoefficientByReynoldsNumber) {
  EXPECT_EQ(BallDragCoefficient(0.0), 0.47);
  EXPECT_EQ(BallDragCoefficient(99999.0), 0.47);
  EXPECT_EQ(BallDragCoefficient(100000.0), 0.47);
  EXPECT_DOUBLE_EQ(BallDragCoefficient(117500.0), 0.345);
  EXPECT_DOUBLE_EQ(BallDragCoefficient(135000.0), 0.22);
  // Bit for bit as 0.47 - 0.25 x (Re - 100,000) / 35,000: (0.47 - 0.22) is not 0.25 in binary.
  for (double re : {100001.0, 110000.0, 128000.0, 135000.0})
    EXPECT_EQ(BallDragCoefficient(re), 0.47 - 0.25 * (re - 100000.0) / 35000.0) << re;
  EXPECT_EQ(BallDragCoefficient(135000.001), 0.22);
  EXPECT_EQ(BallDragCoefficient(1e7), 0.22);
}

TEST(BallFlight, DragModeOneFollowsTheReynoldsNumber) {
  static TBallFlight ByRe, Fixed;
  // 20 m/s stays below Re 100,000 (about 37.6 m/s) for the whole flight.
  TFlightArgs a;
  Fly(ByRe, a);
  a.DragMode = 0.0f;
  a.DragCoefficient = 0.47f;
  Fly(Fixed, a);
  EXPECT_TRUE(SameTables(ByRe, Fixed));
  a.DragCoefficient = 0.2f;
  Fly(Fixed, a);
  EXPECT_FALSE(SameTables(ByRe, Fixed));
  // Any other mode keeps the given coefficient.
  a.DragMode = 2.0f;
  static TBallFlight Other;
  Fly(Other, a);
  EXPECT_TRUE(SameTables(Other, Fixed));

  // At 60 m/s (Re about 160,000) the first step uses 0.22.
  a.Speed = 60.0f;
  a.DragMode = 1.0f;
  Fly(ByRe, a);
  a.DragMode = 0.0f;
  a.DragCoefficient = 0.22f;
  Fly(Fixed, a);
  EXPECT_EQ(std::memcmp(&ByRe.Vel[2], &Fixed.Vel[2], sizeof(TVector3)), 0);
  a.DragCoefficient = 0.47f;
  Fly(Fixed, a);
  EXPECT_NE(std::memcmp(&ByRe.Vel[2], &Fixed.Vel[2], sizeof(TVector3)), 0);
}

TEST(BallFlight, WindBlowsTheBallDownwind) {
  static TBallFlight Calm, Windy;
  TFlightArgs a;
  Fly(Calm, a);
  a.WindSpeed = 10.0f;
  a.WindHeading = 180.0f;  // towards +x
  Fly(Windy, a);
  ASSERT_GT(Windy.LandingStep, 0);
  EXPECT_GT(Windy.Pos[Windy.LandingStep].x, Calm.Pos[Calm.LandingStep].x + 0.5f);
}

TEST(BallFlight, ZeroSpeedIsNoDragAndNoLift) {
  static TBallFlight F;
  std::feclearexcept(FE_ALL_EXCEPT);
  SimulateKickFlight(F, 0.0f, 20.0f, 90.0f, 4.0f, 2.0f, 5.0f, kPitchWidth);
  EXPECT_FALSE(FloatErrorRaised());
  EXPECT_GT(F.LandingStep, 0);
  // The first step of a ball at rest has gravity in it and nothing else.
  EXPECT_EQ(F.Vel[2].x, 0.0f);
  EXPECT_EQ(F.Vel[2].y, static_cast<f32>(double(0.015f) * -9.81));
  EXPECT_EQ(F.Vel[2].z, 0.0f);

  std::feclearexcept(FE_ALL_EXCEPT);
  SimulateLooseBallFlight(F, 0.0f, 0.0f, 0.0f, 4.0f, 2.0f, 5.0f, kPitchWidth);
  EXPECT_FALSE(FloatErrorRaised());
  ASSERT_GT(F.LandingStep, 0);
  EXPECT_EQ(F.Pos[F.LandingStep].x, 4.0f);
  EXPECT_EQ(F.Pos[F.LandingStep].z, 5.0f);
}

TEST(BallFlight, WideStepIsNeverTheLandingStep) {
  static TBallFlight F;
  // Launched beyond the touch line, low and downwards: lands at step 2.
  SimulateLooseBallFlight(F, 5.0f, -10.0f, 90.0f, 40.0f, 0.1f, 0.0f, kPitchWidth);
  EXPECT_EQ(F.LandingStep, 2);
  EXPECT_EQ(F.WideStep, 0);
  // The same point, upwards: wide from step 2.
  SimulateLooseBallFlight(F, 5.0f, 45.0f, 90.0f, 40.0f, 0.5f, 0.0f, kPitchWidth);
  EXPECT_GT(F.LandingStep, 2);
  EXPECT_EQ(F.WideStep, 2);
  // Kicked out over the far touch line (x = -35): the first step at or beyond it.
  SimulateKickFlight(F, 25.0f, 30.0f, 0.0f, -20.0f, 0.5f, 0.0f, kPitchWidth);
  ASSERT_GT(F.WideStep, 1);
  EXPECT_LE(F.Pos[F.WideStep].x, -35.0f);
  EXPECT_GT(F.Pos[F.WideStep - 1].x, -35.0f);
  EXPECT_LT(F.WideStep, F.LandingStep);
}

TEST(BallFlight, BallThatNeverComesDownFillsTheWholeTable) {
  static TBallFlight F;
  SimulateLooseBallFlight(F, 10.0f, 10.0f, 90.0f, 0.0f, 1000.0f, 0.0f, kPitchWidth);
  EXPECT_EQ(F.LandingStep, 0);
  EXPECT_EQ(F.StepCount, 1000);
  EXPECT_EQ(F.FirstDropStep, 0);
  EXPECT_EQ(F.NoDrop, kTrue32);
  EXPECT_NEAR(F.Time[1000], 999 * 0.02, 1e-3);
  EXPECT_LT(F.Pos[1000].y, F.Pos[999].y);
}

TEST(BallFlight, StoredIntoTheWorldFieldForField) {
  static TBallFlight F;
  static TWorld W, Direct;
  std::memset(&W, 0, sizeof W);
  std::memset(&Direct, 0, sizeof Direct);
  SimulateKickFlight(F, 22.0f, 40.0f, 75.0f, -3.0f, 0.5f, -20.0f, kPitchWidth);
  StoreBallFlight(W, F);
  // Integrated straight into the world, the same table.
  SimulateBallFlight(Direct, 0.015f, 22.0f, 40.0f, 75.0f, -3.0f, 0.5f, -20.0f, 0.43f, 0.029f, 0.29f,
                     0.0f, 25.0f, 0.2f, 1.0f, 0.0f, 180.0f, 0.5f, 1.0f, 0.2f, 180.0f, kPitchWidth);
  EXPECT_EQ(std::memcmp(&W, &Direct, sizeof W), 0);
  EXPECT_EQ(std::memcmp(&W.FlightTimes, &F.Time, sizeof F.Time), 0);
  EXPECT_EQ(std::memcmp(&W.FlightPos, &F.Pos, sizeof F.Pos), 0);
  EXPECT_EQ(std::memcmp(&W.FlightVel, &F.Vel, sizeof F.Vel), 0);
  EXPECT_EQ(std::memcmp(&W.FlightSpeed, &F.Speed, sizeof F.Speed), 0);
  EXPECT_EQ(W.FlightSegments, F.StepCount);
  EXPECT_EQ(W.FlightDrop22Step, F.Drop22Step);
  EXPECT_EQ(W.FlightDrop145Step, F.Drop145Step);
  EXPECT_EQ(W.FlightLandingStep, F.LandingStep);
  EXPECT_EQ(W.FlightWideStep, F.WideStep);
  EXPECT_EQ(W.FlightFirstDropStep, F.FirstDropStep);
  EXPECT_EQ(W.FlightNoDrop, F.NoDrop);
  EXPECT_GT(W.FlightLandingStep, 0);
  EXPECT_GT(W.FlightDrop22Step, 0);
}

TEST(BallFlight, KickToLandingWritesTheSameStepsUpToTheLanding) {
  static TBallFlight Full, Short;
  std::memset(&Short, 0x7f, sizeof Short);
  SimulateKickFlight(Full, 26.0f, 35.0f, 100.0f, 2.0f, 0.5f, -30.0f, kPitchWidth);
  SimulateKickFlightToLanding(Short, 26.0f, 35.0f, 100.0f, 2.0f, 0.5f, -30.0f, kPitchWidth);
  const int n = Full.LandingStep;
  ASSERT_GT(n, 2);
  EXPECT_EQ(std::memcmp(&Full.Pos, &Short.Pos, n * sizeof(TVector3)), 0);
  EXPECT_EQ(std::memcmp(&Full.Vel, &Short.Vel, n * sizeof(TVector3)), 0);
  EXPECT_EQ(std::memcmp(&Full.Time, &Short.Time, n * sizeof(f32)), 0);
  EXPECT_EQ(std::memcmp(&Full.Speed, &Short.Speed, n * sizeof(f32)), 0);
  EXPECT_EQ(std::memcmp(&Full.StepCount, &Short.StepCount, 7 * sizeof(i32)), 0);
}

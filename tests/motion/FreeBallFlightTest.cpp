// Flights of a ball no one holds: the pass, the lineout throw and the free
// ball's table walk, landing, bounce and roll.
#include <gtest/gtest.h>

#include <cmath>

#include "MotionScene.h"
#include "core/DrawCount.h"
#include "motion/FreeBallFlight.h"

namespace {

class FreeBallFlightTest : public MotionSceneTest {
 protected:
  void SetUp() override {
    MotionSceneTest::SetUp();
    TWorld& W = MotionWorld;
    W.gamestate = gsFreeBall;
    W.Gravity = 9.81f;
    W.GroundFriction = 1.06f;
    for (int k = 1; k <= 10; ++k) W.MessageSlotFree[k] = kTrue32;
    for (int k = 1; k <= 3; ++k) SetDistribution(W.BounceErrors[k], k == 1 ? 0.6 : 0.0, 0.1, k == 1 ? 0.3 : -20.0, k == 1 ? 0.9 : 20.0);
  }
  // A three-step flight coming down at step 3 (t = 0.2 s) at x = X with
  // speed S and vertical velocity Vy; the ball at step 2, ClockAt into it.
  static void Landing(f32 S, f32 Vy, f32 ClockAt, f32 X = 0.0f) {
    TWorld& W = MotionWorld;
    W.FlightSegments = 3;
    for (int k = 1; k <= 3; ++k) {
      W.FlightTimes[k] = ToF32(0.1 * (k - 1));
      W.FlightPos[k] = {X, ToF32(1.0 - 0.45 * (k - 1)), ToF32(2.0 * (k - 1))};
      W.FlightVel[k] = {0.0f, Vy, S};
      W.FlightSpeed[k] = S;
    }
    W.FlightVel[3] = {0.0f, Vy, std::sqrt(std::max(0.0f, S * S - Vy * Vy))};
    W.BallPhase = 2;
    W.BallFlightClock = ClockAt;
    W.BallPos = W.FlightPos[2];
  }
  static int Fly() {
    TWorld& W = MotionWorld;
    W.PrevBallPos = W.BallPos;
    const u32 seed = RandSeed;
    RunStep(FlyFreeBall);
    return DrawsSince(seed);
  }
};

TEST_F(FreeBallFlightTest, ASlowFlatLandingRollsAndAnythingElseBounces) {
  struct Case {
    f32 s, vy;
    bool rolls;
  } cases[] = {{1.5f, -1.2f, true}, {1.51f, -1.2f, false}, {1.5f, -1.21f, false}, {1.0f, 0.0f, true}};
  for (const Case& c : cases) {
    SetUp();
    Landing(c.s, c.vy, 0.17f);
    const int draws = Fly();
    const TWorld& W = MotionWorld;
    EXPECT_EQ(W.LooseBallRolling != 0, c.rolls) << c.s << " " << c.vy;
    if (c.rolls) {
      EXPECT_EQ(draws, 0);
      EXPECT_EQ(W.LooseBallSpeed, c.s);
      EXPECT_EQ(W.LooseBallHeading, 90.0f) << "along +z";
      EXPECT_EQ(W.BallPos.y, 0.2f);
      EXPECT_NEAR(W.BallPos.z, 2.0 + c.s * 0.04, 1e-5) << "one roll from where the frame began";
    } else {
      EXPECT_GT(draws, 0);
      EXPECT_EQ(W.BallPhase, 1);
      EXPECT_EQ(W.BallFlightClock, 0.0f);
      EXPECT_EQ(W.FlightPos[1].z, 4.0f) << "a new flight from the landing point";
      EXPECT_EQ(W.BallBouncedInField, kTrue32);
    }
  }
}

TEST_F(FreeBallFlightTest, TheLandingTestLooksHalfAFrameAhead) {
  Landing(6.0f, -5.0f, 0.15f);  // 0.19 s: within half a frame of 0.2
  Fly();
  EXPECT_EQ(MotionWorld.BallPhase, 1) << "bounced";
  SetUp();
  Landing(6.0f, -5.0f, 0.13f);  // 0.17 s: not yet
  Fly();
  EXPECT_EQ(MotionWorld.BallPhase, 2);
  EXPECT_NEAR(MotionWorld.BallPos.z, 2.0 + 6.0 * 0.07, 1e-5);
}

TEST_F(FreeBallFlightTest, BounceMessageAndFlatBounceBySpeed) {
  struct Case {
    f32 s;
    bool message, flat;
  } cases[] = {{4.0f, false, false}, {4.01f, true, false}, {2.4f, false, true}, {2.41f, false, false}};
  for (const Case& c : cases) {
    SetUp();
    Landing(c.s, -2.0f, 0.17f);
    Fly();
    const TWorld& W = MotionWorld;
    EXPECT_EQ(W.MessageSlotFree[1] == 0, c.message) << c.s;
    if (c.message) {
      EXPECT_EQ(W.MessageQueue[1].message, msgBallBounce);
      EXPECT_EQ(W.MessageQueue[1].extravalue, c.s);
      EXPECT_EQ(W.MessageQueue[1].teamID, 0);
      EXPECT_EQ(W.MessageQueue[1].playerID, 0);
    }
    EXPECT_EQ(W.BounceErrors[2].mean == -10.0f && W.BounceErrors[2].max == -5.0f, c.flat) << c.s;
  }
  SetUp();
  for (int k = 1; k <= 10; ++k) MotionWorld.MessageSlotFree[k] = kFalse32;
  Landing(8.0f, -2.0f, 0.17f);
  Fly();
  EXPECT_EQ(MotionWorld.BallPhase, 1) << "with no free slot the ball still bounces";
}

TEST_F(FreeBallFlightTest, WhereItBouncedAndTheTransitionRule) {
  struct Case {
    TGameState state;
    f32 x;
    bool field, touch;
  } cases[] = {{gsFreeBall, 0.0f, true, false},
               {gsFreeBall, 35.5f, false, true},
               {gsTransition, 0.0f, false, false},
               {gsTransition, -36.0f, false, true}};
  for (const Case& c : cases) {
    SetUp();
    MotionWorld.gamestate = c.state;
    Landing(8.0f, -3.0f, 0.17f, c.x);
    Fly();
    EXPECT_EQ(MotionWorld.BallBouncedInField != 0, c.field) << c.state << " " << c.x;
    EXPECT_EQ(MotionWorld.KickTouchFlag1 != 0, c.touch) << c.state << " " << c.x;
  }
}

TEST_F(FreeBallFlightTest, ARollSlowsByFrictionAndStops) {
  TWorld& W = MotionWorld;
  W.LooseBallRolling = kTrue32;
  W.LooseBallSpeed = 1.0f;
  W.LooseBallHeading = 90.0f;  // along +z
  W.BallPos = {0.0f, 0.2f, 0.0f};
  Fly();
  EXPECT_NEAR(W.LooseBallSpeed, 1.0 - 9.81 * 1.06 / 25.0 * 0.04, 1e-6);
  int frames = 1;
  while (W.LooseBallSpeed > 0.0f && frames < 200) {
    Fly();
    ++frames;
  }
  EXPECT_GE(frames, 59);
  EXPECT_LE(frames, 61);
  EXPECT_EQ(W.BallSpinRate, 0.0f);
  EXPECT_NEAR(W.BallPitch, std::acos(0.0), 1e-6);
  EXPECT_GT(W.BallPos.z, 1.0f);
  EXPECT_EQ(W.LooseBallRolling, kTrue32) << "the free-ball step never clears the roll";
}

TEST_F(FreeBallFlightTest, TheWalkStopsAtTheLastStepOfTheFlight) {
  TWorld& W = MotionWorld;
  W.FlightSegments = 5;
  for (int k = 1; k <= 1000; ++k) {
    W.FlightTimes[k] = k <= 5 ? ToF32(0.01 * (k - 1)) : 0.0f;  // nothing valid beyond step 5
    W.FlightSpeed[k] = 1.0f;
    W.FlightVel[k] = {0.0f, 0.0f, 1.0f};
  }
  W.BallPhase = 1;
  Fly();
  EXPECT_EQ(W.BallPhase, 5);
  EXPECT_EQ(W.LooseBallRolling, kTrue32);

  SetUp();
  W.FlightSegments = 1000;
  for (int k = 1; k <= 1000; ++k) W.FlightTimes[k] = ToF32(0.001 * k);
  W.BallPhase = 999;
  W.BallFlightClock = 5.0f;
  Fly();
  EXPECT_EQ(W.BallPhase, 1000);
  EXPECT_EQ(W.LooseBallRolling, kTrue32) << "came down at step 1000, at rest";
}

TEST_F(FreeBallFlightTest, APassFliesWithoutDragAndSetsTheCarryFlags) {
  TWorld& W = MotionWorld;
  W.gamestate = gsPassing;
  W.Gravity = 0.0f;  // a pass falls by 9.81 whatever Gravity holds
  W.PassVel = {1.0f, 2.0f, -5.0f};
  W.PassSpiral = kTrue32;
  W.BallPos = {0.0f, 1.5f, -27.9f};
  W.PrevBallPos = W.BallPos;
  W.Teams[2].CarriedIntoOwn22 = kTrue32;
  u32 seed = RandSeed;
  RunStep(FlyPass);
  EXPECT_EQ(DrawsSince(seed), 1);
  EXPECT_EQ(W.BallPos.z, ToF32(-27.9f - 5.0 * 0.04));
  EXPECT_EQ(W.BallPos.y, ToF32(1.5f + 2.0 * 0.04));
  EXPECT_EQ(W.PassVel.y, ToF32(2.0 - 9.81 * 0.04));
  EXPECT_EQ(W.Teams[1].CarriedIntoOwn22, kTrue32) << "crossed the own 22 backwards";
  EXPECT_EQ(W.Teams[2].CarriedIntoOwn22, kFalse32);
  EXPECT_GT(W.BallSpinRate, 1.5f);
  EXPECT_NEAR(W.BallPitch, std::acos(0.0) - std::atan2(2.0, std::hypot(1.0, 5.0)), 1e-5) << "pi/2 less the climb angle";

  W.PassSpiral = kFalse32;
  W.BallSpin = 1.0f;
  W.PrevBallPos = W.BallPos;
  W.BallPos.z = ToF32(-0.5 * W.PitchLength + 0.1);
  W.PrevFrameGameState = gsGotTackled;
  W.Teams[1].SetPieceHolder = 9;
  Att(9).Pos.z = -50.0f;
  RunStep(FlyPass);
  EXPECT_EQ(W.BallSpin, 0.0f);
  EXPECT_GT(W.BallPitchRate, 1.3f);
  EXPECT_EQ(W.Teams[1].CarriedIntoOwnInGoal, kTrue32) << "the holder of a gottackled frame in his in-goal";

  W.BallPos = {0.0f, 3.0f, 0.0f};
  W.PrevBallPos = W.BallPos;
  W.PassVel = {0.0f, 1.0f, 2.0f};
  W.Gravity = 9.81f;
  seed = RandSeed;
  RunStep(FlyLineoutThrow);
  EXPECT_EQ(DrawsSince(seed), 1);
  EXPECT_EQ(W.PassVel.y, ToF32(1.0 - 9.81f * 0.04));
  EXPECT_LT(W.BallSpinRate, 2.0f * 1.61f);
}

}  // namespace

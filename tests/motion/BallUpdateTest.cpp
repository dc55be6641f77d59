// The ball step on the small motion scene: the held ball, the state steps,
// the scrum feed, the scrum-half's pick-up, the ball-in-hand tracks and the
// ball's velocity.
#include "motion/BallUpdateUnit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "MotionScene.h"
#include "core/Geometry.h"
#include "setup/BallKeyframes.h"

namespace {

constexpr double kPi = std::numbers::pi;
constexpr int kTestTrack = 100;  // empty in the table; the tests fill it

class BallUpdateTest : public MotionSceneTest {
 protected:
  void SetUp() override {
    MotionSceneTest::SetUp();
    BuildBallKeyframes();
    TWorld& W = MotionWorld;
    W.BallPos = {1.0f, 2.0f, 3.0f};
    W.PrevBallPos = {-7.0f, -7.0f, -7.0f};
    for (int b = 1; b <= 2; ++b)
      for (int i = 1; i <= 25; ++i) {
        TPlayer& P = W.Teams[b].Players[i];
        P.FacingAngle = ToF32(kPi / 2.0);  // heading 0: hand point at -x
        P.Height = 1.8f;
      }
  }
  void TearDown() override {
    BuildBallKeyframes();
    MotionSceneTest::TearDown();
  }
  static void Step() { RunStep(BallUpdate); }

  // Gives player i of block 1 the ball in his hand on Track at Frame / 20.
  static void Attached(int i, i16 Track, f32 Frame) {
    MotionWorld.BallAttached = kTrue32;
    MotionWorld.LastKnownHasBall = i;
    TPlayer& P = Att(i);
    P.BallTrack = Track;
    P.currentframe = Frame;
    P.maxframes = 20.0f;
  }
};

// A two-segment track: keyframes at fractions 0, 0.4, 0.8.
void FillTestTrack() {
  TBallKeyTrack& K = BallKeyTracks[kTestTrack];
  K = {};
  K.KeyCount = 3;
  K.Keys[1] = {0.0f, 0.0f, 0.5f, 0.25f, 0.1f, 0.2f, 0.3f};
  K.Keys[2] = {0.4f, 0.25f, 0.5f, 0.5f, 0.1f, 0.0f, 0.0f};
  K.Keys[3] = {0.8f, 0.5f, -0.25f, 0.5f, 1.0f, 0.0f, 0.0f};
}

TEST_F(BallUpdateTest, TheRunningCarrierHoldsTheBallInFrontOfHim) {
  TWorld& W = MotionWorld;
  W.Teams[1].BallCarrier = 10;
  const TPlayer& C = Att(10);
  Step();
  EXPECT_FLOAT_EQ(W.BallPos.x, C.Pos.x - 0.4f);
  EXPECT_EQ(W.BallPos.y, 1.5f);
  EXPECT_FLOAT_EQ(W.BallPos.z, C.Pos.z);
  EXPECT_EQ(W.PrevBallPos.x, 1.0f);  // stored first
  EXPECT_FLOAT_EQ(W.BallVel.x, W.BallPos.x - 1.0f);
  EXPECT_FLOAT_EQ(W.BallVel.y, -0.5f);
  EXPECT_FLOAT_EQ(W.BallSpeed, Length3D(W.BallVel) / kSceneStep);

  // Facing up-field (pi) he holds it 0.4 m ahead of him in z.
  Att(10).FacingAngle = ToF32(kPi);
  Step();
  EXPECT_NEAR(W.BallPos.x, C.Pos.x, 1e-6);
  EXPECT_FLOAT_EQ(W.BallPos.z, C.Pos.z + 0.4f);

  // With no carrier, or one who names no record, the ball stays.
  for (i32 carrier : {0, 26, -3}) {
    W.Teams[1].BallCarrier = carrier;
    const TVector3 was = W.BallPos;
    Step();
    EXPECT_EQ(W.BallPos.x, was.x) << carrier;
    EXPECT_EQ(W.BallSpeed, 0.0f) << carrier;
  }
}

TEST_F(BallUpdateTest, CarryFlagsFollowTheCarriersStep) {
  TWorld& W = MotionWorld;  // own 22 at z = -28, own goal line at -50
  W.Teams[1].BallCarrier = 10;
  struct Case {
    const char* what;
    f32 z0, z;
    TGameState prev;
    bool32 in22Before, in22, inGoalBefore, inGoal;
  } cases[] = {
      {"into the 22", -27.9f, -28.0f, gsRunning, 0, kTrue32, 0, 0},
      {"staying inside keeps the flag", -29.0f, -30.0f, gsRunning, kTrue32, kTrue32, 0, 0},
      {"back out clears it", -28.5f, -27.5f, gsRunning, kTrue32, 0, 0, 0},
      {"into in-goal", -49.9f, -50.0f, gsRunning, kTrue32, kTrue32, 0, kTrue32},
      {"in in-goal after a tackle", -50.5f, -50.6f, gsGotTackled, kTrue32, kTrue32, 0, kTrue32},
      {"in in-goal otherwise kept clear", -50.5f, -50.6f, gsRunning, kTrue32, kTrue32, 0, 0},
  };
  for (const Case& c : cases) {
    Att(10).OldPos.z = c.z0;
    Att(10).Pos.z = c.z;
    W.PrevFrameGameState = c.prev;
    W.Teams[1].CarriedIntoOwn22 = c.in22Before;
    W.Teams[1].CarriedIntoOwnInGoal = c.inGoalBefore;
    W.Teams[2].CarriedIntoOwn22 = kTrue32;
    W.Teams[2].CarriedIntoOwnInGoal = kTrue32;
    Step();
    EXPECT_EQ(W.Teams[1].CarriedIntoOwn22, c.in22) << c.what;
    EXPECT_EQ(W.Teams[1].CarriedIntoOwnInGoal, c.inGoal) << c.what;
    EXPECT_EQ(W.Teams[2].CarriedIntoOwn22, 0) << c.what;
    EXPECT_EQ(W.Teams[2].CarriedIntoOwnInGoal, 0) << c.what;
  }
}

TEST_F(BallUpdateTest, TracksPlaceTheBallByFractionSegmentAndHeading) {
  TWorld& W = MotionWorld;
  W.Teams[1].BallCarrier = 10;
  TPlayer& C = Att(10);
  C.Height = 2.0f;
  C.Heading = 90.0f;  // along +z: the offsets stand as they are
  FillTestTrack();
  struct Case {
    const char* what;
    f32 frame;  // of 20
    f32 x, y, z;
    f32 spin, yaw, pitch;
  } cases[] = {
      {"start", 0.0f, 0.0f, 1.0f, 0.5f, 0.1f, 0.2f, 0.3f},
      {"segment 1 halfway", 4.0f, 0.25f, 1.0f, 0.75f, 0.15f, 0.2f, 0.3f},
      {"segment 2 halfway", 12.0f, 0.75f, 0.25f, 1.0f, 0.7f, 0.2f, 0.3f},
      {"1.2 counts as 0", 24.0f, 0.0f, 1.0f, 0.5f, 0.1f, 0.2f, 0.3f},
      {"beyond the last keyframe: segment 1, clamped", 18.0f, 0.5f, 1.0f, 1.0f, 0.2f, 0.2f, 0.3f},
      {"not a number counts as 0", std::numeric_limits<f32>::quiet_NaN(), 0.0f, 1.0f, 0.5f, 0.1f, 0.2f, 0.3f},
  };
  for (const Case& c : cases) {
    Attached(10, kTestTrack, c.frame);
    Step();
    EXPECT_NEAR(W.BallPos.x, C.Pos.x + c.x, 1e-5) << c.what;
    EXPECT_NEAR(W.BallPos.y, c.y, 1e-6) << c.what;
    EXPECT_NEAR(W.BallPos.z, C.Pos.z + c.z, 1e-5) << c.what;
    EXPECT_NEAR(W.BallSpin, c.spin, 1e-6) << c.what;
    EXPECT_NEAR(W.BallYaw, c.yaw, 1e-6) << c.what;
    EXPECT_NEAR(W.BallPitch, c.pitch, 1e-6) << c.what;
  }

  // The fraction is handed back as 0 when it was outside [0, 1].
  f32 f = 1.2f;
  ASSERT_TRUE(PlaceBallInHand(W, kTestTrack, f, 1.0f, 0.0f, {}));
  EXPECT_EQ(f, 0.0f);
  f = 0.3f;
  ASSERT_TRUE(PlaceBallInHand(W, kTestTrack, f, 1.0f, 0.0f, {}));
  EXPECT_EQ(f, 0.3f);

  // Heading 0 (facing -x): an offset along +z lies at -x of him.
  C.Heading = 0.0f;
  BallKeyTracks[kTestTrack].Keys[1] = {0.0f, 0.0f, 0.5f, 0.25f, 0.0f, 0.0f, 0.0f};
  Attached(10, kTestTrack, 0.0f);
  Step();
  EXPECT_NEAR(W.BallPos.x, C.Pos.x - 0.5f, 1e-5);
  EXPECT_NEAR(W.BallPos.z, C.Pos.z, 1e-5);
}

TEST_F(BallUpdateTest, TheCarryTrackHalfwayMatchesItsKeyframes) {
  TWorld& W = MotionWorld;
  W.Teams[1].BallCarrier = 10;
  TPlayer& C = Att(10);
  C.Height = 1.0f;
  C.Heading = 90.0f;
  Attached(10, 1, 10.0f);
  Step();
  EXPECT_NEAR(W.BallPos.x, C.Pos.x + 0.156f, 1e-5);
  EXPECT_NEAR(W.BallPos.y, 0.704f, 1e-6);
  EXPECT_NEAR(W.BallPos.z, C.Pos.z + 0.124f, 1e-5);
  EXPECT_NEAR(W.BallSpin, -0.753982 + 0.0251328, 1e-5);
}

TEST_F(BallUpdateTest, AHeldBallBelowTheGroundIsRaisedButALooseOneIsNot) {
  TWorld& W = MotionWorld;
  W.Teams[1].BallCarrier = 10;
  FillTestTrack();
  Att(10).Heading = 90.0f;
  Attached(10, kTestTrack, 16.0f);  // last keyframe: y -0.25 x Height
  Step();
  EXPECT_EQ(W.BallPos.y, 0.0f);
  EXPECT_NEAR(W.BallPos.x, Att(10).Pos.x + 0.9f, 1e-5);

  // Try scored, not attached: the ball is grounded at 0.2 m as it lies.
  W.gamestate = gsTryScored;
  W.BallAttached = kFalse32;
  W.BallPos = {2.0f, -0.5f, 50.0f};
  Step();
  EXPECT_EQ(W.BallPos.y, 0.2f);
  EXPECT_FLOAT_EQ(W.BallPitch, ToF32(kPi / 2));
  // Attached to a diver whose track is off the table, the ball keeps what it had.
  W.BallAttached = kTrue32;
  W.LastKnownHasBall = 10;
  Att(10).BallTrack = 0;
  W.BallPos.y = -0.5f;
  Step();
  EXPECT_EQ(W.BallPos.y, -0.5f);
}

TEST_F(BallUpdateTest, HoldersWithoutAUsableTrackKeepTheBallAtTheirHandPoint) {
  TWorld& W = MotionWorld;
  W.Teams[1].BallCarrier = 10;
  BallKeyTracks[7].KeyCount = 1;
  for (i16 track : {161, 95, 0, -4, 7}) {
    Attached(10, track, 5.0f);
    Step();
    EXPECT_FLOAT_EQ(W.BallPos.x, Att(10).Pos.x - 0.4f) << track;
    EXPECT_EQ(W.BallPos.y, 1.5f) << track;
  }
  // A key count beyond the 50 keyframes is read as 50.
  BallKeyTracks[7].KeyCount = 60000;
  Attached(10, 7, 20.0f);
  Step();
  EXPECT_NE(W.BallPos.y, 1.5f);
}

TEST_F(BallUpdateTest, TackledStateHoldsWithoutStoringThePreviousPosition) {
  TWorld& W = MotionWorld;
  W.gamestate = gsGotTackled;
  TTeamBlock& T = W.Teams[1];
  T.BallCarrier = 10;
  T.TackledPlayer = 10;
  T.SetPieceLineZ = -3.0f;
  W.MarkX = 2.0f;
  Step();
  EXPECT_EQ(W.PrevBallPos.x, -7.0f);
  EXPECT_EQ(W.BallPos.y, 0.5f);
  EXPECT_FLOAT_EQ(W.BallVel.y, 7.5f);  // since the last state that stored it

  // Released once the ruck forms and the release time is out.
  T.PackSpots.BoundCount = 2;
  W.TackleReleaseTimer = 0.1f;
  Step();
  EXPECT_EQ(T.BallCarrier, 10);
  W.TackleReleaseTimer = 0.0f;
  W.TurnoverPending = kTrue32;
  Step();
  EXPECT_EQ(T.BallCarrier, 10);
  W.TurnoverPending = kFalse32;
  Step();
  EXPECT_EQ(T.BallCarrier, 0);
  EXPECT_EQ(W.BallPos.x, 2.0f);
  EXPECT_EQ(W.BallPos.y, 0.2f);
  EXPECT_EQ(W.BallPos.z, -3.0f);
}

TEST_F(BallUpdateTest, TheScrumHalfsBallMovesFromTheRuckLineIntoHisHands) {
  TWorld& W = MotionWorld;
  W.gamestate = gsGotTackled;
  TTeamBlock& T = W.Teams[1];
  T.SetPieceHolder = 9;
  T.SetPieceLineZ = -3.0f;
  T.CarriedIntoOwn22 = kTrue32;
  W.MarkX = 2.0f;
  TPlayer& H = Att(9);
  H.Pos = {1.0f, 0.0f, -6.0f};  // hands at z -5.6
  H.passtimer = 10.0f;
  T.PassDuration = 0.5f;
  T.PassTimeLeft = 0.5f;
  double last = -3.0;
  for (int frame = 0; frame <= 13; ++frame) {
    Step();
    EXPECT_EQ(W.BallPos.x, 1.0f) << frame;
    EXPECT_EQ(W.BallPos.y, 0.2f) << frame;
    EXPECT_LE(W.BallPos.z, last) << frame;       // towards him
    EXPECT_GE(W.BallPos.z, -5.6f - 1e-6) << frame;  // never past his hands
    last = W.BallPos.z;
    if (frame == 0) {
      EXPECT_FLOAT_EQ(W.BallPos.z, -3.0f);
    }
    T.PassTimeLeft = StepDown(T.PassTimeLeft);
    if (T.PassTimeLeft < 0.0f) T.PassTimeLeft = 0.0f;
  }
  EXPECT_FLOAT_EQ(W.BallPos.z, -5.6f);
  EXPECT_EQ(T.CarriedIntoOwn22, 0);

  // A zero pass duration puts it in his hands at once; no scrum-half (0)
  // leaves it on the ruck.
  T.PassTimeLeft = 0.3f;
  T.PassDuration = 0.0f;
  Step();
  EXPECT_FLOAT_EQ(W.BallPos.z, -5.6f);
  T.SetPieceHolder = 0;
  Step();
  EXPECT_EQ(W.BallPos.x, 2.0f);
  EXPECT_EQ(W.BallPos.z, -3.0f);
}

TEST_F(BallUpdateTest, TheScrumFeedRollsInThenHeelsBackToTheExit) {
  TWorld& W = MotionWorld;
  W.gamestate = gsScrum;
  W.BallPhase = 1;
  W.BallPos = {0.0f, 0.25f, 0.0f};
  W.BallTarget = {1.0f, 0.25f, 0.0f};
  W.BallPitch = 1.0f;
  W.Teams[1].ScrumBallExitPoint = {1.0f, -2.0f};
  W.PackVelocityZ = -0.2f;
  Step();
  EXPECT_FLOAT_EQ(W.BallPos.x, 0.1f);  // 2.5 m/s
  EXPECT_EQ(W.BallPos.y, 0.25f);
  EXPECT_EQ(W.BallSpin, 90.0f);
  EXPECT_FLOAT_EQ(W.BallPitch, 1.4f);
  EXPECT_EQ(W.PrevBallSpin, 0.0f);
  EXPECT_EQ(W.BallPhase, 1);
  EXPECT_FLOAT_EQ(W.BallSpeed, 2.5f);

  W.BallPos.x = 0.9f;  // within 0.15 m: heeled back on the same frame
  Step();
  EXPECT_EQ(W.BallPhase, 2);
  EXPECT_EQ(W.BallTarget.z, -2.35f);
  EXPECT_EQ(W.BallPitch, 90.0f);
  EXPECT_EQ(W.BallYaw, 0.0f);
  EXPECT_FLOAT_EQ(W.BallSpin, ToF32(90.0 + 1.1 * kSceneStep));
  EXPECT_EQ(W.PrevBallSpin, 90.0f);
  EXPECT_NEAR(W.BallPos.x, 0.9 + 0.1 * 0.1 / std::hypot(0.1, 2.35), 1e-6);

  W.BallPos = {1.0f, 0.25f, -2.3f};  // lands on the target rather than passing it
  Step();
  EXPECT_FLOAT_EQ(W.BallPos.z, -2.35f);
  EXPECT_NEAR(W.BallMoveSpeed, 0.05 / kSceneStep, 1e-4);

  // Held by a carrier at 1.5 m.
  W.Teams[1].BallCarrier = 9;
  Step();
  EXPECT_EQ(W.BallPos.y, 1.5f);
}

TEST_F(BallUpdateTest, KickRestartHoldsTheBallOnTheSpotThenInTheKickersHands) {
  TWorld& W = MotionWorld;
  TTeamBlock& T = W.Teams[1];
  W.gamestate = gsKickRestartSet;
  T.RestartBallPos = {0.0f, 0.0f, 0.0f};
  W.BallSpin = 1.0f;
  Step();
  EXPECT_EQ(W.BallPos.z, 0.0f);
  EXPECT_EQ(W.BallSpin, 0.0f);
  EXPECT_EQ(W.PrevBallPos.z, 3.0f);
  EXPECT_EQ(W.PrevBallSpin, 1.0f);
  T.BallCarrier = 10;  // in his hands, PrevBallPos kept
  Step();
  EXPECT_EQ(W.BallPos.y, 1.5f);
  EXPECT_EQ(W.PrevBallPos.z, 3.0f);
}

TEST_F(BallUpdateTest, LineoutHoldsTheBallForTheThrowerThenTheCatcher) {
  TWorld& W = MotionWorld;
  TTeamBlock& T = W.Teams[1];
  W.gamestate = gsLineout;
  T.BallCarrier = 10;  // the ball in the thrower's hands
  T.LineoutThrower = 10;
  Step();
  EXPECT_FLOAT_EQ(W.BallPos.y, 1.2f * 1.8f);
  T.LineoutThrower = 3;  // a catcher: overhead until the track takes over
  Step();
  EXPECT_EQ(W.BallPos.y, 3.0f);
  Att(10).Heading = 90.0f;
  Attached(10, 1, 0.0f);
  Step();
  EXPECT_FLOAT_EQ(W.BallPos.y, ToF32(0.696 * 1.8f));
}

TEST_F(BallUpdateTest, TransitionHolderHoldsTheBallBesideHimOrOnHisTrack) {
  TWorld& W = MotionWorld;
  W.gamestate = gsTransition;
  W.TransitionBallHeld = kTrue32;
  W.TransitionHolder = 6;
  W.TransitionHolderFirstBlock = kFalse32;
  W.LastKnownHasBall = 6;
  W.BallAttached = kFalse32;
  Def(6).BallTrack = 0;
  Step();
  EXPECT_FLOAT_EQ(W.BallPos.x, Def(6).Pos.x - 0.4f);
  EXPECT_EQ(W.BallPos.z, Def(6).Pos.z);
  EXPECT_EQ(W.BallPos.y, 1.5f);
  Def(6).BallTrack = 1;  // the transition holder's track is used even unattached
  Def(6).Heading = 90.0f;
  Def(6).maxframes = 20.0f;
  Step();
  EXPECT_FLOAT_EQ(W.BallPos.y, ToF32(0.696 * 1.8f));
}

}  // namespace

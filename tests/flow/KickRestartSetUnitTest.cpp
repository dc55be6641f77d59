#include "flow/KickRestartSetUnit.h"

#include <gtest/gtest.h>

#include <cmath>

#include "SmallWorld.h"
#include "core/DrawCount.h"
#include "core/FloatFlags.h"
#include "core/Geometry.h"
#include "core/Kinematics.h"
#include "core/MatchStore.h"
#include "core/Random.h"

namespace {

TWorld W;

constexpr double kTan20 = 0.36397023426620234;

class KickRestartSetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeSmallWorld(W, {.InGoals = true});
    W.GoalPostGap = 5.6f;
    W.TimeStep = 0.04f;
    W.gamestate = gsKickRestartSet;
    W.KickRestartSetPhase = 1;
    W.RecordingOn = kTrue32;
    W.SetPieceFlag = kTrue32;
    for (int k = 1; k <= 10; ++k) W.MessageSlotFree[k] = kTrue32;
    for (int b = 1; b <= 2; ++b) {
      TTeamBlock& B = W.Teams[b];
      B.teamid = 100 + b;
      B.RestartKickerDefault = 10;
      B.KickerIndex = 10;
      for (int i = 1; i <= 25; ++i) {
        TPlayer& P = B.Players[i];
        P.Pos = {static_cast<f32>(i - 8), 0, b == 1 ? -20.0f : 20.0f};
        P.maxspeed = 8.0f;
        P.Acceleration = 4.0f;
        P.KickDeviation2 = 5.0f;
        P.ActionsMade = 3;
        P.DropKickReleaseTime = {0, 0.4f, 0.05f, 0.3f, 0.5f, kFalse32, kFalse32};
        P.PuntRightFootReleaseTime = {0, 0.35f, 0.05f, 0.3f, 0.5f, kFalse32, kFalse32};
      }
    }
    RandSeed = 777;
  }
  static TTeamBlock& A() { return W.Teams[1]; }
  static TTeamBlock& D() { return W.Teams[2]; }
  static TPlayer& Kicker() { return A().Players[A().KickerIndex]; }
  static void Start(i32 type) {
    A().RestartType = type;
    D().RestartType = type;
  }
  // One call; no float error may be raised.
  static void Call() {
    std::feclearexcept(FE_ALL_EXCEPT);
    DoKickRestartSet(W);
    ASSERT_FALSE(FloatErrorRaised());
  }
  // The kicker stands on his DesiredPos, as the decision step walks him there.
  static void KickerArrives() {
    Kicker().Pos.x = Kicker().DesiredPos.x;
    Kicker().Pos.z = Kicker().DesiredPos.z;
  }
};

}  // namespace

TEST_F(KickRestartSetTest, SetUpClearsTheRestartFieldsAndPausesTheRecorder) {
  Start(2);
  A().ChaserSlots[3] = 4;
  D().PrevChaserSlots[5] = 7;
  A().KickChosen = kTrue32;
  A().HalfTimeAux = kTrue32;
  D().Players[15].BlockEngaged[2] = 3;
  A().Players[2].FullSpeedOrder = 1;
  A().Players[6].chasertimer = 1.5f;
  W.KickRestartCountdown = 1.0f;
  Call();
  EXPECT_EQ(A().ChaserSlots[3], 0);
  EXPECT_EQ(D().PrevChaserSlots[5], 0);
  EXPECT_EQ(A().KickChosen, 0);
  EXPECT_EQ(A().HalfTimeAux, 0);
  EXPECT_EQ(D().Players[15].BlockEngaged[2], 0);
  EXPECT_EQ(A().Players[2].FullSpeedOrder, 0);
  EXPECT_EQ(A().Players[6].chasertimer, 0);
  EXPECT_EQ(D().Players[4].ActionsMade, -1);
  EXPECT_EQ(W.RecordingOn, 0);
  EXPECT_EQ(W.SetPieceFlagSaved, kTrue32);
  // Phase 2 runs in the same call and leaves for 3 with a fresh countdown.
  EXPECT_EQ(W.KickRestartSetPhase, 3);
  EXPECT_FLOAT_EQ(W.KickRestartCountdown, 2.5f);
  EXPECT_EQ(A().BallCarrier, A().KickerIndex);
  EXPECT_EQ(Kicker().KickKind, 5.0f);
  EXPECT_EQ(A().KickHeading, 90.0f);
}

TEST_F(KickRestartSetTest, KickerByRestartType) {
  struct Case {
    const char* what;
    i32 type;
    void (*arrange)();
    i32 kicker;
  } cases[] = {
      {"kick-off: the smallest heading spread from 9 up", 2,
       [] {
         A().Players[3].KickDeviation2 = 1.0f;  // below 9: not a candidate
         A().Players[12].KickDeviation2 = 2.0f;
         A().Players[14].KickDeviation2 = 2.0f;  // tie: the first stays
       },
       12},
      {"drop-out: injured players are passed over", 4,
       [] {
         A().Players[11].KickDeviation2 = 1.0f;
         A().Players[11].Unavailable = kTrue32;
         A().Players[13].KickDeviation2 = 3.0f;
       },
       13},
      {"kick-off: every player from 9 up injured gives player 10", 2,
       [] {
         for (int i = 9; i <= 15; ++i) A().Players[i].Unavailable = kTrue32;
         A().Players[2].KickDeviation2 = 0.0f;
       },
       10},
      {"penalty to touch: anybody", 5, [] { A().Players[3].KickDeviation2 = 1.0f; }, 3},
      {"tap: the nearest uninjured player to the spot", 7,
       [] {
         W.RestartSpot = {3.2f, -19.0f};
         A().Players[11].Unavailable = kTrue32;  // stands at x = 3, the nearest
       },
       12},
      {"penalty at goal: the entering step's choice", 8, [] { A().KickerIndex = 4; }, 4},
      {"conversion: a kicker of 0 names nobody", 9, [] { A().KickerIndex = 0; }, 10},
      {"penalty at goal: a kicker above 25 names nobody", 8, [] { A().KickerIndex = 26; }, 10},
  };
  for (const Case& c : cases) {
    SetUp();
    Start(c.type);
    c.arrange();
    Call();
    EXPECT_EQ(A().KickerIndex, c.kicker) << c.what;
  }
}

TEST_F(KickRestartSetTest, PenaltyAtGoalBallAndMarksFollowTheGoalLine) {
  Start(8);
  W.RestartSpot = {20.0f, 45.0f};
  Call();
  EXPECT_FLOAT_EQ(A().RestartBallPos.x, 20.0f);
  EXPECT_FLOAT_EQ(A().RestartBallPos.y, 0.25f);
  EXPECT_FLOAT_EQ(A().RestartBallPos.z, 32.0f);
  EXPECT_FLOAT_EQ(A().RestartMark.z, 32.0f);
  EXPECT_FLOAT_EQ(D().RestartMark.z, 32.0f);
  EXPECT_EQ(A().BallCarrier, 0);
  EXPECT_FLOAT_EQ(A().RestartRunUp, 1.4f);
  EXPECT_EQ(Kicker().KickKind, 6.0f);
  // Placement in the same call: block 1's player 1 at (-20, -5) from the
  // mark, block 2's 15 at z 32 + 50 lowered to 55.
  EXPECT_FLOAT_EQ(A().Players[1].DesiredPos.x, -20.0f);
  EXPECT_FLOAT_EQ(A().Players[1].DesiredPos.z, 27.0f);
  EXPECT_FLOAT_EQ(D().Players[15].DesiredPos.z, 55.0f);
  EXPECT_FLOAT_EQ(D().Players[6].DesiredPos.z, 42.5f);
  // The place kicker's start point stands off at 45 degrees behind the aim point.
  const TDirection u = HeadingDirection(90.0 + 190.0);
  EXPECT_NEAR(A().RestartAimPoint.x, 20.0 + 0.55 * u.x, 1e-5);
  EXPECT_NEAR(A().RestartAimPoint.z, 32.0 + 0.55 * u.z, 1e-5);
  const TDirection s = HeadingDirection(90.0 + 225.0);
  EXPECT_NEAR(A().RestartStartPoint.x, A().RestartAimPoint.x + 1.4 * s.x, 1e-5);
  EXPECT_NEAR(A().RestartStartPoint.z, A().RestartAimPoint.z + 1.4 * s.z, 1e-5);
  EXPECT_EQ(Kicker().DesiredPos.x, A().RestartStartPoint.x);
}

TEST_F(KickRestartSetTest, ConversionBallAndLines) {
  Start(9);
  W.TryPos = {10.0f, 50.0f};
  // Block 2 in reverse order of index along x: the line is by x, not index.
  for (int i = 1; i <= 15; ++i) D().Players[i].Pos.x = static_cast<f32>(30 - i);
  Call();
  EXPECT_NEAR(A().RestartBallPos.z, 41.0 - 10.0 * kTan20, 1e-5);
  EXPECT_NEAR(A().RestartBallPos.z, 41.0 - 3.64, 0.001);
  EXPECT_EQ(A().RestartMark.z, 0.0f);
  // Block 2: x0 = 10 - 7.5, so the k-th by x stands at 2.5 + k; player 15 is
  // the first.
  for (int k = 1; k <= 15; ++k) {
    const TPlayer& P = D().Players[16 - k];
    const double x = 2.5 + k;
    EXPECT_FLOAT_EQ(P.DesiredPos.x, static_cast<f32>(x)) << k;
    const bool nearPost = std::fabs(x - 2.8) < 0.8 || std::fabs(x + 2.8) < 0.8;
    EXPECT_FLOAT_EQ(P.DesiredPos.z, nearPost ? 51.0f : 50.0f) << k;
  }
  EXPECT_FLOAT_EQ(D().Players[15].DesiredPos.z, 51.0f);  // x = 3.5, 0.7 m from the post
  EXPECT_FLOAT_EQ(D().Players[14].DesiredPos.z, 50.0f);  // x = 4.5
  // Block 1 on the halfway line from -7.5 + 1, by x (player i stands at i - 8).
  for (int i = 1; i <= 15; ++i) {
    if (i == A().KickerIndex) continue;
    EXPECT_FLOAT_EQ(A().Players[i].DesiredPos.x, static_cast<f32>(-7.5 + i)) << i;
    EXPECT_FLOAT_EQ(A().Players[i].DesiredPos.z, 0.0f) << i;
  }
}

TEST_F(KickRestartSetTest, ConversionFromNearTouchRaisesTheDefendersStart) {
  Start(9);
  W.TryPos = {-34.0f, 50.0f};
  Call();
  EXPECT_NEAR(A().RestartBallPos.z, 41.0 - 34.0 * kTan20, 1e-5);
  EXPECT_FLOAT_EQ(D().Players[1].DesiredPos.x, -34.0f);  // -41.5 raised to -35, then + 1
  EXPECT_FLOAT_EQ(D().Players[15].DesiredPos.x, -20.0f);
}

TEST_F(KickRestartSetTest, TapNearTouchPullsTheForwardsIn) {
  Start(7);
  W.RestartSpot = {33.0f, 10.0f};
  const u32 seed = RandSeed;
  Call();
  EXPECT_EQ(DrawsSince(seed), 8);
  RandSeed = seed;
  bool pulled = false;
  for (int i = 1; i <= 8; ++i) {
    if (i == A().KickerIndex) continue;
    RandSeed = SeedAfter(seed, i - 1);
    const double drawn = 33.0 + RandomRange(-100, 100) * 10.0 / 100.0;
    const double x = std::min(drawn, 33.5);
    pulled = pulled || drawn > 33.5;
    EXPECT_FLOAT_EQ(A().Players[i].DesiredPos.x, static_cast<f32>(x)) << i;
  }
  EXPECT_TRUE(pulled) << "the seed must draw some forwards past 33.5";
  EXPECT_EQ(W.KickType, kKickTypeTapPenalty);
  EXPECT_EQ(Kicker().KickKind, 7.0f);
  // Block 2 ten metres off, slots from 2 m inside one touchline to the other.
  EXPECT_FLOAT_EQ(D().Players[14].DesiredPos.x, static_cast<f32>(-35.0 + 2.0 + 66.0 / 13.0));
  EXPECT_FLOAT_EQ(D().Players[11].DesiredPos.x, static_cast<f32>(-35.0 + 2.0 + 14 * 66.0 / 13.0));
  EXPECT_FLOAT_EQ(D().Players[15].DesiredPos.x, 33.0f);
  EXPECT_FLOAT_EQ(D().Players[15].DesiredPos.z, 40.0f);
}

TEST_F(KickRestartSetTest, TapNeverWaitsForTheRestartDelay) {
  Start(7);
  W.RestartSpot = {0.0f, 10.0f};
  W.RestartDelay = 5.0f;
  Call();
  ASSERT_EQ(W.KickRestartSetPhase, 3);
  KickerArrives();
  int frames = 0;
  while (Kicker().SpecialAnimTimer <= 0 && frames < 200) {
    Call();
    ++frames;
    if (W.KickRestartCountdown >= 0.4f) {
      EXPECT_EQ(W.RecordingOn, 0) << frames;
    }
  }
  EXPECT_EQ(frames, 63);  // 2.5 s at 0.04 s a frame, the last one at or below 0
  EXPECT_EQ(W.RecordingOn, kTrue32);
  EXPECT_EQ(Kicker().SpecialAnimKind, 3.0f);
  EXPECT_EQ(Kicker().SpecialAnimAngle, 90.0f);
  EXPECT_EQ(W.KickRestartSetPhase, 3);
  // While "tapkick" plays the action is not started again.
  Kicker().SpecialAnimTimer = 0;
  Kicker().currentAnim.Assign("tapkick");
  Call();
  EXPECT_EQ(Kicker().SpecialAnimTimer, 0);
}

TEST_F(KickRestartSetTest, KickerOnHisStartPointWaitsOutTheRestartDelay) {
  Start(2);
  Call();
  KickerArrives();
  W.RestartDelay = 0.5f;
  for (int f = 0; f < 80; ++f) Call();
  EXPECT_LE(W.KickRestartCountdown, 0.0f);
  EXPECT_EQ(W.KickRestartSetPhase, 3);
  W.RestartDelay = 0;
  Kicker().Pos.x += 0.2f;  // not on his spot
  Call();
  EXPECT_EQ(W.KickRestartSetPhase, 3);
  KickerArrives();
  const u32 seed = RandSeed;
  Call();
  EXPECT_EQ(W.KickRestartSetPhase, 4);
  // Kick preparation: the drop-kick release draw kept in its distribution.
  EXPECT_EQ(DrawsSince(seed), 2);
  RandSeed = seed;
  const f32 release = GaussianRandom(0.4f, 0.05f, 0.3f, 0.5f, kTrue32, kTrue32);
  EXPECT_EQ(Kicker().DropKickReleaseTime.value, release);
  EXPECT_EQ(A().GoalKickReleaseTime, release);
  EXPECT_EQ(Kicker().KickRunSpeed, 1.0f);
  EXPECT_EQ(W.BounceErrors[1].max, 0.75f);
  EXPECT_EQ(W.BounceErrors[3].sd, 20.0f);
  EXPECT_EQ(W.BounceErrors[2].useMin, kTrue32);
  EXPECT_EQ(Kicker().desiredspeed, 1.75f);
}

// Phase 4 on: KickChosen lets the kick go; a kick from the hand starts when
// the run-in brings the release time within reach, and 5 to 8 pass in one
// frame.
TEST_F(KickRestartSetTest, KickOffFromTheHandPassesPhasesFiveToEightInOneFrame) {
  Start(2);
  Call();
  KickerArrives();
  for (int f = 0; f < 70 && W.KickRestartSetPhase == 3; ++f) Call();
  ASSERT_EQ(W.KickRestartSetPhase, 4);
  Call();
  EXPECT_EQ(W.KickRestartSetPhase, 4) << "no kick chosen";
  A().KickChosen = kTrue32;
  A().KickHeading = 80.0f;
  Call();
  EXPECT_EQ(W.KickRestartSetPhase, 4) << "the start point moved with the heading";
  KickerArrives();
  Call();
  ASSERT_EQ(W.KickRestartSetPhase, 5);
  const f32 countdown = W.KickRestartCountdown;
  EXPECT_GE(countdown, 2.5f);
  EXPECT_LE(countdown, 3.5f);
  // Recomputed from the chosen heading.
  const TDirection u = HeadingDirection(80.0 + 190.0);
  EXPECT_NEAR(A().RestartAimPoint.z, A().RestartBallPos.z + 0.55 * u.z, 1e-5);
  W.KickRestartCountdown = 0.52f;
  Call();
  EXPECT_EQ(W.RecordingOn, kTrue32);
  EXPECT_EQ(W.KickRestartSetPhase, 5);
  // Countdown out, but he has no speed yet: the run-in starts.
  W.KickRestartCountdown = 0.02f;
  Call();
  EXPECT_EQ(W.KickRestartSetPhase, 5);
  EXPECT_EQ(Kicker().DesiredPos.x, A().RestartAimPoint.x);
  EXPECT_EQ(Kicker().ChaseSpeed, 2.5f);
  Kicker().speed = 2.0f;  // 0.5 m from the aim point: 0.25 s, within the release time
  for (int i = 1; i <= 15; ++i) A().Players[i].Pos.z = A().RestartBallPos.z - (i == 5 ? 1.5f : 6.0f);
  Kicker().Pos.x = A().RestartAimPoint.x;
  Kicker().Pos.z = A().RestartAimPoint.z - 0.5f;
  Call();
  ASSERT_EQ(W.KickRestartSetPhase, 8);
  EXPECT_EQ(A().KickTimeLeft, A().GoalKickReleaseTime);
  EXPECT_EQ(Kicker().KickTimer, 10.0f);
  EXPECT_EQ(Kicker().KickRunSpeed, 2.0f);
  EXPECT_EQ(Kicker().KickFacing, Kicker().KickRunAngle);
  // msgAdvantageBothSides, no team or player.
  EXPECT_EQ(W.MessageSlotFree[1], 0);
  EXPECT_EQ(W.MessageQueue[1].message, msgAdvantageBothSides);
  EXPECT_EQ(W.MessageQueue[1].extravalue, 0.75f);
  EXPECT_EQ(W.MessageQueue[1].teamID, 0);
  EXPECT_EQ(W.MessageQueue[1].playerID, 0);
  // The one near chaser runs up-field to reach the ball's line just after the kick.
  const TPlayer& C = A().Players[5];
  EXPECT_EQ(C.SpecialAnimTimer, 10.0f);
  EXPECT_EQ(C.SpecialAnimAngle, 90.0f);
  EXPECT_GT(C.SpecialAnimSpeed, 1.5 / (A().KickTimeLeft + 0.1 + 1e-6));
  EXPECT_LT(C.SpecialAnimSpeed, 1.5 / A().KickTimeLeft);
  EXPECT_EQ(A().Players[4].SpecialAnimTimer, 0);
  // Phase 8: placement only.
  Call();
  EXPECT_EQ(W.KickRestartSetPhase, 8);
  EXPECT_EQ(W.MessageSlotFree[2], kTrue32);
}

TEST_F(KickRestartSetTest, PlaceKickRunUpSpeed) {
  Start(8);
  W.RestartSpot = {0.0f, 30.0f};
  Call();
  KickerArrives();
  for (int f = 0; f < 70 && W.KickRestartSetPhase == 3; ++f) Call();
  ASSERT_EQ(W.KickRestartSetPhase, 4);
  EXPECT_EQ(A().GoalKickReleaseTime, 1.25f);
  EXPECT_EQ(W.RecordingOn, kTrue32) << "a place kick resumes recording at the preparation";
  EXPECT_EQ(Kicker().desiredspeed, 1.25f);
  A().KickChosen = kTrue32;
  Call();
  ASSERT_EQ(W.KickRestartSetPhase, 5);
  W.KickRestartCountdown = 0.01f;
  TPlayer& K = Kicker();
  K.maxframes = 100.0f;
  K.currentframe = 40.0f;
  K.speed = 0.5f;
  Call();
  ASSERT_EQ(W.KickRestartSetPhase, 6);
  EXPECT_EQ(K.currentframe, 0.0f);
  EXPECT_EQ(A().KickTimeLeft, 1.25f);
  EXPECT_EQ(K.KickRunSpeed, 0.0f);
  K.currentframe = 15.0f;  // 15 %: still standing
  Call();
  EXPECT_EQ(K.KickRunSpeed, 0.0f);
  const f32 d = Distance2D(K.Pos.x, K.Pos.z, A().RestartAimPoint.x, A().RestartAimPoint.z);
  const f32 target = SpeedToCoverInTime(K.speed, K.Acceleration, K.maxspeed, d, A().KickTimeLeft, kFalse32);
  ASSERT_GT(target, 0.32f);
  K.currentframe = 16.0f;
  int frames = 0;
  f32 expected = 0;
  while (W.KickRestartSetPhase == 6 && frames < 50) {
    Call();
    ++frames;
    expected = static_cast<f32>(expected + 4.0 * 0.04f);
    if (W.KickRestartSetPhase == 6) {
      EXPECT_FLOAT_EQ(K.KickRunSpeed, expected) << frames;
    }
  }
  EXPECT_EQ(frames, static_cast<int>(std::floor(target / 0.16)) + 1);
  EXPECT_EQ(K.KickRunSpeed, target);
  EXPECT_EQ(W.KickRestartSetPhase, 8);
  EXPECT_EQ(W.MessageSlotFree[1], kTrue32) << "only the kick-off posts";
  EXPECT_EQ(D().Players[1].SpecialAnimTimer, 0) << "nobody reacts to a penalty at goal";
}

TEST_F(KickRestartSetTest, ConversionReaction) {
  Start(9);
  W.TryPos = {0.0f, 50.0f};
  Call();
  W.KickRestartSetPhase = 7;
  Call();
  EXPECT_EQ(W.KickRestartSetPhase, 8);
  EXPECT_EQ(Kicker().SpecialAnimTimer, 0);
  EXPECT_EQ(A().Players[1].SpecialAnimTimer, 10.0f);
  EXPECT_EQ(A().Players[1].SpecialAnimSpeed, 0.0f);
  EXPECT_EQ(D().Players[3].SpecialAnimAngle, 270.0f);
  EXPECT_EQ(D().Players[3].SpecialAnimSpeed, 8.0f);
}

TEST_F(KickRestartSetTest, KickerDefaultTakesTheKickersPlace) {
  Start(2);
  A().Players[12].KickDeviation2 = 1.0f;
  Call();
  ASSERT_EQ(A().KickerIndex, 12);
  // Player 10 (the default) stands at 12's offset (-5, -2); 12 is the kicker.
  EXPECT_FLOAT_EQ(A().Players[10].DesiredPos.x, -5.0f);
  EXPECT_FLOAT_EQ(A().Players[10].DesiredPos.z, -2.0f);
  // A default that names nobody: everyone at his own offset.
  SetUp();
  Start(2);
  A().Players[12].KickDeviation2 = 1.0f;
  A().RestartKickerDefault = 0;
  Call();
  EXPECT_FLOAT_EQ(A().Players[10].DesiredPos.x, 0.0f);
  SetUp();
  Start(2);
  A().Players[12].KickDeviation2 = 1.0f;
  A().RestartKickerDefault = 40;
  Call();
  EXPECT_FLOAT_EQ(A().Players[10].DesiredPos.x, 0.0f);
}

TEST_F(KickRestartSetTest, PenaltyToTouchKeepsBlock2InsideTheDeadBallLine) {
  Start(5);
  W.RestartSpot = {-10.0f, 50.0f};
  Call();
  EXPECT_FLOAT_EQ(A().RestartBallPos.x, -10.0f);
  EXPECT_EQ(Kicker().KickKind, 1.0f);
  // Mark z 50: 50 + 40 beyond 60 is lowered to 60, then to 55 by the placement.
  EXPECT_FLOAT_EQ(D().RestartOffsets[11].z, 10.0f);
  EXPECT_FLOAT_EQ(D().RestartOffsets[1].z, 10.0f);
  EXPECT_FLOAT_EQ(D().Players[11].DesiredPos.z, 55.0f);
}

TEST_F(KickRestartSetTest, PhaseZeroDoesNothingButCount) {
  Start(2);
  W.KickRestartSetPhase = 0;
  W.KickRestartCountdown = 1.0f;
  A().Players[3].DesiredPos.x = 99.0f;
  Call();
  EXPECT_FLOAT_EQ(W.KickRestartCountdown, 0.96f);
  EXPECT_EQ(A().Players[3].DesiredPos.x, 99.0f);
}

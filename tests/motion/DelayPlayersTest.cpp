// The timer step's own counting: world, block and player timers, the
// match-world sampler timers, the match clock and ContactCheckTimer.
#include <gtest/gtest.h>

#include "MotionScene.h"
#include "core/MoveBooks.h"
#include "core/StrategyShapes.h"
#include "motion/DelayPlayersUnit.h"

namespace {

// The sampler timers live outside the world: each test starts them from
// known values and puts them back to zero.
class DelayPlayersTest : public MotionSceneTest {
 protected:
  void SetUp() override {
    MotionSceneTest::SetUp();
    StrategyParams.ClosingThreshold = 0.7f;
    SetSamplerTimers(2.0f, 3.0f, 1.0f, 0.5f, 0.72f, 0.25f);
  }
  void TearDown() override {
    SetSamplerTimers(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f);
    MotionSceneTest::TearDown();
  }
  // Both books' resampling delay, hold and time since sampling; the guard's
  // scan timer, closing time and touch alarm.
  static void SetSamplerTimers(f32 Resample, f32 Hold, f32 Since, f32 Scan, f32 Closing, f32 Touch) {
    for (int b = 1; b <= 2; ++b) {
      MoveBooks[b].ResampleTimer = Resample;
      MoveBooks[b].HoldTimer = Hold;
      MoveBooks[b].TimeSinceSample = Since;
    }
    StrategyParams.ClosingScanTimer = Scan;
    StrategyParams.NearestClosing = Closing;
    StrategyParams.TouchDangerTimer = Touch;
  }
};

TEST_F(DelayPlayersTest, LookAheadCopyKeepsTheSamplerTimersStillWhileTheOthersMove) {
  TWorld& W = MotionWorld;
  W.LiveWorld = kFalse32;
  W.SearchFlag = kTrue32;
  W.OffloadBlockTimer = 1.0f;
  W.ElapsedTime = 5.0f;
  Att(4).ChaseTimer = 1.0f;
  Def(6).AuxTimer3 = 1.0f;
  RunStep(DelayPlayers);
  for (int b = 1; b <= 2; ++b) {
    EXPECT_EQ(MoveBooks[b].ResampleTimer, 2.0f);
    EXPECT_EQ(MoveBooks[b].HoldTimer, 3.0f);
    EXPECT_EQ(MoveBooks[b].TimeSinceSample, 1.0f);
  }
  EXPECT_EQ(StrategyParams.ClosingScanTimer, 0.5f);
  EXPECT_EQ(StrategyParams.NearestClosing, 0.72f);
  EXPECT_EQ(StrategyParams.TouchDangerTimer, 0.25f);
  EXPECT_EQ(W.SearchFlag, kTrue32) << "the look-ahead leaves the flag alone";
  EXPECT_EQ(W.OffloadBlockTimer, StepDown(1.0f));
  EXPECT_EQ(W.ElapsedTime, StepUp(5.0f));
  EXPECT_EQ(Att(4).ChaseTimer, StepDown(1.0f));
  EXPECT_EQ(Def(6).AuxTimer3, StepDown(1.0f));
}

TEST_F(DelayPlayersTest, MatchWorldCountsTheSamplerTimersAndTheClosingTimeCrossingAsksForResampling) {
  TWorld& W = MotionWorld;
  W.LiveWorld = kTrue32;
  RunStep(DelayPlayers);
  EXPECT_EQ(W.SearchFlag, kTrue32) << "0.72 was above 0.7 before the count";
  EXPECT_EQ(StrategyParams.NearestClosing, StepDown(0.72f));
  EXPECT_EQ(StrategyParams.ClosingScanTimer, StepDown(0.5f));
  EXPECT_EQ(StrategyParams.TouchDangerTimer, StepDown(0.25f));
  for (int b = 1; b <= 2; ++b) {
    EXPECT_EQ(MoveBooks[b].ResampleTimer, 0.0f) << "crossing 0.7 clears both books' resampling delay";
    EXPECT_EQ(MoveBooks[b].HoldTimer, StepDown(3.0f));
    EXPECT_EQ(MoveBooks[b].TimeSinceSample, StepUp(1.0f));
  }

  // Below the threshold: no crossing, the books count on, the flag clears.
  RunStep(DelayPlayers);
  EXPECT_EQ(W.SearchFlag, kFalse32);
  EXPECT_EQ(MoveBooks[1].ResampleTimer, StepDown(0.0f));
}

TEST_F(DelayPlayersTest, MatchClockHeldAfterHalfTimeUntilPlayIsLiveAndClampedToTheHalf) {
  struct Case {
    const char* what;
    TGameState state;
    bool32 halfTime;
    i32 phase;
    f32 clock;
    f32 wantClock;
    bool32 wantHalfTime;
  };
  const f32 half = 2400.0f;
  const Case cases[] = {
      {"held in a scrum after half time", gsScrum, kTrue32, 2, half, half, kTrue32},
      {"held in a lineout after half time", gsLineout, kTrue32, 2, half, half, kTrue32},
      {"running clears the hold", gsRunning, kTrue32, 2, half, StepUp(half), kFalse32},
      {"passing clears the hold", gsPassing, kTrue32, 2, half, StepUp(half), kFalse32},
      {"freeball clears the hold", gsFreeBall, kTrue32, 2, half, StepUp(half), kFalse32},
      {"runs in a scrum without the hold", gsScrum, kFalse32, 1, 100.0f, StepUp(100.0f), kFalse32},
      {"first half stops at the half length", gsRunning, kFalse32, 1, 2399.98f, half, kFalse32},
      {"second half stops at twice it", gsRunning, kFalse32, 2, 4799.98f, 2 * half, kFalse32},
      {"full time stops at twice it", gsRunning, kFalse32, 3, 4800.0f, 2 * half, kFalse32},
      {"second half runs past the first half's length", gsRunning, kFalse32, 2, half, StepUp(half), kFalse32},
  };
  for (const Case& c : cases) {
    SetUp();
    TWorld& W = MotionWorld;
    W.halflength = half;
    W.gamestate = c.state;
    W.HalfTimeReached = c.halfTime;
    W.MatchPhase = c.phase;
    W.clock = c.clock;
    RunStep(DelayPlayers);
    EXPECT_EQ(W.clock, c.wantClock) << c.what;
    EXPECT_EQ(W.HalfTimeReached, c.wantHalfTime) << c.what;
  }
}

TEST_F(DelayPlayersTest, ContactCheckTimerIsReArmedWhenNotRunning) {
  TWorld& W = MotionWorld;
  RunStep(DelayPlayers);
  EXPECT_EQ(W.ContactCheckTimer, ToF32(0.025 - static_cast<double>(kSceneStep)));
  EXPECT_NEAR(W.ContactCheckTimer, -0.015f, 1e-6f);
  W.ContactCheckTimer = 0.5f;
  RunStep(DelayPlayers);
  EXPECT_EQ(W.ContactCheckTimer, StepDown(0.5f)) << "a timer another step set higher just counts";
}

TEST_F(DelayPlayersTest, PlainCountdownsFallWithoutFloorAndOneShotsStopAtTheirRunOut) {
  TWorld& W = MotionWorld;
  W.OffloadBlockTimer = -3.0f;
  W.PostHitTimer = 0.02f;
  W.RunShapeTimer = 0.02f;
  W.RestartDelay = 0.0f;
  W.Teams[1].StrategyTimer = 0.02f;
  W.Teams[2].PressureTimerB = 0.02f;
  W.Teams[1].PressureTimerB = 0.5f;  // not a countdown of block 1
  W.Teams[2].FullbackCoverTimer = 1.0f;
  Att(2).UserActionTimer = 0.02f;
  Def(2).BallTouchLockTimer = 0.02f;
  Att(3).ReactionDelayExtra2.value = 0.0f;
  Att(3).PassReadTimer = 0.0f;
  Def(3).ReactionDelayExtra2.value = 0.0f;
  Def(3).PassReadTimer = 0.0f;
  for (int frame = 1; frame <= 2; ++frame) RunStep(DelayPlayers);
  const f32 twice = StepDown(StepDown(0.0f));
  EXPECT_EQ(W.OffloadBlockTimer, StepDown(StepDown(-3.0f)));
  EXPECT_EQ(W.PostHitTimer, StepDown(StepDown(0.02f)));
  EXPECT_EQ(W.RestartDelay, twice);
  EXPECT_EQ(W.RunShapeTimer, StepDown(0.02f));
  EXPECT_EQ(W.Teams[1].StrategyTimer, StepDown(0.02f));
  EXPECT_EQ(W.Teams[2].PressureTimerB, StepDown(0.02f));
  EXPECT_EQ(W.Teams[1].PressureTimerB, 0.5f);
  EXPECT_EQ(W.Teams[2].FullbackCoverTimer, StepUp(StepUp(1.0f)));
  EXPECT_EQ(Att(2).UserActionTimer, StepDown(0.02f));
  EXPECT_EQ(Def(2).BallTouchLockTimer, StepDown(StepDown(0.02f)));
  EXPECT_EQ(Att(3).ReactionDelayExtra2.value, twice) << "block 1's reaction delays have no floor";
  EXPECT_EQ(Att(3).PassReadTimer, twice);
  EXPECT_EQ(Def(3).ReactionDelayExtra2.value, 0.0f) << "block 2's count only while above 0";
  EXPECT_EQ(Def(3).PassReadTimer, 0.0f);
}

TEST_F(DelayPlayersTest, StateClocksFollowTheGameState) {
  TWorld& W = MotionWorld;
  W.Teams[1].BallCarrier = 10;
  Att(10).Pos.z = 12.0f;
  Att(10).CarryTimer = 1.0f;
  Att(10).GettingTackledTimer = 1.0f;
  W.Teams[1].CarryMaxZ = 3.0f;
  W.MarkCalled = kTrue32;
  W.TimeInPassing = 2.0f;
  RunStep(DelayPlayers);
  EXPECT_EQ(Att(10).CarryTimer, StepDown(1.0f));
  EXPECT_EQ(W.CarrierHeldTime, kSceneStep);
  EXPECT_EQ(W.Teams[1].CarryMaxZ, 12.0f);
  EXPECT_EQ(W.MarkCalled, kTrue32) << "kept in running";
  EXPECT_EQ(W.TimeInPassing, 0.0f);

  W.GoToGroundDecided = kTrue32;
  Att(10).GettingTackledTimer = 0.0f;
  RunStep(DelayPlayers);
  EXPECT_EQ(W.CarrierHeldTime, 0.0f);
  EXPECT_EQ(W.GoToGroundDecided, kFalse32);

  W.gamestate = gsPassing;
  RunStep(DelayPlayers);
  EXPECT_EQ(W.TimeInPassing, kSceneStep);
  EXPECT_EQ(W.MarkCalled, kFalse32);

  // The ruck wait starts once the restart delay has run out.
  W.gamestate = gsGotTackled;
  W.RestartDelay = 0.05f;
  W.RuckWaitClock = 7.0f;
  RunStep(DelayPlayers);
  EXPECT_EQ(W.RuckWaitClock, 7.0f);
  RunStep(DelayPlayers);
  EXPECT_EQ(W.RuckWaitClock, StepUp(7.0f));
  W.gamestate = gsScrum;
  RunStep(DelayPlayers);
  EXPECT_EQ(W.RuckWaitClock, 0.0f);
}

TEST_F(DelayPlayersTest, CarrierNumberThatNamesNoRecordIsNobody) {
  TWorld& W = MotionWorld;
  W.CarrierHeldTime = 1.0f;
  W.Teams[1].CarryMaxZ = 3.0f;
  for (i32 carrier : {0, 26, -1, 1000}) {
    W.Teams[1].BallCarrier = carrier;
    RunStep(DelayPlayers);
    EXPECT_EQ(W.CarrierHeldTime, 0.0f) << carrier;
    EXPECT_EQ(W.Teams[1].CarryMaxZ, 3.0f) << carrier;
  }
}

TEST_F(DelayPlayersTest, ListedChaserWhoseAngleReactionRunsOutInRunningPressesAtOnce) {
  TWorld& W = MotionWorld;
  TTeamBlock& D = W.Teams[2];
  D.ChaserCount = 2;
  D.ChaserSlots[1] = 7;
  D.ChaserSlots[2] = 9;
  D.ChaserSlots[3] = 11;  // beyond the count
  struct Case {
    const char* what;
    TGameState state;
    int player;
    bool cleared;
  };
  const Case cases[] = {
      {"second listed chaser in running", gsRunning, 9, true},
      {"listed beyond the chaser count", gsRunning, 11, false},
      {"listed chaser outside running", gsPassing, 9, false},
  };
  for (const Case& c : cases) {
    D.PressureTimerA = 1.0f;
    D.PressureTimerB = 2.0f;
    W.gamestate = c.state;
    Def(c.player).DefensiveRunningAngleReactionTime.value = 0.03f;
    RunStep(DelayPlayers);
    EXPECT_EQ(D.PressureTimerA, c.cleared ? 0.0f : StepDown(1.0f)) << c.what;
    EXPECT_EQ(D.PressureTimerB, c.cleared ? 0.0f : StepDown(2.0f)) << c.what;
    EXPECT_EQ(Def(c.player).DefensiveRunningAngleReactionTime.value, StepDown(0.03f)) << c.what;
  }
}

}  // namespace

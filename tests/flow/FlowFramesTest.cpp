// Real frames of the set-up example match, run through the driver's step
// table: the bookkeeping and the controller take part in every frame.
#include <gtest/gtest.h>

#include "AllocationCounter.h"
#include "contact/RunningStoppages.h"
#include "flow/ExampleFrames.h"
#include "flow/FreeBallUnit.h"

namespace {

int KickRestartCalls = 0;
void CountKickRestart(TWorld&) { ++KickRestartCalls; }

}  // namespace

TEST(FlowFrames, EveryFrameKeepsTheBookAndCallsTheStatesHandler) {
  RunFolder run;
  SetUpExampleMatch(run);
  StateHandlers[gsKickRestartSet] = CountKickRestart;
  KickRestartCalls = 0;

  TWorld& W = World;
  ASSERT_EQ(W.gamestate, gsKickRestartSet);
  for (int frame = 1; frame <= 25; ++frame) {
    W.PrevTimeStep = W.TimeStep;
    W.TimeStep = 0.04f;
    // A floating-point error in any step raises out of RunFrameStep.
    for (int k = 1; k <= kFrameStepCount; ++k) ASSERT_NO_THROW(RunFrameStep(FrameSteps[k], W)) << frame;
    ASSERT_EQ(W.FrameGameState, gsKickRestartSet) << frame;
    EXPECT_EQ(KickRestartCalls, frame);
    // The first frame changes from the zero state of the set-up; from then
    // on the time in the state grows by one time step a frame.
    EXPECT_NEAR(W.TimeInGameState, 0.04 * (frame - 1), 1e-5) << frame;
  }
  EXPECT_EQ(W.FromGameState, gsUserInterface);
  ResetStateHandlers();
}

// The kick-off is lined up, the decision step walks the kicker and chooses
// the kick once, in phase 4, and the handler starts it; the ball leaves the
// kicker's foot with that launch.
TEST(FlowFrames, KickOffFromTheMatchSetUpStartsTheKick) {
  RunFolder run;
  SetUpExampleMatch(run);

  TWorld& W = World;
  SetRunStartValues(W);
  ASSERT_EQ(W.gamestate, gsKickRestartSet);
  ASSERT_EQ(W.KickRestartSetPhase, 1);
  ASSERT_EQ(W.Teams[1].KickerIndex, 10);
  ASSERT_EQ(W.Teams[1].RestartType, 2);
  int frame = 0;
  int choices = 0;  // frames in which KickChosen went from clear to set
  f32 extra = 0;
  TVector3 kick{};  // the chosen launch: speed, elevation, heading
  while (W.KickRestartSetPhase < 8 && frame < 1000) {
    W.PrevTimeStep = W.TimeStep;
    W.TimeStep = 0.04f;
    const i32 phase = W.KickRestartSetPhase;
    const bool wasChosen = W.Teams[1].KickChosen != 0;
    for (int k = 1; k <= kFrameStepCount; ++k) ASSERT_NO_THROW(RunFrameStep(FrameSteps[k], W)) << frame;
    ++frame;
    const TTeamBlock& A = W.Teams[1];
    if (!wasChosen && A.KickChosen != 0) {
      ++choices;
      EXPECT_EQ(W.KickRestartSetPhase, 4) << "the kick is chosen in phase 4";
      kick = {A.KickSpeed, A.KickElevation, A.KickHeading};
    } else if (A.KickChosen != 0) {
      // No later frame searches again.
      EXPECT_EQ(A.KickSpeed, kick.x) << frame;
      EXPECT_EQ(A.KickElevation, kick.y) << frame;
      EXPECT_EQ(A.KickHeading, kick.z) << frame;
    }
    ASSERT_EQ(W.gamestate, gsKickRestartSet) << frame;
    // The recorder pauses from the set-up until 0.5 s before the kick.
    if (phase < 5 || (phase == 5 && W.KickRestartSetPhase == 5 && W.KickRestartCountdown > 0.5f)) {
      EXPECT_EQ(W.RecordingOn, 0) << frame;
    }
    if (W.KickRestartSetPhase < 8) {
      EXPECT_FALSE(Posted(W, msgAdvantageBothSides, &extra)) << frame;
    }
  }
  ASSERT_EQ(W.KickRestartSetPhase, 8) << "the kick never started";
  EXPECT_EQ(choices, 1);
  EXPECT_NE(W.RecordingOn, 0);
  const TTeamBlock& A = W.Teams[1];
  const TPlayer& K = A.Players[A.KickerIndex];
  EXPECT_GE(A.KickerIndex, 9);
  EXPECT_EQ(A.BallCarrier, A.KickerIndex);
  EXPECT_EQ(K.KickKind, 5.0f);
  EXPECT_GT(K.KickTimer, 0.0f);
  // The timer step has counted the kick once in the same frame.
  EXPECT_NEAR(A.KickTimeLeft, A.GoalKickReleaseTime - 0.04, 1e-5);
  ASSERT_TRUE(Posted(W, msgAdvantageBothSides, &extra));
  EXPECT_EQ(extra, 0.75f);
  // The ball leaves the foot: the kick is taken and the ball flies free.
  for (int f = 0; f < 50 && W.gamestate == gsKickRestartSet; ++f) {
    W.PrevTimeStep = W.TimeStep;
    W.TimeStep = 0.04f;
    for (int k = 1; k <= kFrameStepCount; ++k) ASSERT_NO_THROW(RunFrameStep(FrameSteps[k], W)) << f;
  }
  EXPECT_EQ(W.gamestate, gsFreeBall);
  EXPECT_TRUE(Posted(W, msgKickTaken, &extra));
  // It leaves with the chosen launch and the kicker's errors.
  EXPECT_NEAR(A.KickSpeed, kick.x + A.KickSpeedError, 1e-4);
  EXPECT_NEAR(A.KickElevation, kick.y + A.KickElevationError, 1e-4);
  EXPECT_NEAR(A.KickHeading, kick.z + A.KickHeadingError, 1e-4);
  EXPECT_GT(kick.x, 0.0f);
  ResetStateHandlers();
}

// A try grounded out wide: the celebrations run their course through the
// real steps (the animation step ends each gesture), the conversion is set
// up with its drawn delay, the kicker takes it, and after the transition the
// other side kicks off.
TEST(FlowFrames, TryLeadsToTheConversionBeingKicked) {
  RunFolder run;
  SetUpExampleMatch(run);

  TWorld& W = World;
  SetRunStartValues(W);
  // As the contact step leaves it when player 11 grounds the ball.
  TTeamBlock& A = W.Teams[1];
  A.Players[11].Pos = {20.0f, 0.0f, 52.0f};
  A.Players[11].OldPos = {20.0f, 0.0f, 51.7f};
  A.BallCarrier = 11;
  W.gamestate = gsTryScored;
  W.TryScoredPhase = 1;
  W.TryPos = {20.0f, 52.0f};
  W.DiverIndex = 11;

  const auto frame = [&W](int n) {
    W.PrevTimeStep = W.TimeStep;
    W.TimeStep = 0.04f;
    for (int k = 1; k <= kFrameStepCount; ++k) ASSERT_NO_THROW(RunFrameStep(FrameSteps[k], W)) << n;
  };
  int n = 0;
  while (W.gamestate == gsTryScored && n < 3000) frame(++n);
  ASSERT_EQ(W.gamestate, gsKickRestartSet) << "the celebrations never ended, frame " << n;
  EXPECT_GT(n, 10);
  EXPECT_EQ(A.BallCarrier, 0);
  EXPECT_EQ(A.RestartType, 9);
  EXPECT_EQ(W.Teams[2].RestartType, 9);
  EXPECT_EQ(A.RestartKickerDefault, 10);
  EXPECT_GE(W.RestartDelay, 10.0f);
  EXPECT_LE(W.RestartDelay, 166.965f);
  const i32 kicker = A.KickerIndex;
  ASSERT_TRUE(IsPlayer(kicker));
  for (int i = 1; i <= W.PlayersPerTeam; ++i) {
    EXPECT_EQ(A.Players[i].CelebrateStage, A.Players[i].CelebrateJoin) << i;
    EXPECT_EQ(A.Players[i].chasertimer, 0.0f) << i;
  }

  const int conversionFrames = n;
  while (W.gamestate == gsKickRestartSet && n < conversionFrames + 6000) frame(++n);
  EXPECT_NE(W.gamestate, gsKickRestartSet) << "the conversion was never kicked";
  EXPECT_EQ(W.KickType, kKickTypeConversion);
  f32 extra = 0;
  EXPECT_TRUE(Posted(W, msgKickTaken, &extra));
  EXPECT_EQ(A.KickerIndex, kicker);
  // The conversion ends (over or wide) in a transition and then a kick-off
  // by the other side: the world is mirrored, the blocks swapped.
  const bool32 scorersFirst = W.Team1InFirstBlock;
  bool transition = false;
  const int kicked = n;
  while (!(W.gamestate == gsKickRestartSet && A.RestartType == 2) && n < kicked + 3000) {
    frame(++n);
    transition = transition || W.gamestate == gsTransition;
  }
  EXPECT_TRUE(transition);
  EXPECT_EQ(W.gamestate, gsKickRestartSet) << "no kick-off after the conversion";
  EXPECT_EQ(A.RestartType, 2);
  EXPECT_EQ(W.KickRestartSetPhase, 1);
  EXPECT_NE(W.Team1InFirstBlock, scorersFirst);
  ResetStateHandlers();
}

// After the kick-off both sides chase the ball in every free-ball frame: as
// the handler leaves each frame, each block has a lead chaser, on his way to
// one of the ball's sample points (unless he is still reacting, or kicking);
// the ball is caught or dealt with and the state ends.
namespace {

struct TChaseSeen {
  int frames = 0;
  int leadless = 0;     // block-frames without a lead chaser
  int offPoint = 0;     // block-frames with a lead neither on a point nor excused
  int stopped = 0;      // block-frames with a lead given no speed
  long allocations = 0;  // made by the handler
};
TChaseSeen ChaseSeen;

void FreeBallAndLook(TWorld& W) {
  StartCountingAllocations();
  DoFreeBall(W);
  ChaseSeen.allocations += StopCountingAllocations();
  ++ChaseSeen.frames;
  for (int b = 1; b <= 2; ++b) {
    const TTeamBlock& B = W.Teams[b];
    if (!IsPlayer(B.ChaserSlots[1])) {
      ++ChaseSeen.leadless;
      continue;
    }
    const TPlayer& L = B.Players[B.ChaserSlots[1]];
    if (L.RunningAngleReactionTime.value > 0 || L.KickTimer > 0) continue;
    bool onPoint = false;
    for (int k = 1; k <= 8; ++k)
      onPoint = onPoint || (L.DesiredPos.x == W.FreeBallPoints[k].x && L.DesiredPos.z == W.FreeBallPoints[k].z);
    if (!onPoint) ++ChaseSeen.offPoint;
    if (!(L.ChaseSpeed > 0) && W.FreeBallContested == 0) ++ChaseSeen.stopped;
  }
}

}  // namespace

TEST(FlowFrames, BothSidesChaseTheKickOffUntilTheFreeBallEnds) {
  RunFolder run;
  SetUpExampleMatch(run);
  StateHandlers[gsFreeBall] = FreeBallAndLook;
  ChaseSeen = {};
  TWorld& W = World;
  SetRunStartValues(W);
  const auto frame = [&W] {
    W.PrevTimeStep = W.TimeStep;
    W.TimeStep = 0.04f;
    for (int k = 1; k <= kFrameStepCount; ++k) RunFrameStep(FrameSteps[k], W);
  };
  for (int f = 0; f < 1000 && W.gamestate != gsFreeBall; ++f) ASSERT_NO_THROW(frame()) << f;
  ASSERT_EQ(W.gamestate, gsFreeBall) << "the kick-off never left the foot";
  for (int f = 0; f < 500 && W.gamestate == gsFreeBall; ++f) ASSERT_NO_THROW(frame()) << f;
  EXPECT_NE(W.gamestate, gsFreeBall) << "still free after 500 frames";
  EXPECT_GT(ChaseSeen.frames, 10);
  EXPECT_EQ(ChaseSeen.leadless, 0);
  EXPECT_EQ(ChaseSeen.offPoint, 0);
  EXPECT_EQ(ChaseSeen.stopped, 0);
  EXPECT_EQ(ChaseSeen.allocations, 0);
  ResetStateHandlers();
}

// Play stops in running just before half time: the whistle for the half goes
// only as the transition ends, and not before a penalty kick, which is taken
// first.
TEST(FlowFrames, HalfEndsOnlyAsTheTransitionEnds) {
  struct Case {
    const char* what;
    TGameState pending;
    i32 kind;
    i32 phaseAfter;
    i32 restartType;  // block 1's after the transition
  };
  const Case cases[] = {
      {"a scrum", gsScrum, 0, 2, 2},
      {"a penalty kick for touch", gsKickRestartSet, 3, 1, 5},
  };
  for (const Case& c : cases) {
    RunFolder run;
    SetUpExampleMatch(run);
    TWorld& W = World;
    SetRunStartValues(W);
    W.HalfTimeReached = kFalse32;
    W.clock = static_cast<f32>(W.halflength - 0.5);
    W.gamestate = gsRunning;
    W.Teams[1].BallCarrier = 10;
    StopPlay(W, c.kind, c.pending, false);
    ASSERT_EQ(W.gamestate, gsTransition);
    int frames = 0;
    for (; frames < 500 && W.gamestate == gsTransition; ++frames) {
      EXPECT_EQ(W.MatchPhase, 1) << c.what << ", frame " << frames;
      W.PrevTimeStep = W.TimeStep;
      W.TimeStep = 0.04f;
      for (int k = 1; k <= kFrameStepCount; ++k) ASSERT_NO_THROW(RunFrameStep(FrameSteps[k], W)) << frames;
    }
    ASSERT_NE(W.gamestate, gsTransition) << c.what << ": still in transition after 500 frames";
    EXPECT_GE(frames, 50) << c.what << ": at least the stoppage's 2.0 s";
    EXPECT_GE(W.clock, W.halflength) << c.what;
    EXPECT_EQ(W.MatchPhase, c.phaseAfter) << c.what;
    EXPECT_EQ(W.gamestate, gsKickRestartSet) << c.what;
    EXPECT_EQ(W.Teams[1].RestartType, c.restartType) << c.what;
  }
  ResetStateHandlers();
}

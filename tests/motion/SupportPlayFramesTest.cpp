// A real running frame of the set-up example match, run through the
// driver's step table: the line break's support call of the bookkeeping step
// becomes a run to the line in the support step.
#include <gtest/gtest.h>

#include <cmath>

#include "RunFolder.h"
#include "app/FrameSteps.h"
#include "core/Random.h"
#include "setup/InitialisationUnit.h"

namespace {

constexpr int kStepSampleWorld = 1;
constexpr int kStepSupportPlay = 9;

int CalledPlayer(const TWorld& W) {
  for (int p = 1; p <= 25; ++p) {
    if (W.Teams[1].Players[p].SupportRunCall != 0) return p;
  }
  return 0;
}

}  // namespace

TEST(SupportPlayFrames, ALineBreakRunnerGetsHisRunToTheLineInTheSameFrame) {
  ASSERT_STREQ(FrameSteps[kStepSampleWorld].Name, "SampleWorld");
  ASSERT_STREQ(FrameSteps[kStepSupportPlay].Name, "SupportPlay");
  RunFolder run;
  run.UseAsRunContext();
  Form1.Reset();
  RandSeed = 2468;
  InitialiseMatch();
  ResetFrameSteps();

  // Running: carrier 10 breaks 5 m beyond the gain line, his side attacks
  // to +x, his team-mates spread across the pitch behind him.
  TWorld& W = World;
  TTeamBlock& A = W.Teams[1];
  W.gamestate = gsRunning;
  W.FrameGameState = gsRunning;
  W.RunningPhase = 2;
  W.GainLineZ = 0.0f;
  A.AttackSide = 1;
  for (int p = 1; p <= 15; ++p) {
    TPlayer& P = A.Players[p];
    P.Pos = {static_cast<f32>(4 * p - 30), 0.0f, -5.0f};
    P.OldPos = P.Pos;
    P.DesiredPos = P.Pos;
  }
  A.BallCarrier = 10;
  TPlayer& C = A.Players[10];
  C.Pos = {-20.0f, 0.0f, 5.0f};
  C.OldPos = {-20.0f, 0.0f, 4.76f};
  C.Velocity = {0.0f, 6.0f};

  W.PrevTimeStep = W.TimeStep;
  W.TimeStep = 0.04f;
  int called = 0;
  for (int k = 1; k <= kFrameStepCount; ++k) {
    // A floating-point error in any step raises out of RunFrameStep.
    ASSERT_NO_THROW(RunFrameStep(FrameSteps[k], W)) << FrameSteps[k].Name;
    if (k == kStepSampleWorld) {
      ASSERT_NE(W.LineBreak, 0);
      called = CalledPlayer(W);
      ASSERT_NE(called, 0) << "the break calls a runner";
      ASSERT_EQ(A.Players[called].ActionSeq.seqON, 0);
    }
    if (k == kStepSupportPlay) {
      const TPlayer& P = A.Players[called];
      EXPECT_EQ(P.SupportRunCall, 0);
      EXPECT_EQ(CalledPlayer(W), 0);
      ASSERT_NE(P.ActionSeq.seqON, 0);
      const TActionEvent& E = P.ActionSeq.EventArray[1];
      EXPECT_EQ(E.EventType, 14);
      EXPECT_EQ(E.EndCondition, 3);
      const double beside = std::fabs(static_cast<double>(E.TargetX) - C.Pos.x);
      EXPECT_GE(beside, 2.0) << E.TargetX;
      EXPECT_LE(beside, 7.0) << E.TargetX;
    }
  }
  ASSERT_NE(called, 0);
  EXPECT_NE(A.Players[called].ActionSeq.seqON, 0);
}

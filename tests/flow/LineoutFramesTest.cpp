// Real frames of a lineout in the example match, run through the driver's
// step table: the handler, the animation step, the decision step's thrower
// and the contact step together.
#include <gtest/gtest.h>

#include "core/HalfTime.h"
#include "flow/ExampleFrames.h"

TEST(LineoutFrames, SeededLineoutRestartReachesTheThrow) {
  RunFolder run;
  SetUpExampleMatch(run);

  TWorld& W = World;
  SetRunStartValues(W);
  // The ball carried into touch on the positive side, 10 m into block 2's half.
  W.PendingGameState = gsLineout;
  W.RestartKind = 6;
  W.TouchPos = {35.0f, 10.0f};
  SetRestartDelay(W);
  W.gamestate = gsLineout;
  ASSERT_EQ(W.LineoutPhase, 0);

  int frame = 0;
  int thrownAt = 0;
  while (W.LineoutPhase < 14 && W.gamestate == gsLineout && frame < 3000) {
    W.PrevTimeStep = W.TimeStep;
    W.TimeStep = 0.04f;
    for (int k = 1; k <= kFrameStepCount; ++k) ASSERT_NO_THROW(RunFrameStep(FrameSteps[k], W)) << frame;
    ++frame;
    if (frame == 1) {
      EXPECT_EQ(W.LineoutPhase, 3);
      EXPECT_EQ(W.Teams[1].BallCarrier, W.Teams[1].LineoutThrower);
      EXPECT_GE(W.RestartDelay, 10.0f - 0.04f);
    }
    if (W.LineoutPhase < 13) {
      ASSERT_EQ(W.Teams[1].BallCarrier, W.Teams[1].LineoutThrower) << frame;
    }
    if (W.LineoutPhase >= 13 && thrownAt == 0) thrownAt = frame;
  }
  ASSERT_EQ(W.gamestate, gsLineout);
  ASSERT_EQ(W.LineoutPhase, 14) << "stopped in phase " << W.LineoutPhase << " after " << frame << " frames";
  // Not before the restart delay has run out.
  EXPECT_GT(thrownAt * 0.04, 10.0);
  EXPECT_EQ(W.Teams[1].BallCarrier, 0);
  f32 extra = 0;
  EXPECT_TRUE(Posted(W, msgLineoutThrow, &extra));
  EXPECT_TRUE(Posted(W, msgLineoutJump, &extra));
  EXPECT_NE(W.RecordingOn, 0);
  // Into the field, from the touchline at +x.
  EXPECT_LE(W.PassVel.x, -0.75f);
  EXPECT_LT(W.BallPos.x, W.Teams[1].ThrowStart.x);
  ResetStateHandlers();
}

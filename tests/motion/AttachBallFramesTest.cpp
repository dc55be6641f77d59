// Real frames of the set-up example match through the driver's step table:
// at the kick-off set the kicker, block 1's carrier, holds the ball in his
// hands every frame.
#include <gtest/gtest.h>

#include "ExampleMatch.h"
#include "app/FrameSteps.h"

using AttachBallFrames = ExampleMatchTest;

TEST_F(AttachBallFrames, TheKickerBreathesWithTheBallAttachedEveryFrame) {
  ResetFrameSteps();
  TWorld& W = World;
  ASSERT_EQ(W.gamestate, gsKickRestartSet);
  ASSERT_EQ(W.Teams[1].BallCarrier, 10);
  for (int frame = 1; frame <= 60; ++frame) {
    W.PrevTimeStep = W.TimeStep;
    W.TimeStep = 0.04f;
    for (int k = 1; k <= kFrameStepCount; ++k) ASSERT_NO_THROW(RunFrameStep(FrameSteps[k], W)) << frame;
    ASSERT_EQ(W.gamestate, gsKickRestartSet) << frame;
    EXPECT_EQ(W.Teams[1].Players[10].currentAnim.View(), "breathingwithball") << frame;
    EXPECT_EQ(W.BallAttached, kTrue32) << frame;
    EXPECT_EQ(W.LastKnownHasBall, 10) << frame;
  }
}

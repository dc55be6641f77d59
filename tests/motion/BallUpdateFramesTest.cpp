// Real frames of the set-up example match through the driver's step table:
// at the kick-off set the kicker, block 1's player 10, holds the ball on his
// ball-in-hand track, and everyone faces and turns without a float error.
#include <gtest/gtest.h>

#include <cmath>

#include "ExampleMatch.h"
#include "app/FrameSteps.h"
#include "core/Geometry.h"
#include "motion/AnimatePlayersUnit.h"
#include "motion/BallUpdateUnit.h"
#include "setup/BallKeyframes.h"

using BallUpdateFrames = ExampleMatchTest;

TEST_F(BallUpdateFrames, TheKickerHoldsTheBallOnHisTrack) {
  ResetFrameSteps();
  TWorld& W = World;
  ASSERT_EQ(W.gamestate, gsKickRestartSet);
  ASSERT_EQ(W.Teams[1].BallCarrier, 10);
  for (int frame = 1; frame <= 12; ++frame) {
    W.PrevTimeStep = W.TimeStep;
    W.TimeStep = 0.04f;
    for (int k = 1; k <= kFrameStepCount; ++k) ASSERT_NO_THROW(RunFrameStep(FrameSteps[k], W)) << frame;
    ASSERT_EQ(W.gamestate, gsKickRestartSet) << frame;
    const TPlayer& K = W.Teams[1].Players[10];
    ASSERT_EQ(W.BallAttached, kTrue32) << frame;
    ASSERT_EQ(W.LastKnownHasBall, 10) << frame;
    ASSERT_GE(K.BallTrack, 1);
    ASSERT_LE(K.BallTrack, kFilledBallKeyTracks);
    // Within his reach and not at the 1.5 m hold point of the state step.
    const double reach = Distance2D(W.BallPos.x, W.BallPos.z, K.Pos.x, K.Pos.z);
    EXPECT_LT(reach, 0.75 * K.Height) << frame;
    EXPECT_GT(W.BallPos.y, 0.0f) << frame;
    EXPECT_LT(W.BallPos.y, 1.6f * K.Height) << frame;
    EXPECT_NE(W.BallPos.y, 1.5f) << frame;
    // Exactly where his track puts it at his progress and heading.
    static TWorld scratch;
    f32 f = ToF32(AnimProgress(K));
    ASSERT_TRUE(PlaceBallInHand(scratch, K.BallTrack, f, K.Height, ToF32(K.Heading * kDegToRad),
                                {K.Pos.x, 0.0f, K.Pos.z}));
    EXPECT_EQ(W.BallPos.x, scratch.BallPos.x) << frame;
    EXPECT_EQ(W.BallPos.y, scratch.BallPos.y) << frame;
    EXPECT_EQ(W.BallPos.z, scratch.BallPos.z) << frame;
    EXPECT_EQ(W.BallSpin, scratch.BallSpin) << frame;
    EXPECT_TRUE(std::isfinite(W.BallSpeed)) << frame;
    // Every standing player faces and his heading follows.
    for (int b = 1; b <= 2; ++b)
      for (int i = 1; i <= PlayerCount(W); ++i) {
        const TPlayer& P = W.Teams[b].Players[i];
        ASSERT_TRUE(std::isfinite(P.FacingAngle)) << b << " " << i;
        ASSERT_TRUE(std::isfinite(P.Heading)) << b << " " << i;
      }
  }
}

// Real frames of the set-up example match through the driver's step table:
// the timer step runs the match clock and centres the play every frame. The
// set-up holds the clock (HalfTimeReached) until play is live: it stands
// through the kick-off set and runs from the first running frame on.
#include <gtest/gtest.h>

#include <cmath>

#include "ExampleMatch.h"
#include "app/FrameSteps.h"

using DelayPlayersFrames = ExampleMatchTest;

TEST_F(DelayPlayersFrames, MatchClockAdvancesAFrameAtATimeAndThePlayIsCentredEveryFrame) {
  ResetFrameSteps();

  TWorld& W = World;
  ASSERT_EQ(W.clock, 0.0f);
  f32 clock = 0.0f;
  for (int frame = 1; frame <= 50; ++frame) {
    // The kick-off goes after ten frames, as the restart handler would send it.
    if (frame == 11) {
      W.gamestate = gsRunning;
      W.Teams[1].BallCarrier = 10;
    }
    W.PrevTimeStep = W.TimeStep;
    W.TimeStep = 0.04f;
    // Off the pitch: only the timer step's call can bring it back.
    W.PointOfInterest = {1000.0f, 1000.0f};
    W.PointOfInterestRadius = -1.0f;
    for (int k = 1; k <= kFrameStepCount; ++k) ASSERT_NO_THROW(RunFrameStep(FrameSteps[k], W)) << frame;
    if (frame > 10) clock = ToF32(static_cast<double>(clock) + 0.04f);
    EXPECT_EQ(W.clock, clock) << frame;
    EXPECT_EQ(W.HalfTimeReached != kFalse32, frame <= 10) << frame;
    EXPECT_LE(std::fabs(W.PointOfInterest.x), W.PitchWidth / 2) << frame;
    EXPECT_LE(std::fabs(W.PointOfInterest.z), W.PitchLength / 2) << frame;
    EXPECT_GT(W.PointOfInterestRadius, 0.0f) << frame;
  }
  EXPECT_NEAR(W.clock, 1.6f, 1e-4f);
}

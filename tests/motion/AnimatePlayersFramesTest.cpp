// Real frames of the set-up example match through the driver's step table:
// at the kick-off set every standing player but the kicker breathes, the
// frame moving on every frame and the loops counted.
#include <gtest/gtest.h>

#include "ExampleMatch.h"
#include "app/FrameSteps.h"
#include "flow/SetDesiredPositionUnit.h"

using AnimatePlayersFrames = ExampleMatchTest;

namespace {
void HoldPositions(TWorld&) {}
}  // namespace

TEST_F(AnimatePlayersFrames, StandingPlayersBreatheAndCountTheirLoops) {
  ResetFrameSteps();
  // Nobody is sent to a formation place: every player stands where he is.
  StateHandlers[gsKickRestartSet] = HoldPositions;
  TWorld& W = World;
  ASSERT_EQ(W.gamestate, gsKickRestartSet);
  const int kicker = W.Teams[1].BallCarrier;
  ASSERT_TRUE(IsPlayer(kicker));
  const int n = PlayerCount(W);
  Arr1<Arr1<f32, 25>, 2> lastFrame{};
  Arr1<Arr1<int, 25>, 2> wraps{};
  for (int b = 1; b <= 2; ++b)
    for (int i = 1; i <= n; ++i) lastFrame[b][i] = W.Teams[b].Players[i].currentframe;

  for (int frame = 1; frame <= 60; ++frame) {
    W.PrevTimeStep = W.TimeStep;
    W.TimeStep = 0.04f;
    for (int k = 1; k <= kFrameStepCount; ++k) ASSERT_NO_THROW(RunFrameStep(FrameSteps[k], W)) << frame;
    for (int b = 1; b <= 2; ++b)
      for (int i = 1; i <= n; ++i) {
        if (b == 1 && i == kicker) continue;
        const TPlayer& P = W.Teams[b].Players[i];
        ASSERT_EQ(P.speed, 0.0f) << "standing: block " << b << " player " << i;
        EXPECT_EQ(P.currentAnim.View(), "breathing") << frame << " block " << b << " player " << i;
        EXPECT_NE(P.currentframe, lastFrame[b][i]) << frame << " block " << b << " player " << i;
        if (P.currentframe < lastFrame[b][i]) ++wraps[b][i];
        EXPECT_EQ(P.AnimLoopCount, wraps[b][i]) << frame << " block " << b << " player " << i;
        lastFrame[b][i] = P.currentframe;
      }
  }
  // 2.4 s of a 1.2 s cycle.
  EXPECT_EQ(W.Teams[2].Players[1].AnimLoopCount, 2);
  EXPECT_EQ(W.Teams[1].Players[kicker].currentAnim.View(), "breathingwithball");
  ResetStateHandlers();
}

// Real frames of the set-up example match, run through the driver's step
// table: the bookkeeping and the controller take part in every frame.
#include <gtest/gtest.h>

#include "RunFolder.h"
#include "app/FrameSteps.h"
#include "core/Random.h"
#include "core/RunContext.h"
#include "flow/SetDesiredPositionUnit.h"
#include "platform/Platform.h"
#include "setup/InitialisationUnit.h"

namespace {

int KickRestartCalls = 0;
void CountKickRestart(TWorld&) { ++KickRestartCalls; }

}  // namespace

TEST(FlowFrames, EveryFrameKeepsTheBookAndCallsTheStatesHandler) {
  RunFolder run;
  ExeDir = run.Dir();
  OutputDir = ExeDir + "output/";
  ForceDirectories(OutputDir);
  Form1.Reset();
  RandSeed = 4242;
  InitialiseMatch();
  ResetFrameSteps();
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

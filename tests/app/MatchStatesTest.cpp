// A seeded whole match of the example input plays from the kick-off to full
// time through every state of play and ends as a clean run: the states are
// built apart, so only a whole match shows that each one hands over to the
// next.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "RunFolder.h"
#include "app/FrameSteps.h"
#include "app/MainUnit.h"
#include "core/TypeDefs.h"
#include "platform/Platform.h"

namespace {

// A whole match is about sixteen times slower under the sanitizers (the
// example match, seed 4242: 115 CPU-seconds against 7); the
// release build plays it, and the sanitizer builds check bounded matches
// elsewhere.
#if !defined(__SANITIZE_ADDRESS__)

std::set<int> g_states;
int g_frames = 0;
TFrameStep g_lastStep = nullptr;

// The last frame step, then a note of the match world's state (look-ahead
// copies go through the same table and are left out).
void RecordingLastStep(TWorld& W) {
  g_lastStep(W);
  if (&W != &World) return;
  g_states.insert(W.gamestate);
  ++g_frames;
}

TEST(MatchStatesTest, ASeededMatchVisitsEveryStateOfPlayAndEndsWithoutErrors) {
  ResetFrameSteps();
  g_states.clear();
  g_frames = 0;
  g_lastStep = FrameSteps[kStepPostStatMessages].Step;
  FrameSteps[kStepPostStatMessages].Step = RecordingLastStep;
  RunFolder run;
  FixTimeOfDay(20261210);
  const int status = RunProgram();
  UnfixTimeOfDay();
  ResetFrameSteps();

  EXPECT_EQ(status, 0);
  EXPECT_TRUE(run.Exists("output/ThisSimHasNoErrors_example01.txt"));
  EXPECT_FALSE(run.Exists("output/ThisSimHasErrors_example01.txt"));
  // Two halves of 40 minutes at 25 frames a second, stoppages included.
  EXPECT_GT(g_frames, 2 * 40 * 60 * 25);
  for (const int state : {gsRunning, gsPassing, gsGotTackled, gsFreeBall, gsScrum, gsLineout,
                          gsKickRestartSet, gsTryScored, gsTransition})
    EXPECT_EQ(g_states.count(state), 1u) << "state " << state << " never played";
}
#endif

}  // namespace

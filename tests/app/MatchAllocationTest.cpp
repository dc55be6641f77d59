// Frames of a seeded match allocate nothing, on the match world and on the
// look-ahead copies its samplers play: a match runs some 120,000 frames and
// millions of look-ahead frames, so one allocation a frame is a real cost.
#include <gtest/gtest.h>

#include "AllocationCounter.h"
#include "ExampleMatch.h"
#include "OpenPlayStart.h"
#include "RunFolder.h"
#include "app/FrameSteps.h"
#include "app/MainUnit.h"
#include "core/TypeDefs.h"
#include "core/WorkCounters.h"
#include "platform/Application.h"
#include "platform/Platform.h"

namespace {

void RunMatchFrame(TWorld& W) {
  W.PrevTimeStep = W.TimeStep;
  W.TimeStep = 0.04f;
  for (int i = 1; i <= kFrameStepCount; ++i) RunFrameStep(FrameSteps[i], W);
}

class OpenPlayAllocationTest : public ExampleMatchTest {
 protected:
  void SetUp() override {
    ExampleMatchTest::SetUp();
    ResetFrameSteps();
    PutIntoOpenPlay(World);
  }
};

// The carrier's side samples its open moves on look-ahead copies while the
// ball is carried; every frame until the first tackle is counted (the
// breakdown's sampling pass writes its look-ahead log lines, which the
// sampler tests cover).
TEST_F(OpenPlayAllocationTest, FramesOfOpenPlayAndTheirLookAheadsAllocateNothing) {
  RunMatchFrame(World);  // the first frame may warm up what it uses
  const TWorkCounters before = WorkCounters;
  int frames = 0;
  StartCountingAllocations();
  while (frames < 400 && World.gamestate == gsRunning) {
    RunMatchFrame(World);
    ++frames;
  }
  const long allocations = StopCountingAllocations();
  EXPECT_EQ(allocations, 0);
  EXPECT_GT(frames, 100);
  EXPECT_GT(WorkCounters.WorldCopies, before.WorldCopies);
  EXPECT_GT(WorkCounters.LookAheadFrames, before.LookAheadFrames + 1000);
}

// The program's own driver from the seeded set-up: the kick-off, its flight
// and what follows, each frame recorded for the replay.
TEST(MatchDriverAllocationTest, FramesFromTheKickOffAllocateNothing) {
  ResetFrameSteps();
  RunFolder run;
  FixTimeOfDay(4242);
  FormCreate();
  UnfixTimeOfDay();
  bool done = true;
  ApplicationIdle(done);  // the kick-off's set-up frame
  const TWorkCounters before = WorkCounters;
  StartCountingAllocations();
  for (int i = 0; i < 1500 && !SimFinished; ++i) ApplicationIdle(done);
  const long allocations = StopCountingAllocations();
  EXPECT_EQ(allocations, 0);
  EXPECT_EQ(WorkCounters.MatchFrames, before.MatchFrames + 1500);
  Application.OnIdle = nullptr;
}

}  // namespace

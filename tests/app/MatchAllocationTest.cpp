// Frames of a seeded match allocate nothing, on the match world and on the
// look-ahead copies its samplers play: a match runs some 120,000 frames and
// millions of look-ahead frames, so one allocation a frame is a real cost.
// The only allocations allowed are the log lines the system writes (the run
// log's and the look-ahead log's), so a frame that allocates must have
// written one.
#include <gtest/gtest.h>

#include <string>

#include "AllocationCounter.h"
#include "ExampleMatch.h"
#include "OpenPlayStart.h"
#include "RunFolder.h"
#include "app/FrameSteps.h"
#include "app/MainUnit.h"
#include "core/TypeDefs.h"
#include "core/WorkCounters.h"
#include "platform/Application.h"
#include "platform/Form.h"
#include "platform/Platform.h"

namespace {

// What the log lines of one frame change: the run log only grows; the
// look-ahead log is also cleared, so any change of its count counts.
struct TLogMark {
  size_t RunLog, LookAheadLog;
  std::string LastLookAheadLine;
};

TLogMark MarkLogs() {
  const TLines& look = Form1.Memo1;
  return {Form1.Memo2.Count(), look.Count(), look.Count() > 0 ? look.Lines.back() : std::string()};
}

bool LogsChanged(const TLogMark& before) {
  const TLogMark now = MarkLogs();
  return now.RunLog != before.RunLog || now.LookAheadLog != before.LookAheadLog ||
         now.LastLookAheadLine != before.LastLookAheadLine;
}

// Plays `frames` frames through `frame`, each counted apart; returns how
// many allocated without writing a log line (the first such frame's number
// in `first`) and, in `quiet`, how many allocated nothing at all.
template <class F>
int FramesAllocatingWithoutLogLine(int frames, F frame, int& first, int& quiet) {
  int faults = 0;
  first = 0;
  quiet = 0;
  for (int f = 1; f <= frames; ++f) {
    const TLogMark before = MarkLogs();
    StartCountingAllocations();
    frame();
    const long allocations = StopCountingAllocations();
    if (allocations == 0) {
      ++quiet;
    } else if (!LogsChanged(before)) {
      if (faults++ == 0) first = f;
    }
  }
  return faults;
}

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

// The carrier's side samples its moves on look-ahead copies, in open play
// and at the breakdowns that follow.
TEST_F(OpenPlayAllocationTest, FramesOfPlayAndTheirLookAheadsAllocateOnlyForLogLines) {
  RunMatchFrame(World);  // the first frame may warm up what it uses
  const TWorkCounters before = WorkCounters;
  int first = 0, quiet = 0;
  const int faults = FramesAllocatingWithoutLogLine(400, [] { RunMatchFrame(World); }, first, quiet);
  EXPECT_EQ(faults, 0) << "first at frame " << first;
  EXPECT_GT(quiet, 300);
  EXPECT_GT(WorkCounters.WorldCopies, before.WorldCopies);
  EXPECT_GT(WorkCounters.LookAheadFrames, before.LookAheadFrames + 1000);
}

// The program's own driver from the seeded set-up: the kick-off, its flight
// and what follows, each frame recorded for the replay.
TEST(MatchDriverAllocationTest, FramesFromTheKickOnAllocateOnlyForLogLines) {
  ResetFrameSteps();
  RunFolder run;
  FixTimeOfDay(4242);
  FormCreate();
  UnfixTimeOfDay();
  bool done = true;
  ApplicationIdle(done);  // the kick-off's set-up frame
  const TWorkCounters before = WorkCounters;
  int first = 0, quiet = 0;
  const int faults = FramesAllocatingWithoutLogLine(3000, [&] { ApplicationIdle(done); }, first, quiet);
  EXPECT_EQ(faults, 0) << "first at frame " << first;
  EXPECT_GT(quiet, 2000);
  EXPECT_EQ(WorkCounters.MatchFrames, before.MatchFrames + 3000);
  EXPECT_GT(WorkCounters.LookAheadFrames, before.LookAheadFrames);
  Application.OnIdle = nullptr;
}

}  // namespace

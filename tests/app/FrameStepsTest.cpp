#include "app/FrameSteps.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/FloatGuard.h"

namespace {

TWorld W;
TWorld Before;

// The float error a run of steps First..Last raises on W ("" for none),
// with the engine's own steps and clear flags put back after it.
std::string RunStepsError(int First, int Last) {
  std::string what;
  try {
    RunFrameSteps(W, First, Last);
  } catch (const TFloatingPointError& e) {
    what = e.what();
  }
  ResetFrameSteps();
  ClearFloatFlags();
  return what;
}

TEST(EmptyFrameStep, LeavesTheWorldAsItWas) {
  std::memset(&W, 0, sizeof W);
  W.PlayersPerTeam = 15;
  W.clock = 12.5f;
  W.Teams[2].Players[3].Pos = {1, 2, 3};
  std::memcpy(&Before, &W, sizeof W);
  EXPECT_STREQ(FrameSteps[12].Name, "EmptyFrameStep");
  EXPECT_EQ(FrameSteps[12].Step, &EmptyFrameStep);
  EmptyFrameStep(W);
  EXPECT_EQ(std::memcmp(&Before, &W, sizeof W), 0);
}

TEST(RunFrameStep, DebugBuildsFailAStepThatReadsScratchBeforeWritingIt) {
#ifdef NDEBUG
  GTEST_SKIP() << "release builds do not poison the scratch";
#else
  const TFrameStepEntry readsFirst = {"ReadsScratchFirst", [](TWorld& W) {
    W.clock = W.ScratchValue1 + 1.0f;
  }};
  const TFrameStepEntry writesFirst = {"WritesScratchFirst", [](TWorld& W) {
    W.ScratchValue1 = 2.0f;
    W.clock = W.ScratchValue1 + 1.0f;
  }};
  std::memset(&W, 0, sizeof W);
  W.ScratchValue1 = 5.0f;  // left by an earlier step
  EXPECT_THROW(RunFrameStep(readsFirst, W), TFloatingPointError);
  RunFrameStep(writesFirst, W);
  EXPECT_EQ(W.clock, 3.0f);
#endif
}

// A run of steps clears a flag left before it, raises in the step whose
// float error it is, naming that step, and runs no step after it.
TEST(RunFrameSteps, RaisesInTheStepOfTheErrorAndRunsNoMore) {
  static int ran[4];
  static volatile float zero = 0.0f;
  std::memset(ran, 0, sizeof ran);
  FrameSteps[1] = {"One", [](TWorld&) { ++ran[1]; }};
  FrameSteps[2] = {"Two", [](TWorld& W) {
    ++ran[2];
    W.clock = 1.0f / zero;
  }};
  FrameSteps[3] = {"Three", [](TWorld&) { ++ran[3]; }};
  std::memset(&W, 0, sizeof W);
  W.clock = 1.0f / zero;  // a flag raised before the run
  EXPECT_NO_THROW(RunFrameSteps(W, 1, 1));
  const std::string what = RunStepsError(1, 3);
  EXPECT_EQ(what, "Floating point division by zero in Two");
  EXPECT_EQ(ran[1], 2);
  EXPECT_EQ(ran[2], 1);
  EXPECT_EQ(ran[3], 0);
}

// An error left in the x87 word (long double arithmetic; the steps' own
// code has none) still ends a run of steps: the word is read at the run's
// end, so the run's last step is named.
TEST(RunFrameSteps, AnX87ErrorRaisesByTheRunsEnd) {
  static int ran;
  ran = 0;
  static volatile long double zero = 0.0L;
  FrameSteps[1] = {"LongDouble", [](TWorld& W) { W.clock = static_cast<f32>(1.0L / zero); }};
  FrameSteps[2] = {"After", [](TWorld&) { ++ran; }};
  std::memset(&W, 0, sizeof W);
  const std::string what = RunStepsError(1, 2);
  EXPECT_EQ(what, "Floating point division by zero in After");
  EXPECT_EQ(ran, 1);
}

// The empty step is passed over in a run, but only the engine's own empty
// step: a step put in its place runs, and a profiler's runner still gets it.
TEST(RunFrameSteps, PassesOverOnlyTheEmptyStepItself) {
  static int ran;
  static int timed;
  ran = 0;
  timed = 0;
  std::memset(&W, 0, sizeof W);
  FrameSteps[12] = {"Counted", [](TWorld&) { ++ran; }};
  RunFrameSteps(W, 12, 12);
  EXPECT_EQ(ran, 1);
  ResetFrameSteps();
  StepRunner = [](const TFrameStepEntry& entry, TWorld& W) {
    if (entry.Step == EmptyFrameStep) ++timed;
    entry.Step(W);
  };
  RunFrameSteps(W, 12, 12);
  StepRunner = nullptr;
  EXPECT_EQ(timed, 1);
}

}  // namespace

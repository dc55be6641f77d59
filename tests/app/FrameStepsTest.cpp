#include "app/FrameSteps.h"

#include <gtest/gtest.h>

#include <cstring>

#include "core/FloatGuard.h"

namespace {

TWorld W;
TWorld Before;

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

}  // namespace

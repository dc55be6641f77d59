#include "app/FrameSteps.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TWorld W;
TWorld Before;

TEST(EmptyFrameStep, LeavesTheWorldAsItWas) {
  std::memset(&W, 0, sizeof W);
  W.PlayersPerTeam = 15;
  W.clock = 12.5f;
  W.Teams[2].Players[3].Pos = {1, 2, 3};
  std::memcpy(&Before, &W, sizeof W);
  RunFrameStep(FrameSteps[12], W);
  EXPECT_STREQ(FrameSteps[12].Name, "EmptyFrameStep");
  EXPECT_EQ(std::memcmp(&Before, &W, sizeof W), 0);
}

}  // namespace

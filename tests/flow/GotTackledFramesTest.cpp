// Real frames of the set-up example match through the driver's step table,
// decisions included: a carrier runs into a line of defenders, is tackled,
// the ruck forms and the ball comes back out into running play.
#include <gtest/gtest.h>

#include <vector>

#include "ExampleMatch.h"
#include "app/FrameSteps.h"
#include "core/Geometry.h"
#include "flow/SetDesiredPositionUnit.h"

namespace {

constexpr int kCarrier = 10;
constexpr int kMostFrames = 500;  // 20 s of play

// Running entered with carrier 10 (EnterRunning) running at 5 m/s, and
// block 2 in a line 3 m ahead of him, 1.2 m apart.
class GotTackledFramesTest : public ExampleMatchTest {
 protected:
  void SetUp() override {
    ExampleMatchTest::SetUp();
    ResetFrameSteps();
    ResetStateHandlers();
  }
  void TearDown() override { ResetFrameSteps(); }

  static void EnterRunningIntoTheDefence() {
    SetRunStartValues(World);
    EnterRunning(World, kCarrier, 5.0f);
    for (int p = 1; p <= 15; ++p) PlaceStill(World.Teams[2].Players[p], static_cast<f32>(-20.0 + 1.2 * (p - 8)), -17.0f);
  }

  static void Frame(int f) {
    World.PrevTimeStep = World.TimeStep;
    World.TimeStep = 0.04f;
    // A floating-point error in any step raises out of RunFrameStep.
    for (int k = 1; k <= kFrameStepCount; ++k) {
      ASSERT_NO_THROW(RunFrameStep(FrameSteps[k], World)) << FrameSteps[k].Name << " frame " << f;
    }
  }
};

TEST_F(GotTackledFramesTest, TackledCarriersRuckReleasesTheBallBackIntoRunning) {
  for (const u32 seed : {4242u, 1u, 2u, 3u}) {
    SCOPED_TRACE(seed);
    SetUp();  // a fresh match for each seed
    EnterRunningIntoTheDefence();
    RandSeed = seed;
    std::vector<i32> states{World.gamestate};
    int holder = 0;
    for (int f = 1; f <= kMostFrames && states.size() < 3; ++f) {
      Frame(f);
      if (HasFatalFailure()) return;
      const TTeamBlock& A = World.Teams[1];
      if (World.gamestate != states.back()) {
        states.push_back(World.gamestate);
        if (World.gamestate == gsGotTackled) {
          EXPECT_GT(A.Players[kCarrier].GettingTackledTimer, 0.0f) << "the carrier is held";
        }
      }
      if (World.gamestate == gsGotTackled) {
        // The breakdown set-up ran on entry: the ruck is formed with a
        // scrum-half to take the ball out.
        ASSERT_GE(World.GotTackledPhase, 2) << f;
        holder = A.SetPieceHolder;
        ASSERT_GE(holder, 1) << f;
        ASSERT_LE(holder, 15) << f;
      }
    }
    ASSERT_EQ(states, (std::vector<i32>{gsRunning, gsGotTackled, gsRunning}));
    // The scrum-half of the ruck (a turnover may have swapped the blocks)
    // picked the ball up and carries it on.
    const TTeamBlock& A = World.Teams[1];
    EXPECT_EQ(A.BallCarrier, holder);
    const TPlayer& C = A.Players[A.BallCarrier];
    EXPECT_LT(Distance2D(World.BallPos.x, World.BallPos.z, C.Pos.x, C.Pos.z), 1.5f);
  }
}

}  // namespace

namespace {

// The scrum-half who picked the ball up at the first ruck leaves his side
// committed (HalfTimeAux); the next breakdown's set-up clears it, so the
// second ruck waits for its own pick-up rather than going back to running
// in its first frame.
TEST_F(GotTackledFramesTest, ASecondRuckWaitsForItsOwnPickUp) {
  EnterRunningIntoTheDefence();
  std::vector<i32> states{World.gamestate};
  int secondRuckFrames = 0;
  bool committedBefore = false;
  for (int f = 1; f <= 2 * kMostFrames && states.size() < 5; ++f) {
    committedBefore = World.Teams[1].HalfTimeAux != 0;
    Frame(f);
    if (HasFatalFailure()) return;
    if (World.gamestate != states.back()) {
      states.push_back(World.gamestate);
      if (states.size() == 4) {
        ASSERT_TRUE(committedBefore) << "the first ruck's pick-up left its side committed";
        EXPECT_EQ(World.Teams[1].HalfTimeAux, 0) << "the set-up clears it";
      }
    }
    if (states.size() == 4) ++secondRuckFrames;
  }
  ASSERT_EQ(states, (std::vector<i32>{gsRunning, gsGotTackled, gsRunning, gsGotTackled, gsRunning}));
  // The pick-up alone takes more than a few frames.
  EXPECT_GT(secondRuckFrames, 5);
}

}  // namespace

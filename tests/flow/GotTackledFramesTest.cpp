// Real frames of the set-up example match through the driver's step table,
// decisions included: a carrier runs into a line of defenders, is tackled,
// the ruck forms and the ball comes back out into running play.
#include <gtest/gtest.h>

#include <vector>

#include "ExampleMatch.h"
#include "app/FrameSteps.h"
#include "core/Geometry.h"
#include "flow/ExampleFrames.h"
#include "flow/SetDesiredPositionUnit.h"

namespace {

constexpr int kCarrier = 10;
constexpr int kFramesPerSeed = 750;  // 30 s of play
constexpr u32 kSeeds[] = {1, 2, 3, 4};

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

  // One stay in gottackled, as the frames saw it.
  struct TSpell {
    i32 From = 0, To = 0;          // game states before and after
    int Frames = 0;                // frames in gottackled
    bool HeldOnEntry = false;      // the carrier tackled from running is held
    bool CommittedBefore = false;  // block 1's HalfTimeAux in the frame before
    bool ClearedOnEntry = false;   // ... and after the entry frame
    int Holder = 0;                // the last SetPieceHolder seen
    int CarrierAfter = 0;          // block 1's BallCarrier in the first frame after
    double BallGap = 0;            // m, ball to that carrier
  };

  // Plays kFramesPerSeed frames from EnterRunningIntoTheDefence for each
  // seed and returns every completed stay in gottackled. Every frame in
  // gottackled must show the breakdown set-up done (phase 2 or more).
  std::vector<TSpell> PlaySpells() {
    std::vector<TSpell> spells;
    for (const u32 seed : kSeeds) {
      SCOPED_TRACE(seed);
      SetUp();  // a fresh match for each seed
      EnterRunningIntoTheDefence();
      RandSeed = seed;
      TSpell s;
      for (int f = 1; f <= kFramesPerSeed; ++f) {
        const i32 before = World.gamestate;
        const int carrier = World.Teams[1].BallCarrier;
        const bool committed = World.Teams[1].HalfTimeAux != 0;
        Frame(f);
        if (HasFatalFailure()) return spells;
        const TTeamBlock& A = World.Teams[1];
        if (World.gamestate == gsGotTackled && before != gsGotTackled) {
          s = TSpell{};
          s.From = before;
          s.CommittedBefore = committed;
          s.ClearedOnEntry = A.HalfTimeAux == 0;
          s.HeldOnEntry = carrier >= 1 && carrier <= 15 && A.Players[carrier].GettingTackledTimer > 0;
        }
        if (World.gamestate == gsGotTackled) {
          EXPECT_GE(World.GotTackledPhase, 2) << f;
          ++s.Frames;
          s.Holder = A.SetPieceHolder;
        } else if (before == gsGotTackled) {
          s.To = World.gamestate;
          s.CarrierAfter = A.BallCarrier;
          if (A.BallCarrier >= 1 && A.BallCarrier <= 15) {
            const TPlayer& C = A.Players[A.BallCarrier];
            s.BallGap = Distance2D(World.BallPos.x, World.BallPos.z, C.Pos.x, C.Pos.z);
          }
          spells.push_back(s);
        }
      }
    }
    return spells;
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

// Every tackle from running forms a ruck; a ruck that goes back to running
// does so with its scrum-half (of the side in possession after any
// turnover) carrying the ball.
TEST_F(GotTackledFramesTest, TackledCarriersRuckReleasesTheBallBackIntoRunning) {
  const std::vector<TSpell> spells = PlaySpells();
  int backToRunning = 0;
  for (const TSpell& s : spells) {
    if (s.From == gsRunning) {
      EXPECT_TRUE(s.HeldOnEntry);
    }
    if (s.From != gsRunning || s.To != gsRunning) continue;
    ++backToRunning;
    EXPECT_GE(s.Holder, 1);
    EXPECT_EQ(s.CarrierAfter, s.Holder);
    EXPECT_LT(s.BallGap, 1.5);
  }
  EXPECT_GE(backToRunning, 3) << "of " << spells.size() << " rucks";
}

// A scrum-half who picked the ball up leaves his side committed
// (HalfTimeAux); the next breakdown's set-up clears it, so the next ruck
// waits for its own pick-up rather than going back to running in its first
// frame.
TEST_F(GotTackledFramesTest, ALaterRuckWaitsForItsOwnPickUp) {
  const std::vector<TSpell> spells = PlaySpells();
  int seen = 0;
  for (const TSpell& s : spells) {
    if (!s.CommittedBefore) continue;
    EXPECT_TRUE(s.ClearedOnEntry);
    if (s.To != gsRunning) continue;
    ++seen;
    // The pick-up alone takes more than a few frames.
    EXPECT_GT(s.Frames, 5);
  }
  EXPECT_GE(seen, 1) << "of " << spells.size() << " rucks";
}

}  // namespace

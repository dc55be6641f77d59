#include <gtest/gtest.h>

#include "SmallWorld.h"
#include "app/FrameSteps.h"
#include "contact/ContactSteps.h"
#include "contact/GeneralCollisionUnit.h"

namespace {

TWorld W;
TWorld Snapshot;

// What the recording contact step saw.
int g_calls;
TGameState g_state;
bool32 g_flags[3];
f32 g_holdTimer;

void RecordStep(TWorld& world) {
  ++g_calls;
  g_state = world.gamestate;
  g_flags[1] = world.Teams[1].NoAdvantageFlag;
  g_flags[2] = world.Teams[2].NoAdvantageFlag;
  g_holdTimer = world.AdvantageHoldTimer;
}

// A step that stops play and hands over to the transition.
void StopPlayStep(TWorld& world) {
  RecordStep(world);
  world.gamestate = gsTransition;
}

// The free-ball step's penalty goal: block 1 scores this frame.
void GoalScoredStep(TWorld& world) {
  RecordStep(world);
  world.Teams[1].NoAdvantageFlag = kTrue32;
}

// A world with no infringement pending: UpdateAdvantage only restarts its
// judgement timer when it runs out outside the transition.
class GeneralCollisionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeSmallWorld(W, {.Frame = true});
    W.PitchWidth = 0.0f;  // no width here
    for (bool32& f : W.MessageSlotFree) f = kTrue32;
    W.AdvantageHoldTimer = 0.02f;
    W.AdvantageTimer = 1.0f;
    W.Teams[1].NoAdvantageFlag = kTrue32;
    W.Teams[2].NoAdvantageFlag = kTrue32;
    g_calls = 0;
    g_state = 255;
    g_flags[1] = g_flags[2] = 99;
    g_holdTimer = 99.0f;
    ResetContactSteps();
  }
  void TearDown() override { ResetContactSteps(); }

  // Every state that has a contact step gets `step` in its place.
  static void ReplaceContactSteps(TContactStep step) {
    for (TContactStep& s : ContactSteps) {
      if (s != nullptr) s = step;
    }
  }

  static void Step(TWorld& world = W) { RunFrameStep({"GeneralCollision", GeneralCollision}, world); }
};

TEST_F(GeneralCollisionTest, EachStateHasItsOwnContactStepOrNone) {
  const TContactStep expected[gsHuddle + 1] = {
      nullptr,      RunningContact,     PassingContact, RuckContact,      FreeBallContact, nullptr,          nullptr,
      ScrumContact, KickRestartContact, LineoutContact, TryScoredContact, nullptr,         TransitionContact};
  for (int s = 0; s <= gsHuddle; ++s) EXPECT_EQ(ContactSteps[s], expected[s]) << "state " << s;
}

TEST_F(GeneralCollisionTest, ExactlyOneContactStepRunsInAStateThatHasOne) {
  for (int s = 0; s <= 255; ++s) {
    SetUp();
    ReplaceContactSteps(RecordStep);
    W.gamestate = static_cast<TGameState>(s);
    Step();
    const bool hasStep = s == 1 || s == 2 || s == 3 || s == 4 || s == 7 || s == 8 || s == 9 || s == 10 || s == 12;
    EXPECT_EQ(g_calls, hasStep ? 1 : 0) << "state " << s;
    if (hasStep) {
      EXPECT_EQ(g_state, s);
    }
  }
}

TEST_F(GeneralCollisionTest, WithoutAContactStepTheAdvantageIsStillKept) {
  for (TGameState s : {gsUnnamed6, gsReplaying, gsAnimSeqEditor, gsLeagueChamps}) {
    SetUp();
    ReplaceContactSteps(RecordStep);
    W.gamestate = s;
    Step();
    EXPECT_EQ(g_calls, 0) << int(s);
    EXPECT_EQ(W.AdvantageHoldTimer, 0.02f - 0.04f) << "below 0 too, state " << int(s);
    EXPECT_EQ(W.AdvantageTimer, 1.0f - 0.04f) << int(s);
    EXPECT_EQ(W.Teams[1].NoAdvantageFlag, 0) << int(s);
    EXPECT_EQ(W.Teams[2].NoAdvantageFlag, 0) << int(s);

    // Run out: UpdateAdvantage restarts the judgement.
    W.AdvantageTimer = 0.03f;
    Step();
    EXPECT_EQ(W.AdvantageTimer, 2.5f) << int(s);
  }
}

TEST_F(GeneralCollisionTest, ContactStepRunsFirstWithBothFlagsClear) {
  ReplaceContactSteps(RecordStep);
  W.gamestate = gsFreeBall;
  Step();
  EXPECT_EQ(g_calls, 1);
  EXPECT_EQ(g_flags[1], 0);
  EXPECT_EQ(g_flags[2], 0);
  EXPECT_EQ(g_holdTimer, 0.02f) << "the timers fall after the contact step";
  EXPECT_EQ(W.AdvantageHoldTimer, 0.02f - 0.04f);
}

TEST_F(GeneralCollisionTest, NoAdvantageFlagOfThisFrameReachesUpdateAdvantage) {
  ReplaceContactSteps(GoalScoredStep);
  W.gamestate = gsFreeBall;
  TInfringement& head = W.Infringements[1];
  head.Kind = 1;
  head.AgainstDefence = kTrue32;  // block 2 offended, block 1 has the advantage
  Step();
  EXPECT_EQ(W.Infringements[1].Kind, 0) << "the goal ends the advantage";
  EXPECT_EQ(W.Teams[1].NoAdvantageFlag, kTrue32);

  // The next frame starts with the flag clear.
  ReplaceContactSteps(RecordStep);
  Step();
  EXPECT_EQ(g_flags[1], 0);
}

TEST_F(GeneralCollisionTest, StateSetByTheContactStepIsTheOneTheAdvantageSees) {
  ReplaceContactSteps(StopPlayStep);
  W.gamestate = gsRunning;
  W.AdvantageTimer = 0.03f;
  Step();
  EXPECT_EQ(g_calls, 1) << "the transition's own step waits for the next frame";
  EXPECT_EQ(W.gamestate, gsTransition);
  EXPECT_EQ(W.AdvantageTimer, 0.03f - 0.04f) << "no judgement in the transition";
}

TEST_F(GeneralCollisionTest, LookAheadLeavesTheMatchWorldAlone) {
  W.gamestate = gsTryScored;
  W.Infringements[1].Kind = 2;  // posts its message into the copy's queue
  World = W;
  TakeLookAheadCopy();
  Snapshot = World;
  Step(LookAheadWorld);
  EXPECT_EQ(std::memcmp(&World, &Snapshot, sizeof World), 0);
  EXPECT_EQ(LookAheadWorld.AdvantageTimer, 1.0f - 0.04f);
  EXPECT_EQ(LookAheadWorld.MessageSlotFree[1], 0);
}

}  // namespace

// The standing actions at the end of the timer step: when they run, who may
// act, the place test, the side scan and the kinds.
#include <gtest/gtest.h>

#include <cmath>

#include "../core/DrawCount.h"
#include "MotionScene.h"
#include "motion/DelayPlayersUnit.h"

namespace {

// A breakdown a second and a half old, the ball not yet due out. Block 1's
// players stand far up-field (seen by nobody's scan) until a test brings
// some of them in; nobody has drawn his actions yet.
class StandingActionsTest : public MotionSceneTest {
 protected:
  void SetUp() override {
    MotionSceneTest::SetUp();
    TWorld& W = MotionWorld;
    W.gamestate = gsGotTackled;
    W.GotTackledPhase = 2;
    W.TimeSinceTackle = 1.5f;
    W.RestartDelay = 0.0f;
    W.Teams[1].SetPieceHolder = 9;
    for (int i = 1; i <= 15; ++i) {
      PlaceAt(Att(i), static_cast<f32>(4 * i - 32), 60.0f);
      Att(i).ActionsMade = -1;
    }
  }
  // Player i, drawn for two actions due now, at (x, z), no action playing.
  static void Ready(int i, f32 x, f32 z) {
    PlaceAt(Att(i), x, z);
    Att(i).SpecialAnimTimer = 0.0f;
    Att(i).SpecialAnimKind = 0.0f;
    Att(i).ActionsMade = 0;
    Att(i).ActionsWanted = 2;
    Att(i).NextActionTime = 5.0f;
  }
};

TEST_F(StandingActionsTest, RunsOnlyInASettledBreakdownOrScrum) {
  struct Case {
    i32 state, tackledPhase, scrumPhase;
    f32 sinceTackle, inState, breakdownClock;
    bool32 turnover;
    bool runs;
  };
  const Case cases[] = {
      {gsGotTackled, 2, 0, 1.5f, 0.0f, 0.0f, kFalse32, true},
      {gsGotTackled, 1, 0, 1.5f, 0.0f, 0.0f, kFalse32, false},   // set-up frame
      {gsGotTackled, 2, 0, 1.0f, 0.0f, 0.0f, kFalse32, false},   // not yet over a second
      {gsGotTackled, 2, 0, 0.2f, 0.0f, 1.1f, kTrue32, true},     // after a turnover, its own clock
      {gsGotTackled, 2, 0, 0.2f, 0.0f, 1.1f, kFalse32, false},
      {gsScrum, 0, 4, 0.0f, 1.1f, 0.0f, kFalse32, true},
      {gsScrum, 0, 3, 0.0f, 1.1f, 0.0f, kFalse32, false},
      {gsScrum, 0, 4, 0.0f, 1.0f, 0.0f, kFalse32, false},
      {gsScrum, 0, 4, 0.0f, 0.5f, 1.1f, kTrue32, true},
      {gsRunning, 2, 4, 1.5f, 1.5f, 1.5f, kTrue32, false},
  };
  for (const Case& c : cases) {
    SetUp();
    TWorld& W = MotionWorld;
    W.gamestate = c.state;
    W.GotTackledPhase = c.tackledPhase;
    W.ScrumPhase = c.scrumPhase;
    W.TimeSinceTackle = c.sinceTackle;
    W.TimeInGameState = c.inState;
    W.BreakdownClock = c.breakdownClock;
    W.TurnoverPending = c.turnover;
    const u32 before = RandSeed;
    RunStep(StandingActions);
    SCOPED_TRACE(testing::Message() << "state " << c.state << " phases " << c.tackledPhase << "/"
                                    << c.scrumPhase);
    EXPECT_EQ(Att(4).ActionsMade != -1, c.runs);
    EXPECT_EQ(DrawsSince(before) > 0, c.runs);
  }
}

TEST_F(StandingActionsTest, DrawsEachPlayersCountOnceWithTheStaggerLast) {
  TWorld& W = MotionWorld;
  W.PlayersPerTeam = 10;
  W.RestartDelay = 100.0f;  // nobody due yet
  Att(4).InBackline = kTrue32;
  Att(10).InBackline = kTrue32;
  Att(9).InBackline = kTrue32;
  u32 before = RandSeed;
  RunStep(StandingActions);
  // Plain 2 each (count, stagger); 4 in line 3; 9 holder in line 4; 10 in line 4.
  // Counts: 0..1, +0..1 in line, +1..3 for scrum-half 9, +0..2 for player 10.
  EXPECT_EQ(DrawsSince(before), 7 * 2 + 3 + 4 + 4);
  for (int i = 1; i <= 10; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(Att(i).ActionsMade, 0);
    EXPECT_GE(Att(i).ActionsWanted, i == 9 ? 1 : 0);
    EXPECT_LE(Att(i).ActionsWanted, i == 9 ? 5 : (i == 10 ? 4 : (i == 4 ? 2 : 1)));
    const double stagger = Att(i).NextActionTime - 0.9 * Att(i).ActionsWanted;
    const double rest = std::fmod(stagger + 1e-4, 0.25);
    EXPECT_LT(rest, 2e-4) << stagger;
    EXPECT_GE(stagger, i == 9 ? -1e-5 : 0.25 - 1e-5);
    EXPECT_LE(stagger, i == 9 ? 1.0 + 1e-5 : 2.5 + 1e-5);
  }
  before = RandSeed;
  RunStep(StandingActions);
  EXPECT_EQ(DrawsSince(before), 0) << "drawn once per set piece";

  // A scrum-half other than 9 makes at most one action: 4 draws, the last
  // count replacing the others.
  SetUp();
  W.PlayersPerTeam = 7;
  W.RestartDelay = 100.0f;
  W.Teams[1].SetPieceHolder = 7;
  Att(7).InBackline = kTrue32;
  for (u32 seed = 1; seed <= 200; ++seed) {
    for (int i = 1; i <= 7; ++i) Att(i).ActionsMade = -1;
    RandSeed = seed;
    RunStep(StandingActions);
    EXPECT_LE(Att(7).ActionsWanted, 1);
    RandSeed = seed;
    for (int i = 1; i <= 6; ++i) (void)RandomRange(0, 2), (void)RandomRange(1, 11);
    (void)RandomRange(0, 2), (void)RandomRange(0, 2);
    EXPECT_EQ(Att(7).ActionsWanted, RandomRange(0, 2));
  }
}

TEST_F(StandingActionsTest, StillScrimmageRolesNeverAct) {
  TWorld& W = MotionWorld;
  W.PlayersPerTeam = 2;
  for (u8 role : {1, 3, 4, 8, 16, 17, 2}) {
    int acted = 0;
    for (u32 seed = 1; seed <= 100; ++seed) {
      SetUp();
      W.PlayersPerTeam = 2;
      PlaceAt(Att(1), 0.0f, 0.0f);
      PlaceAt(Att(2), -2.0f, 0.0f);
      Att(1).ScrimmageNumber = 2;
      Att(1).ScrimmageRole = role;
      Att(1).InBackline = kTrue32;
      W.RestartDelay = -100.0f;  // every action due
      RandSeed = seed;
      for (int f = 0; f < 3; ++f) RunStep(StandingActions);
      acted += Att(1).SpecialAnimTimer > 0.0f ? 1 : 0;
      if (role != 2) {
        EXPECT_EQ(Att(1).ActionsWanted, 0) << int(role);
      }
    }
    if (role == 2) {
      EXPECT_GT(acted, 0);
    } else {
      EXPECT_EQ(acted, 0) << int(role);
    }
  }
}

TEST_F(StandingActionsTest, ActsOnlyAtHisPlaceAndWhenDue) {
  TWorld& W = MotionWorld;
  Ready(4, 0.0f, 0.0f);
  PlaceAt(Att(5), -3.0f, 0.0f);
  Att(4).DesiredPos.x = 0.11f;
  RunStep(StandingActions);
  EXPECT_EQ(Att(4).ActionsMade, 0);
  EXPECT_EQ(Att(4).SpecialAnimTimer, 0.0f);
  Att(4).DesiredPos.x = 0.1f;
  RunStep(StandingActions);
  EXPECT_EQ(Att(4).ActionsMade, 1);
  EXPECT_EQ(Att(4).SpecialAnimTimer, 10.0f);
  EXPECT_EQ(Att(4).SpecialAnimAngle, 90.0f);
  EXPECT_EQ(Att(4).SpecialAnimFacing, 90.0f);
  EXPECT_EQ(Att(4).SpecialAnimSpeed, 0.0f);
  RunStep(StandingActions);
  EXPECT_EQ(Att(4).ActionsMade, 1) << "not while the action plays";

  // The ball due out later than his time: not yet; in a scrum, the time in
  // the state must pass it.
  Ready(4, 0.0f, 0.0f);
  W.RestartDelay = 5.5f;
  RunStep(StandingActions);
  EXPECT_EQ(Att(4).ActionsMade, 0);
  W.RestartDelay = 5.0f;
  RunStep(StandingActions);
  EXPECT_EQ(Att(4).ActionsMade, 1);
  Ready(4, 0.0f, 0.0f);
  W.gamestate = gsScrum;
  W.ScrumPhase = 5;
  W.TimeInGameState = 5.0f;
  RunStep(StandingActions);
  EXPECT_EQ(Att(4).ActionsMade, 0);
  W.TimeInGameState = 5.04f;
  RunStep(StandingActions);
  EXPECT_EQ(Att(4).ActionsMade, 1);
}

TEST_F(StandingActionsTest, ScrumHalfWaitsForPhaseNineAndScansOnlyBehindHim) {
  TWorld& W = MotionWorld;
  W.gamestate = gsScrum;
  W.TimeInGameState = 6.0f;
  Ready(9, 0.0f, 0.0f);
  PlaceAt(Att(5), -3.0f, 2.0f);  // beside him, 2 m up-field
  for (i32 phase : {4, 8}) {
    W.ScrumPhase = phase;
    RunStep(StandingActions);
    EXPECT_EQ(Att(9).ActionsMade, 0);
  }
  W.ScrumPhase = 9;
  RunStep(StandingActions);
  EXPECT_EQ(Att(9).ActionsMade, 1) << "due and at his place";
  EXPECT_EQ(Att(9).SpecialAnimTimer, 0.0f) << "nobody behind him: no action";

  // Another player sees the same team-mates within his 5 m, both at lower x.
  Ready(4, 6.0f, 0.0f);
  RunStep(StandingActions);
  EXPECT_EQ(Att(4).SpecialAnimTimer, 10.0f);
  const f32 k = Att(4).SpecialAnimKind;
  EXPECT_TRUE(k == 6.0f || k == 8.0f || k == 10.0f) << k;
}

TEST_F(StandingActionsTest, KindsFollowTheSidesAndBothSidesAreEvenlyShared) {
  TWorld& W = MotionWorld;
  W.RestartDelay = -100.0f;
  int seen[12] = {};
  for (u32 seed = 1; seed <= 3000; ++seed) {
    SetUp();
    W.RestartDelay = -100.0f;
    Ready(4, 0.0f, 0.0f);
    PlaceAt(Att(3), -3.0f, 0.0f);
    PlaceAt(Att(6), 3.0f, 0.0f);
    RandSeed = seed;
    RunStep(StandingActions);
    ASSERT_EQ(Att(4).SpecialAnimTimer, 10.0f);
    ++seen[static_cast<int>(Att(4).SpecialAnimKind)];
  }
  const int low = seen[6] + seen[8] + seen[10], high = seen[7] + seen[9] + seen[11];
  EXPECT_EQ(low + high, 3000);
  EXPECT_NEAR(low, 1500, 120);
  for (int k = 6; k <= 11; ++k) EXPECT_NEAR(seen[k], 500, 90) << k;

  // Only one side taken: only that side's kinds.
  for (f32 side : {-3.0f, 3.0f}) {
    for (u32 seed = 1; seed <= 60; ++seed) {
      SetUp();
      W.RestartDelay = -100.0f;
      Ready(4, 0.0f, 0.0f);
      PlaceAt(Att(3), side, 4.9f);
      RandSeed = seed;
      RunStep(StandingActions);
      const int kind = static_cast<int>(Att(4).SpecialAnimKind);
      EXPECT_EQ(kind % 2, side < 0.0f ? 0 : 1) << kind;
      EXPECT_GE(kind, 6);
      EXPECT_LE(kind, 11);
    }
  }
}

}  // namespace

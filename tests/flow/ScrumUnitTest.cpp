#include "flow/ScrumUnit.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>

#include "core/FloatFlags.h"
#include "core/MatchStore.h"
#include "core/Random.h"
#include "core/SlotLines.h"
#include "core/StrategyShapes.h"
#include "flow/OpenPlayScene.h"

namespace {

constexpr f32 kMarkX = 5.0f;
constexpr f32 kMarkZ = 10.0f;

class ScrumUnitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetSmallPitch(World);
    World.InGoalDepth = 10.0f;
    World.PlayersPerTeam = 15;
    MakeOpenPlayPitch(W);
    W.gamestate = W.FrameGameState = gsScrum;
    W.Gravity = 9.81f;
    W.RuckDepthUnit = 0.5f;
    W.MarkX = kMarkX;
    W.MarkZ = kMarkZ;
    W.Team1InFirstBlock = kTrue32;
    W.injurieson = kFalse32;
    for (int side = 1; side <= 2; ++side) {
      TTeamBlock& T = W.Teams[side];
      T.teamid = side;
      T.HalfTimeAux = kTrue32;
      T.KickChosen = kTrue32;
      for (int k = 1; k <= kSlotCount; ++k) T.LineSlotPos[k] = {static_cast<f32>(k - 101), 0.0f};
      for (int p = 1; p <= 15; ++p) {
        TPlayer& P = T.Players[p];
        P.id = side * 100 + p;
        P.Weight = 100.0f;
        P.Height = 1.85f;
        P.maxspeed = P.MaxSpeedNonFatigued = 8.0f;
        P.ScrumPower = {0, 500.0f, 50.0f, 300.0f, 700.0f, kTrue32, kTrue32};
        const f32 z = side == 1 ? kMarkZ - 3.0f - 0.5f * p : kMarkZ + 3.0f + 0.5f * p;
        P.Pos = {static_cast<f32>(2 * p - 15), 0, z};
      }
    }
    for (int k = 1; k <= 10; ++k) W.MessageSlotFree[k] = kTrue32;
    W.BreakdownClock = 7.0f;
    RandSeed = 4321;
    std::feclearexcept(FE_ALL_EXCEPT);
  }
  void TearDown() override { EXPECT_FALSE(FloatErrorRaised()); }

  static void Arrive() { ArriveAtDesiredPositions(W); }
  // A formed scrum in `phase` after the set-up frame, with the given pushes,
  // drive and no collapse roll due.
  static void BoundScene(i32 phase, f32 push1, f32 push2, f32 v) {
    DoScrum(W);
    W.ScrumPhase = phase;
    W.Teams[1].PackPush = push1;
    W.Teams[2].PackPush = push2;
    W.PackMass = 100.0f;
    W.PackVelocityZ = v;
    W.PackAux = 0;
    W.ScrumRollTimer = 1000.0f;
    W.ScrumDriveEnd = 100.0f;
    W.ScrumStopTime = 101.0f;
    W.RestartDelay = 0;
    W.PossessionClock = 0;
    for (int k = 1; k <= 10; ++k) {
      W.MessageQueue[k] = {};
      W.MessageSlotFree[k] = kTrue32;
    }
  }
  static int MessageCount(u8 code) {
    int n = 0;
    for (int k = 1; k <= 10; ++k) n += W.MessageSlotFree[k] == 0 && W.MessageQueue[k].message == code;
    return n;
  }
  static TWorld W;
};
TWorld ScrumUnitTest::W;

TEST_F(ScrumUnitTest, FirstFrameSetsThePacksAndEndsInPhaseTwo) {
  W.ScrumPhase = 0;
  W.Teams[1].Players[4].passtimer = 1.0f;
  DoScrum(W);
  const TTeamBlock& A = W.Teams[1];
  const TTeamBlock& D = W.Teams[2];
  EXPECT_EQ(W.ScrumPhase, 2);
  EXPECT_EQ(A.Players[4].passtimer, 0.0f);
  // Slots by shirt number; the mark is at positive x.
  const int slots1[8] = {2, 1, 3, 4, 5, 8, 7, 6};
  const int slots2[8] = {2, 3, 1, 5, 4, 8, 6, 7};
  for (int k = 1; k <= 8; ++k) {
    EXPECT_EQ(A.PackSpots.OccupantB[k], slots1[k - 1]) << k;
    EXPECT_EQ(D.PackSpots.OccupantB[k], slots2[k - 1]) << k;
  }
  EXPECT_EQ(A.PackSpots.OccupantB[9], 0);
  // Bind points: half the pack offset apart, the bind depth and the gap back
  // from the mark, slots 4 to 8 the bind shift further.
  EXPECT_FLOAT_EQ(A.PackSpots.PosB[1].x, kMarkX - 0.16f);
  EXPECT_FLOAT_EQ(A.PackSpots.PosB[1].z, kMarkZ - 1.05f);
  EXPECT_FLOAT_EQ(A.PackSpots.PosB[4].z, kMarkZ - 1.30f);
  EXPECT_FLOAT_EQ(D.PackSpots.PosB[1].x, kMarkX + 0.16f);
  EXPECT_FLOAT_EQ(D.PackSpots.PosB[6].z, kMarkZ + 1.30f);
  EXPECT_FLOAT_EQ(A.SetPieceLineZ, kMarkZ - 2.0f);
  EXPECT_FLOAT_EQ(D.SetPieceLineZ, kMarkZ + 2.0f);
  for (int side = 1; side <= 2; ++side) {
    const TTeamBlock& T = W.Teams[side];
    double push = 0;
    const double weights[8] = {1.5, 1.5, 1.5, 1.0, 1.0, 0.5, 0.5, 0.5};
    for (int k = 1; k <= 8; ++k) {
      const TPlayer& P = T.Players[T.PackSpots.OccupantB[k]];
      EXPECT_EQ(P.DesiredPos.x, T.PackSpots.PosB[k].x);
      EXPECT_EQ(P.DesiredPos.z, T.PackSpots.PosB[k].z);
      EXPECT_EQ(P.RuckRole, 1.0f);
      EXPECT_GE(P.desiredspeed, 2.75f);
      EXPECT_LT(P.desiredspeed, 3.0f);
      push += P.ScrumPower.value * weights[k - 1];
    }
    EXPECT_FLOAT_EQ(T.PackPush, static_cast<f32>(push));
    EXPECT_FLOAT_EQ(T.PackWeight, 800.0f);
    EXPECT_EQ(T.SetPieceHolder, 9);
    EXPECT_EQ(T.KickChosen, 0);
  }
  EXPECT_FLOAT_EQ(W.PackMass, 1600.0f);
  EXPECT_EQ(A.BallCarrier, 9);
  EXPECT_EQ(A.HalfTimeAux, 0);  // the scrum-half's pass is chosen afresh
  // Block 1's scrum-half 3 m out on the negative side, block 2's by the pair rule.
  EXPECT_FLOAT_EQ(A.Players[9].DesiredPos.x, kMarkX - 3.0f);
  EXPECT_FLOAT_EQ(A.Players[9].DesiredPos.z, kMarkZ);
  EXPECT_FLOAT_EQ(D.Players[9].DesiredPos.x, kMarkX - 4.2f);
  EXPECT_FLOAT_EQ(D.Players[9].DesiredPos.z, kMarkZ + 0.2f);
  EXPECT_EQ(W.BreakdownClock, 0.0f);
  EXPECT_EQ(W.RecordingOn, 0);
  EXPECT_EQ(MessageCount(msgScrumFeed), 1);
  // Block 2's pack stays out of its back line.
  for (int k = 1; k <= kSlotCount; ++k) {
    const int n = D.DefenceLine[k];
    EXPECT_FALSE(n >= 1 && n <= 8) << "slot " << k << " holds " << n;
  }
}

// The set-up draws both sides' play options, each from its own team's
// field strategy: team 1's only zone gives option 2, team 2's option 4.
TEST_F(ScrumUnitTest, SetUpDrawsBothSidesPlayOptions) {
  static Arr1<TFieldStrategy, 2> saved;
  saved = FieldStrategy;
  for (int t = 1; t <= 2; ++t) {
    TFieldStrategy& F = FieldStrategy[t];
    F = TFieldStrategy{};
    F.CatchUpThreshold = 1000.0f;
    F.Normal.ZoneCount = 1;
    F.Normal.Zones[1] = {-35.0f, -60.0f, 35.0f, 60.0f};
    F.Normal.Families[1].OptionCount = 6;
    for (int j = 1; j <= 20; ++j) F.Normal.Families[1].Weights[1][j] = j == (t == 1 ? 2 : 4) ? 1000 : 0;
  }
  W.halflength = 2400.0f;
  W.clock = 600.0f;
  W.Teams[1].PlayOption = W.Teams[2].PlayOption = 0;
  W.ScrumPhase = 0;
  DoScrum(W);
  EXPECT_EQ(W.Teams[1].PlayOption, 2);
  EXPECT_EQ(W.Teams[2].PlayOption, 4);
  FieldStrategy = saved;
}

TEST_F(ScrumUnitTest, RestartDelayIsDrawnWithinItsClamps) {
  f32 lo = 1000.0f, hi = -1000.0f;
  for (u32 seed = 1; seed <= 300; ++seed) {
    SetUp();
    RandSeed = seed;
    DoScrum(W);
    lo = std::min(lo, W.RestartDelay);
    hi = std::max(hi, W.RestartDelay);
  }
  EXPECT_GE(lo, 10.0f);
  EXPECT_LE(hi, 116.97f);
  EXPECT_LT(lo, 25.0f);  // drawn, not a constant
  EXPECT_GT(hi, 80.0f);
}

TEST_F(ScrumUnitTest, EngagementIsCalledAndThePacksClose) {
  W.ScrumPhase = 0;
  DoScrum(W);
  Arrive();
  DoScrum(W);
  EXPECT_EQ(W.ScrumPhase, 2);  // the restart delay still runs
  W.RestartDelay = 0;
  Arrive();
  DoScrum(W);
  ASSERT_EQ(W.ScrumPhase, 3);
  // 1.5 s, then the calls: front rows below 1.4 (block 1) and 1.3 s (block 2).
  for (int f = 0; f < 4; ++f) DoScrum(W);  // ScrumTimer 1.34
  const TTeamBlock& A = W.Teams[1];
  const TTeamBlock& D = W.Teams[2];
  EXPECT_EQ(A.Players[2].RuckRole, 20.0f);
  EXPECT_EQ(A.Players[3].RuckRole, 22.0f);
  EXPECT_EQ(A.Players[4].RuckRole, 1.0f);
  EXPECT_EQ(D.Players[2].RuckRole, 1.0f);
  for (int f = 0; f < 60 && W.ScrumPhase == 3; ++f) DoScrum(W);
  EXPECT_EQ(W.ScrumPhase, 4);
  EXPECT_EQ(W.RecordingOn, kTrue32);
  EXPECT_EQ(A.Players[8].RuckRole, 27.0f);  // the last call: slot 6, the number 8
  EXPECT_EQ(A.Players[6].RuckRole, 26.0f);  // slot 8
  EXPECT_EQ(D.Players[1].RuckRole, 21.0f);  // block 2's slot 3
  for (int f = 0; f < 20 && W.ScrumPhase == 4; ++f) DoScrum(W);
  ASSERT_EQ(W.ScrumPhase, 5);
  EXPECT_EQ(A.Players[2].RuckRole, 36.0f);
  for (int f = 0; f < 40 && W.ScrumPhase == 5; ++f) {
    Arrive();
    DoScrum(W);
  }
  ASSERT_GE(W.ScrumPhase, 6);
  EXPECT_EQ(A.Players[2].RuckRole, 44.0f);
  EXPECT_EQ(D.Players[8].RuckRole, 51.0f);
  EXPECT_EQ(W.PackAux, 0.0f);
  EXPECT_GT(W.PackVelocityZ, 0.0f);  // block 1 drives in harder
  EXPECT_EQ(MessageCount(msgScrumEngage), 1);
}

TEST_F(ScrumUnitTest, EqualPacksOnlySlowByRollingResistance) {
  for (f32 v0 : {0.5f, -0.5f, 0.0f}) {
    SetUp();
    BoundScene(8, 400.0f, 400.0f, v0);
    f32 v = v0;
    for (int f = 0; f < 60; ++f) {
      W.PossessionClock += W.TimeStep;
      DoScrum(W);
      const f32 expect = std::max(0.0f, std::fabs(v) - 0.01f * 9.81f * 0.04f);
      EXPECT_LE(std::fabs(W.PackVelocityZ), std::fabs(v) + 1e-6f);
      EXPECT_NEAR(std::fabs(W.PackVelocityZ), expect, 2e-4f) << v0 << " frame " << f;
      v = W.PackVelocityZ;
    }
  }
}

TEST_F(ScrumUnitTest, CollapseChanceByDriveAndDirection) {
  struct Case {
    f32 v, push1, push2;
    double chance;
  } cases[] = {
      {1.0f, 600, 500, 275.0},  {-1.0f, 500, 600, 275.0}, {1.0f, 500, 600, 0.0},
      {-1.0f, 600, 500, 0.0},   {0.25f, 600, 500, 0.0},   {-0.25f, 500, 600, 0.0},
      {2.0f, 500, 500, 550.0},
  };
  for (const Case& c : cases) {
    W.PackVelocityZ = c.v;
    W.Teams[1].PackPush = c.push1;
    W.Teams[2].PackPush = c.push2;
    EXPECT_NEAR(ScrumCollapseChance(W), c.chance, 1e-3) << c.v << " " << c.push1 << " " << c.push2;
  }
}

TEST_F(ScrumUnitTest, FirstCollapseIsAnInfringementWithAdvantage) {
  bool collapsed = false;
  int who = 0;
  for (u32 seed = 1; seed <= 40 && !collapsed; ++seed) {
    SetUp();
    BoundScene(9, 900.0f, 400.0f, 2.0f);
    W.ScrumRollTimer = 0.01f;
    RandSeed = seed;
    DoScrum(W);
    for (int n = 1; n <= 3; ++n) {
      if (W.Teams[2].Players[n].RuckRole == 52.0f) {
        collapsed = true;
        who = n;
      }
    }
  }
  ASSERT_TRUE(collapsed);
  EXPECT_FLOAT_EQ(W.Teams[2].PackPush, 360.0f);
  EXPECT_GE(W.ScrumRollTimer, 0.2f);
  EXPECT_EQ(W.ScrumPenaltyGiven, kTrue32);
  EXPECT_EQ(W.ScrumPenaltySide, kTrue32);
  const TInfringement& I = W.Infringements[1];
  EXPECT_EQ(I.Kind, 5);
  EXPECT_NE(I.Major, 0);
  EXPECT_EQ(I.AgainstDefence, kTrue32);
  EXPECT_EQ(I.Player, who);
  EXPECT_EQ(I.X, W.MarkX);
  EXPECT_FLOAT_EQ(W.AdvantageHoldTimer, 12.5f);
  EXPECT_FLOAT_EQ(W.AdvantageTimer, 2.5f);
  // A second collapse enters nothing.
  bool again = false;
  for (int f = 0; f < 400 && !again; ++f) {
    W.ScrumRollTimer = std::min(W.ScrumRollTimer, 0.01f);
    W.PackVelocityZ = 2.0f;
    DoScrum(W);
    for (int n = 1; n <= 3; ++n) again = again || (n != who && W.Teams[2].Players[n].RuckRole == 52.0f);
  }
  ASSERT_TRUE(again);
  EXPECT_EQ(W.Infringements[2].Kind, 0);
}

TEST_F(ScrumUnitTest, NoInfringementWhileTheScrumHalfPasses) {
  for (u32 seed = 1; seed <= 40; ++seed) {
    SetUp();
    BoundScene(9, 900.0f, 400.0f, 2.0f);
    W.Teams[1].Players[9].passtimer = 1.0f;
    W.ScrumRollTimer = 0.01f;
    RandSeed = seed;
    DoScrum(W);
    EXPECT_EQ(W.Infringements[1].Kind, 0);
    EXPECT_EQ(W.ScrumPenaltyGiven, 0);
  }
}

TEST_F(ScrumUnitTest, FeedLossChanceOnlyAgainstAStrongerPack) {
  struct Case {
    f32 push1, push2;
    i32 chance;
  } cases[] = {{100, 130, 76}, {100, 210, 301}, {100, 100, 0}, {130, 100, 0}, {100, 125, 1}, {100, 151, 151}};
  W.PackMass = 100.0f;
  for (const Case& c : cases) {
    W.Teams[1].PackPush = c.push1;
    W.Teams[2].PackPush = c.push2;
    EXPECT_EQ(ScrumFeedLossChance(W), c.chance) << c.push1 << " " << c.push2;
  }
}

TEST_F(ScrumUnitTest, FeedReleasesTheBallAtFortyEightPerCent) {
  BoundScene(7, 400.0f, 400.0f, 0.0f);
  TPlayer& H = W.Teams[1].Players[9];
  H.SpecialAnimTimer = 5.0f;
  H.currentAnim.Assign("scrumfeed");
  H.maxframes = 100.0f;
  H.currentframe = 47.0f;
  W.BallPhase = 0;
  DoScrum(W);
  EXPECT_EQ(W.Teams[1].BallCarrier, 9);
  EXPECT_EQ(W.BallPhase, 0);
  EXPECT_EQ(W.ScrumPhase, 7);
  H.currentframe = 48.0f;
  DoScrum(W);
  EXPECT_EQ(W.Teams[1].BallCarrier, 0);
  EXPECT_EQ(W.BallPhase, 1);
  EXPECT_FLOAT_EQ(W.BallTarget.x, W.MarkX);
  EXPECT_FLOAT_EQ(W.BallTarget.z, W.MarkZ - 0.2f);
  // The animation over: phase 8, the clock restarts, the scrum is won.
  H.SpecialAnimTimer = 0;
  W.PossessionClock = 3.0f;
  DoScrum(W);
  EXPECT_EQ(W.ScrumPhase, 8);
  EXPECT_EQ(W.PossessionClock, 0.0f);
  EXPECT_EQ(MessageCount(msgScrumWon), 1);
  EXPECT_EQ(W.TurnoverPending, 0);
}

TEST_F(ScrumUnitTest, StrongerBlockOneNeverLosesTheFeed) {
  for (u32 seed = 1; seed <= 100; ++seed) {
    SetUp();
    BoundScene(7, 500.0f, 400.0f, 0.0f);
    RandSeed = seed;
    DoScrum(W);
    EXPECT_EQ(W.TurnoverPending, 0);
    EXPECT_EQ(W.Teams[1].teamid, 1);
  }
}

TEST_F(ScrumUnitTest, TurnoverMirrorsTheWorldAndTheMachineGoesOn) {
  bool turned = false;
  for (u32 seed = 1; seed <= 100 && !turned; ++seed) {
    SetUp();
    BoundScene(7, 100.0f, 210.0f, 0.0f);
    RandSeed = seed;
    DoScrum(W);
    turned = W.TurnoverPending != 0;
  }
  ASSERT_TRUE(turned);
  const TTeamBlock& A = W.Teams[1];
  EXPECT_EQ(W.Team1InFirstBlock, 0);
  EXPECT_EQ(A.teamid, 2);  // the side that won the ball is block 1
  EXPECT_FLOAT_EQ(A.PackPush, 210.35f);
  EXPECT_EQ(W.BreakdownClock, 0.0f);
  EXPECT_EQ(A.BallCarrier, 0);
  EXPECT_EQ(W.Teams[2].BallCarrier, 0);
  EXPECT_EQ(A.HalfTimeAux, 0);
  EXPECT_EQ(W.BallPhase, 1);
  EXPECT_EQ(W.ScrumPhase, 8);
  EXPECT_FLOAT_EQ(A.SetPieceLineZ, W.MarkZ - A.PackSpots.Depth);
  EXPECT_EQ(MessageCount(msgTightheadWon), 1);
  EXPECT_EQ(MessageCount(msgScrumWon), 1);
  for (int k = 1; k <= 10; ++k) {
    if (W.MessageQueue[k].message == msgTightheadWon) {
      EXPECT_EQ(W.MessageQueue[k].teamID, 2);
    }
  }
  // The new block 1's scrum-half goes behind its own back row, then waits
  // the longer settling time of a turnover.
  for (int f = 0; f < 10; ++f) {
    Arrive();
    W.PossessionClock += W.TimeStep;
    DoScrum(W);
  }
  EXPECT_EQ(W.ScrumPhase, 9);
  const TPlayer& H = A.Players[9];
  EXPECT_FLOAT_EQ(H.DesiredPos.x, A.PackSpots.PosB[6].x);
  EXPECT_LT(H.DesiredPos.z, A.PackSpots.PosB[6].z);
}

TEST_F(ScrumUnitTest, DriveStopsNearATryLine) {
  struct Case {
    f32 mark, v, push1, push2;
  } cases[] = {{49.0f, 1.0f, 600, 400}, {-49.0f, -1.0f, 400, 600}, {48.9f, 2.5f, 900, 400}};
  for (const Case& c : cases) {
    SetUp();
    BoundScene(8, c.push1, c.push2, c.v);
    W.MarkZ = c.mark;
    W.ScrumDriveEnd = 1.0f;
    W.ScrumStopTime = 2.0f;
    for (int f = 0; f < 30; ++f) {
      W.PossessionClock += W.TimeStep;
      DoScrum(W);
      EXPECT_LT(std::fabs(W.MarkZ), 50.0f);
      if (W.PossessionClock >= 0.25f) {
        EXPECT_EQ(W.PackVelocityZ, 0.0f) << c.mark << " frame " << f;
      }
    }
  }
}

TEST_F(ScrumUnitTest, FrontRowInjuriesAtTheEngagement) {
  const TMatchType saved = MatchStore.MatchInfo.matchtype;
  for (TMatchType type : {TMatchType{1}, TMatchType{6}}) {
    SetUp();
    MatchStore.MatchInfo.matchtype = type;
    W.injurieson = kTrue32;
    W.Teams[1].Players[1].Height = 4.0f;  // a chance above 1000 per mille
    BoundScene(5, 400.0f, 400.0f, 0.0f);
    W.Teams[2].Players[2].Pos.z = W.Teams[1].Players[2].Pos.z;  // the front rows meet
    DoScrum(W);
    ASSERT_GE(W.ScrumPhase, 6);
    const TPlayer& P = W.Teams[1].Players[1];
    if (type == 6) {
      EXPECT_EQ(P.Unavailable, 0);
      EXPECT_EQ(MessageCount(msgInjury), 0);
      continue;
    }
    EXPECT_EQ(P.Unavailable, kTrue32);
    EXPECT_EQ(P.UnavailableKind, 1);
    EXPECT_FLOAT_EQ(P.maxspeed, 6.0f);
    EXPECT_FLOAT_EQ(P.MaxSpeedNonFatigued, 6.0f);
    EXPECT_FLOAT_EQ(P.ScrumPower.mean, 375.0f);
    EXPECT_EQ(MessageCount(msgInjury), 1);
    for (int k = 1; k <= 10; ++k) {
      if (W.MessageQueue[k].message == msgInjury) {
        EXPECT_EQ(W.MessageQueue[k].playerID, 101);
        EXPECT_EQ(W.MessageQueue[k].extravalue, 1.0f);
      }
    }
  }
  MatchStore.MatchInfo.matchtype = saved;
}

}  // namespace

namespace {

// Every frame of a formed scrum places the backs: block 1's line players on
// their slots behind the offside line, each by his alignment code; block
// 2's line on its shape at the x of block 1's slots; block 2's sweeper deep
// opposite the mark.
TEST_F(ScrumUnitTest, BacksTakeTheirSlotsAlignmentsAndTheDefencesShape) {
  W.ScrumPhase = 0;
  DoScrum(W);  // the set-up frame
  ASSERT_EQ(W.ScrumPhase, 2);
  TTeamBlock& A = W.Teams[1];
  TTeamBlock& D = W.Teams[2];
  const f32 lineZ = A.SetPieceLineZ;
  const f32 lowest = -W.PitchLength / 2 - W.InGoalDepth;
  for (int k = 1; k <= kSlotCount; ++k) A.SetPieceLine[k] = D.DefenceLine[k] = 0;
  for (int side = 1; side <= 2; ++side) {
    for (int p = 1; p <= 15; ++p) W.Teams[side].Players[p].ActionSeq.seqON = 0;
  }
  TPlayer& R = A.Players[12];  // the reference of the aligned players
  R.Pos = {kMarkX + 6.0f, 0, lineZ - 9.0f};

  struct TCase {
    const char* what;
    int player, slot;
    TVector2 offset;  // slot offset from (MarkX, offside line)
    i32 role;
    f32 alignDepth, alignZ;
    f32 z;  // expected
  };
  const TCase cases[] = {
      {"no code: the slot, at least 5 m back", 10, 104, {3, -2}, 0, 0, 0, lineZ - 5.0f},
      {"code 3: depth behind the slot", 12, 106, {6, -8}, 3, 1.5f, 0, lineZ - 9.5f},
      {"code 6: depth behind the slot", 11, 116, {15, -6}, 6, 2.0f, 0, lineZ - 8.0f},
      {"code -1: 0.5 m behind the reference", 13, 108, {9, -7}, -1, 0, 0, R.Pos.z - 0.5f},
      {"code -2: level with the reference", 14, 110, {12, -7}, -2, 0, 0, R.Pos.z},
      {"code -3: the held alignment point", 15, 112, {18, -7}, -3, 0, -30.0f, -30.0f},
      {"other code, slot beyond the dead-ball line", 7, 114, {21, -200}, 5, 3.0f, 0, lowest},
  };
  for (const TCase& c : cases) {
    TPlayer& P = A.Players[c.player];
    A.SetPieceLine[c.slot] = static_cast<i16>(c.player);
    A.LineSlotPos[c.slot] = c.offset;
    P.RoleCode = c.role;
    P.AlignRefPlayer = 12;
    P.AlignDepth = c.alignDepth;
    P.AlignPoint = {0, c.alignZ};
    P.SpeedOverrideOn = kTrue32;
  }
  // The scrum-half in the line stays with the scrum.
  A.SetPieceLine[102] = static_cast<i16>(A.SetPieceHolder);
  A.LineSlotPos[102] = {1, -3};
  const TVector2 halfBefore = {A.Players[A.SetPieceHolder].DesiredPos.x, A.Players[A.SetPieceHolder].DesiredPos.z};

  // Block 2's shape rises 5 m for every metre out from the mark, from 3 m
  // beyond it; it is held at halfway.
  D.CurrentStrategy = {};
  D.CurrentStrategy.SegmentCount = 1;
  D.CurrentStrategy.CurrentSegment = 1;
  D.CurrentStrategy.Durations[1] = 40.0f;
  D.CurrentStrategy.EndValues[1] = 200.0f;
  D.DefenceLineAux = 0;
  D.DefenceLineOffset = 3.0f;
  D.DefenceLine[104] = 10;
  D.DefenceLine[106] = 12;
  D.DefenceLine[108] = 13;
  D.DefenceLine[102] = static_cast<i16>(D.SetPieceHolder);
  const TVector2 otherHalfBefore = {D.Players[D.SetPieceHolder].DesiredPos.x,
                                    D.Players[D.SetPieceHolder].DesiredPos.z};
  D.DeepPlayerNumber = 15;

  DoScrum(W);
  ASSERT_EQ(W.ScrumPhase, 2);
  for (const TCase& c : cases) {
    const TPlayer& P = A.Players[c.player];
    EXPECT_FLOAT_EQ(P.DesiredPos.x, kMarkX + c.offset.x) << c.what;
    EXPECT_FLOAT_EQ(P.DesiredPos.z, c.z) << c.what;
    EXPECT_EQ(P.SpeedOverrideOn, 0) << c.what;
  }
  EXPECT_FLOAT_EQ(A.Players[13].AlignPoint.z, R.Pos.z - 0.5f);
  EXPECT_EQ(A.Players[A.SetPieceHolder].DesiredPos.x, halfBefore.x);
  EXPECT_EQ(A.Players[A.SetPieceHolder].DesiredPos.z, halfBefore.z);

  const struct {
    int player;
    f32 x, z;
  } defence[] = {{10, kMarkX + 3, kMarkZ + 3 + 15}, {12, kMarkX + 6, kMarkZ + 3 + 30}, {13, kMarkX + 9, 50.0f}};
  for (const auto& d : defence) {
    EXPECT_FLOAT_EQ(D.Players[d.player].DesiredPos.x, d.x) << d.player;
    EXPECT_FLOAT_EQ(D.Players[d.player].DesiredPos.z, d.z) << d.player;
  }
  EXPECT_EQ(D.Players[D.SetPieceHolder].DesiredPos.x, otherHalfBefore.x);
  EXPECT_EQ(D.Players[D.SetPieceHolder].DesiredPos.z, otherHalfBefore.z);

  // The sweeper: 8.5 m x f back towards the middle from a mark at x = 5
  // (f = 1/7), halfway between block 2's offside line and halfway.
  const TPlayer& S = D.Players[15];
  EXPECT_NEAR(S.DesiredPos.x, kMarkX - 8.5 / 7.0, 1e-4);
  EXPECT_NEAR(S.DesiredPos.z, (D.SetPieceLineZ + 50.0) / 2.0, 1e-4);
  // With the line close to halfway he stands 5 m behind it; while the
  // scrum's kind flag is set he stays where he is (then 5 m behind too).
  D.SetPieceLineZ = 47.0f;
  DoScrum(W);
  EXPECT_FLOAT_EQ(S.DesiredPos.z, 52.0f);
  D.SetPieceLineZ = kMarkZ + 2.0f;
  W.ScrumKindFlag = kTrue32;
  D.Players[15].Pos = {-20.0f, 0, 40.0f};
  DoScrum(W);
  EXPECT_EQ(S.DesiredPos.x, -20.0f);
  EXPECT_EQ(S.DesiredPos.z, 40.0f);
}

}  // namespace

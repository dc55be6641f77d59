#include "flow/BreakdownSetup.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>

#include "AllocationCounter.h"
#include "SmallWorld.h"
#include "core/FloatFlags.h"
#include "core/MoveBooks.h"
#include "core/Random.h"
#include "core/SlotLines.h"
#include "core/StrategyShapes.h"
#include "flow/GotTackledUnit.h"

namespace {

// A tackle at the centre spot (ball at the origin, block 1 attacking towards
// +z): every attacker stands far back at z -40 and every defender far up at
// z +40, 2 m apart in x, all free; each field strategy has one zone over
// the whole pitch. Tests move the few players that matter near the mark.
TWorld W;
Arr1<TFieldStrategy, 2> SavedStrategy;
Arr1<TMoveBook, 2> SavedBooks;
i32 SavedTeamSize = 0;

TPlayer& Att(int i) { return W.Teams[1].Players[i]; }
TPlayer& Def(int i) { return W.Teams[2].Players[i]; }

// Only Pos: the set-up reads where players stand, not where they were.
void SetPos(TPlayer& P, f32 x, f32 z) { P.Pos = {x, 0.0f, z}; }

void SetZone(int team, f32 attack, f32 defence) {
  TFieldStrategyHalf& H = FieldStrategy[team].Normal;
  H.RuckNumAttack[1] = attack;
  H.RuckNumDef[1] = defence;
}

void SetRuckTime(f32 t) {
  TDistribution& d = W.Teams[1].RuckTime;
  d.mean = d.min = d.max = t;
  d.sd = 1.0f;
  d.useMin = d.useMax = kTrue32;
}

bool Committed(const TPlayer& P) { return P.RuckTimer > 0; }

class BreakdownSetupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SavedStrategy = FieldStrategy;
    SavedBooks = MoveBooks;
    SavedTeamSize = World.PlayersPerTeam;
    World.PlayersPerTeam = 15;  // the list helpers read the match's team size
    ResetScene();
  }
  void TearDown() override {
    EXPECT_FALSE(FloatErrorRaised());
    FieldStrategy = SavedStrategy;
    MoveBooks = SavedBooks;
    World.PlayersPerTeam = SavedTeamSize;
  }

  // The scene afresh, for each case of a table.
  static void ResetScene() {
    MakeSmallWorld(W, {.Frame = true});
    std::feclearexcept(FE_ALL_EXCEPT);
    RandSeed = 35;
    W.LiveWorld = kTrue32;
    W.Team1InFirstBlock = kTrue32;
    W.halflength = 2400.0f;
    W.clock = 600.0f;
    W.MatchPhase = 1;
    W.gamestate = gsGotTackled;
    W.GotTackledPhase = 1;
    W.RuckDepthUnit = 0.5f;
    SetRuckTime(2.0f);
    for (int b = 1; b <= 2; ++b) {
      TTeamBlock& T = W.Teams[b];
      T.SupportGridSize = 4;
      for (int r = 1; r <= 4; ++r) {
        for (int c = 1; c <= 4; ++c) T.SupportGridWeightsAlt1[r][c] = 10;
      }
      for (int k = 1; k <= kSlotCount; ++k) T.LineSlotPos[k] = {static_cast<f32>((k - kCentreSlot) * 1.0), -5.0f};
      for (int k = 1; k <= 10; ++k) {
        T.PackSpots.OffsetA[k] = {static_cast<f32>(k - 5.5), 0.0f};
        T.PackSpots.OffsetB[k] = {static_cast<f32>((k - 5.5) * 0.5), 0.0f};
      }
    }
    for (int i = 1; i <= 15; ++i) {
      SetPos(Att(i), static_cast<f32>(-30 + 4 * i), -40.0f);
      SetPos(Def(i), static_cast<f32>(-30 + 4 * i), 40.0f);
      Att(i).MaxSpeedNonFatigued = 8.0f;
    }
    for (TFieldStrategy& F : FieldStrategy) {
      F = TFieldStrategy{};
      F.CatchUpThreshold = 1.0f;
      F.Normal.ZoneCount = 1;
      F.Normal.Zones[1] = {-35.0f, -60.0f, 35.0f, 60.0f};
    }
    SetZone(1, 2.0f, 2.0f);
    SetZone(2, 2.0f, 2.0f);
  }
};

TEST_F(BreakdownSetupTest, RunsOnceOnEntryAndResetsTheBreakdown) {
  W.BallPos = {3.0f, 0.0f, 7.0f};
  W.Teams[1].HalfTimeAux = kTrue32;
  W.BreakdownClock = 4.0f;
  W.TurnoverPending = kTrue32;
  MoveBooks[1].RuckSampled = kTrue32;
  MoveBooks[2].RuckSampled = kTrue32;
  MoveBooks[1].HoldTimer = 50.0f;
  Att(5).ActionSeq.seqON = kTrue32;
  W.Teams[1].PackSpots.OccupantB[4] = 7;
  StartCountingAllocations();
  DoGotTackled(W);
  EXPECT_EQ(0, StopCountingAllocations());
  EXPECT_EQ(2, W.GotTackledPhase);
  EXPECT_EQ(3.0f, W.MarkX);
  EXPECT_EQ(7.0f, W.MarkZ);
  EXPECT_EQ(3.0f, W.RuckOriginX);
  EXPECT_EQ(0, W.Teams[1].HalfTimeAux) << "the holder has not committed at this ruck";
  EXPECT_EQ(0.0f, W.BreakdownClock);
  EXPECT_EQ(0, W.TurnoverPending);
  EXPECT_EQ(0, MoveBooks[1].RuckSampled);
  EXPECT_EQ(0, MoveBooks[2].RuckSampled);
  EXPECT_EQ(0.0f, MoveBooks[1].HoldTimer);
  EXPECT_EQ(0, Att(5).ActionSeq.seqON);
  EXPECT_EQ(2.0f, W.RestartDelay);
  EXPECT_EQ(2.0f, W.Teams[1].RuckTime.value);
  EXPECT_GE(W.DefendersAloneLimit, 0.4f);
  EXPECT_LE(W.DefendersAloneLimit, 0.8f);
  EXPECT_EQ(0, W.Teams[1].PackSpots.OccupantB[4]) << "the tables start empty";
  // Offside lines and bound positions either side of the mark.
  EXPECT_FLOAT_EQ(6.5f, W.Teams[1].SetPieceLineZ);
  EXPECT_FLOAT_EQ(7.5f, W.Teams[2].SetPieceLineZ);
  const double shift = W.PackAux;
  EXPECT_EQ(0.15, std::fabs(std::round(shift * 100) / 100));
  EXPECT_FLOAT_EQ(static_cast<f32>(7.0 - 0.4 + shift), W.Teams[1].PackSpots.PosB[1].z);
  EXPECT_FLOAT_EQ(6.6f, W.Teams[1].PackSpots.PosB[2].z);
  EXPECT_FLOAT_EQ(7.4f, W.Teams[2].PackSpots.PosB[2].z);
  EXPECT_FLOAT_EQ(6.0f, W.Teams[1].PackSpots.PosA[1].z);
  EXPECT_FLOAT_EQ(8.0f, W.Teams[2].PackSpots.PosA[1].z);
  EXPECT_FLOAT_EQ(3.0f - 4.5f, W.Teams[1].PackSpots.PosA[1].x);

  // Later frames leave the set-up alone.
  const u32 seed = RandSeed;
  W.MarkX = 9.0f;
  DoGotTackled(W);
  EXPECT_EQ(2, W.GotTackledPhase);
  EXPECT_EQ(9.0f, W.MarkX);
  EXPECT_EQ(seed, RandSeed);
}

TEST_F(BreakdownSetupTest, LookAheadLeavesTheMoveBooks) {
  W.LiveWorld = 0;
  MoveBooks[1].RuckSampled = kTrue32;
  SetUpBreakdown(W);
  EXPECT_NE(0, MoveBooks[1].RuckSampled);
}

TEST_F(BreakdownSetupTest, CommitmentCountsStayInRange) {
  // Everybody stands near the mark, so every pick finds someone.
  for (int i = 1; i <= 15; ++i) {
    SetPos(Att(i), static_cast<f32>(i - 8), -3.0f);
    SetPos(Def(i), static_cast<f32>(i - 8), 3.0f);
  }
  struct Case {
    const char* what;
    f32 attack, defence;
    int attackLow, attackHigh, defenceLow, defenceHigh;
  } cases[] = {{"zone of 0", 0.0f, 0.0f, 1, 4, 0, 3}, {"zone of 10", 10.0f, 10.0f, 6, 6, 6, 6}};
  for (const Case& c : cases) {
    int defenceNone = 0;
    for (u32 seed = 1; seed <= 250; ++seed) {
      ResetScene();
      for (int i = 1; i <= 15; ++i) {
        SetPos(Att(i), static_cast<f32>(i - 8), -3.0f);
        SetPos(Def(i), static_cast<f32>(i - 8), 3.0f);
      }
      SetZone(1, c.attack, 0.0f);
      SetZone(2, 0.0f, c.defence);
      RandSeed = seed;
      SetUpBreakdown(W);
      const TTeamBlock& A = W.Teams[1];
      const TTeamBlock& D = W.Teams[2];
      ASSERT_GE(A.RuckCommitWanted, c.attackLow) << c.what;
      ASSERT_LE(A.RuckCommitWanted, c.attackHigh) << c.what;
      ASSERT_GE(D.RuckCommitWanted, c.defenceLow) << c.what;
      ASSERT_LE(D.RuckCommitWanted, c.defenceHigh) << c.what;
      ASSERT_EQ(A.RuckCommitWanted, A.RuckCommitCount) << c.what;
      ASSERT_EQ(D.RuckCommitWanted, D.RuckCommitCount) << c.what;
      int sent = 0;
      for (int i = 1; i <= 15; ++i) sent += Committed(Att(i));
      ASSERT_EQ(A.RuckCommitCount, sent) << c.what;
      defenceNone += D.RuckCommitWanted == 0;
    }
    if (c.defence == 0.0f) {
      // A draw of 0 (near half the draws) stays 0 only on a roll of 800 or
      // more: about 9 % of breakdowns (23 of 250), not 46 %.
      EXPECT_GT(defenceNone, 5) << c.what;
      EXPECT_LT(defenceNone, 55) << c.what;
    }
  }
}

TEST_F(BreakdownSetupTest, ScrumHalfAndFullbackOnlyOnPickOneAndBacksOnPicksOneToThree) {
  SetZone(1, 10.0f, 0.0f);
  SetZone(2, 0.0f, 10.0f);
  // Attack: 1 nearest, then 9, the backs 12 to 15, then forwards 2 to 8.
  // Player 1 stands behind the offside line near the mark (bound at once);
  // player 12 is level with the mark (to a waiting spot).
  SetPos(Att(1), 0.0f, -1.0f);
  SetPos(Att(9), 0.0f, -2.0f);
  SetPos(Att(12), 2.5f, 0.0f);
  SetPos(Att(13), 0.0f, -3.0f);
  SetPos(Att(14), 0.0f, -3.5f);
  SetPos(Att(15), 0.0f, -3.6f);
  for (int i = 2; i <= 8; ++i) SetPos(Att(i), 0.0f, static_cast<f32>(-3.0 - i));
  // Defence: 1, then 15 and 9 and 10, then forwards.
  SetPos(Def(1), 0.0f, 1.0f);
  SetPos(Def(15), 0.0f, 2.0f);
  SetPos(Def(9), 0.0f, 2.2f);
  SetPos(Def(10), 0.0f, 2.4f);
  SetPos(Def(11), 0.0f, 2.6f);
  SetPos(Def(12), 0.0f, 2.8f);
  for (int i = 2; i <= 8; ++i) SetPos(Def(i), 0.0f, static_cast<f32>(3.0 + i));
  SetUpBreakdown(W);
  const int attackers[] = {1, 12, 13, 2, 3, 4};
  for (int i : attackers) EXPECT_TRUE(Committed(Att(i))) << "attacker " << i;
  for (int i : {9, 14, 15, 5}) EXPECT_FALSE(Committed(Att(i))) << "attacker " << i;
  const int defenders[] = {1, 9, 10, 2, 3, 4};
  for (int i : defenders) EXPECT_TRUE(Committed(Def(i))) << "defender " << i;
  for (int i : {15, 11, 12, 5}) EXPECT_FALSE(Committed(Def(i))) << "defender " << i;
  // Bound or waiting.
  EXPECT_EQ(1.0f, Att(1).RuckRole);
  EXPECT_EQ(1, W.Teams[1].PackSpots.OccupantB[1]);
  EXPECT_EQ(0.0f, Att(12).RuckRole);
  bool waiting = false;
  for (int k = 1; k <= 10; ++k) waiting = waiting || W.Teams[1].PackSpots.OccupantA[k] == 12;
  EXPECT_TRUE(waiting);
  EXPECT_EQ(1.0f, Def(1).RuckRole) << "behind block 2's line, near the mark";
  EXPECT_EQ(9, W.Teams[1].SetPieceHolder) << "9 is free and within 10 m";
}

TEST_F(BreakdownSetupTest, ScrumHalfChoice) {
  struct Case {
    const char* what;
    f32 x9, z9;
    bool committed9;
    f32 ruckTime;
    int holder;
  } cases[] = {
      {"9 within 10 m", 0.0f, -10.0f, false, 2.0f, 9},
      {"9 at 12 m, there 0.75 s early", 0.0f, -12.0f, false, 2.5f, 0},   // 12 / 6.8 = 1.76 > 1.75
      {"9 at 12 m, with time", 0.0f, -12.0f, false, 2.6f, 9},            // < 1.85
      {"9 committed (nearest)", 0.0f, -1.0f, true, 2.0f, 0},
  };
  for (const Case& c : cases) {
    ResetScene();
    SetZone(1, 0.0f, 0.0f);
    SetRuckTime(c.ruckTime);
    SetPos(Att(9), c.x9, c.z9);
    SetPos(Att(4), 1.0f, -9.0f);
    // The commitment picks from players 5, 6, 7, 8 and 1 unless 9 is
    // nearest; everybody else far away.
    SetPos(Att(5), 0.0f, -1.5f);
    SetPos(Att(6), 0.0f, -1.6f);
    SetPos(Att(7), 0.0f, -1.7f);
    SetPos(Att(8), 0.0f, -1.8f);
    SetPos(Att(1), 0.0f, -1.9f);
    SetUpBreakdown(W);
    if (c.committed9) {
      ASSERT_TRUE(Committed(Att(9))) << c.what;
    }
    // Nearest free when 9 is not chosen: 4, unless a forward near the mark
    // was left uncommitted.
    int nearestFree = 0;
    double best = 1e9;
    for (int i = 1; i <= 15; ++i) {
      if (Committed(Att(i))) continue;
      const double d = std::hypot(Att(i).Pos.x - W.MarkX, Att(i).Pos.z - W.MarkZ);
      if (d < best) {
        best = d;
        nearestFree = i;
      }
    }
    EXPECT_EQ(c.holder != 0 ? c.holder : nearestFree, W.Teams[1].SetPieceHolder) << c.what;
    if (c.holder == 0) {
      EXPECT_NE(9, W.Teams[1].SetPieceHolder) << c.what;
    }
  }
}

TEST_F(BreakdownSetupTest, ForwardWithin20MetresMayGoToSupportAndBeyondIsInLine) {
  struct Case {
    const char* what;
    f32 x;
    bool everSupport;
  } cases[] = {{"20.0 m", 20.0f, true}, {"20.1 m", 20.1f, false}, {"-20.0 m", -20.0f, true}};
  for (const Case& c : cases) {
    int support = 0;
    for (u32 seed = 1; seed <= 60; ++seed) {
      ResetScene();
      SetZone(1, 0.0f, 0.0f);
      for (int i = 1; i <= 4; ++i) SetPos(Att(i), static_cast<f32>(i * 0.5), -1.0f);
      SetPos(Att(6), c.x, -5.0f);
      RandSeed = seed;
      SetUpBreakdown(W);
      ASSERT_FALSE(Committed(Att(6))) << c.what;
      support += Att(6).InBackline == 0;
    }
    if (c.everSupport) {
      EXPECT_GT(support, 10) << c.what;
    } else {
      EXPECT_EQ(0, support) << c.what;
    }
  }
}

TEST_F(BreakdownSetupTest, BacklineHoldsEveryListedPlayerButTheScrumHalf) {
  for (u32 seed = 1; seed <= 20; ++seed) {
    ResetScene();
    RandSeed = seed;
    for (int i = 1; i <= 15; ++i) SetPos(Att(i), static_cast<f32>(i - 8), static_cast<f32>(-2.0 - i % 4));
    SetUpBreakdown(W);
    const TTeamBlock& A = W.Teams[1];
    const int holder = A.SetPieceHolder;
    ASSERT_GE(holder, 1);
    int inLine = 0;
    for (int i = 1; i <= 15; ++i) {
      int slots = 0;
      for (int k = 1; k <= kSlotCount; ++k) slots += A.SetPieceLine[k] == i;
      const bool listed = !Committed(Att(i)) && Att(i).InBackline != 0 && i != holder;
      EXPECT_EQ(listed ? 1 : 0, slots) << "player " << i << " seed " << seed;
      inLine += listed;
    }
    EXPECT_EQ(inLine, A.Line.Count) << seed;
    for (int k = 1; k < A.Line.Count; ++k) EXPECT_LT(A.Line.Pos[k], A.Line.Pos[k + 1]);
    // Supporters (not in line, free, not the holder) each hold one cell.
    for (int i = 1; i <= 15; ++i) {
      if (Committed(Att(i)) || Att(i).InBackline != 0 || i == holder) continue;
      int cells = 0;
      for (int r = 1; r <= 4; ++r) {
        for (int c = 1; c <= 4; ++c) cells += A.SupportGridCells[r][c] == i;
      }
      EXPECT_EQ(1, cells) << "supporter " << i;
    }
    // The defence marks every free attacker in line but the holder.
    int marked = 0;
    for (int k = 1; k <= 25 && W.Teams[2].AttackBacksList[k] != 0; ++k) ++marked;
    EXPECT_GE(marked, inLine);
  }
}

TEST_F(BreakdownSetupTest, SupportCellsStayInsideTouch) {
  // The mark 1.5 m from touch: the grid's columns lie at x 32.5, 33.5, 34.5
  // and 35.5; only the first two are inside the 0.5 m margin. Row 1's big
  // weight lies out of bounds, so most draws run past the in-bounds cells
  // of row 2 and fall back to the first of them with positive weight.
  int supporters = 0;
  for (u32 seed = 1; seed <= 40; ++seed) {
    ResetScene();
    RandSeed = seed;
    TTeamBlock& A = W.Teams[1];
    for (int r = 1; r <= 4; ++r) {
      for (int c = 1; c <= 4; ++c) A.SupportGridWeightsAlt1[r][c] = 0;
    }
    A.SupportGridWeightsAlt1[1][4] = 100;
    A.SupportGridWeightsAlt1[2][1] = 2;
    A.SupportGridWeightsAlt1[2][2] = 3;
    W.BallPos = {33.5f, 0.0f, 0.0f};
    SetZone(1, 0.0f, 0.0f);
    for (int i = 1; i <= 15; ++i) {
      SetPos(Att(i), 33.5f, -40.0f);
      Att(i).GettingTackledTimer = 1.0f;  // busy: neither line nor support
    }
    for (int i = 1; i <= 5; ++i) SetPos(Att(i), 33.5f - 0.1f * i, -1.0f);
    Att(6).GettingTackledTimer = 0;
    SetPos(Att(6), 33.0f, -6.0f);
    Att(7).GettingTackledTimer = 0;
    SetPos(Att(7), 33.0f, -8.0f);
    for (int i = 1; i <= 5; ++i) Att(i).GettingTackledTimer = 0;
    SetUpBreakdown(W);
    EXPECT_EQ(0, A.SupportGridCells[1][4]) << seed;
    // Every supporter holds one of the two in-bounds cells, or both are
    // taken before his turn.
    const bool bothTaken = A.SupportGridCells[2][1] != 0 && A.SupportGridCells[2][2] != 0;
    for (int i = 1; i <= 15; ++i) {
      if (Committed(Att(i)) || Att(i).InBackline != 0 || i == A.SetPieceHolder || Att(i).GettingTackledTimer > 0)
        continue;
      ++supporters;
      const bool inRow2 = A.SupportGridCells[2][1] == i || A.SupportGridCells[2][2] == i;
      EXPECT_TRUE(inRow2 || bothTaken) << "player " << i << " seed " << seed;
    }
  }
  EXPECT_GT(supporters, 20);
}

TEST_F(BreakdownSetupTest, NobodyFreeLeavesNoScrumHalf) {
  for (int i = 1; i <= 15; ++i) Att(i).GettingTackledTimer = 1.0f;
  SetUpBreakdown(W);
  EXPECT_EQ(0, W.Teams[1].SetPieceHolder);
  EXPECT_EQ(0, W.Teams[1].RuckCommitCount);
  EXPECT_EQ(0, W.Teams[1].Line.Count);
  for (int k = 1; k <= kSlotCount; ++k) EXPECT_EQ(0, W.Teams[1].SetPieceLine[k] > 0 && W.Teams[1].SetPieceLine[k] <= 15 ? 1 : 0);
}

TEST_F(BreakdownSetupTest, TurnoverLayoutCommitsNobody) {
  W.MarkX = 0.0f;
  W.MarkZ = 0.0f;
  W.Teams[1].SetPieceHolder = 9;
  const u32 before = RandSeed;
  LayOutBreakdownLines(W);
  for (int i = 1; i <= 15; ++i) EXPECT_FALSE(Committed(Att(i))) << i;
  EXPECT_NE(before, RandSeed) << "the line rolls";
  EXPECT_GT(W.Teams[1].Line.Count, 0);
}

}  // namespace

#include "core/Lines.h"

#include <gtest/gtest.h>

#include <vector>

#include "SmallWorld.h"

namespace {

class LinesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeSmallWorld(W, {.InGoals = true});
    // Everybody far away and busy unless a test says otherwise.
    ForEverySlot(W, [](TPlayer& P, int b, int) {
      P.Pos = {100, 0, b == 1 ? -200.0f : 200.0f};
      P.maxspeed = 8.0f;
      P.OldTackleTimer = 1.0f;
    });
  }
  TPlayer& Kicker(f32 x, f32 z, f32 angle, bool free = true) {
    TPlayer& K = W.Teams[1].Players[10];
    K.Pos = {x, 0, z};
    K.FreeBallCatchAngle = angle;
    K.OldTackleTimer = free ? 0.0f : 1.0f;
    return K;
  }
  static TWorld W;
};
TWorld LinesTest::W;

TEST_F(LinesTest, KickAheadKeepsTheDefaultWhenEvenSevenMetresLeavesThePitch) {
  Kicker(0, -55, 270);  // 5 m from his own dead-ball line, facing it
  EXPECT_EQ(ChooseKickAheadDistance(W, 10, true), 5.0f);
  W.Teams[2].Players[10] = W.Teams[1].Players[10];
  EXPECT_EQ(ChooseKickAheadDistance(W, 10, false), 7.0f);
}

TEST_F(LinesTest, KickAheadPicksTheBestMarginAndTheFartherOfEqualOnes) {
  Kicker(0, 0, 90, /*free=*/false);  // nobody free at all: every margin 0
  EXPECT_EQ(ChooseKickAheadDistance(W, 10, true), 22.0f);
  Kicker(0, 40, 90, false);  // 22 m would be beyond the dead-ball line
  EXPECT_EQ(ChooseKickAheadDistance(W, 10, true), 17.0f);
  // An opponent 15 m ahead: only the short kick gets there first.
  Kicker(0, 0, 90);
  TPlayer& O = W.Teams[2].Players[3];
  O.Pos = {0, 0, 15};
  O.OldTackleTimer = 0;
  EXPECT_EQ(ChooseKickAheadDistance(W, 10, true), 7.0f);
  // An opponent behind him: the margin is the same for every distance.
  O.Pos = {0, 0, -10};
  EXPECT_EQ(ChooseKickAheadDistance(W, 10, true), 22.0f);
  // A player without speed never counts as reaching the ball.
  O.maxspeed = 0;
  EXPECT_EQ(ChooseKickAheadDistance(W, 10, true), 7.0f);
}

TEST_F(LinesTest, NumbersAdvantage) {
  TTeamBlock& A = W.Teams[1];
  TTeamBlock& D = W.Teams[2];
  EXPECT_TRUE(HasNumbersAdvantage(W));  // no carrier
  A.BallCarrier = 10;
  A.Players[10].Pos = {0, 0, 0};
  EXPECT_TRUE(HasNumbersAdvantage(W));  // nobody ahead
  D.Players[1].Pos = {-3, 0, 5};
  D.Players[2].Pos = {-6, 0, 5};
  D.Players[3].Pos = {0, 0, 5};  // x equal to the carrier's: the left
  D.Players[4].Pos = {10, 0, 5};  // 10 m across: not counted
  EXPECT_TRUE(HasNumbersAdvantage(W));  // three ahead on the left, none on the right
  D.Players[5].Pos = {4, 0, 5};
  A.Players[11].Pos = {-2, 0, -3};
  EXPECT_FALSE(HasNumbersAdvantage(W));  // 3 v 1 on the left, 1 v 0 on the right
  A.Players[12].Pos = {2, 0, -3};
  EXPECT_TRUE(HasNumbersAdvantage(W));
}

TEST_F(LinesTest, NumbersAdvantageMeasuresTheTenMetresExactly) {
  // 10.5 - 0.50000006 is just under 10 m, though in 32 bits it rounds to 10:
  // the opponent on the right counts, so neither side has support enough.
  TTeamBlock& A = W.Teams[1];
  A.BallCarrier = 10;
  A.Players[10].Pos = {0.50000006f, 0, 0};
  W.Teams[2].Players[1].Pos = {-2, 0, 5};
  W.Teams[2].Players[2].Pos = {10.5f, 0, 5};
  EXPECT_FALSE(HasNumbersAdvantage(W));
}

TEST_F(LinesTest, BehindLineRunningBackFollowsTheCarrier) {
  TPlayer P{};
  P.Pos = {0, 0, 0};
  P.DesiredPos = {1, 0, 2};
  AdjustDesiredPosBehindLine(P, 0, 0, 3.0f, -1.0f, 10, 0.01f, 50, 50, 0, 0.04f, 0.1f);
  EXPECT_FLOAT_EQ(P.DesiredPos.x, 1.12f);
  EXPECT_FLOAT_EQ(P.DesiredPos.z, 1.96f);
}

TEST_F(LinesTest, BehindLineInFrontOfTheLine) {
  TPlayer P{};
  P.Pos = {0, 0, 5};
  P.MaxSpeedNonFatigued = 8.0f;
  P.maxspeed = 8.0f;
  const struct {
    f32 desiredZ, velZ;
    bool32 clamp;
    f32 outZ;
  } cases[] = {
      {2, 2, 0, 3},    // back to the line is quicker than waiting for it
      {2, 6, 0, 5},    // the line catches him up sooner: he stays
      {6, 2, -1, 3},   // clamped onto the line
      {6, 2, 0, 6.08f},  // not clamped: the ordinary forward step
  };
  for (const auto& c : cases) {
    P.DesiredPos = {0, 0, c.desiredZ};
    AdjustDesiredPosBehindLine(P, 0, c.clamp, 0, c.velZ, 3, 0.01f, 50, 50, 0, 0.04f, 0.1f);
    EXPECT_FLOAT_EQ(P.DesiredPos.z, c.outZ) << c.desiredZ << " " << c.velZ;
  }
}

TEST_F(LinesTest, BehindLineForwardStepEasesAndLimitsTheSideStep) {
  TPlayer P{};
  P.maxspeed = 8.0f;
  const struct {
    f32 gap, velZ, dz;
  } cases[] = {{0, 5, 0.2f}, {1, 5, 0.155f}, {2, 5, 0.11f}, {4, 5, 0.11f}, {0, 0, 0.0004f}};
  for (const auto& c : cases) {
    P.Pos = {0, 0, 0};
    P.DesiredPos = {0, 0, -c.gap};
    AdjustDesiredPosBehindLine(P, 0, 0, 0, c.velZ, 10, 0.01f, 50, 50, 0, 0.04f, 0.1f);
    EXPECT_FLOAT_EQ(P.DesiredPos.z, c.dz) << c.gap;
  }
  // A side step faster than 10 m/s2 allows is cut back.
  P.Pos = {0, 0, 0};
  P.DesiredPos = {0, 0, 0};
  P.Velocity = {1.0f, 0};
  AdjustDesiredPosBehindLine(P, 0, 0, 10.0f, 5, 10, 0.01f, 50, 50, 0, 0.04f, 0.1f);
  EXPECT_FLOAT_EQ(P.DesiredPos.x, 0.056f);
  P.DesiredPos = {0, 0, 0};
  P.Velocity = {-7.9f, 0};
  AdjustDesiredPosBehindLine(P, 0, 0, -10.0f, 5, 10, 0.01f, 50, 50, 0, 0.04f, 0.1f);
  EXPECT_FLOAT_EQ(P.DesiredPos.x, -0.32f);  // limited to top speed
}

TEST_F(LinesTest, BehindLineDropsBackInsteadOfCrossingInFront) {
  TPlayer P{};
  P.maxspeed = 8.0f;
  P.Pos = {0.1f, 0, 5};
  P.DesiredPos = {0.1f, 0, 5};
  P.Velocity = {-8.0f, 0};
  AdjustDesiredPosBehindLine(P, 0, 0, -10.0f, 2, 10, 0.01f, 0, 0, 0, 0.04f, 0.1f);
  EXPECT_FLOAT_EQ(P.DesiredPos.x, 0.1f);
  EXPECT_FLOAT_EQ(P.DesiredPos.z, 0.0f);
  // Behind the reference point he may cross.
  P.Pos = {0.1f, 0, -1};
  P.DesiredPos = {0.1f, 0, -1};
  AdjustDesiredPosBehindLine(P, 0, 0, -10.0f, 2, 10, 0.01f, 0, 0, 0, 0.04f, 0.1f);
  EXPECT_LT(P.DesiredPos.x, 0.0f);
}

class InsertIntoLineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    L = {};
    L.MinPos = -30.0f;
    L.MaxPos = 30.0f;
    L.Spacing = 2.0f;
  }
  std::vector<int> Ids() const {
    std::vector<int> v;
    for (int k = 1; k <= L.Count; ++k) v.push_back(L.Ids[k]);
    return v;
  }
  std::vector<f32> Pos() const {
    std::vector<f32> v;
    for (int k = 1; k <= L.Count; ++k) v.push_back(L.Pos[k]);
    return v;
  }
  TLineList L;
};

TEST_F(InsertIntoLineTest, EmptyLineTakesTheFirstEntry) {
  InsertIntoLine(L, 7, 5.0f);
  EXPECT_EQ(Ids(), std::vector<int>{7});
  EXPECT_EQ(L.Pos[1], 5.0f);
  EXPECT_EQ(L.Offset[1], 5.0f);
  EXPECT_EQ(L.Low[1], -30.0f);
  EXPECT_EQ(L.High[1], 30.0f);
}

TEST_F(InsertIntoLineTest, PlacesByPositionAndPushesNeighboursApart) {
  L.Flag[2] = kTrue32;
  InsertIntoLine(L, 7, 5.0f);
  InsertIntoLine(L, 8, 10.0f);  // beyond the last: appended
  EXPECT_EQ(Ids(), (std::vector<int>{7, 8}));
  EXPECT_EQ(L.Low[2], 10.0f - 35.0f - 3.0f);  // flagged: widened by the gap beyond spacing
  EXPECT_EQ(L.High[1], 5.0f + 20.0f);
  InsertIntoLine(L, 9, 6.0f);  // 1 m from 7: 7 is pushed 1 m away
  EXPECT_EQ(Ids(), (std::vector<int>{7, 9, 8}));
  EXPECT_EQ(Pos(), (std::vector<f32>{4.0f, 6.0f, 10.0f}));
  // Re-inserting moves him; he is never on the line twice.
  InsertIntoLine(L, 7, 12.0f);
  EXPECT_EQ(Ids(), (std::vector<int>{9, 8, 7}));
  EXPECT_EQ(Pos(), (std::vector<f32>{6.0f, 10.0f, 12.0f}));
  InsertIntoLine(L, 10, 100.0f);  // limited to the range
  EXPECT_EQ(L.Pos[4], 30.0f);
}

TEST_F(InsertIntoLineTest, APushPastTheRangeIsTakenUpOnTheOtherSide) {
  InsertIntoLine(L, 1, -29.5f);
  InsertIntoLine(L, 2, -29.0f);
  EXPECT_EQ(Ids(), (std::vector<int>{1, 2}));
  EXPECT_EQ(Pos(), (std::vector<f32>{-30.0f, -28.0f}));
}

TEST_F(InsertIntoLineTest, AFullLineTakesNoNewPlayer) {
  for (int k = 1; k <= 15; ++k) InsertIntoLine(L, static_cast<i16>(k), static_cast<f32>(4 * k - 30));
  ASSERT_EQ(L.Count, 15);
  const TLineList before = L;
  InsertIntoLine(L, 16, 0.0f);
  EXPECT_EQ(L.Count, 15);
  EXPECT_EQ(Ids(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
  EXPECT_EQ(L.Pos[8], before.Pos[8]);
  InsertIntoLine(L, 1, 30.0f);  // one already on it still moves
  EXPECT_EQ(L.Count, 15);
  EXPECT_EQ(L.Ids[15], 1);
  EXPECT_EQ(L.Pos[14], 28.0f);  // 15 pushed a spacing away
}

}  // namespace

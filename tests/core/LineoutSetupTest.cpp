#include "core/LineoutSetup.h"

#include <gtest/gtest.h>

#include "SmallWorld.h"
#include "core/DrawCount.h"

namespace {

class LineoutSetupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeSmallWorld(W);
    W.LineoutZ = 10.0f;
    W.LineoutOnNegativeX = kTrue32;
    for (int b = 1; b <= 2; ++b) {
      for (int p = 1; p <= 15; ++p) {
        TPlayer& P = W.Teams[b].Players[p];
        P.Height = 1.85f;
        P.lineoutjumping = 500;
        P.CleanCatchProb = 900;
        P.LineOutTimer = 3.0f;
        P.LineoutRole = 2.0f;
      }
    }
  }
  // A seed with which the throwing side draws formation `f`.
  static u32 SeedForFormation(int f) {
    for (u32 seed = 1;; ++seed) {
      RandSeed = seed;
      if (RandomRange(1, 6) == f) return seed;
    }
  }
  static TWorld W;
};
TWorld LineoutSetupTest::W;

TEST_F(LineoutSetupTest, SlotsLieOneMetreApartFromTheFrontOfTheLine) {
  RandSeed = 1;
  SetupLineout(W);
  const TTeamBlock& A = W.Teams[1];
  const TTeamBlock& D = W.Teams[2];
  for (int k = 1; k <= 15; ++k) {
    EXPECT_FLOAT_EQ(A.LineoutSlotPos[k].x, -29.75f + (k - 1)) << k;
    EXPECT_FLOAT_EQ(A.LineoutSlotPos[k].z, 10.0f - 0.7f) << k;
    EXPECT_FLOAT_EQ(D.LineoutSlotPos[k].x, -29.75f + (k - 1)) << k;
    EXPECT_FLOAT_EQ(D.LineoutSlotPos[k].z, 10.0f + 0.7f) << k;
    EXPECT_FLOAT_EQ(A.LineoutSlotOffsets[k].x, static_cast<f32>(k - 1));
  }
  EXPECT_FLOAT_EQ(A.LineoutSlotPos[15].x, -15.75f);
  EXPECT_FLOAT_EQ(W.LineoutRefX, -25.75f);
  EXPECT_FLOAT_EQ(A.LineoutFrontX, -29.75f);
  EXPECT_FLOAT_EQ(A.LineoutLineOffsetZ, -0.7f);
  EXPECT_FLOAT_EQ(D.LineoutLineOffsetZ, 0.7f);
  W.LineoutOnNegativeX = kFalse32;
  SetupLineout(W);
  EXPECT_FLOAT_EQ(A.LineoutSlotPos[1].x, 29.75f);
  EXPECT_FLOAT_EQ(A.LineoutSlotPos[15].x, 15.75f);
}

TEST_F(LineoutSetupTest, SidesAndResets) {
  W.LineoutResolved = kTrue32;
  W.LineoutCountdown = 2.0f;
  RandSeed = 5;
  SetupLineout(W);
  EXPECT_EQ(W.LineoutResolved, 0);
  EXPECT_EQ(W.LineoutCountdown, 0);
  for (int b = 1; b <= 2; ++b) {
    const TTeamBlock& T = W.Teams[b];
    EXPECT_EQ(T.LineoutThrower, 2);
    EXPECT_EQ(T.SetPieceHolder, 9);
    EXPECT_EQ(T.DeepPlayerNumber, 15);
    EXPECT_EQ(T.LineoutCount, 7);
    EXPECT_EQ(T.Players[4].LineOutTimer, 0);
    EXPECT_EQ(T.Players[4].LineoutRole, 0);
    int placed = 0;
    for (int k = 1; k <= 15; ++k) {
      placed += T.LineoutSlots[k] != 0;
      EXPECT_EQ(T.LineoutSlots[k] == 0, T.LineoutSlotRoles[k] == 0) << k;
    }
    EXPECT_EQ(placed, 7);
    // The target jumper stands in the target slot.
    EXPECT_EQ(T.LineoutSlots[W.LineoutTargetSlot[b]], W.LineoutTargetJumper[b]);
  }
  EXPECT_EQ(W.Teams[1].BallCarrier, 2);
  EXPECT_EQ(W.Teams[2].BallCarrier, 0);
}

TEST_F(LineoutSetupTest, ReceiverDepthShortensNearTheGoalLines) {
  const struct {
    f32 z, own, other;
  } cases[] = {{0, 10, 10}, {-45, 5, 10}, {-40, 10, 10}, {45, 10, 5}, {42, 10, 8}};
  for (const auto& c : cases) {
    W.LineoutZ = c.z;
    SetupLineout(W);
    EXPECT_FLOAT_EQ(W.Teams[1].LineoutReceiverDepth, c.own) << c.z;
    EXPECT_FLOAT_EQ(W.Teams[2].LineoutReceiverDepth, c.other) << c.z;
  }
}

TEST_F(LineoutSetupTest, FormationsAndDraws) {
  const struct {
    int formation, jumper, slot, draws;
  } cases[] = {{2, 4, 2, 2}, {3, 5, 5, 2}, {4, 4, 4, 2}, {5, 5, 6, 2}, {1, 8, 7, 5}};
  for (const auto& c : cases) {
    const u32 seed = SeedForFormation(c.formation);
    W.Teams[1].Players[8].Height = 2.3f;  // 8 stays the best back-row jumper
    RandSeed = seed;
    SetupLineout(W);
    EXPECT_EQ(DrawsSince(seed), c.draws) << c.formation;
    EXPECT_EQ(W.LineoutTargetJumper[1], c.jumper) << c.formation;
    EXPECT_EQ(W.LineoutTargetSlot[1], c.slot) << c.formation;
  }
  // Formation 3: 6 and 1 lift 4, 7 lifts 8.
  RandSeed = SeedForFormation(3);
  SetupLineout(W);
  const TTeamBlock& A = W.Teams[1];
  EXPECT_EQ(A.Players[6].LiftTarget, 4);
  EXPECT_EQ(A.Players[1].LiftTarget, 4);
  EXPECT_EQ(A.Players[7].LiftTarget, 8);
  EXPECT_EQ(A.LineoutSlots[8], 7);
  EXPECT_EQ(A.LineoutSlotRoles[8], 1);
  EXPECT_EQ(A.LineoutSlots[4], 0);
}

TEST_F(LineoutSetupTest, TheBestBackRowJumperTakesTheTargetsPlace) {
  TTeamBlock& A = W.Teams[1];
  A.Players[7].Height = 2.3f;  // 7 outscores 6 and 8 whatever the 10 % noise
  RandSeed = SeedForFormation(1);
  SetupLineout(W);
  EXPECT_EQ(W.LineoutTargetJumper[1], 7);
  EXPECT_EQ(W.LineoutTargetSlot[1], 7);
  EXPECT_EQ(A.LineoutSlots[7], 7);
  EXPECT_EQ(A.LineoutSlots[3], 8);
  EXPECT_EQ(A.Players[6].LiftTarget, 7);  // 6 lifted 8, the old target
  EXPECT_EQ(A.Players[3].LiftTarget, 4);
  // The lifting duties go with the slots: 8 lifts 4 from slot 3, as 7 did
  // there, and the new jumper lifts nobody.
  EXPECT_EQ(A.Players[8].LiftTarget, 4);
  EXPECT_EQ(A.Players[7].LiftTarget, 0);
}

TEST_F(LineoutSetupTest, OtherSidesFormations) {
  for (u32 seed = 1; seed <= 12; ++seed) {
    RandSeed = seed;
    SetupLineout(W);
    const TTeamBlock& D = W.Teams[2];
    const bool second = W.LineoutTargetJumper[2] == 5;
    EXPECT_EQ(W.LineoutTargetSlot[2], second ? 4 : 2);
    EXPECT_EQ(D.Players[7].LiftTarget, second ? 5 : 4);
    EXPECT_EQ(D.Players[8].LiftTarget, 6);
    EXPECT_EQ(D.LineoutSlots[5], 0);
    EXPECT_EQ(D.LineoutSlots[4], 5);
  }
}

}  // namespace

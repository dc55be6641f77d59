#include "setup/InitialisationUnit.h"

#include <gtest/gtest.h>

#include "ExampleMatch.h"
#include "core/AuxState.h"
#include "core/Random.h"
#include "core/TypeDefs.h"
#include "platform/Form.h"

namespace {

class InitialiseMatchTest : public ExampleMatchTest {};

TEST_F(InitialiseMatchTest, KickOffStateAndLineUp) {
  const TWorld& W = World;
  EXPECT_EQ(W.gamestate, gsKickRestartSet);
  EXPECT_EQ(W.KickRestartSetPhase, 1);
  EXPECT_EQ(W.MatchPhase, 1);
  EXPECT_EQ(W.clock, 0.0f);
  EXPECT_EQ(W.Teams[1].BallCarrier, 10);
  EXPECT_EQ(W.Teams[1].KickerIndex, 10);
  ASSERT_EQ(W.PlayersPerTeam, 15);
  for (int p = 1; p <= 15; ++p) {
    const float x = -7.5f + 1.25f * static_cast<float>(p - 1);
    const TPlayer& a = W.Teams[1].Players[p];
    const TPlayer& b = W.Teams[2].Players[p];
    EXPECT_FLOAT_EQ(a.Pos.x, x);
    EXPECT_FLOAT_EQ(a.Pos.z, -5.0f);
    EXPECT_FLOAT_EQ(b.Pos.x, x);
    EXPECT_FLOAT_EQ(b.Pos.z, 5.0f);
    EXPECT_FLOAT_EQ(a.DesiredPos.z, -5.0f);
    EXPECT_FLOAT_EQ(a.Heading, 90.0f);
    EXPECT_FLOAT_EQ(b.Heading, 270.0f);
    EXPECT_FLOAT_EQ(a.ActionSeq.EventArray[1].Angle, 90.0f);
    EXPECT_FLOAT_EQ(b.ActionSeq.EventArray[1].Angle, 270.0f);
    EXPECT_EQ(a.AnimSeq.Entries[10].Name.Str(), "run");
    EXPECT_FLOAT_EQ(a.AnimSeq.Entries[10].Rate, 20.0f);
  }
}

// The constants that motion, ball and defence read, under the names they
// read them by.
TEST_F(InitialiseMatchTest, MotionAndBallConstantsUnderTheirNames) {
  const TWorld& W = World;
  EXPECT_FLOAT_EQ(W.CatchSearchStep, 0.01f);
  EXPECT_FLOAT_EQ(W.CatchReach, 0.65f);
  EXPECT_FLOAT_EQ(W.RuckDepthUnit, 0.5f);
  EXPECT_FLOAT_EQ(W.RuckBindDepth, 0.4f);
  EXPECT_FLOAT_EQ(W.RunLineTouchZ, 50.0f);
  EXPECT_FLOAT_EQ(AuxState.TurnRate, 400.0f);
  const u16 order[10] = {14, 11, 10, 12, 13, 9, 8, 0, 0, 0};
  for (int b = 1; b <= 2; ++b) {
    for (int k = 1; k <= 10; ++k) EXPECT_EQ(W.Teams[b].BackfieldOrder[k], order[k - 1]) << b << " " << k;
  }
}

TEST_F(InitialiseMatchTest, KickingRangesOfPlayersOneTo22FromTheirKickSpeeds) {
  for (int b = 1; b <= 2; ++b) {
    for (int p = 1; p <= 22; ++p) {
      const TPlayer& P = World.Teams[b].Players[p];
      // A kick of 19 m/s or more at 42 degrees carries well past 20 m.
      EXPECT_GT(P.MaxKickRange, 20.0f) << b << " " << p;
      EXPECT_LT(P.MaxKickRange, 100.0f) << b << " " << p;
      EXPECT_GT(P.GoalKickRange, 20.0f) << b << " " << p;
    }
  }
  // The estimate draws nothing and depends only on the speeds.
  const float range = World.Teams[1].Players[1].MaxKickRange;
  const float goalRange = World.Teams[2].Players[22].GoalKickRange;
  const u32 seed = RandSeed;
  World.Teams[1].Players[1].MaxKickRange = 0;
  SampleStartValues();
  EXPECT_EQ(RandSeed, seed);
  EXPECT_EQ(World.Teams[1].Players[1].MaxKickRange, range);
  EXPECT_EQ(World.Teams[2].Players[22].GoalKickRange, goalRange);
}

TEST_F(InitialiseMatchTest, KickThatNeverLandsKeepsTwentyMetres) {
  // So fast that the ball is still up after the whole flight table.
  World.Teams[1].Players[3].MaxKickSpeed = 1000.0f;
  World.Teams[2].Players[4].MaxGoalKickSpeed = 1000.0f;
  World.Teams[2].Players[23].MaxKickRange = 7.0f;
  SampleStartValues();
  EXPECT_EQ(World.Teams[1].Players[3].MaxKickRange, 20.0f);
  EXPECT_EQ(World.Teams[2].Players[4].GoalKickRange, 20.0f);
  // Players 23 to 25 keep what they had.
  EXPECT_EQ(World.Teams[2].Players[23].MaxKickRange, 7.0f);
}

TEST_F(InitialiseMatchTest, ResetMatchStateSetsTheKickOffValues) {
  World.Teams[1].Players[4].passtimer = 3.0f;
  World.Teams[2].Players[6].FootprintHolder[2] = 9;
  World.Teams[1].BallCarrier = 10;
  ResetMatchState();
  const TWorld& W = World;
  const u16 order[10] = {14, 11, 10, 12, 13, 9, 8, 0, 0, 0};
  for (int b = 1; b <= 2; ++b) {
    for (int k = 1; k <= 10; ++k) EXPECT_EQ(W.Teams[b].BackfieldOrder[k], order[k - 1]);
    EXPECT_EQ(W.Teams[b].RestartType, 2);
    EXPECT_EQ(W.Teams[b].RestartOption, 1);
  }
  EXPECT_EQ(W.Teams[1].CarryMaxZ, -100000.0f);
  EXPECT_FLOAT_EQ(W.Teams[1].Players[1].FacingAngle, 3.14159265f);
  EXPECT_FLOAT_EQ(W.Teams[2].Players[1].FacingAngle, 6.28318531f);
  EXPECT_EQ(W.Teams[1].Players[4].passtimer, 0.0f);
  EXPECT_EQ(W.Teams[2].Players[6].FootprintHolder[2], 0);
  EXPECT_EQ(W.Teams[1].Players[10].desiredspeed, W.Teams[1].Players[10].maxspeed);
  EXPECT_EQ(W.CarriedBallPlacementOn, 0);
  EXPECT_NE(W.RecordingOn, 0);
}

TEST_F(InitialiseMatchTest, ResetMatchStateDrawsPlayerByPlayerBlockOneFirst) {
  static TWorld before;
  before = World;
  RandSeed = 99;
  ResetMatchState();
  RandSeed = 99;
  auto next = [](const TDistribution& d) { return DrawClamped(d); };
  for (int p = 1; p <= 2; ++p) {
    for (int b = 1; b <= 2; ++b) {
      const TPlayer& was = before.Teams[b].Players[p];
      const TPlayer& now = World.Teams[b].Players[p];
      EXPECT_EQ(now.StrengthScale.value, next(was.StrengthScale)) << b << " " << p;
      EXPECT_EQ(now.ActionTime3.value, next(was.ActionTime3)) << b << " " << p;
    }
  }
}

}  // namespace

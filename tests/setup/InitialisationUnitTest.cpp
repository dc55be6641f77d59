#include "setup/InitialisationUnit.h"

#include <gtest/gtest.h>

#include "RunFolder.h"
#include "app/MainUnit.h"
#include "core/Random.h"
#include "core/TypeDefs.h"
#include "platform/Form.h"
#include "platform/Platform.h"

namespace {

class InitialiseMatchTest : public ::testing::Test {
 protected:
  RunFolder run;

  void SetUp() override {
    ExeDir = run.Dir();
    OutputDir = ExeDir + "output/";
    ForceDirectories(OutputDir);
    Form1.Reset();
    RandSeed = 4242;
    InitialiseMatch();
  }
};

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
  // Equal speeds give equal ranges: the estimate draws nothing.
  const TPlayer& a = World.Teams[1].Players[1];
  static TWorld saved;
  saved = World;
  SampleStartValues();
  EXPECT_EQ(World.Teams[1].Players[1].MaxKickRange, a.MaxKickRange);
  EXPECT_EQ(World.Teams[2].Players[22].GoalKickRange, saved.Teams[2].Players[22].GoalKickRange);
}

TEST_F(InitialiseMatchTest, KickThatNeverLandsKeepsTwentyMetres) {
  World.Teams[1].Players[3].MaxKickSpeed = 0.0f;
  World.Teams[2].Players[23].MaxKickRange = 7.0f;
  SampleStartValues();
  EXPECT_GT(World.Teams[1].Players[3].MaxKickRange, -1.0f);
  EXPECT_LE(World.Teams[1].Players[3].MaxKickRange, 20.0f);
  // Players 23 to 25 keep what they had.
  EXPECT_EQ(World.Teams[2].Players[23].MaxKickRange, 7.0f);
}

}  // namespace

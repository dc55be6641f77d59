#include "setup/ReadPlayerOverrides.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "RunFolder.h"
#include "core/EngineError.h"
#include "core/RunContext.h"
#include "core/TypeDefs.h"
#include "core/WorldDefaults.h"
#include "platform/Form.h"
#include "platform/Platform.h"

namespace {

class ReadPlayerOverridesTest : public ::testing::Test {
 protected:
  RunFolder run{false};

  void SetUp() override {
    ExeDir = run.Dir();
    OutputDir = ExeDir + "output/";
    ForceDirectories(OutputDir);
    FileSuffix = "_77";
    InitialiseWorld(World);
    World.Teams[1].teamid = 100;
    World.Teams[2].teamid = 200;
    Form1.Reset();
  }
  void TearDown() override { FileSuffix.clear(); }

  void WriteOverrides(const std::string& text) const {
    run.Write("csvinput/internetinit/playersOverride.csv", text);
  }
  static TPlayer& Player(int block, int p) { return World.Teams[block].Players[p]; }
  static size_t LogIndex(const std::string& line) {
    const auto& lines = Form1.Memo2.Lines;
    return static_cast<size_t>(std::find(lines.begin(), lines.end(), line) - lines.begin());
  }
};

TEST_F(ReadPlayerOverridesTest, NoFileChangesNothing) {
  const TPlayer before = Player(1, 3);
  ReadPlayerOverrides();
  EXPECT_FALSE(run.Exists("output/playerInput_77.csv"));
  EXPECT_EQ(Form1.Memo2.Count(), 1u);  // just "Memo2"
  EXPECT_EQ(Player(1, 3).CleanCatchProb, before.CleanCatchProb);
}

TEST_F(ReadPlayerOverridesTest, TraceCopiesEveryRowAndRowsApplyToTheirBlock) {
  const std::string text =
      "playernum,teamid,height,cleancatchprob,speedlossslope,speed,unknown\r\n"
      "3,100,185,0.8125,-0.02,9,x\r\n"
      "4,200,170,0.5,0.3,-1,y\r\n"
      "0,100,150,0.9,0,8,z\r\n"
      "26,100,150,0.9,0,8,z\r\n"
      "5,999,150,0.9,0,8,z\r\n";
  WriteOverrides(text);
  const TPlayer untouched = Player(1, 5);
  ReadPlayerOverrides();
  EXPECT_EQ(run.Read("output/playerInput_77.csv"), text);

  EXPECT_FLOAT_EQ(Player(1, 3).Height, 1.85f);
  EXPECT_EQ(Player(1, 3).CleanCatchProb, 812);  // 812.5 rounds to even
  EXPECT_FLOAT_EQ(Player(1, 3).SpeedLossSlope, -2.0f);
  EXPECT_FLOAT_EQ(Player(1, 3).maxspeed, 9.0f);
  EXPECT_FLOAT_EQ(Player(1, 3).JogSpeed, 6.75f);
  // Always written for an applied row, from the defaults of absent columns.
  EXPECT_FLOAT_EQ(Player(1, 3).turnoverLossFactor, 100.0f);
  EXPECT_EQ(Player(1, 3).maxGenPlaySims, 10);
  EXPECT_EQ(Player(1, 3).simsPerGenPlayAction, 1);

  EXPECT_EQ(Player(2, 4).CleanCatchProb, 500);
  EXPECT_FLOAT_EQ(Player(2, 4).Height, 1.7f);
  // A positive slope is ignored; a speed of -1 is not applied.
  EXPECT_FLOAT_EQ(Player(2, 4).SpeedLossSlope, World.Teams[2].Players[5].SpeedLossSlope);
  // Playernum 0, above 25 or an unknown team change no one.
  EXPECT_EQ(Player(1, 5).CleanCatchProb, untouched.CleanCatchProb);
  EXPECT_EQ(Player(2, 5).CleanCatchProb, untouched.CleanCatchProb);

  EXPECT_LT(LogIndex("Height 1.85000002384186"), Form1.Memo2.Count());
  EXPECT_LT(LogIndex("CleanCatchProb 812"), Form1.Memo2.Count());
}

TEST_F(ReadPlayerOverridesTest, ReactionAndPassReleaseFamilies) {
  WriteOverrides(
      "playernum,teamid,reactiontime,reactiontimeSD,passreleasetime,passreleasetimeSD,"
      "passaccuracySDdir,passaccuracySDlaunch,kickaccuracySDdir\r\n"
      "2,100,0.2,0.1,0.3,0.05,0,0,0.4\r\n");
  const TPlayer before = Player(1, 2);
  ReadPlayerOverrides();
  const TPlayer& P = Player(1, 2);
  for (const TDistribution* d : {&P.RunningAngleReactionTime, &P.DefensiveRunningAngleReactionTime}) {
    EXPECT_FLOAT_EQ(d->mean, 0.2f);
    EXPECT_FLOAT_EQ(d->sd, 0.1f);
    EXPECT_FLOAT_EQ(d->min, 0.001f);
    EXPECT_FLOAT_EQ(d->max, 0.5f);
  }
  for (const TDistribution* d : {&P.LongPassLeftReleaseTime, &P.LongPassRightReleaseTime,
                                 &P.DummyhalfPassLeftReleaseTime, &P.StandingStillPassRightReleaseTime}) {
    EXPECT_FLOAT_EQ(d->mean, 0.3f);
    EXPECT_FLOAT_EQ(d->min, 0.15f);
    EXPECT_FLOAT_EQ(d->max, 0.45f);
    EXPECT_NE(d->useMin, 0);
  }
  EXPECT_FLOAT_EQ(P.MediumPassLeftReleaseTime.mean, 0.25f);
  EXPECT_FLOAT_EQ(P.ShortPassRightReleaseTime.mean, 0.2f);
  EXPECT_FLOAT_EQ(P.PopPassLeftReleaseTime.mean, 0.2f);  // raised from 0.15
  EXPECT_FLOAT_EQ(P.PopPassLeftReleaseTime.min, 0.15f);
  EXPECT_FLOAT_EQ(P.DrawAndPassStartTime.mean, 0.45f);
  EXPECT_FLOAT_EQ(P.passAccuracySDDir, 0.0f);
  EXPECT_FLOAT_EQ(P.passImagAccuracyFactor, 0.5f);
  // Only one of the two kick accuracy columns: neither is applied.
  EXPECT_FLOAT_EQ(P.kickAccuracySDDir, before.kickAccuracySDDir);
}

TEST_F(ReadPlayerOverridesTest, ZeroSpreadLeavesReactionBoundsAndAbsentSpreadLeavesPasses) {
  WriteOverrides("playernum,teamid,reactiontime,reactiontimeSD,passreleasetime\r\n"
                 "2,100,0.2,0,0.3\r\n");
  const TPlayer before = Player(1, 2);
  ReadPlayerOverrides();
  const TPlayer& P = Player(1, 2);
  EXPECT_FLOAT_EQ(P.RunningAngleReactionTime.mean, 0.2f);
  EXPECT_FLOAT_EQ(P.RunningAngleReactionTime.sd, before.RunningAngleReactionTime.sd);
  EXPECT_FLOAT_EQ(P.RunningAngleReactionTime.min, before.RunningAngleReactionTime.min);
  EXPECT_FLOAT_EQ(P.LongPassLeftReleaseTime.mean, before.LongPassLeftReleaseTime.mean);
}

TEST_F(ReadPlayerOverridesTest, RunLogBlockListsPlayers1To22OfBothSides) {
  WriteOverrides("playernum,teamid\r\n1,100\r\n");
  ReadPlayerOverrides();
  const auto& lines = Form1.Memo2.Lines;
  ASSERT_EQ(lines.size(), 1u + 2 * 22 * 90);
  EXPECT_EQ(lines[1], "//player start");
  EXPECT_EQ(lines[2], "teamid 100");
  EXPECT_EQ(lines[4].rfind("Height ", 0), 0u);
  EXPECT_EQ(lines[25].rfind("LongPassLeftReleaseTime.mean ", 0), 0u);
  EXPECT_EQ(lines[76].rfind("DrawAndPassStartTime.max ", 0), 0u);
  EXPECT_EQ(lines[90], "//player ends");
  EXPECT_EQ(lines[1 + 22 * 90 + 1], "teamid 200");
  EXPECT_EQ(lines.back(), "//player ends");
  EXPECT_EQ(lines[89], "simsPerGenPlayAction 1");
}

TEST_F(ReadPlayerOverridesTest, BadCellStopsWithItsPlaceAfterEarlierRowsApplied) {
  WriteOverrides("playernum,teamid,cleancatchprob\r\n1,100,0.6\r\n2,100,abc\r\n");
  try {
    ReadPlayerOverrides();
    FAIL() << "expected a conversion error";
  } catch (const EEngineError& e) {
    const std::string what = e.what();
    EXPECT_NE(what.find("'abc' is not a valid floating point value"), std::string::npos) << what;
    EXPECT_NE(what.find("playersOverride.csv"), std::string::npos) << what;
    EXPECT_NE(what.find("cleancatchprob"), std::string::npos) << what;
    EXPECT_NE(what.find("line 3"), std::string::npos) << what;
  }
  EXPECT_EQ(Player(1, 1).CleanCatchProb, 600);
  EXPECT_EQ(run.Read("output/playerInput_77.csv"),
            "playernum,teamid,cleancatchprob\r\n1,100,0.6\r\n2,100,abc\r\n");
}

TEST_F(ReadPlayerOverridesTest, RealTooLargeForItsFieldIsRefused) {
  WriteOverrides("playernum,teamid,height\r\n1,100,1e39\r\n");
  try {
    ReadPlayerOverrides();
    FAIL() << "expected a range error";
  } catch (const EEngineError& e) {
    EXPECT_NE(std::string(e.what()).find("'1e39' is out of range"), std::string::npos) << e.what();
  }
}

}  // namespace

#include "setup/ReadInputFiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "RunFolder.h"
#include "app/MainUnit.h"
#include "core/MatchStats.h"
#include "core/MatchStore.h"
#include "core/Random.h"
#include "core/StrategyShapes.h"
#include "core/WorldDefaults.h"
#include "platform/Platform.h"

namespace {

class ReadInputFilesTest : public ::testing::Test {
 protected:
  RunFolder run;

  void SetUp() override {
    ExeDir = run.Dir();
    OutputDir = ExeDir + "output/";
    ForceDirectories(OutputDir);  // the override reader writes its trace there
    InitialiseWorld(World);
    BuildDefaultFieldZones();
    RandSeed = 99;
    ViewerLinkMode = kFalse32;
  }
  void TearDown() override { ViewerLinkMode = kFalse32; }
};

TEST_F(ReadInputFilesTest, ExampleInputFillsTheMatchAndItsStatisticsCopies) {
  MatchStats.List[7].Value = 3.0f;
  MatchStats.List[7].Count = 4;
  MatchStats.List[7].Text.Assign("stale");
  ReadInputFiles();

  const TMatchInfo& m = MatchStore.MatchInfo;
  EXPECT_EQ(FileSuffix, "_example01");
  // The example names the visitors as the kicking-off side.
  EXPECT_EQ(m.Team[1].teamid, 4102);
  EXPECT_EQ(m.Team[1].teamname, "Quarryhawks");
  EXPECT_EQ(m.Team[2].teamname, "Emberfoxes");
  EXPECT_EQ(m.Team[2].homeaway, kTrue32);
  EXPECT_EQ(m.Team[2].captainid, 410108);
  EXPECT_EQ(m.Team[1].team_logo_file, "quarryhawks_logo.png");
  EXPECT_EQ(m.matchtype, 1);
  EXPECT_EQ(m.crowd, 18250);
  EXPECT_EQ(m.stadiumid, "ST042");
  EXPECT_EQ(m.MatchFlags, "zzozz");
  EXPECT_EQ(World.halflength, 2400.0f);
  EXPECT_EQ(World.injurieson, kTrue32);
  EXPECT_EQ(AILevel, 900);
  EXPECT_EQ(World.Teams[1].teamid, 4102);
  EXPECT_EQ(World.Teams[2].teamid, 4101);

  for (const TStatsListEntry& e : MatchStats.List) {
    EXPECT_EQ(e.Text.len, 0);
    EXPECT_EQ(e.Value, -1.0f);
    EXPECT_EQ(e.Count, 0);
  }
  EXPECT_EQ(std::memcmp(&MatchStats.MatchInfo, &m, sizeof m), 0);
  for (int t = 1; t <= 2; ++t) {
    EXPECT_EQ(std::memcmp(&MatchStats.FieldStrategy[t], &FieldStrategy[t], sizeof(TFieldStrategy)), 0);
  }
  EXPECT_EQ(FieldStrategy[1].Normal.ZoneCount, 8);
}

TEST_F(ReadInputFilesTest, ViewerLinkModeSkipsTheCopies) {
  MatchStats.MatchInfo = TMatchInfo{};
  MatchStats.FieldStrategy[1] = TFieldStrategy{};
  ViewerLinkMode = kTrue32;
  ReadInputFiles();
  EXPECT_EQ(MatchStats.MatchInfo.Team[1].teamid, 0);
  EXPECT_EQ(MatchStats.FieldStrategy[1].Normal.ZoneCount, 0);
  EXPECT_EQ(MatchStats.List[1].Value, -1.0f);
}

TEST(ReadInputFilesStartUpTest, BadPlayersFileStopsTheStartUpWithStatus2AndBothMarkers) {
  RunFolder run;
  const std::string players = run.Read("csvinput/internetinit/players.csv");
  // Letters in the crowd of the first data row.
  const size_t at = players.find(",18250,");
  ASSERT_NE(at, std::string::npos);
  run.Write("csvinput/internetinit/players.csv",
            players.substr(0, at) + ",lots," + players.substr(at + 7));
  testing::internal::CaptureStderr();
  EXPECT_EQ(RunProgram(), 2);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find(run.InputDir() + "players.csv, line 2, column \"crowd\": "
                                      "'lots' is not a valid integer value"),
            std::string::npos)
      << err;
  // "fileID.txt" was read before the failure, so the markers carry its suffix.
  const std::string marker = "this file contains nothing but this text!\r\n";
  EXPECT_EQ(run.Read("output/ThisSimFinished_example01.txt"), marker);
  EXPECT_EQ(run.Read("output/ThisSimHasErrors_example01.txt"), marker + "game time 0\r\n");
  EXPECT_FALSE(run.Exists("output/ThisSimHasNoErrors_example01.txt"));
}

}  // namespace

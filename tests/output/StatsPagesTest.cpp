// The statistics pages as the finish writes them, on the example input.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "RunFolder.h"
#include "app/FrameSteps.h"
#include "app/MainUnit.h"
#include "core/MatchStore.h"
#include "core/RunContext.h"
#include "output/MatchSummary.h"
#include "output/CsvFields.h"
#include "output/PlayerStatsFile.h"
#include "output/TeamStatsFile.h"

namespace {

class StatsPagesTest : public ::testing::Test {
 protected:
  RunFolder run;
  void SetUp() override {
    ResetFrameSteps();
    run.Write("csvinput/internetinit/dummyOutputOnly.txt", "");
  }
};

TEST_F(StatsPagesTest, DummyRunWritesOneRowPerListedPlayerOfBothSquads) {
  ASSERT_EQ(RunProgram(), 0);
  const std::vector<std::string> lines = run.Lines("output/playerInternet" + FileSuffix + ".csv");
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], kPlayerStatsHeader);
  std::vector<std::string> expected;
  for (int t = 1; t <= 2; ++t)
    for (int k = 1; k <= 25; ++k) {
      const TSquadPlayer& sq = MatchStore.MatchInfo.Team[t].Squad[k];
      if (sq.playerid == 0) continue;
      expected.push_back(std::to_string(sq.playerid) + "," + std::to_string(MatchStore.MatchInfo.Team[t].teamid) +
                         ",");
      EXPECT_EQ(MatchSummary.Players[t][k].startinglineupindex, k);
    }
  ASSERT_GE(expected.size(), 30u);
  ASSERT_EQ(lines.size(), expected.size() + 1);
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(lines[i + 1].rfind(expected[i], 0), 0u) << lines[i + 1];
  for (int t = 1; t <= 2; ++t) {
    EXPECT_GT(MatchSummary.TeamRating[t], 0);
    EXPECT_LE(MatchSummary.TeamRating[t], 100);
  }
  EXPECT_GE(MatchSummary.MatchYear, 2024);
  // Every line ends in CR LF, the last one too.
  const std::string bytes = run.Read("output/playerInternet" + FileSuffix + ".csv");
  EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
}

TEST_F(StatsPagesTest, DummyRunWritesTheTeamFileWithOneRowPerTeam) {
  ASSERT_EQ(RunProgram(), 0);
  const std::string name = "output/teamInternet" + FileSuffix + ".csv";
  const std::vector<std::string> lines = run.Lines(name);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], kTeamStatsHeader);
  for (int t = 1; t <= 2; ++t) {
    const TTeamInfo& team = MatchStore.MatchInfo.Team[t];
    const std::vector<std::string> row = Split(lines[static_cast<size_t>(t)]);
    ASSERT_EQ(row.size(), 65u);
    EXPECT_EQ(row[0], std::to_string(team.teamid));
    EXPECT_EQ(row[64], std::to_string(team.coachid));
    EXPECT_EQ(row[1], std::to_string(MatchSummary.TeamFigures[t].score));
  }
  const std::string bytes = run.Read(name);
  EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
  // The final pick names one of the two teams.
  const i32 motm = MatchStore.MatchInfo.MotmTeamId;
  EXPECT_TRUE(motm == MatchStore.MatchInfo.Team[1].teamid || motm == MatchStore.MatchInfo.Team[2].teamid);
}

TEST_F(StatsPagesTest, ATeamFileThatCannotBeCreatedFailsTheFinish) {
  std::filesystem::create_directories(run.Output("teamInternet_example01.csv"));
  EXPECT_EQ(RunProgram(), 2);
  EXPECT_TRUE(run.Exists("output/ThisSimHasErrors_example01.txt"));
  EXPECT_TRUE(run.Exists("output/playerInternet_example01.csv"));
}

TEST_F(StatsPagesTest, APlayerFileThatCannotBeCreatedFailsTheFinish) {
  std::filesystem::create_directories(run.Output("playerInternet_example01.csv"));
  EXPECT_EQ(RunProgram(), 2);
  EXPECT_TRUE(run.Exists("output/ThisSimHasErrors_example01.txt"));
  EXPECT_FALSE(run.Exists("output/ThisSimHasNoErrors_example01.txt"));
  EXPECT_FALSE(run.Exists("output/teamInternet_example01.csv"));
}

}  // namespace

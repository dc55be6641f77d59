#include "core/PlayerStateDump.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "core/MatchStore.h"
#include "platform/Form.h"

namespace {

std::vector<std::string> Split(const std::string& line) {
  std::vector<std::string> out;
  std::stringstream ss(line);
  for (std::string cell; std::getline(ss, cell, ',');) out.push_back(cell);
  return out;
}

class PlayerStateDumpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::memset(&World, 0, sizeof World);
    World.PlayersPerTeam = 15;
    World.gamestate = gsRunning;
    // Match team 2 has the ball: it sits in block 1.
    MatchStore.MatchInfo.Team[1].teamid = 11;
    MatchStore.MatchInfo.Team[2].teamid = 22;
    World.Teams[1].teamid = 22;
    World.Teams[2].teamid = 11;
    for (int b = 1; b <= 2; ++b)
      for (int p = 1; p <= 25; ++p) World.Teams[b].Players[p].id = b * 100 + p;
    Form1.Reset();
  }
};

TEST_F(PlayerStateDumpTest, DriverCallWritesHeaderAndPlayerFiveOfTheSideInPossession) {
  TPlayer& P = World.Teams[1].Players[5];
  P.passtimer = 2.5f;
  P.ActionSeq.seqON = kTrue32;
  P.ActionSeq.CurrEventIndex = 1;
  P.currentAnim.Assign("breathing");
  P.currentframe = 10;
  P.maxframes = 40;
  P.ActionSeq.EventArray[1].Complete = kTrue32;
  P.DesiredPos.x = -1.25f;
  DumpPlayerStateCsv(World, true, 5, true, false);
  const auto& lines = Form1.Memo2.Lines;
  ASSERT_EQ(lines.size(), 3u);
  const auto header = Split(lines[1]);
  ASSERT_EQ(header.size(), 50u);
  EXPECT_EQ(header.front(), "team");
  EXPECT_EQ(header[31], "framfrac");
  EXPECT_EQ(header.back(), "tempplayer.ActionSeq.EventArray[2].lookForBlocks");
  const auto v = Split(lines[2]);
  ASSERT_EQ(v.size(), 50u);
  EXPECT_EQ(v[0], "2");
  EXPECT_EQ(v[1], "upteam");
  EXPECT_EQ(v[2], "105");
  EXPECT_EQ(v[3], "5");
  EXPECT_EQ(v[8], "2.5000");
  EXPECT_EQ(v[12], "true");
  EXPECT_EQ(v[28], "breathing");
  EXPECT_EQ(v[31], "0.2500");
  EXPECT_EQ(v[32], "1.0000");
  EXPECT_EQ(v[36], "-1");
  EXPECT_EQ(v[37], "0");
  EXPECT_EQ(v[43], "running");
  EXPECT_EQ(v[46], "-1.2500");
}

TEST_F(PlayerStateDumpTest, SelectionBySide) {
  DumpPlayerStateCsv(World, true, 5, false, false);
  EXPECT_EQ(Form1.Memo2.Count(), 2u);  // "Memo2" and the header

  Form1.Reset();
  DumpPlayerStateCsv(World, false, 0, true, true);
  const auto& lines = Form1.Memo2.Lines;
  ASSERT_EQ(lines.size(), 2u + 30u);
  // Match team 1 first: it is the defending side here.
  EXPECT_EQ(Split(lines[2])[1], "downteam");
  EXPECT_EQ(Split(lines[2])[2], "201");
  EXPECT_EQ(Split(lines[17])[1], "upteam");
  EXPECT_EQ(Split(lines[31])[3], "15");
  // No animation length: the fraction is written as 0 rather than ending the match.
  EXPECT_EQ(Split(lines[2])[31], "0.0000");
}

}  // namespace

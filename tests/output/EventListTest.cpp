#include "output/OutputUnit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "RunFolder.h"
#include "core/EngineError.h"
#include "core/FloatFlags.h"
#include "core/MatchStore.h"
#include "core/RunContext.h"
#include "output/ReplayStore.h"

namespace {

const std::string kHeader =
    "message,time,clock,extravalue,teamID,playerID,playerX,playerZ,ballX,ballZ,gamestate,"
    "lastknownhasballteamID,lastknownhasballplayerID";

class EventListTest : public ::testing::Test {
 protected:
  RunFolder run{false};

  void SetUp() override {
    run.UseAsRunContext();
    FileSuffix = "_t";
    ResetReplayStore(5);  // frames stamped 0, 0.04, 0.08, 0.12, 0.16 s
  }
  void TearDown() override {
    FileSuffix = "";
    ClearReplayStore();
  }

  // The file's lines after the header; every line must end in CR LF.
  std::vector<std::string> Rows() {
    std::feclearexcept(FE_ALL_EXCEPT);
    WriteEventList();
    EXPECT_FALSE(FloatErrorRaised());
    const std::string text = run.Read("output/eventlist_t.csv");
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < text.size()) {
      const size_t end = text.find("\r\n", at);
      if (end == std::string::npos) {
        ADD_FAILURE() << "a line without CR LF: " << text.substr(at);
        break;
      }
      lines.push_back(text.substr(at, end - at));
      EXPECT_EQ(lines.back().find('\n'), std::string::npos);
      at = end + 2;
    }
    EXPECT_FALSE(lines.empty());
    if (lines.empty()) return lines;
    EXPECT_EQ(lines[0], kHeader);
    lines.erase(lines.begin());
    return lines;
  }
};

}  // namespace

TEST_F(EventListTest, WithoutAMessageTheFileHoldsTheHeaderOnly) {
  EXPECT_TRUE(Rows().empty()) << "no message";
}

TEST_F(EventListTest, WithoutAListedMessageTheFileHoldsTheHeaderOnly) {
  // Timed team figures, player times, the start messages, line breaks and
  // other unlisted types write nothing.
  for (u8 type : {40, 41, 42, 48, 54, 55, 16, 17, 19, 30, 60, 106}) AddMessage(type, 10, 101, 0.02f, 1);
  EXPECT_TRUE(Rows().empty()) << "unlisted types";
}

TEST_F(EventListTest, WithoutFramesTheFileHoldsTheHeaderOnly) {
  // No counted frame: nothing is placed.
  ResetReplayStore(0);
  AddMessage(msgTry, 10, 101, 0.02f);
  EXPECT_TRUE(Rows().empty()) << "no frame";
}

TEST_F(EventListTest, LinesPlaceBallAndPlayerFromTheMessageTeamsSide) {
  TMatchStore& S = MatchStore;
  S.FrameBallPos[2] = {0, 100, 12500};            // z = +25 m
  S.PlayerTracks[1][5].Pos[2] = {3500, 0, -5000};  // team 1's shirt 5 in block 1
  S.PlayerTracks[2][3].Pos[2] = {1000, 0, 5000};   // team 2's shirt 3 in block 2
  S.FrameBallHolder[2] = 5;
  S.FrameGameState[2] = gsGotTackled;
  AddMessage(msgTackle, 20, 0, 0.01f);             // a team message
  AddMessage(msgMissedTackle, 10, 105, 0.02f, 2.125f);
  AddMessage(msgTackle, 20, 203, 0.03f, -1.5f);
  const auto rows = Rows();
  ASSERT_EQ(rows.size(), 3u);
  // Team 2 while team 1 holds block 1: seen from the other end.
  EXPECT_EQ(rows[0], "14,0.010,100.040,0.00,20,0,-1,-1,0.5000,0.2500,3,10,105,");
  EXPECT_EQ(rows[1], "15,0.020,100.040,2.13,10,105,0.6000,0.4000,0.5000,0.7500,3,10,105,");
  EXPECT_EQ(rows[2], "14,0.030,100.040,-1.50,20,203,0.4714,0.4000,0.5000,0.2500,3,10,105,");
}

TEST_F(EventListTest, ASwappedFrameTakesTheBlockAndShirtsOfTheTeamThatHeldBlockOne) {
  TMatchStore& S = MatchStore;
  S.FrameTeam1InFirstBlock[3] = kFalse32;  // team 2 in block 1
  S.FrameBallPos[3] = {-7000, 0, 12500};
  S.PlayerTracks[1][4].Pos[3] = {0, 0, 25000};   // team 2's shirt 4, now in block 1
  S.PlayerTracks[2][4].Pos[3] = {0, 0, -25000};  // team 1's shirt 4, now in block 2
  S.FrameBallHolder[3] = 4;
  AddMessage(msgTackle, 20, 204, 0.05f);
  AddMessage(msgTackle, 10, 104, 0.06f);
  AddMessage(msgTackle, 10, 104, 0.09f);  // frame 4: back in block 1, holder 0
  S.FrameBallHolder[4] = 0;
  S.PlayerTracks[1][4].Pos[4] = {0, 0, 25000};
  const auto rows = Rows();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0], "14,0.050,100.080,0.00,20,204,0.5000,1.0000,0.3000,0.7500,1,20,204,");
  EXPECT_EQ(rows[1], "14,0.060,100.080,0.00,10,104,0.5000,1.0000,0.7000,0.2500,1,20,204,");
  EXPECT_EQ(rows[2], "14,0.090,100.120,0.00,10,104,0.5000,1.0000,0.5000,0.5000,1,10,-1000,");
}

TEST_F(EventListTest, APlayerComingOnTakesHisShirtBeforeHisOwnLine) {
  TMatchStore& S = MatchStore;
  S.PlayerTracks[1][3].Pos[2] = {-17500, 0, 0};
  S.PlayerTracks[1][2].Pos[3] = {17500, 0, 0};
  S.FrameBallHolder[2] = 3;
  S.FrameBallHolder[3] = 16;  // no shirt: "-1000"
  AddMessage(msgPlayerOn, 10, 999, 0.01f, 3);    // 999 wears shirt 3 ...
  AddMessage(msgPlayerOff, 10, 103, 0.01f, 3);   // ... and 103 is in no table any more
  AddMessage(msgPossessionTime, 10, 999, 0.02f, 3);  // not written
  AddMessage(msgPlayerOn, 10, 888, 0.03f, 0);    // outside 1..15: no table changes
  AddMessage(msgPlayerOn, 10, 887, 0.03f, 16);
  AddMessage(msgPlayerOn, 20, 777, 0.05f, 2.5f);  // Round(2.5) = 2, but in team 2's table
  AddMessage(msgPlayerOn, 10, 776, 0.05f, 1.5f);  // Round(1.5) = 2
  AddMessage(msgTackle, 10, 888, 0.06f);
  AddMessage(msgTackle, 10, 776, 0.06f);
  const auto rows = Rows();
  ASSERT_EQ(rows.size(), 8u);
  EXPECT_EQ(rows[0], "49,0.010,100.040,3.00,10,999,0.0000,0.5000,0.5000,0.5000,1,10,999,");
  EXPECT_EQ(rows[1], "50,0.010,100.040,3.00,10,103,-1,-1,0.5000,0.5000,1,10,999,");
  EXPECT_EQ(rows[2].substr(0, 24), "49,0.030,100.040,0.00,10");
  EXPECT_NE(rows[2].find(",888,-1,-1,"), std::string::npos);
  EXPECT_NE(rows[3].find(",887,-1,-1,"), std::string::npos);
  // Team 2's shirt 2 is found in block 2, where no one stands at frame 3.
  EXPECT_NE(rows[4].find(",20,777,0.5000,0.5000,"), std::string::npos) << rows[4];
  EXPECT_EQ(rows[5], "49,0.050,100.080,1.50,10,776,1.0000,0.5000,0.5000,0.5000,1,10,-1000,");
  EXPECT_EQ(rows[6], "14,0.060,100.080,0.00,10,888,-1,-1,0.5000,0.5000,1,10,-1000,");
  EXPECT_EQ(rows[7], "14,0.060,100.080,0.00,10,776,1.0000,0.5000,0.5000,0.5000,1,10,-1000,");
  for (const std::string& row : rows) {
    EXPECT_EQ(std::count(row.begin(), row.end(), ','), 13) << row;  // "-1,-1" is playerX and playerZ
    EXPECT_EQ(row.back(), ',') << row;
  }
}

TEST_F(EventListTest, EachMessageGoesToTheFirstFrameStampedLaterAndTheRestToTheLast) {
  AddMessage(msgPass, 10, 101, -1.0f);         // before every frame: frame 1
  AddMessage(msgPass, 10, 101, SlotTime(2));   // stamped as frame 2: frame 3
  AddMessage(msgPass, 10, 101, SlotTime(5));   // the last frame's own messages ...
  AddMessage(msgPass, 10, 101, 90.0f);         // ... and later ones: frame 5
  AddMessage(msgPass, 10, 101, 0.05f);         // out of order: the walk has passed it
  const auto rows = Rows();
  ASSERT_EQ(rows.size(), 5u);
  const char* clocks[] = {",100.000,", ",100.080,", ",100.160,", ",100.160,", ",100.160,"};
  for (size_t i = 0; i < rows.size(); ++i) EXPECT_NE(rows[i].find(clocks[i]), std::string::npos) << rows[i];
}

TEST_F(EventListTest, ThePlayersLastShirtWinsAndPlayerZeroIsNoPlayer) {
  TMatchStore& S = MatchStore;
  S.MatchInfo.Team[1].Squad[4].playerid = 444;
  S.MatchInfo.Team[1].Squad[9].playerid = 444;
  S.MatchInfo.Team[1].Squad[6].playerid = 0;  // an empty squad entry
  S.PlayerTracks[1][4].Pos[2] = {17500, 0, 0};
  S.PlayerTracks[1][9].Pos[2] = {-17500, 0, 0};
  S.PlayerTracks[1][6].Pos[2] = {17500, 0, 0};
  AddMessage(msgTackle, 10, 444, 0.01f);
  AddMessage(msgTurnover, 10, 0, 0.01f);
  const auto rows = Rows();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_NE(rows[0].find(",444,0.0000,0.5000,"), std::string::npos) << rows[0];
  EXPECT_NE(rows[1].find(",0,-1,-1,0.5000,0.5000,"), std::string::npos) << rows[1];
}

TEST_F(EventListTest, AFileThatCannotBeCreatedRaises) {
  OutputDir = run.Dir() + "no-such-folder/";
  EXPECT_THROW(WriteEventList(), EEngineError);
}

#include "output/StatsUnit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/DrawCount.h"
#include "core/MatchStore.h"
#include "output/FrameScene.h"
#include "platform/Form.h"

namespace {

TWorld W;

class StatsUnitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFrameScene(W);
    for (int b = 1; b <= 2; ++b) {
      W.Teams[b].teamid = 11 * b;
      for (int p = 1; p <= 25; ++p) W.Teams[b].Players[p].id = 1000 * b + p;
    }
    for (int k = 1; k <= 10; ++k) W.MessageSlotFree[k] = kTrue32;
    for (int k = 1; k <= 4; ++k) W.MessageTimers[k] = 100;  // none fires
    W.StatPlayerCursor = 1;
    MatchStore.MessageCount = 0;
    MatchStore.MessageCountCopy = 0;
    MatchStore.MessageCapacity = kMessageCapacity;
    MatchStore.MessageListOverflowed = kFalse32;
    MatchStore.RecordClock = 12.5f;
    Form1.Memo2.Clear();
    RandSeed = 4711;
  }
  void TearDown() override { MatchStore.RecordClock = 0; }

  static int QueueFullLines() {
    const auto& lines = Form1.Memo2.Lines;
    return static_cast<int>(std::count(lines.begin(), lines.end(), std::string("QUEUE WAS FULL")));
  }
};

}  // namespace

TEST_F(StatsUnitTest, TeamTimesAccrueOnlyWithTheBallInPlayAndPossession) {
  struct Case {
    TGameState state;
    f32 ballZ;
    bool possession, ownHalf1, ownHalf2, redZone;
  } cases[] = {
      {gsRunning, -1.0f, true, true, false, false},
      {gsPassing, 0.0f, true, false, true, false},  // z = 0 lies in the defenders' half
      {gsGotTackled, 28.0f, true, false, true, false},
      {gsRunning, 28.01f, true, false, true, true},
      {gsFreeBall, 40.0f, false, false, false, false},
      {gsScrum, 40.0f, false, false, false, false},
      {gsTransition, -40.0f, false, false, false, false},
  };
  for (const Case& c : cases) {
    SetUp();
    W.gamestate = c.state;
    W.BallPos.z = c.ballZ;
    UpdateStats(W);
    const std::string what = std::string(GameStateName(c.state)) + " z " + std::to_string(c.ballZ);
    EXPECT_EQ(W.Teams[1].timeinpossession, c.possession ? 0.04f : 0.0f) << what;
    EXPECT_EQ(W.Teams[2].timeinpossession, 0.0f) << what;
    EXPECT_EQ(W.Teams[1].timeinownhalf, c.ownHalf1 ? 0.04f : 0.0f) << what;
    EXPECT_EQ(W.Teams[2].timeinownhalf, c.ownHalf2 ? 0.04f : 0.0f) << what;
    EXPECT_EQ(W.Teams[1].redzonetime, c.redZone ? 0.04f : 0.0f) << what;
    EXPECT_EQ(W.Teams[2].redzonetime, 0.0f) << what;
    // Time on the field grows in every state, for the players on the field only.
    EXPECT_EQ(W.Teams[1].Players[15].TimeOnField, 0.04f) << what;
    EXPECT_EQ(W.Teams[2].Players[1].TimeOnField, 0.04f) << what;
    EXPECT_EQ(W.Teams[2].Players[16].TimeOnField, 0.0f) << what;
  }
}

TEST_F(StatsUnitTest, CarrierGainCountsBackwardsToo) {
  TPlayer& C = W.Teams[1].Players[9];
  W.Teams[1].BallCarrier = 9;
  C.OldPos.z = 10.5f;
  C.Pos.z = 10.0f;
  C.MetresRun = 3.0f;
  W.Teams[1].RunMetres = 1.0f;
  UpdateStats(W);
  EXPECT_FLOAT_EQ(C.MetresRun, 2.5f);
  EXPECT_FLOAT_EQ(W.Teams[1].RunMetres, 0.5f);

  // Outside running the carry's metres start again; the player keeps his.
  W.gamestate = gsGotTackled;
  W.Teams[2].RunMetres = 4.0f;
  UpdateStats(W);
  EXPECT_EQ(W.Teams[1].RunMetres, 0.0f);
  EXPECT_EQ(W.Teams[2].RunMetres, 0.0f);
  EXPECT_FLOAT_EQ(C.MetresRun, 2.5f);
}

TEST_F(StatsUnitTest, CarrierOutsideThePlayersOnTheFieldCountsNothing) {
  for (i32 carrier : {0, 16, 26, -1}) {
    SetUp();
    W.Teams[1].BallCarrier = carrier;
    for (TPlayer& P : W.Teams[1].Players) P.Pos.z = 5.0f;
    UpdateStats(W);
    EXPECT_EQ(W.Teams[1].RunMetres, 0.0f) << carrier;
    for (const TPlayer& P : W.Teams[1].Players) EXPECT_EQ(P.MetresRun, 0.0f) << carrier;
  }
}

TEST_F(StatsUnitTest, TeamTimerFiresAtZeroNotJustAbove) {
  W.Teams[1].timeinpossession = 30.0f;
  W.Teams[2].timeinpossession = 20.0f;
  W.MessageTimers[1] = 0.04f;   // reaches exactly 0.0
  W.MessageTimers[2] = 0.041f;  // stops about 0.001 above
  const u32 before = RandSeed;
  PostStatMessages(W);
  EXPECT_EQ(DrawsSince(before), 1);
  EXPECT_GE(W.MessageTimers[1], 5.0f);
  EXPECT_LE(W.MessageTimers[1], 10.0f);
  EXPECT_EQ(W.MessageTimers[1], static_cast<f32>(static_cast<int>(W.MessageTimers[1])));
  EXPECT_GT(W.MessageTimers[2], 0.0f);
  EXPECT_LT(W.MessageTimers[2], 0.002f);
  ASSERT_EQ(MatchStore.MessageCount, 2);
  const TMatchMessage& first = MatchStore.Messages[1];
  const TMatchMessage& second = MatchStore.Messages[2];
  EXPECT_EQ(first.message, msgPossessionTime);
  EXPECT_EQ(first.teamID, 11);
  EXPECT_EQ(first.playerID, 0);
  EXPECT_EQ(first.extravalue, 30.0f);
  EXPECT_EQ(first.time, 12.5f);
  EXPECT_EQ(second.teamID, 22);
  EXPECT_EQ(second.extravalue, 20.0f);
}

TEST_F(StatsUnitTest, EveryTeamTimerPostsItsFigureBlockOneFirst) {
  W.Teams[1].timeinownhalf = 7.0f;
  W.Teams[2].redzonetime = 9.0f;
  for (int k = 1; k <= 3; ++k) W.MessageTimers[k] = 0;
  const u32 before = RandSeed;
  PostStatMessages(W);
  EXPECT_EQ(DrawsSince(before), 3);
  ASSERT_EQ(MatchStore.MessageCount, 6);
  const u8 codes[6] = {40, 40, 41, 41, 42, 42};
  for (int k = 1; k <= 6; ++k) {
    EXPECT_EQ(MatchStore.Messages[k].message, codes[k - 1]) << k;
    EXPECT_EQ(MatchStore.Messages[k].teamID, k % 2 == 1 ? 11 : 22) << k;
  }
  EXPECT_EQ(MatchStore.Messages[3].extravalue, 7.0f);
  EXPECT_EQ(MatchStore.Messages[6].extravalue, 9.0f);
}

TEST_F(StatsUnitTest, TimePlayedWalksThePlayerSlotsAndWraps) {
  W.Teams[1].Players[15].TimeOnField = 61.0f;
  W.Teams[2].Players[15].TimeOnField = 62.0f;
  W.StatPlayerCursor = 15;
  W.MessageTimers[4] = 0.04f;
  PostStatMessages(W);
  EXPECT_EQ(W.MessageTimers[4], 1.0f);
  EXPECT_EQ(W.StatPlayerCursor, 1);
  ASSERT_EQ(MatchStore.MessageCount, 2);
  EXPECT_EQ(MatchStore.Messages[1].message, msgTimePlayed);
  EXPECT_EQ(MatchStore.Messages[1].playerID, 1015);
  EXPECT_EQ(MatchStore.Messages[1].extravalue, 61.0f);
  EXPECT_EQ(MatchStore.Messages[2].playerID, 2015);
  EXPECT_EQ(MatchStore.Messages[2].extravalue, 62.0f);

  W.MessageTimers[4] = 0;
  PostStatMessages(W);
  EXPECT_EQ(MatchStore.Messages[3].playerID, 1001);
  EXPECT_EQ(MatchStore.Messages[4].playerID, 2001);
  EXPECT_EQ(W.StatPlayerCursor, 2);
}

TEST_F(StatsUnitTest, TenWaitingMessagesMoveInSlotOrderAndReportAFullQueue) {
  for (int waiting : {9, 10}) {
    SetUp();
    for (int k = 1; k <= waiting; ++k) PostMessage(W, 5, 100 + k, msgTackle, static_cast<f32>(k));
    PostStatMessages(W);
    EXPECT_EQ(MatchStore.MessageCount, waiting);
    EXPECT_EQ(MatchStore.MessageCountCopy, waiting);
    for (int k = 1; k <= waiting; ++k) {
      EXPECT_EQ(MatchStore.Messages[k].playerID, 100 + k) << waiting;
      EXPECT_NE(W.MessageSlotFree[k], 0) << waiting;
    }
    EXPECT_EQ(QueueFullLines(), waiting == 10 ? 3 : 0) << waiting;
  }
}

TEST_F(StatsUnitTest, AFullListKeepsOverwritingItsLastEntryAndLogsTheFirstOverwriteOnly) {
  MatchStore.MessageCount = kMessageCapacity - 1;
  MatchStore.Messages[kMessageCapacity - 1].playerID = 7;
  // The message that fills the list is stored as any other.
  PostMessage(W, 5, 1, msgPass, 0);
  PostStatMessages(W);
  EXPECT_EQ(MatchStore.MessageCount, kMessageCapacity);
  EXPECT_EQ(MatchStore.Messages[kMessageCapacity].playerID, 1);
  EXPECT_TRUE(Form1.Memo2.Lines.empty());
  // Each later one, one frame after another, takes the last entry.
  for (i32 player = 2; player <= 4; ++player) {
    PostMessage(W, 5, player, msgPass, 0);
    PostStatMessages(W);
    EXPECT_EQ(MatchStore.MessageCount, kMessageCapacity);
    EXPECT_EQ(MatchStore.MessageCountCopy, kMessageCapacity);
    EXPECT_EQ(MatchStore.Messages[kMessageCapacity].playerID, player);
  }
  EXPECT_EQ(MatchStore.Messages[kMessageCapacity - 1].playerID, 7);
  const std::vector<std::string> logged = {"MESSAGE LIST WAS FULL at " + std::to_string(kMessageCapacity) +
                                           " messages; later messages overwrite the last"};
  EXPECT_EQ(Form1.Memo2.Lines, logged);
}

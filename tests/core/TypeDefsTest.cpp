#include "core/TypeDefs.h"

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>

#include "core/MatchStore.h"

TEST(GameStateName, NamesEveryStateAndUnspecifiedOtherwise) {
  EXPECT_STREQ(GameStateName(0), "UserInterface");
  EXPECT_STREQ(GameStateName(3), "gottackled");
  EXPECT_STREQ(GameStateName(14), "leaguechamps");
  EXPECT_STREQ(GameStateName(15), "GSmisc01");
  EXPECT_STREQ(GameStateName(24), "GSmisc10");
  EXPECT_STREQ(GameStateName(25), "huddle");
  for (int s : {6, 26, 255}) EXPECT_STREQ(GameStateName(static_cast<TGameState>(s)), "unspecified");
}

TEST(MessageQueue, FillsFirstFreeSlotsAndDropsWhenFull) {
  static TWorld W;
  std::memset(&W, 0, sizeof W);
  for (int k = 1; k <= 10; ++k) W.MessageSlotFree[k] = kTrue32;
  MatchStore.RecordClock = 12.5f;
  W.MessageSlotFree[1] = kFalse32;  // taken already
  for (int i = 0; i < 10; ++i) PostMessage(W, 7, 100 + i, 20, static_cast<f32>(i));
  for (int k = 2; k <= 10; ++k) {
    EXPECT_EQ(W.MessageSlotFree[k], 0);
    EXPECT_EQ(W.MessageQueue[k].playerID, 100 + k - 2);
    EXPECT_EQ(W.MessageQueue[k].teamID, 7);
    EXPECT_FLOAT_EQ(W.MessageQueue[k].time, 12.5f);
  }
  // The tenth message found no free slot: nothing in slot 1 changed.
  EXPECT_EQ(W.MessageQueue[1].playerID, 0);
  PostMessage(W, 7, 0, 21, 0);  // a team message would carry player 0
  EXPECT_EQ(W.MessageQueue[1].message, 0);
  MatchStore.RecordClock = 0;
}

TEST(LookAheadCopy, EqualsTheWorldButIsNotLive) {
  std::memset(&World, 0, sizeof World);
  World.LiveWorld = kTrue32;
  World.clock = 33.0f;
  World.Teams[2].Players[25].Pos.x = 4.5f;
  World.LastKnownHasBall = 9;
  TakeLookAheadCopy();
  EXPECT_EQ(LookAheadWorld.LiveWorld, 0);
  LookAheadWorld.LiveWorld = World.LiveWorld;
  EXPECT_EQ(std::memcmp(&LookAheadWorld, &World, sizeof World), 0);
}

TEST(MessageQueue, KeepsANegativeTeamIdNegative) {
  static TWorld W;
  std::memset(&W, 0, sizeof W);
  W.MessageSlotFree[1] = kTrue32;
  PostMessage(W, -3, -40, msgTry, 5.0f);
  EXPECT_EQ(W.MessageQueue[1].teamID, -3);
  EXPECT_EQ(W.MessageQueue[1].playerID, -40);
  EXPECT_EQ(W.MessageQueue[1].message, msgTry);
}

// Every code of the message list with its meaning's name, as the statistics
// and event files count them; five codes posted by the frame steps join the
// table's 74.
TEST(MessageType, CodesOfEveryName) {
  struct Code {
    TMessageType type;
    int code;
  } codes[] = {
      {msgCarryEnd, 0}, {msgPass, 1}, {msgOffload, 2}, {msgGenPlayKick, 3},
      {msgPenGoalAttempt, 4}, {msgPenGoal, 5}, {msgDropGoalAttempt, 6}, {msgDropGoal, 7},
      {msgConvAttempt, 8}, {msgConversion, 9}, {msgTackle, 14}, {msgMissedTackle, 15},
      {msgTackleBreak, 16}, {msgLineBreak, 17}, {msgTry, 18}, {msgAttackingRuck, 19},
      {msgTurnover, 20}, {msgPenHoldingOn, 21}, {msgPenOffside, 22}, {msgPenDangerousTackle, 23},
      {msgPenNotRollingAway, 24}, {msgPenMisconduct, 25}, {msgPenObstruction, 26},
      {msgPenHandsInRuck, 27}, {msgHandlingError, 28}, {msgMark, 29}, {msgLineoutThrow, 30},
      {msgLineoutNotStraight, 31}, {msgLineoutWon, 32}, {msgLineoutStolen, 33}, {msgScrumFeed, 34},
      {msgScrumWon, 35}, {msgSubstitution, 36}, {msgForwardPass, 37}, {msgYellowCard, 38},
      {msgRedCard, 39}, {msgPossessionTime, 40}, {msgOwnHalfTime, 41}, {msgRedZoneTime, 42},
      {msgRunningMetres, 43}, {msgHitUp, 44}, {msgInjury, 45}, {msgMaul, 46}, {msgMaulMetres, 47},
      {msgTimePlayed, 48}, {msgPlayerOn, 49}, {msgPlayerOff, 50}, {msgHalfLength, 54},
      {msgPlayersPerTeam, 55}, {msgAdvantage, 57}, {msgAdvantageOver, 58},
      {msgAdvantageBothSides, 65}, {msgPressureKick, 69}, {msgCarryStart, 72},
      {msgInterception, 80}, {msgRuckJoined, 82}, {msgLeagueChampions, 91},
      {msgBallDeadInGoal, 92}, {msgTryAssist, 95}, {msgTightheadWon, 96}, {msgDefenderBeaten, 97},
      {msgLineoutJump, 98}, {msgLineoutCleanTake, 99}, {msgLineoutHandlingError, 100},
      {msgLineoutHitJumper, 101}, {msgScrumPenalty, 102}, {msgPassHitTarget, 103},
      {msgInterceptThrown, 104}, {msgTackleAssist, 105}, {msgLineBreak2, 106},
      {msgLineBreak3, 107}, {msgLineBreak4, 108}, {msgTurnoverConceded, 109},
      {msgPenaltyForced, 110},
      // Posted by the motion and contact steps.
      {msgTackleImpact, 59}, {msgPostHit, 61}, {msgBallBounce, 63}, {msgKickTaken, 70},
      {msgScrumEngage, 85},
  };
  EXPECT_EQ(std::size(codes), 79u);
  bool seen[256] = {};
  for (const Code& c : codes) {
    EXPECT_EQ(static_cast<int>(c.type), c.code);
    EXPECT_FALSE(seen[c.code]) << "code " << c.code << " named twice";
    seen[c.code] = true;
  }
}

// A freed slot still holds the last message's words; a poster that has no
// team, player or value passes 0, and none of the old words survives.
TEST(MessageQueue, ReusedSlotKeepsNothingOfTheOldMessage) {
  static TWorld W;
  std::memset(&W, 0, sizeof W);
  W.MessageQueue[1] = {7, 23, 5.0f, 17, 9.5f};
  W.MessageSlotFree[1] = kTrue32;
  MatchStore.RecordClock = 6.0f;
  PostMessage(W, 0, 0, 63, 0.0f);
  const TMatchMessage& m = W.MessageQueue[1];
  EXPECT_EQ(m.teamID, 0);
  EXPECT_EQ(m.playerID, 0);
  EXPECT_EQ(m.message, 63);
  EXPECT_EQ(m.extravalue, 0.0f);
  EXPECT_EQ(m.time, 6.0f);
  MatchStore.RecordClock = 0;
}

#include "output/ManOfTheMatch.h"

#include <gtest/gtest.h>

#include "core/DrawCount.h"
#include "core/MatchStore.h"
#include "core/TypeDefs.h"
#include "output/MatchSummary.h"

namespace {

constexpr i32 kHome = 101;
constexpr i32 kAway = 202;

class ManOfTheMatchTest : public ::testing::Test {
 protected:
  TPlayerPassResults results{};

  void SetUp() override {
    MatchStore.MatchInfo = TMatchInfo{};
    MatchStore.MessageCountCopy = 0;
    MatchSummary = TMatchSummary{};
    Team(1).teamid = kHome;
    Team(2).teamid = kAway;
    MatchStore.MatchInfo.winnerifdrawteamid = -1;
    results = StartPlayerPassResults();
    RandSeed = 4711;
  }
  static TTeamInfo& Team(int t) { return MatchStore.MatchInfo.Team[t]; }
  static void Post(i32 teamID, i32 playerID, u8 type) {
    const int n = ++MatchStore.MessageCountCopy;
    MatchStore.Messages[n] = TMatchMessage{teamID, playerID, 1.0f, type, 0.0f};
  }
};

TEST_F(ManOfTheMatchTest, TheWinningSideKeepsItUnlessOutRated) {
  struct Case {
    const char* what;
    i16 s1, s2;
    i32 winnerIfDraw;
    f32 p1, p2;
    i32 draw;  // the draw the pick must make; 0: none
    i32 team;
  };
  const Case cases[] = {
      {"winner out-rates the other", 17, 12, -1, 61.2f, 58.0f, 0, kHome},
      {"winner out-rated, 499 keeps it", 17, 12, -1, 58.0f, 61.2f, 499, kHome},
      {"winner out-rated, 500 gives it away", 17, 12, -1, 58.0f, 61.2f, 500, kAway},
      {"team 2 wins but is out-rated, 500", 12, 17, -1, 61.2f, 58.0f, 500, kHome},
      {"team 2 wins and out-rates, no draw", 12, 17, -1, 58.0f, 61.2f, 0, kAway},
      {"level, the draw winner is team 1", 20, 20, kHome, 61.2f, 58.0f, 0, kHome},
      {"level without a draw winner: team 2 wins", 20, 20, -1, 61.2f, 58.0f, 499, kAway},
      {"level without a draw winner, 500", 20, 20, -1, 61.2f, 58.0f, 500, kHome},
      {"level, the draw winner is team 2's id", 20, 20, kAway, 58.0f, 61.2f, 0, kAway},
      {"equal ratings draw, nobody rated", 17, 12, -1, -1.0f, -1.0f, 499, kHome},
      {"equal ratings draw", 17, 12, -1, 60.0f, 60.0f, 500, kAway},
  };
  for (const Case& c : cases) {
    SetUp();
    MatchSummary.TeamFigures[1].score = c.s1;
    MatchSummary.TeamFigures[2].score = c.s2;
    MatchStore.MatchInfo.winnerifdrawteamid = c.winnerIfDraw;
    MatchStore.MatchInfo.MotmTeamId = 999;  // the first pick's, replaced
    World.Teams[1].score = c.s2;            // the world's score is not read
    World.Teams[2].score = c.s1;
    results.BestRating[1] = c.p1;
    results.BestRating[2] = c.p2;
    const u32 seed = c.draw ? SeedBeforeDraw(1, 1001, c.draw) : 4711;
    RandSeed = seed;
    PickFinalManOfTheMatch(results);
    EXPECT_EQ(DrawsSince(seed), c.draw ? 1 : 0) << c.what;
    // The summaries at the best slots are empty: the id is the team's own.
    EXPECT_EQ(MatchStore.MatchInfo.MotmTeamId, c.team) << c.what;
  }
}

TEST_F(ManOfTheMatchTest, FirstPickRanksWeightedCountsWithoutDrawing) {
  Team(1).Squad[3].playerid = 13;
  Team(1).Squad[9].playerid = 19;
  Team(2).Squad[5].playerid = 25;
  Team(2).Squad[6].playerid = 13;  // team 1's id in team 2's squad
  // Team 1's slot 3: two tries and a conversion (20).
  Post(kHome, 13, msgTry);
  Post(kHome, 13, msgTry);
  Post(kHome, 13, msgConversion);
  // Team 2's slot 5: a try, a line break, a turnover, two tackles, a penalty
  // goal and a drop goal (21).
  for (u8 type : {msgTry, msgLineBreak, msgTurnover, msgTackle, msgTackle, msgPenGoal, msgDropGoal})
    Post(kAway, 25, type);
  const u32 seed = RandSeed;
  PickManOfTheMatch();
  EXPECT_EQ(DrawsSince(seed), 0);
  const TMatchInfo& info = MatchStore.MatchInfo;
  EXPECT_EQ(info.MotmTeamId, kAway);
  EXPECT_EQ(info.MotmPlayerId, 25);
  EXPECT_EQ(info.MotmFigures[1], 11);  // points
  EXPECT_EQ(info.MotmFigures[2], 1);   // tries
  EXPECT_EQ(info.MotmFigures[3], 2);   // tackles
  EXPECT_EQ(info.MotmFigures[4], 1);   // turnovers

  // A tie keeps the earlier player: team 1's slot 3 reaches 21 too. Team 2's
  // player 13 does not share team 1's player 13's messages.
  Post(kHome, 13, msgTackle);
  PickManOfTheMatch();
  EXPECT_EQ(info.MotmTeamId, kHome);
  EXPECT_EQ(info.MotmPlayerId, 13);
  EXPECT_EQ(info.MotmFigures[1], 12);
  EXPECT_EQ(info.MotmFigures[3], 1);
}

TEST_F(ManOfTheMatchTest, FirstPickWithNobodyListedLeavesZeros) {
  MatchStore.MatchInfo.MotmTeamId = 5;
  MatchStore.MatchInfo.MotmPlayerId = 6;
  MatchStore.MatchInfo.MotmFigures[2] = 7;
  Post(kHome, 4, msgTry);
  PickManOfTheMatch();
  EXPECT_EQ(MatchStore.MatchInfo.MotmTeamId, 0);
  EXPECT_EQ(MatchStore.MatchInfo.MotmPlayerId, 0);
  EXPECT_EQ(MatchStore.MatchInfo.MotmFigures[2], 0);

  // A listed player without messages is picked with zero figures.
  Team(2).Squad[1].playerid = 8;
  PickManOfTheMatch();
  EXPECT_EQ(MatchStore.MatchInfo.MotmTeamId, kAway);
  EXPECT_EQ(MatchStore.MatchInfo.MotmPlayerId, 8);
}

}  // namespace

#include "output/PlayerStatsFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "RunFolder.h"
#include "core/DrawCount.h"
#include "core/EngineError.h"
#include "core/FloatFlags.h"
#include "core/MatchStats.h"
#include "core/MatchStore.h"
#include "core/RunContext.h"
#include "core/TypeDefs.h"
#include "output/CsvFields.h"
#include "output/MatchSummary.h"
#include "platform/Form.h"

namespace {

constexpr i32 kHome = 101;
constexpr i32 kAway = 202;
constexpr u32 kSeed = 4711;

class PlayerStatsFileTest : public ::testing::Test {
 protected:
  RunFolder run{false};
  TPlayerPassResults results{};

  void SetUp() override {
    run.UseAsRunContext();
    FileSuffix = "_t1";
    MatchStore.MatchInfo = TMatchInfo{};
    MatchStore.MessageCountCopy = 0;
    MatchStats = TMatchStats{};
    MatchSummary = TMatchSummary{};
    World.PlayersPerTeam = 15;
    Team(1).teamid = kHome;
    Team(1).teamcity.Assign("Harbour");
    Team(1).teamname.Assign("Gulls");
    Team(1).homeaway = kTrue32;
    Team(2).teamid = kAway;
    Team(2).teamcity.Assign("Upland");
    Team(2).teamname.Assign("Rams");
    MatchStore.MatchInfo.matchtype = mtLeague;
    MatchSummary.TeamRating[1] = 70;
    MatchSummary.TeamRating[2] = 50;
    MatchSummary.BestPlayerSlot[1] = 1;
    MatchSummary.BestPlayerSlot[2] = 1;
    results = StartPlayerPassResults();
    RandSeed = kSeed;
    Form1.ListBox1.Clear();
    std::feclearexcept(FE_ALL_EXCEPT);
  }
  void TearDown() override { FileSuffix.clear(); }

  static TTeamInfo& Team(int t) { return MatchStore.MatchInfo.Team[t]; }
  // Lists squad slot k of team t with player id `id` (own ids: team x 1000 + k).
  static void List(int t, int k, i32 id = 0) { Team(t).Squad[k].playerid = id ? id : t * 1000 + k; }
  static void Post(i32 teamID, i32 playerID, u8 type, f32 extra = 0.0f) {
    const int n = ++MatchStore.MessageCountCopy;
    MatchStore.Messages[n] = TMatchMessage{teamID, playerID, 1.0f, type, extra};
  }
  static int Column(const std::string& name) { return ColumnIndex(kPlayerStatsHeader, name); }

  void Pass() {
    WritePlayerStatsFile(results);
    EXPECT_FALSE(FloatErrorRaised());
  }
  std::vector<std::string> Lines() const { return run.Lines("output/playerInternet_t1.csv"); }
  // Field `name` of data row `row` (1 = the first row after the header).
  std::string Field(int row, const std::string& name) const {
    const std::vector<std::string> lines = Lines();
    if (row >= static_cast<int>(lines.size())) return "no row";
    return Split(lines[static_cast<size_t>(row)])[static_cast<size_t>(Column(name))];
  }
};

TEST_F(PlayerStatsFileTest, HeaderIsExactAndAloneWhenNobodyIsListed) {
  Post(kHome, 0, msgTackle);
  Pass();
  EXPECT_EQ(run.Read("output/playerInternet_t1.csv"),
            "playerid,teamid,points,tackles,missedtackles,tries,passes,genplaykicks,pengoalattempts,"
            "dropgoalattempts,convattempts,pengoalsuccess,dropgoalsuccess,convsuccess,offloads,turnovers,"
            "carries,tacklesbreaks,runningmeters,hitups,hitupmeters,penaltiesholdingon,penaltiesoffside,"
            "penaltiesdangeroustackle,penaltiesnotrollingaway,penaltiesmisconduct,penaltiesobstruction,"
            "penaltieshandsinruck,totpenalties,yellowcards,redcards,linebreaks,handlingerrors,marks,"
            "lineoutthrows,lineoutthrowsnotstraight,lineoutswon,scrumfeeds,scrumswon,substitutions,"
            "forwardpasses,injuries,timeplayed,assists,defendersbeaten,rucksjoined,rucksjoinedquickly,"
            "passeshittarget,interceptsthrown,tackleassists,lineoutjumps,lineoutcleantakes,"
            "lineouthandlingerr,scrumpenalties,lineoutjumpdef,lineoutcleantakesdef,lineouthandlingerrdef,"
            "scrumpenaltiesdef,lineoutthrowhitjumper,performancerating,performanceratingraw,"
            "turnoversconceded,penaltiesforced,startinglineupindex,lineoutwonagainstthrow\r\n");
  EXPECT_EQ(Split(kPlayerStatsHeader).size(), 65u);
  EXPECT_EQ(Form1.ListBox1.Count(), 0u);
  EXPECT_EQ(DrawsSince(kSeed), 0);
}

TEST_F(PlayerStatsFileTest, ListedSlotsOnlyTeamOneFirstInSlotOrder) {
  for (int k = 1; k <= 15; ++k)
    if (k != 7) List(1, k);
  for (int k : {3, 1}) List(2, k);
  Pass();
  const std::vector<std::string> lines = Lines();
  ASSERT_EQ(lines.size(), 1u + 14u + 2u);
  EXPECT_EQ(Field(6, "startinglineupindex"), "6");
  EXPECT_EQ(Field(7, "startinglineupindex"), "8");
  EXPECT_EQ(Field(7, "playerid"), "1008");
  EXPECT_EQ(Field(14, "teamid"), "101");
  EXPECT_EQ(Field(15, "playerid"), "2001");
  EXPECT_EQ(Field(16, "startinglineupindex"), "3");
  EXPECT_EQ(Field(16, "teamid"), "202");
  // A replacement who never came on: every count 0, the ratings of nothing.
  for (size_t i = 1; i < lines.size(); ++i) EXPECT_EQ(Split(lines[i]).size(), 65u);
  EXPECT_EQ(Field(15, "timeplayed"), "0");
  EXPECT_EQ(Field(15, "performanceratingraw"), "2.0");  // prop: the front-row bonus
  EXPECT_EQ(Field(15, "performancerating"), "1.4");     // 70 / 100 x 2.0
  EXPECT_EQ(DrawsSince(kSeed), 16);
}

TEST_F(PlayerStatsFileTest, MessagesCountByTheirColumnRules) {
  struct Msg {
    u8 type;
    f32 extra;
  };
  struct Expect {
    const char* column;
    const char* value;
  };
  struct Case {
    const char* what;
    std::vector<Msg> messages;
    std::vector<Expect> fields;
  };
  const Case cases[] = {
      {"running metres take the last value, rounded half to even",
       {{msgRunningMetres, 10.4f}, {msgRunningMetres, 25.5f}, {msgRunningMetres, 18.5f}},
       {{"runningmeters", "18"}}},
      {"time played takes the last value", {{msgTimePlayed, 1200.0f}, {msgTimePlayed, 2400.0f}}, {{"timeplayed", "2400"}}},
      {"hit-up metres are summed as a float, then rounded",
       {{msgHitUp, 2.4f}, {msgHitUp, 2.4f}},
       {{"hitups", "2"}, {"hitupmeters", "5"}}},
      {"a ruck joined at 3.4 is quick", {{msgRuckJoined, 3.4f}}, {{"rucksjoined", "1"}, {"rucksjoinedquickly", "1"}}},
      {"a ruck joined at 3.6 is not", {{msgRuckJoined, 3.6f}}, {{"rucksjoined", "1"}, {"rucksjoinedquickly", "0"}}},
      {"a lineout jump at 1.0 is his own", {{msgLineoutJump, 1.0f}}, {{"lineoutjumps", "1"}, {"lineoutjumpdef", "0"}}},
      {"lineout jumps at 0.0 and 2.0 are defending",
       {{msgLineoutJump, 0.0f}, {msgLineoutJump, 2.0f}},
       {{"lineoutjumps", "0"}, {"lineoutjumpdef", "2"}}},
      {"clean takes and handling errors split the same way",
       {{msgLineoutCleanTake, 1.2f}, {msgLineoutCleanTake, 2.0f}, {msgLineoutHandlingError, 0.6f}},
       {{"lineoutcleantakes", "1"}, {"lineoutcleantakesdef", "1"}, {"lineouthandlingerr", "1"},
        {"lineouthandlingerrdef", "0"}}},
      {"a scrum penalty counts among the penalties",
       {{msgScrumPenalty, 1.0f}, {msgScrumPenalty, 2.0f}},
       {{"totpenalties", "2"}, {"scrumpenalties", "1"}, {"scrumpenaltiesdef", "1"}}},
      {"each of the penalty kinds 21 to 27 counts twice",
       {{msgPenHoldingOn, 0}, {msgPenOffside, 0}, {msgPenHandsInRuck, 0}},
       {{"penaltiesholdingon", "1"}, {"penaltiesoffside", "1"}, {"penaltieshandsinruck", "1"},
        {"penaltiesmisconduct", "0"}, {"totpenalties", "3"}}},
      {"a try and a conversion make 7 points",
       {{msgTry, 0}, {msgConversion, 0}},
       {{"points", "7"}, {"tries", "1"}, {"convsuccess", "1"}}},
      {"penalty and drop goals make 3 each, attempts nothing",
       {{msgPenGoal, 0}, {msgDropGoal, 0}, {msgPenGoalAttempt, 0}, {msgConvAttempt, 0}},
       {{"points", "6"}, {"pengoalattempts", "1"}, {"convattempts", "1"}}},
      {"only the first line-break stage counts",
       {{msgLineBreak, 0}, {msgLineBreak2, 0}, {msgLineBreak3, 0}, {msgLineBreak4, 0}},
       {{"linebreaks", "1"}}},
      {"substitutions and injuries take the last value",
       {{msgSubstitution, 3.0f}, {msgSubstitution, 1.0f}, {msgInjury, 2.5f}},
       {{"substitutions", "1"}, {"injuries", "2"}}},
      {"a lineout won against the throw", {{msgLineoutStolen, 0}, {msgLineoutWon, 0}},
       {{"lineoutwonagainstthrow", "1"}, {"lineoutswon", "1"}}},
      {"team messages of the side are not his", {{msgPossessionTime, 300.0f}, {msgMaul, 0}}, {{"carries", "0"}}},
  };
  for (const Case& c : cases) {
    SetUp();
    List(1, 5, 55);
    Post(kHome, 54, msgTackle);  // a team-mate's
    for (const Msg& m : c.messages) Post(kHome, 55, m.type, m.extra);
    Pass();
    for (const Expect& e : c.fields) EXPECT_EQ(Field(1, e.column), e.value) << c.what << ": " << e.column;
    EXPECT_EQ(Field(1, "tackles"), "0") << c.what;
  }
}

TEST_F(PlayerStatsFileTest, TheOtherTeamsMessagesAreNotHis) {
  List(1, 4, 77);
  List(2, 9, 77);  // the same id in the other squad
  Post(kHome, 77, msgTackle);
  Post(kAway, 77, msgTackle);
  Post(kAway, 77, msgTackle);
  Post(kAway, 77, msgTry);
  Pass();
  EXPECT_EQ(Field(1, "tackles"), "1");
  EXPECT_EQ(Field(1, "tries"), "0");
  EXPECT_EQ(Field(2, "tackles"), "2");
  EXPECT_EQ(Field(2, "points"), "5");
}

TEST_F(PlayerStatsFileTest, RatingsAreWrittenWithOneDecimal) {
  List(1, 5, 55);  // four tries: raw 40.0, against team 2's rating 50
  for (int i = 0; i < 4; ++i) Post(kHome, 55, msgTry);
  List(2, 6, 66);  // four tackles and a lineout won on the throw: raw 10.25
  for (int i = 0; i < 4; ++i) Post(kAway, 66, msgTackle);
  Post(kAway, 66, msgLineoutWon);
  MatchSummary.TeamRating[1] = 50;
  Pass();
  EXPECT_EQ(Field(1, "performancerating"), "20.0");
  EXPECT_EQ(Field(1, "performanceratingraw"), "40.0");
  EXPECT_EQ(Field(2, "performanceratingraw"), "10.3");
  EXPECT_EQ(Field(2, "performancerating"), "5.1");  // 5.125
  EXPECT_EQ(MatchSummary.Players[2][6].performancerating, 5.125f);
}

TEST_F(PlayerStatsFileTest, BestPlayerOfEachSideAndTheKeptResults) {
  // Team 1: slots 6 and 7 one tackle each (2.5), the hooker only his bonus.
  List(1, 2);
  List(1, 6);
  List(1, 7);
  Post(kHome, 1007, msgTackle);
  Post(kHome, 1006, msgTackle);
  // Team 1's time-played maximum starts again with each of its players.
  Post(kHome, 1002, msgTimePlayed, 3000.0f);
  Post(kHome, 1007, msgTimePlayed, 1000.0f);
  // Team 2: slots 8 and 9 run 20,000 m each (raw 2000.0 both).
  List(2, 8);
  List(2, 9);
  Post(kAway, 2008, msgTimePlayed, 1500.0f);
  Post(kAway, 2009, msgTimePlayed, 100.0f);
  Post(kAway, 2008, msgRunningMetres, 20000.0f);
  Post(kAway, 2009, msgRunningMetres, 20000.0f);
  Pass();
  EXPECT_EQ(MatchSummary.BestPlayerSlot[1], 6);
  EXPECT_EQ(results.BestRawRating[1], 2.5f);
  EXPECT_EQ(results.BestRating[1], 1.25f);  // 50 / 100 x 2.5
  EXPECT_EQ(MatchSummary.BestPlayerSlot[2], 8);
  EXPECT_EQ(results.BestRawRating[2], 2000.0f);
  EXPECT_EQ(results.BestRating[2], 1400.0f);     // 70 / 100 x 2000
  EXPECT_EQ(results.RunningMetres[1], 0);
  EXPECT_EQ(results.RunningMetres[2], -25536);  // 40,000 in 16 bits
  // Slot 2's 3000 was dropped at slot 6; team 2's players never reset it.
  EXPECT_EQ(results.TimePlayedMax, 1500);
}

TEST_F(PlayerStatsFileTest, ASideNobodyRatedKeepsSlotOneAndNoBestRating) {
  List(1, 1);
  Pass();
  EXPECT_EQ(MatchSummary.BestPlayerSlot[2], 1);
  EXPECT_EQ(results.BestRating[2], -1.0f);
  EXPECT_EQ(results.BestRawRating[2], -1.0f);
}

TEST_F(PlayerStatsFileTest, SummaryRecordIsFilledForListedSlotsOnly) {
  List(1, 5, 55);
  TSquadPlayer& sq = Team(1).Squad[5];
  sq.firstname.Assign("Tane");
  sq.surname.Assign("Okoro");
  sq.appearance.Assign("abcdefghijklmnopqrstuvwxyzabcd");  // 30th letter "d": 20
  sq.height = 188;
  sq.weight = 101;
  MatchStats.PlayerStats[1][5].user.Assign("tane_o");
  // Team 2's captain in slot 4 (and an out-of-range slot 16 with his id).
  List(2, 4, 2222);
  List(2, 16, 2222);
  Team(2).captainid = 2222;
  MatchStats.PlayerStats[2][1].user.Assign("first");
  MatchStats.PlayerStats[2][4].user.Assign("captain");
  MatchSummary.Players[1][5].PositionRating = 77;
  MatchSummary.Players[1][6].PositionRating = 66;
  MatchSummary.Players[1][6].tries = 3;
  Post(kHome, 55, msgTimePlayed, 1200.0f);
  Post(kHome, 55, msgTimePlayed, 2400.0f);
  Post(kHome, 55, msgLineoutWon);
  Post(kHome, 55, msgLineoutWon);
  Post(kHome, 55, msgLineoutStolen);
  Pass();

  const TPlayerSummary& s = MatchSummary.Players[1][5];
  EXPECT_EQ(s.playerid, 55);
  EXPECT_EQ(s.firstname.View(), "Tane");
  EXPECT_EQ(s.surname.View(), "Okoro");
  EXPECT_EQ(s.Age, 20);
  EXPECT_EQ(s.height, 188);
  EXPECT_EQ(s.weight, 101);
  EXPECT_EQ(s.startinglineupindex, 5);
  EXPECT_EQ(s.PositionRating, 77);
  EXPECT_EQ(s.homeaway, kTrue32);
  EXPECT_EQ(s.teamid, kHome);
  EXPECT_EQ(s.teamcity.View(), "Harbour");
  EXPECT_EQ(s.teamname.View(), "Gulls");
  EXPECT_EQ(s.user.View(), "tane_o");
  EXPECT_EQ(s.OppTeamId, kAway);
  EXPECT_EQ(s.OppTeamCity.View(), "Upland");
  EXPECT_EQ(s.OppTeamName.View(), "Rams");
  EXPECT_EQ(s.OppUser.View(), "captain");
  EXPECT_EQ(s.OppTeamRating, 50);
  EXPECT_EQ(s.CompetitionKind1.View(), "league");
  EXPECT_EQ(s.CompetitionKind2.View(), "none");
  EXPECT_EQ(s.CompetitionKind3.View(), "none");
  RandSeed = kSeed;
  EXPECT_EQ(s.RandomTag, RandomRange(1, 100000001));
  EXPECT_EQ(MatchSummary.Players[2][4].RandomTag, RandomRange(1, 100000001));
  EXPECT_EQ(s.MinutesPlayed, 40);
  EXPECT_EQ(s.lineoutwonagainstthrow, 1);
  EXPECT_EQ(s.LineoutsWonOwnThrow, 1);
  // Team 2's player sees team 1's captain: no match, so slot 1's user (empty).
  EXPECT_EQ(MatchSummary.Players[2][4].OppUser.View(), "");
  EXPECT_EQ(MatchSummary.Players[2][4].homeaway, kFalse32);
  // An unlisted slot keeps what it held.
  EXPECT_EQ(MatchSummary.Players[1][6].PositionRating, 66);
  EXPECT_EQ(MatchSummary.Players[1][6].tries, 3);
  EXPECT_EQ(MatchSummary.Players[1][6].playerid, 0);
}

TEST_F(PlayerStatsFileTest, AgeComesFromAThirtiethLowerCaseLetter) {
  struct Case {
    const char* appearance;
    i16 age;
  };
  const Case cases[] = {
      {"000000000000000000000000000000a", 18},  // cut to 30: the 30th is "0"
      {"00000000000000000000000000000a", 17},
      {"00000000000000000000000000000z", 42},
      {"00000000000000000000000000000Z", 18},
      {"0000000000000000000000000000z", 18},  // 29 characters
      {"", 18},
  };
  for (const Case& c : cases) {
    SetUp();
    List(1, 1);
    Team(1).Squad[1].appearance.Assign(c.appearance);
    Pass();
    EXPECT_EQ(MatchSummary.Players[1][1].Age, c.age) << c.appearance;
  }
}

TEST_F(PlayerStatsFileTest, AnEmptySuffixNamesThePlainFile) {
  FileSuffix.clear();
  List(2, 1);
  Pass();
  EXPECT_EQ(run.Lines("output/playerInternet.csv").size(), 2u);
}

TEST_F(PlayerStatsFileTest, AFileThatCannotBeCreatedRaisesWithTheSummariesFilled) {
  std::filesystem::create_directories(run.Output("playerInternet_t1.csv"));  // a folder in the file's place
  List(1, 3);
  Post(kHome, 1003, msgTackle);
  EXPECT_THROW(Pass(), EEngineError);
  EXPECT_EQ(MatchSummary.Players[1][3].tackles, 1);
  EXPECT_EQ(MatchSummary.BestPlayerSlot[1], 3);
}

}  // namespace

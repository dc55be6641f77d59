#include "output/TeamStatsFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "RunFolder.h"
#include "core/DrawCount.h"
#include "core/EngineError.h"
#include "core/FloatFlags.h"
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

struct Msg {
  i32 team;
  u8 type;
  f32 extra;
};

class TeamStatsFileTest : public ::testing::Test {
 protected:
  RunFolder run{false};
  TPlayerPassResults results{};

  void SetUp() override {
    run.UseAsRunContext();
    FileSuffix = "_t1";
    MatchStore.MatchInfo = TMatchInfo{};
    MatchStore.MessageCountCopy = 0;
    MatchSummary = TMatchSummary{};
    Team(1).teamid = kHome;
    Team(1).coachid = 7;
    Team(2).teamid = kAway;
    Team(2).coachid = 8;
    results = StartPlayerPassResults();
    RandSeed = kSeed;
    Form1.ListBox1.Clear();
    Form1.Memo2.Clear();
    std::feclearexcept(FE_ALL_EXCEPT);
  }
  void TearDown() override { FileSuffix.clear(); }

  static TTeamInfo& Team(int t) { return MatchStore.MatchInfo.Team[t]; }
  static void Post(i32 teamID, u8 type, f32 extra = 0.0f, i32 playerID = 0) {
    const int n = ++MatchStore.MessageCountCopy;
    MatchStore.Messages[n] = TMatchMessage{teamID, playerID, 1.0f, type, extra};
  }
  static void Post(const std::vector<Msg>& messages) {
    for (const Msg& m : messages) Post(m.team, m.type, m.extra);
  }
  static int Column(const std::string& name) { return ColumnIndex(kTeamStatsHeader, name); }

  void Pass() {
    WriteTeamStatsFile(results);
    EXPECT_FALSE(FloatErrorRaised());
    EXPECT_EQ(DrawsSince(kSeed), 0);
  }
  std::vector<std::string> Lines() const { return run.Lines("output/teamInternet_t1.csv"); }
  // Field `name` of team t's row.
  std::string Field(int t, const std::string& name) const {
    const std::vector<std::string> lines = Lines();
    if (lines.size() != 3) return "no file";
    return Split(lines[static_cast<size_t>(t)])[static_cast<size_t>(Column(name))];
  }
};

TEST_F(TeamStatsFileTest, WithoutMessagesEachRowIsItsIdsZerosAndEvenShares) {
  Pass();
  std::string zeros;
  for (int i = 0; i < 58; ++i) zeros += ",0";  // redzonetime .. lineoutthrowhitjumper
  EXPECT_EQ(run.Read("output/teamInternet_t1.csv"),
            "teamid,score,timeinpossession,timeinownhalf,percentpossession,percentterritory,redzonetime,"
            "attackingrucks,mauls,maulmeters,tackles,missedtackles,tries,passes,genplaykicks,pengoalattempts,"
            "dropgoalattempts,convattempts,pengoalsuccess,dropgoalsuccess,convsuccess,offloads,turnovers,"
            "carries,tacklesbreaks,runningmeters,hitups,hitupmeters,penaltiesholdingon,penaltiesoffside,"
            "penaltiesdangeroustackle,penaltiesnotrollingaway,penaltiesmisconduct,penaltiesobstruction,"
            "penaltieshandsinruck,totpenalties,yellowcards,redcards,linebreaks,handlingerrors,marks,"
            "lineoutthrows,lineoutthrowsnotstraight,lineoutswon,scrumfeeds,scrumswon,substitutions,"
            "forwardpasses,injuries,lineoutwonagainstthrow,totmin,defendersbeaten,passeshittarget,"
            "interceptsthrown,firsttoruck,lineoutjumps,lineoutcleantakes,lineouthandlingerr,scrumpenalties,"
            "lineoutjumpdef,lineoutcleantakesdef,lineouthandlingerrdef,scrumpenaltiesdef,"
            "lineoutthrowhitjumper,coachid\r\n"
            "101,0,0,0,50,50" + zeros + ",7\r\n"
            "202,0,0,0,50,50" + zeros + ",8\r\n");
  EXPECT_EQ(Split(kTeamStatsHeader).size(), 65u);
  EXPECT_EQ(Form1.ListBox1.Count(), 3u);  // left for the next user to clear
  EXPECT_EQ(Form1.Memo2.Count(), 0u);
  for (int t = 1; t <= 2; ++t) {
    const TTeamFigures& f = MatchSummary.TeamFigures[t];
    EXPECT_EQ(f.percentpossession, 50);
    EXPECT_EQ(f.percentterritory, 50);
    EXPECT_EQ(f.score, 0);
  }
}

TEST_F(TeamStatsFileTest, TimesAndSharesFromTheLastMessagesOfBothTeams) {
  struct Expect {
    const char* column;
    const char* team1;
    const char* team2;
  };
  struct Case {
    const char* what;
    std::vector<Msg> messages;
    std::vector<Expect> fields;
  };
  const Case cases[] = {
      {"possession 1200.4 and 1799.6 s",
       {{kHome, msgPossessionTime, 1200.4f}, {kAway, msgPossessionTime, 1799.6f}},
       {{"timeinpossession", "1200", "1800"}, {"percentpossession", "40", "60"}}},
      {"12.5 goes to even, 87.5 too",
       {{kHome, msgPossessionTime, 100.0f}, {kAway, msgPossessionTime, 700.0f}},
       {{"percentpossession", "12", "88"}}},
      {"37.5 goes to even, 62.5 too",
       {{kHome, msgPossessionTime, 300.0f}, {kAway, msgPossessionTime, 500.0f}},
       {{"percentpossession", "38", "62"}}},
      {"territory is the other team's share of own-half time",
       {{kHome, msgOwnHalfTime, 1000.0f}, {kAway, msgOwnHalfTime, 3000.0f}},
       {{"timeinownhalf", "1000", "3000"}, {"percentterritory", "75", "25"}, {"percentpossession", "50", "50"}}},
      {"only the last message of a kind counts",
       {{kHome, msgPossessionTime, 500.0f}, {kAway, msgPossessionTime, 700.0f}, {kHome, msgPossessionTime, 100.0f},
        {kHome, msgRedZoneTime, 80.0f}, {kHome, msgRedZoneTime, 62.5f}, {kAway, msgMaulMetres, 9.0f},
        {kAway, msgMaulMetres, 3.5f}},
       {{"timeinpossession", "100", "700"}, {"percentpossession", "12", "88"}, {"redzonetime", "62", "0"},
        {"maulmeters", "0", "4"}}},
      {"one team's time alone takes the whole share",
       {{kAway, msgPossessionTime, 10.0f}},
       {{"percentpossession", "0", "100"}}},
      {"a third team's times feed both teams",
       {{kHome, msgPossessionTime, 300.0f}, {kAway, msgPossessionTime, 500.0f}, {999, msgPossessionTime, 100.0f},
        {999, msgOwnHalfTime, 400.0f}, {999, msgTackle, 0.0f}},
       {{"percentpossession", "75", "83"}, {"percentterritory", "100", "100"}, {"timeinownhalf", "0", "0"},
        {"tackles", "0", "0"}}},
  };
  for (const Case& c : cases) {
    SetUp();
    Post(c.messages);
    Pass();
    for (const Expect& e : c.fields) {
      EXPECT_EQ(Field(1, e.column), e.team1) << c.what << ": " << e.column;
      EXPECT_EQ(Field(2, e.column), e.team2) << c.what << ": " << e.column;
    }
  }
}

TEST_F(TeamStatsFileTest, OwnMessagesCountByTheirColumnRules) {
  struct Expect {
    const char* column;
    const char* value;
  };
  struct Case {
    const char* what;
    std::vector<Msg> messages;  // team 1's
    std::vector<Expect> fields;
  };
  const Case cases[] = {
      {"the score is counted from scoring messages",
       {{kHome, msgTry, 0}, {kHome, msgTry, 0}, {kHome, msgConversion, 0}, {kHome, msgPenGoal, 0},
        {kHome, msgDropGoal, 0}, {kHome, msgConvAttempt, 0}, {kHome, msgPenGoalAttempt, 0}},
       {{"score", "18"}, {"tries", "2"}, {"convsuccess", "1"}, {"pengoalsuccess", "1"}, {"dropgoalsuccess", "1"},
        {"convattempts", "1"}, {"pengoalattempts", "1"}}},
      {"rucks joined at 1.0 and 0.5 are first, at 1.5 not",
       {{kHome, msgRuckJoined, 1.0f}, {kHome, msgRuckJoined, 0.5f}, {kHome, msgRuckJoined, 1.5f}},
       {{"firsttoruck", "2"}}},
      {"lineout messages at 1.0 are the team's own, others defending",
       {{kHome, msgLineoutJump, 1.0f}, {kHome, msgLineoutJump, 0.0f}, {kHome, msgLineoutJump, 2.0f},
        {kHome, msgLineoutCleanTake, 1.4f}, {kHome, msgLineoutHandlingError, 2.0f}},
       {{"lineoutjumps", "1"}, {"lineoutjumpdef", "2"}, {"lineoutcleantakes", "1"}, {"lineoutcleantakesdef", "0"},
        {"lineouthandlingerr", "0"}, {"lineouthandlingerrdef", "1"}}},
      {"a scrum penalty is a penalty whatever its value",
       {{kHome, msgScrumPenalty, 1.0f}, {kHome, msgScrumPenalty, 2.0f}, {kHome, msgScrumPenalty, -7.0f}},
       {{"totpenalties", "3"}, {"scrumpenalties", "1"}, {"scrumpenaltiesdef", "2"}}},
      {"the penalty kinds count in their column and the total",
       {{kHome, msgPenHoldingOn, 0}, {kHome, msgPenOffside, 0}, {kHome, msgPenDangerousTackle, 0},
        {kHome, msgPenNotRollingAway, 0}, {kHome, msgPenMisconduct, 0}, {kHome, msgPenObstruction, 0},
        {kHome, msgPenHandsInRuck, 0}, {kHome, msgPenHandsInRuck, 0}},
       {{"penaltiesholdingon", "1"}, {"penaltiesoffside", "1"}, {"penaltiesdangeroustackle", "1"},
        {"penaltiesnotrollingaway", "1"}, {"penaltiesmisconduct", "1"}, {"penaltiesobstruction", "1"},
        {"penaltieshandsinruck", "2"}, {"totpenalties", "8"}}},
      {"hit-up metres are summed, then rounded half to even",
       {{kHome, msgHitUp, 2.25f}, {kHome, msgHitUp, 2.25f}},
       {{"hitups", "2"}, {"hitupmeters", "4"}}},
      {"substitutions and injuries are counts",
       {{kHome, msgSubstitution, 5.0f}, {kHome, msgSubstitution, 9.0f}, {kHome, msgInjury, 3.0f}},
       {{"substitutions", "2"}, {"injuries", "1"}}},
      {"only the first line-break stage counts",
       {{kHome, msgLineBreak, 0}, {kHome, msgLineBreak2, 0}, {kHome, msgLineBreak3, 0}, {kHome, msgLineBreak4, 0}},
       {{"linebreaks", "1"}}},
      {"team kinds and the remaining counts",
       {{kHome, msgAttackingRuck, 0}, {kHome, msgMaul, 0}, {kHome, msgCarryEnd, 0}, {kHome, msgPass, 0},
        {kHome, msgOffload, 0}, {kHome, msgGenPlayKick, 0}, {kHome, msgDropGoalAttempt, 0},
        {kHome, msgMissedTackle, 0}, {kHome, msgTackleBreak, 0}, {kHome, msgTurnover, 0},
        {kHome, msgYellowCard, 0}, {kHome, msgRedCard, 0}, {kHome, msgHandlingError, 0}, {kHome, msgMark, 0},
        {kHome, msgLineoutThrow, 0}, {kHome, msgLineoutNotStraight, 0}, {kHome, msgLineoutWon, 0},
        {kHome, msgLineoutStolen, 0}, {kHome, msgScrumFeed, 0}, {kHome, msgScrumWon, 0},
        {kHome, msgForwardPass, 0}, {kHome, msgDefenderBeaten, 0}, {kHome, msgPassHitTarget, 0},
        {kHome, msgInterceptThrown, 0}, {kHome, msgLineoutHitJumper, 0}, {kHome, msgTightheadWon, 0}},
       {{"attackingrucks", "1"}, {"mauls", "1"}, {"carries", "1"}, {"passes", "1"}, {"offloads", "1"},
        {"genplaykicks", "1"}, {"dropgoalattempts", "1"}, {"missedtackles", "1"}, {"tacklesbreaks", "1"},
        {"turnovers", "1"}, {"yellowcards", "1"}, {"redcards", "1"}, {"handlingerrors", "1"}, {"marks", "1"},
        {"lineoutthrows", "1"}, {"lineoutthrowsnotstraight", "1"}, {"lineoutswon", "1"},
        {"lineoutwonagainstthrow", "1"}, {"scrumfeeds", "1"}, {"scrumswon", "1"}, {"forwardpasses", "1"},
        {"defendersbeaten", "1"}, {"passeshittarget", "1"}, {"interceptsthrown", "1"},
        {"lineoutthrowhitjumper", "1"}, {"tackles", "0"}}},
  };
  for (const Case& c : cases) {
    SetUp();
    World.Teams[1].score = 3;  // the world's score is not read
    Post(kAway, msgTackle);     // the other team's
    Post(c.messages);
    Pass();
    for (const Expect& e : c.fields) EXPECT_EQ(Field(1, e.column), e.value) << c.what << ": " << e.column;
    EXPECT_EQ(Field(2, "tackles"), "1") << c.what;
    const std::vector<std::string> row2 = Split(Lines()[2]);
    for (const char* column : {"score", "tries", "totpenalties", "firsttoruck", "lineoutjumpdef", "hitups"})
      EXPECT_EQ(Field(2, column), "0") << c.what << ": team 2's " << column;
    ASSERT_EQ(row2.size(), 65u) << c.what;
  }
}

TEST_F(TeamStatsFileTest, RunningMetresAndTotminComeFromThePlayerPass) {
  results.RunningMetres[1] = -25536;
  results.RunningMetres[2] = 412;
  results.TimePlayedMax = 4800;
  Team(2).coachid = 40000;  // wider than 16 bits: written in full
  Pass();
  EXPECT_EQ(Field(1, "runningmeters"), "-25536");
  EXPECT_EQ(Field(2, "runningmeters"), "412");
  EXPECT_EQ(Field(1, "totmin"), "4800");
  EXPECT_EQ(Field(2, "totmin"), "4800");
  EXPECT_EQ(Field(1, "coachid"), "7");
  EXPECT_EQ(Field(2, "coachid"), "40000");
}

TEST_F(TeamStatsFileTest, FiguresHoldTheirColumnsAndTheTightheads) {
  // Team t posts n(t, i) messages of kind i, distinct per kind and team.
  const u8 kinds[] = {msgTackle, msgMissedTackle, msgTry, msgHandlingError, msgOffload, msgAttackingRuck,
                      msgTurnover, msgPenGoal, msgPenGoalAttempt, msgConversion, msgConvAttempt,
                      msgPenOffside, msgDropGoal, msgLineoutThrow, msgLineoutStolen, msgScrumFeed,
                      msgTightheadWon};
  for (int t = 1; t <= 2; ++t) {
    const i32 id = Team(t).teamid;
    int n = t;
    for (u8 kind : kinds) {
      for (int i = 0; i < n; ++i) Post(id, kind);
      ++n;
    }
    Post(id, msgPossessionTime, 100.0f * t);
    Post(id, msgOwnHalfTime, 300.0f * t);
    Post(id, msgRedZoneTime, 55.5f * t);
  }
  Pass();
  struct Figure {
    i16 TTeamFigures::*field;
    const char* column;
  };
  const Figure figures[] = {
      {&TTeamFigures::score, "score"},
      {&TTeamFigures::percentpossession, "percentpossession"},
      {&TTeamFigures::percentterritory, "percentterritory"},
      {&TTeamFigures::tackles, "tackles"},
      {&TTeamFigures::missedtackles, "missedtackles"},
      {&TTeamFigures::tries, "tries"},
      {&TTeamFigures::handlingerrors, "handlingerrors"},
      {&TTeamFigures::offloads, "offloads"},
      {&TTeamFigures::attackingrucks, "attackingrucks"},
      {&TTeamFigures::turnovers, "turnovers"},
      {&TTeamFigures::pengoalsuccess, "pengoalsuccess"},
      {&TTeamFigures::pengoalattempts, "pengoalattempts"},
      {&TTeamFigures::convsuccess, "convsuccess"},
      {&TTeamFigures::convattempts, "convattempts"},
      {&TTeamFigures::totpenalties, "totpenalties"},
      {&TTeamFigures::dropgoalsuccess, "dropgoalsuccess"},
      {&TTeamFigures::lineoutthrows, "lineoutthrows"},
      {&TTeamFigures::lineoutwonagainstthrow, "lineoutwonagainstthrow"},
      {&TTeamFigures::scrumfeeds, "scrumfeeds"},
      {&TTeamFigures::redzonetime, "redzonetime"},
  };
  for (int t = 1; t <= 2; ++t) {
    const TTeamFigures& f = MatchSummary.TeamFigures[t];
    for (const Figure& g : figures) EXPECT_EQ(std::to_string(f.*g.field), Field(t, g.column)) << t << " " << g.column;
    EXPECT_EQ(f.TightheadsWon, t + 16);
  }
  EXPECT_EQ(MatchSummary.TeamFigures[1].percentpossession, 33);
  EXPECT_EQ(MatchSummary.TeamFigures[2].redzonetime, 111);
  EXPECT_EQ(MatchSummary.TeamFigures[1].redzonetime, 56);
}

TEST_F(TeamStatsFileTest, MoreThanTwentyPenaltiesWarnAfterTheFile) {
  const std::vector<std::string> warning = {
      std::string(54, '/'),
      "//Possible excessive number of penalties bug",
      "//Possible excessive number of penalties bug",
      "//Possible excessive number of penalties bug",
      "//Possible excessive number of penalties bug",
      "//Possible excessive number of penalties bug",
      "//Possible excessive number of penalties bug",
      std::string(52, '/'),
  };
  struct Case {
    const char* what;
    int penalties1, penalties2;
    bool warns;
  };
  const Case cases[] = {
      {"team 1 with 21", 21, 20, true},
      {"team 2 with 21", 0, 21, true},
      {"both with 20", 20, 20, false},
  };
  for (const Case& c : cases) {
    SetUp();
    Form1.Memo2.Add("earlier line");
    for (int i = 0; i < c.penalties1; ++i) Post(kHome, i % 2 ? msgScrumPenalty : msgPenOffside);
    for (int i = 0; i < c.penalties2; ++i) Post(kAway, msgPenHandsInRuck);
    Pass();
    std::vector<std::string> expected = {"earlier line"};
    if (c.warns) expected.insert(expected.end(), warning.begin(), warning.end());
    EXPECT_EQ(Form1.Memo2.Lines, expected) << c.what;
    EXPECT_EQ(Lines().size(), 3u) << c.what;
    EXPECT_EQ(MatchSummary.TeamFigures[1].totpenalties, c.penalties1) << c.what;
    EXPECT_EQ(MatchSummary.TeamFigures[2].totpenalties, c.penalties2) << c.what;
  }
}

TEST_F(TeamStatsFileTest, AFileThatCannotBeCreatedRaisesAfterTeamOnesFigures) {
  std::filesystem::create_directories(run.Output("teamInternet_t1.csv"));
  for (int i = 0; i < 21; ++i) Post(kHome, msgPenOffside);
  Post(kHome, msgTry);
  Post(kAway, msgTry);
  EXPECT_THROW(WriteTeamStatsFile(results), EEngineError);
  EXPECT_EQ(MatchSummary.TeamFigures[1].score, 5);
  EXPECT_EQ(MatchSummary.TeamFigures[2].score, 0);  // stored only after the save
  EXPECT_EQ(Form1.Memo2.Count(), 0u);               // no warning without the file
}

}  // namespace

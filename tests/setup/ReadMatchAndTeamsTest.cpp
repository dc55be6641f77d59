#include "setup/ReadMatchAndTeams.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "RunFolder.h"
#include "core/EngineError.h"
#include "core/MatchStore.h"
#include "core/Random.h"
#include "core/RunContext.h"
#include "core/TypeDefs.h"
#include "core/WorldDefaults.h"
#include "platform/Form.h"

namespace {

// A CSV text of CR LF lines.
std::string Csv(std::initializer_list<const char*> lines) {
  std::string text;
  for (const char* line : lines) text += std::string(line) + "\r\n";
  return text;
}

class ReadMatchAndTeamsTest : public ::testing::Test {
 protected:
  RunFolder run{false};

  void SetUp() override {
    ExeDir = run.Dir();
    InitialiseWorld(World);
    MatchStore.MatchInfo = TMatchInfo{};
    Form1.Reset();
    AILevel = 750;
    GameSpeed = 0.085f;
    RandSeed = 20261210;
  }
  void WritePlayers(const std::string& text) const {
    run.Write("csvinput/internetinit/players.csv", text);
  }
  // Reads and returns the error text, or "" when reading succeeds.
  std::string ReadError() const {
    try {
      ReadMatchAndTeams();
    } catch (const EEngineError& e) {
      return e.what();
    }
    return "";
  }
  const TMatchInfo& Info() const { return MatchStore.MatchInfo; }
  std::string PlayersPath() const { return run.InputDir() + "players.csv"; }
};

TEST_F(ReadMatchAndTeamsTest, MatchPassRunsUntilAllFiveKeysHold) {
  WritePlayers(Csv({"teamid,kickoffteamid,stadiumid,matchtype,winnerifdrawteamid,crowd",
                    "11,11,,league,5,100",  // no stadium yet: on to the next row
                    "22,,S1,ranked,6,200",  // all five hold after this row
                    "33,,S2,ranked,7,300"}));
  ReadMatchAndTeams();
  EXPECT_EQ(Info().Team[1].teamid, 11);
  EXPECT_EQ(Info().Team[2].teamid, 22);  // the third row is never read
  EXPECT_EQ(Info().stadiumid, "S1");
  EXPECT_EQ(Info().matchtype, 1);  // decided by the first row
  EXPECT_EQ(Info().winnerifdrawteamid, 5);
  EXPECT_EQ(Info().crowd, 100);
  EXPECT_EQ(World.Teams[1].teamid, 11);
  EXPECT_EQ(World.Teams[2].teamid, 22);
}

TEST_F(ReadMatchAndTeamsTest, DefaultsOfKeysTheFileLacks) {
  WritePlayers(Csv({"teamid", "11", "22"}));
  ReadMatchAndTeams();
  EXPECT_EQ(Info().matchid, -1);
  EXPECT_EQ(Info().crowd, 0);
  EXPECT_EQ(Info().groundcapacity, 1);
  EXPECT_EQ(Info().matchtype, 65535);
  EXPECT_EQ(Info().winnerifdrawteamid, -1);
  EXPECT_EQ(Info().MatchFlags, "zzozz");
  EXPECT_EQ(Info().MatchFlags2, "zzzzz");
  for (const TTeamInfo& t : Info().Team) {
    EXPECT_EQ(t.TeamFlags, "zzzzz");
    ASSERT_EQ(t.stadlevel.len, 1);
    EXPECT_GE(t.stadlevel.s[0], '1');
    EXPECT_LE(t.stadlevel.s[0], '5');
  }
}

TEST_F(ReadMatchAndTeamsTest, HalfLengthTakesTheFirstPositiveValue) {
  struct Case {
    const char* first;
    const char* second;
    f32 seconds;
  };
  const Case cases[] = {{"0", "40", 2400.0f}, {"-5", "40", 2400.0f}, {"40", "30", 2400.0f},
                        {"", "35", 2100.0f},  {"0.5", "abc", 30.0f}};
  for (const Case& c : cases) {
    World.halflength = 0.0f;
    WritePlayers("teamid,halflength\r\n11," + std::string(c.first) + "\r\n22," + c.second + "\r\n");
    ReadMatchAndTeams();
    EXPECT_EQ(World.halflength, c.seconds) << c.first << " then " << c.second;
  }
  WritePlayers(Csv({"teamid,halflength", "11,forty", "22,40"}));
  EXPECT_NE(ReadError().find("'forty' is not a valid floating point value"), std::string::npos);
}

TEST_F(ReadMatchAndTeamsTest, InjuriesAreOffOnlyForTheExactWordFalse) {
  struct Case {
    const char* first;
    const char* second;
    bool32 on;
  };
  const Case cases[] = {{"False", "false", kTrue32}, {"false", "true", kFalse32},
                        {"", "false", kFalse32},     {"no", "false", kTrue32},
                        {" false", "", kTrue32}};
  for (const Case& c : cases) {
    World.injurieson = 12345;
    WritePlayers("teamid,injurieson\r\n11," + std::string(c.first) + "\r\n22," + c.second + "\r\n");
    ReadMatchAndTeams();
    EXPECT_EQ(World.injurieson, c.on) << c.first << " then " << c.second;
  }
}

TEST_F(ReadMatchAndTeamsTest, AILevelAndGameSpeedUseTheLow16Bits) {
  struct Case {
    const char* value;
    u16 level;
    f32 speed;
  };
  const Case cases[] = {{"1", 900, 0.08014286f},     {"65537", 900, 0.08014286f},
                        {"2", 750, 0.085f},          {"3", 550, 0.085f},
                        {"65539", 550, 0.085f},      {"0", 750, 0.085f},
                        {"-65535", 900, 0.08014286f}, {"7", 750, 0.085f}};
  for (const Case& c : cases) {
    AILevel = 1;
    GameSpeed = 1.0f;
    WritePlayers("teamid,ailevel,gamespeed\r\n11,,\r\n22," + std::string(c.value) + "," + c.value +
                 "\r\n33,1,1\r\n");
    ReadMatchAndTeams();
    EXPECT_EQ(AILevel, c.level) << c.value;
    EXPECT_EQ(GameSpeed, c.speed) << c.value;
  }
}

TEST_F(ReadMatchAndTeamsTest, MatchTypeAndWinnerAreDecidedByTheFirstRowWithTheColumn) {
  WritePlayers(Csv({"teamid,matchtype,winnerifdrawteamid", "11,,", "22,league,22"}));
  ReadMatchAndTeams();
  EXPECT_EQ(Info().matchtype, 0);
  EXPECT_EQ(Info().winnerifdrawteamid, 0);

  for (TMatchType t = 0; t <= 7; ++t) {
    const std::string word = MatchTypeWord(t);
    WritePlayers("teamid,matchtype\r\n11," + word + "\r\n22,league\r\n");
    ReadMatchAndTeams();
    EXPECT_EQ(Info().matchtype, t) << word;
  }
  WritePlayers(Csv({"teamid,matchtype", "11,League", "22,league"}));
  ReadMatchAndTeams();
  EXPECT_EQ(Info().matchtype, 0);
}

TEST_F(ReadMatchAndTeamsTest, SecondTeamIsTheLastOtherIdBeforeThePassStops) {
  WritePlayers(Csv({"teamid,crowd,matchid,groundcapacity", "11,0,-4,1", "22,,7,5000",
                    "11,900,8,6000", "33,,,"}));
  ReadMatchAndTeams();
  EXPECT_EQ(Info().Team[1].teamid, 11);
  EXPECT_EQ(Info().Team[2].teamid, 33);
  EXPECT_EQ(Info().crowd, 900);  // 0 and empty do not count as given
  EXPECT_EQ(Info().matchid, 7);  // -4 is negative, so the next row may give one
  EXPECT_EQ(Info().groundcapacity, 5000);
}

TEST_F(ReadMatchAndTeamsTest, TeamPassFillsEachSideFromItsFirstRow) {
  WritePlayers(Csv({"kickoffteamid,teamid,teamname,teamcity,homeaway,captainid,coachid,stadlevel,"
                    "jerseyid,custjersey,team_logo_file,coachfirstname,coachsurname",
                    "11,11,Alpha,Northby,home,101,9,3,12,red,alpha.png,Ann,Ash",
                    ",11,Alpha Two,Elsewhere,away,102,8,4,13,blue,x.png,Bo,Birch",
                    ",22,Beta Team With A Very Long Name,Southby,Home,,,,7,,beta.png,Cy,Cole"}));
  ReadMatchAndTeams();
  const TTeamInfo& a = Info().Team[1];
  EXPECT_EQ(a.teamname, "Alpha");
  EXPECT_EQ(a.teamcity, "Northby");
  EXPECT_EQ(a.homeaway, kTrue32);
  EXPECT_EQ(a.captainid, 101);
  EXPECT_EQ(a.coachid, 9);
  EXPECT_EQ(a.stadlevel, "3");
  EXPECT_EQ(a.jerseyid, "12");
  EXPECT_EQ(a.custjersey, "red");
  EXPECT_EQ(a.team_logo_file, "alpha.png");
  EXPECT_EQ(a.coachfirstname, "Ann");
  EXPECT_EQ(a.coachsurname, "Ash");
  const TTeamInfo& b = Info().Team[2];
  EXPECT_EQ(b.teamname, "Beta Team With A Very Lon");  // 25 characters kept
  EXPECT_EQ(b.homeaway, kFalse32);                    // only "home" counts
  EXPECT_EQ(b.captainid, 0);
  EXPECT_EQ(b.coachid, 0);
  EXPECT_EQ(b.stadlevel, "");  // an empty cell replaces the drawn level
  EXPECT_EQ(b.custjersey, "");
}

TEST_F(ReadMatchAndTeamsTest, KickOffTeamComesFirst) {
  const char* header = "teamid,teamname,kickoffteamid";
  WritePlayers(Csv({header, "11,Alpha,22", "22,Beta,"}));
  ReadMatchAndTeams();
  EXPECT_EQ(Info().Team[1].teamid, 22);
  EXPECT_EQ(Info().Team[1].teamname, "Beta");
  EXPECT_EQ(Info().Team[2].teamname, "Alpha");
  EXPECT_EQ(World.Teams[1].teamid, 22);
  EXPECT_EQ(World.Teams[2].teamid, 11);

  // The named first side: no swap and no draw beside the two stadium levels.
  WritePlayers(Csv({header, "11,Alpha,11", "22,Beta,"}));
  RandSeed = 777;
  RandomRange(1, 6);
  RandomRange(1, 6);
  const u32 afterLevels = RandSeed;
  RandSeed = 777;
  ReadMatchAndTeams();
  EXPECT_EQ(Info().Team[1].teamid, 11);
  EXPECT_EQ(World.Teams[1].teamid, 11);
  EXPECT_EQ(RandSeed, afterLevels);
}

TEST_F(ReadMatchAndTeamsTest, KickOffIsDrawnWhenTheFileNamesNeitherSide) {
  WritePlayers(Csv({"teamid,kickoffteamid", "11,99", "22,"}));
  int swaps = 0;
  for (u32 seed = 1; seed <= 40; ++seed) {
    RandSeed = seed;
    RandomRange(1, 6);
    RandomRange(1, 6);
    const bool expectSwap = RandomRange(1, 1001) < 500;
    const u32 after = RandSeed;
    RandSeed = seed;
    ReadMatchAndTeams();
    EXPECT_EQ(Info().Team[1].teamid, expectSwap ? 22 : 11) << seed;
    EXPECT_EQ(RandSeed, after) << seed;
    swaps += expectSwap;
  }
  EXPECT_GT(swaps, 0);
  EXPECT_LT(swaps, 40);
}

TEST_F(ReadMatchAndTeamsTest, YouthAcademySideInAnAcademyMatch) {
  struct Case {
    const char* matchtype;
    const char* secondName;
    const char* flags;
    const char* secondJersey;
  };
  const Case cases[] = {{"academy", "Youth Academy", "nzozz", "0"},
                        {"league", "Youth Academy", "zzozz", "9"},
                        {"academy", "youth academy", "zzozz", "9"}};
  for (const Case& c : cases) {
    WritePlayers("teamid,teamname,matchtype,jerseyid,kickoffteamid\r\n11,Alpha," +
                 std::string(c.matchtype) + ",4,11\r\n22," + c.secondName + ",,9,\r\n");
    ReadMatchAndTeams();
    EXPECT_EQ(Info().MatchFlags, c.flags) << c.matchtype << " " << c.secondName;
    EXPECT_EQ(Info().MatchFlags2, "zzzzz");
    EXPECT_EQ(Info().Team[2].jerseyid, c.secondJersey) << c.matchtype << " " << c.secondName;
    EXPECT_EQ(Info().Team[1].jerseyid, "4");
  }
}

TEST_F(ReadMatchAndTeamsTest, TrailingCommaLeavesTheLastValueUnconvertible) {
  WritePlayers(Csv({"teamid,crowd,matchid", "11,500,77,", "22,,"}));
  EXPECT_EQ(ReadError(),
            PlayersPath() + ", line 2, column \"matchid\": '77,' is not a valid integer value");
  // What was read before the bad value stays.
  EXPECT_EQ(Info().crowd, 500);
}

TEST_F(ReadMatchAndTeamsTest, EmptyTeamIdIsAConversionErrorWhereTheRulesConvertIt) {
  WritePlayers(Csv({"teamid,crowd", ",5", "22,"}));
  EXPECT_EQ(ReadError(), PlayersPath() + ", line 2, column \"teamid\": '' is not a valid integer value");
  // The team pass converts every row's id: an empty one after both sides are known.
  WritePlayers(Csv({"teamid,stadiumid,matchtype,winnerifdrawteamid", "11,S,league,0", ",,,",
                    "22,,,"}));
  EXPECT_EQ(ReadError(), PlayersPath() + ", line 3, column \"teamid\": '' is not a valid integer value");
}

TEST_F(ReadMatchAndTeamsTest, PlayersFileWithoutTwoTeamsIsAStartUpError) {
  WritePlayers(Csv({"teamid,crowd"}));
  EXPECT_EQ(ReadError(), PlayersPath() + ": the file has a header but no data row");
  WritePlayers(Csv({"teamid,crowd", "11,5", "11,6"}));
  EXPECT_NE(ReadError().find("fewer than two teams"), std::string::npos);
  WritePlayers(Csv({"crowd", "5"}));
  EXPECT_NE(ReadError().find("fewer than two teams"), std::string::npos);
  WritePlayers("");
  EXPECT_NE(ReadError().find("no header"), std::string::npos);
  run.Remove("csvinput/internetinit/players.csv");
  EXPECT_EQ(ReadError(), "Cannot open file " + PlayersPath());
}

TEST_F(ReadMatchAndTeamsTest, FileIDGivesTheOutputSuffix) {
  WritePlayers(Csv({"teamid", "11", "22"}));
  FileID = "stale";
  FileSuffix = "_stale";
  ReadMatchAndTeams();
  EXPECT_EQ(FileID, "");
  EXPECT_EQ(FileSuffix, "");
  EXPECT_EQ(Form1.Memo3.Lines, std::vector<std::string>{"Memo3"});

  run.Write("csvinput/internetinit/fileID.txt", "run42\r\nsecond line\r\n");
  ReadMatchAndTeams();
  EXPECT_EQ(FileID, "run42");
  EXPECT_EQ(FileSuffix, "_run42");
  EXPECT_EQ(Form1.Memo3.Lines.back(), "run42");

  run.Write("csvinput/internetinit/fileID.txt", "");
  ReadMatchAndTeams();
  EXPECT_EQ(FileID, "");
  EXPECT_EQ(FileSuffix, "");
}

TEST_F(ReadMatchAndTeamsTest, IdentifierThatCannotNameAnOutputFileIsAStartUpError) {
  WritePlayers(Csv({"teamid", "11", "22"}));
  run.Write("csvinput/internetinit/fileID.txt", std::string(200, 'a') + "\r\n");
  ReadMatchAndTeams();
  EXPECT_EQ(FileID.size(), 200u);
  for (const std::string& id : {std::string("../elsewhere"), std::string("a/b"), std::string("a\\b"),
                               std::string("tab\there"), std::string(201, 'a')}) {
    run.Write("csvinput/internetinit/fileID.txt", id + "\r\n");
    try {
      ReadMatchAndTeams();
      ADD_FAILURE() << "accepted " << id;
    } catch (const EEngineError& e) {
      const std::string what = e.what();
      EXPECT_NE(what.find("fileID.txt"), std::string::npos) << what;
      EXPECT_NE(what.find("line 1"), std::string::npos) << what;
    }
    EXPECT_EQ(FileSuffix, "") << id;
  }
}

}  // namespace

#include "setup/ReadFieldStrategies.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "RunFolder.h"
#include "core/EngineError.h"
#include "core/MatchStore.h"
#include "core/Random.h"
#include "core/RunContext.h"
#include "core/StrategyShapes.h"
#include "core/WorldDefaults.h"
#include "setup/ReadMatchAndTeams.h"

namespace {

std::string Csv(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

const char* const kHeader = "teamid,strategytype1,strategytype2,rect0.22,rect0.5,rect1.0";

class ReadFieldStrategiesTest : public ::testing::Test {
 protected:
  RunFolder run{false};

  void SetUp() override {
    ExeDir = run.Dir();
    InitialiseWorld(World);
    BuildDefaultFieldZones();
    MatchStore.MatchInfo = TMatchInfo{};
    MatchStore.MatchInfo.Team[1].teamid = 11;
    MatchStore.MatchInfo.Team[2].teamid = 22;
  }
  void WriteStrategies(const std::string& text) const {
    run.Write("csvinput/internetinit/fieldstrat.csv", text);
  }
  std::string ReadError() const {
    try {
      ReadFieldStrategies();
    } catch (const EEngineError& e) {
      return e.what();
    }
    return "";
  }
  std::string Path() const { return run.InputDir() + "fieldstrat.csv"; }
  static TFieldStrategyHalf& Half(int team, bool catchUp) {
    return catchUp ? FieldStrategy[team].CatchUp : FieldStrategy[team].Normal;
  }
  // The first n weights of a zone row.
  static std::vector<i16> Row(const TFieldStrategyHalf& h, int family, int zone) {
    std::vector<i16> row;
    for (int j = 1; j <= h.Families[family].OptionCount; ++j) row.push_back(h.Families[family].Weights[zone][j]);
    return row;
  }
};

TEST_F(ReadFieldStrategiesTest, ZoneColumnsLayTheZonesOutAlongThePitch) {
  WriteStrategies(Csv({kHeader}));
  ReadFieldStrategies();
  const f32 z[4] = {-60, -28, 0, 60};
  for (int team = 1; team <= 2; ++team) {
    for (bool catchUp : {false, true}) {
      const TFieldStrategyHalf& h = Half(team, catchUp);
      ASSERT_EQ(h.ZoneCount, 3);
      for (int k = 1; k <= 3; ++k) {
        EXPECT_EQ(h.Zones[k].z1, z[k - 1]) << team << catchUp << k;
        EXPECT_EQ(h.Zones[k].z2, z[k]) << team << catchUp << k;
        EXPECT_EQ(h.Zones[k].x1, -35.0f);
        EXPECT_EQ(h.Zones[k].x2, 35.0f);
      }
    }
  }
  // Zones past the twelve defaults have no width; no zone column, no zones.
  std::string header = "teamid";
  for (int k = 1; k <= 13; ++k) header += ",rect" + std::to_string(k / 13.0);
  WriteStrategies(Csv({header}));
  ReadFieldStrategies();
  EXPECT_EQ(FieldStrategy[2].CatchUp.ZoneCount, 13);
  EXPECT_EQ(FieldStrategy[2].CatchUp.Zones[13].x1, 0.0f);
  EXPECT_EQ(FieldStrategy[2].CatchUp.Zones[13].x2, 0.0f);
  EXPECT_EQ(FieldStrategy[2].CatchUp.Zones[13].z2, 60.0f);
  WriteStrategies(Csv({"teamid,strategytype1,strategytype2,Rect0.5"}));
  ReadFieldStrategies();
  EXPECT_EQ(FieldStrategy[1].Normal.ZoneCount, 0);
}

TEST_F(ReadFieldStrategiesTest, RowsFillTheirTeamAndHalfThenEveryRowIsNormalised) {
  WriteStrategies(Csv({kHeader,
                       "11,kick return run,normal,2,0,2.5",
                       "11,kick return attacking kick,normal,1,0,1.5",
                       "11,kick return defensive kick,normal,1,0,0",
                       ",kick return run,catchup,5,5,5",           // no id: team 2
                       "99,kick return run,normal,0,7,0",          // another id: team 2
                       "11,kick return run,Normal,9,9,9",          // no such half
                       "11,run secure pos,normal,1,1,1",
                       "11,drop goal,normal,3,3,3"}));
  ReadFieldStrategies();
  const TFieldStrategyHalf& t1 = Half(1, false);
  using W = std::vector<i16>;
  EXPECT_EQ(Row(t1, 2, 1), (W{500, 250, 250}));
  EXPECT_EQ(Row(t1, 2, 2), (W{333, 333, 333}));
  EXPECT_EQ(Row(t1, 2, 3), (W{500, 500, 0}));  // 2.5 and 1.5 both round to 2
  EXPECT_EQ(Row(t1, 2, 4), (W{333, 333, 333}));  // zones the file does not have
  EXPECT_EQ(Row(Half(1, true), 2, 1), (W{333, 333, 333}));
  EXPECT_EQ(Row(Half(2, true), 2, 2), (W{1000, 0, 0}));
  EXPECT_EQ(Row(Half(2, false), 2, 2), (W{1000, 0, 0}));
  EXPECT_EQ(Row(Half(2, false), 2, 1), (W{333, 333, 333}));
  // General play: the file's values replace single defaults, then the row is
  // normalised again; zones the file does not have keep the defaults.
  EXPECT_EQ(Row(t1, 1, 1), (W{2, 602, 181, 181, 30, 5}));  // from 1, 377, 113, 113, 19, 3
  EXPECT_EQ(Row(t1, 1, 5), (W{377, 377, 113, 113, 19, 0}));
  EXPECT_EQ(Row(Half(2, false), 1, 1), (W{377, 377, 113, 113, 19, 0}));
  for (int f = 3; f <= 5; ++f) {
    const W even = f == 3 ? W{250, 250, 250, 250} : W{333, 333, 333};
    for (int team = 1; team <= 2; ++team) EXPECT_EQ(Row(Half(team, true), f, 30), even) << f;
  }
}

TEST_F(ReadFieldStrategiesTest, SettingsByWordPerZone) {
  WriteStrategies(Csv({kHeader,
                       "11,backlinedepth,normal,flat,deep,wide",
                       "11,linespeed,normal,Fast,fast,standard",
                       "11,rucknumattack,normal,low,medium,HIGH",
                       "11,rucknumdef,catchup,high,low,medium",
                       "22,backlinedepth,catchup,standard,flat,deep",
                       "22,linespeed,catchup,slow,standard,",
                       "11,backlinedepth,nomal,deep,deep,deep"}));
  ReadFieldStrategies();
  const TFieldStrategyHalf& t1 = Half(1, false);
  EXPECT_EQ(t1.OpenPlayStrategy[1], 1.0f);
  EXPECT_EQ(t1.SetPlayStrategy[1], 4.0f);
  EXPECT_EQ(t1.OpenPlayStrategy[2], 3.0f);
  EXPECT_EQ(t1.SetPlayStrategy[2], 6.0f);
  // An unknown word, and zones no row names, keep a valid default shape.
  EXPECT_EQ(t1.OpenPlayStrategy[3], 2.0f);
  EXPECT_EQ(t1.SetPlayStrategy[3], 5.0f);
  EXPECT_EQ(Half(1, true).OpenPlayStrategy[1], 2.0f);
  EXPECT_EQ(t1.LineSpeed[1], 1.0f);  // any word but the three sets slow
  EXPECT_EQ(t1.LineSpeed[2], 3.0f);
  EXPECT_EQ(t1.LineSpeed[3], 2.0f);
  EXPECT_EQ(Half(1, true).LineSpeed[1], 0.0f);
  EXPECT_EQ(t1.RuckNumAttack[1], 0.0f);
  EXPECT_EQ(t1.RuckNumAttack[2], 1.0f);
  EXPECT_EQ(t1.RuckNumAttack[3], 0.0f);  // unknown word: unchanged
  const TFieldStrategyHalf& t1c = Half(1, true);
  EXPECT_EQ(t1c.RuckNumDef[1], 2.0f);
  EXPECT_EQ(t1c.RuckNumDef[2], 0.0f);
  EXPECT_EQ(t1c.RuckNumDef[3], 1.0f);
  const TFieldStrategyHalf& t2c = Half(2, true);
  EXPECT_EQ(t2c.SetPlayStrategy[1], 5.0f);
  EXPECT_EQ(t2c.OpenPlayStrategy[2], 1.0f);
  EXPECT_EQ(t2c.SetPlayStrategy[3], 6.0f);
  EXPECT_EQ(t2c.LineSpeed[1], 1.0f);
  EXPECT_EQ(t2c.LineSpeed[2], 2.0f);
  EXPECT_EQ(t2c.LineSpeed[3], 1.0f);
  EXPECT_EQ(Half(2, false).OpenPlayStrategy[1], 2.0f);
}

TEST_F(ReadFieldStrategiesTest, MalformedFilesAreErrorsNamingTheirPlace) {
  struct Case {
    std::vector<std::string> lines;
    std::string error;
  };
  const std::string h = kHeader;
  const Case cases[] = {
      {{"teamid,strategytype1,strategytype2,rect0.5,rectx"},
       ", line 1, column \"rectx\": 'x' is not a valid floating point value"},
      {{h, "11,dropout long,normal,1,x,1"},
       ", line 2, column \"rect0.5\": 'x' is not a valid floating point value"},
      // Option cells convert whatever the half.
      {{h, "11,dropout long,neither,1,,1"},
       ", line 2, column \"rect0.5\": '' is not a valid floating point value"},
      {{h, "1x,linespeed,normal,fast,fast,fast"},
       ", line 2, column \"teamid\": '1x' is not a valid integer value"},
      {{h, "11,kickoff short,normal,1,-2,1"},
       ", line 2, column \"rect0.5\": '-2' is not a valid option weight (0 to 32767)"},
      {{h, "11,kickoff short,normal,1,1,40000"},
       ", line 2, column \"rect1.0\": '40000' is not a valid option weight (0 to 32767)"},
      {{h, "11,penalty scrum,catchup,1,20000,1", "22,penalty scrum,catchup,1,20000,1",
        "11,penalty tap kick,catchup,1,20000,1"},
       ", line 4, column \"rect0.5\": the weights of this zone add up to 40000, more than 32767"},
  };
  for (const Case& c : cases) {
    std::string text;
    for (const std::string& line : c.lines) text += line + "\r\n";
    WriteStrategies(text);
    BuildDefaultFieldZones();
    EXPECT_EQ(ReadError(), Path() + c.error);
  }
  std::string wide = "teamid";
  for (int k = 1; k <= 31; ++k) wide += ",rect" + std::to_string(k / 31.0);
  WriteStrategies(Csv({wide}));
  EXPECT_EQ(ReadError(), Path() + ", line 1: the header has 31 zone columns (\"rect...\"), at most 30 are allowed");
  run.Remove("csvinput/internetinit/fieldstrat.csv");
  EXPECT_EQ(ReadError(), "Cannot open file " + Path());
}

TEST_F(ReadFieldStrategiesTest, LargestWeightsThatFitAreRead) {
  WriteStrategies(Csv({kHeader, "11,kickoff short,normal,32767,16383,0",
                       "11,kickoff long,normal,0,16384,0"}));
  ReadFieldStrategies();
  using W = std::vector<i16>;
  EXPECT_EQ(Row(Half(1, false), 4, 1), (W{1000, 0, 0}));
  EXPECT_EQ(Row(Half(1, false), 4, 2), (W{500, 0, 500}));
}

TEST_F(ReadFieldStrategiesTest, ExampleInputReadsWithEveryZoneFilled) {
  RunFolder example;
  ExeDir = example.Dir();
  RandSeed = 1;
  ReadMatchAndTeams();
  ReadFieldStrategies();
  for (int team = 1; team <= 2; ++team) {
    for (bool catchUp : {false, true}) {
      const TFieldStrategyHalf& h = Half(team, catchUp);
      ASSERT_EQ(h.ZoneCount, 8);
      EXPECT_EQ(h.Zones[1].z1, -60.0f);
      EXPECT_EQ(h.Zones[8].z2, 60.0f);
      for (int k = 1; k <= 8; ++k) {
        EXPECT_LT(h.Zones[k].z1, h.Zones[k].z2) << k;
        for (int f = 1; f <= 5; ++f) {
          int sum = 0;
          for (i16 w : Row(h, f, k)) sum += w;
          EXPECT_NEAR(sum, 1000, 3) << team << catchUp << " family " << f << " zone " << k;
        }
        EXPECT_GE(h.OpenPlayStrategy[k], 1.0f);
        EXPECT_LE(h.OpenPlayStrategy[k], 3.0f);
        EXPECT_EQ(h.SetPlayStrategy[k], h.OpenPlayStrategy[k] + 3.0f);
        EXPECT_GE(h.LineSpeed[k], 1.0f);
        EXPECT_LE(h.RuckNumAttack[k], 2.0f);
      }
    }
  }
  // The two teams' strategies differ, so each row went to its own team.
  EXPECT_NE(Row(Half(1, false), 1, 1), Row(Half(2, false), 1, 1));
}

}  // namespace

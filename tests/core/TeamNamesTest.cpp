#include "core/TeamNames.h"

#include <gtest/gtest.h>

#include <string>

#include "core/MatchStore.h"

namespace {

TEST(TeamNamesTest, StockNamesMatchExactly) {
  EXPECT_TRUE(IsStockTeamName("Emberfoxes"));
  EXPECT_TRUE(IsStockTeamName("Salt Herons"));
  EXPECT_TRUE(IsStockTeamName("Alderstoats"));      // first
  EXPECT_TRUE(IsStockTeamName("Zephyrkestrels"));   // last
  EXPECT_FALSE(IsStockTeamName("emberfoxes"));      // letter case counts
  EXPECT_FALSE(IsStockTeamName("Emberfoxes "));     // whole string
  EXPECT_FALSE(IsStockTeamName("Ember"));
  EXPECT_FALSE(IsStockTeamName(""));
  EXPECT_FALSE(IsStockTeamName("Youth Academy"));
}

class CompetitionNameTest : public ::testing::Test {
 protected:
  void SetUp() override { MatchStore.MatchInfo = TMatchInfo{}; }
  std::string Name(i16 kind) const {
    std::string text = "stale";
    CompetitionName(kind, text);
    return text;
  }
  void Teams(const char* a, const char* b) {
    MatchStore.MatchInfo.Team[1].teamname.Assign(a);
    MatchStore.MatchInfo.Team[2].teamname.Assign(b);
  }
};

TEST_F(CompetitionNameTest, KindOneIsTheMatchTypeWord) {
  const char* const words[] = {"none",          "league", "leaguesemi", "leaguefinal",
                               "leaguefinalgf", "ranked", "academy",    "forumshield"};
  for (u16 t = 0; t <= 7; ++t) {
    MatchStore.MatchInfo.matchtype = t;
    EXPECT_EQ(Name(1), words[t]) << t;
  }
  for (u16 t : {8, 100, 65535}) {
    MatchStore.MatchInfo.matchtype = t;
    EXPECT_EQ(Name(1), "none") << t;
  }
}

TEST_F(CompetitionNameTest, KindTwoTellsInternationalAndAllStarMatches) {
  Teams("", "");
  EXPECT_EQ(Name(2), "international");
  MatchStore.MatchInfo.leaguelogostring.Assign("Logo_KestrelVase");
  EXPECT_EQ(Name(2), "");  // a club competition: empty, not "none"
  MatchStore.MatchInfo.leaguelogostring.Assign("Logo_kestrelvase");
  EXPECT_EQ(Name(2), "international");
  Teams("All Stars", "All Stars");
  EXPECT_EQ(Name(2), "allstars");
  Teams("All Stars", "Emberfoxes");
  EXPECT_EQ(Name(2), "none");
  Teams("", "Emberfoxes");
  EXPECT_EQ(Name(2), "none");
}

TEST_F(CompetitionNameTest, OtherKindsAreNone) {
  Teams("", "");
  MatchStore.MatchInfo.matchtype = 1;
  for (i16 kind : {0, 3, 4, -1}) EXPECT_EQ(Name(kind), "none") << kind;
}

}  // namespace

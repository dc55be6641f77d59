#include "output/ScoutReport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/DrawCount.h"
#include "core/FloatFlags.h"
#include "core/MatchStats.h"
#include "core/MatchStore.h"
#include "core/TypeDefs.h"
#include "output/MatchSummary.h"

namespace {

constexpr i32 kHome = 101;
constexpr i32 kAway = 202;
constexpr u32 kSeed = 4711;

class ScoutReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MatchStore.MatchInfo = TMatchInfo{};
    MatchStore.MessageCountCopy = 0;
    MatchStats = TMatchStats{};
    MatchSummary = TMatchSummary{};
    MatchStore.MatchInfo.matchtype = mtAcademy;
    Team(1).teamid = kHome;
    Team(1).teamname.Assign("Youth Academy");
    Team(2).teamid = kAway;
    Team(2).teamname.Assign("Rams");
    for (int t = 1; t <= 2; ++t)
      for (int k = 1; k <= 25; ++k) {
        Team(t).Squad[k].playerid = t * 1000 + k;
        Team(t).Squad[k].jerseynum = static_cast<i16>(k + 30);
        MatchStats.PlayerStats[t][k].speed = 60.0f;
        MatchStats.PlayerStats[t][k].fitness = 70.0f;
      }
    RandSeed = kSeed;
    std::feclearexcept(FE_ALL_EXCEPT);
  }
  static TTeamInfo& Team(int t) { return MatchStore.MatchInfo.Team[t]; }
  static void Played(i32 teamID, i32 playerID, f32 seconds) {
    const int n = ++MatchStore.MessageCountCopy;
    MatchStore.Messages[n] = TMatchMessage{teamID, playerID, 1.0f, msgTimePlayed, seconds};
  }
  // Runs the report from `seed`; returns the number of draws.
  static int Report(u32 seed = kSeed) {
    RandSeed = seed;
    WriteScoutReport();
    EXPECT_FALSE(FloatErrorRaised());
    return DrawsSince(seed);
  }
  static void ExpectUnestimated(const TScoutEntry& e, const std::string& what) {
    for (i16 v : {e.speed, e.acceleration, e.awareness, e.discipline, e.fitness, e.tackling, e.agility,
                  e.elusiveness, e.fend, e.breaktackle, e.strength, e.handling, e.highball, e.lineoutjumping,
                  e.lineoutthrow, e.rucking, e.scrummaging, e.passing, e.kicking, e.goalkicking, e.finesse,
                  e.injury, e.offloads, e.leadership})
      EXPECT_EQ(v, -1) << what;
  }
};

TEST_F(ScoutReportTest, OtherMatchTypesLeaveTheReportAndDrawNothing) {
  for (TMatchType type : {mtLeague, mtRanked, mtNotGiven}) {
    SetUp();
    MatchStore.MatchInfo.matchtype = type;
    Played(kHome, 1001, 600.0f);
    EXPECT_EQ(Report(), 0) << type;
    const TMatchSummary zero{};
    EXPECT_EQ(std::memcmp(&MatchSummary.ScoutReport, &zero.ScoutReport, sizeof zero.ScoutReport), 0) << type;
  }
}

TEST_F(ScoutReportTest, OnlyExactlyYouthAcademyAsTeamOneIsScouted) {
  struct Case {
    const char* name;
    i32 scouted;
  };
  const Case cases[] = {
      {"Youth Academy", kHome}, {"youth academy", kAway}, {"Youth Academy ", kAway}, {"Gulls", kAway}};
  for (const Case& c : cases) {
    SetUp();
    Team(1).teamname.Assign(c.name);
    Team(2).teamname.Assign("Youth Academy");
    EXPECT_EQ(Report(), 0) << c.name;  // nobody played
    const i32 t = c.scouted == kHome ? 1 : 2;
    for (int k = 1; k <= 22; ++k) {
      const TScoutEntry& e = MatchSummary.ScoutReport[k];
      EXPECT_EQ(e.teamid, c.scouted) << c.name;
      EXPECT_EQ(e.playerid, t * 1000 + k) << c.name;
      EXPECT_EQ(e.jerseynum, k + 30) << c.name;
      ExpectUnestimated(e, c.name);
    }
  }
}

TEST_F(ScoutReportTest, OnlyPlayersWhoTookTheFieldAreDrawnFor) {
  Team(1).Squad[4].playerid = 0;  // an empty slot
  Team(1).Squad[4].jerseynum = 12;
  MatchSummary.ScoutReport[23].speed = 77;  // entries 23 to 25 are not reset
  MatchSummary.ScoutReport[23].teamid = 5;
  Played(kHome, 1002, 0.4f);   // rounds to 0
  Played(kHome, 1003, 0.5f);   // rounds to 0 (even)
  Played(kAway, 1005, 900.0f);  // another team's message
  Played(kHome, 0, 900.0f);     // the empty slot's id
  EXPECT_EQ(Report(), 0);
  const TScoutEntry& empty = MatchSummary.ScoutReport[4];
  EXPECT_EQ(empty.teamid, kHome);
  EXPECT_EQ(empty.playerid, 0);
  EXPECT_EQ(empty.jerseynum, 12);
  ExpectUnestimated(empty, "empty slot");
  ExpectUnestimated(MatchSummary.ScoutReport[2], "0.4 s");
  EXPECT_EQ(MatchSummary.ScoutReport[2].playerid, 1002);
  EXPECT_EQ(MatchSummary.ScoutReport[23].speed, 77);
  EXPECT_EQ(MatchSummary.ScoutReport[23].teamid, 5);

  // 0.6 s is played: 48 draws; a bench slot beyond the report draws too.
  Played(kHome, 1002, 0.6f);
  Played(kHome, 1023, 300.0f);
  EXPECT_EQ(Report(), 96);
}

TEST_F(ScoutReportTest, AnEstimateIsTheRoundedRatingPlusErrorWithinOneTo99) {
  struct Case {
    f32 rating;
    i32 error;
    i32 chance;  // 0: any chance up to 190
    i16 estimate;
  };
  const Case cases[] = {
      {99.6f, 2, 0, 99},  {0.4f, -2, 0, 1},  {50.5f, 0, 0, 50}, {51.5f, 0, 0, 52},
      {60.0f, 1, 190, 61}, {60.0f, 1, 191, -1}, {60.0f, -1, 1, 59}, {60.0f, 2, 1000, -1},
  };
  for (const Case& c : cases) {
    SetUp();
    MatchStats.PlayerStats[1][7].speed = c.rating;
    Played(kHome, 1007, 1200.0f);
    const u32 seed = SeedWhere([&] {
      const i32 d = RandomRange(-2, 3);
      const i32 r = RandomRange(1, 1001);
      return d == c.error && (c.chance ? r == c.chance : r <= 190);
    });
    EXPECT_EQ(Report(seed), 48) << c.rating;
    EXPECT_EQ(MatchSummary.ScoutReport[7].speed, c.estimate) << c.rating << " " << c.error << " " << c.chance;
  }
}

TEST_F(ScoutReportTest, DrawsGoRatingByRatingThenSlotBySlot) {
  // Two players: the first pair of draws is slot 2's speed, the second slot
  // 23's speed (beyond the report, still estimated).
  Played(kHome, 1002, 60.0f);
  Played(kHome, 1023, 60.0f);
  u32 seed = SeedWhere([] {
    const i32 d1 = RandomRange(-2, 3);
    const i32 r1 = RandomRange(1, 1001);
    const i32 d2 = RandomRange(-2, 3);
    const i32 r2 = RandomRange(1, 1001);
    return d1 == 0 && r1 <= 190 && d2 == 1 && r2 <= 190;
  });
  EXPECT_EQ(Report(seed), 96);
  EXPECT_EQ(MatchSummary.ScoutReport[2].speed, 60);
  EXPECT_EQ(MatchSummary.ScoutReport[23].speed, 61);

  // One player: the third pair is fitness (after speed and acceleration),
  // not awareness as in the entry's order.
  SetUp();
  Played(kHome, 1009, 60.0f);
  seed = SeedWhere([] {
    bool ok = true;
    for (int pair = 1; pair <= 7; ++pair) {
      const i32 d = RandomRange(-2, 3);
      const i32 r = RandomRange(1, 1001);
      ok = ok && (pair == 3 ? d == -2 && r <= 190 : r > 190);
    }
    return ok;
  });
  EXPECT_EQ(Report(seed), 48);
  const TScoutEntry& e = MatchSummary.ScoutReport[9];
  EXPECT_EQ(e.fitness, 68);
  for (i16 v : {e.speed, e.acceleration, e.agility, e.strength, e.injury, e.awareness}) EXPECT_EQ(v, -1);
}

}  // namespace

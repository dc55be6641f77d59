#include "output/WebSubmission.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <string>
#include <vector>

#include "core/MatchStats.h"
#include "core/MatchStore.h"
#include "output/CsvFields.h"
#include "output/MatchSummary.h"

namespace {

TEST(ScrambleStatValueTest, EncodesByTheRowOfB) {
  const struct {
    i32 value, a, b, encoded;
    const char* what;
  } cases[] = {
      {7, 45, 1, 399, "row 1: offset 78 + 8 + 5 + 5 + 15 + 30 + 5 = 146; 4 x 7 + 5 x 45 + 146"},
      {-2, 50, 5, 118, "row 5, a negative value: -14 + 100 + 32"},
      {0, 100, 11, 240, "A 100 takes the base alone"},
      {0, 99, 12, 248, "A 99 adds the first increment"},
      {0, 9, 13, 283, "A 9 adds all ten increments (225)"},
      {5, 50, 15, 230, "B 15 uses the default row: 5 + 100 + 40 + 85"},
      {5, 50, 0, 230, "B 0 uses the default row too"},
      {0, 89, 3, 189, "row 3: A 89 adds 1 and a zero increment"},
      {0, 79, 3, 169, "row 3: A 79 adds one more zero increment"},
      {10, 1, 7, 306, "row 7, A 1: every increment, 101 + 173 + 2 + 30"},
  };
  for (const auto& c : cases) EXPECT_EQ(ScrambleStatValue(c.value, c.a, c.b, true), c.encoded) << c.what;
  EXPECT_EQ(ScrambleStatValue(399, 45, 1, false), 7);
  EXPECT_EQ(ScrambleStatValue(118, 50, 5, false), -2);
}

TEST(ScrambleStatValueTest, DecodingAnEncodingGivesTheValueInEveryRow) {
  for (i32 b = 0; b <= 16; ++b)
    for (i32 a = 1; a <= 100; ++a)
      for (const i32 v : {-100, -1, 0, 1, 37, 100, 5000}) {
        const i32 e = ScrambleStatValue(v, a, b, true);
        ASSERT_EQ(ScrambleStatValue(e, a, b, false), v) << "B " << b << " A " << a << " value " << v;
      }
}

// The 96 values of a submission line, numbered from 1 as the line's table
// numbers them.
struct Fields {
  std::vector<std::string> f;
  const std::string& operator[](int k) const { return f[static_cast<size_t>(k - 1)]; }
};

class SubmissionLineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MatchStore.MatchInfo = TMatchInfo{};
    MatchStats = TMatchStats{};
    MatchSummary = TMatchSummary{};
    MatchSummary.MatchDay = 10;
    MatchSummary.MatchMonth = 12;
    MatchSummary.MatchYear = 2026;
    for (int t = 1; t <= 2; ++t)
      for (int s = 1; s <= 25; ++s) {
        TPlayerSummary& p = MatchSummary.Players[t][s];
        p.playerid = t * 1000 + s;
        p.firstname.Assign("Ann");
        p.surname.Assign("Lee");
        p.teamid = 40 + t;
        p.teamcity.Assign("Town");
        p.homeaway = t == 1 ? kTrue32 : kFalse32;
        p.Age = 23;
        p.startinglineupindex = static_cast<i16>(s);
        p.PositionRating = 77;
        p.OppTeamRating = 65;
        p.CompetitionKind1.Assign("league");
        p.CompetitionKind2.Assign("none");
        p.CompetitionKind3.Assign("none");
        p.RandomTag = 4242;
        p.performanceratingraw = 12.25f;
        p.performancerating = 7.96f;
        p.MinutesPlayed = 80;
        p.carries = 5;
        p.scrumpenaltiesdef = 3;
        MatchStore.MatchInfo.Team[t].Squad[s].bodyfat = 12;
        TPlayerStats& r = MatchStats.PlayerStats[t][s];
        r.speed = 80.5f;  // rounds to 80 (halves to even)
        r.form = 61.0f;
        r.bodyfat = 99.0f;  // not written: the squad entry's bodyfat is
        r.leadership = 90.0f;
      }
  }
  static Fields Line(int team, i32 a, i32 b) { return Fields{Split(SubmissionLine(team, a, b))}; }
};

TEST_F(SubmissionLineTest, HoldsTheBestPlayersFiguresAndScrambledRatings) {
  MatchSummary.BestPlayerSlot[2] = 4;
  const Fields f = Line(2, 45, 1);
  ASSERT_EQ(f.f.size(), 96u);
  EXPECT_EQ(f[1], "2004");
  EXPECT_EQ(f[2], "Ann");
  EXPECT_EQ(f[5], "23");
  EXPECT_EQ(f[8], "4");
  EXPECT_EQ(f[9], "77");
  EXPECT_EQ(f[10], "0");  // team 2 is not home
  EXPECT_EQ(f[11], "42");
  EXPECT_EQ(f[19], "65");
  EXPECT_EQ(f[20], "10");
  EXPECT_EQ(f[22], "2026");
  EXPECT_EQ(f[23], "league");
  EXPECT_EQ(f[26], "4242");
  EXPECT_EQ(f[27], "12.3");  // a tie away from zero
  EXPECT_EQ(f[28], "8.0");
  EXPECT_EQ(f[29], "80");
  EXPECT_EQ(f[30], "5");   // carries
  EXPECT_EQ(f[67], "3");   // scrumpenaltiesdef
  EXPECT_EQ(f[68], std::to_string(ScrambleStatValue(12, 45, 1, true)));  // the squad's bodyfat
  EXPECT_EQ(f[69], "691");  // speed 80.5 rounds to 80: 4 x 80 + 5 x 45 + 146
  EXPECT_EQ(f[86], std::to_string(ScrambleStatValue(61, 45, 1, true)));  // form, 18th rating
  EXPECT_EQ(f[93], std::to_string(ScrambleStatValue(90, 45, 1, true)));  // leadership, after offloads
  EXPECT_EQ(f[94], "45");
  EXPECT_EQ(f[95], "1");
  EXPECT_EQ(f[96], "check");
  EXPECT_EQ(Line(1, 45, 1)[10], "1");
}

TEST_F(SubmissionLineTest, ABestSlotOutsideTheSquadTakesSlotOne) {
  for (const i16 slot : {0, 26, -3}) {
    MatchSummary.BestPlayerSlot[1] = slot;
    EXPECT_EQ(Line(1, 10, 2)[1], "1001") << slot;
  }
}

// MD5 by the library's one-shot call, apart from the code under test.
std::string IndependentMd5(const std::string& bytes) {
  unsigned char md[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  EXPECT_EQ(EVP_Digest(bytes.data(), bytes.size(), md, &size, EVP_md5(), nullptr), 1);
  std::string hex;
  char two[3];
  for (unsigned int i = 0; i < size; ++i) {
    std::snprintf(two, sizeof two, "%02x", md[i]);
    hex += two;
  }
  return hex;
}

TEST_F(SubmissionLineTest, TheCheckLineIsTheMd5OfTheKeyAndTheLine) {
  const std::string line = SubmissionLine(1, 45, 1);
  EXPECT_EQ(CheckLine(line), IndependentMd5("Vq7!Rm2Tz9kW" + line));
  EXPECT_EQ(CheckLine(line).size(), 32u);
  // Another A changes the line and its check completely.
  const std::string other = SubmissionLine(1, 46, 1);
  EXPECT_NE(CheckLine(other), CheckLine(line));
  EXPECT_EQ(CheckLine(other), IndependentMd5("Vq7!Rm2Tz9kW" + other));
}

}  // namespace

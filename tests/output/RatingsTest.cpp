#include "output/Ratings.h"

#include <gtest/gtest.h>

#include "core/TypeDefs.h"
#include "platform/Platform.h"

namespace {

class RatingsTest : public ::testing::Test {
 protected:
  TPlayerStats reference{};
  TPositionWeights table{};

  void SetUp() override {
    InitRatingWeights(reference);
    InitRatingTable(table);
    MatchStats = TMatchStats{};
    MatchSummary = TMatchSummary{};
    World.PlayersPerTeam = 15;
  }

  // An empty squad slot as the reader leaves it: zeros, height 150 cm.
  static TPlayerStats EmptySlot() {
    TPlayerStats p{};
    p.height = 150.0f;
    return p;
  }
};

TEST_F(RatingsTest, TheIdealPlayerAndAnyoneAboveHimRate100InEverySlot) {
  TPlayerStats better = reference;
  better.weight = 140.0f;
  better.speed = 100.0f;
  for (int slot = 1; slot <= kRatedSlots; ++slot) {
    EXPECT_EQ(PlayerPositionRating(slot, reference, reference, table), 100) << "slot " << slot;
    EXPECT_EQ(PlayerPositionRating(slot, better, reference, table), 100) << "slot " << slot;
  }
}

TEST_F(RatingsTest, ALightPropLosesHisWeightAndTheLightnessFactor) {
  // 2629.5 x 1.02 x 0.99 against 2739.5 x 1.02: 95.02.
  TPlayerStats prop = reference;
  prop.weight = 98.0f;
  EXPECT_EQ(PlayerPositionRating(1, prop, reference, table), 95);
  // Below 95 kg the second factor 0.9 applies too.
  prop.weight = 94.0f;
  EXPECT_EQ(PlayerPositionRating(1, prop, reference, table), 85);
}

TEST_F(RatingsTest, AnEmptySlotRatesOnItsHeightAlone) {
  const TPlayerStats empty = EmptySlot();
  EXPECT_EQ(PlayerPositionRating(1, empty, reference, table), 2);
  EXPECT_EQ(PlayerPositionRating(4, empty, reference, table), 11);
  EXPECT_EQ(PlayerPositionRating(10, empty, reference, table), 0);
}

TEST_F(RatingsTest, ReplacementRowsCopyTheirStartingPositions) {
  constexpr int kCopied[7] = {1, 2, 4, 8, 10, 12, 15};
  for (int r = 0; r < 7; ++r)
    for (int j = 1; j <= kRatedFields; ++j)
      EXPECT_EQ(table[16 + r][j], table[kCopied[r]][j]) << "slot " << 16 + r << " field " << j;
  // Width, discipline, agility, form, injury, bodyfat, leadership and the
  // extra values weigh nothing in any row.
  for (int slot = 1; slot <= kRatedSlots; ++slot)
    for (int j : {2, 7, 10, 21, 26, 28, 29, 30, 31}) EXPECT_EQ(table[slot][j], 0.0f);
}

TEST_F(RatingsTest, SlotAdjustmentsFollowTheSlot) {
  struct Case {
    const char* what;
    int slot;
    void (*change)(TPlayerStats&);
    int rating;
  };
  const Case cases[] = {
      // Worked by hand from the weights: (sum - weight x shortfall) x factors
      // against the reference's sum (with its tackling bonus on both sides).
      {"a short lock: 2643 x 0.9 / 2721", 4, [](TPlayerStats& p) { p.height = 194.0f; }, 87},
      {"a short lock in replacement slot 18", 18, [](TPlayerStats& p) { p.height = 194.0f; }, 87},
      {"a short flanker has no lock factor: 2221.75 / 2234.75", 6,
       [](TPlayerStats& p) { p.height = 194.0f; }, 99},
      {"a slow wing, both back factors: 2050.25 x 0.98 x 0.95 / 2287.75", 11,
       [](TPlayerStats& p) { p.speed = 74.0f; }, 83},
      {"a slow prop has no back factor: 2689.5 / 2739.5", 1, [](TPlayerStats& p) { p.speed = 74.0f; }, 98},
      {"a full back who tackles 70 loses both bonuses: 2423.5 / (2510.5 x 1.02 x 1.02)", 15,
       [](TPlayerStats& p) { p.tackling = 70.0f; }, 93},
      {"a hooker who cannot throw: 2949.5 x 0.9 / 3054.5", 2,
       [](TPlayerStats& p) { p.lineoutthrow = 69.0f; }, 87},
      {"a fly half who cannot kick: 2188.4 x 0.95 / 2353.4", 10,
       [](TPlayerStats& p) { p.kicking = 69.0f; }, 88},
  };
  for (const Case& c : cases) {
    TPlayerStats p = reference;
    c.change(p);
    EXPECT_EQ(PlayerPositionRating(c.slot, p, reference, table), c.rating) << c.what;
  }
}

TEST_F(RatingsTest, TeamRatingIsTheRoundedMeanOfTheStarters) {
  // Twelve ideal starters (1,200) and empty slots 6, 7 and 12 (2 + 3 + 2):
  // 1,207 / 15 = 80.47. The ideal replacements do not count.
  for (int t = 1; t <= 2; ++t)
    for (int k = 1; k <= 25; ++k) MatchStats.PlayerStats[t][k] = reference;
  for (int k : {6, 7, 12}) MatchStats.PlayerStats[1][k] = EmptySlot();
  MatchSummary.BestPlayerSlot[1] = 9;
  RateSquads();
  int sum = 0;
  for (int k = 1; k <= 15; ++k) sum += MatchSummary.Players[1][k].PositionRating;
  EXPECT_EQ(sum, 1207);
  EXPECT_EQ(MatchSummary.TeamRating[1], 80);
  EXPECT_EQ(MatchSummary.TeamRating[2], 100);
  EXPECT_EQ(MatchSummary.Players[1][7].PositionRating, 3);
  EXPECT_EQ(MatchSummary.Players[2][22].PositionRating, 100);
  EXPECT_EQ(MatchSummary.Players[2][23].PositionRating, 0);  // slots past 22 are not rated
  EXPECT_EQ(MatchSummary.BestPlayerSlot[1], 1);
  EXPECT_EQ(MatchSummary.BestPlayerSlot[2], 1);
}

TEST_F(RatingsTest, WeightedSumHasTheFrontRowBonusAndAFloorAtZero) {
  struct Case {
    const char* what;
    i16 slot;
    void (*counts)(TPlayerSummary&);
    f32 sum;
  };
  const Case cases[] = {
      {"a prop with nothing else", 1, [](TPlayerSummary&) {}, 2.0f},
      {"a hooker with a scrum penalty", 2, [](TPlayerSummary& s) { s.scrumpenalties = 1; }, 0.0f},
      {"a tighthead penalised in defence", 3, [](TPlayerSummary& s) { s.scrumpenaltiesdef = 1; }, 0.0f},
      {"a lock with nothing", 4, [](TPlayerSummary&) {}, 0.0f},
      {"a negative sum", 9, [](TPlayerSummary& s) { s.handlingerrors = 3; }, 0.0f},
      {"four tackles and a lineout won on the throw", 9,
       [](TPlayerSummary& s) {
         s.tackles = 4;
         s.LineoutsWonOwnThrow = 1;
       },
       10.25f},
      {"running metres and a try with penalties", 12,
       [](TPlayerSummary& s) {
         s.runningmeters = 35;
         s.tries = 1;
         s.totpenalties = 1;
       },
       9.5f},
      {"counts that weigh nothing", 5,
       [](TPlayerSummary& s) {
         s.points = 20;
         s.carries = 9;
         s.MinutesPlayed = 80;
         s.lineoutjumps = 3;
       },
       0.0f},
  };
  for (const Case& c : cases) {
    TPlayerSummary s{};
    s.startinglineupindex = c.slot;
    c.counts(s);
    EXPECT_EQ(RatingWeightedSum(s), c.sum) << c.what;
  }
}

TEST_F(RatingsTest, MatchDateComesFromTheLocalDate) {
  FixLocalDate({7, 3, 2031});
  SetMatchDate();
  UnfixLocalDate();
  EXPECT_EQ(MatchSummary.MatchDay, 7);
  EXPECT_EQ(MatchSummary.MatchMonth, 3);
  EXPECT_EQ(MatchSummary.MatchYear, 2031);
  const TCalendarDate today = LocalDate();
  EXPECT_GE(today.Day, 1);
  EXPECT_LE(today.Month, 12);
  EXPECT_GE(today.Year, 2024);
}

}  // namespace

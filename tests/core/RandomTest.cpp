#include "core/Random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <numbers>
#include <set>

#include "core/DrawCount.h"

TEST(Random, SequenceFromKnownSeeds) {
  RandSeed = 0;
  EXPECT_EQ(Random(1000), 0);
  EXPECT_EQ(RandSeed, 1u);
  EXPECT_EQ(Random(1000), 31);
  EXPECT_EQ(RandSeed, 134775814u);

  RandSeed = 12345;
  const i32 expected[] = {2, 1, 0, 3, 3, 2, 2, 0};
  for (i32 e : expected) EXPECT_EQ(Random(6), e);
  EXPECT_EQ(RandSeed, 340655249u);
}

TEST(Random, DrawIsTheUpperHalfOfTheUnsignedProduct) {
  // Large bounds show the full 64-bit product is used, not a remainder.
  RandSeed = 987654321;
  EXPECT_EQ(Random(INT_MAX), 1357752250);
  EXPECT_EQ(RandSeed, 2715504502u);
  // A negative bound is taken as unsigned; the draw wraps into i32.
  RandSeed = 987654321;
  EXPECT_EQ(Random(-1), -1579462795);
}

TEST(Random, ZeroBoundGivesZeroAndStillAdvances) {
  RandSeed = 77;
  EXPECT_EQ(Random(0), 0);
  EXPECT_EQ(RandSeed, SeedAfter(77, 1));
}

TEST(RandomRange, StaysInTheHalfOpenRangeEitherWayRound) {
  struct Case {
    i32 a, b, lo, hi;  // every draw in lo..hi, and each value reached
  };
  const Case cases[] = {{5, 2, 2, 4}, {2, 5, 2, 4}, {3, 6, 3, 5}, {-3, -1, -3, -2}, {1, 1001, 1, 1000}};
  for (const Case& c : cases) {
    RandSeed = 4242;
    std::set<i32> seen;
    for (int k = 0; k < 20000; ++k) {
      const i32 r = RandomRange(c.a, c.b);
      ASSERT_GE(r, c.lo) << c.a << ".." << c.b;
      ASSERT_LE(r, c.hi) << c.a << ".." << c.b;
      seen.insert(r);
    }
    EXPECT_EQ(seen.size(), static_cast<size_t>(c.hi - c.lo + 1)) << c.a << ".." << c.b;
  }
}

TEST(RandomRange, EqualBoundsReturnTheBoundAfterOneDraw) {
  RandSeed = 5;
  EXPECT_EQ(RandomRange(4, 4), 4);
  EXPECT_EQ(RandSeed, SeedAfter(5, 1));
}

TEST(RandomRange, FullWidthBoundsDoNotOverflow) {
  RandSeed = 99;
  for (int k = 0; k < 1000; ++k) {
    const i32 r = RandomRange(INT_MIN, INT_MAX);
    EXPECT_LT(r, INT_MAX);
  }
  EXPECT_LT(RandomRange(INT_MAX, INT_MIN), INT_MAX);
}

TEST(GaussianRandom, ValuesFromKnownSeedsAndExactlyTwoDraws) {
  struct Case {
    u32 seed;
    f32 expected;  // Mean 10, SD 1.5, no clamps
  };
  // u1 = 0.318, u2 = 0.876 and u1 = 0.512, u2 = 0.28 respectively.
  const Case cases[] = {{42, 11.615619659423828f}, {2024, 9.674774169921875f}};
  for (const Case& c : cases) {
    RandSeed = c.seed;
    EXPECT_EQ(GaussianRandom(10.0f, 1.5f, 0.0f, 0.0f, kFalse32, kFalse32), c.expected);
    EXPECT_EQ(RandSeed, SeedAfter(c.seed, 2));
  }
}

// The draw computed the long way, a logarithm and a cosine per call, on the
// same two uniforms; the draws must agree bit for bit over every value each
// uniform can take, with mean, spread and clamps that keep the sum exact
// (SD 1, Mean 0) and ones that round it (SD 0.37, Mean 2.5).
TEST(GaussianRandom, MatchesTheDirectFormulaForEveryUniform) {
  auto direct = [](f32 mean, f32 sd) {
    const double u1 = RandomRange(1, 999) / 1000.0;
    const double r = std::sqrt(-2.0 * std::log(u1));
    const double u2 = RandomRange(1, 999) / 1000.0;
    const f32 z = static_cast<f32>(std::cos(2.0 * std::numbers::pi * u2) * r);
    return static_cast<f32>(static_cast<double>(sd) * z + mean);
  };
  struct Case {
    f32 mean, sd;
  };
  const Case cases[] = {{0.0f, 1.0f}, {2.5f, 0.37f}};
  for (const Case& c : cases) {
    std::set<i32> seen1, seen2;
    RandSeed = 777;
    for (int k = 0; k < 30000; ++k) {
      const u32 seed = RandSeed;
      seen1.insert(RandomRange(1, 999));
      seen2.insert(RandomRange(1, 999));
      RandSeed = seed;
      const f32 expected = direct(c.mean, c.sd);
      RandSeed = seed;
      const f32 got = GaussianRandom(c.mean, c.sd, 0.0f, 0.0f, kFalse32, kFalse32);
      ASSERT_EQ(std::bit_cast<u32>(got), std::bit_cast<u32>(expected)) << "draw " << k << " seed " << seed;
    }
    EXPECT_EQ(seen1.size(), 998u);  // every value of u1, and of u2, was drawn
    EXPECT_EQ(seen2.size(), 998u);
  }
}

TEST(GaussianRandom, ClampsAndZeroSpread) {
  struct Case {
    f32 mean, sd, min, max;
    bool32 useMin, useMax;
    f32 expected;
  };
  const Case cases[] = {
      {3.0f, 0.0f, 0.0f, 10.0f, kTrue32, kTrue32, 3.0f},     // SD 0 gives the mean
      {3.0f, 0.0f, 5.0f, 10.0f, kTrue32, kTrue32, 5.0f},     // raised to Min
      {3.0f, 0.0f, 0.0f, 1.0f, kTrue32, kTrue32, 1.0f},      // lowered to Max
      {3.0f, 0.0f, 5.0f, 1.0f, kTrue32, kTrue32, 1.0f},      // Min > Max: Max wins
      {3.0f, 0.0f, 5.0f, 1.0f, kFalse32, kFalse32, 3.0f},    // clamps off
  };
  for (const Case& c : cases) {
    RandSeed = 31337;
    EXPECT_EQ(GaussianRandom(c.mean, c.sd, c.min, c.max, c.useMin, c.useMax), c.expected);
    EXPECT_EQ(RandSeed, SeedAfter(31337, 2));
  }
}

TEST(GaussianRandom, UnclampedDrawsStayWithinTheCoarseUniformBound) {
  RandSeed = 1;
  double sum = 0;
  const int n = 20000;
  for (int k = 0; k < n; ++k) {
    const f32 v = GaussianRandom(0.0f, 1.0f, 0.0f, 0.0f, kFalse32, kFalse32);
    ASSERT_LE(std::fabs(v), 3.7169f);
    sum += v;
  }
  EXPECT_NEAR(sum / n, 0.0, 0.05);
}

TEST(WeightedRandomIndex, NoDrawWhenTheSumIsBelowOne) {
  const i16 zeros[3] = {0, 0, 0};
  const i16 negative[3] = {5, -10, 3};
  RandSeed = 8;
  EXPECT_EQ(WeightedRandomIndex(zeros, 3), 0);
  EXPECT_EQ(WeightedRandomIndex(negative, 3), 0);
  EXPECT_EQ(WeightedRandomIndex(zeros, 0), 0);
  EXPECT_EQ(RandSeed, 8u);
}

TEST(WeightedRandomIndex, WalksToTheFirstWeightReachingTheDraw) {
  const i16 single[3] = {0, 5, 0};
  const i16 pair[2] = {3, 1};
  for (u32 seed = 0; seed < 200; ++seed) {
    RandSeed = seed;
    EXPECT_EQ(WeightedRandomIndex(single, 3), 2);
    EXPECT_EQ(RandSeed, SeedAfter(seed, 1));

    RandSeed = seed;
    const i32 draw = RandomRange(1, 5);  // the draw the walk will see
    RandSeed = seed;
    EXPECT_EQ(WeightedRandomIndex(pair, 2), draw <= 3 ? 1 : 2) << "draw " << draw;
  }
}

TEST(WeightedRandomIndex, RecordArrayNeverReadsPastItsEnd) {
  Arr1<i16, 4> w{};
  w[4] = 7;
  RandSeed = 3;
  EXPECT_EQ(WeightedRandomIndex(w, 50), 4);
}

TEST(LevelChancePerMille, Table) {
  const std::pair<i32, i32> cases[] = {{1, 0}, {2, 600}, {3, 800}, {4, 900}, {0, 500}, {5, 500}, {-1, 500}};
  for (auto [level, chance] : cases) EXPECT_EQ(LevelChancePerMille(level), chance) << level;
}

TEST(RandomStateDelay, RangesAndDrawsPerState) {
  struct Case {
    TGameState state;
    i32 lo, hi;
    int draws;
  };
  const Case cases[] = {
      {gsLineout, 3, 5, 1},        {gsGotTackled, 3, 5, 1}, {gsTryScored, 3, 4, 1},
      {gsFreeBall, 3, 4, 1},       {gsKickRestartSet, 2, 4, 1}, {gsRunning, 1, 1, 0},
      {gsScrum, 0, 0, 0},          {gsHuddle, 0, 0, 0},     {gsPassing, 0, 0, 0},
  };
  for (const Case& c : cases) {
    std::set<i32> seen;
    for (u32 seed = 0; seed < 300; ++seed) {
      RandSeed = seed;
      const i32 d = RandomStateDelay(c.state);
      EXPECT_EQ(RandSeed, SeedAfter(seed, c.draws)) << int(c.state);
      ASSERT_GE(d, c.lo) << int(c.state);
      ASSERT_LE(d, c.hi) << int(c.state);
      seen.insert(d);
    }
    EXPECT_EQ(seen.size(), static_cast<size_t>(c.hi - c.lo + 1)) << int(c.state);
  }
}

TEST(StaggeredRandomDelays, OnlyTheLastWaveFlagged) {
  TPlayerList flags{};
  flags[2] = 1;
  flags[20] = 1;  // beyond the waves: no draw, no delay
  RandSeed = 606;
  const TDelayList d = StaggeredRandomDelays(flags);
  EXPECT_EQ(RandSeed, SeedAfter(606, 1));
  EXPECT_GE(d[2], 0.1f);
  EXPECT_LE(d[2], 0.8f);
  for (int k = 1; k <= 25; ++k) {
    if (k != 2) {
      EXPECT_EQ(d[k], 0.0f) << k;
    }
  }
}

TEST(StaggeredRandomDelays, WavesDrawInOrderAndStartAfterTheLatestOfTheWaveBefore) {
  TPlayerList flags{};
  for (int k : {1, 2, 3, 5, 6, 8, 10}) flags[k] = static_cast<i16>(k);
  // The draws in the order the waves take them: 8, 10 | 5, 6 | 1, 3 | 2.
  // Each is added unrounded; from this seed a draw rounded to f32 first
  // would change the last bit of every delay of waves 2 to 4.
  RandSeed = 2;
  double draw[7];
  for (double& x : draw) x = RandomRange(100, 801) / 1000.0;
  const u32 after = RandSeed;

  RandSeed = 2;
  const TDelayList d = StaggeredRandomDelays(flags);
  EXPECT_EQ(RandSeed, after);
  const f32 m1 = std::max(static_cast<f32>(draw[0]), static_cast<f32>(draw[1]));
  EXPECT_EQ(d[8], static_cast<f32>(draw[0]));
  EXPECT_EQ(d[10], static_cast<f32>(draw[1]));
  EXPECT_EQ(d[5], static_cast<f32>(double(m1) + draw[2]));
  EXPECT_EQ(d[6], static_cast<f32>(double(m1) + draw[3]));
  const f32 m2 = std::max(d[5], d[6]);
  EXPECT_EQ(d[1], static_cast<f32>(double(m2) + draw[4]));
  EXPECT_EQ(d[3], static_cast<f32>(double(m2) + draw[5]));
  EXPECT_EQ(d[2], static_cast<f32>(double(std::max(d[1], d[3])) + draw[6]));
  for (int k : {4, 7, 9, 11, 25}) EXPECT_EQ(d[k], 0.0f) << k;
}

TEST(StaggeredRandomDelays, AnUnflaggedWaveGivesItsSuccessorTheBaseZero) {
  TPlayerList flags{};
  flags[8] = 1;  // wave 1
  flags[3] = 1;  // wave 3; wave 2 empty
  RandSeed = 55;
  const TDelayList d = StaggeredRandomDelays(flags);
  EXPECT_GE(d[3], 0.1f);
  EXPECT_LE(d[3], 0.8f);  // not stacked on wave 1
}

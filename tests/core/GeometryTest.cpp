#include "core/Geometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cfenv>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

#include "core/Caches.h"
#include "core/FloatFlags.h"

namespace {

constexpr f32 kTol = 1e-4f;

// A point at distance 10 from the origin along heading h.
TVector2 PointAt(double h) {
  const double r = h * 3.14159265358979323846 / 180.0;
  return {static_cast<f32>(-std::cos(r) * 10), static_cast<f32>(std::sin(r) * 10)};
}

uint32_t Bits(f32 v) { return std::bit_cast<uint32_t>(v); }

}  // namespace

TEST(Distance2D, Cases) {
  struct Case {
    f32 x1, z1, x2, z2, d;
  };
  const Case cases[] = {
      {0, 0, 3, 4, 5}, {-3, -4, 0, 0, 5}, {1, 1, 1, 1, 0}, {2, 0, -2, 0, 4}, {0, 7, 0, -1, 8},
      {1e20f, 0, -1e20f, 0, 2e20f},  // no overflow in the squares
  };
  for (const Case& c : cases) EXPECT_FLOAT_EQ(Distance2D(c.x1, c.z1, c.x2, c.z2), c.d);
  EXPECT_EQ(Distance2D(5.5f, -2.25f, 5.5f, -2.25f), 0.0f);
}

TEST(HeadingToPoint, CompassAndDefaults) {
  struct Case {
    f32 x2, z2, expected;
  };
  const Case cases[] = {{-1, 0, 0}, {0, 1, 90}, {1, 0, 180}, {0, -1, 270}, {-1, 1, 45}, {1, -1, 225}};
  for (const Case& c : cases) EXPECT_NEAR(HeadingToPoint(0, 0, c.x2, c.z2, 7.0f), c.expected, kTol) << c.x2 << "," << c.z2;
  // Exact at the axes.
  EXPECT_EQ(HeadingToPoint(0, 0, -1, 0, 7.0f), 0.0f);
  EXPECT_EQ(HeadingToPoint(0, 0, 0, 1, 7.0f), 90.0f);
  EXPECT_EQ(HeadingToPoint(0, 0, 1, 0, 7.0f), 180.0f);
  EXPECT_EQ(HeadingToPoint(0, 0, 0, -1, 7.0f), 270.0f);
  // Coincident points give the default unchanged, even outside 0..360.
  EXPECT_EQ(HeadingToPoint(3, 4, 3, 4, -725.5f), -725.5f);
  EXPECT_EQ(HeadingToPoint(0, 0, -0.0f, 0.0f, 90.0f), 90.0f);
  // A negative-zero dz straight along -x gives 360, a positive zero gives 0.
  EXPECT_EQ(HeadingToPoint(0, 0, -1, -0.0f, 7.0f), 360.0f);
  EXPECT_EQ(HeadingToPoint(0, 0, -1, 0.0f, 7.0f), 0.0f);
  // Not a number falls back to the default.
  EXPECT_EQ(HeadingToPoint(0, 0, std::numeric_limits<f32>::quiet_NaN(), 1, 33.0f), 33.0f);
}

TEST(NormaliseHeading, IntoZeroTo360) {
  const std::pair<f32, f32> cases[] = {{-45, 315}, {405, 45}, {-90, 270}, {450, 90}, {90, 90},
                                       {725, 5},   {-300, 60}, {0, 0},    {180, 180}};
  for (auto [h, e] : cases) EXPECT_NEAR(NormaliseHeading(h), e, kTol) << h;
  // Whole multiples of 360 give 0 or 360 with the sign of the rounded sine.
  EXPECT_EQ(NormaliseHeading(0), 0.0f);
  EXPECT_EQ(NormaliseHeading(-360), 0.0f);
  EXPECT_EQ(NormaliseHeading(360), 360.0f);
}

TEST(HeadingDifference, UnsignedAndSymmetric) {
  struct Case {
    f32 a, b, d;
  };
  const Case cases[] = {{350, 10, 20}, {10, 350, 20}, {0, 180, 180}, {0, 90, 90},
                        {-90, 270, 0}, {45, 405, 0},  {30, 200, 170}, {100, 100, 0}};
  for (const Case& c : cases) {
    EXPECT_NEAR(HeadingDifference(c.a, c.b), c.d, 2e-3f) << c.a << "," << c.b;
    EXPECT_EQ(HeadingDifference(c.a, c.b), HeadingDifference(c.b, c.a));
  }
  for (f32 h : {0.0f, 37.5f, 180.0f, 359.0f}) EXPECT_EQ(HeadingDifference(h, h), 0.0f) << h;
  // Rounding of the chord never takes arccos out of its domain.
  EXPECT_FALSE(std::isnan(HeadingDifference(0.0f, 180.0f)));
}

// Answers are memoised by the bits of both headings: asked again, after the
// memo's slots have been overwritten many times, a pair gets the answer its
// own computation gives, bit for bit, from a cold memo, a warm one and one
// emptied by ResetCaches; a heading that is not a number raises the
// invalid-operation flag every time, as the computation does.
TEST(HeadingDifference, MemoisedAnswersAreTheComputedOnes) {
  ResetCaches();
  auto computed = [](f32 a, f32 b) {
    const TVector2 u1 = HeadingVector(a);
    const TVector2 u2 = HeadingVector(b);
    const double d = Distance2D(u1.x, u1.z, u2.x, u2.z);
    return static_cast<f32>(std::acos(std::clamp((2.0 - d * d) / 2.0, -1.0, 1.0)) * kRadToDeg);
  };
  // Thirteen headings against a fine sweep: pairs that share one heading and
  // differ in the last bits of the other.
  auto pair = [](int k) { return std::pair<f32, f32>((k % 13) * 27.1f, 100.0f + (k / 13) * 1e-4f); };
  for (int round = 0; round < 3; ++round) {
    if (round == 2) ResetCaches();
    int wrong = 0;
    for (int k = 0; k < 200000; ++k) {
      const auto [a, b] = pair(k);
      const f32 got = HeadingDifference(a, b);
      const f32 want = computed(a, b);
      if (std::memcmp(&got, &want, sizeof got) != 0) ++wrong;
    }
    EXPECT_EQ(wrong, 0) << "round " << round;
  }
  EXPECT_EQ(HeadingDifference(-0.0f, 0.0f), 0.0f);
  const f32 nan = std::numeric_limits<f32>::quiet_NaN();
  for (int k = 0; k < 2; ++k) {
    std::feclearexcept(FE_ALL_EXCEPT);
    EXPECT_TRUE(std::isnan(HeadingDifference(nan, 10.0f)));
    EXPECT_TRUE(FloatErrorRaised()) << "call " << k;
  }
  std::feclearexcept(FE_ALL_EXCEPT);
}

// The gap read from two headings stays within the margin of
// HeadingDifference up to 170 degrees, whichever turns and signs the
// headings carry, and its way round is the way the first lies from the
// second; headings not finite or beyond a million degrees give no gap.
TEST(HeadingGap, StaysWithinTheMarginOfHeadingDifference) {
  int wrong = 0, way = 0, compared = 0;
  for (int k = 0; k < 200000; ++k) {
    const f32 b = static_cast<f32>((k % 4099) * 0.377 - 700.0 + (k % 3) * 5000.0);
    const f32 a = static_cast<f32>(b + (k % 2 != 0 ? 1.0 : -1.0) * ((k * 7919) % 170000) * 1e-3 + (k % 5) * 360.0);
    double gap = 0.0;
    bool up = false;
    ASSERT_TRUE(HeadingGap(a, b, gap, up));
    if (gap > kHeadingGapBoundUpTo) continue;
    ++compared;
    if (std::fabs(gap - HeadingDifference(a, b)) > kHeadingGapMargin) ++wrong;
    // Turning b up by the gap lands nearer a than turning it down does.
    const TDirection f = HeadingDirection(a), u = HeadingDirection(b + gap), d = HeadingDirection(b - gap);
    const bool nearerUp = (f.x - u.x) * (f.x - u.x) + (f.z - u.z) * (f.z - u.z) <
                          (f.x - d.x) * (f.x - d.x) + (f.z - d.z) * (f.z - d.z);
    if (gap > 1e-3 && nearerUp != up) ++way;
  }
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(way, 0);
  EXPECT_GT(compared, 150000);
  double gap = 0.0;
  bool up = false;
  EXPECT_TRUE(HeadingGap(350.0f, 10.0f, gap, up));
  EXPECT_NEAR(gap, 20.0, 1e-9);
  EXPECT_FALSE(up);
  EXPECT_FALSE(HeadingGap(std::numeric_limits<f32>::quiet_NaN(), 0.0f, gap, up));
  EXPECT_FALSE(HeadingGap(0.0f, std::numeric_limits<f32>::infinity(), gap, up));
  EXPECT_FALSE(HeadingGap(2e6f, 0.0f, gap, up));
}

TEST(TurnTowardsPoint, LimitedTurnPicksTheNearerSide) {
  struct Case {
    f32 heading, targetHeading, maxTurn, expected;
  };
  const Case cases[] = {
      {90, 190, 30, 120},  // 100 degrees off to the larger side
      {90, 350, 30, 60},   // and to the smaller side
      {90, 110, 30, 110},  // within the limit: the target heading itself
      {350, 80, 30, 20},   // the turn crosses 360 and is normalised
      {10, 280, 30, 340},  // and below 0
  };
  for (const Case& c : cases) {
    const TVector2 p = PointAt(c.targetHeading);
    EXPECT_NEAR(TurnTowardsPoint(0, 0, c.heading, p.x, p.z, c.maxTurn), c.expected, 2e-3f) << c.targetHeading;
  }
  // A coincident target keeps the heading.
  EXPECT_EQ(TurnTowardsPoint(1, 1, 75.0f, 1, 1, 5.0f), 75.0f);
}

TEST(RelativeHeadingToPoint, StraightAheadIsNinety) {
  struct Case {
    f32 facing, pointHeading, expected;
  };
  const Case cases[] = {{90, 90, 90}, {0, 0, 90}, {90, 180, 180}, {90, 45, 45}, {10, 350, 70}, {300, 20, 170}};
  for (const Case& c : cases) {
    const TVector2 p = PointAt(c.pointHeading);
    EXPECT_NEAR(RelativeHeadingToPoint(0, 0, p.x, p.z, c.facing), c.expected, 2e-3f) << c.facing;
  }
}

TEST(Vectors, LengthsNormalisationAndSubtraction) {
  EXPECT_EQ(Length2D({3, 4}), 5.0f);
  EXPECT_EQ(Length2D({0, 0}), 0.0f);
  EXPECT_EQ(Length3D({2, 3, 6}), 7.0f);
  EXPECT_EQ(Length3D({0, -0.0f, 0}), 0.0f);

  TVector2 r2{9, 9};
  Normalise2D({0, 0}, r2);
  EXPECT_EQ(r2.x, 0.0f);
  EXPECT_EQ(r2.z, 0.0f);
  TVector2 v2{3, -4};
  Normalise2D(v2, v2);  // in place
  EXPECT_FLOAT_EQ(v2.x, 0.6f);
  EXPECT_FLOAT_EQ(v2.z, -0.8f);

  TVector3 r3{9, 9, 9};
  Normalise3D({0, 0, 0}, r3);
  EXPECT_EQ(r3.x, 0.0f);
  EXPECT_EQ(r3.y, 0.0f);
  EXPECT_EQ(r3.z, 0.0f);
  Normalise3D({0, 0, -5}, r3);
  EXPECT_EQ(r3.z, -1.0f);
  // Along z the quotients are exact, the zeros keep their signs, from the
  // smallest to the largest float; an infinite z still raises its error.
  for (const TVector3 v : {TVector3{-0.0f, 0.0f, 1e-45f}, TVector3{0.0f, -0.0f, -3.4e38f}, TVector3{0, 0, 10}}) {
    Normalise3D(v, r3);
    const double len = std::sqrt(static_cast<double>(v.z) * v.z);
    EXPECT_EQ(Bits(r3.x), Bits(static_cast<f32>(v.x / len)));
    EXPECT_EQ(Bits(r3.y), Bits(static_cast<f32>(v.y / len)));
    EXPECT_EQ(r3.z, static_cast<f32>(v.z / len));
  }
  std::feclearexcept(FE_ALL_EXCEPT);
  Normalise3D({0, 0, std::numeric_limits<f32>::infinity()}, r3);
  EXPECT_TRUE(FloatErrorRaised());
  std::feclearexcept(FE_ALL_EXCEPT);

  Subtract2D({5, 1}, {2, 3}, r2);
  EXPECT_EQ(r2.x, 3.0f);
  EXPECT_EQ(r2.z, -2.0f);
  Subtract3D({5, 1, 0}, {2, 3, -1}, r3);
  EXPECT_EQ(r3.x, 3.0f);
  EXPECT_EQ(r3.y, -2.0f);
  EXPECT_EQ(r3.z, 1.0f);
}

TEST(Interpolate3D, FractionOfTheWay) {
  const TVector3 a{1, 2, 3};
  for (f32 f : {0.0f, 0.5f, 2.0f}) {
    TVector3 r{};
    Interpolate3D(a, a, f, r);
    EXPECT_EQ(r.x, 1.0f);
    EXPECT_EQ(r.y, 2.0f);
    EXPECT_EQ(r.z, 3.0f);
  }
  TVector3 r{};
  Interpolate3D({0, 0, 0}, {0, 0, 10}, 0.25f, r);
  EXPECT_FLOAT_EQ(r.z, 2.5f);
  Interpolate3D({1, 1, 0}, {4, 5, 0}, 1.5f, r);  // beyond B
  EXPECT_FLOAT_EQ(r.x, 5.5f);
  EXPECT_FLOAT_EQ(r.y, 7.0f);
}

TEST(PointsOnCircle, EightPointsFromMinusX) {
  const TCirclePoints p = PointsOnCircle(1, 2, 2);
  const f32 d = static_cast<f32>(2 * std::sqrt(0.5));
  const TVector2 expected[8] = {{-1, 2}, {1 - d, 2 + d}, {1, 4}, {1 + d, 2 + d},
                                {3, 2},  {1 + d, 2 - d}, {1, 0}, {1 - d, 2 - d}};
  for (int k = 1; k <= 8; ++k) {
    EXPECT_NEAR(p[k].x, expected[k - 1].x, 1e-6f) << k;
    EXPECT_NEAR(p[k].z, expected[k - 1].z, 1e-6f) << k;
  }
}

TEST(NearestFreeCirclePoint, NearestFreeLowestOnTies) {
  const TCirclePoints p = PointsOnCircle(0, 0, 1);
  Arr1<i32, 8> taken{};
  for (int k = 1; k <= 8; ++k) taken[k] = -1;
  EXPECT_EQ(NearestFreeCirclePoint(p, taken, 0, 0), 0);  // all taken

  taken[3] = 0;
  taken[7] = 0;
  EXPECT_EQ(NearestFreeCirclePoint(p, taken, 5, 0), 3);    // equally near: the lower
  EXPECT_EQ(NearestFreeCirclePoint(p, taken, 0, -0.5f), 7);
  // A taken point nearer than any free one is passed over (holders count too).
  taken[5] = 12;
  EXPECT_EQ(NearestFreeCirclePoint(p, taken, 2, 0.1f), 3);
}

TEST(CrossesBetweenPosts, StrictPlaneAndPosts) {
  const f32 gap = World.GoalPostGap, bar = World.CrossbarHeight;
  World.GoalPostGap = 5.6f;
  World.CrossbarHeight = 3.0f;
  struct Case {
    f32 x0, y0, z0, x1, y1, z1;
    bool expected;
  };
  const Case cases[] = {
      {0, 5, 49, 0, 5, 51, true},        // over the bar in the middle
      {0, 2, 49, 0, 2, 51, false},       // under the bar
      {0, 5, 49, 0, 5, 50, false},       // reaches the plane but not beyond
      {0, 5, 51, 0, 5, 49, false},       // moving away from the goal
      {0, 5, 50.5f, 0, 5, 50.5f, false}, // not moving along z
      {2.8f, 5, 49, 2.8f, 5, 51, false}, // exactly on a post
      {2.7f, 5, 49, 2.7f, 5, 51, true},
      {-4, 5, 49, 0, 5, 51, true},       // crosses the plane at x = -2
      {-8, 5, 49, 0, 5, 51, false},      // crosses at x = -4, wide
      {0, 5, 50.5f, 0, 5, 51, true},     // already beyond the plane: extrapolated back
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CrossesBetweenPosts(c.x0, c.y0, c.z0, c.x1, c.y1, c.z1, 50.0f), Flag(c.expected))
        << c.x0 << " " << c.y0 << " " << c.z0 << " -> " << c.x1 << " " << c.y1 << " " << c.z1;
  }
  World.GoalPostGap = gap;
  World.CrossbarHeight = bar;
}

TEST(YardsToMetres, Factor) {
  EXPECT_EQ(YardsToMetres(10.0f), 9.144f);
  EXPECT_EQ(YardsToMetres(0.0f), 0.0f);
}

TEST(FindFieldZone, InsideBorderMirrorAndEmpty) {
  TFieldStrategyHalf h;
  std::memset(&h, 0, sizeof h);
  EXPECT_EQ(FindFieldZone(h, kFalse32, 3, 4), 1);  // empty list

  h.ZoneCount = 3;
  h.Zones[1] = {-35, -60, 0, 0};
  h.Zones[2] = {0, -60, 35, 0};
  h.Zones[3] = {-35, 0, 35, 60};
  struct Case {
    bool32 mirror;
    f32 x, z;
    i16 expected;
  };
  const Case cases[] = {
      {kFalse32, 10, -20, 2},
      {kFalse32, -10, -20, 1},
      {kFalse32, 0, 30, 3},
      {kTrue32, 10, 20, 1},       // looked up as (-10, -20)
      {kFalse32, 0, -40, 1},      // on the shared border: nearest centre, first of equals
      {kFalse32, 0.5f, 0, 3},     // on a border: nearest centre is zone 3's (0, 30)
      {kFalse32, 0, 2e6f, 1},     // nothing within 100000 m
  };
  for (const Case& c : cases) EXPECT_EQ(FindFieldZone(h, c.mirror, c.x, c.z), c.expected) << c.x << "," << c.z;

  h.ZoneCount = 500;  // a count beyond the record reads no further than its 30 zones
  EXPECT_EQ(FindFieldZone(h, kFalse32, 10, -20), 2);
}

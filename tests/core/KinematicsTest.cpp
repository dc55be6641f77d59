#include "core/Kinematics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfenv>
#include <cstdint>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

#include "core/Geometry.h"

namespace {

constexpr f32 kNaN = std::numeric_limits<f32>::quiet_NaN();

struct TSeg {
  f32 duration, from, to;
};

template <size_t N>
TStrategyShape Profile(const TSeg (&segs)[N], i32 current) {
  TStrategyShape p;
  std::memset(&p, 0, sizeof p);
  p.SegmentCount = static_cast<i32>(N);
  p.Capacity = 20;
  p.CurrentSegment = current;
  for (size_t k = 0; k < N; ++k) {
    const int i = static_cast<int>(k) + 1;
    p.Durations[i] = segs[k].duration;
    p.StartValues[i] = segs[k].from;
    p.EndValues[i] = segs[k].to;
  }
  return p;
}

}  // namespace

TEST(TimeToCover, DistanceOverSpeedOrZero) {
  EXPECT_EQ(TimeToCover(0, 0, 3, 4, 2), 2.5f);
  EXPECT_EQ(TimeToCover(0, 0, 3, 4, 0), 0.0f);
  EXPECT_EQ(TimeToCover(0, 0, 3, 4, -1), 0.0f);
  EXPECT_EQ(TimeToCover(0, 0, 3, 4, kNaN), 0.0f);
}

TEST(TimeToCoverAccelerating, Cases) {
  struct Case {
    f32 speed, accel, max, distance, expected;
  };
  const Case cases[] = {
      {0, 2, 8, 4, 2},      // still accelerating
      {0, 2, 8, 20, 4.5f},  // 4 s to top speed over 16 m, then 4 m at 8 m/s
      {0, 2, 8, 0, 0},      {0, 2, 8, -3, 0},   {0, 2, 8, kNaN, 0},
      {8, 2, 8, 16, 2},     // already at top speed
      {10, 2, 8, 20, 2.5f}, // above top speed: no acceleration phase
      {2, 2, 8, 3, 1},      // sqrt(4 + 12) - 2 over 2
  };
  for (const Case& c : cases) {
    EXPECT_FLOAT_EQ(TimeToCoverAccelerating(c.speed, c.accel, c.max, c.distance), c.expected)
        << c.speed << " " << c.accel << " " << c.max << " " << c.distance;
  }
}

TEST(TimeToCoverAccelerating, NoTopSpeedNeverArrivesWithoutDividingByZero) {
  std::feclearexcept(FE_ALL_EXCEPT);
  EXPECT_EQ(TimeToCoverAccelerating(0, 2, 0, 5), kNeverTime);  // a standing runner held at 0
  EXPECT_EQ(TimeToCoverAccelerating(3, 2, 0, 5), kNeverTime);  // a moving one held at 0
  EXPECT_EQ(TimeToCoverAccelerating(0, 2, 0, 0), 0.0f);        // nothing to cover
  EXPECT_EQ(std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW), 0);
}

TEST(SpeedToCoverInTime, NoTimeLeftForACoveredDistanceNeedsNoSpeed) {
  std::feclearexcept(FE_ALL_EXCEPT);
  EXPECT_EQ(SpeedToCoverInTime(3, 2, 8, 0, 0, kTrue32), 0.0f);
  EXPECT_EQ(SpeedToCoverInTime(3, 2, 8, -1, 0, kFalse32), 0.0f);
  EXPECT_EQ(SpeedToCoverInTime(3, 2, 8, 4, 0, kFalse32), 8.0f);  // not covered: out of reach
  EXPECT_EQ(std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW), 0);
}

TEST(SpeedToCoverInTime, Cases) {
  struct Case {
    f32 speed, accel, max, distance, time;
    bool32 cap;
    f32 expected;
  };
  const f32 accelerating = static_cast<f32>(2 * (2 - std::sqrt(2.0)));  // about 1.17
  const Case cases[] = {
      {5, 2, 10, 10, 2, kFalse32, 5},                // even pace suffices
      {5, 2, 10, 4, 2, kFalse32, 2},                 // even slower pace
      {0, 2, 10, 2, 2, kFalse32, accelerating},      // tau = 2 - sqrt 2
      {0, 2, 10, 4, 2, kFalse32, 4},                 // exactly the reach: accelerate throughout
      {0, 2, 7, 10, 2, kFalse32, 7},                 // out of reach
      {0, 2, 1, 2, 2, kTrue32, 1},                   // capped
      {0, 2, 1, 2, 2, kFalse32, accelerating},       // not capped
      {1, 2, 10, -4, 2, kFalse32, 0},                // never negative
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(SpeedToCoverInTime(c.speed, c.accel, c.max, c.distance, c.time, c.cap), c.expected, 1e-5f)
        << c.speed << " " << c.distance << " " << c.time;
  }
}

TEST(SpeedToCoverInTime, DistanceAtTheRoundedReachNeverFails) {
  // The reach test is made on an f32; at the border the root's argument may
  // round below 0, which must give the full-acceleration speed, not a NaN.
  for (f32 s : {0.1f, 0.3f, 1.7f, 2.9f}) {
    for (f32 a : {0.7f, 1.3f, 3.1f}) {
      for (f32 t : {0.3f, 0.9f, 2.2f}) {
        const f32 reach = static_cast<f32>(static_cast<double>(s) * t + a / 2.0 * t * t);
        std::feclearexcept(FE_ALL_EXCEPT);
        const f32 v = SpeedToCoverInTime(s, a, 100.0f, reach, t, kFalse32);
        EXPECT_EQ(std::fetestexcept(FE_INVALID | FE_DIVBYZERO), 0) << s << " " << a << " " << t;
        // Near the border the root is steep, so only closeness is asked.
        EXPECT_NEAR(v, s + a * t, 0.01f) << s << " " << a << " " << t;
      }
    }
  }
}

TEST(ClosingTime, PerAxisWithFloorAndReach) {
  struct Case {
    f32 ax0, az0, ax1, az1, bx0, bz0, bx1, bz1, expected;
  };
  const Case cases[] = {
      {0, 0, 0, 0, 10, 3, 10, 3, 900},        // standing: (10 - 1) / 0.01 on the larger axis
      {0, 0, 0, 0, 1.5f, 1, 1.5f, 1, 0.01f},  // both gaps below twice the reach
      {0, 0, 1, 0, 10, 0, 10, 0, 4},          // x closes at 2 m/s from 9 m; z already within
      {0, 0, 0, 0, 10, 0, 12, 0, 1100},       // opening gap counts as closing at 0.01 m/s
  };
  for (const Case& c : cases) {
    EXPECT_FLOAT_EQ(ClosingTime(c.ax0, c.az0, c.ax1, c.az1, c.bx0, c.bz0, c.bx1, c.bz1, 0.5f, 1.0f), c.expected)
        << c.bx1 << "," << c.bz1;
  }
}

TEST(PredictRunPosition, RunsAndStops) {
  // At top speed: TopSpeed x Time towards the target.
  TRunPrediction r = PredictRunPosition(8, 2, 8, 2, 45, 0, 0, 0, 100, kFalse32);
  EXPECT_NEAR(r.x, 0, 1e-5f);
  EXPECT_FLOAT_EQ(r.z, 16);
  EXPECT_EQ(r.speed, 8);
  EXPECT_EQ(r.heading, 90);

  // The acceleration phase is counted at the start speed (0 here): only the
  // second after it moves the runner, at top speed.
  r = PredictRunPosition(0, 2, 8, 5, 45, 0, 0, 0, 100, kFalse32);
  EXPECT_FLOAT_EQ(r.z, 8);
  EXPECT_EQ(r.speed, 8);
  r = PredictRunPosition(0, 2, 8, 3, 45, 0, 0, 0, 100, kFalse32);
  EXPECT_EQ(r.z, 0);
  EXPECT_EQ(r.speed, 8);

  // The point and the speed reached are rounded only when returned: here a
  // rounded speed (6 exactly) would put the runner a bit short.
  const f32 tA = static_cast<f32>((6.0 - 0.1f) / 1.5f);
  r = PredictRunPosition(0.1f, 1.5f, 6, 4, 45, 0, 0, 0, 100, kFalse32);
  EXPECT_EQ(r.z, static_cast<f32>(0.1f * double(tA) + (1.5f * double(tA) + 0.1f) * (4.0 - tA)));

  // Speeds out of 0..TopSpeed are brought into it first.
  r = PredictRunPosition(-3, 2, 8, 1, 45, 0, 0, 0, 100, kFalse32);
  EXPECT_EQ(r.z, 0);
  r = PredictRunPosition(12, 2, 8, 1, 45, 0, 0, 0, 100, kFalse32);
  EXPECT_FLOAT_EQ(r.z, 8);

  // Beyond a target 1 m away: the target, speed 0, the stop heading.
  r = PredictRunPosition(5, 2, 5, 1, 33, 0, 0, -1, 0, kTrue32);
  EXPECT_EQ(r.x, -1);
  EXPECT_EQ(r.z, 0);
  EXPECT_EQ(r.speed, 0);
  EXPECT_EQ(r.heading, 33);
  // Short of it: runs on with the heading to the target.
  r = PredictRunPosition(5, 2, 5, 1, 33, 0, 0, -10, 0, kTrue32);
  EXPECT_FLOAT_EQ(r.x, -5);
  EXPECT_EQ(r.heading, 0);
}

TEST(LaunchVelocity, DragFreeFlight) {
  TVector3 v = LaunchVelocity(0, 0, 0, 0, 0, 10, 1);
  EXPECT_NEAR(v.x, 0, 1e-5f);
  EXPECT_FLOAT_EQ(v.z, 10);
  EXPECT_FLOAT_EQ(v.y, 4.905f);
  v = LaunchVelocity(5, 1, 0, -1, 3, 8, 2);  // 10 m away, 2 m up, in 2 s
  EXPECT_FLOAT_EQ(v.x, -3);
  EXPECT_FLOAT_EQ(v.z, 4);
  EXPECT_FLOAT_EQ(v.y, (4.905f * 4 + 2) / 2);
}

TEST(ScalarRates, DepleteClampedLinearAndFalloff) {
  EXPECT_FLOAT_EQ(DepleteByRate(1, 2, 0.04f, 5), 0.6f);
  EXPECT_EQ(DepleteByRate(0.1f, 2, 0.04f, 5), 0.0f);
  EXPECT_EQ(DepleteByRate(-1, 0, 0.04f, 5), 0.0f);

  EXPECT_EQ(ClampedLinear(2, 3, 1, 0, 100, kTrue32, kTrue32), 7);
  EXPECT_EQ(ClampedLinear(2, 3, 1, 10, 100, kTrue32, kTrue32), 10);
  EXPECT_EQ(ClampedLinear(2, 3, 1, 10, 5, kTrue32, kTrue32), 5);  // Max applied last
  EXPECT_EQ(ClampedLinear(2, 3, 1, 10, 5, kFalse32, kFalse32), 7);

  const std::pair<f32, f32> falloff[] = {{12.5f, 8}, {20, 4.8f}, {60, 0}, {0, 8}, {kNaN, 8}};
  for (auto [amount, expected] : falloff) EXPECT_FLOAT_EQ(DistanceFalloff(amount, -2, 8), expected) << amount;
  EXPECT_EQ(DistanceFalloff(20, 2, 8), 8);  // never above the value
}

// The speed a turn leaves is bit for bit the falloff of HeadingDifference,
// over turns about the free amount and far beyond it, every way round, with
// speeds under, at and over the cap and slopes of either sign.
TEST(SpeedAfterTurn, TheSameBitsAsTheFalloffOfTheTurn) {
  const auto bits = [](f32 v) { uint32_t b; std::memcpy(&b, &v, sizeof b); return b; };
  int wrong = 0;
  for (int k = 0; k < 300000; ++k) {
    const f32 h2 = static_cast<f32>((k % 7919) * 0.0917 - 360.0);
    // Turns clustered round 12.5 degrees and round a half turn, the rest up
    // to 180; slopes whose falloff reaches nothing near 100, 178.6 and
    // 45 degrees, or never.
    const double turn = k % 3 == 0   ? 12.5 + ((k * 31) % 2001 - 1000) * 2e-5
                        : k % 3 == 1 ? 180.0 - ((k * 13) % 20001) * 1e-3
                                     : (k * 7) % 180001 * 1e-3;
    const f32 h1 = static_cast<f32>(h2 + (k % 2 != 0 ? turn : -turn) + (k % 5 - 2) * 360.0);
    const f32 rates[] = {0.3f, -0.5f, -1.0f, -0.56f, -2.2222222f, -0.75f, -3.0f};
    const f32 rate = rates[(k / 3) % 7];
    const f32 top = 8.5f;
    const f32 speed = static_cast<f32>((k % 37) * 0.25);
    const f32 want = std::min(speed, DistanceFalloff(HeadingDifference(h1, h2), rate, top));
    if (bits(SpeedAfterTurn(speed, h1, h2, rate, top)) != bits(want)) ++wrong;
  }
  EXPECT_EQ(wrong, 0);
  const f32 nan = std::numeric_limits<f32>::quiet_NaN();
  std::feclearexcept(FE_ALL_EXCEPT);
  EXPECT_TRUE(std::isnan(SpeedAfterTurn(nan, 10.0f, 50.0f, -1.0f, 8.0f)));
  EXPECT_EQ(SpeedAfterTurn(9.0f, 10.0f, 50.0f, -1.0f, 8.0f), 4.8f);
  std::feclearexcept(FE_ALL_EXCEPT);
}

TEST(ProfileValueAt, SegmentsShiftedThroughTheCurrentValue) {
  const TStrategyShape p = Profile({{100, 0, 40}, {100, 40, 0}}, 1);
  struct Case {
    f32 now, segmentStart, current, expected;
  };
  const Case cases[] = {
      {50, 0, 0, 20},    {150, 0, 0, 20},  {100, 0, 0, 40},
      {-5, 0, 0, 0},     // before the start: start(1)
      {300, 0, 0, 0},    // after the end: end(n)
      {50, 0, 5, 25},    // shifted by Current - start(c)
      {60, 10, 0, 20},   // read from when segment 1 began
  };
  for (const Case& c : cases) EXPECT_FLOAT_EQ(ProfileValueAt(p, c.now, c.segmentStart, c.current), c.expected) << c.now;

  // Current segment 2 began at 0: tau = Now + 100.
  const TStrategyShape q = Profile({{100, 0, 40}, {100, 40, 0}}, 2);
  EXPECT_FLOAT_EQ(ProfileValueAt(q, 10, 0, 40), 36);
  EXPECT_FLOAT_EQ(ProfileValueAt(q, -200, 0, 7), 0 + 7 - 40);   // before: start(1) shifted
  EXPECT_FLOAT_EQ(ProfileValueAt(q, 500, 0, 7), 0 + 7 - 40);    // after: end(n) shifted
}

TEST(ProfileValueAt, KeyReadsAndDegenerateProfiles) {
  // Read by key alone: the profile from its own start, unshifted.
  const TStrategyShape line = Profile({{100, 0, 40}, {100, 40, 0}}, 0);
  EXPECT_FLOAT_EQ(ProfileValueAt(line, 50), 20);
  EXPECT_FLOAT_EQ(ProfileValueAt(line, 150), 20);

  // No segment: the start value, never a read outside the table.
  TStrategyShape empty;
  std::memset(&empty, 0, sizeof empty);
  EXPECT_EQ(ProfileValueAt(empty, 5), 0.0f);
  EXPECT_EQ(ProfileValueAt(empty, -5, 0, 3), 3.0f);

  // Counts beyond the table are read no further than its 20 entries.
  TStrategyShape wide = Profile({{10, 1, 1}}, 0);
  wide.SegmentCount = 50;
  wide.EndValues[20] = 6;
  std::feclearexcept(FE_ALL_EXCEPT);
  EXPECT_EQ(ProfileValueAt(wide, 5), 1.0f);   // segments 2..20 have no duration
  EXPECT_EQ(ProfileValueAt(wide, 50), 6.0f);  // past the end: entry 20's end
  wide.CurrentSegment = 40;                   // all 20 durations (10 s) come before it
  EXPECT_EQ(ProfileValueAt(wide, -5), 1.0f);
  EXPECT_EQ(std::fetestexcept(FE_INVALID | FE_DIVBYZERO), 0);
}

TEST(AdvanceAnimTime, HoldOrWrap) {
  struct Case {
    f32 time, length, rate, dt;
    bool32 loop;
    f32 expected;
  };
  const Case cases[] = {
      {1.9f, 2, 1, 0.2f, kFalse32, 2},      {1.9f, 2, 1, 0.2f, kTrue32, 0.1f}, {0.5f, 2, 1, 0.2f, kFalse32, 0.7f},
      {2.5f, 2, 1, 0.2f, kFalse32, 2},      // already past the end
      {3.9f, 2, 1, 0.2f, kTrue32, 0.1f},    // wraps back by whole loops
      {1.0f, 2, 0.5f, 0.2f, kTrue32, 1.1f},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(AdvanceAnimTime(c.time, c.length, c.rate, c.dt, c.loop), c.expected, 1e-5f) << c.time;
  }
}

#include "setup/BallKeyframes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <numbers>

namespace {

// A zero rotation change may be stored as this instead of 0.
bool NearZeroTurn(f32 r) { return std::fabs(r - 8.74228e-08) < 1e-12; }
constexpr double kStep = 0.008;
constexpr double kTurn = std::numbers::pi / 125.0;

bool OnGrid(double v, double step) { return std::fabs(v / step - std::nearbyint(v / step)) < 1e-4; }

class BallKeyframesTest : public ::testing::Test {
 protected:
  void SetUp() override { BuildBallKeyframes(); }
};

TEST_F(BallKeyframesTest, KeyCountsAndEvenFractions) {
  BallKeyTracks[91].KeyCount = 7;  // left over from before: the build must clear it
  BallKeyTracks[100].Keys[3].OffsetY = 1.0f;
  BuildBallKeyframes();
  std::map<int, int> tracksByCount;
  int keys = 0;
  for (int t = 1; t <= 90; ++t) {
    const TBallKeyTrack& track = BallKeyTracks[t];
    ++tracksByCount[track.KeyCount];
    keys += track.KeyCount;
    const int n = track.KeyCount;
    for (int k = 1; k <= n; ++k)
      EXPECT_FLOAT_EQ(track.Keys[k].Fraction, static_cast<f32>(k - 1) / static_cast<f32>(n - 1)) << t << "/" << k;
    EXPECT_EQ(track.Keys[1].Fraction, 0.0f);
    EXPECT_EQ(track.Keys[n].Fraction, 1.0f);
  }
  const std::map<int, int> expected = {{12, 52}, {20, 15}, {6, 13}, {5, 4}, {18, 3}, {8, 1}, {16, 1}, {22, 1}};
  EXPECT_EQ(tracksByCount, expected);
  EXPECT_EQ(keys, 1122);
  for (int t = 91; t <= 100; ++t) {
    EXPECT_EQ(BallKeyTracks[t].KeyCount, 0) << t;
    for (const TBallKey& key : BallKeyTracks[t].Keys) EXPECT_EQ(key.OffsetY, 0.0f) << t;
  }
}

TEST_F(BallKeyframesTest, ValuesStayOnTheirGridAndWithinReach) {
  double lo[3] = {1e9, 1e9, 1e9}, hi[3] = {-1e9, -1e9, -1e9};
  for (int t = 1; t <= 90; ++t) {
    for (int k = 1; k <= BallKeyTracks[t].KeyCount; ++k) {
      const TBallKey& key = BallKeyTracks[t].Keys[k];
      const double offsets[3] = {key.OffsetX, key.OffsetY, key.OffsetZ};
      for (int a = 0; a < 3; ++a) {
        EXPECT_TRUE(OnGrid(offsets[a], kStep)) << t << "/" << k << " axis " << a << ": " << offsets[a];
        lo[a] = std::min(lo[a], offsets[a]);
        hi[a] = std::max(hi[a], offsets[a]);
      }
      for (f32 r : {key.Rot1, key.Rot2, key.Rot3})
        EXPECT_TRUE(NearZeroTurn(r) || OnGrid(r, kTurn)) << t << "/" << k << ": " << r;
    }
  }
  // The extremes of the whole table, reached and never passed.
  EXPECT_FLOAT_EQ(lo[0], -0.512);
  EXPECT_FLOAT_EQ(hi[0], 0.544);
  EXPECT_FLOAT_EQ(lo[1], 0.032);
  EXPECT_FLOAT_EQ(hi[1], 1.6);
  EXPECT_FLOAT_EQ(lo[2], -0.504);
  EXPECT_FLOAT_EQ(hi[2], 0.648);
}

TEST_F(BallKeyframesTest, KnownFirstAndLastKeyframes) {
  struct Case {
    int track;
    int count;
    f32 first[6];
    f32 last[3];
  };
  const Case cases[] = {
      {1, 12, {0.176f, 0.696f, 0.104f, -0.753982f, -0.226195f, -0.226195f}, {0.192f, 0.696f, 0.104f}},
      {8, 5, {0.168f, 0.688f, 0.136f, -0.301593f, -0.125664f, -0.251327f}, {0.168f, 0.688f, 0.136f}},
      {9, 12, {-0.2f, 0.672f, 0.208f, 1.5331f, 0.0f, 0.854513f}, {-0.032f, 0.632f, 0.2f}},
      {20, 20, {0.152f, 0.704f, 0.104f, -0.376991f, 0.0f, -0.326726f}, {0.0f, 0.256f, 0.528f}},
  };
  for (const Case& c : cases) {
    const TBallKeyTrack& track = BallKeyTracks[c.track];
    ASSERT_EQ(track.KeyCount, c.count) << c.track;
    const TBallKey& a = track.Keys[1];
    const TBallKey& z = track.Keys[c.count];
    const f32 first[6] = {a.OffsetX, a.OffsetY, a.OffsetZ, a.Rot1, a.Rot2, a.Rot3};
    const f32 last[3] = {z.OffsetX, z.OffsetY, z.OffsetZ};
    // Six significant digits, as the values are quoted.
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(first[i], c.first[i], 5e-6) << c.track << " value " << i;
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(last[i], c.last[i], 1e-6) << c.track << " value " << i;
  }
}

// Track 1 halfway through: f = 0.5 lies between keyframes 6 and 7 (fractions
// 5/11 and 6/11) at u = 0.5.
TEST_F(BallKeyframesTest, CarryTrackHalfway) {
  const TBallKeyTrack& track = BallKeyTracks[1];
  const TBallKey& k6 = track.Keys[6];
  const TBallKey& k7 = track.Keys[7];
  EXPECT_LT(k6.Fraction, 0.5f);
  EXPECT_GE(k7.Fraction, 0.5f);
  EXPECT_NEAR((0.5 - k6.Fraction) / (k7.Fraction - k6.Fraction), 0.5, 1e-6);
  EXPECT_NEAR((k6.OffsetX + k7.OffsetX) / 2, 0.156, 1e-6);
  EXPECT_NEAR((k6.OffsetY + k7.OffsetY) / 2, 0.704, 1e-6);
  EXPECT_NEAR((k6.OffsetZ + k7.OffsetZ) / 2, 0.124, 1e-6);
  EXPECT_TRUE(NearZeroTurn(track.Keys[2].Rot1));
  EXPECT_TRUE(NearZeroTurn(k6.Rot1));
  EXPECT_NEAR(k7.Rot1, 0.0502656, 1e-6);
  double rot1 = 0;
  for (int k = 1; k <= 6; ++k) rot1 += track.Keys[k].Rot1;
  EXPECT_NEAR(rot1 + 0.5 * k7.Rot1, -0.753982 + 0.0251328, 1e-6);
}

// The tracks of looping animations end where they start, so the ball does not
// jump or spin round when the loop comes round.
TEST_F(BallKeyframesTest, LoopingTracksCloseOnThemselves) {
  for (int t : {1, 8, 31, 63, 66, 67, 68, 69, 70, 73, 74, 76, 80, 81, 82, 85, 86, 89}) {
    const TBallKeyTrack& track = BallKeyTracks[t];
    const TBallKey& a = track.Keys[1];
    const TBallKey& z = track.Keys[track.KeyCount];
    EXPECT_LE(std::hypot(z.OffsetX - a.OffsetX, z.OffsetY - a.OffsetY, z.OffsetZ - a.OffsetZ), 0.0161) << t;
    double turn[3] = {0, 0, 0};
    for (int k = 2; k <= track.KeyCount; ++k) {
      turn[0] += track.Keys[k].Rot1;
      turn[1] += track.Keys[k].Rot2;
      turn[2] += track.Keys[k].Rot3;
    }
    for (double v : turn) EXPECT_NEAR(v, 0.0, 1e-6) << t;
  }
}

}  // namespace

#include "core/OptionWeights.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/DrawCount.h"
#include "core/FloatFlags.h"
#include "core/StrategyShapes.h"
#include "flow/OpenPlayScene.h"

namespace {

// The first n weights of zone row 1 after normalising a family of n options
// whose every row holds `row`.
std::vector<i16> Normalised(const std::vector<i16>& row) {
  TOptionFamily f{};
  f.OptionCount = static_cast<i16>(row.size());
  for (int z = 1; z <= 30; ++z) {
    for (size_t j = 0; j < row.size(); ++j) f.Weights[z][static_cast<int>(j) + 1] = row[j];
  }
  NormaliseOptionWeights(f);
  std::vector<i16> out;
  for (size_t j = 0; j < row.size(); ++j) {
    EXPECT_EQ(f.Weights[30][static_cast<int>(j) + 1], f.Weights[1][static_cast<int>(j) + 1]);
    out.push_back(f.Weights[1][static_cast<int>(j) + 1]);
  }
  return out;
}

TEST(OptionWeightsTest, RowsBecomePerMilleWithHalvesToEven) {
  struct Case {
    std::vector<i16> in, out;
  };
  const Case cases[] = {
      {{2, 1, 1}, {500, 250, 250}},
      {{100, 100, 30, 30, 5, 0}, {377, 377, 113, 113, 19, 0}},
      {{0, 0, 0, 0, 0, 0}, {167, 167, 167, 167, 167, 167}},
      {{0, 0, 0}, {333, 333, 333}},
      {{1, 15}, {62, 938}},  // 62.5 goes down to the even 62
      {{2, 2, 0}, {500, 500, 0}},
      {{-3, 1}, {500, 500}},  // a sum below 1 makes the row even
  };
  for (const Case& c : cases) EXPECT_EQ(Normalised(c.in), c.out);
}

TEST(OptionWeightsTest, OnlyTheFirstCountEntriesChange) {
  TOptionFamily f{};
  f.OptionCount = 2;
  f.Weights[4][1] = 3;
  f.Weights[4][2] = 1;
  f.Weights[4][3] = 99;
  NormaliseOptionWeights(f);
  EXPECT_EQ(f.Weights[4][1], 750);
  EXPECT_EQ(f.Weights[4][2], 250);
  EXPECT_EQ(f.Weights[4][3], 99);
  EXPECT_EQ(f.Weights[5][1], 500);  // an empty row is made even

  TOptionFamily none{};
  none.Weights[1][1] = 7;
  NormaliseOptionWeights(none);
  EXPECT_EQ(none.Weights[1][1], 7);
  none.OptionCount = -2;
  NormaliseOptionWeights(none);
  EXPECT_EQ(none.Weights[1][1], 7);
}

TEST(OptionWeightsTest, CountBeyondTheRowWidthStaysInsideTheRow) {
  TOptionFamily f{};
  f.OptionCount = 25;
  for (int j = 1; j <= 20; ++j) f.Weights[1][j] = 1;
  NormaliseOptionWeights(f);
  for (int j = 1; j <= 20; ++j) EXPECT_EQ(f.Weights[1][j], 50) << j;
}

// ---------------------------------------------------------------- ChoosePlayOption

TWorld W;

// A row that always gives `option`: all the weight on it.
void SetRow(TFieldStrategyHalf& H, int zone, int option) {
  for (int j = 1; j <= 20; ++j) H.Families[1].Weights[zone][j] = j == option ? 1000 : 0;
}

// Both teams' strategies: the normal half has three zones along the pitch
// (z -60..-10, -10..10, 10..60) whose rows give options 1, 2 and 3... as the
// tests set them; the catch-up half has one zone giving option 5.
class ChoosePlayOptionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Saved = FieldStrategy;
    MakeOpenPlayPitch(W);
    W.halflength = 2400.0f;
    W.clock = 600.0f;
    W.MatchPhase = 1;
    W.gamestate = gsGotTackled;
    W.Team1InFirstBlock = kTrue32;
    for (TFieldStrategy& F : FieldStrategy) {
      F = TFieldStrategy{};
      F.CatchUpThreshold = 1.0f;
      const f32 bounds[4] = {-60, -10, 10, 60};
      F.Normal.ZoneCount = 3;
      F.Normal.Families[1].OptionCount = 6;
      for (int k = 1; k <= 3; ++k) {
        F.Normal.Zones[k] = {-35.0f, bounds[k - 1], 35.0f, bounds[k]};
        SetRow(F.Normal, k, 1);
      }
      F.CatchUp.ZoneCount = 1;
      F.CatchUp.Families[1].OptionCount = 6;
      F.CatchUp.Zones[1] = {-35.0f, -60.0f, 35.0f, 60.0f};
      SetRow(F.CatchUp, 1, 5);
    }
    RandSeed = 4711;
  }
  void TearDown() override { FieldStrategy = Saved; }

  // Every zone of both teams' normal halves gives `option`.
  static void AllZonesGive(int option) {
    for (TFieldStrategy& F : FieldStrategy) {
      for (int k = 1; k <= 3; ++k) SetRow(F.Normal, k, option);
    }
  }

  // Chooses for both sides; the number of draws taken.
  static int Choose(bool32 first = kTrue32, bool32 second = kTrue32) {
    const u32 before = RandSeed;
    std::feclearexcept(FE_ALL_EXCEPT);
    ChoosePlayOption(W, first, second);
    EXPECT_FALSE(FloatErrorRaised());
    return DrawsSince(before);
  }

  static inline Arr1<TFieldStrategy, 2> Saved;
};

TEST_F(ChoosePlayOptionTest, PointOnAZoneLineTakesTheNearerCentreThenTheLowerZone) {
  // Zones 1 (-10..0, centre -5) and 2 (0..10, centre 5) meet at z = 0; the
  // scrum is at the mark, wherever the ball is.
  TFieldStrategyHalf& H = FieldStrategy[1].Normal;
  H.ZoneCount = 2;
  H.Zones[1] = {-35.0f, -10.0f, 35.0f, 0.0f};
  H.Zones[2] = {-35.0f, 0.0f, 35.0f, 10.0f};
  SetRow(H, 1, 1);
  SetRow(H, 2, 2);
  W.gamestate = gsScrum;
  W.MarkZ = 0.0f;
  W.BallPos = {0.0f, 0.0f, 5.0f};  // inside zone 2: not what a scrum reads
  EXPECT_EQ(Choose(kTrue32, kFalse32), 1);
  EXPECT_EQ(W.Teams[1].PlayOption, 1) << "equal distances: the lower zone";
  H.Zones[1].z1 = -12.0f;  // centre -6: zone 2 is nearer
  Choose(kTrue32, kFalse32);
  EXPECT_EQ(W.Teams[1].PlayOption, 2);

  // The lineout point is 5 m in from its touch line.
  W.gamestate = gsLineout;
  W.LineoutZ = 5.0f;
  H.Zones[1] = {-35.0f, -10.0f, 35.0f, 10.0f};
  H.Zones[2] = {-35.0f, -10.0f, 35.0f, 10.0f};
  H.Zones[1].x1 = 29.0f;  // zone 1 holds x 29..35 only
  W.LineoutOnNegativeX = kFalse32;
  Choose(kTrue32, kFalse32);
  EXPECT_EQ(W.Teams[1].PlayOption, 1);
  W.LineoutOnNegativeX = kTrue32;
  Choose(kTrue32, kFalse32);
  EXPECT_EQ(W.Teams[1].PlayOption, 2);
}

TEST_F(ChoosePlayOptionTest, EachBlockReadsItsOwnRecordInItsOwnFrame) {
  // Team 2 holds the ball: block 1 reads team 2's record. The ball at z 20 is
  // in zone 3 for block 1 and, mirrored, in zone 1 for block 2.
  W.Team1InFirstBlock = kFalse32;
  W.BallPos = {0.0f, 0.0f, 20.0f};
  for (int k = 1; k <= 3; ++k) {
    SetRow(FieldStrategy[2].Normal, k, k);
    SetRow(FieldStrategy[1].Normal, k, 3 + k);  // 4, 5, 6
  }
  EXPECT_EQ(Choose(), 2);
  EXPECT_EQ(W.Teams[1].PlayOption, 3);
  EXPECT_EQ(W.Teams[2].PlayOption, 4);
  // Only the sides asked for get a new option.
  W.Teams[1].PlayOption = 9;
  EXPECT_EQ(Choose(kFalse32, kTrue32), 1);
  EXPECT_EQ(W.Teams[1].PlayOption, 9);
  EXPECT_EQ(Choose(kFalse32, kFalse32), 0);
}

TEST_F(ChoosePlayOptionTest, NoDefensiveKickWithin10mOfTheGoalLineAttacked) {
  AllZonesGive(3);
  struct Case {
    const char* what;
    TGameState state;
    f32 z;  // of the ball, mark or lineout
    bool replaced;
  };
  const Case cases[] = {
      {"ruck 8 m out", gsGotTackled, 42.0f, true},
      {"ruck 10 m out", gsGotTackled, 40.0f, false},
      {"scrum 8 m out", gsScrum, 42.0f, true},
      {"lineout 12 m out", gsLineout, 38.0f, false},
      {"lineout 9 m out", gsLineout, 41.0f, true},
      {"running, 8 m out", gsRunning, 42.0f, false},
  };
  for (const Case& c : cases) {
    W.gamestate = c.state;
    W.BallPos.z = W.MarkZ = W.LineoutZ = c.z;
    for (u32 seed = 1; seed <= 20; ++seed) {
      RandSeed = seed;
      EXPECT_EQ(Choose(kTrue32, kFalse32), c.replaced ? 2 : 1) << c.what;
      const u16 o = W.Teams[1].PlayOption;
      if (c.replaced) {
        EXPECT_TRUE(o == 1 || o == 2) << c.what << ": " << o;
      } else {
        EXPECT_EQ(o, 3) << c.what;
      }
    }
  }
  // Block 2 attacks -z: a ruck 8 m from that line; its replacement is drawn
  // after its weighted draw, block 1 (kick 4 at 42 m from -z) draws once.
  AllZonesGive(4);
  W.gamestate = gsGotTackled;
  W.BallPos.z = -42.0f;
  RandSeed = 99;
  EXPECT_EQ(Choose(), 3);
  EXPECT_EQ(W.Teams[1].PlayOption, 4);
  EXPECT_NE(W.Teams[2].PlayOption, 4);
  RandSeed = SeedAfter(99, 2);
  EXPECT_EQ(W.Teams[2].PlayOption, RandomRange(1, 3) == 1 ? 1 : 2);
}

TEST_F(ChoosePlayOptionTest, TimeRulesOverrideTheDraw) {
  AllZonesGive(4);
  for (TFieldStrategy& F : FieldStrategy) F.CatchUpThreshold = 1000.0f;  // the normal half throughout
  W.Teams[1].score = 10;
  W.Teams[2].score = 3;
  struct Case {
    const char* what;
    f32 clock;
    u16 first, second;
  };
  const Case cases[] = {
      {"11 s before full time", 4789.0f, 4, 4},
      {"10 s before full time", 4790.0f, 2, 2},
      {"at full time", 4800.0f, 7, 2},
      {"after full time", 4830.0f, 7, 2},
  };
  for (const Case& c : cases) {
    W.clock = c.clock;
    Choose();
    EXPECT_EQ(W.Teams[1].PlayOption, c.first) << c.what;
    EXPECT_EQ(W.Teams[2].PlayOption, c.second) << c.what;
  }
  W.Teams[2].score = 10;  // level: no leader
  Choose();
  EXPECT_EQ(W.Teams[1].PlayOption, 2);
  EXPECT_EQ(W.Teams[2].PlayOption, 2);
}

TEST_F(ChoosePlayOptionTest, DropGoalOutOfRangeBecomesARun) {
  AllZonesGive(6);
  struct Case {
    const char* what;
    TGameState state;
    f32 ballX, ballZ, markZ;
    u16 first;
  };
  const Case cases[] = {
      {"ruck 40 m from the posts", gsGotTackled, 0.0f, 10.0f, 10.0f, 2},
      {"ruck 30 m from the posts", gsGotTackled, 0.0f, 20.0f, 20.0f, 6},
      {"ruck 37 m, on the limit", gsGotTackled, 0.0f, 13.0f, 13.0f, 6},
      {"ruck wide: 30 across, 20 out", gsGotTackled, 30.0f, 30.0f, 30.0f, 6},
      {"ruck wide: 30 across, 25 out", gsGotTackled, 30.0f, 25.0f, 25.0f, 2},
      {"scrum: the ball, not the mark", gsScrum, 0.0f, 10.0f, 20.0f, 2},
      {"running keeps it", gsRunning, 0.0f, -40.0f, 0.0f, 6},
  };
  for (const Case& c : cases) {
    W.gamestate = c.state;
    W.BallPos = {c.ballX, 0.0f, c.ballZ};
    W.MarkZ = c.markZ;
    Choose(kTrue32, kFalse32);
    EXPECT_EQ(W.Teams[1].PlayOption, c.first) << c.what;
  }
  // Block 2 measures to the goal line at -z with the ball as it stands.
  W.gamestate = gsGotTackled;
  W.BallPos = {0.0f, 0.0f, -20.0f};
  Choose();
  EXPECT_EQ(W.Teams[1].PlayOption, 2);
  EXPECT_EQ(W.Teams[2].PlayOption, 6);
}

TEST_F(ChoosePlayOptionTest, CatchUpHalfByTheRatioAloneAndTheFlagAlsoInTheLastFiveMinutes) {
  struct Case {
    const char* what;
    f32 clock;
    i32 score1, score2;
    f32 threshold;         // of both teams
    u16 option1, option2;  // 5 from the catch-up half, 1 from the normal one
    bool32 catching1, catching2;
  };
  const Case cases[] = {
      // After full time the minutes left are 0.01: one point behind is 100 a
      // minute (the half it reads is checked below).
      {"full time, 1 behind, threshold 99", 4810.0f, 10, 11, 99.0f, 0, 0, kTrue32, kFalse32},
      {"full time, 1 behind, threshold 101", 4810.0f, 10, 11, 101.0f, 0, 0, kTrue32, kFalse32},
      {"4 min left, 1 behind", 4560.0f, 10, 11, 1.0f, 1, 1, kTrue32, kFalse32},
      {"5 min left, 1 behind", 4500.0f, 10, 11, 1.0f, 1, 1, kTrue32, kFalse32},
      {"6 min left, 1 behind", 4440.0f, 10, 11, 1.0f, 1, 1, kFalse32, kFalse32},
      {"6 min left, 7 behind", 4440.0f, 3, 10, 1.0f, 5, 1, kTrue32, kFalse32},
      {"6 min left, the other side 7 behind", 4440.0f, 10, 3, 1.0f, 1, 5, kFalse32, kTrue32},
      {"4 min left, level", 4560.0f, 10, 10, 1.0f, 1, 1, kFalse32, kFalse32},
  };
  for (const Case& c : cases) {
    W.clock = c.clock;
    W.Teams[1].score = c.score1;
    W.Teams[2].score = c.score2;
    for (TFieldStrategy& F : FieldStrategy) F.CatchUpThreshold = c.threshold;
    W.Teams[1].CatchingUp = W.Teams[2].CatchingUp = 7;
    EXPECT_EQ(Choose(kFalse32, kFalse32), 0);  // the flags are renewed without a draw
    EXPECT_EQ(W.Teams[1].CatchingUp, c.catching1) << c.what;
    EXPECT_EQ(W.Teams[2].CatchingUp, c.catching2) << c.what;
    if (c.clock >= 4800.0f) continue;  // checked below
    Choose();
    EXPECT_EQ(W.Teams[1].PlayOption, c.option1) << c.what;
    EXPECT_EQ(W.Teams[2].PlayOption, c.option2) << c.what;
  }
  // After full time every option ends as 2 or 7: a normal half without
  // options shows by the missing draw which half was read.
  FieldStrategy[1].Normal.Families[1].OptionCount = 0;
  W.clock = 4810.0f;
  W.Teams[1].score = 10;
  W.Teams[2].score = 11;
  FieldStrategy[1].CatchUpThreshold = 99.0f;
  EXPECT_EQ(Choose(kTrue32, kFalse32), 1);
  FieldStrategy[1].CatchUpThreshold = 101.0f;
  EXPECT_EQ(Choose(kTrue32, kFalse32), 0);
  EXPECT_EQ(W.Teams[1].PlayOption, 2);
}

TEST_F(ChoosePlayOptionTest, OptionCountBoundsTheDrawAndTheWeightsWritten) {
  TOptionFamily& play = FieldStrategy[1].Normal.Families[1];
  for (int j = 1; j <= 25; ++j) W.ChoiceWeights[j] = -7;
  W.BallPos.z = 0.0f;  // zone 2

  play.OptionCount = 0;  // no weights: option 0, no draw
  EXPECT_EQ(Choose(kTrue32, kFalse32), 0);
  EXPECT_EQ(W.Teams[1].PlayOption, 0);
  EXPECT_EQ(W.ChoiceWeights[1], -7);

  play.OptionCount = 25;  // more than a row holds: its 20 weights only
  SetRow(FieldStrategy[1].Normal, 2, 20);
  EXPECT_EQ(Choose(kTrue32, kFalse32), 1);
  EXPECT_EQ(W.Teams[1].PlayOption, 20);
  EXPECT_EQ(W.ChoiceWeights[20], 1000);
  for (int j = 21; j <= 25; ++j) EXPECT_EQ(W.ChoiceWeights[j], -7) << j;

  play.OptionCount = 3;  // the row's first three only; the rest of the weights stay
  SetRow(FieldStrategy[1].Normal, 2, 2);
  Choose(kTrue32, kFalse32);
  EXPECT_EQ(W.Teams[1].PlayOption, 2);
  EXPECT_EQ(W.ChoiceWeights[2], 1000);
  EXPECT_EQ(W.ChoiceWeights[4], 0);  // left from the count of 25
}

TEST_F(ChoosePlayOptionTest, DrawIsWeightedByTheZoneRow) {
  TOptionFamily& play = FieldStrategy[1].Normal.Families[1];
  for (int j = 1; j <= 6; ++j) play.Weights[2][j] = 0;
  play.Weights[2][1] = 250;
  play.Weights[2][2] = 750;
  W.BallPos.z = 0.0f;
  for (u32 seed = 1; seed <= 30; ++seed) {
    RandSeed = seed;
    const i32 r = RandomRange(1, 1001);
    RandSeed = seed;
    Choose(kTrue32, kFalse32);
    EXPECT_EQ(W.Teams[1].PlayOption, r <= 250 ? 1 : 2) << r;
  }
}

}  // namespace

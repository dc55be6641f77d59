#include "core/StrategyZones.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfenv>
#include <cstring>

#include "core/Caches.h"
#include "core/FloatFlags.h"
#include "core/Kinematics.h"
#include "core/StrategyShapes.h"

namespace {

TWorld W;

// Shape n rises by n/10 per metre across the pitch, so each shape is known
// by its slope.
TStrategyShape Ramp(int n) {
  TStrategyShape s{};
  s.SegmentCount = 1;
  s.Capacity = 20;
  s.CurrentSegment = 1;
  s.Durations[1] = 200.0f;
  s.StartValues[1] = 0.0f;
  s.EndValues[1] = 20.0f * n;
  return s;
}

// Three zones along the pitch (z -60..-10, -10..10, 10..60); zone k plays
// open-play shape k and set-play shape k + 3. The catch-up half plays
// shapes 2 and 6 everywhere.
void SetUpStrategies() {
  for (int n = 1; n <= 10; ++n) StrategyParams.Shapes[n] = Ramp(n);
  for (TFieldStrategy& F : FieldStrategy) {
    F = TFieldStrategy{};
    F.CatchUpThreshold = 1.0f;
    const f32 bounds[4] = {-60, -10, 10, 60};
    for (TFieldStrategyHalf* H : {&F.Normal, &F.CatchUp}) {
      H->ZoneCount = 3;
      for (int k = 1; k <= 3; ++k) {
        H->Zones[k] = {-35.0f, bounds[k - 1], 35.0f, bounds[k]};
        H->OpenPlayStrategy[k] = H == &F.Normal ? static_cast<f32>(k) : 2.0f;
        H->SetPlayStrategy[k] = H == &F.Normal ? static_cast<f32>(k + 3) : 6.0f;
      }
    }
  }
}

void ResetWorld(TGameState state) {
  std::memset(&W, 0, sizeof W);
  SetUpStrategies();
  W.gamestate = state;
  W.FrameGameState = state;
  W.PrevFrameGameState = state;
  W.halflength = 2400.0f;
  W.clock = 600.0f;
  W.TimeStep = 0.04f;
  W.PlayersPerTeam = 15;
  W.Team1InFirstBlock = kTrue32;
  for (int k = 1; k <= 201; ++k) W.Teams[1].LineSlotPos[k] = {static_cast<f32>(k - 101), -9.0f};
  W.Teams[2].DefenceShape = Ramp(7);
}

// The slope of the shape in force, 0.1 per shape number.
f32 Slope(const TStrategyShape& s) { return s.EndValues[1] / 200.0f; }

// The tests write the shared strategy tables; they are put back afterwards.
class StrategyTablesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SavedParams = StrategyParams;
    SavedFieldStrategy = FieldStrategy;
  }
  void TearDown() override {
    StrategyParams = SavedParams;
    FieldStrategy = SavedFieldStrategy;
  }
  static inline TStrategyParams SavedParams;
  static inline Arr1<TFieldStrategy, 2> SavedFieldStrategy;
};

}  // namespace

class StrategySelection : public StrategyTablesTest {};
class StrategyTimers : public StrategyTablesTest {};

TEST_F(StrategySelection, TrailingTooFastForTheTimeLeftUsesTheCatchUpZones) {
  struct Case {
    const char* name;
    i32 own, other;
    f32 clock;
    bool catchUp;
  };
  const Case cases[] = {
      {"level", 10, 10, 4700.0f, false},
      {"7 down, 5 minutes left", 3, 10, 4500.0f, true},
      {"5 down, 5 minutes left: rate equals threshold", 5, 10, 4500.0f, false},
      {"7 ahead", 10, 3, 4500.0f, false},
      {"1 down after full time", 9, 10, 4830.0f, true},
      {"level after full time", 10, 10, 4830.0f, false},
  };
  for (const Case& c : cases) {
    ResetWorld(gsRunning);
    W.Teams[1].score = c.own;
    W.Teams[2].score = c.other;
    W.clock = c.clock;
    W.BallPos = {0.0f, 0.0f, -30.0f};  // zone 1: shape 1, or 2 when catching up
    SelectTeamStrategy(W);
    EXPECT_EQ(W.Teams[1].StrategyNumber, c.catchUp ? 2 : 1) << c.name;
  }
  // Match team 2 in possession reads team 2's record.
  ResetWorld(gsRunning);
  W.Team1InFirstBlock = kFalse32;
  FieldStrategy[2].Normal.OpenPlayStrategy[1] = 3.0f;
  W.BallPos.z = -30.0f;
  SelectTeamStrategy(W);
  EXPECT_EQ(W.Teams[1].StrategyNumber, 3);
}

TEST_F(StrategySelection, ShapeComesFromTheZoneAndTheKindOfPlay) {
  struct Case {
    TGameState state;
    f32 ballZ;
    int shape;
    u16 number;
  };
  const Case cases[] = {
      {gsPassing, 0.0f, 2, 2},   {gsRunning, 30.0f, 3, 3},     {gsScrum, -30.0f, 4, 1},
      {gsLineout, 0.0f, 5, 2},   {gsGotTackled, 30.0f, 6, 3},  {gsRunning, 10.0f, 2, 2},
      {gsKickRestartSet, 10.0f, 5, 2},  // on a border: nearest zone centre (0)
  };
  for (const Case& c : cases) {
    ResetWorld(c.state);
    W.BallPos.z = c.ballZ;
    SelectTeamStrategy(W);
    EXPECT_FLOAT_EQ(Slope(W.Teams[1].CurrentStrategy), 0.1f * c.shape) << int(c.state) << " " << c.ballZ;
    EXPECT_EQ(W.Teams[1].StrategyNumber, c.number);
  }
}

TEST_F(StrategySelection, RunningOverridesAndTheSlotLine) {
  ResetWorld(gsRunning);
  W.BallPos.z = -30.0f;
  W.Teams[1].BallCarrier = 9;
  W.Teams[1].Players[9].KickTimer = 0.2f;  // about to kick
  W.RunShapeTimer = 1.0f;
  W.Teams[1].DefenceLineOffset = 4.0f;
  SelectTeamStrategy(W);
  EXPECT_FLOAT_EQ(Slope(W.Teams[1].CurrentStrategy), 1.0f);
  EXPECT_EQ(W.Teams[1].StrategyNumber, 1);
  EXPECT_EQ(W.Teams[1].DefenceLineOffset, 0.0f);

  W.Teams[1].Players[9].KickTimer = 0;
  SelectTeamStrategy(W);
  EXPECT_FLOAT_EQ(Slope(W.Teams[1].CurrentStrategy), 0.3f);
  EXPECT_EQ(W.Teams[1].StrategyNumber, 3);
  const auto& slots = W.Teams[1].LineSlotPos;
  EXPECT_EQ(slots[101].z, 0.0f);
  EXPECT_FLOAT_EQ(slots[151].z, 15.0f);  // x = 50 on shape 3
  EXPECT_EQ(slots[151].x, 50.0f);
  EXPECT_EQ(slots[1].z, ProfileValueAt(W.Teams[1].CurrentStrategy, -100.0f));
}

TEST_F(StrategySelection, FreeBallKeepsTheSlotLineAndStandsBack) {
  ResetWorld(gsFreeBall);
  W.BallPos.z = 30.0f;
  SelectTeamStrategy(W);
  EXPECT_FLOAT_EQ(Slope(W.Teams[1].CurrentStrategy), 1.0f);
  EXPECT_EQ(W.Teams[1].StrategyNumber, 3);  // from the zone
  EXPECT_EQ(W.Teams[1].DefenceLineOffset, -3.5f);
  EXPECT_EQ(W.Teams[1].LineSlotPos[150].z, -9.0f);
}

TEST_F(StrategySelection, AZoneWithoutAShapeNumberStaysInTheTable) {
  ResetWorld(gsRunning);
  FieldStrategy[1].Normal.OpenPlayStrategy[1] = 0.0f;
  FieldStrategy[1].Normal.SetPlayStrategy[2] = 40.0f;
  W.BallPos.z = -30.0f;
  SelectTeamStrategy(W);
  EXPECT_FLOAT_EQ(Slope(W.Teams[1].CurrentStrategy), 0.1f);
  EXPECT_EQ(W.Teams[1].StrategyNumber, 1);
  W.gamestate = gsScrum;
  W.BallPos.z = 0.0f;
  SelectTeamStrategy(W);
  EXPECT_FLOAT_EQ(Slope(W.Teams[1].CurrentStrategy), 1.0f);
}

TEST_F(StrategyTimers, ReselectsOnlyWhenTheTimerHasRunOut) {
  ResetWorld(gsRunning);
  W.BallPos.z = 30.0f;
  W.Teams[1].StrategyTimer = 0.04f;
  UpdateStrategyTimers(W);
  EXPECT_EQ(W.Teams[1].StrategyNumber, 0);
  W.Teams[1].StrategyTimer = 0;
  UpdateStrategyTimers(W);
  EXPECT_EQ(W.Teams[1].StrategyNumber, 3);
  EXPECT_EQ(W.Teams[1].StrategyTimer, 0.4f);
}

TEST_F(StrategyTimers, RefreshesTheDefenceByGameState) {
  struct Case {
    TGameState state;
    i32 phase;
    f32 carrierZ;
    bool refresh;
    f32 timer, offset;
  };
  const Case cases[] = {
      {gsRunning, 0, 27.9f, true, 2.0f, 2.0f},   {gsRunning, 0, 28.0f, true, 2.0f, 1.5f},
      {gsGotTackled, 2, 0, true, 2.0f, 6.0f},    {gsGotTackled, 1, 0, false, 0, 0},
      {gsScrum, 2, 0, true, 2.0f, 11.0f},        {gsScrum, 1, 0, false, 0, 0},
      {gsLineout, 3, 0, true, 2.0f, 8.5f},       {gsMaul, 2, 0, true, 2.0f, 6.0f},
      {gsFreeBall, 0, 0, true, 5.0f, 3.5f},      {gsPassing, 0, 0, false, 0, 0},
      {gsKickRestartSet, 0, 0, false, 0, 0},
  };
  for (const Case& c : cases) {
    ResetWorld(c.state);
    TTeamBlock& T2 = W.Teams[2];
    W.Teams[1].StrategyTimer = 1.0f;
    W.Teams[1].BallCarrier = 5;
    W.Teams[1].Players[5].Pos.z = c.carrierZ;
    W.GotTackledPhase = W.ScrumPhase = W.LineoutPhase = W.MaulPhase = c.phase;
    T2.PackSpots.Depth = 6.0f;
    T2.LineoutReceiverDepth = 8.5f;
    T2.DefenceLineAux = 7.0f;
    UpdateStrategyTimers(W);
    EXPECT_EQ(T2.StrategyTimer, c.timer) << int(c.state) << " phase " << c.phase;
    EXPECT_EQ(T2.DefenceLineOffset, c.offset) << int(c.state);
    EXPECT_EQ(T2.DefenceLineAux, c.refresh ? 0.0f : 7.0f);
    EXPECT_FLOAT_EQ(Slope(T2.CurrentStrategy), c.refresh ? 0.7f : 0.0f);
  }
  // A running timer holds the refresh back.
  ResetWorld(gsFreeBall);
  W.Teams[2].StrategyTimer = 0.5f;
  UpdateStrategyTimers(W);
  EXPECT_EQ(W.Teams[2].DefenceLineOffset, 0.0f);
}

TEST_F(StrategyTimers, TheDefenceLineAdvancesInOpenPlay) {
  struct Case {
    i16 lineSpeed;
    f32 carrierVz;
    f32 speed;
  };
  const Case cases[] = {{1, 2.0f, 1.5f}, {2, 2.0f, 2.5f}, {3, 0.0f, 3.5f},
                        {0, 1.0f, 1.5f}, {2, -0.5f, 5.0f}};
  for (const Case& c : cases) {
    ResetWorld(gsRunning);
    TTeamBlock& T2 = W.Teams[2];
    W.Teams[1].BallCarrier = 5;
    W.Teams[1].Players[5].Pos.z = 12.0f;
    W.Teams[1].Players[5].Velocity.z = c.carrierVz;
    W.Teams[1].StrategyTimer = T2.StrategyTimer = 1.0f;
    T2.DefenceLineOffset = 2.0f;
    T2.LineSpeedSetting = c.lineSpeed;
    T2.DefenceLineZ = 20.0f;
    W.GainLineZ = -3.0f;
    UpdateStrategyTimers(W);
    EXPECT_EQ(T2.DefenceLineRefZ, 14.0f);
    EXPECT_EQ(T2.DefenceLineSpeed, c.speed);
    EXPECT_FLOAT_EQ(T2.DefenceLineZ, 20.0f - c.speed * 0.04f);
    EXPECT_EQ(W.GainLineZ, -3.0f);
  }
  // In passing the line follows the receiver's target.
  ResetWorld(gsPassing);
  TTeamBlock& T2 = W.Teams[2];
  W.Teams[1].StrategyTimer = T2.StrategyTimer = 1.0f;
  W.Teams[1].PassReceiver = 11;
  W.Teams[1].Players[11].DesiredPos.z = -4.0f;
  W.Teams[1].Players[11].Velocity.z = -1.0f;
  T2.DefenceLineOffset = 1.5f;
  T2.LineSpeedSetting = 3;
  UpdateStrategyTimers(W);
  EXPECT_EQ(T2.DefenceLineRefZ, -2.5f);
  EXPECT_EQ(T2.DefenceLineSpeed, 7.0f);
}

TEST_F(StrategyTimers, OutsideOpenPlayTheLinesStandAtTheBall) {
  ResetWorld(gsGotTackled);
  TTeamBlock& T2 = W.Teams[2];
  W.Teams[1].StrategyTimer = T2.StrategyTimer = 1.0f;
  W.BallPos.z = 7.0f;
  T2.SetPieceLineZ = 9.0f;
  UpdateStrategyTimers(W);
  EXPECT_EQ(W.GainLineZ, 7.0f);
  EXPECT_EQ(T2.DefenceLineRefZ, 9.0f);
  EXPECT_EQ(T2.DefenceLineZ, 7.5f);

  W.gamestate = gsScrum;
  UpdateStrategyTimers(W);
  EXPECT_EQ(T2.DefenceLineRefZ, 7.0f);
  EXPECT_EQ(T2.DefenceLineZ, 5.5f);

  // Play that has just come out of a loose ball resets the gain line.
  ResetWorld(gsRunning);
  W.PrevFrameGameState = gsFreeBall;
  W.Teams[1].StrategyTimer = W.Teams[2].StrategyTimer = 1.0f;
  W.BallPos.z = -12.0f;
  W.GainLineZ = 4.0f;
  UpdateStrategyTimers(W);
  EXPECT_EQ(W.GainLineZ, -12.0f);
}

// Laying a line again on a shape and keys it was laid on before reuses the
// depths; any change of a key, of the shape or of the segment in force must
// read the shape afresh, and a layout that raises a float error raises it
// every time. Each step of the table is checked bit for bit against the
// shape read slot by slot.
TEST(LineLayout, RepeatedLayoutsGiveTheDepthsOfAFreshReading) {
  ResetCaches();  // no layout left by an earlier test
  static TTeamBlock T;
  TStrategyShape peak{};
  peak.SegmentCount = 4;
  peak.CurrentSegment = 3;
  const f32 d[4] = {100, 15, 15, 100}, a[4] = {0, 12, 15, 12}, b[4] = {12, 15, 12, 0};
  for (int k = 1; k <= 4; ++k) peak.Durations[k] = d[k - 1], peak.StartValues[k] = a[k - 1], peak.EndValues[k] = b[k - 1];
  for (int k = 1; k <= 201; ++k) T.LineSlotPos[k] = {static_cast<f32>(k - 101), 0.0f};
  struct Step {
    const char* what;
    void (*change)(TTeamBlock&, const TStrategyShape&);
  };
  const Step steps[] = {
      {"first layout", [](TTeamBlock& B, const TStrategyShape& s) { B.CurrentStrategy = s; }},
      {"the same again, over stale depths",
       [](TTeamBlock& B, const TStrategyShape&) {
         for (int k = 1; k <= 201; ++k) B.LineSlotPos[k].z = -1.0f;
       }},
      {"one key moved", [](TTeamBlock& B, const TStrategyShape&) { B.LineSlotPos[140].x += 0.5f; }},
      {"a key of -0 for +0", [](TTeamBlock& B, const TStrategyShape&) { B.LineSlotPos[101].x = -0.0f; }},
      {"one end value changed", [](TTeamBlock& B, const TStrategyShape&) { B.CurrentStrategy.EndValues[2] = 16.0f; }},
      {"another segment in force", [](TTeamBlock& B, const TStrategyShape&) { B.CurrentStrategy.CurrentSegment = 2; }},
      {"back to the first layout",
       [](TTeamBlock& B, const TStrategyShape& s) {
         B.CurrentStrategy = s;
         B.LineSlotPos[140].x = 39.0f;
         B.LineSlotPos[101].x = 0.0f;
       }},
  };
  auto expectFresh = [](const char* what) {
    for (int k = 1; k <= 201; ++k) {
      const f32 want = k == 101 ? 0.0f : ProfileValueAt(T.CurrentStrategy, T.LineSlotPos[k].x);
      ASSERT_EQ(std::bit_cast<u32>(T.LineSlotPos[k].z), std::bit_cast<u32>(want)) << what << ", slot " << k;
    }
  };
  for (int round = 0; round < 2; ++round) {
    for (const Step& s : steps) {
      s.change(T, peak);
      LayLineOnShape(T);
      expectFresh(s.what);
    }
  }
  // More layouts than are kept, then the first again.
  for (int n = 1; n <= 12; ++n) {
    T.CurrentStrategy.EndValues[4] = static_cast<f32>(n);
    LayLineOnShape(T);
    expectFresh("one of many layouts");
  }
  T.CurrentStrategy = peak;
  for (int k = 1; k <= 201; ++k) T.LineSlotPos[k].z = 7.0f;
  LayLineOnShape(T);
  expectFresh("the first layout after many");

  // Depths beyond the float range: the overflow is raised on every laying.
  TStrategyShape wild{};
  wild.SegmentCount = 2;
  wild.CurrentSegment = 2;
  wild.Durations[1] = wild.Durations[2] = 1000.0f;
  wild.StartValues[1] = wild.EndValues[1] = 3e38f;
  wild.StartValues[2] = -3e38f;
  T.CurrentStrategy = wild;
  for (int round = 0; round < 2; ++round) {
    std::feclearexcept(FE_ALL_EXCEPT);
    LayLineOnShape(T);
    EXPECT_TRUE(FloatErrorRaised()) << "laying " << round + 1;
  }
  std::feclearexcept(FE_ALL_EXCEPT);
}

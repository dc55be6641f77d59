#include "core/StrategyZones.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cstring>
#include <limits>

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

// Laying a line again on the shape it was last laid on leaves it as it is;
// every other lay gives each slot the shape's value at its key: after a
// lay on another shape, on a line whose depths or keys were moved since,
// and every time on a shape whose reads raise the invalid flag.
TEST(LayLineOnShape, EachSlotTheShapesValueAtItsKeyWhateverWasLaidBefore) {
  TTeamBlock& T = W.Teams[1];
  const auto expectLaid = [&](const char* what) {
    int wrong = 0;
    for (int k = 1; k <= 201; ++k) {
      const f32 want = k == 101 ? 0.0f : ProfileValueAt(T.CurrentStrategy, T.LineSlotPos[k].x);
      wrong += std::memcmp(&T.LineSlotPos[k].z, &want, sizeof want) != 0;
    }
    EXPECT_EQ(wrong, 0) << what;
  };
  for (int k = 1; k <= 201; ++k) T.LineSlotPos[k] = {static_cast<f32>(k - 101), -9.0f};
  T.CurrentStrategy = Ramp(3);
  LayLineOnShape(T);
  expectLaid("first lay");
  LayLineOnShape(T);
  expectLaid("the same shape again");
  T.LineSlotPos[40].z = 5.0f;
  LayLineOnShape(T);
  expectLaid("a depth moved since");
  T.LineSlotPos[160].x = 12.5f;
  LayLineOnShape(T);
  expectLaid("a key moved since");
  T.CurrentStrategy = Ramp(4);
  LayLineOnShape(T);
  expectLaid("another shape");
  TTeamBlock other = T;
  T.CurrentStrategy = Ramp(3);
  LayLineOnShape(T);
  other.CurrentStrategy = Ramp(3);
  LayLineOnShape(other);  // the line of shape 4 on shape 3
  EXPECT_EQ(std::memcmp(&other.LineSlotPos, &T.LineSlotPos, sizeof T.LineSlotPos), 0);

  T.CurrentStrategy.Durations[1] = std::numeric_limits<f32>::quiet_NaN();
  for (int pass = 1; pass <= 2; ++pass) {
    std::feclearexcept(FE_ALL_EXCEPT);
    LayLineOnShape(T);
    EXPECT_NE(std::fetestexcept(FE_INVALID), 0) << pass;
    expectLaid("a duration not a number");
  }
  std::feclearexcept(FE_ALL_EXCEPT);
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

// Frames per second of the passing handler, and the cost of the catch-point
// searches of a pass in flight: the handler runs in every frame of a pass in
// the match and in every look-ahead that passes; each defender's
// interception try and the receiver's re-aim search the ball's flight in
// 0.01 s steps.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <numbers>

#include "core/Random.h"
#include "core/StrategyShapes.h"
#include "core/TypeDefs.h"
#include "flow/PassingUnit.h"
#include "motion/DelayPlayersUnit.h"

namespace {

TWorld BenchWorld;

// A pass in the air from 10 to 12, who runs up the pitch at 6 m/s 5 m to
// the passer's right; six backs in the line, eight forwards on the grid;
// the defence 10 m ahead, facing the ball.
void MakePassingWorld(TWorld& W) {
  std::memset(&W, 0, sizeof W);
  BuildActionSeqTemplates(W);
  W.PlayersPerTeam = 15;
  W.PitchWidth = 70.0f;
  W.PitchLength = 100.0f;
  W.TimeStep = 0.04f;
  W.gamestate = gsPassing;
  W.TimeSinceSetPiece = 20.0f;
  W.Gravity = 9.81f;
  W.GroundFriction = 0.5f;
  W.CatchSearchStep = 0.01f;
  W.CatchReach = 0.65f;
  TTeamBlock& A = W.Teams[1];
  A.PassReceiver = 12;
  A.SupportGridSize = 11;
  for (int k = 1; k <= 201; ++k) A.LineSlotPos[k] = {static_cast<f32>(k - 101), -0.04f * std::abs(k - 101)};
  for (int b = 1; b <= 2; ++b)
    for (int p = 1; p <= 15; ++p) {
      TPlayer& P = W.Teams[b].Players[p];
      P.maxspeed = 8.0f;
      P.Acceleration = 4.0f;
      P.Height = 1.85f;
      P.maxpassspeed = 18.0f;
      P.SpeedLossSlope = 0.1f;
      P.FacingAngle = static_cast<f32>(b == 1 ? std::numbers::pi : 0.0);
      P.InBackline = Flag(b == 1 && (p == 9 || p >= 11));
      if (b == 1 && p <= 8) A.SupportGridCells[1 + p / 3][1 + p] = p;
    }
  for (int p = 9; p <= 15; ++p) A.SetPieceLine[92 + p] = p;
}

// A fresh pass: everyone back on his start, the ball just out of 10's hands.
void StartPass(TWorld& W) {
  W.PassingPhase = 1;
  for (int b = 1; b <= 2; ++b)
    for (int p = 1; p <= 15; ++p) {
      TPlayer& P = W.Teams[b].Players[p];
      P.Pos = {static_cast<f32>(3 * p - 24), 0.0f, b == 1 ? -3.0f : 10.0f + (p % 3) * 0.3f};
      P.OldPos = P.Pos;
      P.DesiredPos = P.Pos;
      P.PassReactionDone = kFalse32;
      P.WillAttemptPassInterCept = kFalse32;
    }
  TTeamBlock& A = W.Teams[1];
  A.Players[10].Pos = {0.0f, 0.0f, 0.0f};
  A.Players[12].Pos = {5.0f, 0.0f, -1.0f};
  A.Players[12].Velocity = {0.0f, 6.0f};
  A.Players[12].DesiredPos = {5.5f, 0.0f, 2.0f};
  A.PassFlightLeft = 0.6f;
  A.PassFlightTime = 0.0f;
  A.ReceiverReaimDone = kFalse32;
  A.ReceiverReaimTimer = 0.2f;
  A.ReceiverRunSpeed = 6.0f;
  W.BallPos = {0.0f, 1.2f, 0.0f};
  W.PassVel = {9.0f, 1.5f, 3.0f};
}

// The receiver runs on and the ball flies; every 15 frames (0.6 s) the pass
// starts again.
void BM_PassingFrame(benchmark::State& state) {
  RandSeed = 11;
  MakePassingWorld(BenchWorld);
  StartPass(BenchWorld);
  int frame = 0;
  for (auto _ : state) {
    TPlayer& R = BenchWorld.Teams[1].Players[12];
    R.Pos.z += 0.24f;
    TVector3& B = BenchWorld.BallPos;
    B = {B.x + 0.36f, B.y, B.z + 0.12f};
    DoPassing(BenchWorld);
    if (++frame == 15) {
      frame = 0;
      StartPass(BenchWorld);
    }
    benchmark::DoNotOptimize(BenchWorld.Teams[1].Players[15].DesiredPos);
  }
  state.counters["frames"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PassingFrame);

// Fifteen defenders' interception tries and the receiver's re-aim, the
// searches of one pass.
void BM_PassCatchSearches(benchmark::State& state) {
  RandSeed = 11;
  MakePassingWorld(BenchWorld);
  for (auto _ : state) {
    StartPass(BenchWorld);
    BenchWorld.Teams[1].PassFlightTime = 0.3f;
    BenchWorld.Teams[1].ReceiverReaimTimer = 0.0f;
    for (int i = 1; i <= 15; ++i) DefenderTriesInterception(BenchWorld, i);
    ReaimReceiver(BenchWorld);
    benchmark::DoNotOptimize(BenchWorld.Teams[2].Players[15].BallCatchPoint);
  }
  state.counters["passes"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PassCatchSearches);

}  // namespace

// Frames per second of the running handler and of pushing apart: both run in
// every match frame of open play and in every frame of every look-ahead,
// which spends most of its frames in running.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>

#include "core/Random.h"
#include "core/TypeDefs.h"
#include "flow/RunningUnit.h"
#include "motion/InterPenUnit.h"

namespace {

TWorld BenchWorld;

// Open play: carrier 10 runs up the pitch at 6 m/s with six backs in his
// line and eight forwards on the support grid; the defence stands 10 m
// ahead, some of them close together near the ball.
void MakeRunningWorld(TWorld& W) {
  std::memset(&W, 0, sizeof W);
  W.PlayersPerTeam = 15;
  W.PitchWidth = 70.0f;
  W.PitchLength = 100.0f;
  W.TimeStep = 0.04f;
  W.gamestate = gsRunning;
  W.RunningPhase = 1;
  W.TimeSinceSetPiece = 20.0f;
  W.Gravity = 9.81f;
  W.GroundFriction = 0.5f;
  TTeamBlock& A = W.Teams[1];
  A.BallCarrier = 10;
  A.SupportGridSize = 11;
  for (int r = 1; r <= 11; ++r)
    for (int c = 1; c <= 11; ++c) A.SupportGridWeights[r][c] = r <= 7 ? 1 : 0;
  for (int k = 1; k <= 201; ++k) A.LineSlotPos[k] = {static_cast<f32>(k - 101), -0.04f * std::abs(k - 101)};
  for (int b = 1; b <= 2; ++b)
    for (int p = 1; p <= 15; ++p) {
      TPlayer& P = W.Teams[b].Players[p];
      P.maxspeed = 8.0f;
      P.MaxSpeedNonFatigued = 8.0f;
      P.Acceleration = 4.0f;
      P.Weight = 90.0f;
      P.InBackline = Flag(b == 1 && (p == 9 || p >= 11));
    }
  A.Players[10].Velocity = {0.5f, 6.0f};
  A.Players[10].maxpassspeed = 18.0f;
}

// Everyone back on his start and running entered again.
void StartRun(TWorld& W) {
  W.RunningPhase = 1;
  for (int b = 1; b <= 2; ++b)
    for (int p = 1; p <= 15; ++p) {
      TPlayer& P = W.Teams[b].Players[p];
      P.Pos = {static_cast<f32>(3 * p - 24), 0.0f, b == 1 ? -6.0f : 10.0f + (p % 3) * 0.3f};
      P.OldPos = P.Pos;
      P.DesiredPos = P.Pos;
    }
  W.Teams[1].Players[10].Pos = {0.0f, 0.0f, 0.0f};
}

// The carrier runs on; every 100 frames (4 s) the scene starts again.
void BM_RunningFrame(benchmark::State& state) {
  RandSeed = 11;
  MakeRunningWorld(BenchWorld);
  StartRun(BenchWorld);
  int frame = 0;
  for (auto _ : state) {
    TPlayer& C = BenchWorld.Teams[1].Players[10];
    C.Pos.z += 0.24f;
    BenchWorld.BallPos = {C.Pos.x, 1.0f, C.Pos.z};
    DoRunning(BenchWorld);
    InterPen(BenchWorld);
    if (++frame == 100) {
      frame = 0;
      StartRun(BenchWorld);
    }
    benchmark::DoNotOptimize(BenchWorld.Teams[1].Players[15].DesiredPos);
  }
  state.counters["frames"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RunningFrame);

}  // namespace

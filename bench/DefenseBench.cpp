// Calls per second of the defence: it runs in every frame of running,
// passing and gottackled, in the match and in every frame of every
// look-ahead.
#include <benchmark/benchmark.h>

#include <cstring>

#include "core/Random.h"
#include "core/TypeDefs.h"
#include "flow/DefenseUnit.h"

namespace {

TWorld BenchWorld;

// Open play, 15 a side: carrier 10 runs up the pitch at 6 m/s with his
// team-mates spread across it; the defence waits 10 m ahead.
void MakeDefenceWorld(TWorld& W) {
  std::memset(&W, 0, sizeof W);
  W.PlayersPerTeam = 15;
  W.PitchWidth = 70.0f;
  W.PitchLength = 100.0f;
  W.TimeStep = 0.04f;
  W.gamestate = gsRunning;
  W.FrameGameState = W.PrevFrameGameState = gsRunning;
  W.TimeSinceSetPiece = 20.0f;
  W.GainLineZ = 0.0f;
  TTeamBlock& A = W.Teams[1];
  A.BallCarrier = 10;
  for (int k = 1; k <= 10; ++k) W.Teams[2].BackfieldOrder[k] = 0;
  for (int b = 1; b <= 2; ++b)
    for (int p = 1; p <= 15; ++p) {
      TPlayer& P = W.Teams[b].Players[p];
      P.maxspeed = 8.0f;
      P.Acceleration = 4.0f;
      P.Pos = {static_cast<f32>(4 * p - 32), 0.0f, b == 1 ? -3.0f : 10.0f + (p % 3)};
      P.OldPos = P.Pos;
      SetDistribution(P.DefensiveRunningAngleReactionTime, 0.6, 0.2, 0.3, 1.5);
    }
  A.Players[10].Pos = {0.0f, 0.0f, 0.0f};
  A.Players[10].Velocity = {0.0f, 6.0f};
}

// Every call re-plans the line, the matchups and the pressure (their clocks
// are run out before it) and places every defender: the heaviest frame the
// defence has.
void BM_DefenseCall(benchmark::State& state) {
  RandSeed = 11;
  World.PlayersPerTeam = 15;
  World.PitchWidth = 70.0f;  // the fullback's target point reads the match pitch
  World.PitchLength = 100.0f;
  MakeDefenceWorld(BenchWorld);
  int frame = 0;
  for (auto _ : state) {
    TPlayer& C = BenchWorld.Teams[1].Players[10];
    C.OldPos = C.Pos;
    C.Pos.z += 0.24f;
    BenchWorld.BallPos = {C.Pos.x, 1.0f, C.Pos.z};
    for (int k = 1; k <= 3; ++k) BenchWorld.DefenceSubTimers[k] = 0;
    Defense(BenchWorld);
    if (++frame == 100) {  // 4 s on, the carrier starts again
      frame = 0;
      C.Pos.z = 0.0f;
    }
    benchmark::DoNotOptimize(BenchWorld.Teams[2].ChaserSlots);
  }
  state.counters["calls"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DefenseCall);

}  // namespace

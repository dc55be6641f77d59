// Frames per second of facing and ball update: both run for all 30 players
// and the ball in every match frame and in every frame of every look-ahead.
#include <benchmark/benchmark.h>

#include <cstring>

#include "core/AuxState.h"
#include "core/Random.h"
#include "core/TypeDefs.h"
#include "motion/BallUpdateUnit.h"
#include "motion/LookAtPositionUnit.h"
#include "setup/BallKeyframes.h"

namespace {

TWorld BenchWorld;

// Everyone back on his starting place, his spot 5 m ahead and across.
void StartRun(TWorld& W) {
  for (int b = 1; b <= 2; ++b)
    for (int p = 1; p <= 15; ++p) {
      TPlayer& P = W.Teams[b].Players[p];
      P.Pos = {static_cast<f32>(4 * p - 32), 0.0f, b == 1 ? -5.0f : 10.0f};
      P.DesiredPos = {P.Pos.x + 5.0f, 0.0f, P.Pos.z + (b == 1 ? 5.0f : -5.0f)};
    }
}

// Open play: block 1's player 10 carries the ball on the carry track, every
// other player drifts sideways and turns towards where he goes, the defence
// comes up.
void MakeRunningWorld(TWorld& W) {
  std::memset(&W, 0, sizeof W);
  W.PlayersPerTeam = 15;
  W.TimeStep = 0.04f;
  W.gamestate = gsRunning;
  W.Teams[1].BallCarrier = 10;
  W.BallAttached = kTrue32;
  W.LastKnownHasBall = 10;
  for (int b = 1; b <= 2; ++b)
    for (int p = 1; p <= 15; ++p) {
      TPlayer& P = W.Teams[b].Players[p];
      P.maxspeed = 8.0f;
      P.speed = 3.0f;
      P.Velocity = {2.0f, b == 1 ? 2.0f : -2.0f};
      P.Height = 1.85f;
      P.BallTrack = 1;
      P.maxframes = 20.0f;
    }
  StartRun(W);
}

// Moves everyone one frame along his velocity and the carrier's animation on.
void Advance(TWorld& W, int Frame) {
  for (int b = 1; b <= 2; ++b)
    for (int p = 1; p <= 15; ++p) {
      TPlayer& P = W.Teams[b].Players[p];
      P.OldPos = P.Pos;
      P.Pos.x += P.Velocity.x * W.TimeStep * ((Frame / 25) % 2 == 0 ? 1.0f : -1.0f);
      P.Pos.z += P.Velocity.z * W.TimeStep;
      P.currentframe = static_cast<f32>(Frame % 20);
    }
}

void BM_FacingAndBallUpdate(benchmark::State& state) {
  RandSeed = 7;
  AuxState.TurnRate = 400.0f;
  BuildBallKeyframes();
  MakeRunningWorld(BenchWorld);
  int frame = 0;
  for (auto _ : state) {
    Advance(BenchWorld, frame);
    LookAtPosition(BenchWorld);
    BallUpdate(BenchWorld);
    // Every 100 frames (4 s) start the run again.
    if (++frame == 100) {
      frame = 0;
      StartRun(BenchWorld);
    }
    benchmark::DoNotOptimize(BenchWorld.BallPos);
    benchmark::DoNotOptimize(BenchWorld.Teams[2].Players[15].Heading);
  }
  state.counters["frames"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FacingAndBallUpdate);

}  // namespace

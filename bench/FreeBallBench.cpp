// Calls per second of the free-ball positions: they run in every frame of a
// kick or loose ball, in the match and in every look-ahead that follows a
// kick.
#include <benchmark/benchmark.h>

#include <cstring>

#include "core/BallFlight.h"
#include "core/Random.h"
#include "core/TypeDefs.h"
#include "flow/FreeBallUnit.h"

namespace {

TWorld BenchWorld;

// A high kick up the middle, 15 a side: block 1 behind the kicker, block 2
// spread 30 m ahead.
void MakeFreeBallWorld(TWorld& W) {
  std::memset(&W, 0, sizeof W);
  W.PlayersPerTeam = 15;
  W.PitchWidth = 70.0f;
  W.PitchLength = 100.0f;
  W.InGoalDepth = 10.0f;
  W.TimeStep = 0.04f;
  W.gamestate = gsFreeBall;
  W.BallPos = {0.0f, 1.0f, 0.0f};
  SimulateKickFlight(W, 25.0f, 45.0f, 90.0f, 0.0f, 1.0f, 0.0f);
  for (int b = 1; b <= 2; ++b) {
    W.Teams[b].ChaserCount = b == 1 ? 2 : 3;
    for (int p = 1; p <= 15; ++p) {
      TPlayer& P = W.Teams[b].Players[p];
      P.maxspeed = 8.0f;
      P.Acceleration = 4.0f;
      P.JogSpeed = 3.0f;
      P.Pos = {static_cast<f32>(4 * p - 32), 0.0f, b == 1 ? -5.0f : 30.0f + (p % 3)};
      P.OldPos = P.Pos;
      SetDistribution(P.RunningAngleReactionTime, 0.35, 0.05, 0.01, 0.55);
    }
  }
}

// Every call rebuilds the sample points and re-plans the chasers (the two
// clocks are run out before it), then places everybody: the heaviest frame
// the free ball has.
void BM_FreeBallCall(benchmark::State& state) {
  RandSeed = 11;
  MakeFreeBallWorld(BenchWorld);
  BenchWorld.FreeBallPhase = 1;
  DoFreeBall(BenchWorld);
  for (auto _ : state) {
    BenchWorld.FreeBallPointsTimer = 0;
    BenchWorld.FreeBallPlanTimer = 0;
    DoFreeBall(BenchWorld);
    benchmark::DoNotOptimize(BenchWorld.Teams[2].ChaserSlots);
  }
  state.counters["calls"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FreeBallCall);

}  // namespace

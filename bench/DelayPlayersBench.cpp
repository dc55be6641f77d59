// Frames per second of the timer step: it runs for all 30 players in every
// match frame and in every frame of every look-ahead.
#include <benchmark/benchmark.h>

#include <cstring>

#include "core/Random.h"
#include "core/TypeDefs.h"
#include "motion/DelayPlayersUnit.h"

namespace {

TWorld BenchWorld;

// Open play in the look-ahead copy: block 1's player 10 carries, some
// players are on scripted runs, following, lying or getting up, so that
// every branch of the step is walked. Timers are re-armed as they run out.
void ArmTimers(TWorld& W) {
  for (int b = 1; b <= 2; ++b)
    for (int p = 1; p <= 15; ++p) {
      TPlayer& P = W.Teams[b].Players[p];
      P.ForcedRunTimer = p % 3 == 0 ? 1.0f : 0.0f;
      P.playertofollow = p % 4 == 0 ? 16 - p : 0;
      P.playertofollowtimer = 1.0f;
      P.OldTackleTimer = p == 5 ? 1.0f : 0.0f;
      P.standuptimer = p == 6 ? 1.0f : 0.0f;
      P.ReactionDelayExtra2.value = 0.5f;
      P.PassReadTimer = 0.5f;
      P.DefensiveRunningAngleReactionTime.value = 0.5f;
    }
}

void MakeOpenPlay(TWorld& W) {
  std::memset(&W, 0, sizeof W);
  W.PlayersPerTeam = 15;
  W.TimeStep = 0.04f;
  W.gamestate = gsRunning;
  W.halflength = 2400.0f;
  W.MatchPhase = 1;
  W.PitchLength = 100.0f;
  W.PitchWidth = 70.0f;
  W.Teams[1].BallCarrier = 10;
  for (int b = 1; b <= 2; ++b)
    for (int p = 1; p <= 15; ++p) {
      TPlayer& P = W.Teams[b].Players[p];
      P.Pos = {static_cast<f32>(4 * p - 32), 0.0f, b == 1 ? -5.0f : 10.0f};
      P.DesiredPos = P.Pos;
      P.ForcedRunSpeed = 5.0f;
      P.ForcedRunAngle = 90.0f;
      P.GroundTime = 0.5f;
    }
  ArmTimers(W);
}

void BM_DelayPlayers(benchmark::State& state) {
  RandSeed = 7;
  MakeOpenPlay(BenchWorld);
  int frame = 0;
  for (auto _ : state) {
    DelayPlayers(BenchWorld);
    if (++frame == 25) {
      frame = 0;
      ArmTimers(BenchWorld);
    }
    benchmark::DoNotOptimize(BenchWorld.Teams[2].Players[15].DesiredPos);
  }
  state.counters["frames"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DelayPlayers);

}  // namespace

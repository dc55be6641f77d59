// Player-frames per second of desired speed, acceleration and movement, and
// frames per second of facing and ball update: these steps run for all 30
// players in every match frame and in every frame of every look-ahead.
#include <benchmark/benchmark.h>

#include <cstring>

#include "core/AuxState.h"
#include "core/Random.h"
#include "core/TypeDefs.h"
#include "motion/AccelerateToDesiredSpeedUnit.h"
#include "motion/BallUpdateUnit.h"
#include "motion/LookAtPositionUnit.h"
#include "motion/MoveToDesiredPositionUnit.h"
#include "motion/SetDesiredSpeedUnit.h"
#include "setup/BallKeyframes.h"

namespace {

TWorld BenchWorld;

// Every player standing, with a spot 30 m up (block 1) or 20 m down the
// pitch (block 2) to reach.
void StartRun(TWorld& W) {
  for (int b = 1; b <= 2; ++b)
    for (int p = 1; p <= 15; ++p) {
      TPlayer& P = W.Teams[b].Players[p];
      P.Pos = {static_cast<f32>(4 * p - 32), 0.0f, b == 1 ? -5.0f : 10.0f};
      P.OldPos = P.Pos;
      P.DesiredPos = {P.Pos.x + 2.0f, 0.0f, P.Pos.z + (b == 1 ? 30.0f : -20.0f)};
    }
}

// Open play: block 1's player 10 carries the ball up the pitch, the others
// support him and the defence comes up.
void MakeRunningWorld(TWorld& W) {
  std::memset(&W, 0, sizeof W);
  W.PlayersPerTeam = 15;
  W.TimeStep = 0.04f;
  W.PrevTimeStep = 0.04f;
  W.gamestate = gsRunning;
  W.PrevFrameGameState = gsRunning;
  W.Teams[1].BallCarrier = 10;
  W.Teams[2].DefenceLineSpeed = 2.5f;
  W.Teams[2].DefenceLineZ = 8.0f;
  for (int b = 1; b <= 2; ++b)
    for (int p = 1; p <= 15; ++p) {
      TPlayer& P = W.Teams[b].Players[p];
      P.maxspeed = 8.0f;
      P.MaxSpeedNonFatigued = 8.0f;
      P.JogSpeed = 5.0f;
      P.AccelerationInit = 4.0f;
      P.SpeedLossSlope = -1.0f;
      P.FatigueTimer = 30.0f + p;
      P.FatigueFreshTime = 60;
      P.FatigueTiredTime = 20;
      P.DistToDesired = 30.0f;
    }
  StartRun(W);
}

void BM_MotionSteps(benchmark::State& state) {
  RandSeed = 7;
  MakeRunningWorld(BenchWorld);
  int frame = 0;
  for (auto _ : state) {
    SetDesiredSpeed(BenchWorld);
    AccelerateToDesiredSpeed(BenchWorld);
    MoveToDesiredPosition(BenchWorld);
    // Every 100 frames (4 s) the players have arrived: start the run again.
    if (++frame == 100) {
      frame = 0;
      StartRun(BenchWorld);
    }
    benchmark::DoNotOptimize(BenchWorld.Teams[2].Players[15].Pos);
  }
  state.counters["frames"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["player-frames"] =
      benchmark::Counter(30.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MotionSteps);

// Facing and ball update, which also run in every match and look-ahead frame:
// everyone but the carrier moves at 3 m/s towards a spot up the pitch and
// turns towards it, the carrier holds the ball on the carry track.
void BM_FacingAndBallUpdate(benchmark::State& state) {
  RandSeed = 7;
  AuxState.TurnRate = 400.0f;
  BuildBallKeyframes();
  MakeRunningWorld(BenchWorld);
  BenchWorld.BallAttached = kTrue32;
  BenchWorld.LastKnownHasBall = 10;
  for (int b = 1; b <= 2; ++b)
    for (int p = 1; p <= 15; ++p) {
      TPlayer& P = BenchWorld.Teams[b].Players[p];
      P.speed = 3.0f;
      P.Height = 1.85f;
      P.BallTrack = 1;
      P.maxframes = 20.0f;
    }
  int frame = 0;
  for (auto _ : state) {
    MoveToDesiredPosition(BenchWorld);
    BenchWorld.Teams[1].Players[10].currentframe = static_cast<f32>(frame % 20);
    LookAtPosition(BenchWorld);
    BallUpdate(BenchWorld);
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

// The kick launch (the whole flight integrated once per kick) and a frame of
// the free ball walking that flight, both in the look-ahead copy.
#include <benchmark/benchmark.h>

#include <cstring>

#include "core/Random.h"
#include "core/TypeDefs.h"
#include "motion/DelayPlayersUnit.h"
#include "motion/FreeBallFlight.h"

namespace {

TWorld BenchWorld;

// Block 1's player 10 about to punt 25 m/s at 40 degrees from his own half.
void ArmKick(TWorld& W) {
  W.gamestate = gsRunning;
  TTeamBlock& A = W.Teams[1];
  A.BallCarrier = 10;
  A.KickTimeLeft = 0.01f;
  A.KickSpeed = 25.0f;
  A.KickElevation = 40.0f;
  A.KickHeading = 90.0f;
  TPlayer& K = A.Players[10];
  K.Pos = {0.0f, 0.0f, -20.0f};
  K.KickKind = 1.0f;
  K.KickFacing = 90.0f;
}

void MakeKickWorld(TWorld& W) {
  std::memset(&W, 0, sizeof W);
  W.PlayersPerTeam = 15;
  W.TimeStep = 0.04f;
  W.PitchLength = 100.0f;
  W.PitchWidth = 70.0f;
  W.Gravity = 9.81f;
  W.GroundFriction = 1.06f;
  for (int k = 1; k <= 3; ++k) {
    TDistribution& d = W.BounceErrors[k];
    d.mean = k == 1 ? 0.6f : 0.0f;
    d.sd = 0.1f;
    d.min = k == 1 ? 0.3f : -20.0f;
    d.max = k == 1 ? 0.9f : 20.0f;
    d.useMin = d.useMax = kTrue32;
  }
  RandSeed = 77;
  ArmKick(W);
}

void BM_KickLaunch(benchmark::State& state) {
  MakeKickWorld(BenchWorld);
  for (auto _ : state) {
    ArmKick(BenchWorld);
    ReleaseKick(BenchWorld);
    benchmark::DoNotOptimize(BenchWorld.FlightSegments);
  }
}
BENCHMARK(BM_KickLaunch);

// Frames of flight, bounces and roll; a ball at rest is kicked again (the
// launch is then part of the time, once per some 150 frames).
void BM_FreeBallFrame(benchmark::State& state) {
  MakeKickWorld(BenchWorld);
  ReleaseKick(BenchWorld);
  for (auto _ : state) {
    TWorld& W = BenchWorld;
    if (W.LooseBallRolling != 0 && W.LooseBallSpeed == 0.0f) {
      ArmKick(W);
      ReleaseKick(W);
    }
    W.PrevBallPos = W.BallPos;
    FlyFreeBall(W);
    benchmark::DoNotOptimize(W.BallPos);
  }
}
BENCHMARK(BM_FreeBallFrame);

}  // namespace

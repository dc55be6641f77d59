// Releases per second: every pass of the match and of every look-ahead frame
// searches up to 20 receiver speeds of up to 100 candidate throws.
#include <benchmark/benchmark.h>

#include <cstring>

#include "core/Geometry.h"
#include "core/Random.h"
#include "core/StrategyShapes.h"
#include "core/TypeDefs.h"
#include "motion/DelayPlayersUnit.h"

namespace {

TWorld Prepared;
TWorld BenchWorld;

// Open play in the look-ahead copy: block 1's player 10 passes from the
// centre spot to player 12, 6 m to his left and 1 m behind, who runs a
// little forward; the two lines of 15 stand 5 m apart, so every candidate
// is weighed against the defenders.
void MakeRelease(TWorld& W) {
  std::memset(&W, 0, sizeof W);
  W.PlayersPerTeam = 15;
  W.TimeStep = 0.04f;
  W.gamestate = gsRunning;
  W.PitchLength = 100.0f;
  W.PitchWidth = 70.0f;
  W.InGoalDepth = 10.0f;
  W.Gravity = 9.81f;
  W.ThrowTargetCount = 100;
  W.TimeSinceSetPiece = 100.0f;
  for (bool32& f : W.MessageSlotFree) f = kTrue32;
  BuildActionSeqTemplates(W);
  for (int b = 1; b <= 2; ++b)
    for (int p = 1; p <= 15; ++p) {
      TPlayer& P = W.Teams[b].Players[p];
      P.Pos = {static_cast<f32>(4 * p - 32), 0.0f, b == 1 ? -1.0f : 4.0f};
      P.OldPos = P.Pos;
      P.maxspeed = 8.0f;
      P.Acceleration = 4.0f;
      P.Height = 1.8f;
      P.maxpassspeed = 12.0f;
      P.FacingAngle = static_cast<f32>(100.0 * kDegToRad);
      SetDistribution(P.ReactionDelayExtra1, 0.1, 0.04, 0.0, 0.5);
    }
  TTeamBlock& A = W.Teams[1];
  A.BallCarrier = 10;
  A.PassReceiver = 12;
  A.PassKind = 2;
  A.Players[10].Pos = {0.0f, 0.0f, 0.0f};
  A.Players[10].OldPos = A.Players[10].Pos;
  A.Players[12].Pos = {-6.0f, 0.0f, -1.0f};
  A.Players[12].OldPos = A.Players[12].Pos;
  W.BallPos = {0.0f, 1.0f, 0.0f};
}

void BM_ReleasePass(benchmark::State& state) {
  RandSeed = 33;
  MakeRelease(Prepared);
  for (auto _ : state) {
    state.PauseTiming();
    std::memcpy(&BenchWorld, &Prepared, sizeof BenchWorld);
    state.ResumeTiming();
    ReleasePass(BenchWorld);
    benchmark::DoNotOptimize(BenchWorld.PassVel);
  }
  if (BenchWorld.gamestate != gsPassing) state.SkipWithError("the pass was not released");
  state.counters["releases"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReleasePass);

}  // namespace

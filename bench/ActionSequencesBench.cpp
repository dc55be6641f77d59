// Runner frames per second: every frame of running, passing and the
// breakdown steps the scripted runs of the side in possession, in the match
// and in each look-ahead frame of every candidate move.
#include <benchmark/benchmark.h>

#include <cstring>

#include "core/StrategyShapes.h"
#include "flow/ActionSequences.h"

namespace {

TWorld BenchWorld;

// Running: the carrier 10 moves up the pitch; the other fourteen players run
// sequences that never end (no deadline, far from their points): half of
// them to the line shape, half on intercepting runs round the carrier.
void MakeRunningScene(TWorld& W) {
  std::memset(&W, 0, sizeof W);
  W.PitchLength = 100.0f;
  W.PitchWidth = 70.0f;
  W.PlayersPerTeam = 15;
  W.TimeStep = 0.04f;
  W.gamestate = gsRunning;
  BuildStrategyShapes();
  BuildActionSeqTemplates(W);
  TTeamBlock& A = W.Teams[1];
  A.CurrentStrategy = StrategyParams.Shapes[5];
  for (int k = 1; k <= 201; ++k) A.SetPieceSlotPos[k] = {static_cast<f32>(k - 101), 0.0f};
  A.BallCarrier = 10;
  for (int p = 1; p <= 15; ++p) {
    TPlayer& P = A.Players[p];
    P.Pos = {static_cast<f32>(4 * p - 32), 0.0f, -20.0f};
    P.OldPos = P.Pos;
    P.speed = 5.0f;
    P.maxspeed = 8.0f;
    P.Acceleration = 4.0f;
    if (p == 10) continue;
    P.ActionSeq = StrategyParams.ActionSeqTemplate;
    TActionEvent& E = P.ActionSeq.EventArray[1];
    E.Deadline = 0.0f;
    if (p % 2 == 0) {
      E.EventType = 14;
      E.TargetX = static_cast<f32>(2 * p - 15);
    } else {
      E.RelMovementOn = kTrue32;
      E.RelOwnTeam = kTrue32;
      E.RelPlayer = 10;
      E.RelDistance = 2.0f;
      E.RelHeading = 270.0f;
    }
  }
  TPlayer& C = A.Players[10];
  C.Pos = {0.0f, 0.0f, 0.0f};
  C.OldPos = {0.0f, 0.0f, -0.24f};
  C.speed = 6.0f;
  C.MeasuredSpeed = 5.9f;
}

void BM_RunActionSequencesRunning(benchmark::State& state) {
  MakeRunningScene(BenchWorld);
  for (auto _ : state) {
    RunActionSequences(BenchWorld);
    benchmark::DoNotOptimize(BenchWorld.Teams[1].Players[1].DesiredPos);
  }
  state.counters["frames"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RunActionSequencesRunning);

}  // namespace

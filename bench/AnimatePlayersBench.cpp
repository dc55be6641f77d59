// Frames per second of the animation step: it chooses, paces and advances
// the animation of all 30 players in every match frame and in every frame of
// every look-ahead.
#include <benchmark/benchmark.h>

#include <cstring>

#include "core/Random.h"
#include "core/TypeDefs.h"
#include "motion/AnimatePlayersUnit.h"

namespace {

TWorld BenchWorld;

// Open play: block 1's player 10 carries at speed, the others run, walk or
// stand at mixed speeds, a few are busy with breakdown roles, passes and
// catches, and two play scripted sequences, so that every stage is walked.
void MakeOpenPlay(TWorld& W) {
  std::memset(&W, 0, sizeof W);
  W.PlayersPerTeam = 15;
  W.TimeStep = 0.04f;
  W.gamestate = gsRunning;
  W.Teams[1].BallCarrier = 10;
  for (int b = 1; b <= 2; ++b)
    for (int p = 1; p <= 15; ++p) {
      TPlayer& P = W.Teams[b].Players[p];
      P.Pos = {static_cast<f32>(4 * p - 32), 0.0f, b == 1 ? -5.0f : 10.0f};
      P.DesiredPos = P.Pos;
      P.DesiredPos.z += static_cast<f32>(p % 3);
      P.speed = static_cast<f32>(p % 8);
      P.desiredspeed = P.speed + 1.0f;
      P.maxspeed = 8.0f;
      P.LongPassLeftReleaseTime.value = 0.5f;
      StartAnim(P, "breathing", 1839.0f, true, 1);
      if (p == 3) {
        P.RuckTimer = 5.0f;
        P.RuckRole = 2.0f;
        StartAnim(P, "jackle", 1820.0f, false, 1);
      }
      if (p == 5) {
        P.passtimer = 10.0f;
        StartAnim(P, "longpassleft", 2638.0f, false, 32);
      }
      if (p == 7) {
        P.passcatchtimer = 10.0f;
        StartAnim(P, "catchleft", 1838.0f, false, 9);
      }
      if (p == 12) {
        TAnimSeq& S = P.AnimSeq;
        S.NumEntries = 2;
        S.Entries[1].Name.Assign("n9pointleft");
        S.Entries[1] = {S.Entries[1].Name, 0, 0.0f, 0.0f, 100.0f, 100.0f, 0, 0, 0, 0};
        S.Entries[2].Name.Assign("breathing");
        S.Entries[2] = {S.Entries[2].Name, -1, 1000.0f, 0.0f, 1839.0f, 1532.5f, 0, 0, 0, 0};
        S.Playing = kTrue32;
      }
    }
}

void BM_AnimatePlayers(benchmark::State& state) {
  RandSeed = 7;
  MakeOpenPlay(BenchWorld);
  for (auto _ : state) {
    AnimatePlayers(BenchWorld);
    benchmark::DoNotOptimize(BenchWorld.Teams[2].Players[15].currentframe);
  }
  state.counters["frames"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_AnimatePlayers);

// A scrum frame: both packs drive in their pack roles, the backs hold
// lineout-style crouch loops, gestures or pointing, so every player goes
// through the cancellations, the endings and the action sections.
void MakeScrum(TWorld& W) {
  MakeOpenPlay(W);
  W.gamestate = gsScrum;
  W.PackVelocityZ = 0.3f;
  for (int b = 1; b <= 2; ++b)
    for (int p = 1; p <= 15; ++p) {
      TPlayer& P = W.Teams[b].Players[p];
      P.AnimSeq.Playing = kFalse32;
      P.passtimer = P.passcatchtimer = 0.0f;
      P.RuckTimer = 0.0f;
      if (p <= 8) {
        P.RuckTimer = 50.0f;
        P.RuckRole = static_cast<f32>(43 + p);
      } else if (p <= 11) {
        P.LineOutTimer = 50.0f;
        P.LineoutRole = 4.0f;
      } else if (p <= 13) {
        P.SpecialAnimTimer = 50.0f;
        P.SpecialAnimKind = 5.0f;
      } else {
        P.CelebrateTimer = 1000.0f;
        P.CelebrateKind = 2.0f;
      }
    }
}

void BM_AnimatePlayersScrum(benchmark::State& state) {
  RandSeed = 7;
  MakeScrum(BenchWorld);
  for (auto _ : state) {
    AnimatePlayers(BenchWorld);
    benchmark::DoNotOptimize(BenchWorld.Teams[2].Players[15].currentframe);
  }
  state.counters["frames"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_AnimatePlayersScrum);

}  // namespace

// Whole matches, and single frames of open play: a match is some 120,000
// frames of the match world plus every frame the samplers run on look-ahead
// copies of it, and operators play thousands a match day, so the cost of one
// match is the engine's main figure after its results.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>

#include "ExampleMatchBench.h"
#include "StepProfile.h"
#include "app/FrameSteps.h"
#include "app/MainUnit.h"
#include "core/Random.h"
#include "core/TypeDefs.h"
#include "core/WorkCounters.h"
#include "match/MatchFolder.h"
#include "platform/Platform.h"

namespace {

constexpr u32 kSeed = 4242;
constexpr int kOpenPlayFrames = 50;  // frames from the start position per iteration

// The post-statistics step, then the end of the run once the first half's
// clock stops: a bounded match for as long as nothing plays beyond it.
TFrameStep EngineLastStep = nullptr;
void StopAtHalfTime(TWorld& W) {
  EngineLastStep(W);
  if (W.clock >= W.halflength) MaxSimTime = 0;
}

struct TMatchRun {
  TWorkCounters Work;
  double Seconds;
};

// One seeded match through the program's own entry, in a fresh run folder;
// `bounded` ends it when the first half's clock stops.
TMatchRun PlayMatch(bool bounded) {
  TMatchFolder folder;
  SetProgramDirectory(folder.Dir());
  ResetFrameSteps();
  if (bounded) {
    EngineLastStep = FrameSteps[kFrameStepCount].Step;
    FrameSteps[kFrameStepCount].Step = StopAtHalfTime;
  }
  const TWorkCounters before = WorkCounters;
  FixTimeOfDay(kSeed);
  const auto start = std::chrono::steady_clock::now();
  const int status = RunProgram();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  UnfixTimeOfDay();
  SetProgramDirectory("");
  ResetFrameSteps();
  benchmark::DoNotOptimize(status);
  return {{WorkCounters.MatchFrames - before.MatchFrames, WorkCounters.LookAheadFrames - before.LookAheadFrames,
           WorkCounters.WorldCopies - before.WorldCopies},
          seconds};
}

double PeakResidentMB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void ReportMatches(benchmark::State& state, const TWorkCounters& work) {
  const double matches = static_cast<double>(state.iterations());
  const auto rate = benchmark::Counter::kIsRate;
  state.counters["frames"] = benchmark::Counter(static_cast<double>(work.MatchFrames), rate);
  state.counters["lookahead frames"] = benchmark::Counter(static_cast<double>(work.LookAheadFrames), rate);
  state.counters["frames/match"] = static_cast<double>(work.MatchFrames) / matches;
  state.counters["lookahead frames/match"] = static_cast<double>(work.LookAheadFrames) / matches;
  state.counters["copies/match"] = static_cast<double>(work.WorldCopies) / matches;
  state.counters["peak MB"] = PeakResidentMB();
}

void MatchBenchmark(benchmark::State& state, bool bounded) {
  TWorkCounters work{};
  for (auto _ : state) {
    const TMatchRun m = PlayMatch(bounded);
    work.MatchFrames += m.Work.MatchFrames;
    work.LookAheadFrames += m.Work.LookAheadFrames;
    work.WorldCopies += m.Work.WorldCopies;
  }
  ReportMatches(state, work);
}

// The whole seeded match, from the set-up to the last file written.
void BM_WholeMatch(benchmark::State& state) { MatchBenchmark(state, false); }
BENCHMARK(BM_WholeMatch)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->UseRealTime();

// The seeded match up to the end of the first half's play, then its finish.
void BM_FirstHalf(benchmark::State& state) { MatchBenchmark(state, true); }
BENCHMARK(BM_FirstHalf)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->UseRealTime();

// One seeded match with every step timed; prints the per-step profile (the
// timers cost a little, so its rate is not the match's).
void BM_MatchStepProfile(benchmark::State& state) {
  TWorkCounters work{};
  for (auto _ : state) {
    step_profile::Start();
    const uint64_t ticks = step_profile::Ticks();
    const TMatchRun m = PlayMatch(state.range(0) != 0);
    const uint64_t wallTicks = step_profile::Ticks() - ticks;
    step_profile::Stop();
    work = m.Work;
    std::printf("\nper-step profile of one %s (seed %u)\n", state.range(0) != 0 ? "first half" : "whole match", kSeed);
    step_profile::Print(stdout, m.Seconds, wallTicks);
    std::fflush(stdout);
  }
  ReportMatches(state, work);
}
BENCHMARK(BM_MatchStepProfile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// Plays kOpenPlayFrames frames of the match world from `start`: all steps in
// their order, the decision step's look-ahead sampling included.
void PlayOpenPlayFrames(const TWorld& start) {
  World = start;
  RandSeed = kSeed;
  for (int f = 0; f < kOpenPlayFrames; ++f) {
    World.PrevTimeStep = World.TimeStep;
    World.TimeStep = 0.04f;
    for (int i = 1; i <= kFrameStepCount; ++i) RunFrameStep(FrameSteps[i], World);
  }
}

// One frame of open play of the match world; every iteration starts again
// from the same position and plays kOpenPlayFrames frames.
void BM_OpenPlayFrame(benchmark::State& state) {
  TExampleMatch match(kSeed);
  static TWorld start;
  start = World;
  const TWorkCounters before = WorkCounters;
  for (auto _ : state) {
    PlayOpenPlayFrames(start);
    benchmark::DoNotOptimize(World.BallPos);
  }
  const double frames = static_cast<double>(state.iterations()) * kOpenPlayFrames;
  state.counters["frames"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
  state.counters["lookahead frames/frame"] =
      frames > 0 ? static_cast<double>(WorkCounters.LookAheadFrames - before.LookAheadFrames) / frames : 0;
  state.counters["copies/frame"] =
      frames > 0 ? static_cast<double>(WorkCounters.WorldCopies - before.WorldCopies) / frames : 0;
}
BENCHMARK(BM_OpenPlayFrame)->Unit(benchmark::kMicrosecond);

// The per-step profile of the open-play frames, 20 times over.
void BM_OpenPlayStepProfile(benchmark::State& state) {
  TExampleMatch match(kSeed);
  static TWorld start;
  start = World;
  for (auto _ : state) {
    step_profile::Start();
    const uint64_t ticks = step_profile::Ticks();
    const auto clock = std::chrono::steady_clock::now();
    for (int n = 0; n < 20; ++n) PlayOpenPlayFrames(start);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - clock).count();
    const uint64_t wallTicks = step_profile::Ticks() - ticks;
    step_profile::Stop();
    std::printf("\nper-step profile of %d frames of open play (seed %u)\n", 20 * kOpenPlayFrames, kSeed);
    step_profile::Print(stdout, seconds, wallTicks);
    std::fflush(stdout);
  }
}
BENCHMARK(BM_OpenPlayStepProfile)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace

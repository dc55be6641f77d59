// Open-play sampling passes per second: a pass of the side in possession
// copies the match world before every look-ahead sample and plays each open
// move forward, so look-ahead frames and world copies are what it costs.
#include <benchmark/benchmark.h>

#include <cmath>

#include "ExampleMatchBench.h"
#include "core/MoveBooks.h"
#include "core/Random.h"
#include "core/TypeDefs.h"
#include "decision/LookAhead.h"
#include "decision/StrategyUnit.h"

namespace {

constexpr u32 kSeed = 4242;

double Frames, Copies;

// The real look-ahead, counted: one world copy per run, and its frames.
void CountedSimulate(TWorld& W, const TMove& Move, u16 Code, TSimResult& R) {
  SimulateAhead(W, Move, Code, R);
  Copies += 1;
  Frames += std::nearbyint(R.SimTime / Move.SimTimeStep);
}

// One decision of the running state per iteration, on the same match world
// each time: the carrier runs no move and the book is due, so each call
// runs a full pass.
void BM_SamplingPass(benchmark::State& state) {
  TExampleMatch match(kSeed);
  World.RunningPhase = 3;
  static TWorld start;
  start = World;
  SamplerSeam = {CountedSimulate, nullptr, nullptr};
  Frames = Copies = 0;
  for (auto _ : state) {
    World = start;
    TMoveBook& B = PossessionMoveBook(World);
    B.TimeSinceSample = 1.0f;
    B.ResampleTimer = 0;
    B.HoldTimer = 0;
    RandSeed = kSeed;
    RunningStrategy(World);
    benchmark::DoNotOptimize(B.BestMove);
  }
  SamplerSeam = {nullptr, nullptr, nullptr};
  const double passes = static_cast<double>(state.iterations());
  state.counters["passes"] = benchmark::Counter(passes, benchmark::Counter::kIsRate);
  state.counters["frames"] = benchmark::Counter(Frames, benchmark::Counter::kIsRate);
  state.counters["copies"] = benchmark::Counter(Copies, benchmark::Counter::kIsRate);
  state.counters["runs/pass"] = passes > 0 ? Copies / passes : 0;
}
BENCHMARK(BM_SamplingPass)->Unit(benchmark::kMillisecond);

}  // namespace

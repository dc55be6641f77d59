// Look-ahead runs per second: every sampling pass of the side in possession
// copies the whole world and plays each candidate move forward on the copy,
// up to 500 frames a run, so the look-ahead is where a match spends its time.
#include <benchmark/benchmark.h>

#include <cmath>

#include "ExampleMatchBench.h"
#include "core/MoveBooks.h"
#include "core/Random.h"
#include "core/TypeDefs.h"
#include "decision/LookAhead.h"

namespace {

constexpr u32 kSeed = 4242;
constexpr int kBenchMove = 21;  // an open-play move of the catalogue

void BM_LookAheadOpenPlayMove(benchmark::State& state) {
  TExampleMatch match(kSeed);
  TMove move = PossessionMoveBook(World).OpenPlayMoves[kBenchMove];
  move.ApplyFirst = kTrue32;
  TSimResult result{};
  double frames = 0;
  for (auto _ : state) {
    RandSeed = kSeed;
    TakeLookAheadCopy();
    LookAheadWorld.Teams[1].MoveIndex = kBenchMove;
    SimulateAhead(LookAheadWorld, move, 0, result);
    benchmark::DoNotOptimize(result);
    frames += std::nearbyint(result.SimTime / move.SimTimeStep);
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["runs"] = benchmark::Counter(runs, benchmark::Counter::kIsRate);
  state.counters["frames"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
  state.counters["copies"] = benchmark::Counter(runs, benchmark::Counter::kIsRate);
  state.counters["frames/run"] = runs > 0 ? frames / runs : 0;
}
BENCHMARK(BM_LookAheadOpenPlayMove)->Unit(benchmark::kMicrosecond);

// The copy alone: one block copy of the world before every sample.
void BM_LookAheadCopy(benchmark::State& state) {
  TExampleMatch match(kSeed);
  for (auto _ : state) {
    TakeLookAheadCopy();
    benchmark::DoNotOptimize(LookAheadWorld.BallPos);
  }
  state.counters["copies"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["bytes"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * sizeof(TWorld), benchmark::Counter::kIsRate,
                         benchmark::Counter::kIs1024);
}
BENCHMARK(BM_LookAheadCopy)->Unit(benchmark::kMicrosecond);

}  // namespace

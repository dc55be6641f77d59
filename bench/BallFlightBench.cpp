// Flights per second: every kick decision and every bounce integrates a
// whole flight, and the look-ahead runs them for each candidate move.
#include <benchmark/benchmark.h>

#include "core/BallFlight.h"
#include "core/KickSolving.h"
#include "core/Random.h"

namespace {

TBallFlight BenchFlight;

void BM_KickFlight(benchmark::State& state) {
  f32 heading = 60.0f;
  for (auto _ : state) {
    SimulateKickFlight(BenchFlight, 27.0f, 40.0f, heading, 0.0f, 0.5f, -20.0f, 70.0f);
    benchmark::DoNotOptimize(BenchFlight.LandingStep);
    heading = heading < 120.0f ? heading + 1.0f : 60.0f;
  }
  state.counters["flights"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_KickFlight);

void BM_LooseBallFlight(benchmark::State& state) {
  f32 elevation = 10.0f;
  for (auto _ : state) {
    SimulateLooseBallFlight(BenchFlight, 8.0f, elevation, 75.0f, 5.0f, 0.3f, 10.0f, 70.0f);
    benchmark::DoNotOptimize(BenchFlight.LandingStep);
    elevation = elevation < 60.0f ? elevation + 1.0f : 10.0f;
  }
  state.counters["flights"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_LooseBallFlight);

// A kick decision: 25 candidates aimed at a point, no early stop.
void BM_FindKickNearPoint(benchmark::State& state) {
  RandSeed = 1;
  for (auto _ : state) {
    const TLaunchParams p = FindKick(25, false, true, 0.0f, 0.5f, -20.0f, 15.0f, 30.0f, 25.0f, 55.0f,
                                     60.0f, 120.0f, kKickModeNearPoint, 1000.0f, 1000.0f, 0.0f,
                                     70.0f, 100.0f, 30.0f);
    benchmark::DoNotOptimize(p);
  }
  state.counters["flights"] = benchmark::Counter(25.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FindKickNearPoint);

}  // namespace

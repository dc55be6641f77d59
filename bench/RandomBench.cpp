// The generator and the chance helpers run inside every look-ahead frame.
#include <benchmark/benchmark.h>

#include "core/Random.h"

namespace {

void BM_RandomRange(benchmark::State& state) {
  RandSeed = 12345;
  for (auto _ : state) benchmark::DoNotOptimize(RandomRange(1, 1001));
}
BENCHMARK(BM_RandomRange);

void BM_GaussianRandom(benchmark::State& state) {
  RandSeed = 12345;
  for (auto _ : state) benchmark::DoNotOptimize(GaussianRandom(0.5f, 0.1f, 0.2f, 0.9f, kTrue32, kTrue32));
}
BENCHMARK(BM_GaussianRandom);

void BM_WeightedRandomIndex(benchmark::State& state) {
  RandSeed = 12345;
  i16 weights[20];
  for (int k = 0; k < 20; ++k) weights[k] = static_cast<i16>(10 + k * 7);
  for (auto _ : state) benchmark::DoNotOptimize(WeightedRandomIndex(weights, 20));
}
BENCHMARK(BM_WeightedRandomIndex);

void BM_StaggeredRandomDelays(benchmark::State& state) {
  RandSeed = 12345;
  TPlayerList flags{};
  for (int k = 1; k <= 10; ++k) flags[k] = static_cast<i16>(k);
  for (auto _ : state) benchmark::DoNotOptimize(StaggeredRandomDelays(flags));
}
BENCHMARK(BM_StaggeredRandomDelays);

}  // namespace

// Name lookups run for every player in every recorded frame.
#include <benchmark/benchmark.h>

#include <iterator>

#include "setup/AnimationCatalogue.h"

namespace {

void BM_AnimNameToIndex(benchmark::State& state) {
  BuildAnimationCatalogue();
  // A spread of catalogue positions, a miss and the empty name.
  const std::string_view names[] = {"breathing", "sprintwithball", "divetackledoneononefallforward",
                                    "blockgotexitedon16", "qbpass1", "bomb", ""};
  for (auto _ : state)
    for (std::string_view n : names) benchmark::DoNotOptimize(AnimNameToIndex(n));
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(std::size(names)));
}
BENCHMARK(BM_AnimNameToIndex);

}  // namespace

// The one random generator of the program and the chance helpers built on
// it. The look-ahead draws from it too, so the order and number of draws is
// part of a match's behaviour: every function here states how many draws it
// takes, and none draws more or fewer.
#pragma once

#include <cstdint>

#include "core/Arrays.h"
#include "core/TypeDefs.h"

// The generator's state; set once at start-up (tests and benchmarks set it
// themselves so that a match is reproducible).
extern u32 RandSeed;

// A draw 0 .. N-1: one step of the generator, then the upper 32 bits of the
// 64-bit product of the new state and N (taken as unsigned). Always advances
// the state once, also for N = 0 (which gives 0).
inline i32 Random(i32 N) {
  RandSeed = RandSeed * 134775813u + 1u;
  const uint64_t product = static_cast<uint64_t>(RandSeed) * static_cast<u32>(N);
  return static_cast<i32>(static_cast<u32>(product >> 32));
}

// A draw from the smaller bound up to, never including, the larger one;
// RandomRange(A, A) is A after one draw. The bound arithmetic wraps like the
// 32-bit integers it stands for.
inline i32 RandomRange(i32 A, i32 B) {
  const u32 a = static_cast<u32>(A);
  const u32 b = static_cast<u32>(B);
  if (B < A) return static_cast<i32>(static_cast<u32>(Random(static_cast<i32>(a - b))) + b);
  return static_cast<i32>(static_cast<u32>(Random(static_cast<i32>(b - a))) + a);
}

// A normal draw (Box-Muller on two coarse uniforms, exactly two draws),
// clamped below when UseMin and then above when UseMax.
f32 GaussianRandom(f32 Mean, f32 SD, f32 Min, f32 Max, bool32 UseMin, bool32 UseMax);

// A draw of a distribution with its own clamp switches.
inline f32 DrawDistribution(const TDistribution& d) {
  return GaussianRandom(d.mean, d.sd, d.min, d.max, d.useMin, d.useMax);
}

// A draw of a distribution with both clamps on, whatever its switches say.
inline f32 DrawClamped(const TDistribution& d) {
  return GaussianRandom(d.mean, d.sd, d.min, d.max, kTrue32, kTrue32);
}

// Number 1..Count of a weight chosen with probability weight / sum; 0
// without a draw when the sum is below 1, and 0 after the draw when the walk
// never reaches it (negative weights). Weights[0] is weight number 1.
i32 WeightedRandomIndex(const i16* Weights, i32 Count);

template <int N>
i32 WeightedRandomIndex(const Arr1<i16, N>& Weights, i32 Count) {
  return WeightedRandomIndex(Weights.begin(), Count < N ? Count : N);
}

// Chance in thousandths for a setting 1..4 (0, 600, 800, 900); 500 otherwise.
i32 LevelChancePerMille(i32 Level);

// Whole seconds of delay for a game state; one draw only for the states that
// have a range.
i32 RandomStateDelay(TGameState State);

// Release delays of up to 25 flagged entries in four waves (entries 7-10,
// then 4-6, then 1 and 3, then 2), each wave after the latest delay of the
// one before; one draw per flagged entry of those waves, in that order.
using TDelayList = Arr1<f32, 25>;
TDelayList StaggeredRandomDelays(const TPlayerList& Flags);

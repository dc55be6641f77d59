// Counting draws of the one random generator: the order and number of draws
// is behaviour, so tests check it.
#pragma once

#include "core/Random.h"

// The generator's state `draws` steps after `seed`, stepped by hand.
inline u32 SeedAfter(u32 seed, int draws) {
  for (int k = 0; k < draws; ++k) seed = seed * 134775813u + 1u;
  return seed;
}

// How many draws took the generator from state `before` to its present
// state (replaying it); -1 when more than `limit`.
inline int DrawsSince(u32 before, int limit = 10000) {
  const u32 now = RandSeed;
  RandSeed = before;
  int n = 0;
  while (RandSeed != now && n <= limit) {
    Random(1);
    ++n;
  }
  RandSeed = now;
  return n <= limit ? n : -1;
}

// The generator state one draw before `seed`.
inline u32 StepBack(u32 seed) {
  u32 inverse = 134775813u;  // of the multiplier, mod 2^32 (Newton's iteration)
  for (int k = 0; k < 5; ++k) inverse *= 2u - 134775813u * inverse;
  return (seed - 1u) * inverse;
}

// A generator state from which the next RandomRange(A, B) (A < B) gives
// Value: the least state after the step whose product with B - A has
// Value - A in its upper 32 bits, stepped back once.
inline u32 SeedBeforeDraw(i32 A, i32 B, i32 Value) {
  const uint64_t n = static_cast<u32>(B - A);
  const uint64_t want = static_cast<u32>(Value - A);
  return StepBack(static_cast<u32>(((want << 32) + n - 1) / n));
}

// The first seed from 1 on with which `draws` (making its draws from the
// generator) returns true: for given results of several draws.
template <class F>
u32 SeedWhere(F draws) {
  for (u32 seed = 1;; ++seed) {
    RandSeed = seed;
    if (draws()) return seed;
  }
}

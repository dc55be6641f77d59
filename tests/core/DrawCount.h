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

// The first seed from 1 on with which `draws` (making its draws from the
// generator) returns true; for tests that need given draw results.
template <class F>
u32 SeedWhere(F draws) {
  for (u32 seed = 1;; ++seed) {
    RandSeed = seed;
    if (draws()) return seed;
  }
}

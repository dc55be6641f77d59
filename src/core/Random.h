// The one random generator of the program. The look-ahead draws from it too,
// so the order and number of draws is part of a match's behaviour.
#pragma once

#include "core/Arrays.h"

// The generator's state; set once at start-up (tests and benchmarks set it
// themselves so that a match is reproducible).
extern u32 RandSeed;

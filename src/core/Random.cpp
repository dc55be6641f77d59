#include "core/Random.h"

u32 RandSeed = 0;

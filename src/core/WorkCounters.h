// The engine's work since the process started, for the benchmarks and the
// match script: frames of the match world, frames run on look-ahead copies,
// and copies of the whole world taken for the look-ahead. No step reads
// them, so they never steer a match; a caller that times a stretch of work
// reads them before and after it.
#pragma once

#include <cstdint>

struct TWorkCounters {
  uint64_t MatchFrames;      // frames the driver ran on the match world
  uint64_t LookAheadFrames;  // frames the look-ahead ran on its copies
  uint64_t WorldCopies;      // LookAheadWorld := World, whole
};

extern TWorkCounters WorkCounters;

// The statistics record that the output reads after the match. The input
// readers fill its set-up part before the first frame; the output subsystem
// owns the rest.
#pragma once

#include "core/Arrays.h"
#include "core/StrategyShapes.h"
#include "setup/MatchInfo.h"

// An entry of the record's first list.
struct TStatsListEntry {
  ShortStr<35> Text;
  f32 Value;
  i32 Count;
};

struct TMatchStats {
  Arr1<TStatsListEntry, 25> List;
  // Copies taken once all input files are read.
  TMatchInfo MatchInfo;
  Arr1<TFieldStrategy, 2> FieldStrategy;  // match team 1, then team 2
};

extern TMatchStats MatchStats;

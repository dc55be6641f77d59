// The statistics record that the output reads after the match. The input
// readers fill its set-up part before the first frame; the output subsystem
// owns the rest.
#pragma once

#include "core/Arrays.h"
#include "core/MatchInfo.h"
#include "core/StrategyShapes.h"

// An entry of the record's first list.
struct TStatsListEntry {
  ShortStr<35> Text;
  f32 Value;
  i32 Count;
};

// One squad player's ratings exactly as "players.csv" gave them (before any
// side factor), for the output after the match.
struct TPlayerStats {
  // The output subsystem adds its own fields before `age` here.
  f32 age, height, width, weight;  // whole numbers as read; height kept within 150..250
  f32 speed, acceleration, awareness, discipline, fitness, tackling, agility, elusiveness, fend,
      breaktackle, strength, handling, highball, lineoutjumping, lineoutthrow, rucking,
      scrummaging, form, passing, kicking, goalkicking, finesse, injury, offloads, bodyfat,
      leadership;
  f32 trycelebration;  // the final choice, 2 to 16
  // The output subsystem adds its further fields here.
  f32 ExtraValue1, ExtraValue2;  // -1.0 for every player
  // Six texts: the fourth holds the player's "user"; the others stay empty.
  ShortStr<30> Text1, Text2, Text3, user, Text5, Text6;
};

struct TMatchStats {
  Arr1<TStatsListEntry, 25> List;
  // Copies taken once all input files are read.
  TMatchInfo MatchInfo;
  Arr1<TFieldStrategy, 2> FieldStrategy;  // match team 1, then team 2
  // Ratings by side (match team 1, then team 2) and squad number.
  Arr1<Arr1<TPlayerStats, 25>, 2> PlayerStats;
};

extern TMatchStats MatchStats;

// The engine's process-wide caches, all in one place. Each holds answers of
// a pure function of its key, so a hit gives the very bits a computation
// would, and none is part of the world: the look-ahead's copies share them,
// and emptying them changes no result, only the work of the next calls.
// Each earns its place by its saving on a seeded match (callgrind
// instructions, seed 4242 of the example input, 42.3 G a match).
//
//   cache              key                               answer                 owner
//   TurnMemo           bits of both headings (finite)    HeadingDifference      core/Geometry.cpp
//   LayoutMemo         shape and the 201 slot keys       the slots' depths      core/StrategyZones.cpp
//   LastTargetHeading  bits of one finite heading        its direction          core/Interception.cpp
//   BoxMullerTable     the uniform's step k, 1..998      sqrt(-2 ln u), cos(2 pi u)  core/Random.cpp
//
// The Box-Muller table is filled whole at its first use after a reset, by
// the library's own calls at run time (never folded by the compiler, whose
// rounding may differ). The footprint circle's eight cosines and sines
// (CircleTrig in core/Geometry.cpp) are a constant table the compiler may
// fold, with nothing to reset.
//
// The owners read and fill them; ResetCaches empties them all (a test that
// counts work from a cold start, or that must not lean on answers left by
// an earlier test, calls it).
#pragma once

#include <cstdint>

#include "core/Geometry.h"
#include "core/TypeDefs.h"

// HeadingDifference's recent answers, one entry per slot of a
// multiplicative hash of the pair (1 MB). Every look-ahead sample replays
// frames from the same start, and players who hold their line repeat their
// turns, so more than half the pairs come back. Saves 0.52 % of a match
// (222 M instructions). Empty, an entry holds the pair (0, 0), whose answer
// is 0.
struct TTurnMemoEntry {
  uint64_t Key;  // H1's bits above H2's
  f32 Angle;     // degrees, 0..180
};
inline constexpr int kTurnMemoBits = 16;
extern TTurnMemoEntry TurnMemo[1 << kTurnMemoBits];

// Recent line layouts: a shape, the slot keys it was read at and the depths
// that came out. Every look-ahead sample lays the same shape on the same
// keys, so nearly every layout repeats one of these. Only a layout that
// raised no float error is kept (and only when no error flag was up before
// it), since the reading it saves would raise none either. Saves 1.10 % of
// a match (466 M instructions).
struct TLineLayout {
  bool Used;
  TStrategyShape Shape;
  Arr1<f32, 201> Keys;    // the slots' x, m
  Arr1<f32, 201> Depths;  // the slots' z, m
};
inline constexpr int kLayoutMemoSize = 8;
struct TLayoutMemo {
  TLineLayout Layouts[kLayoutMemoSize];
  int Next;  // the entry the next new layout replaces, oldest first
};
extern TLayoutMemo LayoutMemo;

// The direction of the last finite target heading InterceptPoint was asked
// for. Callers place one side's chasers against the same runner in a row,
// so nine calls in ten ask for the heading of the call before. Saves 0.68 %
// of a match (286 M instructions). Empty, its bits are a NaN's, which no
// finite heading matches.
struct TLastHeading {
  u32 Bits;
  TDirection Direction;
};
inline constexpr u32 kNoHeadingBits = 0x7FC00000u;
extern TLastHeading LastTargetHeading;

// Both Box-Muller factors of a normal draw: its two uniforms take only the
// values k / 1000 for k in 1..998, so the table holds the very values a
// draw would compute, without a logarithm and a cosine per draw. Saves
// 0.86 % of a match (364 M instructions).
inline constexpr int kUniformSteps = 999;
struct TBoxMullerTable {
  bool Filled;
  double Radius[kUniformSteps];  // sqrt(-2 ln u)
  double Cosine[kUniformSteps];  // cos(2 pi u)
};
extern TBoxMullerTable BoxMullerTable;

// Empties every cache above.
void ResetCaches();

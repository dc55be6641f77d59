// What the match tools read of a whole match while it plays and after it:
// frames of the match and of the look-ahead, a running hash of where every
// player and the ball stand after each match frame, and the scoring read from
// the message list. The probe sits in the frame-step table around two
// steps, so the match plays exactly as the program plays it.
#pragma once

#include <cstdint>
#include <string>

#include "core/Arrays.h"

// One match as the tools report it.
struct TMatchFigures {
  u32 Seed = 0;
  int ExitStatus = -1;          // RunProgram's: 0 no errors, 1 error run, 2 start-up or finish failed
  int Score1 = 0, Score2 = 0;   // match team 1's and team 2's, as the run log writes them
  int Tries = 0;                // both teams
  int Conversions = 0, ConversionAttempts = 0;
  int PenaltyGoals = 0, PenaltyGoalAttempts = 0;
  int DropGoals = 0, DropGoalAttempts = 0;
  uint64_t Frames = 0;          // match frames that ran to their last step
  uint64_t LookAheadFrames = 0; // frames played on look-ahead copies
  uint64_t PositionHash = 0;    // every match frame's player and ball positions, then the message list
  double WallSeconds = 0;       // start-up to the end of the finish
};

// 64-bit FNV-1a over bytes, continuing from `hash`.
uint64_t HashBytes(uint64_t hash, const void* data, size_t size);
constexpr uint64_t kHashStart = 14695981039346656037ull;

// Plays one whole match through RunProgram in the program directory `dir`
// (which holds csvinput/internetinit/), from `seed` when `fixedSeed` is
// set, else from the clock as the program does; returns its figures.
TMatchFigures PlayProbedMatch(const std::string& dir, bool fixedSeed, u32 seed);

// The column names of FiguresRow, and one match's row.
std::string FiguresHeader();
std::string FiguresRow(const TMatchFigures& F);

// The two teams' books of set moves: 150 open-play and 150 ruck moves each,
// with the working state of the samplers that judge them on the look-ahead
// world. The books live beside the world, never in it, so the match and the
// look-ahead share one set of them and a look-ahead copy never copies them.
#pragma once

#include "core/Arrays.h"
#include "core/MoveBook.h"
#include "core/MoveFitness.h"
#include "core/TypeDefs.h"

constexpr int kMovesPerBook = 150;

// One table of a book: open-play or ruck moves by number.
using TMoveTable = Arr1<TMove, kMovesPerBook>;

struct TMoveBook {
  // Open-play sampling switch: false from the world defaults, set in both
  // books every running frame by the running decision.
  bool32 SamplingOn;
  bool32 Feasible;  // the move application's verdict on the move last applied from this book
  // The ruck of the current tackle has been sampled; cleared in both books
  // by the gottackled set-up for each new tackle.
  bool32 RuckSampled;
  // Also called SampleDelay, MoveHoldTime and MoveAge:
  f32 ResampleTimer;    // s, countdown to the next routine resampling of open play
  f32 HoldTimer;        // s, while above 0 and the carrier runs a sequence, no resampling
  f32 TimeSinceSample;  // s, since the last sampling pass that found an open move
  i32 MoveCount;        // move numbers a sampling pass scans: 150
  Arr1<i32, kMovesPerBook> OpenList;      // open moves of the current pass; 0 ends the list
  Arr1<bool32, kMovesPerBook> OpenFlags;  // per open-play move, written by the open-move finder
  Arr1<TMove, kMovesPerBook> OpenPlayMoves;  // tried in running
  Arr1<TMove, kMovesPerBook> RuckMoves;      // tried in gottackled
  // Last look-ahead outcome per move number, of whichever table was sampled last.
  Arr1<TSimResult, kMovesPerBook> Results;
  bool32 ReEvaluate;       // set at every sampling pass
  TMove Candidate;         // working copy of the move being simulated
  TSimResult LastResult;   // its last outcome
  i32 BestMove;            // best move of the last pass, 0 = none
  TMove BestMoveCopy;
  TSimResult BestResult;
  // Players of block 1 lined up for the roles of the open-play move being applied.
  TPlayerList Assignment;
  // For shirt numbers 1 to 15, the team-mates who cover him, in order of
  // preference; 0 after the last.
  Arr1<Arr1<i16, 25>, 15> CoverLists;
};

static_assert(std::is_trivially_copyable_v<TMoveBook>);

// Book 1 (match team 1) and book 2 (match team 2), zeroed static storage.
extern Arr1<TMoveBook, 2> MoveBooks;

// The book of the side in possession: team 1's while Team1InFirstBlock is
// set, else team 2's.
TMoveBook& PossessionMoveBook(const TWorld& W);

// Clears both books' move tables and fills them from constants. Called once
// by the world defaults, after the book heads and cover lists are set; no
// later code writes the stored moves except ApplyFirst and MinGain.
void BuildMoveBooks();

// The working steps the open-play and ruck samplers share.

// Move numbers a sampling pass scans: MoveCount kept within 0..150.
int ScanCount(const TMoveBook& Book);

// Writes the open moves (OpenFlags set) among 1..ScanCount into OpenList in
// ascending order, after clearing its first ScanCount entries; returns how
// many.
int BuildOpenList(TMoveBook& Book);

// Shuffles OpenList[1..Count]: one direction draw (upwards from entry 1 when
// RandomRange(1, 1001) < 500, else downwards from Count), then for each
// entry in that order one partner draw RandomRange(1, Count + 1) and a swap.
// With KeepMoveOne a swap that would move move 1 is skipped.
void ShuffleOpenList(TMoveBook& Book, int Count, bool KeepMoveOne);

// A best result that any sampled move beats: the ball far behind, running,
// possession and touch lost, no time, the given support score.
void ResetBestResult(TSimResult& R, f32 Score);

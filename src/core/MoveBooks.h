// The two teams' books of set moves. They live beside the world, not in it:
// the match and the look-ahead share them.
#pragma once

#include "core/Arrays.h"
#include "core/MoveBook.h"

constexpr int kMovesPerBook = 150;

// One team's book. Only the head words that the world defaults set are
// declared so far; the move-book filler and the decision step add the rest.
struct TMoveBook {
  bool32 SamplingOn;  // the first head word
  i32 MoveCount;      // 150
  Arr1<TMove, kMovesPerBook> Moves;
  // For shirt numbers 1 to 15, the team-mates who cover him, in order of
  // preference; 0 after the last.
  Arr1<Arr1<i16, 25>, 15> CoverLists;
};

// Book 1 and book 2.
extern Arr1<TMoveBook, 2> MoveBooks;

// Fills both books' moves from constants. Called once by the world defaults
// after the book heads and the template action sequences are set.
void BuildMoveBooks();

// The move book's move record. Only the head words that the move fitness
// reads are declared so far; the move-book filler and the decision step add
// the rest of the head, the per-player sequences and the book itself.
#pragma once

#include "core/Arrays.h"

struct TMove {
  // The gain that a sample of this move must beat (0 unless the open-move
  // finder sets it).
  f32 MinGain;
  // The look-ahead of this move ends as soon as the ball goes loose.
  bool32 StopOnFreeBall;
};

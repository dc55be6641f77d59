// The carrier's break moves, ActionCode 1 to 10 as the carrier decision sets
// them (1-3 charges, 4-9 fends, 10 the spin): the bearing of the opponent
// (degrees, 90 straight ahead of the carrier) that each move beats. Contact
// detection and the tackle contest each pair it with their own share of the
// move's animation.
#pragma once

#include <array>

#include "core/TypeDefs.h"

// The move 1..10 of an ActionCode, 0 for any other value.
int BreakMove(f32 ActionCode);

// Whether bearing B (0..360) lies in the window of Move: lower bound
// exclusive, upper inclusive; move 5's window runs across 0, from above 337.5
// up to 360 and from 0 to 22.5, both ends inclusive there. False for move 0.
bool InBreakBearing(int Move, double B);

// The share of a move's animation (currentframe against maxframes, both ends
// inclusive) inside which it counts, by move; entry 0 is unused.
struct TFrameShare {
  double Low, High;
};
using TBreakFrames = std::array<TFrameShare, 11>;

// Whether carrier C's break move (his ActionCode, whether or not its timer
// runs) stands inside Frames with the point (X, Z) in its bearing window,
// seen from C facing degrees(FacingAngle) - 90. False for no move.
bool InBreakWindow(const TPlayer& C, const TBreakFrames& Frames, f32 X, f32 Z);

// The point the attack is heading for in the present game state, as the
// positioning handlers see it from the player being placed at (X, Z).
#pragma once

#include "core/TypeDefs.h"

// Ahead of the carrier in running, of the receiver in passing, in front of
// a breakdown or scrum, 10 m infield of a lineout; (0, 0) in other states.
// Reads W only; the pitch size comes from `World`.
TVector2 CarrierTargetPoint(const TWorld& W, f32 X, f32 Z);

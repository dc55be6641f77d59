// Frame step 20: ball attachment. Decides each frame whether the ball sits
// in a hand and whose, from the game state, the set-piece roles and, in the
// set pieces, the whole name of the holder's animation. Sets BallAttached
// (cleared first) and LastKnownHasBall (kept while nobody holds the ball);
// the ball update then places an attached ball on the holder's ball track.
// All holders are block 1's. A holder index of 0 or above 25 reads no
// record: only running attaches it (holder 0 is attached as it stands).
// Runs after animation and facing, on the match and the look-ahead alike.
#pragma once

#include "core/TypeDefs.h"

void AttachBall(TWorld& W);

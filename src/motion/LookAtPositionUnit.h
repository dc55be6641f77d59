// Frame step 19: facing. For every player of both blocks, the point he looks
// at (his position, nudged up-field while he settles on his spot, held
// up-field while he backs off slowly), the facing of his body derived from
// it (FacingAngle, radians; a facing heading h gives DegToRad(h + 90)), the
// fixed facings that running actions, set pieces and scripted sequences
// impose, and the turn of his body heading (Heading, degrees) towards that
// facing at AuxState.TurnRate. In the tackled state it also starts the
// side-step of a player close to his spot who has to move sideways. Runs
// after the animation step and before the ball attachment, on the match and
// on the look-ahead copy alike; allocates nothing and logs nothing.
//
// Block 1's ball carrier in running is left out of the facing whole: the
// decision logic sets his facing and heading. Heading is never brought back
// into 0..360. A player number that names no record (0, below 1, above 25)
// is taken as nobody.
#pragma once

#include "core/TypeDefs.h"

void LookAtPosition(TWorld& W);

// The look-at points of one block for the current game state (stage 1),
// including the tackled state's side-step starts; b is 1 or 2.
void SetLookAtPoints(TWorld& W, int b);

// Turns P's Heading towards his FacingAngle by at most TurnRate x TimeStep
// degrees, the shorter way, and snaps to it on the last frame. FacingHeading
// := degrees(FacingAngle) - 90. With TurnFlags (block 1) a turn of more than
// 1 degree clears TurnLeftWithBall and TurnRightWithBall, and one of more
// than 10 degrees sets TurnRightWithBall (growing) or TurnLeftWithBall
// (falling). Within 1 degree nothing changes.
void TurnBody(TPlayer& P, double TimeStep, bool TurnFlags);

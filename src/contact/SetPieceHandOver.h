// The hand-over out of a ruck or a scrum: the set-piece holder (the
// scrum-half) takes the ball once 10/17 of block 1's pass to him has run.
#pragma once

#include "core/TypeDefs.h"

// Block 1's SetPieceHolder becomes BallCarrier when his passtimer and the
// side's PassDuration are above 0 and PassDuration - PassTimeLeft has reached
// PassDuration x 10 / 17. A holder number naming no player of the match does
// nothing.
void HandOverFromSetPiece(TWorld& W);

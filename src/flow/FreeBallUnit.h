// The handler of game state freeball (4): the chasers, the sample points on the ball's path and the spread lines. Called by
// SetDesiredPosition; a call point until that state's positions land, so a
// frame in the state leaves every desired position as it was.
#pragma once

#include "core/TypeDefs.h"

void DoFreeBall(TWorld& W);

// The handler of game state passing (2): the line and support around the receiver, the chase of the ball, then the defence. Called by
// SetDesiredPosition; a call point until that state's positions land, so a
// frame in the state leaves every desired position as it was.
#pragma once

#include "core/TypeDefs.h"

void DoPassing(TWorld& W);

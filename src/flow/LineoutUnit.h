// The handler of game state lineout (9): the line of touch, the throw, the jump and the back lines. Called by
// SetDesiredPosition; a call point until that state's positions land, so a
// frame in the state leaves every desired position as it was.
#pragma once

#include "core/TypeDefs.h"

void DoLineout(TWorld& W);

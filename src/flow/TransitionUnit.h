// The handler of game state transition (12): the dead-ball interval and the restart that follows. Called by
// SetDesiredPosition; a call point until that state's positions land, so a
// frame in the state leaves every desired position as it was.
#pragma once

#include "core/TypeDefs.h"

void DoTransition(TWorld& W);

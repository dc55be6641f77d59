// The handler of game state running (1): the side in possession's support grid, line and carrier path, then the defence. Called by
// SetDesiredPosition; a call point until that state's positions land, so a
// frame in the state leaves every desired position as it was.
#pragma once

#include "core/TypeDefs.h"

void DoRunning(TWorld& W);

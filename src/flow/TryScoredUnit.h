// The handler of game state tryscored (10): the celebration and the walk back for the conversion. Called by
// SetDesiredPosition; a call point until that state's positions land, so a
// frame in the state leaves every desired position as it was.
#pragma once

#include "core/TypeDefs.h"

void DoTryScored(TWorld& W);

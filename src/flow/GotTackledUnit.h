// The handler of game state gottackled (3): the breakdown set-up, the ruck and both sides' places, then the defence. Called by
// SetDesiredPosition; a call point until that state's positions land, so a
// frame in the state leaves every desired position as it was.
#pragma once

#include "core/TypeDefs.h"

void DoGotTackled(TWorld& W);

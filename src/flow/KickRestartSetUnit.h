// The handler of game state kickrestartset (8): the kicker, the restart line-ups and the kick. Called by
// SetDesiredPosition; a call point until that state's positions land, so a
// frame in the state leaves every desired position as it was.
#pragma once

#include "core/TypeDefs.h"

void DoKickRestartSet(TWorld& W);

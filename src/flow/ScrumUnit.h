// The handler of game state scrum (7): the packs, the feed, the drive and the back lines. Called by
// SetDesiredPosition; a call point until that state's positions land, so a
// frame in the state leaves every desired position as it was.
#pragma once

#include "core/TypeDefs.h"

void DoScrum(TWorld& W);

// The handler of game state gottackled (3), called by SetDesiredPosition:
// the breakdown set-up on its first frame, then every frame the ruck, both
// sides' places and the defence.
#pragma once

#include "core/TypeDefs.h"

void DoGotTackled(TWorld& W);

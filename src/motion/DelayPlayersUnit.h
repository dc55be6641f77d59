// Frame step 13: timers and delayed actions; advances the match clock. A call point until motion lands.
#pragma once

#include "core/TypeDefs.h"

void DelayPlayers(TWorld& W);

// Frame step 1: game-state bookkeeping. A call point until game flow lands.
#pragma once

#include "core/TypeDefs.h"

void SampleWorld(TWorld& W);

// Frame step 18: animation. A call point until motion lands.
#pragma once

#include "core/TypeDefs.h"

void AnimatePlayers(TWorld& W);

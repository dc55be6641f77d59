// Frame step 21: ball update. A call point until motion lands.
#pragma once

#include "core/TypeDefs.h"

void BallUpdate(TWorld& W);

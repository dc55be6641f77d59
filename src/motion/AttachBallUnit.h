// Frame step 20: ball attachment. A call point until motion lands.
#pragma once

#include "core/TypeDefs.h"

void AttachBall(TWorld& W);

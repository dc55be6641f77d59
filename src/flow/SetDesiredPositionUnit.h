// Frame step 10: the per-state controller of desired positions. A call point until game flow lands.
#pragma once

#include "core/TypeDefs.h"

void SetDesiredPosition(TWorld& W);

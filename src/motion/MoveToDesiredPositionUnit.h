// Frame step 15: movement. A call point until motion lands.
#pragma once

#include "core/TypeDefs.h"

void MoveToDesiredPosition(TWorld& W);

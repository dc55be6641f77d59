// Frame step 19: facing. A call point until motion lands.
#pragma once

#include "core/TypeDefs.h"

void LookAtPosition(TWorld& W);

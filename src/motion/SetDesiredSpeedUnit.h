// Frame step 11: desired speeds. A call point until motion lands.
#pragma once

#include "core/TypeDefs.h"

void SetDesiredSpeed(TWorld& W);

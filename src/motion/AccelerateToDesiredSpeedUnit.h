// Frame step 14: acceleration. A call point until motion lands.
#pragma once

#include "core/TypeDefs.h"

void AccelerateToDesiredSpeed(TWorld& W);

// Frame step 8: strategy-zone selection and strategy timers.
#pragma once

#include "core/TypeDefs.h"

void UpdateStrategyTimers(TWorld& W);

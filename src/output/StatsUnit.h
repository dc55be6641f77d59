// Frame steps 22 and 23: statistics timers and timed messages. Call points until output lands.
#pragma once

#include "core/TypeDefs.h"

void UpdateStats(TWorld& W);
void PostStatMessages(TWorld& W);

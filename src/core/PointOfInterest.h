// Frame steps 12 and 17: the empty step and measured velocities.
#pragma once

#include "core/TypeDefs.h"

void EmptyFrameStep(TWorld& W);
void UpdatePlayerVelocities(TWorld& W);

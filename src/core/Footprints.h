// Frame step 7: every player's footprint polygon.
#pragma once

#include "core/TypeDefs.h"

void UpdatePlayerFootprints(TWorld& W);

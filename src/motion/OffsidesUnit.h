// Frame step 2: offside marking. A call point until motion lands.
#pragma once

#include "core/TypeDefs.h"

void Offsides(TWorld& W);

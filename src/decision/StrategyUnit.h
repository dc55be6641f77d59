// Frame step 6: decisions of the side in possession. A call point until decision making lands.
#pragma once

#include "core/TypeDefs.h"

void Strategy(TWorld& W);

// Frame step 16: pushing overlapping players apart. A call point until motion lands.
#pragma once

#include "core/TypeDefs.h"

void InterPen(TWorld& W);

// Frame step 4: contact detection. A call point until contact lands.
#pragma once

#include "core/TypeDefs.h"

void CollisionDetect(TWorld& W);

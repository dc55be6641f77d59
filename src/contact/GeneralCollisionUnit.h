// Frame step 3: contact resolution. A call point until contact lands.
#pragma once

#include "core/TypeDefs.h"

void GeneralCollision(TWorld& W);

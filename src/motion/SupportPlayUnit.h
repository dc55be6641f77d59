// Frame step 9: support runners. A call point until motion lands.
#pragma once

#include "core/TypeDefs.h"

void SupportPlay(TWorld& W);

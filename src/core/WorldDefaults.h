// The world's defaults, set once at start before the input files are read.
#pragma once

#include "core/TypeDefs.h"

void InitialiseWorld(TWorld& W);

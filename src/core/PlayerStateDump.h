// The player-state dump written to the run log during the debug window.
#pragma once

#include "core/TypeDefs.h"

void DumpPlayerStateCsv(TWorld& W, bool OnlyOnePlayer, int PlayerNumber, bool DumpUpTeam,
                        bool DumpDownTeam);

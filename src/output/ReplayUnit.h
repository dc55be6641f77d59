// The replay recorder and its post-processing. Call points until output lands.
#pragma once

#include "core/TypeDefs.h"

void RecordReplayFrame(TWorld& W, bool AdvanceClock);
void PrepareReplayFrames();

#include "output/ReplayUnit.h"

#include "core/RunContext.h"
#include "platform/Platform.h"

void RecordReplayFrame(TWorld& W, bool AdvanceClock) {
  (void)W;
  (void)AdvanceClock;
}

void PrepareReplayFrames() { SetCurrentDir(ExeDir); }

#include "flow/KickRestartSetUnit.h"

void DoKickRestartSet(TWorld& W) { (void)W; }

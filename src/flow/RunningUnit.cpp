#include "flow/RunningUnit.h"

void DoRunning(TWorld& W) { (void)W; }

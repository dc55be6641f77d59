#include "flow/TryScoredUnit.h"

void DoTryScored(TWorld& W) { (void)W; }

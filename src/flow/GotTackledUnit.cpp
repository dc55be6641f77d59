#include "flow/GotTackledUnit.h"

void DoGotTackled(TWorld& W) { (void)W; }

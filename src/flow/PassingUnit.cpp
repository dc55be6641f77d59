#include "flow/PassingUnit.h"

void DoPassing(TWorld& W) { (void)W; }

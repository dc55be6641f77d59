#include "flow/LineoutUnit.h"

void DoLineout(TWorld& W) { (void)W; }

#include "flow/TransitionUnit.h"

void DoTransition(TWorld& W) { (void)W; }

#include "flow/SetDesiredPositionUnit.h"

void SetDesiredPosition(TWorld& W) { (void)W; }


#include "motion/LookAtPositionUnit.h"

void LookAtPosition(TWorld& W) { (void)W; }


#include "motion/MoveToDesiredPositionUnit.h"

void MoveToDesiredPosition(TWorld& W) { (void)W; }


#include "motion/SetDesiredSpeedUnit.h"

void SetDesiredSpeed(TWorld& W) { (void)W; }


#include "motion/AccelerateToDesiredSpeedUnit.h"

void AccelerateToDesiredSpeed(TWorld& W) { (void)W; }


#include "motion/BallUpdateUnit.h"

void BallUpdate(TWorld& W) { (void)W; }


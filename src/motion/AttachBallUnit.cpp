#include "motion/AttachBallUnit.h"

void AttachBall(TWorld& W) { (void)W; }


#include "motion/SupportPlayUnit.h"

void SupportPlay(TWorld& W) { (void)W; }


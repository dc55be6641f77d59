#include "motion/OffsidesUnit.h"

void Offsides(TWorld& W) { (void)W; }


#include "motion/InterPenUnit.h"

void InterPen(TWorld& W) { (void)W; }


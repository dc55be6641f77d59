#include "decision/StrategyUnit.h"

void Strategy(TWorld& W) { (void)W; }


#include "core/StrategyZones.h"

void UpdateStrategyTimers(TWorld& W) { (void)W; }


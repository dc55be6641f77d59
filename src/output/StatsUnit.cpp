#include "output/StatsUnit.h"

void UpdateStats(TWorld& W) { (void)W; }

void PostStatMessages(TWorld& W) { (void)W; }


#include "motion/DelayPlayersUnit.h"

void DelayPlayers(TWorld& W) { (void)W; }


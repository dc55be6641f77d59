#include "motion/AnimatePlayersUnit.h"

void AnimatePlayers(TWorld& W) { (void)W; }


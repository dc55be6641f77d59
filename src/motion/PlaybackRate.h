// Stage 3 of the animation step (AnimatePlayers): the playback rate of the
// animation a player now plays. One table holds a rule for each animation
// name: a fixed cycle, a cycle paced by his speed, or a fraction of the
// animation played in one of his release times (passes, kicks); numbered
// scrimmage and block animations take their cycle from the player's numbers.
// Rates are in frames per second, cycles in seconds.
#pragma once

#include "core/TypeDefs.h"

// AnimRate from the name now playing (and the turn of "centerpass1" into the
// scrimmage start in block 1); a name without a rule keeps its rate. A pass
// or kick release time of 0 or less gives 10 frames per second. The rule is
// looked up once per name and kept beside it (currentAnim.RateCode). Logs
// two run-log lines for block 1's dummy-half pass to the right with a
// release time of exactly 0.
void SetPlaybackRate(TWorld& W, int b, int i);

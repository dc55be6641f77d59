// Frame step 14: every player's running speed for this frame. It sets each
// player's acceleration, refreshes DistToDesired (read back by the
// desired-speed step next frame), measures the speed run in the last frame,
// lets the player speed up towards desiredspeed at his acceleration or drop
// to it at once, keeps him from running past his DesiredPos, applies the
// forced speeds of tackles, blocks, marking, rucks and side-steps, and runs
// the fatigue spells that lower and restore maxspeed.
#pragma once

#include "core/TypeDefs.h"

// Writes Acceleration, DistToDesired, speed, ScrimmageNumber (cleared when
// his scrimmage animation has ended) and the fatigue fields (Fatigued,
// FatigueTimer, FatigueLevel, maxspeed) of players 1..PlayersPerTeam of
// both blocks. Block 1's ball carrier keeps his speed (his DistToDesired
// and fatigue are kept up). The ruck acceleration reads the assist level of
// the real-time record only while real-time mode is on (level 1 otherwise).
// Takes one draw for every fatigue spell that ends, block 1's player i
// before block 2's.
void AccelerateToDesiredSpeed(TWorld& W);

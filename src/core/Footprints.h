// Frame step 7: every player's footprint, the octagon round his position that
// tacklers and ruck players take hold of.
#pragma once

#include "core/TypeDefs.h"

// Rebuilds the footprints of players 1..PlayersPerTeam of both blocks: radius
// 0.3 x Height round the position, or 0.45 m back along the fall of a player
// being tackled. The holders of the points are left to the contact steps.
void UpdatePlayerFootprints(TWorld& W);

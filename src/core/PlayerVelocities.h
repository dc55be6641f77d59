// Frame step 17: every player's measured velocity, from the distance he moved
// in the frame.
#pragma once

#include "core/TypeDefs.h"

// For players 1..PlayersPerTeam of both blocks: MeasuredSpeed from the
// previous frame's Velocity (so it lags one frame behind), OldVelocity the
// previous Velocity, and Velocity (m/s) from OldPos to Pos over TimeStep.
void UpdatePlayerVelocities(TWorld& W);

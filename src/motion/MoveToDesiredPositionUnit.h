// Frame step 15: every player moves speed x TimeStep towards his DesiredPos.
// The direction is taken in three dimensions but only x and z move, so a
// difference in height shortens the step over the ground. Block 1's ball
// carrier is left to the steps that carry the ball.
#pragma once

#include "core/TypeDefs.h"

// Writes OldPos (the position before the move, read by the measured
// velocities and next frame's measured speed), Direction (a unit vector, or
// zero for a player on his spot) and Pos.x, Pos.z of players
// 1..PlayersPerTeam of both blocks, except block 1's BallCarrier, whose
// record is not touched.
void MoveToDesiredPosition(TWorld& W);

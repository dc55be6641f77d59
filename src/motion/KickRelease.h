// The kick release of the timer step (ReleaseKick, DelayPlayersUnit.h): the
// countdown of block 1's KickTimeLeft, the ball leaving the foot (start
// point, kick messages, the kicking errors of the match world), the kicker
// tackled as he kicks, the spilled ball, and the launch into "freeball".
// Works on the world it is given (the match or the look-ahead copy);
// allocates nothing, except the one "box kick " run-log line of a box kick
// in the match world.
#pragma once

#include <string>

#include "core/TypeDefs.h"

// Adds the kicking errors to block 1's KickSpeed, KickElevation and
// KickHeading for carrier C (a place kick at goal, a drop goal, or a
// general-play kick); draws in order. Exposed for tests.
void AddKickingErrors(TWorld& W, const TPlayer& C);

// The kicker, block 1's carrier c, held in a tackle (GettingTackledTimer > 0
// and numgoverning >= 1) as the ball goes: he falls with block 2's tackle
// momentum (capped at 3 m/s), forward or backward by his facing; the
// impact slots of block 2 are marked; each block-2 tackler governed by him
// falls with him, away from the impact forward, at it backward. Draws two
// values for him and one per tackler. Exposed for tests.
void FallTackledKicker(TWorld& W, int c);

// The spill flight (SpillPending): any pass in hand dropped; a loose flight
// of 10 m/s, 20 degrees, heading 90 from BallPos, or, when BallJolted, a
// drawn short flight along carrier c's ImpactAngle, a forward one entered as
// a knock-on. Exposed for tests.
void SpillBall(TWorld& W, int c);

// The "box kick " run-log line for a match clock of Clock seconds:
// "box kick " + whole minutes + ":" + seconds rounded half to even.
std::string BoxKickLine(f32 Clock);

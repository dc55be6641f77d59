// The last sections of BallCarrierDecision (frame step 6) in running, each
// falling through to the next: the loose-ball take and the forced run under
// way, (the tackled carrier, CarrierTackled.h,) the other players' reaction
// to a sharp turn of the carrier and the turn of his heading towards his
// facing. They run on the match world and the look-ahead copy alike and keep
// nothing outside W. The contact and motion steps start and end the timers.
#pragma once

#include "core/TypeDefs.h"

// While the carrier's freeballcatchtimer runs: back to OldPos; a running take
// (FreeBallCatchKind 1 or 3) with his sequence on takes the current event's
// Angle as its facing and line; he faces FreeBallCatchFacing, his speed falls
// to FreeBallCatchSpeed when above it, and he runs FreeBallCatchAngle.
// No draws.
void ContinueLooseBallTake(TWorld& W);

// While his ForcedRunTimer runs: back to OldPos, facing ForcedRunFacing, he
// runs ForcedRunAngle at ForcedRunSpeed; his speed stays. No draws.
void ContinueForcedRun(TWorld& W);

// When the carrier's Velocity turned from OldVelocity by more than 260
// degrees per second: every team-mate (the carrier too) whose
// RunningAngleReactionTime ran out a frame ago or more, while the carrier is
// not catching, redraws it, scaled by his distance across / 10.5 m beyond
// 10.5 m, capped at 1.0 s; every opponent whose
// DefensiveRunningAngleReactionTime ran out a frame ago or more redraws it,
// scaled by his distance / 8.5 m when beyond 8.5 m and either 17 m away or
// 5 m across, capped at 2.5 s. Two draws per redraw, team-mate i before
// opponent i, i = 1..PlayersPerTeam.
void ReactToSharpTurn(TWorld& W);

// The carrier's FacingHeading from his FacingAngle (FacingAngle 270 degrees,
// heading 180, in "qbbreath1"), and his Heading turned towards it at AuxState.TurnRate;
// a turn of more than 10 degrees sets TurnRightWithBall (rising heading,
// towards +x) or TurnLeftWithBall, a turn at all clears the other. No draws.
void TurnCarrierHeading(TWorld& W);

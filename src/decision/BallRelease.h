// The ball's release from a ruck or scrum, run by the carrier decision after
// its running sections, and the set-piece carrier's movement.
//
// At a ruck or scrum block 1's SetPieceHolder (the half) runs a reduced form
// of his own action sequence; once he and his side are ready he either
// passes to the receiver his first event names, or picks the ball up and
// carries it. Both end the set piece: play goes back to running with him as
// carrier, msgCarryStart is posted, both blocks' bound players leave the
// pack after staggered delays, and tackles still in force end. Block 1's
// HalfTimeAux is the holder's commitment to pass or pick up: the only state
// kept across frames; the ruck and scrum set-ups clear it.
//
// Everything is read and written through the world given, so the look-ahead
// copy runs these unchanged. A holder, receiver or carrier number outside
// 1..PlayersPerTeam reads no record. Nothing allocates or logs.
#pragma once

#include "core/TypeDefs.h"

// In gottackled (GotTackledPhase > 1). While the holder's first event is a
// pass (kind 1): his sequence runner, the readiness of the attack (holder
// within 0.2 m of his spot, RestartDelay run out, no running team-mate who
// has not been sent (SeqHeadFlag clear) left further from his spot than the
// lateral band from MarkX allows; or, whatever the positions, more than 5 s
// of BreakdownClock and 1 s of RuckWaitClock) and the pass to the receiver:
// side by where the receiver is in 0.5 s, his run speed and angle, the
// dummy-half release draw, a slow-down to 0.75 when he would take the ball
// level with the holder. Then, unless that pass event is still running, the
// standing pick-up, the carry from 30 % of its animation and, once the
// pick-up timer is out, the return to running. Draws: RandomRange and one
// clamped normal draw at the pass; at the return one draw per opponent for
// his cover reaction, one for his read delay, and the release waves.
void ReleaseFromRuck(TWorld& W);

// In scrum (ScrumPhase > 1): the carrier (block 1's BallCarrier, when there
// is one) moves by MoveSetPieceCarrier at 5 m/s, facing his run or, in
// ScrumPhase 7, his SpecialAnimAngle. From ScrumPhase 10 the release as at a
// ruck, with these differences: no wait for the side, no receiver test, the
// drawn run speed kept (no read-back or cap), no touch-line or level-catch
// adjustment, a right-side run angle up to 135 degrees, a pick-up on heading
// 90, and no cover-reaction redraw or holder speed at the return.
void ReleaseFromScrum(TWorld& W);

// The set-piece carrier's movement, steps shared by the scrum, lineout and
// kick-restart holders: speed from last frame's move (over PrevTimeStep),
// OldPos := Pos, DesiredSpeed (m/s), the turn cap (100 - 0.9 per degree of
// facing change per cent of maxspeed), acceleration, exact arrival at
// DesiredPos, then the move along the normalised (DesiredPos - Pos). Does
// nothing when TimeStep is not positive.
void MoveSetPieceCarrier(const TWorld& W, TPlayer& C, f32 DesiredSpeed);

// The second half of that movement, for a caller that sets the carrier's
// speed and desiredspeed itself: acceleration (Acceleration x TimeStep) up
// to desiredspeed or straight down to it, exact arrival at DesiredPos, the
// move. Does nothing when TimeStep is not positive.
void MoveCarrierToSpot(const TWorld& W, TPlayer& C);

// The heading the carrier's move of this frame points along (OldPos to Pos),
// 90 when he did not move.
f32 SetPieceRunHeading(const TPlayer& C);

// Faces the carrier along heading H (degrees): FacingAngle and FacingHeading;
// then his Heading turns towards FacingHeading by AuxState.TurnRate x
// TimeStep when they differ by more than 1 degree, landing on it when the
// step is larger, in the sense that brings it nearer. No turn flags.
void FaceSetPieceCarrier(const TWorld& W, TPlayer& C, f32 H);

// The turn alone, for a caller that set FacingAngle itself: FacingHeading
// from FacingAngle, then the Heading's turn as above.
void TurnSetPieceCarrier(const TWorld& W, TPlayer& C);

// When a breakdown breaks up into running: the sampler and both strategy
// timers restart (SampleRequest in the match world only), each opponent
// draws his read delay (ReactionDelayExtra1, both clamps, also into
// PassReadTimer) and drops his RunningAngleReactionTime, block 2's pressure
// timers clear and PassSpiral is set. One draw per opponent, in order.
void RestartDecisionsAfterBreakdown(TWorld& W);

// The ball carrier's pass in running: three sections of his decision
// (BallCarrierDecision calls them in its order). The pass start names the
// receiver, predicts where receiver and passer are when the ball leaves and
// draws the release time; the pass-decision change cancels a wind-up whose
// event is no longer in force; at the release a draw-and-pass whose tackler
// stayed away is aborted and a dummy is completed with the ball kept. The
// release itself, when block 1's PassTimeLeft runs out, is the timer step's.
//
// Each section works on block 1's BallCarrier and does nothing when that
// number names no player on the field. The event in force is the carrier's
// EventArray[CurrEventIndex]; an index outside 1..10 is no event. Everything
// kept is written into the world given, so the look-ahead copy runs them
// unchanged; the run log is written only while W.LiveWorld is set.
#pragma once

#include "core/TypeDefs.h"

// Runs right after the measured speed, before the sequence runner. A pass
// being wound up (passtimer and PassTimeLeft above 0, no offload pending,
// more than a quarter of PassDuration gone, a started sequence) is cancelled
// when the event in force is neither a pass of kind 1 or 2 to PassReceiver
// nor a dummy (kind 3 or 4): PassTimeLeft and passtimer go to 0 and the
// carrier runs on in "sprintwithball" at the same fraction of the animation
// (from frame 0 when his old animation had no length). Logs "pass decision
// change " with kind, sub-kind, receiver and the clock in the match world.
void ChangePassDecision(TWorld& W);

// Runs after the carrier's movement. For an event of kind 1 to 4 that the
// carrier wishes to play now (kinds 1 and 3 always; 2 and 4 only under
// pressure, judged by TimeToContact against the sampling flag of the side's
// move book) and may (no pass or other action under way): PassReceiver :=
// the event's sub-kind; a number outside 1..PlayersPerTeam starts nothing
// (PassReceiver 0). Otherwise starts the pass: passtimer 10 s, one draw for
// the support-run call, up to five PassReactors of block 2 biting on a
// dummy (one draw each that qualifies), the receiver's run speed and
// heading, CatchPoint and PasserPredicted, the passer's slow-down when a
// closing defender would meet him, the pass geometry, then PassKind and
// PassSide with one to three clamped draws of release times (two draws of
// the generator each); PassDuration := the last draw, in PassTimeLeft too.
void StartPass(TWorld& W);

// Runs right after the pass start, in the frame whose timer step would
// release the ball (PassTimeLeft > 0 and PassTimeLeft - TimeStep <= 0). In
// the match world only, a draw-and-pass (kind 2) of a carrier not being
// tackled is aborted when the nearest defender is more than 0.225 s further
// off than his DrawAndPassContactTime: PassTimeLeft, passtimer and seqON go
// to 0 and "PASS ABORTED AT " with the clock is logged. A dummy (kind 3 or
// 4, no offload pending) completes its event and keeps the ball:
// PassTimeLeft := 0, passtimer left running.
void AbortOrReleasePass(TWorld& W);

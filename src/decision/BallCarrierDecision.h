// The ball carrier's decision, part of frame step 6: every frame the player
// who has the ball (block 1's BallCarrier) runs his own action sequence, is
// steered and moved by it (the movement step leaves him out), and the event
// in force becomes his action: a run, pass, dummy, kick, dive, side-step,
// break of the tackle or offload. In gottackled and scrum the set-piece
// holder releases the ball instead.
//
// Called by the open-play sampler after it has chosen the frame's move, by
// the tackled-state and scrum controls, and by the look-ahead once per
// simulated frame on its copy.
#pragma once

#include "core/TypeDefs.h"

// One frame of the carrier's decision on W. In running (a carrier number in
// 1..PlayersPerTeam, a positive TimeStep) its sections run in order: his
// measured speed and, when he has no sequence, a one-frame copy of the
// template; his sequence runner with its running line; time to contact,
// speed, facing and movement; then the actions. Then, in gottackled with
// GotTackledPhase > 1, the ruck release, or in scrum with ScrumPhase > 1, the
// scrum release.
//
// Keeps nothing outside W: block 1's TimeToContact (10000 s when no defender
// is eligible), the world's LastContactTime and the carrier's sequence,
// speeds, facing and position, so the look-ahead copy runs it unchanged.
// Draws one random number per frame of a curved run-in (event kind 7). Writes
// the run log only while W.LiveWorld is set; allocates nothing otherwise.
void BallCarrierDecision(TWorld& W);

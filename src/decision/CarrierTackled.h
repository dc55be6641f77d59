// The tackled ball carrier, a section of BallCarrierDecision (frame step 6)
// in running, after the forced run and before the sharp-turn reaction. The
// contact steps start the tackle (its kind, speed, heading, the tacklers'
// links and TackleMass) and end it; this section moves him by it. It runs on
// the match world and the look-ahead copy alike and keeps nothing outside W.
#pragma once

#include "core/TypeDefs.h"

// While the carrier's GettingTackledTimer runs: PassTimeLeft 0 unless a
// pass or offload is under way; his passcatchtimer, freeballcatchtimer,
// shimmytimer, KickTimer and block 1's KickTimeLeft 0; back at OldPos.
// During an offload with a receiver on the field he faces the receiver (a
// gap above 2 degrees, release still ahead), and a receiver who would be
// within 0.15 m behind him or ahead at the release slows by his Acceleration
// each frame, never below 0.1 m/s. PasserRunAngle, facing and speed follow
// the tackle (GettingTackledFacing, GettingTackledSpeed).
//
// Kinds 1 (from 92 % of the animation) and 2, 3 (from 70 %, frames rounded
// half-to-even) lose GroundFriction x Gravity m/s per second down to 0.
// Kind 0 is a struggle: the carrier's StrengthPower draw (the tackle drive;
// x 0.9 during an offload, x 0.01 more past half an animation other than
// "twohandedoffloadlow") pushes up-field, or in from touch or towards the
// middle of the in-goal; each tackler bound to him (governedby, with
// TackleAttemptTimer running) pushes back, or towards the near touch
// within 5 m of it, at 0.9 of his draw (x 0.85 with two tacklers, x 0.8
// with three or more); the sum over block 2's TackleMass changes the
// tackle's velocity, at most 5 m/s, less GroundFriction / 35 x Gravity m/s
// per second; block 2's TackleHeading and TackleSpeed follow. Every kind
// then moves him GettingTackledSpeed x TimeStep along GettingTackledAngle.
// A kind-0 frame draws two per drive (the carrier's, then the tacklers' in
// block order); the others draw nothing.
void MoveTackledCarrier(TWorld& W);

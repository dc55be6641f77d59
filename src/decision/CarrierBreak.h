// The ball carrier's break of the tackle, two sections of
// BallCarrierDecision (frame step 6): the decision that turns a break event
// of his set move (kinds 10 and 11) into a charge, fend or goose-step at the
// nearest free defender, and his break run while BreakTackleTimer runs.
//
// Whether the break succeeds, what the defender does and when the timer
// ends belong to the contact and timer steps, which read ActionCode,
// BreakAngle, BreakSpeed and BreakFacing and may set the stumble codes 11 to
// 20 in ActionCode. Both run on the match world and the look-ahead copy
// alike and keep nothing outside W.
#pragma once

#include "core/TypeDefs.h"

// Section 10: the break decision for the carrier (block 1's BallCarrier, a
// player of the field) when his current event asks for a break (kind 10, or
// kind 11 with block 1's TimeToContact below 0.325 s) and no other action
// holds him.
//
// Completes the event while his sequence runs; sets BreakTackleTimer (10 s),
// BreakAngle and BreakFacing (degrees: the event's Angle, or without a
// sequence his facing heading), BreakSpeed (0.85 x speed, at least 3 m/s; a
// charge of code 1 or 3 runs 4 m/s and code 2 3 m/s), passcatchtimer (0) and
// ActionCode: 1 to 3 charge, 4 to 9 fend, 10 goose-step, by the bearing of
// the free opponent soonest to the point 0.5 m ahead of him, or drawn from 1
// to 10 when every opponent is busy; the event's EventCode 2, 5 or 10
// forces a charge, a fend to the side of that defender or a goose-step.
//
// Draws: the code when nobody is free (one), then for EventCode 5 one draw
// from 1 to 1000. In the match world (LiveWorld set) writes four run-log
// lines: "/////", "break tackle at " with the clock in minutes, "charge",
// "fend" or "goosestep", "/////"; nothing is built otherwise.
void DecideBreak(TWorld& W);

// Section 12, the break part: while the carrier's BreakTackleTimer runs he
// is put back at OldPos, faces BreakFacing and runs BreakAngle at BreakSpeed
// for one TimeStep. In a stumble (ActionCode 11 to 19, "stumbleforward"
// past 0.275 of its frames) he accelerates instead, up to maxspeed, along
// BreakFacing. No draws.
void ContinueBreak(TWorld& W);

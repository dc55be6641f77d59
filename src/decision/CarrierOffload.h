// The ball carrier's offload from the tackle and two of his actions under
// way, sections of BallCarrierDecision (frame step 6) run on the match world
// and the look-ahead copy alike; nothing is kept outside W.
//
// The contact steps open the offload window (block 1's OffloadTime) when he
// is bound, and the timer step releases the offload, clears OffloadPending
// and counts PassTimeLeft down.
#pragma once

#include "core/TypeDefs.h"

// Section 11: the carrier (block 1's BallCarrier, a player of the field)
// whose current event is an offload (kind 12) while block 1's offload window
// is open, he is held in a kind-0 tackle (GettingTackledTimer running), the
// world's OffloadBlockTimer has run out and no offload is pending, passes to
// the event's EventSubType: a team-mate 0.25 to 5 m behind him and at most
// 5 m across. Any other receiver, a number outside 1..PlayersPerTeam too, is
// refused: PassReceiver := 0 and the event completes.
//
// Accepted: PassReceiver, the window 1.25 s, PassTimeLeft := a draw of his
// OffloadReleaseTime (both clamps on; also its drawn value), OffloadPending
// 10, his passtimer, passcatchtimer and KickTimer 0, the receiver's
// shimmytimer 0, ReceiverRunAngle 90 and ReceiverRunSpeed (m/s): what takes
// the receiver to 0.5 m behind the carrier by the release, plus the tackle's
// up-field speed, at most his maxspeed; 0 when he is already there. Two
// draws when accepted, none otherwise.
void DecideOffload(TWorld& W);

// Section 12, the pass part: while the carrier's passtimer runs he goes back
// to OldPos, speeds up by his Acceleration to at most PasserRunSpeed
// (PasserSpeedRef) along PasserRunAngle and turns his body, with no turn
// rate, from the line to the receiver's catch point by the pass's side and
// kind (45 to 90 degrees; an offload, kind 8, 90 degrees to the first side).
// A receiver who would be ahead of him at the release slows by his own
// Acceleration each frame, never below 0.1 m/s. No draws.
void ContinuePass(TWorld& W);

// Section 12, the special action (kind 3) part: while SpecialAnimTimer runs
// the carrier goes back to OldPos and runs SpecialAnimAngle at
// SpecialAnimSpeed, which becomes his speed, facing along it. No draws.
void ContinueSpecialAction(TWorld& W);

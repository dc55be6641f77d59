// The ball carrier's try dive, three sections of BallCarrierDecision (frame
// step 6): the decision of the moment, heading, speed and kind of the dive
// that grounds the ball (event kinds 6 and 7), his dive while DiveTimer runs
// and his getting up while standuptimer runs.
//
// The timer step counts DiveTimer down, grounds the ball and starts
// standuptimer with StandUpFacing; the animation step plays the dive of
// DiveKind (a kind-1 dive ends with its "trydotdown" animation). All three
// run on the match world and the look-ahead copy alike and keep nothing
// outside W.
#pragma once

#include "core/TypeDefs.h"

// Section 8: the dive decision for the carrier (block 1's BallCarrier, a
// player of the field) when his current event asks for it: kind 6 at once;
// kind 7 when block 1's TimeToContact is below 0.7 s, when he is beyond
// 50 + InGoalDepth - 1.4 m up-field, or when 0.4 s more on the event's line
// takes him to or across x = 0 (the line through the posts). He dives only
// when he marks nobody and no pass, get-up, dive, break, loose-ball catch or
// step is under way.
//
// A kind-7 event first takes his heading over the last frame (never back
// towards his own goal), turned in from touch and from the dead-ball line.
// Completes the event while his sequence runs; sets DiveTimer (1.8 s),
// DiveAngle (degrees: the event's Angle, or without a sequence his facing
// heading), DiveSpeed (his speed, at least 4 m/s), passcatchtimer and
// SpecialAnimTimer (0), the world's MarkCalled (0) and DiveKind: 1 to 4 by
// the score; 4 when the dive would end near the dead-ball line (then at most
// 3 m/s deep in the in-goal); 2 whenever he is still in the field of play.
//
// Draws two: a kind from 1 to 4 that the score table then replaces, and the
// roll from 1 to 1000 that the table reads.
void DecideDive(TWorld& W);

// Section 12, the dive part: while the carrier's DiveTimer runs he is put
// back at OldPos and dives along DiveAngle at DiveSpeed, which becomes his
// speed. No draws.
void ContinueDive(TWorld& W);

// Section 12, the getting-up part (after the dive): while his standuptimer
// runs he is put back at OldPos and moves along StandUpFacing at
// StandUpSpeed, which becomes his speed. No draws.
void ContinueGettingUp(TWorld& W);

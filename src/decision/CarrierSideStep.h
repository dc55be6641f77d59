// The ball carrier's side-step, two sections of BallCarrierDecision (frame
// step 6): the decision that starts a two-leg step (out on a first heading,
// then on a second) for a step event of his set move (kinds 8 and 9), and
// his step while StepTimer runs, with its one-off wrong-footing of nearby
// defenders and the hold-up of team-mates close to him.
//
// The timer step ends StepTimer. Both run on the match world and the
// look-ahead copy alike and keep nothing outside W.
#pragma once

#include "core/TypeDefs.h"

// Section 9: the step decision for the carrier (block 1's BallCarrier, a
// player of the field) when his current event asks for a step (kind 8, or
// kind 9 with block 1's TimeToContact below 0.3 s) and no other action holds
// him.
//
// Completes the event while his sequence runs; clears the world's
// StepReactionDone, passcatchtimer and currentframe (the animation starts
// again); sets StepTimer (10 s), StepKind (the event's EventCode, or drawn 1
// or 2 without a sequence), StepHeading (the event's Angle, or his facing
// heading), the legs StepFirstAngle and StepSecondAngle (degrees; only the
// second is brought into 0..360) with StepAngle on the first, and the
// speeds: StepStartSpeedCap and StepTopSpeed are 0.45 and 0.85 of maxspeed
// for a step (kinds 1 and 2), 0.25 and 0.65 for a spin (3 and 4), and
// StepSpeed is his speed, at most the start cap. A kind outside 1..4 steps
// straight on with the caps of a step.
//
// Draws one (the kind) only without a sequence.
void DecideSideStep(TWorld& W);

// Section 12, the side-step part: while the carrier's StepTimer runs he is
// put back at OldPos, faces StepHeading, accelerates up to StepTopSpeed and
// runs StepAngle for one TimeStep; past 0.35 of the animation StepAngle is
// the second leg. On the first such frame (StepReactionDone clear) the step
// acts once on players 1..PlayersPerTeam, in number order, own side first:
// a team-mate (or the carrier) within 1.8 m whose RunningAngleReactionTime
// has run out draws it again, doubled; an opponent (unless block 2's
// DecisionsOn is clear and he is its FollowExempt) is beaten by a roll of
// 1..1000 at most SideStepBeatProb (1.3 times that in the look-ahead copy)
// and, closer than 4.5 m, turns to meet the carrier on a line 30 degrees off
// the first leg and draws his DefensiveRunningAngleReactionTime from 0.2 to
// 0.3 s.
void ContinueSideStep(TWorld& W);

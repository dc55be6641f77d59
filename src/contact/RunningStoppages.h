// Tries and stoppages: the last stage of the running contact step, the
// hand-over to "transition" that every contact step stopping play uses, and
// the way back into "running" from a breakdown or a restart kick.
// Block 1 (the side in possession) attacks towards +z: its own goal line is
// at -PitchLength/2, the opponents' at +PitchLength/2.
#pragma once

#include "core/TypeDefs.h"

// Messages 0 (msgCarryEnd), 43 (msgRunningMetres, his MetresRun) and 44
// (msgHitUp, block 1 RunMetres) for block-1 player Carrier (1..25).
void PostCarryEnd(TWorld& W, int Carrier);

// Stops play for a restart of kind Kind into Pending, for the opponents when
// ToOpponents: block 1's pass and kick countdowns and the carrier's passtimer
// and KickTimer (when there is a carrier) cleared; RestartKind,
// PendingGameState, StoppedGameState (the state left), TransitionStep 1,
// TransitionTimeLeft (2.0 to 3.49 s, one draw), the holder (block 1's
// BallCarrier, held: TransitionBallHeld and TransitionHolderFirstBlock true;
// a caller changes them after the call where it says otherwise) and
// PossessionChangePending; KickRestartSetPhase := 1 when LineoutPhase; then
// "transition". After a goal or a conversion's end (AfterGoal) the pause is
// the shorter 1.0 to 1.49 s.
void StopPlay(TWorld& W, i32 Kind, TGameState Pending, bool ToOpponents, bool LineoutPhase = false,
              bool AfterGoal = false);

// Play stops with the ball in block 1's own in-goal at block-1 player
// Carrier (1..25): a scrum to the opponents when the side carried the ball
// back over its own goal line (CarriedIntoOwnInGoal), else a drop-out
// (restart kind 2) to the side itself; ScrumSpot := his position.
void StopInOwnGoalArea(TWorld& W, int Carrier);

// Tries and stoppages after the entry into "gottackled": a tackle that
// grounds the ball over the goal line, a carrier held up in his own in-goal,
// touch, touch-in-goal, the dead-ball lines, a dive that grounds the ball in
// either in-goal. Carrier is block 1's carrier (1..N), or 0 for none, when
// nothing is checked. A try leaves "tryscored" (TryScoredPhase 1, the scorer
// in DiverIndex, the spot in TryPos); a stoppage leaves "transition".
void SettleTriesAndStoppages(TWorld& W, int Carrier);

// "running" from RunningPhase 1, with block 2's pressure countdowns, the
// defence cycle and both strategy timers at 0.
void EnterRunningPlay(TWorld& W);

// Play runs again with block-1 player c (1..25) carrying or kicking:
// EnterRunningPlay; c leaves the support grid unless he has left it already
// (SupportGridCleared), which is then set.
void ResumeRunningPlay(TWorld& W, int c);

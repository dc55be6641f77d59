// The restart that follows an infringement once play has stopped, chosen by
// the transition handler's set-up from the entry that applies (the first of
// W.Infringements, after UpdateInfringementList).
#pragma once

#include "core/TypeDefs.h"

// Restart kinds of a penalty (RestartKind, read by SetRestartDelay), beside
// kind 0, the scrum.
constexpr i32 kPenaltyKickForTouch = 3;  // kick for touch from the mark
constexpr i32 kPenaltyKickAtGoal = 4;    // place kick at goal
constexpr i32 kPenaltyTapKick = 5;       // tap kick

// The side awarded the restart is block 1 when the offender is in block 2
// (AgainstDefence), else block 2, which then takes possession at the end of
// the transition (PossessionChangePending).
//
// An entry of Kind 0 changes nothing and draws nothing. A minor offence
// (Major clear) gives a scrum at its spot: RestartKind 0, PendingGameState
// scrum, ScrumSpot. A penalty writes "Penalty advantage at <minute>" (two
// decimals) to the look-ahead log, posts msgPenOffside, msgPenHandsInRuck or
// msgScrumPenalty for Kind 3, 4 or 5 (nothing for another kind; extravalue
// 1.0 with ScrumPenaltySide, else 2.0; dropped when the queue is full), and
// puts RestartSpot at the spot. The goal kick is in range when some player
// p = 1..PlayersPerTeam of the awarded side has GoalKickRange + 2.0 m +
// r x 0.02 m beyond the distance to the middle of the goal line attacked,
// one draw r = RandomRange(1, 101) for every p; then the run log gets
// "kick in range <minute>". The option comes from the penalty family of the
// awarded side's field-strategy zone at the mark (its half copied into
// FieldHalf; the "penalty kick goal" weight cut to 1 out of range; one
// WeightedRandomIndex): touch, goal (a tap out of range), tap, scrum at
// the mark; no option drawn gives a tap. In the last 14 s of the first half
// the side kicks, at goal in range, else for touch; from 300 s before full
// time a side level or up to 3 points down goes for goal in range; in the
// last 14 s of the match a leader kicks for touch, a side 4 or more down
// taps, and one level or up to 3 down goes for goal in range, else taps.
// RestartSpot is then kept 5 m inside the touch lines and the goal lines
// (ScrumSpot keeps the spot). Every entry of the list is emptied.
// Works on the world it is given; the log lines are written in the match
// and in the look-ahead.
void ChooseRestartAfterInfringement(TWorld& W);

// The handler of game state kickrestartset (8), called by SetDesiredPosition
// in every match and look-ahead frame while the state lasts. Block 1 (the
// side in possession) kicks towards +z; both blocks carry the same
// RestartType: 2 kick-off, 4 drop-out, 5 penalty to touch, 7 tap penalty,
// 8 penalty at goal, 9 conversion.
//
// Every call first lowers KickRestartCountdown by TimeStep. On the frame the
// state is entered (KickRestartSetPhase 1) it clears the chasers and the
// players' block-play and standing-action fields, picks the kicker, sets the
// mark, ball, run-up and KickKind of the restart and both sides' formation
// offsets, and pauses the frame recorder. From phase 2 on it places every
// player but the kicker on the formation and walks the kicker through the
// phases: to his start point (phase 3 waits for the countdown, RestartDelay
// and the walk), the kick choice of the decision step (phase 4, KickChosen),
// the countdown and run-in (5), the place kick's run-up (6) and the others'
// reaction (7). The kick itself and the end of the state are left to the
// timer step; the tap (type 7) is left to the contact step through the
// kicker's special action of kind 3.
//
// A KickerIndex that names no player record (as an entering step may leave
// it) makes player 10 the kicker; a RestartKickerDefault that names none puts
// nobody in the kicker's place. Nothing allocates or logs.
#pragma once

#include "core/TypeDefs.h"

void DoKickRestartSet(TWorld& W);

// z (m) of the conversion's spot for a try at x = TryX (m): 41 - |TryX| tan
// 20 degrees, worked as -TryX tan a + 43 - 2 with a = 340 degrees for a
// negative TryX, else 200. The kick restart puts the ball there and the
// try-scored handler walks the kicker to it.
double ConversionSpotZ(double TryX);

// x (m) just before the first of a 1 m spaced line of PlayersPerTeam players
// meant to start at Start: kept within -PitchWidth/2 .. PitchWidth/2 -
// PlayersPerTeam/2, so a line may still reach past the right touchline.
double LineStartX(const TWorld& W, double Start);

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

// The handler of game state passing (2), called by SetDesiredPosition in
// every match and look-ahead frame while a pass is in the air. Block 1 is
// organised around the pass receiver R (its PassReceiver) instead of a
// carrier. On the frame the state is entered (PassingPhase 1) R joins the
// 201-slot line in slot 101 (leaving the support grid if he stood on it),
// the line and the grid are laid out around where he runs, every team-mate
// is given the speed that brings him to his place as the ball arrives
// (PassingSupportSpeed), and when R runs a kick-pass event (types 5 and 55)
// the free players level with or behind him run up towards the catch. Each
// frame it then moves the line and the grid with R, places their players,
// steps the action sequences, keeps team-mates out of R's path, sends the
// players of both sides who go for the ball to their catch points and arms
// their catch 0.28 s before the ball gets there, has Defense place block 2
// (each defender then through ApplyUserControl; the viewer's commands only
// in viewer-link mode), lets defenders still reading the pass run on, and
// drives the forced movements of tackles. It never changes the game state,
// allocates nothing and logs nothing. With no receiver (PassReceiver naming
// no record) the rules around him are left out.
#pragma once

#include "core/TypeDefs.h"

void DoPassing(TWorld& W);

// Players of block B who go for the ball (WillAttemptPassInterCept) run to
// their BallCatchPoint; the catch of one who can take it on the full is
// armed (passcatchtimer 10.0 s, PassCatchArmed, B's CatchSide 2 and
// CatchHeight by the ball's height against the Height of B's PassReceiver,
// his own when B has none) once the ball is less than 0.28 s from the point
// at the pass's planar speed. A pass with no planar speed arms nothing. Also
// used by the transition handler.
void GoForBall(TWorld& W, TTeamBlock& B);

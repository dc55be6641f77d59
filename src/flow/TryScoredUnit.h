// The handler of game state tryscored (10), called by SetDesiredPosition in
// every match and look-ahead frame while the state lasts. The contact step
// enters the state with TryPos (where the try was grounded), DiverIndex (the
// scorer, a block-1 player) and TryScoredPhase 1.
//
// On the entry frame (phase 1) it clears the chasers and every action
// sequence, decides who of block 1 celebrates (the scorer always, each
// team-mate on a roll below 700 of 1..1000) and with which of the three
// gestures, sorts both blocks' DefLine by x, gives every block-1 player a
// run-on point 1.75 to 3.5 m further along his last heading and a run-on
// time of 0.75 to 1.5 s (chasertimer), lets both packs go after staggered
// delays, ends every tackle in force (OldTackleTimer the largest release
// delay + 0.25 s) and picks the conversion kicker into block 1's KickerIndex
// (BestGoalKicker, player 10 when all are injured). Draws, in order: per
// block-1 player the gesture and, but for the scorer, the join roll; per
// block-1 player the run-on distance and time; the pack release delays,
// block 1 then block 2.
//
// Every frame from phase 2 block 1 runs on; the scorer finishes his dive
// slide (moved directly while he still carries the ball) and the side then
// has no carrier; whoever has celebrated and run on walks back to halfway,
// the kicker to the conversion spot; a celebrating player who stands still
// and is free starts his gesture after a short drawn delay (the scorer's is
// 0.01 s), facing the scorer. Block 2 stands in a 1 m spaced line 3.75 m
// beyond TryPos.z, kept off the scorer by 3.9 m. Once every player's
// CelebrateStage equals his CelebrateJoin (the animation step advances it
// when a gesture ends) the conversion is set up: RestartDelay from a clamped
// normal draw (mean 86.89 s, 10.0 .. 166.965 s), gamestate kickrestartset
// with KickRestartSetPhase 1, RestartType 9 in both blocks and
// RestartKickerDefault 10.
//
// A DiverIndex outside 1..25 names no scorer: the scorer's own rules are
// left out (his slide, the end of the carry, the defenders' clearance) and
// the others face heading 90 for their gestures. A phase other than 1 or 2
// does nothing. Nothing allocates or logs.
#pragma once

#include "core/TypeDefs.h"

void DoTryScored(TWorld& W);

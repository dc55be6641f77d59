// The free ball at the boundaries of the pitch: a ball crossing a touch line
// or going dead beyond a dead-ball line, and a ball caught on or beyond a
// boundary. Each stoppage hands over to "transition" (StopPlay) with the
// restart that follows: a lineout, a scrum or a drop-out. Block 1 attacks
// towards +z; KickTouchFlag1 is "touched in touch" (a bounce or a player in
// touch), KickTouchFlag2 "the ball is in touch", KickTouchPos where it
// crossed, KickType the rule kind of the last kick, ReleasePos the kick point.
// Both work on the world they are given (the match or the look-ahead copy)
// and draw only the pause of a stoppage.
#pragma once

#include "core/TypeDefs.h"

// The free ball into touch or dead, while the state is "freeball":
// - a ball strictly beyond a touch line (|x| > PitchWidth/2), or touched in
//   touch, is in touch from then on: KickTouchFlag2 and KickTouchPos (x, z)
//   at the first such frame;
// - touched in touch, or in touch and at or beyond a dead-ball line: a
//   lineout (restart kind 7) when it crossed between the goal lines, to the
//   opponents when block 1 played it last, never for a penalty kick to touch;
// - over the far dead-ball line (or touched in touch beyond that goal line):
//   block 1's own kick gives the opponents a scrum at the kick point, or a
//   drop-out after a penalty goal attempt or a drop goal; a ball the
//   opponents played last gives them a drop-out;
// - over the near dead-ball line: a 5 m scrum to the opponents when block 1
//   played it last after carrying it into its own in-goal, else a drop-out
//   to block 1.
// A ball in touch short of the dead-ball lines and not touched in touch
// leaves play running. Every stoppage leaves the ball loose
// (TransitionBallHeld 0).
void StopFreeBallAtBoundary(TWorld& W);

// A catch on or beyond a boundary, run in the frame the catch made the state
// "running": nothing while block 1's carrier stands within 0.3 m inside both
// touch lines and both dead-ball lines. Otherwise KickTouchPos := his (x, z)
// unless the ball was already in touch; between the goal lines a lineout
// (restart kind 7, TouchPos his x, z) to the opponents when block 1 played
// the ball last (the reverse after a penalty kick to touch); in the far
// in-goal or beyond, a scrum at the kick point or a drop-out; in the near one,
// a scrum or a drop-out by who played it last and who carried it into his
// own in-goal. The catcher holds the ball (TransitionBallHeld -1).
void StopCatchAtBoundary(TWorld& W);

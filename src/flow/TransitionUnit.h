// The handler of game state transition (12), called by SetDesiredPosition
// in every match and look-ahead frame while the state lasts: the dead-ball
// interval between a stoppage and its restart.
//
// The step that stops play sets TransitionStep 1 with the stoppage's least
// length (TransitionTimeLeft), the state play stopped in, the pending state
// and restart kind, the ball holder and PossessionChangePending. On that
// frame the set-up draws both blocks' PlayOption and every player's
// DeepFlag, turns the infringement that applies into a scrum or a penalty
// restart (ChooseRestartAfterInfringement), draws the holder's delay
// (TransitionAux, the hold timer), cancels tackles of kind 0 and gives
// tackles of kinds 1 and 2 their ending kinds, clears the carriers and the
// pass and kick countdowns, gives every free player a short run-on (a
// ruck player or the scrum-half walks back, or stands just after a set
// piece), breaks off every block, turns players within 1.75 m of the holder
// away from him, and, when nobody holds the ball and play did not stop in
// free ball or at a try, sets the ball on a short loose flight. Every frame
// the holder throws the ball away once his hold is over, block 1's action
// sequences run, players going for a pass in the air may still catch it,
// defenders reading a pass run on, and tackled players and tacklers slide.
//
// Once TransitionTimeLeft has run out and no player has an action left,
// the pending state is entered in the same call: replacements, the spot of
// a kick at goal kept 10 m out, the phase and line-break state cleared, the
// blocks swapped and the scene mirrored when possession changes, then
// SetRestartDelay and last HandleHalfTime, which is not called before a
// penalty kick or a conversion (restart types 5, 7, 8, 9), so that these
// are taken before the half ends.
//
// Draws, in order, at the set-up: RandomRange(1, 3) for block 1's and
// block 2's PlayOption; RandomRange(1, 1001) for the DeepFlag of block-1
// player i then block-2 player i; those of the restart choice;
// RandomRange(250, 500) for the hold; for each free player (block-1 player
// i, then block-2 player i) RandomRange(40, 75) and RandomRange(30, 50),
// and one more RandomRange(55, 75) for a ruck player or scrum-half. In the
// frame the holder lets go of the ball: RandomRange(300, 401) and
// RandomRange(-15, 11). The set-up writes its lines to the look-ahead log
// (and the restart choice its own); no other frame allocates or logs.
#pragma once

#include "core/TypeDefs.h"

void DoTransition(TWorld& W);

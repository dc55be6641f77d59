// Frame step 1: the frame's bookkeeping of the match state. It notes the game
// state of this frame and the one before, how long the state has lasted and
// whether possession changed; keeps the two breakdown flags the defence
// reads; latches the four stages of a line break with their messages, calls
// one support runner at the first two stages and lets the gain line follow a
// carrier who does not go forward; and gives each player his periodic look
// at the play (the perception snapshot the decision step reads). It moves
// nobody and changes no game state.
#pragma once

#include "core/TypeDefs.h"

// Reads the game state, the time step, block 1's carrier, set-piece holder,
// tackled player, pass receiver, pass time left, attack side and team id,
// and the players' positions, velocities and timers. Writes the game-state
// history, `TimeSinceSetPiece` (0 after a scrum or lineout frame), the
// possession flags, `LineBreak` to `LineBreak4`, `PrevLineBreak`,
// `GainLineZ`, `CarrierTackledFlag`, `RuckThreat`, `RuckPassNearMark`, each
// player's perception record, and `SupportRunCall`/`SupportSide` of the one
// player called in support. Posts `msgLineBreak` (17), `msgLineBreak2` (106),
// `msgLineBreak3` (107) and `msgLineBreak4` (108) with extravalue 0.
// Random draws: one `RandomRange`(1, 1001) in a support call whose side comes
// from `AttackSide` 0, and the `GaussianRandom` draws of the perception
// (block 1's player i, then block 2's player i). A carrier, holder, tackled
// player or receiver that names no record (0 or above 25) leaves out the
// rules that need him.
void SampleWorld(TWorld& W);

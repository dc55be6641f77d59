// The runner of scripted movements: every player of the side in possession
// (block 1) may run an ActionSeq, up to ten events loaded by a set move, a
// template, support play or a positioning handler. Each frame the runner
// marks events complete (end conditions, deadlines, run lengths, holds,
// arrival on the line), chooses each player's current event, turns it into
// his DesiredPos, ends a sequence whose events are all complete and puts the
// player back into his side's set-piece line.
#pragma once

#include "core/TypeDefs.h"

// Steps the running sequences of block 1's players 1..PlayersPerTeam in
// index order. Called by the handlers of running, passing, gottackled, scrum
// and transition after they have placed their players, so a running
// sequence overrides the handler's DesiredPos. Block 2's sequences are not
// stepped.
//
// Writes the players' ActionSeq, DesiredPos (x and z) and InBackline, the
// event's DesSpeed of an intercept hold, and block 1's SetPieceLine and
// SupportGridCells when a player returns to the line in running or passing.
// Draws once (RandomRange 50..201) for each kick chase that end condition 17
// starts, and never otherwise. A reference or named player outside the
// block's records reads nothing: the event's tests that need him are false
// and its point stays where it was.
void RunActionSequences(TWorld& W);

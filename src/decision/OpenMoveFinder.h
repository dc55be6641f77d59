// The open-move finder: which numbered moves of the side in possession's
// move book (PossessionMoveBook) the samplers may try next. Each move it
// opens gets the gain its look-ahead must reach (MinGain), which the fitness
// score and the ruck sampler read. The open-play sampler calls it before it
// simulates the open-play table, the ruck sampler before the ruck table.
#pragma once

#include "core/TypeDefs.h"

// In running: closes moves 1..MoveCount of the book (OpenFlags), then opens
// open-play moves from the situation of block 1's BallCarrier: whether he is
// free to start a move (no pass, kick, step, break, forced run or tackle
// under way), his run pattern, the open-move mode and the closing time of
// the nearest defender (StrategyParams' OpenMoveFlag and NearestClosing),
// whether that defender (NearestDefender of block 2) is ahead of him, his
// sideways speed, the touch lines (and TouchDangerTimer), a break window,
// the start of a set piece and an offload window. A carrier who is not a
// player of the block opens nothing; a marker who is not one reads as
// player 1 of block 2, the scan's own default.
//
// In gottackled: closes all, opens every ruck move whose PlayKind is block
// 1's PlayOption with -4.5 m, and moves 1 and 2 always with -20.0 m.
//
// Returns at once in every other state. Writes only the book's OpenFlags,
// the MinGain of opened moves and, in running, the carrier's ReplanTimer
// (drawn from ReplanInterval when it has run out). Each chance roll is one
// RandomRange(1, 1001) draw and each "one of" one further draw; nothing is
// drawn outside the rules that name a roll.
void FindOpenMoves(TWorld& W);

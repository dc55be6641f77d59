// The constant catalogue of set moves that both move books hold: 103
// open-play moves (1-16, 21-39, 41-59, 61-68, 71, 72, 81-83, 91-98, 101-120,
// 127-132, 141, 142) and 99 ruck moves (1-92, 95, 97-102). Written once at
// start by BuildMoveBooks; nothing of it runs during a match.
#pragma once

#include "core/MoveBooks.h"

// Writes the filled ruck moves into a ruck table that BuildMoveBooks has just
// cleared; every other number stays unfilled.
void StoreRuckMoves(TMoveTable& T);

// Writes the filled open-play moves into a cleared open-play table.
void StoreOpenPlayMoves(TMoveTable& T);

// What the scrum and lineout handlers do alike: the timers cleared before a
// set piece starts, the rest animations drawn at its set-up and the line
// alignment of a back by his role code.
#pragma once

#include "core/TypeDefs.h"

// Both blocks' PassTimeLeft and KickTimeLeft, and every player's pass,
// catch, shimmy, kick, ruck, tackle, stand-up, step, break, lineout,
// loose-ball and forced-run timers := 0. No draw.
void ClearSetPieceTimers(TWorld& W);

// Every player's RestStyle by per-mille rolls, block 1 then block 2: 0 or 1
// at even chance, then on a roll below 300 4 (block 1) or 2 (block 2); block
// 1's SetPieceHolder 4 on a roll below 700; block 2's SetPieceHolder 3 with
// no roll when FixedDefendingHolder, else like block 1's; player 15 4.
void DrawRestStyles(TWorld& W, bool FixedDefendingHolder);

// A block-1 back already sent to his slot (DesiredPos) with slot z SlotZ:
// role -1 or -2 lines up on AlignRefPlayer's z (0.5 m behind him for -1,
// AlignPoint kept), -3 goes to AlignPoint's z, 3, 6 and 7 stand AlignDepth
// behind the slot. A reference outside the team leaves him on his slot.
void AlignByRoleCode(const TWorld& W, const TTeamBlock& A, TPlayer& P, f32 SlotZ);

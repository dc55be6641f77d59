// The one-shot set-up of a breakdown, run by the gottackled handler on the
// frame the state is entered: the mark at the ball, both packs' ruck tables,
// each side's players sent into the ruck, the scrum-half, the attackers in
// the line or on support cells, and the defence's lists.
#pragma once

#include "core/TypeDefs.h"

// The whole set-up (GotTackledPhase 1). Resets per-breakdown state: play
// options drawn for both sides (ChoosePlayOption), DeepFlag rolls, in the
// match world the move books' RuckSampled and HoldTimer, RestartDelay from
// block 1's RuckTime draw, BreakdownClock 0 and block 1's HalfTimeAux (the
// holder has not committed yet). Then each side commits 1..6 attackers and
// 0..6 defenders by its field-strategy zone, nearest the mark first (player
// 9 on the attack's first pick only, 15 on the defence's, backs on picks 1
// to 3), binding those behind the offside line and within 3 m of the mark
// and sending the others to waiting spots. SetPieceHolder stays 0 when no
// attacker is free. Draws in a fixed order; no allocation, no log.
void SetUpBreakdown(TWorld& W);

// The attackers' layout, also run after a turnover: each free attacker in
// the line (forwards within 20 m and backs within 7.5 m of the mark in x may
// go to support cells instead, on rolls at most 500 and 100), the back line
// built around the scrum-half, the support grid restored and laid at the
// mark, support cells by weight inside the touch lines, and the defence
// lined up against the attackers (steps of the set-up without the ruck).
void LayOutBreakdownLines(TWorld& W);

// The two halves of LayOutBreakdownLines, which the set-up runs apart (the
// defending side commits in between).
void PlaceBreakdownAttack(TWorld& W);
void PlaceBreakdownDefence(TWorld& W);

// Frame step 16: pushing apart. Right after the movement step, players near
// the ball whose bodies overlap (closer than 0.5 m) are pushed apart along
// the line between them, unless they are meant to be in contact: a block, a
// tackle under way, a break, a breakdown, a pack. It runs in every match and
// look-ahead frame, allocates nothing and draws nothing.
#pragma once

#include "core/TypeDefs.h"

// By game state, passes over pairs of players in this order:
// - running, passing: block 1 with block 2, block 1 with block 1, block 2
//   with block 2 (only while the carrier kicks in running), box 20 m;
// - freeball: block 1 with block 2, box 10 m;
// - tryscored, transition: the three passes, boxes 10, 20 and 20 m;
// - any other state: nothing.
// The first member of a pair must stand within the box's half-width of the
// ball in x and within 20 m in z (bounds included); each block-1 player in
// the box meets every block-2 player, and pairs of one block are (i, j > i).
// A pair closer than the gap (0.5 m; 0.525 m for the carrier in running in
// the look-ahead) moves apart by the overlap plus 1.0 m/s x TimeStep in open
// play, each by his own weight's share of it (halves when the weights sum to
// nothing); two players on one point stay. After a push in open play the
// blocks of the members are released (words 2 and 3 of their BlockRecords
// entry := 0), and in running a pushed carrier raises
// CarrierPushedByOpponent or CarrierPushedByTeamMate (both cleared first).
void InterPen(TWorld& W);

// The handler of game state running (1), called by SetDesiredPosition in
// every match and look-ahead frame. On the frame running is entered
// (RunningPhase 1) it lays out the side in possession around the ball
// carrier: his line in the 201-slot set-piece line (slot 101 the carrier's)
// and a drawn support cell for every other player. Each frame it then moves
// the line and the grid with the carrier, places the line players
// (PlaceLinePlayers) and the grid players, sends one player to the
// breakdown while the carrier is being tackled, lets reacting players run
// on, steps the action sequences, keeps team-mates out of the carrier's
// path, steers the receiver of a pass about to be made, has Defense place
// block 2 (a user's defender then goes to ApplyUserControl), corrects a few
// defenders and drives the forced movements of tackles. It allocates and
// logs nothing. With no carrier (BallCarrier naming no record) the rules
// that need him are left out; the sequences, Defense, the defenders' rules
// and the tackle movements still run.
#pragma once

#include "core/TypeDefs.h"

void DoRunning(TWorld& W);

// The pieces below are shared with the passing handler, where the ball
// holder is the pass receiver instead of the carrier.

// Slot positions of block 1's line: SetPieceSlotPos := (X, Z) + the slot
// offsets LineSlotPos, all 201 slots.
void PlaceLineSlots(TTeamBlock& A, f32 X, f32 Z);

// Grid origin (Holder x - 5.0 for the 11-cell grid, Holder z - Back), moved
// inward so that every column stays at least 1.75 m inside each touchline,
// and the cell points recomputed.
void PlaceSupportGridAround(const TWorld& W, TTeamBlock& A, const TPlayer& Holder, double Back);

// Every player on a cell of block 1's support grid (rows, then columns)
// goes to his cell's point, eased forward with Holder (his sideways
// velocity, ForwardSpeed m/s) but kept behind the line at LineZ, and at
// least 0.3 m inside each touchline. KickClearance and the
// set-piece hold as for the line players; SkipHolder leaves Holder's own
// cells out.
void PlaceGridPlayers(TWorld& W, i32 Holder, double ForwardSpeed, double LineZ, bool SkipHolder,
                      bool KickClearance);

// Every player of block 1's line (slots 1..201 in order) gets a DesiredPos
// one time step on: drifting sideways to his slot's x (slots 100 and 102
// 0.4 m further out) with a share of Holder's sideways velocity, and keeping
// a depth behind Holder from which he could run onto a pass (the pass's
// flight time times his top speed, 1.0 m while Holder's current event is a
// type 55, 0.05 m while he kicks; at most 10.0 m, never more than 0.5 m
// ahead). A player cut back at a touchline is called up as a support
// runner. KickClearance sends a player ahead of a kicking holder 7.5 m out
// of the way; the set-piece hold keeps a player ahead of the holder on the
// far side of the ball at his z. SkipHolder leaves the holder's own slot out.
void PlaceLinePlayers(TWorld& W, i32 Holder, bool SkipHolder, bool KickClearance);

// The first slot of a set-piece line from From on that holds anything (a
// player, a mark), past the last slot when none does. A line holds a few
// players in its 201 slots, so the scans that visit only the filled ones
// pass eight empty slots at a time (it saves 0.62 % of a seeded match, 290 M
// of 46.53 G callgrind instructions, seed 4242).
inline int NextFilledSlot(const Arr1<i32, 201>& Line, int From) {
  constexpr int kLast = Arr1<i32, 201>::kHigh;
  int k = From;
  while (k + 7 <= kLast) {
    i32 any = 0;
    for (int j = 0; j < 8; ++j) any |= Line[k + j];
    if (any != 0) break;
    k += 8;
  }
  while (k <= kLast && Line[k] == 0) ++k;
  return k;
}

// Team-mates of Holder standing in his path (from Back m behind him to
// 10 m ahead, within Side m on either side, level in x counting as the
// left) are sent out of it, just behind him; only once 1.1 s have passed
// since a set piece.
void KeepOutOfPath(TWorld& W, i32 Holder, double Back, double Side);

// Forced movements of tackles, both blocks: first every player being
// tackled (kinds 6, 7, 8: sliding on along his tackle angle, slowed by
// ground friction from a point of his animation on), then every tackler
// (his lunge, slowed after the lunge frame for kind 3, or the contact point
// of the opponent who governs him when that point is one of 1..8).
void MoveTacklePlayers(TWorld& W);

// One player being tackled in a kind 6, 7 or 8 tackle slides on along
// GettingTackledAngle, slowed by ground friction once his animation reaches
// 0.92 (kind 6), 0.55 in block 1 or 0.7 in block 2 (kind 7) or 0.7 (kind 8)
// of its frames. Nobody else moves.
void MoveTackledPlayer(const TWorld& W, TPlayer& P, bool FirstBlock);

// One tackler (TackleAttemptTimer > 0) lunges along TackleAttemptAngle,
// slowed after the lunge frame for kind 3; when he holds an opponent
// (governedby) by a footprint point 1..8 he goes to that point instead.
void MoveTackler(const TWorld& W, TPlayer& P, const TTeamBlock& Opponents);

// Move application: a numbered set move of the side in possession's book
// (PossessionMoveBook) turned into running orders for block 1. The move's
// roles are given to players, each chosen player's ActionSeq is loaded from
// his role and started, and the players his events name (pass receiver,
// reference player) are resolved. Runs on the look-ahead copy when a
// candidate is simulated and on the match world when a sampler applies its
// best move; the stored moves are never written.
#pragma once

#include "core/TypeDefs.h"

// Applies move MoveIndex (1..150) of the ruck table in gottackled or of the
// open-play table in running; does nothing in other states. Feasible is set
// true on entry; only a ruck move makes it false.
//
// Ruck moves other than 1 and 2: role CarrierSlot goes to the SetPieceHolder;
// the other listed roles (Shirts up to the first 0) to the wanted player when
// available (no ruck, breakdown, tackle or tackled timer running and not the
// TackledPlayer), else to the first available cover in the book's
// CoverLists. The move is feasible only when every listed role is filled and
// every loaded start point (StartX, StartZ plus the mark) lies 0.5 m inside
// the touch lines and the own dead-ball line. Loaded events naming a listed
// shirt (EventSubType of a non-kick event, RelPlayer) name the player who took
// that role. When not feasible every player who took a role has seqON
// cleared; when feasible, role players with LineFlag (not the holder) enter
// the side's line at their StartX.
//
// Ruck moves 1 and 2: the default plays along the side's ordered line (Line)
// from the holder, towards its first place (move 1) or its last (move 2):
// each player but the last passes on to the next, loading the template.
//
// Open-play moves, only with PickBySupport (without it nobody is loaded):
// the line (the book's Assignment) holds the ball carrier and the
// team-mates in his support area, by ascending x; with PickInOrder as well,
// the carrier first and then every team-mate with SupportRunCall set, in
// index order. The
// carrier's entry takes role CarrierSlot and the entries beside him the
// roles beside it, until an empty place or a role without a sequence. Each
// event's DesSpeed becomes SpeedFraction x maxspeed, its receiver and
// reference player come from the line (an empty or missing reference stops
// the player's sequence).
//
// Allocates nothing; writes the run log only while W.LiveWorld is set and the
// clock lies strictly between 3123 and 3125 s. Draws no random numbers.
void ApplyMove(TWorld& W, i32 MoveIndex, bool32& Feasible);

// The decision of the side in possession while a tackled player is on the
// ground (gottackled): once per tackle it chooses how the ball comes out of
// the ruck, either by playing its open ruck moves forward on the look-ahead
// copy and applying the best (a built-in play when none is good), or, with
// sampling off, by the scrum-half's direct pass to a line or support player.
// Runs on the match world from the decision step; the move books are shared
// with the look-ahead, so their marks keep a look-ahead from choosing again.
#pragma once

#include "core/MoveBook.h"
#include "core/MoveFitness.h"
#include "core/TypeDefs.h"

// The decision step's gottackled entry: SampleRuckMoves when the book of the
// side in possession has SamplingOn set; otherwise the holder's
// BallCarrierDecision when the SetPieceHolder runs a sequence; otherwise
// RuckMoveFallback while block 1's DecisionsOn is set.
void GotTackledStrategy(TWorld& W);

// From GotTackledPhase 2, once per tackle (the book's RuckSampled): sends a
// forward (1..8) to a pod runner's spot behind the mark, simulates at most 7
// of the open ruck moves, each on a fresh copy of `World` (TakeLookAheadCopy,
// TackleReleaseTimer 0, MoveIndex the move), picks the best by block 1's
// PlayOption and applies it, or a default play (move 1 or 2, else the
// holder's run 1.7 m to the open side and 15 m straight), logging the choice
// to the look-ahead log; HoldTimer 50 s. Then, every call, each block-1
// player goes through the users' control and the carrier decision runs.
// W must be the match world. Allocates only the two log lines of a choice.
void SampleRuckMoves(TWorld& W);

// Whether a ruck move's outcome R replaces the best so far (Best; HaveBest
// once one is chosen) under PlayOption 1..7; no other option passes.
// Reads the move's MinGain and its holder role's first event, the pitch
// and block 1's score of W.
bool RuckOutcomeBeats(const TWorld& W, const TMove& Move, const TSimResult& R, const TSimResult& Best,
                      bool HaveBest, i32 PlayOption);

// The scrum-half's own choice from GotTackledPhase 2: once per tackle
// (while HolderCommitted, HalfTimeAux, is clear) the receiver among the
// first line player towards lower slots (A, LeftLineCandidate), towards
// higher slots (B, RightLineCandidate), and the first support-grid player of
// rows 1..7 in columns 1, 2 (C, LeftSupportCandidate) or 7, 6, 5 (D,
// RightSupportCandidate), weighted by the room to each touch line; with no
// receiver the holder himself. Once holder (0.3 m) and receiver (0.1 m)
// stand on their spots and RestartDelay has run out, the dummy-half pass of
// kind 6 to the receiver's side. While the holder's passtimer runs, the line
// slots follow the side's current shape.
void RuckMoveFallback(TWorld& W);

// A stand-in that only tests set: when not null it replaces ApplyMove in the
// ruck choice (the default plays 1 and 2 are always feasible, so only a
// stand-in reaches the holder's own run).
struct TRuckChoiceSeam {
  void (*ApplyMove)(TWorld& W, i32 MoveIndex, bool32& Feasible);
};
extern TRuckChoiceSeam RuckChoiceSeam;

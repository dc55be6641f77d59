// Holds, falls and missed dives: what the contact steps of running, passing,
// free ball and the ruck do when a block-2 player reaches the block-1 player
// he targets, how a held player and his holders go to ground, and how a dive
// tackle that found nobody ends. Every helper works on the world it is given
// (the match or the look-ahead copy). Block 2 keeps the scratch of the last
// fall (FallImpactDir, FallReverseDir, FallForward, FallPoint,
// FallPointBlocked); the world keeps ScratchCircle.
#pragma once

#include "core/TypeDefs.h"

// Share of his animation a player has played, currentframe / maxframes; 0
// when maxframes is not above 0 (no division).
double AnimationShare(const TPlayer& P);

// Rules of an off-ball hold that differ between the contact steps.
struct THoldRules {
  i32 ExcludedTarget = 0;         // a block-1 player never held here (the running carrier); 0 none
  bool HolderMustBeFree = false;  // the holder holds nobody and is not falling (kinds 5 and 6)
  bool HolderMomentumFirst = false;  // CombineMomentum takes the holder as body 1
};

// Whether two players are close enough to take hold: under 1.2 m apart, or
// under 1.38 m with both moved half a frame on along Velocity under 1.2 m.
bool WithinHoldReach(const TPlayer& A, const TPlayer& B, f32 TimeStep);

// Block-2 player p takes hold of block-1 player t: p's governedby := t; t's
// numgoverning += 1 and GettingTackledKind := 4 (held, falls this frame).
// The first holder starts t's impact from t's facing, Weight and speed; every
// holder adds his own momentum (CombineMomentum, speed capped at 3.0 m/s),
// copied into t's GettingTackledSpeed and GettingTackledAngle. p takes the
// nearest free point of t's Footprint as his ContactPoint (0 when all eight
// are held, and then no FootprintHolder entry is written).
void TakeHold(TWorld& W, int p, int t, const THoldRules& Rules);

// Each block-2 player 1..N in order whose tackle attempt is not negative, who
// is not missed or fended off (kinds 3, 7, 8), whose target is a block-1
// player on the field other than Rules.ExcludedTarget and other than the one
// he already holds, and whose target is not being tackled, takes hold of him
// when within reach (WithinHoldReach). Draws nothing.
void HoldOffBallTargets(TWorld& W, const THoldRules& Rules);

// The fall scratch of block 2 for a fall along Heading (degrees):
// FallImpactDir and FallReverseDir, ScratchCircle (radius 1 round the origin,
// flags cleared), FallPoint (the circle point nearest FallImpactDir) and
// FallPointBlocked (false at FallPoint and at FallPoint - 1 and + 1 within
// 1..8, no wrap; true elsewhere); then the PointNeighbours entry of FallPoint
// moves a set first index into an empty second place and a set third into an
// empty fourth. Returns whether Facing (degrees) lies at least as near the
// impact heading as its reverse: the fall is forward (FallForward).
bool SetFallScratch(TWorld& W, f32 Heading, f32 Facing);

// The four words of the fall point's entry (a neighbour or contact-slot
// table): a set first word moves into an empty second, a set third into an
// empty fourth.
void ShiftImpactWords(Arr1<i32, 4>& Words);

// Whether block-2 holder D holds at a blocked fall point. A holder without a
// contact point (all eight were held) counts as at a blocked point.
bool HoldsAtBlockedPoint(const TWorld& W, const TPlayer& D);

// Holder D starts falling backward: "divetacklefallback" from its first
// frame, not looping.
void PlayHolderFallBack(TPlayer& D);

// Block-1 player q, held this frame (GettingTackledKind 4), goes to ground
// along his ImpactAngle: kind 6 forward, or 7 backward when he faces against
// it, with his GettingTackledFacing turned to match; passtimer and KickTimer
// cleared; GroundTime (0.3 to 0.7 s), then GettingTackledTimer (0.45 to
// 0.55 s) drawn. Every block-2 holder of q falls with him, in index order, one
// draw each: at a blocked point forward (kind 5, GroundTime shorter by 0.3 to
// 0.7 s, at least 0.05 s), at an open point backward (kind 6,
// "divetacklefallback", GroundTime longer by 0.3 to 0.7 s); his
// TackleAttemptTimer := q's GettingTackledTimer.
void FallHeldPlayer(TWorld& W, int q);

// FallHeldPlayer for each block-1 player 1..N held this frame.
void FallHeldPlayers(TWorld& W);

// Player i of block `block` lets go of his tackle or tackle attempt:
// GettingTackledTimer, TackleAttemptTimer, governedby, numgoverning, target
// and numtargetting := 0; a block-2 player also stops block 2's pressure
// countdowns.
void LetGoOfTackle(TWorld& W, int block, int i);

// Block-2 player p, whose dive has missed: he drops his target (its
// numtargetting - 1), TackleAttemptKind := 3, "divetacklemissed" from 0.4 of
// its 4700 frames (lunge frame 0.6 of it), TackleAttemptTimer drawn 0.4 to
// 1.0 s (one draw).
void MissDive(TWorld& W, int p);

// Each block-2 player 1..N who holds nobody, whose tackle attempt runs, is not
// missed or fended off, and has played more than half of
// "divetacklefallforward", misses (MissDive). With Carrier the running
// carrier (0 in the other states) a miss of the untackled carrier first
// posts 15 (msgMissedTackle) for the defender and 97 (msgDefenderBeaten) for
// the carrier.
void EndMissedDives(TWorld& W, int Carrier);

// The off-ball holds of a contact step, then the falls of those held this
// frame, then the dives that missed: HoldOffBallTargets(Rules),
// FallHeldPlayers, EndMissedDives(Carrier).
void HoldFallAndMissDives(TWorld& W, const THoldRules& Rules, int Carrier);

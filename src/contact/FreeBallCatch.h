// The catch contest of the free-ball contact step (stages 1 to 5): which
// players the ball reaches this frame, which side wins a contested ball,
// whether the catch holds, and what a clean catch sets up (running, a change
// of possession, the mark, the kick-return option, the counter-attack line).
// Block 1 (the side in possession) attacks towards +z. Every stage works on
// the world it is given, match or look-ahead copy (LiveWorld clear), and
// allocates and logs nothing.
#pragma once

#include "core/TypeDefs.h"

// The mark of one call: stages 2 and 4 decide, stage 5 calls it.
struct TMarkChance {
  bool Possible = false;  // a full catch of the other side's kick inside the own 22
  bool Called = false;    // an opponent close enough: the mark is called
};

// Stage 1: FreeBallCatcher and FreeBallToucher of both blocks, 0 when none.
// Skipped (both left 0) while the ball is at or above 3 m and not falling to
// 3 m within 0.5 s. A catcher's action runs, its catch window is open, the
// ball is within 0.75 m (0.825 m when half a frame on brings it within
// 0.75 m) and inside his height band; a toucher is struck within 0.35 m
// outside a catch. The nearest of each block is kept.
void ScanBallArrival(TWorld& W);

// Stage 2's choice: the block (1 or 2) whose catcher takes the ball, 0 with
// no catcher. Two catchers less than 0.1 m apart in distance to the ball
// draw RandomRange(1, 1001): 501 or more gives block 2 the ball.
int ChooseCatchingBlock(TWorld& W);

// The catch roll of block Block's catcher (one draw, a second one for the
// unpressured save below 500 in the match world): CleanCatchProb, or
// HighBallProb for a jump catch (kind 5), 45 less when Fatigued; 1002 in the
// look-ahead copy. A loose-ball kick (kind 8) never holds.
bool FreeBallCatchHolds(TWorld& W, int Block);

// Stage 2's clean catch by block 1's catcher: "running", the mark chance,
// the kick-return draw and its checks.
void CatchInBlock1(TWorld& W, TMarkChance& Mark);

// Stage 3: a restart kick (KickType 1 or 2) caught by the kicking side short
// of z 10 m stops play for a scrum to the opponents, while the infringement
// list is empty.
void ApplyRestartTenMetreRule(TWorld& W);

// Stage 4's clean catch by block 2's catcher: possession changes
// (Team1InFirstBlock toggled, MirrorWorld), the catcher keeps his index in
// block 1; offside lines, the kick-return draw, the streak and, in the match
// world, the counter-attack line.
void CatchInBlock2(TWorld& W, TMarkChance& Mark);

// Stage 5: in "running" with a possible mark that is to be called,
// MarkCalled and msgMark for the carrier.
void CallMark(TWorld& W, const TMarkChance& Mark);

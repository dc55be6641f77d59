// Frame step 6: decisions of the side in possession, on the match world
// only (the look-ahead runs BallCarrierDecision in its place).
#pragma once

#include "core/MoveBook.h"
#include "core/MoveFitness.h"
#include "core/TypeDefs.h"

// The decision of the frame by game state: running to RunningStrategy,
// gottackled to GotTackledStrategy, maul to MaulStrategy
// (decision/MaulHolder.h), scrum, kickrestartset and lineout to their
// holders' controls (decision/SetPieceHolder.h); every other state does
// nothing.
void Strategy(TWorld& W);

// Running: switches sampling on in both books, then samples in the book of
// the side in possession.
void RunningStrategy(TWorld& W);

// One running-frame decision of the side in possession, in its move book:
// the carrier guards; when the resampling rules allow, a sampling pass that
// runs the look-ahead on the open moves (at most the carrier's
// maxGenPlaySims of them, shuffled; move 1 keeps its place) and on the move
// in progress (kept unless beaten by more than its keep bonus, 0.5 s or
// 0.001 while TouchDangerTimer runs), each sample from a fresh copy of the
// match world, and applies the best; the time-up kick; last the carrier's
// own decision. W must be the match world: the samples copy `World`.
void SampleRunningMoves(TWorld& W);

// Stand-ins that only tests set: a member that is not null replaces the
// look-ahead, the open-move finder or the carrier's decision in the sampler.
struct TSamplerSeam {
  void (*SimulateAhead)(TWorld& W, const TMove& Move, u16 MoveCode, TSimResult& Result);
  void (*FindOpenMoves)(TWorld& W);
  void (*BallCarrierDecision)(TWorld& W);
};
extern TSamplerSeam SamplerSeam;

// The guards on the ball carrier of block 1 in open play, steps of the
// open-play sampler of the match world. They keep StrategyParams' touch alarm
// and nearest-defender estimate, and may load a run in, a run dead or a kick
// into the carrier (from StrategyParams.ActionSeqTemplate, so the sequence
// runner plays event types 7, 6 and 5). With no carrier (BallCarrier names no
// player) they only clear the one-frame touch alarm. The countdowns they set
// are the timer step's to run down.

// Before sampling, whichever book is in use: the touch alarm (TouchDanger,
// one frame, not again while TouchDangerTimer runs), the scan for the free
// defender who closes on the carrier soonest (every 0.1 s, not in the first
// running frame; busy defenders count as standing still; sets
// NearestClosing, NearestDefender and SearchFlag), the alarm's second rule,
// and the reset of both books' ResampleTimer when NearestClosing crosses
// ClosingThreshold.
void RunSharedCarrierGuards(TWorld& W);

// The guards of the side in possession, in its book: whether sampling is
// allowed in this frame (not while a run dead or run in is current, nor
// during a dive), the run-in check (SearchFlag2, reading SearchFlag as the
// steps before left it), the run in over the try line and the run dead in
// the own in-goal. False in the first running frame and with no carrier.
bool RunSideCarrierGuards(TWorld& W);

// After the sampling pass: when time is up and the book's best outcome
// neither gains 7 m nor reaches the try line, the carrier kicks for touch
// (first half: from his own half, from inside his 22 when more than 7
// behind; second half: when leading, or level in his own half). Three draws
// when he kicks (angle, elevation), none otherwise.
void RunTimeUpKick(TWorld& W);

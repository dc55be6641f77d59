// Frame step 6: decisions of the side in possession. A call point until decision making lands.
#pragma once

#include "core/TypeDefs.h"

void Strategy(TWorld& W);

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

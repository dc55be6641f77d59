// A pass in flight, part of the timer step in passing: the defenders' two
// reaction delays and their one interception try, the receiver's one re-aim
// (match world only), the planned arrival with the loose-ball reaction
// draws, the arming of the receiver's catch 0.28 s before the arrival, and
// the chase of a pass not caught by then. The call points are declared in
// motion/DelayPlayersUnit.h. The catch itself is the passing contact step's.
// Allocates and logs nothing; runs on the match and on the look-ahead copy.
#pragma once

#include "core/Interception.h"
#include "core/TypeDefs.h"

// Height class of a catch for the catch animation: 3 when the ball at
// height Y (m) is above 0.9 x the catcher's height H, 1 above 0.4 x H, else 2.
i32 CatchHeightClass(double Y, double H);

// Where P first reaches the ball in flight (BallPos moving with PassVel)
// within MaxTime, accelerating and slowed by his turn: 0.9 x CatchReach,
// ball below 0.95 x his height, the world's CatchSearchStep.
TCatchResult PassCatchPoint(const TWorld& W, const TPlayer& P, double MaxTime);

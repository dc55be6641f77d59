// The ball going loose in a contact step: the entry into "freeball" and the
// relaunch of a free ball from where it is. Both work on the world they are
// given (the match or the look-ahead copy).
#pragma once

#include "core/KickSolving.h"
#include "core/TypeDefs.h"

// "freeball" from its first frame: FreeBallPhase, BallPhase 1, the flight
// clock 0, no bounce pending, no carrier, QuickResampleTimer 0; every
// player's ContactTimer row and BallTouchLockTimer cleared (both blocks);
// both StrategyTimers 0; both blocks' chasers cleared, block 1 sending 2 and
// block 2 sending 3; the chase timers (FreeBallPlanTimer,
// FreeBallPointsTimer) 0. The flight of the ball is the caller's.
void EnterFreeBall(TWorld& W);

// The chase of a new free ball: both StrategyTimers 0, both blocks' chasers
// cleared, block 1 sending 2 and block 2 sending 3, FreeBallPlanTimer and
// FreeBallPointsTimer 0.
void ResetFreeBallChase(TWorld& W);

// A free ball launched anew from BallPos with Launch (loose-ball flight,
// 0.02 s steps): BallPhase 1, the flight clock and both chase timers 0.
void RelaunchFreeBall(TWorld& W, const TLaunchParams& Launch);

// z where the flight just launched comes down (its last step when it never
// lands), less z at its launch (m).
double FlightLandingGain(const TWorld& W);

// Whether player P stands more than 0.2 m inside touch and inside the ends of
// both in-goals: only there is a forward touch of the ball a knock-on.
bool InsideKnockOnMargin(const TWorld& W, const TPlayer& P);

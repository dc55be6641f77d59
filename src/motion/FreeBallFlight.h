// The flights of a ball that no one holds, for the ball update: a pass in
// flight and a lineout throw (no drag, from PassVel), and a free ball that
// walks the world's flight table, bounces into a new loose flight when it
// comes down and rolls once it is slow and flat. Each sets the ball's spin,
// yaw and pitch for the viewer; the pass and the free ball also set the
// carry-back flags of the blocks.
//
// The caller has already stored BallPos in PrevBallPos and the three angles
// in their Prev fields. Works on the world it is given (the match or the
// look-ahead copy); allocates nothing and logs nothing.
#pragma once

#include "core/TypeDefs.h"

// A pass in flight (game state "passing"): one frame along PassVel with
// gravity 9.81 m/s/s, spiral or tumbling spin (one draw), then the carry
// flags, with the ball of a gottackled frame held in the own in-goal.
void FlyPass(TWorld& W);

// A lineout throw with no carrier: one frame along PassVel with Gravity and
// spiral spin (one draw); no carry flags.
void FlyLineoutThrow(TWorld& W);

// A free ball (game state "freeball", and "transition" while no one holds
// the ball): rolls, or walks the flight table; when the flight comes down
// (its last step reached, or reached within half a frame) it starts to roll
// (landing speed <= 1.5 m/s and |vy| <= 1.2 m/s) or bounces into a new loose
// flight (VelocityToLaunchWithError with BounceErrors, 0.02 s steps). In
// "freeball" the carry flags follow.
void FlyFreeBall(TWorld& W);

// The handler of game state freeball (4): a kicked ball in flight, a ball
// bouncing after it lands, or a loose ball rolling. Called by
// SetDesiredPosition in every match and look-ahead frame; it allocates and
// logs nothing.
//
// Every frame, in this order:
// - FreeBallPlanTimer loses a time step;
// - on the first frame (FreeBallPhase 1) the set-up: the chasers, sweeper and
//   covers are cleared, every player draws a waiting spot near the landing
//   point and a reaction time (RunningAngleReactionTime.value) that grows with
//   his distance from the ball, and each block is spread across the pitch
//   (LineSlot, at least 7 m apart, ordered by x in FreeDefendersList);
// - the eight sample points of the ball's path (FreeBallPoints, their flight
//   times and the time left to each), rebuilt when the ball starts a new
//   flight, after 10 s of one flight, or every 0.15 s of roll;
// - every 0.25 s the re-plan: the race for the key point (the first marked
//   point of a high ball), each player's target point and reach time, and
//   the chasers of each block (ChaserSlots 1..ChaserCount, quickest first);
//   a ball that ends more than 3 m beyond a dead-ball line or 5 m beyond a
//   touchline is out of play and puts the re-plan off;
// - everybody's place: the spread line at the depth of the block's shape,
//   block 1's sweeper (DeepPlayerNumber) and flank covers behind the ball,
//   block 2's covers ahead of it, offside players held back, reacting players
//   running on; on the second frame every action sequence ends (phase 3);
// - the chasers, unless the ball is out of play: the lead on his point, the
//   followers beside and behind it, block 2's cover of an in-goal it may
//   lose, and each chaser's ChaseSpeed for the desired-speed step; a chaser
//   still reacting walks towards his waiting spot;
// - a user's player (real-time mode only) through ApplyUserControl, block 2
//   then block 1;
// - the forced movements of tackles: slides and lunges.
// Catching, touching and ending the state belong to the contact steps.
#pragma once

#include "core/TypeDefs.h"

void DoFreeBall(TWorld& W);

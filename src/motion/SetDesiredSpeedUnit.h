// Frame step 11: the speed every player of both blocks tries to reach this
// frame. Block 1 holds the side in possession, block 2 the defence; the
// carrier is block 1's BallCarrier, the receiver block 1's PassReceiver.
//
// The step runs in stages, a later stage overwriting an earlier one:
//  1. a speed by game state (support runners near the ball, the defending
//     line, set pieces, restarts, try celebrations, special actions);
//  2. block 1's arrival-time rule: a player within 100 m of his DesiredPos
//     runs at DistToDesired / T, T chosen by game state, held between
//     0.65 x JogSpeed and maxspeed;
//  3 - 7. block 1's speed overrides, free-ball chaser caps, the cap at
//     maxspeed, sequence and block speeds, the pass receiver's run speed;
//  8. block 2's arrival-time rule, with the chase and tackled tables;
//  9 - 11. block 2's edge players and chasers, the cap at maxspeed,
//     sequence, full-speed and block speeds;
// and last a user-controlled player's speed from ApplyUserControl.
#pragma once

#include "core/TypeDefs.h"

// Writes desiredspeed of every player 1..PlayersPerTeam of both blocks and
// nothing else, except that block 2's DefenceLineSpeed is raised to at least
// 1.0 m/s in place. Reads DistToDesired as the acceleration step left it in
// the previous frame. Player numbers held in the world (carrier, receiver,
// set-piece holder, kicker, chasers, edge players) that name no player
// record are treated as none; the free ball reads the flight's last step
// (FlightSegments) and its landing step, each held to the steps the flight
// has filled.
void SetDesiredSpeed(TWorld& W);

// The ball holder in a maul. The side in possession stands bound in the ten
// places of its PackSpots (group B, place 1 at the front); block 1's
// BallCarrier holds the ball. While the pack stands nearly still the ball
// moves from player to player inside the maul, or is passed out to the line
// or the support grid from the back, or the carrier breaks off with it.
//
// A player can take the ball when his place is filled and his RuckRole is
// 63; the holder's is 65. A transfer gives the ball to that player: the old
// holder goes back to 63 (the first holder, at the front, too), and
// MaulPassTimer (0.4..0.999 s, counted down by the maul handler) holds the
// ball there before the next.
//
// The decision step runs MaulStrategy in the maul state; no match enters
// that state today. Everything is read and written through the world given; a carrier,
// holder, receiver or place occupant outside 1..PlayersPerTeam reads no
// record. Nothing allocates or logs.
#pragma once

#include "core/TypeDefs.h"

// Decision step in maul: MaulBallCarrier while block 1's DecisionsOn is set.
void MaulStrategy(TWorld& W);

// From MaulPhase 2 with a carrier, in order:
// - MaulCarrierSlot, the carrier's place (0 when in none);
// - option draw (pack below 0.8 m/s forward, MaulPassTimer out, phase 2,
//   holder not committed): weights 50 for a transfer back (1) or to either
//   side (2, 3) when that place can take, 70 for a pass to the left line,
//   left support, right line or right support (4 to 7) from a back place,
//   70 for a break-off (8) from a back place with nobody behind; one draw;
// - the transfer of options 1 to 3 (a draw above 500 between two places
//   for option 1, then the timer draw);
// - the carrier's movement to his spot at his top speed (|PackVelocityZ| +
//   3 m/s while his pass is wound up), facing up-field, or back for role 64;
// - the break-off to running (option 8), with the line, the sampler, the
//   defence's read delays and both packs' release delays renewed;
// - the pass choice of options 4 to 7: the holder commits, MaulPhase 3;
// - in MaulPhase 4, holder and receiver on their spots (0.3 m, 0.1 m), the
//   pass out: a line receiver runs at up to a quarter of his top speed at
//   45..90 (left) or 90..135 degrees (right), a support receiver straight
//   at his top speed; the holder's release time drawn for the side;
// - while the holder's pass is wound up, the line's profile values;
// - while the carrier's is, he runs along PasserRunAngle at PasserSpeedRef;
// - the heading's turn towards the facing.
void MaulBallCarrier(TWorld& W);

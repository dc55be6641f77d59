// The held ball carrier in running play, stages of the running contact step
// that run after the off-ball holds and before the entry into "gottackled":
// the offload and join windows counted down, the carrier's choice to go to
// ground early, holders settling at their contact points, and the tackled
// carrier and his holders taken to ground once the tackle is complete.
// Block 1's carrier is Carrier (1..N, checked by the caller); block 2 holds
// the tacklers (governedby = Carrier). Each stage works on the world it is
// given; only the run-log lines differ in the look-ahead copy (none there).
#pragma once

#include "core/TypeDefs.h"

// While the carrier is held: the offload window (block 1 OffloadTime) and the
// join window (TackleJoinTime) lose TimeStep (an offload window run out
// clears OffloadPending and PassTimeLeft); the carrier may decide to go to
// ground (GoToGroundDecided), which shortens the join window by a draw of his
// GoToGroundDist (two draws); once the join window is over no more tacklers
// may join (TacklersWanted := numgoverning).
void CountHeldCarrier(TWorld& W, int Carrier);

// While the carrier is held and the tackle is not complete, each holder
// within 0.1 m of his contact point on the carrier's footprint starts the
// holding loop (TackleAttemptKind 0) facing that point's PointHeadings
// entry. A holder without a contact point is left alone. Draws nothing.
void SettleHolders(TWorld& W, int Carrier);

// When the tackle is complete (carrier on the ground, no mark, no offload
// window, all wanted tacklers holding, no pass running or the join window
// over) and the carrier still stands: he falls forward (GettingTackledKind
// 1) or backward (2) along TackleHeading, OffloadBlockTimer := 0.25 s, his
// holders fall by their points, and a running dive, try-line dive or
// loose-ball dive turns into a fall. The loose-ball case writes two run-log
// lines "looseball dive " on the match world. Draws nothing.
void TakeCarrierToGround(TWorld& W, int Carrier);

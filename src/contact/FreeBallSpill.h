// What happens to a free ball that a catcher fails to hold (a spill), that a
// chaser kicks on (catch kind 8), or that strikes a player outside a catch (a
// deflection): the ball is relaunched from where it is, the touch flags of
// the kicked ball are brought up to date, and a forward spill or deflection
// inside the field enters a knock-on. Block 1 attacks towards +z. Each works
// on the world it is given (match or look-ahead copy) and allocates and logs
// nothing.
#pragma once

#include "core/TypeDefs.h"

// Block Block's catcher (FreeBallCatcher) fails to hold the ball: it leaves
// at 5 m/s, level, along his FreeBallCatchFacing, or, for block 1's kind 8,
// is kicked on at 10 degrees (speed from the chosen distance ahead, the
// bounce errors reset). A forward spill (heading strictly within 5..175
// degrees for block 1, 185..355 for block 2) inside the knock-on margin
// enters a knock-on; kind 8 never does. A catcher outside 1..25 spills
// nothing.
void SpillFreeBall(TWorld& W, int Block);

// The ball strikes FreeBallToucher of either block: it is relaunched along
// its flight velocity with the deflection errors (HeadDistributions 1..3);
// a toucher in a catch action marks the ball played (touch flags,
// BlocksSwapped) and, outside kind 8 for block 1, is judged for a knock-on.
// With two touchers in catch actions a draw keeps one. Both touchers are
// cleared afterwards.
void DeflectFreeBall(TWorld& W);

// The handler of game state lineout (9), called by SetDesiredPosition: a
// machine of phases (LineoutPhase) that sets the lineout up once, walks both
// lines of forwards and the throwers into place, binds the lifters, computes
// and releases the throw and sends each jumper up, with his lifters, a fixed
// time before the ball arrives while his receiver moves under him. From
// phase 2 on it also places both back lines, block 1's support cells and
// block 2's sweeper every frame. The contact step decides the contest and
// leaves the state; this handler never changes it.
#pragma once

#include "core/TypeDefs.h"

// One frame of the lineout. Counts down LineoutCountdown and both blocks'
// ThrowTimeLeft, then runs the phases in increasing order, so a phase that
// advances lets the next run in the same frame (0, 1 and 2 together on the
// first frame). Draws in a fixed order; no allocation, no log. Block 2's
// players go through ApplyUserControl last.
void DoLineout(TWorld& W);

// Block 1's back line L (the receiver in slot 101) with player 10 moved next
// to the receiver on the infield side: he swaps with the player nearest the
// centre there always for play options 3 to 7, else on a roll below 500;
// after a swap, on a second roll below 500, the displaced player swaps with
// the next player further out (when 10 stood on the infield side). Nothing
// changes, and nothing is drawn, without 10 on the line or an infield
// player, or with 10 already next to the receiver.
TSlotLine PlaceFlyHalfByReceiver(const TWorld& W, TSlotLine L);

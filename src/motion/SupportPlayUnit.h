// Frame step 9: support runners. In running and passing, a player called up
// as a support runner (the line-break call of the bookkeeping step) is sent
// on a scripted run to a point on his side's line 2 to 7 m beside the ball
// carrier or the pass receiver. The action-sequence runner plays the runs.
#pragma once

#include "core/TypeDefs.h"

// Block 1's called players 1..PlayersPerTeam in index order, in running and
// passing only. A called player who is the carrier (running) or the receiver
// (passing), or who already runs a sequence, keeps his call; the others lose
// it and, when there is a carrier or receiver, get a type-14 run to
// TargetX beside him, kept 0.8 m inside touch. Draws: the side roll for
// every run started, and one or two run lengths (a stay that comes within
// 3 m of him becomes a cross with a new length).
void SupportPlay(TWorld& W);

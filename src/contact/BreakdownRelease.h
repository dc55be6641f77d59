// How the players held in a breakdown leave it when play runs again: the
// packs break up in waves and every tackle still in force ends. Shared by the
// breakdown releases (decision), the end of the pass run-out (motion) and the
// try (flow). Both work on the world they are given.
#pragma once

#include "core/TypeDefs.h"

// Both packs break up: release delays of each block's bound spots by
// StaggeredRandomDelays (block 1 first), then every player with RuckTimer
// running leaves: RuckTimer2 := his bound spot's delay unless his RuckRole
// is FreeRoleA or FreeRoleB, and RuckTimer := 0.
void ReleaseBoundPlayers(TWorld& W, f32 FreeRoleA, f32 FreeRoleB);

// Block's player i, when a tackle of his is still in force (a running
// GettingTackledTimer or TackleAttemptTimer of a kind other than 3 to 8),
// stays down until After s (OldTackleTimer, facing from the tackle, the
// attempt's overriding) and leaves the tackle and its contact links; a block
// 2 player clears his side's pressure timers too. With SetPosture the facing
// of a tackled player is his GettingTackledFacing and GroundPosture is set
// (2 on his back for kind 2, else 1); without, his GettingTackledAngle.
void EndRunningTackle(TWorld& W, int block, i32 i, f32 After, bool SetPosture);

// Restart delays and the end of each half, both called by the transition
// handler once play has stopped.
#pragma once

#include "core/TypeDefs.h"

// Prepares the pending restart (PendingGameState, RestartKind): its delay on
// the match clock, restart type and kicker, lineout or scrum mark.
void SetRestartDelay(TWorld& W);

// Block 1's place kicker for a penalty at goal or a conversion: the first
// player 1..PlayersPerTeam not Unavailable with the smallest
// GoalKickDeviation2, or Fallback when every one is.
i32 BestGoalKicker(const TWorld& W, i32 Fallback);

// At the end of the first half: teams change ends, players recover, match
// team 2 kicks off. At the end of the second: full time.
void HandleHalfTime(TWorld& W);

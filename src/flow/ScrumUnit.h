// The handler of game state scrum (7): both packs bind round the mark, the
// engagement is called, block 1's scrum-half feeds, the packs push by their
// scrummaging power, the feed may be lost against the head and the scrum may
// collapse; every frame the backs of both sides are placed. A machine of
// phases in ScrumPhase (0 to 10); the scrum-half's play ends the state.
// Called by SetDesiredPosition; runs in the look-ahead, allocates nothing.
#pragma once

#include "core/TypeDefs.h"

void DoScrum(TWorld& W);

// Per mille chance that block 2 wins the feed against the head: 0 unless
// its pack is the stronger, then 1 + 75 for each quarter of push per unit of
// pack mass beyond the first, up to 301.
i32 ScrumFeedLossChance(const TWorld& W);

// Per mille chance of a collapse at a roll: |PackVelocityZ| x 275 when the
// scrum moves faster than 0.25 m/s towards the weaker pack, else 0.
double ScrumCollapseChance(const TWorld& W);

// Replacements from the bench at a stoppage, and the players' profile draw.
#pragma once

#include "core/TypeDefs.h"

// Swaps every player on the field who must leave (Unavailable with
// UnavailableKind 1) with the best available bench player, Teams[1] first,
// then Teams[2]. The newcomer starts fresh on the touch line at halfway;
// each swap posts msgPlayerOff and msgPlayerOn.
void ResetPlayersForRestart(TWorld& W);

// Draws the profiles of categories 1 to 4 into entries 2 to 5 (entry 1 is
// left alone). Four draws.
void ChooseRandomProfile(Arr1<u16, 5>& ProfileChoice);

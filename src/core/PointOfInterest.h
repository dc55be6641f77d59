// The spot the play centres on.
#pragma once

#include "core/TypeDefs.h"

// Sets PointOfInterest and PointOfInterestRadius for the game state, kept
// within 2 m of the touchlines and 10 m of the ends of the pitch.
void SetPointOfInterest(TWorld& W);

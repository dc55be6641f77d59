// The spot the play centres on, the measured velocities of frame step 17 and
// the empty frame step 12.
#pragma once

#include "core/TypeDefs.h"

// Sets PointOfInterest and PointOfInterestRadius for the game state, kept
// within 2 m of the touchlines and 10 m of the ends of the pitch.
void SetPointOfInterest(TWorld& W);

// Does nothing; it keeps its place in the fixed order of frame steps.
void EmptyFrameStep(TWorld& W);

// Every player's velocity from the distance he moved in the frame; the speed
// measured from the previous frame's velocity, so it lags one frame behind.
void UpdatePlayerVelocities(TWorld& W);

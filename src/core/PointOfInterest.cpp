#include "core/PointOfInterest.h"

void EmptyFrameStep(TWorld& W) { (void)W; }

void UpdatePlayerVelocities(TWorld& W) { (void)W; }


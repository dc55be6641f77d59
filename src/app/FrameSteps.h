// The engine's frame steps in their fixed order: app fills the table that
// hooks/FrameSteps.h declares (and the user-control hooks), since only app
// sees every subsystem. The look-ahead runs the same table on its copy of
// the world, from the decision step on.
#pragma once

#include "hooks/FrameSteps.h"

// Fills the hooks below the subsystems with app's own: the engine's steps in
// FrameSteps (ResetFrameSteps) and the user-control hooks (UDPUserControl,
// ApplyUserControlOfUser). The program calls it at start-up; a test or tool
// process that plays frames without the program's start-up calls it before
// its first frame.
void InstallEngineHooks();

// Puts the engine's own steps back into every entry of FrameSteps.
void ResetFrameSteps();

// Start-up, the frame driver and the end of the run.
#pragma once

#include "core/Arrays.h"
#include "core/RunContext.h"

// The run's globals beside the run context.
extern f32 ElapsedSimTime;
extern f32 MaxSimTime;
extern bool32 MaxTimeIsDefault;
extern bool32 SimCrashed;
extern bool32 SimFinished;
extern i32 UDPListenPort;
extern i32 UDPSendPort;
extern i32 ViewerMessagesSent;
extern f32 OneShotTimeStep;
extern bool32 SkipCarriedBallPlacement;

// The form's creation handler: everything that runs once before the first
// frame. Raises when the match cannot be set up.
void FormCreate();

// The idle callback: at most one frame per call, then the end tests.
void ApplicationIdle(bool& Done);

// The whole program: start-up, the frames, the finish. Returns the exit
// status: 0 after "ThisSimHasNoErrors", 1 after "ThisSimHasErrors", 2 when
// the start-up or the finish failed.
int RunProgram();

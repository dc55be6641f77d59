// The frame steps in their fixed order, and their runner. The table lives
// here, below the subsystems, so that the look-ahead (decision) runs it on
// its copy of the world without including app; app fills it with the
// engine's steps at start-up (InstallEngineHooks and ResetFrameSteps in
// app/FrameSteps.h, where the order is fixed). Until then every entry is
// empty: a process that plays frames installs the hooks first.
#pragma once

#include <array>

#include "core/TypeDefs.h"

using TFrameStep = void (*)(TWorld& W);

struct TFrameStepEntry {
  const char* Name;
  TFrameStep Step;
};

constexpr int kFrameStepCount = 23;
// Positions (1-based) of the steps that the driver and the look-ahead treat
// specially; a static_assert beside the engine's table ties each to its step.
constexpr int kStepCollisionDetect = 4;  // the last of the first-step, offside and contact steps
constexpr int kStepUserControl = 5;
constexpr int kStepStrategy = 6;
constexpr int kStepUpdatePlayerFootprints = 7;  // the first step after the decisions
constexpr int kStepBallUpdate = 21;             // the last movement step
constexpr int kStepUpdateStats = 22;
constexpr int kStepPostStatMessages = 23;

// Entry 0 is unused. Tests may replace an entry; ResetFrameSteps puts the
// engine's own steps back.
using TFrameStepTable = std::array<TFrameStepEntry, kFrameStepCount + 1>;
extern TFrameStepTable FrameSteps;

// Frame step 12: does nothing; it keeps its place in the fixed order.
void EmptyFrameStep(TWorld& W);

// Frame step 5: in real-time mode the human users' control
// (UserControlHooks.Step, on the match world); nothing otherwise. It takes no
// world of its own.
void UserControlStep(TWorld& W);

// A profiler's runner of steps: it must call entry.Step(W) once. Null in a
// normal run; the match benchmark sets it to time every step it runs, in
// the match world and on the look-ahead copies.
using TStepRunner = void (*)(const TFrameStepEntry& entry, TWorld& W);
extern TStepRunner StepRunner;

// Runs one step on W (through StepRunner when one is set); a floating-point
// error inside it raises. Debug builds first poison W's shared scratch
// (PoisonScratch).
void RunFrameStep(const TFrameStepEntry& entry, TWorld& W);

// Runs the steps First..Last of FrameSteps on W in order, as RunFrameStep
// runs each; without a StepRunner, a step with nothing to do this frame (the
// empty step, the user-control step out of real-time mode) is passed over.
void RunFrameSteps(TWorld& W, int First, int Last);

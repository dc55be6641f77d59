// The frame steps in their fixed order. The look-ahead runs the same table
// on its copy of the world, from the decision step on.
#pragma once

#include <array>

#include "core/TypeDefs.h"

using TFrameStep = void (*)(TWorld& W);

struct TFrameStepEntry {
  const char* Name;
  TFrameStep Step;
};

constexpr int kFrameStepCount = 23;
// Positions (1-based) of the steps that the look-ahead treats specially.
constexpr int kStepUserControl = 5;
constexpr int kStepStrategy = 6;
constexpr int kStepUpdateStats = 22;
constexpr int kStepPostStatMessages = 23;

// Entry 0 is unused. Tests may replace an entry; ResetFrameSteps puts the
// engine's own steps back.
using TFrameStepTable = std::array<TFrameStepEntry, kFrameStepCount + 1>;
extern TFrameStepTable FrameSteps;

void ResetFrameSteps();

// Runs one step on W; a floating-point error inside it raises.
void RunFrameStep(const TFrameStepEntry& entry, TWorld& W);

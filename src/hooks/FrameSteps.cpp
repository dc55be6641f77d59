#include "hooks/FrameSteps.h"

#include "core/FloatGuard.h"
#include "core/ScratchPoison.h"
#include "core/UDPRealtime.h"
#include "hooks/UserControl.h"

TFrameStepTable FrameSteps = {};
TStepRunner StepRunner = nullptr;

void EmptyFrameStep(TWorld& W) { (void)W; }

void UserControlStep(TWorld&) {
  if (UDPRealtime.Active && UserControlHooks.Step != nullptr) UserControlHooks.Step();
}

namespace {

// A step that does nothing this frame: the empty step, and the user-control
// step out of real-time mode. It does no float operation, so the flags are
// as clear after it as before, and it writes nothing; a run of steps passes
// it over without the call and the flag read after it (a read that waits for
// the float operations of the step before). A profiler's runner still gets it.
bool IdleStep(const TFrameStepEntry& entry) {
  return entry.Step == EmptyFrameStep || (entry.Step == UserControlStep && !UDPRealtime.Active);
}

// One step, its scratch poisoned first in debug builds.
void CallStep(const TFrameStepEntry& entry, TWorld& W) {
#ifndef NDEBUG
  // Scratch is written before it is read within a step; poisoned, a step
  // that reads it first fails.
  PoisonScratch(W);
#endif
  if (StepRunner == nullptr)
    entry.Step(W);
  else
    StepRunner(entry, W);
}

// The error flags a step of a run can leave. Float and double arithmetic
// compile to SSE and the engine's code has no x87 instruction; the library
// functions the steps call (libm's double functions, number formatting) raise
// their errors through SSE as well: the x87 word is written only by long
// double code and by feraiseexcept's overflow, which none of them takes. So
// after each step of a run only the SSE register is read (the x87 read costs
// twice as much, and both wait for the step's float operations), and the run
// reads the x87 word once at its end, so an error there still raises.
int RaisedStepFlags() {
#if defined(__x86_64__) && defined(__SSE2__)
  return static_cast<int>(_mm_getcsr() & static_cast<unsigned>(kFloatErrorFlags));
#else
  return RaisedFloatFlags(kFloatErrorFlags);
#endif
}

}  // namespace

void RunFrameStep(const TFrameStepEntry& entry, TWorld& W) {
  ClearFloatFlags();
  CallStep(entry, W);
  CheckFloatFlags(entry.Name);
}

void RunFrameSteps(TWorld& W, int First, int Last) {
  // A step whose check passed leaves no error flag set, and nothing runs
  // between two steps, so only the first needs clearing: reading the flags
  // waits for every float operation in flight, twice a step otherwise.
  ClearFloatFlags();
  const char* last = nullptr;
  for (int i = First; i <= Last; ++i) {
    const TFrameStepEntry& entry = FrameSteps[i];
    if (StepRunner == nullptr && IdleStep(entry)) continue;
    CallStep(entry, W);
    if (RaisedStepFlags() != 0) CheckFloatFlags(entry.Name);
    last = entry.Name;
  }
  if (last != nullptr) CheckFloatFlags(last);
}

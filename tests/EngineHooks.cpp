// A test or benchmark process plays frames without the program's start-up:
// it installs the engine's hooks (the frame-step table, the user-control
// hooks) itself, before the first test or benchmark runs. engine_bench
// compiles this file too.
#include "app/FrameSteps.h"

namespace {
[[maybe_unused]] const bool kHooksInstalled = (InstallEngineHooks(), true);
}  // namespace

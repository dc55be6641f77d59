#include "flow/GotTackledUnit.h"

#include "flow/BreakdownSetup.h"
#include "flow/SetDesiredPositionUnit.h"

void DoGotTackled(TWorld& W) {
  RunStateHandler(W, W.GotTackledPhase, SetUpBreakdown, [](TWorld&) {});
}

#include "flow/GotTackledUnit.h"

#include "flow/BreakdownSetup.h"
#include "flow/SetDesiredPositionUnit.h"
#include "flow/TackledUnit.h"

void DoGotTackled(TWorld& W) {
  TackledBookkeeping(W);
  RunStateHandler(W, W.GotTackledPhase, SetUpBreakdown, TackledFrame);
}

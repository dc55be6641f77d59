#include "flow/SetDesiredPositionUnit.h"

#include "flow/FreeBallUnit.h"
#include "flow/GotTackledUnit.h"
#include "flow/KickRestartSetUnit.h"
#include "flow/LineoutUnit.h"
#include "flow/PassingUnit.h"
#include "flow/RunningUnit.h"
#include "flow/ScrumUnit.h"
#include "flow/TransitionUnit.h"
#include "flow/TryScoredUnit.h"

namespace {

constexpr TStateHandlerTable MakeEngineHandlers() {
  TStateHandlerTable t{};
  t[gsRunning] = DoRunning;
  t[gsPassing] = DoPassing;
  t[gsGotTackled] = DoGotTackled;
  t[gsFreeBall] = DoFreeBall;
  t[gsScrum] = DoScrum;
  t[gsKickRestartSet] = DoKickRestartSet;
  t[gsLineout] = DoLineout;
  t[gsTryScored] = DoTryScored;
  t[gsTransition] = DoTransition;
  return t;
}

constexpr TStateHandlerTable kEngineHandlers = MakeEngineHandlers();

}  // namespace

TStateHandlerTable StateHandlers = kEngineHandlers;

void ResetStateHandlers() { StateHandlers = kEngineHandlers; }

void SetDesiredPosition(TWorld& W) {
  if (W.gamestate >= StateHandlers.size()) return;
  const TStateHandler handler = StateHandlers[W.gamestate];
  if (handler != nullptr) handler(W);
}

#include "contact/GeneralCollisionUnit.h"

#include "contact/ContactSteps.h"
#include "core/Advantage.h"

namespace {

constexpr TContactStepTable kEngineContactSteps = [] {
  TContactStepTable t{};
  t[gsRunning] = RunningContact;
  t[gsPassing] = PassingContact;
  t[gsGotTackled] = RuckContact;
  t[gsFreeBall] = FreeBallContact;
  t[gsScrum] = ScrumContact;
  t[gsKickRestartSet] = KickRestartContact;
  t[gsLineout] = LineoutContact;
  t[gsTryScored] = TryScoredContact;
  t[gsTransition] = TransitionContact;
  return t;
}();

}  // namespace

TContactStepTable ContactSteps = kEngineContactSteps;

void ResetContactSteps() { ContactSteps = kEngineContactSteps; }

void TryScoredContact(TWorld&) {}

void GeneralCollision(TWorld& W) {
  W.Teams[1].NoAdvantageFlag = kFalse32;
  W.Teams[2].NoAdvantageFlag = kFalse32;
  const TGameState state = W.gamestate;
  if (state < ContactSteps.size() && ContactSteps[state] != nullptr) ContactSteps[state](W);
  W.AdvantageHoldTimer = ToF32(static_cast<double>(W.AdvantageHoldTimer) - W.TimeStep);
  W.AdvantageTimer = ToF32(static_cast<double>(W.AdvantageTimer) - W.TimeStep);
  UpdateAdvantage(W);
}

#include "contact/ContactHolds.h"
#include "contact/ContactSteps.h"
#include "contact/HeldCarrier.h"
#include "contact/RunningStoppages.h"
#include "contact/TackleContest.h"

// The stages in their order: the tackle contest (start, launches, contacts),
// the holds off the ball with the falls of the held and the dives that found
// nobody, the held carrier, the entry into gottackled, then the tries and
// stoppages.
void RunningContact(TWorld& W) {
  StartTackleContest(W);
  LaunchTackleAttempts(W);
  ContestCarrierContacts(W);
  const int carrier = RunningCarrier(W);
  THoldRules holds;
  holds.ExcludedTarget = carrier;
  HoldFallAndMissDives(W, holds, carrier);
  if (carrier != 0) {
    CountHeldCarrier(W, carrier);
    SettleHolders(W, carrier);
    TakeCarrierToGround(W, carrier);
  }
  EnterGotTackled(W);
  SettleTriesAndStoppages(W, carrier);
}

#include "contact/ContactHolds.h"
#include "contact/ContactSteps.h"
#include "contact/HeldCarrier.h"
#include "contact/RunningStoppages.h"

namespace {

// Block 1's carrier, or 0 when the number names no player on the field.
int CarrierOnField(const TWorld& W) {
  const int c = W.Teams[1].BallCarrier;
  return c >= 1 && c <= PlayerCount(W) ? c : 0;
}

}  // namespace

void RunningContact(TWorld& W) {
  const int carrier = CarrierOnField(W);
  // Off the ball: holds, the falls of the held, dives that found nobody.
  THoldRules holds;
  holds.ExcludedTarget = carrier;
  HoldOffBallTargets(W, holds);
  FallHeldPlayers(W);
  EndMissedDives(W, carrier);
  // The held carrier.
  if (carrier != 0) {
    CountHeldCarrier(W, carrier);
    SettleHolders(W, carrier);
    TakeCarrierToGround(W, carrier);
  }
  SettleTriesAndStoppages(W, carrier);
}

#include "motion/ReleaseTackle.h"

#include <algorithm>

#include "core/Geometry.h"
#include "core/Random.h"

namespace {

double FallDraw() { return RandomRange(300, 701) / 1000.0; }            // s
double TackledTimeDraw() { return RandomRange(450, 551) / 1000.0; }     // s

// Block 2's tackle momentum put on C, who stands held until his fall.
void HoldCarrier(TTeamBlock& D, TPlayer& C) {
  D.TackleSpeed = static_cast<f32>(std::min<double>(D.TackleSpeed, kReleaseTackleSpeedCap));
  C.ForcedRunTimer = 0.0f;
  C.ForcedRunAngle = D.TackleHeading;
  C.ForcedRunSpeed = D.TackleSpeed;
  C.ImpactSpeed = D.TackleSpeed;
  C.ImpactAngle = D.TackleHeading;
  C.ImpactMass = D.TackleMass;
  C.GettingTackledSpeed = C.ImpactSpeed;
  C.GettingTackledAngle = C.ImpactAngle;
  C.DesiredPos = C.Pos;
  C.GettingTackledKind = 0.0f;
  C.GettingTackledTimer = kReleaseTackleHold;
  C.passtimer = 0.0f;
  C.KickTimer = 0.0f;
}

}  // namespace

i32 FallReleasedCarrier(TWorld& W, TPlayer& C, bool Forward, i32 SlotWhenNone) {
  TTeamBlock& D = W.Teams[2];
  HoldCarrier(D, C);
  C.GettingTackledKind = Forward ? kCarrierFallsForward : kCarrierFallsBack;
  C.GettingTackledFacing = Forward ? C.ImpactAngle : ToF32(static_cast<double>(C.ImpactAngle) + 180.0);
  D.CarrierFallsForward = Flag(Forward);
  C.GroundTime = ToF32(FallDraw());
  C.GettingTackledTimer = ToF32(TackledTimeDraw());

  W.ScratchCircle = PointsOnCircle(0.0f, 0.0f, 1.0f);
  for (bool32& f : W.ScratchCircleFlags) f = kFalse32;
  const TVector2 impact = HeadingVector(C.ImpactAngle);
  i32 slot = NearestFreeCirclePoint(W.ScratchCircle, W.ScratchCircleFlags, impact.x, impact.z);
  if (slot == 0) slot = SlotWhenNone;
  D.ImpactSlot = slot;
  for (i32& s : D.ImpactSlotFree) s = -1;
  if (slot >= 1 && slot <= 8) {
    D.ImpactSlotFree[slot] = 0;
    D.ImpactSlotFree[std::min(slot + 1, 8)] = 0;
    D.ImpactSlotFree[std::max(slot - 1, 1)] = 0;
  }
  return slot;
}

bool TacklerFallsAway(const TTeamBlock& D, const TPlayer& T) {
  return !Arr1<i32, 8>::InRange(T.ContactPoint) || D.ImpactSlotFree[T.ContactPoint] != 0;
}

double FallWithCarrier(TPlayer& T, const TPlayer& C, bool Away) {
  T.TackleAttemptKind = Away ? kTacklerFallsAway : kTacklerFallsAtImpact;
  T.TackleAttemptAngle = Away ? C.ImpactAngle : ToF32(static_cast<double>(C.ImpactAngle) + 180.0);
  T.TackleAttemptFacing = T.TackleAttemptAngle;
  return Away ? static_cast<double>(C.GroundTime) - FallDraw() : static_cast<double>(C.GroundTime) + FallDraw();
}

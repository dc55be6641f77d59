#include "decision/CarrierLookups.h"

#include "core/Geometry.h"
#include "core/Random.h"

#include <cmath>

bool FreeOfOtherActions(const TWorld& W, const TPlayer& C) {
  if (!(C.passtimer <= 0)) return false;
  if (!(C.passcatchtimer <= 0) && W.Teams[1].ActOnCatchAllowed != 1) return false;
  for (f32 t : {C.DiveTimer, C.standuptimer, C.BreakTackleTimer, C.GettingTackledTimer, C.freeballcatchtimer,
                C.ForcedRunTimer, C.StepTimer}) {
    if (!(t <= 0)) return false;
  }
  return !(C.SpecialAnimTimer > 0 && C.SpecialAnimKind == 3.0f);
}

void RunFromOldPos(const TWorld& W, TPlayer& C, f32 Facing, f32 Heading, f32 Speed) {
  C.Pos = C.OldPos;
  C.FacingAngle = ToF32((Facing + 90.0) * kDegToRad);
  const TDirection u = HeadingDirection(Heading);
  const double step = static_cast<double>(Speed) * W.TimeStep;
  C.Pos.x = ToF32(C.Pos.x + u.x * step);
  C.Pos.z = ToF32(C.Pos.z + u.z * step);
}

int TurnHeadingToFacing(TPlayer& C, double Step, f32& Gap) {
  const f32 d = HeadingDifference(C.FacingHeading, C.Heading);
  Gap = d;
  if (!(d > 1.0f)) return 0;
  const TDirection target = HeadingDirection(C.FacingHeading);
  const TDirection up = HeadingDirection(static_cast<double>(C.Heading) + d);
  const TDirection down = HeadingDirection(static_cast<double>(C.Heading) - d);
  const bool rising = std::hypot(up.x - target.x, up.z - target.z) < std::hypot(down.x - target.x, down.z - target.z);
  if (Step > d) {
    C.Heading = C.FacingHeading;
  } else {
    C.Heading = ToF32(rising ? C.Heading + Step : C.Heading - Step);
  }
  return rising ? 1 : -1;
}

void DrawReleaseTime(TTeamBlock& T, TDistribution& D) {
  D.value = DrawClamped(D);
  T.PassTimeLeft = D.value;
}

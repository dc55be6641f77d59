#include "decision/CarrierLookups.h"

#include "core/Geometry.h"

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

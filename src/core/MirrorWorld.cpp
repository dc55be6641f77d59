#include "core/MirrorWorld.h"

#include <numbers>
#include <utility>

#include "core/Geometry.h"
#include "core/StrategyShapes.h"

namespace {

// The exchange needs a whole block of scratch; a block is far too big for
// the stack and the look-ahead must not allocate.
TTeamBlock ScratchBlock;

inline void Negate(f32& v) { v = -v; }
inline void NegateXZ(TVector2& v) {
  v.x = -v.x;
  v.z = -v.z;
}
inline void NegateXZ(TVector3& v) {  // height keeps its value
  v.x = -v.x;
  v.z = -v.z;
}

void MirrorPlayer(TPlayer& P) {
  P.ActionSeq.seqON = kFalse32;
  P.AuxFlag = kFalse32;
  NegateXZ(P.Pos);
  NegateXZ(P.OldPos);
  NegateXZ(P.DesiredPos);
  NegateXZ(P.AuxTarget);
  NegateXZ(P.AuxPoint);
  NegateXZ(P.AuxOffset);
  NegateXZ(P.Velocity);
  NegateXZ(P.OldVelocity);
  Negate(P.OffsideLineZ);
  for (f32* h : {&P.AuxHeading1,         &P.Heading,             &P.DiveAngle,
                 &P.AuxHeading2,         &P.AuxHeading3,         &P.StandUpFacing,
                 &P.TackleAttemptAngle,  &P.TackleAttemptFacing, &P.GettingTackledAngle,
                 &P.GettingTackledFacing, &P.AuxHeading4,        &P.AuxHeading5,
                 &P.AuxHeading6,         &P.AuxHeading7,         &P.AuxHeading8,
                 &P.AuxHeading9,         &P.KickRunAngle,        &P.KickFacing,
                 &P.FreeBallCatchAngle,  &P.FreeBallCatchFacing, &P.ForcedRunAngle,
                 &P.ForcedRunFacing,     &P.SpecialAnimAngle,    &P.SpecialAnimFacing,
                 &P.AuxHeading10,        &P.LineoutFacing,       &P.OldTackleFacing,
                 &P.ImpactAngle}) {
    TurnHeading(*h);
  }
  TurnFacingRad(P.FacingAngle);
  TurnFacingRad(P.AuxFacingRad);
}

void ClearMarkingLinks(TPlayer& P) {
  P.target = 0;
  P.numtargetting = 0;
  P.numgoverning = 0;  // governedby keeps its value
}

void MirrorInfringement(TInfringement& I) {
  Toggle32(I.AgainstDefence);
  Negate(I.X);
  Negate(I.Z);
}

}  // namespace

void TurnHeading(f32& heading) { heading = NormaliseHeading(static_cast<double>(heading) + 180.0); }

void TurnFacingRad(f32& facing) {
  const double degrees = static_cast<double>(facing) * 180.0 / std::numbers::pi;
  const double turned = NormaliseHeading(degrees + 180.0);
  facing = static_cast<f32>(turned * std::numbers::pi / 180.0);
}

void MirrorWorld(TWorld& W) {
  TTeamBlock& T1 = W.Teams[1];
  TTeamBlock& T2 = W.Teams[2];
  const int n = PlayerCount(W);

  // What was under way stops (MirrorPlayer ends every action sequence).
  W.MarkCalled = kFalse32;
  W.PossessionChanged = kTrue32;
  if (W.LiveWorld != 0) StrategyParams.OpenMoveFlag = 0;
  Toggle32(W.TransitionHolderFirstBlock);
  for (TTeamBlock* T : {&T1, &T2}) {
    T->PassDuration = 0;
    T->PassTimeLeft = 0;
    T->KickTimeLeft = 0;
  }
  W.DefenceCycleTimer = 0;
  W.LastPasser = 0;
  W.PrevPasser = 0;
  T1.AttackSide = 0;
  T2.AttackSide = 0;

  // Players, then the marking links in a second pass.
  for (int p = 1; p <= n; ++p) {
    MirrorPlayer(T1.Players[p]);
    MirrorPlayer(T2.Players[p]);
  }
  for (int p = 1; p <= n; ++p) {
    ClearMarkingLinks(T1.Players[p]);
    ClearMarkingLinks(T2.Players[p]);
  }

  // The ball and the marks of a breakdown.
  NegateXZ(W.BallPos);
  NegateXZ(W.PrevBallPos);
  NegateXZ(W.PassVel);
  NegateXZ(W.HuddleCentre);
  for (TTeamBlock* T : {&T1, &T2}) std::swap(T->TailPair[1], T->TailPair[2]);
  TurnHeading(T2.TackleHeading);
  Negate(W.MarkX);
  Negate(W.MarkZ);
  for (f32& v : W.MarkExtra) Negate(v);
  Negate(W.RuckOriginX);  // the pack's travel is bounded about it
  Negate(W.RuckOriginZ);
  Negate(W.PackVelocityZ);
  Negate(W.PackAux);
  Negate(W.RestartRefZ);
  W.PossessionClock = 0;

  // Set-piece points. The pack's arrival-spot offsets are exchanged here so
  // that the whole-block exchange below brings them back: they belong to the
  // block position. The bound-spot offsets are mirrored in z instead.
  for (int k = 1; k <= 10; ++k) {
    std::swap(T1.PackSpots.OffsetA[k], T2.PackSpots.OffsetA[k]);
    Negate(T1.PackSpots.OffsetB[k].z);
    Negate(T2.PackSpots.OffsetB[k].z);
  }
  for (TTeamBlock* T : {&T1, &T2}) {
    for (int k = 1; k <= 4; ++k) std::swap(T->ScrumSidePairs[k].x, T->ScrumSidePairs[k].z);
  }

  // Lineout, infringements, restart and touch places.
  if (W.gamestate == gsLineout) {
    Negate(W.LineoutZ);
    Toggle32(W.LineoutOnNegativeX);
  }
  Negate(W.AuxLineX);
  for (TInfringement& I : W.Infringements) MirrorInfringement(I);
  MirrorInfringement(W.PrevInfringement);
  Toggle32(W.RestartSpotFlag);
  NegateXZ(W.RestartSpot);
  NegateXZ(W.TouchPos);
  NegateXZ(W.KickTouchPos);
  NegateXZ(W.ScrumSpot);
  NegateXZ(W.ReleasePos);
  Toggle32(W.BlocksSwapped);

  // Exchange the blocks whole (every step addresses Teams[1] by
  // position, so they are moved, never re-pointed).
  ScratchBlock = T1;
  T1 = T2;
  T2 = ScratchBlock;

  // The side now defending starts without the ball, its line at the ball.
  T2.BallCarrier = 0;
  T1.StrategyTimer = 0;
  T2.StrategyTimer = 0;
  T2.DefenceLineRefZ = W.BallPos.z;
  T2.DefenceLineZ = W.BallPos.z;
  W.GainLineZ = W.BallPos.z;
}

#include "decision/CarrierForcedMoves.h"

#include <algorithm>
#include <cmath>

#include "core/AuxState.h"
#include "core/Geometry.h"
#include "core/Random.h"
#include "decision/CarrierLookups.h"

namespace {

constexpr double kSharpTurnRate = 260.0;  // degrees per second
constexpr double kMateAcross = 10.5;      // m across beyond which a team-mate reacts later
constexpr double kMateCap = 1.0;          // s
constexpr double kOpponentNear = 8.5;     // m beyond which an opponent reacts later
constexpr double kOpponentFar = 17.0;     // m
constexpr double kOpponentAcross = 5.0;   // m
constexpr double kOpponentCap = 2.5;      // s
constexpr double kBreathFacing = 270.0;   // degrees, FacingAngle in "qbbreath1" (heading 180)
constexpr double kTurnAnimGap = 10.0;     // degrees of gap that start a turn animation

// A reaction time that ran out a frame ago or more.
bool RunOut(const TWorld& W, const TDistribution& D) {
  return D.value <= 0 && static_cast<double>(D.value) + W.PrevTimeStep <= 0;
}

// Stores Draw x Scale in D, capped at Cap seconds.
void StoreScaled(TDistribution& D, f32 Draw, double Scale, double Cap) {
  D.value = ToF32(std::min(static_cast<double>(Draw) * Scale, Cap));
}

}  // namespace

void ContinueLooseBallTake(TWorld& W) {
  TPlayer* carrier = CarrierOf(W);
  if (carrier == nullptr || !(carrier->freeballcatchtimer > 0)) return;
  TPlayer& C = *carrier;
  const TActionEvent* E = CurrentEventOf(C);
  const bool running = C.FreeBallCatchKind == 1 || C.FreeBallCatchKind == 3;
  if (C.ActionSeq.seqON != 0 && running && E != nullptr) {
    C.FreeBallCatchFacing = E->Angle;
    C.FreeBallCatchAngle = C.FreeBallCatchFacing;
  }
  if (C.speed > C.FreeBallCatchSpeed) C.speed = C.FreeBallCatchSpeed;
  RunFromOldPos(W, C, C.FreeBallCatchFacing, C.FreeBallCatchAngle, C.speed);
}

void ContinueForcedRun(TWorld& W) {
  TPlayer* carrier = CarrierOf(W);
  if (carrier == nullptr || !(carrier->ForcedRunTimer > 0)) return;
  TPlayer& C = *carrier;
  RunFromOldPos(W, C, C.ForcedRunFacing, C.ForcedRunAngle, C.ForcedRunSpeed);
}

void ReactToSharpTurn(TWorld& W) {
  TPlayer* carrier = CarrierOf(W);
  if (carrier == nullptr || !(W.TimeStep > 0)) return;
  const TPlayer& C = *carrier;
  const f32 h0 = HeadingToPoint(0.0f, 0.0f, C.OldVelocity.x, C.OldVelocity.z, 90.0f);
  const f32 h1 = HeadingToPoint(0.0f, 0.0f, C.Velocity.x, C.Velocity.z, 90.0f);
  if (!(HeadingDifference(h0, h1) / static_cast<double>(W.TimeStep) > kSharpTurnRate)) return;
  const i32 n = PlayerCount(W);
  for (i32 i = 1; i <= n; ++i) {
    TPlayer& M = W.Teams[1].Players[i];
    TDistribution& mate = M.RunningAngleReactionTime;
    if (RunOut(W, mate) && C.passcatchtimer <= 0) {
      const f32 draw = DrawDistribution(mate);
      const double dx = std::fabs(static_cast<double>(C.Pos.x) - M.Pos.x);
      mate.value = draw;
      if (dx > kMateAcross) StoreScaled(mate, draw, dx / kMateAcross, kMateCap);
    }
    TPlayer& O = W.Teams[2].Players[i];
    TDistribution& opp = O.DefensiveRunningAngleReactionTime;
    if (RunOut(W, opp)) {
      const f32 draw = DrawDistribution(opp);
      const double d = Distance2D(C.Pos.x, C.Pos.z, O.Pos.x, O.Pos.z);
      const double dx = std::fabs(static_cast<double>(C.Pos.x) - O.Pos.x);
      opp.value = draw;
      if (d > kOpponentNear && (d >= kOpponentFar || dx >= kOpponentAcross)) {
        StoreScaled(opp, draw, d / kOpponentNear, kOpponentCap);
      }
    }
  }
}

void TurnCarrierHeading(TWorld& W) {
  TPlayer* carrier = CarrierOf(W);
  if (carrier == nullptr) return;
  TPlayer& C = *carrier;
  if (C.currentAnim == "qbbreath1") C.FacingAngle = ToF32(kBreathFacing * kDegToRad);
  C.FacingHeading = HeadingOfFacing(C.FacingAngle);
  f32 gap = 0;
  const int sense = TurnHeadingToFacing(C, static_cast<double>(AuxState.TurnRate) * W.TimeStep, gap);
  if (sense == 0) return;
  C.TurnLeftWithBall = 0;
  C.TurnRightWithBall = 0;
  if (gap > kTurnAnimGap) (sense > 0 ? C.TurnRightWithBall : C.TurnLeftWithBall) = kTrue32;
}

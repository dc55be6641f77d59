#include "motion/PassInFlight.h"

#include <algorithm>

#include "core/Geometry.h"
#include "core/Kinematics.h"
#include "core/Random.h"
#include "motion/DelayPlayersUnit.h"

namespace {

constexpr double kEarlyReadMargin = 0.05;   // s beyond one frame after the release
constexpr double kReceiverZone = 7.0;       // m each way around the receiver's back-projected point
constexpr double kArmTime = 0.28;           // s of flight left when the catch is armed
constexpr f32 kCatchWindow = 10.0f;         // s, passcatchtimer of an armed catch
constexpr double kReaimTolerance = 1.25;    // m, run already meets the ball
constexpr double kReachableHeight = 0.95;   // x Height
constexpr double kReaimLookAhead = 1.5;     // s, catch search of the re-aim and the chase
constexpr double kFloor = 0.01;             // ball speed (m/s), times (s)
constexpr double kSlowCatchSpeed = 1.0;     // m/s, at or below it the catch is of height class 4

double PlanarBallSpeed(const TWorld& W) { return Distance2D(0.0f, 0.0f, W.PassVel.x, W.PassVel.z); }

double BallHeightAfter(const TWorld& W, double T) {
  return W.BallPos.y + W.PassVel.y * T - 0.5 * W.Gravity * T * T;
}

bool BusyForInterception(const TPlayer& P) {
  return P.TackleAttemptTimer > 0 || P.OldTackleTimer > 0 || P.shimmytimer > 0 || P.RuckTimer2 > 0 ||
         P.standuptimer > 0 || P.playertofollowtimer > 0 || P.freeballcatchtimer > 0 || P.ForcedRunTimer > 0 ||
         P.passcatchtimer > 0 || P.passtimer > 0;
}

bool BusyForChase(const TPlayer& P) { return BusyForInterception(P) || P.GettingTackledTimer > 0; }

// He goes for the ball.
void Commit(TPlayer& P) {
  P.WillAttemptPassInterCept = kTrue32;
  P.PassCatchArmed = kFalse32;
  P.ChaseTimer = 0.0f;
}

f32 TimeToPoint(const TPlayer& P, TVector2 To) {
  return TimeToCoverAccelerating(P.speed, P.Acceleration, P.maxspeed, Distance2D(P.Pos.x, P.Pos.z, To.x, To.z));
}

// Player i of block B, his reaction due, is judged as a chaser of the loose
// pass against his block's list.
void JudgeLooseChaser(TWorld& W, TTeamBlock& B, int i) {
  TPlayer& P = B.Players[i];
  P.PassReactionDone = kTrue32;
  if (BusyForChase(P)) return;
  const TCatchResult c = PassCatchPoint(W, P, kReaimLookAhead);
  P.BallCatchPoint = c.Found != 0 ? TVector2{c.x, c.z} : W.Teams[1].PassGroundPoint;
  const f32 t = TimeToPoint(P, P.BallCatchPoint);
  P.CanInterceptPassOnFull = t < W.Teams[1].PassGroundTime ? kTrue32 : kFalse32;
  P.WillAttemptPassInterCept = kFalse32;
  const int count = std::clamp<int>(B.LooseChaserCount, 0, 5);
  for (int k = 1; k <= count; ++k)
    if (B.LooseChasers[k] == i) return;  // one slot a player
  for (int k = 1; k <= count; ++k) {
    if (B.LooseChasers[k] == 0) {
      B.LooseChasers[k] = i;
      Commit(P);
      return;
    }
  }
  for (int k = 1; k <= count; ++k) {
    TPlayer* L = PlayerAt(B, B.LooseChasers[k]);
    if (L == nullptr || !(TimeToPoint(*L, L->BallCatchPoint) > t)) continue;
    L->WillAttemptPassInterCept = kFalse32;
    L->passcatchtimer = 0.0f;
    B.LooseChasers[k] = i;
    Commit(P);
    return;
  }
}

}  // namespace

i32 CatchHeightClass(double Y, double H) {
  if (Y > 0.9 * H) return 3;
  if (Y > 0.4 * H) return 1;
  return 2;
}

TCatchResult PassCatchPoint(const TWorld& W, const TPlayer& P, double MaxTime) {
  return BallCatchPoint(W.PassVel.x, W.PassVel.y, W.PassVel.z, W.BallPos.x, W.BallPos.y, W.BallPos.z, P.Pos.x,
                        P.Pos.z, P.speed, P.Acceleration, P.maxspeed, static_cast<f32>(MaxTime), W.CatchSearchStep,
                        static_cast<f32>(0.9 * W.CatchReach), static_cast<f32>(kReachableHeight * P.Height),
                        HeadingOfFacing(P.FacingAngle), P.SpeedLossSlope, kTrue32, kTrue32);
}

void DefenderReadsPass(TWorld& W, int i) {
  TTeamBlock& D = W.Teams[2];
  TPlayer& P = D.Players[i];
  if (P.PassReadTimer <= 0.0f) P.ReactionDelayExtra2.value = DrawClamped(P.ReactionDelayExtra2);
  if (W.gamestate == gsPassing && IsListedChaser(D, i)) {
    D.PressureTimerA = 0.0f;
    D.PressureTimerB = 0.0f;
  }
}

void DefenderTriesInterception(TWorld& W, int i) {
  const TTeamBlock& A = W.Teams[1];
  TPlayer& P = W.Teams[2].Players[i];
  if (W.gamestate != gsPassing) return;
  if (!(A.PassFlightTime > static_cast<double>(W.TimeStep) + kEarlyReadMargin)) return;
  if (P.PassReadTimer > 0.0f || !(A.PassFlightLeft > 0.0f) || P.PassReactionDone != 0) return;
  P.PassReactionDone = kTrue32;
  if (BusyForInterception(P)) return;
  if (const TPlayer* R = PlayerAt(A, A.PassReceiver); R != nullptr) {
    const double bx = R->Pos.x - static_cast<double>(R->Velocity.x) * A.PassFlightLeft;
    const double bz = R->Pos.z - static_cast<double>(R->Velocity.z) * A.PassFlightLeft;
    if (std::abs(P.Pos.x - bx) < kReceiverZone && std::abs(P.Pos.z - bz) < kReceiverZone) return;
  }
  const TCatchResult c = PassCatchPoint(W, P, A.PassFlightLeft);
  if (c.Found == 0) return;
  P.BallCatchPoint = {c.x, c.z};
  P.WillAttemptPassInterCept = kTrue32;
  P.CanInterceptPassOnFull = kTrue32;
  P.ChaseTimer = 0.0f;
}

void ReaimReceiver(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  if (A.ReceiverReaimDone != 0) return;
  A.ReceiverReaimTimer = ToF32(static_cast<double>(A.ReceiverReaimTimer) - W.TimeStep);
  if (A.ReceiverReaimTimer > 0.0f && !(static_cast<double>(A.PassFlightLeft) - W.TimeStep < kArmTime)) return;
  A.ReceiverReaimDone = kTrue32;
  TPlayer* R = PlayerAt(A, A.PassReceiver);
  if (!(A.PassFlightLeft > 0.0f) || R == nullptr || R->passcatchtimer > 0.0f) return;

  const double T = A.PassFlightLeft;
  const f32 ax = ToF32(W.BallPos.x + static_cast<double>(W.PassVel.x) * T);
  const f32 az = ToF32(W.BallPos.z + static_cast<double>(W.PassVel.z) * T);
  if (Distance2D(R->DesiredPos.x, R->DesiredPos.z, ax, az) <= kReaimTolerance &&
      kReachableHeight * R->Height >= BallHeightAfter(W, T))
    return;

  const TCatchResult c = PassCatchPoint(W, *R, kReaimLookAhead);
  const TVector2 pt = c.Found != 0 ? TVector2{c.x, c.z} : A.PassGroundPoint;
  R->BallCatchPoint = pt;
  R->DesiredPos.x = pt.x;
  R->DesiredPos.z = pt.z;
  A.ReceiverRunAngle = HeadingToPoint(R->Pos.x, R->Pos.z, pt.x, pt.z, 90.0f);
  const double v = std::max(PlanarBallSpeed(W), kFloor);
  const double t = std::max(Distance2D(W.BallPos.x, W.BallPos.z, pt.x, pt.z) / v, kFloor);
  A.ReceiverRunSpeed = ToF32(std::min(Distance2D(R->Pos.x, R->Pos.z, pt.x, pt.z) / t,
                                      static_cast<double>(R->maxspeed)));
  R->desiredspeed = A.ReceiverRunSpeed;
  A.PassLaunch.x = pt.x;
  A.PassLaunch.z = pt.z;
  A.PassLaunch.y = ToF32(BallHeightAfter(W, t));
  A.PassLaunch.T = ToF32(std::max(A.PassLaunch.T + t - A.PassFlightLeft, kFloor));
  A.PassFlightTotal = A.PassLaunch.T;
  A.PassFlightLeft = ToF32(t);
}

void PassArrives(TWorld& W) {
  W.Teams[1].PassLooseTime = 0.0f;
  for (int b = 1; b <= 2; ++b) {
    TTeamBlock& B = W.Teams[b];
    B.LooseChaserCount = RandomRange(1, 6);
    B.LooseChasers = {};
  }
  for (int i = 1; i <= PlayerCount(W); ++i)
    for (int b = 1; b <= 2; ++b) {
      TPlayer& P = W.Teams[b].Players[i];
      P.PassReactionDone = kFalse32;
      P.LooseBallReactionTime = DrawClamped(P.ReactionDelayExtra2);
    }
}

void ArmPassCatch(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  TPlayer* R = PlayerAt(A, A.PassReceiver);
  if (W.gamestate != gsPassing || !(A.PassFlightLeft < kArmTime) || R == nullptr) return;
  if (R->passcatchtimer > 0.0f || R->PassCatchArmed != 0) return;
  R->passcatchtimer = kCatchWindow;
  R->PassCatchArmed = kTrue32;
  R->passtimer = 0.0f;
  A.CatchSide = W.BallPos.x >= R->Pos.x ? 2 : 1;
  A.CatchHeight = R->speed > kSlowCatchSpeed ? CatchHeightClass(A.PassLaunch.y, R->Height) : 4;
}

void ChaseLoosePass(TWorld& W) {
  if (W.Teams[1].PassFlightLeft > 0.0f) return;
  const double loose = W.Teams[1].PassLooseTime;
  for (int i = 1; i <= PlayerCount(W); ++i)
    for (int b = 1; b <= 2; ++b) {
      const TPlayer& P = W.Teams[b].Players[i];
      if (loose > P.LooseBallReactionTime && P.PassReactionDone == 0) JudgeLooseChaser(W, W.Teams[b], i);
    }
}

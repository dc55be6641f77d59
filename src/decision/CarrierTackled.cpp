#include "decision/CarrierTackled.h"

#include <algorithm>
#include <cmath>

#include "core/Geometry.h"
#include "core/Kinematics.h"
#include "core/Random.h"
#include "core/Rounding.h"
#include "decision/CarrierLookups.h"
#include "motion/AnimatePlayersUnit.h"

namespace {

constexpr double kFaceReceiverGap = 2.0;  // degrees of gap before he turns to the receiver
constexpr double kLevelMargin = 0.15;     // m behind the carrier that counts as level
constexpr double kMinReceiverSpeed = 0.1;  // m/s
constexpr double kKind1SlowShare = 0.92;   // of the animation, kind 1
constexpr double kKind23SlowShare = 0.7;   // kinds 2 and 3
constexpr double kTouchLookAhead = 2.5;    // s of the tackle's run that may carry him over touch
constexpr double kInGoalMargin = 1.0;      // m beyond the try line
constexpr double kTouchBand = 5.0;         // m from touch where tacklers push him out
constexpr double kOffloadDrive = 0.9;      // share of his drive while offloading
constexpr double kLateOffloadDrive = 0.01;  // further share past half of an offload animation
constexpr double kTacklerDrive = 0.9;
constexpr double kTwoTacklers = 0.85;
constexpr double kThreeTacklers = 0.8;
constexpr double kMaxTackleSpeed = 5.0;    // m/s
constexpr double kStruggleFriction = 35.0;  // GroundFriction divisor in a kind-0 tackle

struct TPush {
  double x, z;
};

// A draw of P's tackle drive, both clamps on, kept as its value.
f32 DrawDrive(TPlayer& P) {
  P.StrengthPower.value = DrawClamped(P.StrengthPower);
  return P.StrengthPower.value;
}

// The offload under way: he faces the receiver, who is held back when he
// would be level or ahead at the release.
void TurnToReceiver(const TWorld& W, TPlayer& C, TTeamBlock& T) {
  // No receiver on the field: nobody to face or hold back.
  if (!OnField(W, T.PassReceiver)) return;
  const TPlayer& R = T.Players[T.PassReceiver];
  const f32 h = HeadingToPoint(C.Pos.x, C.Pos.z, R.Pos.x, R.Pos.z, 180.0f);
  if (HeadingDifference(h, C.GettingTackledFacing) > kFaceReceiverGap && T.PassTimeLeft > 0) {
    C.GettingTackledFacing = h;
  }
  const double t = T.PassTimeLeft;
  const double zR = R.Pos.z + std::sin(T.ReceiverRunAngle * kDegToRad) * T.ReceiverRunSpeed * t;
  const double zC = C.Pos.z + std::sin(C.GettingTackledAngle * kDegToRad) * C.GettingTackledSpeed * t;
  if (zR > zC - kLevelMargin) {
    const double v = static_cast<double>(T.ReceiverRunSpeed) - static_cast<double>(R.Acceleration) * W.TimeStep;
    T.ReceiverRunSpeed = ToF32(std::max(v, kMinReceiverSpeed));
  }
}

// Kinds 1 to 3: the tackle slows from a share of its animation on.
void SlowFallingTackle(TWorld& W, TPlayer& C, double Share) {
  const double from = RoundHalfEven(Share * C.maxframes);
  if (!(C.currentframe >= from)) return;
  C.GettingTackledSpeed = DepleteByRate(C.GettingTackledSpeed, W.Gravity, W.TimeStep, W.GroundFriction);
  W.Teams[2].TackleSpeed = C.GettingTackledSpeed;
}

// Kind 0: the carrier's drive against his tacklers' by momentum.
void Struggle(TWorld& W, TPlayer& C, i32 carrier) {
  const double halfWidth = W.PitchWidth / 2.0;
  const double halfLength = W.PitchLength / 2.0;
  const TDirection run = HeadingDirection(C.GettingTackledAngle);

  TPush own{0.0, 1.0};
  const double x2 = C.Pos.x + run.x * C.GettingTackledSpeed * kTouchLookAhead;
  if (x2 < -halfWidth) own = {1.0, 0.0};
  if (x2 > halfWidth) own = {-1.0, 0.0};
  if (C.Pos.z > halfLength + kInGoalMargin) own = C.Pos.x < 0 ? TPush{1.0, 0.0} : TPush{-1.0, 0.0};

  double F = DrawDrive(C);
  if (C.OffloadPending > 0) {
    F *= kOffloadDrive;
    if (!(C.currentAnim == "twohandedoffloadlow") && AnimProgress(C) > 0.5) F *= kLateOffloadDrive;
  }
  double sx = F * own.x;
  double sz = F * own.z;

  TPush back{0.0, -1.0};
  if (C.Pos.z <= halfLength) {
    if (C.Pos.x < -halfWidth + kTouchBand) back = {-1.0, 0.0};
    if (C.Pos.x > halfWidth - kTouchBand) back = {1.0, 0.0};
  }
  double share = kTacklerDrive;
  if (C.numgoverning == 2) share *= kTwoTacklers;
  if (C.numgoverning >= 3) share *= kThreeTacklers;
  const i32 n = PlayerCount(W);
  for (i32 j = 1; j <= n; ++j) {
    TPlayer& D = W.Teams[2].Players[j];
    if (D.governedby != carrier || !(D.TackleAttemptTimer > 0)) continue;
    const double Fj = DrawDrive(D) * share;
    sx += Fj * back.x;
    sz += Fj * back.z;
  }

  TTeamBlock& Def = W.Teams[2];
  double vx = C.GettingTackledSpeed * run.x;
  double vz = C.GettingTackledSpeed * run.z;
  if (Def.TackleMass > 0) {
    vx += sx / Def.TackleMass * W.TimeStep;
    vz += sz / Def.TackleMass * W.TimeStep;
  }
  Def.TackleHeading = HeadingToPoint(0.0f, 0.0f, ToF32(vx), ToF32(vz), C.GettingTackledAngle);
  C.GettingTackledAngle = Def.TackleHeading;
  const f32 speed = ToF32(std::min(std::hypot(vx, vz), kMaxTackleSpeed));
  C.GettingTackledSpeed = DepleteByRate(speed, W.Gravity, W.TimeStep, ToF32(W.GroundFriction / kStruggleFriction));
  Def.TackleSpeed = C.GettingTackledSpeed;
}

}  // namespace

void MoveTackledCarrier(TWorld& W) {
  TPlayer* carrier = CarrierOf(W);
  if (carrier == nullptr || !(carrier->GettingTackledTimer > 0)) return;
  TPlayer& C = *carrier;
  TTeamBlock& T = W.Teams[1];
  if (C.OffloadPending <= 0 && C.passtimer <= 0) T.PassTimeLeft = 0;
  C.passcatchtimer = 0;
  C.freeballcatchtimer = 0;
  C.shimmytimer = 0;
  C.KickTimer = 0;
  T.KickTimeLeft = 0;
  C.Pos = C.OldPos;
  if (C.OffloadPending > 0) TurnToReceiver(W, C, T);

  T.PasserRunAngle = C.GettingTackledFacing;
  C.speed = C.GettingTackledSpeed;
  const f32 kind = C.GettingTackledKind;
  if (kind == 1.0f) SlowFallingTackle(W, C, kKind1SlowShare);
  if (kind == 2.0f || kind == 3.0f) SlowFallingTackle(W, C, kKind23SlowShare);
  if (kind == 0.0f) Struggle(W, C, T.BallCarrier);
  RunFromOldPos(W, C, C.GettingTackledFacing, C.GettingTackledAngle, C.GettingTackledSpeed);
}

#include "decision/CarrierOffload.h"

#include <algorithm>
#include <cmath>

#include "core/Geometry.h"
#include "core/Random.h"
#include "decision/CarrierLookups.h"

namespace {

constexpr i32 kOffloadEvent = 12;
constexpr double kOffloadAcross = 5.0;      // m, the most a receiver may stand to the side
constexpr double kOffloadBehindMin = 0.25;  // m behind the carrier
constexpr double kOffloadBehindMax = 5.0;   // m
constexpr f32 kOffloadWindow = 1.25f;       // s, the window once the offload starts
constexpr f32 kOffloadPending = 10.0f;
constexpr double kReceiverGap = 0.5;     // m behind the carrier the receiver runs to by the release
constexpr double kCatchLead = 0.35;      // s beyond the release at which the pass is caught
constexpr double kMinReceiverSpeed = 0.1;  // m/s, a receiver held back never slows below
constexpr i32 kOffloadKind = 8;

// Degrees the body turns from the line to the catch point, by pass kind.
double BodyTurn(i32 Kind) {
  switch (Kind) {
    case 1:
    case 2:
      return 45.0;
    case 3:
      return 65.0;
    case 4:
      return 70.0;
    case 5:
      return 80.0;
    default:
      return 90.0;
  }
}

// The heading the passer's body faces while his pass is under way.
double PassBodyHeading(const TWorld& W, const TPlayer& C, const TPlayer* R) {
  const TTeamBlock& T = W.Teams[1];
  if (R == nullptr) return T.PassKind == kOffloadKind ? T.PasserRunAngle + 90.0 : T.PasserRunAngle;
  const double lead = kCatchLead + T.PassTimeLeft;
  const f32 qx = ToF32(R->Pos.x + lead * R->Velocity.x);
  const f32 qz = ToF32(R->Pos.z + lead * R->Velocity.z);
  const double h = HeadingToPoint(C.Pos.x, C.Pos.z, qx, qz, T.PasserRunAngle);
  if (T.PassKind == kOffloadKind) return h + 90.0;
  if (T.PassSide == 1) return h + BodyTurn(T.PassKind);
  if (T.PassSide == 2) return h - BodyTurn(T.PassKind);
  return h;  // no side: the body stays on the line to the catch point
}

}  // namespace

void DecideOffload(TWorld& W) {
  TPlayer* carrier = CarrierOf(W);
  if (carrier == nullptr) return;
  TPlayer& C = *carrier;
  TActionEvent* E = CurrentEventOf(C);
  TTeamBlock& T = W.Teams[1];
  if (E == nullptr || E->EventType != kOffloadEvent || !(T.OffloadTime > 0)) return;
  if (!(C.GettingTackledTimer > 0) || C.GettingTackledKind != 0.0f) return;
  if (!(W.OffloadBlockTimer <= 0) || !(C.OffloadPending <= 0)) return;

  const i32 r = E->EventSubType;
  bool accepted = OnField(W, r);
  if (accepted) {
    const TPlayer& R = T.Players[r];
    const double across = std::fabs(static_cast<double>(C.Pos.x) - R.Pos.x);
    const double behind = static_cast<double>(C.Pos.z) - R.Pos.z;
    accepted = across <= kOffloadAcross && behind >= kOffloadBehindMin && behind <= kOffloadBehindMax;
  }
  if (!accepted) {
    T.PassReceiver = 0;
    E->Complete = kTrue32;
    return;
  }

  TPlayer& R = T.Players[r];
  T.PassReceiver = r;
  T.OffloadTime = kOffloadWindow;
  C.passcatchtimer = 0;
  R.shimmytimer = 0;
  C.OffloadReleaseTime.value = DrawClamped(C.OffloadReleaseTime);
  T.PassTimeLeft = C.OffloadReleaseTime.value;
  C.OffloadPending = kOffloadPending;
  C.passtimer = 0;
  C.KickTimer = 0;

  T.ReceiverRunAngle = 90.0f;
  T.ReceiverRunSpeed = R.speed;
  const double gap = (static_cast<double>(C.Pos.z) - kReceiverGap) - R.Pos.z;
  if (gap <= 0) {
    T.ReceiverRunSpeed = 0;
  } else if (!(T.PassTimeLeft > 0)) {
    // A release at once: the run it takes is beyond any speed.
    T.ReceiverRunSpeed = R.maxspeed;
  } else {
    const TTeamBlock& D = W.Teams[2];
    const double v = gap / T.PassTimeLeft + std::sin(D.TackleHeading * kDegToRad) * D.TackleSpeed;
    T.ReceiverRunSpeed = ToF32(std::min(v, static_cast<double>(R.maxspeed)));
  }
}

void ContinuePass(TWorld& W) {
  TPlayer* carrier = CarrierOf(W);
  if (carrier == nullptr || !(carrier->passtimer > 0)) return;
  TPlayer& C = *carrier;
  TTeamBlock& T = W.Teams[1];
  TPlayer* R = OnField(W, T.PassReceiver) ? &T.Players[T.PassReceiver] : nullptr;

  C.Pos = C.OldPos;
  const double f = PassBodyHeading(W, C, R);
  C.speed = ToF32(std::min(static_cast<double>(C.speed) + static_cast<double>(C.Acceleration) * W.TimeStep,
                           static_cast<double>(T.PasserSpeedRef)));

  // Forward-pass guard: the receiver must not be ahead of the passer at the release.
  if (R != nullptr) {
    const double zR = R->Pos.z + static_cast<double>(R->Velocity.z) * T.PassTimeLeft;
    const double zC = C.Pos.z + std::sin(T.PasserRunAngle * kDegToRad) * C.speed * T.PassTimeLeft;
    if (zR > zC) {
      const double v = static_cast<double>(T.ReceiverRunSpeed) - static_cast<double>(R->Acceleration) * W.TimeStep;
      T.ReceiverRunSpeed = ToF32(std::max(v, kMinReceiverSpeed));
    }
  }
  RunFromOldPos(W, C, ToF32(f), T.PasserRunAngle, C.speed);
}

void ContinueSpecialAction(TWorld& W) {
  TPlayer* carrier = CarrierOf(W);
  if (carrier == nullptr || !(carrier->SpecialAnimTimer > 0) || carrier->SpecialAnimKind != 3.0f) return;
  TPlayer& C = *carrier;
  C.speed = C.SpecialAnimSpeed;
  RunFromOldPos(W, C, C.SpecialAnimAngle, C.SpecialAnimAngle, C.speed);
}

#include "decision/CarrierBreak.h"

#include <algorithm>
#include <cmath>

#include "core/Geometry.h"
#include "core/Kinematics.h"
#include "core/NumberFormat.h"
#include "core/Random.h"
#include "core/RunLog.h"
#include "decision/CarrierLookups.h"
#include "motion/AnimatePlayersUnit.h"

namespace {

constexpr f32 kBreakTimerStart = 10.0f;  // s, ended by the contact and timer steps
constexpr double kPressedBreak = 0.325;  // s, a kind-11 break waits for contact this close
constexpr double kBreakSpeedShare = 0.85;  // of his speed, the break run
constexpr double kLeastBreakSpeed = 3.0;   // m/s
constexpr double kFastCharge = 4.0;        // m/s, charges of codes 1 and 3
constexpr double kStraightCharge = 3.0;    // m/s, the charge of code 2
constexpr double kLookAhead = 0.5;         // m ahead of the carrier: the point defenders are timed to
constexpr double kNobodyYet = 100000.0;    // s, start of the search for the defender to beat
constexpr double kStumbleShare = 0.275;    // of "stumbleforward", after which the stumble drives on

// ------------------------------------------------------------------ entry

bool BreakAsked(const TWorld& W, const TActionEvent& E) {
  if (E.EventType == 10) return true;
  return E.EventType == 11 && W.Teams[1].TimeToContact < kPressedBreak;
}

// ------------------------------------------------------------------ choice

// Busy with a get-up, a breakdown, the end of a tackle or a forced run: not
// a defender to beat.
bool Occupied(const TPlayer& D) {
  return D.standuptimer > 0 || D.RuckTimer2 > 0 || D.OldTackleTimer > 0 || D.ForcedRunTimer > 0;
}

// The free opponent soonest to the point 0.5 m ahead along BreakAngle, at
// his own speed, acceleration and top speed; ties keep the lower number.
// Null when nobody is free.
const TPlayer* DefenderToBeat(const TWorld& W, const TPlayer& C) {
  const TDirection u = HeadingDirection(C.BreakAngle);
  const f32 px = ToF32(C.Pos.x + kLookAhead * u.x);
  const f32 pz = ToF32(C.Pos.z + kLookAhead * u.z);
  const TPlayer* best = nullptr;
  double least = kNobodyYet;
  for (int p = 1; p <= PlayerCount(W); ++p) {
    const TPlayer& D = W.Teams[2].Players[p];
    if (Occupied(D)) continue;
    const double t = TimeToCoverAccelerating(D.speed, D.Acceleration, D.maxspeed, Distance2D(px, pz, D.Pos.x, D.Pos.z));
    if (t < least) {
      least = t;
      best = &D;
    }
  }
  return best;
}

// The code for a defender at bearing B (degrees, 90 straight ahead): a
// charge ahead, a fend to either side or behind, a goose-step on the left.
i32 CodeOfBearing(double B) {
  if (B > 345.0 || B <= 15.0) return 5;
  if (B <= 45.0) return 4;
  if (B <= 75.0) return 1;
  if (B <= 105.0) return 2;
  if (B <= 135.0) return 3;
  if (B <= 165.0) return 7;
  if (B <= 195.0) return 8;
  if (B <= 225.0) return 9;
  if (B <= 315.0) return 10;
  return 6;
}

// The code by the bearing of the defender, or drawn when there is none;
// then the event's forced choice.
i32 ChooseCode(const TPlayer& C, const TActionEvent& E, const TPlayer* D) {
  i32 code = 0;
  if (D == nullptr) {
    code = RandomRange(1, 11);
  } else {
    code = CodeOfBearing(RelativeHeadingToPoint(C.Pos.x, C.Pos.z, D->Pos.x, D->Pos.z, HeadingOfFacing(C.FacingAngle)));
  }
  switch (E.EventCode) {
    case 2: code = 2; break;
    case 5:
      code = RandomRange(1, 1001) < 500 ? 5 : 8;
      if (D != nullptr) code = D->Pos.x >= C.Pos.x ? 8 : 5;
      break;
    case 10: code = 10; break;
    default: break;
  }
  return code;
}

// The run of the break: at least kLeastBreakSpeed; a charge has its own.
f32 BreakSpeedOf(f32 Speed, i32 Code) {
  double v = std::max(static_cast<double>(Speed), kLeastBreakSpeed);
  if (Code == 1 || Code == 3) v = kFastCharge;
  if (Code == 2) v = kStraightCharge;
  return ToF32(v);
}

void LogBreak(const TWorld& W, i32 Code) {
  WriteRunLog("/////");
  WriteRunLog("break tackle at " + FormatGeneral(static_cast<double>(W.clock) / 60.0));
  WriteRunLog(Code <= 3 ? "charge" : Code <= 9 ? "fend" : "goosestep");
  WriteRunLog("/////");
}

}  // namespace

void DecideBreak(TWorld& W) {
  TPlayer* carrier = CarrierOf(W);
  if (carrier == nullptr) return;
  TPlayer& C = *carrier;
  TActionEvent* event = CurrentEventOf(C);
  if (event == nullptr || !BreakAsked(W, *event) || !FreeOfOtherActions(W, C)) return;
  TActionEvent& E = *event;

  const bool running = C.ActionSeq.seqON != 0;
  if (running) E.Complete = kTrue32;
  C.BreakTackleTimer = kBreakTimerStart;
  C.BreakAngle = running ? E.Angle : HeadingOfFacing(C.FacingAngle);
  C.BreakFacing = C.BreakAngle;
  C.BreakSpeed = ToF32(std::max(kBreakSpeedShare * C.speed, kLeastBreakSpeed));
  C.passcatchtimer = 0.0f;

  const i32 code = ChooseCode(C, E, DefenderToBeat(W, C));
  C.ActionCode = static_cast<f32>(code);
  C.BreakSpeed = BreakSpeedOf(C.BreakSpeed, code);
  if (W.LiveWorld != 0) LogBreak(W, code);
}

void ContinueBreak(TWorld& W) {
  TPlayer* carrier = CarrierOf(W);
  if (carrier == nullptr || !(carrier->BreakTackleTimer > 0)) return;
  TPlayer& C = *carrier;
  const bool stumbling = C.ActionCode >= 11.0f && C.ActionCode <= 19.0f && AnimProgress(C) > kStumbleShare &&
                         C.currentAnim == "stumbleforward";
  if (stumbling) {
    C.BreakSpeed = ToF32(std::min(C.BreakSpeed + static_cast<double>(C.Acceleration) * W.TimeStep,
                                  static_cast<double>(C.maxspeed)));
  }
  RunFromOldPos(W, C, C.BreakFacing, stumbling ? C.BreakFacing : C.BreakAngle, C.BreakSpeed);
}

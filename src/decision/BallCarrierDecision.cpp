#include "decision/BallCarrierDecision.h"

#include <cmath>
#include <numbers>

#include "core/Geometry.h"
#include "core/Interception.h"
#include "core/Kinematics.h"
#include "core/NumberFormat.h"
#include "core/Random.h"
#include "core/RunLog.h"
#include "core/StrategyShapes.h"
#include "decision/BallRelease.h"
#include "decision/CarrierBreak.h"
#include "decision/CarrierDive.h"
#include "decision/CarrierForcedMoves.h"
#include "decision/CarrierKick.h"
#include "decision/CarrierLookups.h"
#include "decision/CarrierOffload.h"
#include "decision/CarrierPass.h"
#include "decision/CarrierSideStep.h"
#include "decision/CarrierTackled.h"

namespace {

constexpr f32 kNoContact = 10000.0f;         // s, TimeToContact with no eligible defender
constexpr double kArrivalRadius = 0.45;      // m, a run to a target has arrived
constexpr double kLineAfterSetPiece = 3.75;  // s after a set piece before running lines are chosen
constexpr double kLineSpread = 6.25;         // degrees between the three candidate lines
constexpr double kLineScan = 7.0;            // m per axis: defenders that bear on a line
constexpr double kLineReach = 0.85;          // m
constexpr double kLineNever = 100000.0;      // s, a line no defender closes on
constexpr double kLineBestStart = -10000.0;  // m
constexpr double kTopSpeedShare = 0.95;      // of maxspeed, the carrier's cap
constexpr double kTurnFree = 12.5;           // degrees of turn that cost no speed
constexpr double kTouchBand = 4.25;          // m from touch where steering acts
constexpr double kTouchEdge = 0.7;           // m from touch: the edge the drift is timed to
constexpr double kPressedTime = 0.575;       // s, a defender this close adds to the drift
constexpr double kPressedDrift = 2.75;       // m/s
constexpr double kRunInEnd = 2.0;            // m short of the dead-ball line: end of a curved run-in

// ------------------------------------------------------------------ look-ups

// The reference player of a relative run, or null when its number names no
// player on the field.
const TPlayer* ReferencePlayer(const TWorld& W, const TActionEvent& E) {
  if (!OnField(W, E.RelPlayer)) return nullptr;
  return &W.Teams[E.RelOwnTeam != 0 ? 1 : 2].Players[E.RelPlayer];
}

// The receiver of a pass event (kind 1 or 2) naming a player on the field.
const TPlayer* PassReceiverOf(const TWorld& W, const TActionEvent& E) {
  if (E.EventType != 1 && E.EventType != 2) return nullptr;
  if (!OnField(W, E.EventSubType)) return nullptr;
  return &W.Teams[1].Players[E.EventSubType];
}

bool Beyond(double x, double bound) { return x > bound || x < -bound; }

f32 RadToDegF(f32 r) { return ToF32(r * kRadToDeg); }
f32 FacingFromHeading(double h) { return ToF32((h + 90.0) * kDegToRad); }

// ------------------------------------------------------------------ sequence runner

// Whether event k of the carrier's sequence is finished by its end condition
// in running. Conditions 1 and 2 need the passing state; 8, 13 and 17 never
// hold for the carrier; 0 and unknown codes never hold.
bool EndConditionHolds(const TWorld& W, const TPlayer& C, i32 carrier, const TActionSeq& S, int k) {
  const TActionEvent& E = S.EventArray[k];
  const int n = EventCount(S);
  const double halfWidth = W.PitchWidth / 2.0;
  // A margin below 0 puts the carrier behind himself: only then "ahead".
  const bool ahead = static_cast<double>(C.Pos.z) + E.EndLeadZ < C.Pos.z;
  const bool catching = C.passcatchtimer > 0 || C.freeballcatchtimer > 0;
  switch (E.EndCondition) {
    case 3:
      return catching;
    case 4:
      return ahead;
    case 5:
      return ahead || C.GettingTackledTimer > 0;
    case 6:
      return true;
    case 7:
      if (ahead || C.GettingTackledTimer > 0) return true;
      if (E.RelMovementOn == 0) return E.DistTravelled > 0.5f && Beyond(C.Pos.x, halfWidth - 0.5);
      return Beyond(E.TargetPos.x, halfWidth - 0.5);
    case 9:
      return Beyond(C.Pos.x, halfWidth - 0.9);
    case 10:
    case 11: {
      if (k + 1 > n) return false;
      const TPlayer* R = PassReceiverOf(W, S.EventArray[k + 1]);
      if (R == nullptr) return false;
      const double x = static_cast<double>(C.Pos.x) + E.EndLeadX;
      return E.EndCondition == 10 ? x > R->Pos.x : x < R->Pos.x;
    }
    case 12:
      for (int j = k + 1; j <= n; ++j) {
        const TPlayer* R = PassReceiverOf(W, S.EventArray[j]);
        if (R == nullptr) continue;
        const TActionEvent* RE = CurrentEventOf(R->ActionSeq);
        return R->ActionSeq.seqON != 0 && RE != nullptr && RE->RelMovementOn != 0 &&
               Distance2D(R->Pos.x, R->Pos.z, RE->TargetPos.x, RE->TargetPos.z) < 1.25f;
      }
      return false;
    case 14:
      return k > 1 && S.EventArray[k - 1].Complete != 0;
    case 15:
      return C.passtimer > 0 && carrier != W.Teams[1].PassReceiver;
    case 16:
      return catching || Beyond(C.Pos.x, halfWidth - 1.0);
    case 18:
      return W.FrameGameState == gsRunning && W.PrevFrameGameState == gsRunning;
    default:
      return false;
  }
}

// The point a relative run aims at: RelDistance from the reference player
// along RelHeading, kept 0.6 m inside touch. Without a reference player on
// the field the point stays where it was.
void AimRelativeRun(const TWorld& W, TActionEvent& E) {
  const TPlayer* R = ReferencePlayer(W, E);
  if (R == nullptr) return;
  const TDirection u = HeadingDirection(E.RelHeading);
  const double bound = W.PitchWidth / 2.0 - 0.6;
  double x = R->Pos.x + E.RelDistance * u.x;
  if (x > bound) x = bound;
  if (x < -bound) x = -bound;
  E.TargetPos.x = ToF32(x);
  E.TargetPos.z = ToF32(R->Pos.z + E.RelDistance * u.z);
}

// The hold of a timed event, or the arrival of a run and the distance run.
void AdvanceCurrentEvent(const TWorld& W, const TPlayer& C, TActionEvent& E) {
  const double dt = W.TimeStep;
  if (E.Duration > 0 && E.TimedOn != 0 && E.TimeLeft > 0) {
    E.TimeLeft = ToF32(E.TimeLeft - dt);
    return;
  }
  if (E.EventType == 0) {
    const bool arrived =
        E.RelMovementOn == 0
            ? E.DistTravelled > E.DistOrig
            : Distance2D(C.Pos.x, C.Pos.z, E.TargetPos.x, E.TargetPos.z) - static_cast<double>(C.speed) * dt <
                  kArrivalRadius;
    if (arrived) {
      if (E.TimedOn == 0 && E.Duration > 0) {
        E.TimedOn = kTrue32;
      } else if (E.Duration <= 0 || E.TimeLeft <= 0) {
        E.Complete = kTrue32;
      }
    }
  }
  E.DistTravelled = ToF32(E.DistTravelled + static_cast<double>(C.speed) * dt);
}

// 0 no side, 1 the running line bends towards smaller headings, 2 towards
// larger ones; near a touchline always away from it.
int RunningSide(const TWorld& W, const TPlayer& C) {
  const i32 attackSide = W.Teams[1].AttackSide;
  int side = 0;
  if (attackSide == 1) {
    side = 1;
  } else if (attackSide != 0) {
    side = 2;
  } else if (std::fabs(C.Velocity.x) > 0.2f && C.Velocity.z >= 0) {
    side = C.Velocity.x < 0 ? 1 : 2;
  }
  const double halfWidth = W.PitchWidth / 2.0;
  if (C.Pos.x < -halfWidth + 1.25) side = 2;
  if (C.Pos.x > halfWidth - 1.25) side = 1;
  return side;
}

// Seconds until the nearest defender within kLineScan on both axes closes to
// kLineReach on the carrier running along heading A at DesSpeed.
double LineContactTime(const TWorld& W, const TPlayer& C, double A, f32 DesSpeed) {
  const TDirection u = HeadingDirection(A);
  const double step = static_cast<double>(DesSpeed) * W.TimeStep;
  const f32 x0 = ToF32(C.Pos.x - step * u.x);
  const f32 z0 = ToF32(C.Pos.z - step * u.z);
  double least = kLineNever;
  for (int p = 1; p <= PlayerCount(W); ++p) {
    const TPlayer& D = W.Teams[2].Players[p];
    if (!(std::fabs(static_cast<double>(D.Pos.x) - C.Pos.x) < kLineScan &&
          std::fabs(static_cast<double>(D.Pos.z) - C.Pos.z) < kLineScan)) {
      continue;
    }
    const f32 t = ClosingTime(x0, z0, C.Pos.x, C.Pos.z, D.OldPos.x, D.OldPos.z, D.Pos.x, D.Pos.z, W.TimeStep,
                              ToF32(kLineReach));
    if (t < least) least = t;
  }
  return least;
}

// The running line of a plain run that has just become current: of three
// headings kLineSpread apart, the one that gets furthest up-field before a
// defender closes in; a line that would take him over a touchline is
// refused.
void ChooseRunningLine(const TWorld& W, const TPlayer& C, TActionEvent& E) {
  const int side = RunningSide(W, C);
  const double edge = W.PitchWidth / 2.0 - 1.0;
  double bestZ = kLineBestStart;
  bool found = false;
  f32 best = 0.0f;
  for (int j = 1; j <= 3; ++j) {
    double a = E.Angle;
    if (side == 0) a += (j - 2) * kLineSpread;
    if (side == 1) a -= (j - 1) * kLineSpread;
    if (side == 2) a += (j - 1) * kLineSpread;
    const double run = E.DesSpeed * LineContactTime(W, C, a, E.DesSpeed);
    const TDirection u = HeadingDirection(a);
    const double x = C.Pos.x + u.x * run;
    const double z = C.Pos.z + u.z * run;
    const bool refused = (x < -edge && x < C.Pos.x) || (x > edge && x > C.Pos.x);
    if (!refused && z > bestZ) {
      bestZ = z;
      best = ToF32(a);
      found = true;
    }
  }
  E.Angle = NormaliseHeading(found ? best : E.Angle);
}

// The event in force: the first that is not complete. A plain run that has
// just become current gets its running line once the play is clear of the
// set piece. With every event complete the sequence ends.
void ChooseCurrentEvent(const TWorld& W, TPlayer& C) {
  TActionSeq& S = C.ActionSeq;
  const int n = EventCount(S);
  const i32 previous = S.CurrEventIndex;
  int complete = 0;
  for (int k = 1; k <= n; ++k) {
    TActionEvent& E = S.EventArray[k];
    if (E.Complete != 0) {
      ++complete;
      continue;
    }
    S.CurrEventIndex = k;
    if (E.DeadlineLeft <= 0) E.DeadlineLeft = E.Deadline;
    if (E.EventType == 0 && E.RelMovementOn == 0 && E.DesSpeed > 0 && k != previous &&
        W.TimeSinceSetPiece >= kLineAfterSetPiece) {
      ChooseRunningLine(W, C, E);
    }
    break;
  }
  if (complete == n) S.seqON = kFalse32;
}

// ------------------------------------------------------------------ running sections

// Section 1: the carrier's speed as measured over the last frame, and, when
// he has no sequence, the template for this frame only: one plain run at
// that speed along his last movement. Returns whether the template was
// copied in.
bool MeasureSpeedAndTemplate(const TWorld& W, TPlayer& C) {
  const double dt = W.TimeStep;
  C.speed = ToF32(Distance2D(C.Pos.x, C.Pos.z, C.OldPos.x, C.OldPos.z) / dt);
  C.OldPos = C.Pos;
  if (C.ActionSeq.seqON != 0) return false;
  C.ActionSeq = StrategyParams.ActionSeqTemplate;
  TActionEvent& E = C.ActionSeq.EventArray[1];
  E.DesSpeed = C.speed;
  E.Angle = HeadingToPoint(ToF32(C.Pos.x - C.Velocity.x * dt), ToF32(C.Pos.z - C.Velocity.z * dt), C.Pos.x,
                           C.Pos.z, 90.0f);
  return true;
}

// Section 3: the carrier's own sequence runner: end conditions, restart,
// expiry, the target of a relative run, the hold and arrival of the current
// event, and the choice of the event in force.
void RunCarrierSequence(TWorld& W, TPlayer& C, i32 carrier) {
  TActionSeq& S = C.ActionSeq;
  const int n = EventCount(S);
  const double dt = W.TimeStep;
  if (S.CurrEventIndex != 0) {
    for (int k = 1; k <= n; ++k) {
      if (EndConditionHolds(W, C, carrier, S, k)) S.EventArray[k].Complete = kTrue32;
    }
  }
  if (S.CurrEventIndex == 0) {
    for (int k = 1; k <= n; ++k) {
      TActionEvent& E = S.EventArray[k];
      E.DistTravelled = 0.0f;
      E.ProgressAux = 0.0f;
      E.Complete = kFalse32;
      E.DeadlineLeft = E.Deadline;
      E.TimedOn = kFalse32;
      E.TimeLeft = E.Duration;
    }
  } else {
    for (int k = 1; k <= n; ++k) {
      TActionEvent& E = S.EventArray[k];
      if (k == S.CurrEventIndex || E.Complete != 0 || E.DeadlineLeft <= 0) continue;
      E.DeadlineLeft = ToF32(E.DeadlineLeft - dt);
      if (E.DeadlineLeft <= 0) E.Complete = kTrue32;
    }
  }
  if (TActionEvent* E = CurrentEventOf(S)) {
    if (E->RelMovementOn != 0) AimRelativeRun(W, *E);
    AdvanceCurrentEvent(W, C, *E);
  }
  ChooseCurrentEvent(W, C);
}

// Seconds until the nearest eligible defender reaches the carrier. Not
// eligible: a defender just out of a tackle, one going into a tackle on
// someone else or of kind 3 to 8, one following someone else.
f32 TimeToContactOf(const TWorld& W, const TPlayer& C, i32 carrier) {
  const double dt = W.TimeStep;
  const f32 x0 = ToF32(C.Pos.x - C.Velocity.x * dt);
  const f32 z0 = ToF32(C.Pos.z - C.Velocity.z * dt);
  f32 least = kNoContact;
  for (int p = 1; p <= PlayerCount(W); ++p) {
    const TPlayer& D = W.Teams[2].Players[p];
    if (D.OldTackleTimer > 0) continue;
    if (D.TackleAttemptTimer > 0) {
      if (D.target != carrier) continue;
      const f32 kind = D.TackleAttemptKind;
      if (kind >= 3.0f && kind <= 8.0f && kind == std::trunc(kind)) continue;
    }
    if (D.playertofollowtimer > 0 && D.playertofollow != carrier) continue;
    const f32 reach = D.Pos.z < C.Pos.z ? 0.8f : 0.9f;
    const f32 t = ClosingTime(x0, z0, C.Pos.x, C.Pos.z, D.OldPos.x, D.OldPos.z, D.Pos.x, D.Pos.z, W.TimeStep, reach);
    if (t < least) least = t;
  }
  return least;
}

// The speed of this frame: at most kTopSpeedShare of maxspeed, less after a
// sharp turn; up towards the desired speed by his acceleration, down to it
// at once.
void SetCarrierSpeed(const TWorld& W, TPlayer& C) {
  const f32 turn = HeadingDifference(RadToDegF(C.FacingAngle), RadToDegF(C.PrevFacingAngle));
  double factor = 1.0;
  if (turn > kTurnFree) factor = ClampedLinear(turn, C.SpeedLossSlope, 100.0f, 0.0f, 100.0f, kTrue32, kTrue32) / 100.0;
  factor *= kTopSpeedShare;
  const double cap = factor * C.maxspeed;
  if (C.speed > cap) C.speed = ToF32(cap);
  if (C.speed < C.desiredspeed) {
    const double up = C.speed + static_cast<double>(C.Acceleration) * W.TimeStep;
    C.speed = up < C.desiredspeed ? ToF32(up) : C.desiredspeed;
  } else {
    C.speed = C.desiredspeed;
  }
  C.PrevFacingAngle = C.FacingAngle;
}

// Turns a plain run in from touch while the carrier drifts towards it: the
// fewer seconds to kTouchEdge at his drift, the sharper the turn (135, 45
// or 10 degrees per second). A defender within kPressedTime adds to the
// drift, except near the far try line.
void SteerOffTouch(const TWorld& W, const TPlayer& C, TActionEvent& E) {
  const double dt = W.TimeStep;
  const double halfWidth = W.PitchWidth / 2.0;
  const bool pressed = W.Teams[1].TimeToContact < kPressedTime && C.Pos.z < W.PitchLength / 2.0 - 1.0;
  auto rate = [](double r) { return r < 0.25 ? 135.0 : r < 0.5 ? 45.0 : r < 1.0 ? 10.0 : 0.0; };
  if (C.Pos.x < -halfWidth + kTouchBand) {
    const double v = C.Velocity.x - (pressed ? kPressedDrift : 0.0);
    if (v < -0.01) {
      const double e = -halfWidth + kTouchEdge;
      const double r = C.Pos.x <= e ? 0.0 : std::fabs(C.Pos.x - e) / std::fabs(v);
      E.Angle = ToF32(E.Angle + rate(r) * dt);
    }
  }
  if (C.Pos.x > halfWidth - kTouchBand) {
    const double v = C.Velocity.x + (pressed ? kPressedDrift : 0.0);
    if (v > 0.01) {
      const double e = halfWidth - kTouchEdge;
      const double r = C.Pos.x >= e ? 0.0 : std::fabs(C.Pos.x - e) / v;
      E.Angle = ToF32(E.Angle - rate(r) * dt);
    }
  }
}

void LogTryBug(f32 Heading, f32 P, f32 S, f32 Rate, f32 Angle) {
  WriteRunLog("try bug");
  for (f32 v : {Heading, P, S, Rate, Angle}) WriteRunLog(FormatGeneral(v));
  WriteRunLog("try bug ends");
}

// The run-in before a dive (event kind 7): the facing turns from last
// frame's towards the event's angle, over the time left to the end of the
// run-in, stretched by half and by a draw of -10 to 9 per cent; once he is
// about to reach the dead-ball line it takes the angle at once.
void CurveRunIn(TWorld& W, TPlayer& C, const TActionEvent& E) {
  const double dt = W.TimeStep;
  const f32 p = ToF32(RadToDegF(C.PrevFacingAngle) - 90.0);
  const f32 d = HeadingDifference(p, E.Angle);
  const f32 s = HeadingDifference(ToF32(p - d), E.Angle) > HeadingDifference(ToF32(p + d), E.Angle) ? 1.0f : -1.0f;
  const double v = E.DesSpeed < 0.1f ? 0.1 : E.DesSpeed;
  const double endZ = W.PitchLength / 2.0 + W.InGoalDepth;
  double t = (endZ - kRunInEnd - C.Pos.z) / v;
  if (t < 0.25) t = 0.25;
  t *= 1.5;
  t += t * RandomRange(-10, 10) / 100.0;
  if (t < 0.1) t = 0.1;
  if (C.Pos.z >= endZ - kRunInEnd && C.Pos.z + 0.75 * C.Velocity.z >= endZ) t = dt;
  const f32 rate = ToF32(d / t);
  const f32 heading = ToF32(p + s * rate * dt);
  C.FacingAngle = FacingFromHeading(heading);
  if (W.LiveWorld != 0 && W.Teams[1].BallCarrier == 11 && W.clock > 118.0f && W.clock < 120.0f) {
    LogTryBug(heading, p, s, rate, E.Angle);
  }
}

// A run to a target faces the target, or, with Intercept, the point where
// he meets it as it moves with its reference player.
void FaceTarget(const TWorld& W, TPlayer& C, const TActionEvent& E) {
  const double dt = W.TimeStep;
  f32 x = E.TargetPos.x;
  f32 z = E.TargetPos.z;
  const TPlayer* R = E.Intercept != 0 ? ReferencePlayer(W, E) : nullptr;
  if (R != nullptr) {
    const f32 heading = HeadingToPoint(R->OldPos.x, R->OldPos.z, R->Pos.x, R->Pos.z, 90.0f);
    const f32 accel = ToF32(std::fabs(static_cast<double>(R->speed) - R->MeasuredSpeed) / dt);
    const TVector2 m = InterceptPoint(heading, x, z, R->speed, accel, R->maxspeed, C.Pos.x, C.Pos.z, C.speed,
                                      C.Acceleration, E.DesSpeed, W.PitchWidth, kTrue32, kTrue32, kFalse32);
    x = m.x;
    z = m.z;
  }
  const f32 previous = ToF32((C.PrevFacingAngle - std::numbers::pi / 2.0) * kRadToDeg);
  C.FacingAngle = FacingFromHeading(HeadingToPoint(C.Pos.x, C.Pos.z, x, z, previous));
}

// Section 4: time to contact, speed, steering and facing, and the carrier's
// own movement for the frame; a sequence that was only copied in for this
// frame ends here.
void SteerAndMoveCarrier(TWorld& W, TPlayer& C, i32 carrier, bool newSequence) {
  const double dt = W.TimeStep;
  const f32 contact = TimeToContactOf(W, C, carrier);
  W.Teams[1].TimeToContact = contact;
  W.LastContactTime = contact;

  TActionEvent* E = C.ActionSeq.seqON != 0 ? CurrentEventOf(C.ActionSeq) : nullptr;
  if (E != nullptr) C.desiredspeed = E->DesSpeed;
  SetCarrierSpeed(W, C);

  if (E != nullptr && E->RelMovementOn == 0) {
    if (C.GettingTackledTimer <= 0 && E->EventType == 0) SteerOffTouch(W, C, *E);
    C.FacingAngle = FacingFromHeading(E->Angle);
    if (E->EventType == 7) CurveRunIn(W, C, *E);
  } else if (E != nullptr) {
    FaceTarget(W, C, *E);
  }

  const double f = C.FacingAngle - std::numbers::pi / 2.0;
  C.Pos.x = ToF32(C.Pos.x - std::cos(f) * C.speed * dt);
  C.Pos.z = ToF32(C.Pos.z + std::sin(f) * C.speed * dt);
  if (newSequence) C.ActionSeq.seqON = kFalse32;
}

// Section 12: the actions under way while their timers run, in this order:
// pass, kick, special action, dive, getting up, break, side-step.
void ContinueActions(TWorld& W) {
  ContinuePass(W);
  ContinueKick(W);
  ContinueSpecialAction(W);
  ContinueDive(W);
  ContinueGettingUp(W);
  ContinueBreak(W);
  ContinueSideStep(W);
}

// Section 13: the loose-ball take and forced run under way, the tackled
// carrier, the other players' reactions to a sharp turn and the turn of his
// heading towards his facing.
void ForcedMovesAndTurning(TWorld& W) {
  ContinueLooseBallTake(W);
  ContinueForcedRun(W);
  MoveTackledCarrier(W);
  ReactToSharpTurn(W);
  TurnCarrierHeading(W);
}

void RunningSections(TWorld& W) {
  const i32 carrier = W.Teams[1].BallCarrier;
  // Without a carrier on the field or time passing, there is nobody to run.
  if (!OnField(W, carrier) || !(W.TimeStep > 0)) return;
  TPlayer& C = W.Teams[1].Players[carrier];
  const bool newSequence = MeasureSpeedAndTemplate(W, C);
  ChangePassDecision(W);
  RunCarrierSequence(W, C, carrier);
  SteerAndMoveCarrier(W, C, carrier, newSequence);
  StartPass(W);
  AbortOrReleasePass(W);
  DecideKick(W);
  DecideDive(W);
  DecideSideStep(W);
  DecideBreak(W);
  DecideOffload(W);
  ContinueActions(W);
  ForcedMovesAndTurning(W);
}

}  // namespace

void BallCarrierDecision(TWorld& W) {
  if (W.gamestate == gsRunning) RunningSections(W);
  if (W.gamestate == gsGotTackled && W.GotTackledPhase > 1) {
    ReleaseFromRuck(W);
  } else if (W.gamestate == gsScrum && W.ScrumPhase > 1) {
    ReleaseFromScrum(W);
  }
}

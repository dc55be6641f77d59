#include "decision/StrategyUnit.h"

#include <cmath>
#include <numbers>

#include "core/Geometry.h"
#include "core/Kinematics.h"
#include "core/MoveBooks.h"
#include "core/Random.h"
#include "core/StrategyShapes.h"

void Strategy(TWorld& W) { (void)W; }

namespace {

constexpr f32 kTouchAlarmHold = 0.25f;   // s without a new alarm
constexpr f32 kScanInterval = 0.1f;      // s between defender scans
constexpr f32 kNoDefender = 100000.0f;   // s, the scan's start value
constexpr double kResampleAge = 0.3;     // s, least TimeSinceSample for a reset at a crossing
constexpr i32 kEventKick = 5;
constexpr i32 kEventRunDead = 6;
constexpr i32 kEventRunIn = 7;
constexpr i32 kEventRun = 0;

TPlayer* Carrier(TWorld& W) { return PlayerAt(W.Teams[1], W.Teams[1].BallCarrier); }

void RaiseTouchDanger() {
  StrategyParams.TouchDanger = kTrue32;
  StrategyParams.TouchDangerTimer = kTouchAlarmHold;
}

// The carrier's current event, or null when CurrEventIndex names none.
const TActionEvent* CurrentEvent(const TPlayer& P) {
  const i32 k = P.ActionSeq.CurrEventIndex;
  return k >= 1 && k <= 10 ? &P.ActionSeq.EventArray[k] : nullptr;
}

// A defender who is busy elsewhere enters the scan as standing still.
bool IsBusyDefender(const TPlayer& D, i32 carrier) {
  const f32 kind = D.TackleAttemptKind;
  const bool lunge = kind == 3 || kind == 4 || kind == 5 || kind == 6 || kind == 7 || kind == 8;
  return D.OldTackleTimer > 0 || (D.TackleAttemptTimer > 0 && (D.target != carrier || lunge)) ||
         (D.playertofollowtimer > 0 && D.playertofollow != carrier) || D.standuptimer > 0 || D.RuckTimer > 0 ||
         D.RuckJoinDelay > 0;
}

// Rule 1: the carrier near a touch line and moving towards it.
void CheckTouchDanger(TWorld& W, const TPlayer& C) {
  StrategyParams.TouchDanger = kFalse32;
  if (StrategyParams.TouchDangerTimer > 0) return;
  const double edge = W.PitchWidth / 2.0 - 0.85;
  if (C.Pos.x < -edge && C.Velocity.x < -0.01) RaiseTouchDanger();
  if (C.Pos.x > edge && C.Velocity.x > 0.01) RaiseTouchDanger();
  if (C.passtimer > 0 && W.Teams[1].CarrierActionCode == 6) StrategyParams.TouchDanger = kFalse32;
}

// Rule 2: the least closing time of block 2 on the carrier, every 0.1 s.
void ScanClosingDefenders(TWorld& W, const TPlayer& C) {
  TStrategyParams& S = StrategyParams;
  S.PrevNearestClosing = S.NearestClosing;
  if (S.ClosingScanTimer > 0 || W.RunningPhase == 1) return;
  S.ClosingScanTimer = kScanInterval;
  S.NearestClosingMin = kNoDefender;
  S.NearestDefender = 1;
  const f32 carrierX0 = static_cast<f32>(C.Pos.x - static_cast<double>(W.TimeStep) * C.Velocity.x);
  const f32 carrierZ0 = static_cast<f32>(C.Pos.z - static_cast<double>(W.TimeStep) * C.Velocity.z);
  const i32 carrier = W.Teams[1].BallCarrier;
  for (int i = 1; i <= PlayerCount(W); ++i) {
    const TPlayer& D = W.Teams[2].Players[i];
    const TVector3& prev = IsBusyDefender(D, carrier) ? D.Pos : D.OldPos;
    const f32 reach = D.Pos.z < C.Pos.z ? 0.8f : 0.9f;
    const f32 t = ClosingTime(carrierX0, carrierZ0, C.Pos.x, C.Pos.z, prev.x, prev.z, D.Pos.x, D.Pos.z,
                              W.TimeStep, reach);
    if (t < S.NearestClosingMin) {
      S.NearestClosingMin = t;
      S.NearestDefender = i;
    }
  }
  W.SearchFlag = kTrue32;
  S.NearestClosing = S.NearestClosingMin;
}

// Rule 3: a defender about to arrive while the carrier is near touch, unless
// he reaches the try line first.
void CheckTouchDangerUnderPressure(TWorld& W, const TPlayer& C) {
  const TStrategyParams& S = StrategyParams;
  if (S.TouchDanger != 0 || S.TouchDangerTimer > 0 || !(S.NearestClosing <= 0.5f)) return;
  const double edge = W.PitchWidth / 2.0 - 1.9;
  if (!(C.Pos.x < -edge || C.Pos.x > edge)) return;
  if (C.Pos.z + static_cast<double>(C.Velocity.z) * S.NearestClosing < W.PitchLength / 2.0) RaiseTouchDanger();
}

// Rule 4: the estimate crossing the threshold asks both books to resample.
void ResampleOnThresholdCrossing() {
  const TStrategyParams& S = StrategyParams;
  const f32 prev = S.PrevNearestClosing;
  const f32 limit = S.ClosingThreshold;
  const f32 now = S.NearestClosing;
  if (!((prev < limit && limit < now) || (prev > limit && limit > now))) return;
  for (TMoveBook& B : MoveBooks) {
    if (B.TimeSinceSample > kResampleAge) B.ResampleTimer = 0;
  }
}

// Rule 5: a run dead or run in under way, or a dive, forbids sampling.
bool SamplingAllowed(const TPlayer& C) {
  const TActionEvent* e = C.ActionSeq.seqON != 0 ? CurrentEvent(C) : nullptr;
  if (e != nullptr && (e->EventType == kEventRunDead || e->EventType == kEventRunIn)) return false;
  return !(C.DiveTimer > 0);
}

// Rule 6's projection: running on at 0.8 to 1.0 of top speed until the
// nearest defender arrives (at most 0.5 s), with 0.75 m of dive when he is
// not about to, the carrier reaches over the try line inside the touch lines.
bool ProjectedOverTryLine(const TWorld& W, const TPlayer& C) {
  const double closing = StrategyParams.NearestClosing;
  double v = C.speed;
  if (v < 0.8 * C.maxspeed) v = 0.8 * C.maxspeed;
  if (v > C.maxspeed) v = C.maxspeed;
  const double t = closing < 0.5 ? closing : 0.5;
  const double e = closing > 0.225 ? 0.75 : 0.0;
  const double a = C.FacingAngle - std::numbers::pi;
  const double z = C.Pos.z + std::sin(a) * (v * t + e);
  const double x = W.BallPos.x - std::cos(a) * v * t;
  const double halfWidth = W.PitchWidth / 2.0;
  return z > W.PitchLength / 2.0 && -halfWidth < x && x < halfWidth;
}

// Rule 6: a carrier on a plain run close to the line who can reach over it
// before the defender arrives.
void CheckRunIn(TWorld& W, const TPlayer& C, const TMoveBook& Book) {
  W.SearchFlag2 = kFalse32;
  if (W.SearchFlag == 0 || !(Book.ResampleTimer > 0) || C.ActionSeq.seqON == 0) return;
  const TActionEvent* e = CurrentEvent(C);
  if (e == nullptr || e->EventType != kEventRun) return;
  if (!(C.Pos.z >= W.PitchLength / 2.0 - 3.5) || !(StrategyParams.NearestClosing < 0.75f)) return;
  if (ProjectedOverTryLine(W, C)) W.SearchFlag2 = kTrue32;
}

// The carrier's sequence from the blank template; its first event is
// returned for the rule to fill.
TActionEvent& LoadTemplate(TPlayer& C) {
  C.ActionSeq = StrategyParams.ActionSeqTemplate;
  return C.ActionSeq.EventArray[1];
}

// Rule 7: over the line, or facing it on the line, or the check above: run in.
void RunIn(TWorld& W, TPlayer& C) {
  const double line = W.PitchLength / 2.0;
  const bool facingIn = std::sin(C.FacingAngle - std::numbers::pi) > 0;
  const bool over = C.Pos.z >= line + 0.25 || (C.Pos.z >= line && C.Pos.z < line + 0.25 && facingIn);
  if (!over && W.SearchFlag2 == 0) return;
  C.passtimer = 0;
  C.KickTimer = 0;
  W.Teams[1].PassTimeLeft = 0;
  W.Teams[1].KickTimeLeft = 0;
  TActionEvent& e = LoadTemplate(C);
  e.EventType = kEventRunIn;
  e.Angle = C.Pos.x > 0 ? 3.0f : 177.0f;
  e.DesSpeed = C.maxspeed;
}

// Rule 8: deep in his own in-goal, the carrier grounds the ball, unless his
// side trails after full time.
void RunDead(TWorld& W, TPlayer& C) {
  const TTeamBlock& T1 = W.Teams[1];
  if (!(C.Pos.z <= -W.PitchLength / 2.0 - 0.25) || T1.CarriedIntoOwnInGoal != 0) return;
  const bool trailingAfterTime =
      W.MatchPhase == 2 && W.clock >= 2.0 * W.halflength && T1.score < W.Teams[2].score;
  if (trailingAfterTime) return;
  TActionEvent& e = LoadTemplate(C);
  e.EventType = kEventRunDead;
  e.DesSpeed = static_cast<f32>(0.55 * C.maxspeed);
  f32 angle = NormaliseHeading(C.Heading);
  if (angle > 0 && angle < 90) {
    angle = 359.0f;
  } else if (angle >= 90 && angle < 180) {
    angle = 181.0f;
  }
  e.Angle = angle;
}

bool TimeUpKickWanted(const TWorld& W, const TPlayer& C) {
  const TTeamBlock& T1 = W.Teams[1];
  const TTeamBlock& T2 = W.Teams[2];
  const double ownHalf = 0.0;
  if (W.MatchPhase == 1 && W.clock >= W.halflength && C.Pos.z < ownHalf) {
    const bool farBehind = static_cast<double>(T1.score) + 7 < T2.score;
    return !farBehind || C.Pos.z < -W.PitchLength / 2.0 + 22.0;
  }
  if (W.MatchPhase == 2 && W.clock >= 2.0 * W.halflength) {
    return T1.score > T2.score || (T1.score == T2.score && C.Pos.z < ownHalf);
  }
  return false;
}

}  // namespace

void RunSharedCarrierGuards(TWorld& W) {
  TPlayer* C = Carrier(W);
  if (C == nullptr) {
    StrategyParams.TouchDanger = kFalse32;
    return;
  }
  CheckTouchDanger(W, *C);
  ScanClosingDefenders(W, *C);
  CheckTouchDangerUnderPressure(W, *C);
  ResampleOnThresholdCrossing();
}

bool RunSideCarrierGuards(TWorld& W) {
  TPlayer* C = Carrier(W);
  if (C == nullptr || W.RunningPhase == 1) return false;
  const bool allowed = SamplingAllowed(*C);
  CheckRunIn(W, *C, PossessionMoveBook(W));
  if (allowed) RunIn(W, *C);
  if (allowed) RunDead(W, *C);
  return allowed;
}

void RunTimeUpKick(TWorld& W) {
  TPlayer* C = Carrier(W);
  if (C == nullptr || C->KickTimer > 0) return;
  const TSimResult& best = PossessionMoveBook(W).BestResult;
  if (!(best.Gain < 7.0f) || !(best.EndBallZ < W.PitchLength / 2.0)) return;
  if (!TimeUpKickWanted(W, *C)) return;
  TActionEvent& e = LoadTemplate(*C);
  e.EventType = kEventKick;
  e.DesSpeed = static_cast<f32>(0.5 * C->maxspeed);
  e.Angle = static_cast<f32>(C->Pos.x > 0 ? RandomRange(170, 181) : RandomRange(0, 11));
  e.KickLaunchSpeed = 30.0f;
  e.KickLaunchElevation = static_cast<f32>(RandomRange(38, 43));
  e.KickLaunchHeading = e.Angle;
}

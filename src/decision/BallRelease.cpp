#include "decision/BallRelease.h"

#include <cmath>
#include <numbers>

#include "contact/BreakdownRelease.h"
#include "core/AuxState.h"
#include "core/Geometry.h"
#include "core/Kinematics.h"
#include "core/Random.h"
#include "core/StrategyShapes.h"
#include "decision/CarrierLookups.h"
#include "motion/AnimatePlayersUnit.h"

namespace {

constexpr double kOnSpot = 0.2;           // m, holder (and a receiver at a ruck) on his spot
constexpr double kAwayFromSpot = 0.5;     // m, a team-mate still on his way
constexpr double kRuckLong = 5.0;         // s of BreakdownClock ...
constexpr double kRuckOverLong = 1.0;     // ... and of RuckWaitClock: release whatever the positions
constexpr double kLookAhead = 0.5;        // s, where the receiver is across when the pass side is chosen
constexpr double kTouchMargin = 2.0;      // m from touch: the receiver runs straight
constexpr double kLevelMargin = 0.1;      // m behind the holder: a catch level with him
constexpr double kLevelSlowDown = 0.75;   // of the run speed, for a catch level with the holder
constexpr double kPickUpCarry = 0.3;      // of the pick-up animation: the holder carries from here
constexpr f32 kActionTimer = 10.0f;       // s, passtimer and freeballcatchtimer of an action under way
constexpr i32 kSetPiecePassKind = 6;      // PassKind of a pass from a set piece
constexpr f32 kScrumCarrierSpeed = 5.0f;  // m/s
constexpr int kScrumAnimPhase = 7;        // ScrumPhase in which the carrier faces SpecialAnimAngle
constexpr int kScrumReleasePhase = 10;    // ScrumPhase from which the ball is released

// The two releases differ only in these switches.
struct TReleaseRules {
  bool waitForSide;      // readiness waits for team-mates (with the ruck-time override) and RestartDelay
  bool testReceiver;     // the receiver must be on his spot or sent
  bool readBackSpeed;    // run speed read back from the template, capped at maxspeed
  bool touchAndLevel;    // touch-line straight run and level-catch slow-down
  int rightAngleEnd;     // RandomRange end of the right-side run angle
  bool pickUpOnEvent;    // pick-up on the first event's Angle when the sequence is on
  bool redrawCover;      // opponents' cover reaction redrawn, holder's speed from Acceleration
};

constexpr TReleaseRules kRuckRules{true, true, true, true, 135, true, true};
constexpr TReleaseRules kScrumRules{false, false, false, false, 136, false, false};

f32 SpotDistance(const TPlayer& P) { return Distance2D(P.Pos.x, P.Pos.z, P.DesiredPos.x, P.DesiredPos.z); }

bool OnSpot(const TPlayer& P) { return SpotDistance(P) <= kOnSpot; }

// ------------------------------------------------------------------ part A

// The holder's reduced sequence runner: restart, expiry of the other events,
// distance of the current one, and the choice of the event in force.
void RunHolderSequence(const TWorld& W, TPlayer& H) {
  TActionSeq& S = H.ActionSeq;
  const int n = EventCount(S);
  const double dt = W.TimeStep;
  if (S.CurrEventIndex == 0) {
    for (int k = 1; k <= n; ++k) {
      TActionEvent& E = S.EventArray[k];
      E.DistTravelled = 0;
      E.ProgressAux = 0;
      E.Complete = kFalse32;
      E.DeadlineLeft = E.Deadline;
    }
  } else {
    for (int k = 1; k <= n; ++k) {
      TActionEvent& E = S.EventArray[k];
      if (k == S.CurrEventIndex || E.Complete != 0 || !(E.DeadlineLeft > 0)) continue;
      E.DeadlineLeft = ToF32(E.DeadlineLeft - dt);
      if (E.DeadlineLeft <= 0) E.Complete = kTrue32;
    }
    if (TActionEvent* E0 = CurrentEventOf(S)) {
      TActionEvent& E = *E0;
      if (E.EventType == 0 && E.DistTravelled > E.DistOrig) E.Complete = kTrue32;
      E.DistTravelled = ToF32(E.DistTravelled + static_cast<double>(H.speed) * dt);
    }
  }
  for (int k = 1; k <= n; ++k) {
    TActionEvent& E = S.EventArray[k];
    if (E.Complete != 0) continue;
    S.CurrEventIndex = k;
    if (E.DeadlineLeft <= 0) E.DeadlineLeft = E.Deadline;
    return;
  }
  S.seqON = kFalse32;
}

// Whether team-mate P, d m from his spot, still holds the ball in: the
// further across from the mark his spot lies, the further off he may be.
bool HoldsBallIn(const TWorld& W, const TPlayer& P) {
  if (P.ActionSeq.seqON == 0 || P.ActionSeq.SeqHeadFlag != 0) return false;
  const double d = SpotDistance(P);
  if (!(d > kAwayFromSpot)) return false;
  const double dx = std::fabs(static_cast<double>(P.DesiredPos.x) - W.MarkX);
  if (dx < 10.0) return true;
  if (dx < 15.0) return d > 0.75;
  if (dx < 20.0) return d > 1.0;
  if (dx < 25.0) return d > 1.25;
  return d > 2.0;
}

// Long enough in the ruck to release whatever the positions.
bool RuckHasRunLong(const TWorld& W) { return W.BreakdownClock > kRuckLong && W.RuckWaitClock > kRuckOverLong; }

// Part A's readiness: the holder on his spot and, at a ruck, RestartDelay
// out and the side in place (or the ruck long enough).
bool AttackReady(const TWorld& W, const TPlayer& H, const TReleaseRules& R) {
  if (!OnSpot(H)) return false;
  if (!R.waitForSide) return true;
  if (W.RestartDelay > 0) return false;
  if (RuckHasRunLong(W)) return true;
  for (int i = 1; i <= PlayerCount(W); ++i) {
    if (HoldsBallIn(W, W.Teams[1].Players[i])) return false;
  }
  return true;
}

// The receiver's run speed: a draw of up to a quarter of his top speed put
// into his new (template) sequence; at a ruck read back from it and capped.
void SetReceiverRun(TTeamBlock& B, TPlayer& Rc, const TReleaseRules& R) {
  B.ReceiverRunSpeed = ToF32(RandomRange(1, 251) / 1000.0 * Rc.maxspeed);
  Rc.ActionSeq = StrategyParams.ActionSeqTemplate;
  Rc.ActionSeq.EventArray[1].DesSpeed = B.ReceiverRunSpeed;
  if (!R.readBackSpeed) return;
  const TActionSeq& S = Rc.ActionSeq;
  const TActionEvent* E = CurrentEventOf(S);
  if (S.seqON != 0) B.ReceiverRunSpeed = (E != nullptr ? *E : S.EventArray[1]).DesSpeed;
  if (B.ReceiverRunSpeed > Rc.maxspeed) B.ReceiverRunSpeed = Rc.maxspeed;
}

// The pass decision of a ready holder whose hands are free.
void DecidePass(TWorld& W, TPlayer& H, i32 holder, const TReleaseRules& R) {
  TTeamBlock& B = W.Teams[1];
  const TActionSeq& S = H.ActionSeq;
  const TActionEvent* E = CurrentEventOf(S);
  const i32 named = E != nullptr ? E->EventSubType : 0;
  B.PassReceiver = OnField(W, named) ? named : 0;
  if (B.PassReceiver == 0 || B.PassReceiver == holder) {
    H.ActionSeq.seqON = kFalse32;
    return;
  }
  TPlayer& Rc = B.Players[B.PassReceiver];
  const TActionSeq& RS = Rc.ActionSeq;
  const bool sent = RS.seqON != 0 && RS.SeqHeadValue > 0 && RS.SeqHeadFlag != 0;
  if (R.testReceiver && !OnSpot(Rc) && !sent) return;

  B.HalfTimeAux = kTrue32;
  Rc.shimmytimer = 0;
  const double across = Rc.Pos.x - std::cos(Rc.FacingAngle - std::numbers::pi / 2.0) * Rc.speed * kLookAhead;
  const bool left = across < H.Pos.x;
  SetReceiverRun(B, Rc, R);

  const double halfWidth = 0.5 * W.PitchWidth;
  H.passtimer = kActionTimer;
  B.PassKind = kSetPiecePassKind;
  if (left) {
    B.ReceiverRunAngle = static_cast<f32>(RandomRange(45, 91));
    if (R.touchAndLevel && Rc.Pos.x < -halfWidth + kTouchMargin) B.ReceiverRunAngle = 90.0f;
    B.PasserRunAngle = 70.0f;
    B.PassSide = 1;
    DrawReleaseTime(B, H.DummyhalfPassLeftReleaseTime);
  } else {
    B.ReceiverRunAngle = static_cast<f32>(RandomRange(90, R.rightAngleEnd));
    if (R.touchAndLevel && Rc.Pos.x > halfWidth - kTouchMargin) B.ReceiverRunAngle = 90.0f;
    B.PasserRunAngle = 110.0f;
    B.PassSide = 2;
    DrawReleaseTime(B, H.DummyhalfPassRightReleaseTime);
  }
  B.PassDuration = B.PassTimeLeft;
  if (!R.touchAndLevel) return;
  const double catchZ =
      Rc.Pos.z + std::sin(B.ReceiverRunAngle * kDegToRad) * B.ReceiverRunSpeed * static_cast<double>(B.PassTimeLeft);
  if (catchZ > H.Pos.z - kLevelMargin) B.ReceiverRunSpeed = ToF32(kLevelSlowDown * B.ReceiverRunSpeed);
}

// Part A: while the holder's first event is a pass.
void ReleaseByPass(TWorld& W, TPlayer& H, i32 holder, const TReleaseRules& R) {
  RunHolderSequence(W, H);
  if (W.Teams[1].HalfTimeAux != 0 || !AttackReady(W, H, R)) return;
  if (H.passtimer <= 0) DecidePass(W, H, holder, R);
}

// ------------------------------------------------------------------ part B

// Whether the pick-up may start: the holder's hands free and he, and at a
// ruck his side, ready. Unlike the pass, every running team-mate off his spot
// holds it in, whatever his lateral place.
bool PickUpReady(const TWorld& W, const TPlayer& H, const TReleaseRules& R) {
  if (!OnSpot(H) || H.freeballcatchtimer > 0) return false;
  if (!R.waitForSide) return true;
  if (W.RestartDelay > 0) return false;
  if (RuckHasRunLong(W)) return true;
  for (int i = 1; i <= PlayerCount(W); ++i) {
    const TPlayer& P = W.Teams[1].Players[i];
    if (P.ActionSeq.seqON != 0 && SpotDistance(P) > kAwayFromSpot) return false;
  }
  return true;
}

void StartPickUp(TPlayer& H, const TReleaseRules& R) {
  H.freeballcatchtimer = kActionTimer;
  H.FreeBallCatchAngle = 90.0f;
  H.FreeBallCatchFacing = 90.0f;
  H.FreeBallCatchSpeed = 0.1f;
  H.FreeBallCatchKind = 2;
  if (R.pickUpOnEvent && H.ActionSeq.seqON != 0) {
    H.FreeBallCatchAngle = H.ActionSeq.EventArray[1].Angle;
    H.FreeBallCatchFacing = H.ActionSeq.EventArray[1].Angle;
  }
}

}  // namespace

void RestartDecisionsAfterBreakdown(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  TTeamBlock& D = W.Teams[2];
  A.SampleTimer = 0;
  if (W.LiveWorld != 0) A.SampleRequest = kTrue32;
  A.StrategyTimer = 0;
  D.StrategyTimer = 0;
  for (int i = 1; i <= PlayerCount(W); ++i) {
    TPlayer& P = D.Players[i];
    P.ReactionDelayExtra1.value = DrawClamped(P.ReactionDelayExtra1);
    P.PassReadTimer = P.ReactionDelayExtra1.value;
    P.RunningAngleReactionTime.value = 0;
  }
  D.PressureTimerA = 0;
  D.PressureTimerB = 0;
  W.PassSpiral = kTrue32;
}

namespace {

// The holder carries: play runs again, the defence reacts, the sampler and
// strategies start afresh and the breakdown breaks up.
void BackToRunning(TWorld& W, TPlayer& H, i32 holder, const TReleaseRules& R) {
  TTeamBlock& A = W.Teams[1];
  TTeamBlock& D = W.Teams[2];
  const int n = PlayerCount(W);
  W.gamestate = gsRunning;
  A.BallCarrier = holder;
  PostMessage(W, A.teamid, H.id, msgCarryStart, 0.0f);
  if (R.redrawCover) {
    for (int i = 1; i <= n; ++i) {
      TDistribution& t = D.Players[i].DefensiveRunningAngleReactionTime;
      t.value = DrawDistribution(t);
    }
    H.speed = ToF32(0.5 * H.Acceleration);
    if (H.speed > H.maxspeed) H.speed = H.maxspeed;
  }
  RestartDecisionsAfterBreakdown(W);
  ReleaseBoundPlayers(W, 0.0f, 1.0f);
  f32 best = 0;
  for (int i = 1; i <= n; ++i) {
    if (A.Players[i].RuckTimer2 > best) best = A.Players[i].RuckTimer2;
    if (D.Players[i].RuckTimer2 > best) best = D.Players[i].RuckTimer2;
  }
  const f32 after = ToF32(best + 0.25);
  for (int i = 1; i <= n; ++i) {
    EndRunningTackle(W, 1, i, after, false);
    EndRunningTackle(W, 2, i, after, false);
  }
}

// Part B: the pick-up and the return to running.
void ReleaseByPickUp(TWorld& W, TPlayer& H, i32 holder, const TReleaseRules& R) {
  TTeamBlock& B = W.Teams[1];
  if (B.HalfTimeAux != 0 && H.freeballcatchtimer > 0 && AnimProgress(H) > kPickUpCarry) B.BallCarrier = holder;
  if (B.HalfTimeAux == 0 && PickUpReady(W, H, R)) {
    B.HalfTimeAux = kTrue32;
    StartPickUp(H, R);
  }
  if (B.HalfTimeAux != 0 && H.freeballcatchtimer <= 0) BackToRunning(W, H, holder, R);
}

// The release of either set piece: part A while the first event is a pass,
// part B unless that pass event is still running.
void ReleaseBall(TWorld& W, const TReleaseRules& R) {
  const i32 holder = W.Teams[1].SetPieceHolder;
  if (!OnField(W, holder)) return;
  TPlayer& H = W.Teams[1].Players[holder];
  const bool passFirst = H.ActionSeq.EventArray[1].EventType == 1;
  if (passFirst) ReleaseByPass(W, H, holder, R);
  if (passFirst && H.ActionSeq.seqON != 0) return;
  ReleaseByPickUp(W, H, holder, R);
}

}  // namespace

void MoveSetPieceCarrier(const TWorld& W, TPlayer& C, f32 DesiredSpeed) {
  const double dt = W.TimeStep;
  if (!(dt > 0)) return;
  C.speed = TimeToCover(C.Pos.x, C.Pos.z, C.OldPos.x, C.OldPos.z, W.PrevTimeStep);
  C.OldPos = C.Pos;
  C.desiredspeed = DesiredSpeed;
  const f32 turn = HeadingDifference(HeadingOfFacing(C.FacingAngle), HeadingOfFacing(C.PrevFacingAngle));
  const f32 cap = ToF32(ClampedLinear(turn, -0.9f, 100.0f, 0.0f, 100.0f, kTrue32, kTrue32) / 100.0 * C.maxspeed);
  if (cap < C.speed) C.speed = cap;
  MoveCarrierToSpot(W, C);
}

void MoveCarrierToSpot(const TWorld& W, TPlayer& C) {
  const double dt = W.TimeStep;
  if (!(dt > 0)) return;
  if (C.speed < C.desiredspeed) {
    C.speed = ToF32(C.speed + static_cast<double>(C.Acceleration) * dt);
    if (C.speed > C.desiredspeed) C.speed = C.desiredspeed;
  } else {
    C.speed = C.desiredspeed;
  }
  const double left = SpotDistance(C);
  if (C.speed * dt >= left) C.speed = ToF32(left / dt);
  C.PrevFacingAngle = C.FacingAngle;
  TVector3 gap;
  Subtract3D(C.DesiredPos, C.Pos, gap);
  Normalise3D(gap, C.Direction);
  C.Pos.x = ToF32(C.Pos.x + static_cast<double>(C.Direction.x) * C.speed * dt);
  C.Pos.z = ToF32(C.Pos.z + static_cast<double>(C.Direction.z) * C.speed * dt);
}

f32 SetPieceRunHeading(const TPlayer& C) { return HeadingToPoint(C.OldPos.x, C.OldPos.z, C.Pos.x, C.Pos.z, 90.0f); }

void FaceSetPieceCarrier(const TWorld& W, TPlayer& C, f32 H) {
  C.FacingAngle = ToF32((H + 90.0) * kDegToRad);
  TurnSetPieceCarrier(W, C);
}

void TurnSetPieceCarrier(const TWorld& W, TPlayer& C) {
  C.FacingHeading = HeadingOfFacing(C.FacingAngle);
  f32 gap;
  TurnHeadingToFacing(C, static_cast<double>(AuxState.TurnRate) * W.TimeStep, gap);
}

void ReleaseFromRuck(TWorld& W) { ReleaseBall(W, kRuckRules); }

void ReleaseFromScrum(TWorld& W) {
  const i32 carrier = W.Teams[1].BallCarrier;
  if (OnField(W, carrier) && W.TimeStep > 0) {
    TPlayer& C = W.Teams[1].Players[carrier];
    MoveSetPieceCarrier(W, C, kScrumCarrierSpeed);
    FaceSetPieceCarrier(W, C, W.ScrumPhase == kScrumAnimPhase ? C.SpecialAnimAngle : SetPieceRunHeading(C));
  }
  if (W.ScrumPhase >= kScrumReleasePhase) ReleaseBall(W, kScrumRules);
}

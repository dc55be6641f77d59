#include "decision/CarrierPass.h"

#include <cmath>
#include <string>

#include "core/Geometry.h"
#include "core/Kinematics.h"
#include "core/MoveBooks.h"
#include "core/NumberFormat.h"
#include "core/Random.h"
#include "core/RunLog.h"
#include "decision/CarrierLookups.h"
#include "motion/AnimatePlayersUnit.h"

namespace {

constexpr f32 kPassTimer = 10.0f;              // s, the pass action; the release and its animation end it
constexpr double kWindUpShare = 0.75;          // of PassDuration left: a quarter of the wind-up must be gone
constexpr f32 kSprintFrames = 1839.0f;         // frames of "sprintwithball"
constexpr double kLongPassPressure = 0.35;     // s, TimeToContact that calls a kind-4 dummy while sampling
constexpr double kPassPressure = 0.5;          // s, the same for kinds 2 and 4 without sampling
constexpr double kBiteReach = 2.25;            // m, a defender nearer the carrier does not bite
constexpr double kBiteTime = 0.475;            // s, a bite when no release time is set
constexpr double kBiteMax = 0.75;              // s, the longest bite
constexpr double kReceiverTurn = 70.0;         // degrees off the line to the carrier a receiver may run
constexpr double kTouchMargin = 0.5;           // m inside touch a receiver's run must stay
constexpr double kLeadDistance = 1.0;          // m, the point a prediction runs towards
constexpr f32 kStopHeading = 90.0f;            // degrees, reported for a runner stopped at his target
constexpr double kSlowDownShare = 0.75;        // of the passer's predicted speed
constexpr double kSlowDownFloor = 1.0;         // m/s, a passer this slow is not slowed further
constexpr double kNoEta = 10000.0;             // m, start of the least ClosingEta
constexpr f32 kDefaultPassHeading = 315.0f;    // degrees, passer and catch point together
constexpr double kSameHeading = 0.01;          // per axis of the unit vectors
constexpr double kPopReach = 2.0;              // m per axis: a pop pass
constexpr double kShortPass = 6.0;             // m, longest short pass
constexpr double kLongPass = 12.0;             // m, beyond this a long pass
constexpr double kStandingSpeed = 0.2;         // m/s, a slower passer passes standing still
constexpr double kDrawAndPassMargin = 0.225;   // s beyond DrawAndPassContactTime that aborts the pass

// ------------------------------------------------------------------ look-ups

bool IsDummy(i32 Kind) { return Kind == 3 || Kind == 4; }

// The timer step lets the ball go in this frame.
bool ReleasesThisFrame(const TWorld& W) {
  const f32 left = W.Teams[1].PassTimeLeft;
  return left > 0 && static_cast<double>(left) - W.TimeStep <= 0;
}

f32 FacingDegrees(const TPlayer& P) { return ToF32(P.FacingAngle * kRadToDeg); }

// ------------------------------------------------------------------ pass-decision change

// The carrier runs on with the ball: "sprintwithball", looping, at the same
// fraction of the animation as before.
void SwitchToSprint(TPlayer& C) {
  const double fraction = AnimProgress(C);
  C.currentAnim.Assign("sprintwithball");
  C.AnimLoop = kTrue32;
  C.BallTrack = 1;
  C.AnimLoopCount = 0;
  C.AnimLoopTime = 0.0f;
  C.currentframe = ToF32(fraction * kSprintFrames);
  C.maxframes = kSprintFrames;
}

// ------------------------------------------------------------------ pass start

// Whether the carrier wants to play an event of this kind now: kinds 1 and 3
// always, the draw-and-pass and the long dummy only under pressure.
bool WishesToPass(const TWorld& W, const TPlayer& C, i32 Kind) {
  const double contact = W.Teams[1].TimeToContact;
  if (Kind == 1 || Kind == 3) return true;
  if (Kind != 2 && Kind != 4) return false;
  if (PossessionMoveBook(W).SamplingOn == 0) return contact < kPassPressure;
  return Kind == 2 ? contact < C.DrawAndPassStartTime.value : contact < kLongPassPressure;
}

// No pass, dive, get-up, break, catch, forced run, step or tackle is under
// way; a carrier still catching may pass when the world or his side allows.
bool MayStartPass(const TWorld& W, const TPlayer& C) {
  if (C.passtimer > 0) return false;
  if (!(W.PassOnCatchAllowed != 0 || C.passcatchtimer <= 0 || W.Teams[1].ActOnCatchAllowed == 1)) return false;
  for (f32 t : {C.DiveTimer, C.standuptimer, C.BreakTackleTimer, C.freeballcatchtimer, C.ForcedRunTimer, C.StepTimer,
                C.GettingTackledTimer}) {
    if (t > 0) return false;
  }
  return !(C.SpecialAnimTimer > 0 && C.SpecialAnimKind == 3.0f);
}

// The mean of the carrier's ten release-time means (pop to standing still,
// left and right): the wind-up before the pass is classified.
f32 MeanReleaseTime(const TPlayer& C) {
  double sum = 0.0;
  for (const TDistribution* d :
       {&C.PopPassLeftReleaseTime, &C.ShortPassLeftReleaseTime, &C.MediumPassLeftReleaseTime,
        &C.LongPassLeftReleaseTime, &C.StandingStillPassLeftReleaseTime, &C.PopPassRightReleaseTime,
        &C.ShortPassRightReleaseTime, &C.MediumPassRightReleaseTime, &C.LongPassRightReleaseTime,
        &C.StandingStillPassRightReleaseTime}) {
    sum += d->mean;
  }
  return ToF32(sum / 10.0);
}

bool IsPassReactor(const TTeamBlock& T, i32 n) {
  for (int k = 1; k <= 5; ++k) {
    if (T.PassReactors[k] == n) return true;
  }
  return false;
}

// On a dummy, each of block 2's PassReactors ahead of the carrier and not
// already biting may bite towards the receiver: one draw each, against the
// mean of the carrier's DummyPassRating and his DummyBiteRating.
void MakeDefendersBite(TWorld& W, const TPlayer& C, i32 Kind) {
  if (!IsDummy(Kind)) return;
  const TTeamBlock& A = W.Teams[1];
  TTeamBlock& B = W.Teams[2];
  const double dt = W.TimeStep;
  double bite = kBiteTime;
  if (A.PassTimeLeft > 0) bite = A.PassTimeLeft + dt;
  if (bite > kBiteMax) bite = kBiteMax;
  for (int i = 1; i <= PlayerCount(W); ++i) {
    TPlayer& D = B.Players[i];
    if (!(D.Pos.z > C.Pos.z && D.DummyBiteTimer <= 0 && IsPassReactor(B, i))) continue;
    const double chance = (static_cast<double>(C.DummyPassRating) + D.DummyBiteRating) / 2.0;
    if (RandomRange(1, 1001) < chance && Distance2D(C.Pos.x, C.Pos.z, D.Pos.x, D.Pos.z) > kBiteReach &&
        D.playertofollowtimer <= 0) {
      D.DummyBiteTimer = ToF32(bite);
      D.DummyBiteTarget = A.PassReceiver;
    }
  }
}

// The speed the receiver runs at: his own, or the desired speed of the first
// event of his running sequence that is not complete.
f32 ReceiverRunSpeedOf(const TPlayer& R) {
  if (R.ActionSeq.seqON != 0) {
    const int n = R.ActionSeq.NumEvents < 0 ? 0 : (R.ActionSeq.NumEvents > 10 ? 10 : R.ActionSeq.NumEvents);
    for (int k = 1; k <= n; ++k) {
      if (R.ActionSeq.EventArray[k].Complete == 0) return R.ActionSeq.EventArray[k].DesSpeed;
    }
  }
  return R.speed;
}

// The heading the receiver runs on, degrees. Without a sequence his facing,
// turned half way towards up-field (one facing back takes the carrier's
// side); with one his movement, kept within kReceiverTurn of the line to the
// carrier. A run that would reach touch before the ball goes straight up.
f32 ReceiverRunHeading(const TWorld& W, const TPlayer& C, const TPlayer& R, f32 RunSpeed) {
  const f32 f = ToF32(FacingDegrees(R) - 90.0);
  f32 a = f;
  if (R.ActionSeq.seqON == 0) {
    if (a > 180.0f && a <= 360.0f) a = C.Pos.x > C.OldPos.x ? 180.0f : (C.Pos.x < C.OldPos.x ? 0.0f : 90.0f);
    const double half = HeadingDifference(a, 90.0f) / 2.0;
    a = ToF32(a <= 90.0f ? a + half : a - half);
  } else {
    const f32 h1 = HeadingToPoint(R.OldPos.x, R.OldPos.z, R.Pos.x, R.Pos.z, f);
    const f32 h2 = HeadingToPoint(R.Pos.x, R.Pos.z, C.Pos.x, C.Pos.z, f);
    if (HeadingDifference(h1, h2) < kReceiverTurn) {
      a = h1;
    } else {
      const f32 plus = ToF32(h2 + kReceiverTurn);
      const f32 minus = ToF32(h2 - kReceiverTurn);
      a = NormaliseHeading(HeadingDifference(h1, minus) > HeadingDifference(h1, plus) ? plus : minus);
    }
  }
  const double flight = static_cast<double>(C.LongPassRightReleaseTime.max) +
                        Distance2D(R.Pos.x, R.Pos.z, C.Pos.x, C.Pos.z) / (kWindUpShare * C.maxpassspeed);
  const double x = R.Pos.x - std::cos(a * kDegToRad) * RunSpeed * flight;
  const double edge = W.PitchWidth / 2.0 - kTouchMargin;
  if (x < -edge || x > edge) a = 90.0f;
  return a;
}

// The receiver's run speed held down by the turn from his facing onto
// heading A.
f32 TurnLimitedSpeed(const TPlayer& R, f32 A, f32 RunSpeed) {
  const f32 turn = HeadingDifference(FacingDegrees(R), ToF32(A + 90.0));
  const double cap = ClampedLinear(turn, R.SpeedLossSlope, 100.0f, 0.0f, 100.0f, kTrue32, kTrue32) / 100.0 * R.maxspeed;
  return cap < RunSpeed ? ToF32(cap) : RunSpeed;
}

// Where P is after Time running on Heading, up to TopSpeed.
TRunPrediction PredictAlong(const TPlayer& P, f32 TopSpeed, f32 Time, f32 Heading) {
  const TDirection u = HeadingDirection(Heading);
  return PredictRunPosition(P.speed, P.Acceleration, TopSpeed, Time, kStopHeading, P.Pos.x, P.Pos.z,
                            ToF32(P.Pos.x + kLeadDistance * u.x), ToF32(P.Pos.z + kLeadDistance * u.z), kFalse32);
}

// The receiver's run and catch point: a catch point within half his body
// width of touch is predicted again with him running straight up-field.
void PredictCatchPoint(TWorld& W, const TPlayer& C, const TPlayer& R) {
  TTeamBlock& T = W.Teams[1];
  f32 speed = ReceiverRunSpeedOf(R);
  f32 a = ReceiverRunHeading(W, C, R, speed);
  speed = TurnLimitedSpeed(R, a, speed);
  T.CatchPoint = PredictAlong(R, speed, T.PassTimeLeft, a);
  const double edge = W.PitchWidth / 2.0 - R.BodyWidth / 2.0;
  if (T.CatchPoint.x >= edge || T.CatchPoint.x <= -edge) {
    a = 90.0f;
    speed = TurnLimitedSpeed(R, a, speed);
    T.CatchPoint = PredictAlong(R, speed, T.PassTimeLeft, a);
  }
  T.ReceiverRunSpeed = speed;
  T.ReceiverRunAngle = a;
}

// The closing defender with the least ClosingEta, or null.
const TPlayer* NearestClosingDefender(const TWorld& W) {
  const TPlayer* best = nullptr;
  double least = kNoEta;
  for (int i = 1; i <= PlayerCount(W); ++i) {
    const TPlayer& D = W.Teams[2].Players[i];
    if (D.ClosingOnCarrier != 0 && D.InterceptZ < least) {
      least = D.InterceptZ;
      best = &D;
    }
  }
  return best;
}

// Where the passer is at the release, running on at his facing and top
// speed; slowed to kSlowDownShare of that when the nearest closing defender
// would reach him first and a slower run keeps him further from that
// defender and ahead of the catch point.
void PredictPasser(TWorld& W, const TPlayer& C) {
  TTeamBlock& T = W.Teams[1];
  T.PasserRunAngle = ToF32(FacingDegrees(C) - 90.0);
  T.PasserSpeedRef = C.maxspeed;
  T.PasserPredicted = PredictAlong(C, T.PasserSpeedRef, T.PassTimeLeft, T.PasserRunAngle);
  if (!(T.PasserSpeedRef > kSlowDownFloor)) return;
  const TPlayer* D = NearestClosingDefender(W);
  if (D == nullptr) return;
  const f32 d = Distance2D(D->Pos.x, D->Pos.z, T.PasserPredicted.x, T.PasserPredicted.z);
  if (!(TimeToCoverAccelerating(D->speed, D->Acceleration, D->maxspeed, d) < T.PassTimeLeft)) return;
  const double slow = kSlowDownShare * T.PasserPredicted.speed;
  const TDirection u = HeadingDirection(T.PasserRunAngle);
  const f32 qx = ToF32(C.Pos.x + slow * T.PassTimeLeft * u.x);
  const f32 qz = ToF32(C.Pos.z + slow * T.PassTimeLeft * u.z);
  if (Distance2D(D->Pos.x, D->Pos.z, qx, qz) < d && qz > T.CatchPoint.z) {
    T.PasserSpeedRef = ToF32(slow);
    T.PasserPredicted = PredictAlong(C, T.PasserSpeedRef, T.PassTimeLeft, T.PasserRunAngle);
  }
}

// Length and heading of the pass from the passer's predicted point, turned
// by the passer's heading off straight up-field, and the catch point that
// heading gives.
void SetPassGeometry(TWorld& W) {
  TTeamBlock& T = W.Teams[1];
  const TRunPrediction& P = T.PasserPredicted;
  const TRunPrediction& Q = T.CatchPoint;
  T.PassLength = Distance2D(P.x, P.z, Q.x, Q.z);
  T.PassHeading = HeadingToPoint(P.x, P.z, Q.x, Q.z, kDefaultPassHeading);
  T.PasserHeading = T.PasserRunAngle;
  T.PasserHeadingOffset = HeadingDifference(T.PasserHeading, 90.0f);
  const double turned = (static_cast<double>(T.PasserHeading) + T.PasserHeadingOffset) * kDegToRad;
  const double up = 90.0 * kDegToRad;
  const bool offsetTurnsUp = std::fabs(std::cos(up) - std::cos(turned)) < kSameHeading &&
                             std::fabs(std::sin(up) - std::sin(turned)) < kSameHeading;
  T.PassHeading = ToF32(offsetTurnsUp ? static_cast<double>(T.PassHeading) + T.PasserHeadingOffset
                                      : static_cast<double>(T.PassHeading) - T.PasserHeadingOffset);
  const TDirection u = HeadingDirection(T.PassHeading);
  T.RelativeCatchPoint = {ToF32(P.x + T.PassLength * u.x), ToF32(P.z + T.PassLength * u.z)};
}

// Side and kind of the pass and its release time: a pop pass within
// kPopReach on both axes; otherwise short, then medium, then long as the
// distance passes each bound, then standing still for a passer who is not
// moving, each kind drawing its own release time again.
void ClassifyPass(TWorld& W, TPlayer& C) {
  TTeamBlock& T = W.Teams[1];
  const TRunPrediction& P = T.PasserPredicted;
  const TRunPrediction& Q = T.CatchPoint;
  const bool right = T.RelativeCatchPoint.x > P.x;
  T.PassSide = right ? 2 : 1;
  auto draw = [&](i32 Kind, TDistribution& Left, TDistribution& Right) {
    T.PassKind = Kind;
    DrawReleaseTime(T, right ? Right : Left);
  };
  if (std::fabs(static_cast<double>(Q.x) - P.x) <= kPopReach && std::fabs(static_cast<double>(Q.z) - P.z) <= kPopReach) {
    draw(1, C.PopPassLeftReleaseTime, C.PopPassRightReleaseTime);
    return;
  }
  const double d = Distance2D(Q.x, Q.z, P.x, P.z);
  if (d <= kShortPass) draw(2, C.ShortPassLeftReleaseTime, C.ShortPassRightReleaseTime);
  if (d > kShortPass) draw(3, C.MediumPassLeftReleaseTime, C.MediumPassRightReleaseTime);
  if (d > kLongPass) draw(4, C.LongPassLeftReleaseTime, C.LongPassRightReleaseTime);
  if (C.speed < kStandingSpeed || T.PasserSpeedRef == 0) {
    draw(5, C.StandingStillPassLeftReleaseTime, C.StandingStillPassRightReleaseTime);
  }
}

}  // namespace

void ChangePassDecision(TWorld& W) {
  TPlayer* C = CarrierOf(W);
  if (C == nullptr) return;
  TTeamBlock& T = W.Teams[1];
  TActionSeq& S = C->ActionSeq;
  const bool windingUp = C->passtimer > 0 && T.PassTimeLeft > 0 && C->OffloadPending <= 0 &&
                         static_cast<double>(T.PassTimeLeft) - W.TimeStep < kWindUpShare * T.PassDuration &&
                         S.seqON != 0 && S.CurrEventIndex != 0;
  if (!windingUp) return;
  const TActionEvent* E = CurrentEventOf(S);
  if (E == nullptr) return;
  const bool stands =
      ((E->EventType == 1 || E->EventType == 2) && E->EventSubType == T.PassReceiver) || IsDummy(E->EventType);
  if (stands) return;
  if (W.LiveWorld != 0) {
    WriteRunLog("pass decision change " + std::to_string(E->EventType) + " " + std::to_string(E->EventSubType) + " " +
                std::to_string(T.PassReceiver) + " " + MatchClockText(W.clock));
  }
  T.PassTimeLeft = 0.0f;
  C->passtimer = 0.0f;
  SwitchToSprint(*C);
}

void StartPass(TWorld& W) {
  TPlayer* Cp = CarrierOf(W);
  if (Cp == nullptr) return;
  TPlayer& C = *Cp;
  TTeamBlock& T = W.Teams[1];
  const TActionEvent* E = CurrentEventOf(C.ActionSeq);
  if (E == nullptr || !WishesToPass(W, C, E->EventType) || !MayStartPass(W, C)) return;
  // A receiver number naming nobody on the field is no receiver.
  if (!OnField(W, E->EventSubType)) {
    T.PassReceiver = 0;
    return;
  }
  T.PassReceiver = E->EventSubType;
  TPlayer& R = T.Players[T.PassReceiver];
  C.passtimer = kPassTimer;
  C.passcatchtimer = 0.0f;
  R.shimmytimer = 0.0f;
  if (RandomRange(1, 1001) < C.SupportAfterPassProb) C.SupportRunCall = kTrue32;
  T.PassTimeLeft = MeanReleaseTime(C);
  MakeDefendersBite(W, C, E->EventType);
  PredictCatchPoint(W, C, R);
  PredictPasser(W, C);
  SetPassGeometry(W);
  ClassifyPass(W, C);
  T.PassDuration = T.PassTimeLeft;
}

void AbortOrReleasePass(TWorld& W) {
  TPlayer* C = CarrierOf(W);
  if (C == nullptr) return;
  TTeamBlock& T = W.Teams[1];
  TActionEvent* E = CurrentEventOf(C->ActionSeq);
  if (E == nullptr) return;
  if (W.LiveWorld != 0 && E->EventType == 2 && ReleasesThisFrame(W) && C->GettingTackledTimer <= 0 &&
      kDrawAndPassMargin + C->DrawAndPassStartTime.value < T.TimeToContact) {
    T.PassTimeLeft = 0.0f;
    C->passtimer = 0.0f;
    C->ActionSeq.seqON = kFalse32;
    WriteRunLog("PASS ABORTED AT " + MatchClockText(W.clock));
  }
  if (IsDummy(E->EventType) && ReleasesThisFrame(W) && C->OffloadPending <= 0) {
    T.PassTimeLeft = 0.0f;
    E->Complete = kTrue32;
  }
}

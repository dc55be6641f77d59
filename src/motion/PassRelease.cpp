#include "motion/PassRelease.h"

#include <algorithm>
#include <cmath>

#include "contact/ContactHolds.h"
#include "core/Geometry.h"
#include "core/Interception.h"
#include "core/Kinematics.h"
#include "core/MoveBooks.h"
#include "core/Random.h"
#include "core/StrategyShapes.h"
#include "core/SupportSpot.h"
#include "motion/DelayPlayersUnit.h"
#include "motion/ReleaseTackle.h"

namespace {

constexpr int kTries = 20;                  // receiver speeds tried, fast to slow
constexpr double kSetPieceWindow = 3.75;    // s after a set piece: scripted receiver, no risk check
constexpr f32 kMoveHold = 50.0f;            // s, no resampling of the move after a set-piece pass
constexpr double kScriptSpeedShare = 0.15;  // of the receiver's maxspeed on his scripted run
constexpr double kMinSpeed = 0.1;           // m/s, floor of every speed divisor and of the base speed
constexpr double kMinDistance = 0.1;        // m, floor of every distance divisor and of the reach
constexpr double kMinTime = 0.01;           // s, floor of every time divisor
constexpr double kMinFlight = 0.1;          // s, floor of the flight estimate of the reach
constexpr double kNaNSpeed = 5.0;           // m/s, a base speed that is not a number
constexpr double kSpeedStepFloor = 0.05;    // m/s, the slowest receiver run
constexpr double kNearestStretch = 1.2;     // reach factor of the nearest mode
constexpr double kLongStretch = 2.0;        // and of the long pass, plus kLongExtra
constexpr double kLongExtra = 7.5;          // m
constexpr double kForwardRun = 0.1;         // m/s in z: a receiver running forward
constexpr double kLeadOverCarrier = 1.0;    // m ahead of the carrier such a receiver may be reached
constexpr double kTargetHeight = 0.65;      // of the receiver's height, the catch height
constexpr double kForwardAllowance = 0.025; // m a target may lie ahead of the ball
constexpr double kFreeLoft = 5.4;           // m/s vertical launch speed always allowed
constexpr double kShortestFlight = 0.35;    // s, a throw must fly longer
constexpr double kPassSpeedShare = 0.7;     // of L for the planar launch speed
constexpr double kOffloadSpeedShare = 0.5;  // of L while an offload is pending
constexpr double kDragAllowance = 0.05;     // per m/s per s of flight
constexpr double kTouchMargin = 0.4;        // m inside touch and the dead-ball line for a long pass
constexpr double kNoRisk = -100000.0;
constexpr double kLateShare = 0.95;         // of the ball's time: a defender this late still threatens
constexpr double kReleaseLift = 0.0525 + 0.05;  // m added to the ball's z for ReleasePos
constexpr double kBreakdownLift = 0.1;      // m more out of a breakdown
constexpr double kPasserSpeedShare = 0.9;   // of his present speed when he runs on in a sequence
constexpr double kPasserSpeedCap = 0.75;    // of PasserSpeedRef
constexpr double kChaserReach = 3.5;        // m from the carrier a chaser follows him
constexpr double kChaserTime = 0.75;        // s to cover that
constexpr f32 kFollowTime = 0.4;            // s
constexpr double kAttackSideSpeed = 1.0;    // m/s across the pitch that sets AttackSide
constexpr double kAttackSideWidth = 1.25;   // m across the pitch that sets AttackSide
constexpr double kSupportWidth = 5.5;       // m each side of the receiver
constexpr double kSupportWithdraw = 4.0;    // m, a passer this near the receiver makes no call
constexpr f32 kOffloadMark = 10.0f;         // OffloadPending of an offload out of a tackle
constexpr double kOldTackleExtra = 0.25;    // s beyond the last breakdown release

bool OnField(const TWorld& W, i32 n) { return n >= 1 && n <= PlayerCount(W); }

// The event in force of a running sequence, or null.
const TActionEvent* EventInForce(const TActionSeq& S) {
  if (S.seqON == kFalse32 || !Arr1<TActionEvent, 10>::InRange(S.CurrEventIndex)) return nullptr;
  return &S.EventArray[S.CurrEventIndex];
}

// m/s over the last frame.
double PresentSpeed(const TWorld& W, const TPlayer& P) {
  return Distance2D(P.OldPos.x, P.OldPos.z, P.Pos.x, P.Pos.z) / std::max<double>(W.TimeStep, kMinTime);
}

double DegSin(double h) { return std::sin(h * kDegToRad); }
double DegCos(double h) { return std::cos(h * kDegToRad); }

// ---------------------------------------------------------------- set-up
// Within 3.75 s of a set piece a receiver other than the holder, in the
// match world outside the lineout, runs the move's scripted line.
void ScriptSetPieceReceiver(TWorld& W, TPlayer& R, i32 ReceiverNumber) {
  const TTeamBlock& A = W.Teams[1];
  if (W.LiveWorld == kFalse32 || W.gamestate == gsLineout) return;
  if (!(W.TimeSinceSetPiece < kSetPieceWindow) || ReceiverNumber == A.SetPieceHolder) return;
  if (A.PlayOption < 3 || A.PlayOption > 7) return;
  PossessionMoveBook(W).HoldTimer = kMoveHold;
  TActionSeq& S = R.ActionSeq;
  const bool scripted = S.seqON != kFalse32 && S.CurrEventIndex == 1 && S.EventArray[1].EventType == 5;
  if (!scripted) S = StrategyParams.ActionSeqTemplate;
  S.Mode = 2;
  TActionEvent& E = S.EventArray[1];
  E.EventType = 5;
  E.EventSubType = 0;
  E.EventCode = 1;
  E.DesSpeed = static_cast<f32>(kScriptSpeedShare * R.maxspeed);
  E.EndCondition = 4;
  E.EndLeadZ = 1.0f;
  switch (A.PlayOption) {
    case 4: E.EventCode = 2; break;
    case 5: E.EventCode = 3; break;
    case 6:
      E.EventCode = 4;
      E.EventSubType = 5;
      break;
    case 7: {
      E.EventCode = 0;
      E.RangeLow = 30.0f;
      E.RangeHigh = 42.0f;
      const f32 aim = W.BallPos.x < 0 ? 5.0f : 175.0f;
      E.AimAngle = aim;
      E.Angle = aim;
      break;
    }
    default: break;
  }
}

void StopLineoutThrowers(TWorld& W) {
  if (TPlayer* J = PlayerAt(W.Teams[1], W.LineoutTargetJumper[1])) J->passtimer = 0.0f;
  for (int b = 1; b <= 2; ++b)
    for (int i = 1; i <= PlayerCount(W); ++i) {
      TPlayer& P = W.Teams[b].Players[i];
      if (P.LineOutTimer > 0 && P.LineoutRole != 5.0f && P.LineoutRole < 10.0f) P.LineOutTimer = 0.0f;
    }
}

// The receiver's base run speed S0 (m/s): his top speed, the speed of the
// first unfinished event of his sequence, or a slow drawn share in the
// lineout; at least 0.1 (a value that is not a number stays so).
double BaseReceiverSpeed(const TWorld& W, const TPlayer& R) {
  double s0 = R.maxspeed;
  const TActionSeq& S = R.ActionSeq;
  if (S.seqON != kFalse32 && S.NumEvents >= 1) {
    const int n = std::min(S.NumEvents, 10);
    for (int k = 1; k <= n; ++k)
      if (S.EventArray[k].Complete == kFalse32) {
        s0 = S.EventArray[k].DesSpeed;
        break;
      }
  }
  if (W.gamestate == gsLineout) s0 = std::min<double>(RandomRange(5, 31) / 100.0 * R.maxspeed, R.maxspeed);
  return s0 < kMinSpeed ? kMinSpeed : s0;
}

// ---------------------------------------------------------------- the search
double VerticalLimit(double d) {
  if (d < 2.0) return 5.9;
  if (d < 5.0) return 6.3;
  if (d < 10.0) return 7.7;
  return 8.7;
}

bool PassesSpeedTest(const TThrowTarget& e, const TPlayer& Carrier, const TPassSearch& S) {
  const double v = std::max<double>(Distance2D(0.0f, 0.0f, e.vx, e.vz), kMinSpeed);
  const double limit = (Carrier.OffloadPending > 0 ? kOffloadSpeedShare : kPassSpeedShare) * S.Limit;
  if (v < limit) return true;
  return v / (1.0 + kDragAllowance * v * e.Time) < limit;
}

bool FliesLongEnough(const TThrowTarget& e) { return e.Time > kShortestFlight; }

bool InsideForLongPass(const TWorld& W, const TThrowTarget& e) {
  const double halfWidth = 0.5 * W.PitchWidth - kTouchMargin;
  return e.z < 0.5 * W.PitchLength + W.InGoalDepth - kTouchMargin && -halfWidth < e.x && e.x < halfWidth;
}

// Ball height (m) of a throw launched at vy, t s after the release.
double BallHeightAt(const TWorld& W, double vy, double t) {
  return W.BallPos.y + vy * t - 0.5 * W.Gravity * t * t;
}

bool IsBusyDefender(const TPlayer& P) {
  return P.TackleAttemptTimer > 0 || P.standuptimer > 0 || P.OldTackleTimer > 0 || P.GettingTackledTimer > 0 ||
         P.RuckTimer > 0 || P.RuckTimer2 > 0;
}

// How much the defenders threaten throw e (0 or below; lower is worse): the
// pass is turned to run along +x from the carrier, and each free defender
// who gets to the ball's line before it, late or under its height, takes
// off the time he has in hand.
double RiskOf(const TWorld& W, const TPlayer& Carrier, const TThrowTarget& e) {
  const double cx = Carrier.Pos.x, cz = Carrier.Pos.z;
  const double d = std::max<double>(Distance2D(Carrier.Pos.x, Carrier.Pos.z, e.x, e.z), kMinDistance);
  const double a = HeadingToPoint(Carrier.Pos.x, Carrier.Pos.z, e.x, e.z, 90.0f);
  double r = HeadingDifference(180.0f, static_cast<f32>(a));
  if (!(std::fabs(-DegCos(a + r) - 1.0) < std::fabs(-DegCos(a - r) - 1.0))) r = -r;
  double risk = 0.0;
  for (int i = 1; i <= PlayerCount(W); ++i) {
    const TPlayer& P = W.Teams[2].Players[i];
    if (IsBusyDefender(P)) continue;
    const double dd = Distance2D(Carrier.Pos.x, Carrier.Pos.z, P.Pos.x, P.Pos.z);
    const double ad = HeadingToPoint(Carrier.Pos.x, Carrier.Pos.z, P.Pos.x, P.Pos.z, 90.0f);
    const double tx = cx - DegCos(ad + r) * dd;
    const double tz = cz + DegSin(ad + r) * dd;
    const double cover = std::max(0.5 * (std::fabs(P.speed) + P.maxspeed), kMinSpeed);
    double td, tb;
    if (tx >= cx && tx <= cx + d) {
      td = std::fabs(tz - cz) / cover;
      tb = (tx - cx) * e.Time / d;
    } else {
      td = Distance2D(P.Pos.x, P.Pos.z, e.x, e.z) / cover;
      tb = e.Time;
    }
    if (!(td < tb)) continue;
    const bool under = BallHeightAt(W, e.vy, td) < P.Height || BallHeightAt(W, e.vy, tb) < P.Height ||
                       BallHeightAt(W, e.vy, 2.0 * td - tb) < P.Height;
    if (kLateShare * tb < td || under) risk -= tb - td;
  }
  return risk;
}

// The first acceptable entry of Lo..Hi for a pass that is not long; 0 for
// none. Entries passed over for speed are made invalid.
i16 FirstAcceptable(Arr1<TThrowTarget, 100>& E, const TPlayer& Carrier, const TPassSearch& S, int Lo, int Hi) {
  for (int j = Lo; j <= Hi; ++j) {
    TThrowTarget& e = E[j];
    if (e.Valid == kFalse32 || !FliesLongEnough(e)) continue;
    if (PassesSpeedTest(e, Carrier, S)) return static_cast<i16>(j);
    e.Valid = kFalse32;
  }
  return 0;
}

// The first acceptable entry (or the furthest for a long pass); 0 for none.
i16 FirstScan(TWorld& W, const TPlayer& Carrier, const TPassSearch& S) {
  Arr1<TThrowTarget, 100>& E = W.Teams[1].ThrowTargets.Entries;
  if (!S.LongPass) return FirstAcceptable(E, Carrier, S, 1, 100);
  i16 chosen = 0;
  for (i16 j = 1; j <= 100; ++j) {
    TThrowTarget& e = E[j];
    if (e.Valid == kFalse32 || !FliesLongEnough(e)) continue;
    if (!PassesSpeedTest(e, Carrier, S)) {
      e.Valid = kFalse32;
      continue;
    }
    if ((chosen == 0 || e.z > E[chosen].z) && InsideForLongPass(W, e)) chosen = j;
  }
  return chosen;
}

void RiskCheck(TWorld& W, const TPlayer& Carrier, const TPassSearch& S) {
  TThrowTargetTable& T = W.Teams[1].ThrowTargets;
  T.CheckedCount = 0;
  T.BestRiskScore = static_cast<f32>(kNoRisk);
  for (int j = T.FirstChosen; j <= 100; ++j) {
    TThrowTarget& e = T.Entries[j];
    if (j > T.FirstChosen) {
      ++T.CheckedCount;
      if (!FliesLongEnough(e) || !PassesSpeedTest(e, Carrier, S)) e.Valid = kFalse32;
    }
    if (e.Valid != kFalse32) {
      T.RiskScore = static_cast<f32>(RiskOf(W, Carrier, e));
      if (T.RiskScore > T.BestRiskScore) {
        T.BestRiskScore = T.RiskScore;
        T.Chosen = static_cast<i16>(j);
      }
    }
    if (T.CheckedCount >= T.CheckLimit) break;
  }
}

// Target z beyond which a throw goes forward.
double ForwardLimit(const TWorld& W, const TPlayer& Carrier) {
  return static_cast<double>(W.BallPos.z) + Carrier.PassAccuracyBonus + kForwardAllowance;
}

void FilterEntries(TWorld& W, const TPlayer& Carrier, int Lo, int Hi) {
  const double ahead = ForwardLimit(W, Carrier);
  Arr1<TThrowTarget, 100>& E = W.Teams[1].ThrowTargets.Entries;
  for (int j = Lo; j <= Hi; ++j) {
    TThrowTarget& e = E[j];
    if (e.Valid == kFalse32) continue;
    if (std::isnan(e.z) || e.z > ahead) {
      e.Valid = kFalse32;
      continue;
    }
    const double d = Distance2D(Carrier.Pos.x, Carrier.Pos.z, e.x, e.z);
    if (e.vy > kFreeLoft && e.vy > VerticalLimit(d)) e.Valid = kFalse32;
  }
}

// The candidates of one try, as ThrowTargetsAlongRun followed by
// FilterThrowTargets makes them. Points are computed only so far as
// ChooseThrow reads them.
struct TTryInputs {
  f32 RunnerX, RunnerZ, TargetY, RunnerSpeed, RunnerAccel, RunnerMaxSpeed, RunnerHeading;
  f32 Reach;
  i32 Count;
};

bool Within(double x, double lo, double hi) { return std::isgreaterequal(x, lo) && std::islessequal(x, hi); }

// Whether every point of the try, filled and filtered, computes without an
// invalid operation, a division by zero or an overflow, whatever its index:
// positions within 1e4 m, speeds within 1e3 m/s, accelerations 1e-2 to 1e3,
// the reach 1e-3 to 1e5 m over at most 1000 points keep every time of flight
// between about 1e-25 s and 1e15 s and every launch speed below 1e31 m/s.
// Only then may points that are never read go uncomputed, as no sticky flag
// can hang on them. (Quiet comparisons: a value that is not a number only
// fails the test.)
bool QuietPoints(const TWorld& W, const TPlayer& Carrier, const TPassSearch& S, const TTryInputs& I) {
  constexpr double kPos = 1e4, kSpeed = 1e3;
  return Within(I.RunnerX, -kPos, kPos) && Within(I.RunnerZ, -kPos, kPos) && Within(I.TargetY, -kPos, kPos) &&
         Within(W.BallPos.x, -kPos, kPos) && Within(W.BallPos.y, -kPos, kPos) && Within(W.BallPos.z, -kPos, kPos) &&
         Within(Carrier.Pos.x, -kPos, kPos) && Within(Carrier.Pos.z, -kPos, kPos) &&
         Within(Carrier.PassAccuracyBonus, -kPos, kPos) && Within(I.RunnerSpeed, 0.0, kSpeed) &&
         Within(I.RunnerAccel, 1e-2, 1e3) && Within(I.RunnerMaxSpeed, 1e-2, kSpeed) &&
         Within(I.RunnerHeading, -1e6, 1e6) && Within(S.Limit, -1e30, 1e30) && Within(I.Reach, 1e-3, 1e5) &&
         I.Count >= 1 && I.Count <= 1000;
}

void FillAndFilterAll(TWorld& W, const TPlayer& C, const TPassSearch& S, const TTryInputs& I) {
  ThrowTargetsAlongRun(I.RunnerX, I.RunnerZ, I.TargetY, I.RunnerSpeed, I.RunnerAccel, I.RunnerMaxSpeed,
                       I.RunnerHeading, W.BallPos.x, W.BallPos.z, W.BallPos.y, S.Limit, I.Reach, I.Count,
                       W.Teams[1].ThrowTargets);
  FilterThrowTargets(W, C);
}

// Most tries take an early point, or none because the run goes forward of
// the ball, yet the full table costs 100 launch solutions. For a pass that is
// not long ChooseThrow reads only up to the entry after the first acceptable
// one, so the table is filled a few entries at a time until that entry is
// in, or until the run has gone forward of the ball with further points
// only further forward (each of them would be filtered out). Entries left
// unfilled are cleared: nothing reads them but the risk check's speed test
// on an invalid entry, which then sees sane zeros where the full fill left
// sane points (no flag, no effect either way).
void FillAndFilter(TWorld& W, const TPlayer& C, const TPassSearch& S, const TTryInputs& I) {
  if (S.LongPass || !QuietPoints(W, C, S, I)) {
    FillAndFilterAll(W, C, S, I);
    return;
  }
  constexpr int kChunk = 8;
  TThrowTargetTable& T = W.Teams[1].ThrowTargets;
  TThrowTargetFill f = StartThrowTargets(I.RunnerHeading, I.Reach, I.Count, T);
  const double ahead = ForwardLimit(W, C);
  int filled = 0;
  i16 first = 0;
  while (!f.Done) {
    FillThrowTargets(I.RunnerX, I.RunnerZ, I.TargetY, I.RunnerSpeed, I.RunnerAccel, I.RunnerMaxSpeed, W.BallPos.x,
                     W.BallPos.z, W.BallPos.y, S.Limit, I.Count, filled + kChunk, f, T);
    const int lo = filled + 1;
    filled = f.Entry - 1;
    if (filled < lo) continue;
    FilterEntries(W, C, lo, filled);
    if (first == 0) first = FirstAcceptable(T.Entries, C, S, lo, filled);
    if (first != 0 && filled > first) break;
    // z grows with the distance along a run with uz > 0 (every rounding is
    // monotone), so once past the limit every later point is filtered out.
    if (f.uz > 0 && T.Entries[filled].z > ahead) break;
  }
  if (!f.Done)
    for (int j = f.Entry; j <= Arr1<TThrowTarget, 100>::kSize; ++j) T.Entries[j] = {};
}

// ---------------------------------------------------------------- the release
void ArmChasersToFollow(TWorld& W, i32 CarrierNumber, const TPlayer& C) {
  TTeamBlock& D = W.Teams[2];
  for (int k = 1; k <= 5; ++k) {
    TPlayer* P = OnField(W, D.ChaserSlots[k]) ? &D.Players[D.ChaserSlots[k]] : nullptr;
    if (P == nullptr || P->governedby != 0) continue;
    if (P->TackleAttemptTimer > 0 || P->playertofollowtimer > 0 || P->GettingTackledTimer > 0 ||
        P->OldTackleTimer > 0 || P->RuckTimer > 0 || P->RuckTimer2 > 0 || P->standuptimer > 0 ||
        P->ChaseTimer > 0 || P->passcatchtimer > 0 || P->passtimer > 0 || P->KickTimer > 0 ||
        P->freeballcatchtimer > 0)
      continue;
    const f32 d = Distance2D(P->Pos.x, P->Pos.z, C.Pos.x, C.Pos.z);
    if (!(d < kChaserReach)) continue;
    if (!(TimeToCoverAccelerating(P->speed, P->Acceleration, P->maxspeed, d) < kChaserTime)) continue;
    P->playertofollow = CarrierNumber;
    P->playertofollowtimer = kFollowTime;
  }
}

// The passer keeps running: the template's first event at about his
// present speed, for the time left in his animation.
void PasserRunsOn(TWorld& W, TPlayer& P) {
  const double speed = PresentSpeed(W, P);
  TActionSeq& S = P.ActionSeq;
  TActionEvent* E;
  if (S.seqON != kFalse32 && Arr1<TActionEvent, 10>::InRange(S.CurrEventIndex)) {
    E = &S.EventArray[S.CurrEventIndex];
    *E = StrategyParams.ActionSeqTemplate.EventArray[1];
    E->DistTravelled = 0.0f;
    E->DesSpeed = static_cast<f32>(
        std::min(std::max(kPasserSpeedShare * speed, kMinSpeed), kPasserSpeedCap * W.Teams[1].PasserSpeedRef));
  } else {
    S = StrategyParams.ActionSeqTemplate;
    E = &S.EventArray[1];
    E->DesSpeed = static_cast<f32>(std::max(speed, kMinSpeed));
  }
  const double left = P.AnimRate > 0 ? std::max((static_cast<double>(P.maxframes) - P.currentframe) / P.AnimRate,
                                                kMinTime)
                                     : kMinTime;
  E->DistOrig = static_cast<f32>(E->DesSpeed * left);
  E->Angle = HeadingToPoint(P.OldPos.x, P.OldPos.z, P.Pos.x, P.Pos.z, 90.0f);
}

void SetAttackSide(TWorld& W, const TPlayer& Passer) {
  TTeamBlock& A = W.Teams[1];
  A.PrevAttackSide = A.AttackSide;
  const TPassLaunch& L = A.PassLaunch;
  if (std::fabs(L.vx) > kAttackSideSpeed && std::fabs(Passer.Pos.x - L.x) > kAttackSideWidth)
    A.AttackSide = L.vx > 0 ? 2 : 1;
  if (W.PrevFrameGameState == gsLineout) A.AttackSide = W.BallPos.x > 0 ? 1 : 2;
  if (W.LiveWorld != kFalse32) StrategyParams.OpenMoveFlag = A.AttackSide;
}

// The passer's support call to side Side; withdrawn for side 2 when he
// stands within 4.0 m of the receiver across the pitch.
void CallPasserToSide(TPlayer& Passer, const TPlayer& Receiver, bool SideOne) {
  Passer.SupportRunCall = kTrue32;
  Passer.SupportSide = SideOne ? 1 : 2;
  if (!SideOne && std::fabs(Passer.Pos.x - Receiver.Pos.x) < kSupportWithdraw) Passer.SupportRunCall = kFalse32;
}

void CallSupport(TWorld& W, i32 PasserNumber, i32 ReceiverNumber) {
  TTeamBlock& A = W.Teams[1];
  TPlayer& Passer = A.Players[PasserNumber];
  const TPlayer& R = A.Players[ReceiverNumber];
  const double rx = R.Pos.x;
  int left = 0, right = 0;
  for (int i = 1; i <= PlayerCount(W); ++i) {
    if (i == PasserNumber || i == ReceiverNumber) continue;
    const double x = A.Players[i].Pos.x;
    if (rx - kSupportWidth < x && x < rx) ++left;
    if (rx <= x && x < rx + kSupportWidth) ++right;
  }
  if (left == 0 && right == 0) {
    Passer.SupportRunCall = kTrue32;
    Passer.SupportSide = 0;
  } else {
    if (left == 0) CallPasserToSide(Passer, R, Passer.Pos.x > rx);
    if (right == 0) CallPasserToSide(Passer, R, Passer.Pos.x < rx);
  }
  const double lo = std::min<double>(Passer.Pos.x, rx), hi = std::max<double>(Passer.Pos.x, rx);
  for (int i = 1; i <= PlayerCount(W); ++i) {
    if (i == PasserNumber || i == ReceiverNumber) continue;
    TPlayer& P = A.Players[i];
    if (lo < P.Pos.x && P.Pos.x < hi) {
      P.SupportRunCall = kTrue32;
      P.SupportSide = 0;
    }
  }
}

// The tackle of an offloading passer completes without the ball: he falls
// forward or back by how he faces the tackle's momentum, and his tacklers
// fall with him, those at the impact falling back under him.
void CompleteOffloadTackle(TWorld& W, i32 PasserNumber) {
  TPlayer& C = W.Teams[1].Players[PasserNumber];
  TTeamBlock& D = W.Teams[2];
  // Facing nearer the reverse of the momentum he falls back; he takes the
  // tackle's heading as his ImpactAngle.
  const TDirection forward = HeadingDirection(D.TackleHeading);
  const TDirection facing = HeadingDirection(C.GettingTackledFacing);
  const bool backward = Distance2D(facing.x, facing.z, -forward.x, -forward.z) <
                        Distance2D(facing.x, facing.z, forward.x, forward.z);
  // A momentum that is not a number finds no nearest point: slot 1.
  const i32 k = FallReleasedCarrier(W, C, !backward, 1);
  ShiftImpactWords(W.CarrierContactSlots[k]);
  for (int i = 1; i <= PlayerCount(W); ++i) {
    TPlayer& T = D.Players[i];
    if (T.governedby != PasserNumber) continue;
    T.ForcedRunTimer = 0.0f;
    T.TackleAttemptTimer = C.GettingTackledTimer;
    const bool away = TacklerFallsAway(D, T);
    const double ground = FallWithCarrier(T, C, away);
    T.GroundTime = static_cast<f32>(away ? std::max(ground, kTacklerMinGround) : ground);
    if (!away) PlayHolderFallBack(T);
  }
}

void Offload(TWorld& W, i32 PasserNumber) {
  TPlayer& C = W.Teams[1].Players[PasserNumber];
  if (C.GettingTackledTimer > 0 && C.passtimer > 0) C.OffloadPending = kOffloadMark;
  if (!(C.OffloadPending > 0)) return;
  if (!(C.passtimer > 0)) {
    W.PassSpiral = kFalse32;
    PostMessage(W, W.Teams[1].teamid, C.id, msgOffload, 0.0f);
  }
  C.passtimer = 0.0f;
  C.OffloadPending = 0.0f;
  CompleteOffloadTackle(W, PasserNumber);
}

bool InTackle(f32 Timer, f32 Kind) { return Timer > 0 && !(Kind >= 3.0f && Kind <= 8.0f); }

void ReleaseBreakdown(TWorld& W) {
  const int n = PlayerCount(W);
  W.Teams[1].StrategyTimer = 0.0f;
  W.Teams[2].StrategyTimer = 0.0f;
  W.ReleasePos.z = static_cast<f32>(W.ReleasePos.z + kBreakdownLift);
  TTeamBlock& D = W.Teams[2];
  for (int i = 1; i <= n; ++i) {
    D.Players[i].PassReadTimer = DrawClamped(D.Players[i].ReactionDelayExtra1);
    D.Players[i].RunningAngleReactionTime.value = 0.0f;
  }
  D.PressureTimerA = 0.0f;
  D.PressureTimerB = 0.0f;
  W.PassSpiral = kTrue32;
  for (int b = 1; b <= 2; ++b) {
    TSpotTable& Pack = W.Teams[b].PackSpots;
    W.ScratchPlayerList = {};
    for (int s = 1; s <= 10; ++s) {
      const i32 o = Pack.OccupantB[s];
      W.ScratchPlayerList[s] = static_cast<i16>(IsPlayer(o) ? o : (o != 0 ? -1 : 0));
    }
    const TDelayList delays = StaggeredRandomDelays(W.ScratchPlayerList);
    W.ScratchPlayerKeys = delays;
    for (int s = 1; s <= 10; ++s) Pack.ReleaseDelay[s] = delays[s];
  }
  for (int b = 1; b <= 2; ++b)
    for (int i = 1; i <= n; ++i) {
      TPlayer& P = W.Teams[b].Players[i];
      if (!(P.RuckTimer > 0)) continue;
      P.RuckTimer = 0.0f;
      if (P.RuckRole == 0.0f || P.RuckRole == 1.0f) continue;
      const TSpotTable& Pack = W.Teams[b].PackSpots;
      for (int s = 1; s <= 10; ++s)
        if (Pack.OccupantB[s] == i) {
          P.RuckTimer2 = Pack.ReleaseDelay[s];
          break;
        }
    }
  double m = 0.0;
  for (int b = 1; b <= 2; ++b)
    for (int i = 1; i <= n; ++i) m = std::max<double>(m, W.Teams[b].Players[i].RuckTimer2);
  for (int b = 1; b <= 2; ++b)
    for (int i = 1; i <= n; ++i) {
      TPlayer& P = W.Teams[b].Players[i];
      const bool tackled = InTackle(P.GettingTackledTimer, P.GettingTackledKind);
      const bool tackler = InTackle(P.TackleAttemptTimer, P.TackleAttemptKind);
      if (!tackled && !tackler) continue;
      P.OldTackleTimer = static_cast<f32>(m + kOldTackleExtra);
      P.OldTackleFacing = tackler ? P.TackleAttemptFacing : P.GettingTackledFacing;
      P.GroundPosture = (tackler ? P.TackleAttemptKind : P.GettingTackledKind) == 2.0f ? 2 : 1;
      P.GettingTackledTimer = 0.0f;
      P.TackleAttemptTimer = 0.0f;
      P.governedby = 0;
      P.numgoverning = 0;
      P.target = 0;
      P.numtargetting = 0;
      D.PressureTimerA = 0.0f;
      D.PressureTimerB = 0.0f;
    }
}

bool AnyInRuck(const TWorld& W) {
  for (int b = 1; b <= 2; ++b)
    for (int i = 1; i <= PlayerCount(W); ++i)
      if (W.Teams[b].Players[i].RuckTimer > 0) return true;
  return false;
}

}  // namespace

// ---------------------------------------------------------------- public
TPassSearch PassSearchFor(const TWorld& W, const TPlayer& Carrier) {
  const TActionEvent* E = EventInForce(Carrier.ActionSeq);
  const bool longPass = E != nullptr && E->LongPass != kFalse32;
  double limit = Carrier.maxpassspeed;
  if (W.Teams[1].PassKind == 6) limit += 1.0;
  if (longPass) limit = Carrier.maxpassspeed2;
  return {longPass, static_cast<f32>(limit)};
}

f32 PassReach(const TWorld& W, const TPlayer& Carrier, const TPlayer& Receiver, const TPassSearch& S) {
  const TTeamBlock& A = W.Teams[1];
  const double speed = A.ReceiverRunSpeed;
  const double flight = std::max(
      Distance2D(Receiver.Pos.x, Receiver.Pos.z, W.BallPos.x, W.BallPos.z) / std::max<double>(S.Limit, kMinSpeed),
      kMinFlight);
  double reach = speed * flight;
  reach = S.LongPass ? kLongStretch * reach + kLongExtra : kNearestStretch * reach;
  if (W.gamestate == gsRunning) {
    const double vz = DegSin(A.ReceiverRunAngle) * speed;
    if (vz > kForwardRun && Receiver.Pos.z < Carrier.Pos.z)
      reach = speed * (Carrier.Pos.z + kLeadOverCarrier - Receiver.Pos.z) / vz;
  }
  return static_cast<f32>(std::max(reach, kMinDistance));
}

void FilterThrowTargets(TWorld& W, const TPlayer& Carrier) { FilterEntries(W, Carrier, 1, 100); }

bool ChooseThrow(TWorld& W, const TPlayer& Carrier, const TPassSearch& S) {
  TThrowTargetTable& T = W.Teams[1].ThrowTargets;
  const i16 first = FirstScan(W, Carrier, S);
  T.Chosen = first;
  T.FirstChosen = first;
  T.CheckLimit = (W.Teams[1].PassKind == 6 || W.TimeSinceSetPiece < kSetPieceWindow) ? 0 : 1;
  if (first == 0) return false;  // nothing acceptable: the try fails
  if (T.CheckLimit > 0 && first < 100) RiskCheck(W, Carrier, S);
  return T.Entries[T.Chosen].Valid != kFalse32;
}

void ReleaseChosenThrow(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  TTeamBlock& D = W.Teams[2];
  const int n = PlayerCount(W);
  const i32 passerNumber = A.BallCarrier;
  const i32 receiverNumber = A.PassReceiver;
  TPlayer& C = A.Players[passerNumber];
  TPlayer& R = A.Players[receiverNumber];
  const TThrowTarget& e = A.ThrowTargets.Entries[A.ThrowTargets.Chosen];

  // 1 - 3. The throw, with the passer's error in the match world.
  for (int b = 1; b <= 2; ++b)
    for (int i = 1; i <= n; ++i) W.Teams[b].Players[i].PassCatchArmed = kFalse32;
  A.PassLaunch = {e.vx, e.vy, e.vz, e.x, e.y, e.z, e.Time};
  if (W.LiveWorld != kFalse32)
    ApplyPassError(A.PassLaunch, W.BallPos, A.PassKind == 6 ? kTrue32 : kFalse32, W.Gravity, C.passAccuracySDDir,
                   C.passAccuracySDLaunch, kFalse32);
  R.desiredspeed = A.ReceiverRunSpeed;
  A.PassFlightTotal = e.Time;
  A.PassFlightLeft = e.Time;
  A.PassCountdown = e.Time;
  W.PassVel = {A.PassLaunch.vx, A.PassLaunch.vy, A.PassLaunch.vz};
  R.DesiredPos.x = A.PassLaunch.x;
  R.DesiredPos.z = A.PassLaunch.z;

  // 4 - 6. Followers, reaction clocks, the spiral roll.
  if (W.gamestate == gsRunning) ArmChasersToFollow(W, passerNumber, C);
  for (int b = 1; b <= 2; ++b)
    for (int i = 1; i <= n; ++i) {
      W.Teams[b].Players[i].RunningAngleReactionTime.value = 0.0f;
      W.Teams[b].Players[i].DefensiveRunningAngleReactionTime.value = 0.0f;
    }
  for (int i = 1; i <= n; ++i) D.Players[i].PassReadTimer = DrawClamped(D.Players[i].ReactionDelayExtra1);
  W.PassSpiral = RandomRange(1, 1001) <= LevelChancePerMille(A.PassKind) ? kTrue32 : kFalse32;
  W.PassIsOffload = C.OffloadPending > 0 ? kTrue32 : kFalse32;

  // 7. Messages.
  if (W.gamestate != gsLineout && W.PassIsOffload == kFalse32)
    PostMessage(W, A.teamid, C.id, msgPass, static_cast<f32>(receiverNumber));
  if (W.gamestate == gsRunning) {
    PostMessage(W, A.teamid, C.id, msgCarryEnd, 0.0f);
    PostMessage(W, A.teamid, C.id, msgRunningMetres, C.MetresRun);
  }

  // 8 - 14. Passing, its clocks and the ground point.
  const bool fromTackle = W.gamestate == gsGotTackled;
  W.gamestate = gsPassing;
  W.PassingPhase = 1;
  A.PassFlightTime = 0.0f;
  A.Passer = passerNumber;
  A.ReceiverReaimDone = kFalse32;
  if (e.vz > 0) ++W.ForwardLaunchCount;
  W.ReceiveTimer = 0.0f;
  W.CarrierBrace = kFalse32;
  A.ReceiverReaimTimer = static_cast<f32>(
      std::min(static_cast<double>(DrawClamped(R.RunningAngleReactionTime)), 0.99 * A.PassFlightLeft));
  if (A.Passer != 0) {
    W.PrevPasser = W.LastPasser;
    W.LastPasser = static_cast<i16>(A.Passer);
  }
  W.KickType = kKickTypePlay;
  W.BallBouncedInField = kFalse32;
  W.KickTouchFlag1 = kFalse32;
  W.KickTouchFlag2 = kFalse32;
  W.KickedFromOwn22 = kFalse32;
  W.ReleasePos = {W.BallPos.x, static_cast<f32>(W.BallPos.z + kReleaseLift)};
  W.BlocksSwapped = kTrue32;
  for (int b = 1; b <= 2; ++b)
    for (int i = 1; i <= n; ++i) {
      W.Teams[b].Players[i].PassReactionDone = kFalse32;
      W.Teams[b].Players[i].WillAttemptPassInterCept = kFalse32;
    }
  const double vy = W.PassVel.y, y = W.BallPos.y, g = W.Gravity;
  const double ground = g > 0 ? (vy + std::sqrt(std::max(vy * vy + 2.0 * g * y, 0.0))) / g : 0.0;
  A.PassGroundTime = static_cast<f32>(ground);
  A.PassGroundPoint = {static_cast<f32>(W.BallPos.x + W.PassVel.x * ground),
                       static_cast<f32>(W.BallPos.z + W.PassVel.z * ground)};

  // 15 - 19. The passer runs on, the attack side, support calls, times.
  PasserRunsOn(W, C);
  if (A.PassKind == 6) {
    C.SupportRunCall = kTrue32;
    C.SupportSide = 0;
  }
  SetAttackSide(W, C);
  CallSupport(W, passerNumber, receiverNumber);
  C.PostPassTime = DrawClamped(C.PostPassTimeDist);
  R.ReceiveTime = DrawDistribution(R.ReceiveTimeDist);

  // 20 - 22. An offload's tackle, a breakdown, the ball out of the hands.
  Offload(W, passerNumber);
  if (AnyInRuck(W) || fromTackle) ReleaseBreakdown(W);
  A.BallCarrier = 0;
}

void ReleasePass(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  if (!OnField(W, A.BallCarrier) || !OnField(W, A.PassReceiver)) return;
  TPlayer& C = A.Players[A.BallCarrier];
  TPlayer& R = A.Players[A.PassReceiver];
  const TPassSearch S = PassSearchFor(W, C);
  W.BallBouncedInField = kFalse32;
  W.KickTouchFlag1 = kFalse32;
  W.KickTouchFlag2 = kFalse32;
  ScriptSetPieceReceiver(W, R, A.PassReceiver);
  if (W.gamestate == gsLineout) StopLineoutThrowers(W);
  C.PassAccuracyBonus = 0.0f;
  W.PassDrawParams.value = DrawDistribution(W.PassDrawParams);
  W.PassDrawSet = kTrue32;
  double s0 = BaseReceiverSpeed(W, R);
  const double present = std::min<double>(std::max(PresentSpeed(W, R), 0.0), R.maxspeed);
  for (int i = 1; i <= kTries && W.gamestate != gsPassing; ++i) {
    if (std::isnan(s0)) {
      s0 = kNaNSpeed;
      A.ReceiverRunSpeed = static_cast<f32>(kNaNSpeed);
    } else {
      A.ReceiverRunSpeed = static_cast<f32>(std::max(s0 - (static_cast<double>(i) / kTries * s0 + kSpeedStepFloor),
                                                     kSpeedStepFloor));
    }
    A.ReceiverRunAngle = HeadingOfFacing(R.FacingAngle);
    const f32 reach = PassReach(W, C, R, S);
    FillAndFilter(W, C, S,
                  {R.Pos.x, R.Pos.z, static_cast<f32>(kTargetHeight * R.Height), static_cast<f32>(present),
                   R.Acceleration, A.ReceiverRunSpeed, A.ReceiverRunAngle, reach, W.ThrowTargetCount});
    if (ChooseThrow(W, C, S)) ReleaseChosenThrow(W);
  }
}

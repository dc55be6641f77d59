#include "contact/TackleContest.h"

#include <algorithm>
#include <cmath>

#include "contact/BreakMoves.h"
#include "contact/SupportCommits.h"
#include "core/Advantage.h"
#include "core/AuxState.h"
#include "core/Geometry.h"
#include "core/Interception.h"
#include "core/Kinematics.h"
#include "core/MoveBooks.h"
#include "core/Random.h"
#include "core/Rounding.h"
#include "core/StrategyShapes.h"

namespace {

constexpr i32 kMostTacklers = 3;        // the join window raises TacklersWanted up to this
constexpr double kJoinReach = 1.05;     // m, a free defender this near joins the count
constexpr double kGoalLineLead = 0.95;  // s of the tackle's motion looked ahead at the goal line

// Launch.
constexpr double kReach = 1.0;             // m
constexpr double kReachHeld = 0.75;        // m, while the carrier is held
constexpr double kShortReach = 0.4;        // m
constexpr double kShortReachAhead = 0.45;  // m, on the look-ahead world
constexpr double kLaunchBand = 1.5;        // x the reach
constexpr double kLungeAhead = 0.8;        // x speed, a defender in front of the carrier
constexpr double kLungeBehind = 0.975;     // x speed, from level or behind
constexpr double kLeastLungeSpeed = 4.5;   // m/s
constexpr f32 kChaseReach = 0.775f;        // m
constexpr f32 kChaseStep = 0.02f;          // s
constexpr f32 kChaseTime = 0.4655f;        // s
constexpr f32 kChaseTouchMargin = 0.4f;    // m
constexpr f32 kLaunchWithin = 0.2f;        // s, the chase must catch before this
constexpr double kLeadTime = 0.08;         // s of the carrier's run, the least lead of the aim
constexpr double kAimBeyond = 0.25;        // m past the meeting point
constexpr f32 kAttemptTime = 10.0f;        // s; the contact or the miss ends it
constexpr double kBraceAhead = 0.1;        // m in z, a launch from in front
constexpr double kFatigueShift = 10.0;     // s
constexpr double kFatigueFloor = 0.01;     // s

// Contact.
constexpr double kContactReach = 0.8;   // m
constexpr double kContactBand = 0.92;   // m, judged half a frame ahead
constexpr double kHeldExtra = 0.5;      // m added while the carrier is held
constexpr double kFreshSpeedLead = 0.05;  // m/s below his fresh top speed counts as flat out
constexpr double kFatiguedBonus = 50.0;   // per mille
constexpr double kTiredGrip = -45.0;      // per mille, a carrier in a tired spell
constexpr double kSpinSlowdown = 1.75;    // m/s off a beaten tackler's lunge after a spin
constexpr double kLookAheadBreakBoost = 1.2;
constexpr f32 kMissFrames = 4700.0f;
constexpr f32 kMissLungeFrame = 2820.0f;  // 0.6 x kMissFrames
constexpr f32 kHeldTime = 10.0f;          // s; Stage D or a release ends it
constexpr double kPassTooEarly = 0.1;     // of its duration: the pass is cancelled
constexpr double kPassCommitted = 0.9;    // of its duration: the pass goes on
constexpr double kPassIntoTackler = 30.0;  // degrees
constexpr double kTouchBand = 2.0;         // m inside touch
constexpr double kHalfMomentum = 0.5;

// Support runners at the first bind.
constexpr double kSupportBehindMin = 1.5;  // m behind the carrier in z
constexpr double kSupportBehindMax = 6.5;
constexpr double kSupportWidth = 5.5;      // m from the carrier in x
constexpr f32 kSupportRunShort = 1.2f;     // s
constexpr f32 kSupportRunLong = 1.45f;     // s
constexpr f32 kSupportTargetAccel = 10.0f;
constexpr double kLeastSupportDistance = 0.1;  // m
constexpr double kLeastSupportSpeed = 0.05;    // m/s
constexpr f32 kSupportFollowSpeed = 3.5f;      // m/s, the second event

// Dives cut short by the tackle, by the share of their animation played.
constexpr double kDiveKind1Cut = 0.25;
constexpr double kDiveCut = 0.2;

// Share of a break move's animation inside which it beats a tackler.
constexpr TBreakFrames kBreakFrames = {{
    {0, 0},       {0.3, 0.8},   {0.3, 0.8},   {0.3, 0.8},   {0.25, 0.85}, {0.25, 0.85},
    {0.25, 0.85}, {0.25, 0.85}, {0.25, 0.85}, {0.25, 0.85}, {0.05, 0.95},
}};

bool Runs(f32 timer) { return timer > 0; }
bool Live(const TWorld& W) { return W.LiveWorld != 0; }

// Planar distance between two players.
double Gap(const TPlayer& A, const TPlayer& B) { return Distance2D(A.Pos.x, A.Pos.z, B.Pos.x, B.Pos.z); }

// Distance covered over the last frame divided by Time (0 for no time).
f32 RecentSpeed(const TPlayer& P, f32 Time) { return TimeToCover(P.OldPos.x, P.OldPos.z, P.Pos.x, P.Pos.z, Time); }

// The break move's value of the carrier, per mille.
double BreakValue(const TPlayer& C, int move) {
  if (move <= 3) return C.BreakTackleProb2;  // side-step
  if (move <= 9) return C.fend;
  return C.ElusivenessProb;  // spin
}

// ---------------------------------------------------------------- Stage A

void EndTapKick(TWorld& W, TPlayer& C) {
  if (C.SpecialAnimKind != 3.0f || !Runs(C.SpecialAnimTimer) || !(C.currentAnim == "tapkick")) return;
  if (static_cast<double>(C.currentframe) + static_cast<double>(C.AnimRate) * W.TimeStep >= C.maxframes) {
    C.SpecialAnimTimer = 0;
    W.MarkCalled = kFalse32;
  }
}

// A defender free to join a tackle that is under way.
bool FreeToJoin(const TPlayer& D, int c) {
  return D.target != c && D.governedby != c && !Runs(D.GettingTackledTimer) && !Runs(D.TackleAttemptTimer) &&
         !Runs(D.OldTackleTimer) && !Runs(D.RuckJoinDelay) && !Runs(D.standuptimer);
}

void WidenJoinWindow(TWorld& W, const TPlayer& C, int c) {
  TTeamBlock& D = W.Teams[2];
  const double line = W.PitchLength / 2.0;
  const double ahead = static_cast<double>(C.Pos.z) + std::sin(C.GettingTackledAngle * kDegToRad) *
                                                          static_cast<double>(C.GettingTackledSpeed) * kGoalLineLead;
  if (C.Pos.z > line || ahead > line) {
    D.TacklersWanted = kMostTacklers;
    return;
  }
  for (int p = 1; p <= PlayerCount(W) && D.TacklersWanted < kMostTacklers; ++p) {
    const TPlayer& P = D.Players[p];
    if (FreeToJoin(P, c) && Gap(P, C) < kJoinReach) ++D.TacklersWanted;
  }
}

// ---------------------------------------------------------------- Stage B

bool MayLaunch(const TPlayer& D, int c) {
  if (D.target == c) return false;
  const f32 busy[] = {D.TackleAttemptTimer, D.GettingTackledTimer, D.RuckTimer,       D.RuckJoinDelay,   D.OldTackleTimer,
                      D.standuptimer,       D.freeballcatchtimer,  D.passcatchtimer, D.LineOutTimer};
  for (f32 t : busy) {
    if (Runs(t)) return false;
  }
  return !Runs(D.playertofollowtimer) || D.playertofollow == c;
}

double TackleReach(const TWorld& W, const TPlayer& C, const TPlayer& D) {
  if (D.ShortReachFlag > 0) return Live(W) ? kShortReach : kShortReachAhead;
  return Runs(C.GettingTackledTimer) ? kReachHeld : kReach;
}

// The carrier's run over the last frame, as the chase extends it.
struct TRun {
  f32 Speed;    // m/s
  f32 Heading;  // degrees
  f32 Accel;    // m/s2
};

TRun CarrierRun(const TWorld& W, const TPlayer& C) {
  TRun r{};
  r.Speed = RecentSpeed(C, W.PrevTimeStep);
  r.Heading = HeadingToPoint(C.OldPos.x, C.OldPos.z, C.Pos.x, C.Pos.z, 90.0f);
  double a = C.Acceleration;
  if (Runs(C.BreakTackleTimer)) a *= 0.5;
  if (Runs(C.GettingTackledTimer)) {
    // The first frame of a run has no previous step: the change of speed
    // over it is unknown, so the full acceleration stands.
    a = C.Acceleration;
    if (W.PrevTimeStep > 0) {
      const double change = (static_cast<double>(Length2D(C.Velocity)) - C.MeasuredSpeed) / W.PrevTimeStep;
      const double limit = std::fabs(static_cast<double>(C.Acceleration));
      a = 0.5 * std::clamp(change, -limit, limit) + 0.5 * C.Acceleration;
    }
  }
  r.Accel = ToF32(a);
  return r;
}

// A block-1 player other than the carrier within half the gap of the
// midpoint between defender and carrier.
bool Blocked(const TWorld& W, const TPlayer& C, int c, const TPlayer& D) {
  const double d = Gap(D, C);
  const TDirection u = HeadingDirection(HeadingToPoint(D.Pos.x, D.Pos.z, C.Pos.x, C.Pos.z, 90.0f));
  const f32 mx = ToF32(D.Pos.x + u.x * d / 2.0);
  const f32 mz = ToF32(D.Pos.z + u.z * d / 2.0);
  for (int i = 1; i <= PlayerCount(W); ++i) {
    if (i == c) continue;
    const TPlayer& P = W.Teams[1].Players[i];
    if (Distance2D(P.Pos.x, P.Pos.z, mx, mz) < d / 2.0) return true;
  }
  return false;
}

void Launch(TWorld& W, TPlayer& C, int c, TPlayer& D) {
  if (TPlayer* old = PlayerAt(W.Teams[1], D.target)) --old->numtargetting;
  D.target = c;
  ++C.numtargetting;
  D.governedby = 0;
  D.TackleAttemptTimer = kAttemptTime;
  D.TackleAttemptKind = 1.0f;
  D.shimmytimer = 0;
  D.passtimer = 0;
  D.KickTimer = 0;
  D.passcatchtimer = 0;
  D.WillAttemptPassInterCept = kFalse32;
  D.freeballcatchtimer = 0;
  D.playertofollowtimer = 0;
  D.ForcedRunTimer = 0;
  D.DefenderHoldTimer = 0;
}

void ShiftFatigue(TPlayer& D) {
  if (D.Fatigued != 0) {
    D.FatigueTimer = ToF32(D.FatigueTimer + kFatigueShift);
  } else {
    D.FatigueTimer = ToF32(std::max(static_cast<double>(D.FatigueTimer) - kFatigueShift, kFatigueFloor));
  }
}

void TryLaunch(TWorld& W, TPlayer& C, int c, TPlayer& D, int p) {
  if (!MayLaunch(D, c)) return;
  if (!(Gap(D, C) < kLaunchBand * TackleReach(W, C, D))) return;

  const double lunge = (D.Pos.z > C.Pos.z ? kLungeAhead : kLungeBehind) * D.speed;
  D.TackleAttemptSpeed = ToF32(std::max(lunge, kLeastLungeSpeed));

  const TRun run = CarrierRun(W, C);
  const f32 s = D.TackleAttemptSpeed;
  const TChaseResult chase =
      SimulateChase(C.Pos.x, C.Pos.z, run.Heading, run.Speed, run.Accel, C.maxspeed, C.maxspeed, D.Pos.x, D.Pos.z, s,
                    0.0f, s, s, kChaseTime, kChaseStep, kChaseReach, kChaseTouchMargin, kFalse32, p);
  if (chase.Caught == 0 || !(chase.Time < kLaunchWithin)) return;

  // Aim at the meeting point, where the chase finds the carrier, led at
  // least a short way along his run, and a little beyond it. (The chaser's
  // own end point lies on the defender's side: a defender in front of the
  // carrier aiming past it would lunge away from him.)
  D.TackleAttemptAngle = chase.ChaserHeading;
  const TDirection u = HeadingDirection(run.Heading);
  TVector2 meet{chase.CarrierX, chase.CarrierZ};
  const double lead = static_cast<double>(run.Speed) * kLeadTime;
  const TVector2 led{ToF32(C.Pos.x + u.x * lead), ToF32(C.Pos.z + u.z * lead)};
  if (Distance2D(led.x, led.z, C.Pos.x, C.Pos.z) > Distance2D(meet.x, meet.z, C.Pos.x, C.Pos.z)) meet = led;
  meet = {ToF32(meet.x + u.x * kAimBeyond), ToF32(meet.z + u.z * kAimBeyond)};
  D.TackleAttemptAngle = HeadingToPoint(D.Pos.x, D.Pos.z, meet.x, meet.z, 90.0f);
  D.TackleAttemptFacing = D.TackleAttemptAngle;

  if (Blocked(W, C, c, D)) return;
  Launch(W, C, c, D);
  if (D.Pos.z > C.Pos.z + kBraceAhead && !Runs(C.passtimer) && !Runs(C.BreakTackleTimer) && !Runs(C.StepTimer)) {
    W.CarrierBrace = kTrue32;
  }
  ShiftFatigue(D);
  if (D.OffsideMark > 0) EnterOffsideTackler(W, p);
}

// ---------------------------------------------------------------- Stage C

bool Reaches(const TWorld& W, const TPlayer& C, const TPlayer& D) {
  const double e = Runs(C.GettingTackledTimer) ? kHeldExtra : 0.0;
  const double d = Gap(D, C);
  if (d < kContactReach + e) return true;
  if (d >= kContactBand + e) return false;
  const double h = 0.5 * W.TimeStep;
  const double ahead = Distance2D(ToF32(C.Pos.x + h * C.Velocity.x), ToF32(C.Pos.z + h * C.Velocity.z),
                                  ToF32(D.Pos.x + h * D.Velocity.x), ToF32(D.Pos.z + h * D.Velocity.z));
  return ahead < kContactReach + e;
}

// Only the first defender to reach a carrier on his feet contests the tackle.
bool Contested(const TPlayer& C) {
  const bool looseBallDive = C.FreeBallCatchKind == 7.0f && Runs(C.freeballcatchtimer);
  return C.numgoverning == 0 && !Runs(C.standuptimer) && !looseBallDive;
}

// The break chance, per mille, of carrier C against defender D; sets
// BreakAttempt.
double BreakChance(TWorld& W, const TPlayer& C, const TPlayer& D) {
  const double against = 1000.0 - D.MakeTackleProb;
  double B = 0.0;
  if (Live(W)) {
    double s = std::clamp(0.1363 * C.speed + 0.25, 0.25, 1.0);
    if (C.speed >= static_cast<double>(C.MaxSpeedNonFatigued) - kFreshSpeedLead) s = 1.0;
    B = (against + C.BreakTackleProb) / 2.0 * s;
  }
  W.BreakAttempt = kFalse32;
  if (Runs(C.BreakTackleTimer)) {
    W.BreakAttempt = kTrue32;
    if (InBreakWindow(C, kBreakFrames, D.Pos.x, D.Pos.z)) {
      B = (against + BreakValue(C, BreakMove(C.ActionCode))) / 2.0;
      if (C.BreakCount >= 2) B /= 2.0;
      if (!Live(W)) B *= kLookAheadBreakBoost;
    }
  }
  if (Runs(C.StepTimer) && (C.StepKind == 3.0f || C.StepKind == 4.0f)) B = (against + C.BreakTackleProb2) / 2.0;
  if (Live(W) && D.Fatigued != 0) B += kFatiguedBonus;
  return B;
}

void BreakTackle(TWorld& W, TPlayer& C, TPlayer& D) {
  TTeamBlock& A = W.Teams[1];
  TTeamBlock& T = W.Teams[2];
  if (W.BreakAttempt != 0) {
    ++C.BreakCount;
    if (C.ActionCode == 10.0f) D.TackleAttemptSpeed = ToF32(RecentSpeed(C, W.TimeStep) - kSpinSlowdown);
    PostMessage(W, A.teamid, C.id, msgTackleBreak, 0.0f);
  }
  PostMessage(W, T.teamid, D.id, msgMissedTackle, 0.0f);
  PostMessage(W, A.teamid, C.id, msgDefenderBeaten, 0.0f);
  T.PressureTimerA = 0;
  T.PressureTimerB = 0;
  --C.numtargetting;
  D.target = 0;
  D.TackleAttemptKind = 3.0f;
  D.currentAnim.Assign("divetacklemissed");
  D.currentframe = 1.0f;
  D.maxframes = kMissFrames;
  D.AnimLoop = kFalse32;
  D.TackleAttemptLungeFrame = kMissLungeFrame;
  D.TackleAttemptTimer = ToF32(RandomRange(400, 1001) / 1000.0);
}

void Bind(TWorld& W, TPlayer& C, int c, TPlayer& D) {
  C.BreakTackleTimer = 0;
  D.governedby = c;
  ++C.numgoverning;
  C.GettingTackledTimer = kHeldTime;
  C.GettingTackledKind = 0;
  C.standuptimer = 0;
  C.passcatchtimer = 0;
  C.shimmytimer = 0;
  C.freeballcatchtimer = 0;
  C.ForcedRunTimer = 0;
  C.StepTimer = 0;
  C.KickTimer = 0;
  W.Teams[1].KickTimeLeft = 0;
}

void SecureBall(TWorld& W, const TPlayer& C, const TPlayer& D) {
  if (!Live(W)) return;
  const double k = C.Fatigued != 0 ? kTiredGrip : 0.0;
  W.BallJolted = Flag(RandomRange(1, 1001) > C.HoldBallOnContactProb + k);
  if (W.BallJolted != 0 && C.BallSecurity > D.BallSecurity && RandomRange(1, 1001) < 500) W.BallJolted = kFalse32;
}

// Whether the pass in the carrier's hands stops at the contact with D.
bool PassStops(const TWorld& W, const TPlayer& C, const TPlayer& D) {
  const TTeamBlock& A = W.Teams[1];
  if (!(A.PassTimeLeft > 0) || !(A.PassDuration > 0)) return true;
  if (A.PassReceiver < 1 || A.PassReceiver > PlayerCount(W)) return true;
  const double q = (static_cast<double>(A.PassDuration) - A.PassTimeLeft) / A.PassDuration;
  if (q < kPassTooEarly) return true;
  const TActionSeq& S = C.ActionSeq;
  if (S.EventArray.InRange(S.CurrEventIndex)) {
    const i32 type = S.EventArray[S.CurrEventIndex].EventType;
    if (type == 3 || type == 4) return true;
  }
  const double toTackler = HeadingToPoint(C.Pos.x, C.Pos.z, D.Pos.x, D.Pos.z, 90.0f);
  return q < kPassCommitted && HeadingDifference(NormaliseHeading(A.PassHeading), ToF32(toTackler)) < kPassIntoTackler;
}

void StartTackle(TWorld& W, TPlayer& C, int c, int p) {
  TTeamBlock& A = W.Teams[1];
  TTeamBlock& T = W.Teams[2];
  T.FirstTackler = static_cast<i16>(p);
  C.governedby = c;
  C.GettingTackledFacing = HeadingOfFacing(C.FacingAngle);
  T.TackleMass = C.Weight;
  T.TackleHeading = C.GettingTackledFacing;
  T.TackleSpeed = C.speed;
  W.DefenceCycleTimer = 0;
  if (!Runs(C.passtimer)) {
    A.PassTimeLeft = 0;
    A.PassDuration = 0;
    CommitUpTeamSupport(W);
    CommitDownTeamSupport(W);
  }
}

void AddMomentum(TWorld& W, TPlayer& C, const TPlayer& D) {
  TTeamBlock& T = W.Teams[2];
  const double halfWidth = W.PitchWidth / 2.0;
  const bool upfield = D.Velocity.z > 0 && C.Pos.z < (static_cast<double>(W.PitchLength) + W.InGoalDepth) / 2.0;
  const bool towardsInfield = (C.Pos.x < -halfWidth + kTouchBand && D.Velocity.x > 0) ||
                              (C.Pos.x > halfWidth - kTouchBand && D.Velocity.x < 0);
  const double f = upfield || towardsInfield ? kHalfMomentum : 1.0;
  const TSpeedHeading m = CombineMomentum(T.TackleMass, T.TackleSpeed, T.TackleHeading, D.Weight,
                                          ToF32(D.speed * f), HeadingOfFacing(D.FacingAngle));
  T.TackleSpeed = m.Speed;
  T.TackleHeading = m.Heading;
  T.TackleMass = ToF32(static_cast<double>(T.TackleMass) + D.Weight);
  C.GettingTackledSpeed = T.TackleSpeed;
  C.GettingTackledAngle = T.TackleHeading;
}

void OpenWindows(TWorld& W, const TPlayer& C) {
  TTeamBlock& A = W.Teams[1];
  A.OffloadTime = 0;
  if (!Runs(C.passtimer) && C.Pos.z < W.PitchLength / 2.0 && RandomRange(1, 1001) <= C.LookForOffloadProb) {
    A.OffloadTime = ToF32(RandomRange(1200, 1601) / 1000.0);
    if (Live(W)) {
      A.DecisionRequested = kTrue32;
      MoveBooks[1].TimeSinceSample = 10.0f;
    }
  }
  W.TackleJoinTime = ToF32(RandomRange(400, 1101) / 1000.0);
  if (A.OffloadTime > W.TackleJoinTime) W.TackleJoinTime = A.OffloadTime;
}

// The free team-mate nearest the carrier in x among those 1.5 to 6.5 m behind
// him on one side (smaller x, or larger x), or 0.
int SupportRunner(const TWorld& W, const TPlayer& C, int c, bool smallerX) {
  int best = 0;
  double bestGap = 0;
  for (int i = 1; i <= PlayerCount(W); ++i) {
    if (i == c) continue;
    const TPlayer& P = W.Teams[1].Players[i];
    const double behind = static_cast<double>(C.Pos.z) - P.Pos.z;
    if (behind < kSupportBehindMin || behind > kSupportBehindMax) continue;
    if (smallerX ? P.Pos.x > C.Pos.x : P.Pos.x < C.Pos.x) continue;
    const f32 busy[] = {P.RuckTimer,      P.RuckJoinDelay,      P.TackleAttemptTimer,
                        P.OldTackleTimer, P.standuptimer,       P.passcatchtimer,
                        P.freeballcatchtimer, P.shimmytimer,    P.passtimer};
    if (std::any_of(std::begin(busy), std::end(busy), Runs)) continue;
    const double gap = std::fabs(static_cast<double>(P.Pos.x) - C.Pos.x);
    if (best == 0 || gap < bestGap) {
      best = i;
      bestGap = gap;
    }
  }
  return best;
}

void SendSupportRunner(TWorld& W, int c, TPlayer& R, bool smallerX) {
  const TTeamBlock& T = W.Teams[2];
  R.ActionSeq = smallerX ? StrategyParams.SupportTemplateNegX : StrategyParams.SupportTemplatePosX;
  const f32 t = RandomRange(1, 1001) < 500 ? kSupportRunShort : kSupportRunLong;
  TActionEvent& first = R.ActionSeq.EventArray[1];
  const TDirection u = HeadingDirection(first.RelHeading);
  const f32 px = ToF32(R.Pos.x + u.x * first.RelDistance);
  const f32 pz = ToF32(R.Pos.z + u.z * first.RelDistance);
  const TVector2 meet = InterceptPoint(T.TackleHeading, px, pz, T.TackleSpeed, kSupportTargetAccel, T.TackleSpeed,
                                       R.Pos.x, R.Pos.z, RecentSpeed(R, W.TimeStep), R.Acceleration, R.maxspeed,
                                       W.PitchWidth, kFalse32, kTrue32, kTrue32);
  const double d = std::max(static_cast<double>(Distance2D(R.Pos.x, R.Pos.z, meet.x, meet.z)), kLeastSupportDistance);
  const f32 speed = SpeedToCoverInTime(R.speed, R.Acceleration, R.maxspeed, ToF32(d), t, kTrue32);
  first.DesSpeed = ToF32(std::max(static_cast<double>(speed), kLeastSupportSpeed));
  R.ActionSeq.EventArray[2].DesSpeed = kSupportFollowSpeed;
  for (TActionEvent& e : R.ActionSeq.EventArray) e.RelPlayer = c;
  R.ActionSeq.EventArray[3].DistOrig = ToF32(RandomRange(50, 100) / 100.0);
}

void SendSupportRunners(TWorld& W, const TPlayer& C, int c) {
  for (bool smallerX : {true, false}) {
    const int w = SupportRunner(W, C, c, smallerX);
    if (w == 0) continue;
    TPlayer& R = W.Teams[1].Players[w];
    if (std::fabs(static_cast<double>(R.Pos.x) - C.Pos.x) < kSupportWidth) SendSupportRunner(W, c, R, smallerX);
  }
}

void TakeContactPoint(TPlayer& C, TPlayer& D, int p) {
  D.ContactPoint = NearestFreeCirclePoint(C.Footprint, C.FootprintHolder, D.Pos.x, D.Pos.z);
  if (C.FootprintHolder.InRange(D.ContactPoint)) C.FootprintHolder[D.ContactPoint] = p;
}

// No more tacklers join and no offload is made: the carrier goes to ground
// with those who hold him.
void CloseTackle(TWorld& W, const TPlayer& C) {
  W.TackleJoinTime = 0;
  W.Teams[2].TacklersWanted = C.numgoverning;
  W.Teams[1].OffloadTime = 0;
}

void CutDive(TWorld& W, TPlayer& C) {
  if (!Runs(C.DiveTimer)) return;
  const double frame = C.currentframe;
  const bool early = (C.DiveKind == 1 && frame <= kDiveKind1Cut * C.maxframes) ||
                     (C.DiveKind >= 2 && C.DiveKind <= 4 && frame <= kDiveCut * C.maxframes);
  if (early) {
    C.DiveTimer = 0;
  } else {
    CloseTackle(W, C);
  }
}

void HoldCarrier(TWorld& W, TPlayer& C, int c, TPlayer& D, int p) {
  Bind(W, C, c, D);
  SecureBall(W, C, D);
  if (Runs(C.passtimer) && PassStops(W, C, D)) {
    C.passtimer = 0;
    W.Teams[1].PassTimeLeft = 0;
    W.Teams[1].PassDuration = 0;
  }
  const bool first = C.numgoverning == 1;
  if (first) StartTackle(W, C, c, p);
  AddMomentum(W, C, D);
  if (first) {
    OpenWindows(W, C);
    if (!Runs(C.passtimer)) SendSupportRunners(W, C, c);
  }
  TakeContactPoint(C, D, p);
  CutDive(W, C);
  if (Runs(C.standuptimer) || C.currentAnim == "looseballdive" || C.currentAnim == "trydivestandupbackflick" ||
      C.currentAnim == "trydivestandupbackflick180") {
    CloseTackle(W, C);
  }
}

void MeetCarrier(TWorld& W, TPlayer& C, int c, TPlayer& D, int p) {
  if (!Reaches(W, C, D)) return;
  PostMessage(W, W.Teams[2].teamid, D.id, msgTackleImpact, ToF32(static_cast<double>(D.Weight) * D.speed));
  if (Contested(C)) {
    const i32 roll = RandomRange(1, 1001);
    if (roll <= BreakChance(W, C, D)) {
      BreakTackle(W, C, D);
      return;
    }
  }
  HoldCarrier(W, C, c, D, p);
}

// ---------------------------------------------------------------- Stage D

bool TackleComplete(const TWorld& W, const TPlayer& C) {
  return W.CarrierGrounded != 0 && W.MarkCalled == 0 && !Runs(W.Teams[1].OffloadTime) &&
         C.numgoverning == W.Teams[2].TacklersWanted && (!Runs(C.passtimer) || !Runs(W.TackleJoinTime)) &&
         !Runs(W.OffloadBlockTimer);
}

void PostTackleMessages(TWorld& W, const TPlayer& C, int c) {
  const TTeamBlock& A = W.Teams[1];
  const TTeamBlock& T = W.Teams[2];
  for (int p = 1; p <= PlayerCount(W); ++p) {
    const TPlayer& D = T.Players[p];
    if (D.governedby != c) continue;
    PostMessage(W, T.teamid, D.id, p == T.FirstTackler ? msgTackle : msgTackleAssist, 0.0f);
  }
  PostMessage(W, A.teamid, C.id, msgCarryEnd, 0.0f);
  PostMessage(W, A.teamid, C.id, msgRunningMetres, C.MetresRun);
  PostMessage(W, A.teamid, C.id, msgHitUp, A.RunMetres);
}

void DrawTackleOffset(TPlayer& P) {
  const double m = RandomRange(0, 251) / 1000.0;
  const TDirection u = HeadingDirection(static_cast<double>(RandomRange(1, 361)));
  P.TackleOffset = {ToF32(u.x * m), ToF32(u.z * m)};
  P.RuckJoinDelay = 0;
}

}  // namespace

int RunningCarrier(const TWorld& W) {
  const int c = W.Teams[1].BallCarrier;
  return c >= 1 && c <= PlayerCount(W) ? c : 0;
}

void StartTackleContest(TWorld& W) {
  W.BallJolted = kFalse32;
  const int c = RunningCarrier(W);
  if (c == 0) return;
  TPlayer& C = W.Teams[1].Players[c];
  EndTapKick(W, C);
  TTeamBlock& T = W.Teams[2];
  if (!Runs(C.GettingTackledTimer) || T.TacklersWanted < 1) T.TacklersWanted = RoundToI32(C.TacklerCountValue);
  if (!Runs(C.freeballcatchtimer)) W.CarrierGrounded = kTrue32;
  if (Runs(W.TackleJoinTime) && Runs(C.GettingTackledTimer) && C.GettingTackledKind == 0 &&
      T.TacklersWanted < kMostTacklers) {
    WidenJoinWindow(W, C, c);
  }
}

void LaunchTackleAttempts(TWorld& W) {
  const int c = RunningCarrier(W);
  if (c == 0) return;
  TPlayer& C = W.Teams[1].Players[c];
  const i32 wanted = W.Teams[2].TacklersWanted;
  if (W.CarrierGrounded == 0 || W.MarkCalled != 0 || C.numtargetting == wanted) return;
  for (int p = 1; p <= PlayerCount(W); ++p) {
    TryLaunch(W, C, c, W.Teams[2].Players[p], p);
    if (C.numtargetting == wanted) break;
  }
}

void ContestCarrierContacts(TWorld& W) {
  const int c = RunningCarrier(W);
  if (c == 0) return;
  TPlayer& C = W.Teams[1].Players[c];
  for (int p = 1; p <= PlayerCount(W); ++p) {
    TPlayer& D = W.Teams[2].Players[p];
    if (D.target == c && D.governedby != c) MeetCarrier(W, C, c, D, p);
    if (C.numgoverning == W.Teams[2].TacklersWanted) break;
  }
}

void EnterGotTackled(TWorld& W) {
  const int c = RunningCarrier(W);
  if (c == 0) return;
  TPlayer& C = W.Teams[1].Players[c];
  if (!TackleComplete(W, C)) return;
  TTeamBlock& A = W.Teams[1];

  W.gamestate = gsGotTackled;
  W.TimeSinceTackle = 0;
  PostTackleMessages(W, C, c);

  W.DefenceCycleTimer = 0;
  W.TackleReleaseTimer = ToF32(RandomRange(500, 1501) / 1000.0);
  ++W.PhaseCount;
  A.CarryMaxZ = -100000.0f;
  W.GotTackledPhase = 1;
  A.TackledPlayer = A.BallCarrier;
  A.CarryStartFlag = kTrue32;
  A.AttackPhaseFlag = kFalse32;
  A.SidePlaySeq = 0;
  A.PassTimeLeft = 0;
  A.PassDuration = 0;
  A.AttackSide = 0;
  C.OffloadPending = 0;
  C.passtimer = 0;

  const int n = PlayerCount(W);
  for (TTeamBlock& T : W.Teams) {
    for (int i = 1; i <= n; ++i) {
      T.Players[i].passtimer = 0;
      T.Players[i].HoldPointLock = -1;
    }
    T.StrategyTimer = 0;
  }
  for (int i = 1; i <= n; ++i) {
    DrawTackleOffset(W.Teams[1].Players[i]);
    DrawTackleOffset(W.Teams[2].Players[i]);
  }

  for (i32& h : C.FootprintHolder) h = 0;
  for (i32& word : AuxState.HalfTimeWords) word = 0;
  A.PassDuration = 0;
  C.OffloadPending = 0;
  TTeamBlock& T = W.Teams[2];
  for (int k = 1; k <= 25; ++k) T.SetPieceWorkList[k] = static_cast<i16>(AuxState.BlankIdList[k]);
}

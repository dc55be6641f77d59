#include "motion/SetDesiredSpeedUnit.h"

#include <algorithm>
#include <cmath>

#include "core/Geometry.h"
#include "hooks/UserControl.h"

namespace {

constexpr double kSupportRangeX = 12.5;      // m across from the ball: support runners in running and passing
constexpr double kPassSlowDown = 5.0;        // m/s per s while a pass is being made
constexpr double kPassSlowDownFloor = 1.0;   // m/s: no slowing below this
constexpr double kMinLineSpeed = 1.0;        // m/s, the defending line's least speed
constexpr double kMinPassArrival = 0.1;      // s, added to one time step: least time left for a pass
constexpr double kFarFromFlightX = 15.0;     // m across from the ball's point in free ball
constexpr double kFarFromFlightFactor = 0.55;
constexpr double kSetPieceSpeed = 5.0;       // m/s in scrum and lineout
constexpr double kApproachFactor = 0.2;      // restarts and try celebrations: per m to go, and of maxspeed
constexpr double kArrivalRange = 100.0;      // m: from here on no arrival-time rule
constexpr double kArrivalFloor = 0.65;       // of JogSpeed
constexpr double kDefaultArrivalTime = 0.1;  // s

// ---------------------------------------------------------------- readings

bool IsOpenPlay(TGameState s) { return s == gsRunning || s == gsPassing || s == gsFreeBall; }

// The current event of a running sequence; null when the sequence is off or
// not started, or its index names no event.
const TActionEvent* CurrentEvent(const TPlayer& P) {
  const TActionSeq& S = P.ActionSeq;
  if (!S.seqON || S.CurrEventIndex < 1 || S.CurrEventIndex > S.EventArray.kHigh) return nullptr;
  return &S.EventArray[S.CurrEventIndex];
}

// A plain-run event (type 0) of a running sequence sets its own speed.
void ApplySequenceSpeed(TPlayer& P) {
  const TActionEvent* E = CurrentEvent(P);
  if (E && E->EventType == 0) P.desiredspeed = E->DesSpeed;
}

// Engaged in a block, or a sequence event that looks for blocks with a
// block ready: flat out.
bool BlockWantsTopSpeed(const TPlayer& P) {
  if (P.BlockEngaged[1] > 0 && P.BlockEngaged[2] > 0) return true;
  const TActionEvent* E = CurrentEvent(P);
  return E && E->lookForBlocks && P.BlockReady > 0;
}

// More than Gap metres from his DesiredPos along x or along z.
bool OffSpot(const TPlayer& P, double Gap) {
  return std::fabs(static_cast<double>(P.DesiredPos.x) - P.Pos.x) > Gap ||
         std::fabs(static_cast<double>(P.DesiredPos.z) - P.Pos.z) > Gap;
}

bool DesiredNearBallX(const TWorld& W, const TPlayer& P, double Range) {
  return std::fabs(static_cast<double>(P.DesiredPos.x) - W.BallPos.x) < Range;
}

// A support runner whose spot is near the ball and who is off it, or slower
// than the carrier C (none: never slower).
bool SupportsNearBall(const TWorld& W, const TPlayer& P, const TPlayer* C) {
  return DesiredNearBallX(W, P, kSupportRangeX) && (OffSpot(P, 1.0) || (C && P.speed < C->speed));
}

f32 PlanarDistanceToSpot(const TPlayer& P) { return Distance2D(P.Pos.x, P.Pos.z, P.DesiredPos.x, P.DesiredPos.z); }

// The x of flight step Index (1-based), held to the steps the flight has
// filled, 1..FlightSegments: an entry past the last step holds a point of
// the flight only when the flight was continued after its landing, and a
// point of an earlier flight otherwise.
f32 FlightEntryX(const TWorld& W, i32 Index) {
  const i32 last = std::clamp<i32>(W.FlightSegments, 1, W.FlightPos.kHigh);
  return W.FlightPos[std::clamp<i32>(Index, 1, last)].x;
}

// Visits the players named in Slots up to the first 0; numbers that name no
// player record are passed over.
template <class F>
void ForEachChaser(TTeamBlock& B, F&& Visit) {
  for (const i32 c : B.ChaserSlots) {
    if (c == 0) break;
    if (TPlayer* P = PlayerAt(B, c)) Visit(*P);
  }
}

// ---------------------------------------------------------------- stage 1

// The defending line's rule for defender D against reference R (null:
// none). Sets the line speed and answers whether D should rather go flat
// out: R is past him or past the line, or R reaches D's spot on the line no
// later than D at the line speed.
bool LineRuleWantsTopSpeed(TWorld& W, TPlayer& D, const TPlayer* R) {
  TTeamBlock& B = W.Teams[2];
  if (B.DefenceLineSpeed < kMinLineSpeed) B.DefenceLineSpeed = static_cast<f32>(kMinLineSpeed);
  D.desiredspeed = B.DefenceLineSpeed;
  if (!R) return false;
  if (R->Pos.z > D.Pos.z || R->Pos.z > B.DefenceLineZ) return true;
  const double tDefender = Distance2D(D.DesiredPos.x, B.DefenceLineZ, D.Pos.x, D.Pos.z) / B.DefenceLineSpeed;
  const double refSpeed = (static_cast<double>(R->speed) + R->maxspeed) * 0.5;
  // A reference who cannot move never gets there first.
  if (!(refSpeed > 0)) return false;
  const double tRef = Distance2D(D.DesiredPos.x, B.DefenceLineZ, R->Pos.x, R->Pos.z) / refSpeed;
  return tRef <= tDefender;
}

// An attacker making or waiting on a pass eases off while still running.
void SlowDuringPass(const TWorld& W, TPlayer& P) {
  if (P.passtimer > 0 && P.speed > kPassSlowDownFloor)
    P.desiredspeed = static_cast<f32>(P.speed - kPassSlowDown * W.TimeStep);
}

void SetReceiverRunSpeed(TTeamBlock& B) {
  if (TPlayer* Rc = PlayerAt(B, B.PassReceiver)) Rc->desiredspeed = B.ReceiverRunSpeed;
}

void RunningSpeeds(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  TTeamBlock& D = W.Teams[2];
  const TPlayer* C = PlayerAt(A, A.BallCarrier);
  for (int i = 1; i <= PlayerCount(W); ++i) {
    TPlayer& P = A.Players[i];
    const bool isCarrier = i == A.BallCarrier;
    if (!isCarrier) {
      P.desiredspeed = SupportsNearBall(W, P, C) ? P.maxspeed : P.JogSpeed;
      ApplySequenceSpeed(P);
    }
    TPlayer& Q = D.Players[i];
    if (LineRuleWantsTopSpeed(W, Q, C)) Q.desiredspeed = Q.maxspeed;
    if (!isCarrier) SlowDuringPass(W, P);
  }
  if (C && C->passtimer > 0) SetReceiverRunSpeed(A);
}

void PassingSpeeds(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  TTeamBlock& D = W.Teams[2];
  const TPlayer* C = PlayerAt(A, A.BallCarrier);
  const TPlayer* R = PlayerAt(A, A.PassReceiver);
  // A defender who cannot beat the receiver arrives as the pass does.
  const double timeLeft = std::max(static_cast<double>(A.PassFlightLeft), kMinPassArrival + W.TimeStep);
  for (int i = 1; i <= PlayerCount(W); ++i) {
    TPlayer& P = A.Players[i];
    P.desiredspeed = SupportsNearBall(W, P, C) ? P.PassingSupportSpeed : P.JogSpeed;
    if (P.RoleCode == -1 || P.RoleCode == -2 || P.RoleCode == -3) P.desiredspeed = P.maxspeed;
    ApplySequenceSpeed(P);
    TPlayer& Q = D.Players[i];
    if (LineRuleWantsTopSpeed(W, Q, R)) Q.desiredspeed = static_cast<f32>(PlanarDistanceToSpot(Q) / timeLeft);
    SlowDuringPass(W, P);
  }
  SetReceiverRunSpeed(A);
}

void GotTackledSpeeds(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  TTeamBlock& D = W.Teams[2];
  for (int i = 1; i <= PlayerCount(W); ++i) {
    TPlayer& P = A.Players[i];
    P.desiredspeed = DesiredNearBallX(W, P, 20.0) && OffSpot(P, 7.0) ? P.maxspeed : P.JogSpeed;
    ApplySequenceSpeed(P);
    TPlayer& Q = D.Players[i];
    const bool hurry = OffSpot(Q, 5.0) || Q.Pos.z < Q.DesiredPos.z;
    Q.desiredspeed = DesiredNearBallX(W, Q, 25.0) && hurry ? Q.maxspeed : Q.JogSpeed;
  }
  const TPlayer* H = PlayerAt(A, A.SetPieceHolder);
  if (H && H->passtimer > 0) SetReceiverRunSpeed(A);
}

// A special action of kind 0 sets its own speed.
void SpecialActionSpeeds(TWorld& W) {
  for (TTeamBlock& B : W.Teams)
    for (int i = 1; i <= PlayerCount(W); ++i) {
      TPlayer& P = B.Players[i];
      if (P.SpecialAnimTimer > 0 && P.SpecialAnimKind == 0.0f) P.desiredspeed = P.SpecialAnimSpeed;
    }
}

void FreeBallSpeeds(TWorld& W) {
  const double x = FlightEntryX(W, W.FlightSegments);
  for (int i = 1; i <= PlayerCount(W); ++i)
    for (TTeamBlock& B : W.Teams) {
      TPlayer& P = B.Players[i];
      const bool far = std::fabs(P.Pos.x - x) > kFarFromFlightX;
      P.desiredspeed = far ? static_cast<f32>(kFarFromFlightFactor * P.maxspeed) : P.maxspeed;
    }
  for (TTeamBlock& B : W.Teams)
    ForEachChaser(B, [](TPlayer& P) {
      if (P.freeballcatchtimer <= 0) P.desiredspeed = P.ChaseSpeed;
    });
  SpecialActionSpeeds(W);
}

void SetPieceSpeeds(TWorld& W) {
  for (int i = 1; i <= PlayerCount(W); ++i)
    for (int b = 1; b <= 2; ++b)
      if (b == 2 || i != W.Teams[1].BallCarrier) W.Teams[b].Players[i].desiredspeed = static_cast<f32>(kSetPieceSpeed);
}

// Slows towards the spot: 0.2 x (m to go + maxspeed), at most Cap.
f32 ApproachSpeed(const TPlayer& P, double Cap) {
  return static_cast<f32>(std::min(Cap, kApproachFactor * PlanarDistanceToSpot(P) + kApproachFactor * P.maxspeed));
}

void KickRestartSpeeds(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  for (int i = 1; i <= PlayerCount(W); ++i)
    for (int b = 1; b <= 2; ++b) {
      if (b == 1 && i == A.BallCarrier) continue;
      TPlayer& P = W.Teams[b].Players[i];
      P.desiredspeed = ApproachSpeed(P, P.JogSpeed);
    }
  if (A.KickerIndex != A.BallCarrier)
    if (TPlayer* K = PlayerAt(A, A.KickerIndex)) K->desiredspeed = K->ChaseSpeed;
  SpecialActionSpeeds(W);
}

void TryScoredSpeeds(TWorld& W) {
  for (int i = 1; i <= PlayerCount(W); ++i)
    for (TTeamBlock& B : W.Teams) {
      TPlayer& P = B.Players[i];
      P.desiredspeed = P.CelebrateStage == P.CelebrateJoin ? static_cast<f32>(kApproachFactor * P.maxspeed)
                                                           : ApproachSpeed(P, P.maxspeed);
    }
}

void StateSpeeds(TWorld& W) {
  switch (W.gamestate) {
    case gsRunning: RunningSpeeds(W); break;
    case gsPassing: PassingSpeeds(W); break;
    case gsGotTackled: GotTackledSpeeds(W); break;
    case gsFreeBall: FreeBallSpeeds(W); break;
    case gsScrum:
    case gsLineout: SetPieceSpeeds(W); break;
    case gsKickRestartSet: KickRestartSpeeds(W); break;
    case gsTryScored: TryScoredSpeeds(W); break;
    default: break;
  }
}

// ---------------------------------------------------------------- arrival times

// Thresholds of metres to go, each passed one setting the arrival time
// beside it; below the first the time is 0.1 s.
struct TArrivalTable {
  int Count;
  double Over[4];  // m
  double Time[4];  // s
};

constexpr TArrivalTable kFreeBallTiredAttack = {4, {7.5, 12.5, 17.5, 20.0}, {1.0, 2.0, 3.0, 4.0}};
constexpr TArrivalTable kFreeBallTiredDefence = {4, {7.5, 12.5, 17.5, 22.5}, {1.0, 2.0, 3.0, 4.0}};
constexpr TArrivalTable kFreeBallFresh = {4, {12.5, 17.5, 22.5, 30.0}, {0.25, 0.5, 1.0, 2.0}};
constexpr TArrivalTable kChaseTired = {2, {12.5, 17.5}, {3.0, 4.0}};
constexpr TArrivalTable kChaseFresh = {2, {22.5, 30.0}, {1.5, 2.5}};
constexpr TArrivalTable kTackledTired = {4, {2.0, 4.0, 8.0, 12.0}, {2.0, 3.0, 4.0, 5.0}};
constexpr TArrivalTable kTackledFresh = {4, {5.0, 10.0, 15.0, 20.0}, {0.5, 1.0, 1.5, 2.5}};

double TableTime(const TArrivalTable& T, double d) {
  double t = kDefaultArrivalTime;
  for (int k = 0; k < T.Count; ++k)
    if (d > T.Over[k]) t = T.Time[k];
  return t;
}

double FreeBallArrivalTime(const TWorld& W, const TPlayer& P, bool Attack) {
  const double d = std::fabs(FlightEntryX(W, W.FlightLandingStep) - static_cast<double>(P.DesiredPos.x));
  if (!P.Fatigued) return TableTime(kFreeBallFresh, d);
  return TableTime(Attack ? kFreeBallTiredAttack : kFreeBallTiredDefence, d);
}

// At a breakdown: a share of the restart delay by how far across from the
// mark the spot is, 0.1 s while in the ruck, lengthened by the player's
// scale; an attacker released on a breakdown move starts his run earlier by
// its go time. At least 0.1 s.
double BreakdownArrivalTime(const TWorld& W, const TPlayer& P, bool UseGoTime) {
  const double d = std::fabs(static_cast<double>(P.DesiredPos.x) - W.MarkX);
  double share = 0.85;
  if (d < 20) share = 0.75;
  if (d < 15) share = 0.65;
  if (d < 10) share = 0.55;
  if (d < 5) share = 0.45;
  double t = share * W.RestartDelay;
  if (P.RuckTimer > 0) t = kDefaultArrivalTime;
  t = t + t * P.ArrivalTimeScale;
  if (UseGoTime && P.ActionSeq.seqON) t -= P.ActionSeq.SeqHeadValue;
  return std::max(t, kDefaultArrivalTime);
}

// The speed that covers DistToDesired in T, held between 0.65 x JogSpeed and
// maxspeed; only for a player within 100 m of his spot. No time at all
// counts as arriving at once.
void ApplyArrivalTime(TPlayer& P, double T) {
  if (!(P.DistToDesired < kArrivalRange)) return;
  double v;
  if (T != 0)
    v = P.DistToDesired / T;
  else
    v = P.DistToDesired > 0 ? static_cast<double>(P.maxspeed) : 0.0;
  v = std::min(v, static_cast<double>(P.maxspeed));
  v = std::max(v, kArrivalFloor * P.JogSpeed);
  P.desiredspeed = static_cast<f32>(v);
}

double AttackArrivalTime(const TWorld& W, const TPlayer& P) {
  switch (W.gamestate) {
    case gsRunning:
    case gsPassing: return W.TimeStep;  // on his spot by the next frame
    case gsFreeBall: return FreeBallArrivalTime(W, P, true);
    case gsGotTackled: return BreakdownArrivalTime(W, P, true);
    default: return kDefaultArrivalTime;
  }
}

// Stage 2.
void AttackArrivalTimes(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  const TGameState s = W.gamestate;
  const TPlayer* C = PlayerAt(A, A.BallCarrier);
  const bool carrierPassing = C && C->passtimer > 0;
  for (int i = 1; i <= PlayerCount(W); ++i) {
    TPlayer& P = A.Players[i];
    const bool isCarrier = i == A.BallCarrier;
    const bool isReceiver = i == A.PassReceiver;
    if (s == gsRunning && (isCarrier || (isReceiver && carrierPassing))) continue;
    if (P.passcatchtimer > 0 || (s == gsPassing && isReceiver)) continue;
    ApplyArrivalTime(P, AttackArrivalTime(W, P));
  }
}

// A free-ball chaser is held to his chase speed, or to his catch speed once
// his catch has begun.
void CapChasers(TTeamBlock& B) {
  ForEachChaser(B, [](TPlayer& P) {
    const f32 cap = P.freeballcatchtimer <= 0 ? P.ChaseSpeed : P.FreeBallCatchSpeed;
    P.desiredspeed = std::min(P.desiredspeed, cap);
  });
}

void CapAtMaxSpeed(const TWorld& W, TTeamBlock& B) {
  for (int i = 1; i <= PlayerCount(W); ++i) {
    TPlayer& P = B.Players[i];
    P.desiredspeed = std::min(P.desiredspeed, P.maxspeed);
  }
}

// Stages 3 to 7.
void AttackOverrides(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  const TGameState s = W.gamestate;
  if (s == gsRunning || s == gsPassing) {
    const i32 exempt = s == gsRunning ? A.BallCarrier : A.PassReceiver;
    for (int i = 1; i <= PlayerCount(W); ++i) {
      TPlayer& P = A.Players[i];
      if (i != exempt && P.SpeedOverrideOn) P.desiredspeed = P.SpeedOverride;
    }
  }
  if (s == gsFreeBall) CapChasers(A);
  CapAtMaxSpeed(W, A);
  for (int i = 1; i <= PlayerCount(W); ++i) {
    TPlayer& P = A.Players[i];
    if (i != A.BallCarrier) ApplySequenceSpeed(P);
    if (IsOpenPlay(s) && BlockWantsTopSpeed(P)) P.desiredspeed = P.maxspeed;
  }
  const TPlayer* C = PlayerAt(A, A.BallCarrier);
  if ((s == gsRunning && C && C->passtimer > 0) || s == gsPassing) SetReceiverRunSpeed(A);
}

double DefenceArrivalTime(const TWorld& W, const TPlayer& P) {
  const TTeamBlock& A = W.Teams[1];
  switch (W.gamestate) {
    case gsRunning:
    case gsPassing: {
      const TPlayer* R = PlayerAt(A, W.gamestate == gsRunning ? A.BallCarrier : A.PassReceiver);
      if (!R) return kDefaultArrivalTime;
      const double d = std::fabs(static_cast<double>(R->Pos.x) - P.DesiredPos.x);
      if (W.gamestate == gsRunning && R->GettingTackledTimer > 0)
        return TableTime(P.Fatigued ? kTackledTired : kTackledFresh, d);
      if (P.chasertimer <= 0 && R->Pos.z > P.Pos.z) return TableTime(P.Fatigued ? kChaseTired : kChaseFresh, d);
      return kDefaultArrivalTime;
    }
    case gsFreeBall: return FreeBallArrivalTime(W, P, false);
    case gsGotTackled: return BreakdownArrivalTime(W, P, false);
    default: return kDefaultArrivalTime;
  }
}

// Stage 8: a defender in a tackle, as either side, keeps his speed.
void DefenceArrivalTimes(TWorld& W) {
  const TGameState s = W.gamestate;
  const bool contactStates = IsOpenPlay(s) || s == gsGotTackled;
  for (int i = 1; i <= PlayerCount(W); ++i) {
    TPlayer& P = W.Teams[2].Players[i];
    if (contactStates && (P.GettingTackledTimer > 0 || P.TackleAttemptTimer > 0)) continue;
    ApplyArrivalTime(P, DefenceArrivalTime(W, P));
  }
}

// Stages 9 to 11.
void DefenceOverrides(TWorld& W) {
  TTeamBlock& D = W.Teams[2];
  const TGameState s = W.gamestate;
  if (s == gsFreeBall) {
    for (const i32 e : {static_cast<i32>(D.LeftEdgePlayer), static_cast<i32>(D.RightEdgePlayer)})
      if (TPlayer* P = PlayerAt(D, e)) P->desiredspeed = P->maxspeed;
    CapChasers(D);
  }
  CapAtMaxSpeed(W, D);
  for (int i = 1; i <= PlayerCount(W); ++i) {
    TPlayer& P = D.Players[i];
    ApplySequenceSpeed(P);
    if (IsOpenPlay(s) && (P.FullSpeedOrder > 0 || BlockWantsTopSpeed(P))) P.desiredspeed = P.maxspeed;
  }
}

// A human user's player runs at the user's speed.
void UserSpeeds(TWorld& W) {
  for (int i = 1; i <= PlayerCount(W); ++i) {
    ApplyUserControl(W, W.Teams[1].Players[i], ucAttackSpeed, W.Teams[1]);
    ApplyUserControl(W, W.Teams[2].Players[i], ucDefenceSpeed, W.Teams[2]);
  }
}

}  // namespace

void SetDesiredSpeed(TWorld& W) {
  StateSpeeds(W);
  AttackArrivalTimes(W);
  AttackOverrides(W);
  DefenceArrivalTimes(W);
  DefenceOverrides(W);
  UserSpeeds(W);
}

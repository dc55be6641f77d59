#include "contact/HeldCarrier.h"

#include <algorithm>
#include <string>

#include "contact/ContactHolds.h"
#include "core/Geometry.h"
#include "core/NumberFormat.h"
#include "core/Random.h"
#include "core/RunLog.h"

namespace {

constexpr i32 kOffloadEvent = 12;       // action event type that blocks going to ground
constexpr double kScriptSlack = 0.05;   // s
constexpr double kHeldMargin = 0.1;     // s held before going to ground
constexpr double kOffloadMargin = 0.4;  // s, while an offload window is open
constexpr double kTouchMargin = 0.2;    // s, the same near a touchline
constexpr double kNearTouch = 0.75;     // m
constexpr double kSupportAcross = 5.0;  // m
constexpr double kSupportAlong = 7.5;   // m
constexpr double kSupportAhead = 1.0;   // m
constexpr double kOverTheLine = 0.25;   // m beyond the goal line
constexpr double kTouchPrediction = 0.35;  // m inside a touchline
constexpr double kSecureHolderFactor = 0.85;
constexpr double kAtContactPoint = 0.1;    // m
constexpr f32 kOffloadBlockTime = 0.25f;   // s

// GettingTackledKind of the carrier and TackleAttemptKind of his holders.
constexpr f32 kCarrierFallsForward = 1.0f;
constexpr f32 kCarrierFallsBack = 2.0f;
constexpr f32 kHoldingLoop = 0.0f;
constexpr f32 kHolderFallsForward = 1.0f;
constexpr f32 kHolderFallsBack = 2.0f;

constexpr f32 kFallForwardFrames = 3260.0f;  // "divetackledfallforward"
constexpr f32 kFallBackFrames = 4540.0f;     // "divetackledfallback"
constexpr i16 kFallForwardTrack = 19;
constexpr i16 kFallBackTrack = 18;
constexpr double kTryDiveKeeps = 0.7;        // share from which a try-line dive goes on
constexpr double kLooseDiveStartCap = 0.8;   // of the fall animation

// Whether defender D holds the carrier.
bool Holds(const TPlayer& D, int Carrier) { return D.governedby == Carrier; }

bool BeyondGoalLine(const TWorld& W, double z) { return z > W.PitchLength / 2.0; }

// The carrier's action sequence stops him going to ground: it holds an event
// of type 12, unless the current event is a timed one, of another type, that
// runs until about the end of the join window and is followed by that event.
bool ScriptBlocksGoingDown(const TWorld& W, const TPlayer& C) {
  const TActionSeq& S = C.ActionSeq;
  if (S.seqON == 0 || BeyondGoalLine(W, C.Pos.z)) return false;
  const int n = std::clamp<i32>(S.NumEvents, 0, 10);
  for (int k = 1; k <= n; ++k) {
    if (S.EventArray[k].EventType != kOffloadEvent) continue;
    const int cur = S.CurrEventIndex;
    if (cur < 1 || cur >= 10) return true;
    const TActionEvent& E = S.EventArray[cur];
    const bool lateEnough = E.EventType != kOffloadEvent && S.EventArray[cur + 1].EventType == kOffloadEvent &&
                            E.TimedOn != 0 && E.Duration > 0 &&
                            E.TimeLeft >= static_cast<double>(W.TackleJoinTime) - kScriptSlack;
    return !lateEnough;
  }
  return false;
}

// A block-1 team-mate near enough to support him: within 5 m across, 7.5 m
// along and less than 1 m ahead.
bool SupportNear(const TWorld& W, int Carrier) {
  const TPlayer& C = W.Teams[1].Players[Carrier];
  const int n = PlayerCount(W);
  for (int j = 1; j <= n; ++j) {
    if (j == Carrier) continue;
    const TPlayer& M = W.Teams[1].Players[j];
    const double dx = static_cast<double>(M.Pos.x) - C.Pos.x;
    const double dz = static_cast<double>(M.Pos.z) - C.Pos.z;
    if (std::abs(dx) <= kSupportAcross && std::abs(dz) <= kSupportAlong && dz < kSupportAhead) return true;
  }
  return false;
}

// Whether the held carrier goes to ground now: he gains nothing more over
// the join window T and has support, or he is over the goal line, or his
// run takes him into touch within T.
bool WantsToGoDown(const TWorld& W, int Carrier) {
  const TPlayer& C = W.Teams[1].Players[Carrier];
  const double T = W.TackleJoinTime;
  const double step = W.TimeStep;
  const double az = step > 0 ? (static_cast<double>(C.Velocity.z) - C.OldVelocity.z) / step : 0.0;
  const double ax = step > 0 ? (static_cast<double>(C.Velocity.x) - C.OldVelocity.x) / step : 0.0;
  const double gain = C.Velocity.z * T + 0.5 * az * T * T;
  if (!(gain > 0) && SupportNear(W, Carrier)) return true;
  if (C.Pos.z > W.PitchLength / 2.0 + kOverTheLine) return true;
  const double x = C.Pos.x + C.Velocity.x * T + 0.5 * ax * T * T;
  const double edge = W.PitchWidth / 2.0 - kTouchPrediction;
  return x < -edge || x > edge;
}

// The carrier decides to go to ground: the join window (and an open offload
// window with it) is shortened by his drawn GoToGroundTime, itself shortened
// for every holder more secure with the ball than he is.
void GoToGround(TWorld& W, int Carrier) {
  TPlayer& C = W.Teams[1].Players[Carrier];
  W.GoToGroundDecided = kTrue32;
  double t = DrawDistribution(C.GoToGroundDist);
  const int n = PlayerCount(W);
  for (int p = 1; p <= n; ++p) {
    const TPlayer& D = W.Teams[2].Players[p];
    if (Holds(D, Carrier) && D.BallSecurity > C.BallSecurity) t *= kSecureHolderFactor;
  }
  C.GoToGroundTime = ToF32(t);
  W.TackleJoinTime = ToF32(static_cast<double>(W.TackleJoinTime) - C.GoToGroundTime);
  if (W.Teams[1].OffloadTime > 0) W.Teams[1].OffloadTime = W.TackleJoinTime;
}

void ConsiderGoingDown(TWorld& W, int Carrier) {
  const TPlayer& C = W.Teams[1].Players[Carrier];
  if (W.GoToGroundDecided != 0 || C.OffloadPending > 0 || W.Teams[1].PassTimeLeft > 0 || !(W.TackleJoinTime > 0)) {
    return;
  }
  if (ScriptBlocksGoingDown(W, C)) return;
  double margin = kHeldMargin;
  if (W.Teams[1].OffloadTime > 0 && !BeyondGoalLine(W, C.Pos.z)) {
    const double edge = W.PitchWidth / 2.0 - kNearTouch;
    margin = C.Pos.x <= -edge || C.Pos.x >= edge ? kTouchMargin : kOffloadMargin;
  }
  if (!(W.CarrierHeldTime > margin + W.TimeStep)) return;
  if (WantsToGoDown(W, Carrier)) GoToGround(W, Carrier);
}

// The tackle is complete: every wanted tackler holds the carrier, no offload
// window is open and no pass runs unless the join window is over.
bool TackleComplete(const TWorld& W, const TPlayer& C) {
  return C.numgoverning == W.Teams[2].TacklersWanted && W.Teams[1].OffloadTime <= 0 &&
         (C.passtimer <= 0 || W.TackleJoinTime <= 0);
}

void SetAnimation(TPlayer& P, const char* Name, f32 MaxFrames, f32 Frame, i16 Track) {
  P.currentAnim.Assign(Name);
  P.maxframes = MaxFrames;
  P.currentframe = Frame;
  P.AnimLoop = kFalse32;
  P.BallTrack = Track;
  P.AnimLoopCount = 0;
  P.AnimLoopTime = 0;
}

// The carrier's dive, try-line dive or loose-ball dive under way when the
// tackle takes him to ground becomes a fall.
void EndCarrierDives(TWorld& W, int Carrier) {
  TPlayer& C = W.Teams[1].Players[Carrier];
  const int n = PlayerCount(W);
  if (C.DiveTimer > 0) {
    C.DiveTimer = 0;
    C.GettingTackledKind = kCarrierFallsForward;
    const double g = AnimationShare(C);
    SetAnimation(C, "divetackledfallforward", kFallForwardFrames, ToF32(g * kFallForwardFrames), kFallForwardTrack);
    for (int p = 1; p <= n; ++p) {
      TPlayer& D = W.Teams[2].Players[p];
      if (Holds(D, Carrier)) D.TackleAttemptKind = kHolderFallsForward;
    }
  }
  if ((C.currentAnim == "trydivestandupbackflick" || C.currentAnim == "trydivestandupbackflick180") &&
      AnimationShare(C) < kTryDiveKeeps) {
    if (C.GettingTackledKind == kCarrierFallsForward) {
      SetAnimation(C, "divetackledfallforward", kFallForwardFrames, 1630.0f, kFallForwardTrack);
    } else {
      C.GettingTackledKind = kCarrierFallsBack;
      SetAnimation(C, "divetackledfallback", kFallBackFrames, 2270.0f, kFallBackTrack);
    }
  }
  if (C.currentAnim == "looseballdive") {
    const double start = std::min(kLooseDiveStartCap, AnimationShare(C) / 0.35 * 0.75);
    SetAnimation(C, "divetackledfallforward", kFallForwardFrames, ToF32(start * kFallForwardFrames),
                 kFallForwardTrack);
    if (W.LiveWorld != 0) {
      WriteRunLog("looseball dive " + FormatGeneral(W.clock / 60.0));
      WriteRunLog(FormatGeneral(start));
    }
  }
}

}  // namespace

void CountHeldCarrier(TWorld& W, int Carrier) {
  TPlayer& C = W.Teams[1].Players[Carrier];
  if (C.numgoverning <= 0) return;
  TTeamBlock& A = W.Teams[1];
  if (A.OffloadTime > 0) {
    A.OffloadTime = ToF32(static_cast<double>(A.OffloadTime) - W.TimeStep);
    if (A.OffloadTime < 0) {
      C.OffloadPending = 0;
      A.PassTimeLeft = 0;
    }
  }
  W.TackleJoinTime = ToF32(static_cast<double>(W.TackleJoinTime) - W.TimeStep);
  ConsiderGoingDown(W, Carrier);
  if (W.TackleJoinTime <= 0) W.Teams[2].TacklersWanted = C.numgoverning;
}

void SettleHolders(TWorld& W, int Carrier) {
  const TPlayer& C = W.Teams[1].Players[Carrier];
  if (C.numgoverning <= 0 || TackleComplete(W, C)) return;
  const int n = PlayerCount(W);
  for (int p = 1; p <= n; ++p) {
    TPlayer& D = W.Teams[2].Players[p];
    const int k = D.ContactPoint;
    if (!Holds(D, Carrier) || k < 1 || k > 8) continue;
    if (Distance2D(D.Pos.x, D.Pos.z, C.Footprint[k].x, C.Footprint[k].z) <= kAtContactPoint) {
      D.TackleAttemptKind = kHoldingLoop;
      D.TackleAttemptAngle = W.PointHeadings[k];
      D.TackleAttemptFacing = W.PointHeadings[k];
    }
  }
}

void TakeCarrierToGround(TWorld& W, int Carrier) {
  TPlayer& C = W.Teams[1].Players[Carrier];
  if (W.CarrierGrounded == 0 || W.MarkCalled != 0 || C.GettingTackledKind != 0 || !TackleComplete(W, C)) return;
  TTeamBlock& A = W.Teams[1];
  C.passtimer = 0;
  W.OffloadBlockTimer = kOffloadBlockTime;
  C.OffloadPending = 0;
  A.PassTimeLeft = 0;
  A.PassDuration = 0;

  const f32 a = W.Teams[2].TackleHeading;
  const f32 back = ToF32(static_cast<double>(a) + 180.0);
  if (SetFallScratch(W, a, C.GettingTackledFacing)) {
    C.GettingTackledKind = kCarrierFallsForward;
    C.GettingTackledFacing = a;
  } else {
    C.GettingTackledKind = kCarrierFallsBack;
    C.GettingTackledFacing = back;
  }

  const int n = PlayerCount(W);
  for (int p = 1; p <= n; ++p) {
    TPlayer& D = W.Teams[2].Players[p];
    if (!Holds(D, Carrier)) continue;
    if (HoldsAtBlockedPoint(W, D)) {
      D.TackleAttemptKind = kHolderFallsForward;
      D.TackleAttemptAngle = a;
      D.TackleAttemptFacing = a;
    } else {
      D.TackleAttemptKind = kHolderFallsBack;
      D.TackleAttemptAngle = back;
      D.TackleAttemptFacing = back;
      PlayHolderFallBack(D);
    }
  }
  EndCarrierDives(W, Carrier);
}

#include "motion/BallUpdateUnit.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/Geometry.h"
#include "motion/AnimatePlayersUnit.h"
#include "setup/BallKeyframes.h"

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kHandReach = 0.4;        // m in front of the holder's body
constexpr double kCarryHeight = 1.5;      // m
constexpr double kTackledHeight = 0.5;    // m, the tackled carrier's ball
constexpr double kRuckBallHeight = 0.2;   // m, the ball on the ground at a ruck
constexpr double kThrowerHeight = 1.2;    // x the thrower's Height
constexpr double kCaughtHeight = 3.0;     // m, the lineout ball caught overhead
constexpr double kFeedSpeed = 2.5;        // m/s along the scrum feed
constexpr double kFeedHeight = 0.25;      // m
constexpr double kFeedArrival = 0.15;     // m, the feed reaches the tunnel point
constexpr double kFeedExitBack = 0.35;    // m behind the scrum's exit point
// The feed's angles, as the viewer reads them: these stand in radian fields.
constexpr f32 kFeedSpin = 90.0f;
constexpr f32 kFeedPitch = 90.0f;
constexpr double kFeedPitchRate = 10.0;   // per second
constexpr double kFeedSpinPerPackSpeed = 5.5;
constexpr double kTryBallHeight = 0.2;    // m

void StorePrev(TWorld& W, bool Angles) {
  W.PrevBallPos = W.BallPos;
  if (!Angles) return;
  W.PrevBallSpin = W.BallSpin;
  W.PrevBallYaw = W.BallYaw;
  W.PrevBallPitch = W.BallPitch;
}

// The ball 0.4 m in front of the holder's body (along FacingAngle - pi/2,
// a heading pointing along (-cos, sin)) at height H.
void HoldAt(TWorld& W, const TPlayer& P, double H) {
  const double a = static_cast<double>(P.FacingAngle) - kPi / 2.0;
  W.BallPos.x = ToF32(P.Pos.x - kHandReach * std::cos(a));
  W.BallPos.z = ToF32(P.Pos.z + kHandReach * std::sin(a));
  W.BallPos.y = ToF32(H);
}

// Holds the ball by player n of block 1 at height H; false when n names no record.
bool HeldByCarrier(TWorld& W, i32 n, double H) {
  const TPlayer* P = PlayerAt(W.Teams[1], n);
  if (P != nullptr) HoldAt(W, *P, H);
  return P != nullptr;
}

// Block 1's carry flags from its carrier's step over the frame: entering its
// own 22 or in-goal from in front, and in-goal again straight after a tackle.
void CarryFlags(TWorld& W, const TPlayer& C) {
  TTeamBlock& T = W.Teams[1];
  const double z = C.Pos.z;
  const double z0 = C.OldPos.z;
  const double l22 = -W.PitchLength / 2.0 + 22.0;
  const double lt = -W.PitchLength / 2.0;
  if (z > l22) T.CarriedIntoOwn22 = kFalse32;
  if (z0 > l22 && z <= l22) T.CarriedIntoOwn22 = kTrue32;
  if (z > lt) T.CarriedIntoOwnInGoal = kFalse32;
  if (z0 > lt && z <= lt) T.CarriedIntoOwnInGoal = kTrue32;
  if (W.PrevFrameGameState == gsGotTackled && z <= lt) T.CarriedIntoOwnInGoal = kTrue32;
}

// The ball's z between the ruck line and the scrum-half's hands while his
// pass runs: at the ruck line when the pass starts, in his hands (t) when
// PassTimeLeft reaches 0, never beyond either.
double ScrumHalfBallZ(const TTeamBlock& T, const TPlayer& H) {
  const double t = static_cast<double>(H.Pos.z) + kHandReach;
  if (!(T.PassTimeLeft > 0.0f) || !(T.PassDuration > 0.0f)) return t;
  const double k = std::clamp(static_cast<double>(T.PassTimeLeft) / T.PassDuration, 0.0, 1.0);
  return t + (T.SetPieceLineZ - t) * k;
}

// The scrum feed: phase 1 rolls the ball in to BallTarget, phase 2 (from the
// frame it is within 0.15 m) heels it back to behind the exit point at the
// pack's speed of spin. The ball moves in x and z at BallMoveSpeed, landing
// on the target rather than passing it, at 0.25 m.
void ScrumFeed(TWorld& W) {
  const double ts = W.TimeStep;
  if (W.BallPhase == 1) {
    W.BallMoveSpeed = ToF32(kFeedSpeed);
    W.BallPitchRate = ToF32(kFeedPitchRate);
    W.BallPitch = ToF32(W.BallPitch + kFeedPitchRate * ts);
    W.BallSpin = kFeedSpin;
    if (Distance2D(W.BallPos.x, W.BallPos.z, W.BallTarget.x, W.BallTarget.z) < kFeedArrival) W.BallPhase = 2;
  }
  if (W.BallPhase == 2) {
    const TVector2& exit = W.Teams[1].ScrumBallExitPoint;
    W.BallTarget = {exit.x, ToF32(kFeedHeight), ToF32(exit.z - kFeedExitBack)};
    W.BallMoveSpeed = ToF32(kFeedSpeed);
    W.BallSpinRate = ToF32(std::fabs(W.PackVelocityZ * kFeedSpinPerPackSpeed));
    W.BallSpin = ToF32(W.BallSpin + static_cast<double>(W.BallSpinRate) * ts);
    W.BallYaw = 0.0f;
    W.BallPitch = kFeedPitch;
  }
  const double dist = Distance2D(W.BallPos.x, W.BallPos.z, W.BallTarget.x, W.BallTarget.z);
  if (ts > 0.0 && W.BallMoveSpeed * ts >= dist) W.BallMoveSpeed = ToF32(dist / ts);
  TVector3 v;
  Subtract3D(W.BallTarget, W.BallPos, v);
  Normalise3D(v, W.BallVel);
  W.BallPos.x = ToF32(W.BallPos.x + static_cast<double>(W.BallVel.x) * W.BallMoveSpeed * ts);
  W.BallPos.z = ToF32(W.BallPos.z + static_cast<double>(W.BallVel.z) * W.BallMoveSpeed * ts);
  W.BallPos.y = ToF32(kFeedHeight);
}

// The player whose ball-in-hand track places the ball this frame, or null.
const TPlayer* TrackHolder(const TWorld& W) {
  if (W.gamestate == gsTransition) {
    if (W.TransitionBallHeld == 0 || W.TransitionHolder == 0) return nullptr;
    return PlayerAt(W.Teams[W.TransitionHolderFirstBlock != 0 ? 1 : 2], W.LastKnownHasBall);
  }
  if (W.BallAttached == 0 || W.LastKnownHasBall == 0) return nullptr;
  return PlayerAt(W.Teams[1], W.LastKnownHasBall);
}

void PlaceOnTrack(TWorld& W) {
  const TPlayer* H = TrackHolder(W);
  if (H == nullptr) return;
  f32 fraction = ToF32(AnimProgress(*H));
  const TVector3 at = {H->Pos.x, 0.0f, H->Pos.z};
  if (!PlaceBallInHand(W, H->BallTrack, fraction, H->Height, ToF32(H->Heading * kDegToRad), at)) return;
  if (W.BallPos.y < 0.0f) W.BallPos.y = 0.0f;
}

}  // namespace

void BallUserInterface(TWorld& W) { StorePrev(W, false); }

void BallRunning(TWorld& W) {
  StorePrev(W, false);
  W.Teams[2].CarriedIntoOwn22 = kFalse32;
  W.Teams[2].CarriedIntoOwnInGoal = kFalse32;
  const TPlayer* C = PlayerAt(W.Teams[1], W.Teams[1].BallCarrier);
  if (C == nullptr) return;
  HoldAt(W, *C, kCarryHeight);
  CarryFlags(W, *C);
}

void BallPassing(TWorld& W) { StorePrev(W, true); }

void BallGotTackled(TWorld& W) {
  TTeamBlock& T = W.Teams[1];
  if (T.PackSpots.BoundCount > 0 && W.TurnoverPending == 0 && T.BallCarrier != 0 &&
      T.BallCarrier == T.TackledPlayer && !(W.TackleReleaseTimer > 0.0f))
    T.BallCarrier = 0;
  const TPlayer* H = PlayerAt(T, T.SetPieceHolder);  // none counts as not passing
  const bool passing = H != nullptr && H->passtimer > 0.0f;
  if (T.BallCarrier != 0 && !passing) {
    HeldByCarrier(W, T.BallCarrier, kTackledHeight);
  } else {
    W.BallPos = {W.MarkX, ToF32(kRuckBallHeight), T.SetPieceLineZ};
    if (passing) {
      W.BallPos.x = H->Pos.x;
      W.BallPos.z = ToF32(ScrumHalfBallZ(T, *H));
    }
  }
  if (W.BallPos.z > -W.PitchLength / 2.0 + 22.0) T.CarriedIntoOwn22 = kFalse32;
}

void BallFree(TWorld& W) { StorePrev(W, true); }

void BallScrum(TWorld& W) {
  StorePrev(W, true);
  if (W.Teams[1].BallCarrier != 0) HeldByCarrier(W, W.Teams[1].BallCarrier, kCarryHeight);
  else ScrumFeed(W);
}

void BallKickRestartSet(TWorld& W) {
  if (W.Teams[1].BallCarrier != 0) {
    HeldByCarrier(W, W.Teams[1].BallCarrier, kCarryHeight);
    return;
  }
  StorePrev(W, true);
  W.BallPos = W.Teams[1].RestartBallPos;
  W.BallSpin = 0.0f;
  W.BallYaw = 0.0f;
  W.BallPitch = 0.0f;
}

void BallLineout(TWorld& W) {
  const TTeamBlock& T = W.Teams[1];
  StorePrev(W, T.BallCarrier == 0);
  if (T.BallCarrier == 0) {
    BallLineoutThrow(W);
    return;
  }
  const TPlayer* C = PlayerAt(T, T.BallCarrier);
  if (C == nullptr) return;
  HoldAt(W, *C, T.BallCarrier == T.LineoutThrower ? kThrowerHeight * C->Height : kCaughtHeight);
}

void BallLineoutThrow(TWorld& W) { (void)W; }

void BallTryScored(TWorld& W) {
  StorePrev(W, true);
  if (W.BallAttached != 0) return;
  W.BallPos.y = ToF32(kTryBallHeight);
  W.BallPitch = ToF32(kPi / 2.0);
}

void BallTransition(TWorld& W) {
  if (W.TransitionBallHeld == 0) {
    BallFree(W);
    return;
  }
  StorePrev(W, false);
  const TPlayer* H = PlayerAt(W.Teams[W.TransitionHolderFirstBlock != 0 ? 1 : 2], W.TransitionHolder);
  if (H != nullptr) HoldAt(W, *H, kCarryHeight);
}

bool PlaceBallInHand(TWorld& W, i32 Track, f32& Fraction, f32 Height, f32 FacingRad, const TVector3& HolderPos) {
  if (Track < 1 || Track > kBallKeyTrackCount) return false;
  const TBallKeyTrack& K = BallKeyTracks[Track];
  const int count = std::min<int>(K.KeyCount, K.Keys.kHigh);
  if (count < 2) return false;
  if (std::isnan(Fraction) || Fraction < 0.0f || Fraction > 1.0f) Fraction = 0.0f;
  int j = 1;
  for (int m = 1; m <= count - 1; ++m)
    if (Fraction <= K.Keys[m + 1].Fraction) {
      j = m;
      break;
    }
  const TBallKey& a = K.Keys[j];
  const TBallKey& b = K.Keys[j + 1];
  const double span = static_cast<double>(b.Fraction) - a.Fraction;
  double t = span != 0.0 ? (Fraction - static_cast<double>(a.Fraction)) / span : 0.0;
  t = std::isnan(t) ? 0.0 : std::clamp(t, 0.0, 1.0);
  const auto lerp = [t](f32 u, f32 v) { return u + (static_cast<double>(v) - u) * t; };
  const f32 ox = ToF32(lerp(a.OffsetX, b.OffsetX) * Height);
  const f32 oy = ToF32(lerp(a.OffsetY, b.OffsetY) * Height);
  const f32 oz = ToF32(lerp(a.OffsetZ, b.OffsetZ) * Height);
  const double d = Distance2D(0.0f, 0.0f, ox, oz);
  const double ang = HeadingToPoint(0.0f, 0.0f, ox, oz, 90.0f) * kDegToRad + FacingRad - kPi / 2.0;
  W.BallPos = {ToF32(HolderPos.x - d * std::cos(ang)), oy, ToF32(HolderPos.z + d * std::sin(ang))};
  double r1 = 0.0, r2 = 0.0, r3 = 0.0;
  for (int m = 1; m <= j; ++m) {
    r1 += K.Keys[m].Rot1;
    r2 += K.Keys[m].Rot2;
    r3 += K.Keys[m].Rot3;
  }
  W.BallSpin = ToF32(r1 + t * b.Rot1);
  W.BallYaw = ToF32(r2 + t * b.Rot2);
  W.BallPitch = ToF32(r3 + t * b.Rot3);
  return true;
}

void BallUpdate(TWorld& W) {
  switch (W.gamestate) {
    case gsUserInterface: BallUserInterface(W); break;
    case gsRunning: BallRunning(W); break;
    case gsPassing: BallPassing(W); break;
    case gsGotTackled: BallGotTackled(W); break;
    case gsFreeBall: BallFree(W); break;
    case gsScrum: BallScrum(W); break;
    case gsKickRestartSet: BallKickRestartSet(W); break;
    case gsLineout: BallLineout(W); break;
    case gsTryScored: BallTryScored(W); break;
    case gsTransition: BallTransition(W); break;
    default: break;
  }
  PlaceOnTrack(W);
  TVector3 v;
  Subtract3D(W.BallPos, W.PrevBallPos, v);
  W.BallVel = v;
  W.BallSpeed = W.TimeStep > 0.0f ? ToF32(Length3D(v) / static_cast<double>(W.TimeStep)) : 0.0f;
}

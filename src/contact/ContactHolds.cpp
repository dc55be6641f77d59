#include "contact/ContactHolds.h"

#include "core/Geometry.h"
#include "core/Interception.h"
#include "core/Random.h"

namespace {

// The reach and its band are compared as 32-bit values, like the distances
// measured against them: players 1.38 m apart are beyond the band.
constexpr f32 kHoldReach = 1.2f;         // m
constexpr f32 kHoldBand = 1.38f;         // m, judged half a frame ahead
constexpr double kMaxHoldSpeed = 3.0;    // m/s of a held player and his holders
constexpr f32 kHeldTimer = 10.0f;        // s, GettingTackledTimer until the fall is drawn
constexpr f32 kMinGroundTime = 0.05f;    // s, of a holder falling forward

// Tackle-attempt kinds of a block-2 player.
constexpr f32 kAttemptMissed = 3.0f;
constexpr f32 kHolderFallsForward = 5.0f;
constexpr f32 kHolderFallsBack = 6.0f;
constexpr f32 kFendedOff1 = 7.0f;
constexpr f32 kFendedOff2 = 8.0f;

// GettingTackledKind of a block-1 player held off the ball.
constexpr f32 kHeldOffBall = 4.0f;
constexpr f32 kFallsForward = 6.0f;
constexpr f32 kFallsBack = 7.0f;

constexpr f32 kFallBackFrames = 3260.0f;     // "divetacklefallback"
constexpr f32 kMissedFrames = 4700.0f;       // "divetacklemissed"
constexpr f32 kMissedStartFrame = 1880.0f;   // 0.4 of it
constexpr f32 kMissedLungeFrame = 2820.0f;   // 0.6 of it

bool MissedOrFended(f32 Kind) { return Kind == kAttemptMissed || Kind == kFendedOff1 || Kind == kFendedOff2; }

// Position half a frame on along Velocity.
TVector2 HalfFrameAhead(const TPlayer& P, f32 TimeStep) {
  const double t = 0.5 * TimeStep;
  return {ToF32(P.Pos.x + t * P.Velocity.x), ToF32(P.Pos.z + t * P.Velocity.z)};
}

// A duration drawn in milliseconds, 300 to 700.
double FallOffset() { return RandomRange(300, 701) / 1000.0; }

}  // namespace

double AnimationShare(const TPlayer& P) {
  if (!(P.maxframes > 0)) return 0.0;
  return static_cast<double>(P.currentframe) / P.maxframes;
}

bool WithinHoldReach(const TPlayer& A, const TPlayer& B, f32 TimeStep) {
  const f32 d = Distance2D(A.Pos.x, A.Pos.z, B.Pos.x, B.Pos.z);
  if (d < kHoldReach) return true;
  if (d >= kHoldBand) return false;
  const TVector2 a = HalfFrameAhead(A, TimeStep);
  const TVector2 b = HalfFrameAhead(B, TimeStep);
  return Distance2D(a.x, a.z, b.x, b.z) < kHoldReach;
}

void TakeHold(TWorld& W, int p, int t, const THoldRules& Rules) {
  TPlayer& D = W.Teams[2].Players[p];
  TPlayer& T = W.Teams[1].Players[t];
  D.governedby = t;
  T.numgoverning += 1;
  T.GettingTackledKind = kHeldOffBall;
  if (T.numgoverning == 1) {
    T.governedby = t;
    T.GettingTackledFacing = HeadingOfFacing(T.FacingAngle);
    T.ImpactMass = T.Weight;
    T.ImpactAngle = T.GettingTackledFacing;
    T.ImpactSpeed = T.speed;
  }
  const f32 heading = HeadingOfFacing(D.FacingAngle);
  const TSpeedHeading m = Rules.HolderMomentumFirst
                              ? CombineMomentum(D.Weight, D.speed, heading, T.ImpactMass, T.ImpactSpeed, T.ImpactAngle)
                              : CombineMomentum(T.ImpactMass, T.ImpactSpeed, T.ImpactAngle, D.Weight, D.speed, heading);
  T.ImpactSpeed = m.Speed > kMaxHoldSpeed ? static_cast<f32>(kMaxHoldSpeed) : m.Speed;
  T.ImpactAngle = m.Heading;
  T.ImpactMass = ToF32(static_cast<double>(T.ImpactMass) + D.Weight);
  T.GettingTackledSpeed = T.ImpactSpeed;
  T.GettingTackledAngle = T.ImpactAngle;
  D.ContactPoint = NearestFreeCirclePoint(T.Footprint, T.FootprintHolder, D.Pos.x, D.Pos.z);
  if (D.ContactPoint >= 1 && D.ContactPoint <= 8) T.FootprintHolder[D.ContactPoint] = p;
}

void HoldOffBallTargets(TWorld& W, const THoldRules& Rules) {
  const int n = PlayerCount(W);
  for (int p = 1; p <= n; ++p) {
    const TPlayer& D = W.Teams[2].Players[p];
    if (D.TackleAttemptTimer < 0 || MissedOrFended(D.TackleAttemptKind)) continue;
    if (Rules.HolderMustBeFree &&
        (D.governedby != 0 || D.TackleAttemptKind == kHolderFallsForward || D.TackleAttemptKind == kHolderFallsBack)) {
      continue;
    }
    const int t = D.target;
    if (t < 1 || t > n || t == Rules.ExcludedTarget || t == D.governedby) continue;
    const TPlayer& T = W.Teams[1].Players[t];
    if (T.GettingTackledTimer > 0) continue;
    if (WithinHoldReach(D, T, W.TimeStep)) TakeHold(W, p, t, Rules);
  }
}

bool SetFallScratch(TWorld& W, f32 Heading, f32 Facing) {
  TTeamBlock& B = W.Teams[2];
  B.FallImpactDir = HeadingVector(Heading);
  B.FallReverseDir = HeadingVector(ToF32(static_cast<double>(Heading) + 180.0));
  const TVector2 f = HeadingVector(Facing);
  const bool forward = Distance2D(f.x, f.z, B.FallReverseDir.x, B.FallReverseDir.z) >=
                       Distance2D(f.x, f.z, B.FallImpactDir.x, B.FallImpactDir.z);
  B.FallForward = Flag(forward);

  W.ScratchCircle = PointsOnCircle(0.0f, 0.0f, 1.0f);
  for (int k = 1; k <= 8; ++k) W.ScratchCircleFlags[k] = kFalse32;
  const int k = NearestFreeCirclePoint(W.ScratchCircle, W.ScratchCircleFlags, B.FallImpactDir.x, B.FallImpactDir.z);
  B.FallPoint = k;
  for (int j = 1; j <= 8; ++j) B.FallPointBlocked[j] = kTrue32;
  if (k >= 1 && k <= 8) {
    B.FallPointBlocked[k] = kFalse32;
    if (k + 1 <= 8) B.FallPointBlocked[k + 1] = kFalse32;
    if (k - 1 >= 1) B.FallPointBlocked[k - 1] = kFalse32;
    ShiftImpactWords(W.PointNeighbours[k]);
  }
  return forward;
}

void ShiftImpactWords(Arr1<i32, 4>& Words) {
  if (Words[1] != 0 && Words[2] == 0) {
    Words[2] = Words[1];
    Words[1] = 0;
  }
  if (Words[3] != 0 && Words[4] == 0) {
    Words[4] = Words[3];
    Words[3] = 0;
  }
}

bool HoldsAtBlockedPoint(const TWorld& W, const TPlayer& D) {
  if (D.ContactPoint < 1 || D.ContactPoint > 8) return true;
  return W.Teams[2].FallPointBlocked[D.ContactPoint] != 0;
}

void PlayHolderFallBack(TPlayer& D) {
  D.currentAnim.Assign("divetacklefallback");
  D.maxframes = kFallBackFrames;
  D.currentframe = 0;
  D.AnimLoop = kFalse32;
}

void FallHeldPlayer(TWorld& W, int q) {
  TPlayer& Q = W.Teams[1].Players[q];
  Q.GettingTackledKind = 0;
  Q.GettingTackledTimer = kHeldTimer;
  Q.passtimer = 0;
  Q.KickTimer = 0;
  const f32 a = Q.ImpactAngle;
  const f32 back = ToF32(static_cast<double>(a) + 180.0);
  if (SetFallScratch(W, a, Q.GettingTackledFacing)) {
    Q.GettingTackledKind = kFallsForward;
    Q.GettingTackledFacing = a;
  } else {
    Q.GettingTackledKind = kFallsBack;
    Q.GettingTackledFacing = back;
  }
  Q.GroundTime = ToF32(FallOffset());
  Q.GettingTackledTimer = ToF32(RandomRange(450, 551) / 1000.0);

  const int n = PlayerCount(W);
  for (int p = 1; p <= n; ++p) {
    TPlayer& D = W.Teams[2].Players[p];
    if (D.governedby != q) continue;
    if (HoldsAtBlockedPoint(W, D)) {
      D.TackleAttemptKind = kHolderFallsForward;
      D.TackleAttemptAngle = a;
      D.TackleAttemptFacing = a;
      const f32 t = ToF32(static_cast<double>(Q.GroundTime) - FallOffset());
      D.GroundTime = t > 0 ? t : kMinGroundTime;
    } else {
      D.TackleAttemptKind = kHolderFallsBack;
      D.TackleAttemptAngle = back;
      D.TackleAttemptFacing = back;
      D.GroundTime = ToF32(static_cast<double>(Q.GroundTime) + FallOffset());
      PlayHolderFallBack(D);
    }
    D.TackleAttemptTimer = Q.GettingTackledTimer;
  }
}

void FallHeldPlayers(TWorld& W) {
  const int n = PlayerCount(W);
  for (int q = 1; q <= n; ++q) {
    if (W.Teams[1].Players[q].GettingTackledKind == kHeldOffBall) FallHeldPlayer(W, q);
  }
}

void MissDive(TWorld& W, int p) {
  TPlayer& D = W.Teams[2].Players[p];
  if (TPlayer* T = PlayerAt(W.Teams[1], D.target)) T->numtargetting -= 1;
  D.target = 0;
  D.TackleAttemptKind = kAttemptMissed;
  D.currentAnim.Assign("divetacklemissed");
  D.maxframes = kMissedFrames;
  D.currentframe = kMissedStartFrame;
  D.AnimLoop = kFalse32;
  D.TackleAttemptLungeFrame = kMissedLungeFrame;
  D.TackleAttemptTimer = ToF32(RandomRange(400, 1001) / 1000.0);
}

void EndMissedDives(TWorld& W, int Carrier) {
  const int n = PlayerCount(W);
  const TPlayer* C = Carrier >= 1 && Carrier <= n ? &W.Teams[1].Players[Carrier] : nullptr;
  for (int p = 1; p <= n; ++p) {
    const TPlayer& D = W.Teams[2].Players[p];
    if (D.governedby != 0 || !(D.TackleAttemptTimer > 0) || MissedOrFended(D.TackleAttemptKind)) continue;
    if (!(D.currentAnim == "divetacklefallforward") || !(AnimationShare(D) > 0.5)) continue;
    if (C != nullptr && C->GettingTackledTimer <= 0 && D.target == Carrier) {
      PostMessage(W, W.Teams[2].teamid, D.id, msgMissedTackle, 0.0f);
      PostMessage(W, W.Teams[1].teamid, C->id, msgDefenderBeaten, 0.0f);
    }
    MissDive(W, p);
  }
}

void HoldFallAndMissDives(TWorld& W, const THoldRules& Rules, int Carrier) {
  HoldOffBallTargets(W, Rules);
  FallHeldPlayers(W);
  EndMissedDives(W, Carrier);
}

void LetGoOfTackle(TWorld& W, int block, int i) {
  TPlayer& P = W.Teams[block].Players[i];
  P.GettingTackledTimer = 0;
  P.TackleAttemptTimer = 0;
  P.governedby = 0;
  P.numgoverning = 0;
  P.target = 0;
  P.numtargetting = 0;
  if (block == 2) {
    W.Teams[2].PressureTimerA = 0;
    W.Teams[2].PressureTimerB = 0;
  }
}

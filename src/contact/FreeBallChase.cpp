#include "contact/FreeBallChase.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/Geometry.h"
#include "core/Kinematics.h"
#include "core/Lines.h"

namespace {

constexpr f32 kLatestStart = 0.7f;       // s, a ball farther away starts nobody
constexpr double kKeyPointReach = 0.1;   // m short of the key (jump) point
constexpr double kPointReach = 0.45;     // m short of any other point
constexpr double kHighBall = 0.55;       // of his height, at the point
constexpr f32 kStanding = 1.0f;          // m/s, at most
constexpr f32 kActionTime = 10.0f;       // s, freeballcatchtimer at the start
constexpr double kBallClear = 0.25;      // m, a dive or kick needs the ball this far
constexpr double kKickTurn = 15.0;       // degrees, the kicker faces this left of his run

// FreeBallCatchKind codes.
constexpr int kRunningLow = 1, kStandingLow = 2, kRunningChest = 3, kStandingHigh = 4, kJumpCatch = 5,
              kDive = 7, kKickOn = 8;

struct TCatchAction {
  f32 Lead;      // s before the ball's arrival that the action starts
  f32 Recover;   // FreeBallCatchRecoverFraction
  f32 MaxTurn;   // degrees from his facing
};

// Indexed by kind; kind 6 (the tip-on) never starts here.
constexpr TCatchAction kActions[9] = {
    {0, 0, 0},
    {0.21875f, 0.4f, 120.0f},  // 1 running low catch
    {0.175f, 0.4f, 180.0f},    // 2 standing low catch
    {0.21875f, 0.4f, 120.0f},  // 3 running chest catch
    {0.37625f, 0.5f, 180.0f},  // 4 standing high catch
    {0.51625f, 0.7f, 25.0f},   // 5 jump catch
    {0, 0, 0},                 // 6
    {0.30625f, 0.4f, 25.0f},   // 7 loose-ball dive
    {0.36875f, 0.7f, 0.0f},    // 8 kick of the loose ball (faces his run less 15 degrees)
};

// The ball's height s seconds on, falling freely from BallPos at PassVel.y.
double BallHeightAfter(const TWorld& W, double s) {
  return W.BallPos.y + s * W.PassVel.y - 0.5 * W.Gravity * s * s;
}

// The point Distance metres from (X, Z) along heading H (degrees).
TVector2 PointAlong(f32 X, f32 Z, f32 H, double Distance) {
  const double a = H * std::numbers::pi / 180.0;
  return {static_cast<f32>(X - Distance * std::cos(a)), static_cast<f32>(Z + Distance * std::sin(a))};
}

// The free player of B with the least straight-line time to (X, Z) at top
// speed, 0 when none; players without speed never get there.
int FastestTo(const TWorld& W, const TTeamBlock& B, f32 X, f32 Z, f32& Time) {
  int best = 0;
  Time = 10000.0f;
  for (int j = 1; j <= PlayerCount(W); ++j) {
    const TPlayer& O = B.Players[j];
    if (!IsClearOfTackles(O) || !(O.maxspeed > 0)) continue;
    const f32 t = static_cast<f32>(Distance2D(O.Pos.x, O.Pos.z, X, Z) / static_cast<double>(O.maxspeed));
    if (t < Time) {
      Time = t;
      best = j;
    }
  }
  return best;
}

// Whether block 1's chaser P, at catch point Point with the ball there in T
// seconds, kicks the loose ball on instead of catching it with kind Kind.
bool KicksOn(const TWorld& W, const TPlayer& P, TVector2 Point, f32 T, int Kind) {
  const TTeamBlock& opp = W.Teams[2];
  const double height = P.Height;
  if (!(W.TimeSinceSetPiece > 4.0f) || T < 0.225f) return false;
  if (!(Distance2D(P.Pos.x, P.Pos.z, W.BallPos.x, W.BallPos.z) > kBallClear)) return false;
  if (!(P.Pos.z < 0.5 * W.PitchLength - 3.75)) return false;
  if (!(BallHeightAfter(W, 0.35) < 0.2 * height) || !(BallHeightAfter(W, T) < 0.25 * height)) return false;
  const f32 h = HeadingToPoint(P.Pos.x, P.Pos.z, Point.x, Point.z, 90.0f);
  if (!(h > 45.0f && h < 135.0f)) return false;
  const TVector2 on = PointAlong(Point.x, Point.z, h, 7.0);
  if (!(std::fabs(on.x) < 0.5 * W.PitchWidth) || !(on.z < 0.5 * W.PitchLength + W.InGoalDepth)) return false;
  for (int j = 1; j <= PlayerCount(W); ++j) {
    const TVector3& o = opp.Players[j].Pos;
    if (std::fabs(static_cast<double>(o.x) - on.x) < 1.75 && std::fabs(static_cast<double>(o.z) - on.z) < 1.75) {
      return false;
    }
    if (o.z > Point.z && o.z < Point.z + 2.0 && std::fabs(static_cast<double>(o.x) - Point.x) < 1.25) return false;
  }
  f32 unused;
  const int nearest = FastestTo(W, opp, Point.x, Point.z, unused);
  if (nearest == 0) return false;
  const TPlayer& O = opp.Players[nearest];
  const f32 arrival = TimeToCoverAccelerating(O.speed, O.Acceleration, O.maxspeed,
                                              Distance2D(O.Pos.x, O.Pos.z, Point.x, Point.z));
  const double lead = kActions[Kind].Lead;
  if (!(arrival > lead - 0.15 && arrival < lead + 0.4)) return false;
  // The race to the ball 10 m on: opponents running another way lose 0.3 s.
  const TVector2 target = PointAlong(Point.x, Point.z, h, 10.0);
  double oppTime = 10000.0, ownTime = 10000.0;
  for (int j = 1; j <= PlayerCount(W); ++j) {
    const TPlayer& O2 = opp.Players[j];
    if (!IsClearOfTackles(O2) || !(O2.maxspeed > 0)) continue;
    double t = Distance2D(O2.Pos.x, O2.Pos.z, target.x, target.z) / static_cast<double>(O2.maxspeed);
    const f32 running = HeadingToPoint(O2.OldPos.x, O2.OldPos.z, O2.Pos.x, O2.Pos.z, 270.0f);
    if (HeadingDifference(running, h) > 30.0f) t += 0.3;
    oppTime = std::min(oppTime, t);
  }
  for (int j = 1; j <= PlayerCount(W); ++j) {
    const TPlayer& M = W.Teams[1].Players[j];
    if (!IsClearOfTackles(M) || !(M.maxspeed > 0) || !(M.Pos.z < target.z + 0.5)) continue;
    ownTime = std::min(ownTime, Distance2D(M.Pos.x, M.Pos.z, target.x, target.z) / static_cast<double>(M.maxspeed));
  }
  return ownTime - 0.2 < oppTime;
}

void StartChaser(TWorld& W, int Block, TPlayer& P) {
  if (P.freeballcatchtimer > 0 || P.standuptimer > 0) return;
  // A jumper or lifter still in his lineout action starts no take until it
  // has ended: both actions would restart their animations in turn every
  // frame, neither would end, and he would stay busy for the rest of the
  // match.
  if (P.LineOutTimer > 0) return;
  const bool keyPoint = W.FreeBallContested != 0 && P.CanReachKeyPoint != 0;
  const i32 c = keyPoint ? W.FreeBallKeyPoint : P.FreeBallPointIndex;
  if (c < 1 || c > 8) return;  // not a point of the flight
  const TVector2 point = W.FreeBallPoints[c];
  const f32 t = W.FreeBallTimeLeft[c];
  const f32 r = static_cast<f32>(Distance2D(P.Pos.x, P.Pos.z, point.x, point.z) -
                                 (keyPoint ? kKeyPointReach : kPointReach));
  const double frameHalf = 0.5 * W.TimeStep;
  if (TimeToCoverAccelerating(P.speed, P.Acceleration, P.maxspeed, r) > t + frameHalf || t > kLatestStart) return;
  const bool standing = P.speed <= kStanding;
  int kind;
  if (keyPoint) {
    kind = kJumpCatch;
  } else {
    const bool high = W.BallPos.y + (t + 0.01) * W.PassVel.y >= kHighBall * P.Height;
    kind = standing ? (high ? kStandingHigh : kStandingLow) : (high ? kRunningChest : kRunningLow);
  }
  if (Block == 1) {
    const double height = P.Height;
    const bool clear = Distance2D(P.Pos.x, P.Pos.z, W.BallPos.x, W.BallPos.z) > kBallClear;
    if (BallHeightAfter(W, 0.28) < 0.4 * height && BallHeightAfter(W, t) < 0.45 * height &&
        W.BallPos.z + 0.28 * W.PassVel.z > 0.5 * W.PitchLength && clear) {
      kind = kDive;
    }
    if (W.LiveWorld != 0 && KicksOn(W, P, point, t, kind)) kind = kKickOn;
  }
  const TCatchAction& action = kActions[kind];
  P.FreeBallCatchKind = static_cast<f32>(kind);
  P.FreeBallCatchRecoverFraction = action.Recover;
  if (static_cast<double>(action.Lead) + frameHalf < t) return;  // not yet: again next frame
  P.freeballcatchtimer = kActionTime;
  P.KickTimer = 0.0f;
  P.FreeBallCatchAngle = HeadingToPoint(P.Pos.x, P.Pos.z, point.x, point.z, 90.0f);
  if (kind == kKickOn) {
    P.FreeBallCatchFacing = NormaliseHeading(static_cast<f32>(P.FreeBallCatchAngle - kKickTurn));
  } else {
    const f32 facing = static_cast<f32>(P.FacingAngle * 180.0 / std::numbers::pi - 90.0);
    P.FreeBallCatchFacing = TurnTowardsPoint(P.Pos.x, P.Pos.z, facing, W.BallPos.x, W.BallPos.z, action.MaxTurn);
  }
  P.FreeBallCatchSpeed = SpeedToCoverInTime(P.speed, P.Acceleration, P.maxspeed, r, action.Lead, kTrue32);
}

}  // namespace

void StartCatchAttempts(TWorld& W) {
  if (!(W.FreeBallPointsTimer > 0)) return;
  for (int b = 1; b <= 2; ++b) {
    TTeamBlock& B = W.Teams[b];
    const int n = std::min<i32>(B.ChaserCount, 5);
    for (int k = 1; k <= n; ++k) {
      if (TPlayer* P = PlayerAt(B, B.ChaserSlots[k])) StartChaser(W, b, *P);
    }
  }
}

#include "core/KickSolving.h"

#include <algorithm>
#include <cmath>

#include "core/BallFlight.h"
#include "core/Geometry.h"
#include "core/NumberFormat.h"
#include "core/Random.h"
#include "core/RunLog.h"

namespace {

// Length of a velocity, or 0 when it has none or is not a number.
double UsableLength(f32 Vx, f32 Vy, f32 Vz) {
  const double l = std::sqrt(double(Vx) * Vx + double(Vy) * Vy + double(Vz) * Vz);
  return std::isfinite(l) ? l : 0.0;
}

inline double ArcSinDeg(double v) { return std::asin(std::clamp(v, -1.0, 1.0)) * kRadToDeg; }

f32 Draw(TDistribution& D) {
  D.value = DrawDistribution(D);
  return D.value;
}

// ------------------------------------------------------------ kick search

constexpr f32 kNoScore = 100000.0f;
constexpr f32 kKickTimeStep = 0.015f;
constexpr double kGoalMargin = 1.0;
constexpr double kNearMargin = 0.2;
constexpr double kNearEnough = 2.0;  // mode 4 stops below this distance
constexpr double kHighElevation = 47.0;

struct TKickRange {
  f32 Low, High;
  f32 Middle() const { return ToF32((double(Low) + High) / 2.0); }
  // r in 1..100 picks a point within the range.
  f32 At(i32 r) const { return ToF32(Low + r / 100.0 * (double(High) - Low)); }
};

// Above 47 degrees a kicker cannot reach full speed: 2.5 % less per degree,
// down to 75 %.
f32 CappedKickSpeed(f32 speed, f32 elevation, f32 maxSpeed) {
  if (speed > maxSpeed) speed = maxSpeed;
  if (elevation > kHighElevation) {
    const double f = std::max(0.75, 1.0 - (elevation - kHighElevation) * 0.025);
    if (speed > f * maxSpeed) speed = ToF32(f * maxSpeed);
  }
  return speed;
}

bool InField(const TVector3& land, double pitchWidth, double pitchLength) {
  const double halfW = pitchWidth / 2.0, endZ = pitchLength / 2.0 + World.InGoalDepth;
  return land.x > -halfW && land.x < halfW && land.z > -endZ && land.z < endZ;
}

bool BetweenPostsAbove(const TVector3& p, double margin) {
  const double halfGap = World.GoalPostGap / 2.0;
  return p.x > -halfGap + margin && p.x < halfGap - margin && p.y > World.CrossbarHeight + margin;
}

// How a kick at goal crosses the plane just behind the try line: 0 not
// between the posts, 1 over by the near margin, 2 over by the full margin.
int GoalClearance(const TBallFlight& F) {
  const double plane = World.TryLineZ + 0.1;
  int clearance = 0;
  // A flight that never lands has LandingStep 0 and no steps to test.
  for (int k = 2; k <= F.LandingStep - 1; ++k) {
    const TVector3& a = F.Pos[k - 1];
    const TVector3& b = F.Pos[k];
    if (!(a.z <= plane && plane <= b.z && b.z > a.z)) continue;
    if (BetweenPostsAbove(b, kGoalMargin)) return 2;
    if (BetweenPostsAbove(b, kNearMargin)) clearance = 1;
  }
  return clearance;
}

// Mode 5: the ball went into touch before the opponents' try line, or
// landed short of it without going into touch.
bool FindsTouch(const TBallFlight& F, double pitchLength) {
  const double half = pitchLength / 2.0;
  if (F.WideStep != 0) return F.Pos[F.WideStep].z <= half;
  return F.Pos[F.LandingStep].z < half;
}

}  // namespace

TLaunchParams VelocityToLaunchAngles(bool Scale, f32 Vx, f32 Vy, f32 Vz, f32 Factor) {
  const double l = UsableLength(Vx, Vy, Vz);
  if (l == 0.0) return {0.0f, 0.0f, 0.0f};
  const double flat = std::sqrt(double(Vx) * Vx + double(Vz) * Vz);
  double e = std::atan2(std::fabs(double(Vy)), flat) * kRadToDeg;
  if (Vy < 0) e = -e;
  return {ToF32(Scale ? l * Factor : l), ToF32(e), HeadingToPoint(0.0f, 0.0f, Vx, Vz, 90.0f)};
}

TLaunchParams LaunchAnglesWithMotion(bool Moving, f32 Vx, f32 Vy, f32 Vz, f32 Factor,
                                     f32 PlayerSpeed, f32 PlayerFactor, f32 PlayerHeading,
                                     f32 BallMass) {
  const double l = UsableLength(Vx, Vy, Vz);
  if (l == 0.0) return {0.0f, 0.0f, 0.0f};
  double e = ArcSinDeg(Vy / l);
  double s = l * Factor;
  // The ball goes back the way it came.
  f32 h = NormaliseHeading(HeadingToPoint(0.0f, 0.0f, Vx, Vz, 90.0f) + 180.0f);
  if (Moving && PlayerSpeed > 0) {
    const double u = std::sin(e * kDegToRad) * s;
    const double q = std::sqrt(std::max(0.0, s * s - u * u));
    const TDirection ball = HeadingDirection(h), player = HeadingDirection(PlayerHeading);
    const double hx = (ball.x * BallMass * q + player.x * PlayerSpeed * PlayerFactor) / BallMass;
    const double hz = (ball.z * BallMass * q + player.z * PlayerSpeed * PlayerFactor) / BallMass;
    h = HeadingToPoint(0.0f, 0.0f, ToF32(hx), ToF32(hz), 90.0f);
    s = std::sqrt(u * u + hx * hx + hz * hz);
    // A ball brought to rest has no direction to rise in.
    e = s > 0.0 ? ArcSinDeg(u / s) : 0.0;
  }
  return {ToF32(s), ToF32(e), h};
}

TLaunchParams VelocityToLaunchWithError(TDistribution& SpeedFactor, TDistribution& ElevationError,
                                        TDistribution& HeadingError, f32 Vx, f32 Vy, f32 Vz) {
  const double l = UsableLength(Vx, Vy, Vz);
  if (l == 0.0) return {0.0f, 0.0f, 0.0f};
  double e = ArcSinDeg(std::fabs(double(Vy)) / l) + Draw(ElevationError);
  if (RandomRange(1, 1001) < 500) e = e <= 30.0 ? e + 15.0 : e - 15.0;
  if (e > 90.0) e = 90.0;
  if (e < 2.0) e = 2.0;
  const double speed = l * Draw(SpeedFactor);
  const double heading = HeadingToPoint(0.0f, 0.0f, Vx, Vz, 90.0f) + double(Draw(HeadingError));
  return {ToF32(speed), ToF32(e), ToF32(heading)};
}

TLaunchParams VelocityToLaunchWithError(Arr1<TDistribution, 3>& Errors, f32 Vx, f32 Vy, f32 Vz) {
  return VelocityToLaunchWithError(Errors[1], Errors[2], Errors[3], Vx, Vy, Vz);
}

TLaunchParams FindKick(i32 Tries, bool HeadingGrid, bool CapSpeed, f32 X, f32 Y, f32 Z,
                       f32 SpeedLow, f32 SpeedHigh, f32 ElevationLow, f32 ElevationHigh,
                       f32 HeadingLow, f32 HeadingHigh, f32 Mode, f32 TargetX, f32 TargetZ,
                       f32 /*Unused*/, f32 PitchWidth, f32 PitchLength, f32 MaxSpeed) {
  const TKickRange speeds{SpeedLow, SpeedHigh}, elevations{ElevationLow, ElevationHigh},
      headings{HeadingLow, HeadingHigh};
  const TLaunchParams middle{speeds.Middle(), elevations.Middle(), headings.Middle()};
  TLaunchParams best = middle;
  // One try has no spacing to divide: it takes the low heading.
  const double gridStep = Tries > 1 ? std::fabs(double(HeadingHigh) - HeadingLow) / (Tries - 1) : 0.0;
  f32 bestScore = kNoScore;
  bool success = false;
  TBallFlight flight;

  for (i32 t = 1; t <= Tries && !success; ++t) {
    TLaunchParams c;
    c.Speed = speeds.At(RandomRange(1, 101));
    c.Heading = headings.At(RandomRange(1, 101));
    c.Elevation = elevations.At(RandomRange(1, 101));
    if (HeadingGrid) c.Heading = ToF32(HeadingLow + (t - 1) * gridStep);
    if (CapSpeed) c.Speed = CappedKickSpeed(c.Speed, c.Elevation, MaxSpeed);
    if (t == 1) best = c;

    if (Mode == kKickModeFirst) break;
    const bool judged = Mode == kKickModeInField || Mode == kKickModeBeyond10 ||
                        Mode == kKickModeAtGoal || Mode == kKickModeNearPoint ||
                        Mode == kKickModeFindTouch;
    if (!judged) continue;  // any other goal keeps the first candidate

    SimulateKickFlightToLanding(flight, c.Speed, c.Elevation, c.Heading, X, Y, Z, PitchWidth);
    const bool landed = flight.LandingStep != 0;
    const TVector3 land = landed ? flight.Pos[flight.LandingStep] : TVector3{};

    if (Mode == kKickModeInField || Mode == kKickModeBeyond10) {
      success = landed && InField(land, PitchWidth, PitchLength) &&
                (Mode == kKickModeInField || land.z > 10.0);
      if (success) best = c;
      else if (t == Tries) best = middle;
    } else if (Mode == kKickModeAtGoal) {
      const int clearance = GoalClearance(flight);
      if (clearance > 0) best = c;
      success = clearance == 2;
      if (!success && t == Tries) {
        WriteRunLog("NO SUITABLE KICK FOUND AT " + FormatGeneral(World.clock));
        WriteRunLog("MAX LAUNCH SPEED " + FormatGeneral(SpeedHigh));
      }
    } else if (Mode == kKickModeNearPoint) {
      if (!landed) continue;
      const f32 d = Distance2D(land.x, land.z, TargetX, TargetZ);
      if (d < bestScore) {
        best = c;
        bestScore = d;
        success = bestScore < kNearEnough;
      }
    } else {  // find touch
      if (!landed || !FindsTouch(flight, PitchLength)) continue;
      const f32 d = ToF32(std::fabs(double(TargetX) - land.x));
      if (d < bestScore) {
        best = c;
        bestScore = d;
      }
    }
  }
  best.Heading = NormaliseHeading(best.Heading);
  return best;
}

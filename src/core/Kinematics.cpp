#include "core/Kinematics.h"

#include <algorithm>
#include <cmath>

#include "core/Geometry.h"

f32 TimeToCoverAccelerating(f32 Speed, f32 Accel, f32 MaxSpeed, f32 Distance) {
  if (!std::isgreater(Distance, 0.0f)) return 0.0f;
  const double v = Speed, a = Accel, d = Distance;
  f32 t1 = static_cast<f32>((static_cast<double>(MaxSpeed) - v) / a);
  if (t1 < 0) t1 = 0.0f;
  const f32 s1 = static_cast<f32>(a / 2.0 * t1 * t1 + v * t1);
  if (s1 <= Distance) {
    // A runner held to a top speed of 0 never gets there (rather than a
    // division by zero that would end the match).
    if (!(MaxSpeed > 0)) return kNeverTime;
    return static_cast<f32>(t1 + (d - s1) / MaxSpeed);
  }
  return static_cast<f32>((std::sqrt(v * v + 2.0 * a * d) - v) / a);
}

f32 SpeedToCoverInTime(f32 Speed, f32 Accel, f32 MaxSpeed, f32 Distance, f32 Time, bool32 CapAtMax) {
  const double s = Speed, a = Accel, d = Distance, t = Time;
  double v;
  if (s * t >= d) {
    // With no time left the distance is already covered: no speed is needed
    // (rather than 0 / 0 when a time left has run down to 0).
    v = t == 0 ? 0.0 : d / t;
  } else if (static_cast<f32>(s * t + a / 2.0 * t * t) >= Distance) {
    // The reach test is made on the rounded value, so at the border the root's
    // argument may fall a rounding below 0: it is 0 there.
    const double disc = std::max(0.0, t * t + 2.0 * (s * t - d) / a);
    const double tau = t - std::sqrt(disc);
    v = s + a * tau;
  } else {
    v = MaxSpeed;
  }
  if (CapAtMax != 0 && v > MaxSpeed) v = MaxSpeed;
  if (v < 0) v = 0;
  return static_cast<f32>(v);
}

namespace {

// Time until one axis' gap is within Reach.
f32 AxisClosingTime(f32 A0, f32 A1, f32 B0, f32 B1, f32 DeltaT, f32 Reach) {
  const f32 gap0 = static_cast<f32>(std::fabs(static_cast<double>(A0) - B0));
  const f32 gap1 = static_cast<f32>(std::fabs(static_cast<double>(A1) - B1));
  f32 rate = static_cast<f32>((static_cast<double>(gap0) - gap1) / DeltaT);
  if (rate < 0.01f) rate = 0.01f;
  const f32 rem = static_cast<f32>(static_cast<double>(gap1) - Reach);
  if (rem < Reach) return 0.01f;
  return static_cast<f32>(static_cast<double>(rem) / rate);
}

}  // namespace

f32 ClosingTime(f32 AX0, f32 AZ0, f32 AX1, f32 AZ1, f32 BX0, f32 BZ0, f32 BX1, f32 BZ1, f32 DeltaT,
                f32 Reach) {
  const f32 tx = AxisClosingTime(AX0, AX1, BX0, BX1, DeltaT, Reach);
  const f32 tz = AxisClosingTime(AZ0, AZ1, BZ0, BZ1, DeltaT, Reach);
  return tx > tz ? tx : tz;
}

TRunPrediction PredictRunPosition(f32 Speed, f32 Accel, f32 TopSpeed, f32 Time, f32 StopHeading, f32 FromX,
                                  f32 FromZ, f32 ToX, f32 ToZ, bool32 StopAtTarget) {
  f32 v = Speed;
  if (v < 0) v = 0.0f;
  if (v > TopSpeed) v = TopSpeed;
  f32 tA = static_cast<f32>((static_cast<double>(TopSpeed) - v) / Accel);
  if (tA < 0) tA = 0.0f;
  const f32 h = HeadingToPoint(FromX, FromZ, ToX, ToZ, 0.0f);
  const TDirection u = HeadingDirection(h);

  // The point and the speed reached stay unrounded until they are returned.
  double x = FromX + u.x * v * tA;
  double z = FromZ + u.z * v * tA;
  const double speed = static_cast<double>(Accel) * tA + v;
  if (tA < Time) {
    const double run = speed * (static_cast<double>(Time) - tA);
    x += u.x * run;
    z += u.z * run;
  }
  TRunPrediction r{static_cast<f32>(x), static_cast<f32>(z), static_cast<f32>(speed), h};
  if (StopAtTarget != 0 && Distance2D(FromX, FromZ, ToX, ToZ) < Distance2D(FromX, FromZ, r.x, r.z)) {
    r = {ToX, ToZ, 0.0f, StopHeading};
  }
  return r;
}

TVector3 LaunchVelocity(f32 X1, f32 Y1, f32 Z1, f32 X2, f32 Y2, f32 Z2, f32 Time) {
  const double t = Time;
  const f32 hs = static_cast<f32>(Distance2D(X1, Z1, X2, Z2) / t);
  const TDirection u = HeadingDirection(HeadingToPoint(X1, Z1, X2, Z2, 0.0f));
  return {static_cast<f32>(u.x * hs), static_cast<f32>((4.905 * t * t + Y2 - Y1) / t), static_cast<f32>(u.z * hs)};
}

f32 DepleteByRate(f32 Value, f32 Factor, f32 DeltaT, f32 Rate) {
  const double v = static_cast<double>(Value) - static_cast<double>(Factor) * Rate * DeltaT;
  return v > 0 ? static_cast<f32>(v) : 0.0f;
}

f32 ClampedLinear(f32 A, f32 B, f32 C, f32 Min, f32 Max, bool32 UseMin, bool32 UseMax) {
  f32 v = static_cast<f32>(static_cast<double>(A) * B + C);
  if (UseMin != 0 && v < Min) v = Min;
  if (UseMax != 0 && v > Max) v = Max;
  return v;
}

f32 DistanceFalloff(f32 Amount, f32 Rate, f32 Value) {
  if (!std::isgreater(Amount, kFalloffFreeAmount)) return Value;
  const f32 percent = ClampedLinear(Amount, Rate, 100.0f, 0.0f, 100.0f, kTrue32, kTrue32);
  return static_cast<f32>(static_cast<double>(Value) * percent / 100.0);
}

f32 SpeedAfterTurn(f32 Speed, f32 H1, f32 H2, f32 Rate, f32 MaxSpeed) {
  double a = 0.0;
  bool up = false;
  if (HeadingGap(H1, H2, a, up) && a <= kHeadingGapBoundUpTo) {
    // A turn surely within the free amount holds nothing below top speed,
    // whatever its exact size.
    if (a < kFalloffFreeAmount - kHeadingGapMargin) return std::min(Speed, DistanceFalloff(0.0f, Rate, MaxSpeed));
    // Beyond it the falloff is monotone in the turn, so it lies between its
    // values at the ends of the gap's margin: at or below both, the speed
    // stands whatever the exact turn.
    const f32 lo = static_cast<f32>(a - kHeadingGapMargin);
    const f32 hi = static_cast<f32>(a + kHeadingGapMargin);
    if (lo > kFalloffFreeAmount &&
        Speed <= std::min(DistanceFalloff(lo, Rate, MaxSpeed), DistanceFalloff(hi, Rate, MaxSpeed)))
      return Speed;
  }
  return std::min(Speed, DistanceFalloff(HeadingDifference(H1, H2), Rate, MaxSpeed));
}

namespace {

constexpr int kProfileCapacity = Arr1<f32, 20>::kSize;

// The profile at tau seconds from its own start, flat before and after.
double ProfileAt(const TStrategyShape& P, double tau) {
  const int n = std::min(P.SegmentCount, kProfileCapacity);
  // An empty profile holds its start value rather than reading before the table.
  if (n < 1) return P.StartValues[1];
  double s = 0;
  for (int k = 1; k <= n; ++k) {
    const double len = P.Durations[k];
    if (s <= tau && tau < s + len) {
      return P.StartValues[k] + (static_cast<double>(P.EndValues[k]) - P.StartValues[k]) / len * (tau - s);
    }
    s += len;
  }
  return tau < 0 ? P.StartValues[1] : P.EndValues[n];
}

}  // namespace

f32 ProfileValueAt(const TStrategyShape& Profile, f32 Now, f32 SegmentStart, f32 Current) {
  // The current segment may be 0 (a profile that is only read by key): then
  // nothing comes before it and it contributes no start value of its own.
  const int c = Profile.CurrentSegment;
  const bool inTable = c >= 1 && c <= kProfileCapacity;
  double before = 0;
  for (int k = 1; k < std::min(c, kProfileCapacity + 1); ++k) before += Profile.Durations[k];
  const double startC = inTable ? Profile.StartValues[c] : 0.0;
  const f32 tau = static_cast<f32>(static_cast<double>(Now) - (static_cast<double>(SegmentStart) - before));
  return static_cast<f32>(ProfileAt(Profile, tau) + (static_cast<double>(Current) - startC));
}


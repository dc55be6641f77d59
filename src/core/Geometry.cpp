#include "core/Geometry.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cmath>

#include "core/Caches.h"

namespace {

// The circle's cosines and sines, so that a footprint costs no trigonometry
// (a constant table; see core/Caches.h).
struct TCircleTrig {
  double c[8], s[8];
};
const TCircleTrig& CircleTrig() {
  static const TCircleTrig t = [] {
    TCircleTrig r{};
    for (int k = 0; k < 8; ++k) {
      r.c[k] = std::cos(k * 45.0 * kDegToRad);
      r.s[k] = std::sin(k * 45.0 * kDegToRad);
    }
    return r;
  }();
  return t;
}

}  // namespace

f32 HeadingToPoint(f32 X1, f32 Z1, f32 X2, f32 Z2, f32 Default) {
  const f32 dx = static_cast<f32>(static_cast<double>(X2) - X1);
  const f32 dz = static_cast<f32>(static_cast<double>(Z2) - Z1);
  if (dx == 0 && dz == 0) return Default;
  const double a = std::atan2(static_cast<double>(dz), dx);
  const f32 h = static_cast<f32>(180.0 - a * kRadToDeg);
  if (std::isnan(h)) return Default;
  return h;
}

TVector2 HeadingVector(f32 H) {
  const double r = H * kDegToRad;
  return {static_cast<f32>(-std::cos(r)), static_cast<f32>(std::sin(r))};
}

TDirection HeadingDirection(double H) {
  const double r = H * kDegToRad;
  return {-std::cos(r), std::sin(r)};
}

void SetDesiredPosAlongHeading(TPlayer& P, f32 H, double Distance) {
  const TDirection u = HeadingDirection(H);
  P.DesiredPos.x = static_cast<f32>(P.Pos.x + u.x * Distance);
  P.DesiredPos.z = static_cast<f32>(P.Pos.z + u.z * Distance);
}

f32 NormaliseHeading(f32 H) {
  const TVector2 u = HeadingVector(H);
  return HeadingToPoint(0.0f, 0.0f, u.x, u.z, 90.0f);
}

namespace {

f32 AngleBetweenHeadings(f32 H1, f32 H2) {
  const TVector2 u1 = HeadingVector(H1);
  const TVector2 u2 = HeadingVector(H2);
  const double d = Distance2D(u1.x, u1.z, u2.x, u2.z);
  const double c = std::clamp((2.0 - d * d) / 2.0, -1.0, 1.0);
  return static_cast<f32>(std::acos(c) * kRadToDeg);
}

}  // namespace

f32 HeadingDifference(f32 H1, f32 H2) {
  // Not a number or infinite: computed, so that its float errors are raised.
  if (!std::isfinite(H1) || !std::isfinite(H2)) return AngleBetweenHeadings(H1, H2);
  const uint64_t key = (static_cast<uint64_t>(std::bit_cast<uint32_t>(H1)) << 32) | std::bit_cast<uint32_t>(H2);
  TTurnMemoEntry& m = TurnMemo[(key * 0x9E3779B97F4A7C15ull) >> (64 - kTurnMemoBits)];
  if (m.Key == key) return m.Angle;
  m.Key = key;
  m.Angle = AngleBetweenHeadings(H1, H2);
  return m.Angle;
}

f32 TurnTowardsPoint(f32 X1, f32 Z1, f32 Heading, f32 X2, f32 Z2, f32 MaxTurn) {
  const f32 target = HeadingToPoint(X1, Z1, X2, Z2, Heading);
  if (HeadingDifference(target, Heading) <= MaxTurn) return target;
  const f32 a = static_cast<f32>(static_cast<double>(Heading) + MaxTurn);
  const f32 b = static_cast<f32>(static_cast<double>(Heading) - MaxTurn);
  const TVector2 ut = HeadingVector(target);
  const TVector2 ua = HeadingVector(a);
  const TVector2 ub = HeadingVector(b);
  const f32 dA = Distance2D(ut.x, ut.z, ua.x, ua.z);
  const f32 dB = Distance2D(ut.x, ut.z, ub.x, ub.z);
  if (dB < dA) return NormaliseHeading(b);
  return HeadingToPoint(0.0f, 0.0f, ua.x, ua.z, Heading);
}

f32 RelativeHeadingToPoint(f32 X1, f32 Z1, f32 X2, f32 Z2, f32 Facing) {
  const double toPoint = HeadingToPoint(X1, Z1, X2, Z2, 90.0f);
  return NormaliseHeading(static_cast<f32>(toPoint - (static_cast<double>(Facing) - 90.0)));
}

void Interpolate3D(const TVector3& A, const TVector3& B, f32 Fraction, TVector3& R) {
  TVector3 d;
  Subtract3D(B, A, d);
  const double len = Length3D(d);
  if (len == 0) {
    R = A;
    return;
  }
  TVector3 n;
  Normalise3D(d, n);
  const double s = len * Fraction;
  R = {static_cast<f32>(A.x + n.x * s), static_cast<f32>(A.y + n.y * s), static_cast<f32>(A.z + n.z * s)};
}

TCirclePoints PointsOnCircle(f32 CX, f32 CZ, f32 Radius) {
  const TCircleTrig& t = CircleTrig();
  TCirclePoints p;
  for (int k = 1; k <= 8; ++k) {
    p[k] = {static_cast<f32>(CX - t.c[k - 1] * Radius), static_cast<f32>(CZ + t.s[k - 1] * Radius)};
  }
  return p;
}

i32 NearestFreeCirclePoint(const TCirclePoints& Points, const Arr1<i32, 8>& Taken, f32 X, f32 Z) {
  f32 best = 100000.0f;
  i32 result = 0;
  for (int k = 1; k <= 8; ++k) {
    if (Taken[k] != 0) continue;
    const f32 d = Distance2D(Points[k].x, Points[k].z, X, Z);
    if (d < best) {
      best = d;
      result = k;
    }
  }
  return result;
}

bool32 CrossesBetweenPosts(f32 X0, f32 Y0, f32 Z0, f32 X1, f32 Y1, f32 Z1, f32 GoalZ) {
  if (!(Z1 > GoalZ && Z1 > Z0)) return kFalse32;
  const f32 f = static_cast<f32>((static_cast<double>(GoalZ) - Z0) / (static_cast<double>(Z1) - Z0));
  const f32 x = static_cast<f32>((static_cast<double>(X1) - X0) * f + X0);
  const f32 y = static_cast<f32>((static_cast<double>(Y1) - Y0) * f + Y0);
  const double halfGap = World.GoalPostGap / 2.0;
  return Flag(-halfGap < x && x < halfGap && y > World.CrossbarHeight);
}

f32 YardsToMetres(f32 Yards) { return static_cast<f32>(Yards * 0.9144); }

i16 FindFieldZone(const TFieldStrategyHalf& Zones, bool32 Mirror, f32 X, f32 Z) {
  if (Mirror != 0) {
    X = -X;
    Z = -Z;
  }
  // The record holds 30 zones; a larger count never reads past them.
  const int count = std::min<int>(Zones.ZoneCount, Arr1<TZoneRect, 30>::kSize);
  for (int k = 1; k <= count; ++k) {
    const TZoneRect& r = Zones.Zones[k];
    if (r.x1 < X && X < r.x2 && r.z1 < Z && Z < r.z2) return static_cast<i16>(k);
  }
  f32 best = 100000.0f;
  i16 result = 1;
  for (int k = 1; k <= count; ++k) {
    const TZoneRect& r = Zones.Zones[k];
    const f32 cx = static_cast<f32>((static_cast<double>(r.x1) + r.x2) / 2.0);
    const f32 cz = static_cast<f32>((static_cast<double>(r.z1) + r.z2) / 2.0);
    const f32 d = Distance2D(cx, cz, X, Z);
    if (d < best) {
      best = d;
      result = static_cast<i16>(k);
    }
  }
  return result;
}

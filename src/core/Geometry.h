// The planar geometry every subsystem measures the pitch with. Axes: x across
// the pitch, z along it, y up. A heading h in degrees points along
// (-cos h, sin h): 0 to -x, 90 to +z, 180 to +x, 270 to -z. Intermediates are
// carried in double and every result is rounded to f32; the results for
// coincident points are part of the contract.
#pragma once

#include <cmath>
#include <numbers>

#include "core/TypeDefs.h"

// Degrees to radians and back, for the trigonometry of headings.
inline constexpr double kDegToRad = std::numbers::pi / 180.0;
inline constexpr double kRadToDeg = 180.0 / std::numbers::pi;

// Planar distance, the larger difference factored out; exactly 0 for a point
// with itself. Inline: the frame steps call it more than any other helper.
inline f32 Distance2D(f32 X1, f32 Z1, f32 X2, f32 Z2) {
  const double a = std::fabs(static_cast<double>(X2) - X1);
  const double b = std::fabs(static_cast<double>(Z2) - Z1);
  if (a == 0 && b == 0) return 0.0f;
  if (b > a) {
    const double q = a / b;
    return static_cast<f32>(b * std::sqrt(1.0 + q * q));
  }
  const double q = b / a;
  return static_cast<f32>(a * std::sqrt(1.0 + q * q));
}

// Heading from (X1, Z1) to (X2, Z2) in 0..360 (360 only for a negative-zero
// dz); Default, unchanged, for coincident points or a not-a-number result.
f32 HeadingToPoint(f32 X1, f32 Z1, f32 X2, f32 Z2, f32 Default);

// The same direction as H in 0..360; a whole multiple of 360 gives 0 or 360
// as the sign of the rounded sine falls.
f32 NormaliseHeading(f32 H);

// Unsigned angle between two headings, 0..180. The frame steps ask it of
// every turning player, so the answers for finite headings are memoised
// (TurnMemo in core/Caches.h).
f32 HeadingDifference(f32 H1, f32 H2);

// The angle between two headings read from their own difference: A in
// 0..180 and whether H1 lies that way round from H2 towards higher headings
// (Up; false at exactly 180). Up to 170 degrees A is within
// kHeadingGapMargin of HeadingDifference(H1, H2), whose 32-bit unit vectors
// put it under 1e-3 degrees off the true angle; nearer 180 its acos is too
// steep for any such bound. For callers to whom only comparisons of the
// angle matter and who may then skip the trigonometry. False for headings
// that are not finite, so that their float errors still raise where
// HeadingDifference is called, and beyond a million degrees, where the
// radians of a heading lose their fraction.
inline constexpr double kHeadingGapMargin = 0.01;
inline constexpr double kHeadingGapBoundUpTo = 170.0;
inline bool HeadingGap(f32 H1, f32 H2, double& A, bool& Up) {
  if (!std::isfinite(H1) || !std::isfinite(H2) || std::fabs(H1) > 1e6f || std::fabs(H2) > 1e6f) return false;
  double d = static_cast<double>(H1) - static_cast<double>(H2);
  if (!(std::fabs(d) < 360.0)) d = std::fmod(d, 360.0);  // within one turn already for most pairs
  if (d < 0.0) d += 360.0;
  Up = d < 180.0;
  A = Up ? d : 360.0 - d;
  return true;
}

// The angle between the directions (AX, AZ) and (BX, BZ) against a limit,
// read from their dot product: 1 when its cosine is below CosBeyond, 0 when
// above CosWithin, -1 between the two or for a direction that is none or not
// finite. With the cosines of a limit plus and less a margin, a caller
// settles a comparison of the angle with the limit without arctangents.
inline int AngleAgainstLimit(double AX, double AZ, double BX, double BZ, double CosBeyond, double CosWithin) {
  const double nn = (AX * AX + AZ * AZ) * (BX * BX + BZ * BZ);
  if (!(std::isfinite(nn) && nn > 0.0)) return -1;
  const double c = (AX * BX + AZ * BZ) / std::sqrt(nn);
  if (c < CosBeyond) return 1;
  if (c > CosWithin) return 0;
  return -1;
}

// A heading from (X1, Z1) towards (X2, Z2), at most MaxTurn from Heading.
f32 TurnTowardsPoint(f32 X1, f32 Z1, f32 Heading, f32 X2, f32 Z2, f32 MaxTurn);

// Bearing of (X2, Z2) seen from (X1, Z1) facing Facing: 90 is straight ahead.
f32 RelativeHeadingToPoint(f32 X1, f32 Z1, f32 X2, f32 Z2, f32 Facing);

// The heading (degrees) a player faces, from his FacingAngle (radians).
inline f32 HeadingOfFacing(f32 FacingAngle) { return static_cast<f32>(FacingAngle * kRadToDeg - 90.0); }

// The unit vector (-cos H, sin H) of a heading: rounded to f32 components
// where a step compares directions, unrounded where it moves along one.
TVector2 HeadingVector(f32 H);
struct TDirection {
  double x, z;
};
TDirection HeadingDirection(double H);

// The forced-movement target of a player held on a scripted path: his
// DesiredPos x, z := the point Distance m from his Pos along heading H
// (degrees); DesiredPos.y stays.
void SetDesiredPosAlongHeading(TPlayer& P, f32 H, double Distance);

// Vector helpers; a zero vector normalises to itself. R may alias an input.
// Inline: every player moves by them every frame.
inline f32 Length2D(const TVector2& V) {
  const double xx = static_cast<double>(V.x) * V.x;
  const double zz = static_cast<double>(V.z) * V.z;
  if (xx == 0 && zz == 0) return 0.0f;
  return static_cast<f32>(std::sqrt(xx + zz));
}
inline void Normalise2D(const TVector2& V, TVector2& R) {
  const f32 len = Length2D(V);
  if (len == 0) {
    R = V;
    return;
  }
  R = {static_cast<f32>(static_cast<double>(V.x) / len), static_cast<f32>(static_cast<double>(V.z) / len)};
}
inline void Subtract2D(const TVector2& A, const TVector2& B, TVector2& R) {
  R = {static_cast<f32>(static_cast<double>(A.x) - B.x), static_cast<f32>(static_cast<double>(A.z) - B.z)};
}
inline f32 Length3D(const TVector3& V) {
  const double xx = static_cast<double>(V.x) * V.x;
  const double yy = static_cast<double>(V.y) * V.y;
  const double zz = static_cast<double>(V.z) * V.z;
  if (xx == 0 && yy == 0 && zz == 0) return 0.0f;
  return static_cast<f32>(std::sqrt(xx + yy + zz));
}
inline void Normalise3D(const TVector3& V, TVector3& R) {
  // Straight along z (a player standing still looks so): its length is |z|
  // exactly, so the quotients are known.
  if (V.x == 0 && V.y == 0 && V.z != 0 && std::isfinite(V.z)) {
    R = {V.x, V.y, V.z > 0 ? 1.0f : -1.0f};
    return;
  }
  const double len = Length3D(V);
  if (len == 0) {
    R = V;
    return;
  }
  R = {static_cast<f32>(V.x / len), static_cast<f32>(V.y / len), static_cast<f32>(V.z / len)};
}
inline void Subtract3D(const TVector3& A, const TVector3& B, TVector3& R) {
  R = {static_cast<f32>(static_cast<double>(A.x) - B.x), static_cast<f32>(static_cast<double>(A.y) - B.y),
       static_cast<f32>(static_cast<double>(A.z) - B.z)};
}
// The point at Fraction of the way from A to B (beyond B above 1); A when the
// two coincide.
void Interpolate3D(const TVector3& A, const TVector3& B, f32 Fraction, TVector3& R);

// Eight points round a circle, point k along heading (k - 1) x 45 from the
// centre: 1 at -x, 3 at +z, 5 at +x, 7 at -z.
using TCirclePoints = Arr1<TVector2, 8>;
TCirclePoints PointsOnCircle(f32 CX, f32 CZ, f32 Radius);

// Number 1..8 of the nearest point whose entry in Taken is 0 (the lowest of
// equally near ones), 0 when every point is taken. Taken may be flags or the
// holders of a footprint: any non-zero entry counts as taken.
i32 NearestFreeCirclePoint(const TCirclePoints& Points, const Arr1<i32, 8>& Taken, f32 X, f32 Z);

// True (-1) when a ball moving in one step from (X0, Y0, Z0) to (X1, Y1, Z1)
// passes beyond the goal plane z = GoalZ between the posts and over the bar of
// the match world `World`.
bool32 CrossesBetweenPosts(f32 X0, f32 Y0, f32 Z0, f32 X1, f32 Y1, f32 Z1, f32 GoalZ);

f32 YardsToMetres(f32 Yards);

// Number of the field zone that holds (X, Z) strictly inside; else the zone
// with the nearest centre; 1 when there is none. With Mirror the point is
// given in the other side's frame.
i16 FindFieldZone(const TFieldStrategyHalf& Zones, bool32 Mirror, f32 X, f32 Z);

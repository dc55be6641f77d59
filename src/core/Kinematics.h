// Run times, speeds, predicted positions and launch velocities, the scalar
// rates the frame steps apply to timers and speeds, strategy profiles over
// time and the advance of an animation's playing time. Pure functions; every
// result is rounded to f32. Callers keep speeds, accelerations, times,
// durations and lengths positive where a function divides by them.
#pragma once

#include <cmath>

#include "core/Geometry.h"
#include "core/TypeDefs.h"

// Distance / Speed; 0 when Speed is not positive. Inline: every frame
// measures every player's speed with it.
inline f32 TimeToCover(f32 X1, f32 Z1, f32 X2, f32 Z2, f32 Speed) {
  if (!std::isgreater(Speed, 0.0f)) return 0.0f;
  return static_cast<f32>(static_cast<double>(Distance2D(X1, Z1, X2, Z2)) / Speed);
}

// The time of a run that never arrives: longer than any match.
constexpr f32 kNeverTime = 100000.0f;

// Time to cover Distance from Speed, accelerating at Accel up to MaxSpeed and
// holding it; 0 for a distance that is not positive; kNeverTime when the run
// must go on at a top speed that is not positive.
f32 TimeToCoverAccelerating(f32 Speed, f32 Accel, f32 MaxSpeed, f32 Distance);

// The speed to reach, accelerating at Accel from Speed and holding it, to
// cover Distance in Time; MaxSpeed when it cannot be done; never negative
// (0 when no time is left for a distance already covered).
f32 SpeedToCoverInTime(f32 Speed, f32 Accel, f32 MaxSpeed, f32 Distance, f32 Time, bool32 CapAtMax);

// Time until two points are within Reach, judged per axis from their previous
// (0) and present (1) positions; a gap that is not closing closes at
// 0.01 m/s, and a present gap below twice Reach answers 0.01 s on that axis.
f32 ClosingTime(f32 AX0, f32 AZ0, f32 AX1, f32 AZ1, f32 BX0, f32 BZ0, f32 BX1, f32 BZ1, f32 DeltaT,
                f32 Reach);

// Where a runner from (FromX, FromZ) towards (ToX, ToZ) is after Time. The
// acceleration phase is counted at the start speed, as the steering expects.
TRunPrediction PredictRunPosition(f32 Speed, f32 Accel, f32 TopSpeed, f32 Time, f32 StopHeading, f32 FromX,
                                  f32 FromZ, f32 ToX, f32 ToZ, bool32 StopAtTarget);

// Drag-free velocity from point 1 to point 2 in Time (> 0) seconds.
TVector3 LaunchVelocity(f32 X1, f32 Y1, f32 Z1, f32 X2, f32 Y2, f32 Z2, f32 Time);

// A countdown floored at 0: max(0, Value - Factor x Rate x DeltaT).
f32 DepleteByRate(f32 Value, f32 Factor, f32 DeltaT, f32 Rate);

// A x B + C, clamped below when UseMin, then above when UseMax.
f32 ClampedLinear(f32 A, f32 B, f32 C, f32 Min, f32 Max, bool32 UseMin, bool32 UseMax);

// Value unchanged for an Amount up to kFalloffFreeAmount (12.5); beyond,
// Value x (100 + Rate x Amount) / 100 kept within 0..Value (Rate in per cent
// per unit, negative).
inline constexpr f32 kFalloffFreeAmount = 12.5f;
f32 DistanceFalloff(f32 Amount, f32 Rate, f32 Value);

// min(Speed, DistanceFalloff(HeadingDifference(H1, H2), Rate, MaxSpeed)):
// a speed held down by a turn between two headings (degrees). The same
// bits, mostly without HeadingDifference's trigonometry: it saves 5.83 % of
// a seeded match (2714 M of 46.53 G callgrind instructions, seed 4242).
f32 SpeedAfterTurn(f32 Speed, f32 H1, f32 H2, f32 Rate, f32 MaxSpeed);

// The value of a piecewise-linear profile at Now, SegmentStart being the
// moment its current segment began, shifted to pass through Current at that
// moment. Read by a key alone (SegmentStart and Current 0), the key counts
// from the start of the current segment and the value is relative to that
// segment's start value; with no current segment (0) that is the profile's
// own start, unshifted. An empty profile holds its start value.
f32 ProfileValueAt(const TStrategyShape& Profile, f32 Now, f32 SegmentStart = 0.0f, f32 Current = 0.0f);

// An animation's playing time after one step, held at Length or wrapped into
// the loop. Inline: every player calls it every frame.
inline f32 AdvanceAnimTime(f32 Time, f32 Length, f32 Rate, f32 DeltaT, bool32 Loop) {
  if (Time >= Length && Loop == 0) return Length;
  const f32 t = static_cast<f32>(static_cast<double>(Rate) * DeltaT + Time);
  if (t <= Length) return t;
  if (Loop == 0) return Length;
  const f32 f = static_cast<f32>((static_cast<double>(t) - Length) / Length);
  return static_cast<f32>((static_cast<double>(f) - std::trunc(f)) * Length);
}

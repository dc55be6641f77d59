#include "core/Interception.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "core/Caches.h"
#include "core/Geometry.h"
#include "core/Kinematics.h"

namespace {

TVector2 Along(f32 X, f32 Z, const TDirection& u, double distance) {
  return {static_cast<f32>(X + u.x * distance), static_cast<f32>(Z + u.z * distance)};
}

// The direction of a target heading through its one-entry cache
// (LastTargetHeading in core/Caches.h). Headings that are not finite are
// always computed, so that their float errors are raised (and the empty
// entry's bits, a NaN's, are never matched).
TDirection TargetDirection(f32 Heading) {
  if (!std::isfinite(Heading)) return HeadingDirection(Heading);
  const u32 bits = std::bit_cast<u32>(Heading);
  if (bits != LastTargetHeading.Bits) LastTargetHeading = {bits, HeadingDirection(Heading)};
  return LastTargetHeading.Direction;
}

}  // namespace

TVector2 InterceptPoint(f32 TargetHeading, f32 TargetX, f32 TargetZ, f32 TargetSpeed, f32 TargetAccel,
                        f32 TargetMaxSpeed, f32 ChaserX, f32 ChaserZ, f32 ChaserSpeed, f32 ChaserAccel,
                        f32 ChaserMaxSpeed, f32 PitchWidth, bool32 TargetAccelerates, bool32 ChaserAccelerates,
                        bool32 KeepInField) {
  double vT = TargetSpeed < 0 ? 0.0 : static_cast<double>(TargetSpeed);
  const double D = Distance2D(TargetX, TargetZ, ChaserX, ChaserZ);
  const TDirection uT = TargetDirection(TargetHeading);
  // The target's velocity keeps its start speed, also after an averaged vT.
  const double VTx = vT * uT.x, VTz = vT * uT.z;
  const TDirection uC = HeadingDirection(HeadingToPoint(ChaserX, ChaserZ, TargetX, TargetZ, 90.0f));

  // The time to close the gap, the chaser kept faster than the target.
  auto closingTime = [&](double targetSpeed) {
    double vC = ChaserSpeed;
    if (!(vC > targetSpeed)) vC = targetSpeed + 0.1;
    double c = Distance2D(0.0f, 0.0f, static_cast<f32>(VTx - vC * uC.x), static_cast<f32>(VTz - vC * uC.z));
    if (c <= 0.00001) c = 0.00001;
    return D / c;
  };

  double t = closingTime(vT);
  if (TargetAccelerates != 0) {
    double v = static_cast<double>(TargetAccel) * t + vT;
    if (v > TargetMaxSpeed) v = TargetMaxSpeed;
    vT = (TargetSpeed + v) / 2.0;
    t = closingTime(vT);
  }
  TVector2 P = Along(TargetX, TargetZ, uT, vT * t);

  const double Dc = Distance2D(P.x, P.z, ChaserX, ChaserZ);
  double v = ChaserSpeed;
  if (ChaserAccelerates != 0) {
    v = static_cast<double>(ChaserAccel) * t + ChaserSpeed;
    if (v > ChaserMaxSpeed) v = ChaserMaxSpeed;
    v = (ChaserSpeed + v) / 2.0;
  }
  if (v <= 0) v += 0.1;
  const double tc = Dc / v;
  if (tc > t) P = Along(TargetX, TargetZ, uT, vT * tc);

  if (KeepInField != 0) {
    const double half = PitchWidth / 2.0;
    if (ChaserX > half - 1.0 && P.x > half - 0.7) P.x = static_cast<f32>(half - 0.5);
    if (ChaserX < -half + 1.0 && P.x < -half + 0.7) P.x = static_cast<f32>(-half + 0.5);
  }
  return P;
}

TChaseResult SimulateChase(f32 CarrierX, f32 CarrierZ, f32 CarrierHeading, f32 CarrierSpeed, f32 CarrierAccel,
                           f32 CarrierCapA, f32 CarrierCapB, f32 ChaserX, f32 ChaserZ, f32 ChaserSpeed,
                           f32 ChaserAccel, f32 ChaserTopA, f32 ChaserTopB, f32 MaxTime, f32 TimeStep, f32 Reach,
                           f32 TouchMargin, bool32 TouchCheck, i32 Id) {
  TChaseResult r{CarrierX, CarrierZ, ChaserX, ChaserZ, kFalse32, kFalse32, 0.0f, 0.0f, Id};
  r.ChaserHeading = HeadingToPoint(ChaserX, ChaserZ, CarrierX, CarrierZ, 90.0f);
  if (Distance2D(ChaserX, ChaserZ, CarrierX, CarrierZ) <= Reach) {
    r.Caught = kTrue32;
    return r;
  }
  const double vTop = std::min(ChaserTopA, ChaserTopB);
  const double a = ChaserAccel, s0 = ChaserSpeed;
  const f32 tA = ChaserAccel <= 0 ? 100.0f : static_cast<f32>((vTop - s0) / a);
  const f32 cap = std::min(CarrierCapA, CarrierCapB);
  // Callers always pass a positive step; any other answers the start values.
  if (!(TimeStep > 0)) return r;

  const TDirection uCarrier = HeadingDirection(CarrierHeading);
  const double half = World.PitchWidth / 2.0;
  f32 t = 0.0f;
  f32 v = CarrierSpeed;
  while (t <= MaxTime) {
    const f32 next = static_cast<f32>(static_cast<double>(t) + TimeStep);
    if (next == t) break;  // a step too small to advance the clock would never end
    t = next;
    v = static_cast<f32>(v + static_cast<double>(CarrierAccel) * TimeStep);
    if (v > cap) v = cap;
    if (v < -cap) v = -cap;
    const double run = static_cast<double>(v) * TimeStep;
    r.CarrierX = static_cast<f32>(r.CarrierX + uCarrier.x * run);
    r.CarrierZ = static_cast<f32>(r.CarrierZ + uCarrier.z * run);

    f32 gap = static_cast<f32>(static_cast<double>(Distance2D(ChaserX, ChaserZ, r.CarrierX, r.CarrierZ)) - Reach);
    if (gap < 0) gap = 0.0f;
    const double s = t <= tA ? a / 2.0 * t * t + s0 * t : a / 2.0 * tA * tA + s0 * tA + (t - tA) * vTop;
    r.ChaserHeading = HeadingToPoint(ChaserX, ChaserZ, r.CarrierX, r.CarrierZ, 90.0f);
    const TDirection u = HeadingDirection(r.ChaserHeading);
    TVector2 chaser = Along(ChaserX, ChaserZ, u, s);
    r.ChaserX = chaser.x;
    r.ChaserZ = chaser.z;

    if (TouchCheck != 0 && (r.CarrierX + TouchMargin > half || r.CarrierX - TouchMargin < -half)) {
      r.Escaped = kTrue32;
      break;
    }
    if (s >= gap) {
      chaser = Along(ChaserX, ChaserZ, u, gap);
      r.ChaserX = chaser.x;
      r.ChaserZ = chaser.z;
      r.Caught = kTrue32;
      break;
    }
  }
  r.Time = t;
  return r;
}

TCatchResult BallCatchPoint(f32 BallVX, f32 BallVY, f32 BallVZ, f32 BallX, f32 BallY, f32 BallZ, f32 PlayerX,
                            f32 PlayerZ, f32 PlayerSpeed, f32 PlayerAccel, f32 PlayerMaxSpeed, f32 MaxTime,
                            f32 TimeStep, f32 Reach, f32 CatchHeight, f32 PlayerHeading, f32 TurnRate,
                            bool32 UseAccel, bool32 UseTurn) {
  TCatchResult r{BallX, BallZ, kFalse32};
  // Callers always pass a positive step; any other answers the start values.
  if (!(TimeStep > 0)) return r;
  f32 t = 0.0f;
  while (t <= MaxTime) {
    const double td = t;
    r.x = static_cast<f32>(BallVX * td + BallX);
    r.z = static_cast<f32>(BallVZ * td + BallZ);
    const f32 y = static_cast<f32>(BallVY * td + BallY - 4.905 * td * td);
    if (y < CatchHeight) {
      const f32 d = static_cast<f32>(static_cast<double>(Distance2D(PlayerX, PlayerZ, r.x, r.z)) - Reach);
      f32 v = PlayerSpeed;
      if (UseTurn != 0) {
        const f32 towards = HeadingToPoint(PlayerX, PlayerZ, r.x, r.z, 90.0f);
        v = SpeedAfterTurn(PlayerSpeed, towards, PlayerHeading, TurnRate, PlayerMaxSpeed);
      }
      bool inTime;
      if (UseAccel != 0) {
        inTime = TimeToCoverAccelerating(v, PlayerAccel, PlayerMaxSpeed, d) <= t;
      } else if (v == 0) {
        inTime = d <= 0;  // a standing player reaches only a ball already within reach
      } else {
        inTime = static_cast<f32>(static_cast<double>(d) / v) <= t;
      }
      if (inTime) {
        r.Found = kTrue32;
        return r;
      }
    }
    const f32 next = static_cast<f32>(td + TimeStep);
    if (next == t) break;  // a step too small to advance the clock would never end
    t = next;
  }
  return r;
}

TThrowTargetFill StartThrowTargets(f32 RunnerHeading, f32 Reach, i32 Count, TThrowTargetTable& Table) {
  for (TThrowTarget& e : Table.Entries) e.Valid = kFalse32;
  TThrowTargetFill f{};
  f.Point = 1;
  f.Entry = 1;
  f.Done = Count < 1;  // no points asked for (and no spacing to divide out)
  if (f.Done) return f;
  f.Step = static_cast<f32>(static_cast<double>(Reach) / Count);
  const TDirection u = HeadingDirection(RunnerHeading);
  f.ux = u.x;
  f.uz = u.z;
  return f;
}

void FillThrowTargets(f32 RunnerX, f32 RunnerZ, f32 TargetY, f32 RunnerSpeed, f32 RunnerAccel, f32 RunnerMaxSpeed,
                      f32 ThrowerX, f32 ThrowerZ, f32 ThrowerY, f32 MaxLaunchSpeed, i32 Count, i32 UpTo,
                      TThrowTargetFill& Fill, TThrowTargetTable& Table) {
  const TDirection u{Fill.ux, Fill.uz};
  const int last = std::min(UpTo, Arr1<TThrowTarget, 100>::kSize);
  // A Count above the table's size keeps its spacing; filling stops when full.
  while (!Fill.Done && Fill.Entry <= last) {
    const i32 k = Fill.Point++;
    const f32 dk = static_cast<f32>(static_cast<double>(k) * Fill.Step);
    const f32 tk = TimeToCoverAccelerating(RunnerSpeed, RunnerAccel, RunnerMaxSpeed, dk);
    if (tk > 0) {  // a point that takes no time to reach has no flight to it
      const TVector2 target = Along(RunnerX, RunnerZ, u, dk);
      const TVector3 V = LaunchVelocity(ThrowerX, ThrowerY, ThrowerZ, target.x, TargetY, target.z, tk);
      if (!(Length3D(V) > MaxLaunchSpeed))
        Table.Entries[Fill.Entry++] = {V.x, V.y, V.z, target.x, TargetY, target.z, tk, kTrue32};
    }
    if (Fill.Point > Count || Fill.Entry > Arr1<TThrowTarget, 100>::kSize) Fill.Done = true;
  }
}

void ThrowTargetsAlongRun(f32 RunnerX, f32 RunnerZ, f32 TargetY, f32 RunnerSpeed, f32 RunnerAccel,
                          f32 RunnerMaxSpeed, f32 RunnerHeading, f32 ThrowerX, f32 ThrowerZ, f32 ThrowerY,
                          f32 MaxLaunchSpeed, f32 Reach, i32 Count, TThrowTargetTable& Table) {
  TThrowTargetFill f = StartThrowTargets(RunnerHeading, Reach, Count, Table);
  FillThrowTargets(RunnerX, RunnerZ, TargetY, RunnerSpeed, RunnerAccel, RunnerMaxSpeed, ThrowerX, ThrowerZ, ThrowerY,
                   MaxLaunchSpeed, Count, Arr1<TThrowTarget, 100>::kSize, f, Table);
}

TSpeedHeading CombineMomentum(f32 M1, f32 S1, f32 H1, f32 M2, f32 S2, f32 H2) {
  double s1 = S1, s2 = S2;
  if (S1 == 0 && S2 == 0) s1 = s2 = 1.0;
  const TDirection u1 = HeadingDirection(H1);
  const TDirection u2 = HeadingDirection(H2);
  const double m = static_cast<double>(M1) + M2;
  const f32 vx = static_cast<f32>((M1 * s1 * u1.x + M2 * s2 * u2.x) / m);
  const f32 vz = static_cast<f32>((M1 * s1 * u1.z + M2 * s2 * u2.z) / m);
  return {Distance2D(0.0f, 0.0f, vx, vz), HeadingToPoint(0.0f, 0.0f, vx, vz, 90.0f)};
}

TCollisionResult ResolveCollision(TVector2 P1Old, TVector2 P1, f32 S1, f32 M1, f32 ImpulseA, f32 ImpulseB,
                                  TVector2 P2Old, TVector2 P2, f32 S2, f32 M2, f32 Restitution,
                                  bool32 Body1Moving, bool32 UseImpulse) {
  const double impulse = static_cast<double>(ImpulseA) * ImpulseB;
  if (Body1Moving == 0) {
    // Body 1 stops; body 2 rebounds back along its path.
    double s2 = static_cast<double>(S2) * Restitution;
    if (UseImpulse != 0) s2 += impulse / M2;
    return {{0.0f, HeadingToPoint(P1Old.x, P1Old.z, P1.x, P1.z, 90.0f)},
            {static_cast<f32>(s2), HeadingToPoint(P2.x, P2.z, P2Old.x, P2Old.z, 180.0f)}};
  }
  // Turned so that the line from body 1 to body 2 points along +x.
  const f32 L = HeadingToPoint(P1.x, P1.z, P2.x, P2.z, 90.0f);
  const f32 r = static_cast<f32>(180.0 - L);
  const f32 h1 = static_cast<f32>(static_cast<double>(HeadingToPoint(P1Old.x, P1Old.z, P1.x, P1.z, 90.0f)) + r);
  const f32 h2 = static_cast<f32>(static_cast<double>(HeadingToPoint(P2Old.x, P2Old.z, P2.x, P2.z, 180.0f)) + r);
  const TDirection u1 = HeadingDirection(h1);
  const TDirection u2 = HeadingDirection(h2);
  const double v1x = S1 * u1.x, v1z = S1 * u1.z;
  const double v2x = S2 * u2.x, v2z = S2 * u2.z;

  const double e = Restitution, m1 = M1, m2 = M2, m = m1 + m2;
  double w1x = (m1 - m2 * e) / m * v1x + (1.0 + e) * m2 / m * v2x;
  double w2x = (1.0 + e) * m1 / m * v1x + (m2 - m1 * e) / m * v2x;
  if (UseImpulse != 0) {
    w2x += impulse / m2;
    w1x -= impulse / m1;
  }
  auto outcome = [r](double x, double z) {
    const TVector2 w{static_cast<f32>(x), static_cast<f32>(z)};
    const f32 h = HeadingToPoint(0.0f, 0.0f, w.x, w.z, 90.0f);
    return TSpeedHeading{Length2D(w), static_cast<f32>(static_cast<double>(h) - r)};
  };
  return {outcome(w1x, v1z), outcome(w2x, v2z)};
}

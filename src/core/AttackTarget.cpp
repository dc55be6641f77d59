#include "core/AttackTarget.h"

#include <algorithm>
#include <cmath>

#include "core/Geometry.h"

namespace {

// Halfway from z0 to the try line; a metre on once at or past it.
double ForwardZ(double z0, double halfL) {
  return z0 < halfL ? z0 + std::fabs(z0 - halfL) / 2 : z0 + 1;
}

// 2 m (or `by` m) further towards the nearer touchline, but at least 5 m
// inside it.
double Outside(double x, double halfW, double by) {
  return x <= 0 ? std::max(x - by, -halfW + 5) : std::min(x + by, halfW - 5);
}

}  // namespace

TVector2 CarrierTargetPoint(const TWorld& W, f32 X, f32 Z) {
  const double halfL = World.PitchLength / 2.0;
  const double width = World.PitchWidth;
  const double halfW = width / 2;
  const TTeamBlock& A = W.Teams[1];
  double x = 0, z = 0;
  switch (W.gamestate) {
    case gsRunning: {
      if (!IsPlayer(A.BallCarrier)) break;
      const TVector3 c = A.Players[A.BallCarrier].Pos;
      z = ForwardZ(c.z, halfL);
      x = Outside(c.x, halfW, 2);
      if (Distance2D(X, Z, c.x, c.z) < 5 || W.LineBreak) x = c.x;
      break;
    }
    case gsPassing: {
      if (!IsPlayer(A.PassReceiver)) break;
      const TPlayer& r = A.Players[A.PassReceiver];
      z = std::max(ForwardZ(r.DesiredPos.z, halfL), static_cast<double>(Z));
      x = Outside(r.DesiredPos.x, halfW, 2);
      if (Distance2D(X, Z, r.Pos.x, r.Pos.z) < 5 || W.LineBreak) x = r.Pos.x;
      break;
    }
    case gsGotTackled:
    case gsMaul:
    case gsScrum: {
      z = ForwardZ(W.Teams[2].SetPieceLineZ, halfL);
      // Up to 8.5 m towards the centre, the more the nearer the touchline.
      const double m = W.MarkX;
      const double k = ((std::fabs(m) + halfW) / width - 0.5) / 0.5;
      x = m <= 0 ? m + 8.5 * k : m - 8.5 * k;
      x = std::clamp(x, -halfW + 5, halfW - 5);
      break;
    }
    case gsLineout: {
      z = ForwardZ(W.BallPos.z, halfL);
      const double b = W.BallPos.x;
      x = b <= 0 ? std::max(b + 10, -halfW + 5) : std::min(b - 10, halfW - 5);
      break;
    }
    default:
      break;
  }
  return {static_cast<f32>(x), static_cast<f32>(z)};
}

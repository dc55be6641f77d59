#include "motion/MoveToDesiredPositionUnit.h"

#include "core/Geometry.h"

namespace {

void MoveOneStep(const TWorld& W, TPlayer& P) {
  P.OldPos = P.Pos;
  TVector3 toSpot;
  Subtract3D(P.DesiredPos, P.Pos, toSpot);
  Normalise3D(toSpot, P.Direction);
  const double step = static_cast<double>(P.speed) * W.TimeStep;  // m
  P.Pos.x = static_cast<f32>(P.Pos.x + P.Direction.x * step);
  P.Pos.z = static_cast<f32>(P.Pos.z + P.Direction.z * step);
}

}  // namespace

void MoveToDesiredPosition(TWorld& W) {
  const int n = PlayerCount(W);
  for (int i = 1; i <= n; ++i)
    if (i != W.Teams[1].BallCarrier) MoveOneStep(W, W.Teams[1].Players[i]);
  for (int i = 1; i <= n; ++i) MoveOneStep(W, W.Teams[2].Players[i]);
}

#include "core/PlayerVelocities.h"

#include "core/Geometry.h"

void UpdatePlayerVelocities(TWorld& W) {
  const int n = PlayerCount(W);
  const double dt = W.TimeStep;
  for (int i = 1; i <= n; ++i) {
    for (TTeamBlock& T : W.Teams) {
      TPlayer& P = T.Players[i];
      P.MeasuredSpeed = Distance2D(0.0f, 0.0f, P.Velocity.x, P.Velocity.z);
      P.OldVelocity = P.Velocity;
      P.Velocity = {static_cast<f32>((static_cast<double>(P.Pos.x) - P.OldPos.x) / dt),
                    static_cast<f32>((static_cast<double>(P.Pos.z) - P.OldPos.z) / dt)};
    }
  }
}

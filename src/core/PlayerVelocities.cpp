#include "core/PlayerVelocities.h"

#include "core/Geometry.h"

void UpdatePlayerVelocities(TWorld& W) {
  const int n = PlayerCount(W);
  const double dt = W.TimeStep;
  for (int i = 1; i <= n; ++i) {
    // Both blocks' player i measured by one packed root: each reads and
    // writes only his own record.
    TPlayer& A = W.Teams[1].Players[i];
    TPlayer& B = W.Teams[2].Players[i];
    Distance2DPair(0.0f, 0.0f, A.Velocity.x, A.Velocity.z, 0.0f, 0.0f, B.Velocity.x, B.Velocity.z, A.MeasuredSpeed,
                   B.MeasuredSpeed);
    for (TTeamBlock& T : W.Teams) {
      TPlayer& P = T.Players[i];
      P.OldVelocity = P.Velocity;
      P.Velocity = {static_cast<f32>((static_cast<double>(P.Pos.x) - P.OldPos.x) / dt),
                    static_cast<f32>((static_cast<double>(P.Pos.z) - P.OldPos.z) / dt)};
    }
  }
}

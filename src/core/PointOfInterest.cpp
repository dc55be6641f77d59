#include "core/PointOfInterest.h"

#include <algorithm>

namespace {

TVector2 Planar(const TVector3& V) { return {V.x, V.z}; }

// The player's position, or the ball's where no player is named.
TVector2 PlayerOrBall(const TWorld& W, const TPlayer* P) { return Planar(P != nullptr ? P->Pos : W.BallPos); }

f32 PassingRadius(const TWorld& W) {
  const TTeamBlock& T1 = W.Teams[1];
  f32 radius = 50.0f;
  if (static_cast<double>(T1.PassFlightTime) - T1.PassFlightLeft < 0.05) radius = 2.0f;
  const TPlayer* passer = PlayerAt(T1, T1.Passer);
  if (passer != nullptr && passer->LineOutTimer > 0) radius = 3.0f;
  return radius;
}

TVector2 TransitionPoint(const TWorld& W) {
  if (W.TransitionBallHeld == 0) return Planar(W.BallPos);
  const TTeamBlock& T = W.Teams[W.TransitionHolderFirstBlock != 0 ? 1 : 2];
  return PlayerOrBall(W, PlayerAt(T, W.TransitionHolder));
}

}  // namespace

void SetPointOfInterest(TWorld& W) {
  const TTeamBlock& T1 = W.Teams[1];
  const TPlayer* carrier = PlayerAt(T1, T1.BallCarrier);
  TVector2 point{0.0f, 0.0f};
  f32 radius = 50.0f;
  switch (W.gamestate) {
    case gsHuddle: point = W.HuddleCentre; break;
    case gsLeagueChamps: point = {0.0f, 4.0f}; break;
    case gsRunning: point = PlayerOrBall(W, carrier); break;
    case gsPassing:
      point = Planar(W.BallPos);
      radius = PassingRadius(W);
      break;
    case gsFreeBall: point = Planar(W.BallPos); break;
    case gsGotTackled:
      point = {W.MarkX, W.MarkZ};
      radius = 0.5f;
      break;
    case gsScrum: point = {W.MarkX, W.ScrumPhase < 8 ? T1.SetPieceLineZ : W.BallPos.z}; break;
    case gsLineout: point = PlayerOrBall(W, carrier); break;
    case gsTryScored: point = W.TryPos; break;
    case gsKickRestartSet: point = Planar(T1.RestartBallPos); break;
    case gsTransition: point = TransitionPoint(W); break;
    default: break;
  }
  const f32 maxX = static_cast<f32>(W.PitchWidth / 2.0 + 2.0);
  const f32 maxZ = static_cast<f32>(W.PitchLength / 2.0 + 10.0);
  point.x = std::max(point.x, -maxX);
  point.x = std::min(point.x, maxX);
  point.z = std::max(point.z, -maxZ);
  point.z = std::min(point.z, maxZ);
  W.PointOfInterest = point;
  W.PointOfInterestRadius = radius;
}

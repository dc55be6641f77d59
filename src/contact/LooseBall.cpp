#include "contact/LooseBall.h"

#include <cmath>

#include "core/BallFlight.h"

void EnterFreeBall(TWorld& W) {
  W.gamestate = gsFreeBall;
  W.FreeBallPhase = 1;
  W.BallPhase = 1;
  W.BallFlightClock = 0;
  W.BounceOffPending = kFalse32;
  W.Teams[1].BallCarrier = 0;
  W.QuickResampleTimer = 0;
  for (TTeamBlock& T : W.Teams) {
    for (TPlayer& P : T.Players) {
      for (f32& t : P.ContactTimer) t = 0;
      P.BallTouchLockTimer = 0;
    }
  }
  ResetFreeBallChase(W);
}

void ResetFreeBallChase(TWorld& W) {
  for (TTeamBlock& T : W.Teams) {
    T.StrategyTimer = 0;
    for (i32& c : T.ChaserSlots) c = 0;
  }
  W.Teams[1].ChaserCount = 2;
  W.Teams[2].ChaserCount = 3;
  W.FreeBallPlanTimer = 0;
  W.FreeBallPointsTimer = 0;
}

void RelaunchFreeBall(TWorld& W, const TLaunchParams& Launch) {
  W.BallPhase = 1;
  W.BallFlightClock = 0;
  W.FreeBallPlanTimer = 0;
  W.FreeBallPointsTimer = 0;
  SimulateLooseBallFlight(W, Launch.Speed, Launch.Elevation, Launch.Heading);
}

double FlightLandingGain(const TWorld& W) {
  const i32 k = W.FlightLandingStep;
  const int last = k >= 1 && k <= 1000 ? k : 1000;
  return static_cast<double>(W.FlightPos[last].z) - W.FlightPos[1].z;
}

bool InsideKnockOnMargin(const TWorld& W, const TPlayer& P) {
  constexpr double kMargin = 0.2;  // m
  const double halfWidth = 0.5 * W.PitchWidth;
  const double end = 0.5 * W.PitchLength + W.InGoalDepth;
  return std::fabs(static_cast<double>(P.Pos.x)) < halfWidth - kMargin &&
         std::fabs(static_cast<double>(P.Pos.z)) < end - kMargin;
}

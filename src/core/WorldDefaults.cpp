#include "core/WorldDefaults.h"

#include <cstring>

void InitialiseWorld(TWorld& W) {
  std::memset(&W, 0, sizeof W);  // a plain record: all fields 0 before the defaults
  W.injurieson = kTrue32;
  W.halflength = 2400.0f;
  W.MatchPhase = 1;
  W.PlayersPerTeam = 15;
  W.RecordingOn = kTrue32;
  W.LiveWorld = kTrue32;
  W.Team1InFirstBlock = kTrue32;
  W.PitchLength = 100.0f;
  W.PitchWidth = 70.0f;
  W.InGoalDepth = 10.0f;
  W.GoalPostGap = 5.6f;
  W.Gravity = 9.81f;
  W.GroundFriction = 1.06f;
}

// A small world for the open-move finder and the move application: the move
// books and the strategy templates as the world defaults leave them, then
// the world cleared but for a 100 x 70 m pitch with 10 m in-goals, 15
// players a side and team 1 in possession (so its book, MoveBooks[1], is
// read). The generator is seeded.
#pragma once

#include <cfenv>
#include <cstring>

#include "core/Random.h"
#include "core/WorldDefaults.h"

inline void MakeMoveBookScene(TWorld& W) {
  InitialiseWorld(W);
  std::memset(&W, 0, sizeof W);
  RandSeed = 2026;
  W.Team1InFirstBlock = kTrue32;
  W.PlayersPerTeam = 15;
  W.PitchLength = 100.0f;
  W.PitchWidth = 70.0f;
  W.InGoalDepth = 10.0f;
  std::feclearexcept(FE_ALL_EXCEPT);
}

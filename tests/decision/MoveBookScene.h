// A small world for the open-move finder and the move application: the move
// books and the strategy templates as the world defaults leave them, then
// the world cleared but for a 100 x 70 m pitch with 10 m in-goals, 15
// players a side and team 1 in possession (so its book, MoveBooks[1], is
// read). The generator is seeded.
#pragma once

#include <cfenv>

#include "SmallWorld.h"
#include "core/Random.h"
#include "core/WorldDefaults.h"

inline void MakeMoveBookScene(TWorld& W) {
  InitialiseWorld(W);
  MakeSmallWorld(W, {.InGoals = true});
  RandSeed = 2026;
  W.Team1InFirstBlock = kTrue32;
  std::feclearexcept(FE_ALL_EXCEPT);
}

// A small world for the steps of open play: the small world (SmallWorld.h)
// with its in-goals and frames of 0.04 s, in the running state.
#pragma once

#include "SmallWorld.h"

inline void MakeOpenPlayPitch(TWorld& W) {
  MakeSmallWorld(W, {.InGoals = true, .Frame = true});
  W.gamestate = gsRunning;
  W.FrameGameState = gsRunning;
  W.PrevFrameGameState = gsRunning;
}

// Every player of both blocks stands at his desired position.
inline void ArriveAtDesiredPositions(TWorld& W) {
  for (int side = 1; side <= 2; ++side) {
    for (int p = 1; p <= W.PlayersPerTeam; ++p) {
      TPlayer& P = W.Teams[side].Players[p];
      P.Pos.x = P.DesiredPos.x;
      P.Pos.z = P.DesiredPos.z;
    }
  }
}

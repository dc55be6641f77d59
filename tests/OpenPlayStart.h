// The example match put into open play, as tests and benchmarks start it:
// block 1's carrier holds the ball where he stands, at 0.04 s steps.
#pragma once

#include "core/TypeDefs.h"

inline void PutIntoOpenPlay(TWorld& W) {
  W.gamestate = gsRunning;
  W.FrameGameState = gsRunning;
  W.TimeStep = 0.04f;
  W.PrevTimeStep = 0.04f;
  const TPlayer& C = W.Teams[1].Players[W.Teams[1].BallCarrier];
  W.BallPos = {C.Pos.x, 1.0f, C.Pos.z};
}

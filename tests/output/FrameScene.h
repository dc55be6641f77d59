// The small world of the per-frame output tests: a 100 x 70 pitch, 15
// players a side, frames of 0.04 s in running, the recording clock at 0.
#pragma once

#include "SmallWorld.h"
#include "core/MatchStore.h"

inline void ResetFrameScene(TWorld& W) {
  MakeSmallWorld(W, {.Frame = true});
  W.gamestate = gsRunning;
  MatchStore.RecordClock = 0;
}

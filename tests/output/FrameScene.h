// The small world of the per-frame output tests: a 100 x 70 pitch, 15
// players a side, frames of 0.04 s in running, the recording clock at 0.
#pragma once

#include <cstring>

#include "core/MatchStore.h"
#include "core/TypeDefs.h"

inline void ResetFrameScene(TWorld& W) {
  std::memset(&W, 0, sizeof W);
  W.PitchLength = 100;
  W.PitchWidth = 70;
  W.PlayersPerTeam = 15;
  W.TimeStep = 0.04f;
  W.gamestate = gsRunning;
  MatchStore.RecordClock = 0;
}

// The match store beside the world: the message list and the replay
// recorder's state. The output subsystem owns the rest of its contents.
#pragma once

#include "core/MatchInfo.h"
#include "core/TypeDefs.h"

struct TMatchStore {
  // The match and team settings read from "players.csv".
  TMatchInfo MatchInfo;
  // Replay recorder.
  bool32 RecordNextFrame;
  i32 FrameCount;
  f32 RecordInterval;
  f32 RecordClock;  // stamped on every message
  f32 SampleCountdown;
  f32 SamplePeriod;
  // Message list.
  i16 MessageCount;
  i16 MessageCapacity;
  i16 MessageCountCopy;
  Arr1<TMatchMessage, 22500> Messages;
};

extern TMatchStore MatchStore;

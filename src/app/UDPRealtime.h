// The real-time control record: the viewer link's mode flags and frame
// grants. Nothing in a normal run sets its Active flag.
#pragma once

#include "core/Arrays.h"

struct TUDPRealtime {
  bool32 Active;
  bool32 AuxMode;
  bool32 FrameRanThisCall;
  f32 TimeStep;
  bool32 Paused;
  i32 FramesAllowed;
  i32 FramesDone;
  i32 MessagesSent;
  u32 LastFrameTick;
  Arr1<i32, 10> Input;
  Arr1<i32, 10> PrevInput;
  Arr1<i32, 75> Requests;
  bool32 EndPending;
  bool32 SimAhead;
  f32 SimAheadStartUdpClock;
  f32 SimAheadStartGameClock;
  f32 SimAheadSeconds;
  bool32 AuxUserControl;
  i32 KickMode;
  i32 UserLevel;
  f32 KickSpeedStart;
  f32 KickSpeedTop;
  f32 KickChargeTime;
  f32 FrameDelayValue;
};

extern TUDPRealtime UDPRealtime;

// The start values that start-up gives the record.
void SetUDPRealtimeDefaults();

// The real-time control record of the viewer link: mode flags, frame
// grants, the four human users' game-pad state, the viewer's input words and
// request queue, the sim-ahead request and the raw fields of the last
// command datagram. The datagram parser (app/UDPCommands.h) fills it.
// Nothing in a normal run sets its Active flag.
#pragma once

#include <string>

#include "core/Arrays.h"
#include "core/TypeDefs.h"

// One human user's game-pad state.
struct TUDPUserSlot {
  i32 TeamId;     // 0 = slot not in use
  i32 PlayerNum;  // 0 = let the engine pick
  bool32 Present;
  i16 ControlledPlayer;
  i16 PrevControlledPlayer;
  bool32 AutoPick;
  bool32 OwnTeam;
  Arr1<bool32, 3> SwitchFlags;
  bool32 RuckButtonHeld;
  i32 SpareWord;  // no control mode writes it
  Arr1<bool32, 20> Buttons;
  Arr1<f32, 6> Sticks;  // axes, the datagram's number x 0.001
  bool32 ExtraButton;
  f32 Stick1Magnitude;
  f32 PrevStick1Magnitude;
  f32 Stick1Heading;
  f32 Stick2Heading;
};

constexpr int kUDPFieldCount = 49;
constexpr int kUDPRequestCount = 75;

// A queued viewer request; all three words 0 = free entry.
using TUDPRequest = Arr1<i32, 3>;

struct TUDPRealtime {
  bool32 Active;
  bool32 AuxMode;
  f32 TimeStep;
  bool32 Paused;
  i32 FramesAllowed;
  i32 FramesDone;
  u32 LastFrameTick;
  bool32 FrameRanThisCall;
  i32 MessagesSent;
  TVector2 TargetPoint;
  Arr1<std::string, kUDPFieldCount> Fields;  // raw text of the datagram fields
  i32 ViewerTeamId;
  f32 ViewAngle;
  Arr1<TUDPUserSlot, 4> Users;
  bool32 UserHasBall;
  bool32 KickMode;
  Arr1<i32, 4> PassTargets;
  Arr1<i32, 10> Input;
  Arr1<i32, 10> PrevInput;
  Arr1<TUDPRequest, kUDPRequestCount> Requests;
  bool32 EndPending;
  bool32 SimAhead;
  f32 SimAheadStartUdpClock;
  f32 SimAheadStartGameClock;
  f32 SimAheadSeconds;
  bool32 AuxUserControl;
  i32 UserLevel;  // steering help of the users, 1 normally (AssistLevel)
  f32 KickSpeedStart;
  f32 KickSpeedTop;
  f32 KickChargeTime;
  f32 FrameDelayValue;
};

extern TUDPRealtime UDPRealtime;

// The start values that start-up gives the record.
void SetUDPRealtimeDefaults();

#include "app/UDPRealtime.h"

TUDPRealtime UDPRealtime;

void SetUDPRealtimeDefaults() {
  TUDPRealtime& R = UDPRealtime;
  R = TUDPRealtime{};
  R.Active = kFalse32;
  R.AuxMode = kFalse32;
  R.FrameRanThisCall = kFalse32;
  R.TimeStep = 0.05f;
  R.Paused = kTrue32;
  R.FramesAllowed = 0;
  R.FramesDone = 0;
  R.MessagesSent = 0;
  for (int i = 1; i <= 10; ++i) R.Input[i] = 0;
  R.PrevInput = R.Input;
  for (int i = 1; i <= 75; ++i) R.Requests[i] = 0;
  R.EndPending = 0;
  R.SimAhead = 0;
  R.SimAheadStartUdpClock = 0;
  R.SimAheadStartGameClock = 0;
  R.SimAheadSeconds = 0;
  R.AuxUserControl = 0;
  R.KickMode = 0;
  R.UserLevel = 1;
  R.KickSpeedStart = 20.0f;
  R.KickSpeedTop = 30.0f;
  R.KickChargeTime = -1.0f;
  R.FrameDelayValue = -1.0f;
}

#include "core/UDPRealtime.h"

TUDPRealtime UDPRealtime;

void SetUDPRealtimeDefaults() {
  // Every flag, count, input word and request starts at 0.
  TUDPRealtime& R = UDPRealtime;
  R = TUDPRealtime{};
  R.TimeStep = 0.05f;
  R.Paused = kTrue32;
  R.UserLevel = 1;
  R.KickSpeedStart = 20.0f;
  R.KickSpeedTop = 30.0f;
  R.KickChargeTime = -1.0f;
  R.FrameDelayValue = -1.0f;
}

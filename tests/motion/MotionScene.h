// A small world for the motion steps: 15 a side on a 100 x 70 pitch, every
// player standing on his DesiredPos far from the others (block 1 at z = -5,
// block 2 at z = +5, 4 m apart across), nobody carrying the ball, every
// timer and spell quiet, DistToDesired at 200 m so that no arrival-time
// rule applies until a test sets it. Frames of 0.04 s.
#pragma once

#include <gtest/gtest.h>

#include "SmallWorld.h"
#include "core/FloatFlags.h"
#include "core/FloatGuard.h"
#include "core/Random.h"
#include "core/TypeDefs.h"
#include "core/UDPRealtime.h"

constexpr f32 kSceneMaxSpeed = 8.0f;  // m/s
constexpr f32 kSceneJogSpeed = 4.0f;  // m/s; 0.65 x 4 = 2.6 m/s is the arrival floor
constexpr f32 kSceneAccel = 4.0f;     // m/s²
constexpr f32 kSceneStep = kSmallFrame;  // s

inline void MakeMotionScene(TWorld& W) {
  MakeSmallWorld(W, {.Frame = true, .LastFrame = true});
  RandSeed = 4242;
  W.gamestate = gsRunning;
  W.PrevFrameGameState = gsRunning;
  ForEverySlot(W, [](TPlayer& P, int b, int p) {
    Place(P, static_cast<f32>(4 * p - 32), b == 1 ? -5.0f : 5.0f);
    P.maxspeed = kSceneMaxSpeed;
    P.MaxSpeedNonFatigued = kSceneMaxSpeed;
    P.JogSpeed = kSceneJogSpeed;
    P.AccelerationInit = kSceneAccel;
    P.Acceleration = kSceneAccel;
    P.SpeedLossSlope = -1.0f;
    P.DistToDesired = 200.0f;
    P.FatigueTimer = 1000.0f;
    P.FatigueFreshTime = 60;
    P.FatigueTiredTime = 20;
  });
  W.Teams[2].DefenceLineSpeed = 1.5f;
  W.Teams[2].DefenceLineZ = 5.0f;
}

// A timer one scene frame later, counted down or up and stored as f32.
inline f32 StepDown(f32 v) { return ToF32(static_cast<double>(v) - kSceneStep); }
inline f32 StepUp(f32 v) { return ToF32(static_cast<double>(v) + kSceneStep); }

// Puts a player at rest on a spot, DistToDesired still off: Place, under
// the name the motion tests use.
inline void PlaceAt(TPlayer& P, f32 x, f32 z) { Place(P, x, z); }

// A player playing Name from frame Frame of Length, not fresh.
inline void Playing(TPlayer& P, const char* Name, f32 Frame, f32 Length, bool Loop = true) {
  P.currentAnim.Assign(Name);
  P.currentframe = Frame;
  P.maxframes = Length;
  P.AnimLoop = Flag(Loop);
  P.AnimLoopCount = 0;
  P.AnimFreshStart = kFalse32;
}

// The one scene world of the motion tests, and its players by block.
inline TWorld MotionWorld;
inline TPlayer& Att(int i) { return MotionWorld.Teams[1].Players[i]; }
inline TPlayer& Def(int i) { return MotionWorld.Teams[2].Players[i]; }

// A fresh scene for every test, with the real-time record at its start
// values before and after.
class MotionSceneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeMotionScene(MotionWorld);
    SetUDPRealtimeDefaults();
  }
  void TearDown() override { SetUDPRealtimeDefaults(); }

  // Runs a step on the scene; it must raise no floating-point error.
  static void RunStep(void (*Step)(TWorld&)) {
    ClearFloatFlags();
    Step(MotionWorld);
    EXPECT_FALSE(FloatErrorRaised());
  }
};

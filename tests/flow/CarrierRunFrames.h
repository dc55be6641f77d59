// Real frames of the set-up example match with running entered for carrier
// 10 (EnterRunning): the test runs the carrier itself up the pitch, so the
// decision step stays out, and every other step of the driver's table runs.
#pragma once

#include <gtest/gtest.h>

#include "ExampleMatch.h"
#include "app/FrameSteps.h"

class CarrierRunFramesTest : public ExampleMatchTest {
 protected:
  static constexpr int kCarrier = 10;
  static constexpr f32 kRunSpeed = 5.0f;  // m/s, straight up the pitch

  void SetUp() override {
    ExampleMatchTest::SetUp();
    ResetFrameSteps();
    FrameSteps[kStepStrategy].Step = EmptyFrameStep;
    EnterRunning(World, kCarrier, kRunSpeed);
  }
  void TearDown() override { ResetFrameSteps(); }

  static TTeamBlock& A() { return World.Teams[1]; }
  static TPlayer& Pl(int i) { return World.Teams[1].Players[i]; }
  static TPlayer& C() { return Pl(kCarrier); }

  // The test's run of the carrier for one frame, the ball in his hands.
  static void RunCarrier() {
    TPlayer& P = C();
    P.OldPos = P.Pos;
    P.Pos.z = static_cast<f32>(P.Pos.z + kRunSpeed * 0.04);
    World.BallPos = {P.Pos.x, 1.0f, P.Pos.z};
  }

  // One frame of every step. Every player faces the way he runs, so the
  // turn cap of the acceleration step costs nothing.
  static void StepAll() {
    for (int b = 1; b <= 2; ++b) {
      for (int p = 1; p <= 25; ++p) {
        TPlayer& Q = World.Teams[b].Players[p];
        Q.PrevFacingAngle = Q.FacingAngle;
      }
    }
    World.PrevTimeStep = World.TimeStep;
    World.TimeStep = 0.04f;
    for (int k = 1; k <= kFrameStepCount; ++k) {
      // A floating-point error in any step raises out of RunFrameStep.
      ASSERT_NO_THROW(RunFrameStep(FrameSteps[k], World)) << FrameSteps[k].Name;
    }
  }
};

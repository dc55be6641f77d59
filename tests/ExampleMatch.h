// Tests on the match world of the example input: a run folder with the
// example input as the run context, the run log emptied, the generator
// seeded with 4242 and the match set up as the program does before its first
// frame.
#pragma once

#include <gtest/gtest.h>

#include "RunFolder.h"
#include "SmallWorld.h"
#include "core/Random.h"
#include "platform/Form.h"
#include "setup/InitialisationUnit.h"

class ExampleMatchTest : public ::testing::Test {
 protected:
  RunFolder run;

  void SetUp() override {
    run.UseAsRunContext();
    Form1.Reset();
    RandSeed = 4242;
    InitialiseMatch();
  }
};

// A player standing still at (x, z), where he wants to be.
inline void PlaceStill(TPlayer& P, f32 x, f32 z) {
  Place(P, x, z);
  P.Velocity = {0.0f, 0.0f};
  P.speed = 0.0f;
}

// Running entered with block 1's Carrier at (-20, -20) running up the pitch
// at Speed (m/s); his team-mates stand spread across the pitch 5 m behind
// him, the backs (9, 11 to 15) in the line, the forwards support players;
// the defence waits 50 m away.
inline void EnterRunning(TWorld& W, int Carrier, f32 Speed) {
  W.gamestate = gsRunning;
  W.FrameGameState = gsRunning;
  W.PrevFrameGameState = gsRunning;
  W.RunningPhase = 1;
  W.TimeSinceSetPiece = 10.0f;
  W.GainLineZ = 45.0f;
  TTeamBlock& A = W.Teams[1];
  A.AttackSide = 1;
  A.BallCarrier = Carrier;
  for (int p = 1; p <= 15; ++p) {
    PlaceStill(A.Players[p], static_cast<f32>(4 * p - 30), -25.0f);
    A.Players[p].InBackline = Flag(p == 9 || p >= 11);
    PlaceStill(W.Teams[2].Players[p], static_cast<f32>(4 * p - 30), 30.0f);
  }
  PlaceStill(A.Players[Carrier], -20.0f, -20.0f);
  A.Players[Carrier].Velocity = {0.0f, Speed};
}

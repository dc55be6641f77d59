// Kicks on the example match played frame by frame through the whole
// frame-step table until the free ball ends: in a catch, in touch, in a goal
// and dead beyond the dead-ball line.
#include <gtest/gtest.h>

#include "ExampleMatch.h"
#include "app/FrameSteps.h"
#include "contact/LooseBall.h"
#include "core/BallFlight.h"

namespace {

constexpr int kKicker = 10;
constexpr int kFrames = 400;  // 16 s at 0.04 s

class FreeBallFramesTest : public ExampleMatchTest {
 protected:
  // Block 1's player 10 has just kicked from (x, z) at Speed (m/s),
  // Elevation and Heading (degrees); the rule kind of the kick is KickType.
  static void Kick(i32 KickType, f32 x, f32 z, f32 Speed, f32 Elevation, f32 Heading) {
    TWorld& W = World;
    W.PrevTimeStep = W.TimeStep;
    W.TimeStep = 0.04f;
    TTeamBlock& A = W.Teams[1];
    A.BallKicker = kKicker;
    A.Players[kKicker].Pos = {x, 0.0f, z - 1.0f};
    A.Players[kKicker].OldPos = A.Players[kKicker].Pos;
    W.KickType = KickType;
    W.BallBouncedInField = kFalse32;
    W.KickTouchFlag1 = kFalse32;
    W.KickTouchFlag2 = kFalse32;
    W.KickedFromOwn22 = kFalse32;
    W.BlocksSwapped = kTrue32;
    W.ReleasePos = {x, z};
    W.LooseBallRolling = kFalse32;
    W.PostHitTimer = 0;
    EnterFreeBall(W);
    W.BallPos = {x, 0.5f, z};
    W.PrevBallPos = W.BallPos;
    SimulateKickFlight(W, Speed, Elevation, Heading, x, 0.5f, z);
  }

  // Plays whole frames while the ball is free; returns how many.
  static int PlayWhileFree() {
    int frames = 0;
    while (World.gamestate == gsFreeBall && frames < kFrames) {
      for (int i = 1; i <= kFrameStepCount; ++i) RunFrameStep(FrameSteps[i], World);
      ++frames;
    }
    return frames;
  }
};

TEST_F(FreeBallFramesTest, AKickBetweenThePostsScoresThreeAndStopsForAKickOff) {
  const i32 before = World.Teams[1].score;
  Kick(8, 0.0f, 25.0f, 26.0f, 35.0f, 90.0f);
  const int frames = PlayWhileFree();
  EXPECT_LT(frames, kFrames);
  EXPECT_EQ(World.Teams[1].score, before + 3);
  EXPECT_EQ(World.RestartKind, 1);
  EXPECT_EQ(World.PendingGameState, gsKickRestartSet);
}

TEST_F(FreeBallFramesTest, AKickOverTheTouchLineStopsForALineout) {
  Kick(0, -20.0f, 0.0f, 18.0f, 35.0f, 20.0f);
  const int frames = PlayWhileFree();
  EXPECT_LT(frames, kFrames);
  EXPECT_EQ(World.gamestate, gsTransition);
  EXPECT_EQ(World.RestartKind, 7);
  EXPECT_EQ(World.PendingGameState, gsLineout);
  EXPECT_EQ(World.KickTouchFlag2, kTrue32);
  EXPECT_LT(World.KickTouchPos.x, -35.0f);
}

TEST_F(FreeBallFramesTest, ALongKickDeadOverTheFarDeadBallLineGivesTheOpponentsAScrumAtTheKickPoint) {
  Kick(0, 5.0f, 10.0f, 32.0f, 40.0f, 90.0f);
  const int frames = PlayWhileFree();
  EXPECT_LT(frames, kFrames);
  EXPECT_EQ(World.RestartKind, 0);
  EXPECT_EQ(World.PendingGameState, gsScrum);
  EXPECT_EQ(World.PossessionChangePending, kTrue32);
  EXPECT_EQ(World.ScrumSpot.x, 5.0f);
  EXPECT_EQ(World.ScrumSpot.z, 10.0f);
}

TEST_F(FreeBallFramesTest, APlayerWaitingWhereTheBallComesDownCatchesIt) {
  Kick(0, 0.0f, -10.0f, 14.0f, 50.0f, 90.0f);
  // The step where the falling ball passes chest height.
  int k = 2;
  while (k < 1000 && !(World.FlightPos[k].y < 1.3f && World.FlightVel[k].y < 0)) ++k;
  ASSERT_LT(k, 1000);
  TTeamBlock& D = World.Teams[2];
  const int catcher = 15;
  TPlayer& P = D.Players[catcher];
  PutAt(P, World.FlightPos[k].x, World.FlightPos[k].z);
  P.freeballcatchtimer = 10.0f;
  P.FreeBallCatchKind = 2.0f;
  P.FreeBallCatchRecoverFraction = 0.5f;
  P.CleanCatchProb = 1000;
  const int frames = PlayWhileFree();
  EXPECT_LT(frames, kFrames);
  EXPECT_EQ(World.gamestate, gsRunning);
  EXPECT_EQ(World.Teams[1].BallCarrier, catcher) << "block 2's catch: his side is block 1 now";
}

}  // namespace

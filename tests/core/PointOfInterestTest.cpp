#include "core/PointOfInterest.h"

#include <gtest/gtest.h>

#include "SmallWorld.h"

namespace {

TWorld W;

class PointOfInterestTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeSmallWorld(W);
    W.BallPos = {1, 0.5f, 2};
    W.HuddleCentre = {3, 4};
    W.MarkX = 5;
    W.MarkZ = 6;
    W.TryPos = {7, 50};
    TTeamBlock& T1 = W.Teams[1];
    T1.BallCarrier = 9;
    T1.Players[9].Pos = {-8, 0, 12};
    T1.SetPieceLineZ = -13;
    T1.RestartBallPos = {14, 0, 15};
    T1.Players[4].Pos = {16, 0, 17};
    W.Teams[2].Players[4].Pos = {-16, 0, -17};
  }

  void Expect(f32 x, f32 z, f32 radius, const char* what) {
    SetPointOfInterest(W);
    EXPECT_EQ(W.PointOfInterest.x, x) << what;
    EXPECT_EQ(W.PointOfInterest.z, z) << what;
    EXPECT_EQ(W.PointOfInterestRadius, radius) << what;
  }
};

}  // namespace

TEST_F(PointOfInterestTest, PointAndRadiusByGameState) {
  struct Case {
    TGameState state;
    f32 x, z, radius;
  };
  const Case cases[] = {
      {gsHuddle, 3, 4, 50},     {gsLeagueChamps, 0, 4, 50},   {gsRunning, -8, 12, 50},
      {gsFreeBall, 1, 2, 50},   {gsGotTackled, 5, 6, 0.5f},   {gsScrum, 5, -13, 50},
      {gsLineout, -8, 12, 50},  {gsTryScored, 7, 50, 50},     {gsKickRestartSet, 14, 15, 50},
      {gsTransition, 1, 2, 50}, {gsMaul, 0, 0, 50},           {gsReplaying, 0, 0, 50},
  };
  for (const Case& c : cases) {
    W.gamestate = c.state;
    Expect(c.x, c.z, c.radius, GameStateName(c.state));
  }
}

TEST_F(PointOfInterestTest, StateDetails) {
  W.gamestate = gsScrum;
  W.ScrumPhase = 8;  // the ball is out: its z
  Expect(5, 2, 50, "scrum after phase 7");

  W.gamestate = gsLineout;
  W.Teams[1].BallCarrier = 0;
  Expect(1, 2, 50, "lineout without a carrier");

  W.gamestate = gsTransition;
  W.TransitionBallHeld = kTrue32;
  W.TransitionHolder = 4;
  W.TransitionHolderFirstBlock = kTrue32;
  Expect(16, 17, 50, "transition, holder in block 1");
  W.TransitionHolderFirstBlock = kFalse32;
  Expect(-16, -17, 50, "transition, holder in block 2");

  // A running state without a carrier on record falls back to the ball
  // rather than reading a player who is not there.
  W.gamestate = gsRunning;
  W.Teams[1].BallCarrier = 0;
  Expect(1, 2, 50, "running without a carrier");
}

TEST_F(PointOfInterestTest, PassingRadius) {
  W.gamestate = gsPassing;
  TTeamBlock& T1 = W.Teams[1];
  T1.Passer = 3;
  T1.PassFlightTime = 1.0f;
  T1.PassFlightLeft = 0.96f;  // 0.04 s into the flight
  Expect(1, 2, 2.0f, "early in the flight");
  T1.PassFlightLeft = 0.94f;
  Expect(1, 2, 50, "after 0.06 s");
  T1.Players[3].LineOutTimer = 0.2f;  // thrown in a lineout: whatever the time left
  Expect(1, 2, 3.0f, "lineout throw");
  T1.PassFlightLeft = 0.99f;
  Expect(1, 2, 3.0f, "lineout throw, early");
}

TEST_F(PointOfInterestTest, ClampedNearThePitch) {
  W.gamestate = gsRunning;
  W.Teams[1].Players[9].Pos = {40, 0, 70};
  Expect(37, 60, 50, "beyond the right touchline and the far dead-ball line");
  W.Teams[1].Players[9].Pos = {-40, 0, -70};
  Expect(-37, -60, 50, "mirrored");
}

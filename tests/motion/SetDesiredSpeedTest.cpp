#include "motion/SetDesiredSpeedUnit.h"

#include <gtest/gtest.h>

#include <cmath>

#include "motion/MotionScene.h"

namespace {

TWorld& W = MotionWorld;

class SetDesiredSpeedTest : public MotionSceneTest {
 protected:
  static void Run() { RunStep(SetDesiredSpeed); }
};

// An arrival time T shows as a speed of 5 m/s when the player has 5 x T
// metres to go (inside the 2.6 .. 8 m/s band of the scene).
void GiveArrivalDistanceFor(TPlayer& P, double T) { P.DistToDesired = static_cast<f32>(5.0 * T); }
constexpr f32 kArrivalShowSpeed = 5.0f;

}  // namespace

TEST_F(SetDesiredSpeedTest, RunningDefenderHoldsTheLineUntilTheCarrierIsPastOrFirst) {
  struct Case {
    const char* what;
    f32 lineSpeed;
    TVector3 carrierPos;
    f32 carrierSpeed, carrierMax;
    f32 expected;
  } cases[] = {
      // Defender at (0, 8), his spot on the line (0, 5): 3 m at the line speed.
      {"carrier far and slow: the line speed, raised to 1.0", 0.5f, {20, 0, -5}, 0, 8, 1.0f},
      {"a faster line keeps its own speed", 2.5f, {20, 0, -5}, 0, 8, 2.5f},
      {"carrier reaches the spot first", 0.5f, {4, 0, 0}, 8, 8, kSceneMaxSpeed},
      {"carrier past him in z", 0.5f, {-20, 0, 9}, 0, 8, kSceneMaxSpeed},
      {"carrier past the line only, and slow", 0.5f, {30, 0, 6}, 0, 8, kSceneMaxSpeed},
      {"carrier who cannot move never gets there", 0.5f, {1, 0, 4}, 0, 0, 1.0f},
  };
  for (const Case& c : cases) {
    MakeMotionScene(W);
    W.Teams[1].BallCarrier = 10;
    Att(10).Pos = c.carrierPos;
    Att(10).speed = c.carrierSpeed;
    Att(10).maxspeed = c.carrierMax;
    W.Teams[2].DefenceLineSpeed = c.lineSpeed;
    PlaceAt(Def(3), 0, 8);
    Run();
    EXPECT_FLOAT_EQ(Def(3).desiredspeed, c.expected) << c.what;
    EXPECT_FLOAT_EQ(W.Teams[2].DefenceLineSpeed, c.lineSpeed < 1 ? 1.0f : c.lineSpeed) << c.what;
  }
}

TEST_F(SetDesiredSpeedTest, PassingDefenderBeatenByTheReceiverArrivesWithThePass) {
  struct Case {
    const char* what;
    TVector3 receiverPos;
    f32 flightLeft;
    double expected;
  } cases[] = {
      // Defender at (0, 8), 1 m from his DesiredPos (0, 7).
      {"pass 0.5 s from arriving", {4, 0, 0}, 0.5f, 1.0 / 0.5},
      {"pass about to arrive: at least 0.1 s + one step", {4, 0, 0}, 0.05f, 1.0 / (0.1 + kSceneStep)},
      {"pass already due", {4, 0, 0}, 0.0f, 1.0 / (0.1 + kSceneStep)},
      {"receiver far: the line speed", {30, 0, -20}, 0.5f, 1.5},
  };
  for (const Case& c : cases) {
    MakeMotionScene(W);
    W.gamestate = gsPassing;
    W.Teams[1].PassReceiver = 9;
    W.Teams[1].PassFlightLeft = c.flightLeft;
    Att(9).Pos = c.receiverPos;
    Att(9).speed = 8;
    PlaceAt(Def(3), 0, 8);
    Def(3).DesiredPos.z = 7;
    Run();
    EXPECT_FLOAT_EQ(Def(3).desiredspeed, static_cast<f32>(c.expected)) << c.what;
  }
}

TEST_F(SetDesiredSpeedTest, AttackerMakingAPassEasesOffOnlyWhileRunning) {
  struct Case {
    const char* what;
    TGameState state;
    int player;
    f32 speed;
    f32 expected;
  } cases[] = {
      {"running at 6 m/s", gsRunning, 4, 6.0f, 6.0f - 5.0f * kSceneStep},
      {"at 1.5 m/s", gsRunning, 4, 1.5f, 1.5f - 5.0f * kSceneStep},
      {"at 1.0 m/s: no slowing, the jog", gsRunning, 4, 1.0f, kSceneJogSpeed},
      {"the carrier in running keeps his speed", gsRunning, 10, 6.0f, 7.0f},
      {"the carrier in passing eases off too", gsPassing, 10, 6.0f, 6.0f - 5.0f * kSceneStep},
  };
  for (const Case& c : cases) {
    MakeMotionScene(W);
    W.gamestate = c.state;
    W.Teams[1].BallCarrier = 10;
    Att(10).desiredspeed = 7.0f;
    Att(c.player).passtimer = 0.3f;
    Att(c.player).speed = c.speed;
    Run();
    EXPECT_FLOAT_EQ(Att(c.player).desiredspeed, c.expected) << c.what;
  }
}

TEST_F(SetDesiredSpeedTest, SetPiecesAndRestartsRunAtTenTimesTheDistanceWithinTheBand) {
  struct State {
    TGameState state;
    f32 stageOne;  // the state's own speed for a player on his spot
  } states[] = {{gsScrum, 5.0f}, {gsLineout, 5.0f}, {gsKickRestartSet, 1.6f}, {gsTryScored, 1.6f}};
  struct Distance {
    f32 toGo;
    f32 expected;  // 0: the state's own speed
  } distances[] = {{0.5f, 5.0f}, {0.1f, 0.65f * kSceneJogSpeed}, {5.0f, kSceneMaxSpeed}, {100.0f, 0.0f}};
  for (const State& s : states)
    for (const Distance& d : distances) {
      MakeMotionScene(W);
      W.gamestate = s.state;
      W.Teams[1].BallCarrier = 10;
      Att(10).desiredspeed = 3.3f;
      Att(3).DistToDesired = d.toGo;
      Def(3).DistToDesired = d.toGo;
      Run();
      const f32 expected = d.expected != 0 ? d.expected : s.stageOne;
      EXPECT_FLOAT_EQ(Att(3).desiredspeed, expected) << int(s.state) << " " << d.toGo;
      EXPECT_FLOAT_EQ(Def(3).desiredspeed, expected) << int(s.state) << " " << d.toGo;
      EXPECT_FLOAT_EQ(Def(4).desiredspeed, s.stageOne) << int(s.state);
      if (s.state == gsScrum || s.state == gsLineout) {
        EXPECT_FLOAT_EQ(Att(10).desiredspeed, 3.3f) << "the carrier is left alone";
        EXPECT_FLOAT_EQ(Def(10).desiredspeed, 5.0f);
      }
    }
}

TEST_F(SetDesiredSpeedTest, RestartKickerChasesAndCelebrationsSlowDown) {
  W.gamestate = gsKickRestartSet;
  W.Teams[1].KickerIndex = 10;
  Att(10).ChaseSpeed = 6.0f;
  Att(4).DesiredPos.x += 5;   // 0.2 x 5 + 1.6 = 2.6 m/s
  Att(5).DesiredPos.x += 20;  // 5.6, held to the jog
  Def(6).SpecialAnimTimer = 1.0f;
  Def(6).SpecialAnimSpeed = 3.3f;
  Def(7).SpecialAnimTimer = 1.0f;
  Def(7).SpecialAnimKind = 2.0f;
  Def(7).SpecialAnimSpeed = 3.3f;
  Run();
  EXPECT_FLOAT_EQ(Att(10).desiredspeed, 6.0f);
  EXPECT_FLOAT_EQ(Att(4).desiredspeed, 2.6f);
  EXPECT_FLOAT_EQ(Att(5).desiredspeed, kSceneJogSpeed);
  EXPECT_FLOAT_EQ(Def(6).desiredspeed, 3.3f);
  EXPECT_FLOAT_EQ(Def(7).desiredspeed, 1.6f);

  // A kicker who carries the ball is skipped like any carrier.
  MakeMotionScene(W);
  W.gamestate = gsKickRestartSet;
  W.Teams[1].KickerIndex = 10;
  W.Teams[1].BallCarrier = 10;
  Att(10).ChaseSpeed = 6.0f;
  Att(10).desiredspeed = 2.0f;
  Run();
  EXPECT_FLOAT_EQ(Att(10).desiredspeed, 2.0f);

  MakeMotionScene(W);
  W.gamestate = gsTryScored;
  Att(4).CelebrateJoin = 1;
  Att(4).CelebrateStage = 1;
  Att(4).DesiredPos.x += 20;
  Att(5).CelebrateJoin = 1;
  Att(5).DesiredPos.x += 20;
  Run();
  EXPECT_FLOAT_EQ(Att(4).desiredspeed, 1.6f);  // his stage is done: 0.2 x maxspeed
  EXPECT_FLOAT_EQ(Att(5).desiredspeed, 5.6f);  // 0.2 x 20 + 1.6
}

// The flight's last step is read, never the entry after it: that entry holds
// a point of this flight only when the flight was filled on after landing
// (every other entry here, the one after the last step included, holds a
// point of an earlier flight at x -30).
TEST_F(SetDesiredSpeedTest, FreeBallReadsTheFlightsLastStepHeldToTheTable) {
  struct Case {
    const char* what;
    i32 segments;
    int entry;  // of the 1-based table
  } cases[] = {{"step 3 of 3, entry 4 left from an earlier flight", 3, 3},
               {"step 999", 999, 999},
               {"the whole table", 1000, 1000},
               {"far past: the last entry", 70000, 1000},
               {"below the table: the first entry", -9, 1}};
  for (const Case& c : cases) {
    MakeMotionScene(W);
    W.gamestate = gsFreeBall;
    W.FlightSegments = c.segments;
    for (int k = 1; k <= 1000; ++k) W.FlightPos[k].x = -30.0f;
    W.FlightPos[c.entry].x = 20.0f;
    Run();
    EXPECT_FLOAT_EQ(Att(13).desiredspeed, kSceneMaxSpeed) << c.what;  // x = 20
    EXPECT_FLOAT_EQ(Def(10).desiredspeed, kSceneMaxSpeed) << c.what;  // x = 8: 12 m off
    EXPECT_FLOAT_EQ(Att(8).desiredspeed, 0.55f * kSceneMaxSpeed) << c.what;  // x = 0
  }
}

TEST_F(SetDesiredSpeedTest, FreeBallChasersEdgesAndCatchers) {
  W.gamestate = gsFreeBall;
  W.Teams[1].ChaserSlots = {{2, 99, 5, 0, 7}};
  W.Teams[2].ChaserSlots = {{-4, 3, 0, 0, 0}};
  W.Teams[2].LeftEdgePlayer = 1;  // x = -28: far from the ball
  W.Teams[2].RightEdgePlayer = 40;
  for (int i : {2, 5, 7}) Att(i).ChaseSpeed = 6.5f;
  Att(5).freeballcatchtimer = 0.3f;
  Att(5).FreeBallCatchSpeed = 3.0f;
  Def(3).ChaseSpeed = 7.5f;
  Run();
  EXPECT_FLOAT_EQ(Att(2).desiredspeed, 6.5f);
  EXPECT_FLOAT_EQ(Att(5).desiredspeed, 3.0f);                     // catching: held to the catch speed
  EXPECT_FLOAT_EQ(Att(7).desiredspeed, kSceneMaxSpeed);  // after the list's end: not a chaser
  EXPECT_FLOAT_EQ(Def(3).desiredspeed, 7.5f);
  EXPECT_FLOAT_EQ(Def(1).desiredspeed, kSceneMaxSpeed);
  EXPECT_FLOAT_EQ(Def(2).desiredspeed, 0.55f * kSceneMaxSpeed);
}

TEST_F(SetDesiredSpeedTest, FreeBallArrivalTimesByFatigueAndSide) {
  struct Case {
    int block;
    bool tired;
    f32 acrossFromLanding;  // m
    double T;
  } cases[] = {
      {1, false, 12.5f, 0.1}, {1, false, 12.6f, 0.25}, {1, false, 17.6f, 0.5}, {1, false, 22.6f, 1.0},
      {1, false, 30.1f, 2.0}, {2, false, 30.1f, 2.0},  {1, true, 7.5f, 0.1},   {1, true, 7.6f, 1.0},
      {1, true, 12.6f, 2.0},  {1, true, 17.6f, 3.0},   {1, true, 20.1f, 4.0},  {2, true, 20.1f, 3.0},
      {2, true, 22.6f, 4.0},
  };
  for (const Case& c : cases) {
    MakeMotionScene(W);
    W.gamestate = gsFreeBall;
    W.FlightSegments = 9;
    W.FlightLandingStep = 9;
    W.FlightPos[9].x = -10.0f;
    W.FlightPos[10].x = 30.0f;  // left from an earlier flight
    TPlayer& P = W.Teams[c.block].Players[4];
    PlaceAt(P, -10.0f + c.acrossFromLanding, 0);
    P.Fatigued = c.tired ? kTrue32 : kFalse32;
    GiveArrivalDistanceFor(P, c.T);
    Run();
    EXPECT_NEAR(P.desiredspeed, kArrivalShowSpeed, 1e-5) << c.block << (c.tired ? " tired " : " fresh ")
                                                        << c.acrossFromLanding;
  }
}

TEST_F(SetDesiredSpeedTest, BreakdownArrivalTimesShareTheRestartDelay) {
  struct Case {
    const char* what;
    f32 acrossFromMark;
    f32 ruckTimer, scale, goTime;
    double attackT, defenceT;
  } cases[] = {
      {"25 m across", 25, 0, 0, 0, 1.7, 1.7},
      {"19 m", 19, 0, 0, 0, 1.5, 1.5},
      {"14 m", 14, 0, 0, 0, 1.3, 1.3},
      {"9 m", 9, 0, 0, 0, 1.1, 1.1},
      {"4 m", 4, 0, 0, 0, 0.9, 0.9},
      {"in the ruck", 25, 0.5f, 0, 0, 0.1, 0.1},
      {"scaled by half", 25, 0, 0.5f, 0, 2.55, 2.55},
      {"go time for the attacker only", 25, 0, 0, 1.0f, 0.7, 1.7},
      {"never below 0.1 s", 25, 0, 0, 100.0f, 0.1, 1.7},
  };
  for (const Case& c : cases) {
    MakeMotionScene(W);
    W.gamestate = gsGotTackled;
    W.RestartDelay = 2.0f;
    W.MarkX = -3.0f;
    for (int b = 1; b <= 2; ++b) {
      TPlayer& P = W.Teams[b].Players[4];
      PlaceAt(P, -3.0f + c.acrossFromMark, 0);
      P.RuckTimer = c.ruckTimer;
      P.ArrivalTimeScale = c.scale;
      P.ActionSeq.seqON = c.goTime != 0 ? kTrue32 : kFalse32;
      P.ActionSeq.SeqHeadValue = c.goTime;
      GiveArrivalDistanceFor(P, b == 1 ? c.attackT : c.defenceT);
    }
    Run();
    EXPECT_NEAR(Att(4).desiredspeed, kArrivalShowSpeed, 1e-5) << c.what;
    EXPECT_NEAR(Def(4).desiredspeed, kArrivalShowSpeed, 1e-5) << c.what;
  }
}

TEST_F(SetDesiredSpeedTest, DefenceArrivalTimesChaseAndTackledTables) {
  struct Case {
    const char* what;
    TGameState state;
    f32 refX, refZ;  // the carrier (running) or receiver (passing); the defender stands at z = 5
    bool refTackled, tired;
    f32 chaserTimer;
    double T;
  } cases[] = {
      {"chase, fresh, 22.5 m", gsRunning, 22.5f, 20, false, false, 0, 0.1},
      {"chase, fresh, 22.6 m", gsRunning, 22.6f, 20, false, false, 0, 1.5},
      {"chase, fresh, 30.1 m", gsRunning, -30.1f, 20, false, false, 0, 2.5},
      {"chase, tired, 12.6 m", gsRunning, 12.6f, 20, false, true, 0, 3.0},
      {"chase, tired, 17.6 m", gsRunning, 17.6f, 20, false, true, 0, 4.0},
      {"carrier not past him", gsRunning, 22.6f, -20, false, false, 0, 0.1},
      {"already chasing", gsRunning, 22.6f, 20, false, false, 0.5f, 0.1},
      {"tackled, fresh, 5.1 m", gsRunning, 5.1f, -20, true, false, 0.5f, 0.5},
      {"tackled, fresh, 10.1 m", gsRunning, 10.1f, -20, true, false, 0, 1.0},
      {"tackled, fresh, 15.1 m", gsRunning, 15.1f, -20, true, false, 0, 1.5},
      {"tackled, fresh, 20.1 m", gsRunning, 20.1f, -20, true, false, 0, 2.5},
      {"tackled, tired, 2.1 m", gsRunning, 2.1f, -20, true, true, 0, 2.0},
      {"tackled, tired, 4.1 m", gsRunning, 4.1f, -20, true, true, 0, 3.0},
      {"tackled, tired, 8.1 m", gsRunning, 8.1f, -20, true, true, 0, 4.0},
      {"tackled, tired, 12.1 m", gsRunning, 12.1f, -20, true, true, 0, 5.0},
      {"receiver past him", gsPassing, 22.6f, 20, false, false, 0, 1.5},
      {"no tackled table in passing", gsPassing, 20.1f, -20, true, false, 0, 0.1},
  };
  for (const Case& c : cases) {
    MakeMotionScene(W);
    W.gamestate = c.state;
    W.Teams[1].BallCarrier = 10;
    W.Teams[1].PassReceiver = 10;
    PlaceAt(Att(10), c.refX, c.refZ);
    Att(10).GettingTackledTimer = c.refTackled ? 0.5f : 0.0f;
    PlaceAt(Def(4), 0, 5);
    Def(4).Fatigued = c.tired ? kTrue32 : kFalse32;
    Def(4).chasertimer = c.chaserTimer;
    GiveArrivalDistanceFor(Def(4), c.T);
    Run();
    EXPECT_NEAR(Def(4).desiredspeed, kArrivalShowSpeed, 1e-5) << c.what;
  }
}

TEST_F(SetDesiredSpeedTest, ArrivalRulesStandAsideForCarrierReceiverCatchersAndTackles) {
  W.Teams[1].BallCarrier = 10;
  W.Teams[1].PassReceiver = 9;
  Att(10).passtimer = 0.2f;
  Att(10).desiredspeed = 7.0f;
  Att(9).desiredspeed = 1.0f;
  W.Teams[1].ReceiverRunSpeed = 6.0f;
  Att(8).passcatchtimer = 0.4f;
  for (int i : {8, 9, 10}) Att(i).DistToDesired = 0.5f;
  Att(7).DistToDesired = 0.5f;  // 0.5 m in one step: flat out
  Def(5).TackleAttemptTimer = 0.3f;
  Def(5).DistToDesired = 0.01f;
  Def(6).DistToDesired = 0.01f;
  Run();
  EXPECT_FLOAT_EQ(Att(10).desiredspeed, 7.0f);
  EXPECT_FLOAT_EQ(Att(9).desiredspeed, 6.0f);
  EXPECT_FLOAT_EQ(Att(8).desiredspeed, kSceneJogSpeed);
  EXPECT_FLOAT_EQ(Att(7).desiredspeed, kSceneMaxSpeed);
  EXPECT_FLOAT_EQ(Def(5).desiredspeed, 1.5f);  // the line speed
  EXPECT_FLOAT_EQ(Def(6).desiredspeed, 0.65f * kSceneJogSpeed);
}

TEST_F(SetDesiredSpeedTest, SequenceOverrideBlockAndFullSpeedOrders) {
  W.Teams[1].BallCarrier = 10;
  Att(10).desiredspeed = 3.0f;
  auto runEvent = [](TPlayer& P, int index, i32 type, f32 speed) {
    P.ActionSeq.seqON = kTrue32;
    P.ActionSeq.CurrEventIndex = index;
    if (index >= 1 && index <= 10) {
      P.ActionSeq.EventArray[index].EventType = type;
      P.ActionSeq.EventArray[index].DesSpeed = speed;
    }
  };
  runEvent(Att(2), 2, 0, 9.5f);   // above maxspeed: the sequence has the last word
  runEvent(Att(3), 2, 3, 9.5f);   // not a plain run
  runEvent(Att(4), 11, 0, 9.5f);  // no such event
  runEvent(Att(5), -1, 0, 9.5f);
  runEvent(Att(10), 1, 0, 9.5f);  // the carrier's speed is not the sequence's
  Att(6).SpeedOverrideOn = kTrue32;
  Att(6).SpeedOverride = 2.2f;
  Att(7).BlockEngaged = {{1, 1}};
  runEvent(Att(11), 1, 0, 3.0f);
  Att(11).ActionSeq.EventArray[1].lookForBlocks = kTrue32;
  Att(11).BlockReady = 1;
  runEvent(Def(2), 1, 0, 6.1f);
  Def(3).FullSpeedOrder = 1;
  Def(4).BlockEngaged = {{1, 0}};
  Run();
  EXPECT_FLOAT_EQ(Att(2).desiredspeed, 9.5f);
  EXPECT_FLOAT_EQ(Att(3).desiredspeed, kSceneJogSpeed);
  EXPECT_FLOAT_EQ(Att(4).desiredspeed, kSceneJogSpeed);
  EXPECT_FLOAT_EQ(Att(5).desiredspeed, kSceneJogSpeed);
  EXPECT_FLOAT_EQ(Att(10).desiredspeed, 3.0f);
  EXPECT_FLOAT_EQ(Att(6).desiredspeed, 2.2f);
  EXPECT_FLOAT_EQ(Att(7).desiredspeed, kSceneMaxSpeed);
  EXPECT_FLOAT_EQ(Att(11).desiredspeed, kSceneMaxSpeed);
  EXPECT_FLOAT_EQ(Def(2).desiredspeed, 6.1f);
  EXPECT_FLOAT_EQ(Def(3).desiredspeed, kSceneMaxSpeed);
  EXPECT_FLOAT_EQ(Def(4).desiredspeed, 1.5f);

  // Out of open play the block and full-speed orders do not count.
  W.gamestate = gsGotTackled;
  Run();
  EXPECT_FLOAT_EQ(Att(7).desiredspeed, kSceneJogSpeed);
  EXPECT_FLOAT_EQ(Def(3).desiredspeed, kSceneJogSpeed);
}

TEST_F(SetDesiredSpeedTest, UsersPlayersKeepTheUsersSpeed) {
  Att(4).ControllingUser = 1;
  Def(6).ControllingUser = 2;
  UDPRealtime.Users[2].Buttons[2] = kTrue32;  // sprint
  Run();
  EXPECT_FLOAT_EQ(Att(4).desiredspeed, 0.75f * kSceneMaxSpeed);
  EXPECT_FLOAT_EQ(Def(6).desiredspeed, kSceneMaxSpeed);
  EXPECT_FLOAT_EQ(Att(5).desiredspeed, kSceneJogSpeed);
  EXPECT_FLOAT_EQ(Def(5).desiredspeed, 1.5f);
}

TEST_F(SetDesiredSpeedTest, PlayerNumbersThatNameNobodyAreNone) {
  for (int s = 0; s <= 25; ++s) {
    MakeMotionScene(W);
    W.gamestate = static_cast<TGameState>(s);
    W.TimeStep = 0.0f;  // no time at all to arrive
    TTeamBlock& A = W.Teams[1];
    A.BallCarrier = 26;
    A.PassReceiver = -1;
    A.SetPieceHolder = 300;
    A.KickerIndex = 40;
    A.ChaserSlots = {{30, -2, 0, 0, 0}};
    W.Teams[2].ChaserSlots = {{26, 0, 0, 0, 0}};
    W.Teams[2].LeftEdgePlayer = 99;
    W.Teams[2].RightEdgePlayer = -5;
    W.FlightSegments = -7;
    W.FlightLandingStep = 5000;
    for (TTeamBlock& B : W.Teams) {
      B.Players[3].DistToDesired = 0.0f;
      B.Players[4].DistToDesired = 5.0f;
      B.Players[5].passtimer = 1.0f;
    }
    Run();
    for (TTeamBlock& B : W.Teams)
      for (int i = 1; i <= 15; ++i) EXPECT_TRUE(std::isfinite(B.Players[i].desiredspeed)) << s << " " << i;
  }
}

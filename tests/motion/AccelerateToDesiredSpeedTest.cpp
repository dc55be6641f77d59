#include "motion/AccelerateToDesiredSpeedUnit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

#include "app/Datagrams.h"
#include "app/UDPCommands.h"
#include "core/DrawCount.h"
#include "motion/MotionScene.h"

namespace {

TWorld& W = MotionWorld;

// A player who ran at Measured m/s along +z last frame and has ToGo metres
// left to his spot straight ahead.
void Running(TPlayer& P, f32 Measured, f32 ToGo) {
  P.OldPos = P.Pos;
  P.OldPos.z = P.Pos.z - Measured * kSceneStep;
  P.DesiredPos = P.Pos;
  P.DesiredPos.z = P.Pos.z + ToGo;
}

f32 Radians(double degrees) { return static_cast<f32>(degrees * std::numbers::pi / 180.0); }

class AccelerateToDesiredSpeedTest : public MotionSceneTest {
 protected:
  static void Run() { RunStep(AccelerateToDesiredSpeed); }
};

}  // namespace

TEST_F(AccelerateToDesiredSpeedTest, SlowingDownIsAtOnceSpeedingUpTakesAcceleration) {
  constexpr f32 kGain = kSceneAccel * kSceneStep;  // 0.16 m/s a frame
  struct Case {
    const char* what;
    TGameState state;
    f32 measured, desired;
    u16 scrimmage;
    const char* anim;
    i16 engaged;
    f32 expected;
    u16 scrimmageAfter;
  } cases[] = {
      {"slowing down", gsRunning, 6, 2, 0, "run", 0, 2, 0},
      {"speeding up", gsRunning, 2, 8, 0, "run", 0, 2 + kGain, 0},
      {"no further than desired", gsRunning, 2, 2.1f, 0, "run", 0, 2.1f, 0},
      {"scrimmage setting", gsRunning, 2, 8, 3, "srimmagesetting3", 0, 2 + 1.5f * kGain, 3},
      {"scrimmage breath loop", gsPassing, 2, 8, 5, "srimmagebreathloop5", 0, 2 + 1.5f * kGain, 5},
      {"scrimmage off the line", gsFreeBall, 2, 8, 1, "srimmageofftheline1", 0, 2 + 1.5f * kGain, 1},
      {"another scrimmage's animation: number cleared", gsRunning, 2, 8, 3, "srimmagesetting2", 0, 2 + kGain, 0},
      {"animation over: number cleared", gsRunning, 2, 8, 3, "run", 0, 2 + kGain, 0},
      {"out of open play the number stays", gsGotTackled, 2, 8, 3, "run", 0, 2 + kGain, 3},
      {"slowing down leaves the number", gsRunning, 6, 2, 3, "run", 0, 2, 3},
      {"number 6 is none", gsRunning, 2, 8, 6, "srimmagesetting6", 0, 2 + kGain, 6},
      {"engaged in a block", gsRunning, 2, 8, 0, "run", 1, 2 + 2 * kGain, 0},
      {"a block beats a scrimmage", gsRunning, 2, 8, 3, "srimmagesetting3", 1, 2 + 2 * kGain, 3},
  };
  for (const Case& c : cases)
    for (int b = 1; b <= 2; ++b) {
      MakeMotionScene(W);
      W.gamestate = c.state;
      TPlayer& P = W.Teams[b].Players[4];
      Running(P, c.measured, 50);
      P.desiredspeed = c.desired;
      P.ScrimmageNumber = c.scrimmage;
      P.currentAnim.Assign(c.anim);
      P.BlockEngaged = {{c.engaged, c.engaged}};
      Run();
      EXPECT_NEAR(P.speed, c.expected, 1e-4) << c.what << ", block " << b;
      EXPECT_EQ(P.ScrimmageNumber, c.scrimmageAfter) << c.what << ", block " << b;
    }
}

TEST_F(AccelerateToDesiredSpeedTest, TurnsBeyondTwelveAndAHalfDegreesCapTheSpeed) {
  constexpr f32 kGain = kSceneAccel * kSceneStep;
  struct Case {
    const char* what;
    double turn;  // degrees
    f32 slope, shimmy;
    f32 expected;
    f32 ran = 8;  // m/s in the last frame
  } cases[] = {
      // Capped below the desired 8 m/s, he speeds up again by 0.16 m/s.
      {"12 degrees cost nothing", 12, -1, 0, 8},
      {"20 degrees at slope -1: 80 %", 20, -1, 0, 6.4f + kGain},
      {"50 degrees at slope -1: half", 50, -1, 0, 4 + kGain},
      {"50 degrees at slope -3: stop", 50, -3, 0, kGain},
      {"side-stepping: no cap", 50, -1, 0.5f, 8},
      {"a jogger under the cap keeps his speed", 50, -1, 0, 3 + kGain, 3},
      {"a jogger just over it is capped", 50, -1, 0, 4 + kGain, 4.01f},
      {"a hair beyond the free amount caps", 12.505, -1, 0, 8 * 0.87495f + kGain},
      {"a hair within it caps nothing", 12.495, -1, 0, 8},
  };
  for (const Case& c : cases) {
    MakeMotionScene(W);
    TPlayer& P = Def(4);
    Running(P, c.ran, 50);
    P.desiredspeed = 8;
    P.PrevFacingAngle = Radians(100);
    P.FacingAngle = Radians(100 + c.turn);
    P.SpeedLossSlope = c.slope;
    P.shimmytimer = c.shimmy;
    P.ShimmySpeed = 9;
    Run();
    EXPECT_NEAR(P.speed, c.expected, 1e-4) << c.what;
  }
}

// A facing that is not a number still raises its float error.
TEST_F(AccelerateToDesiredSpeedTest, TurnFromAFacingNotANumberRaises) {
  for (const bool before : {false, true}) {
    MakeMotionScene(W);
    Running(Def(4), 5, 50);
    (before ? Def(4).PrevFacingAngle : Def(4).FacingAngle) = std::numeric_limits<f32>::quiet_NaN();
    ClearFloatFlags();
    AccelerateToDesiredSpeed(W);
    EXPECT_TRUE(FloatErrorRaised()) << before;
  }
}

TEST_F(AccelerateToDesiredSpeedTest, PlayerWithinOneStepGetsTheSpeedThatLandsHimOnHisSpot) {
  Running(Att(4), 8, 0.25f);
  Att(4).desiredspeed = 8;
  Running(Def(4), 2, 0.0f);
  Def(4).desiredspeed = 8;
  Run();
  EXPECT_FLOAT_EQ(Att(4).speed, 0.25f / kSceneStep);
  EXPECT_FLOAT_EQ(Def(4).speed, 0.0f);
  EXPECT_FLOAT_EQ(Att(4).DistToDesired, 0.25f);
}

TEST_F(AccelerateToDesiredSpeedTest, ForcedSpeedsOfTacklesBlocksMarkersRucksAndSideSteps) {
  // Without a forced speed: 2 m/s measured, desired 8, 50 m to go.
  constexpr f32 kFree = 2 + kSceneAccel * kSceneStep;
  struct Case {
    const char* what;
    void (*setup)(TPlayer& P, TPlayer& Marker);
    f32 toGo;
    f32 attacker, defender;
  } cases[] = {
      {"being tackled", [](TPlayer& P, TPlayer&) { P.GettingTackledTimer = 0.5f, P.GettingTackledSpeed = 1.2f; },
       50, 1.2f, 1.2f},
      {"tackling, over being tackled",
       [](TPlayer& P, TPlayer&) {
         P.GettingTackledTimer = 0.5f, P.GettingTackledSpeed = 1.2f;
         P.TackleAttemptTimer = 0.5f, P.TackleAttemptSpeed = 3.4f;
       },
       50, 3.4f, 3.4f},
      {"got past in a block", [](TPlayer& P, TPlayer&) { P.BlockExitedOnTimer = 0.5f, P.BlockExitedOnSpeed = 0.7f; },
       50, 0.7f, 0.7f},
      {"governed, near: onto his spot", [](TPlayer& P, TPlayer& M) { P.governedby = 6, M.numgoverning = 1; }, 0.25f,
       6.25f, 6.25f},
      {"governed, far: maxspeed", [](TPlayer& P, TPlayer& M) { P.governedby = 6, M.numgoverning = 1; }, 50, 8, 8},
      {"governed by a tackled marker",
       [](TPlayer& P, TPlayer& M) {
         P.governedby = 6, M.numgoverning = 1;
         M.GettingTackledTimer = 0.5f, M.GettingTackledSpeed = 1.0f;
       },
       50, 1.75f, 3.25f},
      {"marker governs nobody", [](TPlayer& P, TPlayer&) { P.governedby = 6; }, 50, kFree, kFree},
      {"marker number names nobody", [](TPlayer& P, TPlayer&) { P.governedby = 40; }, 50, kFree, kFree},
      {"ruck role 0", [](TPlayer& P, TPlayer&) { P.RuckTimer = 1, P.RuckRole = 0; }, 0.1f, kFree, kFree},
      {"ruck role 1", [](TPlayer& P, TPlayer&) { P.RuckTimer = 1, P.RuckRole = 1; }, 0.1f, kFree, kFree},
      {"ruck role 60", [](TPlayer& P, TPlayer&) { P.RuckTimer = 1, P.RuckRole = 60; }, 0.1f, kFree, kFree},
      {"ruck role 61", [](TPlayer& P, TPlayer&) { P.RuckTimer = 1, P.RuckRole = 61; }, 0.1f, kFree, kFree},
      {"ruck role 2, near", [](TPlayer& P, TPlayer&) { P.RuckTimer = 1, P.RuckRole = 2; }, 0.125f, 3.125f, 3.125f},
      {"ruck role 2, far", [](TPlayer& P, TPlayer&) { P.RuckTimer = 1, P.RuckRole = 2; }, 50, 8, 8},
      {"side-step", [](TPlayer& P, TPlayer&) { P.shimmytimer = 0.3f, P.ShimmySpeed = 1.5f; }, 50, 1.5f, 1.5f},
  };
  for (const Case& c : cases)
    for (int b = 1; b <= 2; ++b) {
      MakeMotionScene(W);
      TPlayer& P = W.Teams[b].Players[4];
      TPlayer& M = W.Teams[3 - b].Players[6];
      Running(P, 2, c.toGo);
      P.desiredspeed = 8;
      c.setup(P, M);
      Run();
      EXPECT_NEAR(P.speed, b == 1 ? c.attacker : c.defender, 1e-5) << c.what << ", block " << b;
    }
}

TEST_F(AccelerateToDesiredSpeedTest, RuckAccelerationHelpedByTheAssistLevelOnlyInRealTimeMode) {
  struct Case {
    const char* what;
    TGameState state;
    f32 ruckTimer;
    bool active;
    const char* level;  // as the datagram sends it
    f32 expected;
  } cases[] = {
      {"normal match, level 1", gsGotTackled, 1, false, "1", 0.7f * kSceneAccel},
      {"normal match, a datagram sent 5", gsGotTackled, 1, false, "5", 0.7f * kSceneAccel},
      {"normal match, a datagram sent 1000", gsGotTackled, 1, false, "1000", 0.7f * kSceneAccel},
      {"real time, level 3", gsGotTackled, 1, true, "3", 1.1f * kSceneAccel},
      {"real time, level 5", gsGotTackled, 1, true, "5", 1.5f * kSceneAccel},
      {"real time, level 1000: no help", gsGotTackled, 1, true, "1000", 0.7f * kSceneAccel},
      {"real time, level 0: no help", gsGotTackled, 1, true, "0", 0.7f * kSceneAccel},
      {"real time, level -4: no help", gsGotTackled, 1, true, "-4", 0.7f * kSceneAccel},
      {"not in the ruck", gsGotTackled, 0, true, "5", kSceneAccel},
      {"ruck timer outside the breakdown", gsRunning, 1, true, "5", kSceneAccel},
  };
  for (const Case& c : cases) {
    MakeMotionScene(W);
    SetUDPRealtimeDefaults();
    std::vector<std::string> fields(49, "0");
    fields[0] = "1";  // a granted frame
    fields[48] = c.level;
    const std::string d = Join(fields);
    ReceiveUDPCommand("127.0.0.1", 2504, d.data(), static_cast<i32>(d.size()));
    ASSERT_EQ(UDPRealtime.UserLevel, std::stoi(c.level)) << c.what;
    UDPRealtime.Active = c.active ? kTrue32 : kFalse32;
    W.gamestate = c.state;
    for (int b = 1; b <= 2; ++b) {
      TPlayer& P = W.Teams[b].Players[4];
      P.RuckTimer = c.ruckTimer;
      Running(P, 2, 50);
      P.desiredspeed = 8;
    }
    Run();
    for (int b = 1; b <= 2; ++b) {
      const TPlayer& P = W.Teams[b].Players[4];
      EXPECT_FLOAT_EQ(P.Acceleration, c.expected) << c.what;
      EXPECT_NEAR(P.speed, 2 + c.expected * kSceneStep, 1e-5) << c.what;
    }
  }
}

TEST_F(AccelerateToDesiredSpeedTest, DefendersStartOpenPlayAfterASetPieceAtAShareOfTheirSpeed) {
  struct Case {
    const char* what;
    TGameState state, previous;
    f32 shimmy;
    f32 expected;
  } cases[] = {
      {"after a breakdown", gsRunning, gsGotTackled, 0, 6 + kSceneAccel * kSceneStep},
      {"after a scrum, side-stepping", gsPassing, gsScrum, 0.3f, 2 + kSceneAccel * kSceneStep},
      {"after a lineout", gsPassing, gsLineout, 0, 6 + kSceneAccel * kSceneStep},
      {"after a free ball", gsRunning, gsFreeBall, 0, 8 + kSceneAccel * kSceneStep},
      {"in a free ball", gsFreeBall, gsScrum, 0, 8 + kSceneAccel * kSceneStep},
  };
  for (const Case& c : cases) {
    MakeMotionScene(W);
    W.gamestate = c.state;
    W.PrevFrameGameState = c.previous;
    for (int b = 1; b <= 2; ++b) {
      TPlayer& P = W.Teams[b].Players[4];
      Running(P, 8, 50);
      P.desiredspeed = 9;
      P.shimmytimer = c.shimmy;
      P.ShimmySpeed = 9;
    }
    Run();
    EXPECT_NEAR(Def(4).speed, c.expected, 1e-4) << c.what;
    EXPECT_NEAR(Att(4).speed, 8 + kSceneAccel * kSceneStep, 1e-4) << c.what << ": attackers carry on";
  }
}

TEST_F(AccelerateToDesiredSpeedTest, CarrierKeepsHisSpeedButGetsHisDistanceAndFatigue) {
  W.Teams[1].BallCarrier = 4;
  TPlayer& C = Att(4);
  Running(C, 2, 3);
  C.speed = 5.5f;
  C.desiredspeed = 8;
  C.ScrimmageNumber = 2;
  C.GettingTackledTimer = 1;
  C.FatigueTimer = 0.01f;
  Run();
  EXPECT_FLOAT_EQ(C.speed, 5.5f);
  EXPECT_EQ(C.ScrimmageNumber, 2);
  EXPECT_FLOAT_EQ(C.DistToDesired, 3.0f);
  EXPECT_NE(C.Fatigued, 0);
  EXPECT_FLOAT_EQ(C.maxspeed, 0.975f * kSceneMaxSpeed);
}

TEST_F(AccelerateToDesiredSpeedTest, OnlyTheCarriersRunIsLeftUnmeasured) {
  // A run too long for a float measures as an overflow: left unmeasured for
  // the carrier, it raises nothing; measured for any other player it must
  // still raise.
  for (int b = 1; b <= 2; ++b)
    for (const i32 carrier : {4, 5}) {
      MakeMotionScene(W);
      W.Teams[1].BallCarrier = carrier;
      TPlayer& P = W.Teams[b].Players[4];
      Running(P, 2, 3);
      P.speed = 5.5f;
      P.OldPos.x = -3e38f;
      P.Pos.x = P.DesiredPos.x = 3e38f;
      ClearFloatFlags();
      AccelerateToDesiredSpeed(W);
      const bool unmeasured = b == 1 && carrier == 4;
      EXPECT_EQ(FloatErrorRaised(), !unmeasured) << "block " << b << ", carrier " << carrier;
      if (unmeasured) {
        EXPECT_FLOAT_EQ(P.speed, 5.5f);
      }
      EXPECT_FLOAT_EQ(P.DistToDesired, 3.0f) << "block " << b << ", carrier " << carrier;
    }
}

TEST_F(AccelerateToDesiredSpeedTest, FatigueSpellsByStateAndLevelWithOneDrawEach) {
  struct Case {
    const char* what;
    TGameState state;
    bool tired;
    i16 level;
    f32 timer;
    bool ends;
    i16 levelAfter;
    f32 maxAfter;
  } cases[] = {
      {"fresh, running: counts down", gsRunning, false, 0, 0.5f, false, 0, 8},
      {"fresh spell ends: level 1", gsRunning, false, 0, 0.03f, true, 1, 0.975f * 8},
      {"second tired spell", gsPassing, false, 1, 0.04f, true, 2, 0.95f * 8},
      {"third", gsRunning, false, 2, 0.0f, true, 3, 0.925f * 8},
      {"fourth", gsRunning, false, 3, -1.0f, true, 4, 0.9f * 8},
      {"tenth", gsRunning, false, 9, 0.01f, true, 10, 0.9f * 8},
      {"a level below 0 starts again at 1", gsRunning, false, -3, 0.01f, true, 1, 0.975f * 8},
      {"fresh in a scrum: no count", gsScrum, false, 0, 0.01f, false, 0, 8},
      {"fresh in free ball: no count", gsFreeBall, false, 0, 0.01f, false, 0, 8},
      {"tired in a scrum: counts down", gsScrum, true, 2, 0.5f, false, 2, 7},
      {"tired spell ends in a lineout", gsLineout, true, 2, 0.01f, true, 2, 8},
      {"tired spell ends, level 0 read as 1", gsGotTackled, true, 0, 0.01f, true, 1, 8},
  };
  for (const Case& c : cases) {
    MakeMotionScene(W);
    W.gamestate = c.state;
    TPlayer& P = Def(7);
    P.Fatigued = c.tired ? kTrue32 : kFalse32;
    P.FatigueLevel = c.level;
    P.FatigueTimer = c.timer;
    P.maxspeed = c.tired ? 7.0f : 8.0f;
    const u32 seed = RandSeed;
    Run();
    EXPECT_EQ(DrawsSince(seed), c.ends ? 1 : 0) << c.what;
    EXPECT_EQ(P.FatigueLevel, c.levelAfter) << c.what;
    EXPECT_FLOAT_EQ(P.maxspeed, c.maxAfter) << c.what;
    if (!c.ends) {
      EXPECT_EQ(P.Fatigued != 0, c.tired) << c.what;
      EXPECT_FLOAT_EQ(P.FatigueTimer, c.timer - (c.state == gsRunning || c.state == gsPassing || c.tired
                                                     ? kSceneStep
                                                     : 0.0f))
          << c.what;
      continue;
    }
    EXPECT_EQ(P.Fatigued != 0, !c.tired) << c.what;
    RandSeed = seed;
    const double extra = c.tired ? RandomRange(1, 6) : RandomRange(1, 11);
    const double base = c.tired ? 60.0 / c.levelAfter : 20.0 * c.levelAfter;
    EXPECT_FLOAT_EQ(P.FatigueTimer, static_cast<f32>(base + extra)) << c.what;
    EXPECT_GE(extra, 1) << c.what;
    EXPECT_LE(extra, c.tired ? 5 : 10) << c.what;
  }
}

TEST_F(AccelerateToDesiredSpeedTest, SpellsEndInPlayerOrderBlockOneFirst) {
  // Spells of players 3 (block 1), 2 (block 2) and 3 (block 2) end: draws
  // go to block 2's player 2, then block 1's 3, then block 2's 3.
  for (TPlayer* P : {&Def(2), &Att(3), &Def(3)}) P->FatigueTimer = 0.01f;
  RandSeed = 99;
  Run();
  RandSeed = 99;
  const int first = RandomRange(1, 11), second = RandomRange(1, 11), third = RandomRange(1, 11);
  EXPECT_FLOAT_EQ(Def(2).FatigueTimer, 20.0f + first);
  EXPECT_FLOAT_EQ(Att(3).FatigueTimer, 20.0f + second);
  EXPECT_FLOAT_EQ(Def(3).FatigueTimer, 20.0f + third);
}

TEST_F(AccelerateToDesiredSpeedTest, NoFloatErrorWithoutTimeOrOnTheSpot) {
  for (int s = 0; s <= 25; ++s) {
    MakeMotionScene(W);
    W.gamestate = static_cast<TGameState>(s);
    W.PrevFrameGameState = gsGotTackled;
    W.TimeStep = 0.0f;
    W.PrevTimeStep = 0.0f;
    W.Teams[1].BallCarrier = 31;
    for (int b = 1; b <= 2; ++b) {
      TTeamBlock& B = W.Teams[b];
      B.Players[2].governedby = 5;
      B.Players[3].governedby = 5;
      B.Players[3].DesiredPos.x += 2;
      W.Teams[3 - b].Players[5].numgoverning = 1;
      B.Players[4].RuckTimer = 1;
      B.Players[4].RuckRole = 7;
      B.Players[6].RuckTimer = 1;
      B.Players[6].RuckRole = 7;
      B.Players[6].DesiredPos.z += 1;
      B.Players[8].desiredspeed = 3;
      B.Players[8].PrevFacingAngle = 2;
    }
    Run();
    for (int b = 1; b <= 2; ++b)
      for (int i = 1; i <= 15; ++i)
        EXPECT_TRUE(std::isfinite(W.Teams[b].Players[i].speed)) << s << " " << b << " " << i;
    EXPECT_FLOAT_EQ(Att(3).speed, kSceneMaxSpeed) << s;  // no time: at once, but at most flat out
    EXPECT_FLOAT_EQ(Att(2).speed, 0.0f) << s;            // already there
  }
}

#include "decision/CarrierBreak.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "AllocationCounter.h"
#include "decision/BallCarrierDecision.h"
#include "decision/CarrierActionScene.h"

namespace {

using namespace carrier_scene;

constexpr u32 kSeed = 6401;
constexpr int kOnlyFree = 5;  // the one defender left free by FreeOnly

TWorld W;
TWorld Before;

TPlayer& C() { return Carrier(W); }
TActionEvent& E() { return Event(W); }
TPlayer& Defender(int p) { return W.Teams[2].Players[p]; }

// Every opponent but number P is busy with a forced run.
void FreeOnly(int P) {
  for (int p = 1; p <= 25; ++p) Defender(p).ForcedRunTimer = p == P ? 0.0f : 1.0f;
}

// Defender kOnlyFree, alone free, Distance m away at bearing B (degrees,
// 90 straight ahead) of the carrier, who faces heading -90.
void DefenderAtBearing(double B, double Distance = 3.0) {
  FreeOnly(kOnlyFree);
  const TDirection u = HeadingDirection(B - 180.0);
  PlaceAt(Defender(kOnlyFree), Distance * u.x, Distance * u.z);
}

int Decide() { return RunSection(DecideBreak, W); }
bool Started() { return C().BreakTackleTimer == 10.0f; }

class CarrierBreakTest : public ::testing::Test {
 protected:
  void SetUp() override { MakeScene(W, kSeed, 10); }
};

// ------------------------------------------------------------------ entry and guard

TEST_F(CarrierBreakTest, BreakEventsStartWhenPressedEnough) {
  struct Case {
    const char* what;
    i32 type;
    f32 timeToContact;
    bool started;
  } cases[] = {
      {"kind 10 breaks at once", 10, 10000.0f, true},
      {"kind 11 breaks under pressure", 11, 0.3f, true},
      {"kind 11 at the least f32 not below 0.325 s waits", 11, std::nextafter(0.325f, 1.0f), false},
      {"kind 11 at 0.325f (0.32499999) is below 0.325 s", 11, 0.325f, true},
      {"kind 11 far from contact waits", 11, 10000.0f, false},
      {"a side-step event is not a break", 8, 0.1f, false},
      {"a kick event is not a break", 5, 0.1f, false},
  };
  for (const Case& c : cases) {
    MakeScene(W, kSeed, c.type);
    W.Teams[1].TimeToContact = c.timeToContact;
    Decide();
    EXPECT_EQ(Started(), c.started) << c.what;
  }
}

TEST_F(CarrierBreakTest, AnotherActionOrNoEventLeavesTheWorldUnchanged) {
  struct Case {
    const char* what;
    void (*set)();
  } cases[] = {
      {"pass", [] { C().passtimer = 0.1f; }},
      {"catching", [] { C().passcatchtimer = 0.1f; }},
      {"dive", [] { C().DiveTimer = 0.1f; }},
      {"getting up", [] { C().standuptimer = 0.1f; }},
      {"break", [] { C().BreakTackleTimer = 0.1f; }},
      {"being tackled", [] { C().GettingTackledTimer = 0.1f; }},
      {"loose-ball catch", [] { C().freeballcatchtimer = 0.1f; }},
      {"forced run", [] { C().ForcedRunTimer = 0.1f; }},
      {"step", [] { C().StepTimer = 0.1f; }},
      {"special action of kind 3", [] { C().SpecialAnimTimer = 0.1f, C().SpecialAnimKind = 3.0f; }},
      {"no event in force", [] { C().ActionSeq.CurrEventIndex = 0; }},
      {"an event index beyond the record", [] { C().ActionSeq.CurrEventIndex = 11; }},
      {"no carrier on the field", [] { W.Teams[1].BallCarrier = 16; }},
  };
  for (const Case& c : cases) {
    MakeScene(W, kSeed, 10);
    c.set();
    std::memcpy(&Before, &W, sizeof W);
    EXPECT_EQ(Decide(), 0) << c.what;
    EXPECT_EQ(std::memcmp(&Before, &W, sizeof W), 0) << c.what;
    EXPECT_EQ(Form1.Memo2.Count(), 0u) << c.what;
  }
}

TEST_F(CarrierBreakTest, ACatchTheSideAllowsOrAKickOrOtherSpecialActionDoesNotHoldHimBack) {
  struct Case {
    const char* what;
    void (*set)();
  } cases[] = {
      {"catching with ActOnCatchAllowed 1", [] { C().passcatchtimer = 0.1f, W.Teams[1].ActOnCatchAllowed = 1; }},
      {"a kick under way", [] { C().KickTimer = 0.1f; }},
      {"a special action of kind 2", [] { C().SpecialAnimTimer = 0.1f, C().SpecialAnimKind = 2.0f; }},
  };
  for (const Case& c : cases) {
    MakeScene(W, kSeed, 10);
    c.set();
    Decide();
    EXPECT_TRUE(Started()) << c.what;
    EXPECT_EQ(C().passcatchtimer, 0.0f) << c.what;
  }
}

// ------------------------------------------------------------------ start

TEST_F(CarrierBreakTest, TheStartTakesTheEventsAngleOrHisFacing) {
  DefenderAtBearing(90.0);
  E().Angle = 75.0f;
  C().speed = 6.0f;
  Decide();
  EXPECT_EQ(E().Complete, kTrue32);
  EXPECT_EQ(C().BreakAngle, 75.0f);
  EXPECT_EQ(C().BreakFacing, 75.0f);

  MakeScene(W, kSeed, 10);
  DefenderAtBearing(150.0);
  C().ActionSeq.seqON = kFalse32;
  C().speed = 6.0f;
  Decide();
  EXPECT_TRUE(Started());
  EXPECT_EQ(E().Complete, kFalse32) << "without a sequence the event stays";
  EXPECT_EQ(C().BreakAngle, -90.0f) << "his facing heading";
  EXPECT_EQ(C().BreakFacing, -90.0f);
  EXPECT_EQ(C().ActionCode, 7.0f);
  EXPECT_EQ(C().BreakSpeed, static_cast<f32>(0.85 * 6.0));
}

TEST_F(CarrierBreakTest, TheBearingOfTheDefenderGivesTheCodeAndTheChargeItsSpeed) {
  struct Case {
    double bearing;
    f32 code;
    f32 speedStanding, speedFast;  // m/s from 0 and from 8 m/s
  } cases[] = {
      {60.0, 1.0f, 4.0f, 4.0f},  {90.0, 2.0f, 3.0f, 3.0f},   {120.0, 3.0f, 4.0f, 4.0f},
      {150.0, 7.0f, 3.0f, 6.8f}, {180.0, 8.0f, 3.0f, 6.8f},  {200.0, 9.0f, 3.0f, 6.8f},
      {225.0, 9.0f, 3.0f, 6.8f}, {270.0, 10.0f, 3.0f, 6.8f}, {330.0, 6.0f, 3.0f, 6.8f},
      {0.0, 5.0f, 3.0f, 6.8f},   {350.0, 5.0f, 3.0f, 6.8f},  {10.0, 5.0f, 3.0f, 6.8f},
      {30.0, 4.0f, 3.0f, 6.8f},  {45.0, 4.0f, 3.0f, 6.8f},
  };
  for (const Case& c : cases) {
    for (f32 speed : {0.0f, 8.0f}) {
      MakeScene(W, kSeed, 10);
      DefenderAtBearing(c.bearing);
      C().speed = speed;
      EXPECT_EQ(Decide(), 0) << c.bearing;
      EXPECT_EQ(C().ActionCode, c.code) << c.bearing;
      EXPECT_FLOAT_EQ(C().BreakSpeed, speed == 0 ? c.speedStanding : c.speedFast) << c.bearing << " from " << speed;
    }
  }
}

TEST_F(CarrierBreakTest, TheDefenderToBeatIsTheFreeOneSoonestToThePointAhead) {
  // The point is 0.5 m ahead along the event's heading 90: (0, 0.5).
  struct Case {
    const char* what;
    void (*set)();
    f32 code;
  } cases[] = {
      {"the nearer of two equal runners (behind him: 10)",
       [] {
         FreeOnly(0);
         Defender(3).ForcedRunTimer = Defender(4).ForcedRunTimer = 0.0f;
         PlaceAt(Defender(3), -3.0, 0.0);  // bearing 180 from heading -90: code 8
         PlaceAt(Defender(4), 0.0, 2.0);   // 1.5 m from the point, bearing 270: code 10
       },
       10.0f},
      {"a fast defender further away beats a standing one nearer",
       [] {
         FreeOnly(0);
         Defender(3).ForcedRunTimer = Defender(4).ForcedRunTimer = 0.0f;
         PlaceAt(Defender(3), -3.0, 0.5);
         Defender(3).speed = 8.0f;  // 3 m at 8 m/s: 0.375 s
         PlaceAt(Defender(4), 0.0, 2.5);
         Defender(4).Acceleration = 1.0f;  // 2 m from standing at 1 m/s²: 2 s
       },
       8.0f},
      {"of two equally soon the lower number",
       [] {
         FreeOnly(0);
         Defender(3).ForcedRunTimer = Defender(4).ForcedRunTimer = 0.0f;
         PlaceAt(Defender(3), -2.0, 0.5);
         PlaceAt(Defender(4), 2.0, 0.5);
       },
       8.0f},
      {"a defender getting up, at a breakdown or out of a tackle is passed over",
       [] {
         FreeOnly(0);
         for (int p : {3, 4, 6, 7}) Defender(p).ForcedRunTimer = 0.0f;
         PlaceAt(Defender(3), -1.0, 0.5);
         Defender(3).standuptimer = 1.0f;
         PlaceAt(Defender(4), -1.0, 0.6);
         Defender(4).RuckTimer2 = 1.0f;
         PlaceAt(Defender(6), -1.0, 0.7);
         Defender(6).OldTackleTimer = 1.0f;
         PlaceAt(Defender(7), 0.0, 3.0);
       },
       10.0f},
      {"a defender who cannot run is never soonest",
       [] {
         FreeOnly(3);
         PlaceAt(Defender(3), -1.0, 0.5);
         Defender(3).maxspeed = 0.0f;
       },
       0.0f},
  };
  for (const Case& c : cases) {
    MakeScene(W, kSeed, 10);
    E().Angle = 90.0f;
    c.set();
    const int draws = Decide();
    if (c.code == 0) {
      EXPECT_EQ(draws, 1) << c.what << ": nobody found, the code is drawn";
    } else {
      EXPECT_EQ(draws, 0) << c.what;
      EXPECT_EQ(C().ActionCode, c.code) << c.what;
    }
  }
}

TEST_F(CarrierBreakTest, WithEveryOpponentBusyTheCodeIsDrawnFromOneToTen) {
  std::vector<int> seen(12, 0);
  for (i32 want = 1; want <= 10; ++want) {
    MakeScene(W, kSeed, 10);
    FreeOnly(0);
    RandSeed = SeedBeforeDraw(1, 11, want);
    EXPECT_EQ(Decide(), 1);
    EXPECT_EQ(C().ActionCode, static_cast<f32>(want));
    EXPECT_FLOAT_EQ(C().BreakSpeed, want == 1 || want == 3 ? 4.0f : 3.0f);
  }
  for (int k = 0; k < 2000; ++k) {
    MakeScene(W, kSeed + 7 * k, 10);
    FreeOnly(0);
    Decide();
    ++seen[static_cast<int>(C().ActionCode)];
  }
  EXPECT_EQ(seen[0] + seen[11], 0);
  for (int code = 1; code <= 10; ++code) EXPECT_GT(seen[code], 120) << code;
}

TEST_F(CarrierBreakTest, TheEventsVariantForcesTheChoice) {
  struct Case {
    const char* what;
    i32 variant;
    bool defender;
    double x, z;  // m, the free defender
    i32 draw;     // the 1..1000 draw of variant 5
    f32 code;
    int draws;
  } cases[] = {
      {"2 forces the straight charge", 2, true, 0.0, 2.0, 0, 2.0f, 0},
      {"10 forces the goose-step", 10, true, 0.0, -2.0, 0, 10.0f, 0},
      {"another variant keeps the bearing's code (behind him: 10)", 7, true, 0.0, 2.0, 0, 10.0f, 0},
      {"5 with nobody free: a draw of 499 fends with code 5", 5, false, 0, 0, 499, 5.0f, 2},
      {"5 with nobody free: a draw of 500 fends with code 8", 5, false, 0, 0, 500, 8.0f, 2},
      {"5 fends with 8 at a defender on his right (x above his)", 5, true, 3.0, 0.0, 499, 8.0f, 1},
      {"5 fends with 8 at a defender level in x", 5, true, 0.0, 2.0, 499, 8.0f, 1},
      {"5 fends with 5 at a defender on his left", 5, true, -3.0, 0.0, 500, 5.0f, 1},
  };
  for (const Case& c : cases) {
    MakeScene(W, kSeed, 10);
    E().EventCode = c.variant;
    FreeOnly(c.defender ? kOnlyFree : 0);
    if (c.defender) PlaceAt(Defender(kOnlyFree), c.x, c.z);
    if (c.draw != 0) {
      RandSeed = SeedBeforeDraw(1, 1001, c.draw);
      // With nobody free the code's own draw comes first.
      if (!c.defender) RandSeed = StepBack(RandSeed);
    }
    EXPECT_EQ(Decide(), c.draws) << c.what;
    EXPECT_EQ(C().ActionCode, c.code) << c.what;
  }
}

// ------------------------------------------------------------------ run log

TEST_F(CarrierBreakTest, TheBreakIsLoggedInTheMatchWorldOnly) {
  struct Case {
    bool live;
    f32 clock;
    double bearing;
    std::vector<std::string> lines;
  } cases[] = {
      {true, 90.0f, 90.0, {"/////", "break tackle at 1.5", "charge", "/////"}},
      {true, 100.0f, 180.0, {"/////", "break tackle at 1.66666666666667", "fend", "/////"}},
      {true, 0.0f, 270.0, {"/////", "break tackle at 0", "goosestep", "/////"}},
      {false, 90.0f, 90.0, {}},
  };
  for (const Case& c : cases) {
    MakeScene(W, kSeed, 10);
    W.LiveWorld = c.live ? kTrue32 : kFalse32;
    W.clock = c.clock;
    DefenderAtBearing(c.bearing);
    Decide();
    EXPECT_TRUE(Started());
    EXPECT_EQ(Form1.Memo2.Lines, c.lines) << c.clock;
  }
}

TEST_F(CarrierBreakTest, TheLookAheadCopyStartsABreakWithoutAllocating) {
  W.LiveWorld = kFalse32;
  FreeOnly(0);
  StartCountingAllocations();
  DecideBreak(W);
  ContinueBreak(W);
  EXPECT_EQ(StopCountingAllocations(), 0);
  EXPECT_TRUE(Started());
}

// ------------------------------------------------------------------ under way

TEST_F(CarrierBreakTest, TheBreakRunsFromOldPosAlongItsAngleOrStumblesOnAlongItsFacing) {
  struct Case {
    const char* what;
    f32 code;
    const char* anim;
    f32 frame;  // of 100
    bool stumble;
  } cases[] = {
      {"a fend runs its angle", 5.0f, "stumbleforward", 50.0f, false},
      {"stumble code 11 past 0.275", 11.0f, "stumbleforward", 27.6f, true},
      {"stumble code 19 past 0.275", 19.0f, "stumbleforward", 90.0f, true},
      {"at exactly 0.275 not yet", 15.0f, "stumbleforward", 27.5f, false},
      {"code 20 runs its angle", 20.0f, "stumbleforward", 50.0f, false},
      {"another animation runs its angle", 15.0f, "breathing", 50.0f, false},
  };
  for (const Case& c : cases) {
    MakeScene(W, kSeed, 10);
    TPlayer& P = C();
    P.BreakTackleTimer = 2.0f;
    P.ActionCode = c.code;
    P.BreakAngle = 60.0f;
    P.BreakFacing = 100.0f;
    P.BreakSpeed = 5.0f;
    P.currentAnim.Assign(c.anim);
    P.currentframe = c.frame;
    P.maxframes = 100.0f;
    P.OldPos = {1.0f, 0.0f, 2.0f};
    P.Pos = {3.0f, 0.0f, 4.0f};  // moved by the motion steps: undone
    EXPECT_EQ(RunSection(ContinueBreak, W), 0) << c.what;
    EXPECT_NEAR(FacingOf(P), 100.0, 1e-4) << c.what;
    const double speed = c.stumble ? 5.0 + 4.0 * 0.04 : 5.0;
    EXPECT_FLOAT_EQ(P.BreakSpeed, static_cast<f32>(speed)) << c.what;
    const TMove m = MoveAlong(P, c.stumble ? 100.0 : 60.0);
    EXPECT_NEAR(m.along, speed * 0.04, 1e-5) << c.what;
    EXPECT_NEAR(m.across, 0.0, 1e-5) << c.what;
  }
}

TEST_F(CarrierBreakTest, AStumbleAcceleratesUpToHisTopSpeedAndAnAnimationWithoutLengthIsNoStumble) {
  TPlayer& P = C();
  P.BreakTackleTimer = 2.0f;
  P.ActionCode = 12.0f;
  P.BreakSpeed = 7.95f;
  P.currentAnim.Assign("stumbleforward");
  P.currentframe = 50.0f;
  P.maxframes = 100.0f;
  RunSection(ContinueBreak, W);
  EXPECT_EQ(P.BreakSpeed, 8.0f);

  P.maxframes = 0.0f;
  P.BreakSpeed = 5.0f;
  RunSection(ContinueBreak, W);
  EXPECT_EQ(P.BreakSpeed, 5.0f);
}

TEST_F(CarrierBreakTest, NoBreakUnderWayLeavesHimAlone) {
  C().Pos = {3.0f, 0.0f, 4.0f};
  std::memcpy(&Before, &W, sizeof W);
  RunSection(ContinueBreak, W);
  EXPECT_EQ(std::memcmp(&Before, &W, sizeof W), 0);
}

// ------------------------------------------------------------------ in the carrier's frame

TEST_F(CarrierBreakTest, ACarrierFrameStartsTheBreakAndRunsItsFirstStep) {
  DefenderAtBearing(90.0);
  C().ActionSeq.NumEvents = 2;  // a second event so the sequence runs on
  C().ActionSeq.EventArray[2].EventType = 0;
  C().ActionSeq.EventArray[2].DesSpeed = 5.0f;
  C().ActionSeq.EventArray[2].Angle = 90.0f;
  E().Angle = 90.0f;
  RunSection(BallCarrierDecision, W);
  EXPECT_EQ(E().Complete, kTrue32);
  EXPECT_EQ(C().BreakTackleTimer, 10.0f);
  EXPECT_EQ(C().BreakAngle, 90.0f);
  // His facing in the frame is heading 90, so the defender placed ahead of
  // heading -90 is behind him now: a goose-step.
  EXPECT_EQ(C().ActionCode, 10.0f);
  EXPECT_NEAR(FacingOf(C()), 90.0, 1e-4);
  EXPECT_NEAR(C().Pos.z, 3.0 * 0.04, 1e-5) << "the break's own run from OldPos";
  EXPECT_EQ(Form1.Memo2.Count(), 4u);
}

}  // namespace

#include "decision/CarrierSideStep.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "core/Interception.h"
#include "decision/BallCarrierDecision.h"
#include "decision/CarrierActionScene.h"

namespace {

using namespace carrier_scene;

constexpr u32 kSeed = 6403;

TWorld W;
TWorld Before;

TPlayer& C() { return Carrier(W); }
TActionEvent& E() { return Event(W); }
TPlayer& Mate(int p) { return W.Teams[1].Players[p]; }
TPlayer& Defender(int p) { return W.Teams[2].Players[p]; }

int Decide() { return RunSection(DecideSideStep, W); }
int Step() { return RunSection(ContinueSideStep, W); }
bool Started() { return C().StepTimer == 10.0f; }

// A step of the kind under way on heading 90, at the given share of its
// animation, from the carrier's place at the centre spot.
void StepUnderWay(i32 Kind, double Share) {
  E().EventCode = Kind;
  E().Angle = 90.0f;
  C().speed = 3.0f;
  Decide();
  C().maxframes = 100.0f;
  C().currentframe = static_cast<f32>(100.0 * Share);
}

// Every player's reaction time is set (so nobody redraws) and every
// defender faces heading 90, with no reaction drawn.
void SettleEveryone() {
  for (int b = 1; b <= 2; ++b) {
    for (int p = 1; p <= 25; ++p) {
      TPlayer& P = W.Teams[b].Players[p];
      P.RunningAngleReactionTime.value = 1.0f;
      P.FacingAngle = static_cast<f32>(std::numbers::pi);
    }
  }
}

class CarrierSideStepTest : public ::testing::Test {
 protected:
  void SetUp() override { MakeScene(W, kSeed, 8); }
};

// ------------------------------------------------------------------ entry and guard

TEST_F(CarrierSideStepTest, StepEventsStartWhenPressedEnoughAndNothingElseHoldsHim) {
  struct Case {
    const char* what;
    i32 type;
    f32 timeToContact;
    void (*set)();
    bool started;
  } cases[] = {
      {"kind 8 steps at once", 8, 10000.0f, [] {}, true},
      {"kind 9 under pressure", 9, 0.29f, [] {}, true},
      {"kind 9 at 0.3 s waits", 9, 0.3f, [] {}, false},
      {"kind 9 just below 0.3 s", 9, std::nextafter(0.3f, 0.0f), [] {}, true},
      {"a break event is no step", 10, 0.1f, [] {}, false},
      {"pass", 8, 10000.0f, [] { C().passtimer = 0.1f; }, false},
      {"catching", 8, 10000.0f, [] { C().passcatchtimer = 0.1f; }, false},
      {"catching, allowed", 8, 10000.0f, [] { C().passcatchtimer = 0.1f, W.Teams[1].ActOnCatchAllowed = 1; }, true},
      {"dive", 8, 10000.0f, [] { C().DiveTimer = 0.1f; }, false},
      {"getting up", 8, 10000.0f, [] { C().standuptimer = 0.1f; }, false},
      {"break", 8, 10000.0f, [] { C().BreakTackleTimer = 0.1f; }, false},
      {"being tackled", 8, 10000.0f, [] { C().GettingTackledTimer = 0.1f; }, false},
      {"loose-ball catch", 8, 10000.0f, [] { C().freeballcatchtimer = 0.1f; }, false},
      {"forced run", 8, 10000.0f, [] { C().ForcedRunTimer = 0.1f; }, false},
      {"step", 8, 10000.0f, [] { C().StepTimer = 0.1f; }, false},
      {"special action 3", 8, 10000.0f, [] { C().SpecialAnimTimer = 0.1f, C().SpecialAnimKind = 3.0f; }, false},
      {"a kick under way does not hold him", 8, 10000.0f, [] { C().KickTimer = 0.1f; }, true},
  };
  for (const Case& c : cases) {
    MakeScene(W, kSeed, c.type);
    W.Teams[1].TimeToContact = c.timeToContact;
    E().EventCode = 1;
    c.set();
    std::memcpy(&Before, &W, sizeof W);
    Decide();
    EXPECT_EQ(Started(), c.started) << c.what;
    if (!c.started) {
      EXPECT_EQ(std::memcmp(&Before, &W, sizeof W), 0) << c.what;
    }
  }
}

// ------------------------------------------------------------------ start

TEST_F(CarrierSideStepTest, TheLegsByKind) {
  struct Case {
    i32 kind;
    f32 heading;
    f32 first, second;
  } cases[] = {
      {1, 90.0f, 90.0f, 45.0f},   {2, 90.0f, 90.0f, 135.0f},   {3, 90.0f, 135.0f, 30.0f},
      {4, 90.0f, 45.0f, 150.0f},  {3, 350.0f, 395.0f, 290.0f}, {4, 10.0f, -35.0f, 70.0f},
      {1, 10.0f, 10.0f, 325.0f},  {2, 340.0f, 340.0f, 25.0f},  {0, 70.0f, 70.0f, 70.0f},
  };
  for (const Case& c : cases) {
    MakeScene(W, kSeed, 8);
    E().EventCode = c.kind;
    E().Angle = c.heading;
    EXPECT_EQ(Decide(), 0);
    EXPECT_EQ(C().StepKind, static_cast<f32>(c.kind));
    EXPECT_EQ(C().StepHeading, c.heading);
    EXPECT_EQ(C().StepFirstAngle, c.first) << "kind " << c.kind << " from " << c.heading;
    EXPECT_NEAR(C().StepSecondAngle, c.second, 2e-4) << "kind " << c.kind << " from " << c.heading;
    EXPECT_EQ(C().StepAngle, C().StepFirstAngle);
    EXPECT_EQ(E().Complete, kTrue32);
  }
}

TEST_F(CarrierSideStepTest, TheStartClearsTheReactionTheCatchAndTheAnimation) {
  W.StepReactionDone = kTrue32;
  C().passcatchtimer = 0.3f;
  W.Teams[1].ActOnCatchAllowed = 1;
  C().currentframe = 40.0f;
  E().EventCode = 2;
  Decide();
  EXPECT_EQ(W.StepReactionDone, kFalse32);
  EXPECT_EQ(C().passcatchtimer, 0.0f);
  EXPECT_EQ(C().currentframe, 0.0f);
}

TEST_F(CarrierSideStepTest, WithoutASequenceTheKindIsDrawnOneOrTwoAndHeFollowsHisFacing) {
  for (i32 kind : {1, 2}) {
    MakeScene(W, kSeed, 8);
    C().ActionSeq.seqON = kFalse32;
    E().EventCode = 4;
    RandSeed = SeedBeforeDraw(1, 3, kind);
    EXPECT_EQ(Decide(), 1);
    EXPECT_EQ(C().StepKind, static_cast<f32>(kind));
    EXPECT_EQ(C().StepHeading, -90.0f);
    EXPECT_EQ(C().StepFirstAngle, -90.0f);
    EXPECT_NEAR(C().StepSecondAngle, kind == 1 ? 225.0f : 315.0f, 2e-4);
    EXPECT_EQ(E().Complete, kFalse32);
  }
}

TEST_F(CarrierSideStepTest, SpeedCapsByKind) {
  struct Case {
    i32 kind;
    f32 speed;
    f32 start, cap, top;
  } cases[] = {
      {1, 8.0f, 3.6f, 3.6f, 6.8f}, {2, 8.0f, 3.6f, 3.6f, 6.8f}, {3, 8.0f, 2.0f, 2.0f, 5.2f},
      {4, 8.0f, 2.0f, 2.0f, 5.2f}, {1, 1.0f, 1.0f, 3.6f, 6.8f}, {4, 0.0f, 0.0f, 2.0f, 5.2f},
  };
  for (const Case& c : cases) {
    MakeScene(W, kSeed, 8);
    E().EventCode = c.kind;
    C().speed = c.speed;
    Decide();
    EXPECT_FLOAT_EQ(C().StepSpeed, c.start) << c.kind;
    EXPECT_FLOAT_EQ(C().StepStartSpeedCap, c.cap) << c.kind;
    EXPECT_FLOAT_EQ(C().StepTopSpeed, c.top) << c.kind;
  }
}

// ------------------------------------------------------------------ under way

TEST_F(CarrierSideStepTest, AKindOneStepFromTopSpeedAcceleratesToAtMostItsTop) {
  E().EventCode = 1;
  C().speed = 8.0f;
  Decide();
  C().maxframes = 100.0f;
  SettleEveryone();
  double previous = C().StepSpeed;
  EXPECT_FLOAT_EQ(C().StepSpeed, 0.45f * 8.0f);
  for (int frame = 1; frame <= 40; ++frame) {
    C().OldPos = C().Pos;
    Step();
    EXPECT_GE(C().StepSpeed, previous);
    EXPECT_LE(C().StepSpeed, 6.8f);
    previous = C().StepSpeed;
  }
  EXPECT_FLOAT_EQ(C().StepSpeed, 6.8f);
}

TEST_F(CarrierSideStepTest, TheFirstLegRunsUntilThirtyFivePerCentOfTheAnimation) {
  struct Case {
    double share;
    bool second;
  } cases[] = {{0.0, false}, {0.35, false}, {0.36, true}, {0.9, true}};
  for (const Case& c : cases) {
    MakeScene(W, kSeed, 8);
    SettleEveryone();
    StepUnderWay(3, c.share);  // legs 135 and 30
    C().Pos = {2.0f, 0.0f, 2.0f};  // moved by the motion steps: undone
    Step();
    const double leg = c.second ? 30.0 : 135.0;
    EXPECT_EQ(C().StepAngle, static_cast<f32>(leg)) << c.share;
    EXPECT_NEAR(FacingOf(C()), 90.0, 1e-4) << c.share;
    const TMove m = MoveAlong(C(), leg);
    EXPECT_NEAR(m.along, (0.25 * 8.0 + 4.0 * 0.04) * 0.04, 1e-5) << c.share;
    EXPECT_NEAR(m.across, 0.0, 1e-5) << c.share;
    EXPECT_EQ(W.StepReactionDone, c.second ? kTrue32 : kFalse32) << c.share;
  }
}

TEST_F(CarrierSideStepTest, TeamMatesCloseByAreHeldUpOnce) {
  SettleEveryone();
  C().SideStepBeatProb = 0;
  for (int p : {3, 4, 5, 6}) {
    SetDistribution(Mate(p).RunningAngleReactionTime, 0.4, 0.0, 0.1, 1.0);
    Mate(p).RunningAngleReactionTime.value = 0.0f;
  }
  SetDistribution(C().RunningAngleReactionTime, 0.3, 0.0, 0.1, 1.0);
  C().RunningAngleReactionTime.value = -0.1f;
  PlaceAt(Mate(3), 1.0, -1.0);   // 1.41 m: held up
  PlaceAt(Mate(4), 0.0, std::nextafter(1.8f, 2.0f));  // 1.8 m as near as f32 comes from above: not
  PlaceAt(Mate(5), -1.0, 0.0);   // close, but his reaction still runs
  Mate(5).RunningAngleReactionTime.value = 0.2f;
  PlaceAt(Mate(6), 5.0, 0.0);    // far
  StepUnderWay(1, 0.5);
  // Two draws for each of the two redraws and one roll per defender.
  EXPECT_EQ(Step(), 2 * 2 + 15);
  EXPECT_FLOAT_EQ(Mate(3).RunningAngleReactionTime.value, 0.8f);
  EXPECT_FLOAT_EQ(C().RunningAngleReactionTime.value, 0.6f) << "the carrier is one of his side";
  EXPECT_EQ(Mate(4).RunningAngleReactionTime.value, 0.0f);
  EXPECT_EQ(Mate(5).RunningAngleReactionTime.value, 0.2f);
  EXPECT_EQ(Mate(6).RunningAngleReactionTime.value, 0.0f);

  EXPECT_EQ(Step(), 0) << "once per step";
}

TEST_F(CarrierSideStepTest, BeatenDefendersWithinFourAndAHalfMetresTurnToMeetTheNextLeg) {
  for (i32 kind : {1, 2}) {
    MakeScene(W, kSeed, 8);
    SettleEveryone();
    C().SideStepBeatProb = 1000;
    PlaceAt(Defender(2), 3.0, 3.0);  // 4.24 m
    Defender(2).speed = 2.0f;
    PlaceAt(Defender(7), 0.0, 4.5);  // exactly 4.5 m
    PlaceAt(Defender(9), -4.0, 4.0);  // 5.66 m
    StepUnderWay(kind, 0.5);
    const TPlayer& P = C();
    const double line = kind == 1 ? 120.0 : 60.0;
    EXPECT_EQ(Step(), 15 + 1) << "every defender rolls, the one turned draws his reaction";
    const TVector2 m = InterceptPoint(static_cast<f32>(line), P.OldPos.x, P.OldPos.z, P.StepSpeed, P.Acceleration,
                                      P.maxspeed, 3.0f, 3.0f, 2.0f, 4.0f, 8.0f, 70.0f, kTrue32, kTrue32, kTrue32);
    EXPECT_NEAR(FacingOf(Defender(2)), HeadingToPoint(3.0f, 3.0f, m.x, m.z, 90.0f), 1e-4) << kind;
    const f32 reaction = Defender(2).DefensiveRunningAngleReactionTime.value;
    EXPECT_TRUE(reaction >= 0.2f && reaction <= 0.3f) << reaction;
    EXPECT_NEAR(FacingOf(Defender(7)), 90.0, 1e-4) << "exactly 4.5 m: not turned";
    EXPECT_EQ(Defender(7).DefensiveRunningAngleReactionTime.value, 0.0f);
    EXPECT_NEAR(FacingOf(Defender(9)), 90.0, 1e-4);
  }
}

TEST_F(CarrierSideStepTest, TheBeatChanceInTheMatchAndOneAndAThirdTimesItInTheLookAhead) {
  struct Case {
    const char* what;
    bool live;
    i16 prob;
    i32 roll;
    bool beaten;
  } cases[] = {
      {"match, 500: a roll of 500 beats", true, 500, 500, true},
      {"match, 500: 501 does not", true, 500, 501, false},
      {"look-ahead, 500: 650 beats", false, 500, 650, true},
      {"look-ahead, 500: 651 does not", false, 500, 651, false},
      {"match, 0: even a roll of 1 does not", true, 0, 1, false},
  };
  for (const Case& c : cases) {
    MakeScene(W, kSeed, 8);
    SettleEveryone();
    W.LiveWorld = c.live ? kTrue32 : kFalse32;
    C().SideStepBeatProb = c.prob;
    PlaceAt(Defender(1), 2.0, 2.0);
    StepUnderWay(1, 0.5);
    RandSeed = SeedBeforeDraw(1, 1001, c.roll);  // defender 1's roll is the first draw
    Step();
    EXPECT_EQ(Defender(1).DefensiveRunningAngleReactionTime.value != 0.0f, c.beaten) << c.what;
  }
}

TEST_F(CarrierSideStepTest, WithNoBeatChanceNobodyIsBeatenInTheMatch) {
  SettleEveryone();
  C().SideStepBeatProb = 0;
  for (int p = 1; p <= 15; ++p) PlaceAt(Defender(p), 0.2 * p - 1.6, 1.0);
  StepUnderWay(2, 0.5);
  std::memcpy(&Before, &W, sizeof W);
  EXPECT_EQ(Step(), 15);
  EXPECT_EQ(std::memcmp(&Before.Teams[2], &W.Teams[2], sizeof W.Teams[2]), 0);
}

TEST_F(CarrierSideStepTest, TheExemptDefenderOfASideWithoutDecisionsIsPassedOver) {
  struct Case {
    bool32 decisionsOn;
    int draws;
    bool turned;
  } cases[] = {{kFalse32, 14, false}, {kTrue32, 15 + 1, true}};
  for (const Case& c : cases) {
    MakeScene(W, kSeed, 8);
    SettleEveryone();
    C().SideStepBeatProb = 1000;
    W.Teams[2].DecisionsOn = c.decisionsOn;
    W.Teams[2].FollowExempt = 3;
    PlaceAt(Defender(3), 1.0, 2.0);
    StepUnderWay(1, 0.5);
    EXPECT_EQ(Step(), c.draws);
    EXPECT_EQ(Defender(3).DefensiveRunningAngleReactionTime.value != 0.0f, c.turned);
  }
}

TEST_F(CarrierSideStepTest, NoStepUnderWayLeavesTheWorldAlone) {
  C().Pos = {3.0f, 0.0f, 4.0f};
  C().currentframe = 50.0f;
  C().maxframes = 100.0f;
  std::memcpy(&Before, &W, sizeof W);
  EXPECT_EQ(Step(), 0);
  EXPECT_EQ(std::memcmp(&Before, &W, sizeof W), 0);
}

TEST_F(CarrierSideStepTest, ACarrierFrameStartsTheStepAndRunsTheFirstLeg) {
  C().ActionSeq.NumEvents = 2;
  C().ActionSeq.EventArray[2].DesSpeed = 5.0f;
  C().ActionSeq.EventArray[2].Angle = 90.0f;
  E().EventCode = 4;
  E().Angle = 90.0f;
  C().speed = 1.0f;
  PlaceAt(C(), 0.0, 0.0);
  C().OldPos = {0.0f, 0.0f, -0.04f};  // he ran 1 m/s up-field last frame
  RunSection(BallCarrierDecision, W);
  EXPECT_TRUE(Started());
  EXPECT_EQ(C().StepFirstAngle, 45.0f);
  EXPECT_NEAR(FacingOf(C()), 90.0, 1e-4);
  // 1 m/s measured, accelerated in the carrier's own run, then again in the step.
  const TMove m = MoveAlong(C(), 45.0);
  EXPECT_NEAR(m.along, (1.0 + 2 * 4.0 * 0.04) * 0.04, 1e-5);
  EXPECT_NEAR(m.across, 0.0, 1e-5);
}

}  // namespace

#include "decision/CarrierDive.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "decision/BallCarrierDecision.h"
#include "decision/CarrierActionScene.h"

namespace {

using namespace carrier_scene;

constexpr u32 kSeed = 6402;

TWorld W;
TWorld Before;

TPlayer& C() { return Carrier(W); }
TActionEvent& E() { return Event(W); }

int Decide() { return RunSection(DecideDive, W); }
bool Started() { return C().DiveTimer == 1.8f; }

// The next dive draws: any kind from 1 to 4, then the roll R.
void RollNext(i32 R) { RandSeed = StepBack(SeedBeforeDraw(1, 1001, R)); }

class CarrierDiveTest : public ::testing::Test {
 protected:
  void SetUp() override { MakeScene(W, kSeed, 6); }
};

// ------------------------------------------------------------------ entry and guard

TEST_F(CarrierDiveTest, DiveEventsStartNowOrWhenTheRunInIsClose) {
  struct Case {
    const char* what;
    i32 type;
    double x, z;   // m, the carrier
    f32 angle;     // degrees, the event's line
    f32 timeToContact;
    bool started;
  } cases[] = {
      {"kind 6 dives at once", 6, 5.0, 0.0, 90.0f, 10000.0f, true},
      {"kind 7 under pressure", 7, 5.0, 0.0, 90.0f, 0.5f, true},
      {"kind 7 at the least f32 not below 0.7 s, short of the line, waits", 7, 5.0, 58.5, 90.0f,
       std::nextafter(0.7f, 1.0f), false},
      {"kind 7 at 0.7f (0.69999999) is below 0.7 s", 7, 5.0, 0.0, 90.0f, 0.7f, true},
      {"kind 7 beyond 50 + InGoalDepth - 1.4", 7, 5.0, 58.7, 90.0f, 10000.0f, true},
      {"kind 7 at 58.6f (58.5999985), short of it, waits", 7, 5.0, 58.6, 90.0f, 10000.0f, false},
      {"kind 7 at x = 0 dives at once", 7, 0.0, 0.0, 90.0f, 10000.0f, true},
      {"kind 7 reaching the posts' line from the left", 7, -1.0, 0.0, 180.0f, 10000.0f, true},
      {"kind 7 running on left of the posts waits", 7, -1.0, 0.0, 90.0f, 10000.0f, false},
      {"kind 7 reaching the posts' line from the right", 7, 1.0, 0.0, 0.0f, 10000.0f, true},
      {"kind 7 short of the posts' line from the right waits", 7, 3.0, 0.0, 0.0f, 10000.0f, false},
      {"a break event is no dive", 10, 0.0, 0.0, 90.0f, 0.1f, false},
  };
  for (const Case& c : cases) {
    MakeScene(W, kSeed, c.type);
    PlaceAt(C(), c.x, c.z);
    E().Angle = c.angle;
    W.Teams[1].TimeToContact = c.timeToContact;
    Decide();
    EXPECT_EQ(Started(), c.started) << c.what;
  }
}

TEST_F(CarrierDiveTest, MarkingOrAnotherActionLeavesTheWorldUnchanged) {
  struct Case {
    const char* what;
    void (*set)();
  } cases[] = {
      {"marking someone", [] { C().numgoverning = 1; }},
      {"pass", [] { C().passtimer = 0.1f; }},
      {"getting up", [] { C().standuptimer = 0.1f; }},
      {"dive", [] { C().DiveTimer = 0.1f; }},
      {"break", [] { C().BreakTackleTimer = 0.1f; }},
      {"loose-ball catch", [] { C().freeballcatchtimer = 0.1f; }},
      {"step", [] { C().StepTimer = 0.1f; }},
      {"no event in force", [] { C().ActionSeq.CurrEventIndex = 0; }},
      {"no carrier on the field", [] { W.Teams[1].BallCarrier = 0; }},
  };
  for (const Case& c : cases) {
    MakeScene(W, kSeed, 6);
    c.set();
    std::memcpy(&Before, &W, sizeof W);
    EXPECT_EQ(Decide(), 0) << c.what;
    EXPECT_EQ(std::memcmp(&Before, &W, sizeof W), 0) << c.what;
  }
}

TEST_F(CarrierDiveTest, TheStartSetsTheDiveAndEndsCatchMarkAndSpecialAction) {
  struct Case {
    const char* what;
    bool sequence;
    f32 speed;
    f32 angle, diveSpeed;
  } cases[] = {
      {"a standing carrier dives at 4 m/s on the event's line", true, 0.0f, 70.0f, 4.0f},
      {"a fast one at his speed", true, 6.5f, 70.0f, 6.5f},
      {"without a sequence along his facing", false, 5.0f, -90.0f, 5.0f},
  };
  for (const Case& c : cases) {
    MakeScene(W, kSeed, 6);
    C().ActionSeq.seqON = c.sequence ? kTrue32 : kFalse32;
    C().speed = c.speed;
    C().passcatchtimer = 0.2f;  // a catch does not hold a dive back
    C().GettingTackledTimer = 0.2f;
    C().SpecialAnimTimer = 0.5f;
    C().SpecialAnimKind = 3.0f;
    W.MarkCalled = kTrue32;
    E().Angle = 70.0f;
    EXPECT_EQ(Decide(), 2) << c.what;
    EXPECT_TRUE(Started()) << c.what;
    EXPECT_EQ(E().Complete, c.sequence ? kTrue32 : kFalse32) << c.what;
    EXPECT_EQ(C().DiveAngle, c.angle) << c.what;
    EXPECT_EQ(C().DiveSpeed, c.diveSpeed) << c.what;
    EXPECT_EQ(C().passcatchtimer, 0.0f) << c.what;
    EXPECT_EQ(C().SpecialAnimTimer, 0.0f) << c.what;
    EXPECT_EQ(W.MarkCalled, kFalse32) << c.what;
    EXPECT_EQ(C().DiveKind, 2) << c.what << ": in the field of play";
  }
}

// ------------------------------------------------------------------ line of a run-in

TEST_F(CarrierDiveTest, ARunInDivesAlongHisLastMoveTurnedInFromTouchAndDeadBall) {
  struct Case {
    const char* what;
    double x, z;     // m, where he is
    double heading;  // degrees, the way he came over the last frame
    f32 angle;
  } cases[] = {
      {"up-field on his last move", 0.0, 0.0, 70.0, 70.0f},
      {"back towards his own goal on the left: across to 180", 0.0, 0.0, 200.0, 180.0f},
      {"back towards his own goal on the right: across to 0", 0.0, 0.0, 300.0, 0.0f},
      {"exactly 270 counts as the right", 0.0, 0.0, 270.0, 0.0f},
      {"near the +x touchline: 80", 33.0, 0.0, 180.0, 80.0f},
      {"near the -x touchline: 100", -33.0, 0.0, 0.0, 100.0f},
      {"near the dead-ball line, left of 90: turned 20 more to the left", 0.0, 59.0, 80.0, 60.0f},
      {"near the dead-ball line, at 90: turned 20 to the right", 0.0, 59.0, 90.0, 110.0f},
      {"at touch and dead-ball line: 80 then 60", 33.0, 59.0, 170.0, 60.0f},
  };
  for (const Case& c : cases) {
    MakeScene(W, kSeed, 7);
    E().DesSpeed = 5.0f;
    E().Angle = 123.0f;
    W.Teams[1].TimeToContact = 0.1f;
    const TDirection u = HeadingDirection(c.heading);
    PlaceAt(C(), c.x - 0.2 * u.x, c.z - 0.2 * u.z);
    C().Pos.x = static_cast<f32>(c.x);
    C().Pos.z = static_cast<f32>(c.z);
    Decide();
    ASSERT_TRUE(Started()) << c.what;
    EXPECT_NEAR(E().Angle, c.angle, 1e-3) << c.what;
    EXPECT_EQ(C().DiveAngle, E().Angle) << c.what;
  }
}

TEST_F(CarrierDiveTest, AStandingRunInTakesHeadingNinety) {
  MakeScene(W, kSeed, 7);
  E().Angle = 30.0f;
  Decide();  // at x = 0: dives at once
  EXPECT_EQ(E().Angle, 90.0f);
}

// ------------------------------------------------------------------ kind

TEST_F(CarrierDiveTest, TheKindFollowsTheRollAndTheScore) {
  struct Case {
    i32 own, theirs;
    i32 roll;
    i32 kind;
  } cases[] = {
      // trailing by more than 7
      {0, 8, 199, 1}, {0, 8, 200, 2}, {0, 8, 799, 2}, {0, 8, 800, 3}, {0, 8, 989, 3}, {0, 8, 990, 4},
      // level, or trailing by at most 7
      {0, 7, 99, 1}, {0, 7, 100, 2}, {0, 7, 699, 2}, {0, 7, 700, 3}, {0, 7, 989, 3}, {0, 7, 990, 4},
      {3, 3, 99, 1}, {3, 3, 100, 2}, {3, 3, 700, 3}, {3, 3, 1000, 4},
      // leading
      {8, 7, 99, 1}, {8, 7, 100, 2}, {8, 7, 549, 2}, {8, 7, 550, 3}, {8, 7, 989, 3}, {8, 7, 990, 4},
      {30, 0, 1000, 4},
  };
  for (const Case& c : cases) {
    MakeScene(W, kSeed, 6);
    PlaceAt(C(), 0.0, 52.0);  // in the in-goal, well short of the dead-ball line
    W.Teams[1].score = c.own;
    W.Teams[2].score = c.theirs;
    RollNext(c.roll);
    EXPECT_EQ(Decide(), 2);
    EXPECT_EQ(C().DiveKind, c.kind) << c.own << "-" << c.theirs << " roll " << c.roll;
  }
}

TEST_F(CarrierDiveTest, TheCorrectionsOfKindAndSpeed) {
  struct Case {
    const char* what;
    double z;     // m
    f32 angle;    // degrees
    f32 speed;    // m/s, his speed
    i32 roll;
    i32 kind;
    f32 diveSpeed;
  } cases[] = {
      {"in the field of play always kind 2", 0.0, 90.0f, 0.0f, 995, 2, 4.0f},
      {"on the try line still the field of play", 50.0, 90.0f, 0.0f, 50, 2, 4.0f},
      {"just beyond the try line the roll stands", 50.1, 90.0f, 0.0f, 50, 1, 4.0f},
      {"own try line is outside the field of play", -50.0, 90.0f, 0.0f, 50, 1, 4.0f},
      {"a dive that would end at the dead-ball line is kind 4", 57.0, 90.0f, 6.0f, 50, 4, 6.0f},
      {"but not when it runs across", 57.0, 0.0f, 6.0f, 50, 1, 6.0f},
      {"not from further than 3.1 m short", 56.8, 90.0f, 6.0f, 50, 1, 6.0f},
      {"deep in the in-goal a kind-4 dive is slowed to 3 m/s", 59.0, 90.0f, 6.0f, 50, 4, 3.0f},
      {"a standing carrier's 4 m/s too", 58.8, 90.0f, 0.0f, 50, 4, 3.0f},
      {"a kind 4 by the roll running across is slowed too", 59.0, 0.0f, 6.0f, 995, 4, 3.0f},
      {"another kind deep in the in-goal keeps its speed", 59.0, 0.0f, 6.0f, 50, 1, 6.0f},
      {"a kind 4 short of 1.25 m keeps its speed", 58.7, 90.0f, 6.0f, 995, 4, 6.0f},
  };
  for (const Case& c : cases) {
    MakeScene(W, kSeed, 6);
    PlaceAt(C(), 0.0, c.z);
    E().Angle = c.angle;
    C().speed = c.speed;
    RollNext(c.roll);
    Decide();
    EXPECT_EQ(C().DiveKind, c.kind) << c.what;
    EXPECT_EQ(C().DiveSpeed, c.diveSpeed) << c.what;
  }
}

// ------------------------------------------------------------------ under way

TEST_F(CarrierDiveTest, TheDiveAndTheGetUpRunFromOldPos) {
  TPlayer& P = C();
  P.OldPos = {1.0f, 0.0f, 2.0f};
  P.Pos = {3.0f, 0.0f, 4.0f};
  P.DiveTimer = 1.0f;
  P.DiveAngle = 60.0f;
  P.DiveSpeed = 5.0f;
  P.speed = 8.0f;
  EXPECT_EQ(RunSection(ContinueDive, W), 0);
  EXPECT_EQ(P.speed, 5.0f);
  EXPECT_NEAR(FacingOf(P), 60.0, 1e-4);
  TMove m = MoveAlong(P, 60.0);
  EXPECT_NEAR(m.along, 0.2, 1e-5);
  EXPECT_NEAR(m.across, 0.0, 1e-5);

  P.DiveTimer = 0.0f;
  P.standuptimer = 1.0f;
  P.StandUpFacing = 200.0f;
  P.StandUpSpeed = 0.5f;
  EXPECT_EQ(RunSection(ContinueGettingUp, W), 0);
  EXPECT_EQ(P.speed, 0.5f);
  EXPECT_NEAR(FacingOf(P), 200.0, 1e-4);
  m = MoveAlong(P, 200.0);
  EXPECT_NEAR(m.along, 0.02, 1e-5);
  EXPECT_NEAR(m.across, 0.0, 1e-5);

  P.StandUpSpeed = 0.0f;  // the world's default: he gets up where he is
  RunSection(ContinueGettingUp, W);
  EXPECT_EQ(P.Pos.x, P.OldPos.x);
  EXPECT_EQ(P.Pos.z, P.OldPos.z);

  P.standuptimer = 0.0f;
  P.Pos = {3.0f, 0.0f, 4.0f};
  std::memcpy(&Before, &W, sizeof W);
  ContinueDive(W);
  ContinueGettingUp(W);
  EXPECT_EQ(std::memcmp(&Before, &W, sizeof W), 0) << "no timer: nothing moves";
}

TEST_F(CarrierDiveTest, ACarrierFrameInTheInGoalStartsTheDiveAndDivesAtOnce) {
  PlaceAt(C(), 2.0, 55.0);
  C().ActionSeq.NumEvents = 2;
  C().ActionSeq.EventArray[2].DesSpeed = 5.0f;
  C().ActionSeq.EventArray[2].Angle = 90.0f;
  E().Angle = 80.0f;
  RunSection(BallCarrierDecision, W);
  EXPECT_EQ(C().DiveTimer, 1.8f);
  EXPECT_EQ(C().DiveAngle, 80.0f);
  EXPECT_EQ(C().DiveSpeed, 4.0f);
  EXPECT_EQ(C().speed, 4.0f);
  const TMove m = MoveAlong(C(), 80.0);
  EXPECT_NEAR(m.along, 4.0 * 0.04, 1e-5);
}

}  // namespace

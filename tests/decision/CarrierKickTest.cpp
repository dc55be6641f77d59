#include "decision/CarrierKick.h"

#include <gtest/gtest.h>

#include <array>
#include <cfenv>
#include <cmath>

#include "SmallWorld.h"
#include "core/DrawCount.h"
#include "core/FloatFlags.h"
#include "core/Geometry.h"
#include "core/KickSolving.h"
#include "core/MoveBooks.h"
#include "core/Random.h"
#include "decision/BallCarrierDecision.h"
#include "platform/Form.h"

namespace {

constexpr int kCarrier = 10;
constexpr u32 kSeed = 6301;

// The scene: block 1 in running, its player 10 at the centre spot holding
// the ball with one kick event (kind 5, placement 0: the set move's own
// launch of 20 m/s at 45 degrees on heading 90, run at 5 m/s) started; kick
// speed 28 m/s, range 50 m, touch rating 750. Team-mates stand 40 m behind
// him, the defence 30 m up-field spread across; everyone runs 8 m/s. Nobody
// is close (TimeToContact 10000 s) and the move book does not sample.
TWorld W;
TWorld Before;

TTeamBlock& Side() { return W.Teams[1]; }
TPlayer& Carrier() { return W.Teams[1].Players[kCarrier]; }
TActionEvent& Kick() { return Carrier().ActionSeq.EventArray[1]; }

void PlaceCarrier(double X, double Z) {
  TPlayer& C = Carrier();
  PutAt(C, static_cast<f32>(X), static_cast<f32>(Z));
  W.BallPos = {C.Pos.x, 1.0f, C.Pos.z};
}

void MakeScene() {
  MakeSmallWorld(W, {.InGoals = true, .Frame = true});
  RandSeed = kSeed;
  W.Gravity = 9.81f;
  W.gamestate = gsRunning;
  W.Team1InFirstBlock = kTrue32;
  ForEverySlot(W, [](TPlayer& P, int b, int p) {
    PutAt(P, static_cast<f32>(4 * p - 32), b == 1 ? -40.0f : 30.0f);
    P.maxspeed = 8.0f;
    P.Acceleration = 4.0f;
  });
  Side().BallCarrier = kCarrier;
  Side().TimeToContact = 10000.0f;
  TPlayer& C = Carrier();
  PlaceCarrier(0.0, 0.0);
  C.MaxKickSpeed = 28.0f;
  C.MaxKickRange = 50.0f;
  C.KickAccuracyProb = 750;
  SetDistribution(C.PuntRightFootReleaseTime, 0.375, 0.04, 0.35, 0.45);
  SetDistribution(C.GrubberReleaseTime, 0.3, 0.04, 0.25, 0.35);
  SetDistribution(C.ChipReleaseTime, 0.31, 0.04, 0.26, 0.36);
  SetDistribution(C.KickReleaseTime4, 0.4, 0.04, 0.38, 0.48);
  SetDistribution(C.DropKickReleaseTime, 0.75, 0.05, 0.75, 0.85);
  SetDistribution(C.KickReleaseTime6, 0.2, 0.04, 0.15, 0.25);
  TActionSeq& S = C.ActionSeq;
  S.seqON = kTrue32;
  S.NumEvents = 1;
  S.CurrEventIndex = 1;
  TActionEvent& E = Kick();
  E.EventType = 5;
  E.KickLaunchSpeed = 20.0f;
  E.KickLaunchElevation = 45.0f;
  E.KickLaunchHeading = 90.0f;
  E.Angle = 90.0f;
  E.DesSpeed = 5.0f;
  Form1.Memo2.Clear();
}

// Runs the decision under the float-flag check; the number of draws it took.
int Decide() {
  const u32 before = RandSeed;
  std::feclearexcept(FE_ALL_EXCEPT);
  DecideKick(W);
  EXPECT_FALSE(FloatErrorRaised());
  return DrawsSince(before);
}

bool Kicked() { return Carrier().KickTimer == 10.0f; }

class CarrierKickTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedSampling = {MoveBooks[1].SamplingOn, MoveBooks[2].SamplingOn};
    savedWorld = {World.InGoalDepth, World.GoalPostGap, World.CrossbarHeight, World.TryLineZ};
    // The kick solver reads the goal of the match world.
    World.InGoalDepth = 10.0f;
    World.GoalPostGap = 5.6f;
    World.CrossbarHeight = 3.0f;
    World.TryLineZ = 50.0f;
    MoveBooks[1].SamplingOn = MoveBooks[2].SamplingOn = kFalse32;
    MakeScene();
  }
  void TearDown() override {
    MoveBooks[1].SamplingOn = savedSampling[0];
    MoveBooks[2].SamplingOn = savedSampling[1];
    World.InGoalDepth = savedWorld[0];
    World.GoalPostGap = savedWorld[1];
    World.CrossbarHeight = savedWorld[2];
    World.TryLineZ = savedWorld[3];
  }

 private:
  std::array<bool32, 2> savedSampling{};
  std::array<f32, 4> savedWorld{};
};

// ------------------------------------------------------------------ entry and guard

TEST_F(CarrierKickTest, KickEventsAreKickedWhenPressedEnough) {
  struct Case {
    const char* what;
    i32 type, subType;
    f32 timeToContact;
    bool booked;
    bool kicked;
  };
  const Case cases[] = {
      {"a kick event is kicked at once", 5, 0, 10000.0f, true, true},
      {"a pressed grubber at 0.5 s waits while the book samples", 55, 2, 0.5f, true, false},
      {"and goes when it does not", 55, 2, 0.5f, false, true},
      {"a pressed chip at 0.47 s goes while sampling", 55, 3, 0.47f, true, true},
      {"a pressed chip at 0.48 s waits while sampling", 55, 3, 0.48f, true, false},
      {"any other pressed kick goes below 1 s", 55, 1, 0.99f, true, true},
      {"and waits at 1 s", 55, 0, 1.0f, false, false},
      {"a run is not a kick", 0, 0, 0.1f, false, false},
  };
  for (const Case& c : cases) {
    MakeScene();
    Kick().EventType = c.type;
    Kick().EventSubType = c.subType;
    Side().TimeToContact = c.timeToContact;
    MoveBooks[1].SamplingOn = Flag(c.booked);
    Decide();
    EXPECT_EQ(Kicked(), c.kicked) << c.what;
  }
}

TEST_F(CarrierKickTest, AnotherActionUnderWayLeavesEverythingAsItWas) {
  struct Case {
    const char* what;
    void (*set)(TPlayer&);
    bool kicked;
  };
  const Case cases[] = {
      {"pass", [](TPlayer& C) { C.passtimer = 0.1f; }, false},
      {"catching", [](TPlayer& C) { C.passcatchtimer = 0.1f; }, false},
      {"dive", [](TPlayer& C) { C.DiveTimer = 0.1f; }, false},
      {"getting up", [](TPlayer& C) { C.standuptimer = 0.1f; }, false},
      {"break", [](TPlayer& C) { C.BreakTackleTimer = 0.1f; }, false},
      {"tackled", [](TPlayer& C) { C.GettingTackledTimer = 0.1f; }, false},
      {"loose-ball catch", [](TPlayer& C) { C.freeballcatchtimer = 0.1f; }, false},
      {"forced run", [](TPlayer& C) { C.ForcedRunTimer = 0.1f; }, false},
      {"step", [](TPlayer& C) { C.StepTimer = 0.1f; }, false},
      {"kick already under way", [](TPlayer& C) { C.KickTimer = 0.1f; }, false},
      {"special action 3", [](TPlayer& C) { C.SpecialAnimTimer = 0.1f; C.SpecialAnimKind = 3.0f; }, false},
      {"special action 2 does not hold him", [](TPlayer& C) { C.SpecialAnimTimer = 0.1f; C.SpecialAnimKind = 2.0f; },
       true},
      {"timers at 0 do not hold him", [](TPlayer& C) { C.passtimer = 0.0f; C.StepTimer = -1.0f; }, true},
  };
  for (const Case& c : cases) {
    MakeScene();
    c.set(Carrier());
    if (!c.kicked) std::memcpy(&Before, &W, sizeof W);
    const int draws = Decide();
    EXPECT_EQ(Kicked(), c.kicked) << c.what;
    if (!c.kicked) {
      EXPECT_EQ(std::memcmp(&Before, &W, sizeof W), 0) << c.what;
      EXPECT_EQ(draws, 0) << c.what;
    }
  }
}

TEST_F(CarrierKickTest, ACatchingCarrierKicksWhenActingOnTheCatchIsAllowed) {
  Carrier().passcatchtimer = 0.3f;
  Side().ActOnCatchAllowed = 1;
  Side().StrategyTimer = 2.0f;
  Decide();
  EXPECT_TRUE(Kicked());
  EXPECT_EQ(Carrier().passcatchtimer, 0.0f);
  EXPECT_EQ(Side().StrategyTimer, 0.0f);
}

TEST_F(CarrierKickTest, NoCarrierOrNoEventDoesNothing) {
  for (i32 carrier : {0, 16, 26, -1}) {
    MakeScene();
    Side().BallCarrier = carrier;
    std::memcpy(&Before, &W, sizeof W);
    Decide();
    ContinueKick(W);
    EXPECT_EQ(std::memcmp(&Before, &W, sizeof W), 0) << carrier;
  }
  MakeScene();
  Carrier().ActionSeq.CurrEventIndex = 0;
  Decide();
  EXPECT_FALSE(Kicked());
}

// ------------------------------------------------------------------ kind

TEST_F(CarrierKickTest, KindFromTheLaunchTheEventAndThePressure) {
  struct Case {
    const char* what;
    f32 elevation, speed;
    i32 subType;
    f32 timeToContact;
    i32 placement;
    f32 kind;
  };
  const Case cases[] = {
      {"elevation exactly 10, speed 15: chip", 10, 15, 0, 10000, 0, 3},
      {"elevation exactly 65, speed 16: high punt", 65, 16, 0, 10000, 0, 4},
      {"a little below the ground: grubber even when fast", -0.5f, 30, 0, 10000, 0, 2},
      {"low and slow: grubber", 9.9f, 15, 0, 10000, 0, 2},
      {"low and fast: punt", 9.9f, 15.01f, 0, 10000, 0, 1},
      {"lofted and fast: punt", 64.9f, 16, 0, 10000, 0, 1},
      {"steep and slow: chip", 80, 10, 0, 10000, 0, 3},
      {"the event names a drop kick", 45, 20, 5, 10000, 0, 5},
      {"the event names a pressure kick", 45, 20, 8, 10000, 0, 8},
      {"the event names a chip of a high punt's launch", 65, 16, 3, 10000, 0, 3},
      {"sub-code 6 names no kind", 45, 20, 6, 10000, 0, 1},
      {"a punt at 0.4 s turns away", 45, 20, 0, 0.4f, 0, 8},
      {"a high punt at 0.4 s turns away", 70, 20, 0, 0.4f, 0, 8},
      {"but not one straight into touch", 45, 20, 0, 0.4f, 5, 1},
      {"at 0.43 s it stays a punt", 45, 20, 0, 0.43f, 0, 1},
      {"a grubber at 0.4 s stays a grubber", 0, 10, 0, 0.4f, 0, 2},
  };
  for (const Case& c : cases) {
    MakeScene();
    Kick().KickLaunchElevation = c.elevation;
    Kick().KickLaunchSpeed = c.speed;
    Kick().EventSubType = c.subType;
    Kick().EventCode = c.placement;
    Side().TimeToContact = c.timeToContact;
    Decide();
    EXPECT_EQ(Carrier().KickKind, c.kind) << c.what;
  }
}

// ------------------------------------------------------------------ common end

TEST_F(CarrierKickTest, TheSetMovesLaunchIsKeptOnlyCapped) {
  struct Case {
    i32 placement;
    f32 speed, kept;
  };
  for (const Case& c : {Case{0, 20.0f, 20.0f}, Case{0, 40.0f, 31.5f}, Case{6, 31.6f, 31.5f}, Case{-1, 31.5f, 31.5f}}) {
    MakeScene();
    Kick().EventCode = c.placement;
    Kick().KickLaunchSpeed = c.speed;
    Kick().Angle = 80.0f;
    EXPECT_EQ(Decide(), 2) << "only the release is drawn";
    const TActionEvent& E = Kick();
    EXPECT_EQ(E.KickLaunchSpeed, c.kept) << c.placement;
    EXPECT_EQ(E.KickLaunchElevation, 45.0f);
    EXPECT_EQ(E.KickLaunchHeading, 90.0f);
    EXPECT_EQ(E.Angle, 80.0f);
    EXPECT_EQ(Side().KickSpeed, c.kept);
    EXPECT_EQ(Side().KickElevation, 45.0f);
    EXPECT_EQ(Side().KickHeading, 90.0f);
    EXPECT_EQ(Side().KickChosen, kTrue32);
    EXPECT_EQ(Carrier().KickRunAngle, 80.0f);
    EXPECT_EQ(Carrier().KickFacing, 80.0f);
    EXPECT_EQ(Carrier().KickRunSpeed, 5.0f);
  }
}

TEST_F(CarrierKickTest, ReleaseTimeIsDrawnFromTheKindsDistribution) {
  struct Case {
    i32 subType;
    TDistribution TPlayer::*release;
    bool puntTakesIt;
  };
  const Case cases[] = {
      {1, &TPlayer::PuntRightFootReleaseTime, true}, {2, &TPlayer::GrubberReleaseTime, false},
      {3, &TPlayer::ChipReleaseTime, false},         {4, &TPlayer::KickReleaseTime4, true},
      {5, &TPlayer::DropKickReleaseTime, false},     {8, &TPlayer::KickReleaseTime6, true},
  };
  for (const Case& c : cases) {
    MakeScene();
    Kick().EventSubType = c.subType;
    TPlayer& C = Carrier();
    C.PuntRightFootReleaseTime.value = 0.9f;
    RandSeed = kSeed;
    const f32 expected = DrawClamped(C.*c.release);
    RandSeed = kSeed;
    Decide();
    EXPECT_EQ((C.*c.release).value, expected) << c.subType;
    EXPECT_EQ(Side().KickTimeLeft, expected) << c.subType;
    EXPECT_EQ(C.PuntRightFootReleaseTime.value, c.puntTakesIt ? expected : 0.5f) << c.subType;
  }
}

TEST_F(CarrierKickTest, APressureKickTurnsAwayAndKeepsMoving) {
  Side().TimeToContact = 0.3f;
  Kick().Angle = 100.0f;
  Kick().DesSpeed = 0.2f;
  Decide();
  TPlayer& C = Carrier();
  EXPECT_EQ(C.KickKind, 8.0f);
  EXPECT_EQ(Kick().Angle, 260.0f);
  EXPECT_EQ(C.KickRunAngle, 260.0f);
  EXPECT_EQ(C.KickFacing, 175.0f);
  EXPECT_FLOAT_EQ(Kick().DesSpeed, 0.72f) << "0.09 of maxspeed";
  EXPECT_EQ(C.KickRunSpeed, 1.0f) << "no kicker runs slower than 1 m/s";

  MakeScene();
  Side().TimeToContact = 0.3f;
  Kick().Angle = 300.0f;
  Kick().DesSpeed = 3.0f;
  Decide();
  EXPECT_EQ(Kick().Angle, 100.0f);
  EXPECT_EQ(Carrier().KickFacing, 15.0f);
  EXPECT_EQ(Kick().DesSpeed, 3.0f);
  EXPECT_EQ(Carrier().KickRunSpeed, 3.0f);
}

TEST_F(CarrierKickTest, BounceSetsByKind) {
  struct Set {
    f32 mean, sd, min, max;
  };
  struct Case {
    i32 subType;
    Set speed, elevation, heading;
  };
  const Case cases[] = {
      {1, {0.7f, 0.1f, 0.6f, 0.75f}, {-10, 10, -15, 15}, {0, 20, -90, 90}},
      {5, {0.7f, 0.1f, 0.6f, 0.75f}, {-10, 10, -15, 15}, {0, 20, -90, 90}},
      {2, {0.75f, 0.1f, 0.65f, 0.8f}, {7.5f, 5, -10, 7.5f}, {0, 10, -30, 30}},
      {8, {0.75f, 0.1f, 0.65f, 0.8f}, {7.5f, 5, -10, 7.5f}, {0, 10, -30, 30}},
      {3, {0.75f, 0.1f, 0.65f, 0.8f}, {-7.5f, -5, -20, 0}, {0, 10, -30, 30}},
      {4, {0.65f, 0.1f, 0.65f, 0.8f}, {-10, 10, -20, 0}, {0, 15, -35, 35}},
  };
  for (const Case& c : cases) {
    MakeScene();
    for (TDistribution& d : W.BounceErrors) d = {0.123f, 9, 9, 9, 9, kFalse32, kFalse32};
    Kick().EventSubType = c.subType;
    Decide();
    const Set* want[] = {&c.speed, &c.elevation, &c.heading};
    for (int k = 1; k <= 3; ++k) {
      const TDistribution& d = W.BounceErrors[k];
      const Set& s = *want[k - 1];
      EXPECT_EQ(d.mean, s.mean) << "kind " << c.subType << " set " << k;
      EXPECT_EQ(d.sd, s.sd) << "kind " << c.subType << " set " << k;
      EXPECT_EQ(d.min, s.min) << "kind " << c.subType << " set " << k;
      EXPECT_EQ(d.max, s.max) << "kind " << c.subType << " set " << k;
      EXPECT_EQ(d.useMin, kTrue32);
      EXPECT_EQ(d.useMax, kTrue32);
      EXPECT_EQ(d.value, 0.123f) << "the bounce step draws, not the kick";
    }
  }
}

// ------------------------------------------------------------------ placement 1

TEST_F(CarrierKickTest, TouchKickOnlyFromDeepInsideHisOwn22) {
  struct Case {
    const char* what;
    double x, z;
    f32 ballX;
    bool carriedBack;
    f32 range;
    bool touch;
  };
  const Case cases[] = {
      {"3.5 m inside his 22: not yet", 20, -31.5, 20, false, 50, false},
      {"4 m inside: to touch", 20, -32, 20, false, 50, true},
      {"carried back into his 22", 20, -32, 20, true, 50, false},
      {"touch 30 m away, 0.6 of 50 m range", 5, -40, 5, false, 50, true},
      {"touch 31 m away", 4, -40, 4, false, 50, false},
      {"the ball just left of centre measures to the left touch line", 1, -40, -0.5f, false, 58, true},
      {"the ball just right of centre to the right one", -1, -40, 0.5f, false, 58, true},
  };
  for (const Case& c : cases) {
    MakeScene();
    PlaceCarrier(c.x, c.z);
    W.BallPos.x = c.ballX;
    Side().CarriedIntoOwn22 = Flag(c.carriedBack);
    Carrier().MaxKickRange = c.range;
    Kick().EventCode = 1;
    Kick().KickLaunchSpeed = 25.0f;
    Kick().KickLaunchElevation = 40.0f;
    Decide();
    EXPECT_EQ(Side().KickSearchMode, c.touch ? 5.0f : 4.0f) << c.what;
    EXPECT_EQ(Side().KickSearchGrid, Flag(c.touch)) << c.what;
  }
}

TEST_F(CarrierKickTest, TouchKickSearchesTheQuarterTowardsTheNearLine) {
  struct Case {
    double x;
    f32 first, second, lineX;
  };
  // Rating 750: 3 + 5.5 x 0.25 = 4.375 m beyond touch.
  for (const Case& c : {Case{20, 90, 175, 39.375f}, Case{-20, 5, 90, -39.375f}}) {
    MakeScene();
    PlaceCarrier(c.x, -40);
    Kick().EventCode = 1;
    const u32 seed = RandSeed;
    EXPECT_EQ(Decide(), 3 * 25 + 2) << "every try of the grid, then the release";
    const TTeamBlock& B = Side();
    EXPECT_EQ(B.KickSearchHeadingMin, c.first);
    EXPECT_EQ(B.KickSearchHeadingMax, c.second);
    EXPECT_EQ(B.KickSearchTargetX, c.lineX);
    EXPECT_EQ(B.KickSearchSpeedMin, 24.5f);
    EXPECT_EQ(B.KickSearchSpeedMax, 28.0f);
    EXPECT_EQ(B.KickSearchElevationMin, 40.0f);
    EXPECT_EQ(B.KickSearchElevationMax, 50.0f);
    EXPECT_EQ(B.KickSearchSpeedCap, kTrue32);
    // The solver's own answer from the ball at his feet, half a metre up.
    RandSeed = seed;
    const TLaunchParams L = FindKick(25, true, true, Carrier().Pos.x, 0.5f, -40.0f, 24.5f, 28.0f, 40.0f, 50.0f,
                                     c.first, c.second, 5.0f, c.lineX, B.KickSearchTargetZ, 0.0f, 70.0f, 100.0f,
                                     28.0f);
    const TDistribution release = Carrier().PuntRightFootReleaseTime;
    EXPECT_EQ(B.KickTimeLeft, DrawClamped(release)) << "the release is drawn after the search";
    EXPECT_EQ(Kick().KickLaunchSpeed, L.Speed);
    EXPECT_EQ(Kick().KickLaunchElevation, L.Elevation);
    EXPECT_EQ(Kick().KickLaunchHeading, L.Heading);
    EXPECT_EQ(Kick().Angle, L.Heading);
    EXPECT_EQ(Carrier().KickRunAngle, L.Heading);
  }
}

TEST_F(CarrierKickTest, KickDownTheLineAimsInsideTheField) {
  // Rating 750: the target stays 2.5 + 5.75 x 0.25 = 3.9375 m inside touch.
  struct Case {
    const char* what;
    double x, z;
    f32 range, maxSpeed;
    f32 targetX, targetZ, speedMin, speedMax;
  };
  const Case cases[] = {
      {"from the middle: his full range, 5 m/s of speed range", 0, -40, 50, 28, -31.0625f, -0.81938f, 23, 28},
      {"far up-field, well in from touch: 7 m short", 0, 30, 50, 28, -31.0625f, 43, 15, 20},
      {"12 m in from the line: 8.5 m short", 20, 30, 50, 28, 31.0625f, 41.5f, 15, 20},
      {"near the line: 10 m short", 30, 30, 50, 28, 31.0625f, 40, 15, 20},
      {"at the try line: at least 0.5 m ahead", 30, 45, 50, 28, 31.0625f, 45.5f, 15, 20},
      {"line out of range: 5 m ahead at up to his top", 0, 0, 10, 28, -31.0625f, 5, 26.6f, 28},
      {"a short kick of a weak kicker: 15 to his top", 30, 30, 50, 18, 31.0625f, 40, 15, 18},
      {"a weaker one: 0.95 of his top", 30, 30, 50, 14, 31.0625f, 40, 13.3f, 14},
  };
  for (const Case& c : cases) {
    MakeScene();
    PlaceCarrier(c.x, c.z);
    Carrier().MaxKickRange = c.range;
    Carrier().MaxKickSpeed = c.maxSpeed;
    Kick().EventCode = 1;
    Kick().EventSubType = 3;
    Decide();
    const TTeamBlock& B = Side();
    EXPECT_EQ(B.KickSearchMode, 4.0f) << c.what;
    EXPECT_EQ(B.KickSearchGrid, kFalse32) << c.what;
    EXPECT_EQ(B.KickSearchSpeedCap, kTrue32) << c.what;
    EXPECT_NEAR(B.KickSearchTargetX, c.targetX, 1e-4) << c.what;
    EXPECT_NEAR(B.KickSearchTargetZ, c.targetZ, 1e-3) << c.what;
    EXPECT_NEAR(B.KickSearchSpeedMin, c.speedMin, 1e-3) << c.what;
    EXPECT_NEAR(B.KickSearchSpeedMax, c.speedMax, 1e-3) << c.what;
    const f32 h = HeadingToPoint(Carrier().Pos.x, Carrier().Pos.z, B.KickSearchTargetX, B.KickSearchTargetZ, 90.0f);
    EXPECT_FLOAT_EQ(B.KickSearchHeadingMin, h + 7.5f) << c.what;
    EXPECT_FLOAT_EQ(B.KickSearchHeadingMax, h - 7.5f) << c.what;
    EXPECT_EQ(B.KickSearchElevationMin, 35.0f) << "the chip's in-field column";
    EXPECT_EQ(B.KickSearchElevationMax, 45.0f);
  }
}

// ------------------------------------------------------------------ placements 2 and 3

TEST_F(CarrierKickTest, KickIntoSpaceFindsTheGapBehindTheDefence) {
  // The defence stands on the left of the band (x -17.5 to 17.5, z 35 to 45).
  for (int p = 1; p <= 15; ++p) W.Teams[2].Players[p].Pos = {-17.0f, 0.0f, static_cast<f32>(30 + p % 3)};
  Kick().EventCode = 2;
  Kick().EventSubType = 2;
  const int draws = Decide();
  EXPECT_GE(draws, 2 * 25 + 3 + 2);
  EXPECT_LE(draws, 2 * 25 + 3 * 25 + 2);
  const TTeamBlock& B = Side();
  EXPECT_GE(B.KickSearchTargetX, 10.0f) << "the far side of the band from the defence";
  EXPECT_LE(B.KickSearchTargetX, 17.5f);
  EXPECT_GE(B.KickSearchTargetZ, 35.0f);
  EXPECT_LE(B.KickSearchTargetZ, 45.0f);
  const f32 h = HeadingToPoint(0.0f, 0.0f, B.KickSearchTargetX, B.KickSearchTargetZ, 90.0f);
  EXPECT_FLOAT_EQ(B.KickSearchHeadingMin, h - 10.0f);
  EXPECT_FLOAT_EQ(B.KickSearchHeadingMax, h + 10.0f);
  EXPECT_FLOAT_EQ(B.KickSearchSpeedMin, 11.2f);
  EXPECT_EQ(B.KickSearchSpeedMax, 28.0f);
  EXPECT_EQ(B.KickSearchMode, 4.0f);
  EXPECT_EQ(B.KickSearchElevationMin, -10.0f) << "a grubber keeps its column";
  EXPECT_EQ(B.KickSearchElevationMax, 10.0f);
}

TEST_F(CarrierKickTest, SpaceKickElevationForPuntsFromTheDefencesTimeAndTheHang) {
  // Kicker at z -15, target 30 m up-field at z 15, top speed 20 m/s:
  // distance / speed = 1.5 s. Far from the try line, so nothing is added.
  struct Case {
    const char* what;
    double T;
    f32 mateSpeed;
    f32 kickerZ, targetZ;
    i32 kind;
    bool drawsMate;
    double low, high;
  };
  const double hang = std::asin(0.5 * double(9.81f) * 3.25 / 20.0) * kRadToDeg;  // 30 m / 10 m/s + 0.25 s
  const Case cases[] = {
      {"defence later than the flight: flat", 1.0001, 10, -15, 15, 1, false, 25, 35},
      {"defence level with the flight: hang time", 1.0, 10, -15, 15, 1, true, hang - 5, hang + 5},
      {"high punt, hang time", 0.5, 10, -15, 15, 4, true, hang - 5, hang + 5},
      {"a hang needing the kick's top speed: 72.5", 0.5, 5, -15, 15, 1, true, 67.5, 77.5},
      {"near the try line a flat kick is lifted", 5.0, 10, 30, 40, 1, false, 57, 67},
      {"lifted above 77.5: 70 to 77.5", 0.0, 2, 30, 40, 1, true, 70, 77.5},
      {"target behind a slow kicker: no arcsine beyond 1", 0.0, 0.1f, 45, -40, 1, true, 67.5, 77.5},
      {"a chip keeps its column", 0.0, 10, -15, 15, 3, false, 45, 55},
      {"a pressure kick keeps its column", 0.0, 10, -15, 15, 8, false, 54, 60},
  };
  for (const Case& c : cases) {
    MakeScene();
    for (int p = 1; p <= 15; ++p) W.Teams[1].Players[p].maxspeed = c.mateSpeed;
    PlaceCarrier(0, c.kickerZ);
    const u32 before = RandSeed;
    std::feclearexcept(FE_ALL_EXCEPT);
    const TElevationRange r = SpaceKickElevation(W, Carrier(), c.kind, 0.0f, c.targetZ, c.T, 20.0);
    EXPECT_FALSE(FloatErrorRaised()) << c.what;
    EXPECT_EQ(DrawsSince(before), c.drawsMate ? 1 : 0) << c.what;
    EXPECT_NEAR(r.Low, c.low, 1e-9) << c.what;
    EXPECT_NEAR(r.High, c.high, 1e-9) << c.what;
  }
}

TEST_F(CarrierKickTest, ContestableKickBandNarrowedByKind) {
  // From the centre with range 50: far 45, near 15 before the kind's share.
  struct Case {
    i32 subType;
    double nearZ, farZ;
    f32 low, high;
  };
  const Case cases[] = {
      {1, 37.5, 45, 40, 50}, {2, 16.5, 32.175, -10, 10}, {3, 16.5, 36.45, 40, 47},
      {4, 21, 42.6, 55, 65}, {8, 27, 44.82, 54, 60},     {5, 15, 45, 40, 50},
  };
  for (const Case& c : cases) {
    MakeScene();
    Kick().EventCode = 3;
    Kick().EventSubType = c.subType;
    const int draws = Decide();
    EXPECT_GE(draws, 2 * 50 + 3 + 2) << c.subType;
    const TTeamBlock& B = Side();
    EXPECT_GE(B.KickSearchTargetZ, c.nearZ - 1e-4) << c.subType;
    EXPECT_LE(B.KickSearchTargetZ, c.farZ + 1e-4) << c.subType;
    EXPECT_GE(B.KickSearchTargetX, -21.25f) << c.subType;
    EXPECT_LE(B.KickSearchTargetX, 21.25f) << c.subType;
    EXPECT_FLOAT_EQ(B.KickSearchSpeedMin, 14.0f);
    EXPECT_EQ(B.KickSearchElevationMin, c.low) << c.subType;
    EXPECT_EQ(B.KickSearchElevationMax, c.high) << c.subType;
  }
}

TEST_F(CarrierKickTest, ContestableKickGoesWhereTheChasersArriveFirst) {
  // The kicker at (0, 38) kicks into a band 42.75 to 45 m; two chasers wait
  // level with him 20 m either side, the defence stands deep in the middle
  // and everyone else far up-field. A chaser offside or ahead of the kicker
  // is no use, so the kick goes to the other side.
  struct Case {
    const char* what;
    f32 rightOffside, rightZ, leftOffside;
    bool toTheRight;
  };
  const Case cases[] = {
      {"the right-hand chaser offside", 1, 38, 0, false},
      {"the left-hand chaser offside", 0, 38, 1, true},
      {"the right-hand chaser 2 m ahead of the kicker", 0, 40, 0, false},
  };
  for (const Case& c : cases) {
    MakeScene();
    for (int p = 1; p <= 15; ++p) {
      W.Teams[1].Players[p].Pos = {0.0f, 0.0f, 500.0f};
      W.Teams[2].Players[p].Pos = {0.0f, 0.0f, 49.0f};
    }
    PlaceCarrier(0, 38);
    TPlayer& right = W.Teams[1].Players[3];
    TPlayer& left = W.Teams[1].Players[4];
    right.Pos = {20.0f, 0.0f, c.rightZ};
    right.OffsideMark = c.rightOffside;
    left.Pos = {-20.0f, 0.0f, 38.0f};
    left.OffsideMark = c.leftOffside;
    Kick().EventCode = 3;
    Kick().EventSubType = 5;
    Decide();
    const TTeamBlock& B = Side();
    EXPECT_GE(B.KickSearchTargetZ, 42.75f) << c.what;
    EXPECT_LE(B.KickSearchTargetZ, 45.0f) << c.what;
    if (c.toTheRight) {
      EXPECT_GT(B.KickSearchTargetX, 10.0f) << c.what;
    } else {
      EXPECT_LT(B.KickSearchTargetX, -10.0f) << c.what;
    }
  }
}

// ------------------------------------------------------------------ placements 4 and 5

TEST_F(CarrierKickTest, KickAtGoal) {
  struct Case {
    const char* what;
    double x, z;
    i32 subType;
    f32 speedMax;
    bool cap;
  };
  const Case cases[] = {
      {"a drop kick 60 m out may go beyond his top speed", 0, -10, 5, 31.5f, false},
      {"a drop kick 30 m out may not", 0, 20, 5, 28.0f, false},
      {"exactly 0.75 of his range is not far", 0, 12.5, 5, 28.0f, false},
      {"a punt at goal is held to his top speed", 0, -10, 1, 28.0f, true},
  };
  for (const Case& c : cases) {
    MakeScene();
    PlaceCarrier(c.x, c.z);
    Kick().EventCode = 4;
    Kick().EventSubType = c.subType;
    Decide();
    const TTeamBlock& B = Side();
    EXPECT_EQ(B.KickSearchMode, 3.0f) << c.what;
    EXPECT_EQ(B.KickSearchSpeedMin, 24.5f) << c.what;
    EXPECT_EQ(B.KickSearchSpeedMax, c.speedMax) << c.what;
    EXPECT_EQ(B.KickSearchSpeedCap, Flag(c.cap)) << c.what;
    EXPECT_EQ(B.KickSearchHeadingMin, 85.0f) << c.what;
    EXPECT_EQ(B.KickSearchHeadingMax, 95.0f) << c.what;
    EXPECT_EQ(B.KickSearchElevationMin, 40.0f) << c.what;
    EXPECT_LE(Kick().KickLaunchSpeed, 31.5f) << c.what;
    EXPECT_GE(Kick().KickLaunchSpeed, 24.5f) << c.what;
  }
}

TEST_F(CarrierKickTest, StraightIntoTouch) {
  struct Case {
    double x;
    f32 maxSpeed;
    f32 heading, speed;
  };
  for (const Case& c : {Case{10, 30, 181, 32}, Case{0, 30, 1, 32}, Case{-10, 28, 1, 31.5f}}) {
    MakeScene();
    PlaceCarrier(c.x, 0);
    Carrier().MaxKickSpeed = c.maxSpeed;
    Kick().EventCode = 5;
    EXPECT_EQ(Decide(), 2);
    EXPECT_EQ(Kick().Angle, c.heading);
    EXPECT_EQ(Kick().KickLaunchHeading, c.heading);
    EXPECT_EQ(Kick().KickLaunchElevation, 40.0f);
    EXPECT_EQ(Kick().KickLaunchSpeed, c.speed) << "cut to 1.125 of his top speed";
    EXPECT_EQ(Carrier().KickRunAngle, c.heading);
  }
}

// ------------------------------------------------------------------ under way

TEST_F(CarrierKickTest, KickUnderWayHoldsHimOnHisRunLine) {
  struct Case {
    const char* what;
    f32 kind;
    bool sequence;
    f32 speed, desSpeed;
    f32 run;  // m/s
  };
  const Case cases[] = {
      {"a punt: 0.35 of 8 m/s", 1, true, 6, 5, 2.8f},
      {"a high punt", 4, true, 6, 5, 2.8f},
      {"a drop kick", 5, true, 6, 5, 2.8f},
      {"a grubber: 0.7 of 8 m/s is above the event's speed", 2, true, 6, 5, 5},
      {"a chip slower than the event", 3, true, 4, 5, 4},
      {"a pressure kick: 0.09 of 8 m/s", 8, true, 6, 5, 0.72f},
      {"without a sequence the decided speed holds", 1, false, 6, 5, 3.3f},
  };
  for (const Case& c : cases) {
    MakeScene();
    TPlayer& C = Carrier();
    C.KickTimer = 0.5f;
    C.KickKind = c.kind;
    C.KickRunAngle = 30.0f;
    C.KickFacing = 60.0f;
    C.KickRunSpeed = 3.3f;
    C.speed = c.speed;
    C.ActionSeq.seqON = Flag(c.sequence);
    Kick().DesSpeed = c.desSpeed;
    C.OldPos = {1.0f, 0.0f, 2.0f};
    C.Pos = {4.0f, 0.0f, 7.0f};  // where the motion steps took him
    const u32 before = RandSeed;
    std::feclearexcept(FE_ALL_EXCEPT);
    ContinueKick(W);
    EXPECT_FALSE(FloatErrorRaised());
    EXPECT_EQ(RandSeed, before);
    EXPECT_FLOAT_EQ(C.KickRunSpeed, c.run) << c.what;
    const double step = c.run * 0.04;
    EXPECT_NEAR(C.Pos.x, 1.0 - std::cos(30.0 * kDegToRad) * step, 1e-5) << c.what;
    EXPECT_NEAR(C.Pos.z, 2.0 + std::sin(30.0 * kDegToRad) * step, 1e-5) << c.what;
    EXPECT_FLOAT_EQ(C.FacingAngle, static_cast<f32>(150.0 * kDegToRad)) << c.what;
  }

  MakeScene();
  Carrier().Pos = {4.0f, 0.0f, 7.0f};
  std::memcpy(&Before, &W, sizeof W);
  ContinueKick(W);
  EXPECT_EQ(std::memcmp(&Before, &W, sizeof W), 0) << "no kick under way";
}

TEST_F(CarrierKickTest, TheCarriersFrameDecidesTheKickAndRunsItsFirstStep) {
  TPlayer& C = Carrier();
  C.OldPos = {0.0f, 0.0f, -0.2f};  // he ran 5 m/s up-field last frame
  C.FacingAngle = C.PrevFacingAngle = static_cast<f32>(180.0 * kDegToRad);
  C.desiredspeed = 5.0f;
  C.Acceleration = 4.0f;
  Kick().Angle = 70.0f;
  std::feclearexcept(FE_ALL_EXCEPT);
  BallCarrierDecision(W);
  EXPECT_FALSE(FloatErrorRaised());
  EXPECT_TRUE(Kicked());
  EXPECT_EQ(C.KickRunAngle, 70.0f);
  // From where he stood, 0.35 x 8 m/s along heading 70 for one frame.
  const double step = 2.8 * 0.04;
  EXPECT_NEAR(C.Pos.x, -std::cos(70.0 * kDegToRad) * step, 1e-5);
  EXPECT_NEAR(C.Pos.z, std::sin(70.0 * kDegToRad) * step, 1e-5);
}

}  // namespace

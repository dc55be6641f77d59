#include "decision/CarrierPass.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <cstring>

#include "AllocationCounter.h"
#include "ExampleMatch.h"
#include "core/DrawCount.h"
#include "core/FloatFlags.h"
#include "core/Geometry.h"
#include "core/MoveBooks.h"
#include "core/Random.h"
#include "core/StrategyShapes.h"
#include "decision/BallCarrierDecision.h"
#include "flow/OpenPlayScene.h"
#include "platform/Form.h"

namespace {

constexpr int kCarrier = 10;
constexpr int kReceiver = 7;

// The scene: block 1 in running in the match world, its player 10 carrying
// the ball at the centre spot, standing, facing up-field (heading 90), top
// speed 8 m/s; player 7 the receiver, standing 5 m to his left; everyone
// else far away (block 1 500 m behind, block 2 500 m ahead). The carrier's
// ten release times have means 0.11 (pop left) to 0.52 (standing-still
// right), their mean 0.315 s, each clamped to its mean (sd 1, clamp
// switches off: a draw with both clamps on gives the mean). Sampling is on.
TWorld W;

TTeamBlock& Side() { return W.Teams[1]; }
TPlayer& Carrier() { return W.Teams[1].Players[kCarrier]; }
TPlayer& Receiver() { return W.Teams[1].Players[kReceiver]; }
TPlayer& Defender(int p) { return W.Teams[2].Players[p]; }
TActionEvent& Event(int k) { return Carrier().ActionSeq.EventArray[k]; }

f32 Rad(double degrees) { return static_cast<f32>(degrees * kDegToRad); }
f32 Facing(double heading) { return Rad(heading + 90.0); }

void SetRelease(TDistribution& d, f32 mean) {
  d = {0.0f, mean, 1.0f, mean, mean, kFalse32, kFalse32};
}

void SetReleaseTimes(TPlayer& C) {
  SetRelease(C.PopPassLeftReleaseTime, 0.11f);
  SetRelease(C.PopPassRightReleaseTime, 0.12f);
  SetRelease(C.ShortPassLeftReleaseTime, 0.21f);
  SetRelease(C.ShortPassRightReleaseTime, 0.22f);
  SetRelease(C.MediumPassLeftReleaseTime, 0.31f);
  SetRelease(C.MediumPassRightReleaseTime, 0.32f);
  SetRelease(C.LongPassLeftReleaseTime, 0.41f);
  SetRelease(C.LongPassRightReleaseTime, 0.42f);
  SetRelease(C.StandingStillPassLeftReleaseTime, 0.51f);
  SetRelease(C.StandingStillPassRightReleaseTime, 0.52f);
}

// The carrier's current event: event 1 of a started sequence of two, a pass
// of Kind to Receiver, then a plain run.
void GivePassEvent(i32 Kind, i32 ReceiverNumber) {
  TActionSeq& S = Carrier().ActionSeq;
  S = StrategyParams.ActionSeqTemplate;
  S.NumEvents = 2;
  S.CurrEventIndex = 1;
  S.EventArray[1].EventType = Kind;
  S.EventArray[1].EventSubType = ReceiverNumber;
  S.EventArray[1].DesSpeed = 5.0f;
  S.EventArray[2].DesSpeed = 5.0f;
  S.EventArray[2].DistOrig = 100.0f;
}

void MakeScene() {
  MakeOpenPlayPitch(W);
  RandSeed = 57;
  W.LiveWorld = kTrue32;
  W.Team1InFirstBlock = kTrue32;
  BuildActionSeqTemplates(W);
  for (int b = 1; b <= 2; ++b) {
    for (int p = 1; p <= 25; ++p) {
      TPlayer& P = W.Teams[b].Players[p];
      PutAt(P, static_cast<f32>(p - 8), b == 1 ? -500.0f : 500.0f);
      P.maxspeed = 8.0f;
      P.Acceleration = 4.0f;
      P.FacingAngle = Facing(90.0);
      P.DummyBiteRating = 500;
      P.BodyWidth = 0.28f;
    }
  }
  Side().BallCarrier = kCarrier;
  Side().TimeToContact = 10000.0f;
  TPlayer& C = Carrier();
  PutAt(C, 0.0f, 0.0f);
  C.maxpassspeed = 12.0f;
  C.SupportAfterPassProb = 1000.0f;
  C.DummyPassRating = 500;
  C.DrawAndPassStartTime.value = 0.25f;
  SetReleaseTimes(C);
  Receiver().Pos = {-5.0f, 0.0f, 0.0f};
  Receiver().OldPos = Receiver().Pos;
  GivePassEvent(1, kReceiver);
  MoveBooks[1].SamplingOn = kTrue32;
  MoveBooks[2].SamplingOn = kFalse32;
  Form1.Memo2.Clear();
}

// Runs Step and checks that it raised no floating-point error; returns the
// number of draws it took.
int DrawsOf(void (*Step)(TWorld&)) {
  const u32 seed = RandSeed;
  std::feclearexcept(FE_ALL_EXCEPT);
  Step(W);
  EXPECT_FALSE(FloatErrorRaised());
  return DrawsSince(seed);
}

bool Started() { return Carrier().passtimer > 0; }

class CarrierPassTest : public ::testing::Test {
 protected:
  void SetUp() override { MakeScene(); }
  void TearDown() override {
    MoveBooks[1].SamplingOn = kFalse32;
    MoveBooks[2].SamplingOn = kFalse32;
  }
};

// ------------------------------------------------------------------ wish and guards

TEST_F(CarrierPassTest, KindsTwoAndFourWaitForPressureJudgedByThePossessingSidesBook) {
  struct Case {
    i32 kind;
    bool sampling;     // of the possessing side's book
    bool teamOneFirst; // Team1InFirstBlock: book 1 samples, book 2 does not
    f32 contact;       // TimeToContact, s (DrawAndPassContactTime 0.25)
    bool starts;
    const char* what;
  } cases[] = {
      {1, true, true, 10000.0f, true, "a pass always"},
      {3, true, true, 10000.0f, true, "a dummy always"},
      {1, false, true, 10000.0f, true, "a pass always, not sampling"},
      {3, false, true, 10000.0f, true, "a dummy always, not sampling"},
      {2, true, true, 0.24f, true, "draw-and-pass with the tackler within the contact time"},
      {2, true, true, 0.26f, false, "draw-and-pass with the tackler beyond the contact time"},
      {4, true, true, 0.34f, true, "long dummy under 0.35 s"},
      {4, true, true, 0.36f, false, "long dummy over 0.35 s"},
      {2, false, true, 0.49f, true, "draw-and-pass not sampling, under 0.5 s"},
      {2, false, true, 0.5f, false, "draw-and-pass not sampling, at 0.5 s"},
      {4, false, true, 0.49f, true, "long dummy not sampling, under 0.5 s"},
      {4, false, true, 0.5f, false, "long dummy not sampling, at 0.5 s"},
      {2, false, false, 0.4f, true, "team 2 in possession reads book 2 (not sampling)"},
      {2, true, false, 0.4f, false, "team 2 in possession reads book 2 (sampling)"},
      {0, true, true, 0.0f, false, "a plain run"},
      {5, true, true, 0.0f, false, "a kick"},
      {12, true, true, 0.0f, false, "an offload"},
  };
  for (const Case& c : cases) {
    MakeScene();
    GivePassEvent(c.kind, kReceiver);
    W.Team1InFirstBlock = c.teamOneFirst ? kTrue32 : kFalse32;
    MoveBooks[c.teamOneFirst ? 1 : 2].SamplingOn = c.sampling ? kTrue32 : kFalse32;
    MoveBooks[c.teamOneFirst ? 2 : 1].SamplingOn = c.sampling ? kFalse32 : kTrue32;
    Side().TimeToContact = c.contact;
    DrawsOf(StartPass);
    EXPECT_EQ(Started(), c.starts) << c.what;
    EXPECT_EQ(Side().PassReceiver, c.starts ? kReceiver : 0) << c.what;
  }
}

TEST_F(CarrierPassTest, NoPassStartsWhileAnotherActionIsUnderWay) {
  struct Case {
    void (*set)();
    bool starts;
    const char* what;
  } cases[] = {
      {[] {}, true, "nothing under way"},
      {[] { Carrier().passtimer = 0.01f; }, false, "a pass"},
      {[] { Carrier().DiveTimer = 0.01f; }, false, "a dive"},
      {[] { Carrier().standuptimer = 0.01f; }, false, "getting up"},
      {[] { Carrier().BreakTackleTimer = 0.01f; }, false, "a break"},
      {[] { Carrier().freeballcatchtimer = 0.01f; }, false, "a loose-ball take"},
      {[] { Carrier().ForcedRunTimer = 0.01f; }, false, "a forced run"},
      {[] { Carrier().StepTimer = 0.01f; }, false, "a side-step"},
      {[] { Carrier().GettingTackledTimer = 0.01f; }, false, "a tackle"},
      {[] { Carrier().passcatchtimer = 0.01f; }, false, "a catch"},
      {[] {
         Carrier().passcatchtimer = 0.01f;
         W.PassOnCatchAllowed = kTrue32;
       },
       true, "a catch, passing on the catch allowed"},
      {[] {
         Carrier().passcatchtimer = 0.01f;
         Side().ActOnCatchAllowed = 1;
       },
       true, "a catch, the side acting on the catch"},
      {[] {
         Carrier().passcatchtimer = 0.01f;
         Side().ActOnCatchAllowed = -1;
       },
       false, "a catch, ActOnCatchAllowed set but not 1"},
      {[] {
         Carrier().SpecialAnimTimer = 0.01f;
         Carrier().SpecialAnimKind = 3.0f;
       },
       false, "a special animation of kind 3"},
      {[] {
         Carrier().SpecialAnimTimer = 0.01f;
         Carrier().SpecialAnimKind = 2.0f;
       },
       true, "a special animation of another kind"},
  };
  for (const Case& c : cases) {
    MakeScene();
    c.set();
    const f32 passtimer = Carrier().passtimer;
    const int draws = DrawsOf(StartPass);
    EXPECT_EQ(Started() && Carrier().passtimer != passtimer, c.starts) << c.what;
    // The support-run call and the short and standing-still release times.
    EXPECT_EQ(draws, c.starts ? 5 : 0) << c.what;
  }
}

// A receiver number naming nobody on the field starts nothing, reads no
// player record and draws nothing; in a whole frame the carrier runs on.
TEST_F(CarrierPassTest, AReceiverOffTheFieldStartsNothing) {
  for (i32 receiver : {0, 16, 25, 26, -1, 1000000}) {
    MakeScene();
    GivePassEvent(1, receiver);
    Side().PassReceiver = 3;
    const f32 z = Carrier().Pos.z;
    Carrier().OldPos.z = -0.2f;  // measured at 5 m/s
    const int draws = DrawsOf(BallCarrierDecision);
    EXPECT_EQ(draws, 0) << receiver;
    EXPECT_EQ(Side().PassReceiver, 0) << receiver;
    EXPECT_FALSE(Started()) << receiver;
    EXPECT_EQ(Side().PassTimeLeft, 0.0f) << receiver;
    EXPECT_EQ(Side().PassDuration, 0.0f) << receiver;
    EXPECT_GT(Carrier().Pos.z, z) << receiver;
    EXPECT_EQ(Carrier().ActionSeq.seqON, kTrue32) << receiver;
  }
}

// ------------------------------------------------------------------ the start

TEST_F(CarrierPassTest, TheStartSetsTheTimersAndCallsTheSupportRun) {
  struct Case {
    f32 prob;  // SupportAfterPassProb
    bool call;
  } cases[] = {{1000.0f, true}, {1.0f, false}, {0.0f, false}};
  for (const Case& c : cases) {
    MakeScene();
    Carrier().SupportAfterPassProb = c.prob;
    Carrier().passcatchtimer = 0.5f;
    W.PassOnCatchAllowed = kTrue32;
    Receiver().shimmytimer = 0.3f;
    const u32 seed = RandSeed;
    const int draws = DrawsOf(StartPass);
    EXPECT_EQ(draws, 5);
    RandSeed = seed;
    const bool expected = RandomRange(1, 1001) < c.prob;
    EXPECT_EQ(expected, c.call) << c.prob;
    EXPECT_EQ(Carrier().SupportRunCall, c.call ? kTrue32 : kFalse32) << c.prob;
    EXPECT_EQ(Carrier().passtimer, 10.0f);
    EXPECT_EQ(Carrier().passcatchtimer, 0.0f);
    EXPECT_EQ(Receiver().shimmytimer, 0.0f);
    EXPECT_EQ(Side().PassReceiver, kReceiver);
  }
}

// Receiver and passer at rest stay where they are; a receiver running at his
// own speed straight up-field covers it for the mean of the ten release
// means (0.315 s) before the pass is classified.
TEST_F(CarrierPassTest, TheCatchPointIsPredictedOverTheMeanReleaseTime) {
  Receiver().speed = 4.0f;
  Receiver().maxspeed = 4.0f;
  DrawsOf(StartPass);
  EXPECT_EQ(Side().ReceiverRunSpeed, 4.0f);
  EXPECT_NEAR(Side().ReceiverRunAngle, 90.0f, 1e-4);
  EXPECT_FLOAT_EQ(Side().CatchPoint.x, -5.0f);
  EXPECT_NEAR(Side().CatchPoint.z, 4.0 * 0.315, 1e-5);
  EXPECT_NEAR(Side().CatchPoint.heading, 90.0f, 1e-4);
  EXPECT_EQ(Side().PasserPredicted.x, 0.0f);
  EXPECT_EQ(Side().PasserPredicted.z, 0.0f);
  EXPECT_NEAR(Side().PasserRunAngle, 90.0f, 1e-4);
  EXPECT_EQ(Side().PasserSpeedRef, 8.0f);
}

// Kind by the distance from the passer's predicted point to the catch
// point; side by the catch point seen from a passer running up-field.
TEST_F(CarrierPassTest, KindSideAndReleaseTimeFollowTheCatchPoint) {
  struct Case {
    f32 rx, rz;        // receiver, standing
    f32 speed;         // carrier's measured speed, m/s
    f32 facing;        // carrier's heading, degrees
    i32 kind, side;
    f32 release;       // drawn, in PassTimeLeft and PassDuration
    int draws;
    const char* what;
  } cases[] = {
      {-1.5f, 1.5f, 0.0f, 90.0f, 1, 1, 0.11f, 3, "pop left, standing still"},
      {2.0f, -2.0f, 0.0f, 90.0f, 1, 2, 0.12f, 3, "pop right at 2 m on both axes, standing still"},
      {2.01f, 0.0f, 0.0f, 90.0f, 5, 2, 0.52f, 5, "just past pop reach: short, then standing still"},
      {-1.0f, 3.0f, 5.0f, 90.0f, 1, 1, 0.11f, 3, "pop to a point he runs onto"},
      {-3.0f, 0.0f, 5.0f, 90.0f, 2, 1, 0.21f, 3, "short left"},
      {8.0f, 0.0f, 5.0f, 90.0f, 3, 2, 0.32f, 3, "medium right"},
      {-12.5f, 0.0f, 5.0f, 90.0f, 4, 1, 0.41f, 5, "long left: medium, then long"},
      {-12.5f, 0.0f, 0.1f, 90.0f, 5, 1, 0.51f, 7, "12.5 m walking: medium, long, standing still"},
      {-8.0f, 0.0f, 0.19f, 90.0f, 5, 1, 0.51f, 5, "medium walking: medium, standing still"},
      {2.5f, -4.33f, 0.0f, 30.0f, 5, 1, 0.51f, 5, "back to the right of a passer running at 30: left"},
      {2.5f, -4.33f, 0.0f, 150.0f, 5, 2, 0.52f, 5, "the same point, passer running at 150: right"},
  };
  for (const Case& c : cases) {
    MakeScene();
    Receiver().Pos = {c.rx, 0.0f, c.rz};
    Receiver().OldPos = Receiver().Pos;
    Carrier().speed = c.speed;
    Carrier().FacingAngle = Facing(c.facing);
    const int draws = DrawsOf(StartPass);
    EXPECT_EQ(Side().PassKind, c.kind) << c.what;
    EXPECT_EQ(Side().PassSide, c.side) << c.what;
    EXPECT_EQ(Side().PassTimeLeft, c.release) << c.what;
    EXPECT_EQ(Side().PassDuration, c.release) << c.what;
    EXPECT_EQ(draws, c.draws) << c.what;
  }
}

// At 12.5 m walking pace each of the three kinds draws into its own
// distribution, in order; the short pass is never drawn.
TEST_F(CarrierPassTest, EveryOverrideDrawsAgainWithBothClamps) {
  Receiver().Pos = {-12.5f, 0.0f, 0.0f};
  Carrier().speed = 0.1f;
  TPlayer& C = Carrier();
  C.MediumPassLeftReleaseTime = {0.0f, 0.3f, 0.2f, 0.1f, 0.9f, kFalse32, kFalse32};
  C.LongPassLeftReleaseTime = {0.0f, 0.4f, 0.2f, 0.1f, 0.9f, kTrue32, kTrue32};
  C.StandingStillPassLeftReleaseTime = {0.0f, 0.5f, 0.2f, 0.1f, 0.9f, kFalse32, kTrue32};
  const u32 seed = RandSeed;
  DrawsOf(StartPass);
  // Replay: the support-run call, then medium, long and standing still.
  const u32 after = RandSeed;
  RandSeed = seed;
  RandomRange(1, 1001);
  const f32 medium = GaussianRandom(0.3f, 0.2f, 0.1f, 0.9f, kTrue32, kTrue32);
  const f32 longer = GaussianRandom(0.4f, 0.2f, 0.1f, 0.9f, kTrue32, kTrue32);
  const f32 still = GaussianRandom(0.5f, 0.2f, 0.1f, 0.9f, kTrue32, kTrue32);
  EXPECT_EQ(RandSeed, after);
  EXPECT_EQ(C.MediumPassLeftReleaseTime.value, medium);
  EXPECT_EQ(C.LongPassLeftReleaseTime.value, longer);
  EXPECT_EQ(C.StandingStillPassLeftReleaseTime.value, still);
  EXPECT_EQ(C.ShortPassLeftReleaseTime.value, 0.0f);
  EXPECT_EQ(Side().PassTimeLeft, still);
  EXPECT_EQ(Side().PassDuration, still);
  EXPECT_EQ(Side().PassKind, 5);
}

// ------------------------------------------------------------------ the receiver's run

TEST_F(CarrierPassTest, TheReceiversRunSpeedAndHeading) {
  struct Case {
    void (*set)();
    f32 speed;    // ReceiverRunSpeed
    f32 heading;  // ReceiverRunAngle
    const char* what;
  } cases[] = {
      {[] { Receiver().speed = 4.0f; }, 4.0f, 90.0f, "no sequence, facing up-field"},
      {[] {
         Receiver().speed = 4.0f;
         Receiver().FacingAngle = Facing(0.0);
       },
       4.0f, 45.0f, "no sequence, facing across: half way up-field"},
      {[] {
         Receiver().speed = 4.0f;
         Receiver().FacingAngle = Facing(270.0);
         Carrier().OldPos.x = -0.1f;
       },
       4.0f, 135.0f, "facing back, the carrier moving to +x"},
      {[] {
         Receiver().speed = 4.0f;
         Receiver().FacingAngle = Facing(270.0);
         Carrier().OldPos.x = 0.1f;
       },
       4.0f, 45.0f, "facing back, the carrier moving to -x"},
      {[] {
         Receiver().speed = 4.0f;
         Receiver().FacingAngle = Facing(270.0);
       },
       4.0f, 90.0f, "facing back, the carrier not moving across"},
      {[] {
         Receiver().speed = 4.0f;
         Receiver().FacingAngle = Facing(0.0);
         Receiver().SpeedLossSlope = -2.0f;
       },
       0.8f, 45.0f, "a 45-degree turn at -2 per cent a degree leaves 10 per cent of 8 m/s"},
      {[] {
         TActionSeq& S = Receiver().ActionSeq;
         S = StrategyParams.ActionSeqTemplate;
         S.NumEvents = 3;
         S.EventArray[1].Complete = kTrue32;
         S.EventArray[1].DesSpeed = 2.0f;
         S.EventArray[2].DesSpeed = 6.0f;
         S.EventArray[3].DesSpeed = 7.0f;
         Receiver().speed = 3.0f;
         Receiver().OldPos.z = -0.2f;  // moving up-field
       },
       6.0f, 90.0f, "a sequence: the first event not complete sets the speed"},
      {[] {
         TActionSeq& S = Receiver().ActionSeq;
         S = StrategyParams.ActionSeqTemplate;
         S.EventArray[1].DesSpeed = 6.0f;
         Receiver().OldPos.x = -4.8f;  // moving to -x (heading 0), 141 degrees off the line to the carrier
       },
       6.0f, 71.340192f, "a sequence: kept within 70 degrees of the line to the carrier"},
  };
  for (const Case& c : cases) {
    MakeScene();
    // The carrier 4 m up-field: the line from the receiver to him runs at
    // 141.34 degrees.
    Carrier().Pos.z = 4.0f;
    Carrier().OldPos.z = 4.0f;
    c.set();
    DrawsOf(StartPass);
    EXPECT_NEAR(Side().ReceiverRunSpeed, c.speed, 1e-5) << c.what;
    EXPECT_NEAR(Side().ReceiverRunAngle, c.heading, 1e-3) << c.what;
  }
}

// Near touch the receiver runs straight up-field: when his run would reach
// within 0.5 m of touch before a long pass gets to him, and when his catch
// point lies within half his body width of touch.
TEST_F(CarrierPassTest, AReceiverNearTouchRunsStraightUpField) {
  struct Case {
    f32 side;       // +1 the +x touchline, -1 the other
    f32 speed;      // receiver's, m/s
    f32 bodyWidth;  // m
    f32 heading, catchX;
    const char* what;
  } cases[] = {
      {1.0f, 3.0f, 0.0f, 120.0f, 34.9f, "catch point 0.1 m from touch, no body width"},
      {1.0f, 3.0f, 0.28f, 90.0f, 34.0f, "catch point within half his body width: again at 90"},
      {-1.0f, 3.0f, 0.0f, 60.0f, -34.9f, "the other touchline, no body width"},
      {-1.0f, 3.0f, 0.28f, 90.0f, -34.0f, "the other touchline: again at 90"},
      {1.0f, 6.0f, 0.0f, 90.0f, 34.0f, "his run reaches the touch margin before the ball"},
  };
  for (const Case& c : cases) {
    MakeScene();
    TPlayer& C = Carrier();
    for (TDistribution* d :
         {&C.PopPassLeftReleaseTime, &C.PopPassRightReleaseTime, &C.ShortPassLeftReleaseTime,
          &C.ShortPassRightReleaseTime, &C.MediumPassLeftReleaseTime, &C.MediumPassRightReleaseTime,
          &C.LongPassLeftReleaseTime, &C.LongPassRightReleaseTime, &C.StandingStillPassLeftReleaseTime,
          &C.StandingStillPassRightReleaseTime}) {
      d->mean = 0.6f;
    }
    C.LongPassRightReleaseTime.max = 0.1f;
    PutAt(C, 33.0f * c.side, 1.0f);
    TPlayer& R = Receiver();
    PutAt(R, 34.0f * c.side, 0.0f);
    R.speed = c.speed;
    R.maxspeed = 8.0f;
    R.BodyWidth = c.bodyWidth;
    R.FacingAngle = Facing(c.side > 0 ? 150.0 : 30.0);  // half way to up-field: 120 or 60
    DrawsOf(StartPass);
    EXPECT_NEAR(Side().ReceiverRunAngle, c.heading, 1e-4) << c.what;
    EXPECT_NEAR(Side().CatchPoint.x, c.catchX, 1e-4) << c.what;
  }
}

// ------------------------------------------------------------------ dummies and the passer

TEST_F(CarrierPassTest, OnlyADummyMakesThePassReactorsBite) {
  struct Case {
    i32 kind;
    f32 meanRelease;  // all ten release means, s
    int biters;       // of the five reactors ahead
    f32 bite;         // s
    const char* what;
  } cases[] = {
      {1, 0.315f, 0, 0.0f, "a pass"},
      {2, 0.315f, 0, 0.0f, "a draw-and-pass"},
      {3, 0.315f, 5, 0.355f, "a dummy: the wind-up and one frame"},
      {4, 0.315f, 5, 0.355f, "a long dummy"},
      {3, 1.0f, 5, 0.75f, "a dummy of a long wind-up: at most 0.75 s"},
      {3, 0.0f, 5, 0.475f, "a dummy with no wind-up: 0.475 s"},
  };
  for (const Case& c : cases) {
    MakeScene();
    GivePassEvent(c.kind, kReceiver);
    Side().TimeToContact = 0.1f;  // kinds 2 and 4 want to pass
    Carrier().DummyPassRating = 1001;
    for (TDistribution* d : {&Carrier().PopPassLeftReleaseTime, &Carrier().PopPassRightReleaseTime,
                             &Carrier().ShortPassLeftReleaseTime, &Carrier().ShortPassRightReleaseTime,
                             &Carrier().MediumPassLeftReleaseTime, &Carrier().MediumPassRightReleaseTime,
                             &Carrier().LongPassLeftReleaseTime, &Carrier().LongPassRightReleaseTime,
                             &Carrier().StandingStillPassLeftReleaseTime,
                             &Carrier().StandingStillPassRightReleaseTime}) {
      d->mean = c.meanRelease;
    }
    // Defenders 1 to 9 stand 5 m ahead; 1 to 5 are the reactors.
    for (int i = 1; i <= 9; ++i) {
      Defender(i).Pos = {static_cast<f32>(2 * i - 10), 0.0f, 5.0f};
      Defender(i).DummyBiteRating = 1001;
    }
    for (int k = 1; k <= 5; ++k) W.Teams[2].PassReactors[k] = k;
    const int draws = DrawsOf(StartPass);
    int biters = 0;
    for (int i = 1; i <= 15; ++i) {
      if (Defender(i).DummyBiteTimer > 0) {
        ++biters;
        EXPECT_LE(i, 5) << c.what;
        EXPECT_NEAR(Defender(i).DummyBiteTimer, c.bite, 1e-6) << c.what;
        EXPECT_EQ(Defender(i).DummyBiteTarget, kReceiver) << c.what;
      }
    }
    EXPECT_EQ(biters, c.biters) << c.what;
    // The support-run call, short and standing-still release times, the bites.
    EXPECT_EQ(draws, 5 + c.biters) << c.what;
  }
}

// Each reactor draws once when he is ahead and not biting yet; the draw,
// his distance and his following decide.
TEST_F(CarrierPassTest, AReactorBitesOnlyAheadClearOfTheCarrierAndFree) {
  struct Case {
    void (*set)(TPlayer& D);
    int draws;  // bite draws
    bool bites;
    const char* what;
  } cases[] = {
      {[](TPlayer&) {}, 1, true, "ahead at 5 m"},
      {[](TPlayer& D) { D.Pos.z = -5.0f; }, 0, false, "behind"},
      {[](TPlayer& D) { D.Pos.z = 0.0f; }, 0, false, "level"},
      {[](TPlayer& D) { D.DummyBiteTimer = 0.1f; }, 0, false, "already biting"},
      {[](TPlayer& D) { D.Pos = {0.0f, 0.0f, 2.25f}; }, 1, false, "within 2.25 m"},
      {[](TPlayer& D) { D.Pos = {0.0f, 0.0f, 2.26f}; }, 1, true, "just beyond 2.25 m"},
      {[](TPlayer& D) { D.playertofollowtimer = 0.1f; }, 1, false, "following a player"},
      {[](TPlayer& D) { D.DummyBiteRating = -1001; }, 1, false, "a rating that never bites"},
  };
  for (const Case& c : cases) {
    MakeScene();
    GivePassEvent(3, kReceiver);
    Carrier().DummyPassRating = 1001;
    TPlayer& D = Defender(4);
    D.Pos = {0.0f, 0.0f, 5.0f};
    D.DummyBiteRating = 1001;
    W.Teams[2].PassReactors[3] = 4;
    Defender(5).Pos = {1.0f, 0.0f, 5.0f};  // ahead, not a reactor
    Defender(5).DummyBiteRating = 1001;
    c.set(D);
    const int draws = DrawsOf(StartPass);
    EXPECT_EQ(draws, 5 + c.draws) << c.what;  // the support-run call, two release times, the bite
    EXPECT_EQ(D.DummyBiteTimer > 0 && D.DummyBiteTarget == kReceiver, c.bites) << c.what;
    EXPECT_EQ(Defender(5).DummyBiteTimer, 0.0f) << c.what;
  }
}

// The passer running at 5 m/s is predicted 3.75 m up-field at 8 m/s; a
// closing defender who gets there first and is nearer the point of a slower
// run slows him to 6 m/s, unless the catch point is ahead of that point.
TEST_F(CarrierPassTest, TheNearestClosingDefenderSlowsThePasser) {
  struct Case {
    void (*set)();
    f32 speed;  // PasserSpeedRef
    const char* what;
  } cases[] = {
      {[] {}, 6.0f, "slowed"},
      {[] { Defender(3).ClosingOnCarrier = kFalse32; }, 8.0f, "not closing"},
      {[] { Defender(3).speed = 4.0f; }, 8.0f, "too slow to get there first"},
      {[] { Receiver().Pos.z = 3.0f; }, 8.0f, "the catch point ahead of the slower run"},
      {[] { Defender(3).Pos = {0.0f, 0.0f, 5.5f}; }, 8.0f, "straight ahead: the slower run meets him sooner"},
      {[] {
         Defender(6).ClosingOnCarrier = kTrue32;
         Defender(6).InterceptZ = 1.0f;
       },
       8.0f, "another closer with a smaller meeting value, far away"},
      {[] {
         Defender(6).ClosingOnCarrier = kTrue32;
         Defender(6).InterceptZ = 2.0f;
       },
       6.0f, "another closer with the same meeting value: the first stays"},
      {[] { Carrier().maxspeed = 1.0f; }, 1.0f, "a passer of 1 m/s is not slowed"},
  };
  for (const Case& c : cases) {
    MakeScene();
    Carrier().speed = 5.0f;
    Receiver().Pos = {-5.0f, 0.0f, -1.0f};
    TPlayer& D = Defender(3);
    D.Pos = {-1.5f, 0.0f, 2.0f};
    D.speed = 8.0f;
    D.ClosingOnCarrier = kTrue32;
    D.InterceptZ = 2.0f;
    c.set();
    DrawsOf(StartPass);
    EXPECT_EQ(Side().PasserSpeedRef, c.speed) << c.what;
    if (c.speed == 6.0f) {
      // 0.25 s accelerating counted at 5 m/s, then 0.065 s at 6 m/s.
      EXPECT_NEAR(Side().PasserPredicted.z, 1.25 + 0.065 * 6.0, 1e-5) << c.what;
      EXPECT_EQ(Side().PasserPredicted.speed, 6.0f) << c.what;
    }
  }
}

// ------------------------------------------------------------------ cancel

// A pass to player 7 wound up from 0.4 s; the event in force then changes.
void WindUp(f32 Left, i32 Kind, i32 ReceiverNumber) {
  GivePassEvent(Kind, ReceiverNumber);
  Carrier().passtimer = 9.0f;
  Side().PassReceiver = kReceiver;
  Side().PassDuration = 0.4f;
  Side().PassTimeLeft = Left;
  Carrier().currentAnim.Assign("passright");
  Carrier().currentframe = 960.0f;
  Carrier().maxframes = 1920.0f;
  Carrier().AnimLoop = kFalse32;
  Carrier().AnimLoopCount = 3;
  Carrier().AnimLoopTime = 0.5f;
  Carrier().BallTrack = 4;
}

TEST_F(CarrierPassTest, AWindUpIsCancelledOnlyWhenTheEventInForceIsAnotherAction) {
  struct Case {
    f32 left;  // PassTimeLeft of 0.4 s
    i32 kind, receiver;
    void (*set)();
    bool cancelled;
    const char* what;
  } cases[] = {
      {0.3f, 0, 0, [] {}, true, "a plain run"},
      {0.3f, 5, 0, [] {}, true, "a kick"},
      {0.3f, 1, 6, [] {}, true, "a pass to another receiver"},
      {0.3f, 2, 6, [] {}, true, "a draw-and-pass to another receiver"},
      {0.3f, 1, kReceiver, [] {}, false, "the same pass"},
      {0.3f, 2, kReceiver, [] {}, false, "a draw-and-pass to him"},
      {0.3f, 3, 6, [] {}, false, "a dummy to anyone"},
      {0.3f, 4, 0, [] {}, false, "a long dummy to anyone"},
      {0.35f, 0, 0, [] {}, false, "in the first quarter: 0.31 s of 0.4 left after this frame"},
      {0.3f, 0, 0, [] { Carrier().passtimer = 0.0f; }, false, "no pass action"},
      {0.0f, 0, 0, [] {}, false, "nothing left to wind up"},
      {0.3f, 0, 0, [] { Carrier().OffloadPending = 0.1f; }, false, "an offload pending"},
      {0.3f, 0, 0, [] { Carrier().ActionSeq.seqON = kFalse32; }, false, "no running sequence"},
      {0.3f, 0, 0, [] { Carrier().ActionSeq.CurrEventIndex = 0; }, false, "a sequence not started"},
      {0.3f, 0, 0, [] { Carrier().ActionSeq.CurrEventIndex = 11; }, false, "an event beyond the record"},
  };
  for (const Case& c : cases) {
    MakeScene();
    WindUp(c.left, c.kind, c.receiver);
    c.set();
    const f32 left = Side().PassTimeLeft;
    EXPECT_EQ(DrawsOf(ChangePassDecision), 0) << c.what;
    const TPlayer& C = Carrier();
    if (c.cancelled) {
      EXPECT_EQ(Side().PassTimeLeft, 0.0f) << c.what;
      EXPECT_EQ(C.passtimer, 0.0f) << c.what;
      EXPECT_EQ(C.currentAnim.View(), "sprintwithball") << c.what;
      EXPECT_EQ(C.AnimLoop, kTrue32) << c.what;
      EXPECT_EQ(C.BallTrack, 1) << c.what;
      EXPECT_EQ(C.AnimLoopCount, 0) << c.what;
      EXPECT_EQ(C.AnimLoopTime, 0.0f) << c.what;
      EXPECT_EQ(C.currentframe, 919.5f) << c.what;  // half of the new animation
      EXPECT_EQ(C.maxframes, 1839.0f) << c.what;
    } else {
      EXPECT_EQ(Side().PassTimeLeft, left) << c.what;
      EXPECT_EQ(C.currentAnim.View(), "passright") << c.what;
      EXPECT_EQ(C.maxframes, 1920.0f) << c.what;
    }
  }
}

TEST_F(CarrierPassTest, TheCancelIsLoggedInTheMatchWorldOnly) {
  for (bool live : {true, false}) {
    MakeScene();
    WindUp(0.3f, 5, 2);
    W.LiveWorld = live ? kTrue32 : kFalse32;
    W.clock = 754.6f;
    DrawsOf(ChangePassDecision);
    EXPECT_EQ(Side().PassTimeLeft, 0.0f) << live;
    if (live) {
      ASSERT_EQ(Form1.Memo2.Count(), 1u);
      EXPECT_EQ(Form1.Memo2.Lines[0], "pass decision change 5 2 7 12:35");
    } else {
      EXPECT_EQ(Form1.Memo2.Count(), 0u);
    }
  }
}

// An animation with no length gives no fraction: the sprint starts at frame 0.
TEST_F(CarrierPassTest, TheCancelOfAnAnimationWithoutLengthStartsTheSprintAtItsStart) {
  WindUp(0.3f, 0, 0);
  Carrier().maxframes = 0.0f;
  DrawsOf(ChangePassDecision);
  EXPECT_EQ(Carrier().currentframe, 0.0f);
  EXPECT_EQ(Carrier().maxframes, 1839.0f);
}

// ------------------------------------------------------------------ release frame

TEST_F(CarrierPassTest, AtTheReleaseADrawAndPassWithoutItsTacklerIsAborted) {
  struct Case {
    f32 left;     // PassTimeLeft
    f32 contact;  // TimeToContact; DrawAndPassContactTime 0.25
    bool live;
    i32 kind;
    f32 tackled;  // GettingTackledTimer
    bool aborted;
    const char* what;
  } cases[] = {
      {0.04f, 0.48f, true, 2, 0.0f, true, "the tackler 0.48 s away at the release"},
      {0.01f, 10000.0f, true, 2, 0.0f, true, "no defender at all"},
      {0.04f, 0.47f, true, 2, 0.0f, false, "the tackler within 0.225 s of the contact time"},
      {0.04f, 0.48f, false, 2, 0.0f, false, "in the look-ahead it goes ahead"},
      {0.05f, 0.48f, true, 2, 0.0f, false, "not the release frame"},
      {0.0f, 0.48f, true, 2, 0.0f, false, "nothing wound up"},
      {0.04f, 0.48f, true, 2, 0.1f, false, "being tackled"},
      {0.04f, 0.48f, true, 1, 0.0f, false, "a plain pass"},
  };
  for (const Case& c : cases) {
    MakeScene();
    GivePassEvent(c.kind, kReceiver);
    Carrier().passtimer = 9.0f;
    Side().PassTimeLeft = c.left;
    Side().TimeToContact = c.contact;
    Carrier().GettingTackledTimer = c.tackled;
    W.LiveWorld = c.live ? kTrue32 : kFalse32;
    W.clock = 119.6f;
    EXPECT_EQ(DrawsOf(AbortOrReleasePass), 0) << c.what;
    if (c.aborted) {
      EXPECT_EQ(Side().PassTimeLeft, 0.0f) << c.what;
      EXPECT_EQ(Carrier().passtimer, 0.0f) << c.what;
      EXPECT_EQ(Carrier().ActionSeq.seqON, kFalse32) << c.what;
      ASSERT_EQ(Form1.Memo2.Count(), 1u) << c.what;
      EXPECT_EQ(Form1.Memo2.Lines[0], "PASS ABORTED AT 1:60") << c.what;
    } else {
      EXPECT_EQ(Side().PassTimeLeft, c.left) << c.what;
      EXPECT_EQ(Carrier().passtimer, 9.0f) << c.what;
      EXPECT_EQ(Carrier().ActionSeq.seqON, kTrue32) << c.what;
      EXPECT_EQ(Form1.Memo2.Count(), 0u) << c.what;
    }
    EXPECT_EQ(Event(1).Complete, kFalse32) << c.what;
  }
}

TEST_F(CarrierPassTest, ADummyCompletesItsEventAtTheReleaseAndKeepsTheBall) {
  struct Case {
    i32 kind;
    f32 left;
    f32 offload;  // OffloadPending
    bool live;
    bool released;
    const char* what;
  } cases[] = {
      {3, 0.04f, 0.0f, true, true, "a dummy"},
      {4, 0.02f, 0.0f, true, true, "a long dummy"},
      {3, 0.04f, 0.0f, false, true, "a dummy in the look-ahead"},
      {3, 0.05f, 0.0f, true, false, "not the release frame"},
      {3, 0.04f, 0.1f, true, false, "an offload pending"},
      {1, 0.04f, 0.0f, true, false, "a pass is the timer step's"},
  };
  for (const Case& c : cases) {
    MakeScene();
    GivePassEvent(c.kind, kReceiver);
    Carrier().passtimer = 9.0f;
    Carrier().OffloadPending = c.offload;
    Side().PassTimeLeft = c.left;
    W.LiveWorld = c.live ? kTrue32 : kFalse32;
    EXPECT_EQ(DrawsOf(AbortOrReleasePass), 0) << c.what;
    EXPECT_EQ(Side().PassTimeLeft, c.released ? 0.0f : c.left) << c.what;
    EXPECT_EQ(Event(1).Complete, c.released ? kTrue32 : kFalse32) << c.what;
    EXPECT_EQ(Carrier().passtimer, 9.0f) << c.what;
    EXPECT_EQ(Side().BallCarrier, kCarrier) << c.what;
    EXPECT_EQ(Carrier().ActionSeq.seqON, kTrue32) << c.what;
    EXPECT_EQ(Form1.Memo2.Count(), 0u) << c.what;
  }
}

// ------------------------------------------------------------------ whole frames

// Frame 1 starts the dummy; the timer step is stood in for by counting
// PassTimeLeft down; at the release frame the dummy completes and the next
// frame runs the following event with the ball still in hand.
TEST_F(CarrierPassTest, ADummyPlaysThroughTheCarriersFrames) {
  GivePassEvent(3, kReceiver);
  Receiver().Pos = {-5.0f, 0.0f, -1.0f};
  Carrier().OldPos.z = -0.2f;
  DrawsOf(BallCarrierDecision);
  ASSERT_TRUE(Started());
  EXPECT_EQ(Side().PassReceiver, kReceiver);
  int frames = 1;
  while (Event(1).Complete == 0 && frames < 50) {
    Side().PassTimeLeft = ToF32(Side().PassTimeLeft - W.TimeStep);
    DrawsOf(BallCarrierDecision);
    ++frames;
  }
  EXPECT_NE(Event(1).Complete, 0);
  EXPECT_EQ(Side().PassTimeLeft, 0.0f);
  EXPECT_EQ(Carrier().passtimer, 10.0f);  // left running
  DrawsOf(BallCarrierDecision);
  EXPECT_EQ(Carrier().ActionSeq.CurrEventIndex, 2);
  EXPECT_EQ(Side().BallCarrier, kCarrier);
}

// In a whole frame, a pass wound up past its first quarter is cancelled when
// the event in force has become a kick.
TEST_F(CarrierPassTest, AFrameCancelsAWindUpWhoseEventBecameAKick) {
  WindUp(0.3f, 5, 0);
  Carrier().OldPos.z = -0.2f;
  DrawsOf(BallCarrierDecision);
  EXPECT_EQ(Side().PassTimeLeft, 0.0f);
  EXPECT_EQ(Carrier().passtimer, 0.0f);
  EXPECT_EQ(Carrier().currentAnim.View(), "sprintwithball");
}

// ------------------------------------------------------------------ the example match

class CarrierPassMatchTest : public ExampleMatchTest {};

// Every pass kind starts on a real side without a float error or an
// allocation, with a release time from the passer's own distributions.
TEST_F(CarrierPassMatchTest, PassesStartBetweenRealPlayers) {
  World.gamestate = gsRunning;
  World.TimeStep = 0.04f;
  World.LiveWorld = kTrue32;
  const i32 carrier = World.Teams[1].BallCarrier;
  ASSERT_GE(carrier, 1);
  const u32 seed = RandSeed;
  TakeLookAheadCopy();
  for (i32 receiver = 1; receiver <= PlayerCount(World); ++receiver) {
    if (receiver == carrier) continue;
    std::memcpy(&W, &LookAheadWorld, sizeof W);
    TPlayer& C = W.Teams[1].Players[carrier];
    C.ActionSeq = StrategyParams.ActionSeqTemplate;
    C.ActionSeq.CurrEventIndex = 1;
    C.ActionSeq.EventArray[1].EventType = 1 + receiver % 4;
    C.ActionSeq.EventArray[1].EventSubType = receiver;
    W.Teams[1].TimeToContact = 0.1f;
    for (int k = 1; k <= 5; ++k) W.Teams[2].PassReactors[k] = k;
    std::feclearexcept(FE_ALL_EXCEPT);
    StartCountingAllocations();
    StartPass(W);
    const long allocations = StopCountingAllocations();
    EXPECT_FALSE(FloatErrorRaised()) << receiver;
    EXPECT_EQ(allocations, 0) << receiver;
    const TTeamBlock& T = W.Teams[1];
    ASSERT_EQ(T.PassReceiver, receiver);
    EXPECT_GE(T.PassKind, 1) << receiver;
    EXPECT_LE(T.PassKind, 5) << receiver;
    EXPECT_EQ(T.PassDuration, T.PassTimeLeft) << receiver;
    EXPECT_GT(T.PassDuration, 0.0f) << receiver;
    EXPECT_LE(T.PassDuration, 2.0f) << receiver;
  }
  RandSeed = seed;
}

}  // namespace

#include "decision/BallCarrierDecision.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>

#include "AllocationCounter.h"
#include "ExampleMatch.h"
#include "SmallWorld.h"
#include "core/DrawCount.h"
#include "core/FloatFlags.h"
#include "core/Geometry.h"
#include "core/Kinematics.h"
#include "core/NumberFormat.h"
#include "core/Random.h"
#include "core/StrategyShapes.h"
#include "platform/Form.h"

namespace {

constexpr int kCarrier = 10;

// The scene: block 1 in running, its player 10 carrying the ball at the
// centre spot, running up-field (+z) at 5 m/s on heading 90 with a top speed
// of 8 m/s; every other player far away, the defenders 500 m down-field,
// standing far behind him. No sequence is given yet.
TWorld W;
TWorld Before;

TPlayer& Carrier() { return W.Teams[1].Players[W.Teams[1].BallCarrier]; }
TPlayer& Defender(int p) { return W.Teams[2].Players[p]; }
TActionSeq& Seq() { return Carrier().ActionSeq; }
TActionEvent& Event(int k) { return Seq().EventArray[k]; }

f32 Rad(double degrees) { return static_cast<f32>(degrees * kDegToRad); }
double FacingHeading(const TPlayer& P) { return P.FacingAngle * kRadToDeg - 90.0; }

// Moves the carrier's previous position so that he measures Speed along
// Heading, with the velocity to match.
void SetRun(double Speed, double Heading) {
  TPlayer& C = Carrier();
  const TDirection u = HeadingDirection(Heading);
  C.Velocity = {static_cast<f32>(Speed * u.x), static_cast<f32>(Speed * u.z)};
  C.OldPos = C.Pos;
  C.OldPos.x = static_cast<f32>(C.Pos.x - C.Velocity.x * W.TimeStep);
  C.OldPos.z = static_cast<f32>(C.Pos.z - C.Velocity.z * W.TimeStep);
  C.FacingAngle = Rad(Heading + 90.0);
  C.PrevFacingAngle = C.FacingAngle;
}

void MakeScene() {
  MakeSmallWorld(W, {.InGoals = true, .Frame = true});
  RandSeed = 2026;
  W.gamestate = gsRunning;
  BuildActionSeqTemplates(W);
  ForEverySlot(W, [](TPlayer& P, int b, int p) {
    PutAt(P, static_cast<f32>(p - 8), b == 1 ? 500.0f : -500.0f);
    P.maxspeed = 8.0f;
    P.Acceleration = 4.0f;
    P.maxpassspeed = 12.0f;  // a pass event that becomes current starts a pass
  });
  W.Teams[1].BallCarrier = kCarrier;
  TPlayer& C = Carrier();
  C.Pos = {0.0f, 0.0f, 0.0f};
  C.SpeedLossSlope = -2.0f;
  SetRun(5.0, 90.0);
  Form1.Memo2.Clear();
}

// Gives the carrier a sequence of n plain runs at 5 m/s on heading 90, not
// yet started.
void GiveRuns(int n) {
  TActionSeq& S = Seq();
  S = StrategyParams.ActionSeqTemplate;
  S.NumEvents = n;
  for (int k = 1; k <= n; ++k) {
    S.EventArray[k].DesSpeed = 5.0f;
    S.EventArray[k].DistOrig = 100.0f;
  }
}

// The same, started on event 1 (as a sequence carried over from an earlier
// state is).
void GiveStartedRuns(int n) {
  GiveRuns(n);
  Seq().CurrEventIndex = 1;
  for (int k = 1; k <= n; ++k) Event(k).DeadlineLeft = Event(k).Deadline;
}

void Decide() {
  std::feclearexcept(FE_ALL_EXCEPT);
  BallCarrierDecision(W);
  EXPECT_FALSE(FloatErrorRaised());
}

class BallCarrierDecisionTest : public ::testing::Test {
 protected:
  void SetUp() override { MakeScene(); }
};

// ------------------------------------------------------------------ end conditions

constexpr int kReceiver = 7;

// Event k of the carrier's sequence a pass of the kind to player Receiver,
// who stands at x = 2; event 1's lateral margin Margin.
void PassTo(int k, i32 Kind, i32 Receiver, f32 Margin) {
  Event(k).EventType = Kind;
  Event(k).EventSubType = Receiver;
  W.Teams[1].Players[kReceiver].Pos.x = 2.0f;
  Event(1).EndLeadX = Margin;
}

// Event 3 a pass to kReceiver, who runs a started relative run and stands
// Gap metres from its target.
void ReceiverOnHisWay(f32 Gap) {
  Event(3).EventType = 1;
  Event(3).EventSubType = kReceiver;
  TPlayer& R = W.Teams[1].Players[kReceiver];
  R.Pos = {5.0f, 0.0f, 0.0f};
  R.ActionSeq = StrategyParams.ActionSeqTemplate;
  R.ActionSeq.CurrEventIndex = 1;
  R.ActionSeq.EventArray[1].RelMovementOn = kTrue32;
  R.ActionSeq.EventArray[1].TargetPos = {5.0f, Gap};
}

TEST_F(BallCarrierDecisionTest, EndConditionsInRunning) {
  struct Case {
    i32 condition;
    void (*scene)();
    int event;  // the event looked at
    bool completes;
    const char* what;
  };
  static const Case cases[] = {
      {1, [] { Carrier().passcatchtimer = 1.0f; }, 1, false, "1 needs the passing state"},
      {2, [] {}, 1, false, "2 needs the passing state"},
      {3, [] { Carrier().passcatchtimer = 0.5f; }, 1, true, "3: catching a pass"},
      {3, [] { Carrier().freeballcatchtimer = 0.5f; }, 1, true, "3: taking a loose ball"},
      {3, [] {}, 1, false, "3: not catching"},
      {4, [] { Event(1).EndLeadZ = -0.5f; }, 1, true, "4 with a negative margin"},
      {4, [] { Event(1).EndLeadZ = 3.0f; }, 1, false, "4 with a positive margin"},
      {5, [] { Carrier().GettingTackledTimer = 1.0f; }, 1, true, "5: being tackled"},
      {5, [] {}, 1, false, "5: free"},
      {6, [] {}, 1, true, "6 on the first running frame"},
      {7, [] { Carrier().Pos.x = 34.6f; Event(1).DistTravelled = 1.0f; }, 1, true, "7 at touch after 0.5 m"},
      {7, [] { Carrier().Pos.x = 34.6f; Event(1).DistTravelled = 0.4f; }, 1, false, "7 at touch within 0.5 m"},
      {7, [] { Event(1).RelMovementOn = kTrue32; Event(1).RelPlayer = 0; Event(1).TargetPos.x = -34.6f; },
       1, true, "7: target at touch"},
      {8, [] { Event(1).EndLeadZ = -1.0f; }, 1, false, "8 never for the carrier"},
      {9, [] { Carrier().Pos.x = -34.2f; }, 1, true, "9 within 0.9 m of touch"},
      {9, [] { Carrier().Pos.x = -34.0f; }, 1, false, "9 1 m from touch"},
      {10, [] { PassTo(2, 1, kReceiver, 3.0f); }, 1, true, "10: past the receiver's x"},
      {10, [] { PassTo(2, 2, kReceiver, 1.0f); }, 1, false, "10: short of the receiver's x"},
      {10, [] { PassTo(2, 1, 16, 30.0f); }, 1, false, "10: a receiver off the field"},
      {10, [] { PassTo(3, 1, kReceiver, 3.0f); }, 1, false, "10: only the next event counts"},
      {11, [] { PassTo(2, 1, kReceiver, 1.0f); }, 1, true, "11: short of the receiver's x"},
      {12, [] { ReceiverOnHisWay(1.0f); }, 1, true, "12: the receiver of a later pass is on his mark"},
      {12, [] { ReceiverOnHisWay(2.0f); }, 1, false, "12: the receiver 2 m from his mark"},
      {13, [] {}, 1, false, "13 never"},
      {14, [] {}, 1, false, "14 on the first event"},
      {14, [] { Event(1).EndCondition = 6; Event(2).EndCondition = 14; }, 2, true, "14 after a completed event"},
      {15, [] { Carrier().passtimer = 1.0f; W.Teams[1].PassReceiver = kReceiver; }, 1, true,
       "15: a pass to another under way"},
      {15, [] { Carrier().passtimer = 1.0f; W.Teams[1].PassReceiver = kCarrier; }, 1, false,
       "15: he receives the pass himself"},
      {16, [] { Carrier().Pos.x = 34.1f; }, 1, true, "16 within 1 m of touch"},
      {17, [] { Carrier().KickTimer = 1.0f; W.Teams[1].KickTimeLeft = 1.0f; }, 1, false,
       "17 never for the carrier"},
      {18, [] { W.FrameGameState = gsRunning; W.PrevFrameGameState = gsRunning; }, 1, true,
       "18: running this frame and the last"},
      {18, [] { W.FrameGameState = gsRunning; W.PrevFrameGameState = gsPassing; }, 1, false,
       "18: passing the frame before"},
  };
  for (const Case& c : cases) {
    MakeScene();
    GiveStartedRuns(3);
    Event(1).EndCondition = c.condition;
    c.scene();
    Decide();
    EXPECT_EQ(Event(c.event).Complete != 0, c.completes) << c.what;
  }
}

TEST_F(BallCarrierDecisionTest, NoEndConditionIsTestedOnTheFrameTheSequenceStarts) {
  GiveRuns(2);
  Event(1).EndCondition = 6;
  Decide();
  EXPECT_EQ(Event(1).Complete, 0);
  EXPECT_EQ(Seq().CurrEventIndex, 1);
  Decide();
  EXPECT_NE(Event(1).Complete, 0);
  EXPECT_EQ(Seq().CurrEventIndex, 2);
}

// ------------------------------------------------------------------ timers and arrival

TEST_F(BallCarrierDecisionTest, ArrivedTimedEventHoldsForItsDurationFromTheNextFrame) {
  W.TimeStep = 0.125f;  // a whole number of frames in 0.5 s
  SetRun(5.0, 90.0);
  GiveRuns(2);
  Event(1).DistOrig = 0.1f;
  Event(1).Duration = 0.5f;
  int arrival = 0;
  int completion = 0;
  for (int frame = 1; frame <= 20 && completion == 0; ++frame) {
    Decide();
    if (arrival == 0 && Event(1).TimedOn != 0) arrival = frame;
    if (Event(1).Complete != 0) completion = frame;
    if (arrival != 0 && completion == 0 && frame > arrival) {
      EXPECT_FLOAT_EQ(Event(1).TimeLeft, 0.5f - 0.125f * static_cast<float>(frame - arrival)) << frame;
    }
  }
  // Frame 1 starts the sequence, frame 2 runs 0.625 m, frame 3 sees him past
  // 0.1 m; four frames of 0.125 s hold him, the fifth completes the event.
  EXPECT_EQ(arrival, 3);
  EXPECT_EQ(completion, arrival + 5);
  EXPECT_EQ(Seq().CurrEventIndex, 2);
}

TEST_F(BallCarrierDecisionTest, UntimedRunCompletesOnArrival) {
  GiveRuns(2);
  Event(1).DistOrig = 0.1f;
  Decide();  // starts
  Decide();  // runs 0.2 m
  EXPECT_EQ(Event(1).Complete, 0);
  Decide();
  EXPECT_NE(Event(1).Complete, 0);
  EXPECT_EQ(Event(1).TimedOn, 0);
  EXPECT_EQ(Seq().CurrEventIndex, 2);
}

TEST_F(BallCarrierDecisionTest, EventsExpireOnlyWhileNotCurrent) {
  GiveStartedRuns(2);
  Event(1).DeadlineLeft = 0.03f;  // current: not counted down
  Event(2).DeadlineLeft = 0.03f;
  Decide();
  EXPECT_EQ(Event(1).Complete, 0);
  EXPECT_FLOAT_EQ(Event(1).DeadlineLeft, 0.03f);
  EXPECT_NE(Event(2).Complete, 0);
}

TEST_F(BallCarrierDecisionTest, SequenceSwitchesOffOnceEveryEventIsComplete) {
  GiveStartedRuns(1);
  Event(1).EndCondition = 6;
  Carrier().desiredspeed = 5.0f;  // as the run set it
  Decide();
  EXPECT_NE(Event(1).Complete, 0);
  EXPECT_EQ(Seq().seqON, 0);
  EXPECT_EQ(Seq().CurrEventIndex, 1);
  // He runs on along his last facing at his speed.
  EXPECT_NEAR(FacingHeading(Carrier()), 90.0, 1e-4);
  EXPECT_NEAR(Carrier().Pos.z, 0.2f, 1e-5);
}

// ------------------------------------------------------------------ relative runs

TEST_F(BallCarrierDecisionTest, RunToATargetNearTheReferencePlayer) {
  struct Case {
    i32 refPlayer;
    bool ownTeam;
    TVector3 refPos;
    f32 refHeading;
    TVector2 target;
    const char* what;
  } cases[] = {
      {5, true, {10.0f, 0.0f, 20.0f}, 90.0f, {10.0f, 25.0f}, "5 m up-field of a team-mate"},
      {5, false, {-10.0f, 0.0f, 20.0f}, 0.0f, {-15.0f, 20.0f}, "5 m to -x of an opponent"},
      {5, true, {33.0f, 0.0f, 20.0f}, 180.0f, {34.4f, 20.0f}, "kept 0.6 m inside touch"},
      {0, true, {}, 90.0f, {3.0f, 4.0f}, "no reference player: the target stays"},
      {16, true, {}, 90.0f, {3.0f, 4.0f}, "a reference player off the field: the target stays"},
  };
  for (const Case& c : cases) {
    MakeScene();
    GiveStartedRuns(1);
    TActionEvent& E = Event(1);
    E.RelMovementOn = kTrue32;
    E.Intercept = kFalse32;
    E.RelPlayer = c.refPlayer;
    E.RelOwnTeam = Flag(c.ownTeam);
    E.RelDistance = 5.0f;
    E.RelHeading = c.refHeading;
    E.TargetPos = {3.0f, 4.0f};
    if (c.refPlayer == 5) W.Teams[c.ownTeam ? 1 : 2].Players[5].Pos = c.refPos;
    Decide();
    EXPECT_NEAR(E.TargetPos.x, c.target.x, 1e-4) << c.what;
    EXPECT_NEAR(E.TargetPos.z, c.target.z, 1e-4) << c.what;
    // He faces the target from where he stood.
    EXPECT_NEAR(FacingHeading(Carrier()), HeadingToPoint(0.0f, 0.0f, E.TargetPos.x, E.TargetPos.z, 0.0f), 1e-3)
        << c.what;
  }
}

TEST_F(BallCarrierDecisionTest, RunToATargetArrivesWithin045Metres) {
  struct Case {
    f32 distance;  // m up-field
    bool completes;
  } cases[] = {{0.64f, true}, {0.66f, false}};  // 5 m/s x 0.04 s = 0.2 m to come
  for (const Case& c : cases) {
    MakeScene();
    GiveStartedRuns(2);
    Event(1).RelMovementOn = kTrue32;
    Event(1).RelPlayer = 0;
    Event(1).TargetPos = {0.0f, c.distance};
    Decide();
    EXPECT_EQ(Event(1).Complete != 0, c.completes) << c.distance;
  }
}

TEST_F(BallCarrierDecisionTest, InterceptingRunFacesAheadOfAMovingReference) {
  GiveStartedRuns(1);
  TActionEvent& E = Event(1);
  E.RelMovementOn = kTrue32;
  E.RelOwnTeam = kTrue32;
  E.RelPlayer = 5;
  E.RelDistance = 5.0f;
  E.RelHeading = 90.0f;
  TPlayer& R = W.Teams[1].Players[5];
  R.Pos = {0.0f, 0.0f, 10.0f};
  R.OldPos = {-0.24f, 0.0f, 10.0f};  // running to +x at 6 m/s
  R.speed = 6.0f;
  R.MeasuredSpeed = 6.0f;
  E.Intercept = kFalse32;
  const TActionEvent event = E;
  const TPlayer reference = R;
  Decide();
  const double straight = FacingHeading(Carrier());
  MakeScene();
  GiveStartedRuns(1);
  Event(1) = event;
  Event(1).Intercept = kTrue32;
  W.Teams[1].Players[5] = reference;
  Decide();
  // The target (0, 15) moves on to +x, so he aims to its right.
  EXPECT_NEAR(straight, 90.0, 1e-3);
  EXPECT_GT(FacingHeading(Carrier()), straight + 1.0);
}

// ------------------------------------------------------------------ carrier without a sequence

TEST_F(BallCarrierDecisionTest, CarrierWithoutSequenceRunsOnHisLastHeadingAtHisMeasuredSpeed) {
  for (f32 sinceSetPiece : {0.0f, 10.0f}) {
    MakeScene();
    W.TimeSinceSetPiece = sinceSetPiece;
    SetRun(5.0, 60.0);
    Seq().seqON = kFalse32;
    TVector3 start = Carrier().Pos;
    for (int frame = 1; frame <= 3; ++frame) {
      Decide();
      EXPECT_EQ(Seq().seqON, 0) << sinceSetPiece;
      EXPECT_NEAR(Carrier().speed, 5.0f, 1e-4) << sinceSetPiece;
      EXPECT_NEAR(Event(1).Angle, 60.0f, 1e-3) << sinceSetPiece;
      EXPECT_NEAR(FacingHeading(Carrier()), 60.0, 1e-3) << sinceSetPiece;
    }
    const TDirection u = HeadingDirection(60.0);
    EXPECT_NEAR(Carrier().Pos.x, start.x + u.x * 0.6, 1e-4) << sinceSetPiece;
    EXPECT_NEAR(Carrier().Pos.z, start.z + u.z * 0.6, 1e-4) << sinceSetPiece;
  }
}

TEST_F(BallCarrierDecisionTest, RunningLineNearTouchBendsAwayAndKeepsTheFirstLineInField) {
  // 0.5 m inside the right-hand edge (35 - 1 m) the lines bend to smaller
  // headings: 100, 93.75, 87.5. A defender 6 m ahead stops each line after
  // about a second; the first two would end over the edge, the third is kept.
  // Without him every line runs 100000 s, ends over a touchline and is
  // refused, and the angle stays.
  for (bool defender : {true, false}) {
    MakeScene();
    W.TimeSinceSetPiece = 10.0f;
    Carrier().Pos.x = 34.5f;
    SetRun(5.0, 90.0);
    GiveRuns(1);
    Event(1).Angle = 100.0f;
    if (defender) {
      Defender(4).Pos = {34.5f, 0.0f, 6.0f};
      Defender(4).OldPos = Defender(4).Pos;
    }
    Decide();
    EXPECT_NEAR(Event(1).Angle, defender ? 87.5f : 100.0f, 1e-4) << defender;
  }
}

TEST_F(BallCarrierDecisionTest, RunningLineBendsAwayFromADefenderClosingFromTheSide) {
  // A defender 2 m to +x and 3 m ahead comes across at 2 m/s: on the line
  // bent 6.25 degrees away from him he closes at little over 1 m/s, so that
  // line gets furthest up-field before contact.
  W.TimeSinceSetPiece = 10.0f;
  GiveRuns(1);
  Event(1).DesSpeed = 8.0f;
  TPlayer& D = Defender(4);
  D.Pos = {2.0f, 0.0f, 3.0f};
  D.OldPos = {2.08f, 0.0f, 3.0f};
  Decide();
  EXPECT_NEAR(Event(1).Angle, 83.75f, 1e-4);
  // Without him the straight line wins.
  MakeScene();
  W.TimeSinceSetPiece = 10.0f;
  GiveRuns(1);
  Event(1).DesSpeed = 8.0f;
  Decide();
  EXPECT_NEAR(Event(1).Angle, 90.0f, 1e-4);
}

// ------------------------------------------------------------------ time to contact

TEST_F(BallCarrierDecisionTest, TimeToContactOfTheNearestEligibleDefender) {
  // The carrier ran from (0, -0.2) to (0, 0); the defender stands at z.
  auto closing = [](f32 z, f32 reach) {
    return ClosingTime(0.0f, -0.2f, 0.0f, 0.0f, 0.0f, z, 0.0f, z, 0.04f, reach);
  };
  constexpr f32 kNone = -1.0f;
  struct Case {
    f32 z;
    f32 oldTackle;    // OldTackleTimer
    f32 attemptKind;  // kind of a tackle attempt under way, kNone for none
    i32 target;       // of that attempt
    i32 follows;      // the player he follows, 0 for none
    f32 reach;        // m, 0 when not eligible
    const char* what;
  } cases[] = {
      {4.0f, 0.0f, kNone, 0, 0, 0.9f, "standing ahead"},
      {-4.0f, 0.0f, kNone, 0, 0, 0.8f, "standing behind"},
      {4.0f, 0.5f, kNone, 0, 0, 0.0f, "just out of a tackle"},
      {4.0f, 0.0f, 3.0f, kCarrier, 0, 0.0f, "tackle attempt of kind 3"},
      {4.0f, 0.0f, 8.0f, kCarrier, 0, 0.0f, "tackle attempt of kind 8"},
      {4.0f, 0.0f, 2.0f, kCarrier, 0, 0.9f, "tackle attempt of kind 2 on the carrier"},
      {4.0f, 0.0f, 2.0f, 4, 0, 0.0f, "tackle attempt on another"},
      {4.0f, 0.0f, kNone, 0, 4, 0.0f, "following another"},
      {4.0f, 0.0f, kNone, 0, kCarrier, 0.9f, "following the carrier"},
  };
  for (const Case& c : cases) {
    MakeScene();
    TPlayer& D = Defender(6);
    PutAt(D, 0.0f, c.z);
    D.OldTackleTimer = c.oldTackle;
    if (c.attemptKind != kNone) {
      D.TackleAttemptTimer = 0.5f;
      D.TackleAttemptKind = c.attemptKind;
      D.target = c.target;
    }
    if (c.follows != 0) {
      D.playertofollowtimer = 1.0f;
      D.playertofollow = c.follows;
    }
    Decide();
    const f32 expected = c.reach > 0 ? closing(c.z, c.reach) : 10000.0f;
    EXPECT_NEAR(W.Teams[1].TimeToContact, expected, 1e-4 * expected) << c.what;
    EXPECT_EQ(W.LastContactTime, W.Teams[1].TimeToContact) << c.what;
  }
  // The reach matters: behind him 0.8 m, not 0.9 m.
  EXPECT_NE(closing(-4.0f, 0.8f), closing(-4.0f, 0.9f));
}

TEST_F(BallCarrierDecisionTest, TimeToContactWithNoDefenderAnywhereNear) {
  Decide();
  EXPECT_EQ(W.Teams[1].TimeToContact, 10000.0f);
  EXPECT_EQ(W.LastContactTime, 10000.0f);
}

// ------------------------------------------------------------------ speed

TEST_F(BallCarrierDecisionTest, SpeedCappedTurnedAcceleratedOrDroppedAtOnce) {
  struct Case {
    double measured;
    f32 desired;
    f32 accel;
    double turn;  // degrees between this frame's facing and the last
    f32 speed;
    const char* what;
  } cases[] = {
      {9.0, 10.0f, 0.0f, 0.0, 7.6f, "above 0.95 x maxspeed on a straight line: cut to it"},
      {9.0, 10.0f, 4.0f, 0.0, 7.76f, "cut, then accelerated"},
      {6.0, 3.0f, 4.0f, 0.0, 3.0f, "a lower desired speed at once"},
      {4.0, 10.0f, 4.0f, 0.0, 4.16f, "accelerating"},
      {4.0, 4.1f, 4.0f, 0.0, 4.1f, "accelerating up to the desired speed only"},
      {5.0, 10.0f, 0.0f, 12.5, 5.0f, "a turn of 12.5 degrees costs nothing"},
      {5.0, 10.0f, 0.0f, 30.0, 3.04f, "a turn of 30 degrees: (100 - 2 x 30)% of 0.95 x 8"},
      {5.0, 10.0f, 0.0f, 70.0, 0.0f, "a turn beyond 50 degrees stops him"},
  };
  for (const Case& c : cases) {
    MakeScene();
    SetRun(c.measured, 90.0);
    Carrier().Acceleration = c.accel;
    Carrier().PrevFacingAngle = Rad(90.0 + 90.0 + c.turn);
    GiveStartedRuns(1);
    Event(1).DesSpeed = c.desired;
    Decide();
    EXPECT_NEAR(Carrier().speed, c.speed, 1e-4) << c.what;
    EXPECT_EQ(Carrier().desiredspeed, c.desired) << c.what;
    EXPECT_EQ(Carrier().PrevFacingAngle, Rad(180.0)) << c.what;
  }
}

// ------------------------------------------------------------------ touchline

TEST_F(BallCarrierDecisionTest, PlainRunNearTouchTurnsInWhileDriftingOut) {
  struct Case {
    f32 x;
    f32 vx;
    bool pressed;  // a defender within 0.575 s
    f32 z;
    double turn;   // degrees added to the event's angle this frame
    const char* what;
  } cases[] = {
      {-34.0f, -2.0f, false, 0.0f, 135.0 * 0.04, "left, 0.15 s from the edge"},
      {-33.5f, -2.0f, false, 0.0f, 45.0 * 0.04, "left, 0.4 s"},
      {-33.0f, -2.0f, false, 0.0f, 10.0 * 0.04, "left, 0.65 s"},
      {-32.0f, -2.0f, false, 0.0f, 0.0, "left, 1.15 s"},
      {-34.5f, -0.02f, false, 0.0f, 135.0 * 0.04, "left, beyond the edge"},
      {-34.0f, 2.0f, false, 0.0f, 0.0, "left, drifting in"},
      {-30.0f, -20.0f, false, 0.0f, 0.0, "5 m from touch: outside the band"},
      {-32.0f, -0.5f, true, 0.0f, 10.0 * 0.04, "left, pressed: 2.3 m at 3.25 m/s"},
      {-32.0f, 0.0f, true, 0.0f, 10.0 * 0.04, "left, pressed without drift"},
      {-32.0f, -0.5f, true, 49.5f, 0.0, "pressed near the far try line: no extra drift"},
      {34.0f, 2.0f, false, 0.0f, -135.0 * 0.04, "right, 0.15 s"},
      {33.5f, 2.0f, false, 0.0f, -45.0 * 0.04, "right, 0.4 s"},
      {32.0f, 0.5f, true, 0.0f, -10.0 * 0.04, "right, pressed"},
      {34.0f, -2.0f, false, 0.0f, 0.0, "right, drifting in"},
  };
  for (const Case& c : cases) {
    MakeScene();
    TPlayer& C = Carrier();
    C.Pos = {c.x, 0.0f, c.z};
    SetRun(5.0, 90.0);
    C.Velocity.x = c.vx;
    GiveStartedRuns(1);
    if (c.pressed) {
      Defender(3).Pos = {c.x, 0.0f, c.z + 0.5f};
      Defender(3).OldPos = Defender(3).Pos;
    }
    Decide();
    EXPECT_EQ(W.Teams[1].TimeToContact < 0.575f, c.pressed) << c.what;
    EXPECT_NEAR(Event(1).Angle, 90.0 + c.turn, 1e-4) << c.what;
    EXPECT_NEAR(FacingHeading(C), 90.0 + c.turn, 1e-4) << c.what;
  }
}

TEST_F(BallCarrierDecisionTest, NoTouchSteeringWhileTackledOrForOtherEvents) {
  for (int variant = 0; variant < 2; ++variant) {
    MakeScene();
    Carrier().Pos.x = -34.0f;
    SetRun(5.0, 90.0);
    Carrier().Velocity.x = -2.0f;
    GiveStartedRuns(1);
    if (variant == 0) Carrier().GettingTackledTimer = 1.0f;
    if (variant == 1) Event(1).EventType = 8;
    Decide();
    EXPECT_EQ(Event(1).Angle, 90.0f) << variant;
  }
}

// ------------------------------------------------------------------ curved run-in

TEST_F(BallCarrierDecisionTest, CurvedRunInTurnsTowardsTheEventAngleWithOneDraw) {
  struct Case {
    f32 z, vz;
    bool atOnce;
    const char* what;
  } cases[] = {
      {0.0f, 5.0f, false, "at halfway: over 1.5 x 58 m / 8 m/s, drawn -10% to +9%"},
      {58.5f, 3.0f, true, "about to reach the dead-ball line: at once"},
  };
  for (const Case& c : cases) {
    MakeScene();
    Carrier().Pos.z = c.z;
    SetRun(5.0, 90.0);
    Carrier().Velocity.z = c.vz;
    GiveStartedRuns(1);
    Event(1).EventType = 7;
    Event(1).Angle = 60.0f;
    Event(1).DesSpeed = 8.0f;
    Carrier().numgoverning = 1;  // he marks someone: no dive yet, only the run-in
    const u32 seed = RandSeed;
    Decide();
    EXPECT_EQ(DrawsSince(seed), 1) << c.what;
    RandSeed = seed;
    double t = 1.5 * (58.0 - c.z) / 8.0;
    t += t * RandomRange(-10, 10) / 100.0;
    const double expected = c.atOnce ? 60.0 : 90.0 - 30.0 / t * 0.04;
    EXPECT_NEAR(FacingHeading(Carrier()), expected, 1e-4) << c.what;
    EXPECT_EQ(Event(1).Angle, 60.0f) << c.what;
  }
}

TEST_F(BallCarrierDecisionTest, TryBugLinesOnlyInTheLiveWorld) {
  struct Case {
    bool live;
    f32 clock;
    size_t lines;
  } cases[] = {{true, 119.0f, 7}, {false, 119.0f, 0}, {true, 120.0f, 0}, {true, 118.0f, 0}};
  for (const Case& c : cases) {
    MakeScene();
    W.Teams[1].BallCarrier = 11;
    Carrier().Pos = {0.0f, 0.0f, 58.5f};
    SetRun(5.0, 90.0);
    Carrier().Velocity.z = 3.0f;
    GiveStartedRuns(1);
    Event(1).EventType = 7;
    Event(1).Angle = 60.0f;
    W.LiveWorld = Flag(c.live);
    W.clock = c.clock;
    Decide();
    const auto& log = Form1.Memo2.Lines;
    ASSERT_EQ(log.size(), c.lines) << c.live << " " << c.clock;
    if (c.lines == 7) {
      EXPECT_EQ(log[0], "try bug");
      EXPECT_EQ(log[1], "60");   // the new heading
      EXPECT_EQ(log[2], "90");   // last frame's
      EXPECT_EQ(log[3], "-1");   // turning to smaller headings
      EXPECT_EQ(log[4], "750");  // 30 degrees in one frame
      EXPECT_EQ(log[5], "60");
      EXPECT_EQ(log[6], "try bug ends");
    }
  }
}

// ------------------------------------------------------------------ states

TEST_F(BallCarrierDecisionTest, OutsideRunningOnlyTheReleaseTestsAreMade) {
  struct Case {
    TGameState state;
    i32 phase;
    i32 carrier;
    f32 timeStep;
    const char* what;
  } cases[] = {
      {gsGotTackled, 1, kCarrier, 0.04f, "gottackled before its release phase"},
      {gsGotTackled, 0, kCarrier, 0.04f, "gottackled at set-up"},
      {gsScrum, 1, kCarrier, 0.04f, "scrum before its release phase"},
      {gsPassing, 5, kCarrier, 0.04f, "passing"},
      {gsFreeBall, 5, kCarrier, 0.04f, "freeball"},
      {gsMaul, 5, kCarrier, 0.04f, "maul"},
      {gsLineout, 5, kCarrier, 0.04f, "lineout"},
      {gsKickRestartSet, 5, kCarrier, 0.04f, "kick restart"},
      {gsRunning, 0, 0, 0.04f, "running without a carrier"},
      {gsRunning, 0, 16, 0.04f, "running with a carrier number off the field"},
      {gsRunning, 0, 26, 0.04f, "running with a carrier number beyond the records"},
      {gsRunning, 0, -1, 0.04f, "running with a negative carrier number"},
      {gsRunning, 0, kCarrier, 0.0f, "running with no time passing"},
  };
  for (const Case& c : cases) {
    MakeScene();
    GiveStartedRuns(1);
    Event(1).EventType = 7;  // would draw in running
    W.gamestate = c.state;
    W.GotTackledPhase = c.phase;
    W.ScrumPhase = c.phase;
    W.Teams[1].BallCarrier = c.carrier;
    W.TimeStep = c.timeStep;
    W.LiveWorld = kTrue32;
    std::memcpy(&Before, &W, sizeof W);
    const u32 seed = RandSeed;
    Decide();
    EXPECT_EQ(std::memcmp(&Before, &W, sizeof W), 0) << c.what;
    EXPECT_EQ(RandSeed, seed) << c.what;
    EXPECT_TRUE(Form1.Memo2.Lines.empty()) << c.what;
  }
}

// ------------------------------------------------------------------ the example match

class BallCarrierDecisionMatchTest : public ExampleMatchTest {};

TEST_F(BallCarrierDecisionMatchTest, PlainRunCarriesTheCarrierUpFieldUntilItCompletes) {
  TWorld& M = World;
  M.gamestate = gsRunning;
  M.TimeStep = 0.04f;
  M.TimeSinceSetPiece = 10.0f;
  const i32 carrier = M.Teams[1].BallCarrier;
  ASSERT_GE(carrier, 1);
  TPlayer& C = M.Teams[1].Players[carrier];
  C.ActionSeq = StrategyParams.ActionSeqTemplate;
  C.ActionSeq.EventArray[1].DesSpeed = 8.0f;
  C.ActionSeq.EventArray[1].DistOrig = 20.0f;
  C.ActionSeq.EventArray[1].Angle = 90.0f;
  const TVector3 start = C.Pos;
  const size_t logLines = Form1.Memo2.Count();

  int frames = 0;
  std::feclearexcept(FE_ALL_EXCEPT);
  StartCountingAllocations();
  while (C.ActionSeq.seqON != 0 && frames < 500) {
    const f32 z = C.Pos.z;
    BallCarrierDecision(M);
    ++frames;
    if (C.Pos.z <= z) break;  // he must gain ground every frame
  }
  const long allocations = StopCountingAllocations();
  EXPECT_FALSE(FloatErrorRaised());
  EXPECT_EQ(allocations, 0);
  EXPECT_EQ(C.ActionSeq.seqON, 0);
  EXPECT_NE(C.ActionSeq.EventArray[1].Complete, 0);
  // 20 m at up to 0.95 x his top speed, after a start from standing.
  EXPECT_GT(C.Pos.z - start.z, 19.0f);
  EXPECT_LT(frames, 150);
  EXPECT_EQ(Form1.Memo2.Count(), logLines);
  EXPECT_LE(C.speed, 8.0f);
}

TEST_F(BallCarrierDecisionMatchTest, OnTheLookAheadCopyTheMatchIsUntouched) {
  World.gamestate = gsRunning;
  World.TimeStep = 0.04f;
  TakeLookAheadCopy();
  std::memcpy(&Before, &World, sizeof World);
  const size_t logLines = Form1.Memo2.Count();
  const i32 carrier = LookAheadWorld.Teams[1].BallCarrier;
  TPlayer& C = LookAheadWorld.Teams[1].Players[carrier];
  C.ActionSeq = StrategyParams.ActionSeqTemplate;
  C.ActionSeq.EventArray[1].DesSpeed = 8.0f;
  for (int frame = 1; frame <= 10; ++frame) BallCarrierDecision(LookAheadWorld);
  EXPECT_EQ(std::memcmp(&Before, &World, sizeof World), 0);
  EXPECT_EQ(Form1.Memo2.Count(), logLines);
  EXPECT_GT(C.Pos.z, World.Teams[1].Players[carrier].Pos.z);
}

}  // namespace

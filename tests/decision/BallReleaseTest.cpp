#include "decision/BallRelease.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>

#include "AllocationCounter.h"
#include "SmallWorld.h"
#include "core/AuxState.h"
#include "core/DrawCount.h"
#include "core/FloatFlags.h"
#include "core/Geometry.h"
#include "core/MatchStore.h"
#include "core/Random.h"
#include "core/StrategyShapes.h"
#include "decision/BallCarrierDecision.h"

namespace {

constexpr int kHolder = 9;
constexpr int kReceiver = 10;
constexpr int kMate = 7;
constexpr f32 kLeftRelease = 0.3f;   // s, the holder's dummy-half release times
constexpr f32 kRightRelease = 0.4f;  // (a clamped draw gives them exactly)

// The scene: a ruck (gottackled, phase 2) at the centre, the mark at x 0, in
// the match world. Block 1's half, player 9, stands on his spot at
// (0, -1); his sequence is one pass event to player 10, not started.
// Player 10 stands on his spot 5 m to the left and 2 m behind, facing
// up-field (heading 90), top speed 8 m/s. Every other player of both blocks
// stands on his spot far away (block 1 at z -500, block 2 at z +500), with
// no sequence. RestartDelay has run out; the ruck is 1 s old.
TWorld W;
bool Armed = false;       // a case is running: its float flags are checked
f32 SavedRecordClock = 0;  // the match store's clock, restored after the test

TTeamBlock& Side() { return W.Teams[1]; }
TPlayer& Holder() { return W.Teams[1].Players[kHolder]; }
TPlayer& Receiver() { return W.Teams[1].Players[kReceiver]; }
TPlayer& Mate() { return W.Teams[1].Players[kMate]; }

void SetRelease(TDistribution& d, f32 t) {
  d.mean = d.min = d.max = t;
  d.sd = 1.0f;
}

class BallReleaseTest : public ::testing::Test {
 protected:
  // Called again for each case of a table: checks the float flags of the
  // case before.
  void SetUp() override {
    if (Armed) {
      EXPECT_FALSE(FloatErrorRaised());
    }
    if (!Armed) SavedRecordClock = MatchStore.RecordClock;
    Armed = true;
    MakeSmallWorld(W, {.Frame = true, .LastFrame = true});
    RandSeed = 60;
    W.LiveWorld = kTrue32;
    W.gamestate = gsGotTackled;
    W.GotTackledPhase = 2;
    W.BreakdownClock = 1.0f;
    W.RuckWaitClock = 1.0f;
    for (int k = 1; k <= 10; ++k) W.MessageSlotFree[k] = kTrue32;
    BuildActionSeqTemplates(W);
    AuxState.TurnRate = 400.0f;
    Side().teamid = 4411;
    Side().SetPieceHolder = kHolder;
    ForEverySlot(W, [](TPlayer& P, int b, int p) {
      Place(P, static_cast<f32>(p - 8), b == 1 ? -500.0f : 500.0f);
      P.id = 100 * b + p;
      P.maxspeed = 8.0f;
      P.Acceleration = 4.0f;
      P.FacingAngle = static_cast<f32>(180.0 * kDegToRad);  // heading 90
      SetDistribution(P.ReactionDelayExtra1, 0.1, 0.04, 0, 0.5);
      SetDistribution(P.DefensiveRunningAngleReactionTime, 0.12, 0.08, 0.01, 0.5);
    });
    Place(Holder(), 0.0f, -1.0f);
    SetRelease(Holder().DummyhalfPassLeftReleaseTime, kLeftRelease);
    SetRelease(Holder().DummyhalfPassRightReleaseTime, kRightRelease);
    Place(Receiver(), -5.0f, -3.0f);
    GivePass(kReceiver);
    std::feclearexcept(FE_ALL_EXCEPT);
  }

  void TearDown() override {
    EXPECT_FALSE(FloatErrorRaised());
    Armed = false;
    MatchStore.RecordClock = SavedRecordClock;
  }

  // The holder's sequence: one pass event to Receiver, not started.
  static void GivePass(i32 receiver) {
    TActionSeq& S = Holder().ActionSeq;
    S = StrategyParams.ActionSeqTemplate;
    S.EventArray[1].EventType = 1;
    S.EventArray[1].EventSubType = receiver;
  }

  // The holder has no sequence: the pick-up path alone.
  static void TakeSequence() { Holder().ActionSeq = TActionSeq{}; }

  // A scrum (phase 10) in place of the ruck.
  static void MakeScrum() {
    W.gamestate = gsScrum;
    W.ScrumPhase = 10;
  }

  static bool Committed() { return Side().HalfTimeAux != 0; }
  static bool Passed() { return Committed() && Holder().passtimer == 10.0f; }
};

// ------------------------------------------------------------------ readiness

// Team-mate 7 runs a sequence towards a spot dx m across from the mark,
// d m from it: the pass waits for him only beyond his band's distance.
TEST_F(BallReleaseTest, PassWaitsForTeamMatesByLateralBand) {
  struct Case {
    const char* what;
    double dx, d;
    bool sent;
    bool waits;
  } cases[] = {
      {"8 m across, 0.6 m off", 8, 0.6, false, true},
      {"8 m across, 0.5 m off", 8, 0.5, false, false},
      {"8 m across, 0.6 m off, already sent", 8, 0.6, true, false},
      {"12 m across, 0.74 m off", 12, 0.74, false, false},
      {"12 m across, 0.76 m off", 12, 0.76, false, true},
      {"17 m across, 0.98 m off", 17, 0.98, false, false},
      {"17 m across, 1.02 m off", 17, 1.02, false, true},
      {"22 m across, 1.23 m off", 22, 1.23, false, false},
      {"22 m across, 1.27 m off", 22, 1.27, false, true},
      {"30 m across, 1.98 m off", 30, 1.98, false, false},
      {"30 m across, 2.02 m off", 30, 2.02, false, true},
      {"30 m across on the other side, 2.02 m off", -30, 2.02, false, true},
  };
  for (const Case& c : cases) {
    SetUp();
    W.MarkX = 3.0f;
    TPlayer& M = Mate();
    M.ActionSeq = StrategyParams.ActionSeqTemplate;
    M.ActionSeq.SeqHeadFlag = Flag(c.sent);
    M.DesiredPos = {static_cast<f32>(3.0 - c.dx), 0.0f, -5.0f};
    M.Pos = {M.DesiredPos.x, 0.0f, static_cast<f32>(-5.0 - c.d)};
    BallCarrierDecision(W);
    EXPECT_EQ(Passed(), !c.waits) << c.what;
    EXPECT_EQ(Holder().ActionSeq.seqON, kTrue32) << c.what;
  }
}

// Long in the ruck and in its overtime, the ball comes out whatever the
// positions; the holder himself must still be on his spot and RestartDelay out.
TEST_F(BallReleaseTest, LongRuckReleasesWhateverThePositions) {
  struct Case {
    const char* what;
    f32 clock, overtime, restartDelay, holderOff;
    bool passes;
  } cases[] = {
      {"5.01 s and 1.01 s", 5.01f, 1.01f, 0, 0, true},
      {"5.0 s of ruck", 5.0f, 1.01f, 0, 0, false},
      {"1.0 s of overtime", 5.01f, 1.0f, 0, 0, false},
      {"RestartDelay still running", 5.01f, 1.01f, 0.1f, 0, false},
      {"holder 0.25 m off his spot", 5.01f, 1.01f, 0, 0.25f, false},
  };
  for (const Case& c : cases) {
    SetUp();
    Mate().ActionSeq = StrategyParams.ActionSeqTemplate;
    Mate().Pos.z -= 5.0f;  // far off his spot, 1 m across
    W.BreakdownClock = c.clock;
    W.RuckWaitClock = c.overtime;
    W.RestartDelay = c.restartDelay;
    Holder().Pos.x += c.holderOff;
    BallCarrierDecision(W);
    EXPECT_EQ(Passed(), c.passes) << c.what;
  }
}

// At a scrum only the holder's own spot counts.
TEST_F(BallReleaseTest, ScrumPassWaitsOnlyForTheHolder) {
  MakeScrum();
  W.RestartDelay = 1.0f;
  Mate().ActionSeq = StrategyParams.ActionSeqTemplate;
  Mate().Pos.z -= 5.0f;
  Receiver().Pos.z -= 3.0f;  // the receiver is not tested either
  BallCarrierDecision(W);
  EXPECT_TRUE(Passed());

  SetUp();
  MakeScrum();
  Holder().Pos.x += 0.25f;
  BallCarrierDecision(W);
  EXPECT_FALSE(Committed());
}

// ------------------------------------------------------------------ the pass

TEST_F(BallReleaseTest, ReceiverMustBeOnHisSpotOrSent) {
  struct Case {
    const char* what;
    f32 off;
    bool seqOn, headFlag;
    f32 headValue;
    bool passes;
  } cases[] = {
      {"0.15 m off", 0.15f, false, false, 0, true},
      {"0.3 m off", 0.3f, false, false, 0, false},
      {"0.3 m off, sent to run", 0.3f, true, true, 100.0f, true},
      {"0.3 m off, flag without a time", 0.3f, true, true, 0, false},
      {"0.3 m off, time without the flag", 0.3f, true, false, 100.0f, false},
      {"0.3 m off, sent but no sequence", 0.3f, false, true, 100.0f, false},
  };
  for (const Case& c : cases) {
    SetUp();
    TPlayer& R = Receiver();
    R.Pos.z += c.off;
    R.ActionSeq.seqON = Flag(c.seqOn);
    R.ActionSeq.SeqHeadFlag = Flag(c.headFlag);
    R.ActionSeq.SeqHeadValue = c.headValue;
    BallCarrierDecision(W);
    EXPECT_EQ(Passed(), c.passes) << c.what;
    EXPECT_EQ(Side().PassReceiver, kReceiver) << c.what;
  }
}

// A receiver number that names no team-mate, or the holder himself, ends the
// holder's sequence; the pick-up takes over in the same frame.
TEST_F(BallReleaseTest, ReceiverThatIsNoTeamMateEndsTheSequence) {
  struct Case {
    i32 named, stored;
  } cases[] = {{0, 0}, {kHolder, kHolder}, {16, 0}, {26, 0}, {-3, 0}};
  for (const Case& c : cases) {
    SetUp();
    GivePass(c.named);
    BallCarrierDecision(W);
    EXPECT_EQ(Holder().ActionSeq.seqON, kFalse32) << c.named;
    EXPECT_EQ(Side().PassReceiver, c.stored) << c.named;
    EXPECT_EQ(Holder().passtimer, 0.0f) << c.named;
    EXPECT_EQ(Holder().freeballcatchtimer, 10.0f) << c.named;
    EXPECT_TRUE(Committed()) << c.named;
  }
}

// The pass goes to the side where the receiver will be in 0.5 s; a ruck's
// dummy-half pass: kind 6, passer angle 70 or 110, the side's release draw.
TEST_F(BallReleaseTest, PassSideFollowsTheReceiverInHalfASecond) {
  struct Case {
    const char* what;
    f32 x, heading, speed;
    i32 side;
  } cases[] = {
      {"standing left", -5.0f, 90.0f, 0.0f, 1},
      {"standing right", 5.0f, 90.0f, 0.0f, 2},
      {"right, running left past the holder", 1.0f, 0.0f, 4.0f, 1},   // 1 - 2 = -1
      {"left, running right past the holder", -1.0f, 180.0f, 4.0f, 2},
      {"level with the holder", 0.0f, 90.0f, 0.0f, 2},
  };
  for (const Case& c : cases) {
    SetUp();
    TPlayer& R = Receiver();
    Place(R, c.x, -3.0f);
    R.FacingAngle = static_cast<f32>((c.heading + 90.0) * kDegToRad);
    R.speed = c.speed;
    R.shimmytimer = 1.0f;
    BallCarrierDecision(W);
    ASSERT_TRUE(Passed()) << c.what;
    EXPECT_EQ(Side().PassSide, c.side) << c.what;
    EXPECT_EQ(Side().PassKind, 6) << c.what;
    EXPECT_EQ(Side().PasserRunAngle, c.side == 1 ? 70.0f : 110.0f) << c.what;
    const f32 release = c.side == 1 ? kLeftRelease : kRightRelease;
    EXPECT_EQ(Side().PassTimeLeft, release) << c.what;
    EXPECT_EQ(Side().PassDuration, release) << c.what;
    // The draw is kept as the distribution's current value: it paces the
    // holder's dummy-half pass animation (left at 0, the animation would
    // last minutes).
    const TDistribution& drawn =
        c.side == 1 ? Holder().DummyhalfPassLeftReleaseTime : Holder().DummyhalfPassRightReleaseTime;
    EXPECT_EQ(drawn.value, release) << c.what;
    EXPECT_EQ(R.shimmytimer, 0.0f) << c.what;
    const f32 a = Side().ReceiverRunAngle;
    EXPECT_TRUE(c.side == 1 ? (a >= 45 && a <= 90) : (a >= 90 && a <= 134)) << c.what << " " << a;
  }
}

// The receiver runs the template sequence at a speed of up to a quarter of
// his top speed; draws: speed, angle, release time (two).
TEST_F(BallReleaseTest, ReceiverRunsTheTemplateAtTheDrawnSpeed) {
  Place(Receiver(), -5.0f, -30.0f);  // far behind: no slow-down
  Receiver().ActionSeq.EventArray[3].EventType = 5;
  RandSeed = SeedBeforeDraw(1, 251, 200);
  const u32 before = RandSeed;
  BallCarrierDecision(W);
  EXPECT_EQ(DrawsSince(before), 4);
  EXPECT_EQ(Side().ReceiverRunSpeed, static_cast<f32>(200 / 1000.0 * 8.0));
  TActionSeq expected = StrategyParams.ActionSeqTemplate;
  expected.EventArray[1].DesSpeed = Side().ReceiverRunSpeed;
  EXPECT_EQ(std::memcmp(&Receiver().ActionSeq, &expected, sizeof expected), 0);
}

// Run angles by the generator's last draw before the release draw: the
// right side reaches 135 degrees at a scrum and at most 134 at a ruck.
TEST_F(BallReleaseTest, RightRunAngleReaches135OnlyAtAScrum) {
  struct Case {
    const char* what;
    bool scrum;
    f32 x;
    u32 angleDraw;  // the generator state the angle is drawn from
    f32 angle;
  } cases[] = {
      {"ruck, right, top draw", false, 5.0f, 0xFFFFFFFFu, 134.0f},
      {"scrum, right, top draw", true, 5.0f, 0xFFFFFFFFu, 135.0f},
      {"ruck, right, bottom draw", false, 5.0f, 0u, 90.0f},
      {"ruck, left, top draw", false, -5.0f, 0xFFFFFFFFu, 90.0f},
      {"scrum, left, bottom draw", true, -5.0f, 0u, 45.0f},
  };
  for (const Case& c : cases) {
    SetUp();
    if (c.scrum) MakeScrum();
    Place(Receiver(), c.x, -30.0f);
    RandSeed = StepBack(StepBack(c.angleDraw));
    BallCarrierDecision(W);
    ASSERT_TRUE(Passed()) << c.what;
    EXPECT_EQ(Side().ReceiverRunAngle, c.angle) << c.what;
  }
}

// Within 2 m of the touch line on his side, the receiver runs straight at a
// ruck; not at a scrum.
TEST_F(BallReleaseTest, ReceiverNearTouchRunsStraightAtARuck) {
  struct Case {
    const char* what;
    bool scrum;
    f32 x;
    bool straight;
  } cases[] = {
      {"ruck, 1.9 m from the left touch", false, -33.1f, true},
      {"ruck, 2.1 m from the left touch", false, -32.9f, false},
      {"ruck, 1.9 m from the right touch", false, 33.1f, true},
      {"scrum, 1.9 m from the left touch", true, -33.1f, false},
  };
  for (const Case& c : cases) {
    SetUp();
    if (c.scrum) MakeScrum();
    Holder().Pos.x = Holder().DesiredPos.x = c.x < 0 ? -30.0f : 30.0f;
    Place(Receiver(), c.x, -30.0f);
    RandSeed = StepBack(StepBack(c.x < 0 ? 0u : 0xFFFFFFFFu));  // angles 45 and 134/135
    BallCarrierDecision(W);
    ASSERT_TRUE(Passed()) << c.what;
    EXPECT_EQ(Side().ReceiverRunAngle == 90.0f, c.straight) << c.what;
  }
}

// A receiver who would take the ball level with or ahead of the holder (his
// z after PassTimeLeft above the holder's z - 0.1) slows to 0.75 of his run
// speed at a ruck; at a scrum he keeps it.
TEST_F(BallReleaseTest, LevelCatchSlowsTheReceiverAtARuck) {
  // A left pass on run angle 90 (the angle's top draw), released after 0.3 s.
  const u32 seed = StepBack(StepBack(0xFFFFFFFFu));
  RandSeed = seed;
  const f32 run = static_cast<f32>(RandomRange(1, 251) / 1000.0 * 8.0);
  const double gain = static_cast<double>(run) * kLeftRelease;
  struct Case {
    const char* what;
    bool scrum;
    double behind;  // m behind the holder's z - 0.1 where he would take it
    bool slowed;
  } cases[] = {
      {"ruck, 0.05 m behind the level", false, -0.05, true},
      {"ruck, 0.05 m short of the level", false, 0.05, false},
      {"scrum, 0.05 m behind the level", true, -0.05, false},
  };
  for (const Case& c : cases) {
    SetUp();
    if (c.scrum) MakeScrum();
    Place(Receiver(), -5.0f, static_cast<f32>(-1.1 - c.behind - gain));
    RandSeed = seed;
    BallCarrierDecision(W);
    ASSERT_TRUE(Passed()) << c.what;
    ASSERT_EQ(Side().ReceiverRunAngle, 90.0f) << c.what;
    EXPECT_EQ(Side().ReceiverRunSpeed, c.slowed ? static_cast<f32>(0.75 * run) : run) << c.what;
  }
}

// ------------------------------------------------------------------ the holder's runner

TEST_F(BallReleaseTest, HolderSequenceRestartsExpiresAndEnds) {
  Holder().Pos.x += 0.3f;  // off his spot: the runner alone
  Holder().speed = 2.0f;
  TActionSeq& S = Holder().ActionSeq;
  S.NumEvents = 3;
  for (int k = 1; k <= 3; ++k) {
    TActionEvent& E = S.EventArray[k];
    E.DistTravelled = 5.0f;
    E.ProgressAux = 3.0f;
    E.Complete = kTrue32;
    E.Deadline = 0.06f;
    E.DeadlineLeft = 0;
  }
  S.EventArray[2].EventType = 0;
  S.EventArray[2].DistOrig = 0.05f;
  S.EventArray[3].EventType = 0;
  S.EventArray[3].DistOrig = 100.0f;

  // Not started: every event restarts; event 1 becomes current.
  BallCarrierDecision(W);
  EXPECT_EQ(S.CurrEventIndex, 1);
  for (int k = 1; k <= 3; ++k) {
    EXPECT_EQ(S.EventArray[k].DistTravelled, 0.0f) << k;
    EXPECT_EQ(S.EventArray[k].ProgressAux, 0.0f) << k;
    EXPECT_EQ(S.EventArray[k].Complete, kFalse32) << k;
    EXPECT_EQ(S.EventArray[k].DeadlineLeft, 0.06f) << k;
  }
  // Events 2 and 3 expire after two frames; the current pass event stays.
  BallCarrierDecision(W);
  const double dt = W.TimeStep;
  EXPECT_EQ(S.EventArray[2].DeadlineLeft, static_cast<f32>(0.06f - dt));
  EXPECT_EQ(S.EventArray[1].DistTravelled, static_cast<f32>(2.0 * dt));
  BallCarrierDecision(W);
  EXPECT_EQ(S.EventArray[2].Complete, kTrue32);
  EXPECT_EQ(S.EventArray[3].Complete, kTrue32);
  EXPECT_EQ(S.EventArray[1].Complete, kFalse32);
  EXPECT_EQ(S.CurrEventIndex, 1);
  EXPECT_EQ(S.seqON, kTrue32);

  // A current plain run completes beyond its distance, and with every
  // event complete the sequence ends.
  S.EventArray[1].Complete = kTrue32;
  S.EventArray[3].Complete = kFalse32;
  S.EventArray[3].DeadlineLeft = 0;
  S.EventArray[2].Complete = kFalse32;
  S.EventArray[2].DeadlineLeft = 1.0f;
  S.EventArray[2].DistTravelled = 0.06f;
  S.CurrEventIndex = 2;
  BallCarrierDecision(W);
  EXPECT_EQ(S.EventArray[2].Complete, kTrue32);
  EXPECT_EQ(S.EventArray[2].DistTravelled, static_cast<f32>(0.06f + 2.0 * dt));
  EXPECT_EQ(S.CurrEventIndex, 3);
  EXPECT_EQ(S.EventArray[3].DeadlineLeft, 0.06f);  // the new current event's expiry starts again
  S.EventArray[3].Complete = kTrue32;
  BallCarrierDecision(W);
  EXPECT_EQ(S.seqON, kFalse32);
}

// ------------------------------------------------------------------ the pick-up

TEST_F(BallReleaseTest, PickUpStartsStandingOnTheFirstEventsAngle) {
  struct Case {
    const char* what;
    bool scrum, sequence;
    f32 angle;
  } cases[] = {
      {"ruck, no sequence", false, false, 90.0f},
      {"ruck, a run on heading 75", false, true, 75.0f},
      {"scrum, a run on heading 75", true, true, 90.0f},
  };
  for (const Case& c : cases) {
    SetUp();
    if (c.scrum) MakeScrum();
    TActionSeq& S = Holder().ActionSeq;
    S = StrategyParams.ActionSeqTemplate;
    S.seqON = Flag(c.sequence);
    S.EventArray[1].Angle = 75.0f;
    S.EventArray[1].Deadline = 10.0f;
    const u32 before = RandSeed;
    BallCarrierDecision(W);
    EXPECT_EQ(DrawsSince(before), 0) << c.what;
    EXPECT_TRUE(Committed()) << c.what;
    EXPECT_EQ(Holder().freeballcatchtimer, 10.0f) << c.what;
    EXPECT_EQ(Holder().FreeBallCatchAngle, c.angle) << c.what;
    EXPECT_EQ(Holder().FreeBallCatchFacing, c.angle) << c.what;
    EXPECT_EQ(Holder().FreeBallCatchSpeed, 0.1f) << c.what;
    EXPECT_EQ(Holder().FreeBallCatchKind, 2.0f) << c.what;
    EXPECT_EQ(W.gamestate, c.scrum ? gsScrum : gsGotTackled) << c.what;
    EXPECT_EQ(Side().BallCarrier, 0) << c.what;
  }
}

// The pick-up waits for every running team-mate within 0.5 m of his spot,
// wherever across he is, unless the ruck has run long; at a scrum it does not.
TEST_F(BallReleaseTest, PickUpWaitsForEveryRunningTeamMate) {
  struct Case {
    const char* what;
    bool scrum, sent;
    f32 off, clock;
    bool picks;
  } cases[] = {
      {"30 m across, 1.0 m off", false, false, 1.0f, 1.0f, false},
      {"30 m across, 1.0 m off, sent", false, true, 1.0f, 1.0f, false},
      {"30 m across, 0.5 m off", false, false, 0.5f, 1.0f, true},
      {"30 m across, 1.0 m off, long ruck", false, false, 1.0f, 5.5f, true},
      {"30 m across, 1.0 m off, scrum", true, false, 1.0f, 1.0f, true},
  };
  for (const Case& c : cases) {
    SetUp();
    if (c.scrum) MakeScrum();
    TakeSequence();
    W.BreakdownClock = c.clock;
    W.RuckWaitClock = 1.5f;
    TPlayer& M = Mate();
    M.ActionSeq = StrategyParams.ActionSeqTemplate;
    M.ActionSeq.SeqHeadFlag = Flag(c.sent);
    Place(M, 30.0f, -5.0f);
    M.Pos.z -= c.off;
    BallCarrierDecision(W);
    EXPECT_EQ(Committed(), c.picks) << c.what;
  }
}

// The half carries from 30 % of the pick-up; play runs again only when the
// pick-up timer has run out: message 72, delays staggered by waves.
TEST_F(BallReleaseTest, PickUpCarriesFrom30PerCentAndRunsWhenDone) {
  TakeSequence();
  MatchStore.RecordClock = 12.5f;
  TTeamBlock& A = Side();
  TTeamBlock& D = W.Teams[2];
  const i32 packA[10] = {1, 2, 3, 0, 5, 6, 11, 12, 13, 14};
  for (int s = 1; s <= 10; ++s) {
    A.PackSpots.OccupantB[s] = packA[s - 1];
    if (packA[s - 1] != 0) {
      A.Players[packA[s - 1]].RuckTimer = 1.0f;
      A.Players[packA[s - 1]].RuckRole = 2.0f;
    }
  }
  D.PackSpots.OccupantB[7] = 4;
  D.Players[4].RuckTimer = 1.0f;
  D.Players[4].RuckRole = 3.0f;
  D.Players[5].RuckTimer = 1.0f;  // role 0, in no slot
  A.Players[15].RuckTimer = 1.0f;  // role 1 in a slot: no delay
  A.Players[15].RuckRole = 1.0f;
  A.PackSpots.OccupantB[4] = 15;

  BallCarrierDecision(W);
  ASSERT_TRUE(Committed());
  TPlayer& H = Holder();
  H.currentframe = 6.2f;  // an animation without frames counts as just started
  BallCarrierDecision(W);
  EXPECT_EQ(A.BallCarrier, 0);
  H.maxframes = 20.0f;
  H.currentframe = 6.0f;  // 30 %
  BallCarrierDecision(W);
  EXPECT_EQ(A.BallCarrier, 0);
  H.currentframe = 6.2f;
  BallCarrierDecision(W);
  EXPECT_EQ(A.BallCarrier, kHolder);
  EXPECT_EQ(W.gamestate, gsGotTackled);
  EXPECT_EQ(W.MessageSlotFree[1], kTrue32);

  H.freeballcatchtimer = 0;
  const u32 before = RandSeed;
  BallCarrierDecision(W);
  EXPECT_EQ(W.gamestate, gsRunning);
  EXPECT_EQ(A.BallCarrier, kHolder);
  // Draws: per opponent two for his cover reaction, then per opponent two
  // for his read delay, then one per bound player of block 1 (10) and of
  // block 2 (1).
  EXPECT_EQ(DrawsSince(before), 15 * 2 + 15 * 2 + 11);
  EXPECT_EQ(W.MessageSlotFree[1], kFalse32);
  const TMatchMessage& m = W.MessageQueue[1];
  EXPECT_EQ(m.message, msgCarryStart);
  EXPECT_EQ(m.teamID, 4411);
  EXPECT_EQ(m.playerID, 109);
  EXPECT_EQ(m.time, 12.5f);
  EXPECT_EQ(m.extravalue, 0.0f);

  // The waves: slots 7 to 10 first, then 4 to 6, then 1 and 3, then 2.
  const auto& d = A.PackSpots.ReleaseDelay;
  const f32 wave1 = std::max({d[7], d[8], d[9], d[10]});
  for (int s : {7, 8, 9, 10}) EXPECT_TRUE(d[s] >= 0.1f && d[s] <= 0.8f) << s;
  const f32 wave2 = std::max({d[4], d[5], d[6]});
  for (int s : {4, 5, 6}) EXPECT_TRUE(d[s] >= wave1 + 0.099f && d[s] <= wave1 + 0.801f) << s;
  for (int s : {1, 3}) EXPECT_TRUE(d[s] >= wave2 + 0.099f && d[s] <= wave2 + 0.801f) << s;
  EXPECT_GE(d[2], std::max(d[1], d[3]) + 0.099f);
  EXPECT_TRUE(D.PackSpots.ReleaseDelay[7] >= 0.1f && D.PackSpots.ReleaseDelay[7] <= 0.8f);
  EXPECT_EQ(D.PackSpots.ReleaseDelay[1], 0.0f);

  // Bound players leave after their slot's delay; every ruck timer stops.
  for (int s = 1; s <= 10; ++s) {
    if (packA[s - 1] == 0) continue;
    EXPECT_EQ(A.Players[packA[s - 1]].RuckTimer2, d[s]) << s;
    EXPECT_EQ(A.Players[packA[s - 1]].RuckTimer, 0.0f) << s;
  }
  EXPECT_EQ(D.Players[4].RuckTimer2, D.PackSpots.ReleaseDelay[7]);
  EXPECT_EQ(A.Players[15].RuckTimer2, 0.0f);
  EXPECT_EQ(A.Players[15].RuckTimer, 0.0f);
  EXPECT_EQ(D.Players[5].RuckTimer, 0.0f);
  EXPECT_EQ(D.Players[5].RuckTimer2, 0.0f);
}

// The return to running: holder's speed, resets of sampling and strategy,
// the defence's reactions. At a scrum the cover reactions and the holder's
// speed stay.
TEST_F(BallReleaseTest, ReturnToRunningResetsSamplingAndDefence) {
  for (bool scrum : {false, true}) {
    SetUp();
    if (scrum) MakeScrum();
    TakeSequence();
    TTeamBlock& A = Side();
    TTeamBlock& D = W.Teams[2];
    A.HalfTimeAux = kTrue32;
    A.SampleTimer = 2.0f;
    A.StrategyTimer = 3.0f;
    D.StrategyTimer = 4.0f;
    D.PressureTimerA = 1.0f;
    D.PressureTimerB = 1.0f;
    Holder().speed = 3.0f;
    Holder().maxspeed = 1.5f;
    for (int i = 1; i <= 15; ++i) {
      D.Players[i].RunningAngleReactionTime.value = 0.7f;
      D.Players[i].DefensiveRunningAngleReactionTime.value = 9.0f;
      D.Players[i].PassReadTimer = 9.0f;
    }
    BallCarrierDecision(W);
    ASSERT_EQ(W.gamestate, gsRunning);
    EXPECT_EQ(Holder().speed, scrum ? 3.0f : 1.5f);  // 0.5 x 4 capped at maxspeed
    EXPECT_EQ(A.SampleTimer, 0.0f);
    EXPECT_EQ(A.SampleRequest, kTrue32);
    EXPECT_EQ(A.StrategyTimer, 0.0f);
    EXPECT_EQ(D.StrategyTimer, 0.0f);
    EXPECT_EQ(D.PressureTimerA, 0.0f);
    EXPECT_EQ(D.PressureTimerB, 0.0f);
    EXPECT_EQ(W.PassSpiral, kTrue32);
    for (int i = 1; i <= 15; ++i) {
      const TPlayer& P = D.Players[i];
      EXPECT_EQ(P.RunningAngleReactionTime.value, 0.0f);
      EXPECT_TRUE(P.PassReadTimer >= 0.0f && P.PassReadTimer <= 0.5f) << i;
      EXPECT_EQ(P.ReactionDelayExtra1.value, P.PassReadTimer);
      const f32 cover = P.DefensiveRunningAngleReactionTime.value;
      if (scrum) {
        EXPECT_EQ(cover, 9.0f);
      } else {
        EXPECT_TRUE(cover >= 0.01f && cover <= 0.5f) << i;
      }
    }
  }
  // In the look-ahead the holder does not ask for sampling.
  SetUp();
  TakeSequence();
  W.LiveWorld = kFalse32;
  Side().HalfTimeAux = kTrue32;
  BallCarrierDecision(W);
  EXPECT_EQ(W.gamestate, gsRunning);
  EXPECT_EQ(Side().SampleRequest, kFalse32);
}

// A full queue drops the carry-start message; play still runs again.
TEST_F(BallReleaseTest, FullQueueDropsTheCarryStart) {
  TakeSequence();
  Side().HalfTimeAux = kTrue32;
  for (int k = 1; k <= 10; ++k) W.MessageSlotFree[k] = kFalse32;
  const auto queue = W.MessageQueue;
  BallCarrierDecision(W);
  EXPECT_EQ(W.gamestate, gsRunning);
  EXPECT_EQ(std::memcmp(&W.MessageQueue, &queue, sizeof queue), 0);
}

// Tackles still in force (not of kinds 3 to 8) end when play runs again; the
// players stay down until the last bound player has left, plus 0.25 s.
TEST_F(BallReleaseTest, TacklesInForceEndAfterTheLastRelease) {
  TakeSequence();
  TTeamBlock& A = Side();
  TTeamBlock& D = W.Teams[2];
  A.HalfTimeAux = kTrue32;
  A.PackSpots.OccupantB[2] = 1;
  A.Players[1].RuckTimer = 1.0f;
  A.Players[1].RuckRole = 2.0f;
  D.Players[2].RuckTimer2 = 3.0f;  // already held longer than any new delay

  TPlayer& tackled = A.Players[3];
  tackled.GettingTackledTimer = 1.0f;
  tackled.GettingTackledKind = 0;
  tackled.GettingTackledAngle = 33.0f;
  tackled.governedby = 4;
  tackled.numgoverning = 2;
  TPlayer& driven = A.Players[4];  // kind 5 stays in force
  driven.GettingTackledTimer = 1.0f;
  driven.GettingTackledKind = 5;
  TPlayer& tackler = D.Players[6];
  tackler.TackleAttemptTimer = 1.0f;
  tackler.TackleAttemptKind = 3.5f;  // not a whole kind: ends
  tackler.TackleAttemptFacing = 44.0f;
  tackler.target = 3;
  tackler.numtargetting = 1;
  TPlayer& both = D.Players[7];
  both.GettingTackledTimer = 1.0f;
  both.GettingTackledKind = 2;
  both.GettingTackledAngle = 10.0f;
  both.TackleAttemptTimer = 1.0f;
  both.TackleAttemptKind = 1;
  both.TackleAttemptFacing = 20.0f;
  TPlayer& blocker = D.Players[8];  // kind 3 stays in force
  blocker.TackleAttemptTimer = 1.0f;
  blocker.TackleAttemptKind = 3;

  BallCarrierDecision(W);
  ASSERT_EQ(W.gamestate, gsRunning);
  const f32 after = 3.25f;
  for (const TPlayer* P : {&tackled, &tackler, &both}) {
    EXPECT_EQ(P->OldTackleTimer, after);
    EXPECT_EQ(P->GettingTackledTimer, 0.0f);
    EXPECT_EQ(P->TackleAttemptTimer, 0.0f);
    EXPECT_EQ(P->governedby, 0);
    EXPECT_EQ(P->numgoverning, 0);
    EXPECT_EQ(P->target, 0);
    EXPECT_EQ(P->numtargetting, 0);
  }
  EXPECT_EQ(tackled.OldTackleFacing, 33.0f);
  EXPECT_EQ(tackler.OldTackleFacing, 44.0f);
  EXPECT_EQ(both.OldTackleFacing, 20.0f);
  EXPECT_EQ(driven.GettingTackledTimer, 1.0f);
  EXPECT_EQ(driven.OldTackleTimer, 0.0f);
  EXPECT_EQ(blocker.TackleAttemptTimer, 1.0f);
  EXPECT_EQ(blocker.OldTackleTimer, 0.0f);
}

// ------------------------------------------------------------------ scrum carrier

struct TMoveCase {
  const char* what;
  f32 moved;        // m, last frame's move along +z
  f32 facingTurn;   // degrees between this and last frame's facing
  f32 spot;         // m ahead of him
  f32 speed;        // m/s expected
};

TEST_F(BallReleaseTest, ScrumCarrierMovesToHisSpot) {
  const TMoveCase cases[] = {
      {"accelerates from last frame's speed", 0.1f, 0, 10.0f, 2.5f + 4.0f * 0.04f},
      {"held to 5 m/s", 0.3f, 0, 10.0f, 5.0f},
      {"turn cap: 50 degrees leaves 55 %", 0.24f, 50.0f, 10.0f, 4.4f + 4.0f * 0.04f},
      {"arrives exactly", 0.1f, 0, 0.05f, 0.05f / 0.04f},
  };
  for (const TMoveCase& c : cases) {
    SetUp();
    W.gamestate = gsScrum;
    W.ScrumPhase = 3;
    Side().BallCarrier = kHolder;
    TPlayer& C = Holder();
    Place(C, 0.0f, 0.0f);
    C.OldPos.z = -c.moved;
    C.DesiredPos.z = c.spot;
    C.FacingAngle = static_cast<f32>((90.0 + 90.0) * kDegToRad);
    C.PrevFacingAngle = static_cast<f32>((90.0 + c.facingTurn + 90.0) * kDegToRad);
    C.Heading = 90.0f;
    const u32 before = RandSeed;
    BallCarrierDecision(W);
    EXPECT_EQ(DrawsSince(before), 0) << c.what;
    EXPECT_NEAR(C.speed, c.speed, 1e-5) << c.what;
    EXPECT_EQ(C.desiredspeed, 5.0f) << c.what;
    EXPECT_EQ(C.OldPos.z, 0.0f) << c.what;
    EXPECT_EQ(C.Pos.x, 0.0f) << c.what;
    EXPECT_NEAR(C.Pos.z, c.speed * 0.04, 1e-6) << c.what;
    EXPECT_NEAR(C.Direction.z, 1.0, 1e-6) << c.what;
    EXPECT_NEAR(C.FacingHeading, 90.0, 1e-4) << c.what;
    EXPECT_FALSE(Committed()) << c.what;  // no release before phase 10
  }
}

// The carrier faces his run, or his SpecialAnimAngle in phase 7; his heading
// turns at 400 degrees/s by the nearer sense.
TEST_F(BallReleaseTest, ScrumCarrierFacesHisRunAndTurnsHisHeading) {
  struct Case {
    const char* what;
    int phase;
    f32 heading, expected;
  } cases[] = {
      {"within 1 degree: no turn", 3, 90.5f, 90.5f},
      {"lands on the facing", 3, 80.0f, 90.0f},
      {"turns up", 3, 10.0f, 26.0f},
      {"turns down", 3, 170.0f, 154.0f},
      {"turns up through 360", 3, 300.0f, 316.0f},
      {"phase 7 faces the animation's 200", 7, 100.0f, 116.0f},
  };
  for (const Case& c : cases) {
    SetUp();
    W.gamestate = gsScrum;
    W.ScrumPhase = c.phase;
    Side().BallCarrier = kHolder;
    TPlayer& C = Holder();
    Place(C, 0.0f, 0.0f);
    C.DesiredPos.z = 10.0f;
    C.FacingAngle = C.PrevFacingAngle = static_cast<f32>(180.0 * kDegToRad);
    C.SpecialAnimAngle = 200.0f;
    C.Heading = c.heading;
    BallCarrierDecision(W);
    EXPECT_NEAR(C.FacingHeading, c.phase == 7 ? 200.0 : 90.0, 1e-4) << c.what;
    EXPECT_NEAR(C.Heading, c.expected, 1e-4) << c.what;
  }
}

// ------------------------------------------------------------------ the frame

// Outside a formed ruck or scrum, or with a holder number that names no
// player, nothing changes.
TEST_F(BallReleaseTest, NothingHappensOutsideAFormedRuckOrWithoutAHolder) {
  struct Case {
    const char* what;
    TGameState state;
    int ruckPhase, scrumPhase;
    i32 holder, carrier;
  } cases[] = {
      {"ruck phase 1", gsGotTackled, 1, 0, kHolder, kHolder},
      {"maul", gsMaul, 2, 10, kHolder, kHolder},
      {"holder 0", gsGotTackled, 2, 0, 0, kHolder},
      {"holder 16 of 15", gsGotTackled, 2, 0, 16, kHolder},
      {"holder 26", gsGotTackled, 2, 0, 26, kHolder},
      {"scrum, holder -1, no carrier", gsScrum, 0, 10, -1, 0},
      {"scrum, holder -1, carrier 26", gsScrum, 0, 10, -1, 26},
      {"scrum phase 1", gsScrum, 0, 1, kHolder, kHolder},
  };
  for (const Case& c : cases) {
    SetUp();
    TakeSequence();
    W.gamestate = c.state;
    W.GotTackledPhase = c.ruckPhase;
    W.ScrumPhase = c.scrumPhase;
    Side().SetPieceHolder = c.holder;
    Side().BallCarrier = c.carrier;
    Holder().OldPos.z -= 0.1f;
    static TWorld before;
    before = W;
    const u32 seed = RandSeed;
    BallCarrierDecision(W);
    EXPECT_EQ(std::memcmp(&W, &before, sizeof W), 0) << c.what;
    EXPECT_EQ(RandSeed, seed) << c.what;
  }
}

// A ruck played frame by frame: the side gets into place, the half picks
// up and play runs again; nothing allocates and no float error is raised.
TEST_F(BallReleaseTest, RuckFramesReleaseWithoutAllocating) {
  TakeSequence();
  TPlayer& M = Mate();
  M.ActionSeq = StrategyParams.ActionSeqTemplate;
  M.Pos.z -= 1.0f;
  Side().PackSpots.OccupantB[1] = 2;
  Side().Players[2].RuckTimer = 1.0f;
  Side().Players[2].RuckRole = 2.0f;
  Holder().maxframes = 25.0f;
  StartCountingAllocations();
  int frames = 0;
  for (; frames < 100 && W.gamestate == gsGotTackled; ++frames) {
    BallCarrierDecision(W);
    M.Pos.z = static_cast<f32>(M.Pos.z + 0.05);  // walks onto his spot
    if (Holder().freeballcatchtimer > 0) {
      Holder().currentframe += 1.0f;
      if (Holder().currentframe >= Holder().maxframes) Holder().freeballcatchtimer = 0;
    }
  }
  EXPECT_EQ(StopCountingAllocations(), 0);
  EXPECT_EQ(W.gamestate, gsRunning);
  EXPECT_EQ(Side().BallCarrier, kHolder);
  EXPECT_GT(frames, 30);  // 11 frames' walk, then the pick-up's 25
  EXPECT_GT(Side().Players[2].RuckTimer2, 0.0f);
}

}  // namespace

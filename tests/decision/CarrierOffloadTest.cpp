#include "decision/CarrierOffload.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "AllocationCounter.h"
#include "ExampleMatch.h"
#include "core/StrategyShapes.h"
#include "decision/BallCarrierDecision.h"
#include "decision/CarrierActionScene.h"

namespace {

using namespace carrier_scene;

constexpr u32 kSeed = 6501;
constexpr int kReceiver = 9;

TWorld W;
TWorld Before;

TPlayer& C() { return Carrier(W); }
TPlayer& R() { return W.Teams[1].Players[kReceiver]; }
TActionEvent& E() { return Event(W); }

// The carrier held in a kind-0 tackle with the offload window open; his
// offload event names player 9, standing 2 m behind him. Release draws are
// fixed at 0.5 s.
void MakeOffloadScene() {
  MakeScene(W, kSeed, 12);
  E().EventSubType = kReceiver;
  W.Teams[1].OffloadTime = 0.8f;
  C().GettingTackledTimer = 10.0f;
  C().GettingTackledKind = 0.0f;
  SetDistribution(C().OffloadReleaseTime, 0.5, 0.0, 0.5, 0.5);
  PlaceAt(R(), -1.0, -2.0);
  R().speed = 3.0f;
  R().shimmytimer = 0.4f;
  C().passcatchtimer = 0.3f;
  C().KickTimer = 0.2f;
}

bool Accepted() { return C().OffloadPending == 10.0f; }

class CarrierOffloadTest : public ::testing::Test {
 protected:
  void SetUp() override { MakeOffloadScene(); }
};

// ------------------------------------------------------------------ offload

TEST_F(CarrierOffloadTest, TheReceiverMustStandAQuarterToFiveMetresBehindAndAtMostFiveAcross) {
  struct Case {
    const char* what;
    i32 receiver;
    double x, z;  // m, the receiver (the carrier stands at the origin)
    bool accepted;
  } cases[] = {
      {"exactly 0.25 m behind", kReceiver, 0.0, -0.25, true},
      {"0.2 m behind", kReceiver, 0.0, -0.2, false},
      {"level", kReceiver, 2.0, 0.0, false},
      {"ahead", kReceiver, 0.0, 1.0, false},
      {"exactly 5 m behind and 5 m across", kReceiver, -5.0, -5.0, true},
      {"5.1 m behind", kReceiver, 0.0, -5.1, false},
      {"5.1 m across", kReceiver, 5.1, -2.0, false},
      {"no receiver (0)", 0, 0.0, -2.0, false},
      {"a number beyond the side (16)", 16, 0.0, -2.0, false},
      {"a number beyond the record (26)", 26, 0.0, -2.0, false},
      {"a negative number", -3, 0.0, -2.0, false},
  };
  for (const Case& c : cases) {
    MakeOffloadScene();
    E().EventSubType = c.receiver;
    PlaceAt(R(), c.x, c.z);
    std::memcpy(&Before, &W, sizeof W);
    const int draws = RunSection(DecideOffload, W);
    EXPECT_EQ(Accepted(), c.accepted) << c.what;
    if (c.accepted) {
      EXPECT_EQ(draws, 2) << c.what;
      EXPECT_EQ(W.Teams[1].PassReceiver, c.receiver) << c.what;
      EXPECT_EQ(E().Complete, 0) << c.what;
    } else {
      // Refused: only the receiver and the event's completion change.
      EXPECT_EQ(draws, 0) << c.what;
      EXPECT_EQ(W.Teams[1].PassReceiver, 0) << c.what;
      EXPECT_EQ(E().Complete, kTrue32) << c.what;
      Before.Teams[1].PassReceiver = 0;
      Before.Teams[1].Players[kCarrier].ActionSeq.EventArray[1].Complete = kTrue32;
      EXPECT_EQ(std::memcmp(&Before, &W, sizeof W), 0) << c.what;
    }
  }
}

TEST_F(CarrierOffloadTest, NoOffloadUnlessHeldInAKindZeroTackleWithTheWindowOpen) {
  struct Case {
    const char* what;
    void (*set)();
  } cases[] = {
      {"another event", [] { E().EventType = 1; }},
      {"no event in force", [] { C().ActionSeq.CurrEventIndex = 0; }},
      {"window closed", [] { W.Teams[1].OffloadTime = 0.0f; }},
      {"not tackled", [] { C().GettingTackledTimer = 0.0f; }},
      {"a falling tackle", [] { C().GettingTackledKind = 1.0f; }},
      {"offloads blocked", [] { W.OffloadBlockTimer = 0.1f; }},
      {"an offload pending", [] { C().OffloadPending = 10.0f; }},
      {"no carrier", [] { W.Teams[1].BallCarrier = 0; }},
  };
  for (const Case& c : cases) {
    MakeOffloadScene();
    c.set();
    std::memcpy(&Before, &W, sizeof W);
    EXPECT_EQ(RunSection(DecideOffload, W), 0) << c.what;
    EXPECT_EQ(std::memcmp(&Before, &W, sizeof W), 0) << c.what;
  }
}

TEST_F(CarrierOffloadTest, TheStartSetsTheWindowTheReleaseAndClearsTheTimers) {
  SetDistribution(C().OffloadReleaseTime, 0.55, 0.04, 0.5, 0.6);
  C().passtimer = 0.7f;
  RunSection(DecideOffload, W);
  ASSERT_TRUE(Accepted());
  const TTeamBlock& T = W.Teams[1];
  EXPECT_EQ(T.OffloadTime, 1.25f);
  EXPECT_GE(T.PassTimeLeft, 0.5f);
  EXPECT_LE(T.PassTimeLeft, 0.6f);
  EXPECT_EQ(C().OffloadReleaseTime.value, T.PassTimeLeft);
  EXPECT_EQ(C().passtimer, 0.0f);
  EXPECT_EQ(C().passcatchtimer, 0.0f);
  EXPECT_EQ(C().KickTimer, 0.0f);
  EXPECT_EQ(R().shimmytimer, 0.0f);
  EXPECT_EQ(T.ReceiverRunAngle, 90.0f);
}

TEST_F(CarrierOffloadTest, TheReceiverRunsToHalfAMetreBehindByTheRelease) {
  struct Case {
    const char* what;
    double z;            // m, the receiver
    f32 tackleHeading;   // degrees, block 2
    f32 tackleSpeed;     // m/s
    f32 maxspeed;        // m/s, the receiver's
    f32 expected;
  } cases[] = {
      {"within 0.5 m of the carrier's z stands", -0.4, 90.0f, 2.0f, 8.0f, 0.0f},
      {"exactly 0.5 m behind stands", -0.5, 90.0f, 2.0f, 8.0f, 0.0f},
      {"2 m to close in 0.5 s plus the tackle's 1 m/s up-field", -2.5, 90.0f, 1.0f, 8.0f, 5.0f},
      {"a tackle driving back slows him", -2.5, 270.0f, 1.0f, 8.0f, 3.0f},
      {"a tackle across adds nothing", -2.5, 0.0f, 3.0f, 8.0f, 4.0f},
      {"at most his top speed", -4.5, 90.0f, 0.0f, 6.0f, 6.0f},
  };
  for (const Case& c : cases) {
    MakeOffloadScene();
    PlaceAt(R(), 0.0, c.z);
    W.Teams[2].TackleHeading = c.tackleHeading;
    W.Teams[2].TackleSpeed = c.tackleSpeed;
    R().maxspeed = c.maxspeed;
    RunSection(DecideOffload, W);
    ASSERT_TRUE(Accepted()) << c.what;
    EXPECT_NEAR(W.Teams[1].ReceiverRunSpeed, c.expected, 1e-5) << c.what;
  }
}

TEST_F(CarrierOffloadTest, AReleaseAtOnceSendsTheReceiverAtTopSpeedWithoutDividingByZero) {
  SetDistribution(C().OffloadReleaseTime, 0.0, 0.0, 0.0, 0.0);
  R().maxspeed = 7.0f;
  RunSection(DecideOffload, W);
  ASSERT_TRUE(Accepted());
  EXPECT_EQ(W.Teams[1].PassTimeLeft, 0.0f);
  EXPECT_EQ(W.Teams[1].ReceiverRunSpeed, 7.0f);
}

// ------------------------------------------------------------------ pass under way

// A pass under way from the carrier at the origin running up-field
// (PasserRunAngle 90) to player 9 standing at (-4, -3).
void MakePassScene() {
  MakeScene(W, kSeed, 0);
  TTeamBlock& T = W.Teams[1];
  C().passtimer = 10.0f;
  C().speed = 5.0f;
  T.PassReceiver = kReceiver;
  T.PassTimeLeft = 0.4f;
  T.PasserRunAngle = 90.0f;
  T.PasserSpeedRef = 8.0f;
  T.ReceiverRunSpeed = 3.0f;
  PlaceAt(R(), -4.0, -3.0);
  C().Pos.z = 0.3f;  // the motion step's move, undone
}

TEST_F(CarrierOffloadTest, ThePassersBodyTurnsFromTheLineToTheCatchPointBySideAndKind) {
  struct Case {
    i32 kind, side;
    bool receiver;
    double turn;  // degrees from the line to the catch point (or from PasserRunAngle)
  } cases[] = {
      {1, 1, true, 45.0},   {2, 2, true, -45.0}, {3, 1, true, 65.0},  {3, 2, true, -65.0},
      {4, 1, true, 70.0},   {4, 2, true, -70.0}, {5, 1, true, 80.0},  {5, 2, true, -80.0},
      {6, 1, true, 90.0},   {6, 2, true, -90.0}, {8, 2, true, 90.0},  {8, 1, true, 90.0},
      {3, 1, false, 0.0},   {8, 2, false, 90.0},
  };
  for (const Case& c : cases) {
    for (f32 facing : {0.0f, 2.0f, 4.5f}) {  // radians: his facing before makes no difference
      MakePassScene();
      TTeamBlock& T = W.Teams[1];
      T.PassKind = c.kind;
      T.PassSide = c.side;
      if (!c.receiver) T.PassReceiver = 0;
      R().Velocity = {1.0f, 2.0f};
      C().FacingAngle = facing;
      RunSection(ContinuePass, W);
      // The catch point: his position 0.35 s beyond the release (0.4 s).
      const double line = c.receiver ? HeadingToPoint(0.0f, 0.0f, -4.0f + 0.75f, -3.0f + 1.5f, 90.0f) : 90.0;
      EXPECT_NEAR(std::remainder(FacingOf(C()) - line - c.turn, 360.0), 0.0, 1e-4)
          << "kind " << c.kind << " side " << c.side << " receiver " << c.receiver << " facing " << facing;
    }
  }
}

TEST_F(CarrierOffloadTest, ThePasserSpeedsUpToPasserRunSpeedAndRunsHisLineFromOldPos) {
  struct Case {
    f32 speed, cap, expected;
  } cases[] = {
      {5.0f, 8.0f, 5.16f},  // 4 m/s² x 0.04 s
      {7.9f, 8.0f, 8.0f},
      {9.0f, 8.0f, 8.0f},   // above the cap he is brought down to it
  };
  for (const Case& c : cases) {
    MakePassScene();
    C().speed = c.speed;
    W.Teams[1].PasserSpeedRef = c.cap;
    W.Teams[1].PasserRunAngle = 80.0f;
    RunSection(ContinuePass, W);
    EXPECT_NEAR(C().speed, c.expected, 1e-5);
    const TMove m = MoveAlong(C(), 80.0);
    EXPECT_NEAR(m.along, c.expected * 0.04, 1e-5);
    EXPECT_NEAR(m.across, 0.0, 1e-6);
  }
}

TEST_F(CarrierOffloadTest, AReceiverWhoWouldBeAheadAtTheReleaseIsSlowedNeverBelowATenth) {
  struct Case {
    const char* what;
    double z;         // m, the receiver
    f32 vz;           // m/s, his velocity up-field
    f32 runSpeed;     // ReceiverRunSpeed before
    f32 expected;
  } cases[] = {
      // The passer reaches 0 + 5.16 x 0.4 = 2.064 m by the release.
      {"behind keeps his speed", -3.0, 4.0f, 3.0f, 3.0f},
      {"level keeps his speed", 0.0, 5.16f, 3.0f, 3.0f},
      {"ahead slows by 4 m/s² x 0.04 s", 0.0, 6.0f, 3.0f, 2.84f},
      {"never below 0.1 m/s", 0.0, 6.0f, 0.2f, 0.1f},
      {"a stopped receiver is raised to 0.1 m/s", 2.5, 0.0f, 0.0f, 0.1f},
  };
  for (const Case& c : cases) {
    MakePassScene();
    PlaceAt(R(), -4.0, c.z);
    R().Velocity = {0.0f, c.vz};
    W.Teams[1].ReceiverRunSpeed = c.runSpeed;
    RunSection(ContinuePass, W);
    EXPECT_NEAR(W.Teams[1].ReceiverRunSpeed, c.expected, 1e-5) << c.what;
  }
}

TEST_F(CarrierOffloadTest, APassReceiverOffTheFieldIsNoReceiver) {
  for (i32 r : {0, 16, 26, -1}) {
    MakePassScene();
    W.Teams[1].PassReceiver = r;
    W.Teams[1].PassKind = 3;
    W.Teams[1].PassSide = 1;
    RunSection(ContinuePass, W);
    EXPECT_NEAR(FacingOf(C()), 90.0, 1e-4) << r;
    EXPECT_EQ(W.Teams[1].ReceiverRunSpeed, 3.0f) << r;
  }
}

// ------------------------------------------------------------------ special action

TEST_F(CarrierOffloadTest, ASpecialActionOfKindThreeRunsItsLine) {
  for (f32 kind : {3.0f, 2.0f}) {
    MakeScene(W, kSeed, 0);
    C().SpecialAnimTimer = 0.5f;
    C().SpecialAnimKind = kind;
    C().SpecialAnimAngle = 120.0f;
    C().SpecialAnimSpeed = 2.5f;
    C().speed = 6.0f;
    C().Pos.z = 0.2f;
    std::memcpy(&Before, &W, sizeof W);
    EXPECT_EQ(RunSection(ContinueSpecialAction, W), 0);
    if (kind == 3.0f) {
      EXPECT_EQ(C().speed, 2.5f);
      EXPECT_NEAR(FacingOf(C()), 120.0, 1e-4);
      EXPECT_NEAR(MoveAlong(C(), 120.0).along, 0.1, 1e-6);
    } else {
      EXPECT_EQ(std::memcmp(&Before, &W, sizeof W), 0);
    }
  }
}

// The sections under way apply in turn; the last that runs decides his move.
TEST_F(CarrierOffloadTest, ASpecialActionDuringAPassWinsAndADiveAfterIt) {
  MakePassScene();
  C().SpecialAnimTimer = 0.5f;
  C().SpecialAnimKind = 3.0f;
  C().SpecialAnimAngle = 0.0f;
  C().SpecialAnimSpeed = 2.5f;
  W.Teams[1].TimeToContact = 10000.0f;
  C().numgoverning = 1;  // no dive decision
  BallCarrierDecision(W);
  EXPECT_EQ(C().speed, 2.5f);
  EXPECT_NEAR(MoveAlong(C(), 0.0).along, 0.1, 1e-5);

  C().Pos = C().OldPos;
  C().DiveTimer = 1.0f;
  C().DiveAngle = 90.0f;
  C().DiveSpeed = 4.0f;
  BallCarrierDecision(W);
  EXPECT_EQ(C().speed, 4.0f);
  EXPECT_NEAR(MoveAlong(C(), 90.0).along, 0.16, 1e-5);
}

}  // namespace

// ------------------------------------------------------------------ the example match

namespace {

class CarrierOffloadMatchTest : public ExampleMatchTest {};

// Every frame a random event (kinds 0 to 12, a third of them offloads;
// receivers 0 to 26, the named team-mate 2 m behind) and random actions
// under way: no index outside a block (the checked builds), no float
// error, no allocation.
TEST_F(CarrierOffloadMatchTest, RandomEventsEachFrameStayWithinTheRecords) {
  TWorld& M = World;
  M.gamestate = gsRunning;
  M.TimeStep = 0.04f;
  M.PrevTimeStep = 0.04f;
  M.TimeSinceSetPiece = 10.0f;
  const i32 carrier = M.Teams[1].BallCarrier;
  ASSERT_GE(carrier, 1);
  TPlayer& C = M.Teams[1].Players[carrier];
  C.ActionSeq = StrategyParams.ActionSeqTemplate;
  std::minstd_rand pick(65);
  auto roll = [&pick](int lo, int hi) { return static_cast<int>(pick() % static_cast<unsigned>(hi - lo + 1)) + lo; };
  auto timer = [&roll]() { return roll(0, 3) == 0 ? 0.5f : 0.0f; };

  int offloads = 0;
  std::feclearexcept(FE_ALL_EXCEPT);
  StartCountingAllocations();
  for (int frame = 0; frame < 500; ++frame) {
    M.Teams[1].BallCarrier = carrier;
    C.ActionSeq.seqON = kTrue32;
    C.ActionSeq.NumEvents = 1;
    C.ActionSeq.CurrEventIndex = 1;
    TActionEvent& E = C.ActionSeq.EventArray[1];
    E.EventType = roll(0, 2) == 0 ? 12 : roll(0, 12);
    E.EventSubType = roll(0, 26);
    E.Complete = kFalse32;
    E.Angle = static_cast<f32>(roll(0, 359));
    E.DesSpeed = 6.0f;
    E.DistOrig = 100.0f;
    // A named team-mate stands where an offload may go.
    if (E.EventSubType >= 1 && E.EventSubType <= 15 && E.EventSubType != carrier) {
      TPlayer& R = M.Teams[1].Players[E.EventSubType];
      R.Pos = {C.Pos.x + 1.0f, 0.0f, C.Pos.z - 2.0f};
    }
    M.Teams[1].PassReceiver = roll(0, 26);
    M.Teams[1].OffloadTime = roll(0, 1) == 0 ? 0.5f : 0.0f;
    M.Teams[2].TackleMass = static_cast<f32>(roll(0, 1) * 180);
    C.GettingTackledTimer = roll(0, 1) == 0 ? 0.5f : 0.0f;
    C.GettingTackledKind = roll(0, 1) == 0 ? 0.0f : static_cast<f32>(roll(1, 7));
    C.GettingTackledSpeed = static_cast<f32>(roll(0, 5));
    C.OffloadPending = roll(0, 3) == 0 ? 10.0f : 0.0f;
    C.passtimer = timer();
    C.SpecialAnimTimer = timer();
    C.SpecialAnimKind = 3.0f;
    C.freeballcatchtimer = timer();
    C.FreeBallCatchKind = static_cast<f32>(roll(1, 4));
    C.ForcedRunTimer = timer();
    C.OldVelocity = C.Velocity;
    C.Velocity = {static_cast<f32>(roll(-5, 5)), static_cast<f32>(roll(-5, 5))};
    C.OldPos = C.Pos;
    const f32 before = C.OffloadPending;
    BallCarrierDecision(M);
    if (before <= 0 && C.OffloadPending > 0) ++offloads;
    C.Pos.x = std::fmax(-30.0f, std::fmin(30.0f, C.Pos.x));  // kept on the field
    C.Pos.z = std::fmax(-45.0f, std::fmin(45.0f, C.Pos.z));
  }
  const long allocations = StopCountingAllocations();
  EXPECT_FALSE(FloatErrorRaised());
  EXPECT_EQ(allocations, 0);
  EXPECT_EQ(M.Teams[1].BallCarrier, carrier);
  EXPECT_TRUE(std::isfinite(C.Pos.x) && std::isfinite(C.Pos.z));
  EXPECT_GT(offloads, 0);
}

}  // namespace

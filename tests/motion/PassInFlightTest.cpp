#include "motion/PassInFlight.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>

#include "core/DrawCount.h"
#include "core/FloatFlags.h"
#include "core/Geometry.h"
#include "core/Random.h"
#include "flow/OpenPlayScene.h"
#include "motion/DelayPlayersUnit.h"

namespace {

constexpr int kReceiver = 12;
constexpr int kDefender = 7;

// A pass in the air: the ball 1.2 m up at the origin flies at 10 m/s up the
// pitch (+z) and 2 m/s up, towards receiver 12 standing 8 m ahead. Everyone
// else of block 1 stands 100 m behind, of block 2 100 m ahead, all facing up
// the pitch. Top speeds 8 m/s, heights 1.85 m, the reaction delays (0.1,
// 0.04, 0, 0.5).
class PassInFlightTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeOpenPlayPitch(W);
    RandSeed = 4242;
    W.gamestate = gsPassing;
    W.Gravity = 9.81f;
    W.CatchSearchStep = 0.01f;
    W.CatchReach = 0.65f;
    ForEverySlot(W, [](TPlayer& P, int b, int p) {
      Place(P, static_cast<f32>(3 * p - 30), b == 1 ? -100.0f : 100.0f);
      P.maxspeed = 8.0f;
      P.Acceleration = 4.0f;
      P.Height = 1.85f;
      P.FacingAngle = static_cast<f32>(std::numbers::pi);  // heading 90, up the pitch
      P.SpeedLossSlope = 0.1f;
      SetDistribution(P.ReactionDelayExtra1, 0.1, 0.04, 0.0, 0.5);
      SetDistribution(P.ReactionDelayExtra2, 0.1, 0.04, 0.0, 0.5);
    });
    W.BallPos = {0.0f, 1.2f, 0.0f};
    W.PassVel = {0.0f, 2.0f, 10.0f};
    A().PassReceiver = kReceiver;
    A().PassFlightLeft = 0.8f;
    A().PassFlightTotal = 0.8f;
    A().PassFlightTime = 0.5f;
    A().PassLaunch = {0.0f, 2.0f, 10.0f, 0.0f, 1.0f, 8.0f, 0.8f};
    A().ReceiverReaimTimer = 0.3f;
    A().PassGroundPoint = {0.0f, 9.5f};
    A().PassGroundTime = 0.95f;
    Place(R(), 0.0f, 8.0f);
  }

  static TTeamBlock& A() { return W.Teams[1]; }
  static TTeamBlock& D() { return W.Teams[2]; }
  static TPlayer& R() { return W.Teams[1].Players[kReceiver]; }
  static TPlayer& Def(int i) { return W.Teams[2].Players[i]; }

  static TWorld W;
};
TWorld PassInFlightTest::W;

// ---------------------------------------------------------------- defenders

TEST_F(PassInFlightTest, FirstDelayRunningOutDrawsTheSecondAndAListedChaserStopsThePressure) {
  D().ChaserCount = 2;
  D().ChaserSlots[2] = kDefender;
  D().PressureTimerA = 1.0f;
  D().PressureTimerB = 1.0f;
  Def(kDefender).PassReadTimer = 0.3f;  // counted, not yet out
  u32 seed = RandSeed;
  DefenderReadsPass(W, kDefender);
  EXPECT_EQ(RandSeed, seed) << "no draw before the run-out";
  EXPECT_EQ(Def(kDefender).ReactionDelayExtra2.value, 0.0f);
  EXPECT_EQ(D().PressureTimerA, 0.0f) << "a listed chaser stops the pressure on every counted frame";
  EXPECT_EQ(D().PressureTimerB, 0.0f);

  Def(kDefender).PassReadTimer = -0.01f;  // run out
  D().PressureTimerA = 1.0f;
  W.gamestate = gsRunning;
  seed = RandSeed;
  DefenderReadsPass(W, kDefender);
  const u32 after = RandSeed;
  RandSeed = seed;
  EXPECT_EQ(Def(kDefender).ReactionDelayExtra2.value, DrawClamped(Def(kDefender).ReactionDelayExtra2));
  EXPECT_EQ(RandSeed, after);
  EXPECT_GE(Def(kDefender).ReactionDelayExtra2.value, 0.0f);
  EXPECT_LE(Def(kDefender).ReactionDelayExtra2.value, 0.5f);
  EXPECT_EQ(D().PressureTimerA, 1.0f) << "only in passing";
}

// Defender 7 stands 14 m up the pitch in the ball's line, well clear of the
// receiver: he can reach the ball.
TEST_F(PassInFlightTest, DefenderWhoseSecondDelayRunsOutTriesToIntercept) {
  Place(Def(kDefender), 0.0f, 5.0f);
  Place(R(), 20.0f, 8.0f);
  std::feclearexcept(FE_ALL_EXCEPT);
  DefenderTriesInterception(W, kDefender);
  EXPECT_FALSE(FloatErrorRaised());
  const TPlayer& P = Def(kDefender);
  EXPECT_NE(P.PassReactionDone, 0);
  ASSERT_NE(P.WillAttemptPassInterCept, 0);
  EXPECT_NE(P.CanInterceptPassOnFull, 0);
  EXPECT_EQ(P.BallCatchPoint.x, 0.0f);
  EXPECT_GT(P.BallCatchPoint.z, 0.0f);
  EXPECT_LE(P.BallCatchPoint.z, 8.0f);
}

TEST_F(PassInFlightTest, DefenderIsOutEarlyBusyOrNearTheReceiversPoint) {
  struct Case {
    const char* name;
    f32 flightTime;
    f32 busy;     // his passtimer
    f32 rx;       // receiver x; he runs at 10 m/s in x
    bool judged;  // PassReactionDone set
  };
  const Case cases[] = {
      {"within one frame and 0.05 s of the release", 0.08f, 0.0f, 20.0f, false},
      {"busy", 0.5f, 0.3f, 20.0f, true},
      {"within 7 m of the receiver's point 0.8 s back", 0.5f, 0.0f, 14.0f, true},
  };
  for (const Case& c : cases) {
    SetUp();
    Place(Def(kDefender), 0.0f, 5.0f);
    Place(R(), c.rx, 8.0f);
    R().Velocity = {10.0f, 0.0f};  // back-projected point: (rx - 8, 8)
    A().PassFlightTime = c.flightTime;
    Def(kDefender).passtimer = c.busy;
    DefenderTriesInterception(W, kDefender);
    EXPECT_EQ(Def(kDefender).PassReactionDone != 0, c.judged) << c.name;
    EXPECT_EQ(Def(kDefender).WillAttemptPassInterCept, 0) << c.name;
  }
  // 7.5 m off in x is outside the zone.
  SetUp();
  Place(Def(kDefender), 0.0f, 5.0f);
  Place(R(), 15.5f, 8.0f);
  R().Velocity = {10.0f, 0.0f};
  DefenderTriesInterception(W, kDefender);
  EXPECT_NE(Def(kDefender).WillAttemptPassInterCept, 0);
}

TEST_F(PassInFlightTest, SecondDelayRunningOutJustAfterTheReleaseNeverTriesThroughTheTimerStep) {
  Place(Def(kDefender), 0.0f, 5.0f);
  Place(R(), 20.0f, 8.0f);
  Def(kDefender).ReactionDelayExtra2.value = 0.02f;
  A().PassFlightTime = 0.04f;
  DelayPlayers(W);
  EXPECT_LE(Def(kDefender).ReactionDelayExtra2.value, 0.0f);
  EXPECT_EQ(Def(kDefender).PassReactionDone, 0);
  A().PassFlightTime = 0.5f;
  for (int f = 0; f < 5; ++f) DelayPlayers(W);
  EXPECT_EQ(Def(kDefender).WillAttemptPassInterCept, 0) << "his delay has stopped at or below 0";
  EXPECT_EQ(Def(kDefender).PassReactionDone, 0);
}

// Through the timer step the reaction run-out judges the pass read as it
// stood before this frame's count, and a defender who goes for the ball
// keeps the ChaseTimer of 0 he is given after his plain countdowns; the
// reads that run out draw in player order.
TEST_F(PassInFlightTest, TimerStepOrderOfRunOutReadAndCountdowns) {
  Place(Def(kDefender), 0.0f, 5.0f);
  Place(R(), 20.0f, 8.0f);
  W.TimeStep = 0.04f;
  struct Case {
    f32 read;
    bool tries;
  };
  for (const Case c : {Case{0.03f, false}, Case{0.0f, true}}) {
    Def(kDefender).ReactionDelayExtra2.value = 0.02f;
    Def(kDefender).PassReadTimer = c.read;  // 0.03: still running when the run-out is judged
    Def(kDefender).PassReactionDone = kFalse32;
    Def(kDefender).WillAttemptPassInterCept = kFalse32;
    Def(kDefender).ChaseTimer = 1.0f;
    DelayPlayers(W);
    EXPECT_EQ(Def(kDefender).WillAttemptPassInterCept != 0, c.tries) << c.read;
    EXPECT_EQ(Def(kDefender).ChaseTimer, c.tries ? 0.0f : ToF32(1.0 - 0.04f)) << c.read;
  }

  for (int i : {3, kDefender}) {
    Def(i).PassReadTimer = 0.03f;  // runs out this frame: a fresh reaction drawn
    Def(i).ReactionDelayExtra2.value = 0.0f;
  }
  const u32 seed = RandSeed;
  DelayPlayers(W);
  const f32 got3 = Def(3).ReactionDelayExtra2.value;
  const f32 got7 = Def(kDefender).ReactionDelayExtra2.value;
  RandSeed = seed;
  const f32 want3 = DrawClamped(Def(3).ReactionDelayExtra2);
  const f32 want7 = DrawClamped(Def(kDefender).ReactionDelayExtra2);
  EXPECT_EQ(got3, want3);
  EXPECT_EQ(got7, want7);
}

// ---------------------------------------------------------------- re-aim

TEST_F(PassInFlightTest, ReceiverAlreadyMeetingTheBallKeepsHisRun) {
  // Arrival point after 0.8 s: (0, 8); height 1.2 + 1.6 - 3.14 = -0.34 m.
  R().DesiredPos = {0.5f, 0.0f, 9.0f};
  A().ReceiverReaimTimer = 0.01f;
  ReaimReceiver(W);
  EXPECT_NE(A().ReceiverReaimDone, 0);
  EXPECT_EQ(R().DesiredPos.x, 0.5f);
  EXPECT_EQ(R().DesiredPos.z, 9.0f);
  EXPECT_EQ(A().PassFlightLeft, 0.8f);
}

TEST_F(PassInFlightTest, ReceiverReaimsOnceWhenHisTimerRunsOutOrTheCatchIsNear) {
  struct Case {
    const char* name;
    f32 timer, flightLeft;
    bool reaims;
  };
  const Case cases[] = {
      {"timer running, flight long", 0.3f, 0.8f, false},
      {"timer runs out", 0.03f, 0.8f, true},
      {"timer running, less than 0.28 s and a frame left", 0.3f, 0.3f, true},
  };
  for (const Case& c : cases) {
    SetUp();
    R().DesiredPos = {6.0f, 0.0f, 8.0f};  // 6 m off the ball's line
    R().maxspeed = 7.0f;
    A().ReceiverReaimTimer = c.timer;
    A().PassFlightLeft = c.flightLeft;
    std::feclearexcept(FE_ALL_EXCEPT);
    ReaimReceiver(W);
    EXPECT_FALSE(FloatErrorRaised()) << c.name;
    EXPECT_EQ(A().ReceiverReaimDone != 0, c.reaims) << c.name;
    EXPECT_FLOAT_EQ(A().ReceiverReaimTimer, c.timer - 0.04f) << c.name;
    if (!c.reaims) {
      EXPECT_EQ(R().DesiredPos.x, 6.0f) << c.name;
      continue;
    }
    const TVector2 pt = R().BallCatchPoint;
    EXPECT_EQ(R().DesiredPos.x, pt.x) << c.name;
    EXPECT_EQ(R().DesiredPos.z, pt.z) << c.name;
    EXPECT_EQ(pt.x, 0.0f) << c.name;
    const double t = pt.z / 10.0;  // ball to the point at 10 m/s
    EXPECT_NEAR(A().PassFlightLeft, t, 1e-5) << c.name;
    EXPECT_NEAR(A().PassLaunch.T, 0.8 + t - c.flightLeft, 1e-5) << c.name;
    EXPECT_EQ(A().PassFlightTotal, A().PassLaunch.T) << c.name;
    EXPECT_NEAR(A().PassLaunch.y, 1.2 + 2.0 * t - 0.5 * 9.81 * t * t, 1e-5) << c.name;
    EXPECT_LE(A().ReceiverRunSpeed, 7.0f) << c.name;
    EXPECT_EQ(R().desiredspeed, A().ReceiverRunSpeed) << c.name;
    // Only once a pass.
    R().DesiredPos = {6.0f, 0.0f, 8.0f};
    ReaimReceiver(W);
    EXPECT_EQ(R().DesiredPos.x, 6.0f) << c.name;
  }
}

TEST_F(PassInFlightTest, ReaimWithoutAReceiverOrWithAStandingBallIsSafe) {
  A().ReceiverReaimTimer = 0.01f;
  A().PassReceiver = 0;
  ReaimReceiver(W);
  EXPECT_NE(A().ReceiverReaimDone, 0);
  EXPECT_EQ(A().PassFlightLeft, 0.8f);

  // A ball dropping straight down: both divisions floored.
  SetUp();
  A().ReceiverReaimTimer = 0.01f;
  W.PassVel = {0.0f, 0.0f, 0.0f};
  R().maxspeed = 0.0f;
  std::feclearexcept(FE_ALL_EXCEPT);
  ReaimReceiver(W);
  EXPECT_FALSE(FloatErrorRaised());
  EXPECT_GE(A().PassFlightLeft, 0.01f);
  EXPECT_GE(A().PassLaunch.T, 0.01f);
  EXPECT_EQ(A().ReceiverRunSpeed, 0.0f);
}

// ---------------------------------------------------------------- arrival and catch arming

TEST_F(PassInFlightTest, PlannedArrivalDrawsChaserCountsAndReactionTimes) {
  A().LooseChasers[3] = 4;
  D().LooseChasers[1] = 9;
  for (int b = 1; b <= 2; ++b)
    for (int p = 1; p <= 15; ++p) W.Teams[b].Players[p].PassReactionDone = kTrue32;
  const u32 seed = RandSeed;
  PassArrives(W);
  const u32 after = RandSeed;
  // Block 1's count, block 2's, then one draw a player, index by index.
  RandSeed = seed;
  const i32 n1 = RandomRange(1, 6);
  const i32 n2 = RandomRange(1, 6);
  f32 drawn[16][3] = {};
  for (int p = 1; p <= 15; ++p)
    for (int b = 1; b <= 2; ++b) drawn[p][b] = DrawClamped(W.Teams[b].Players[p].ReactionDelayExtra2);
  EXPECT_EQ(RandSeed, after);
  EXPECT_EQ(A().LooseChaserCount, n1);
  EXPECT_EQ(D().LooseChaserCount, n2);
  for (int p = 1; p <= 15; ++p)
    for (int b = 1; b <= 2; ++b) EXPECT_EQ(W.Teams[b].Players[p].LooseBallReactionTime, drawn[p][b]);
  for (int b = 1; b <= 2; ++b) {
    EXPECT_GE(W.Teams[b].LooseChaserCount, 1);
    EXPECT_LE(W.Teams[b].LooseChaserCount, 5);
    for (int k = 1; k <= 5; ++k) EXPECT_EQ(W.Teams[b].LooseChasers[k], 0);
    for (int p = 1; p <= 15; ++p) {
      const TPlayer& P = W.Teams[b].Players[p];
      EXPECT_EQ(P.PassReactionDone, 0);
      EXPECT_GE(P.LooseBallReactionTime, 0.0f);
      EXPECT_LE(P.LooseBallReactionTime, 0.5f);
    }
  }
  EXPECT_EQ(A().PassLooseTime, 0.0f);
}

TEST_F(PassInFlightTest, CatchIsArmedBelowTwentyEightHundredthsWithItsSideAndHeight) {
  struct Case {
    f32 flightLeft, speed, targetY, ballX;
    bool armed;
    i32 side, height;
  };
  // Receiver at x = 0, 1.85 m tall: 0.9 x H = 1.665, 0.4 x H = 0.74.
  const Case cases[] = {
      {0.28f, 5.0f, 1.0f, 0.0f, false, 0, 0}, {0.27f, 5.0f, 1.0f, 0.0f, true, 2, 1},
      {0.1f, 5.0f, 0.7f, -0.1f, true, 1, 2},  {0.1f, 5.0f, 1.7f, 0.1f, true, 2, 3},
      {0.1f, 1.0f, 1.7f, 0.0f, true, 2, 4},   {0.1f, 1.01f, 1.7f, 0.0f, true, 2, 3},
      {-0.02f, 1.0f, 1.0f, 0.0f, true, 2, 4},
  };
  for (const Case& c : cases) {
    SetUp();
    A().PassFlightLeft = c.flightLeft;
    R().speed = c.speed;
    R().passtimer = 0.5f;
    A().PassLaunch.y = c.targetY;
    W.BallPos.x = c.ballX;
    ArmPassCatch(W);
    ASSERT_EQ(R().PassCatchArmed != 0, c.armed) << c.flightLeft << " " << c.speed;
    if (!c.armed) continue;
    EXPECT_EQ(R().passcatchtimer, 10.0f);
    EXPECT_EQ(R().passtimer, 0.0f);
    EXPECT_EQ(A().CatchSide, c.side);
    EXPECT_EQ(A().CatchHeight, c.height) << c.targetY << " at " << c.speed;
  }
  // Armed once; no receiver arms nobody.
  SetUp();
  A().PassFlightLeft = 0.1f;
  R().PassCatchArmed = kTrue32;
  ArmPassCatch(W);
  EXPECT_EQ(R().passcatchtimer, 0.0f);
  A().PassReceiver = 0;
  R().PassCatchArmed = kFalse32;
  ArmPassCatch(W);
  EXPECT_EQ(R().passcatchtimer, 0.0f);
}

// ---------------------------------------------------------------- loose-pass chase

// The pass has come down unheld: block 1's list has one place. Player 3
// reacts first from 8 m away; player 5, reacting later, stands nearer.
TEST_F(PassInFlightTest, FasterLaterChaserDisplacesTheFirstOnAOnePlaceList) {
  A().PassFlightLeft = -0.01f;
  A().LooseChaserCount = 1;
  D().LooseChaserCount = 1;
  W.BallPos = {0.0f, 0.3f, 9.0f};
  W.PassVel = {0.0f, -2.0f, 2.0f};
  for (int b = 1; b <= 2; ++b)
    for (int p = 1; p <= 25; ++p) W.Teams[b].Players[p].LooseBallReactionTime = 100.0f;
  TPlayer& first = W.Teams[1].Players[3];
  TPlayer& second = W.Teams[1].Players[5];
  Place(first, 8.0f, 9.0f);
  Place(second, 2.0f, 9.0f);
  first.LooseBallReactionTime = 0.05f;
  second.LooseBallReactionTime = 0.15f;
  A().PassLooseTime = 0.1f;
  ChaseLoosePass(W);
  ASSERT_EQ(A().LooseChasers[1], 3);
  EXPECT_NE(first.WillAttemptPassInterCept, 0);
  EXPECT_NE(first.PassReactionDone, 0);
  EXPECT_EQ(second.PassReactionDone, 0);

  first.passcatchtimer = 10.0f;
  A().PassLooseTime = 0.2f;
  ChaseLoosePass(W);
  EXPECT_EQ(A().LooseChasers[1], 5);
  EXPECT_NE(second.WillAttemptPassInterCept, 0);
  EXPECT_EQ(second.ChaseTimer, 0.0f);
  EXPECT_EQ(first.WillAttemptPassInterCept, 0);
  EXPECT_EQ(first.passcatchtimer, 0.0f);

  // A slower one still later displaces nobody.
  TPlayer& third = W.Teams[1].Players[7];
  Place(third, 20.0f, 9.0f);
  third.LooseBallReactionTime = 0.25f;
  A().PassLooseTime = 0.3f;
  ChaseLoosePass(W);
  EXPECT_EQ(A().LooseChasers[1], 5);
  EXPECT_EQ(third.WillAttemptPassInterCept, 0);
  EXPECT_NE(third.PassReactionDone, 0);
  for (int k = 1; k <= 5; ++k) EXPECT_EQ(D().LooseChasers[k], 0) << "block 2 has no one due";
}

TEST_F(PassInFlightTest, BusyChaserIsJudgedButNotListedAndNoPointFallsBackToTheGround) {
  A().PassFlightLeft = -0.01f;
  A().LooseChaserCount = 2;
  for (int b = 1; b <= 2; ++b)
    for (int p = 1; p <= 25; ++p) W.Teams[b].Players[p].LooseBallReactionTime = 100.0f;
  TPlayer& busy = W.Teams[2].Players[4];
  busy.GettingTackledTimer = 0.5f;
  busy.LooseBallReactionTime = 0.0f;
  TPlayer& far = W.Teams[1].Players[6];  // 100 m behind: no catch point in 1.5 s
  far.LooseBallReactionTime = 0.0f;
  A().PassLooseTime = 0.1f;
  ChaseLoosePass(W);
  EXPECT_NE(busy.PassReactionDone, 0);
  EXPECT_EQ(busy.WillAttemptPassInterCept, 0);
  EXPECT_EQ(far.BallCatchPoint.x, A().PassGroundPoint.x);
  EXPECT_EQ(far.BallCatchPoint.z, A().PassGroundPoint.z);
  EXPECT_EQ(far.CanInterceptPassOnFull, 0);
  EXPECT_EQ(A().LooseChasers[1], 6) << "an empty place takes him";
}

}  // namespace

#include "flow/PassingUnit.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <numbers>

#include "AllocationCounter.h"
#include "core/FloatFlags.h"
#include "core/Kinematics.h"
#include "core/Random.h"
#include "core/StrategyShapes.h"
#include "flow/OpenPlayScene.h"

namespace {

constexpr int kReceiver = 12;

// A pass in the air to receiver 12 at (0, 10), who runs to (0, 12). His
// team-mates stand far behind him, off the line and the grid; block 2 far
// ahead. Top speeds 8 m/s, heights 1.85 m. The grid is 11 x 11, the line's
// slot offsets flat and 1 m apart. The ball flies up the pitch at 10 m/s.
class PassingUnitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeOpenPlayPitch(W);
    RandSeed = 99;
    BuildActionSeqTemplates(W);
    W.gamestate = gsPassing;
    W.PassingPhase = 2;
    W.TimeSinceSetPiece = 30.0f;
    W.Gravity = 9.81f;
    ForEverySlot(W, [](TPlayer& P, int b, int p) {
      Place(P, static_cast<f32>(2 * p - 26), b == 1 ? -40.0f : 60.0f);
      P.maxspeed = 8.0f;
      P.Acceleration = 4.0f;
      P.Height = 1.85f;
      P.maxpassspeed = 20.0f;
    });
    A().SupportGridSize = 11;
    for (int k = 1; k <= 201; ++k) A().LineSlotPos[k] = {static_cast<f32>(k - 101), 0.0f};
    A().PassReceiver = kReceiver;
    A().PassFlightLeft = 0.5f;
    A().ReceiverRunSpeed = 8.0f;
    A().ReceiverRunAngle = 90.0f;
    Place(R(), 0.0f, 10.0f);
    R().DesiredPos = {0.0f, 0.0f, 12.0f};
    W.BallPos = {0.0f, 1.0f, 5.0f};
    W.PassVel = {0.0f, 1.0f, 10.0f};
  }

  static TTeamBlock& A() { return W.Teams[1]; }
  static TPlayer& Pl(int i) { return W.Teams[1].Players[i]; }
  static TPlayer& Def(int i) { return W.Teams[2].Players[i]; }
  static TPlayer& R() { return Pl(kReceiver); }

  // One call of the handler; it raises no floating-point error.
  static void Run() {
    std::feclearexcept(FE_ALL_EXCEPT);
    DoPassing(W);
    EXPECT_FALSE(FloatErrorRaised());
  }
  static void SetUpFrame() {
    W.PassingPhase = 1;
    Run();
    EXPECT_EQ(W.PassingPhase, 2);
  }
  static void InSlot(int p, int k) {
    A().SetPieceLine[k] = p;
    Pl(p).InBackline = kTrue32;
  }
  static int SlotOf(int p) {
    for (int k = 1; k <= 201; ++k)
      if (A().SetPieceLine[k] == p) return k;
    return 0;
  }
  static int CellsHeldBy(int p) {
    int n = 0;
    for (int r = 1; r <= 15; ++r)
      for (int c = 1; c <= 15; ++c) n += A().SupportGridCells[r][c] == p;
    return n;
  }

  static TWorld W;
};
TWorld PassingUnitTest::W;

// ---------------------------------------------------------------- set-up

TEST_F(PassingUnitTest, ReceiverInASlotIsOnlyRecentredAndThosePushedOffTakeTheEndSlots) {
  // R in slot 3: the line moves 98 slots up; 150 and 201 fall off the top.
  InSlot(kReceiver, 3);
  InSlot(2, 1);
  InSlot(4, 50);
  InSlot(6, 150);
  InSlot(8, 201);
  SetUpFrame();
  EXPECT_EQ(SlotOf(kReceiver), 101);
  EXPECT_EQ(SlotOf(2), 99);
  EXPECT_EQ(SlotOf(4), 148);
  EXPECT_EQ(SlotOf(8), 201) << "from the top end inward, in the line's order";
  EXPECT_EQ(SlotOf(6), 200);
  int held = 0;
  for (int k = 1; k <= 201; ++k) held += A().SetPieceLine[k] != 0;
  EXPECT_EQ(held, 5);
  EXPECT_NE(R().InBackline, 0);
}

TEST_F(PassingUnitTest, ReceiverFromTheGridJoinsTheLineNearestHisXAndHisCellsStayFree) {
  // Last frame's slots 1 m apart around x = 0; R at x = -3.2 takes slot 98.
  for (int k = 1; k <= 201; ++k) A().SetPieceSlotPos[k] = {static_cast<f32>(k - 101), 0.0f};
  Place(R(), -3.2f, 10.0f);
  InSlot(4, 97);
  InSlot(6, 99);
  A().SupportGridCells[2][5] = kReceiver;
  A().SupportGridCells[3][6] = kReceiver;
  A().SupportGridCells[1][1] = 2;
  SetUpFrame();
  EXPECT_EQ(SlotOf(kReceiver), 101);
  EXPECT_EQ(SlotOf(4), 100);
  EXPECT_EQ(SlotOf(6), 102);
  EXPECT_NE(R().InBackline, 0);
  EXPECT_EQ(CellsHeldBy(kReceiver), 0);
  EXPECT_EQ(A().SupportGridCells[1][1], 2) << "the others keep their cells";
  for (int f = 0; f < 3; ++f) Run();
  EXPECT_EQ(CellsHeldBy(kReceiver), 0);
  EXPECT_EQ(SlotOf(kReceiver), 101);
}

TEST_F(PassingUnitTest, SupportSpeedBringsEachPlayerToHisPlaceAsTheBallArrives) {
  // Player 2 in slot 100: his place is R's target (0, 12) less 1 m in x.
  InSlot(kReceiver, 101);
  InSlot(2, 100);
  Place(Pl(2), -1.0f, -20.0f);
  Pl(2).maxspeed = 10.0f;
  // Player 3 outside line and grid: his DesiredPos stays his place.
  Place(Pl(3), 0.0f, 0.0f);
  Pl(3).DesiredPos = {0.0f, 0.0f, 1.0f};
  Pl(3).maxspeed = 6.0f;
  // Player 4 already past his place.
  Place(Pl(4), 5.0f, 0.0f);
  Pl(4).DesiredPos = {5.0f, 0.0f, -1.0f};
  Pl(4).maxspeed = 6.5f;
  SetUpFrame();
  const f32 far = SpeedToCoverInTime(0.0f, 4.0f, 10.0f, 32.0f, 0.5f, kTrue32);
  EXPECT_EQ(Pl(2).PassingSupportSpeed, static_cast<f32>(0.98 * far));
  EXPECT_GT(Pl(2).PassingSupportSpeed, 7.84f);
  EXPECT_EQ(Pl(3).PassingSupportSpeed, static_cast<f32>(0.98 * 8.0)) << "7.84 m/s, above his maxspeed";
  EXPECT_EQ(Pl(4).PassingSupportSpeed, 6.5f);
  EXPECT_EQ(R().PassingSupportSpeed, 0.0f);
  // A second frame does not set them again.
  Pl(4).PassingSupportSpeed = 1.0f;
  Run();
  EXPECT_EQ(Pl(4).PassingSupportSpeed, 1.0f);
}

TEST_F(PassingUnitTest, SetUpClearsTheDefencesPressureTimer) {
  W.Teams[2].PressureTimerA = 2.0f;
  Run();
  EXPECT_EQ(W.Teams[2].PressureTimerA, 2.0f);
  SetUpFrame();
  EXPECT_EQ(W.Teams[2].PressureTimerA, 0.0f);
}

TEST_F(PassingUnitTest, KickPassSendsFreePlayersLevelOrBehindUpToTheCatch) {
  struct Case {
    i32 type;
    f32 angle;
    f32 desSpeed, distOrig;
  };
  // R at z = 10, PassTimeLeft 0.6 s; the runner at z = 3.6.
  const Case cases[] = {
      {5, 90.0f, 5.0f, 12.0f},            // zc 10.6, T 1.4 s
      {5, 270.0f, 6.4f / 1.4f, 11.4f},    // zc stays 10.0
      {55, 90.0f, 7.0f / 1.9f, 12.0f},    // T 1.9 s
  };
  for (const Case& c : cases) {
    SetUp();
    A().PassTimeLeft = 0.6f;
    A().ReceiverRunAngle = c.angle;
    R().ActionSeq = StrategyParams.ActionSeqTemplate;
    R().ActionSeq.EventArray[1].EventType = c.type;
    Place(Pl(3), 4.0f, 3.6f);
    SetUpFrame();
    const TActionEvent& E = Pl(3).ActionSeq.EventArray[1];
    EXPECT_NE(Pl(3).ActionSeq.seqON, 0);
    EXPECT_NEAR(E.DesSpeed, c.desSpeed, 1e-5) << c.type << " " << c.angle;
    EXPECT_NEAR(E.DistOrig, c.distOrig, 1e-5) << c.type << " " << c.angle;
    EXPECT_EQ(E.EndCondition, 17);
    EXPECT_EQ(E.Angle, StrategyParams.ActionSeqTemplate.EventArray[1].Angle);
  }
}

TEST_F(PassingUnitTest, OnlyFreePlayersRunToTheCatch) {
  A().PassTimeLeft = 0.6f;
  R().ActionSeq = StrategyParams.ActionSeqTemplate;
  R().ActionSeq.EventArray[1].EventType = 5;
  Place(Pl(2), 0.0f, 10.5f);  // ahead of R
  Place(Pl(3), 2.0f, 5.0f);
  Pl(3).OldTackleTimer = 0.2f;  // busy
  Place(Pl(4), 4.0f, 5.0f);     // a plain run that waits for nothing
  Pl(4).ActionSeq = StrategyParams.ActionSeqTemplate;
  Pl(4).ActionSeq.EventArray[1].DesSpeed = 3.0f;
  Place(Pl(5), 6.0f, 5.0f);     // a plain run waiting for the pass
  Pl(5).ActionSeq = StrategyParams.ActionSeqTemplate;
  Pl(5).ActionSeq.EventArray[1].WaitFor = 1;
  Place(Pl(6), 8.0f, 10.0f);    // level with R, on an action event
  Pl(6).ActionSeq = StrategyParams.ActionSeqTemplate;
  Pl(6).ActionSeq.EventArray[1].EventType = 8;
  SetUpFrame();
  EXPECT_NE(Pl(2).ActionSeq.EventArray[1].EndCondition, 17);
  EXPECT_NE(Pl(3).ActionSeq.EventArray[1].EndCondition, 17);
  EXPECT_NE(Pl(4).ActionSeq.EventArray[1].EndCondition, 17);
  EXPECT_EQ(Pl(4).ActionSeq.EventArray[1].DesSpeed, 3.0f);
  EXPECT_EQ(Pl(5).ActionSeq.EventArray[1].EndCondition, 17);
  EXPECT_EQ(Pl(6).ActionSeq.EventArray[1].EndCondition, 17);
  EXPECT_EQ(Pl(6).ActionSeq.EventArray[1].EventType, 0);

  // R on another event: nobody is sent.
  SetUp();
  R().ActionSeq = StrategyParams.ActionSeqTemplate;
  R().ActionSeq.EventArray[1].EventType = 1;
  Place(Pl(3), 2.0f, 5.0f);
  SetUpFrame();
  EXPECT_EQ(Pl(3).ActionSeq.seqON, 0);
}

// ---------------------------------------------------------------- per frame

TEST_F(PassingUnitTest, BallChaserRunsToHisCatchPointAndIsArmedWithinTwentyEightHundredths) {
  struct Case {
    f32 dist;    // catch point ahead of the ball, m
    f32 ballY;   // m
    bool armed;
    i32 height;
  };
  // Ball at 10 m/s in the plane; R 1.85 m tall.
  const Case cases[] = {
      {2.5f, 1.0f, true, 1}, {3.0f, 1.0f, false, 0}, {2.5f, 0.7f, true, 2}, {2.5f, 1.7f, true, 3},
  };
  for (const Case& c : cases) {
    SetUp();
    W.BallPos.y = c.ballY;
    TPlayer& P = Pl(5);
    Pl(5).Height = 1.5f;  // the receiver's height counts, not his
    P.WillAttemptPassInterCept = kTrue32;
    P.CanInterceptPassOnFull = kTrue32;
    P.BallCatchPoint = {0.0f, static_cast<f32>(5.0 + c.dist)};
    Run();
    EXPECT_EQ(P.DesiredPos.x, 0.0f);
    EXPECT_EQ(P.DesiredPos.z, P.BallCatchPoint.z);
    EXPECT_EQ(P.PassCatchArmed != 0, c.armed) << c.dist;
    if (!c.armed) {
      EXPECT_EQ(P.passcatchtimer, 0.0f);
      continue;
    }
    EXPECT_EQ(P.passcatchtimer, 10.0f);
    EXPECT_EQ(A().CatchSide, 2);
    EXPECT_EQ(A().CatchHeight, c.height) << c.ballY;
  }
}

TEST_F(PassingUnitTest, DefendingChaserTakesHisOwnHeightWithoutAReceiverAndAStandingBallArmsNobody) {
  TPlayer& P = Def(5);
  W.Teams[2].PassReceiver = 0;
  P.Height = 2.0f;  // 0.9 x 2.0 = 1.8: a ball at 1.7 m is class 1 for him, 3 for R
  W.BallPos.y = 1.7f;
  P.WillAttemptPassInterCept = kTrue32;
  P.CanInterceptPassOnFull = kTrue32;
  P.BallCatchPoint = {1.0f, 7.0f};
  Run();
  EXPECT_EQ(P.DesiredPos.x, 1.0f);
  EXPECT_EQ(P.DesiredPos.z, 7.0f);
  EXPECT_NE(P.PassCatchArmed, 0);
  EXPECT_EQ(W.Teams[2].CatchSide, 2);
  EXPECT_EQ(W.Teams[2].CatchHeight, 1);
  EXPECT_EQ(A().CatchHeight, 0);

  SetUp();
  W.PassVel = {0.0f, -3.0f, 0.0f};
  TPlayer& Q = Pl(5);
  Q.WillAttemptPassInterCept = kTrue32;
  Q.CanInterceptPassOnFull = kTrue32;
  Q.BallCatchPoint = {0.0f, 5.0f};  // right under the ball
  Run();
  EXPECT_EQ(Q.DesiredPos.z, 5.0f);
  EXPECT_EQ(Q.PassCatchArmed, 0);
}

TEST_F(PassingUnitTest, DefenderStillReadingRunsOnAlongHisFacingAndARuckMarkerKeepsHisX) {
  TPlayer& P = Def(3);
  Place(P, 10.0f, 30.0f);
  P.FacingAngle = 0.0f;  // heading -90: down the pitch
  P.PassReadTimer = 0.2f;
  Run();
  EXPECT_NEAR(P.DesiredPos.z, 28.5f, 1e-5);
  EXPECT_NEAR(P.DesiredPos.x, 10.0f, 1e-5);

  // A pass out of a breakdown: the defence keeps its ruck markers.
  W.FromGameState = gsGotTackled;
  P.FacingAngle = static_cast<f32>(std::numbers::pi / 2);  // heading 0: towards -x
  P.DesiredPos = P.Pos;
  P.RuckMarking = kTrue32;
  P.PassReadTimer = 0.0f;
  Run();
  const f32 fromDefense = P.DesiredPos.x;
  P.PassReadTimer = 0.2f;
  Run();
  ASSERT_NE(P.RuckMarking, 0);
  EXPECT_NE(fromDefense, 8.5f);
  EXPECT_EQ(P.DesiredPos.x, fromDefense);
  EXPECT_NEAR(P.DesiredPos.z, 30.0f, 1e-5);
}

TEST_F(PassingUnitTest, LineAndGridFollowTheReceiverAndSpeedOverridesAreCleared) {
  InSlot(kReceiver, 101);
  InSlot(2, 99);
  A().SupportGridCells[1][1] = 3;
  Pl(4).SpeedOverrideOn = kTrue32;
  Place(R(), 33.0f, 10.0f);  // near the touchline
  R().DesiredPos = {33.0f, 0.0f, 12.0f};
  Run();
  EXPECT_EQ(A().SetPieceSlotPos[101].x, 33.0f);
  EXPECT_EQ(A().SetPieceSlotPos[99].x, 31.0f);
  EXPECT_EQ(A().SetPieceSlotPos[101].z, 10.0f);
  // The grid origin is moved in: origin x + 12 <= 35 - 0.75.
  EXPECT_FLOAT_EQ(A().SupportGridSpots[1][1].x, 35.0f - 0.75f - 12.0f + 1.0f);
  EXPECT_FLOAT_EQ(A().SupportGridSpots[1][1].z, 6.0f);
  EXPECT_EQ(Pl(4).SpeedOverrideOn, 0);
  EXPECT_NE(Pl(2).DesiredPos.z, Pl(2).Pos.z) << "the line player is placed";
  EXPECT_NE(Pl(3).DesiredPos.x, Pl(3).Pos.x) << "the grid player is placed";
  EXPECT_EQ(R().DesiredPos.z, 12.0f) << "R's own target is not set here";
}

TEST_F(PassingUnitTest, NoReceiverLeavesHisRulesOutAndAllocatesNothing) {
  A().PassReceiver = 0;
  InSlot(2, 99);
  W.PassingPhase = 1;
  StartCountingAllocations();
  Run();
  EXPECT_EQ(StopCountingAllocations(), 0);
  EXPECT_EQ(W.PassingPhase, 2);
  EXPECT_EQ(SlotOf(2), 99);
}

}  // namespace

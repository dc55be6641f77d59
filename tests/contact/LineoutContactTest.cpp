// The lineout contact step: the contest in the air, the clean take and the
// steal, the knock-on at the jump and the throw nobody takes.
#include "AllocationCounter.h"
#include "RunningScene.h"
#include "contact/LooseBall.h"
#include "contact/GeneralCollisionUnit.h"
#include "core/DrawCount.h"

namespace {

using namespace running_scene;

constexpr int kJumper1 = 4;  // block 1, id 104
constexpr int kJumper2 = 5;  // block 2, id 205
constexpr int kThrower = 2;  // block 1, id 102
constexpr int kHolder = 9;
constexpr f32 kLineX = -25.0f;
constexpr f32 kBallZ = 10.0f;

// A lineout on the -x touch line at z 10: block 1 throws towards +x. The
// ball is 2.8 m up at x -25 (the reach band of a 1.8 m jumper is 2.45 to
// 3.05 m), moving across at 8 m/s. Both jumpers are past half of their jump,
// 0.1 m (block 1) and 0.3 m (block 2) from the ball; both catch cleanly.
class LineoutContactTest : public RunningSceneTest {
 protected:
  void SetUp() override {
    RunningSceneTest::SetUp();
    W.gamestate = gsLineout;
    W.Team1InFirstBlock = kTrue32;
    W.LineoutPhase = 5;
    W.LineoutOnNegativeX = kTrue32;
    W.Gravity = 9.81f;
    W.BallRadius = 0.15f;
    W.LineoutTargetJumper[1] = kJumper1;
    W.LineoutTargetJumper[2] = kJumper2;
    W.LineoutTargetSlot[1] = 3;
    W.LineoutTargetSlot[2] = 4;
    TTeamBlock& A = W.Teams[1];
    A.BallCarrier = 0;
    A.LineoutThrower = kThrower;
    A.SetPieceHolder = kHolder;
    A.ReceiverRunPending = 7;
    W.Teams[2].SetPieceHolder = 8;
    W.BallPos = {kLineX, 2.8f, kBallZ};
    W.PrevBallPos = {kLineX - 0.32f, 2.8f, kBallZ};
    W.PassVel = {8.0f, 0.0f, 0.0f};
    Jumping(J1(), kBallZ - 0.1f);
    Jumping(J2(), kBallZ + 0.3f);
  }

  static TPlayer& J1() { return Attacker(kJumper1); }
  static TPlayer& J2() { return Defender(kJumper2); }

  // P in the air at (kLineX, z), 0.6 through "lineoutpassleftp1".
  static void Jumping(TPlayer& P, f32 z) {
    Place(P, kLineX, z);
    P.currentAnim.Assign("lineoutpassleftp1");
    P.currentframe = 600.0f;
    P.maxframes = 1000.0f;
    P.LineOutTimer = 2.0f;
    P.CleanCatchProb = 1000;
    P.LineoutJumpProb = 500;
    P.LineoutFacing = 35.0f;
  }

  static void Step() { RunFrameStep({"LineoutContact", LineoutContact}, W); }
};

// ---------------------------------------------------------------- the contest

TEST_F(LineoutContactTest, TheContestRollFavoursTheNearerAndTheFresherJumper) {
  struct Case {
    bool side1Nearer, fatigued1, fatigued2;
    i32 roll;
    bool side1Wins;
  };
  const Case cases[] = {
      {true, false, false, 600, true},  {true, false, false, 601, false}, {false, false, false, 400, true},
      {false, false, false, 401, false}, {true, true, false, 555, true},  {true, true, false, 556, false},
      {false, false, true, 445, true},  {false, false, true, 446, false},
  };
  for (const Case& c : cases) {
    SetUp();
    if (!c.side1Nearer) {
      J1().Pos.z = kBallZ + 0.3f;
      J2().Pos.z = kBallZ - 0.1f;
    }
    J1().Fatigued = Flag(c.fatigued1);
    J2().Fatigued = Flag(c.fatigued2);
    RandSeed = SeedBeforeDraw(1, 1001, c.roll);
    Step();
    SCOPED_TRACE(testing::Message() << "roll " << c.roll << " nearer " << c.side1Nearer);
    EXPECT_EQ(W.gamestate, gsLineout);
    EXPECT_EQ(W.Teams[1].BallCarrier, c.side1Wins ? kJumper1 : kJumper2);
    EXPECT_EQ(W.Team1InFirstBlock, Flag(c.side1Wins));
    EXPECT_EQ(W.LineoutResolved, Flag(!c.side1Wins));
  }
}

TEST_F(LineoutContactTest, AJumperTakesTheBallOnlyWithinHisReach) {
  struct Case {
    const char* what;
    f32 dz, y, frame;
    const char* anim;
    bool takes;
  };
  const Case cases[] = {
      {"exactly 0.55 m away", 0.55f, 2.8f, 600.0f, "lineoutpassleftp1", true},
      {"0.5501 m away", 0.5501f, 2.8f, 600.0f, "lineoutpassleftp1", false},
      {"right-hand jump", 0.0f, 2.8f, 600.0f, "lineoutpassrightp1", true},
      {"ball too low", 0.0f, 2.44f, 600.0f, "lineoutpassleftp1", false},
      {"ball too high", 0.0f, 3.06f, 600.0f, "lineoutpassleftp1", false},
      {"half through the jump", 0.0f, 2.8f, 500.0f, "lineoutpassleftp1", false},
      {"landing", 0.0f, 2.8f, 600.0f, "lineoutpassleftp2", false},
  };
  for (const Case& c : cases) {
    SetUp();
    W.LineoutTargetJumper[2] = 0;  // block 1 alone
    W.BallPos.z = 0.0f;            // distances exact in f32
    J1().Pos.z = c.dz;
    W.BallPos.y = c.y;
    J1().currentframe = c.frame;
    J1().currentAnim.Assign(c.anim);
    const u32 before = RandSeed;
    Step();
    EXPECT_EQ(W.Teams[1].BallCarrier, c.takes ? kJumper1 : 0) << c.what;
    EXPECT_EQ(DrawsSince(before), c.takes ? 1 : 0) << c.what;  // the handling roll alone
  }
}

TEST_F(LineoutContactTest, TheHandlingRollFumblesBelowSevenTimesTheMissingCleanCatch) {
  struct Case {
    i16 clean;
    i32 roll;
    bool fumbles;
  };
  const Case cases[] = {{1000, 1, false}, {1000, 1000, false}, {900, 1, true},
                        {900, 699, true}, {900, 700, false},   {900, 1000, false}};
  for (const Case& c : cases) {
    SetUp();
    W.LineoutTargetJumper[2] = 0;
    J1().CleanCatchProb = c.clean;
    RandSeed = SeedBeforeDraw(1, 1001, c.roll);
    Step();
    SCOPED_TRACE(testing::Message() << "clean " << c.clean << " roll " << c.roll);
    EXPECT_EQ(W.gamestate, c.fumbles ? gsFreeBall : gsLineout);
    EXPECT_EQ(W.Teams[1].BallCarrier, c.fumbles ? 0 : kJumper1);
  }
}

TEST_F(LineoutContactTest, ACleanTakePassesDownToTheSetPieceHolderAndKeepsTheLineout) {
  Step();
  const TTeamBlock& A = W.Teams[1];
  EXPECT_EQ(W.gamestate, gsLineout);
  EXPECT_EQ(A.BallCarrier, kJumper1);
  EXPECT_FLOAT_EQ(J1().passtimer, 10.0f);
  EXPECT_FLOAT_EQ(A.PassTimeLeft, 0.3f);
  EXPECT_EQ(A.PassReceiver, kHolder);
  EXPECT_FLOAT_EQ(A.PassHeading, 35.0f);
  EXPECT_EQ(A.ReceiverRunPending, 0);
  EXPECT_EQ(W.LineoutResolved, kFalse32);
  EXPECT_EQ(Posted(), std::vector<TPosted>({{10, 104, msgLineoutWon, 0.0f},
                                            {10, 102, msgLineoutHitJumper, 0.0f},
                                            {10, 104, msgLineoutCleanTake, 1.0f}}));
  // With a carrier the contest does not run again.
  const u32 before = RandSeed;
  Step();
  EXPECT_EQ(DrawsSince(before), 0);
  EXPECT_EQ(Posted().size(), 3u);
}

TEST_F(LineoutContactTest, BadJumperAndThrowerIndicesTakeNoPart) {
  // No thrower: no message for him.
  W.Teams[1].LineoutThrower = 0;
  Step();
  EXPECT_EQ(Posted(), std::vector<TPosted>({{10, 104, msgLineoutWon, 0.0f}, {10, 104, msgLineoutCleanTake, 1.0f}}));
  // Block 1's jumper 0 or beyond the team: block 2's jumper wins unrolled.
  for (u16 bad : {u16{0}, u16{16}, u16{30}}) {
    SetUp();
    W.LineoutTargetJumper[1] = bad;
    RandSeed = SeedBeforeDraw(1, 1001, 1);  // would give block 1 the contest
    Step();
    EXPECT_EQ(W.Team1InFirstBlock, kFalse32) << bad;
    EXPECT_EQ(W.Teams[1].BallCarrier, kJumper2) << bad;
    EXPECT_EQ(Posted().front(), (TPosted{20, 205, msgLineoutWon, 0.0f})) << bad;
  }
  // Neither jumper: nothing happens.
  SetUp();
  W.LineoutTargetJumper[1] = 0;
  W.LineoutTargetJumper[2] = 26;
  Step();
  EXPECT_EQ(W.Teams[1].BallCarrier, 0);
  EXPECT_TRUE(Posted().empty());
}

TEST_F(LineoutContactTest, TheContestWaitsForThePhaseAndRunsOnce) {
  W.LineoutPhase = 1;
  Step();
  EXPECT_EQ(W.Teams[1].BallCarrier, 0);
  SetUp();
  W.LineoutResolved = kTrue32;
  Step();
  EXPECT_EQ(W.Teams[1].BallCarrier, 0);
  EXPECT_TRUE(Posted().empty());
}

TEST_F(LineoutContactTest, AStealMirrorsTheWorldAndTheJumperCarriesInBlockOne) {
  J1().Pos.z = kBallZ + 0.3f;
  J2().Pos.z = kBallZ - 0.1f;
  const f32 x2 = J2().Pos.x;
  W.Teams[2].SupportGridSize = 2;
  W.Teams[2].SupportGridCells[1][1] = kJumper2;
  W.Teams[2].SupportGridCells[2][2] = 3;
  W.Teams[2].PressureTimerA = 1.0f;
  W.DefenceCycleTimer = 2.0f;
  RandSeed = SeedBeforeDraw(1, 1001, 401);
  Step();
  const TTeamBlock& A = W.Teams[1];
  EXPECT_EQ(W.gamestate, gsLineout);
  EXPECT_EQ(W.Team1InFirstBlock, kFalse32);
  EXPECT_EQ(A.teamid, 20);
  EXPECT_EQ(A.BallCarrier, kJumper2);
  const TPlayer& C = A.Players[kJumper2];
  EXPECT_EQ(C.id, 205);
  EXPECT_FLOAT_EQ(C.Pos.x, -x2);  // mirrored
  EXPECT_FLOAT_EQ(C.passtimer, 10.0f);
  EXPECT_EQ(A.PassReceiver, 8);  // his own side's set-piece holder
  EXPECT_FLOAT_EQ(A.PassTimeLeft, 0.3f);
  EXPECT_EQ(W.LineoutResolved, kTrue32);
  EXPECT_EQ(W.LineoutTargetJumper[1], kJumper2);
  EXPECT_EQ(W.LineoutTargetJumper[2], kJumper1);
  EXPECT_EQ(W.LineoutTargetSlot[1], 4);
  EXPECT_EQ(W.LineoutTargetSlot[2], 3);
  EXPECT_EQ(A.SupportGridCells[1][1], 0);
  EXPECT_EQ(A.SupportGridCells[2][2], 3);
  EXPECT_EQ(C.SupportGridCleared, kTrue32);
  EXPECT_FLOAT_EQ(W.Teams[2].PressureTimerA, 0.0f);
  EXPECT_FLOAT_EQ(W.DefenceCycleTimer, 0.0f);
  EXPECT_EQ(W.RunningPhase, 1);
  EXPECT_EQ(Posted(), std::vector<TPosted>({{20, 205, msgLineoutWon, 0.0f},
                                            {20, 205, msgLineoutStolen, 0.0f},
                                            {20, 205, msgLineoutCleanTake, 2.0f}}));
}

// ---------------------------------------------------------------- the knock-on at the jump

TEST_F(LineoutContactTest, ASpillIsAKnockOnOnlyWhenTheBallLandsAheadForTheSpiller) {
  for (int side = 1; side <= 2; ++side) {
    int knockOns = 0, others = 0;
    for (u32 seed = 1; seed <= 40; ++seed) {
      SetUp();
      W.LineoutTargetJumper[3 - side] = 0;  // the other jumper takes no part
      TPlayer& J = side == 1 ? J1() : J2();
      J.CleanCatchProb = 0;  // always spills
      RandSeed = seed;
      Step();
      ASSERT_EQ(W.gamestate, gsFreeBall);
      const double gain = FlightLandingGain(W);
      const bool ahead = side == 1 ? gain > 0 : gain < 0;
      EXPECT_EQ(Entries(), ahead ? 1 : 0) << side << " " << seed;
      EXPECT_EQ(W.BlocksSwapped, Flag(side == 1));
      if (!ahead) {
        ++others;
        continue;
      }
      ++knockOns;
      const TInfringement& I = W.Infringements[1];
      EXPECT_EQ(I.Kind, 1);
      EXPECT_EQ(I.Player, side == 1 ? kJumper1 : kJumper2);
      const int team = side == 1 ? 10 : 20, id = side == 1 ? 104 : 205;
      const std::vector<TPosted> posted = Posted();
      ASSERT_GE(posted.size(), 2u);
      EXPECT_EQ(posted[posted.size() - 2], (TPosted{team, id, msgHandlingError, 0.0f}));
      EXPECT_EQ(posted.back(), (TPosted{team, id, msgLineoutHandlingError, static_cast<f32>(side)}));
      EXPECT_GT(W.AdvantageHoldTimer, 0.0f);
    }
    EXPECT_GT(knockOns, 0) << side;
    EXPECT_GT(others, 0) << side;
  }
}

TEST_F(LineoutContactTest, ABallLandingLevelWithItsStartIsNoKnockOnForEitherSide) {
  for (int side = 1; side <= 2; ++side) {
    SetUp();
    W.LineoutTargetJumper[3 - side] = 0;
    (side == 1 ? J1() : J2()).CleanCatchProb = 0;
    W.PassVel = {0.0f, 0.0f, 0.0f};  // the spill drops straight down
    Step();
    ASSERT_EQ(W.gamestate, gsFreeBall);
    EXPECT_EQ(FlightLandingGain(W), 0.0);
    EXPECT_EQ(Entries(), 0) << side;
  }
}

TEST_F(LineoutContactTest, TheLooseBallFreesTheLineAndKeepsItsJumpersAndLiftersBusy) {
  W.LineoutTargetJumper[2] = 0;
  J1().CleanCatchProb = 0;
  TPlayer& Lifter = Attacker(6);
  Lifter.LineOutTimer = 1.5f;
  Lifter.currentAnim.Assign("lineoutlifterlift");
  TPlayer& Waiting = Defender(7);
  Waiting.LineOutTimer = 1.5f;
  Waiting.currentAnim.Assign("stand");
  Waiting.ContactFlags[3] = kTrue32;
  Waiting.ContactTimer[3] = 0.5f;
  W.BallBouncedInField = kTrue32;
  W.KickTouchFlag1 = kTrue32;
  W.KickTouchFlag2 = kTrue32;
  W.Teams[1].ChaserSlots[5] = 3;
  Step();
  EXPECT_EQ(W.gamestate, gsFreeBall);
  EXPECT_EQ(W.FreeBallPhase, 1);
  EXPECT_FLOAT_EQ(Lifter.RuckJoinDelay, 0.2f);
  EXPECT_FLOAT_EQ(Lifter.LineOutTimer, 1.5f);
  EXPECT_FLOAT_EQ(J1().RuckJoinDelay, 0.2f);
  EXPECT_FLOAT_EQ(Waiting.LineOutTimer, 0.0f);
  EXPECT_FLOAT_EQ(Waiting.RuckJoinDelay, 0.0f);
  EXPECT_EQ(Waiting.ContactFlags[3], kFalse32);
  EXPECT_FLOAT_EQ(Waiting.ContactTimer[3], 0.0f);
  EXPECT_EQ(W.BallBouncedInField | W.KickTouchFlag1 | W.KickTouchFlag2, kFalse32);
  EXPECT_EQ(W.Teams[1].ChaserSlots[5], 0);
  EXPECT_EQ(W.Teams[1].ChaserCount, 2);
  EXPECT_EQ(W.Teams[2].ChaserCount, 3);
}

// ---------------------------------------------------------------- the throw nobody takes

// A throw in its late phase that nobody can take: both jumpers out of reach
// (still rising) and far from the ball.
class FailedThrowTest : public LineoutContactTest {
 protected:
  void SetUp() override {
    LineoutContactTest::SetUp();
    W.LineoutPhase = 13;
    J1().currentframe = 100.0f;
    J2().currentframe = 100.0f;
    Place(J1(), kLineX + 3.0f, kBallZ);
    Place(J2(), kLineX + 3.0f, kBallZ + 1.0f);
    W.BallPos = {kLineX, 2.8f, kBallZ};
    W.PrevBallPos = {kLineX - 0.32f, 2.85f, kBallZ};
    W.PassVel = {8.0f, -1.0f, 0.0f};
  }
};

TEST_F(FailedThrowTest, EachFailureTurnsTheThrowIntoALooseBall) {
  struct Case {
    const char* what;
    void (*arrange)();
    bool reversed;  // struck a jumper: the ball comes back towards touch
  };
  const Case cases[] = {
      {"dropped below 1.9 m",
       [] {
         W.BallPos.y = 1.89f;
         W.PrevBallPos.y = 1.95f;
       },
       false},
      {"on the ground", [] { W.BallPos.y = 0.29f; }, false},
      {"past both jumpers",
       [] {
         W.BallPos.x = kLineX + 3.8f;
         W.PassVel.y = 0.5f;  // rising: not sailing over
       },
       false},
      {"both jumpers landing",
       [] {
         J1().currentAnim.Assign("lineoutpassleftp2");
         J2().currentAnim.Assign("lineoutpassrightp2");
         J1().currentframe = J2().currentframe = 260.0f;
       },
       false},
      {"sails over both",
       [] {
         W.BallPos.y = 5.0f;  // 3.72 m when 0.7 m past the nearer jumper
         W.PassVel = {8.0f, -0.5f, 0.0f};
       },
       false},
      {"strikes a jumper",
       [] {
         Place(J1(), kLineX + 0.2f, kBallZ);  // 0.9 x 1.8 m body above the ball
         W.BallPos.y = 1.5f;
         W.PrevBallPos.y = 1.52f;
       },
       true},
  };
  for (const Case& c : cases) {
    SetUp();
    c.arrange();
    Step();
    ASSERT_EQ(W.gamestate, gsFreeBall) << c.what;
    EXPECT_EQ(W.BlocksSwapped, kTrue32) << c.what;
    EXPECT_EQ(W.Teams[1].BallCarrier, 0) << c.what;
    const double dx = static_cast<double>(W.FlightPos[2].x) - W.FlightPos[1].x;
    EXPECT_EQ(dx < 0, c.reversed) << c.what;
  }
}

TEST_F(FailedThrowTest, AThrowNobodyCanYetTakeFliesOn) {
  Step();
  EXPECT_EQ(W.gamestate, gsLineout);
  // Nor does a failure count before phase 13.
  SetUp();
  W.LineoutPhase = 12;
  W.BallPos.y = 0.2f;
  Step();
  EXPECT_EQ(W.gamestate, gsLineout);
}

TEST_F(FailedThrowTest, AFailureWithinHalfAMetreOfTouchIsLeftAlone) {
  for (f32 x : {-34.5f, -34.9f, 34.5f, -34.49f}) {
    SetUp();
    W.BallPos = {x, 0.2f, kBallZ};
    Step();
    EXPECT_EQ(W.gamestate, x == -34.49f ? gsFreeBall : gsLineout) << x;
  }
}

// ---------------------------------------------------------------- frames

TEST_F(LineoutContactTest, TheLineoutFrameRunsThisStepThroughTheFrameTable) {
  ResetContactSteps();
  RunFrameStep(FrameSteps[3], W);  // GeneralCollision
  EXPECT_EQ(W.Teams[1].BallCarrier, kJumper1);
}

TEST_F(LineoutContactTest, LookAheadFramesAllocateNothing) {
  W.LiveWorld = kFalse32;
  J1().CleanCatchProb = 0;
  StartCountingAllocations();
  Step();
  EXPECT_EQ(StopCountingAllocations(), 0);
  EXPECT_EQ(W.gamestate, gsFreeBall);
}

}  // namespace

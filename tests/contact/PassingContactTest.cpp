// The passing contact step: interceptions, catches, deflections, knock-ons,
// the grounded ball, the forward-pass call and the look-ahead's breakdown
// steal, with the handling-infringement entry behind them.
#include <algorithm>

#include "AllocationCounter.h"
#include "RunningScene.h"
#include "core/Advantage.h"
#include "core/DrawCount.h"
#include "core/SlotLines.h"

namespace {

using namespace running_scene;

constexpr int kPasser = 10;
constexpr int kReceiver = 12;
constexpr int kDefender = 4;

// A pass in flight: passer 10 at (-2, -1) threw to receiver 12 at (6, 0);
// the ball, 1 m up, flies across at 8 m/s and slightly back (-z), 0.1 s
// after the release. Nobody is in reach until a test places him.
class PassingContactTest : public RunningSceneTest {
 protected:
  void SetUp() override {
    RunningSceneTest::SetUp();
    W.gamestate = gsPassing;
    W.Team1InFirstBlock = kTrue32;
    TTeamBlock& A = W.Teams[1];
    A.BallCarrier = 0;
    A.Passer = kPasser;
    A.PassReceiver = kReceiver;
    A.PassFlightTime = 0.1f;
    A.PassCountdown = 0.5f;
    Place(Attacker(kPasser), -2.0f, -1.0f);
    Place(Attacker(kReceiver), 12.0f, 0.0f);
    Receiver().passcatchtimer = 1.0f;
    W.BallPos = {3.0f, 1.0f, 0.0f};
    W.PrevBallPos = W.BallPos;
    W.PassVel = {8.0f, 0.0f, -2.0f};
    W.HeadDistributions[4].mean = 1.0f;  // bounce speed factor
    for (int k = 1; k <= kSlotCount; ++k) A.SetPieceSlotPos[k] = {static_cast<f32>(k - kCentreSlot), 0.0f};
  }

  static TPlayer& Receiver() { return Attacker(kReceiver); }

  // The receiver at the ball, 0.2 m short of it across.
  static void ReceiverAtBall() { Place(Receiver(), W.BallPos.x + 0.2f, W.BallPos.z); }

  // Defender 4 ready to intercept, d m from the ball.
  static TPlayer& Interceptor(f32 d = 0.3f) {
    TPlayer& D = Defender(kDefender);
    Place(D, W.BallPos.x, W.BallPos.z + d);
    D.passcatchtimer = 1.0f;
    return D;
  }

  static void LookAhead(bool cautious) {
    W.LiveWorld = kFalse32;
    W.CarriedBallPlacementOn = Flag(cautious);
  }

  static void Step() { RunFrameStep({"PassingContact", PassingContact}, W); }
};

TEST_F(PassingContactTest, ClocksOfThePassMoveEveryCall) {
  W.Teams[1].PassLooseTime = 1.0f;
  Step();
  EXPECT_FLOAT_EQ(W.Teams[1].PassCountdown, 0.46f);
  EXPECT_FLOAT_EQ(W.Teams[1].PassFlightTime, 0.14f);
  EXPECT_FLOAT_EQ(W.Teams[1].PassLooseTime, 1.04f);
  EXPECT_EQ(W.gamestate, gsPassing);  // nobody in reach: the ball flies on
}

TEST_F(PassingContactTest, ADefenderTacklesAnAttackerWaitingForTheBall) {
  TPlayer& D = Defender(6);
  TPlayer& Q = Attacker(8);
  Place(Q, -20.0f, 5.0f);
  Place(D, -20.0f, 6.0f);
  D.target = 8;
  D.TackleAttemptTimer = 1.0f;
  D.TackleAttemptKind = 1.0f;
  // A defender who already holds another player takes no second hold.
  TPlayer& Busy = Defender(7);
  Place(Busy, -20.5f, 5.5f);
  Busy.target = 8;
  Busy.governedby = 9;
  Step();
  EXPECT_EQ(D.governedby, 8);
  EXPECT_EQ(Q.numgoverning, 1);
  EXPECT_TRUE(Q.GettingTackledKind == 6.0f || Q.GettingTackledKind == 7.0f);
  EXPECT_TRUE(D.TackleAttemptKind == 5.0f || D.TackleAttemptKind == 6.0f);
  EXPECT_EQ(Busy.governedby, 9);
}

TEST_F(PassingContactTest, InTheLookAheadADefenderInReachAlwaysInterceptsAndTheReceiverAlwaysCatches) {
  for (u32 seed = 1; seed <= 50; ++seed) {
    SetUp();
    LookAhead(false);
    RandSeed = seed;
    Interceptor().CleanCatchProb = 0;
    Step();
    EXPECT_EQ(W.gamestate, gsRunning) << seed;
    EXPECT_EQ(W.Teams[1].BallCarrier, kDefender) << seed;

    SetUp();
    LookAhead(false);
    RandSeed = seed;
    ReceiverAtBall();
    Receiver().CleanCatchProb = 0;
    Step();
    EXPECT_EQ(W.gamestate, gsRunning) << seed;
    EXPECT_EQ(W.Teams[1].BallCarrier, kReceiver) << seed;
  }
}

TEST_F(PassingContactTest, UnpressuredDefenderWhoseRollFailsStillInterceptsOn749DrawsIn1000) {
  int intercepted = 0;
  for (int v = 1; v <= 1000; ++v) {
    SetUp();
    Interceptor().CleanCatchProb = 0;
    RandSeed = StepBack(SeedBeforeDraw(1, 1001, v));  // the first roll fails whatever it is
    Step();
    intercepted += W.gamestate == gsRunning;
    if (v == 749) {
      EXPECT_EQ(W.gamestate, gsRunning);
    }
    if (v == 750) {
      EXPECT_EQ(W.gamestate, gsFreeBall);
    }
  }
  EXPECT_EQ(intercepted, 749);

  // An attacker free of ruck duties within 3 m behind him (smaller z) takes
  // the second chance away: one roll, and the ball glances off.
  SetUp();
  TPlayer& D = Interceptor();
  D.CleanCatchProb = 0;
  Place(Attacker(7), D.Pos.x, D.Pos.z - 2.0f);
  RandSeed = SeedBeforeDraw(1, 1001, 1);
  const u32 before = RandSeed;
  Step();
  EXPECT_EQ(W.gamestate, gsFreeBall);
  EXPECT_EQ(DrawsSince(before), 1);
}

TEST_F(PassingContactTest, LookAheadMarginsLetDefendersReachFurtherOnlyWhileCautious) {
  struct Case {
    const char* what;
    bool live, cautious;
    f32 factor;
    bool intercepts;
  } cases[] = {
      {"match world: 0.8 m is out of reach", true, true, 0.0f, false},
      {"look-ahead, not cautious", false, false, 0.0f, false},
      {"look-ahead, cautious: reach 0.65 + 0.3 + 0.25 (passer 5 m across)", false, true, 0.0f, true},
  };
  for (const Case& c : cases) {
    SetUp();
    W.LiveWorld = Flag(c.live);
    W.CarriedBallPlacementOn = Flag(c.cautious);
    Attacker(kPasser).passImagAccuracyFactor = c.factor;
    Interceptor(0.8f).CleanCatchProb = 1000;
    Step();
    EXPECT_EQ(W.gamestate == gsRunning, c.intercepts) << c.what;
  }
  // With no passer in range his accuracy factor counts as 0.
  SetUp();
  LookAhead(true);
  W.Teams[1].Passer = 40;
  Interceptor(0.9f);
  Step();
  EXPECT_EQ(W.gamestate, gsRunning);
  SetUp();
  LookAhead(true);
  W.Teams[1].Passer = 40;
  Interceptor(0.96f);
  Step();
  EXPECT_EQ(W.gamestate, gsPassing);
}

TEST_F(PassingContactTest, InterceptionPostsItsMessagesMirrorsTheWorldAndKeepsTheCatchersIndex) {
  TPlayer& D = Interceptor();
  D.CleanCatchProb = 1000;
  const i32 id = D.id;
  Step();
  const std::vector<TPosted> expected = {
      {10, 110, msgInterceptThrown, 0.0f}, {20, 204, msgInterception, 0.0f}, {20, 204, msgCarryStart, 0.0f}};
  EXPECT_EQ(Posted(), expected);
  EXPECT_EQ(W.Team1InFirstBlock, kFalse32);
  EXPECT_EQ(W.Teams[1].teamid, 20);
  EXPECT_EQ(W.Teams[1].BallCarrier, kDefender);
  const TPlayer& C = W.Teams[1].Players[kDefender];
  EXPECT_EQ(C.id, id);
  EXPECT_FLOAT_EQ(C.Pos.x, -3.0f);  // the scene turned about the centre spot
  EXPECT_FLOAT_EQ(C.Pos.z, -0.3f);
  EXPECT_EQ(C.SupportGridCleared, kTrue32);
  EXPECT_EQ(W.gamestate, gsRunning);
  EXPECT_EQ(W.RunningPhase, 1);
  EXPECT_EQ(W.Teams[1].DecisionRequested, kTrue32);
}

TEST_F(PassingContactTest, TheBallGlancingOffADefenderIsHisKnockOnOnlyWhenItGoesTowardsTheAttackersEnd) {
  struct Case {
    const char* what;
    f32 passVz;
    int entries;
  } cases[] = {
      {"pass coming back (-z): the ball rebounds to +z, backwards for him", -2.0f, 0},
      {"pass going forward (+z): the ball rebounds to -z, forward for him", 2.0f, 1},
  };
  for (const Case& c : cases) {
    SetUp();
    W.PassVel.z = c.passVz;
    TPlayer& D = Interceptor();
    D.Heading = 270.0f;  // standing: no momentum of his own
    RandSeed = SeedWhere([] { return RandomRange(1, 1001) >= 1 && RandomRange(1, 1001) >= 750; });
    Step();
    EXPECT_EQ(W.gamestate, gsFreeBall) << c.what;
    EXPECT_EQ(W.PassDeflected, kTrue32) << c.what;
    EXPECT_EQ(Entries(), c.entries) << c.what;
    EXPECT_FLOAT_EQ(D.BallTouchLockTimer, 0.25f) << c.what;
    EXPECT_FLOAT_EQ(D.ForcedRunTimer, 0.4f) << c.what;
    EXPECT_FLOAT_EQ(D.ForcedRunAngle, 270.0f) << c.what;
    EXPECT_FLOAT_EQ(W.FlightPos[1].z, W.BallPos.z) << c.what;
  }
  EXPECT_EQ(W.Infringements[1].Kind, kKnockOn);
  EXPECT_EQ(W.Infringements[1].AgainstDefence, kTrue32);
  EXPECT_EQ(W.Infringements[1].Player, kDefender);
}

TEST_F(PassingContactTest, AnotherAttackerInReachTakesThePassWithoutARoll) {
  TPlayer& P = Attacker(11);
  Place(P, W.BallPos.x - 0.3f, W.BallPos.z);
  P.passcatchtimer = 1.0f;
  P.CleanCatchProb = 0;
  W.Teams[1].CarriedIntoOwn22 = kFalse32;
  const u32 before = RandSeed;
  Step();
  EXPECT_EQ(W.gamestate, gsRunning);
  EXPECT_EQ(W.Teams[1].BallCarrier, 11);
  EXPECT_EQ(DrawsSince(before), 0);
  EXPECT_EQ(Posted(), std::vector<TPosted>({{10, 111, msgCarryStart, 0.0f}}));
}

TEST_F(PassingContactTest, AnUninvolvedDefenderDeflectsOnlyOnceTheBallHasFlownAbout155Metres) {
  // Speed across 8.25 m/s: the gate is 1.55 / 8.25 = 0.188 s.
  struct Case {
    f32 flown;
    bool deflects;
  } cases[] = {{0.10f, false}, {0.14f, false}, {0.16f, true}};
  for (const Case& c : cases) {
    SetUp();
    W.Teams[1].PassFlightTime = c.flown;  // + one frame of 0.04 s in the step
    Place(Defender(5), W.BallPos.x, W.BallPos.z + 0.2f);
    Step();
    EXPECT_EQ(W.gamestate == gsFreeBall, c.deflects) << c.flown;
    if (!c.deflects) continue;
    EXPECT_EQ(W.PassDeflected, kTrue32);
    EXPECT_EQ(Entries(), 0);  // a deflection is no knock-on
    EXPECT_FLOAT_EQ(Defender(5).BallTouchLockTimer, 0.25f);
  }
}

TEST_F(PassingContactTest, ABallAbove1045TimesHisHeightIsNeverCaught) {
  struct Case {
    const char* what;
    double height;  // x Height
    f32 vy;
    bool caught;
  } cases[] = {
      {"below 0.95", 0.94, 0.0f, true},
      {"1.04, dropping below 0.95 half a frame on", 1.04, -10.0f, true},
      {"1.04, not dropping", 1.04, 0.0f, false},
      {"1.046, dropping fast", 1.046, -100.0f, false},
  };
  for (const Case& c : cases) {
    SetUp();
    LookAhead(false);
    W.BallPos.y = static_cast<f32>(c.height * 1.8);
    W.PassVel.y = c.vy;
    ReceiverAtBall();
    Step();
    EXPECT_EQ(W.gamestate == gsRunning, c.caught) << c.what;
  }
}

TEST_F(PassingContactTest, AFatiguedReceiverWith900CatchesOnFirstDrawsBelow855) {
  struct Case {
    i32 draw;
    bool fatigued;
    bool caught;
  } cases[] = {{854, true, true}, {855, true, false}, {899, false, true}, {900, false, false}};
  for (const Case& c : cases) {
    SetUp();
    ReceiverAtBall();
    Receiver().CleanCatchProb = 900;
    Receiver().Fatigued = Flag(c.fatigued);
    Place(Defender(6), Receiver().Pos.x, Receiver().Pos.z + 2.0f);  // ahead: no second chance
    RandSeed = SeedBeforeDraw(1, 1001, c.draw);
    Step();
    EXPECT_EQ(W.gamestate == gsRunning, c.caught) << c.draw;
    EXPECT_EQ(Posted().front().code, msgPassHitTarget);
  }
}

TEST_F(PassingContactTest, ACaughtPassLeavesTheReceiverInTheCentreSlotOfTheLine) {
  TTeamBlock& A = W.Teams[1];
  A.SetPieceLine[100] = 3;
  ReceiverAtBall();  // x 3.2: nearest slot 104
  Receiver().CleanCatchProb = 1000;
  Receiver().FootprintHolder[2] = 7;
  Step();
  EXPECT_EQ(A.BallCarrier, kReceiver);
  EXPECT_EQ(A.SetPieceLine[kCentreSlot], kReceiver);
  EXPECT_EQ(A.SetPieceLine[97], 3);  // the line moved 3 slots with him
  EXPECT_EQ(Receiver().SupportGridCleared, kTrue32);
  EXPECT_EQ(Receiver().FootprintHolder[2], 0);
  EXPECT_EQ(A.DecisionRequested, kTrue32);

  // Off the grid already, he keeps a slot within 3 m across and loses one
  // further away.
  struct Case {
    int slot;
    int centredFrom;
  } cases[] = {{102, 102}, {108, 104}};
  for (const Case& c : cases) {
    SetUp();
    ReceiverAtBall();
    Receiver().CleanCatchProb = 1000;
    Receiver().SupportGridCleared = kTrue32;
    W.Teams[1].SetPieceLine[c.slot] = kReceiver;
    W.Teams[1].SetPieceLine[c.centredFrom + 1] = 3;
    Step();
    EXPECT_EQ(W.Teams[1].SetPieceLine[kCentreSlot], kReceiver) << c.slot;
    EXPECT_EQ(W.Teams[1].SetPieceLine[kCentreSlot + 1], 3) << c.slot;
  }
}

TEST_F(PassingContactTest, AKnockOnFlyingBackwardsEntersNothingButTheBallGoesFree) {
  struct Case {
    const char* what;
    f32 passVz;
    int entries;
  } cases[] = {
      {"pass going forward (+z): rebound to -z, backwards", 2.0f, 0},
      {"pass coming back (-z): rebound to +z, forward", -2.0f, 1},
  };
  for (const Case& c : cases) {
    SetUp();
    W.PassVel.z = c.passVz;
    ReceiverAtBall();
    Receiver().CleanCatchProb = 0;
    Place(Defender(6), Receiver().Pos.x, Receiver().Pos.z + 2.0f);
    Step();
    EXPECT_EQ(W.gamestate, gsFreeBall) << c.what;
    EXPECT_EQ(W.Teams[1].BallCarrier, 0) << c.what;
    EXPECT_EQ(Entries(), c.entries) << c.what;
    EXPECT_FLOAT_EQ(Receiver().BallTouchLockTimer, 0.25f) << c.what;
    EXPECT_EQ(W.Teams[1].ChaserCount, 2);
    EXPECT_EQ(W.Teams[2].ChaserCount, 3);
  }
  EXPECT_EQ(W.Infringements[1].Kind, kKnockOn);
  EXPECT_EQ(W.Infringements[1].AgainstDefence, kFalse32);
  EXPECT_FLOAT_EQ(W.AdvantageHoldTimer, 12.5f);
  EXPECT_FLOAT_EQ(W.AdvantageTimer, 2.5f);
  std::vector<int> codes;
  for (const TPosted& m : Posted()) codes.push_back(m.code);
  EXPECT_EQ(codes, std::vector<int>({msgPassHitTarget, msgHandlingError}));
}

TEST_F(PassingContactTest, TheSameKnockOnTwiceByTheSamePlayerIsEnteredOnce) {
  for (int pass = 1; pass <= 2; ++pass) {
    W.gamestate = gsPassing;
    W.BallPos = {3.0f, 1.0f, 0.0f};
    ReceiverAtBall();
    Receiver().passcatchtimer = 1.0f;
    Receiver().CleanCatchProb = 0;
    Place(Defender(6), Receiver().Pos.x, Receiver().Pos.z + 2.0f);
    Step();
  }
  EXPECT_EQ(Entries(), 1);
  EXPECT_EQ(W.InfringementIsNew, kFalse32);
  int errors = 0;
  for (const TPosted& m : Posted()) errors += m.code == msgHandlingError;
  EXPECT_EQ(errors, 1);
}

TEST_F(PassingContactTest, HandlingEntryIsNewByKindSideOffenderAndDistance) {
  struct Case {
    const char* what;
    i32 kind;
    bool32 defence;
    i32 player;
    f32 x, z;
    bool added;
  } cases[] = {
      {"same kind, side and offender far away", kKnockOn, kFalse32, 5, 20.0f, 20.0f, false},
      {"another offender 0.5 m across", kKnockOn, kFalse32, 6, 0.5f, 3.0f, false},
      {"another offender over 0.8 m in x and z", kKnockOn, kFalse32, 6, 0.9f, 0.9f, true},
      {"another kind", kForwardPass, kFalse32, 5, 0.0f, 0.0f, true},
      {"the other side", kKnockOn, kTrue32, 5, 0.0f, 0.0f, true},
  };
  for (const Case& c : cases) {
    SetUp();
    EnterHandlingInfringement(W, kKnockOn, kFalse32, 5, 0.0f, 0.0f);
    EnterHandlingInfringement(W, c.kind, c.defence, c.player, c.x, c.z);
    EXPECT_EQ(Entries(), c.added ? 2 : 1) << c.what;
  }
  // A full list takes nothing.
  SetUp();
  for (int k = 1; k <= 10; ++k) W.Infringements[k].Kind = 3;
  EnterHandlingInfringement(W, kKnockOn, kFalse32, 5, 0.0f, 0.0f);
  EXPECT_TRUE(Posted().empty());
}

TEST_F(PassingContactTest, AKnockOnOverTheGoalLineAlsoPostsTheBallDeadInGoal) {
  W.BallPos.z = 50.0f;
  EnterHandlingInfringement(W, kKnockOn, kFalse32, 5, 0.0f, 50.0f);
  W.BallPos.z = -50.0f;
  EnterHandlingInfringement(W, kKnockOn, kTrue32, 5, 0.0f, -50.0f);
  std::vector<int> codes;
  for (const TPosted& m : Posted()) codes.push_back(m.code);
  EXPECT_EQ(codes, std::vector<int>({msgHandlingError, msgBallDeadInGoal, msgHandlingError, msgBallDeadInGoal}));
}

TEST_F(PassingContactTest, ForwardPassIsCalledOnceByHowFarForwardAndAcrossTheBallIs) {
  struct Case {
    const char* what;
    f32 x, z;
    i32 first, second;  // the rolls
    bool called;
  } cases[] = {
      {"0.5 m forward: no roll", 0.0f, 0.5f, 1, 1, true},
      {"0.05 m forward, 5 m across: 800 then 500", 5.0f, 0.05f, 800, 500, true},
      {"0.05 m forward, 5 m across: 799", 5.0f, 0.05f, 799, 1000, false},
      {"0.05 m forward, 5 m across: 800 then 499", 5.0f, 0.05f, 800, 499, false},
      {"0.05 m forward, 3 m across: only the 500 roll", 3.0f, 0.05f, 500, 1, true},
  };
  for (const Case& c : cases) {
    SetUp();
    W.PassDrawSet = kTrue32;
    W.PassDrawParams.value = 0.01f;
    W.ReleasePos = {0.0f, 0.0f};
    W.BallPos = {c.x, 2.0f, c.z};
    RandSeed = SeedWhere([&c] { return RandomRange(1, 1001) == c.first && RandomRange(1, 1001) == c.second; });
    Step();
    EXPECT_EQ(Entries(), c.called ? 1 : 0) << c.what;
    EXPECT_EQ(W.PassDrawSet, kFalse32) << c.what;
    EXPECT_EQ(W.gamestate, gsPassing) << c.what;
  }
  EXPECT_EQ(W.Infringements[1].Kind, kForwardPass);
  EXPECT_EQ(W.Infringements[1].Player, kPasser);
  EXPECT_EQ(Posted(), std::vector<TPosted>({{10, 110, msgForwardPass, 0.0f}}));

  // About one in ten at 0.05 m forward and 5 m across; never in the look-ahead.
  int called = 0;
  for (u32 seed = 1; seed <= 2000; ++seed) {
    SetUp();
    W.PassDrawSet = kTrue32;
    W.BallPos = {5.0f, 2.0f, 0.05f};
    RandSeed = seed;
    Step();
    called += Entries();
  }
  EXPECT_GT(called, 150);
  EXPECT_LT(called, 260);
  SetUp();
  LookAhead(false);
  W.PassDrawSet = kTrue32;
  W.BallPos = {0.0f, 2.0f, 0.5f};
  Step();
  EXPECT_EQ(Entries(), 0);
  EXPECT_EQ(W.PassDrawSet, kTrue32);
}

TEST_F(PassingContactTest, TheBallReachingTheGroundGoesFree) {
  W.BallPos = {3.0f, 0.1f, 0.0f};
  W.PassVel = {8.0f, -1.0f, -2.0f};
  Step();
  EXPECT_EQ(W.gamestate, gsFreeBall);
  EXPECT_EQ(W.BallBouncedInField, kTrue32);
  EXPECT_GT(W.FlightVel[1].y, 0.0f);  // it bounces up
  EXPECT_EQ(W.FreeBallPhase, 1);

  // Rising, or above 1.35 x 0.145 m, it flies on.
  SetUp();
  W.BallPos = {3.0f, 0.1f, 0.0f};
  W.PassVel = {8.0f, 0.5f, -2.0f};
  Step();
  EXPECT_EQ(W.gamestate, gsPassing);
  SetUp();
  W.BallPos = {3.0f, 0.2f, 0.0f};
  W.PassVel = {8.0f, -1.0f, -2.0f};
  Step();
  EXPECT_EQ(W.gamestate, gsPassing);
}

TEST_F(PassingContactTest, AReceiverOutsideTheTeamIsNoReceiver) {
  for (i32 r : {0, 16, 26, -1}) {
    SetUp();
    W.Teams[1].PassReceiver = r;
    ReceiverAtBall();
    Receiver().passcatchtimer = 0;  // not another attacker going for it
    const u32 before = RandSeed;
    Step();
    EXPECT_EQ(W.gamestate, gsPassing) << r;
    EXPECT_EQ(DrawsSince(before), 0) << r;
  }
}

TEST_F(PassingContactTest, InTheLookAheadADefenderAtTheBreakdownTakesAPassThrownFromIt) {
  LookAhead(true);
  W.Teams[1].PassFlightTime = 0.3f;
  W.MarkX = 0.0f;
  W.MarkZ = 0.0f;
  W.PrevBallPos = {1.5f, 1.0f, 1.5f};
  W.BallPos = {1.0f, 1.0f, 1.0f};
  TPlayer& D = Defender(3);
  Place(D, 2.5f, 2.5f);
  D.RuckTimer = 1.0f;
  Step();
  EXPECT_EQ(W.gamestate, gsRunning);
  EXPECT_EQ(W.Team1InFirstBlock, kFalse32);
  EXPECT_EQ(W.Teams[1].BallCarrier, 3);
  const TPlayer& C = W.Teams[1].Players[3];
  EXPECT_FLOAT_EQ(C.passcatchtimer, 10.0f);
  EXPECT_FLOAT_EQ(C.RuckTimer, 0.0f);
  EXPECT_TRUE(Posted().empty());
  EXPECT_EQ(W.Teams[1].DecisionRequested, kFalse32);

  // The ball moving away from the mark is not taken.
  SetUp();
  LookAhead(true);
  W.Teams[1].PassFlightTime = 0.3f;
  W.PrevBallPos = {0.5f, 1.0f, 0.5f};
  W.BallPos = {1.0f, 1.0f, 1.0f};
  Place(Defender(3), 2.5f, 2.5f);
  Defender(3).RuckTimer = 1.0f;
  Step();
  EXPECT_EQ(W.gamestate, gsPassing);
}

TEST_F(PassingContactTest, LookAheadFramesAllocateNothing) {
  LookAhead(true);
  Interceptor();  // intercepts: the world is mirrored
  StartCountingAllocations();
  Step();
  EXPECT_EQ(StopCountingAllocations(), 0);
  EXPECT_EQ(W.gamestate, gsRunning);

  SetUp();
  LookAhead(true);
  W.Teams[1].PassFlightTime = 0.3f;
  Place(Defender(5), W.BallPos.x, W.BallPos.z + 0.2f);  // deflects: a loose-ball flight
  StartCountingAllocations();
  Step();
  EXPECT_EQ(StopCountingAllocations(), 0);
  EXPECT_EQ(W.gamestate, gsFreeBall);
}

}  // namespace

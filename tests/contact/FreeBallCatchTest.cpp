// The free-ball catch contest: the arrival scan, the choice between two
// catchers, the catch roll, the clean catches of both blocks with the
// kick-return draw, the pressure check, the counter-attack line, the 10 m
// rule of restart kicks and the mark call.
#include "contact/FreeBallCatch.h"

#include "AllocationCounter.h"
#include "RunningScene.h"
#include "core/DrawCount.h"
#include "core/StrategyShapes.h"

namespace {

using namespace running_scene;

constexpr int kBack = 12;      // a back: no forward's roll
constexpr int kForward = 4;
constexpr int kChaser = 13;    // block 2's catcher

// A free ball coming down 1.0 m up at the centre spot, nobody near it; the
// field strategies give every kick-return option the weight Weights.
class FreeBallCatchTest : public RunningSceneTest {
 protected:
  void SetUp() override {
    RunningSceneTest::SetUp();
    LooseBallScene();
    W.Team1InFirstBlock = kTrue32;
    W.BallPos = {0.0f, 1.0f, 0.0f};
    W.PrevBallPos = {0.0f, 1.1f, 0.0f};
    W.BallPhase = 1;
    W.FlightVel[1] = {0.0f, -2.5f, 0.0f};
    for (int b = 1; b <= 2; ++b) {
      for (int p = 1; p <= 25; ++p) {
        TPlayer& P = W.Teams[b].Players[p];
        P.CleanCatchProb = 985;
        P.HighBallProb = 801;
        P.MarkProb = 500;
        P.KickReturnKickProb = 500;
        P.MaxSpeedNonFatigued = 8.0f;
        P.maxspeed = 8.0f;
        P.Acceleration = 4.0f;
      }
    }
    SetReturnWeights({1000, 0, 0});
  }

  void TearDown() override {
    for (int t = 1; t <= 2; ++t) FieldStrategy[t] = TFieldStrategy{};
  }

  // Every zone of both halves of both teams weighs the kick-return options so.
  static void SetReturnWeights(std::initializer_list<i16> w) {
    for (int t = 1; t <= 2; ++t) {
      for (TFieldStrategyHalf* h : {&FieldStrategy[t].Normal, &FieldStrategy[t].CatchUp}) {
        h->ZoneCount = 0;
        TOptionFamily& f = h->Families[2];
        f.OptionCount = static_cast<i16>(w.size());
        for (auto& row : f.Weights) {
          int j = 1;
          for (i16 x : w) row[j++] = x;
        }
      }
    }
  }

  static void LookAhead() { W.LiveWorld = kFalse32; }

  static std::vector<int> Codes() {
    std::vector<int> v;
    for (const TPosted& m : Posted()) v.push_back(m.code);
    return v;
  }

  static void Step() { RunFrameStep({"FreeBallContact", FreeBallContact}, W); }
};

// ---------------------------------------------------------------- the scan

TEST_F(FreeBallCatchTest, AHighBallIsScannedOnlyWhenItFallsToThreeMetresWithinHalfASecond) {
  TPlayer& J = Catching(Attacker(kBack), 0.3f, 0.0f, 5.0f);  // jump catch: band 0.4 to 3.8 m
  J.Height = 3.4f;
  W.BallPos.y = 3.5f;
  W.PrevBallPos.y = 3.58f;  // falling at 2 m/s: 0.25 s to 3 m
  ScanBallArrival(W);
  EXPECT_EQ(W.FreeBallCatcher[1], kBack);
  W.PrevBallPos.y = 3.42f;  // the same ball rising
  ScanBallArrival(W);
  EXPECT_EQ(W.FreeBallCatcher[1], 0);
  W.PrevBallPos.y = 3.52f;  // falling at 0.5 m/s: 1 s to 3 m
  ScanBallArrival(W);
  EXPECT_EQ(W.FreeBallCatcher[1], 0);
}

TEST_F(FreeBallCatchTest, TheScanFindsEachBlocksNearestCatcherAndToucher) {
  struct Case {
    const char* what;
    f32 d;           // m across from the ball
    f32 ballY;       // m
    f32 kind;        // of his catch action, 0 none
    f32 frame;       // currentframe of 1000
    f32 rate;        // AnimRate, frames per second
    int catcher, toucher;
  };
  const Case cases[] = {
      {"a catch in reach", 0.7f, 1.0f, 2, 500, 0, kBack, 0},
      {"0.8 m: beyond reach, the ball not coming to him", 0.8f, 1.0f, 2, 500, 0, 0, 0},
      {"window not open, his hands meet the ball in 0.2 s", 0.3f, 1.0f, 2, 300, 1000, 0, 0},
      {"window not open, his animation stands still: struck", 0.3f, 1.0f, 2, 300, 0, 0, kBack},
      {"window over: struck", 0.3f, 1.0f, 2, 900, 1000, 0, kBack},
      {"window over, the ball above 0.85 of his height", 0.3f, 1.6f, 2, 900, 1000, 0, 0},
      {"above his height", 0.3f, 2.0f, 2, 500, 0, 0, 0},
      {"dive: only up to 0.72 m", 0.3f, 1.0f, 7, 500, 0, 0, 0},
      {"no action, struck at 0.3 m", 0.3f, 1.0f, 0, 500, 0, 0, kBack},
      {"no action, 0.35 m is not struck", 0.35f, 1.0f, 0, 500, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SetUp();
    TPlayer& P = Catching(Attacker(kBack), c.d, 0.0f, c.kind);
    P.freeballcatchtimer = c.kind > 0 ? 1.0f : 0.0f;
    P.currentframe = c.frame;
    P.AnimRate = c.rate;
    W.BallPos.y = c.ballY;
    W.PrevBallPos.y = c.ballY + 0.1f;
    ScanBallArrival(W);
    EXPECT_EQ(W.FreeBallCatcher[1], c.catcher) << c.what;
    EXPECT_EQ(W.FreeBallToucher[1], c.toucher) << c.what;
  }
  // Of two catchers in one block the nearer is kept; block 2 is scanned apart.
  SetUp();
  Catching(Attacker(5), 0.6f, 0.0f);
  Catching(Attacker(6), 0.0f, 0.4f);
  Catching(Defender(7), -0.5f, 0.0f);
  ScanBallArrival(W);
  EXPECT_EQ(W.FreeBallCatcher[1], 6);
  EXPECT_EQ(W.FreeBallCatcher[2], 7);
}

TEST_F(FreeBallCatchTest, ALooseBallKickMeetsTheBallWithHisFootAndNeverCatches) {
  // Catch facing 75: the foot 0.15 m along heading 90 (+z).
  TPlayer& K = Catching(Attacker(kBack), 0.0f, -0.5f, 8.0f);
  K.FreeBallCatchFacing = 75.0f;
  W.BallPos.y = 0.3f;
  W.PrevBallPos.y = 0.4f;
  ScanBallArrival(W);
  EXPECT_EQ(W.FreeBallCatcher[1], kBack) << "foot 0.35 m from the ball";
  K.FreeBallCatchFacing = 255.0f;  // the foot away from the ball
  ScanBallArrival(W);
  EXPECT_EQ(W.FreeBallCatcher[1], 0);

  K.FreeBallCatchFacing = 75.0f;
  for (u32 seed = 1; seed <= 20; ++seed) {
    RandSeed = seed;
    Step();
    EXPECT_EQ(W.gamestate, gsFreeBall) << seed;
    EXPECT_EQ(W.Teams[1].BallCarrier, 0) << seed;
  }
  LookAhead();
  Step();
  EXPECT_EQ(W.gamestate, gsFreeBall) << "not even in the look-ahead";
}

// ---------------------------------------------------------------- the choice and the roll

TEST_F(FreeBallCatchTest, CatchersCloserThanATenthOfAMetreDrawForTheBall) {
  for (const auto& [roll, block] : {std::pair{501, 2}, {500, 1}, {1000, 2}, {1, 1}}) {
    SetUp();
    Catching(Attacker(kBack), 0.40f, 0.0f);
    Catching(Defender(kChaser), -0.45f, 0.0f);
    ScanBallArrival(W);
    RandSeed = SeedBeforeDraw(1, 1001, roll);
    const u32 before = RandSeed;
    EXPECT_EQ(ChooseCatchingBlock(W), block) << roll;
    EXPECT_EQ(DrawsSince(before), 1);
  }
  // 0.1 m apart: the nearer, without a draw, whichever block he is in.
  // (0.3f - 0.2f and 0.6f - 0.5f are at least 0.1f; 0.5f - 0.4f is not.)
  for (const auto& [d1, d2, block] : {std::tuple{0.2f, 0.3f, 1}, {0.6f, 0.5f, 2}, {0.7f, 0.2f, 2}}) {
    SetUp();
    Catching(Attacker(kBack), d1, 0.0f);
    Catching(Defender(kChaser), -d2, 0.0f);
    ScanBallArrival(W);
    const u32 before = RandSeed;
    EXPECT_EQ(ChooseCatchingBlock(W), block) << d1 << " " << d2;
    EXPECT_EQ(DrawsSince(before), 0);
  }
}

TEST_F(FreeBallCatchTest, AFailedRollIsSavedOnlyUnpressuredAndOnASecondDrawBelow500) {
  TPlayer& C = Catching(Attacker(kBack), 0.3f, 0.0f);
  W.FreeBallCatcher[1] = kBack;
  auto seedFor = [](i32 first, i32 second) {
    return SeedWhere([&] { return RandomRange(1, 1001) == first && RandomRange(1, 1001) == second; });
  };
  struct Case {
    const char* what;
    i32 roll, second;
    f32 opponentAt;  // m from him
    bool holds;
  };
  const Case cases[] = {
      {"roll at the threshold", 985, 999, 10.0f, true},
      {"failed, saved", 986, 499, 10.0f, true},
      {"failed, second draw 500", 986, 500, 10.0f, false},
      {"failed, an opponent at 3 m", 986, 1, 3.0f, false},
      {"failed, an opponent at 3.1 m", 986, 1, 3.1f, true},
  };
  for (const Case& c : cases) {
    Place(Defender(1), C.Pos.x + c.opponentAt, C.Pos.z);
    RandSeed = seedFor(c.roll, c.second);
    EXPECT_EQ(FreeBallCatchHolds(W, 1), c.holds) << c.what;
  }
  // A fatigued catcher's threshold is 45 lower; a jump catch rolls against
  // HighBallProb. An opponent close leaves no save.
  Place(Defender(1), C.Pos.x + 1.0f, C.Pos.z);
  C.Fatigued = kTrue32;
  RandSeed = SeedBeforeDraw(1, 1001, 941);
  EXPECT_FALSE(FreeBallCatchHolds(W, 1));
  RandSeed = SeedBeforeDraw(1, 1001, 940);
  EXPECT_TRUE(FreeBallCatchHolds(W, 1));
  C.Fatigued = kFalse32;
  C.FreeBallCatchKind = 5.0f;
  RandSeed = SeedBeforeDraw(1, 1001, 802);
  EXPECT_FALSE(FreeBallCatchHolds(W, 1));
  // The look-ahead: every roll holds, one draw.
  LookAhead();
  C.HighBallProb = 0;
  RandSeed = SeedBeforeDraw(1, 1001, 1000);
  const u32 before = RandSeed;
  EXPECT_TRUE(FreeBallCatchHolds(W, 1));
  EXPECT_EQ(DrawsSince(before), 1);
}

// ---------------------------------------------------------------- block 1's catch

TEST_F(FreeBallCatchTest, Block1sCleanCatchStartsARun) {
  TPlayer& C = Catching(Attacker(kBack), 0.3f, 0.0f, 1.0f);
  C.CleanCatchProb = 1000;
  C.FreeBallCatchFacing = 80.0f;
  C.currentAnim.Assign("jumpcatchp1");
  W.Teams[2].PressureTimerA = 1.0f;
  W.Teams[2].PressureTimerB = 1.0f;
  W.Teams[1].StrategyTimer = 2.0f;
  W.Teams[1].KickReturnOption = 3;
  W.Teams[1].KeyEventTimer = 1.5f;
  W.DefenceCycleTimer = 3.0f;
  Step();
  EXPECT_EQ(W.gamestate, gsRunning);
  EXPECT_EQ(W.Teams[1].BallCarrier, kBack);
  EXPECT_EQ(W.RunningPhase, 1);
  EXPECT_EQ(Posted(), (std::vector<TPosted>{{10, 100 + kBack, msgCarryStart, 0.0f}}));
  EXPECT_EQ(W.Teams[2].PressureTimerA, 0.0f);
  EXPECT_EQ(W.Teams[2].PressureTimerB, 0.0f);
  EXPECT_EQ(W.Teams[1].StrategyTimer, 0.0f);
  EXPECT_EQ(W.DefenceCycleTimer, 0.0f);
  EXPECT_NE(W.Teams[1].CarryStartFlag, 0);
  EXPECT_EQ(W.CarrierGrounded, 0) << "still in the air of a jump catch";
  EXPECT_EQ(C.FreeBallCatchAngle, 80.0f);
  EXPECT_NE(C.SupportGridCleared, 0);
  // Not bounced: no kick-return draw, the option and timer are kept (the
  // pressure check then runs on the kept option 3, with nobody near).
  EXPECT_EQ(W.Teams[1].KickReturnOption, 3);
  EXPECT_EQ(W.Teams[1].KeyEventTimer, 1.5f);
  EXPECT_EQ(W.MarkCalled, 0);
}

TEST_F(FreeBallCatchTest, Block1DrawsAKickReturnAfterABounceInsideTheGameAndTheField) {
  SetReturnWeights({0, 1000, 0});
  struct Case {
    const char* what;
    f32 ballZ;
    double clock;
    bool draws;
  };
  const Case cases[] = {
      {"bounced in his half", 0.0f, 600.0, true},
      {"inside the opponents' 22", 28.5f, 600.0, false},
      {"two minutes from the end", 0.0f, 2 * 2400.0 - 119.0, false},
  };
  for (const Case& c : cases) {
    SetUp();
    SetReturnWeights({0, 1000, 0});
    W.halflength = 2400.0f;
    W.clock = static_cast<f32>(c.clock);
    W.BallBouncedInField = kTrue32;
    W.BallPos.z = c.ballZ;
    W.PrevBallPos.z = c.ballZ;
    TPlayer& C = Catching(Attacker(kBack), 0.3f, c.ballZ);
    C.CleanCatchProb = 1000;
    // One opponent ahead of him, no team-mate behind him: numbers not on his side.
    for (int p = 1; p <= 15; ++p) {
      if (p != kBack) Place(Attacker(p), 30.0f, c.ballZ + 5.0f);
    }
    Place(Defender(1), 0.0f, c.ballZ + 20.0f);
    Step();
    EXPECT_EQ(W.Teams[1].KickReturnOption, c.draws ? 2 : 0) << c.what;
    EXPECT_EQ(W.Teams[1].KeyEventTimer, c.draws ? 4.0f : 0.0f) << c.what;
  }
}

TEST_F(FreeBallCatchTest, ARestartKickCaughtByTheKickingSideShortOfTenMetresGivesAScrum) {
  for (const auto& [z, stops] : {std::pair{9.9f, true}, {10.0f, false}}) {
    SetUp();
    W.KickType = kKickTypeKind1;
    W.BlocksSwapped = kTrue32;
    W.BallPos.z = z;
    W.PrevBallPos.z = z;
    W.ScrumSpot = {5.0f, 5.0f};
    TPlayer& C = Catching(Attacker(kBack), 0.3f, z);
    C.CleanCatchProb = 1000;
    C.KickTimer = 0.5f;
    Step();
    if (stops) {
      EXPECT_EQ(W.gamestate, gsTransition) << z;
      EXPECT_EQ(W.PendingGameState, gsScrum);
      EXPECT_EQ(W.StoppedGameState, gsRunning);
      EXPECT_EQ(W.RestartKind, 0);
      EXPECT_NE(W.PossessionChangePending, 0);
      EXPECT_EQ(W.TransitionHolder, kBack);
      EXPECT_NE(W.TransitionBallHeld, 0);
      EXPECT_EQ(W.ScrumSpot.x, 0.0f);
      EXPECT_EQ(W.ScrumSpot.z, 0.0f);
      EXPECT_EQ(C.KickTimer, 0.0f);
      EXPECT_GE(W.TransitionTimeLeft, 2.0f);
      EXPECT_LT(W.TransitionTimeLeft, 3.5f);
    } else {
      EXPECT_EQ(W.gamestate, gsRunning) << z;
    }
  }
  // An infringement already listed keeps play going.
  SetUp();
  W.KickType = kKickTypeKickOff;
  W.BlocksSwapped = kTrue32;
  W.Infringements[1].Kind = 1;
  Catching(Attacker(kBack), 0.3f, 0.0f).CleanCatchProb = 1000;
  Step();
  EXPECT_EQ(W.gamestate, gsRunning);
}

// ---------------------------------------------------------------- block 2's catch

// Block 2's chaser catches block 1's kick on the full at (0.3, z) in the
// world before the change; after it he stands at (-0.3, -z) in block 1.
class OtherSideCatchTest : public FreeBallCatchTest {
 protected:
  static TPlayer& Catch(f32 z) {
    W.BlocksSwapped = kTrue32;  // block 1 kicked it
    W.BallPos.z = z;
    W.PrevBallPos.z = z;
    TPlayer& D = Catching(Defender(kChaser), 0.3f, z);
    D.CleanCatchProb = 1000;
    D.MarkProb = 1000;
    return D;
  }
  static TPlayer& NewCarrier() { return W.Teams[1].Players[kChaser]; }
};

TEST_F(OtherSideCatchTest, ACatchOfTheOtherSidesKickChangesPossessionAndSetsOffsideLines) {
  Catch(0.0f);
  W.Teams[1].BallKicker = 2;
  Place(Attacker(2), 0.0f, -5.0f);  // the kicker: after the change at z 5
  // Offside kickers' team-mates: near and in front of the kicker, far, and
  // behind the kicker (all in the world before the change).
  Place(Attacker(3), 1.0f, 2.0f);
  Place(Attacker(4), 10.0f, 5.0f);
  Place(Attacker(5), 1.0f, -8.0f);
  for (int p : {3, 4, 5}) Attacker(p).OffsideMark = 1.0f;
  Step();
  EXPECT_EQ(W.gamestate, gsRunning);
  EXPECT_EQ(W.Team1InFirstBlock, 0);
  EXPECT_EQ(W.Teams[1].BallCarrier, kChaser);
  EXPECT_EQ(NewCarrier().id, 200 + kChaser) << "the catcher keeps his index";
  EXPECT_EQ(NewCarrier().Pos.z, 0.0f);
  TTeamBlock& D = W.Teams[2];
  for (int p : {3, 4, 5}) EXPECT_FLOAT_EQ(D.Players[p].OffsideLineZ, 10.0f) << p;
  EXPECT_EQ(D.Players[3].OffsideMark, 1.0f) << "near, in front of the kicker";
  EXPECT_EQ(D.Players[4].OffsideMark, 0.0f) << "10 m or more away";
  EXPECT_EQ(D.Players[5].OffsideMark, 0.0f) << "behind the kicker";
  EXPECT_NE(W.Teams[1].DecisionRequested, 0);
  EXPECT_EQ(Posted(), (std::vector<TPosted>{{20, 200 + kChaser, msgCarryStart, 0.0f}}));
}

TEST_F(OtherSideCatchTest, AFullCatchInsideTheOwn22WithAnOpponentNearCallsTheMark) {
  struct Case {
    const char* what;
    f32 z;         // before the change
    bool mark;
  };
  const Case cases[] = {
      {"inside his own 22", 40.0f, true},
      {"outside his own 22", 20.0f, false},
      {"in his own in-goal", 51.0f, false},
  };
  for (const Case& c : cases) {
    SetUp();
    Catch(c.z);
    Place(Attacker(6), 5.0f, c.z - 3.0f);  // chasing kicker's team-mate, near him
    Step();
    EXPECT_EQ(W.gamestate, gsRunning) << c.what;
    const std::vector<int> codes = Codes();
    EXPECT_EQ(codes, c.mark ? (std::vector<int>{msgCarryStart, msgMark}) : std::vector<int>{msgCarryStart})
        << c.what;
    EXPECT_EQ(W.MarkCalled != 0, c.mark) << c.what;
  }
  // The MarkProb roll above his chance, a bounce, or a kick of his own side
  // take the mark away.
  for (int k = 0; k < 3; ++k) {
    SetUp();
    TPlayer& D = Catch(40.0f);
    Place(Attacker(6), 5.0f, 37.0f);
    if (k == 0) D.MarkProb = 0;
    if (k == 1) W.BallBouncedInField = kTrue32;
    if (k == 2) W.BlocksSwapped = kFalse32;
    Step();
    EXPECT_EQ(W.MarkCalled, 0) << k;
  }
}

TEST_F(OtherSideCatchTest, ThePressureCheckRunsOnlyInTheMatchWorld) {
  SetReturnWeights({0, 0, 1000});  // a defensive kick
  for (bool live : {true, false}) {
    SetUp();
    SetReturnWeights({0, 0, 1000});
    W.LiveWorld = Flag(live);
    Catch(0.0f);
    Place(Attacker(6), 0.0f, -1.0f);  // 1 m from the ball, standing: there in 0.71 s
    Step();
    EXPECT_EQ(W.Teams[1].KickReturnOption, live ? 1 : 3) << live;
    EXPECT_EQ(W.Teams[1].KeyEventTimer, live ? 0.0f : 4.0f) << live;
    EXPECT_EQ(W.Teams[2].KeyEventTimer, 0.0f);
  }
  // A forward's roll above his KickReturnKickProb makes it a run.
  for (const auto& [prob, option] : {std::pair{0, 1}, {1000, 3}}) {
    SetUp();
    SetReturnWeights({0, 0, 1000});
    LookAhead();
    TPlayer& F = Catching(Defender(kForward), 0.3f, 0.0f);
    W.BlocksSwapped = kTrue32;
    F.KickReturnKickProb = static_cast<i16>(prob);
    Step();
    EXPECT_EQ(W.Teams[1].KickReturnOption, option) << prob;
  }
}

TEST_F(OtherSideCatchTest, TheStreakOfCatchesWithoutARunEndsInARunWhenAMarkIsPossible) {
  SetReturnWeights({0, 1000, 0});
  LookAhead();  // no pressure check: no mark is called
  W.CatchOptionStreak = 11;
  Catch(40.0f);
  Step();
  EXPECT_EQ(W.Teams[1].KickReturnOption, 1);
  EXPECT_EQ(W.CatchOptionStreak, 0);
  // Without a possible mark the streak grows.
  SetUp();
  SetReturnWeights({0, 1000, 0});
  LookAhead();
  W.CatchOptionStreak = 11;
  Catch(0.0f);
  Step();
  EXPECT_EQ(W.Teams[1].KickReturnOption, 2);
  EXPECT_EQ(W.CatchOptionStreak, 12);
}

// ---------------------------------------------------------------- the counter-attack line

TEST_F(OtherSideCatchTest, ARunOptionInTheMatchWorldSendsTeamMatesToACounterAttackLine) {
  Catch(0.0f);
  W.BallPos.x = 0.5f;  // after the change at x -0.5
  // One opponent (block 1 before the change) ahead of the catcher, in
  // front within 2 m across, 6 m off: after the change at (-1, 6) and
  // the carrier at (-0.3, 0).
  Place(Attacker(6), 1.0f, -6.0f);
  // Team-mates ahead of him (z < 0 before the change); one cannot run.
  for (int p = 1; p <= 8; ++p) Place(Defender(p), static_cast<f32>(8 * p - 36), -10.0f);
  Defender(3).MaxSpeedNonFatigued = 0.0f;
  const u32 before = RandSeed;
  Step();
  EXPECT_EQ(W.Teams[1].KickReturnOption, 1);
  EXPECT_EQ(W.QuickResampleTimer, 1.5f) << "the gap ahead is above 5 m";
  EXPECT_EQ(W.CatchCrowdSide, 0);
  // Draws: the catch roll, the option draw, the number of spots.
  EXPECT_EQ(DrawsSince(before), 3);
  int taken = 0;
  for (int k = 1; k <= 25; ++k) taken += W.ChoiceWeights[k] != 0;
  EXPECT_GE(taken, 5);
  EXPECT_LE(taken, 7);
  for (int k = 1; k <= taken; ++k) {
    const int i = W.ChoiceWeights[k];
    ASSERT_TRUE(i >= 1 && i <= 8) << k;
    EXPECT_NE(i, 3) << "a team-mate without a top speed is never taken";
    const TActionEvent& e = W.Teams[1].Players[i].ActionSeq.EventArray[1];
    EXPECT_EQ(e.EventType, 14);
    EXPECT_EQ(e.EndCondition, 3);
    EXPECT_GT(e.DistOrig, 0.0f);
  }
  // The first spot: 2.5 m in from the touch line on the ball's side (the
  // ball at x -0.5 after the change), 5 m behind it.
  const TActionEvent& first = W.Teams[1].Players[W.ChoiceWeights[1]].ActionSeq.EventArray[1];
  EXPECT_FLOAT_EQ(first.TargetX, -32.5f);
  EXPECT_EQ(W.Teams[1].Players[kChaser].ActionSeq.EventArray[1].EventType, 0);
}

TEST_F(OtherSideCatchTest, NoLineWhenAnOpponentIsOnTheCatcherOrNobodyIsInFrontOrInTheLookAhead) {
  struct Case {
    const char* what;
    f32 ox, oz;  // the opponent, before the change
    bool live;
  };
  const Case cases[] = {
      {"an opponent on him", 1.0f, 1.0f, true},
      {"nobody in front", 10.0f, -6.0f, true},
      {"look-ahead", 1.0f, -6.0f, false},
  };
  for (const Case& c : cases) {
    SetUp();
    W.LiveWorld = Flag(c.live);
    Catch(0.0f);
    Place(Attacker(6), c.ox, c.oz);
    for (int p = 1; p <= 8; ++p) Place(Defender(p), static_cast<f32>(8 * p - 36), -10.0f);
    Step();
    EXPECT_EQ(W.Teams[1].KickReturnOption, 1) << c.what;
    EXPECT_EQ(W.QuickResampleTimer, 0.0f) << c.what;
    for (int p = 1; p <= 8; ++p) EXPECT_EQ(W.Teams[1].Players[p].ActionSeq.EventArray[1].EventType, 0) << c.what;
  }
}

TEST_F(OtherSideCatchTest, TheLookAheadsCatchAllocatesNothing) {
  LookAhead();
  Catch(40.0f);
  StartCountingAllocations();
  FreeBallContact(W);
  EXPECT_EQ(StopCountingAllocations(), 0);
  EXPECT_EQ(W.gamestate, gsRunning);
}

}  // namespace

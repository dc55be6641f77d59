// Tries and stoppages in running play: the last stage of the running contact
// step, run through the step with the state the earlier stages leave.
#include "contact/RunningStoppages.h"

#include "RunningScene.h"
#include "core/DrawCount.h"

namespace {

using namespace running_scene;

class RunningStoppagesTest : public RunningSceneTest {
 protected:
  void SetUp() override {
    RunningSceneTest::SetUp();
    Carrier().MetresRun = 12.5f;
    W.Teams[1].RunMetres = 40.0f;
    W.Teams[1].PassTimeLeft = 0.2f;
    W.Teams[1].KickTimeLeft = 0.3f;
    Carrier().passtimer = 0.5f;
    Carrier().KickTimer = 0.5f;
  }

  // The carrier at (x, z) with the ball in his hands.
  static void CarryAt(f32 x, f32 z) {
    Place(Carrier(), x, z);
    W.BallPos = {x, 1.0f, z};
  }

  // The carrier's dive of `kind`, `share` of the way through.
  static void Dive(int kind, double share) {
    TPlayer& C = Carrier();
    C.DiveTimer = 0.5f;
    C.DiveKind = kind;
    C.currentAnim.Assign("divelow");
    C.currentframe = static_cast<f32>(share * 1000.0);
  }

  static std::vector<TPosted> CarryEnd() {
    return {{10, 110, msgCarryEnd, 0.0f}, {10, 110, msgRunningMetres, 12.5f}, {10, 110, msgHitUp, 40.0f}};
  }

  // Expects a stoppage left by running play into `pending` with restart
  // `kind`, the carrier holding the ball.
  static void ExpectStopped(TGameState pending, i32 kind, bool toOpponents, const char* what,
                            TGameState stopped = gsRunning) {
    EXPECT_EQ(W.gamestate, gsTransition) << what;
    EXPECT_EQ(W.PendingGameState, pending) << what;
    EXPECT_EQ(W.StoppedGameState, stopped) << what;
    EXPECT_EQ(W.RestartKind, kind) << what;
    EXPECT_EQ(W.PossessionChangePending, Flag(toOpponents)) << what;
    EXPECT_EQ(W.TransitionStep, 1) << what;
    EXPECT_GE(W.TransitionTimeLeft, 2.0f) << what;
    EXPECT_LE(W.TransitionTimeLeft, 3.49f) << what;
    EXPECT_EQ(W.TransitionHolder, kCarrier) << what;
    EXPECT_EQ(W.TransitionHolderFirstBlock, kTrue32) << what;
    EXPECT_EQ(W.Teams[1].PassTimeLeft, 0.0f) << what;
    EXPECT_EQ(W.Teams[1].KickTimeLeft, 0.0f) << what;
    EXPECT_EQ(Carrier().passtimer, 0.0f) << what;
    EXPECT_EQ(Carrier().KickTimer, 0.0f) << what;
  }
};

// ---------------------------------------------------------------- try from a tackle

TEST_F(RunningStoppagesTest, ATackleWithTheBallOnTheGoalLineScoresATryInTheSameFrame) {
  CarryAt(3.0f, 49.6f);
  W.BallPos.z = 50.0f;
  W.gamestate = gsGotTackled;  // as the entry into "gottackled" leaves it
  W.LastPasser = 7;
  W.PrevPasser = 9;
  W.Teams[1].score = 14;
  Step();
  EXPECT_EQ(W.gamestate, gsTryScored);
  EXPECT_EQ(W.Teams[1].score, 19);
  EXPECT_EQ(W.Teams[1].NoAdvantageFlag, kTrue32);
  EXPECT_EQ(W.TryScoredPhase, 1);
  EXPECT_EQ(W.DiverIndex, kCarrier);
  EXPECT_EQ(W.Teams[1].BallCarrier, 0);
  EXPECT_EQ(W.BallPos.y, 0.15f);
  EXPECT_EQ(W.TryPos.x, 3.0f);
  EXPECT_EQ(W.TryPos.z, 49.6f);
  EXPECT_EQ(W.LastPasser, 0);
  EXPECT_EQ(W.PrevPasser, 0);
  const std::vector<TPosted> expected = {
      {10, 110, msgTry, 5.0f}, {10, 107, msgTryAssist, 0.0f}, {10, 109, msgTryAssist, 0.0f}};
  EXPECT_EQ(Posted(), expected) << "the tackle has posted the carry end already";
}

TEST_F(RunningStoppagesTest, NoTryWithTheBallShortOfTheLineOrWithoutTheTackle) {
  struct Case {
    const char* what;
    f32 ballZ;
    TGameState state;
  } cases[] = {
      {"tackled with the ball at 49.9", 49.9f, gsGotTackled},
      {"running with the ball at 50.0", 50.0f, gsRunning},
  };
  for (const Case& c : cases) {
    SetUp();
    CarryAt(0.0f, 49.5f);
    W.BallPos.z = c.ballZ;
    W.gamestate = c.state;
    Step();
    EXPECT_EQ(W.gamestate, c.state) << c.what;
    EXPECT_EQ(W.Teams[1].BallCarrier, kCarrier) << c.what;
    EXPECT_TRUE(Posted().empty()) << c.what;
  }
}

TEST_F(RunningStoppagesTest, AssistsGoOnlyToPassersWhoAreNotTheScorer) {
  struct Case {
    const char* what;
    i16 last, prev;
    std::vector<int> assisted;
  } cases[] = {
      {"no passers", 0, 0, {}},
      {"the scorer passed last", kCarrier, 4, {104}},
      {"the scorer passed before", 4, kCarrier, {104}},
      {"a passer number beyond the records", 26, 4, {104}},
  };
  for (const Case& c : cases) {
    SetUp();
    CarryAt(0.0f, 50.5f);
    W.gamestate = gsGotTackled;
    W.LastPasser = c.last;
    W.PrevPasser = c.prev;
    Step();
    std::vector<TPosted> expected = {{10, 110, msgTry, 5.0f}};
    for (int id : c.assisted) expected.push_back({10, id, msgTryAssist, 0.0f});
    EXPECT_EQ(Posted(), expected) << c.what;
  }
}

// ---------------------------------------------------------------- held up in the own in-goal

TEST_F(RunningStoppagesTest, HeldUpInHisOwnInGoalGivesAScrumAfterACarryBackElseADropOut) {
  struct Case {
    const char* what;
    bool carriedBack;
    TGameState pending;
    i32 kind;
  } cases[] = {
      {"carried back over his own line", true, gsScrum, 0},
      {"the ball came to him in his in-goal", false, gsKickRestartSet, 2},
  };
  for (const Case& c : cases) {
    SetUp();
    CarryAt(-5.0f, -52.0f);
    W.gamestate = gsGotTackled;
    W.Teams[1].CarriedIntoOwnInGoal = Flag(c.carriedBack);
    const u32 before = RandSeed;
    Step();
    ExpectStopped(c.pending, c.kind, c.carriedBack, c.what, gsGotTackled);
    EXPECT_EQ(W.TransitionBallHeld, kTrue32) << c.what;
    EXPECT_EQ(W.ScrumSpot.x, -5.0f) << c.what;
    EXPECT_EQ(W.ScrumSpot.z, -52.0f) << c.what;
    EXPECT_EQ(DrawsSince(before), 1) << c.what;
    EXPECT_TRUE(Posted().empty()) << c.what;
  }
}

TEST_F(RunningStoppagesTest, AnUntackledCarrierInHisOwnInGoalPlaysOn) {
  CarryAt(-5.0f, -52.0f);
  Step();
  EXPECT_EQ(W.gamestate, gsRunning);
}

// ---------------------------------------------------------------- touch and dead-ball lines

TEST_F(RunningStoppagesTest, TouchIsThirtyCentimetresInsideTheTouchline) {
  struct Case {
    const char* what;
    f32 x, z;
    bool touch;
  } cases[] = {
      {"x 34.75", 34.75f, 10.0f, true},
      {"x 34.7", 34.7f, 10.0f, false},
      {"x -34.75", -34.75f, 10.0f, true},
      {"x -34.7", -34.7f, 10.0f, false},
      {"on the opponents' goal line", 34.75f, 50.0f, true},
      {"on his own goal line", -34.75f, -50.0f, true},
  };
  for (const Case& c : cases) {
    SetUp();
    CarryAt(c.x, c.z);
    Step();
    if (c.touch) {
      ExpectStopped(gsLineout, 6, true, c.what);
      EXPECT_EQ(W.KickRestartSetPhase, 1) << c.what;
      EXPECT_EQ(W.TouchPos.x, c.x) << c.what;
      EXPECT_EQ(W.TouchPos.z, c.z) << c.what;
      EXPECT_EQ(W.TransitionBallHeld, kTrue32) << c.what;
      EXPECT_EQ(Posted(), CarryEnd()) << c.what;
    } else {
      EXPECT_EQ(W.gamestate, gsRunning) << c.what;
    }
  }
}

TEST_F(RunningStoppagesTest, TouchInGoalAndTheDeadBallLines) {
  struct Case {
    const char* what;
    f32 x, z;
    bool carriedBack;
    TGameState pending;
    i32 kind;
    bool toOpponents;
  } cases[] = {
      {"touch-in-goal in the opponents' in-goal", 34.8f, 50.5f, false, gsKickRestartSet, 2, true},
      {"touch-in-goal in his own in-goal", -34.8f, -50.5f, false, gsKickRestartSet, 2, false},
      {"touch-in-goal in his own in-goal after a carry back", -34.8f, -50.5f, true, gsScrum, 0, true},
      {"over his own dead-ball line", 0.0f, -59.85f, false, gsKickRestartSet, 2, false},
      {"over the opponents' dead-ball line", 0.0f, 59.85f, false, gsKickRestartSet, 2, true},
  };
  for (const Case& c : cases) {
    SetUp();
    CarryAt(c.x, c.z);
    W.Teams[1].CarriedIntoOwnInGoal = Flag(c.carriedBack);
    Step();
    ExpectStopped(c.pending, c.kind, c.toOpponents, c.what);
    EXPECT_TRUE(Posted().empty()) << "no messages: " << c.what;
  }
  for (f32 z : {-59.75f, 59.75f}) {
    SetUp();
    CarryAt(0.0f, z);
    Step();
    EXPECT_EQ(W.gamestate, gsRunning) << "short of the dead-ball line margin at " << z;
  }
}

// ---------------------------------------------------------------- dives

TEST_F(RunningStoppagesTest, ADiveGroundsTheBallFromThirtyPerCentOrFortyForKindThree) {
  struct Case {
    const char* what;
    int kind;
    double share;
    bool grounds;
  } cases[] = {
      {"kind 1 at 30 %", 1, 0.3, true},     {"kind 1 at 29.9 %", 1, 0.299, false},
      {"kind 2 at 30 %", 2, 0.3, true},     {"kind 4 at 30 %", 4, 0.3, true},
      {"kind 3 at 39.9 %", 3, 0.399, false}, {"kind 3 at 40 %", 3, 0.4, true},
      {"kind 5 never", 5, 0.9, false},
  };
  for (const Case& c : cases) {
    SetUp();
    CarryAt(0.0f, 49.0f);
    W.BallPos.z = 50.2f;
    Dive(c.kind, c.share);
    Step();
    EXPECT_EQ(W.gamestate, c.grounds ? gsTryScored : gsRunning) << c.what;
    if (c.grounds) {
      EXPECT_EQ(W.Teams[1].BallCarrier, 0) << c.what;
      EXPECT_EQ(W.BallPos.y, 0.15f) << c.what;
      EXPECT_EQ(W.DiverIndex, kCarrier) << c.what;
      std::vector<TPosted> expected = {{10, 110, msgTry, 5.0f}};
      for (const TPosted& m : CarryEnd()) expected.push_back(m);
      EXPECT_EQ(Posted(), expected) << c.what;
    }
  }
}

TEST_F(RunningStoppagesTest, ALooseBallDiveScoresFromFortyPerCentAndKeepsTheCarrier) {
  for (double share : {0.399, 0.4}) {
    SetUp();
    CarryAt(0.0f, 49.5f);
    W.BallPos.z = 50.5f;
    TPlayer& C = Carrier();
    C.freeballcatchtimer = 0.5f;
    C.FreeBallCatchKind = 7.0f;
    C.currentAnim.Assign("looseballdive");
    C.currentframe = static_cast<f32>(share * 1000.0);
    Step();
    EXPECT_EQ(W.gamestate, share >= 0.4 ? gsTryScored : gsRunning) << share;
    EXPECT_EQ(W.Teams[1].BallCarrier, kCarrier) << share;
    EXPECT_EQ(W.BallPos.y, 1.0f) << share;
  }
}

TEST_F(RunningStoppagesTest, ADiveShortOfTheLineIsNoTry) {
  CarryAt(0.0f, 48.0f);
  W.BallPos.z = 49.99f;
  Dive(1, 0.5);
  Step();
  EXPECT_EQ(W.gamestate, gsRunning);
  EXPECT_TRUE(Posted().empty());
}

TEST_F(RunningStoppagesTest, ADiveBeyondTheInGoalsLinesLosesTheBallToTheOpponents) {
  struct Case {
    const char* what;
    f32 x, z;
  } cases[] = {
      {"over the dead-ball line", 0.0f, 59.96f},
      {"over the touch-in-goal line", 34.96f, 55.0f},
      {"over the other touch-in-goal line", -34.96f, 55.0f},
  };
  for (const Case& c : cases) {
    SetUp();
    CarryAt(c.x > 0 ? 34.0f : (c.x < 0 ? -34.0f : 0.0f), 58.0f);
    W.BallPos = {c.x, 0.3f, c.z};
    Dive(2, 0.5);
    Step();
    std::vector<TPosted> expected = {{10, 110, msgBallDeadInGoal, 0.0f}};
    for (const TPosted& m : CarryEnd()) expected.push_back(m);
    EXPECT_EQ(Posted(), expected) << c.what;
    ExpectStopped(gsKickRestartSet, 2, true, c.what);
    EXPECT_EQ(W.Teams[1].score, 0) << c.what;
  }
}

TEST_F(RunningStoppagesTest, ADiveIntoHisOwnInGoalStopsPlayHoldingTheBallOnlyForKindsTwoAndThree) {
  struct Case {
    int kind;
    bool32 held;
  } cases[] = {{1, kFalse32}, {2, kTrue32}, {3, kTrue32}, {4, kFalse32}};
  for (const Case& c : cases) {
    SetUp();
    CarryAt(0.0f, -49.0f);
    W.BallPos.z = -50.0f;
    Dive(c.kind, 0.5);
    Step();
    ExpectStopped(gsKickRestartSet, 2, false, "own in-goal dive");
    EXPECT_EQ(W.TransitionBallHeld, c.held) << c.kind;
    EXPECT_EQ(W.BallPos.y, 0.15f) << c.kind;
    EXPECT_EQ(W.ScrumSpot.z, -49.0f) << c.kind;
  }
}

TEST_F(RunningStoppagesTest, NothingIsCheckedWithoutACarrierOnTheField) {
  for (i32 carrier : {0, 16, 26}) {
    SetUp();
    CarryAt(34.9f, 59.9f);
    W.Teams[1].BallCarrier = carrier;
    W.gamestate = gsGotTackled;
    W.BallPos.z = 51.0f;
    Step();
    EXPECT_EQ(W.gamestate, gsGotTackled) << carrier;
    EXPECT_TRUE(Posted().empty()) << carrier;
  }
}

}  // namespace

#include "flow/TryScoredUnit.h"

#include <gtest/gtest.h>

#include <cmath>

#include "SmallWorld.h"
#include "core/DrawCount.h"
#include "core/FloatFlags.h"
#include "core/Geometry.h"
#include "core/Random.h"

namespace {

TWorld W;

constexpr double kTan20 = 0.36397023426620234;
constexpr i32 kScorer = 7;

// Block 1 running up-field (+z) at z 40, spread 3 m apart across; block 2
// 8 m further on, 2 m apart; the try grounded by player 7 at (5, 52).
class TryScoredTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeSmallWorld(W, {.Frame = true});
    W.gamestate = gsTryScored;
    W.TryScoredPhase = 1;
    W.TryPos = {5.0f, 52.0f};
    W.DiverIndex = kScorer;
    for (int i = 1; i <= 25; ++i) {
      TPlayer& P = A().Players[i];
      P.Pos = {static_cast<f32>(3 * i - 24), 0, 40.0f};
      P.OldPos = {P.Pos.x, 0, 39.8f};
      P.GoalKickDeviation2 = 10.0f;
      TPlayer& Q = D().Players[i];
      PutAt(Q, static_cast<f32>(2 * i - 16), 48.0f);
    }
    Scorer().Pos = {5.0f, 0, 52.0f};
    Scorer().OldPos = {5.0f, 0, 51.8f};
    A().BallCarrier = kScorer;
    RandSeed = 31337;
  }
  static TTeamBlock& A() { return W.Teams[1]; }
  static TTeamBlock& D() { return W.Teams[2]; }
  static TPlayer& Scorer() { return A().Players[kScorer]; }
  // One call; no float error may be raised.
  static void Call() {
    std::feclearexcept(FE_ALL_EXCEPT);
    DoTryScored(W);
    ASSERT_FALSE(FloatErrorRaised());
  }
  // Straight to the per-frame phase with every celebration over and the
  // run-on done: each player's run-on point is where he stands.
  static void AfterCelebrations() {
    W.TryScoredPhase = 2;
    for (int b = 1; b <= 2; ++b)
      for (int i = 1; i <= 25; ++i) {
        TPlayer& P = W.Teams[b].Players[i];
        P.InterceptX = P.Pos.x;
        P.InterceptZ = P.Pos.z;
      }
    for (int k = 1; k <= 15; ++k) D().FreeDefendersList[k] = static_cast<i16>(k);
    A().BallCarrier = 0;
  }
};

// What the set-up draws, replayed by hand from the same seed.
struct TSetUpDraws {
  f32 kind[16];
  i32 join[16];
  double runOn[16];
  f32 runOnTime[16];
};

TSetUpDraws ReplaySetUpDraws(u32 seed, i32 scorer) {
  TSetUpDraws d{};
  RandSeed = seed;
  for (int i = 1; i <= 15; ++i) {
    d.kind[i] = static_cast<f32>(RandomRange(1, 4));
    d.join[i] = (i == scorer || RandomRange(1, 1001) < 700) ? 1 : 0;
  }
  for (int i = 1; i <= 15; ++i) {
    d.runOn[i] = RandomRange(50, 101) / 100.0 * 3.5;
    d.runOnTime[i] = static_cast<f32>(RandomRange(50, 101) / 100.0 * 1.5);
  }
  return d;
}

}  // namespace

TEST_F(TryScoredTest, SetUpDrawsCelebrationsThenRunOnPointsInOrder) {
  A().ChaserSlots[2] = 5;
  D().ChaserSlots[1] = 3;
  D().Players[4].chasertimer = 2.0f;
  A().Players[3].ActionSeq.seqON = kTrue32;
  D().Players[9].ActionSeq.seqON = kTrue32;
  D().Players[2].CelebrateJoin = 1;  // stale: block 2 never celebrates
  D().Players[2].CelebrateDelay = 0.5f;
  Scorer().FacingAngle = 1.0f;
  const u32 seed = RandSeed;
  const TSetUpDraws d = ReplaySetUpDraws(seed, kScorer);
  RandSeed = seed;
  Call();

  EXPECT_EQ(W.TryScoredPhase, 2);
  EXPECT_EQ(A().ChaserSlots[2], 0);
  EXPECT_EQ(D().ChaserSlots[1], 0);
  EXPECT_EQ(D().Players[4].chasertimer, 0.0f);
  EXPECT_EQ(A().Players[3].ActionSeq.seqON, 0);
  EXPECT_EQ(D().Players[9].ActionSeq.seqON, 0);
  EXPECT_EQ(D().Players[2].CelebrateJoin, 0);
  EXPECT_EQ(D().Players[2].CelebrateDelay, 0.0f);
  for (int i = 1; i <= 15; ++i) {
    const TPlayer& P = A().Players[i];
    EXPECT_EQ(P.CelebrateKind, d.kind[i]) << i;
    EXPECT_EQ(P.CelebrateJoin, d.join[i]) << i;
    // Heading 90 from OldPos to Pos: the run-on point lies r further up-field.
    EXPECT_NEAR(P.InterceptX, P.Pos.x, 1e-6) << i;
    EXPECT_FLOAT_EQ(P.InterceptZ, static_cast<f32>(P.Pos.z + d.runOn[i])) << i;
    EXPECT_GE(P.InterceptZ - P.Pos.z, 1.75f - 1e-5f) << i;
    EXPECT_LE(P.InterceptZ - P.Pos.z, 3.5f + 1e-5f) << i;
    // Run on this frame already: one TimeStep off the drawn time.
    EXPECT_FLOAT_EQ(P.chasertimer, d.runOnTime[i] - 0.04f) << i;
  }
  EXPECT_EQ(Scorer().CelebrateJoin, 1);
  // The scorer stands free on his spot: his gesture starts in the same frame
  // (0.01 s of delay), facing his own way; the only further draw.
  EXPECT_GE(Scorer().CelebrateTimer, 0.75f);
  EXPECT_LE(Scorer().CelebrateTimer, 2.0f);
  EXPECT_FLOAT_EQ(Scorer().CelebrateFacing, HeadingOfFacing(1.0f));
  EXPECT_EQ(DrawsSince(seed), 14 * 2 + 1 + 15 * 2 + 1);
  EXPECT_EQ(W.gamestate, gsTryScored);
}

TEST_F(TryScoredTest, ScorerAlwaysJoinsTeamMatesBelow700) {
  struct Case {
    const char* what;
    i32 scorer;
    i32 roll;  // player 1's join roll, when he draws one
    i32 joins;
  } cases[] = {
      {"a roll of 699 joins", kScorer, 699, 1},
      {"a roll of 700 does not", kScorer, 700, 0},
      {"a roll of 1 joins", kScorer, 1, 1},
      {"the scorer joins without a roll", 1, 1000, 1},
  };
  for (const Case& c : cases) {
    SetUp();
    W.DiverIndex = c.scorer;
    // Player 1's gesture draw, then his join roll.
    const u32 seed = StepBack(SeedBeforeDraw(1, 1001, c.roll));
    RandSeed = seed;
    Call();
    EXPECT_EQ(A().Players[1].CelebrateJoin, c.joins) << c.what;
    // Player 2's gesture is the second draw when player 1 scored, else the third.
    RandSeed = seed;
    for (int k = c.scorer == 1 ? 1 : 2; k > 0; --k) RandomRange(1, 1001);
    EXPECT_EQ(A().Players[2].CelebrateKind, static_cast<f32>(RandomRange(1, 4))) << c.what;
  }
}

TEST_F(TryScoredTest, ConversionKickerIsTheSteadiestUninjuredPlayer) {
  struct Case {
    const char* what;
    void (*arrange)();
    i32 kicker;
  } cases[] = {
      {"the smallest spread", [] { A().Players[12].GoalKickDeviation2 = 3.0f; }, 12},
      {"the first of equal spreads",
       [] {
         A().Players[4].GoalKickDeviation2 = 3.0f;
         A().Players[12].GoalKickDeviation2 = 3.0f;
       },
       4},
      {"injured players are passed over",
       [] {
         A().Players[4].GoalKickDeviation2 = 1.0f;
         A().Players[4].Unavailable = kTrue32;
         A().Players[13].GoalKickDeviation2 = 2.0f;
       },
       13},
      {"everybody injured gives player 10",
       [] {
         for (int i = 1; i <= 25; ++i) A().Players[i].Unavailable = kTrue32;
         A().Players[2].GoalKickDeviation2 = 0.0f;
       },
       10},
      {"players beyond PlayersPerTeam do not count", [] { A().Players[16].GoalKickDeviation2 = 0.0f; }, 1},
  };
  for (const Case& c : cases) {
    SetUp();
    c.arrange();
    Call();
    EXPECT_EQ(A().KickerIndex, c.kicker) << c.what;
  }
}

TEST_F(TryScoredTest, PacksLetGoAndTacklesEndAfterTheLastRelease) {
  // Block 1's pack: player 3 bound in spot 2 (role 2), player 4 a waiting
  // player (role 0); block 2's player 5 bound in spot 1.
  A().PackSpots.OccupantB[2] = 3;
  A().Players[3].RuckTimer = 5.0f;
  A().Players[3].RuckRole = 2.0f;
  A().Players[4].RuckTimer = 5.0f;
  A().Players[4].RuckRole = 0.0f;
  A().Players[4].RuckTimer2 = 0.0f;
  D().PackSpots.OccupantB[1] = 5;
  D().Players[5].RuckTimer = 5.0f;
  D().Players[5].RuckRole = 3.0f;
  // Tackles: block 1's 8 tackled on his back, block 2's 6 tackling, block
  // 2's 10 in a tackle of kind 4 (a fend: not in force).
  TPlayer& T = A().Players[8];
  T.GettingTackledTimer = 1.0f;
  T.GettingTackledKind = 2.0f;
  T.GettingTackledFacing = 123.0f;
  T.governedby = 6;
  TPlayer& U = D().Players[6];
  U.TackleAttemptTimer = 1.0f;
  U.TackleAttemptKind = 1.0f;
  U.TackleAttemptFacing = 77.0f;
  U.target = 8;
  TPlayer& F = D().Players[10];
  F.TackleAttemptTimer = 1.0f;
  F.TackleAttemptKind = 4.0f;
  D().PressureTimerA = 3.0f;
  D().PressureTimerB = 3.0f;
  Call();

  EXPECT_EQ(A().Players[3].RuckTimer, 0.0f);
  EXPECT_EQ(A().Players[3].RuckTimer2, A().PackSpots.ReleaseDelay[2]);
  EXPECT_GT(A().Players[3].RuckTimer2, 0.0f);
  EXPECT_EQ(A().Players[4].RuckTimer, 0.0f);
  EXPECT_EQ(A().Players[4].RuckTimer2, 0.0f);
  EXPECT_EQ(D().Players[5].RuckTimer2, D().PackSpots.ReleaseDelay[1]);
  const f32 last = std::fmax(A().Players[3].RuckTimer2, D().Players[5].RuckTimer2);
  EXPECT_FLOAT_EQ(T.OldTackleTimer, last + 0.25f);
  EXPECT_EQ(T.OldTackleFacing, 123.0f);
  EXPECT_EQ(T.GroundPosture, 2);
  EXPECT_EQ(T.GettingTackledTimer, 0.0f);
  EXPECT_EQ(T.governedby, 0);
  EXPECT_FLOAT_EQ(U.OldTackleTimer, last + 0.25f);
  EXPECT_EQ(U.OldTackleFacing, 77.0f);
  EXPECT_EQ(U.GroundPosture, 1);
  EXPECT_EQ(U.target, 0);
  EXPECT_EQ(D().PressureTimerA, 0.0f);
  EXPECT_EQ(D().PressureTimerB, 0.0f);
  EXPECT_EQ(F.TackleAttemptTimer, 1.0f);
  EXPECT_EQ(F.OldTackleTimer, 0.0f);
}

TEST_F(TryScoredTest, WalkBackToHalfwayAndTheKickerToTheConversionSpot) {
  struct Case {
    const char* what;
    f32 tryX;
    double spotZ;
  } cases[] = {
      {"under the posts", 0.0f, 41.0},
      {"10 m right", 10.0f, 41.0 - 10.0 * kTan20},
      {"10 m left", -10.0f, 41.0 - 10.0 * kTan20},
      {"by the touchline", -34.5f, 41.0 - 34.5 * kTan20},
  };
  for (const Case& c : cases) {
    SetUp();
    AfterCelebrations();
    W.TryPos = {c.tryX, 52.0f};
    A().KickerIndex = 12;
    A().Players[2].CelebrateJoin = 1;  // still celebrating: stays on his run-on point
    A().Players[3].chasertimer = 0.5f;  // still running on
    Call();
    const TPlayer& K = A().Players[12];
    EXPECT_EQ(K.DesiredPos.x, c.tryX) << c.what;
    EXPECT_NEAR(K.DesiredPos.z, c.spotZ, 1e-5) << c.what;
    EXPECT_EQ(A().Players[5].DesiredPos.x, A().Players[5].Pos.x) << c.what;
    EXPECT_EQ(A().Players[5].DesiredPos.z, 0.0f) << c.what;
    EXPECT_EQ(A().Players[2].DesiredPos.z, 40.0f) << c.what;
    EXPECT_EQ(A().Players[3].DesiredPos.z, 40.0f) << c.what;
    EXPECT_FLOAT_EQ(A().Players[3].chasertimer, 0.46f) << c.what;
  }
}

TEST_F(TryScoredTest, DefenceLinesUpBeyondTheTryWithinTheTouchlines) {
  struct Case {
    const char* what;
    f32 tryX;
    double firstX;  // of the player with the smallest x
  } cases[] = {
      {"in the middle", 0.0f, -6.5},
      {"near the left touchline: starts at it", -33.0f, -34.0},
      {"near the right touchline: past it, as it is not held", 34.0f, 27.5},
      {"further right: held to half the line's width inside", 40.0f, 28.5},
  };
  for (const Case& c : cases) {
    SetUp();
    AfterCelebrations();
    W.TryPos = {c.tryX, 52.0f};
    W.DiverIndex = 0;  // no scorer: nobody is pushed off him
    // Block 2 in reverse order of number across the pitch.
    for (int i = 1; i <= 15; ++i) D().Players[i].Pos.x = static_cast<f32>(30 - 3 * i);
    W.TryScoredPhase = 1;
    Call();
    for (int k = 1; k <= 15; ++k) {
      const TPlayer& P = D().Players[16 - k];
      EXPECT_FLOAT_EQ(P.DesiredPos.x, static_cast<f32>(c.firstX + (k - 1))) << c.what << " place " << k;
      EXPECT_FLOAT_EQ(P.DesiredPos.z, 55.75f) << c.what;
    }
  }
}

TEST_F(TryScoredTest, NoDefenderStandsOnTheScorer) {
  struct Case {
    const char* what;
    f32 dx, dz;
    f32 wantZ;  // 0: left on his place in the line
  } cases[] = {
      {"level, 3 m behind: to 3.9 m behind", 0.0f, -3.0f, 52.0f - 3.9f},
      {"level, on the scorer: in front", 0.0f, 0.0f, 52.0f + 3.9f},
      {"1.99 m across, 3.99 m in front", 1.99f, 3.99f, 52.0f + 3.9f},
      {"2 m across: left alone", 2.0f, 1.0f, 0.0f},
      {"4 m behind: left alone", -1.0f, -4.0f, 0.0f},
  };
  for (const Case& c : cases) {
    SetUp();
    AfterCelebrations();
    W.TryScoredPhase = 1;
    TPlayer& P = D().Players[11];
    P.Pos = {Scorer().Pos.x + c.dx, 0, Scorer().Pos.z + c.dz};
    Call();
    EXPECT_FLOAT_EQ(P.DesiredPos.z, c.wantZ == 0.0f ? 55.75f : c.wantZ) << c.what;
  }
}

TEST_F(TryScoredTest, ScorerSlidesOnUntilTheCatchTimerRunsOut) {
  AfterCelebrations();
  Scorer().CelebrateJoin = 1;
  A().BallCarrier = kScorer;
  Scorer().FreeBallCatchKind = 7.0f;
  Scorer().FreeBallCatchAngle = 90.0f;  // up-field
  Scorer().FreeBallCatchSpeed = 5.0f;   // m/s: 0.2 m a frame
  Scorer().freeballcatchtimer = 0.1f;
  TPlayer& M = A().Players[2];  // a team-mate sliding too, without the ball
  M.CelebrateJoin = 1;
  M.FreeBallCatchKind = 7.0f;
  M.FreeBallCatchSpeed = 5.0f;
  M.freeballcatchtimer = 0.1f;
  for (int frame = 1; frame <= 3; ++frame) {
    Call();
    ASSERT_EQ(A().BallCarrier, kScorer) << frame;
    EXPECT_NEAR(Scorer().Pos.z, 52.0 + 0.2 * frame, 1e-5) << frame;
    EXPECT_NEAR(Scorer().DesiredPos.z, Scorer().Pos.z, 1e-6) << frame;
    EXPECT_NEAR(Scorer().Pos.x, 5.0, 1e-5) << frame;
    // The timer step counts the slide down; one frame is left after the third.
    Scorer().freeballcatchtimer = 0.1f - 0.04f * frame;
  }
  EXPECT_EQ(M.Pos.z, 40.0f);
  Scorer().freeballcatchtimer = 0.0f;
  Call();
  EXPECT_EQ(A().BallCarrier, 0);
  EXPECT_NEAR(Scorer().Pos.z, 52.6, 1e-5);
  EXPECT_EQ(Scorer().DesiredPos.z, Scorer().Pos.z);
}

TEST_F(TryScoredTest, NoScorerLeavesTheCarrierAndFacesHeading90) {
  AfterCelebrations();
  W.DiverIndex = 0;
  A().BallCarrier = 7;
  TPlayer& P = A().Players[4];
  P.CelebrateJoin = 1;
  P.CelebrateDelay = 0.02f;
  D().Players[11].Pos = {5.0f, 0, 51.0f};
  Call();
  EXPECT_EQ(A().BallCarrier, 7);
  EXPECT_EQ(P.CelebrateFacing, 90.0f);
  EXPECT_GT(P.CelebrateTimer, 0.0f);
  EXPECT_FLOAT_EQ(D().Players[11].DesiredPos.z, 55.75f);
  W.DiverIndex = 26;
  Call();
  EXPECT_EQ(W.gamestate, gsTryScored);
}

TEST_F(TryScoredTest, TeamMatesCelebrateOnceStillAndFree) {
  AfterCelebrations();
  TPlayer& P = A().Players[4];
  P.CelebrateJoin = 1;
  TPlayer& Busy = A().Players[5];
  Busy.CelebrateJoin = 1;
  Busy.OldTackleTimer = 0.5f;  // still on the ground
  TPlayer& Away = A().Players[6];
  Away.CelebrateJoin = 1;
  Away.InterceptZ = 40.6f;  // 0.6 m from his run-on point
  // A seed that gives player 4 a long wait (a roll of 700 or more, at least
  // 0.5 s), so the gesture does not start in the first frame.
  const u32 seed = SeedWhere([] { return RandomRange(1, 1001) >= 700 && RandomRange(1, 101) >= 50; });
  RandSeed = seed;
  Call();
  EXPECT_EQ(DrawsSince(seed), 2);  // player 4's wait: the roll and its length
  RandSeed = seed;
  RandomRange(1, 1001);
  const double wait = RandomRange(1, 101) / 100.0;
  EXPECT_FLOAT_EQ(P.CelebrateDelay, static_cast<f32>(static_cast<f32>(wait) - 0.04));
  EXPECT_EQ(Busy.CelebrateDelay, 0.0f);
  EXPECT_EQ(Away.CelebrateDelay, 0.0f);
  for (int frame = 0; frame < 30 && !(P.CelebrateTimer > 0); ++frame) Call();
  EXPECT_GE(P.CelebrateTimer, 0.75f);
  EXPECT_LE(P.CelebrateTimer, 2.0f);
  EXPECT_FLOAT_EQ(P.CelebrateFacing, HeadingToPoint(P.Pos.x, P.Pos.z, Scorer().Pos.x, Scorer().Pos.z, 90.0f));
  // The gesture runs: no new wait is drawn while it lasts.
  const u32 during = RandSeed;
  Call();
  EXPECT_EQ(DrawsSince(during), 0);
  EXPECT_EQ(W.gamestate, gsTryScored);
}

TEST_F(TryScoredTest, ConversionFollowsOnlyWhenEveryCelebrationIsOver) {
  AfterCelebrations();
  A().Players[9].CelebrateJoin = 1;
  A().Players[9].CelebrateStage = 0;
  A().Players[9].CelebrateTimer = 1.0f;
  A().Players[3].chasertimer = 0.3f;
  D().Players[3].chasertimer = 0.3f;
  A().KickerIndex = 12;
  Call();
  EXPECT_EQ(W.gamestate, gsTryScored);
  EXPECT_EQ(W.RestartDelay, 0.0f);
  A().Players[9].CelebrateStage = 1;
  Call();
  EXPECT_EQ(W.gamestate, gsKickRestartSet);
  EXPECT_EQ(W.KickRestartSetPhase, 1);
  EXPECT_EQ(A().RestartType, 9);
  EXPECT_EQ(D().RestartType, 9);
  EXPECT_EQ(A().RestartKickerDefault, 10);
  EXPECT_EQ(A().KickerIndex, 12);
  EXPECT_GE(W.RestartDelay, 10.0f);
  EXPECT_LE(W.RestartDelay, 166.965f);
  EXPECT_EQ(A().Players[3].chasertimer, 0.0f);
  EXPECT_EQ(D().Players[3].chasertimer, 0.0f);
}

TEST_F(TryScoredTest, OtherPhasesDoNothing) {
  A().Players[1].InterceptZ = 30.0f;
  for (const i32 phase : {0, 3}) {
    W.TryScoredPhase = phase;
    const u32 seed = RandSeed;
    Call();
    EXPECT_EQ(DrawsSince(seed), 0) << phase;
    EXPECT_EQ(A().Players[1].DesiredPos.z, 0.0f) << phase;
    EXPECT_EQ(A().BallCarrier, kScorer) << phase;
    EXPECT_EQ(W.TryScoredPhase, phase);
  }
}

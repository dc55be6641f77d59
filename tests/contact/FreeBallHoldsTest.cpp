// Holds and missed dive tackles while the ball is free, through the free-ball
// contact step: the hold reach at a 0.04 s step, the momentum cap, the fall
// of both players, the dive that misses past half, and no holds once a catch
// has ended the free ball.
#include <gtest/gtest.h>

#include "RunningScene.h"

namespace {

using namespace running_scene;

constexpr int kTarget = 12;  // block 1
constexpr int kHolder = 6;   // block 2

// A loose ball high over the far end of the pitch; block 2's player 6 chases
// block 1's player 12, who stands at the centre facing +z.
class FreeBallHoldsTest : public RunningSceneTest {
 protected:
  void SetUp() override {
    RunningSceneTest::SetUp();
    LooseBallScene();
    W.BallPos = {0.0f, 20.0f, 40.0f};
    W.PrevBallPos = W.BallPos;
    W.BallPhase = 1;
    Place(Attacker(kTarget), 0.0f, 0.0f);
    TPlayer& D = Defender(kHolder);
    D.target = kTarget;
    Attacker(kTarget).numtargetting = 1;
  }

  // The holder dist m behind the target (smaller z), running at him at speed.
  static TPlayer& Chaser(f32 dist, f32 speed) {
    TPlayer& D = Defender(kHolder);
    Place(D, 0.0f, -dist);
    Face(D, 90.0);
    D.speed = speed;
    D.Velocity = {0.0f, speed};
    return D;
  }

  static void Step() { RunFrameStep({"FreeBallContact", FreeBallContact}, W); }
};

TEST_F(FreeBallHoldsTest, TheReachAtAFrameOfFourHundredthsIsJudgedHalfAFrameOn) {
  struct TCase {
    const char* what;
    f32 Dist, Speed;
    bool Holds;
  };
  const TCase cases[] = {
      {"1.25 m, closing at 2.6 m/s", 1.25f, 2.6f, true},
      {"1.25 m, closing at 2.4 m/s", 1.25f, 2.4f, false},
      {"1.38 m, closing at 10 m/s", 1.38f, 10.0f, false},
      {"1.19 m, standing", 1.19f, 0.0f, true},
  };
  for (const TCase& c : cases) {
    SetUp();
    const TPlayer& D = Chaser(c.Dist, c.Speed);
    const TPlayer& T = Attacker(kTarget);
    Step();
    EXPECT_EQ(D.governedby, c.Holds ? kTarget : 0) << c.what;
    if (!c.Holds) {
      EXPECT_EQ(T.GettingTackledTimer, 0.0f) << c.what;
      continue;
    }
    EXPECT_TRUE(T.GettingTackledKind == 6.0f || T.GettingTackledKind == 7.0f) << c.what << ": held and falling";
    EXPECT_GE(T.GettingTackledTimer, 0.45f) << c.what;
    EXPECT_LE(T.GettingTackledTimer, 0.55f) << c.what;
    EXPECT_TRUE(D.TackleAttemptKind == 5.0f || D.TackleAttemptKind == 6.0f) << c.what;
    EXPECT_EQ(D.TackleAttemptTimer, T.GettingTackledTimer) << c.what;
  }
}

TEST_F(FreeBallHoldsTest, AHundredKiloDefenderAtEightMetresASecondOnAStandingTargetIsCappedAtThree) {
  TPlayer& D = Chaser(1.0f, 8.0f);
  D.Weight = 100.0f;
  Step();
  const TPlayer& T = Attacker(kTarget);
  EXPECT_EQ(T.ImpactSpeed, 3.0f);
  EXPECT_EQ(T.GettingTackledSpeed, 3.0f);
  EXPECT_EQ(T.ImpactMass, 190.0f);
  EXPECT_EQ(T.GettingTackledKind, 6.0f) << "pushed along his facing: he falls forward";
  EXPECT_TRUE(Posted().empty());
}

TEST_F(FreeBallHoldsTest, ADiveMissesOnlyPastHalfOfItsAnimation) {
  for (const f32 frame : {500.0f, 501.0f}) {
    SetUp();
    TPlayer& D = Chaser(5.0f, 0.0f);
    D.TackleAttemptTimer = 1.0f;
    D.currentAnim.Assign("divetacklefallforward");
    D.maxframes = 1000.0f;
    D.currentframe = frame;
    Step();
    const bool missed = frame > 500.0f;
    EXPECT_EQ(D.TackleAttemptKind, missed ? 3.0f : 0.0f) << frame;
    EXPECT_EQ(D.target, missed ? 0 : kTarget) << frame;
    EXPECT_EQ(Attacker(kTarget).numtargetting, missed ? 0 : 1) << frame;
    EXPECT_TRUE(Posted().empty()) << "no carrier, no messages";
  }
}

TEST_F(FreeBallHoldsTest, NoHoldOnceACatchHasEndedTheFreeBall) {
  Chaser(1.0f, 0.0f);
  Catching(Attacker(3), 10.0f, 20.0f).CleanCatchProb = 1000;
  W.Teams[1].KickReturnOption = 1;
  W.BallPos = {10.0f, 1.0f, 20.1f};
  W.PrevBallPos = W.BallPos;
  Step();
  ASSERT_EQ(W.gamestate, gsRunning);
  EXPECT_EQ(Defender(kHolder).governedby, 0);
}

}  // namespace

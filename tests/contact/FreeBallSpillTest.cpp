// Free-ball spills, loose-ball kicks on and deflections: the relaunch, the
// knock-on bounds and its newness, the kick's speed, the draw between two
// touchers and the touch flags.
#include "contact/FreeBallSpill.h"

#include <cmath>
#include <string>

#include "AllocationCounter.h"
#include "RunningScene.h"
#include "core/Advantage.h"
#include "core/DrawCount.h"
#include "core/KickSolving.h"

namespace {

using namespace running_scene;

constexpr int kBack = 12;
constexpr int kChaser = 13;  // block 2

// A free ball 1 m up at the centre spot moving forward at 5 m/s; the
// deflection errors leave its speed and direction as they are.
class FreeBallSpillTest : public RunningSceneTest {
 protected:
  void SetUp() override {
    RunningSceneTest::SetUp();
    LooseBallScene();
    W.BallPos = {0.0f, 1.0f, 0.0f};
    W.BallPhase = 7;
    W.BallFlightClock = 0.3f;
    W.FreeBallPointsTimer = 0.5f;
    W.FlightVel[7] = {0.0f, 0.0f, 5.0f};
    SetDistribution(W.HeadDistributions[1], 1.0, 0.0, 1.0, 1.0);
    SetDistribution(W.HeadDistributions[2], 0.0, 0.0, 0.0, 0.0);
    SetDistribution(W.HeadDistributions[3], 0.0, 0.0, 0.0, 0.0);
  }

  // P, of block Block, fails to hold the ball at (x, z) facing heading h.
  static TPlayer& Spiller(int Block, int p, f32 x, f32 z, f32 h) {
    TPlayer& P = W.Teams[Block].Players[p];
    Place(P, x, z);
    P.freeballcatchtimer = 1.0f;
    P.FreeBallCatchKind = 2.0f;
    P.FreeBallCatchFacing = h;
    W.FreeBallCatcher[Block] = p;
    return P;
  }

  // P, of block Block, struck by the ball at (x, z), in a catch action or not.
  static TPlayer& Toucher(int Block, int p, f32 x, f32 z, bool InAction) {
    TPlayer& P = W.Teams[Block].Players[p];
    Place(P, x, z);
    P.freeballcatchtimer = InAction ? 1.0f : 0.0f;
    P.FreeBallCatchKind = 1.0f;
    W.FreeBallToucher[Block] = p;
    return P;
  }

  // The draws of one relaunch with the deflection errors.
  static int LaunchDraws() {
    const u32 before = RandSeed;
    Arr1<TDistribution, 6> d = W.HeadDistributions;
    VelocityToLaunchWithError(d[1], d[2], d[3], 0.0f, 0.0f, 5.0f);
    const int n = DrawsSince(before);
    RandSeed = before;
    return n;
  }

  static f32 LaunchHeading(const TWorld& w) {
    return HeadingToPoint(0.0f, 0.0f, w.FlightVel[1].x, w.FlightVel[1].z, 90.0f);
  }
};

TEST_F(FreeBallSpillTest, ASpillRelaunchesTheBallAtFiveMetresASecondAlongTheCatchersFacing) {
  W.FreeBallToucher[2] = 4;
  W.BounceOffPending = kTrue32;
  W.BlocksSwapped = kFalse32;
  Spiller(1, kBack, 0.0f, 0.0f, 200.0f);  // backwards: no knock-on
  SpillFreeBall(W, 1);
  EXPECT_EQ(W.BallPhase, 1);
  EXPECT_EQ(W.BallFlightClock, 0.0f);
  EXPECT_EQ(W.FreeBallPointsTimer, 0.0f);
  EXPECT_FLOAT_EQ(W.FlightSpeed[1], 5.0f);
  EXPECT_NEAR(W.FlightVel[1].y, 0.0f, 1e-6);
  EXPECT_NEAR(LaunchHeading(W), 200.0f, 1e-3);
  EXPECT_FLOAT_EQ(Attacker(kBack).BallTouchLockTimer, 0.4f);
  EXPECT_EQ(W.BlocksSwapped, kTrue32);
  EXPECT_EQ(W.FreeBallToucher[2], 0);
  EXPECT_EQ(W.BounceOffPending, kFalse32);
  EXPECT_EQ(Entries(), 0);
}

TEST_F(FreeBallSpillTest, OnlyAHeadingStrictlyForwardInsideTheFieldIsAKnockOn) {
  struct Case {
    int block;
    f32 heading;  // degrees
    f32 x, z;     // of the catcher, m
    bool knockOn;
  };
  const Case cases[] = {
      {1, 5.0f, 0, 0, false},   {1, 175.0f, 0, 0, false}, {1, 90.0f, 0, 0, true},
      {1, 5.5f, 0, 0, true},    {1, 365.5f, 0, 0, true},  {1, 270.0f, 0, 0, false},
      {1, 90.0f, 34.81f, 0, false},  // less than 0.2 m inside touch
      {1, 90.0f, 34.7f, 0, true},
      {1, 90.0f, 0, 59.81f, false},  // less than 0.2 m inside the dead-ball line
      {2, 185.0f, 0, 0, false}, {2, 355.0f, 0, 0, false}, {2, 270.0f, 0, 0, true},
      {2, 90.0f, 0, 0, false},
  };
  for (const Case& c : cases) {
    SetUp();
    Spiller(c.block, c.block == 1 ? kBack : kChaser, c.x, c.z, c.heading);
    SpillFreeBall(W, c.block);
    const std::string what = "block " + std::to_string(c.block) + " heading " + std::to_string(c.heading) +
                             " at " + std::to_string(c.x) + ", " + std::to_string(c.z);
    EXPECT_EQ(Entries(), c.knockOn ? 1 : 0) << what;
    if (!c.knockOn) continue;
    const TInfringement& e = W.Infringements[1];
    EXPECT_EQ(e.Kind, kKnockOn) << what;
    EXPECT_EQ(e.Player, c.block == 1 ? kBack : kChaser) << what;
    const TPosted msg{10 * c.block, 100 * c.block + (c.block == 1 ? kBack : kChaser), msgHandlingError, 0.0f};
    EXPECT_EQ(Posted(), std::vector<TPosted>{msg}) << what;
    EXPECT_GT(W.AdvantageTimer, 0.0f) << what;
  }
}

TEST_F(FreeBallSpillTest, ASecondSpillByTheSamePlayerAtTheSameSpotEntersNothing) {
  Spiller(1, kBack, 0.0f, 0.0f, 90.0f);
  SpillFreeBall(W, 1);
  ASSERT_EQ(Entries(), 1);
  W.BallPos = {0.0f, 1.0f, 0.0f};
  SpillFreeBall(W, 1);
  EXPECT_EQ(Entries(), 1);
  EXPECT_EQ(Posted().size(), 1u);
  EXPECT_EQ(W.BallPhase, 1);  // relaunched all the same
}

TEST_F(FreeBallSpillTest, ABlock2SpillMarksBlock1AsNotLastToPlayUnlessTheBallIsInTouch) {
  Spiller(2, kChaser, 0.0f, 0.0f, 90.0f);
  W.BlocksSwapped = kTrue32;
  SpillFreeBall(W, 2);
  EXPECT_EQ(W.BlocksSwapped, kFalse32);
  SetUp();
  Spiller(2, kChaser, 0.0f, 0.0f, 90.0f);
  W.BlocksSwapped = kTrue32;
  W.KickTouchFlag2 = kTrue32;
  SpillFreeBall(W, 2);
  EXPECT_EQ(W.BlocksSwapped, kTrue32);
}

TEST_F(FreeBallSpillTest, AKickOnLeavesAtHalfTheDistancePlusTwelveOrTheRunnersSpeed) {
  struct Case {
    const char* what;
    f32 x;            // of the kicker, m
    f32 angle;        // FreeBallCatchAngle, degrees
    bool mateAhead;   // a team-mate 22 m ahead makes 22 m the best distance
    f32 runSpeed;     // FreeBallCatchSpeed, m/s
    f32 speed;        // of the launch, m/s
  };
  const Case cases[] = {
      {"7 m chosen (12 m is in touch): at least 10.5", 25.0f, 180.0f, false, 9.0f, 10.5f},
      {"22 m chosen", 0.0f, 90.0f, true, 9.0f, 17.0f},
      {"7 m, running at 10.4 of 11: his speed + 0.25", 25.0f, 180.0f, false, 10.4f, 10.65f},
  };
  for (const Case& c : cases) {
    SetUp();
    for (int b = 1; b <= 2; ++b) {
      for (int p = 1; p <= 25; ++p) W.Teams[b].Players[p].maxspeed = 0.0f;
    }
    TPlayer& K = Spiller(1, kBack, c.x, 0.0f, 0.0f);
    K.FreeBallCatchKind = 8.0f;
    K.FreeBallCatchAngle = c.angle;
    K.FreeBallCatchSpeed = c.runSpeed;
    K.maxspeed = c.runSpeed < 10.0f ? 9.5f : 11.0f;
    if (c.mateAhead) {
      Place(Attacker(3), 0.0f, 22.0f);
      Attacker(3).maxspeed = 8.0f;
    }
    World = W;  // the distance ahead is chosen on the match world
    SpillFreeBall(World, 1);
    EXPECT_NEAR(World.FlightSpeed[1], c.speed, 1e-5) << c.what;
    EXPECT_NEAR(World.FlightVel[1].y / World.FlightSpeed[1], std::sin(10.0 * kDegToRad), 1e-5) << c.what;
    EXPECT_NEAR(LaunchHeading(World), c.angle, 1e-3) << c.what;
    EXPECT_FLOAT_EQ(World.BounceErrors[1].mean, 0.75f) << c.what;
    EXPECT_FLOAT_EQ(World.BounceErrors[2].max, 7.5f) << c.what;
    EXPECT_FLOAT_EQ(World.BounceErrors[3].min, -30.0f) << c.what;
    EXPECT_EQ(World.BounceErrors[3].useMax, kTrue32) << c.what;
    EXPECT_EQ(World.Infringements[1].Kind, 0) << c.what;  // a kick on is never a knock-on
  }
  World = TWorld{};
}

TEST_F(FreeBallSpillTest, ADeflectionRelaunchesAlongTheFlightAndJudgesATouchInACatchAction) {
  W.BounceOffPending = kTrue32;
  Toucher(1, kBack, 0.0f, 0.0f, true);
  Toucher(2, kChaser, 1.0f, 0.0f, false);
  const int draws = LaunchDraws();
  const u32 before = RandSeed;
  DeflectFreeBall(W);
  EXPECT_EQ(DrawsSince(before), draws);  // the launch errors only
  EXPECT_EQ(W.BallPhase, 1);
  EXPECT_FLOAT_EQ(W.FlightSpeed[1], 5.0f);
  EXPECT_NEAR(LaunchHeading(W), 90.0f, 1e-3);
  EXPECT_EQ(W.BounceOffPending, kFalse32);
  EXPECT_FLOAT_EQ(Attacker(kBack).BallTouchLockTimer, 0.2f);
  EXPECT_FLOAT_EQ(Defender(kChaser).BallTouchLockTimer, 0.2f);
  EXPECT_EQ(W.BlocksSwapped, kTrue32);
  EXPECT_EQ(Entries(), 1);  // block 1's forward touch; block 2 was in no catch action
  EXPECT_EQ(W.Infringements[1].Player, kBack);
  EXPECT_EQ(W.FreeBallToucher[1], 0);
  EXPECT_EQ(W.FreeBallToucher[2], 0);

  SetUp();  // a loose-ball kick on is no knock-on
  Toucher(1, kBack, 0.0f, 0.0f, true).FreeBallCatchKind = 8.0f;
  DeflectFreeBall(W);
  EXPECT_EQ(Entries(), 0);
  EXPECT_EQ(W.BlocksSwapped, kTrue32);
}

TEST_F(FreeBallSpillTest, OfTwoTouchersInCatchActionsADrawKeepsOne) {
  bool seen[2] = {false, false};
  for (u32 seed : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u, 9u, 10u}) {
    SetUp();
    RandSeed = seed;
    Toucher(1, kBack, 0.0f, 0.0f, true);
    Toucher(2, kChaser, 0.0f, 1.0f, true);
    W.FlightVel[7] = {0.0f, 0.0f, -5.0f};  // heading 270: forward for block 2 only
    W.BlocksSwapped = kTrue32;
    const int draws = LaunchDraws();
    const u32 before = RandSeed;
    DeflectFreeBall(W);
    ASSERT_EQ(DrawsSince(before), draws + 1);
    const u32 after = RandSeed;
    RandSeed = StepBack(after);
    const bool keepBlock1 = RandomRange(1, 1001) >= 500;
    RandSeed = after;
    seen[keepBlock1 ? 1 : 0] = true;
    EXPECT_EQ(W.BlocksSwapped, keepBlock1 ? kTrue32 : kFalse32) << seed;
    EXPECT_EQ(Entries(), keepBlock1 ? 0 : 1) << seed;
    if (!keepBlock1) {
      EXPECT_EQ(W.Infringements[1].Player, kChaser) << seed;
    }
  }
  EXPECT_TRUE(seen[0] && seen[1]);
}

TEST_F(FreeBallSpillTest, ATouchSetsTheTouchFlagsOnlyWhileTheBallIsNotInTouch) {
  struct Case {
    const char* what;
    f32 x;  // of the toucher, m
    bool ballInTouch;
    bool touchedInTouch, playedInField;
  };
  const Case cases[] = {
      {"in touch", 35.0f, false, true, false},
      {"in the field", 34.9f, false, false, true},
      {"in touch, the ball already in touch", 35.0f, true, false, false},
      {"in the field, the ball already in touch", 10.0f, true, false, false},
  };
  for (const Case& c : cases) {
    SetUp();
    W.KickTouchFlag2 = c.ballInTouch ? kTrue32 : kFalse32;
    Toucher(1, kBack, c.x, 0.0f, true);
    W.FlightVel[7] = {0.0f, 0.0f, -5.0f};
    DeflectFreeBall(W);
    EXPECT_EQ(W.KickTouchFlag1 != 0, c.touchedInTouch) << c.what;
    EXPECT_EQ(W.BallBouncedInField != 0, c.playedInField) << c.what;
    EXPECT_EQ(W.BlocksSwapped != 0, !c.ballInTouch) << c.what;
  }
}

TEST_F(FreeBallSpillTest, NoTouchOrAnIndexOutsideTheTeamDeflectsNothing) {
  for (i32 t : {0, 26, -1}) {
    SetUp();
    W.FreeBallToucher[1] = t;
    W.FreeBallToucher[2] = t == 0 ? 0 : 99;
    const u32 before = RandSeed;
    DeflectFreeBall(W);
    EXPECT_EQ(W.BallPhase, 7) << t;
    EXPECT_EQ(DrawsSince(before), 0) << t;
    EXPECT_EQ(W.FreeBallToucher[1], 0) << t;
  }
}

TEST_F(FreeBallSpillTest, TheContactStepSpillsAFailedCatchWithoutAllocating) {
  TPlayer& P = Spiller(1, kBack, 0.2f, 0.0f, 90.0f);  // a standing low catch, hands meeting the ball
  W.FreeBallCatcher[1] = 0;
  P.CleanCatchProb = 0;
  P.FreeBallCatchRecoverFraction = 0.5f;
  P.currentframe = 500.0f;
  P.maxframes = 1000.0f;
  Place(Defender(kChaser), 2.0f, 0.0f);  // too near for the save
  W.PrevBallPos = {0.0f, 1.1f, 0.0f};
  StartCountingAllocations();
  RunFrameStep({"FreeBallContact", FreeBallContact}, W);
  EXPECT_EQ(StopCountingAllocations(), 0);
  EXPECT_EQ(W.gamestate, gsFreeBall);
  EXPECT_EQ(W.BallPhase, 1);
  EXPECT_FLOAT_EQ(P.BallTouchLockTimer, 0.4f);
  EXPECT_FLOAT_EQ(W.FlightSpeed[1], 5.0f);
  EXPECT_EQ(Entries(), 1);
}

}  // namespace

// The kick release of the timer step: countdown, release flags, start
// points and messages, kicking errors, the tackled kicker, the spill and the
// launch into "freeball".
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "MotionScene.h"
#include "core/DrawCount.h"
#include "core/Geometry.h"
#include "motion/DelayPlayersUnit.h"
#include "motion/FreeBallFlight.h"
#include "motion/KickRelease.h"
#include "platform/Form.h"

namespace {

constexpr int kKicker = 10;

class KickReleaseTest : public MotionSceneTest {
 protected:
  void SetUp() override {
    MotionSceneTest::SetUp();
    TWorld& W = MotionWorld;
    W.LiveWorld = kTrue32;
    W.clock = 600.0f;
    for (int k = 1; k <= 10; ++k) W.MessageSlotFree[k] = kTrue32;
    for (int b = 1; b <= 2; ++b) {
      W.Teams[b].teamid = 10 * b;
      for (int p = 1; p <= 25; ++p) W.Teams[b].Players[p].id = 100 * b + p;
    }
    TTeamBlock& A = W.Teams[1];
    A.BallCarrier = kKicker;
    A.KickTimeLeft = 0.03f;
    A.KickSpeed = 20.0f;
    A.KickElevation = 35.0f;
    A.KickHeading = 90.0f;
    TPlayer& K = Att(kKicker);
    PlaceAt(K, 0.0f, -10.0f);
    K.KickKind = 1.0f;
    K.KickFacing = 90.0f;
    K.KickTimer = 1.0f;
    K.MetresRun = 12.5f;
    K.kickAccuracySDDir = 3.0f;
    K.kickAccuracySDLaunch = 2.0f;
    W.BallPos = {0.0f, 1.0f, -10.0f};
    Form1.Memo2.Clear();
  }
  static std::vector<int> Codes() {
    std::vector<int> v;
    for (int k = 1; k <= 10; ++k)
      if (MotionWorld.MessageSlotFree[k] == 0) v.push_back(MotionWorld.MessageQueue[k].message);
    return v;
  }
};

TEST_F(KickReleaseTest, TheBallLeavesOnTheFrameTheCountdownReachesZero) {
  TWorld& W = MotionWorld;
  RunStep(ReleaseKick);
  EXPECT_EQ(W.gamestate, gsFreeBall);
  EXPECT_EQ(W.Teams[1].BallCarrier, 0);
  EXPECT_EQ(W.Teams[1].BallKicker, kKicker);
  EXPECT_EQ(W.LastPasser, kKicker);
  EXPECT_EQ(W.BallPhase, 1);
  EXPECT_GT(W.FlightSegments, 10) << "the kick's flight is in the world's table";
  EXPECT_EQ(W.FlightPos[1].y, W.Teams[1].KickStartPos.y);

  SetUp();
  W.Teams[1].KickTimeLeft = 0.05f;
  RunStep(ReleaseKick);
  EXPECT_EQ(W.gamestate, gsRunning);
  EXPECT_EQ(W.Teams[1].KickTimeLeft, StepDown(0.05f));
  RunStep(ReleaseKick);
  EXPECT_EQ(W.gamestate, gsFreeBall);
}

TEST_F(KickReleaseTest, NoCountdownAndNoSpillLeavesTheWorldAlone) {
  TWorld& W = MotionWorld;
  W.Teams[1].KickTimeLeft = 0.0f;
  const u32 seed = RandSeed;
  RunStep(ReleaseKick);
  EXPECT_EQ(W.gamestate, gsRunning);
  EXPECT_EQ(W.Teams[1].KickTimeLeft, 0.0f);
  EXPECT_EQ(RandSeed, seed);
}

TEST_F(KickReleaseTest, OwnTwentyTwoByTheKickersDepth) {
  struct Case {
    f32 z;
    bool carriedBack, own22;
  } cases[] = {{-28.0f, false, false}, {-28.01f, false, true}, {-28.01f, true, false}, {-40.0f, false, true}};
  for (const Case& c : cases) {
    SetUp();
    PlaceAt(Att(kKicker), 0.0f, c.z);
    MotionWorld.Teams[1].CarriedIntoOwn22 = Flag(c.carriedBack);
    RunStep(ReleaseKick);
    EXPECT_EQ(MotionWorld.KickedFromOwn22 != 0, c.own22) << c.z << " " << c.carriedBack;
  }
}

TEST_F(KickReleaseTest, MessagesByKindAndScore) {
  struct Case {
    const char* what;
    TGameState state;
    f32 kind;
    i32 restart, trailBy;
    std::vector<int> codes;
  } cases[] = {
      {"drop goal trailing by 3", gsRunning, 5, 0, 3, {70, 6, 69, 0, 43}},
      {"drop goal level", gsRunning, 5, 0, 0, {70, 6, 69, 0, 43}},
      {"drop goal trailing by 4", gsRunning, 5, 0, 4, {70, 6, 0, 43}},
      {"drop goal leading", gsRunning, 5, 0, -1, {70, 6, 0, 43}},
      {"punt", gsRunning, 1, 0, 0, {70, 3, 0, 43}},
      {"kind 7", gsRunning, 7, 0, 0, {70, 0, 43}},
      {"penalty goal trailing by 3", gsKickRestartSet, 6, 8, 3, {70, 4, 69}},
      {"conversion trailing by 3", gsKickRestartSet, 6, 9, 3, {70, 8}},
      {"conversion trailing by 2", gsKickRestartSet, 6, 9, 2, {70, 8, 69}},
      {"kind 6 restart not at goal", gsKickRestartSet, 6, 4, 0, {70}},
  };
  for (const Case& c : cases) {
    SetUp();
    TWorld& W = MotionWorld;
    W.gamestate = c.state;
    Att(kKicker).KickKind = c.kind;
    W.Teams[1].RestartType = c.restart;
    W.Teams[1].KickerIndex = kKicker;
    W.Teams[1].score = 10;
    W.Teams[2].score = 10 + c.trailBy;
    RunStep(ReleaseKick);
    EXPECT_EQ(Codes(), c.codes) << c.what;
    EXPECT_EQ(W.MessageQueue[1].extravalue, c.kind) << c.what;
    EXPECT_EQ(W.MessageQueue[1].teamID, 10);
    EXPECT_EQ(W.MessageQueue[1].playerID, 100 + kKicker);
  }
}

TEST_F(KickReleaseTest, StartPointByKind) {
  struct Case {
    f32 kind, d, h;
  } cases[] = {{1, 0.85f, 0.5f}, {4, 0.75f, 0.55f}, {6, 0.55f, 0.25f}, {8, 0.85f, 0.5f}};
  for (const Case& c : cases) {
    SetUp();
    Att(kKicker).KickKind = c.kind;
    Att(kKicker).KickFacing = 80.0f;
    RunStep(ReleaseKick);
    const TVector3& s = MotionWorld.Teams[1].KickStartPos;
    EXPECT_NEAR(s.x, -std::cos(90.0 * kDegToRad) * c.d, 1e-6) << c.kind;
    EXPECT_NEAR(s.z, -10.0 + c.d, 1e-6) << c.kind;
    EXPECT_EQ(s.y, c.h);
  }
  SetUp();
  Att(kKicker).KickKind = 9.0f;  // no row: the first start point stays
  Att(kKicker).KickFacing = 90.0f;
  RunStep(ReleaseKick);
  EXPECT_NEAR(MotionWorld.Teams[1].KickStartPos.z, -9.45, 1e-6);
  EXPECT_EQ(MotionWorld.Teams[1].KickStartPos.y, 0.3f);
}

TEST_F(KickReleaseTest, BoxKickLineInTheMatchWorldOnly) {
  EXPECT_EQ(BoxKickLine(725.0f), "box kick 12:5");
  EXPECT_EQ(BoxKickLine(150.0f), "box kick 2:30");
  EXPECT_EQ(BoxKickLine(59.9f), "box kick 0:60") << "seconds rounded, minutes not carried";
  MotionWorld.clock = 725.0f;
  Att(kKicker).KickKind = 8.0f;
  RunStep(ReleaseKick);
  ASSERT_EQ(Form1.Memo2.Count(), 1u);
  EXPECT_EQ(Form1.Memo2.Lines[0], "box kick 12:5");

  SetUp();
  MotionWorld.LiveWorld = kFalse32;
  Att(kKicker).KickKind = 8.0f;
  RunStep(ReleaseKick);
  EXPECT_EQ(Form1.Memo2.Count(), 0u);
}

TEST_F(KickReleaseTest, TheLookAheadDrawsNoKickingErrors) {
  TWorld& W = MotionWorld;
  W.LiveWorld = kFalse32;
  u32 seed = RandSeed;
  RunStep(ReleaseKick);
  EXPECT_EQ(DrawsSince(seed), 30) << "only the 2 x 15 high-catch draws";
  EXPECT_EQ(W.Teams[1].KickSpeedError, 0.0f);
  EXPECT_EQ(W.Teams[1].KickSpeed, 20.0f);

  SetUp();
  seed = RandSeed;
  RunStep(ReleaseKick);
  EXPECT_GT(DrawsSince(seed), 30);
  EXPECT_NE(W.Teams[1].KickHeadingError, 0.0f);
  EXPECT_EQ(W.Teams[1].KickHeading, ToF32(90.0 + W.Teams[1].KickHeadingError));
}

TEST_F(KickReleaseTest, GoalKickErrorsWidenForLongKicksAndARangeOfZeroIsLong) {
  TWorld& W = MotionWorld;
  TPlayer& K = Att(kKicker);
  K.GoalKickDeviation0 = 0.8f;
  K.GoalKickDeviation1 = 2.0f;
  K.GoalKickDeviation2 = 4.0f;
  W.KickType = kKickTypePenaltyGoal;
  struct Case {
    f32 range;
    int minDraws, maxDraws;
  } cases[] = {{1000.0f, 3, 4}, {10.0f, 5, 6}, {0.0f, 5, 6}, {-5.0f, 5, 6}};
  for (const Case& c : cases) {
    K.GoalKickRange = c.range;
    W.Teams[1].KickSpeed = 20.0f;
    ClearFloatFlags();
    const u32 seed = RandSeed;
    AddKickingErrors(W, K);
    EXPECT_FALSE(FloatErrorRaised()) << c.range;
    const int n = DrawsSince(seed);
    EXPECT_GE(n, c.minDraws) << c.range;
    EXPECT_LE(n, c.maxDraws) << c.range;
    const f32 e = W.Teams[1].KickSpeedError;
    EXPECT_TRUE(e == 0.8f || e == 0.4f || e == 0.2f) << e;
    EXPECT_LE(std::fabs(W.Teams[1].KickElevationError), 3.0f);
  }
  W.KickType = kKickTypePlay;
  K.KickKind = 7.0f;
  const u32 seed = RandSeed;
  AddKickingErrors(W, K);
  EXPECT_EQ(DrawsSince(seed), 0) << "kind 7 in general play has no errors";
}

// The kicker held by two tacklers as the ball goes.
class TackledKickerTest : public KickReleaseTest {
 protected:
  void Hold(f32 TackleHeading, f32 Facing) {
    TWorld& W = MotionWorld;
    TPlayer& K = Att(kKicker);
    K.GettingTackledTimer = 1.0f;
    K.numgoverning = 3;
    K.GettingTackledFacing = Facing;
    for (int k = 1; k <= 8; ++k) K.Footprint[k] = {static_cast<f32>(k), -10.0f};
    W.Teams[2].TackleSpeed = 5.0f;
    W.Teams[2].TackleHeading = TackleHeading;
    W.Teams[2].TackleMass = 190.0f;
  }
  static void Tackler(int i, int Point) {
    TPlayer& D = Def(i);
    D.TackleAttemptTimer = 0.5f;
    D.governedby = kKicker;
    D.ContactPoint = Point;
  }
};

TEST_F(TackledKickerTest, TheMomentumIsCutAndTheCarrierFallsByHisFacing) {
  Hold(90.0f, 90.0f);
  RunStep(ReleaseKick);
  const TPlayer& K = Att(kKicker);
  EXPECT_EQ(MotionWorld.Teams[2].TackleSpeed, 3.0f);
  EXPECT_EQ(K.ImpactSpeed, 3.0f);
  EXPECT_EQ(K.GettingTackledSpeed, 3.0f);
  EXPECT_EQ(K.GettingTackledKind, 6.0f);
  EXPECT_EQ(MotionWorld.Teams[2].CarrierFallsForward, kTrue32);
  EXPECT_GE(K.GettingTackledTimer, 0.45f);
  EXPECT_LE(K.GettingTackledTimer, 0.55f);
  EXPECT_GE(K.GroundTime, 0.3f);
  EXPECT_EQ(K.KickTimer, 0.0f);

  SetUp();
  Hold(90.0f, 270.0f);
  RunStep(ReleaseKick);
  EXPECT_EQ(Att(kKicker).GettingTackledKind, 7.0f);
  EXPECT_EQ(Att(kKicker).GettingTackledFacing, 270.0f);
  EXPECT_EQ(MotionWorld.Teams[2].CarrierFallsForward, kFalse32);
}

TEST_F(TackledKickerTest, ImpactSlotsDoNotWrap) {
  struct Case {
    f32 heading;
    int slot;
    std::vector<int> free;
  } cases[] = {{315.0f, 8, {7, 8}}, {0.0f, 1, {1, 2}}, {90.0f, 3, {2, 3, 4}}};
  for (const Case& c : cases) {
    SetUp();
    Hold(c.heading, c.heading);
    RunStep(ReleaseKick);
    const TTeamBlock& B = MotionWorld.Teams[2];
    EXPECT_EQ(B.ImpactSlot, c.slot);
    std::vector<int> open;
    for (int k = 1; k <= 8; ++k) {
      if (B.ImpactSlotFree[k] == 0) open.push_back(k);
      else EXPECT_EQ(B.ImpactSlotFree[k], -1);
    }
    EXPECT_EQ(open, c.free) << c.heading;
  }
}

TEST_F(TackledKickerTest, TacklersFallWithHimByTheirPoint) {
  Hold(90.0f, 90.0f);  // impact slot 3
  Tackler(1, 3);       // at the impact
  Tackler(2, 6);       // away from it
  Tackler(3, 0);       // no point: away, keeps his DesiredPos
  Def(3).DesiredPos = {9.0f, 0.0f, 9.0f};
  Def(4).TackleAttemptTimer = 0.5f;  // holds someone else
  Def(4).governedby = 3;
  Arr1<i32, 4>& slots = MotionWorld.CarrierContactSlots[3];
  slots[1] = 5;
  slots[3] = 7;
  slots[4] = 8;
  RunStep(ReleaseKick);
  EXPECT_EQ(slots[1], 0);
  EXPECT_EQ(slots[2], 5) << "shifted into the empty word";
  EXPECT_EQ(slots[3], 7) << "the fourth is taken: stays";
  const TPlayer& K = Att(kKicker);
  EXPECT_EQ(Def(1).TackleAttemptKind, 6.0f);
  EXPECT_EQ(Def(1).TackleAttemptAngle, 270.0f);
  EXPECT_TRUE(Def(1).currentAnim == "divetacklefallback");
  EXPECT_GT(Def(1).GroundTime, K.GroundTime);
  EXPECT_EQ(Def(1).DesiredPos.x, 3.0f);
  EXPECT_EQ(Def(2).TackleAttemptKind, 5.0f);
  EXPECT_EQ(Def(2).TackleAttemptAngle, 90.0f);
  EXPECT_LT(Def(2).GroundTime, K.GroundTime);
  EXPECT_GE(Def(2).GroundTime, 0.05f);
  EXPECT_EQ(Def(2).DesiredPos.x, 6.0f);
  EXPECT_EQ(Def(3).TackleAttemptKind, 5.0f);
  EXPECT_EQ(Def(3).DesiredPos.x, 9.0f);
  for (int i = 1; i <= 3; ++i) {
    EXPECT_EQ(Def(i).TackleAttemptTimer, K.GettingTackledTimer);
    EXPECT_EQ(Def(i).TackleAttemptSpeed, 3.0f);
  }
  EXPECT_EQ(Def(4).TackleAttemptKind, 0.0f);
}

TEST_F(KickReleaseTest, ASpillGoesAtOnceWithoutErrorsAndBansContact) {
  TWorld& W = MotionWorld;
  W.Teams[1].KickTimeLeft = 0.0f;
  W.BallJolted = kTrue32;
  Att(kKicker).ImpactAngle = 200.0f;  // backward: no knock-on
  Def(3).TackleAttemptTimer = 0.3f;
  RunStep(ReleaseKick);
  EXPECT_EQ(W.gamestate, gsFreeBall);
  EXPECT_EQ(W.SpillPending, kFalse32);
  EXPECT_EQ(W.BallJolted, kFalse32);
  EXPECT_EQ(W.Teams[1].KickSpeedError, 0.0f);
  EXPECT_GE(W.Teams[1].KickSpeed, 7.0f);
  EXPECT_LE(W.Teams[1].KickSpeed, 9.9f);
  EXPECT_EQ(W.Teams[1].KickStartPos.y, 1.0f) << "from the ball";
  EXPECT_EQ(Att(kKicker).ContactDelayTimer, 0.75f);
  EXPECT_EQ(Def(3).ContactDelayTimer, 0.4f);
  EXPECT_EQ(Def(4).ContactDelayTimer, 0.0f);
  EXPECT_EQ(W.Infringements[1].Kind, 0);

  SetUp();
  Att(kKicker - 1).Pos = {3.0f, 0.0f, -10.0f};
  Att(kKicker - 2).Pos = {6.0f, 0.0f, -10.0f};
  RunStep(ReleaseKick);
  EXPECT_EQ(Att(kKicker).ContactDelayTimer, 0.4f);
  EXPECT_EQ(Att(kKicker - 1).ContactDelayTimer, 0.4f);
  EXPECT_EQ(Att(kKicker - 2).ContactDelayTimer, 0.0f);
}

TEST_F(KickReleaseTest, ASpillForwardIsAKnockOnOnceAtOnePlace) {
  TWorld& W = MotionWorld;
  // The heading draw (the third) gives 0: the heading is the ImpactAngle.
  const u32 seed = SeedWhere([] {
    RandomRange(70, 100);
    RandomRange(-10, 11);
    return RandomRange(-10, 11) == 0;
  });
  struct Case {
    f32 angle;
    bool knockOn;
  } cases[] = {{5.0f, false}, {175.0f, false}, {90.0f, true}, {5.5f, true}};
  for (const Case& c : cases) {
    SetUp();
    for (int k = 1; k <= 10; ++k) W.Infringements[k].Kind = 0;
    W.SpillPending = kTrue32;
    W.BallJolted = kTrue32;
    Att(kKicker).ImpactAngle = c.angle;
    RandSeed = seed;
    SpillBall(W, kKicker);
    EXPECT_EQ(W.Teams[1].KickHeading, c.angle);
    EXPECT_EQ(W.Infringements[1].Kind == 1, c.knockOn) << c.angle;
  }
  EXPECT_EQ(W.Infringements[1].Player, kKicker);
  EXPECT_EQ(W.AdvantageHoldTimer, 12.5f);
  EXPECT_EQ(W.AdvantageTimer, 2.5f);
  EXPECT_EQ(Codes(), (std::vector<int>{28}));

  W.SpillPending = kTrue32;
  W.BallJolted = kTrue32;
  RandSeed = seed;
  SpillBall(W, kKicker);
  EXPECT_EQ(W.InfringementIsNew, kFalse32);
  EXPECT_EQ(W.Infringements[2].Kind, 0) << "the same player at the same place: one incident";
}

TEST_F(KickReleaseTest, AKickLeavesTheFootAndFliesBouncesAndRollsToRest) {
  TWorld& W = MotionWorld;
  W.Gravity = 9.81f;
  W.GroundFriction = 1.06f;
  for (int k = 1; k <= 3; ++k) SetDistribution(W.BounceErrors[k], k == 1 ? 0.6 : 0.0, 0.1, k == 1 ? 0.3 : -20.0, k == 1 ? 0.9 : 20.0);
  W.Teams[1].KickSpeed = 18.0f;
  W.Teams[1].KickElevation = 40.0f;
  W.Teams[1].KickTimeLeft = 0.04f;
  ClearFloatFlags();
  DelayPlayers(W);
  ASSERT_EQ(W.gamestate, gsFreeBall) << "the ball leaves the foot in the timer step";
  int bounces = 0, frames = 0;
  for (; frames < 2000 && !(W.LooseBallRolling != 0 && W.LooseBallSpeed == 0.0f); ++frames) {
    const i32 before = W.BallPhase;
    W.PrevBallPos = W.BallPos;
    FlyFreeBall(W);
    if (W.BallPhase == 1 && before > 1 && W.LooseBallRolling == 0) ++bounces;
    ASSERT_TRUE(std::isfinite(W.BallPos.x) && std::isfinite(W.BallPos.z));
    ASSERT_GE(W.BallPos.y, -0.5f);
  }
  EXPECT_FALSE(FloatErrorRaised());
  EXPECT_GE(bounces, 1);
  EXPECT_EQ(W.LooseBallSpeed, 0.0f) << "at rest after " << frames << " frames";
  EXPECT_EQ(W.BallPos.y, 0.2f);
  EXPECT_GT(W.BallPos.z, 0.0f) << "a 40-degree kick goes well downfield";
  EXPECT_EQ(W.BallBouncedInField, kTrue32);
}

}  // namespace

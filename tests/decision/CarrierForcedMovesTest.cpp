#include "decision/CarrierForcedMoves.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "core/AuxState.h"
#include "decision/CarrierActionScene.h"

namespace {

using namespace carrier_scene;

constexpr u32 kSeed = 6502;

TWorld W;
TWorld Before;

TPlayer& C() { return Carrier(W); }
TActionEvent& E() { return Event(W); }

class CarrierForcedMovesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeScene(W, kSeed, 0);
    AuxState.TurnRate = 400.0f;
    C().Pos.z = 0.3f;  // the motion step's move, undone
  }
};

// ------------------------------------------------------------------ loose-ball take and forced run

TEST_F(CarrierForcedMovesTest, RunningTakesFollowTheEventStandingTakesKeepTheirFacing) {
  struct Case {
    f32 kind;
    bool seqOn;
    double heading;  // the line he takes
  } cases[] = {
      {1.0f, true, 100.0}, {3.0f, true, 100.0}, {2.0f, true, 60.0},
      {4.0f, true, 60.0},  {1.0f, false, 60.0},
  };
  for (const Case& c : cases) {
    SetUp();
    E().Angle = 100.0f;
    C().ActionSeq.seqON = c.seqOn ? kTrue32 : kFalse32;
    C().freeballcatchtimer = 0.5f;
    C().FreeBallCatchKind = c.kind;
    C().FreeBallCatchFacing = 60.0f;
    C().FreeBallCatchAngle = 60.0f;
    C().FreeBallCatchSpeed = 3.0f;
    C().speed = 5.0f;
    EXPECT_EQ(RunSection(ContinueLooseBallTake, W), 0);
    EXPECT_NEAR(FacingOf(C()), c.heading, 1e-4) << c.kind;
    EXPECT_EQ(C().FreeBallCatchAngle, static_cast<f32>(c.heading)) << c.kind;
    EXPECT_NEAR(MoveAlong(C(), c.heading).along, 3.0 * 0.04, 1e-6) << c.kind;
  }
}

TEST_F(CarrierForcedMovesTest, ATakeOnlySlowsTheCarrierToItsSpeed) {
  for (f32 speed : {5.0f, 2.0f}) {
    SetUp();
    C().freeballcatchtimer = 0.5f;
    C().FreeBallCatchKind = 2.0f;
    C().FreeBallCatchAngle = 90.0f;
    C().FreeBallCatchSpeed = 3.0f;
    C().speed = speed;
    RunSection(ContinueLooseBallTake, W);
    EXPECT_EQ(C().speed, std::min(speed, 3.0f));
  }
}

TEST_F(CarrierForcedMovesTest, AForcedRunMovesHimWithoutChangingHisSpeed) {
  C().ForcedRunTimer = 0.3f;
  C().ForcedRunAngle = 45.0f;
  C().ForcedRunFacing = 200.0f;
  C().ForcedRunSpeed = 6.0f;
  C().speed = 2.0f;
  EXPECT_EQ(RunSection(ContinueForcedRun, W), 0);
  EXPECT_EQ(C().speed, 2.0f);
  EXPECT_NEAR(FacingOf(C()), 200.0, 1e-4);
  const TMove m = MoveAlong(C(), 45.0);
  EXPECT_NEAR(m.along, 0.24, 1e-6);
  EXPECT_NEAR(m.across, 0.0, 1e-6);
}

TEST_F(CarrierForcedMovesTest, NoTimerLeavesTheWorldAlone) {
  std::memcpy(&Before, &W, sizeof W);
  RunSection(ContinueLooseBallTake, W);
  RunSection(ContinueForcedRun, W);
  EXPECT_EQ(std::memcmp(&Before, &W, sizeof W), 0);
}

// ------------------------------------------------------------------ sharp turn

// The carrier turned from up-field (90) to 45 degrees over the frame; every
// reaction time ran out long ago and draws exactly its mean.
void MakeTurnScene(double MateMean, double OppMean) {
  MakeScene(W, kSeed, 0);
  C().OldVelocity = {0.0f, 5.0f};
  C().Velocity = {-5.0f, 5.0f};
  W.PrevTimeStep = 0.04f;
  for (int i = 1; i <= 25; ++i) {
    TDistribution& m = W.Teams[1].Players[i].RunningAngleReactionTime;
    TDistribution& o = W.Teams[2].Players[i].DefensiveRunningAngleReactionTime;
    SetDistribution(m, MateMean, 0.0, 0.0, 5.0);
    SetDistribution(o, OppMean, 0.0, 0.0, 5.0);
    m.value = -1.0f;
    o.value = -1.0f;
  }
}

TEST_F(CarrierForcedMovesTest, ATurnOfExactly260DegreesPerSecondRedrawsNothing) {
  MakeTurnScene(0.5, 0.5);
  const f32 gap = HeadingDifference(90.0f, HeadingToPoint(0.0f, 0.0f, -5.0f, 5.0f, 90.0f));
  ASSERT_NEAR(gap, 45.0f, 1e-4);
  // The least f32 TimeStep at which the rate is not above 260 degrees per second.
  f32 dt = static_cast<f32>(gap / 260.0);
  while (gap / static_cast<double>(dt) > 260.0) dt = std::nextafter(dt, 1.0f);
  while (gap / static_cast<double>(std::nextafter(dt, 0.0f)) <= 260.0) dt = std::nextafter(dt, 0.0f);
  W.TimeStep = dt;
  std::memcpy(&Before, &W, sizeof W);
  EXPECT_EQ(RunSection(ReactToSharpTurn, W), 0);
  EXPECT_EQ(std::memcmp(&Before, &W, sizeof W), 0);

  W.TimeStep = std::nextafter(dt, 0.0f);
  // Fifteen team-mates and fifteen opponents, two draws each.
  EXPECT_EQ(RunSection(ReactToSharpTurn, W), 60);
  EXPECT_EQ(W.Teams[1].Players[16].RunningAngleReactionTime.value, -1.0f);
}

TEST_F(CarrierForcedMovesTest, RedrawsAreScaledByDistanceAndCapped) {
  struct Case {
    const char* what;
    int block;
    double x, z;  // m, the player (the carrier at the origin)
    double mean;  // s, his draw
    double expected;
  } cases[] = {
      {"team-mate 12 m across", 1, 12.0, -30.0, 0.5, 0.5 * 12.0 / 10.5},
      {"team-mate 12 m across, capped at 1.0 s", 1, -12.0, 0.0, 0.9, 1.0},
      {"team-mate 10.5 m across keeps his draw", 1, 10.5, -30.0, 0.5, 0.5},
      {"opponent 20 m away", 2, 0.0, 20.0, 0.5, 0.5 * 20.0 / 8.5},
      {"opponent 20 m away, capped at 2.5 s", 2, 0.0, 20.0, 1.2, 2.5},
      {"opponent 10 m away and 3 m across keeps his draw", 2, 3.0, std::sqrt(91.0), 0.5, 0.5},
      {"opponent 10 m away and 6 m across", 2, 6.0, 8.0, 0.5, 0.5 * 10.0 / 8.5},
      {"opponent 8 m away keeps his draw", 2, 8.0, 0.0, 0.5, 0.5},
  };
  for (const Case& c : cases) {
    MakeTurnScene(c.mean, c.mean);
    TPlayer& P = W.Teams[c.block].Players[3];
    PlaceAt(P, c.x, c.z);
    RunSection(ReactToSharpTurn, W);
    const f32 v = c.block == 1 ? P.RunningAngleReactionTime.value : P.DefensiveRunningAngleReactionTime.value;
    EXPECT_NEAR(v, c.expected, 1e-5) << c.what;
  }
}

TEST_F(CarrierForcedMovesTest, OnlyTimesRunOutAFrameAgoAreRedrawnAndNoTeamMateWhileHeCatches) {
  MakeTurnScene(0.5, 0.5);
  for (int b = 1; b <= 2; ++b) {
    PlaceAt(W.Teams[b].Players[3], 1.0, -2.0);
    PlaceAt(W.Teams[b].Players[4], -1.0, 2.0);
  }
  TPlayer& mate = W.Teams[1].Players[3];
  TPlayer& opp = W.Teams[2].Players[3];
  mate.RunningAngleReactionTime.value = -0.02f;  // ran out this frame
  opp.DefensiveRunningAngleReactionTime.value = 0.1f;
  W.Teams[1].Players[4].RunningAngleReactionTime.value = -0.04f;  // exactly a frame ago
  RunSection(ReactToSharpTurn, W);
  EXPECT_EQ(mate.RunningAngleReactionTime.value, -0.02f);
  EXPECT_EQ(opp.DefensiveRunningAngleReactionTime.value, 0.1f);
  EXPECT_EQ(W.Teams[1].Players[4].RunningAngleReactionTime.value, 0.5f);

  MakeTurnScene(0.5, 0.5);
  PlaceAt(W.Teams[2].Players[4], -1.0, 2.0);
  C().passcatchtimer = 0.2f;
  RunSection(ReactToSharpTurn, W);
  EXPECT_EQ(W.Teams[1].Players[4].RunningAngleReactionTime.value, -1.0f);
  EXPECT_EQ(W.Teams[2].Players[4].DefensiveRunningAngleReactionTime.value, 0.5f);
}

// ------------------------------------------------------------------ heading

TEST_F(CarrierForcedMovesTest, TheHeadingTurnsTowardsTheFacingAtTheTurnRate) {
  struct Case {
    const char* what;
    f32 heading, facing;  // degrees
    f32 expected;
    i32 right, left;      // the flags after (both set before)
  } cases[] = {
      {"a gap of 1 degree is left", 90.0f, 91.0f, 90.0f, kTrue32, kTrue32},
      {"16 degrees close in one frame, rising", 90.0f, 106.0f, 106.0f, kTrue32, kFalse32},
      {"16 degrees close in one frame, falling", 90.0f, 74.0f, 74.0f, kFalse32, kTrue32},
      {"20 degrees rising turn 16", 90.0f, 110.0f, 106.0f, kTrue32, kFalse32},
      {"20 degrees falling turn 16", 90.0f, 70.0f, 74.0f, kFalse32, kTrue32},
      {"8 degrees clear both flags", 90.0f, 98.0f, 98.0f, kFalse32, kFalse32},
      {"across 0, rising", 350.0f, 10.0f, 6.0f, kTrue32, kFalse32},
      {"across 0, falling", 10.0f, 350.0f, -6.0f, kFalse32, kTrue32},
  };
  for (const Case& c : cases) {
    SetUp();
    C().Heading = c.heading;
    C().FacingAngle = ToF32((c.facing + 90.0) * kDegToRad);
    C().TurnRightWithBall = kTrue32;
    C().TurnLeftWithBall = kTrue32;
    EXPECT_EQ(RunSection(TurnCarrierHeading, W), 0);
    EXPECT_NEAR(std::remainder(C().Heading - c.expected, 360.0), 0.0, 1e-3) << c.what;
    EXPECT_NEAR(std::remainder(C().FacingHeading - c.facing, 360.0), 0.0, 1e-3) << c.what;
    EXPECT_EQ(C().TurnRightWithBall, c.right) << c.what;
    EXPECT_EQ(C().TurnLeftWithBall, c.left) << c.what;
  }
}

TEST_F(CarrierForcedMovesTest, BreathingFacesTheBodyAlongHeading180) {
  C().currentAnim.Assign("qbbreath1");
  C().Heading = 170.0f;
  C().FacingAngle = 0.0f;
  RunSection(TurnCarrierHeading, W);
  EXPECT_NEAR(C().FacingAngle, 270.0 * kDegToRad, 1e-6);
  EXPECT_NEAR(C().FacingHeading, 180.0f, 1e-4);
  EXPECT_NEAR(C().Heading, 180.0f, 1e-4);
}

}  // namespace

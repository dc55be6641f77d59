#include "decision/CarrierTackled.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "decision/CarrierActionScene.h"

namespace {

using namespace carrier_scene;

constexpr u32 kSeed = 6503;
constexpr int kReceiver = 9;
constexpr double kStruggleLoss = 1.06 / 35.0 * 9.81 * 0.04;  // m/s a frame, kind 0
constexpr double kFallLoss = 1.06 * 9.81 * 0.04;             // m/s a frame, kinds 1 to 3

TWorld W;
TWorld Before;

TPlayer& C() { return Carrier(W); }
TPlayer& R() { return W.Teams[1].Players[kReceiver]; }
TPlayer& Tackler(int j) { return W.Teams[2].Players[j]; }

// Every drive draws exactly Value.
void FixDrive(TPlayer& P, double Value) { SetDistribution(P.StrengthPower, Value, 0.0, 0.0, 5000.0); }

// The carrier held in a tackle of Kind at the origin, the tackle running
// up-field (90) at Speed, facing 90; no drives unless a test gives them.
void MakeTackle(f32 Kind, f32 Speed) {
  MakeScene(W, kSeed, 0);
  W.Gravity = 9.81f;
  W.GroundFriction = 1.06f;
  C().GettingTackledTimer = 5.0f;
  C().GettingTackledKind = Kind;
  C().GettingTackledAngle = 90.0f;
  C().GettingTackledFacing = 90.0f;
  C().GettingTackledSpeed = Speed;
  C().speed = 7.0f;
  C().maxframes = 100.0f;
  C().Pos.z = 0.3f;  // the motion step's move, undone
  W.Teams[2].TackleMass = 200.0f;
}

// Tackler j bound to the carrier, his drive fixed.
void Bind(int j, double Drive) {
  Tackler(j).governedby = kCarrier;
  Tackler(j).TackleAttemptTimer = 1.0f;
  FixDrive(Tackler(j), Drive);
}

int Tackle() { return RunSection(MoveTackledCarrier, W); }

class CarrierTackledTest : public ::testing::Test {
 protected:
  void SetUp() override { MakeTackle(0.0f, 2.0f); }
};

TEST_F(CarrierTackledTest, TheTackleClearsTheCarriersOtherTimersAndIdlePassTime) {
  C().passcatchtimer = 0.2f;
  C().freeballcatchtimer = 0.2f;
  C().shimmytimer = 0.2f;
  C().KickTimer = 0.2f;
  W.Teams[1].KickTimeLeft = 0.3f;
  W.Teams[1].PassTimeLeft = 0.4f;
  Tackle();
  EXPECT_EQ(C().passcatchtimer, 0.0f);
  EXPECT_EQ(C().freeballcatchtimer, 0.0f);
  EXPECT_EQ(C().shimmytimer, 0.0f);
  EXPECT_EQ(C().KickTimer, 0.0f);
  EXPECT_EQ(W.Teams[1].KickTimeLeft, 0.0f);
  EXPECT_EQ(W.Teams[1].PassTimeLeft, 0.0f);

  for (int k = 0; k < 2; ++k) {  // a pass or an offload under way keeps its time
    SetUp();
    (k == 0 ? C().passtimer : C().OffloadPending) = 1.0f;
    W.Teams[1].PassTimeLeft = 0.4f;
    Tackle();
    EXPECT_EQ(W.Teams[1].PassTimeLeft, 0.4f) << k;
  }
}

TEST_F(CarrierTackledTest, HeMovesFromOldPosAlongTheTackleFacingItsFacing) {
  MakeTackle(6.0f, 2.5f);
  C().GettingTackledAngle = 30.0f;
  C().GettingTackledFacing = 200.0f;
  EXPECT_EQ(Tackle(), 0);
  EXPECT_EQ(C().speed, 2.5f);
  EXPECT_EQ(W.Teams[1].PasserRunAngle, 200.0f);
  EXPECT_NEAR(FacingOf(C()), 200.0, 1e-4);
  const TMove m = MoveAlong(C(), 30.0);
  EXPECT_NEAR(m.along, 0.1, 1e-6);
  EXPECT_NEAR(m.across, 0.0, 1e-6);
  EXPECT_EQ(C().GettingTackledSpeed, 2.5f);  // kind 6 neither slows nor struggles
}

TEST_F(CarrierTackledTest, FallingTacklesKeepTheirSpeedUntilTheirShareOfTheAnimation) {
  struct Case {
    f32 kind, maxframes, frame;
    bool slows;
  } cases[] = {
      {1.0f, 100.0f, 91.0f, false}, {1.0f, 100.0f, 92.0f, true},  {2.0f, 100.0f, 69.0f, false},
      {2.0f, 100.0f, 70.0f, true},  {3.0f, 100.0f, 69.9f, false}, {3.0f, 100.0f, 70.0f, true},
      // 0.7 x 25 = 17.5 rounds half-to-even to 18.
      {2.0f, 25.0f, 17.0f, false},  {2.0f, 25.0f, 18.0f, true},   {1.0f, 25.0f, 23.0f, true},
  };
  for (const Case& c : cases) {
    MakeTackle(c.kind, 3.0f);
    C().maxframes = c.maxframes;
    C().currentframe = c.frame;
    W.Teams[2].TackleSpeed = 3.0f;
    EXPECT_EQ(Tackle(), 0);
    const double expected = c.slows ? 3.0 - kFallLoss : 3.0;
    EXPECT_NEAR(C().GettingTackledSpeed, expected, 1e-5) << c.kind << " " << c.frame;
    EXPECT_EQ(W.Teams[2].TackleSpeed, C().GettingTackledSpeed) << c.kind << " " << c.frame;
    EXPECT_EQ(C().speed, 3.0f);  // the frame's speed is taken before the loss
  }
  MakeTackle(1.0f, 0.2f);
  C().currentframe = 99.0f;
  Tackle();
  EXPECT_EQ(C().GettingTackledSpeed, 0.0f);
}

TEST_F(CarrierTackledTest, AKindZeroTackleLosesItsFrictionAndNeverRunsAboveFiveMetresASecond) {
  // No drives: only the friction.
  Tackle();
  EXPECT_NEAR(C().GettingTackledSpeed, 2.0 - kStruggleLoss, 1e-6);
  EXPECT_NEAR(2.0 - C().GettingTackledSpeed, 0.0119, 1e-4);
  EXPECT_EQ(W.Teams[2].TackleSpeed, C().GettingTackledSpeed);
  EXPECT_NEAR(W.Teams[2].TackleHeading, 90.0f, 1e-4);

  // A huge drive up-field.
  MakeTackle(0.0f, 4.9f);
  FixDrive(C(), 4000.0);
  W.Teams[2].TackleMass = 10.0f;
  Tackle();
  EXPECT_NEAR(C().GettingTackledSpeed, 5.0 - kStruggleLoss, 1e-5);
}

TEST_F(CarrierTackledTest, TacklersPushAtNinetyPerCentLessWhenThereAreMore) {
  struct Case {
    int tacklers;
    i32 numgoverning;
    double share;
  } cases[] = {
      {1, 1, 0.9}, {2, 2, 0.9 * 0.85}, {3, 3, 0.9 * 0.8}, {4, 4, 0.9 * 0.8},
  };
  for (const Case& c : cases) {
    MakeTackle(0.0f, 0.0f);
    W.Teams[2].TackleMass = 100.0f;
    for (int j = 1; j <= c.tacklers; ++j) Bind(j, 500.0);
    C().numgoverning = c.numgoverning;
    // Another defender aiming at him but not holding, and one holding another player.
    Tackler(10).governedby = kCarrier;
    FixDrive(Tackler(10), 500.0);
    Tackler(11).governedby = kCarrier + 1;
    Tackler(11).TackleAttemptTimer = 1.0f;
    FixDrive(Tackler(11), 500.0);
    // His own drive 0 and each holder's two draws.
    EXPECT_EQ(Tackle(), 2 + 2 * c.tacklers) << c.tacklers;
    const double pushed = c.tacklers * 500.0 * c.share / 100.0 * 0.04;
    EXPECT_NEAR(C().GettingTackledSpeed, pushed - kStruggleLoss, 1e-5) << c.tacklers;
    EXPECT_NEAR(W.Teams[2].TackleHeading, 270.0f, 1e-3) << c.tacklers;
    EXPECT_EQ(Tackler(1).StrengthPower.value, 500.0f);
  }
}

TEST_F(CarrierTackledTest, PushDirectionsNearTouchAndInGoal) {
  struct Case {
    const char* what;
    double x, z;        // m, the carrier
    f32 angle, speed;   // the tackle's heading and speed
    bool carrierPushes;
    double heading;     // of the push, alone from a standstill (or the run's own)
  } cases[] = {
      {"he drives up-field", 0.0, 0.0, 90.0f, 0.0f, true, 90.0},
      {"tacklers push up-field of the middle back", 0.0, 0.0, 90.0f, 0.0f, false, 270.0},
      {"tacklers within 5 m of the left touch push him out", -30.1, 0.0, 90.0f, 0.0f, false, 0.0},
      {"tacklers within 5 m of the right touch push him out", 30.1, 0.0, 90.0f, 0.0f, false, 180.0},
      {"beyond the try line tacklers push back", 31.0, 50.5, 90.0f, 0.0f, false, 270.0},
      {"more than 1 m in-goal he drives to the middle from the right", 5.0, 51.5, 90.0f, 0.0f, true, 0.0},
      {"more than 1 m in-goal he drives to the middle from the left", -5.0, 51.5, 90.0f, 0.0f, true, 180.0},
      {"1 m in-goal he drives on", -5.0, 51.0, 90.0f, 0.0f, true, 90.0},
  };
  for (const Case& c : cases) {
    MakeTackle(0.0f, c.speed);
    PlaceAt(C(), c.x, c.z);
    W.Teams[2].TackleMass = 100.0f;
    if (c.carrierPushes) {
      FixDrive(C(), 500.0);
    } else {
      Bind(1, 500.0);
      C().numgoverning = 1;
    }
    Tackle();
    EXPECT_NEAR(std::remainder(W.Teams[2].TackleHeading - c.heading, 360.0), 0.0, 1e-3) << c.what;
    EXPECT_EQ(C().GettingTackledAngle, W.Teams[2].TackleHeading) << c.what;
  }

  // Carried towards touch: a tackle running across at 5 m/s from 23 m out
  // would cross it within 2.5 s, so his own push turns in.
  for (double x : {-23.0, 23.0}) {
    MakeTackle(0.0f, 5.0f);
    PlaceAt(C(), x, 0.0);
    C().GettingTackledAngle = x < 0 ? 0.0f : 180.0f;  // towards that touch
    FixDrive(C(), 1000.0);
    W.Teams[2].TackleMass = 10.0f;  // the push alone turns the tackle: 4 m/s in, against 5 out
    Tackle();
    // Straight on he would push up-field and run on at 5 m/s; pushed in he
    // keeps 1 m/s towards touch, less the friction.
    const double heading = x < 0 ? 0.0 : 180.0;
    EXPECT_NEAR(W.Teams[2].TackleHeading, heading, 1e-3) << x;
    EXPECT_NEAR(MoveAlong(C(), heading).along, (1.0 - kStruggleLoss) * 0.04, 1e-5) << x;
  }
}

TEST_F(CarrierTackledTest, AnOffloadWeakensHisDriveAndLateInAnOtherAnimationAlmostEndsIt) {
  struct Case {
    const char* what;
    f32 pending;
    const char* anim;
    f32 frame;
    double share;
  } cases[] = {
      {"no offload", 0.0f, "offload", 60.0f, 1.0},
      {"offloading", 10.0f, "offload", 50.0f, 0.9},
      {"past half of another offload animation", 10.0f, "offload", 51.0f, 0.9 * 0.01},
      {"past half of \"twohandedoffloadlow\"", 10.0f, "twohandedoffloadlow", 90.0f, 0.9},
  };
  for (const Case& c : cases) {
    MakeTackle(0.0f, 0.0f);
    W.Teams[1].PassReceiver = 0;
    C().OffloadPending = c.pending;
    C().currentAnim.Assign(c.anim);
    C().currentframe = c.frame;
    FixDrive(C(), 1000.0);
    W.Teams[2].TackleMass = 10.0f;
    Tackle();
    EXPECT_NEAR(C().GettingTackledSpeed, 1000.0 * c.share / 10.0 * 0.04 - kStruggleLoss, 1e-5) << c.what;
    EXPECT_EQ(C().StrengthPower.value, 1000.0f) << c.what;
  }
}

// ------------------------------------------------------------------ offload turn

// An offload under way to player 9, 2 m behind and 1 m to the left.
void MakeOffloadTurn() {
  MakeTackle(6.0f, 1.0f);
  C().OffloadPending = 10.0f;
  TTeamBlock& T = W.Teams[1];
  T.PassReceiver = kReceiver;
  T.PassTimeLeft = 0.5f;
  T.ReceiverRunAngle = 90.0f;
  T.ReceiverRunSpeed = 3.0f;
  PlaceAt(R(), -1.0, -2.0);
}

TEST_F(CarrierTackledTest, DuringAnOffloadHeFacesTheReceiverWhileTheReleaseIsAhead) {
  const f32 h = HeadingToPoint(0.0f, 0.0f, -1.0f, -2.0f, 180.0f);
  struct Case {
    const char* what;
    f32 facing, timeLeft;
    f32 expected;
  } cases[] = {
      {"turns to him", 90.0f, 0.5f, h},
      {"within 2 degrees stays", h + 1.5f, 0.5f, h + 1.5f},
      {"after the release stays", 90.0f, 0.0f, 90.0f},
  };
  for (const Case& c : cases) {
    MakeOffloadTurn();
    C().GettingTackledFacing = c.facing;
    W.Teams[1].PassTimeLeft = c.timeLeft;
    Tackle();
    EXPECT_EQ(C().GettingTackledFacing, c.expected) << c.what;
    EXPECT_EQ(W.Teams[1].PasserRunAngle, c.expected) << c.what;
    EXPECT_NEAR(FacingOf(C()), c.expected, 1e-4) << c.what;
  }
}

TEST_F(CarrierTackledTest, AnOffloadReceiverLevelAtTheReleaseIsHeldBack) {
  struct Case {
    const char* what;
    double z;       // m, the receiver
    f32 runSpeed;   // ReceiverRunSpeed
    f32 expected;
  } cases[] = {
      // The carrier reaches 0 + 1 x 0.5 = 0.5 m by the release.
      {"well behind keeps his speed", -2.0, 3.0f, 3.0f},
      {"0.2 m behind keeps his speed", -0.2 - 0.5 * 0.4 + 0.5, 0.4f, 0.4f},
      {"0.1 m behind slows by 4 m/s² x 0.04 s", -0.1 - 0.5 * 0.4 + 0.5, 0.4f, 0.24f},
      {"ahead slows never below 0.1", 1.0, 0.15f, 0.1f},
  };
  for (const Case& c : cases) {
    MakeOffloadTurn();
    PlaceAt(R(), -1.0, c.z);
    W.Teams[1].ReceiverRunSpeed = c.runSpeed;
    Tackle();
    EXPECT_NEAR(W.Teams[1].ReceiverRunSpeed, c.expected, 1e-5) << c.what;
  }
}

TEST_F(CarrierTackledTest, AnOffloadReceiverOffTheFieldIsNeitherFacedNorRead) {
  for (i32 r : {0, 16, 26, -2}) {
    MakeOffloadTurn();
    W.Teams[1].PassReceiver = r;
    C().GettingTackledFacing = 90.0f;
    Tackle();
    EXPECT_EQ(C().GettingTackledFacing, 90.0f) << r;
    EXPECT_EQ(W.Teams[1].ReceiverRunSpeed, 3.0f) << r;
  }
}

TEST_F(CarrierTackledTest, NoTackleLeavesTheWorldAlone) {
  C().GettingTackledTimer = 0.0f;
  std::memcpy(&Before, &W, sizeof W);
  EXPECT_EQ(Tackle(), 0);
  EXPECT_EQ(std::memcmp(&Before, &W, sizeof W), 0);
}

}  // namespace

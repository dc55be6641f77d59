#include "core/AttackTarget.h"

#include <gtest/gtest.h>

#include "SmallWorld.h"

namespace {

class AttackTargetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetSmallPitch(World);
    W = {};
    W.Teams[1].BallCarrier = 10;
    W.Teams[1].PassReceiver = 12;
  }
  TVector2 Running(f32 cx, f32 cz, f32 X = -20, f32 Z = -20) {
    W.gamestate = gsRunning;
    W.Teams[1].Players[10].Pos = {cx, 0, cz};
    return CarrierTargetPoint(W, X, Z);
  }
  static TWorld W;
};
TWorld AttackTargetTest::W;

TEST_F(AttackTargetTest, RunningAheadOfTheCarrier) {
  const struct {
    f32 cx, cz, x, z;
  } cases[] = {
      {0, 10, -2, 30},     // halfway to the try line, 2 m towards the near touch
      {33, 0, 30, 25},     // at least 5 m inside touch
      {-34, 0, -30, 25},
      {5, 0, 7, 25},
      {0, 50, -2, 51},     // on or past the try line: a metre on
      {0, 55, -2, 56},
  };
  for (const auto& c : cases) {
    const TVector2 p = Running(c.cx, c.cz);
    EXPECT_FLOAT_EQ(p.x, c.x) << c.cx << "," << c.cz;
    EXPECT_FLOAT_EQ(p.z, c.z) << c.cx << "," << c.cz;
  }
  // Seen from within 5 m of the carrier, or after a line break: his own x.
  EXPECT_FLOAT_EQ(Running(33, 0, 30, 0).x, 33);
  W.LineBreak = kTrue32;
  EXPECT_FLOAT_EQ(Running(33, 0).x, 33);
}

TEST_F(AttackTargetTest, PassingAheadOfTheReceiver) {
  W.gamestate = gsPassing;
  TPlayer& r = W.Teams[1].Players[12];
  r.DesiredPos = {10, 0, 0};
  r.Pos = {8, 0, -2};
  TVector2 p = CarrierTargetPoint(W, -20, -20);
  EXPECT_FLOAT_EQ(p.x, 12);
  EXPECT_FLOAT_EQ(p.z, 25);
  p = CarrierTargetPoint(W, -20, 40);  // z is raised to the caller's z
  EXPECT_FLOAT_EQ(p.z, 40);
  p = CarrierTargetPoint(W, 9, -1);  // near the receiver: his present x
  EXPECT_FLOAT_EQ(p.x, 8);
}

TEST_F(AttackTargetTest, BreakdownTowardsTheCentre) {
  W.Teams[2].SetPieceLineZ = -10;
  const struct {
    TGameState s;
    f32 mark, x;
  } cases[] = {{gsScrum, 0, 0},           {gsScrum, -35, -26.5f},
               {gsGotTackled, -20, -20 + 8.5f * (55.0f / 70 - 0.5f) / 0.5f},
               {gsMaul, 20, 20 - 8.5f * (55.0f / 70 - 0.5f) / 0.5f},
               {gsScrum, 60, 30}};  // a mark off the pitch is limited to 5 m in
  for (const auto& c : cases) {
    W.gamestate = c.s;
    W.MarkX = c.mark;
    const TVector2 p = CarrierTargetPoint(W, 0, 0);
    EXPECT_NEAR(p.x, c.x, 1e-4) << c.mark;
    EXPECT_FLOAT_EQ(p.z, 20);
  }
}

TEST_F(AttackTargetTest, LineoutInfieldAndOtherStates) {
  W.gamestate = gsLineout;
  W.BallPos = {-35, 0, 44};
  TVector2 p = CarrierTargetPoint(W, 0, 0);
  EXPECT_FLOAT_EQ(p.x, -25);
  EXPECT_FLOAT_EQ(p.z, 47);
  W.BallPos = {35, 0, 0};
  EXPECT_FLOAT_EQ(CarrierTargetPoint(W, 0, 0).x, 25);
  W.BallPos = {3, 0, 0};  // 10 m towards the other touchline
  EXPECT_FLOAT_EQ(CarrierTargetPoint(W, 0, 0).x, -7);
  for (int s : {gsFreeBall, gsKickRestartSet, gsTransition, gsHuddle, gsUserInterface}) {
    W.gamestate = static_cast<TGameState>(s);
    p = CarrierTargetPoint(W, 3, 3);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.z, 0);
  }
}

}  // namespace

#include "core/PlayerVelocities.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TWorld W;

}  // namespace

TEST(UpdatePlayerVelocities, MeasuredFromTheFramesMoveLaggingOneFrame) {
  std::memset(&W, 0, sizeof W);
  W.PlayersPerTeam = 15;
  W.TimeStep = 0.04f;
  TPlayer& p = W.Teams[1].Players[15];
  TPlayer& q = W.Teams[2].Players[1];
  p.OldPos = {0, 0, 0};
  p.Pos = {0.12f, 0, -0.16f};
  q.OldPos = q.Pos = {5, 0, 5};
  q.Velocity = {3, 4};
  W.Teams[1].Players[16].Pos = {1, 0, 1};

  UpdatePlayerVelocities(W);
  EXPECT_FLOAT_EQ(p.Velocity.x, 3);
  EXPECT_FLOAT_EQ(p.Velocity.z, -4);
  EXPECT_EQ(p.MeasuredSpeed, 0);  // last frame's velocity
  EXPECT_EQ(q.Velocity.x, 0);     // did not move
  EXPECT_EQ(q.Velocity.z, 0);
  EXPECT_EQ(q.OldVelocity.x, 3);
  EXPECT_EQ(q.OldVelocity.z, 4);
  EXPECT_EQ(q.MeasuredSpeed, 5);
  EXPECT_EQ(W.Teams[1].Players[16].Velocity.x, 0);  // not on the team sheet

  p.OldPos = p.Pos;
  UpdatePlayerVelocities(W);
  EXPECT_FLOAT_EQ(p.MeasuredSpeed, 5);
  EXPECT_EQ(p.Velocity.x, 0);
  UpdatePlayerVelocities(W);
  EXPECT_EQ(p.MeasuredSpeed, 0);
  EXPECT_EQ(q.MeasuredSpeed, 0);
}

#include "core/Footprints.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TWorld W;

class UpdatePlayerFootprintsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::memset(&W, 0, sizeof W);
    W.PlayersPerTeam = 15;
    for (TTeamBlock& T : W.Teams) {
      for (TPlayer& P : T.Players) P.Height = 1.8f;
    }
  }

  // Expects the octagon of radius 0.54 round (cx, cz).
  static void ExpectOctagon(const TPlayer& P, f32 cx, f32 cz) {
    const TVector2 compass[4] = {{cx - 0.54f, cz}, {cx, cz + 0.54f}, {cx + 0.54f, cz}, {cx, cz - 0.54f}};
    for (int j = 0; j < 4; ++j) {
      EXPECT_NEAR(P.Footprint[1 + 2 * j].x, compass[j].x, 1e-6f) << "point " << 1 + 2 * j;
      EXPECT_NEAR(P.Footprint[1 + 2 * j].z, compass[j].z, 1e-6f) << "point " << 1 + 2 * j;
    }
    EXPECT_NEAR(P.Footprint[2].x, cx - 0.381838f, 1e-6f);
    EXPECT_NEAR(P.Footprint[2].z, cz + 0.381838f, 1e-6f);
  }
};

}  // namespace

TEST_F(UpdatePlayerFootprintsTest, StandingPlayerIsTheOctagonRoundHisPosition) {
  W.Teams[1].Players[4].Pos = {0, 1, 0};
  W.Teams[2].Players[15].Pos = {10, 0, -20};
  W.Teams[2].Players[15].Height = 2.0f;
  W.Teams[1].Players[4].FootprintHolder[3] = 9;
  UpdatePlayerFootprints(W);
  ExpectOctagon(W.Teams[1].Players[4], 0, 0);
  EXPECT_NEAR(W.Teams[2].Players[15].Footprint[5].x, 10.6f, 1e-5f);  // radius 0.3 x 2.0
  EXPECT_EQ(W.Teams[1].Players[4].FootprintHolder[3], 9);           // holders are the contact steps'
  // The scratch circle holds the last player's points.
  for (int k = 1; k <= 8; ++k) EXPECT_EQ(W.ScratchCircle[k].x, W.Teams[2].Players[15].Footprint[k].x);
}

TEST_F(UpdatePlayerFootprintsTest, TackledPlayerFallsBackAlongTheTackle) {
  TPlayer& a = W.Teams[1].Players[2];  // tackled by block 2, heading 90: falls to -z
  a.GettingTackledTimer = 0.5f;
  a.GettingTackledKind = 1;
  W.Teams[2].TackleHeading = 90;
  TPlayer& b = W.Teams[2].Players[3];  // tackled by block 1, heading 0: falls to +x
  b.GettingTackledTimer = 0.5f;
  b.GettingTackledKind = 3;
  W.Teams[1].TackleHeading = 0;
  TPlayer& c = W.Teams[1].Players[5];  // own impact angle 90: falls to -z
  c.Pos = {4, 0, 4};
  c.GettingTackledTimer = 0.5f;
  c.GettingTackledKind = 7;
  c.ImpactAngle = 90;
  TPlayer& d = W.Teams[1].Players[6];  // kind 5 stands on his position
  d.Pos = {-4, 0, 0};
  d.GettingTackledTimer = 0.5f;
  d.GettingTackledKind = 5;
  TPlayer& e = W.Teams[1].Players[7];  // kind 1 with the timer run out
  e.Pos = {-8, 0, 0};
  e.GettingTackledKind = 1;

  UpdatePlayerFootprints(W);
  ExpectOctagon(a, 0, -0.45f);
  ExpectOctagon(b, 0.45f, 0);
  ExpectOctagon(c, 4, 3.55f);
  ExpectOctagon(d, -4, 0);
  ExpectOctagon(e, -8, 0);
}

TEST_F(UpdatePlayerFootprintsTest, OtherTackleKindsKeepLastFramesFootprint) {
  TPlayer& p = W.Teams[2].Players[1];
  UpdatePlayerFootprints(W);
  p.Pos = {5, 0, 5};
  p.GettingTackledTimer = 0.3f;
  p.GettingTackledKind = 4;
  UpdatePlayerFootprints(W);
  ExpectOctagon(p, 0, 0);
}

TEST_F(UpdatePlayerFootprintsTest, OnlyPlayersOnTheTeamSheetAndNeverPastTheRecord) {
  W.PlayersPerTeam = 0;
  UpdatePlayerFootprints(W);
  EXPECT_EQ(W.Teams[1].Players[1].Footprint[1].x, 0.0f);

  W.PlayersPerTeam = 15;
  UpdatePlayerFootprints(W);
  EXPECT_NE(W.Teams[2].Players[15].Footprint[1].x, 0.0f);
  EXPECT_EQ(W.Teams[2].Players[16].Footprint[1].x, 0.0f);

  W.PlayersPerTeam = 40;
  UpdatePlayerFootprints(W);
  EXPECT_NE(W.Teams[2].Players[25].Footprint[1].x, 0.0f);
}

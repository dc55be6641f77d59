#include "motion/MoveToDesiredPositionUnit.h"

#include <gtest/gtest.h>

#include "motion/AccelerateToDesiredSpeedUnit.h"
#include "motion/MotionScene.h"

namespace {

TWorld& W = MotionWorld;

class MoveToDesiredPositionTest : public MotionSceneTest {
 protected:
  static void Run() { RunStep(MoveToDesiredPosition); }
};

void ExpectAt(const TVector3& v, f32 x, f32 y, f32 z, const char* what) {
  EXPECT_FLOAT_EQ(v.x, x) << what;
  EXPECT_FLOAT_EQ(v.y, y) << what;
  EXPECT_FLOAT_EQ(v.z, z) << what;
}

}  // namespace

TEST_F(MoveToDesiredPositionTest, PlayerOnHisSpotGetsNoDirectionAndStays) {
  Att(4).speed = 5;
  Att(4).Direction = {1, 0, 0};
  Att(4).OldPos = {9, 9, 9};
  Run();
  ExpectAt(Att(4).Direction, 0, 0, 0, "direction");
  ExpectAt(Att(4).Pos, -16, 0, -5, "position");
  ExpectAt(Att(4).OldPos, -16, 0, -5, "old position");
}

TEST_F(MoveToDesiredPositionTest, StepsAlongTheDirectionInThreeDimensionsOverTheGround) {
  PlaceAt(Att(4), 0, 0);
  Att(4).DesiredPos = {0, 0, 4};
  Att(4).speed = 5;  // 0.2 m this frame
  PlaceAt(Def(4), 0, 0);
  Def(4).DesiredPos = {0, 3, 4};  // 3 m up: only 4/5 of the step is over the ground
  Def(4).speed = 5;
  PlaceAt(Def(5), 1, 1);
  Def(5).DesiredPos = {-2, 0, 5};  // 3 across, 4 along
  Def(5).speed = 25;               // 1 m
  Run();
  ExpectAt(Att(4).Pos, 0, 0, 0.2f, "flat");
  ExpectAt(Att(4).Direction, 0, 0, 1, "flat");
  ExpectAt(Def(4).Pos, 0, 0, 0.16f, "height difference");
  ExpectAt(Def(4).Direction, 0, 0.6f, 0.8f, "height difference");
  ExpectAt(Def(4).OldPos, 0, 0, 0, "height difference");
  ExpectAt(Def(5).Pos, 1 - 0.6f, 0, 1 + 0.8f, "diagonal");
}

TEST_F(MoveToDesiredPositionTest, CarrierOfTheSideInPossessionIsNotTouched) {
  W.Teams[1].BallCarrier = 4;
  Att(4).DesiredPos.z += 10;
  Att(4).speed = 5;
  Att(4).OldPos = {9, 9, 9};
  Att(4).Direction = {1, 0, 0};
  Def(4).DesiredPos.z += 10;  // block 2's player with his number moves
  Def(4).speed = 5;
  Run();
  ExpectAt(Att(4).Pos, -16, 0, -5, "carrier");
  ExpectAt(Att(4).OldPos, 9, 9, 9, "carrier");
  ExpectAt(Att(4).Direction, 1, 0, 0, "carrier");
  ExpectAt(Def(4).Pos, -16, 0, 5.2f, "defender");
}

// With the acceleration step, a player within one step of his spot lands
// exactly on it.
TEST_F(MoveToDesiredPositionTest, PlayerWithinOneStepLandsExactlyOnHisSpot) {
  struct Case {
    const char* what;
    TVector3 from, to;
  } cases[] = {
      {"along z", {2, 0, 1}, {2, 0, 1.25f}},
      {"across", {2, 0, 1}, {1.75f, 0, 1}},
      {"diagonal", {2, 0, 1}, {2.18f, 0, 1.24f}},
  };
  for (const Case& c : cases) {
    MakeMotionScene(W);
    TPlayer& P = Def(4);
    P.Pos = c.from;
    P.OldPos = {c.from.x, 0, c.from.z - 8 * kSceneStep};  // running at 8 m/s
    P.DesiredPos = c.to;
    P.desiredspeed = 8;
    AccelerateToDesiredSpeed(W);
    Run();
    EXPECT_NEAR(P.Pos.x, c.to.x, 2e-7) << c.what;
    EXPECT_NEAR(P.Pos.z, c.to.z, 2e-7) << c.what;
  }
}

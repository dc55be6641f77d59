// The motion steps through the frame driver on a set-up match.
#include <gtest/gtest.h>

#include <cmath>

#include "RunFolder.h"
#include "app/FrameSteps.h"
#include "app/MainUnit.h"
#include "core/Geometry.h"
#include "core/TypeDefs.h"
#include "platform/Application.h"

namespace {

void Nothing(TWorld&) {}

class MotionFramesTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetFrameSteps(); }
  void TearDown() override {
    ResetFrameSteps();
    Application.OnIdle = nullptr;
  }
};

// Only the speed, acceleration and movement steps stay in the table, so the
// player's DesiredPos is his alone.
void KeepOnlyMotionSteps() {
  for (int i = 1; i <= kFrameStepCount; ++i) {
    const std::string name = FrameSteps[i].Name;
    if (name != "SetDesiredSpeed" && name != "AccelerateToDesiredSpeed" && name != "MoveToDesiredPosition")
      FrameSteps[i].Step = Nothing;
  }
}

TEST_F(MotionFramesTest, PlayerFiveMetresFromHisSpotRunsToItAndStops) {
  RunFolder run;
  FormCreate();
  KeepOnlyMotionSteps();
  TWorld& W = World;
  W.gamestate = gsRunning;
  W.PrevFrameGameState = gsRunning;
  const int i = W.Teams[1].BallCarrier == 5 ? 6 : 5;
  TPlayer& P = W.Teams[1].Players[i];
  P.ActionSeq.seqON = kFalse32;
  P.OldPos = P.Pos;
  P.speed = 0;
  P.PrevFacingAngle = P.FacingAngle;  // facing the way he runs: no turn to pay for
  P.DesiredPos = P.Pos;
  P.DesiredPos.x += 3;
  P.DesiredPos.z += 4;
  const TVector3 spot = P.DesiredPos;
  auto toGo = [&] { return Distance2D(P.Pos.x, P.Pos.z, spot.x, spot.z); };

  bool done = false;
  ApplicationIdle(done);
  EXPECT_GT(toGo(), 4.9f) << "he starts from standing";
  f32 last = toGo();
  int frames = 1;
  while (toGo() > 1e-4f && frames < 200) {
    ApplicationIdle(done);
    ++frames;
    EXPECT_LT(toGo(), last) << "frame " << frames;
    last = toGo();
  }
  EXPECT_LT(frames, 100) << "arrives within 4 s";
  for (int k = 0; k < 10; ++k) ApplicationIdle(done);
  EXPECT_NEAR(P.Pos.x, spot.x, 1e-4);
  EXPECT_NEAR(P.Pos.z, spot.z, 1e-4);
  EXPECT_LT(P.speed, 1e-3f);
  EXPECT_FALSE(done);
  EXPECT_EQ(SimCrashed, 0);
}

}  // namespace

// Contact resolution and detection as frame steps 3 and 4 of a whole frame
// on a set-up match.
#include <gtest/gtest.h>

#include <string>

#include "ExampleMatch.h"
#include "app/FrameSteps.h"
#include "core/TypeDefs.h"
#include "platform/Form.h"

namespace {

class ContactFrameTest : public ExampleMatchTest {};

TEST_F(ContactFrameTest, RunningFrameThroughTheTableRunsBothContactSteps) {
  ASSERT_EQ(std::string(FrameSteps[3].Name), "GeneralCollision");
  ASSERT_EQ(std::string(FrameSteps[4].Name), "CollisionDetect");

  // Running play: block 1's player 10 carries the ball and runs into block
  // 2's player 10, who is getting up 0.4 m ahead of him.
  TWorld& W = World;
  W.PrevTimeStep = W.TimeStep;  // as the frame driver does
  W.TimeStep = 0.04f;
  W.gamestate = gsRunning;
  W.CarrierGrounded = kTrue32;
  W.AdvantageHoldTimer = 0.5f;
  W.AdvantageTimer = 1.0f;
  TPlayer& C = W.Teams[1].Players[W.Teams[1].BallCarrier];
  TPlayer& J = W.Teams[2].Players[10];
  J.Pos = {C.Pos.x, C.Pos.y, C.Pos.z + 0.4f};
  J.OldPos = J.Pos;
  J.standuptimer = 1.0f;
  C.ContactMark = 3.0f;
  size_t logLines = 0;
  for (int i = 1; i <= kFrameStepCount; ++i) {
    if (i == 3) logLines = Form1.Memo2.Count();
    RunFrameStep(FrameSteps[i], W);
    if (i == 4) {
      EXPECT_EQ(Form1.Memo2.Count(), logLines) << "the contact steps log nothing";
    }
  }

  EXPECT_EQ(C.ContactTimer[10], 1.25f) << "contact detection met the player getting up";
  EXPECT_EQ(J.ContactTimer[W.Teams[1].BallCarrier], 0.45f);
  EXPECT_EQ(C.ContactMark, 0.0f);
  EXPECT_EQ(W.AdvantageHoldTimer, 0.5f - 0.04f) << "contact resolution kept the advantage timers";
  EXPECT_EQ(W.AdvantageTimer, 1.0f - 0.04f);
}

}  // namespace

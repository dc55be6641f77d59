// Contact resolution and detection as frame steps 3 and 4 of a whole frame
// on a set-up match.
#include <gtest/gtest.h>

#include <string>

#include "ExampleMatch.h"
#include "app/FrameSteps.h"
#include "core/Geometry.h"
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


// A carrier held by the two tacklers he attracts, the tackle complete: the
// running contact step takes him to ground in the first frame, and the
// entry into gottackled waits until the timer step has run the offload
// block (0.25 s) out: 7 frames of 0.04 s.
TEST_F(ContactFrameTest, AHeldCarrierReachesGotTackledOnceTheOffloadBlockHasRunOut) {
  TWorld& W = World;
  W.PrevTimeStep = W.TimeStep;
  W.TimeStep = 0.04f;
  W.gamestate = gsRunning;
  W.CarrierGrounded = kTrue32;
  const int c = W.Teams[1].BallCarrier;
  ASSERT_GE(c, 1);
  TPlayer& C = W.Teams[1].Players[c];
  C.numgoverning = 2;
  C.governedby = c;
  C.GettingTackledTimer = 10.0f;
  C.GettingTackledFacing = HeadingOfFacing(C.FacingAngle);
  int point = 3;
  for (int p : {3, 8}) {
    TPlayer& D = W.Teams[2].Players[p];
    D.target = c;
    D.governedby = c;
    D.TackleAttemptTimer = 10.0f;
    D.TackleAttemptKind = 0.0f;
    D.ContactPoint = point;
    C.FootprintHolder[point] = p;
    D.Pos = {C.Pos.x + (point == 3 ? 0.3f : -0.3f), C.Pos.y, C.Pos.z + 0.5f};
    D.OldPos = D.Pos;
    point = 7;
  }
  C.numtargetting = 2;
  W.Teams[2].TacklersWanted = 2;
  W.Teams[2].TackleHeading = C.GettingTackledFacing;
  W.TackleJoinTime = 0.3f;

  int tackledIn = 0;
  for (int frame = 1; frame <= 20 && tackledIn == 0; ++frame) {
    for (int i = 1; i <= kFrameStepCount; ++i) RunFrameStep(FrameSteps[i], W);
    if (frame == 1) {
      EXPECT_EQ(W.gamestate, gsRunning);
      EXPECT_EQ(C.GettingTackledKind, 1.0f) << "he falls along the tackle";
      EXPECT_EQ(W.OffloadBlockTimer, ToF32(static_cast<double>(0.25f) - 0.04f)) << "set by the contact step, counted by the timer step";
    }
    if (W.gamestate == gsGotTackled) tackledIn = frame;
  }
  EXPECT_EQ(tackledIn, 8);
  EXPECT_LE(W.OffloadBlockTimer, 0.0f);
}

}  // namespace

// Real frames of the set-up example match through the driver's step table:
// a running carrier is given a pass, the timer step releases it, and while
// the ball flies the passing handler places both sides every frame, around
// the receiver.
#include <gtest/gtest.h>

#include <cmath>

#include "CarrierRunFrames.h"
#include "core/Geometry.h"
#include "core/SlotLines.h"

namespace {

constexpr int kReceiver = 12;
constexpr f32 kUnplaced = 1000.0f;  // m, a DesiredPos no handler gives

class PassingFramesTest : public CarrierRunFramesTest {
 protected:
  // While running, the test runs the carrier; the ball update flies the pass.
  static void Frame() {
    if (World.gamestate == gsRunning && A().BallCarrier == kCarrier) RunCarrier();
    StepAll();
  }
};

TEST_F(PassingFramesTest, ACarriersPassEntersPassingAndBothSidesArePlacedEveryFrameOfTheFlight) {
  // The receiver, a line player, starts 5 m to the carrier's right (+x),
  // facing heading 170: out across the pitch, a little forward.
  PlaceStill(Pl(kReceiver), -15.0f, -22.0f);
  Pl(kReceiver).FacingAngle = static_cast<f32>((170.0 + 90.0) * kDegToRad);
  for (int f = 1; f <= 10; ++f) Frame();
  ASSERT_EQ(World.gamestate, gsRunning);
  A().PassReceiver = kReceiver;
  A().PassTimeLeft = 0.02f;
  Frame();
  ASSERT_EQ(World.gamestate, gsPassing) << "the timer step releases the pass";
  ASSERT_EQ(World.PassingPhase, 1);
  ASSERT_EQ(A().BallCarrier, 0);

  int flightFrames = 0;
  while (World.gamestate == gsPassing && flightFrames < 100) {
    // Every player of both sides gets a place from this frame's handlers.
    for (int b = 1; b <= 2; ++b)
      for (int p = 1; p <= 15; ++p) {
        if (b == 1 && p == kReceiver) continue;
        World.Teams[b].Players[p].DesiredPos = {kUnplaced, 0.0f, kUnplaced};
      }
    const f32 rx = Pl(kReceiver).Pos.x, rz = Pl(kReceiver).Pos.z;
    const TSlotLine lineBefore = SetPieceSlotLine(A());
    Frame();
    ++flightFrames;
    ASSERT_EQ(World.PassingPhase, 2) << "frame " << flightFrames;
    // The line and the grid are laid around where R stood at the handler.
    const TSlotLine& line = World.gamestate == gsPassing ? SetPieceSlotLine(A()) : lineBefore;
    ASSERT_EQ(line[101], kReceiver) << "frame " << flightFrames;
    if (World.gamestate == gsPassing) {
      ASSERT_FLOAT_EQ(A().SetPieceSlotPos[101].x, rx) << "frame " << flightFrames;
      ASSERT_FLOAT_EQ(A().SetPieceSlotPos[101].z, rz) << "frame " << flightFrames;
      ASSERT_FLOAT_EQ(A().SupportGridOrigin.z, rz - 3.0f) << "frame " << flightFrames;
    }
    for (int b = 1; b <= 2; ++b)
      for (int p = 1; p <= 15; ++p) {
        if (b == 1 && p == kReceiver) continue;
        const TPlayer& P = World.Teams[b].Players[p];
        ASSERT_LT(std::fabs(P.DesiredPos.x), 100.0f) << "block " << b << " player " << p << " frame " << flightFrames;
        ASSERT_LT(std::fabs(P.DesiredPos.z), 100.0f) << "block " << b << " player " << p << " frame " << flightFrames;
      }
  }
  EXPECT_GE(flightFrames, 3) << "the ball flies a few frames";
  EXPECT_LT(flightFrames, 100) << "the pass comes to an end";
  for (int p = 1; p <= 15; ++p) {
    if (p == kReceiver) continue;
    EXPECT_GT(Pl(p).PassingSupportSpeed, 0.0f) << p;
  }
}

}  // namespace

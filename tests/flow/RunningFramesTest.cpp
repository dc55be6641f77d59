// Real running frames of the set-up example match, played through the
// driver's step table: the test runs the ball carrier (the movement step
// leaves him to the decisions) and the running handler keeps his side's
// line and support grid with him.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "CarrierRunFrames.h"
#include "core/SupportSpot.h"

namespace {

class RunningFramesTest : public CarrierRunFramesTest {
 protected:
  static void Frame() {
    RunCarrier();
    StepAll();
  }

  static int CellsHeldBy(int p) {
    int n = 0;
    const int side = SupportGridSide(A());
    for (int r = 1; r <= side; ++r) {
      for (int c = 1; c <= side; ++c) n += A().SupportGridCells[r][c] == p;
    }
    return n;
  }
};

TEST_F(RunningFramesTest, TheLineAndTheGridMoveWithTheCarrier) {
  Frame();
  ASSERT_EQ(World.RunningPhase, 2);
  const TSupportGrid<u16> cells = A().SupportGridCells;
  for (int p = 1; p <= 8; ++p) EXPECT_EQ(CellsHeldBy(p), 1) << "forward " << p << " has a cell";
  for (int p : {9, 11, 12, 13, 14, 15}) EXPECT_EQ(CellsHeldBy(p), 0) << "back " << p << " is in the line";
  double startZ[16];
  for (int p = 1; p <= 15; ++p) startZ[p] = Pl(p).Pos.z;

  for (int f = 1; f <= 75; ++f) {
    Frame();
    ASSERT_EQ(World.gamestate, gsRunning);
    const f32 cx = C().Pos.x, cz = C().Pos.z;
    ASSERT_EQ(A().SetPieceLine[101], kCarrier);
    ASSERT_FLOAT_EQ(A().SetPieceSlotPos[101].x, cx);
    ASSERT_FLOAT_EQ(A().SetPieceSlotPos[101].z, cz);
    ASSERT_FLOAT_EQ(A().SupportGridOrigin.x, cx - 5.0f);
    ASSERT_FLOAT_EQ(A().SupportGridOrigin.z, cz - 3.0f);
  }
  EXPECT_EQ(std::memcmp(&cells, &A().SupportGridCells, sizeof cells), 0) << "every cell keeps its player";
  // In 3 s the carrier ran 15 m; his line and his support came with him.
  for (int p = 1; p <= 15; ++p) {
    if (p == kCarrier) continue;
    EXPECT_GT(Pl(p).Pos.z - startZ[p], 8.0) << p;
    EXPECT_LT(Pl(p).Pos.z, C().Pos.z) << p << " stays behind the carrier";
  }
}

TEST_F(RunningFramesTest, ALineBreaksCalledRunnerLeavesTheGridOnHisRun) {
  // Everyone but the carrier supports from the grid; the carrier is 2.5 m
  // past the gain line after a few frames.
  for (int p = 1; p <= 15; ++p) Pl(p).InBackline = kFalse32;
  World.GainLineZ = -22.3f;
  int called = 0;
  for (int f = 1; f <= 10 && called == 0; ++f) {
    Frame();
    for (int p = 1; p <= 15; ++p) {
      if (Pl(p).ActionSeq.seqON != 0) called = p;
    }
  }
  ASSERT_NE(World.LineBreak, 0);
  ASSERT_NE(called, 0) << "the break calls a runner";
  const TPlayer& R = Pl(called);
  EXPECT_EQ(CellsHeldBy(called), 0) << "his cell is freed";
  EXPECT_NE(R.InBackline, 0);
  const TActionEvent& E = R.ActionSeq.EventArray[1];
  EXPECT_EQ(E.EventType, 14);
  EXPECT_GE(std::fabs(E.TargetX - C().Pos.x), 2.0f);
  // He runs his sequence, not the grid: a few frames on he is still on it
  // and has left the grid's rows behind the carrier.
  for (int f = 1; f <= 5; ++f) Frame();
  EXPECT_EQ(CellsHeldBy(called), 0);
  int others = 0;
  for (int p = 1; p <= 15; ++p) others += p != kCarrier && p != called && CellsHeldBy(p) == 1;
  EXPECT_EQ(others, 13) << "the other support players keep their cells";
}

TEST_F(RunningFramesTest, TheDefenceOrganisesAroundTheCarrierAndPressesHim) {
  // The defence's reference is the carrier, each of its 15 free defenders
  // is in the line or out as a spare, the pressers chase the carrier (their
  // 5 s are reloaded every 0.2 s), and the line stands ahead of him across
  // 15 m either side (further out the side's depth profile brings it up).
  for (int f = 1; f <= 10; ++f) {
    Frame();
    const TTeamBlock& D = World.Teams[2];
    const TPlayer& Carrier = World.Teams[1].Players[kCarrier];
    int near = 0;
    for (int k = 1; k <= D.FreeDefendersCount; ++k) {
      const TPlayer& P = D.Players[D.FreeDefendersList[k]];
      if (P.chasertimer > 0 || std::fabs(P.DesiredPos.x - Carrier.Pos.x) >= 15.0f) continue;
      ++near;
      ASSERT_GT(P.DesiredPos.z, Carrier.Pos.z) << "frame " << f << ", defender " << D.FreeDefendersList[k];
    }
    ASSERT_GE(near, 3) << "frame " << f;
    ASSERT_EQ(D.BlockChaseTarget, kCarrier);
    int extras = 0;
    for (int k = 1; k <= 5; ++k) extras += D.DefExtras[k] != 0;
    ASSERT_EQ(D.FreeDefendersCount + extras + (D.DeepPlayerNumber != 0 ? 1 : 0), 15);
    ASSERT_GE(D.ChaserCount, 1);
    for (int k = 1; k <= D.ChaserCount; ++k) {
      const TPlayer& P = D.Players[D.ChaserSlots[k]];
      ASSERT_GT(P.chasertimer, 4.75f);
      ASSERT_LE(P.chasertimer, 5.0f);
      ASSERT_EQ(P.ChaseTarget, kCarrier);
      ASSERT_NE(P.ClosingOnCarrier, 0);
    }
  }
}

}  // namespace

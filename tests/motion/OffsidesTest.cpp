#include "motion/OffsidesUnit.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfenv>
#include <cstdint>
#include <limits>

#include "core/DrawCount.h"
#include "core/FloatFlags.h"
#include "flow/OpenPlayScene.h"

namespace {

class OffsidesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeOpenPlayPitch(W);
    for (int b = 1; b <= 2; ++b) {
      for (int p = 1; p <= 15; ++p) {
        TPlayer& P = W.Teams[b].Players[p];
        P.Pos = {static_cast<f32>(p), 0, b == 1 ? -20.0f : 20.0f};  // well onside
        P.DisciplineProb = 500;
      }
    }
    RandSeed = 11;
  }
  TPlayer& A(int p) { return W.Teams[1].Players[p]; }
  TPlayer& D(int p) { return W.Teams[2].Players[p]; }
  void Run() {
    std::feclearexcept(FE_ALL_EXCEPT);
    Offsides(W);
    EXPECT_FALSE(FloatErrorRaised());
  }
  void Running(i32 carrier, f32 carrierZ) {
    W.gamestate = gsRunning;
    W.RunningPhase = 2;
    W.Teams[1].BallCarrier = carrier;
    A(carrier).Pos.z = carrierZ;
    W.BallPos.z = carrierZ;
  }
  static TWorld W;
};
TWorld OffsidesTest::W;

TEST_F(OffsidesTest, RunningMarksAheadOfTheCarrierAndClearsOnceBack) {
  Running(10, 0.0f);
  A(4).Pos.z = 0.76f;
  A(5).Pos.z = 0.75f;
  A(10).OffsideMark = 10.0f;  // a carrier left marked from before
  const u32 seed = RandSeed;
  Run();
  EXPECT_EQ(A(4).OffsideMark, 10.0f);
  EXPECT_EQ(A(4).OffsideLineZ, 0.0f);
  EXPECT_EQ(A(5).OffsideMark, 0.0f);
  EXPECT_EQ(A(5).OffsideLineZ, 0.0f);  // every block-1 player's line is the carrier's z
  EXPECT_EQ(A(10).OffsideMark, 0.0f);
  EXPECT_EQ(A(4).PrevOffsideMark, 0.0f);
  EXPECT_EQ(DrawsSince(seed), 1);
  // The carrier runs on: the line follows him and the mark goes as soon as
  // the player is less than 0.75 m in front.
  A(10).Pos.z = 0.005f;
  Run();
  EXPECT_EQ(A(4).OffsideMark, 10.0f);
  EXPECT_EQ(A(4).PrevOffsideMark, 10.0f);
  A(10).Pos.z = 0.02f;
  Run();
  EXPECT_EQ(A(4).OffsideMark, 0.0f);
  EXPECT_EQ(A(4).OffsideLineZ, 0.02f);
  EXPECT_EQ(A(4).PrevOffsideMark, 10.0f);
}

// An attacker's mark in running, by his mark and his gap in front of the
// carrier's line: kept bit for bit unless cleared, and the invalid flag
// raised whenever his gap or his mark is not a number, whether or not he is
// marked already.
TEST_F(OffsidesTest, RunningMarkOfAnAttackerByMarkAndGapWithItsFlags) {
  const f32 nan = std::numeric_limits<f32>::quiet_NaN();
  const f32 inf = std::numeric_limits<f32>::infinity();
  struct Case {
    f32 mark, z, want;
    bool flag;
  };
  const Case cases[] = {
      {0.0f, nan, 0.0f, true},     {10.0f, nan, 10.0f, true},   {10.0f, inf, 10.0f, false},
      {10.0f, -inf, 0.0f, false},  {0.0f, inf, 10.0f, false},   {nan, 3.0f, 10.0f, true},
      {-0.0f, 0.5f, -0.0f, false}, {10.0f, 0.75f, 10.0f, false}, {10.0f, 0.7f, 0.0f, false},
      {-3.0f, 0.76f, 10.0f, false},
  };
  for (const Case& c : cases) {
    SetUp();
    Running(10, 0.0f);
    A(4).OffsideMark = c.mark;
    A(4).Pos.z = c.z;
    std::feclearexcept(FE_ALL_EXCEPT);
    Offsides(W);
    EXPECT_EQ(FloatErrorRaised(), c.flag) << c.mark << " " << c.z;
    EXPECT_EQ(std::bit_cast<uint32_t>(A(4).OffsideMark), std::bit_cast<uint32_t>(c.want)) << c.mark << " " << c.z;
  }
  std::feclearexcept(FE_ALL_EXCEPT);
}

TEST_F(OffsidesTest, BlockTwoIsMarkedInRunningOnlyAfterACalledMark) {
  Running(10, 0.0f);
  D(3).Pos.z = 9.0f;  // more than 0.75 m short of a line 10 m beyond the ball
  Run();
  EXPECT_EQ(D(3).OffsideMark, 0.0f);
  W.MarkCalled = kTrue32;
  Run();
  EXPECT_EQ(D(3).OffsideMark, 10.0f);
  EXPECT_EQ(D(3).OffsideLineZ, 10.0f);
  EXPECT_EQ(D(3).PrevOffsideMark, 0.0f);
  // Cleared once back within 0.75 m, whether or not the call stands.
  W.MarkCalled = kFalse32;
  D(3).Pos.z = 9.3f;
  Run();
  EXPECT_EQ(D(3).OffsideMark, 0.0f);
  EXPECT_EQ(D(3).PrevOffsideMark, 10.0f);
  // Without a carrier block 1 is neither marked nor cleared, but every last
  // mark is still kept.
  W.Teams[1].BallCarrier = 0;
  A(4).OffsideMark = 10.0f;
  A(4).PrevOffsideMark = 0.0f;
  D(3).PrevOffsideMark = 7.0f;
  Run();
  EXPECT_EQ(A(4).PrevOffsideMark, 10.0f);
  EXPECT_EQ(D(3).PrevOffsideMark, 0.0f);
}

TEST_F(OffsidesTest, TheRollAgainstDisciplineDecidesWhoStays) {
  // The roll r is 1..1000 and a player stays when r > DisciplineProb.
  for (i16 discipline : {i16{1000}, i16{0}}) {
    for (u32 seed = 1; seed <= 40; ++seed) {
      SetUp();
      Running(10, 0.0f);
      A(4).Pos.z = 3.0f;
      A(4).DisciplineProb = discipline;
      RandSeed = seed;
      Run();
      ASSERT_EQ(A(4).OffsideMark, 10.0f);
      EXPECT_EQ(A(4).OffsideStays, discipline == 0 ? kTrue32 : kFalse32) << "seed " << seed;
    }
  }
  // The roll is drawn once per marking: later frames keep it and draw nothing.
  SetUp();
  Running(10, 0.0f);
  A(4).Pos.z = 3.0f;
  A(4).DisciplineProb = 0;
  Run();
  A(4).DisciplineProb = 1000;
  const u32 seed = RandSeed;
  Run();
  EXPECT_EQ(A(4).OffsideStays, kTrue32);
  EXPECT_EQ(DrawsSince(seed), 0);
}

TEST_F(OffsidesTest, BreakdownMarksOnlyOnceBothSidesAreInTheRuck) {
  W.gamestate = gsGotTackled;
  W.GotTackledPhase = 2;
  W.Teams[1].SetPieceLineZ = -1.0f;
  W.Teams[2].SetPieceLineZ = 70.0f;  // beyond block 2's try line: brought back to 50
  A(6).Pos.z = 0.0f;
  D(7).Pos.z = 48.0f;
  D(8).Pos.z = 30.0f;
  D(8).RuckTimer = 1.0f;  // bound in: excluded and unmarked
  D(8).RuckRole = 2.0f;
  D(8).OffsideMark = 10.0f;
  W.Teams[1].PackSpots.BoundCount = 2;
  Run();
  EXPECT_EQ(A(6).OffsideMark, 0.0f);
  EXPECT_EQ(D(8).OffsideMark, 10.0f);
  W.Teams[2].PackSpots.BoundCount = 1;
  Run();
  EXPECT_EQ(A(6).OffsideMark, 10.0f);
  EXPECT_EQ(A(6).OffsideLineZ, -1.0f);
  EXPECT_EQ(D(7).OffsideMark, 10.0f);
  EXPECT_EQ(D(7).OffsideLineZ, 50.0f);
  EXPECT_EQ(D(8).OffsideMark, 0.0f);
}

TEST_F(OffsidesTest, ScrumAndLineoutLinesAndTheirExclusions) {
  struct Case {
    const char* what;
    TGameState state;
    f32 line1, line2;  // expected lines of the blocks
  };
  W.Teams[1].SetPieceLineZ = -48.0f;
  W.Teams[2].SetPieceLineZ = 2.0f;
  W.LineoutZ = 45.0f;
  for (const Case& c : {Case{"scrum", gsScrum, -50.0f, 7.0f}, Case{"lineout", gsLineout, 35.0f, 50.0f}}) {
    SetUp();
    W.Teams[1].SetPieceLineZ = -48.0f;
    W.Teams[2].SetPieceLineZ = 2.0f;
    W.LineoutZ = 45.0f;
    W.gamestate = c.state;
    W.ScrumPhase = 2;
    W.LineoutPhase = 3;
    for (int b = 1; b <= 2; ++b) {
      for (int p = 1; p <= 15; ++p) W.Teams[b].Players[p].Pos.z = b == 1 ? 60.0f : -60.0f;  // all offside
      W.Teams[b].SetPieceHolder = 9;
      W.Teams[b].LineoutThrower = 2;
    }
    A(4).LineOutTimer = 1.0f;
    A(1).RuckTimer = 1.0f;
    A(1).RuckRole = 3.0f;
    Run();
    if (c.state == gsLineout) {
      EXPECT_EQ(A(5).OffsideMark, 0.0f) << c.what << ": nothing before phase 4";
      W.LineoutPhase = 4;
      Run();
    }
    EXPECT_EQ(A(5).OffsideLineZ, c.line1) << c.what;
    EXPECT_EQ(D(5).OffsideLineZ, c.line2) << c.what;
    EXPECT_EQ(A(5).OffsideMark, 10.0f) << c.what;
    EXPECT_EQ(A(9).OffsideMark, 0.0f) << c.what;
    EXPECT_EQ(D(9).OffsideMark, 0.0f) << c.what;
    EXPECT_EQ(A(2).OffsideMark, c.state == gsLineout ? 0.0f : 10.0f) << c.what;
    EXPECT_EQ(A(4).OffsideMark, c.state == gsLineout ? 0.0f : 10.0f) << c.what;
    EXPECT_EQ(A(1).OffsideMark, c.state == gsScrum ? 0.0f : 10.0f) << c.what;
  }
}

TEST_F(OffsidesTest, PassingAndFreeBallOnlyClear) {
  W.gamestate = gsPassing;
  W.PassingPhase = 2;
  W.BallPos.z = 5.0f;
  A(3).Pos.z = 20.0f;  // far in front of the ball, not marked
  A(4).Pos.z = 5.5f;
  A(4).OffsideMark = 10.0f;
  A(4).OffsideLineZ = -3.0f;
  Run();
  EXPECT_EQ(A(3).OffsideMark, 0.0f);
  EXPECT_EQ(A(4).OffsideMark, 0.0f);
  EXPECT_EQ(A(4).OffsideLineZ, 5.0f);

  W.gamestate = gsFreeBall;
  W.FreeBallPhase = 2;
  W.ReleasePos = {0.0f, 10.0f};
  W.BallPos.z = 30.0f;
  A(4).OffsideMark = 10.0f;
  A(4).Pos.z = 12.0f;
  A(5).OffsideMark = 10.0f;
  A(5).Pos.z = 10.4f;
  A(6).Pos.z = 40.0f;
  Run();
  EXPECT_EQ(A(4).OffsideMark, 10.0f);
  EXPECT_EQ(A(4).OffsideLineZ, 19.75f);
  EXPECT_EQ(A(5).OffsideMark, 0.0f);
  EXPECT_EQ(A(5).OffsideLineZ, 19.75f);
  EXPECT_EQ(A(6).OffsideMark, 0.0f);
  W.BallPos.z = 15.0f;  // the line never falls behind the release point
  Run();
  EXPECT_EQ(A(4).OffsideLineZ, 10.0f);
}

TEST_F(OffsidesTest, RestartReferenceFollowsTheBallOutsideOpenPlay) {
  W.gamestate = gsScrum;
  W.BallPos.z = 12.0f;
  Run();
  EXPECT_EQ(W.RestartRefZ, 12.0f);
  Running(10, 30.0f);
  Run();
  EXPECT_EQ(W.RestartRefZ, 12.0f);
}

}  // namespace

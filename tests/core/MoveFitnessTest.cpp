#include "core/MoveFitness.h"

#include <gtest/gtest.h>

#include "SmallWorld.h"

namespace {

class MoveFitnessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetSmallPitch(World);
    R = {};
    R.EndState = gsRunning;
    R.EndEventType = 0xFFFF;  // no current event: no try-line term
    R.EndTackled = kTrue32;  // no not-tackled bonus unless a test wants it
    M = {};
  }
  f32 Score(i16 playOption = 3, f32 turnoverLoss = 100.0f) const {
    f32 f = 12345.0f;  // must be overwritten, not added to
    MoveFitness(M, R, f, playOption, turnoverLoss);
    return f;
  }
  TMove M;
  TSimResult R;
};

TEST_F(MoveFitnessTest, KeptRunWithNothingElseScoresTheNotTackledBonus) {
  R.EndTackled = kFalse32;
  EXPECT_EQ(Score(), 1.0f);
}

TEST_F(MoveFitnessTest, KeptRunAddsGainSpaceAndBeatingTheExpectedGain) {
  R.Gain = 4.0f;
  R.SpaceAhead = 3.0f;
  M.MinGain = 3.0f;
  EXPECT_EQ(Score(), 4.0f + 1.5f + 1.0f);
  M.MinGain = 4.0f;  // equal is not beating it
  EXPECT_EQ(Score(), 5.5f);
  R.PossessionLost = kTrue32;  // not kept: only the turnover counts
  EXPECT_EQ(Score(3, 7.0f), -7.0f);
}

TEST_F(MoveFitnessTest, CutsLowerANegativeScoreToo) {
  R.EndTackled = kFalse32;
  R.Gain = -11.0f;  // -11 + 1 = -10
  R.PassingSeen = kTrue32;
  EXPECT_EQ(Score(), -10.5f);
  R.PassingSeen = kFalse32;
  R.StepSeen = kTrue32;
  R.Event34Seen = kTrue32;
  EXPECT_EQ(Score(), static_cast<f32>(static_cast<f32>(-10 - 0.75) - 0.2 * 10.75));
}

TEST_F(MoveFitnessTest, BreakCodesInsideTheRangesGetOneCut) {
  R.EndTackled = kFalse32;
  R.Gain = 8.0f;  // 8 + 1 (beats 0) + 1 (not tackled) = 10 before the cut
  R.BreakSeen = kTrue32;
  const struct {
    f32 code;
    f32 expected;
  } cases[] = {{1.0f, 9.25f}, {3.0f, 9.25f}, {4.0f, 9.25f}, {6.0f, 9.25f}, {9.0f, 9.25f},
               {10.0f, 9.25f}, {0.5f, 10.0f}, {3.5f, 10.0f}, {6.5f, 10.0f}, {9.5f, 10.0f},
               {10.5f, 10.0f}};
  for (const auto& c : cases) {
    R.BreakActionCode = c.code;
    EXPECT_EQ(Score(), c.expected) << "code " << c.code;
  }
  R.BreakSeen = kFalse32;
  R.BreakActionCode = 3.0f;
  EXPECT_EQ(Score(), 10.0f);
}

TEST_F(MoveFitnessTest, TryLineAndClearRunTerms) {
  R.EndEventType = 0;
  R.EndBallZ = 50.0f;  // exactly on the try line
  R.EndBallX = 5.0f;
  EXPECT_EQ(Score(), 2.0f + 3.0f);
  R.EndBallZ = 49.0f;
  EXPECT_EQ(Score(), 0.0f);
  R.EndEventType = 0xFFFF;
  R.MarkedFree = kTrue32;
  EXPECT_EQ(Score(), 10.0f + 1.0f + 3.0f);
  R.KickSeen = kTrue32;
  R.FreeBallSeen = kTrue32;
  M.StopOnFreeBall = kTrue32;
  EXPECT_EQ(Score(), static_cast<f32>(10.0f - 1.5f));  // 15 % cut of the kick
  R.KickSeen = kFalse32;
  R.EndEventType = 0;  // clear carrier reaches the try-line term as well
  EXPECT_EQ(Score(), 2.0f + 3.0f + 10.0f + 1.0f + 3.0f);
}

TEST_F(MoveFitnessTest, PressureLostPassAndTouchAgainstThePlan) {
  R.PeakPressureAtCatch = 2;
  R.PeakPressureAtGather = 2;
  EXPECT_EQ(Score(), -4.5f);
  R.PeakPressureAtCatch = R.PeakPressureAtGather = 0;
  R.PassSeen = kTrue32;
  EXPECT_EQ(Score(), -1.5f);
  R.PassingSeen = kTrue32;
  EXPECT_EQ(Score(), 0.0f);
  R.PassSeen = R.PassingSeen = kFalse32;
  R.WentToTouch = kTrue32;
  for (i16 option : {1, 2, 5}) EXPECT_EQ(Score(option), -100.0f) << option;
  for (i16 option : {3, 4, 6, 7}) EXPECT_EQ(Score(option), 0.0f) << option;
}

TEST_F(MoveFitnessTest, BlockedCarrierCostsByStep) {
  R.EndState = gsGotTackled;  // no running terms
  const struct {
    f32 t;
    f32 cost;
  } cases[] = {{0.0f, 0.0f},   {0.01f, 0.4f}, {0.1f, 0.4f},  {0.11f, 0.9f},
               {0.2f, 0.9f},   {0.21f, 1.4f}, {0.5f, 1.4f},  {0.51f, 2.4f}, {9.0f, 2.4f}};
  for (const auto& c : cases) {
    R.CarrierContactTime = c.t;
    EXPECT_FLOAT_EQ(Score(), -c.cost) << "t " << c.t;
  }
}

TEST_F(MoveFitnessTest, TouchMarginInRunning) {
  // Tackled 1 m inside the 2.75 m margin, either side.
  for (f32 x : {33.25f, -33.25f}) {
    R.EndBallX = x;
    EXPECT_EQ(Score(), -2.5f) << x;
  }
  R.EndBallX = 32.25f;  // on the margin's edge: outside it
  EXPECT_EQ(Score(), 0.0f);
  // Running free: only where he will be 0.2 s on counts.
  R.EndTackled = kFalse32;
  R.EndBallX = 33.0f;
  R.EndCarrierVelX = 6.5f;  // 34.3: still 0.7 m inside touch
  EXPECT_EQ(Score(), 1.0f);
  R.EndCarrierVelX = 7.0f;  // 34.4
  EXPECT_EQ(Score(), -9.0f);
  R.EndBallX = -33.0f;
  R.EndCarrierVelX = -7.0f;
  EXPECT_EQ(Score(), -9.0f);
  R.EndState = gsGotTackled;  // not in running: no margin term at all
  EXPECT_EQ(Score(), 0.0f);
}

TEST_F(MoveFitnessTest, KickTerms) {
  R.EndTackled = kFalse32;
  R.KickSeen = kTrue32;
  M.StopOnFreeBall = kTrue32;
  // Never saw a free ball: 1 - 500, then the 15 % cut.
  EXPECT_EQ(Score(), static_cast<f32>(-499.0f - 0.15 * 499.0f));
  R.FreeBallSeen = kTrue32;
  R.PossessionLost = kTrue32;
  R.EndState = gsFreeBall;
  EXPECT_EQ(Score(3, 0.0f), static_cast<f32>(-100.0 - 15.0));
  // A move that plays on past the loose ball answers for what follows.
  M.StopOnFreeBall = kFalse32;
  R.PossessionLost = kFalse32;
  R.OpponentTouchedBall = kTrue32;
  M.MinGain = 1.0f;
  EXPECT_EQ(Score(), static_cast<f32>(-751.0 * 1.15));
  R.OpponentTouchedBall = kFalse32;
  R.EndState = gsRunning;
  R.Gain = 2.0f;  // 2 + 1 (beats 1.0) + 1 (not tackled)
  EXPECT_EQ(Score(), static_cast<f32>(4.0 * 0.85));
  R.EndTackled = kTrue32;  // tackled short of the line: -1
  R.EndBallZ = 49.8f;
  EXPECT_EQ(Score(), static_cast<f32>(2.0 * 0.85));
  R.EndBallZ = 49.9f;
  EXPECT_EQ(Score(), static_cast<f32>(3.0 * 0.85));
}

}  // namespace

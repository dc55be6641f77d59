#include <gtest/gtest.h>

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <cstring>

#include "AllocationCounter.h"
#include "core/FloatFlags.h"
#include "core/Random.h"
#include "motion/DelayPlayersUnit.h"

namespace {

// A ruck at the centre (ball at the origin): every player of both blocks far
// away and free; each defender's read delay is a clamped draw of exactly
// 1.0 s.
TWorld W;
TWorld Before;

TPlayer& Att(int i) { return W.Teams[1].Players[i]; }
TPlayer& Def(int i) { return W.Teams[2].Players[i]; }

class BallOutOfBreakdownTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::memset(&W, 0, sizeof W);
    std::feclearexcept(FE_ALL_EXCEPT);
    RandSeed = 35;
    W.PlayersPerTeam = 15;
    W.TimeStep = 0.04f;
    W.gamestate = gsGotTackled;
    for (int i = 1; i <= 15; ++i) {
      Att(i).Pos = {static_cast<f32>(-20 + i), 0.0f, -30.0f};
      Def(i).Pos = {static_cast<f32>(-20 + i), 0.0f, 30.0f};
      TDistribution& d = Def(i).ReactionDelayExtra1;
      d.mean = d.min = d.max = 1.0f;
      d.sd = 0.5f;
    }
    W.Teams[1].StrategyTimer = 3.0f;
    W.Teams[2].StrategyTimer = 3.0f;
    W.Teams[2].PressureTimerA = 1.0f;
    W.Teams[2].PressureTimerB = 1.0f;
  }
  void TearDown() override { EXPECT_FALSE(FloatErrorRaised()); }
};

TEST_F(BallOutOfBreakdownTest, ReleasedPassOrScrumWithoutCarrierChangesNothing) {
  struct Case {
    const char* what;
    TGameState state;
  } cases[] = {{"a pass released this frame", gsPassing},
               {"a scrum without a carrier", gsScrum},
               {"a lineout without a carrier", gsLineout}};
  for (const Case& c : cases) {
    SetUp();
    W.gamestate = c.state;
    Att(3).RuckTimer = 10.0f;
    Def(4).GettingTackledTimer = 1.0f;
    W.Teams[1].PassReceiver = 10;
    std::memcpy(&Before, &W, sizeof W);
    const u32 seed = RandSeed;
    BallOutOfBreakdown(W);
    EXPECT_EQ(0, std::memcmp(&Before, &W, sizeof W)) << c.what;
    EXPECT_EQ(seed, RandSeed) << c.what;
  }
}

TEST_F(BallOutOfBreakdownTest, PassCalledOffInRunning) {
  W.gamestate = gsRunning;
  W.Teams[1].BallCarrier = 12;
  W.Teams[1].PassReceiver = 10;
  TActionSeq& S = Att(12).ActionSeq;
  S.seqON = kTrue32;
  S.NumEvents = 2;
  S.CurrEventIndex = 2;
  S.EventArray[2].EventType = 2;
  BallOutOfBreakdown(W);
  EXPECT_EQ(0, S.seqON);
  EXPECT_EQ(0, W.Teams[1].PassReceiver);
  EXPECT_EQ(gsRunning, W.gamestate);
  EXPECT_EQ(3.0f, W.Teams[1].StrategyTimer) << "running is no breakdown";

  S.seqON = kTrue32;
  S.EventArray[2].EventType = 3;
  BallOutOfBreakdown(W);
  EXPECT_NE(0, S.seqON) << "an event of another type runs on";
}

TEST_F(BallOutOfBreakdownTest, RuckBreaksUpIntoRunning) {
  // Block 1: 2 and 4 bound in slots 1 and 2 (role 2), 6 with role 1 and 7
  // with role 0 in slots 3 and 4, 8 (role 2) not in any slot, keeping his
  // old release delay. Block 2: 5 bound in slot 1.
  TTeamBlock& A = W.Teams[1];
  TTeamBlock& D = W.Teams[2];
  const int bound[] = {2, 4, 6, 7, 8};
  const f32 roles[] = {2.0f, 2.0f, 1.0f, 0.0f, 2.0f};
  for (int k = 0; k < 5; ++k) {
    Att(bound[k]).RuckTimer = 10.0f;
    Att(bound[k]).RuckRole = roles[k];
    if (k < 4) A.PackSpots.OccupantB[k + 1] = bound[k];
  }
  Att(8).RuckTimer2 = 0.1f;
  Def(5).RuckTimer = 10.0f;
  Def(5).RuckRole = 2.0f;
  D.PackSpots.OccupantB[1] = 5;
  // The tackle: carrier 1 of block 1 (kind 2: on his back), tackler 3 of
  // block 2 (kind 1); a block 2 tackle of kind 5 goes on.
  Att(1).GettingTackledTimer = 2.0f;
  Att(1).GettingTackledKind = 2.0f;
  Att(1).GettingTackledFacing = 45.0f;
  Att(1).target = 3;
  Def(3).TackleAttemptTimer = 2.0f;
  Def(3).TackleAttemptKind = 1.0f;
  Def(3).TackleAttemptFacing = 225.0f;
  Def(3).numtargetting = 1;
  Def(9).TackleAttemptTimer = 2.0f;
  Def(9).TackleAttemptKind = 5.0f;

  StartCountingAllocations();
  BallOutOfBreakdown(W);
  EXPECT_EQ(0, StopCountingAllocations());

  EXPECT_EQ(gsRunning, W.gamestate);
  EXPECT_EQ(0.0f, A.StrategyTimer);
  EXPECT_EQ(0.0f, D.StrategyTimer);
  EXPECT_NE(0, W.PassSpiral);
  for (int i = 1; i <= 15; ++i) EXPECT_EQ(0.0f, Att(i).RuckTimer) << i;
  EXPECT_EQ(0.0f, Def(5).RuckTimer);
  EXPECT_EQ(A.PackSpots.ReleaseDelay[1], Att(2).RuckTimer2);
  EXPECT_EQ(A.PackSpots.ReleaseDelay[2], Att(4).RuckTimer2);
  EXPECT_EQ(D.PackSpots.ReleaseDelay[1], Def(5).RuckTimer2);
  EXPECT_EQ(0.0f, Att(6).RuckTimer2) << "role 1 gets no delay";
  EXPECT_EQ(0.0f, Att(7).RuckTimer2) << "role 0 gets no delay";
  EXPECT_EQ(0.1f, Att(8).RuckTimer2) << "not bound: keeps his delay";

  f32 largest = 0;
  for (int i = 1; i <= 15; ++i) largest = std::max({largest, Att(i).RuckTimer2, Def(i).RuckTimer2});
  ASSERT_GT(largest, 0.1f);
  EXPECT_EQ(largest, W.SearchBestDist);
  const TPlayer& last = W.Teams[W.SearchBestIndex].Players[W.SearchBestPlayer];
  EXPECT_EQ(largest, last.RuckTimer2);

  const f32 after = static_cast<f32>(largest + 0.25);
  EXPECT_EQ(after, Att(1).OldTackleTimer);
  EXPECT_EQ(45.0f, Att(1).OldTackleFacing);
  EXPECT_EQ(2, Att(1).GroundPosture);
  EXPECT_EQ(0.0f, Att(1).GettingTackledTimer);
  EXPECT_EQ(0, Att(1).target);
  EXPECT_EQ(after, Def(3).OldTackleTimer);
  EXPECT_EQ(225.0f, Def(3).OldTackleFacing);
  EXPECT_EQ(1, Def(3).GroundPosture);
  EXPECT_EQ(0.0f, Def(3).TackleAttemptTimer);
  EXPECT_EQ(0, Def(3).numtargetting);
  EXPECT_EQ(2.0f, Def(9).TackleAttemptTimer) << "kinds 3 to 8 go on";
  EXPECT_EQ(0.0f, Def(9).OldTackleTimer);
  EXPECT_EQ(0.0f, D.PressureTimerA);
}

TEST_F(BallOutOfBreakdownTest, ScrumWithCarrierEndsHisRunAndTacklesGetAQuarterSecond) {
  W.gamestate = gsScrum;
  W.Teams[1].BallCarrier = 8;
  TActionSeq& S = Att(8).ActionSeq;
  S.seqON = kTrue32;
  S.CurrEventIndex = 1;
  S.EventArray[1].EventType = 1;
  Def(6).GettingTackledTimer = 1.0f;
  Def(6).GettingTackledKind = 0.0f;
  BallOutOfBreakdown(W);
  EXPECT_EQ(gsRunning, W.gamestate);
  EXPECT_EQ(0, S.seqON);
  EXPECT_EQ(0.0f, W.SearchBestDist);
  EXPECT_EQ(0.25f, Def(6).OldTackleTimer) << "no positive release delay";
  EXPECT_EQ(1, Def(6).GroundPosture);
}

// A lineout catcher whose pass down found no throw (the frame of the
// example match where the ball stayed in his hands for the rest of the half)
// plays on with the ball: the lineout held no other way out.
TEST_F(BallOutOfBreakdownTest, LineoutCatcherWhosePassDownDidNotGoPlaysOn) {
  W.gamestate = gsLineout;
  W.LineoutPhase = 14;
  W.Teams[1].BallCarrier = 6;
  W.Teams[1].PassReceiver = 9;
  Att(6).LineOutTimer = 10.0f;
  Att(6).LineoutRole = 10.0f;
  TActionSeq& S = Att(6).ActionSeq;
  S.seqON = kTrue32;
  S.CurrEventIndex = 1;
  S.EventArray[1].EventType = 2;
  BallOutOfBreakdown(W);
  EXPECT_EQ(gsRunning, W.gamestate);
  EXPECT_EQ(6, W.Teams[1].BallCarrier) << "the catcher keeps the ball";
  EXPECT_EQ(0, S.seqON);
  EXPECT_EQ(0.0f, W.Teams[1].StrategyTimer) << "both sides choose afresh";
  EXPECT_EQ(0.0f, W.Teams[2].StrategyTimer);
  EXPECT_EQ(1.0f, Def(5).PassReadTimer) << "the defence reads the ball";
  EXPECT_EQ(10.0f, Att(6).LineOutTimer) << "held until he lands";
}

TEST_F(BallOutOfBreakdownTest, DefendersNearTheBallReadItSooner) {
  struct Case {
    const char* what;
    f32 x, z;
    bool near;
  } cases[] = {{"6.9 across, 4.9 along", 6.9f, 4.9f, true},
               {"6.9 across, -4.9 along", -6.9f, -4.9f, true},
               {"7.0 across", 7.0f, 4.9f, false},
               {"5.0 along", 6.9f, 5.0f, false}};
  for (const Case& c : cases) {
    bool sawCut = false;
    for (u32 seed = 1; seed <= 40; ++seed) {
      SetUp();
      RandSeed = seed;
      W.BallPos = {10.0f, 0.0f, 20.0f};
      Def(4).Pos = {10.0f + c.x, 0.0f, 20.0f + c.z};
      BallOutOfBreakdown(W);
      const f32 t = Def(4).PassReadTimer;
      EXPECT_EQ(1.0f, Def(4).ReactionDelayExtra1.value) << c.what;
      EXPECT_EQ(0.0f, Def(4).RunningAngleReactionTime.value) << c.what;
      EXPECT_EQ(1.0f, Def(5).PassReadTimer) << "far away";
      if (!c.near) {
        EXPECT_EQ(1.0f, t) << c.what;
        continue;
      }
      EXPECT_GE(t, 0.0f) << c.what;
      EXPECT_LE(t, 0.5f) << c.what;
      EXPECT_NEAR(std::round(t * 100.0), t * 100.0, 1e-4) << c.what;
      sawCut = sawCut || (t > 0.0f && t < 0.5f);
    }
    if (c.near) {
      EXPECT_TRUE(sawCut) << c.what;
    }
  }
}

}  // namespace

#include "flow/SampleWorldUnit.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "app/FrameSteps.h"
#include "core/DrawCount.h"
#include "core/FloatFlags.h"
#include "core/Random.h"

namespace {

TWorld W;

// A running frame: block 1's number 10 carries at the centre spot, the gain
// line at z = 0, every player standing still far apart and not due to look
// at the play (no perception draws unless a test asks for them).
class SampleWorldTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::memset(&W, 0, sizeof W);
    W.PlayersPerTeam = 15;
    W.TimeStep = 0.04f;
    W.gamestate = W.FrameGameState = gsRunning;
    W.Team1InFirstBlock = W.FrameTeam1InFirstBlock = kTrue32;
    for (int k = 1; k <= 10; ++k) W.MessageSlotFree[k] = kTrue32;
    for (int b = 1; b <= 2; ++b) {
      W.Teams[b].teamid = 100 * b;
      for (int p = 1; p <= 25; ++p) {
        TPlayer& P = W.Teams[b].Players[p];
        P.id = 1000 * b + p;
        P.Pos = {static_cast<f32>(-35 + 5 * p), 0, b == 1 ? -20.0f : 20.0f};
        P.MaxSpeedNonFatigued = 8.0f;
        P.PerceptionTimer = 100.0f;
      }
    }
    W.Teams[1].BallCarrier = 10;
    Carrier().Pos = {0, 0, 0};
    Carrier().Velocity = {0, 1.0f};  // going forward: the gain line stays
    RandSeed = 777;
  }
  static TPlayer& Carrier() { return W.Teams[1].Players[10]; }
  // The codes posted so far, in queue order.
  static std::vector<int> Posted() {
    std::vector<int> codes;
    for (int k = 1; k <= 10; ++k)
      if (W.MessageSlotFree[k] == 0) codes.push_back(W.MessageQueue[k].message);
    return codes;
  }
  static int CalledRunner() {
    int called = 0;
    for (int p = 1; p <= 25; ++p) {
      if (W.Teams[1].Players[p].SupportRunCall != 0) {
        EXPECT_EQ(called, 0) << "a second runner " << p;
        called = p;
      }
    }
    return called;
  }
  static void Frame() {
    std::feclearexcept(FE_ALL_EXCEPT);
    SampleWorld(W);
    EXPECT_FALSE(FloatErrorRaised());
  }
};

}  // namespace

TEST_F(SampleWorldTest, StateChangeStartsTheClockAndRemembersTheStateLeft) {
  W.FrameGameState = gsKickRestartSet;
  W.TimeInGameState = 3.0f;
  Frame();
  EXPECT_EQ(W.PrevFrameGameState, gsKickRestartSet);
  EXPECT_EQ(W.FrameGameState, gsRunning);
  EXPECT_EQ(W.FromGameState, gsKickRestartSet);
  EXPECT_EQ(W.TimeInGameState, 0.0f);
  Frame();
  EXPECT_EQ(W.PrevFrameGameState, gsRunning);
  EXPECT_EQ(W.FromGameState, gsKickRestartSet);
  EXPECT_FLOAT_EQ(W.TimeInGameState, 0.04f);
}

TEST_F(SampleWorldTest, SetPieceClockRestartsAfterAScrumOrLineoutFrame) {
  struct Case {
    TGameState before;
    f32 expected;
  } cases[] = {{gsScrum, 0.0f}, {gsLineout, 0.0f}, {gsRunning, 7.0f}, {gsGotTackled, 7.0f}};
  for (const Case& c : cases) {
    W.FrameGameState = c.before;
    W.TimeSinceSetPiece = 7.0f;
    Frame();
    EXPECT_EQ(W.TimeSinceSetPiece, c.expected) << int(c.before);
  }
}

TEST_F(SampleWorldTest, FirstStageOnlyBeyondTwoAndAHalfMetresAndPostedOnce) {
  Carrier().Pos.z = 2.5f;  // exactly on the mark: no break
  Frame();
  EXPECT_EQ(W.LineBreak, 0);
  EXPECT_TRUE(Posted().empty());

  Carrier().Pos.z = 2.6f;
  Frame();
  EXPECT_NE(W.LineBreak, 0);
  EXPECT_EQ(Posted(), std::vector<int>{msgLineBreak});
  EXPECT_EQ(W.MessageQueue[1].teamID, 100);
  EXPECT_EQ(W.MessageQueue[1].playerID, 1010);
  EXPECT_EQ(W.MessageQueue[1].extravalue, 0.0f);

  Carrier().Pos.z = 3.0f;  // still beyond
  Frame();
  Carrier().Pos.z = -4.0f;  // drops back: the stage stays latched
  Frame();
  EXPECT_NE(W.LineBreak, 0);
  EXPECT_EQ(Posted(), std::vector<int>{msgLineBreak});
}

TEST_F(SampleWorldTest, FarAheadReachesSeveralStagesInOneFrame) {
  struct Case {
    f32 z;
    std::vector<int> codes;
  } cases[] = {{9.5f, {msgLineBreak}},
               {9.6f, {msgLineBreak, msgLineBreak2}},
               {23.6f, {msgLineBreak, msgLineBreak2, msgLineBreak3}},
               {51.6f, {msgLineBreak, msgLineBreak2, msgLineBreak3, msgLineBreak4}}};
  for (const Case& c : cases) {
    SetUp();
    Carrier().Pos.z = c.z;
    Frame();
    EXPECT_EQ(Posted(), c.codes) << c.z;
  }
}

TEST_F(SampleWorldTest, ChangeOfPossessionClearsEveryStageSoANewBreakPostsAgain) {
  Carrier().Pos.z = 30.0f;
  Frame();
  ASSERT_NE(W.LineBreak3, 0);
  for (int k = 1; k <= 10; ++k) W.MessageSlotFree[k] = kTrue32;
  W.Team1InFirstBlock = kFalse32;  // the other team now in the first block
  Carrier().Pos.z = 0.0f;
  Frame();
  EXPECT_EQ(W.LineBreak, 0);
  EXPECT_EQ(W.LineBreak2, 0);
  EXPECT_EQ(W.LineBreak3, 0);
  EXPECT_TRUE(Posted().empty());
  Carrier().Pos.z = 5.0f;
  Frame();
  EXPECT_EQ(Posted(), std::vector<int>{msgLineBreak});
}

TEST_F(SampleWorldTest, OutsideOpenPlayTheStagesEnd) {
  Carrier().Pos.z = 30.0f;
  Frame();
  W.gamestate = gsGotTackled;
  Frame();
  EXPECT_EQ(W.LineBreak, 0);
  EXPECT_EQ(W.LineBreak4, 0);
  EXPECT_EQ(W.LineBreak2, 0);
}

TEST_F(SampleWorldTest, GainLineFollowsACarrierWhoDoesNotGoForward) {
  Carrier().Velocity = {0, 0};
  W.GainLineZ = 1.0f;
  Frame();
  EXPECT_FLOAT_EQ(W.GainLineZ, 0.9f);
  Carrier().Velocity = {3.0f, -2.0f};
  Frame();
  EXPECT_FLOAT_EQ(W.GainLineZ, 0.8f);
  Carrier().Velocity = {0, 0.5f};
  Frame();
  EXPECT_FLOAT_EQ(W.GainLineZ, 0.8f);
  W.gamestate = gsPassing;
  Carrier().Velocity = {0, 0};
  Frame();
  EXPECT_FLOAT_EQ(W.GainLineZ, 0.8f);
}

// Support runners: the carrier stands still at x = 0, so the side comes from
// AttackSide; players 1..15 stand at x = -30, -25, ..., 40.
TEST_F(SampleWorldTest, SupportRunnerIsTheQuickestToTheCarrierOnTheChosenSide) {
  struct Case {
    const char* what;
    i32 attackSide;
    int expected;
  } cases[] = {{"side +1", 1, 9},     // x = 10, the nearest at least 10 m to +x
               {"side -1", 2, 5}};    // x = -10
  for (const Case& c : cases) {
    SetUp();
    Carrier().Velocity = {0, 0};
    W.Teams[1].AttackSide = c.attackSide;
    Carrier().Pos.z = 3.0f;
    const u32 before = RandSeed;
    Frame();
    EXPECT_EQ(CalledRunner(), c.expected) << c.what;
    EXPECT_EQ(W.Teams[1].Players[c.expected].SupportSide, 0) << c.what;
    EXPECT_EQ(DrawsSince(before), 0) << c.what;
  }
}

TEST_F(SampleWorldTest, SupportSideFromTheCarriersRunOrAFairDraw) {
  // Running across to +x at 2 m/s: the runner comes from the other side.
  Carrier().Velocity = {2.0f, 1.0f};
  Carrier().Pos.z = 3.0f;
  u32 before = RandSeed;
  Frame();
  EXPECT_EQ(CalledRunner(), 5);
  EXPECT_EQ(DrawsSince(before), 0);

  // A pass under way: the side is drawn from AttackSide 0, one draw.
  SetUp();
  Carrier().Velocity = {2.0f, 1.0f};
  Carrier().passtimer = 0.3f;
  Carrier().Pos.z = 3.0f;
  before = RandSeed;
  Frame();
  EXPECT_EQ(DrawsSince(before), 1);
  EXPECT_NE(CalledRunner(), 0);
}

TEST_F(SampleWorldTest, TackledCarrierPostsTheBreakButCallsNobody) {
  Carrier().Pos.z = 10.0f;
  Carrier().GettingTackledTimer = 0.5f;
  const u32 before = RandSeed;
  Frame();
  EXPECT_EQ(Posted(), (std::vector<int>{msgLineBreak, msgLineBreak2}));
  EXPECT_EQ(CalledRunner(), 0);
  EXPECT_EQ(DrawsSince(before), 2);  // the side is drawn at both stages all the same
  EXPECT_NE(W.CarrierTackledFlag, 0);
}

TEST_F(SampleWorldTest, NoRunnerWhenEveryoneIsWithinTenMetresSideways) {
  for (int p = 1; p <= 15; ++p) W.Teams[1].Players[p].Pos.x = static_cast<f32>(p % 2 == 0 ? 9.9 : -9.9);
  W.Teams[1].AttackSide = 1;
  Carrier().Velocity = {0, 0};
  Carrier().Pos.z = 3.0f;
  Frame();
  EXPECT_EQ(CalledRunner(), 0);
}

TEST_F(SampleWorldTest, EqualTimesGoToTheLowerIndexAndBusyPlayersAreSkipped) {
  W.Teams[1].AttackSide = 1;
  Carrier().Velocity = {0, 0};
  Carrier().Pos.z = 3.0f;
  for (int p : {4, 7}) W.Teams[1].Players[p].Pos = {12.0f, 0, 3.0f};
  Frame();
  EXPECT_EQ(CalledRunner(), 4);

  struct Case {
    const char* what;
    void (*busy)(TPlayer&);
  } cases[] = {{"already called", [](TPlayer& P) { P.SupportRunCall = kTrue32; }},
               {"in a sequence", [](TPlayer& P) { P.ActionSeq.seqON = kTrue32; }},
               {"getting up", [](TPlayer& P) { P.standuptimer = 0.1f; }},
               {"on the ground", [](TPlayer& P) { P.OldTackleTimer = 0.1f; }},
               {"at the breakdown", [](TPlayer& P) { P.RuckTimer2 = 0.1f; }},
               {"cannot run", [](TPlayer& P) { P.MaxSpeedNonFatigued = 0; }}};
  for (const Case& c : cases) {
    SetUp();
    W.Teams[1].AttackSide = 1;
    Carrier().Velocity = {0, 0};
    Carrier().Pos.z = 3.0f;
    for (int p : {4, 7}) W.Teams[1].Players[p].Pos = {12.0f, 0, 3.0f};
    c.busy(W.Teams[1].Players[4]);
    Frame();
    EXPECT_EQ(W.Teams[1].Players[7].SupportRunCall, kTrue32) << c.what;
  }
}

TEST_F(SampleWorldTest, BreakdownFlagsLatchInGotTackledAndClearOutsideIt) {
  W.gamestate = gsGotTackled;
  TTeamBlock& T = W.Teams[1];
  T.Players[6].ActionSeq.seqON = kTrue32;
  T.Players[6].ActionSeq.SeqHeadFlag = kTrue32;
  Frame();
  EXPECT_NE(W.RuckThreat, 0);
  EXPECT_EQ(W.RuckPassNearMark, 0);
  T.Players[6].ActionSeq.seqON = 0;
  Frame();
  EXPECT_NE(W.RuckThreat, 0);  // stays set while the state lasts
  W.gamestate = gsRunning;
  Frame();
  EXPECT_EQ(W.RuckThreat, 0);
}

// The breakdown pass: scrum-half 9 passing to 12, who runs at 2 m/s to +z;
// the catch point is his position moved on by the pass time left.
TEST_F(SampleWorldTest, PassCaughtNearTheMarkRaisesBothFlags) {
  struct Case {
    f32 dx, dz;
    bool near;
  } cases[] = {{9.9f, 4.9f, true},  {10.0f, 4.9f, false}, {9.9f, 5.0f, false},
               {6.9f, 7.9f, true},  {7.0f, 7.9f, false},  {6.9f, 8.0f, false},
               {-9.9f, -4.9f, true}, {0, -7.9f, true}};
  for (const Case& c : cases) {
    SetUp();
    W.gamestate = gsGotTackled;
    W.MarkX = 3.0f;
    W.MarkZ = -5.0f;
    TTeamBlock& T = W.Teams[1];
    T.SetPieceHolder = 9;
    T.PassReceiver = 12;
    T.PassTimeLeft = 0.5f;
    T.Players[9].passtimer = 0.2f;
    T.Players[12].Velocity = {0, 2.0f};
    T.Players[12].Pos = {W.MarkX + c.dx, 0, W.MarkZ + c.dz - 1.0f};
    Frame();
    EXPECT_EQ(W.RuckPassNearMark != 0, c.near) << c.dx << " " << c.dz;
    EXPECT_EQ(W.RuckThreat != 0, c.near) << c.dx << " " << c.dz;
  }
}

TEST_F(SampleWorldTest, IndicesThatNameNoRecordLeaveTheirRulesOut) {
  for (i32 bad : {0, 26, -3, 1000}) {
    SetUp();
    W.Teams[1].BallCarrier = bad;
    W.GainLineZ = -50.0f;
    Frame();
    EXPECT_EQ(W.LineBreak, 0) << bad;
    EXPECT_EQ(W.GainLineZ, -50.0f) << bad;
    EXPECT_TRUE(Posted().empty()) << bad;

    SetUp();
    W.gamestate = gsGotTackled;
    W.Teams[1].TackledPlayer = bad;
    W.Teams[1].SetPieceHolder = 9;
    W.Teams[1].Players[9].passtimer = 1.0f;
    W.Teams[1].PassReceiver = bad;
    Frame();
    EXPECT_EQ(W.RuckPassNearMark, 0) << bad;
    EXPECT_EQ(W.CarrierTackledFlag, 0) << bad;
  }
}

TEST_F(SampleWorldTest, PlayersLookOnlyWhenTheirTimerRunsOut) {
  TPlayer& A = W.Teams[1].Players[3];
  TPlayer& D = W.Teams[2].Players[3];
  SetDistribution(A.AwarenessReactionTime, 0.5, 0.1, 0.3, 0.7);
  SetDistribution(D.AwarenessReactionTime, 0.5, 0.1, 0.3, 0.7);
  A.PerceptionTimer = 0.04f;  // looks this frame
  D.PerceptionTimer = 0.05f;  // not yet
  W.RuckThreat = kTrue32;     // cleared in running before the look
  const u32 before = RandSeed;
  Frame();
  EXPECT_EQ(DrawsSince(before), 2);  // one interval
  EXPECT_GE(A.PerceptionInterval, 0.3f);
  EXPECT_LE(A.PerceptionInterval, 0.7f);
  EXPECT_EQ(A.PerceptionTimer, A.PerceptionInterval);
  EXPECT_EQ(A.PerceivedPlayer, 10);
  EXPECT_EQ(A.PerceivedGameState, gsRunning);
  EXPECT_NEAR(D.PerceptionTimer, 0.01f, 1e-6f);
  EXPECT_EQ(D.PerceivedPlayer, 0);

  // A change of state: the player still waiting keeps his old snapshot.
  W.gamestate = gsPassing;
  W.Teams[1].PassReceiver = 12;
  const TPlayer kept = A;
  Frame();
  EXPECT_EQ(A.PerceivedGameState, kept.PerceivedGameState);
  EXPECT_EQ(A.PerceivedPlayer, kept.PerceivedPlayer);
  EXPECT_EQ(D.PerceivedGameState, gsPassing);  // his timer ran out
  EXPECT_EQ(D.PerceivedPlayer, 12);
  EXPECT_EQ(D.PerceivedRuckThreat, 0);
}

TEST_F(SampleWorldTest, DrawAndPassValueOnlyAtTheFirstLookThatFindsPassing) {
  W.gamestate = gsPassing;
  W.Teams[1].PassReceiver = 12;
  for (int b = 1; b <= 2; ++b) {
    TPlayer& P = W.Teams[b].Players[5];
    P.PerceptionTimer = 0;
    SetDistribution(P.DrawAndPassStartTime, 0.2, 0.03, 0.15, 0.31);
    P.DrawAndPassStartValue = -1.0f;
  }
  u32 before = RandSeed;
  Frame();  // zero intervals: both look every frame
  EXPECT_EQ(DrawsSince(before), 8);  // block 1's player 5: interval, value; then block 2's
  for (int b = 1; b <= 2; ++b) EXPECT_GE(W.Teams[b].Players[5].DrawAndPassStartValue, 0.15f);
  const f32 first = W.Teams[1].Players[5].DrawAndPassStartValue;
  before = RandSeed;
  Frame();
  EXPECT_EQ(DrawsSince(before), 4);  // the intervals only
  EXPECT_EQ(W.Teams[1].Players[5].DrawAndPassStartValue, first);
}

TEST_F(SampleWorldTest, CarrierTackledFlagFollowsTheStatesPlayer) {
  struct Case {
    TGameState state;
    int tackledIndex;
    bool flag;
  } cases[] = {{gsRunning, 10, true}, {gsGotTackled, 7, true}, {gsPassing, 10, false}, {gsGotTackled, 10, false}};
  for (const Case& c : cases) {
    SetUp();
    W.gamestate = c.state;
    W.Teams[1].TackledPlayer = 7;
    W.Teams[1].Players[c.tackledIndex].GettingTackledTimer = 0.2f;
    Frame();
    EXPECT_EQ(W.CarrierTackledFlag != 0, c.flag) << int(c.state) << " " << c.tackledIndex;
  }
}

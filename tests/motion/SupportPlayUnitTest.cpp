#include "motion/SupportPlayUnit.h"

#include <gtest/gtest.h>

#include <cstring>

#include "app/FrameSteps.h"
#include "contact/SupportCommits.h"
#include "core/DrawCount.h"
#include "core/StrategyShapes.h"
#include "flow/OpenPlayScene.h"

namespace {

// Block 1's carrier 10 stands at x = 5; everyone else far behind and free.
class SupportPlayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeOpenPlayPitch(W);
    BuildActionSeqTemplates(W);
    for (int b = 1; b <= 2; ++b) {
      for (int p = 1; p <= 25; ++p) {
        W.Teams[b].Players[p].Pos = {static_cast<f32>(p), 0.0f, b == 1 ? -40.0f : 40.0f};
      }
    }
    W.Teams[1].BallCarrier = 10;
    W.Teams[1].Players[10].Pos = {5.0f, 0.0f, 0.0f};
  }

  static TPlayer& Pl(int b, int p) { return W.Teams[b].Players[p]; }

  // Calls the step as the frame driver does, with the float check.
  static void RunSupportPlay() { RunFrameStep({"SupportPlay", SupportPlay}, W); }

  static TWorld W;
};
TWorld SupportPlayTest::W;

TEST_F(SupportPlayTest, ACalledRunnerGoesToTheLineBesideTheCarrier) {
  struct Case {
    const char* what;
    f32 x;           // of the called player 4
    u16 side;        // his SupportSide
    f32 lo, hi;      // TargetX
    int draws;
  };
  const Case cases[] = {
      // 4 m left of the carrier: a stay of 2.00 to 3.50 m would leave him
      // within 3 m of him, so he crosses after all, with a new length.
      {"side 2, 4 m left", 1.0f, 2, 8.0f, 12.0f, 3},
      {"side 2, 8 m left: stays", -3.0f, 2, 1.5f, 3.0f, 2},
      {"side 2, 8 m right: stays", 13.0f, 2, 7.0f, 8.5f, 2},
      {"side 1, 8 m left: crosses", -3.0f, 1, 8.0f, 12.0f, 2},
      {"side 1, 1 m right: crosses", 6.0f, 1, -2.0f, 2.0f, 2},
  };
  for (const Case& c : cases) {
    for (u32 seed = 1; seed <= 30; ++seed) {
      SetUp();
      TPlayer& P = Pl(1, 4);
      P.Pos.x = c.x;
      P.SupportSide = c.side;
      P.SupportRunCall = kTrue32;
      RandSeed = seed;
      RunSupportPlay();
      EXPECT_EQ(DrawsSince(seed), c.draws) << c.what;
      EXPECT_EQ(P.SupportRunCall, 0) << c.what;
      const TActionSeq& S = P.ActionSeq;
      EXPECT_EQ(S.seqON, kTrue32) << c.what;
      EXPECT_EQ(S.NumEvents, 1) << c.what;
      EXPECT_EQ(S.CurrEventIndex, 0) << c.what;
      EXPECT_EQ(S.EventArray[1].EventType, 14) << c.what;
      EXPECT_EQ(S.EventArray[1].EndCondition, 3) << c.what;
      EXPECT_GE(S.EventArray[1].TargetX, c.lo) << c.what << " seed " << seed;
      EXPECT_LE(S.EventArray[1].TargetX, c.hi) << c.what << " seed " << seed;
    }
  }
}

TEST_F(SupportPlayTest, TheSideRollDecidesWithoutASupportSide) {
  // Player 4 stands 8 m left of the carrier: a cross takes him 3 to 7 m to
  // the right, a stay 2 to 3.5 m to the left.
  int crosses = 0, stays = 0;
  for (u32 seed = 1; seed <= 200; ++seed) {
    SetUp();
    TPlayer& P = Pl(1, 4);
    P.Pos.x = -3.0f;
    P.SupportRunCall = kTrue32;
    RandSeed = seed;
    const bool cross = RandomRange(1, 1001) >= 500;
    RandSeed = seed;
    RunSupportPlay();
    const f32 x = P.ActionSeq.EventArray[1].TargetX;
    EXPECT_EQ(x > 5.0f, cross) << seed;
    (cross ? crosses : stays) += 1;
  }
  EXPECT_GT(crosses, 50);
  EXPECT_GT(stays, 50);
}

TEST_F(SupportPlayTest, ATargetBeyondTouchComesTo08mInside) {
  TPlayer& C = Pl(1, 10);
  for (const f32 carrierX : {33.0f, -33.0f}) {
    for (u32 seed = 1; seed <= 20; ++seed) {
      SetUp();
      C.Pos.x = carrierX;
      TPlayer& P = Pl(1, 4);
      P.Pos.x = carrierX > 0 ? 20.0f : -20.0f;
      P.SupportSide = 1;  // crosses towards touch
      P.SupportRunCall = kTrue32;
      RandSeed = seed;
      RunSupportPlay();
      EXPECT_EQ(P.ActionSeq.EventArray[1].TargetX, carrierX > 0 ? 34.2f : -34.2f) << seed;
    }
  }
}

TEST_F(SupportPlayTest, WhoKeepsHisCallAndWhoLosesIt) {
  struct Case {
    const char* what;
    TGameState state;
    int called;
    i32 receiver;
    bool alreadyScripted;
    bool keepsCall;
    bool getsRun;
  };
  const Case cases[] = {
      {"the carrier himself", gsRunning, 10, 0, false, true, false},
      {"already scripted", gsRunning, 4, 0, true, true, false},
      {"passing: the receiver himself", gsPassing, 4, 4, false, true, false},
      {"passing: a runner beside the receiver", gsPassing, 10, 4, false, false, true},
      {"passing without a receiver", gsPassing, 6, 0, false, false, false},
      {"passing, a receiver outside the block", gsPassing, 6, 40, false, false, false},
      {"not in open play", gsGotTackled, 4, 0, false, true, false},
  };
  for (const Case& c : cases) {
    SetUp();
    W.gamestate = c.state;
    W.Teams[1].PassReceiver = c.receiver;
    TPlayer& P = Pl(1, c.called);
    P.SupportRunCall = kTrue32;
    if (c.alreadyScripted) {
      P.ActionSeq = StrategyParams.ActionSeqTemplate;
      P.ActionSeq.EventArray[1].TargetX = 77.0f;
    }
    RandSeed = 5;
    RunSupportPlay();
    EXPECT_EQ(P.SupportRunCall != 0, c.keepsCall) << c.what;
    EXPECT_EQ(P.ActionSeq.seqON != 0, c.getsRun || c.alreadyScripted) << c.what;
    EXPECT_EQ(DrawsSince(5) > 0, c.getsRun) << c.what;
    if (c.alreadyScripted) {
      EXPECT_EQ(P.ActionSeq.EventArray[1].TargetX, 77.0f) << c.what;
    }
  }
}

TEST_F(SupportPlayTest, CommitUpSendsTheNearestFreePlayersRoundTheCarrier) {
  // Six free players at growing distances from the carrier; the others busy.
  const int order[6] = {7, 3, 12, 1, 14, 5};
  const struct Busy {
    int p;
    f32 TPlayer::*timer;
  } busy[] = {{2, &TPlayer::RuckTimer},       {4, &TPlayer::RuckTimer2},      {6, &TPlayer::TackleAttemptTimer},
              {8, &TPlayer::OldTackleTimer},  {9, &TPlayer::standuptimer},    {11, &TPlayer::passcatchtimer},
              {13, &TPlayer::freeballcatchtimer}, {15, &TPlayer::shimmytimer}};
  for (u32 seed = 1; seed <= 40; ++seed) {
    SetUp();
    for (int k = 0; k < 6; ++k) {
      TPlayer& P = Pl(1, order[k]);
      P.Pos = {5.0f, 0.0f, -2.0f - k};
      P.SupportCommitProb = 500.0f;
    }
    Pl(1, order[0]).SupportCommitProb = 0.0f;  // the nearest goes whatever his roll
    for (const Busy& b : busy) Pl(1, b.p).*b.timer = 0.1f;
    // The carrier, free and nearest of all, is left out.
    RandSeed = seed;
    // The expected walk: one roll per walked player until four are in.
    int committed[4];
    int m = 0, rolls = 0;
    for (int k = 0; k < 6 && m < 4; ++k) {
      const i32 r = RandomRange(1, 1001);
      ++rolls;
      if (k == 0 || r < 500) committed[m++] = order[k];
    }
    f32 headings[4];
    for (int k = 0; k < m; ++k) headings[k] = static_cast<f32>(RandomRange(240, 301));
    RandSeed = seed;
    CommitUpTeamSupport(W);
    EXPECT_EQ(DrawsSince(seed), rolls + m) << seed;
    int n = 0;
    for (int p = 1; p <= 15; ++p) n += Pl(1, p).ActionSeq.seqON != 0;
    EXPECT_EQ(n, m) << seed;
    for (int k = 0; k < m; ++k) {
      const TActionSeq& S = Pl(1, committed[k]).ActionSeq;
      const TActionEvent& E = S.EventArray[1];
      ASSERT_EQ(S.seqON, kTrue32) << seed << " " << committed[k];
      EXPECT_EQ(S.CurrEventIndex, 0);
      EXPECT_EQ(E.EventType, 0);
      EXPECT_EQ(E.EndCondition, 3);
      EXPECT_EQ(E.RelMovementOn, kTrue32);
      EXPECT_EQ(E.RelOwnTeam, kTrue32);
      EXPECT_EQ(E.RelPlayer, 10);
      EXPECT_EQ(E.RelDistance, 2.0f);
      EXPECT_EQ(E.RelHeading, headings[k]) << seed;
      EXPECT_GE(E.RelHeading, 240.0f);
      EXPECT_LE(E.RelHeading, 300.0f);
      EXPECT_EQ(E.Intercept, kTrue32);
      EXPECT_EQ(E.Deadline, 2.0f);
    }
    EXPECT_EQ(Pl(1, order[0]).ActionSeq.seqON, kTrue32);
  }
}

TEST_F(SupportPlayTest, OneFreePlayerIsAlwaysCommittedAndNoneDrawsNothing) {
  for (int p = 1; p <= 15; ++p) Pl(1, p).passtimer = 0.2f;
  Pl(1, 6).passtimer = 0.0f;
  Pl(1, 6).SupportCommitProb = 0.0f;
  RandSeed = 9;
  CommitUpTeamSupport(W);
  EXPECT_EQ(DrawsSince(9), 2);  // his roll and his heading
  EXPECT_EQ(Pl(1, 6).ActionSeq.seqON, kTrue32);

  for (const bool noCarrier : {false, true}) {
    SetUp();
    if (noCarrier) {
      W.Teams[1].BallCarrier = 0;
    } else {
      for (int p = 1; p <= 15; ++p) Pl(1, p).standuptimer = 1.0f;
    }
    static TWorld before;
    std::memcpy(&before, &W, sizeof W);
    RandSeed = 9;
    CommitUpTeamSupport(W);
    EXPECT_EQ(DrawsSince(9), 0) << noCarrier;
    EXPECT_EQ(std::memcmp(&before, &W, sizeof W), 0) << noCarrier;
  }
}

TEST_F(SupportPlayTest, CommitDownSendsTacklersRoundBlockOnesCarrier) {
  // Block 2 has no carrier to leave out: its player 10 stands nearest.
  Pl(2, 10).Pos = {5.0f, 0.0f, 1.0f};
  Pl(2, 3).Pos = {5.0f, 0.0f, 3.0f};
  for (int p = 1; p <= 15; ++p) Pl(2, p).SupportCommitProb = 0.0f;
  RandSeed = 21;
  CommitDownTeamSupport(W);
  EXPECT_EQ(DrawsSince(21), 15 + 1);  // every roll fails but the nearest's
  const TActionEvent& E = Pl(2, 10).ActionSeq.EventArray[1];
  EXPECT_EQ(Pl(2, 10).ActionSeq.seqON, kTrue32);
  EXPECT_EQ(Pl(2, 3).ActionSeq.seqON, 0);
  EXPECT_EQ(E.RelOwnTeam, kTrue32);
  EXPECT_EQ(E.RelPlayer, 10);
  EXPECT_GE(E.RelHeading, 60.0f);
  EXPECT_LE(E.RelHeading, 120.0f);
  for (int p = 1; p <= 15; ++p) EXPECT_EQ(Pl(1, p).ActionSeq.seqON, 0);
}

}  // namespace

#include <gtest/gtest.h>

#include <cstring>

#include "core/PlayerCommands.h"
#include "core/Random.h"
#include "core/StrategyShapes.h"
#include "core/ViewerFrame.h"

namespace {

class PlayerCommands : public ::testing::Test {
 protected:
  static TWorld W;

  void SetUp() override {
    std::memset(&W, 0, sizeof W);
    std::memset(&ViewerFrame, 0, sizeof ViewerFrame);
    RandSeed = 99;
    BuildActionSeqTemplates(W);
    W.Team1InFirstBlock = kTrue32;
    for (TPlayer& P : W.Teams[1].Players) {
      P.MaxSpeedNonFatigued = 8.0f;
      P.MaxKickSpeed = 30.0f;
      P.ActionSeq = StrategyParams.ActionSeqTemplate;
      P.ActionSeq.seqON = kFalse32;
    }
    ViewerFrame.gamestate = gsRunning;
    ViewerFrame.PassReceivers[0] = 7;
    ViewerFrame.PassReceivers[2] = 12;
  }
  static TPlayer& P(int p) { return W.Teams[1].Players[p]; }
  static const TActionEvent& E1(int p) { return P(p).ActionSeq.EventArray[1]; }
  static TPlayerCommand Command(u8 kind) {
    TPlayerCommand c{};
    c.SideFlag = kTrue32;
    c.Kind = kind;
    c.Angle = 135.0f;
    c.SpeedFraction = 0.5f;
    c.KickHeading = 80.0f;
    c.KickPower = 0.8f;
    return c;
  }
};

TWorld PlayerCommands::W;

TEST_F(PlayerCommands, EachKindStartsItsEventWhenThePlayerIsFree) {
  struct Case {
    u8 kind;
    i32 type, subType, code;
  };
  const Case cases[] = {{0, 0, 0, 0}, {1, 1, 7, 0}, {2, 1, 12, 0}, {3, 10, 0, 0},
                        {4, 8, 0, 1}, {5, 8, 0, 2}, {6, 5, 1, 0}};
  for (const Case& c : cases) {
    SetUp();
    ApplyCommandToPlayer(W, Command(c.kind), 5);
    const TActionEvent& E = E1(5);
    EXPECT_EQ(P(5).ActionSeq.seqON, kTrue32) << int(c.kind);
    EXPECT_EQ(E.EventType, c.type) << int(c.kind);
    EXPECT_EQ(E.EventSubType, c.subType) << int(c.kind);
    EXPECT_EQ(E.EventCode, c.code) << int(c.kind);
    EXPECT_EQ(E.Angle, 135.0f);
    EXPECT_EQ(E.SpeedFraction, 0.5f);
    EXPECT_EQ(E.DesSpeed, 4.0f);
  }
  EXPECT_EQ(E1(5).KickLaunchHeading, 80.0f);
  EXPECT_EQ(E1(5).KickLaunchSpeed, 24.0f);
  EXPECT_GE(E1(5).KickLaunchElevation, 35.0f);
  EXPECT_LE(E1(5).KickLaunchElevation, 45.0f);
}

TEST_F(PlayerCommands, BusyPlayersKeepWhatTheyDo) {
  struct Case {
    u8 kind;
    void (*busy)(TPlayer&);
  };
  const Case cases[] = {
      {0,
       [](TPlayer& p) {
         p.ActionSeq.seqON = kTrue32;
         p.ActionSeq.CurrEventIndex = 2;
         p.ActionSeq.EventArray[2].EventType = 1;
       }},
      {1, [](TPlayer& p) { p.passtimer = 0.3f; }},
      {2, [](TPlayer& p) { p.KickTimer = 0.3f; }},
      {3, [](TPlayer& p) { p.BreakTackleTimer = 0.3f; }},
      {4, [](TPlayer& p) { p.StepTimer = 0.3f; }},
      {5, [](TPlayer& p) { p.KickTimer = 0.3f; }},
  };
  for (const Case& c : cases) {
    SetUp();
    c.busy(P(5));
    static TActionSeq before;
    before = P(5).ActionSeq;
    ApplyCommandToPlayer(W, Command(c.kind), 5);
    EXPECT_EQ(std::memcmp(&before, &P(5).ActionSeq, sizeof before), 0) << int(c.kind);
  }
}

TEST_F(PlayerCommands, PlainRunUnderWayIsKeptAndMeasuredAfresh) {
  TActionSeq& S = P(5).ActionSeq;
  S.seqON = kTrue32;
  S.CurrEventIndex = 1;
  S.NumEvents = 3;
  S.EventArray[1].DistOrig = 40.0f;
  S.EventArray[1].DistTravelled = 12.0f;
  ApplyCommandToPlayer(W, Command(0), 5);
  EXPECT_EQ(S.NumEvents, 3);
  EXPECT_EQ(S.EventArray[1].DistOrig, 10.0f);
  EXPECT_EQ(S.EventArray[1].DistTravelled, 0.0f);
  EXPECT_EQ(S.EventArray[1].Angle, 135.0f);
  // A pass always starts a fresh sequence.
  ApplyCommandToPlayer(W, Command(1), 5);
  EXPECT_EQ(S.NumEvents, 1);
}

TEST_F(PlayerCommands, KickInProgressIsSteeredNotRestarted) {
  ViewerFrame.KickInProgress = kTrue32;
  P(5).ActionSeq.EventArray[1].KickLaunchElevation = 33.0f;
  const u32 seed = RandSeed;
  ApplyCommandToPlayer(W, Command(6), 5);
  EXPECT_EQ(RandSeed, seed);
  EXPECT_EQ(E1(5).EventType, 0);
  EXPECT_EQ(E1(5).KickLaunchElevation, 33.0f);
  EXPECT_EQ(E1(5).Angle, 135.0f);
  EXPECT_EQ(E1(5).KickLaunchHeading, 80.0f);
  EXPECT_EQ(E1(5).KickLaunchSpeed, 24.0f);
}

TEST_F(PlayerCommands, PassingStateMovesTheReceiverOnHisLine) {
  ViewerFrame.gamestate = gsPassing;
  W.Teams[1].PassReceiver = 7;
  P(7).OldPos = {0.0f, 0.0f, 0.0f};
  P(7).Pos = {-1.0f, 0.0f, 0.0f};  // running along heading 0
  ApplyCommandToPlayer(W, Command(0), 7);
  EXPECT_EQ(E1(7).Angle, 0.0f);
  EXPECT_EQ(E1(7).SpeedFraction, 1.0f);
  EXPECT_EQ(E1(7).DesSpeed, 8.0f);
  ApplyCommandToPlayer(W, Command(0), 8);
  EXPECT_EQ(E1(8).Angle, 135.0f);
  EXPECT_EQ(E1(8).DesSpeed, 4.0f);
  // Only moves while passing.
  ApplyCommandToPlayer(W, Command(1), 9);
  EXPECT_EQ(P(9).ActionSeq.seqON, kFalse32);
}

TEST_F(PlayerCommands, CommandsForTheOtherSideOrNoPlayerAreIgnored) {
  TPlayerCommand c = Command(3);
  c.SideFlag = kFalse32;
  ApplyCommandToPlayer(W, c, 5);
  EXPECT_EQ(P(5).ActionSeq.seqON, kFalse32);
  W.Team1InFirstBlock = kFalse32;
  ApplyCommandToPlayer(W, c, 5);
  EXPECT_EQ(E1(5).EventType, 10);
  ApplyCommandToPlayer(W, Command(3), 0);
  ApplyCommandToPlayer(W, Command(3), 26);
  ViewerFrame.gamestate = gsGotTackled;
  ApplyCommandToPlayer(W, Command(3), 6);
  EXPECT_EQ(P(6).ActionSeq.seqON, kFalse32);
}

TEST_F(PlayerCommands, ChannelStartsEmpty) {
  CommandSlots[2].Occupied = 5;
  CommandSlots[2].Consumed = kFalse32;
  ViewerFrame.KickInProgress = -1;
  ViewerFrame.StatusWord2 = -1;
  ViewerFrame.StatusWord3 = -1;
  ViewerFrame.StartWord = 9;
  ResetViewerCommandChannel();
  for (const TPlayerCommand& c : CommandSlots) {
    EXPECT_EQ(c.Occupied, 0);
    EXPECT_EQ(c.Consumed, kTrue32);
  }
  EXPECT_EQ(+ViewerFrame.KickInProgress, 0);
  EXPECT_EQ(+ViewerFrame.StatusWord2, 0);
  EXPECT_EQ(+ViewerFrame.StatusWord3, 0);
  EXPECT_EQ(+ViewerFrame.StartWord, 9);
}

}  // namespace

#include "core/Advantage.h"

#include <gtest/gtest.h>

#include "SmallWorld.h"
#include "core/MatchStore.h"
#include "core/Random.h"

namespace {

TWorld W;

void ResetWorld() {
  MakeSmallWorld(W);
  W.PitchWidth = 0.0f;  // no width here
  W.gamestate = gsGotTackled;
  W.Teams[1].teamid = 11;
  W.Teams[2].teamid = 22;
  for (int b = 1; b <= 2; ++b) {
    for (int p = 1; p <= 25; ++p) W.Teams[b].Players[p].id = 1000 * b + p;
  }
  for (bool32& f : W.MessageSlotFree) f = kTrue32;
  W.AdvantageTimer = 1.0f;  // no judgement unless a test asks for one
}

TInfringement Entry(i32 kind, bool byDefender, f32 z, bool major = false, i32 player = 0) {
  TInfringement I{};
  I.Kind = kind;
  I.Major = Flag(major);
  I.AgainstDefence = Flag(byDefender);
  I.X = 1.0f;
  I.Z = z;
  I.Player = player;
  return I;
}

int MessagesPosted() {
  int n = 0;
  for (bool32 f : W.MessageSlotFree) n += (f == 0);
  return n;
}

}  // namespace

TEST(UpdateInfringementList, ChoosesTheHeadOfTheLeadingRun) {
  struct Case {
    const char* name;
    TInfringement first, second;
    i32 headKind;
    f32 hold;
  };
  const Case cases[] = {
      {"defenders, second major", Entry(1, true, 30), Entry(2, true, 5, true), 2, 12.5f},
      {"defenders, first major", Entry(1, true, 5, true), Entry(2, true, 30), 1, 0},
      {"defenders, both major", Entry(1, true, 5, true), Entry(2, true, 12, true), 2, 12.5f},
      {"defenders at 5 and 12", Entry(1, true, 5), Entry(2, true, 12), 2, 12.5f},
      {"attackers at 5 and 12", Entry(1, false, 5), Entry(2, false, 12), 1, 0},
      {"attackers at 12 and 5", Entry(1, false, 12), Entry(2, false, 5), 2, 12.5f},
      {"equal places: earlier wins", Entry(1, true, 7), Entry(2, true, 7), 1, 0},
  };
  for (const Case& c : cases) {
    ResetWorld();
    W.Infringements[1] = c.first;
    W.Infringements[2] = c.second;
    UpdateInfringementList(W);
    EXPECT_EQ(W.Infringements[1].Kind, c.headKind) << c.name;
    EXPECT_EQ(W.Infringements[2].Kind, 0) << c.name;  // the rest of the run is dropped
    EXPECT_EQ(W.AdvantageHoldTimer, c.hold) << c.name;
  }
}

TEST(UpdateInfringementList, KeepsEntriesAfterTheRunInOrder) {
  ResetWorld();
  W.Infringements[1] = Entry(1, true, 3);
  W.Infringements[2] = Entry(2, true, 9);
  W.Infringements[3] = Entry(3, true, 4);
  W.Infringements[4] = Entry(4, false, 0);
  W.Infringements[5] = Entry(5, true, 0);
  W.Infringements[7] = Entry(7, true, 0);  // after an empty entry: not in use
  UpdateInfringementList(W);
  EXPECT_EQ(W.Infringements[1].Kind, 2);
  EXPECT_EQ(W.Infringements[2].Kind, 4);
  EXPECT_EQ(W.Infringements[3].Kind, 5);
  for (int k = 4; k <= 10; ++k) EXPECT_EQ(W.Infringements[k].Kind, 0) << k;

  // A run of one changes nothing.
  ResetWorld();
  W.Infringements[1] = Entry(1, false, 3);
  W.Infringements[2] = Entry(2, true, 9);
  UpdateInfringementList(W);
  EXPECT_EQ(W.Infringements[1].Kind, 1);
  EXPECT_EQ(W.Infringements[2].Kind, 2);
  EXPECT_EQ(W.AdvantageHoldTimer, 0.0f);
}

TEST(UpdateAdvantage, PostsAdvantageAndAdvantageOver) {
  ResetWorld();
  MatchStore.RecordClock = 61.5f;
  W.Infringements[1] = Entry(14, true, 3, false, 6);  // defender 6 offends
  UpdateAdvantage(W);
  ASSERT_EQ(MessagesPosted(), 1);
  const TMatchMessage& m = W.MessageQueue[1];
  EXPECT_EQ(m.message, msgAdvantage);
  EXPECT_EQ(m.teamID, 11);    // the side that gains the advantage
  EXPECT_EQ(m.playerID, 2006);  // the offender, a player of Teams[2]
  EXPECT_EQ(m.time, 61.5f);
  EXPECT_EQ(m.extravalue, 14.0f);
  EXPECT_EQ(W.PrevInfringement.Kind, 14);

  UpdateAdvantage(W);  // same head: nothing new
  EXPECT_EQ(MessagesPosted(), 1);

  W.Infringements[1] = TInfringement{};
  UpdateAdvantage(W);
  ASSERT_EQ(MessagesPosted(), 2);
  EXPECT_EQ(W.MessageQueue[2].message, msgAdvantageOver);
  EXPECT_EQ(W.MessageQueue[2].teamID, 11);
  EXPECT_EQ(W.MessageQueue[2].playerID, 2006);
  EXPECT_EQ(W.PrevInfringement.Kind, 0);

  // An attacker's offence: the defending side has the advantage.
  W.Infringements[1] = Entry(3, false, 3, false, 0);
  UpdateAdvantage(W);
  EXPECT_EQ(W.MessageQueue[3].teamID, 22);
  EXPECT_EQ(W.MessageQueue[3].playerID, 0);
  MatchStore.RecordClock = 0;
}

TEST(UpdateAdvantage, AFullQueueDropsTheMessageButTheListMovesOn) {
  ResetWorld();
  for (bool32& f : W.MessageSlotFree) f = kFalse32;
  W.Infringements[1] = Entry(14, true, 3);
  UpdateAdvantage(W);
  EXPECT_EQ(W.PrevInfringement.Kind, 14);
  W.Infringements[1] = TInfringement{};
  UpdateAdvantage(W);
  EXPECT_EQ(W.PrevInfringement.Kind, 0);
  for (const TMatchMessage& m : W.MessageQueue) EXPECT_EQ(m.message, 0);
}

TEST(UpdateAdvantage, ATenMetreGainEndsTheAdvantageAfterTheHold) {
  ResetWorld();
  W.gamestate = gsRunning;
  W.Teams[2].Players[8].AdvantageContactFlag = kTrue32;
  W.Infringements[1] = Entry(14, true, 0);
  W.AdvantageTimer = 0;
  W.AdvantageHoldTimer = 0;
  W.BallPos.z = 10.0f;  // not strictly beyond
  UpdateAdvantage(W);
  EXPECT_EQ(W.Infringements[1].Kind, 14);
  EXPECT_EQ(W.AdvantageTimer, 2.5f);
  EXPECT_EQ(W.gamestate, gsRunning);

  W.AdvantageTimer = 0;
  W.AdvantageHoldTimer = 0.04f;  // still held
  W.BallPos.z = 30.0f;
  UpdateAdvantage(W);
  EXPECT_EQ(W.Infringements[1].Kind, 14);

  W.AdvantageTimer = 0.5f;  // not yet time to judge
  W.AdvantageHoldTimer = 0;
  UpdateAdvantage(W);
  EXPECT_EQ(W.Infringements[1].Kind, 14);

  W.AdvantageTimer = 0;
  W.BallPos.z = 10.01f;
  UpdateAdvantage(W);
  EXPECT_EQ(W.Infringements[1].Kind, 0);
  EXPECT_EQ(W.gamestate, gsRunning);
  UpdateAdvantage(W);  // the next frame announces the end
  EXPECT_EQ(W.MessageQueue[2].message, msgAdvantageOver);
}

TEST(UpdateAdvantage, OpenPlayWithNoDefenderEngagedEndsTheAdvantage) {
  for (TGameState state : {gsRunning, gsPassing, gsMaul}) {
    ResetWorld();
    W.gamestate = state;
    W.Infringements[1] = Entry(14, true, 0);
    W.AdvantageTimer = 0;
    UpdateAdvantage(W);
    EXPECT_EQ(W.Infringements[1].Kind, state == gsMaul ? 14 : 0) << int(state);
  }
}

TEST(UpdateAdvantage, StopsPlayForAnAttackersOffenceOrOffencesOfBothSides) {
  struct Case {
    TGameState state;
    bool32 auxTackle;
    bool held;
  };
  const Case cases[] = {{gsRunning, 0, true},
                        {gsGotTackled, 0, true},
                        {gsGotTackled, kTrue32, false},
                        {gsMaul, 0, false},
                        {gsScrum, 0, false}};
  for (const Case& c : cases) {
    ResetWorld();
    W.gamestate = c.state;
    W.AuxTackleFlag = c.auxTackle;
    W.Teams[1].BallCarrier = 9;
    W.Teams[1].Players[9].passtimer = 0.3f;
    W.Teams[1].KickTimeLeft = 0.2f;
    W.Teams[2].Players[1].AdvantageContactFlag = kTrue32;
    W.Infringements[1] = Entry(14, false, 0);  // by the side in possession
    W.Infringements[2] = Entry(15, true, 0);   // then by the defenders
    W.AdvantageTimer = 1.0f;
    UpdateAdvantage(W);
    EXPECT_EQ(W.Infringements[2].Kind, 15);  // the run has length 1: both stay
    EXPECT_EQ(W.gamestate, c.state);

    W.AdvantageTimer = 0;
    RandSeed = 77;
    UpdateAdvantage(W);
    EXPECT_EQ(W.gamestate, gsTransition);
    EXPECT_EQ(W.StoppedGameState, c.state);
    EXPECT_EQ(W.PendingGameState, gsKickRestartSet);
    EXPECT_EQ(W.TransitionStep, 1);
    EXPECT_GE(W.TransitionTimeLeft, 2.0f);
    EXPECT_LE(W.TransitionTimeLeft, 3.49f);
    EXPECT_EQ(W.Teams[1].Players[9].passtimer, 0.0f);
    EXPECT_EQ(W.Teams[1].KickTimeLeft, 0.0f);
    EXPECT_EQ(W.TransitionBallHeld, Flag(c.held));
    EXPECT_EQ(W.TransitionHolder, c.held ? 9 : 0);
    const TMatchMessage& m = W.MessageQueue[2];
    EXPECT_EQ(m.message, msgAdvantageBothSides);
    EXPECT_EQ(m.extravalue, 0.25f);
  }
}

TEST(UpdateAdvantage, TheDefendersAdvantageLastsNoLongerThanTheRunToTheLine) {
  ResetWorld();
  W.gamestate = gsRunning;
  W.Teams[1].BallCarrier = 4;
  W.Teams[1].Players[4].Velocity.z = 9.5f;  // v = 10 m/s
  W.BallPos.z = 20.0f;                       // 30 m to go
  W.Infringements[1] = Entry(14, false, 0);
  W.AdvantageTimer = 5.0f;
  UpdateAdvantage(W);
  EXPECT_FLOAT_EQ(W.AdvantageTimer, 2.75f);

  W.AdvantageTimer = 1.0f;  // already shorter: kept
  UpdateAdvantage(W);
  EXPECT_EQ(W.AdvantageTimer, 1.0f);

  W.Teams[1].Players[4].Velocity.z = -3.0f;  // running back: at least 1 m/s
  W.AdvantageTimer = 50.0f;
  UpdateAdvantage(W);
  EXPECT_FLOAT_EQ(W.AdvantageTimer, 29.75f);
}

TEST(UpdateAdvantage, ASideWithNoAdvantageDropsTheHead) {
  ResetWorld();
  W.Teams[1].NoAdvantageFlag = kTrue32;
  W.Infringements[1] = Entry(14, true, 0);
  UpdateAdvantage(W);
  EXPECT_EQ(W.MessageQueue[1].message, msgAdvantage);  // announced first
  EXPECT_EQ(W.Infringements[1].Kind, 0);
  EXPECT_EQ(W.PrevInfringement.Kind, 14);
}

// The restart after an infringement: the scrum of a minor offence, and for a
// penalty the message, the range of a kick at goal, the side's option by
// field-strategy zone and the overrides late in each half.
#include "flow/RestartChoice.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "core/DrawCount.h"
#include "core/MatchStore.h"
#include "core/Random.h"
#include "core/StrategyShapes.h"
#include "flow/OpenPlayScene.h"
#include "platform/Form.h"

namespace {

constexpr int kN = 15;
using TWeights = std::array<i16, 4>;  // touch, goal, tap, scrum
constexpr TWeights kTouchOnly{1000, 0, 0, 0}, kGoalOnly{0, 1000, 0, 0}, kTapOnly{0, 0, 1000, 0},
    kScrumOnly{0, 0, 0, 1000};

// 10:15 of the first half: block 1 (match team 1, id 11) is awarded a
// penalty for offside by block 2's player 7 (id 207) at (0, 20), 30 m from
// the middle of the goal line it attacks. Every field-strategy half has two
// zones, the own half (1) and the opponents' (2), both weighted only on the
// tap; nobody can kick a goal.
class RestartChoiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Saved = FieldStrategy;
    MakeOpenPlayPitch(W);
    W.gamestate = gsTransition;
    RandSeed = 77;
    Form1.Memo1.Clear();
    RunLogBefore = Form1.Memo2.Count();
    MatchStore.RecordClock = 123.5f;
    W.Team1InFirstBlock = kTrue32;
    W.MatchPhase = 1;
    W.halflength = 2400.0f;
    W.clock = 615.0f;
    for (int k = 1; k <= 10; ++k) W.MessageSlotFree[k] = kTrue32;
    for (int b = 1; b <= 2; ++b) {
      W.Teams[b].teamid = 11 * b;
      for (int p = 1; p <= 25; ++p) W.Teams[b].Players[p].id = 100 * b + p;
    }
    for (TFieldStrategy& F : FieldStrategy) {
      for (TFieldStrategyHalf* H : {&F.Normal, &F.CatchUp}) {
        H->ZoneCount = 2;
        H->Zones[1] = {-40.0f, -60.0f, 40.0f, 0.0f};
        H->Zones[2] = {-40.0f, 0.0f, 40.0f, 60.0f};
        H->Families[3].OptionCount = 4;
      }
    }
    for (int t = 1; t <= 2; ++t)
      for (bool catchUp : {false, true})
        for (int z = 1; z <= 2; ++z) Weigh(t, catchUp, z, kTapOnly);
    Penalty(3, true, 7, 0.0f, 20.0f);
  }
  void TearDown() override { FieldStrategy = Saved; }

  static void Weigh(int Team, bool CatchUp, int Zone, const TWeights& w) {
    TFieldStrategy& F = FieldStrategy[Team];
    auto& row = (CatchUp ? F.CatchUp : F.Normal).Families[3].Weights[Zone];
    for (int j = 0; j < 4; ++j) row[j + 1] = w[j];
  }
  static void WeighAll(const TWeights& w) {
    for (int t = 1; t <= 2; ++t)
      for (int z = 1; z <= 2; ++z) Weigh(t, false, z, w);
  }
  // The first entry; AgainstDefence: the offender is in block 2.
  static void Penalty(i32 Kind, bool AgainstDefence, i32 Player, f32 X, f32 Z, bool32 Major = kTrue32) {
    W.Infringements[1] = TInfringement{Kind, Major, Flag(AgainstDefence), 600, X, Z, Player};
  }
  // Player p of block b kicks goals from Range m.
  static void Kicker(int b, int p, f32 Range) { W.Teams[b].Players[p].GoalKickRange = Range; }
  static bool ListEmpty() {
    for (const TInfringement& I : W.Infringements)
      if (I.Kind != 0) return false;
    return true;
  }
  static int Messages() {
    int n = 0;
    for (int k = 1; k <= 10; ++k) n += W.MessageSlotFree[k] == 0 ? 1 : 0;
    return n;
  }
  static std::string LastRunLogLine() {
    return Form1.Memo2.Count() > RunLogBefore ? Form1.Memo2.Lines.back() : std::string();
  }
  // The state from which the weighted draw gives r of 1..Sum, after the
  // fifteen range draws.
  static u32 SeedForOption(i32 Sum, i32 r) {
    u32 seed = SeedBeforeDraw(1, Sum + 1, r);
    for (int k = 0; k < kN; ++k) seed = StepBack(seed);
    return seed;
  }

  static inline TWorld W;
  static inline Arr1<TFieldStrategy, 2> Saved;
  static inline size_t RunLogBefore = 0;
};

TEST_F(RestartChoiceTest, MinorOffenceGivesAScrumAtItsSpotWithoutADraw) {
  struct Case {
    const char* what;
    bool againstDefence;
    bool32 change;
  };
  const Case cases[] = {{"knock-on by block 1", false, kTrue32}, {"knock-on by block 2", true, kFalse32}};
  for (const Case& c : cases) {
    SetUp();
    Penalty(1, c.againstDefence, 4, 3.0f, -12.0f, kFalse32);
    W.Infringements[2] = TInfringement{3, kTrue32, kTrue32, 601, 1.0f, 1.0f, 2};
    W.RestartSpot = {9.0f, 9.0f};
    const u32 before = RandSeed;
    ChooseRestartAfterInfringement(W);
    EXPECT_EQ(DrawsSince(before), 0) << c.what;
    EXPECT_EQ(W.RestartKind, 0) << c.what;
    EXPECT_EQ(W.PendingGameState, gsScrum) << c.what;
    EXPECT_EQ(W.ScrumSpot.x, 3.0f) << c.what;
    EXPECT_EQ(W.ScrumSpot.z, -12.0f) << c.what;
    EXPECT_EQ(W.RestartSpot.x, 9.0f) << c.what;
    EXPECT_EQ(W.PossessionChangePending, c.change) << c.what;
    EXPECT_TRUE(ListEmpty()) << c.what;
    EXPECT_EQ(Messages(), 0) << c.what;
    EXPECT_EQ(Form1.Memo1.Count(), 0u) << c.what;
  }
}

TEST_F(RestartChoiceTest, EmptyListChangesNothing) {
  W.Infringements[1].Kind = 0;
  W.RestartKind = 7;
  W.PendingGameState = gsLineout;
  W.PossessionChangePending = kTrue32;
  const u32 before = RandSeed;
  ChooseRestartAfterInfringement(W);
  EXPECT_EQ(DrawsSince(before), 0);
  EXPECT_EQ(W.RestartKind, 7);
  EXPECT_EQ(W.PendingGameState, gsLineout);
  EXPECT_EQ(W.PossessionChangePending, kTrue32);
}

TEST_F(RestartChoiceTest, PenaltyPostsItsMessageAndLogsTheMinute) {
  struct Case {
    const char* what;
    i32 kind;
    bool againstDefence;
    i32 player;
    bool32 scrumPenaltySide;
    int code;  // -1: none
    i32 team, playerID;
    f32 extra;
  };
  const Case cases[] = {
      {"offside by block 2's 7", 3, true, 7, kFalse32, msgPenOffside, 22, 207, 2.0f},
      {"hands in the ruck by block 1's 4", 4, false, 4, kFalse32, msgPenHandsInRuck, 11, 104, 2.0f},
      {"scrum offence, not turned over", 5, true, 1, kTrue32, msgScrumPenalty, 22, 201, 1.0f},
      {"no offender named", 3, true, 0, kFalse32, msgPenOffside, 22, 0, 2.0f},
      {"offender beyond the squad", 3, true, 30, kFalse32, msgPenOffside, 22, 0, 2.0f},
      {"a penalised knock-on posts nothing", 1, true, 7, kFalse32, -1, 0, 0, 0.0f},
  };
  for (const Case& c : cases) {
    SetUp();
    W.ScrumPenaltySide = c.scrumPenaltySide;
    Penalty(c.kind, c.againstDefence, c.player, 0.0f, 20.0f);
    ChooseRestartAfterInfringement(W);
    ASSERT_EQ(Form1.Memo1.Count(), 1u) << c.what;
    EXPECT_EQ(Form1.Memo1.Lines[0], "Penalty advantage at 10.25") << c.what;
    EXPECT_EQ(W.PendingGameState, gsKickRestartSet) << c.what << ": the restart is chosen all the same";
    EXPECT_EQ(W.PossessionChangePending, Flag(!c.againstDefence)) << c.what;
    EXPECT_TRUE(ListEmpty()) << c.what;
    if (c.code < 0) {
      EXPECT_EQ(Messages(), 0) << c.what;
      continue;
    }
    ASSERT_EQ(Messages(), 1) << c.what;
    const TMatchMessage& m = W.MessageQueue[1];
    EXPECT_EQ(m.message, c.code) << c.what;
    EXPECT_EQ(m.teamID, c.team) << c.what;
    EXPECT_EQ(m.playerID, c.playerID) << c.what;
    EXPECT_EQ(m.extravalue, c.extra) << c.what;
    EXPECT_EQ(m.time, 123.5f) << c.what;
  }
}

TEST_F(RestartChoiceTest, FullMessageQueueLosesOnlyTheMessage) {
  for (int k = 1; k <= 10; ++k) W.MessageSlotFree[k] = kFalse32;
  WeighAll(kTouchOnly);
  ChooseRestartAfterInfringement(W);
  EXPECT_EQ(W.RestartKind, kPenaltyKickForTouch);
  EXPECT_EQ(W.PendingGameState, gsKickRestartSet);
  EXPECT_EQ(W.RestartSpot.z, 20.0f);
  EXPECT_TRUE(ListEmpty());
  for (int k = 1; k <= 10; ++k) EXPECT_EQ(W.MessageQueue[k].message, 0) << k;
}

TEST_F(RestartChoiceTest, KickIsInRangeWithinGoalKickRangeAndTwoToFourMetres) {
  struct Case {
    const char* what;
    bool againstDefence;  // block 1 awarded, else block 2
    f32 markZ;
    int kicker;
    f32 range;
    i32 draw;  // r of that kicker's 1..100 draw
    bool inRange;
  };
  const Case cases[] = {
      {"27.9 m, draw 5", true, 20.0f, 1, 27.9f, 5, false},
      {"27.9 m, draw 6", true, 20.0f, 1, 27.9f, 6, true},
      {"28.0 m, draw 1", true, 20.0f, 1, 28.0f, 1, true},
      {"the last player", true, 20.0f, kN, 28.0f, 1, true},
      {"block 2 at its goal 30 m away", false, -20.0f, 1, 28.0f, 1, true},
      {"block 2, 70 m away", false, 20.0f, 1, 28.0f, 100, false},
  };
  for (const Case& c : cases) {
    SetUp();
    WeighAll(kGoalOnly);
    Penalty(3, c.againstDefence, 7, 0.0f, c.markZ);
    Kicker(c.againstDefence ? 1 : 2, c.kicker, c.range);
    u32 seed = SeedBeforeDraw(1, 101, c.draw);
    for (int k = 1; k < c.kicker; ++k) seed = StepBack(seed);
    RandSeed = seed;
    ChooseRestartAfterInfringement(W);
    EXPECT_EQ(DrawsSince(seed), kN + 1) << c.what << ": every player is drawn for, then the option";
    // Only the goal is weighted: in range a kick at goal, else a tap.
    EXPECT_EQ(W.RestartKind, c.inRange ? kPenaltyKickAtGoal : kPenaltyTapKick) << c.what;
    EXPECT_EQ(W.ChoiceWeights[2], c.inRange ? 1000 : 1) << c.what;
    EXPECT_EQ(LastRunLogLine(), c.inRange ? "kick in range 10.25" : "") << c.what;
  }
}

TEST_F(RestartChoiceTest, OutOfRangeTheGoalWeightCountsOneInTheDraw) {
  struct Case {
    const char* what;
    TWeights weights;
    f32 range;
    i32 sum, r;  // the weighted draw's total and result; sum 0: no draw
    i32 kind;
  };
  const Case cases[] = {
      {"500/500 out of range, r 500", {500, 500, 0, 0}, 0.0f, 501, 500, kPenaltyKickForTouch},
      {"500/500 out of range, r 501", {500, 500, 0, 0}, 0.0f, 501, 501, kPenaltyTapKick},
      {"500/500 in range, r 501", {500, 500, 0, 0}, 50.0f, 1000, 501, kPenaltyKickAtGoal},
      {"tap", {0, 0, 1000, 0}, 50.0f, 1000, 1, kPenaltyTapKick},
      {"scrum", {250, 250, 0, 500}, 50.0f, 1000, 501, 0},
      {"all weights 0", {0, 0, 0, 0}, 50.0f, 0, 0, kPenaltyTapKick},
  };
  for (const Case& c : cases) {
    SetUp();
    WeighAll(c.weights);
    Kicker(1, 10, c.range);
    const u32 seed = c.sum > 0 ? SeedForOption(c.sum, c.r) : RandSeed;
    RandSeed = seed;
    ChooseRestartAfterInfringement(W);
    EXPECT_EQ(DrawsSince(seed), kN + (c.sum > 0 ? 1 : 0)) << c.what;
    EXPECT_EQ(W.RestartKind, c.kind) << c.what;
    EXPECT_EQ(W.PendingGameState, c.kind == 0 ? gsScrum : gsKickRestartSet) << c.what;
  }
}

TEST_F(RestartChoiceTest, OptionComesFromTheAwardedTeamsHalfAndZone) {
  struct Case {
    const char* what;
    bool againstDefence;
    bool32 team1First;
    bool32 catchingUp;
    f32 markZ;
    i32 kind;
  };
  const Case cases[] = {
      {"team 1, 20 m into the opponents' half", true, kTrue32, kFalse32, 20.0f, kPenaltyKickForTouch},
      {"team 1, in its own half", true, kTrue32, kFalse32, -20.0f, 0},
      {"team 1 catching up", true, kTrue32, kTrue32, 20.0f, kPenaltyTapKick},
      {"team 2 in block 1", true, kFalse32, kFalse32, 20.0f, 0},
      {"team 2 in block 2, mark in its opponents' half", false, kTrue32, kFalse32, -20.0f, 0},
      {"team 2 in block 2, mark in its own half", false, kTrue32, kFalse32, 20.0f, kPenaltyKickForTouch},
  };
  for (const Case& c : cases) {
    SetUp();
    Weigh(1, false, 2, kTouchOnly);  // team 1, opponents' half
    Weigh(1, false, 1, kScrumOnly);  // team 1, own half
    Weigh(1, true, 2, kGoalOnly);    // team 1 catching up: out of range, a tap
    Weigh(2, false, 2, kScrumOnly);  // team 2, opponents' half
    Weigh(2, false, 1, kTouchOnly);  // team 2, own half
    W.Team1InFirstBlock = c.team1First;
    Penalty(3, c.againstDefence, 7, 4.0f, c.markZ);
    W.Teams[c.againstDefence ? 1 : 2].CatchingUp = c.catchingUp;
    ChooseRestartAfterInfringement(W);
    EXPECT_EQ(W.RestartKind, c.kind) << c.what;
    if (c.kind == 0) {
      EXPECT_EQ(W.PendingGameState, gsScrum) << c.what;
      EXPECT_EQ(W.ScrumSpot.x, 4.0f) << c.what;
      EXPECT_EQ(W.ScrumSpot.z, c.markZ) << c.what;
    }
  }
}

TEST_F(RestartChoiceTest, LateInEachHalfTheClockAndTheScoreDecide) {
  struct Case {
    const char* what;
    i32 phase;
    f32 clock;
    i32 margin;  // the awarded side's score less the other's
    bool inRange;
    i32 kind;  // 0: the strategy's scrum stands
  };
  const Case cases[] = {
      {"first half, 14 s left, in range", 1, 2386.0f, 0, true, kPenaltyKickAtGoal},
      {"first half, 14 s left, out of range", 1, 2386.0f, -20, false, kPenaltyKickForTouch},
      {"first half, 14.5 s left", 1, 2385.5f, 0, true, 0},
      {"300 s left, level, in range", 2, 4500.0f, 0, true, kPenaltyKickAtGoal},
      {"300 s left, 3 down, in range", 2, 4500.0f, -3, true, kPenaltyKickAtGoal},
      {"300 s left, 4 down", 2, 4500.0f, -4, true, 0},
      {"300 s left, leading", 2, 4500.0f, 1, true, 0},
      {"300 s left, level, out of range", 2, 4500.0f, 0, false, 0},
      {"301 s left, level, in range", 2, 4499.0f, 0, true, 0},
      {"14 s left, leading", 2, 4786.0f, 1, true, kPenaltyKickForTouch},
      {"14 s left, 4 down, in range", 2, 4786.0f, -4, true, kPenaltyTapKick},
      {"14 s left, 3 down, in range", 2, 4786.0f, -3, true, kPenaltyKickAtGoal},
      {"14 s left, level, out of range", 2, 4786.0f, 0, false, kPenaltyTapKick},
      {"14 s left, 10 down, out of range", 2, 4786.0f, -10, false, kPenaltyTapKick},
      {"the first half's rule in the second", 2, 2390.0f, 0, false, 0},
  };
  for (const Case& c : cases) {
    SetUp();
    WeighAll(kScrumOnly);
    W.MatchPhase = c.phase;
    W.clock = c.clock;
    W.Teams[1].score = 20 + c.margin;
    W.Teams[2].score = 20;
    Kicker(1, 10, c.inRange ? 50.0f : 0.0f);
    ChooseRestartAfterInfringement(W);
    EXPECT_EQ(W.RestartKind, c.kind) << c.what;
    EXPECT_EQ(W.PendingGameState, c.kind == 0 ? gsScrum : gsKickRestartSet) << c.what;
  }
}

TEST_F(RestartChoiceTest, PenaltySpotIsKeptFiveMetresInside) {
  struct Case {
    TVector2 spot, restart;
  };
  const Case cases[] = {
      {{33.0f, 48.0f}, {30.0f, 45.0f}},
      {{-34.0f, -49.0f}, {-30.0f, -45.0f}},
      {{29.0f, 44.0f}, {29.0f, 44.0f}},
  };
  for (const Case& c : cases) {
    SetUp();
    WeighAll(kScrumOnly);
    Penalty(3, true, 7, c.spot.x, c.spot.z);
    ChooseRestartAfterInfringement(W);
    EXPECT_EQ(W.RestartSpot.x, c.restart.x);
    EXPECT_EQ(W.RestartSpot.z, c.restart.z);
    EXPECT_EQ(W.ScrumSpot.x, c.spot.x) << "the scrum keeps the spot; its set-up moves it in";
    EXPECT_EQ(W.ScrumSpot.z, c.spot.z);
  }
}

}  // namespace

#include "flow/DefenseUnit.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <algorithm>
#include <cmath>
#include <vector>

#include "core/DrawCount.h"
#include "core/FloatFlags.h"
#include "core/Geometry.h"
#include "core/Random.h"
#include "flow/OpenPlayScene.h"
#include "platform/Form.h"

namespace {

constexpr int kRef = 10;

// Running, 15 a side. Block 1's carrier 10 stands at the origin; block 2
// defends towards +z. Every other player is busy getting up (standuptimer),
// so he is neither marked, in the line nor a pressure candidate, until a test
// frees him. Everyone runs 8 m/s. The defence's cycle is under way (2.0 s
// left) and the reference attacker is already 10, so only the clocks a test
// runs out re-plan.
class DefenseUnitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeOpenPlayPitch(W);
    SavedTeamSize = World.PlayersPerTeam;
    SavedLength = World.PitchLength;
    SavedWidth = World.PitchWidth;
    World.PlayersPerTeam = 15;  // the player-list helpers read the match's team size
    World.PitchLength = W.PitchLength;  // and the fullback's target point its pitch
    World.PitchWidth = W.PitchWidth;
    RandSeed = 4242;
    W.DefenceCycleTimer = 2.0f;
    for (int k = 1; k <= 3; ++k) W.DefenceSubTimers[k] = 1.0f;
    W.TimeSinceSetPiece = 30.0f;
    W.GainLineZ = 50.0f;
    ForEverySlot(W, [](TPlayer& P, int b, int) {
      Place(P, 0.0f, b == 1 ? -60.0f : 60.0f);
      P.maxspeed = 8.0f;
      P.Acceleration = 4.0f;
      P.standuptimer = 5.0f;
    });
    A().BallCarrier = kRef;
    D().BlockChaseTarget = kRef;
    D().DefPrevRefAttacker = kRef;
    Attacker(kRef, 0.0f);
  }

  void TearDown() override {
    World.PlayersPerTeam = SavedTeamSize;
    World.PitchLength = SavedLength;
    World.PitchWidth = SavedWidth;
  }

  // The defence's own places: DesiredPos stays as the step last set it.
  static void Place(TPlayer& P, f32 x, f32 z) { PutAt(P, x, z); }
  static TTeamBlock& A() { return W.Teams[1]; }
  static TTeamBlock& D() { return W.Teams[2]; }
  static TPlayer& Pl(int i) { return W.Teams[1].Players[i]; }
  static TPlayer& Def(int i) { return W.Teams[2].Players[i]; }

  static void Attacker(int p, f32 x, f32 z = 0.0f) {
    Place(Pl(p), x, z);
    Pl(p).standuptimer = 0;
  }
  static void Defender(int p, f32 x, f32 z = 10.0f) {
    Place(Def(p), x, z);
    Def(p).standuptimer = 0;
  }
  // The reference runs at Speed m/s along heading H (degrees) and moved so
  // far in the last frame.
  static void RefRuns(f32 H, f32 Speed) {
    TPlayer& R = Pl(kRef);
    const double d = Speed * W.TimeStep;
    R.OldPos.x = static_cast<f32>(R.Pos.x + std::cos(H * kDegToRad) * d);
    R.OldPos.z = static_cast<f32>(R.Pos.z - std::sin(H * kDegToRad) * d);
    R.Velocity = {static_cast<f32>(-std::cos(H * kDegToRad) * Speed), static_cast<f32>(std::sin(H * kDegToRad) * Speed)};
  }
  // Every clock runs out: the whole organisation and the pressure re-plan.
  static void ReplanAll() {
    for (int k = 1; k <= 3; ++k) W.DefenceSubTimers[k] = 0;
  }
  // Only the pressure re-plans, from the matchups the test sets.
  static void ReplanPressure() { W.DefenceSubTimers[3] = 0; }

  // One call; it raises no floating-point error.
  static void Run() {
    std::feclearexcept(FE_ALL_EXCEPT);
    Defense(W);
    EXPECT_FALSE(FloatErrorRaised());
  }

  static std::vector<int> Pressers() {
    std::vector<int> v;
    for (int k = 1; k <= 5; ++k) {
      if (D().ChaserSlots[k] != 0) v.push_back(D().ChaserSlots[k]);
    }
    return v;
  }
  static std::vector<int> Extras() {
    std::vector<int> v;
    for (int k = 1; k <= 5; ++k) {
      if (D().DefExtras[k] != 0) v.push_back(D().DefExtras[k]);
    }
    return v;
  }
  // Defenders in slots From..To, 0 for an empty one.
  static std::vector<int> SlotDefenders(int From, int To) {
    std::vector<int> v;
    for (int s = From; s <= To; ++s) v.push_back(W.DefSlotDefender[s]);
    return v;
  }
  static std::vector<int> SlotAttackers(int From, int To) {
    std::vector<int> v;
    for (int s = From; s <= To; ++s) v.push_back(W.DefSlotAttacker[s]);
    return v;
  }

  i32 SavedTeamSize = 0;
  f32 SavedLength = 0, SavedWidth = 0;
  static TWorld W;
};
TWorld DefenseUnitTest::W;

// ---------------------------------------------------------------- organisation

TEST_F(DefenseUnitTest, AsManyDefendersAsAttackersFaceOneEachLeftToRight) {
  // Attackers 7, 9 .. 15 by x; 8 is 5 m ahead and stays ahead: unmarked.
  // 7 is 0.7 m ahead: still marked.
  const f32 ax[] = {-20, -15, -10, -5, 0, 5, 10, 15};
  const int attackers[] = {7, 9, 11, 12, kRef, 13, 14, 15};
  for (int i = 0; i < 8; ++i) Attacker(attackers[i], ax[i], attackers[i] == 7 ? 0.7f : 0.0f);
  Attacker(8, 3.0f, 5.0f);
  // Eight free defenders, x order unlike their numbers.
  const int defenders[] = {15, 9, 13, 8, 11, 10, 14, 12};
  for (int i = 0; i < 8; ++i) Defender(defenders[i], -21.0f + 5.0f * i);
  ReplanAll();
  Run();
  EXPECT_EQ(D().FreeDefendersCount, 8);
  EXPECT_EQ(D().SurplusDefenders, 0);
  EXPECT_TRUE(Extras().empty());
  EXPECT_EQ(D().DefSlotCount, 8);
  EXPECT_EQ(D().DefSlotLow, 100);
  EXPECT_EQ(D().DefSlotHigh, 107);
  EXPECT_EQ(SlotAttackers(100, 108), (std::vector<int>{7, 9, 11, 12, kRef, 13, 14, 15, 0}));
  EXPECT_EQ(SlotDefenders(100, 108), (std::vector<int>{15, 9, 13, 8, 11, 10, 14, 12, 0}));
  EXPECT_EQ(D().DefRefSlotFirst, 104);
  EXPECT_EQ(D().DefRefSlotLast, 104);
  EXPECT_EQ(D().DefRefWindowFirst, 104);
  EXPECT_EQ(D().DefRefWindowLast, 104);
  // The ends of the line (not forwards 1 to 6) become the edge defenders.
  EXPECT_EQ(D().LeftEdgePlayer, 15);
  EXPECT_EQ(D().RightEdgePlayer, 12);
  for (int p : defenders) EXPECT_NE(Def(p).SetPiecePlaced, 0) << p;
  EXPECT_EQ(W.DefenceSubTimers[1], 0.45f) << "the matchups force the line's re-plan, the positions reload it";
}

TEST_F(DefenseUnitTest, ASurplusOfSevenSendsFiveExtrasOutAndLeavesTwoOnTheReferenceSlots) {
  // At a breakdown (no side rules for the extras): the holder 10 on the mark.
  W.gamestate = W.FrameGameState = W.PrevFrameGameState = gsGotTackled;
  A().SetPieceHolder = kRef;
  A().SetPieceLineZ = 0.0f;
  const f32 ax[] = {-3, 0, 5, 10, 15, 20, 25};
  const int attackers[] = {9, kRef, 11, 12, 13, 14, 15};
  for (int i = 0; i < 7; ++i) Attacker(attackers[i], ax[i]);
  for (int p = 2; p <= 15; ++p) Defender(p, -30.0f + 4.0f * (p - 2), 5.0f);
  Def(10).Pos.x = 1.5f;  // nearer the ball than 9, who is still chosen (x 0.7)
  D().RightEdgePlayer = 15;
  for (int b = 1; b <= 2; ++b) {
    for (int p = 1; p <= 15; ++p) {
      W.Teams[b].Players[p].RestStyleFar = 2;
      W.Teams[b].Players[p].RestStyleNear = 1;
    }
  }
  ReplanAll();
  Run();
  // 14 free defenders, 7 attackers. Player 2 leads the line but is a forward:
  // no left edge; 15 holds the right edge and cannot leave.
  EXPECT_EQ(D().LeftEdgePlayer, 0);
  EXPECT_EQ(D().RightEdgePlayer, 15);
  EXPECT_EQ(Extras(), (std::vector<int>{7, 8, 9, 10, 11})) << "the five nearest in x, by x";
  EXPECT_EQ(D().SelectedPlayer, 9);
  EXPECT_EQ(D().FreeDefendersCount, 9);
  EXPECT_EQ(D().SurplusDefenders, 2);
  EXPECT_EQ(D().DefSlotCount, 9);
  EXPECT_EQ(SlotAttackers(100, 109), (std::vector<int>{9, kRef, kRef, kRef, 11, 12, 13, 14, 15, 0}));
  EXPECT_EQ(D().DefRefSlotFirst, 101);
  EXPECT_EQ(D().DefRefSlotLast, 103);
  EXPECT_EQ(SlotDefenders(100, 108), (std::vector<int>{2, 3, 4, 5, 6, 12, 13, 14, 15}));
  EXPECT_EQ(D().DefRefWindowFirst, 101);
  EXPECT_EQ(D().DefRefWindowLast, 103);
  // Breakdown rest styles: near the mark 1, else 2; the right edge 4.
  EXPECT_EQ(Pl(kRef).RestStyle, 1);
  EXPECT_EQ(Pl(15).RestStyle, 2);
  EXPECT_EQ(Def(9).RestStyle, 1);
  EXPECT_EQ(Def(2).RestStyle, 2);
  EXPECT_EQ(Def(15).RestStyle, 4);
}

TEST_F(DefenseUnitTest, WithTooFewDefendersTheWindowSitsOnTheAttackSideAndHoldsTheReference) {
  struct Case {
    const char* what;
    TGameState state;
    i32 attackSide;  // 1: toward -x, 2: toward +x
    int attackers;
    int refRank;     // the reference's place by x, 1..attackers
    int start, end;  // window
  };
  const Case cases[] = {
      {"false flag: the high-x end", gsRunning, 2, 7, 7, 103, 106},
      {"false flag: lowered to hold the reference", gsRunning, 2, 7, 2, 101, 104},
      {"true flag: the low-x end", gsRunning, 1, 7, 1, 100, 103},
      {"true flag: raised to hold the reference", gsRunning, 1, 7, 6, 102, 105},
      {"breakdown: drawn to the middle by round(2.5) = 2", gsGotTackled, 2, 9, 7, 103, 106},
      {"breakdown: the gap is already smaller on the low side", gsGotTackled, 2, 9, 2, 101, 104},
  };
  for (const Case& k : cases) {
    SetUp();
    W.gamestate = W.FrameGameState = W.PrevFrameGameState = k.state;
    A().SetPieceHolder = kRef;
    A().AttackSide = k.attackSide;
    // Attackers 1, 2, ... by x with the reference at his rank.
    int other = 1;
    for (int r = 1; r <= k.attackers; ++r) Attacker(r == k.refRank ? kRef : other++, -30.0f + 7.0f * r);
    for (int p = 11; p <= 14; ++p) Defender(p, static_cast<f32>(p));
    ReplanAll();
    Run();
    EXPECT_EQ(D().FreeDefendersCount, 4) << k.what;
    EXPECT_EQ(D().DefSlotCount, k.attackers) << k.what;
    EXPECT_EQ(D().DefWindowStart, k.start) << k.what;
    EXPECT_EQ(D().DefWindowEnd, k.end) << k.what;
    const int refSlot = 99 + k.refRank;
    EXPECT_EQ(W.DefSlotAttacker[refSlot], kRef) << k.what;
    EXPECT_EQ(D().DefRefWindowFirst, refSlot) << k.what;
    EXPECT_EQ(SlotDefenders(k.start, k.end), (std::vector<int>{11, 12, 13, 14})) << k.what;
    EXPECT_EQ(W.DefSlotDefender[k.start - 1], 0) << k.what;
  }
}

TEST_F(DefenseUnitTest, ExtrasReturnToTheLineByXWithTheirReactionRedrawn) {
  // 5 attackers, 3 line defenders, 2 extras: both go back in.
  const f32 ax[] = {-20, -10, 0, 10, 20};
  const int attackers[] = {11, 12, kRef, 13, 14};
  for (int i = 0; i < 5; ++i) Attacker(attackers[i], ax[i]);
  Defender(11, -20.0f);
  Defender(12, -8.0f);
  Defender(13, 15.0f);
  Defender(5, 3.0f);   // nearest the reference: returns first, before 13
  Defender(6, -30.0f); // left of everyone: before the left edge 11, so after it
  D().DefExtras[2] = 5;
  D().DefExtras[4] = 6;
  D().LeftEdgePlayer = 11;
  D().RightEdgePlayer = 15;  // out of the line
  D().SelectedPlayer = 6;
  for (int p : {5, 6}) {
    TDistribution& d = Def(p).DefensiveRunningAngleReactionTime;
    d = {0.0f, 0.6f, 0.2f, 0.3f, 1.5f, kTrue32, kTrue32};
  }
  const TDistribution before6 = Def(6).DefensiveRunningAngleReactionTime;
  ReplanAll();
  const u32 seed = RandSeed;
  Run();
  EXPECT_TRUE(Extras().empty());
  EXPECT_EQ(D().FreeDefendersCount, 5);
  EXPECT_EQ(D().SurplusDefenders, 0);
  EXPECT_EQ(SlotDefenders(100, 104), (std::vector<int>{11, 6, 12, 5, 13}));
  // Player 5 draws a new reaction and 0.1 .. 0.5 s more; 6, the selected
  // player, keeps his.
  RandSeed = seed;
  const double g = GaussianRandom(0.6f, 0.2f, 0.3f, 1.5f, kTrue32, kTrue32);
  const double extra = RandomRange(100, 501) / 1000.0;
  EXPECT_EQ(Def(5).DefensiveRunningAngleReactionTime.value, static_cast<f32>(g + extra));
  EXPECT_EQ(Def(6).DefensiveRunningAngleReactionTime.value, before6.value);
}

TEST_F(DefenseUnitTest, TheAttackSideFollowsTheCallTheBallTheRuckAndASetPiece) {
  struct Case {
    const char* what;
    TGameState state;
    i32 attackSide;
    f32 ballX, markX;
    int left, right;  // free attackers either side of the mark
    f32 sinceSetPiece;
    bool before, expected;
  };
  const Case cases[] = {
      {"called 1", gsRunning, 1, 5, 0, 0, 0, 30, false, true},
      {"called 2", gsRunning, 2, -5, 0, 0, 0, 30, true, false},
      {"another call keeps the flag", gsRunning, 3, -5, 0, 0, 0, 30, true, true},
      {"the ball at negative x", gsRunning, 0, -5, 0, 0, 0, 30, false, true},
      {"the ball at positive x", gsRunning, 0, 5, 0, 0, 0, 30, true, false},
      {"reversed within 1.25 s of a set piece", gsRunning, 0, -5, 0, 0, 0, 1.0f, true, false},
      {"reversed even when called", gsPassing, 1, 5, 0, 0, 0, 1.2f, false, true},
      {"not after 1.25 s", gsRunning, 0, -5, 0, 0, 0, 1.25f, false, true},
      {"ruck in midfield: more attackers left", gsGotTackled, 0, 2, 1, 4, 2, 0, false, true},
      {"ruck in midfield: more attackers right", gsGotTackled, 0, -2, -1, 2, 4, 0, true, false},
      {"ruck: nobody to the right", gsGotTackled, 0, 10, 10, 3, 0, 0, false, true},
      {"ruck: one attacker right near the right touch", gsGotTackled, 0, 33, 32.5f, 3, 1, 0, false, true},
      {"ruck within 1 m of the negative touchline", gsGotTackled, 0, -34.5f, -34.5f, 0, 4, 0, true, false},
      {"ruck within 1 m of the positive touchline", gsGotTackled, 0, 34.5f, 34.5f, 5, 0, 0, false, true},
  };
  for (const Case& k : cases) {
    SetUp();
    W.gamestate = W.FrameGameState = W.PrevFrameGameState = k.state;
    W.FromSetPiece = kTrue32;
    W.TimeSinceSetPiece = k.sinceSetPiece;
    W.BallPos.x = k.ballX;
    W.MarkX = k.markX;
    A().AttackSide = k.attackSide;
    A().SetPieceHolder = kRef;
    Pl(kRef).RuckTimer = 1.0f;  // the holder and bound players are not counted
    for (int i = 1; i <= k.left; ++i) Attacker(i, k.markX - i);
    for (int i = 1; i <= k.right; ++i) Attacker(10 + i, k.markX + i - 1);
    Pl(15).RuckTimer = 2.0f;
    Attacker(15, k.markX + 0.5f);  // in the ruck: not counted
    D().DefAttackToNegX = k.before ? kTrue32 : kFalse32;
    Run();
    EXPECT_EQ(D().DefAttackToNegX != 0, k.expected) << k.what;
  }
}

TEST_F(DefenseUnitTest, ABusyFullbackAtTheBreakdownIsCoveredOnceTheCoverPlayerHasWaited) {
  W.gamestate = W.FrameGameState = gsGotTackled;
  W.PrevFrameGameState = gsRunning;
  A().SetPieceHolder = kRef;
  D().DeepPlayerNumber = 15;
  D().BackfieldOrder[1] = 14;
  D().BackfieldOrder[2] = 11;
  D().BackfieldOrder[3] = 10;
  Def(15).RuckTimer = 1.0f;     // 15 is in the ruck
  Def(14).OldTackleTimer = 1.0f;  // 14 is still getting over a tackle
  Def(11).standuptimer = 0;
  Def(10).standuptimer = 0;
  Def(11).DefenceTime = {0.0f, 3.0f, 1.0f, 0.1f, 7.0f, kTrue32, kTrue32};
  const u32 seed = RandSeed;
  Run();
  EXPECT_EQ(D().DeepPlayerNumber, 0);
  EXPECT_NE(D().FullbackCoverNeeded, 0);
  EXPECT_EQ(D().FullbackCandidate, 11);
  EXPECT_EQ(D().FullbackCoverTimer, 0.0f);
  RandSeed = seed;
  const f32 wait = GaussianRandom(3.0f, 1.0f, 0.1f, 7.0f, kTrue32, kTrue32);
  EXPECT_EQ(Def(11).DefenceTime.value, wait);
  ASSERT_GT(wait, 0.04f);
  // Later frames of the breakdown: no new draw, no fullback until the wait
  // is over (the timers step counts FullbackCoverTimer up).
  W.PrevFrameGameState = gsGotTackled;
  W.Teams[2].FullbackCoverTimer = wait - 0.04f;
  Run();
  EXPECT_EQ(D().DeepPlayerNumber, 0);
  EXPECT_EQ(Def(11).DefenceTime.value, wait);
  W.Teams[2].FullbackCoverTimer = wait;
  Run();
  EXPECT_EQ(D().DeepPlayerNumber, 11);
  EXPECT_EQ(D().PrevFullback, 0);
}

TEST_F(DefenseUnitTest, AFreePlayerFifteenIsFullbackAtABreakdownAndAtSetPieces) {
  for (TGameState s : {gsGotTackled, gsScrum, gsKickRestartSet, gsLineout}) {
    SetUp();
    W.gamestate = W.FrameGameState = s;
    W.PrevFrameGameState = gsRunning;
    A().SetPieceHolder = kRef;
    D().FullbackCoverNeeded = kTrue32;
    if (s != gsGotTackled) Def(15).RuckTimer = 1.0f;  // only the breakdown asks
    Run();
    EXPECT_EQ(D().DeepPlayerNumber, 15) << int(s);
    EXPECT_EQ(D().FullbackCoverNeeded, 0) << int(s);
  }
}

TEST_F(DefenseUnitTest, AMissingReferenceAtTheBreakdownIsPlayerNineAndLogged) {
  struct Case {
    const char* what;
    TGameState state;
    i32 holder;
    f32 holderX;
    bool live;
    int ref;
    bool logged;
  };
  const Case cases[] = {
      {"no holder at the breakdown", gsGotTackled, 0, 0, true, 9, true},
      {"a holder naming no record", gsGotTackled, 40, 0, true, 9, true},
      {"a holder beyond the touchline", gsGotTackled, 12, 35.5f, true, 12, true},
      {"a holder on the pitch", gsGotTackled, 12, 34.5f, true, 12, false},
      {"in the look-ahead too", gsGotTackled, 0, 0, false, 9, true},
      {"no receiver in passing: not logged", gsPassing, 0, 0, true, 9, false},
  };
  for (const Case& k : cases) {
    SetUp();
    W.gamestate = W.FrameGameState = W.PrevFrameGameState = k.state;
    W.LiveWorld = k.live ? kTrue32 : kFalse32;
    A().SetPieceHolder = k.holder;
    if (k.holder == 12) Attacker(12, k.holderX);
    Form1.Memo2.Clear();
    Run();
    EXPECT_EQ(D().BlockChaseTarget, k.ref) << k.what;
    EXPECT_EQ(D().DefPrevRefAttacker, kRef) << k.what;
    ASSERT_EQ(Form1.Memo2.Count(), k.logged ? 1u : 0u) << k.what;
    if (k.logged) {
      EXPECT_EQ(Form1.Memo2.Lines[0], "turd in the punchbowl");
    }
  }
  Form1.Memo2.Clear();
}

TEST_F(DefenseUnitTest, TheClocksReplanEveryCycleAndOnANewReference) {
  auto plan = [] {
    OrganiseDefence(W);
    ChooseDefencePressure(W);
  };
  W.DefenceCycleTimer = 0;
  W.DefenceSubTimers[1] = W.DefenceSubTimers[2] = W.DefenceSubTimers[3] = 0.3f;
  plan();
  EXPECT_EQ(W.DefenceCycleTimer, 2.5f);
  EXPECT_EQ(W.DefenceSubTimers[1], 0.0f) << "the matchups force the line's re-plan";
  EXPECT_EQ(W.DefenceSubTimers[2], -0.04f);
  EXPECT_EQ(W.DefenceSubTimers[3], -0.04f);
  // The positions reload every clock that has run out.
  PlaceDefenders(W);
  EXPECT_EQ(W.DefenceSubTimers[1], 0.45f);
  EXPECT_EQ(W.DefenceSubTimers[2], 0.5f);
  EXPECT_EQ(W.DefenceSubTimers[3], 0.2f);
  // A new carrier zeroes the matchup and pressure clocks.
  W.DefenceSubTimers[1] = W.DefenceSubTimers[2] = W.DefenceSubTimers[3] = 0.3f;
  Attacker(12, 5.0f);
  A().BallCarrier = 12;
  plan();
  EXPECT_EQ(D().BlockChaseTarget, 12);
  EXPECT_EQ(W.DefenceSubTimers[1], 0.0f) << "via the matchups";
  EXPECT_EQ(W.DefenceSubTimers[2], 0.0f);
  EXPECT_EQ(W.DefenceSubTimers[3], 0.0f);
  // A clock still running is left alone.
  W.DefenceSubTimers[1] = 0.1f;
  PlaceDefenders(W);
  EXPECT_EQ(W.DefenceSubTimers[1], 0.1f);
  EXPECT_EQ(W.DefenceSubTimers[2], 0.5f);
}

// ---------------------------------------------------------------- pressure and chase

TEST_F(DefenseUnitTest, TheRunningLineMeetsTheTouchline) {
  struct Case {
    const char* what;
    f32 x, z, heading;
    double touchZ;
    bool heading4Touch;
  };
  const Case cases[] = {
      {"toward +x at 100 degrees from x 30: 5 x tan 80", 30, 0, 100, 5 * std::tan(80 * kDegToRad), true},
      {"toward -x at 80 degrees from x -30", -30, 0, 80, 5 * std::tan(80 * kDegToRad), true},
      {"toward +x, but over the goal line first", 0, 20, 120, 20 + 35 * std::tan(60 * kDegToRad), false},
      {"straight ahead: no touchline", 30, 0, 90, 50, false},
      {"within 5 degrees of straight across: no touchline", 30, 0, 177, 50, false},
  };
  for (const Case& k : cases) {
    SetUp();
    ReplanPressure();
    Place(Pl(kRef), k.x, k.z);
    RefRuns(k.heading, 6.0f);
    Run();
    EXPECT_NEAR(W.RunLineTouchZ, k.touchZ, 0.01) << k.what;
    EXPECT_EQ(D().DefHeadingForTouch != 0, k.heading4Touch) << k.what;
  }
  // 28.36 m for the first case.
  EXPECT_NEAR(5 * std::tan(80 * kDegToRad), 28.36, 0.005);
}

TEST_F(DefenseUnitTest, TheDefendersOnTheReferenceSlotsPressByWhereTheyMeetHimAtMostFive) {
  struct Case {
    const char* what;
    std::vector<int> onSlots;
    std::vector<int> pressers;
  };
  // Defender p stands at x p - 5, z 4 + (p * 7) mod 11, the reference runs
  // straight at 5 m/s: 5 (0, 6) meets him before 8 (3, 5), who is wider.
  const Case cases[] = {
      {"three on the reference's slots", {4, 5, 6}, {5, 4, 6}},
      {"seven: the five who meet him soonest", {2, 3, 4, 5, 6, 7, 8}, {5, 8, 2, 7, 4}},
  };
  for (const Case& k : cases) {
    SetUp();
    ReplanPressure();
    RefRuns(90, 5.0f);
    for (int p = 1; p <= 15; ++p) Defender(p, p - 5.0f, 4.0f + (p * 7) % 11);
    D().DefRefWindowFirst = 100;
    D().DefRefWindowLast = 99 + static_cast<int>(k.onSlots.size());
    for (size_t i = 0; i < k.onSlots.size(); ++i) W.DefSlotDefender[100 + i] = static_cast<u16>(k.onSlots[i]);
    Run();
    EXPECT_EQ(Pressers(), k.pressers) << k.what;
    EXPECT_EQ(D().ChaserCount, static_cast<int>(k.pressers.size())) << k.what;
    for (size_t i = 1; i < k.pressers.size(); ++i) {
      EXPECT_LE(Def(k.pressers[i - 1]).InterceptZ, Def(k.pressers[i]).InterceptZ) << k.what;
    }
    for (int p : k.pressers) {
      EXPECT_EQ(Def(p).chasertimer, 5.0f) << k.what;
      EXPECT_EQ(Def(p).ChaseTarget, kRef) << k.what;
      EXPECT_NE(Def(p).OnRefSlot, 0) << k.what;
      EXPECT_NE(Def(p).ClosingOnCarrier, 0) << k.what;
    }
    // DefChaserOrder lists all 15 candidates by where they meet him.
    for (int j = 2; j <= 15; ++j) {
      EXPECT_LE(Def(W.DefChaserOrder[j - 1]).InterceptZ, Def(W.DefChaserOrder[j]).InterceptZ) << k.what;
    }
    EXPECT_EQ(Def(1).ClosingOnCarrier, 0) << k.what;
  }
}

TEST_F(DefenseUnitTest, ACarrierRunningBackSendsTheExtrasOutAndBringsTheNearestDefender) {
  struct Case {
    const char* what;
    f32 vz;  // the carrier's heading: 90 forward, 270 back
    std::vector<int> pressers;
  };
  const Case cases[] = {
      {"coming forward: the extras step up", 90, {4, 7, 8}},
      {"running back: the extras stand down, the nearest comes in", 270, {4, 3}},
  };
  for (const Case& k : cases) {
    SetUp();
    ReplanPressure();
    RefRuns(k.vz, 4.0f);
    Defender(4, 0.0f, 9.0f);   // on the reference's slot
    Defender(3, -0.5f, 2.0f);  // the nearest free defender
    Defender(7, -1.0f, 4.0f);  // the extras meet him before 4 does
    Defender(8, 1.0f, 4.0f);
    D().DefExtras[1] = 7;
    D().DefExtras[2] = 8;
    D().DefRefWindowFirst = D().DefRefWindowLast = 101;
    W.DefSlotDefender[101] = 4;
    // The last selection pressed with 4 and both extras.
    D().ChaserSlots[1] = 4;
    D().ChaserSlots[2] = 7;
    D().ChaserSlots[3] = 8;
    const u32 seed = RandSeed;
    Run();
    EXPECT_EQ(Pressers(), k.pressers) << k.what;
    if (k.vz > 180) {
      // Dropped extras chase on 0.2 .. 0.5 s, plus 1.5 s as he runs back:
      // one draw each, in player order.
      RandSeed = seed;
      for (int p : {7, 8}) {
        const double t = RandomRange(200, 501) / 1000.0 + 1.5;
        EXPECT_EQ(Def(p).chasertimer, static_cast<f32>(t)) << k.what << " " << p;
      }
    } else {
      EXPECT_EQ(DrawsSince(seed), 0) << k.what << ": nobody dropped";
    }
  }
}

TEST_F(DefenseUnitTest, TheFullbackJoinsWhenNobodyCanMeetTheCarrierShortOfTheLineNorAheadOfHim) {
  struct Case {
    const char* what;
    bool defenderAhead;
    bool joins;
  };
  const Case cases[] = {
      {"everyone beaten and behind him", false, true},
      {"a defender ahead who can meet him", true, false},
  };
  for (const Case& k : cases) {
    SetUp();
    ReplanPressure();
    Place(Pl(kRef), 0.0f, 10.0f);
    W.BallPos = {0.0f, 1.0f, 10.0f};
    Pl(kRef).maxspeed = 9.0f;
    RefRuns(90, 9.0f);
    // Slower defenders 5 m behind him never catch him before the goal line.
    for (int p : {4, 5}) {
      Defender(p, p - 4.5f, 5.0f);
      Def(p).maxspeed = 6.0f;
    }
    D().DefRefWindowFirst = D().DefRefWindowLast = 101;
    W.DefSlotDefender[101] = 4;
    if (k.defenderAhead) {
      Defender(6, 2.0f, 20.0f);
      W.DefSlotDefender[101] = 6;
    }
    // Fullback 15, far out wide and 35 m from the ball, does not press
    // (he follows somebody else) and perceives no line break.
    D().DeepPlayerNumber = 15;
    Defender(15, 30.0f, 45.0f);
    Def(15).playertofollow = 3;
    Def(15).playertofollowtimer = 1.0f;
    Def(15).InterceptZ = 1.0e6f;
    Run();
    EXPECT_EQ(Def(4).CanIntercept != 0, false) << k.what;
    const std::vector<int> p = Pressers();
    EXPECT_EQ(std::find(p.begin(), p.end(), 15) != p.end(), k.joins) << k.what;
    EXPECT_EQ(Def(15).chasertimer == 5.0f, k.joins) << k.what;
  }
}

TEST_F(DefenseUnitTest, EnoughTacklersOnTheCarrierChooseNoPressersButTheFullbackStillJoins) {
  ReplanPressure();
  RefRuns(90, 4.0f);
  Pl(kRef).numgoverning = 2;
  D().TacklersWanted = 2;
  Defender(4, 0.0f, 2.0f);
  D().DefRefWindowFirst = D().DefRefWindowLast = 101;
  W.DefSlotDefender[101] = 4;
  D().DeepPlayerNumber = 15;
  Defender(15, 5.0f, -5.0f);  // behind the carrier: he joins
  Run();
  EXPECT_EQ(D().PressWanted, 0);
  EXPECT_EQ(Pressers(), std::vector<int>{15});
  EXPECT_EQ(Def(4).chasertimer, 0.0f);
  EXPECT_EQ(Def(15).ChaseTarget, kRef);
}

TEST_F(DefenseUnitTest, ChaseClocksRunDownAndOnlyAnEdgeDefenderNearHisPointIsRearmed) {
  for (int p : {3, 4, 5}) {
    Defender(p, 0.0f, 10.0f);
    Def(p).chasertimer = 0.03f;
    Def(p).ChaseTarget = kRef;
    Def(p).InterceptX = 0.0f;
    Def(p).InterceptZ = 13.0f;  // 3 m: 0.375 s away
  }
  Def(5).InterceptZ = 15.0f;  // 5 m: 0.625 s away
  D().LeftEdgePlayer = 3;
  D().RightEdgePlayer = 5;
  Def(6).chasertimer = 2.0f;
  Pl(7).chasertimer = 0.5f;
  Pl(8).chasertimer = -1.0f;
  Run();
  EXPECT_EQ(Def(3).chasertimer, 0.2f) << "edge, near his point";
  EXPECT_LE(Def(4).chasertimer, 0.0f) << "not an edge defender";
  EXPECT_LE(Def(5).chasertimer, 0.0f) << "edge, too far from his point";
  EXPECT_EQ(Def(6).chasertimer, 1.96f);
  EXPECT_EQ(Pl(7).chasertimer, 0.46f);
  EXPECT_EQ(Pl(8).chasertimer, -1.04f) << "block 1's clocks always run";
  // Outside running and passing every clock and the slots are cleared.
  W.gamestate = W.FrameGameState = W.PrevFrameGameState = gsGotTackled;
  A().SetPieceHolder = kRef;
  D().ChaserSlots[1] = 6;
  D().PrevChaserSlots[1] = 6;
  Run();
  EXPECT_EQ(Def(6).chasertimer, 0.0f);
  EXPECT_EQ(Pl(7).chasertimer, 0.0f);
  EXPECT_EQ(D().ChaserSlots[1], 0);
  EXPECT_EQ(D().PrevChaserSlots[1], 0);
}

TEST_F(DefenseUnitTest, ALineBreakSendsTheEdgeDefendersAndTheSelectedPlayerAfterTheCarrier) {
  ReplanPressure();
  W.GainLineZ = -30.0f;
  RefRuns(90, 6.0f);
  Defender(4, 0.0f, 6.0f);  // the only presser, ahead of the carrier
  D().DefRefWindowFirst = D().DefRefWindowLast = 101;
  W.DefSlotDefender[101] = 4;
  Defender(11, -20.0f, -5.0f);
  Defender(14, 20.0f, -5.0f);
  Defender(9, 0.0f, -5.0f);
  D().LeftEdgePlayer = 11;
  D().RightEdgePlayer = 14;
  D().SelectedPlayer = 9;
  for (int p : {11, 14, 9}) Def(p).PerceivedLineBreak = kTrue32;
  Def(14).chasertimer = 0.5f;  // already chasing: left alone
  Run();
  EXPECT_EQ(Def(11).chasertimer, 1.0f) << "one defender ahead, the ball beyond the gain line + 20";
  EXPECT_EQ(Def(11).ChaseTarget, kRef);
  EXPECT_FLOAT_EQ(Def(14).chasertimer, 0.46f);
  EXPECT_EQ(Def(9).chasertimer, 2.5f);
  EXPECT_EQ(Def(9).ChaseTarget, kRef);
}

// ---------------------------------------------------------------- positions

// The positions stage alone, on a window the test lays out: slot s from
// 100 holds Attackers[k] and Defenders[k]; every defender is in the line.
class DefencePositionsTest : public DefenseUnitTest {
 protected:
  static void Window(const std::vector<int>& Attackers, const std::vector<int>& Defenders, int RefSlot) {
    D().DefWindowStart = 100;
    D().DefWindowEnd = 99 + static_cast<int>(Defenders.size());
    D().DefRefWindowFirst = D().DefRefWindowLast = RefSlot;
    for (size_t k = 0; k < Defenders.size(); ++k) {
      W.DefSlotAttacker[100 + k] = static_cast<u16>(Attackers[k]);
      W.DefSlotDefender[100 + k] = static_cast<u16>(Defenders[k]);
      Def(Defenders[k]).SetPiecePlaced = kTrue32;
    }
  }
  static void Place() {
    std::feclearexcept(FE_ALL_EXCEPT);
    PlaceDefenders(W);
    EXPECT_FALSE(FloatErrorRaised());
  }
};

TEST_F(DefencePositionsTest, TheLineFacesItsAttackersWithinTheGapsOfEachSide) {
  // The attack goes to +x: the open side is below the anchor (2.75 to
  // 7.5 m), the close side above it (2.0 to 5.5 m). Forwards 2 to 4 hold
  // the line, so its ends do not drop off.
  struct Case {
    const char* what;
    bool toNegX;
    f32 gap;         // m between neighbouring attackers
    f32 below, above;  // expected x of the defenders either side of the anchor
  };
  const Case cases[] = {
      {"1 m apart", false, 1.0f, -2.75f, 2.0f},
      {"20 m apart", false, 20.0f, -7.5f, 5.5f},
      {"3 m apart", false, 3.0f, -3.0f, 3.0f},
      {"to -x, 1 m apart", true, 1.0f, -2.0f, 2.75f},
      {"to -x, 20 m apart", true, 20.0f, -5.5f, 7.5f},
  };
  for (const Case& c : cases) {
    SetUp();
    D().DefAttackToNegX = c.toNegX ? kTrue32 : kFalse32;
    Attacker(11, -c.gap);
    Attacker(12, c.gap);
    Window({11, kRef, 12}, {2, 3, 4}, 101);
    Place();
    EXPECT_EQ(D().DefAnchorSlot, 101) << c.what;
    EXPECT_EQ(Def(3).DesiredPos.x, 0.0f) << c.what;
    EXPECT_FLOAT_EQ(Def(2).DesiredPos.x, c.below) << c.what;
    EXPECT_FLOAT_EQ(Def(4).DesiredPos.x, c.above) << c.what;
    EXPECT_EQ(W.DefenceSubTimers[1], 1.0f) << c.what << ": a running clock is not reloaded";
  }
  // Two slots on the reference: the anchor is the one on the attack's side.
  for (bool toNegX : {false, true}) {
    SetUp();
    D().DefAttackToNegX = toNegX ? kTrue32 : kFalse32;
    Window({kRef, kRef}, {2, 3}, 100);
    D().DefRefWindowLast = 101;
    Place();
    EXPECT_EQ(D().DefAnchorSlot, toNegX ? 101 : 100);
  }
}

TEST_F(DefencePositionsTest, ALineReachingOverATouchlineIsSpacedAgainFromTheReference) {
  struct Case {
    const char* what;
    f32 refX;
    std::vector<f32> x;  // expected x of slots 100..104
  };
  // Close side above the reference slot 100: 2 m apart would reach 8 m
  // past the reference.
  const Case cases[] = {
      {"5 m to the touchline", 30.0f, {30.0f, 31.25f, 32.5f, 33.75f, 35.0f}},
      {"1 m to the touchline", 34.0f, {34.0f, 34.75f, 35.5f, 36.25f, 37.0f}},
  };
  for (const Case& c : cases) {
    SetUp();
    Attacker(kRef, c.refX);
    for (int k = 1; k <= 4; ++k) Attacker(10 + k, c.refX + k);
    Window({kRef, 11, 12, 13, 14}, {1, 2, 3, 4, 5}, 100);
    Place();
    for (int k = 0; k < 5; ++k) EXPECT_FLOAT_EQ(Def(k + 1).DesiredPos.x, c.x[k]) << c.what << ", slot " << 100 + k;
  }
  // The other touchline: the reference on the last slot, the attack to -x.
  SetUp();
  D().DefAttackToNegX = kTrue32;
  Attacker(kRef, -30.0f);
  for (int k = 1; k <= 4; ++k) Attacker(10 + k, -30.0f - k);
  Window({14, 13, 12, 11, kRef}, {1, 2, 3, 4, 5}, 104);
  Place();
  const f32 expected[] = {-35.0f, -33.75f, -32.5f, -31.25f, -30.0f};
  for (int k = 0; k < 5; ++k) EXPECT_FLOAT_EQ(Def(k + 1).DesiredPos.x, expected[k]) << "slot " << 100 + k;
}

TEST_F(DefencePositionsTest, DepthFollowsTheProfileWithinTheTryLineAndDropsNearTheBreakdown) {
  // A profile 1 m deeper for every 10 m out to +x from the reference point.
  TStrategyShape& S = D().CurrentStrategy;
  S.SegmentCount = 1;
  S.Durations[1] = 100.0f;
  S.StartValues[1] = 0.0f;
  S.EndValues[1] = 10.0f;
  D().DefenceLineRefZ = 45.0f;
  D().DefenceLineAux = -10.0f;  // the point sits 10 m left of the reference
  Defender(5, 0.0f, 40.0f);
  Defender(6, 20.0f, 40.0f);
  W.BallPos = {0.0f, 1.0f, 0.0f};
  Place();
  EXPECT_FLOAT_EQ(Def(5).DesiredPos.x, 0.0f) << "off the line: his own x";
  EXPECT_FLOAT_EQ(Def(5).DesiredPos.z, 46.0f);
  EXPECT_FLOAT_EQ(Def(6).DesiredPos.z, 48.0f);
  D().DefenceLineRefZ = 49.0f;
  Place();
  EXPECT_FLOAT_EQ(Def(5).DesiredPos.z, 50.0f);
  EXPECT_FLOAT_EQ(Def(6).DesiredPos.z, 50.0f) << "cut at the try line";
  // At a breakdown the point is the mark (with the shape's offsets); near
  // it a defender stands 1 m deeper, and no depth is cut.
  W.gamestate = gsGotTackled;
  W.MarkX = 12.0f;
  W.MarkZ = 40.0f;
  D().DefenceLineOffset = 5.0f;
  Defender(7, 14.4f, 40.0f);
  Place();
  EXPECT_FLOAT_EQ(Def(5).DesiredPos.z, 45.0f);
  EXPECT_FLOAT_EQ(Def(6).DesiredPos.z, 45.0f + 1.8f);
  EXPECT_FLOAT_EQ(Def(7).DesiredPos.z, 45.0f + 1.24f + 1.0f);
}

TEST_F(DefencePositionsTest, ACalledMarkKeepsEveryone11MetresOffAndOutOfTheWay) {
  struct Spot {
    f32 x, z;
    f32 desiredX;
  };
  const Spot spots[] = {{1.0f, 3.0f, 2.5f},  {-1.0f, 3.0f, -2.5f}, {0.0f, -4.0f, 2.5f},
                        {1.0f, 6.0f, 1.0f},  {3.0f, 1.0f, 3.0f},   {-20.0f, 30.0f, -20.0f}};
  W.MarkCalled = kTrue32;
  W.BallPos = {0.0f, 1.0f, 0.0f};
  for (int k = 0; k < 6; ++k) Defender(k + 1, spots[k].x, spots[k].z);
  Def(1).chasertimer = 3.0f;  // no chase after a called mark
  Def(1).ChaseTarget = kRef;
  Place();
  for (int k = 0; k < 6; ++k) EXPECT_FLOAT_EQ(Def(k + 1).DesiredPos.x, spots[k].desiredX) << k + 1;
  for (int p = 1; p <= 15; ++p) EXPECT_GE(Def(p).DesiredPos.z, 11.0f) << p;
}

TEST_F(DefencePositionsTest, AChaserWhoReachesTheCatchPointInTimeRunsStraightToIt) {
  // A pass to 12 lands in 0.5 s; he runs 4 m/s up the pitch: the catch
  // point is (5, 2 + 0.75). Chasers run 8 m/s: 4.8 m in 0.6 s.
  W.gamestate = gsPassing;
  A().PassReceiver = 12;
  A().PassTimeLeft = 0.5f;
  Attacker(12, 5.0f);
  Pl(12).Velocity = {0.0f, 4.0f};
  Pl(12).OldPos.z = -0.16f;
  Pl(12).speed = 4.0f;
  for (int p : {3, 4}) {
    Def(p).chasertimer = 1.0f;
    Def(p).ChaseTarget = 12;
    Def(p).shimmytimer = 0.5f;
  }
  Defender(3, 5.0f, 7.0f);  // 4.25 m off
  Defender(4, 5.0f, 8.0f);  // 5.25 m off
  Place();
  EXPECT_FLOAT_EQ(Def(3).DesiredPos.x, 5.0f);
  EXPECT_FLOAT_EQ(Def(3).DesiredPos.z, 2.75f);
  EXPECT_EQ(Def(3).shimmytimer, 0.0f);
  EXPECT_NE(Def(4).DesiredPos.z, 2.75f) << "too late: he meets the receiver's run";
  EXPECT_GT(Def(4).DesiredPos.z, 0.75f);
}

TEST_F(DefencePositionsTest, TheFullbackComesUpBehindTheReferenceOrBackPedalsOnABreak) {
  // 15 is the fullback at (x, 30); the carrier runs up the pitch at 5 m/s.
  RefRuns(90, 5.0f);
  D().DeepPlayerNumber = 15;
  W.LineBreak = kTrue32;  // the attack's target point takes the carrier's x
  struct Case {
    const char* what;
    f32 x;
    f32 restartZ;
    bool lineBreak;
    f32 wantX, wantZ;  // wantZ < -100: where he meets the reference's run
  };
  const f32 pedal = static_cast<f32>(std::sqrt(64.0 - 9.0) * 0.04);  // lateral step, m
  const Case cases[] = {
      {"just past the restart: the target point", 0.0f, -2.0f, false, 0.0f, 25.0f},
      {"open play: he meets the run from 4 m behind him", 0.0f, -20.0f, false, 0.0f, -1000.0f},
      {"a break: he backs off at 3 m/s", 0.0f, -20.0f, true, -pedal, 30.0f - 0.12f},
      {"a break too wide to cover: he meets the run 0.5 m outside it", 30.0f, -20.0f, true, 0.5f, -1000.0f},
  };
  for (const Case& c : cases) {
    Defender(15, c.x, 30.0f);
    Def(15).PerceivedLineBreak = c.lineBreak ? kTrue32 : kFalse32;
    W.RestartRefZ = c.restartZ;
    Place();
    const TVector3& d = Def(15).DesiredPos;
    EXPECT_NEAR(d.x, c.wantX, 1e-4) << c.what;
    if (c.wantZ > -100.0f) {
      EXPECT_NEAR(d.z, c.wantZ, 1e-4) << c.what;
    } else {
      EXPECT_GT(d.z, 4.0f) << c.what;  // the reference runs on towards him
      EXPECT_NE(d.z, 30.0f - 0.12f) << c.what;
    }
  }
}

TEST_F(DefencePositionsTest, ExtrasStandInARowBehindTheRuckWiderWhenFewAttackersAreNear) {
  W.gamestate = gsGotTackled;
  W.MarkZ = 0.0f;
  D().SetPieceLineZ = 1.0f;
  A().SetPieceHolder = 9;
  Attacker(9, 1.0f, -1.0f);   // the holder: not counted
  Attacker(12, 3.0f, -2.0f);
  Attacker(13, -7.0f, -6.0f);
  Attacker(14, 9.0f, -2.0f);  // too wide
  Attacker(11, 0.0f, 0.5f);   // not behind the mark
  for (int p : {3, 4, 5}) Defender(p, 0.0f, 20.0f);
  D().DefExtras[1] = 3;
  D().DefExtras[2] = 4;
  D().DefExtras[3] = 5;
  struct Case {
    f32 markX;
    f32 x[3];
  };
  for (const Case& c : {Case{0.0f, {-6.0f, 0.0f, 6.0f}}, Case{30.0f, {22.5f, 28.5f, 34.5f}}}) {
    W.MarkX = c.markX;
    for (int p : {12, 13}) Pl(p).Pos.x = c.markX + (p == 12 ? 3.0f : -7.0f);
    Place();
    for (int k = 0; k < 3; ++k) {
      EXPECT_FLOAT_EQ(Def(3 + k).DesiredPos.x, c.x[k]) << "mark " << c.markX;
      EXPECT_FLOAT_EQ(Def(3 + k).DesiredPos.z, 2.95f) << "mark " << c.markX;
    }
  }
}

TEST_F(DefencePositionsTest, ARuckRunnerIsMarkedByTheNearestFreeDefenderWhoSeesHim) {
  W.gamestate = gsGotTackled;
  W.RuckThreat = kTrue32;
  W.MarkX = 0.0f;
  Attacker(12, 5.0f, -3.0f);
  Pl(12).ActionSeq.seqON = kTrue32;
  Pl(12).ActionSeq.SeqHeadFlag = kTrue32;
  Pl(12).Velocity = {2.0f, 3.0f};
  Defender(3, 6.5f);   // free, sees the threat
  Defender(4, 5.75f);  // nearer, but in the ruck
  Def(4).RuckTimer = 1.0f;
  Defender(5, 5.8f);   // nearer, but the edge defender
  D().LeftEdgePlayer = 5;
  Defender(6, -20.0f);  // marked 12 before: released
  Def(6).RuckMarking = kTrue32;
  Def(6).RuckMarkedRunner = 12;
  Def(3).PerceivedRuckThreat = kTrue32;
  Def(3).shimmytimer = 1.0f;
  Place();
  EXPECT_EQ(Def(3).RuckMarking, kTrue32);
  EXPECT_EQ(Def(3).RuckMarkedRunner, 12);
  EXPECT_FLOAT_EQ(Def(3).DesiredPos.x, 5.0f + 0.2f + 0.75f);
  EXPECT_EQ(Def(3).shimmytimer, 0.0f);
  EXPECT_EQ(Def(6).RuckMarking, kFalse32);
  EXPECT_EQ(Def(6).RuckMarkedRunner, 0);
  // The nearest who does not see the threat marks nobody; the marker keeps
  // his runner.
  Def(3).PerceivedRuckThreat = kFalse32;
  Def(7).PerceivedRuckThreat = kTrue32;
  Defender(7, -6.0f);
  Place();
  EXPECT_EQ(Def(3).RuckMarkedRunner, 12);
  EXPECT_EQ(Def(7).RuckMarking, kFalse32);
  // Open play ends every marking.
  W.gamestate = gsRunning;
  Place();
  EXPECT_EQ(Def(3).RuckMarking, kFalse32);
  EXPECT_EQ(Def(3).RuckMarkedRunner, 0);
}

TEST_F(DefencePositionsTest, TheLineEndsDropOffLessNearTheBallAndTheSweeperStaysBehindIt) {
  // Window 100..102 facing 11, the reference and 12; its ends stand at
  // -7.5 and 5.5 (the gaps' bounds), the reference runs (2, 5) m/s.
  struct Case {
    const char* what;
    TGameState state;
    f32 ballX;
    int endDefender;  // 8, or forward 4 who does not drop
    f32 startX, startZ, endX, endZ;
  };
  const f32 third = 50.0f / 3.0f;
  const Case cases[] = {
      {"running", gsRunning, 0.0f, 8, -7.5f, 0.25f * third, 5.5f, 5.5f / 30.0f * third},
      // 20 m back at 8 m/s: 2.5 s of the reference's 2 m/s across.
      {"running, the end inside the ball runs with the reference", gsRunning, 10.0f, 8, -7.5f,
       17.5f / 30.0f * third, 5.0f, 0.15f * third},
      {"passing, ahead of the ball: he holds his z", gsPassing, 0.0f, 8, -7.5f, 20.0f, 5.5f, 20.0f},
      {"gottackled: never in front of the side's line", gsGotTackled, 0.0f, 8, -7.5f, 8.0f, 5.5f, 8.0f},
      {"a forward at the end does not drop", gsRunning, 0.0f, 4, -7.5f, 0.25f * third, 5.5f, 0.0f},
  };
  for (const Case& c : cases) {
    SetUp();
    W.gamestate = c.state;
    RefRuns(90, 5.0f);
    Pl(kRef).Velocity.x = 2.0f;
    W.BallPos = {c.ballX, 1.0f, 0.0f};
    D().SetPieceLineZ = 8.0f;
    Attacker(11, -20.0f);
    Attacker(12, 20.0f);
    Defender(7, -7.0f, 20.0f);
    Defender(c.endDefender, 5.0f, 20.0f);
    Defender(3, 0.0f, 20.0f);
    Window({11, kRef, 12}, {7, 3, c.endDefender}, 101);
    Place();
    const TPlayer& S = Def(7);
    const TPlayer& E = Def(c.endDefender);
    EXPECT_FLOAT_EQ(S.DesiredPos.x, c.startX) << c.what;
    EXPECT_NEAR(S.DesiredPos.z, c.startZ, 1e-4) << c.what;
    EXPECT_FLOAT_EQ(E.DesiredPos.x, c.endX) << c.what;
    EXPECT_NEAR(E.DesiredPos.z, c.endZ, 1e-4) << c.what;
  }
  // The sweeper behind a breakdown, no further than 0.5 m over the try line.
  SetUp();
  W.gamestate = gsGotTackled;
  W.MarkX = 3.0f;
  D().SetPieceLineZ = 48.0f;
  D().SelectedPlayer = 9;
  Defender(9, 0.0f, 20.0f);
  Place();
  EXPECT_FLOAT_EQ(Def(9).DesiredPos.x, 3.0f);
  EXPECT_FLOAT_EQ(Def(9).DesiredPos.z, 50.5f);
  Def(9).chasertimer = 1.0f;  // chasing: not the sweeper's place
  Defender(9, 0.0f, 20.0f);
  Def(9).DesiredPos = Def(9).Pos;
  Place();
  EXPECT_NE(Def(9).DesiredPos.z, 50.5f);
}

TEST_F(DefenseUnitTest, OnlyAChaserOfTheCarrierEndsTheCallClosingOnHim) {
  // Pressure keeps its plan (its clock runs). 3 chases the carrier, 4 the
  // attacker 12 he is watching, 5 chases 12 but watches the carrier: his
  // chase ends.
  Attacker(12, 10.0f);
  for (int p : {3, 4, 5}) {
    Defender(p, p * 2.0f);
    Def(p).chasertimer = 2.0f;
    Def(p).ChaseTarget = p == 3 ? kRef : 12;
    Def(p).PerceivedPlayer = static_cast<u16>(p == 4 ? 12 : kRef);
  }
  Def(6).TackleAttemptTimer = 1.0f;
  Def(6).target = kRef;
  Pl(7).ClosingOnCarrier = Pl(7).ClosingEngaged = Pl(7).AdvantageContactFlag = kTrue32;
  Run();
  EXPECT_EQ(Def(3).AdvantageContactFlag, kTrue32);
  EXPECT_EQ(Def(3).ClosingOnCarrier, kTrue32);
  EXPECT_EQ(Def(4).AdvantageContactFlag, kFalse32);
  EXPECT_GT(Def(4).chasertimer, 0.0f);
  EXPECT_EQ(Def(5).chasertimer, 0.0f);
  EXPECT_EQ(Def(5).AdvantageContactFlag, kFalse32);
  EXPECT_EQ(Def(6).ClosingEngaged, kTrue32);
  EXPECT_EQ(Def(6).AdvantageContactFlag, kFalse32);
  EXPECT_EQ(Pl(7).ClosingOnCarrier, kFalse32);
  EXPECT_EQ(Pl(7).ClosingEngaged, kFalse32);
  EXPECT_EQ(Pl(7).AdvantageContactFlag, kFalse32);
}

}  // namespace

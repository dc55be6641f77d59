// The gottackled handler's frame: the turnover chance and roll, the turnover
// itself, the pack's push and the places of both sides round the ruck.
#include "flow/TackledUnit.h"

#include <gtest/gtest.h>

#include "core/DrawCount.h"
#include "core/FloatFlags.h"
#include "core/FloatGuard.h"
#include "core/Random.h"
#include "flow/GotTackledUnit.h"
#include "flow/OpenPlayScene.h"

namespace {

// A breakdown at the centre spot under way (GotTackledPhase 2): block 1
// attacks up the pitch, its players far behind the mark, block 2's far
// ahead; nobody in the ruck yet, the ball released long ago, both sides'
// line depth 0.5 m, bind shift +0.15 m. Block 1 is team 11, block 2 team 22,
// player ids 100 x block + index.
class TackledUnitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeOpenPlayPitch(W);
    RandSeed = 4711;
    W.gamestate = gsGotTackled;
    W.GotTackledPhase = 2;
    W.Gravity = 9.81f;
    W.GroundFriction = 1.06f;
    W.RuckBindDepth = 0.4f;
    W.PackAux = 0.15f;
    for (int k = 1; k <= 10; ++k) W.MessageSlotFree[k] = kTrue32;
    for (int b = 1; b <= 2; ++b) {
      TTeamBlock& T = W.Teams[b];
      T.teamid = 11 * b;
      T.PackSpots.Depth = 0.5f;
      T.SupportGridSize = 11;
      for (int p = 1; p <= 25; ++p) {
        TPlayer& P = T.Players[p];
        P.id = 100 * b + p;
        Place(P, static_cast<f32>(2 * p - 16), b == 1 ? -30.0f : 30.0f);
        P.maxframes = 100.0f;
      }
    }
    W.BallPos = {0.0f, 0.0f, 0.0f};
  }

  static void Ruck(i32 Attackers, i32 Defenders) {
    W.Teams[1].PackSpots.BoundCount = Attackers;
    W.Teams[2].PackSpots.BoundCount = Defenders;
  }
  // Side b jackles with player j of the given skill for t seconds.
  static void Jackle(int b, int j, i16 Skill, f32 t) {
    TSpotTable& S = W.Teams[b].PackSpots;
    S.BoundFirst = kTrue32;
    S.FirstBinder = j;
    S.TimeSinceFirstBind = t;
    W.Teams[b].Players[j].BreakdownChance = Skill;
  }
  static void Frame() {
    ClearFloatFlags();
    DoGotTackled(W);
    EXPECT_FALSE(FloatErrorRaised());
  }
  int Posted(u8 Message, i32& Team, i32& Player) const {
    int n = 0;
    for (int k = 1; k <= 10; ++k) {
      if (W.MessageSlotFree[k] != 0 || W.MessageQueue[k].message != Message) continue;
      ++n;
      Team = W.MessageQueue[k].teamID;
      Player = W.MessageQueue[k].playerID;
    }
    return n;
  }

  static inline TWorld W;
};

TEST_F(TackledUnitTest, TurnoverChanceByRuckNumbersAndJackling) {
  struct Case {
    i32 att, def;
    f32 attJackle, defJackle;  // s over the ball, below 0 not jackling
    double chance;
  };
  // Skills: the attackers' jackler 400, the defenders' 500 per mille.
  const Case cases[] = {
      {1, 1, -1, -1, 300},     {2, 2, -1, -1, 150},     {0, 0, -1, -1, 300},    {1, 2, -1, -1, 400},
      {3, 4, -1, -1, 200},     {1, 3, -1, -1, 500},     {3, 5, -1, -1, 250},    {1, 6, -1, -1, 600},
      {2, 9, -1, -1, 300},     {2, 1, -1, -1, 0},       {3, 2, -1, 1.6f, 1000}, {3, 2, 1.6f, 1.6f, 0},
      {1, 1, 1.6f, 1.6f, 300}, {1, 1, -1, 0.6f, 450},   {1, 1, -1, 1.1f, 550},  {1, 1, -1, 0.3f, 350},
      {1, 1, -1, 0.25f, 300},  {1, 1, 1.1f, -1, 100},   {1, 1, 0.6f, -1, 180},  {2, 2, 1.1f, 0.2f, 150},
      {2, 2, 0.3f, 1.1f, 150 - 250 + 250},
  };
  for (const Case& c : cases) {
    SetUp();
    Ruck(c.att, c.def);
    if (c.attJackle >= 0) Jackle(1, 2, 400, c.attJackle);
    if (c.defJackle >= 0) Jackle(2, 7, 500, c.defJackle);
    EXPECT_DOUBLE_EQ(TurnoverChance(W), c.chance)
        << c.att << " v " << c.def << " jackles " << c.attJackle << " / " << c.defJackle;
  }
  // More attackers than defenders: never a turnover without a defending jackler.
  for (i32 a = 1; a <= 10; ++a) {
    for (i32 d = 0; d < a; ++d) {
      SetUp();
      Ruck(a, d);
      EXPECT_LE(TurnoverChance(W), 0.0);
      Jackle(1, 2, 1000, 2.0f);
      EXPECT_LE(TurnoverChance(W), 0.0);
    }
  }
}

TEST_F(TackledUnitTest, EmptyRuckPutsTheRollOffAQuarterSecondAtATime) {
  W.TackleReleaseTimer = 0.04f;
  Jackle(2, 7, 1000, 2.0f);  // a certain turnover once anyone is in the ruck
  Frame();
  EXPECT_EQ(W.TackleReleaseTimer, 0.25f);
  EXPECT_EQ(W.TurnoverPending, kFalse32);
  for (int f = 0; f < 6; ++f) Frame();  // 0.25 - 6 x 0.04 = 0.01 left
  EXPECT_GT(W.TackleReleaseTimer, 0.0f);
  Ruck(1, 3);
  Frame();
  EXPECT_EQ(W.TurnoverPending, kTrue32);
  EXPECT_LE(W.TackleReleaseTimer, 0.0f);
}

TEST_F(TackledUnitTest, RollIsMadeOncePerBreakdown) {
  W.TackleReleaseTimer = 0.02f;
  Ruck(3, 2);  // chance 0
  Frame();
  EXPECT_LE(W.TackleReleaseTimer, 0.0f);
  Jackle(2, 7, 1000, 2.0f);  // now certain, but too late
  for (int f = 0; f < 10; ++f) Frame();
  EXPECT_EQ(W.TurnoverPending, kFalse32);
  EXPECT_EQ(W.Teams[1].teamid, 11);
}

TEST_F(TackledUnitTest, TurnoverSwapsTheBlocksAndStartsTheNewSidesBreakdown) {
  W.TackleReleaseTimer = 0.04f;
  W.BreakdownClock = 3.0f;
  W.Team1InFirstBlock = kTrue32;
  W.RuckOriginZ = 2.0f;
  W.MarkZ = 2.0f;
  Ruck(1, 2);
  Jackle(2, 7, 1000, 2.0f);
  W.Teams[1].TackledPlayer = 10;
  W.Teams[1].BallCarrier = 10;
  W.Teams[1].Players[4].ActionSeq.seqON = kTrue32;
  for (int b = 1; b <= 2; ++b) {
    W.Teams[b].HalfTimeAux = kTrue32;
    W.Teams[b].StrategyTimer = 5.0f;
    W.Teams[b].PressureTimerA = 1.0f;
    W.Teams[b].CarrierActionStage = 2;
    SetDistribution(W.Teams[b].TurnoverRuckTime, 1.5 * b, 0.0, 0.0, 9.0);
  }
  // The winners' 9 at exactly 10.0 m from the mark (0, 2).
  Place(W.Teams[2].Players[9], 6.0f, 10.0f);
  Frame();
  const TTeamBlock& A = W.Teams[1];
  EXPECT_EQ(W.gamestate, gsGotTackled);
  EXPECT_EQ(W.TurnoverPending, kTrue32);
  EXPECT_EQ(W.Team1InFirstBlock, kFalse32);
  EXPECT_EQ(A.teamid, 22) << "the winners are block 1";
  EXPECT_EQ(W.MarkZ, -2.0f);
  EXPECT_EQ(W.RuckOriginZ, -2.0f) << "the pack stays where it was";
  EXPECT_EQ(A.HalfTimeAux, kFalse32);
  EXPECT_EQ(A.BallCarrier, 0);
  EXPECT_EQ(A.CarrierActionStage, 0);
  EXPECT_EQ(W.Teams[2].PressureTimerA, 0.0f);
  EXPECT_EQ(W.Teams[2].Players[4].ActionSeq.seqON, kFalse32);
  EXPECT_EQ(A.StrategyTimer, 0.0f);
  EXPECT_EQ(W.BreakdownClock, 0.0f);
  EXPECT_EQ(W.RestartDelay, 3.0f) << "the winners' turnover ruck time";
  EXPECT_EQ(A.SetPieceHolder, 9);
  i32 team = 0, player = 0;
  EXPECT_EQ(Posted(msgTurnover, team, player), 1);
  EXPECT_EQ(team, 22);
  EXPECT_EQ(player, 207);
  EXPECT_EQ(Posted(msgTurnoverConceded, team, player), 1);
  EXPECT_EQ(team, 11);
  EXPECT_EQ(player, 110);
  EXPECT_EQ(Posted(msgAttackingRuck, team, player), 1);
  EXPECT_EQ(team, 11) << "posted before the roll, for the side then attacking";
  EXPECT_EQ(player, 0);
}

TEST_F(TackledUnitTest, TurnoverScrumHalfIsNineOnlyWithinTenMetres) {
  // After the mirror: the mark at the origin, the winners in block 1.
  struct Case {
    f32 x9, z9;
    bool busy9;
    i32 expected;
  };
  const Case cases[] = {{6.0f, -8.0f, false, 9}, {6.0f, -8.5f, false, 4}, {1.0f, -1.0f, true, 4}};
  for (const Case& c : cases) {
    SetUp();
    TTeamBlock& A = W.Teams[1];
    Place(A.Players[9], c.x9, c.z9);
    A.Players[9].maxspeed = 100.0f;
    if (c.busy9) A.Players[9].RuckTimer2 = 1.0f;
    Place(A.Players[4], 0.0f, -5.0f);
    Place(A.Players[5], 0.0f, -3.0f);
    A.Players[5].OldTackleTimer = 0.5f;
    EXPECT_EQ(TurnoverScrumHalf(W), c.expected) << c.x9 << ", " << c.z9;
  }
  SetUp();
  for (int p = 1; p <= 15; ++p) W.Teams[1].Players[p].standuptimer = 1.0f;
  EXPECT_EQ(TurnoverScrumHalf(W), 0);
}

TEST_F(TackledUnitTest, PackNeverCarriesTheMarkBeyondOneDepthOfItsOrigin) {
  W.Teams[1].PackSpots.Depth = 1.0f;
  W.Teams[2].PackSpots.Depth = 1.5f;
  Ruck(4, 4);
  for (f32 push : {100.0f, -100.0f}) {
    W.MarkZ = 0.0f;
    W.RuckOriginZ = 0.0f;
    W.PackVelocityZ = push;
    for (int f = 0; f < 20; ++f) {
      Frame();
      EXPECT_LE(W.MarkZ, 1.0f - 0.15f + 1e-6f);
      EXPECT_GE(W.MarkZ, -1.5f - 0.15f - 1e-6f);
    }
    EXPECT_FLOAT_EQ(W.MarkZ, push > 0 ? 0.85f : -1.65f);
    EXPECT_EQ(W.PackVelocityZ, 0.0f) << "held at the bound";
    EXPECT_FLOAT_EQ(W.Teams[1].SetPieceLineZ, W.MarkZ - 1.0f);
    EXPECT_FLOAT_EQ(W.Teams[2].SetPieceLineZ, W.MarkZ + 1.5f);
  }
  // Both sides bound: the push slows by friction / 20; one side alone: not.
  W.MarkZ = 0.0f;
  W.PackVelocityZ = 2.0f;
  Frame();
  EXPECT_NEAR(W.PackVelocityZ, 2.0 - 1.06 / 20 * 9.81 * 0.04, 1e-4);
  W.MarkZ = 0.0f;
  W.PackVelocityZ = -2.0f;
  Ruck(4, 0);
  Frame();
  EXPECT_NEAR(W.PackVelocityZ, -2.0, 1e-4);
}

TEST_F(TackledUnitTest, LinePlayersTakeTheirSlotsDepthRules) {
  TTeamBlock& A = W.Teams[1];
  W.BallPos.z = -2.5f;  // the line at -0.5: the slots 2 m in front of the ball
  struct Slot {
    int slot, player;
    f32 offsetZ;
    bool32 deep;
    i32 role;
    f32 expectedZ;
  };
  const Slot slots[] = {
      {102, 12, 0.0f, kTrue32, 0, -0.5f},   // first receiver: never deeper
      {105, 13, 0.0f, kTrue32, 0, -0.5f},   // deeper would still be too near the ball
      {106, 14, -5.0f, kTrue32, 0, -7.0f},  // deep
      {107, 6, -1.0f, kFalse32, 3, -2.5f},  // AlignDepth 1.0
      {108, 7, -1.0f, kFalse32, 0, -1.5f},  // no writer of RoleCode: the slot's depth
  };
  for (const Slot& s : slots) {
    A.SetPieceLine[s.slot] = s.player;
    A.LineSlotPos[s.slot] = {static_cast<f32>(s.slot - 101), s.offsetZ};
    A.Players[s.player].DeepFlag = s.deep;
    A.Players[s.player].RoleCode = s.role;
    A.Players[s.player].AlignDepth = 1.0f;
  }
  A.Players[7].PersonalOffset = {0.25f, -0.5f};
  Frame();
  for (const Slot& s : slots) {
    const TPlayer& P = A.Players[s.player];
    const f32 extra = s.player == 7 ? -0.5f : 0.0f;
    EXPECT_FLOAT_EQ(P.DesiredPos.z, s.expectedZ + extra) << "slot " << s.slot;
    EXPECT_FLOAT_EQ(P.DesiredPos.x, static_cast<f32>(s.slot - 101) + (s.player == 7 ? 0.25f : 0.0f));
  }
}

// The slots at the ruck stand at the mark's x and the line's depth plus
// their offsets, none behind the dead-ball line: a slot whose depth would
// fall behind it is held on it.
TEST_F(TackledUnitTest, SlotPositionsAreHeldAtTheDeadBallLine) {
  TTeamBlock& A = W.Teams[1];
  W.MarkX = 3.3f;
  W.MarkZ = W.RuckOriginZ = -20.7f;  // the pack stands
  Frame();  // the line's depth from the mark
  const double deadBall = -(static_cast<double>(W.PitchLength) / 2.0 + W.InGoalDepth);
  for (int k = 1; k <= 201; ++k)
    A.LineSlotPos[k] = {static_cast<f32>(k - 101) * 0.913f, k <= 100 ? -1000.0f : static_cast<f32>(k - 150) * 0.37f};
  Frame();
  for (int k = 1; k <= 201; ++k) {
    const double z = static_cast<double>(A.SetPieceLineZ) + A.LineSlotPos[k].z;
    EXPECT_EQ(A.SetPieceSlotPos[k].x, static_cast<f32>(static_cast<double>(W.MarkX) + A.LineSlotPos[k].x)) << k;
    EXPECT_EQ(A.SetPieceSlotPos[k].z, static_cast<f32>(k <= 100 ? deadBall : z)) << k;
  }
}

TEST_F(TackledUnitTest, ScrumHalfRuckSpotsAndStepAsides) {
  TTeamBlock& A = W.Teams[1];
  TTeamBlock& D = W.Teams[2];
  W.MarkX = 34.8f;
  A.SetPieceHolder = 9;
  A.PackSpots.OccupantB[1] = 3;
  A.PackSpots.OffsetB[1] = {1.0f, 0.0f};
  A.PackSpots.OccupantA[2] = 4;
  A.PackSpots.OffsetA[2] = {-1.0f, 0.0f};
  D.PackSpots.OccupantB[1] = 3;
  D.PackSpots.OffsetB[1] = {1.0f, 0.0f};
  Place(A.Players[11], 34.0f, 1.0f);   // offside, near the mark: steps aside
  Place(A.Players[12], 34.0f, -1.0f);  // onside: stays
  Place(D.Players[11], 36.0f, -1.0f);  // offside defender: steps aside
  Frame();
  EXPECT_FLOAT_EQ(A.Players[9].DesiredPos.x, 34.3f);
  EXPECT_FLOAT_EQ(A.Players[9].DesiredPos.z, -0.5f - 0.9f);
  EXPECT_FLOAT_EQ(A.Players[3].DesiredPos.x, 35.8f);
  EXPECT_FLOAT_EQ(A.Players[3].DesiredPos.z, -0.4f + 0.15f);
  EXPECT_FLOAT_EQ(A.Players[4].DesiredPos.x, 33.8f);
  EXPECT_FLOAT_EQ(A.Players[4].DesiredPos.z, -1.0f);
  EXPECT_FLOAT_EQ(D.Players[3].DesiredPos.z, 0.4f + 0.15f);
  EXPECT_FLOAT_EQ(A.Players[11].DesiredPos.x, 34.8f - 2.5f);
  EXPECT_FLOAT_EQ(A.Players[12].DesiredPos.x, 34.0f);
  EXPECT_FLOAT_EQ(D.Players[11].DesiredPos.x, 34.8f + 2.5f);

  // No scrum-half: nobody is sent to his place and nothing is read.
  SetUp();
  W.Teams[1].SetPieceHolder = 0;
  W.Teams[1].PassReceiver = 5;
  Frame();
  EXPECT_EQ(W.Teams[1].Players[5].DesiredPos.x, W.Teams[1].Players[5].Pos.x);
}

TEST_F(TackledUnitTest, ReceiverRunsAndTacklersLunge) {
  TTeamBlock& A = W.Teams[1];
  TTeamBlock& D = W.Teams[2];
  A.SetPieceHolder = 9;
  A.Players[9].passtimer = 0.5f;
  A.PassReceiver = 10;
  A.ReceiverRunAngle = 90.0f;
  A.ReceiverRunSpeed = 5.0f;
  TPlayer& T = D.Players[6];
  Place(T, 0.0f, 3.0f);
  T.TackleAttemptTimer = 1.0f;
  T.TackleAttemptAngle = 270.0f;
  T.TackleAttemptSpeed = 2.0f;
  T.governedby = 10;
  T.ContactPoint = 9;  // names no footprint point: he keeps his lunge
  Frame();
  EXPECT_FLOAT_EQ(A.Players[10].DesiredPos.z, -30.0f + 0.2f);
  EXPECT_NEAR(T.DesiredPos.z, 3.0f - 0.08f, 1e-5);
  EXPECT_NEAR(T.DesiredPos.x, 0.0f, 1e-5);
  T.ContactPoint = 3;
  A.Players[10].Footprint[3] = {7.0f, -8.0f};
  Frame();
  EXPECT_EQ(T.DesiredPos.x, 7.0f);
  EXPECT_EQ(T.DesiredPos.z, -8.0f);
}

TEST_F(TackledUnitTest, AttackingRuckMessageOncePerBreakdown) {
  Ruck(1, 0);
  Frame();
  i32 team = 0, player = 0;
  EXPECT_EQ(Posted(msgAttackingRuck, team, player), 0);
  Ruck(2, 1);
  Jackle(1, 8, 0, 0.1f);
  Frame();
  Frame();
  EXPECT_EQ(Posted(msgAttackingRuck, team, player), 1);
  EXPECT_EQ(team, 11);
  EXPECT_EQ(player, 108);
}

}  // namespace

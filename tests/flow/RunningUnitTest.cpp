#include "flow/RunningUnit.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <numbers>
#include <set>
#include <vector>

#include "core/DrawCount.h"
#include "core/FloatFlags.h"
#include "core/Random.h"
#include "flow/OpenPlayScene.h"

namespace {

constexpr int kCarrier = 10;
constexpr f32 kDt = 0.04f;

// Block 1 attacks up the pitch: carrier 10 stands at the origin with the
// ball, his team-mates far behind him and off the line and the grid, block
// 2 far ahead. Every player runs 8 m/s. The grid is the default 11 x 11 with
// weight 1 in rows 1 to 7; the line's slot offsets are flat, 1 m apart.
// Running is under way (RunningPhase 2), long after any set piece.
class RunningUnitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeOpenPlayPitch(W);
    RandSeed = 777;
    W.RunningPhase = 2;
    W.TimeSinceSetPiece = 30.0f;
    W.Gravity = 9.81f;
    W.GroundFriction = 0.5f;
    ForEverySlot(W, [](TPlayer& P, int b, int p) {
      Place(P, static_cast<f32>(2 * p - 26), b == 1 ? -40.0f : 40.0f);
      P.maxspeed = 8.0f;
      P.MaxSpeedNonFatigued = 8.0f;
      P.Acceleration = 4.0f;
      P.maxframes = 100.0f;
    });
    TTeamBlock& A = W.Teams[1];
    A.SupportGridSize = 11;
    for (int r = 1; r <= 11; ++r) {
      for (int c = 1; c <= 11; ++c) A.SupportGridWeights[r][c] = r <= 7 ? 1 : 0;
    }
    for (int k = 1; k <= 201; ++k) A.LineSlotPos[k] = {static_cast<f32>(k - 101), 0.0f};
    A.BallCarrier = kCarrier;
    Place(C(), 0.0f, 0.0f);
    C().maxpassspeed = 20.0f;
    W.BallPos = {0.0f, 1.0f, 0.0f};
  }

  static TTeamBlock& A() { return W.Teams[1]; }
  static TPlayer& Pl(int i) { return W.Teams[1].Players[i]; }
  static TPlayer& Def(int i) { return W.Teams[2].Players[i]; }
  static TPlayer& C() { return Pl(kCarrier); }

  // One call of the handler; it raises no floating-point error.
  static void Run() {
    std::feclearexcept(FE_ALL_EXCEPT);
    DoRunning(W);
    EXPECT_FALSE(FloatErrorRaised());
  }

  // Puts player p alone on grid cell (r, c).
  static void OnCell(int p, int r, int c) { A().SupportGridCells[r][c] = static_cast<u16>(p); }

  // Puts player p alone into slot k of the line.
  static void InSlot(int p, int k) {
    A().SetPieceLine[k] = p;
    Pl(p).InBackline = kTrue32;
  }

  static int CellsHeldBy(int p, int* row = nullptr, int* col = nullptr) {
    int n = 0;
    for (int r = 1; r <= 15; ++r) {
      for (int c = 1; c <= 15; ++c) {
        if (A().SupportGridCells[r][c] != p) continue;
        ++n;
        if (row != nullptr) *row = r;
        if (col != nullptr) *col = c;
      }
    }
    return n;
  }

  static TWorld W;
};
TWorld RunningUnitTest::W;

// ---------------------------------------------------------------- slot scans

// The filled-slot scan visits exactly the filled slots in order: slots at
// both ends, at the edges of its eight-slot steps, side by side, alone.
TEST(NextFilledSlot, VisitsEveryFilledSlotInOrder) {
  const std::vector<std::vector<int>> lines = {
      {}, {1}, {201}, {1, 201}, {8, 9}, {101}, {7, 8, 9, 16, 17}, {194, 195, 200}, {2, 50, 101, 102, 103, 150, 199}};
  for (const auto& filled : lines) {
    Arr1<i32, 201> line{};
    for (int k : filled) line[k] = k == 50 ? 100 : 3;  // a mark is filled too
    std::vector<int> seen;
    for (int k = NextFilledSlot(line, 1); k <= 201; k = NextFilledSlot(line, k + 1)) seen.push_back(k);
    EXPECT_EQ(seen, filled);
    EXPECT_EQ(NextFilledSlot(line, 202), 202);
  }
}

// ---------------------------------------------------------------- set-up

TEST_F(RunningUnitTest, TheFirstSupportPlayerDrawsEvenlyAmongTheCellsOfRowsOneToSeven) {
  // Everyone but the carrier is a support player; player 1 draws first.
  std::set<int> cells;
  for (u32 seed = 1; seed <= 1500; ++seed) {
    W.RunningPhase = 1;
    RandSeed = seed;
    Run();
    ASSERT_EQ(W.RunningPhase, 2);
    int r = 0, c = 0;
    ASSERT_EQ(CellsHeldBy(1, &r, &c), 1);
    // The draw is RandomRange(1, 78): cell n counts row by row.
    RandSeed = seed;
    const int n = RandomRange(1, 78);
    ASSERT_EQ((r - 1) * 11 + c, n) << "seed " << seed;
    cells.insert(n);
  }
  EXPECT_EQ(cells.size(), 77u) << "every cell of rows 1 to 7 comes up";
  EXPECT_EQ(*cells.begin(), 1);
  EXPECT_EQ(*cells.rbegin(), 77);
}

TEST_F(RunningUnitTest, TheSetUpDrawsOnceForEverySupportPlayerAndGivesNoCellWhenNoWeightIsLeft) {
  // Only three cells carry weight: support players 1, 2, 3 fill them and
  // 4 .. 15 find none, yet each still draws once.
  for (int r = 1; r <= 11; ++r) {
    for (int c = 1; c <= 11; ++c) A().SupportGridWeights[r][c] = 0;
  }
  A().SupportGridWeights[1][1] = 1;
  A().SupportGridWeights[2][6] = 1;
  A().SupportGridWeights[4][11] = 1;
  Pl(12).InBackline = kTrue32;  // a line player draws nothing
  W.RunningPhase = 1;
  const u32 before = RandSeed;
  Run();
  EXPECT_EQ(DrawsSince(before), 13) << "13 support players, one draw each; none by the line player";
  std::set<int> holders = {A().SupportGridCells[1][1], A().SupportGridCells[2][6], A().SupportGridCells[4][11]};
  EXPECT_EQ(holders, (std::set<int>{1, 2, 3}));
  for (int p = 4; p <= 15; ++p) EXPECT_EQ(CellsHeldBy(p), 0) << p;
  EXPECT_EQ(CellsHeldBy(kCarrier), 0);
}

TEST_F(RunningUnitTest, TheSetUpPutsTheCarrierInTheCentreSlotAndLinePlayersInTheNearestFreeSlots) {
  Place(C(), 3.0f, 0.0f);
  A().SetPieceLine[7] = 9;  // a stale line is cleared
  for (int p : {11, 12, 13}) Pl(p).InBackline = kTrue32;
  Place(Pl(11), 7.2f, -10.0f);   // slot x 3 + 4 = 7 is nearest
  Place(Pl(12), 7.4f, -10.0f);   // slot 105 taken by 11: 106 at 8.0 is nearer than 104 at 6.0
  Place(Pl(13), -40.0f, -10.0f);  // beyond the pitch: slot 58 at x 3 - 43
  W.DefenceCycleTimer = 3.0f;
  W.RunningPhase = 1;
  Run();
  // Cleared by the set-up, so the defence re-plans in the same call and
  // starts a fresh 2.5 s cycle.
  EXPECT_EQ(W.DefenceCycleTimer, 2.5f);
  EXPECT_EQ(A().SetPieceLine[101], kCarrier);
  EXPECT_EQ(A().SetPieceLine[105], 11);
  EXPECT_EQ(A().SetPieceLine[106], 12);
  EXPECT_EQ(A().SetPieceLine[58], 13);
  EXPECT_EQ(A().SetPieceLine[7], 0);
  EXPECT_EQ(A().SetPieceSlotPos[105].x, 7.0f);
  for (int p : {11, 12, 13}) EXPECT_EQ(CellsHeldBy(p), 0) << "line players take no cell";
}

// ---------------------------------------------------------------- grid

TEST_F(RunningUnitTest, TheGridKeepsEveryColumnAtLeast175mInsideTheTouchlines) {
  struct Case {
    const char* what;
    f32 carrierX;
    f32 originX;
  };
  const Case cases[] = {
      {"in midfield the grid is centred on the carrier", 2.0f, -3.0f},
      {"near the right touchline", 34.0f, 35.0f - 0.75f - 12.0f},
      {"near the left touchline", -34.0f, -35.0f + 0.75f},
      {"just inside on the left", -28.0f, -33.0f},
  };
  for (const Case& k : cases) {
    SetUp();
    Place(C(), k.carrierX, 6.0f);
    Run();
    EXPECT_FLOAT_EQ(A().SupportGridOrigin.x, k.originX) << k.what;
    EXPECT_FLOAT_EQ(A().SupportGridOrigin.z, 3.0f) << k.what;
    EXPECT_GE(A().SupportGridSpots[1][1].x, -35.0f + 1.75f - 1e-5f) << k.what;
    EXPECT_LE(A().SupportGridSpots[1][11].x, 35.0f - 1.75f + 1e-5f) << k.what;
    EXPECT_FLOAT_EQ(A().SupportGridSpots[4][7].x, k.originX + 7.0f) << k.what;
    EXPECT_FLOAT_EQ(A().SupportGridSpots[4][7].z, 6.0f - 3.0f - 4.0f) << k.what;
  }
}

TEST_F(RunningUnitTest, ATackledCarrierBringsTheFirstRowOneMetreCloser) {
  for (int phase : {1, 2}) {
    SetUp();
    W.RunningPhase = phase;
    Place(C(), 0.0f, 10.0f);
    Run();
    EXPECT_FLOAT_EQ(A().SupportGridSpots[1][1].z, 6.0f) << "phase " << phase;
    SetUp();
    W.RunningPhase = phase;
    Place(C(), 0.0f, 10.0f);
    C().GettingTackledTimer = 1.0f;
    Run();
    EXPECT_FLOAT_EQ(A().SupportGridSpots[1][1].z, 7.0f) << "phase " << phase;
  }
}

TEST_F(RunningUnitTest, AGridPlayerOnHisCellIsHeldBehindTheLineTwoMetresBehindTheCarrier) {
  // Standing carrier: the cell's point is the target, eased forward by the
  // least speed of 0.01 m/s; the grid origin is (-5, -3).
  OnCell(4, 2, 3);
  Place(Pl(4), -2.0f, -5.0f);
  C().Acceleration = 0.0f;
  Run();
  EXPECT_FLOAT_EQ(Pl(4).DesiredPos.x, -2.0f);
  EXPECT_NEAR(Pl(4).DesiredPos.z, -5.0f + 0.01f * kDt, 1e-6);

  // A carrier running back at 3 m/s: he moves with him.
  SetUp();
  OnCell(4, 2, 3);
  Place(Pl(4), -2.0f, -5.0f);
  C().Velocity = {1.0f, -3.0f};
  C().Acceleration = 0.0f;
  Run();
  EXPECT_NEAR(Pl(4).DesiredPos.x, -2.0f + 1.0f * kDt, 1e-6);
  EXPECT_NEAR(Pl(4).DesiredPos.z, -5.0f - 3.0f * kDt, 1e-6);
}

TEST_F(RunningUnitTest, ASupportPlayerAheadOfAKickingCarrierStandsClear) {
  struct Case {
    const char* what;
    bool onGrid;
    f32 dx, dz;
    f32 wantDx;  // DesiredPos.x - Pos.x; NAN: not cleared
  };
  const Case cases[] = {
      {"grid player 5 m ahead, 3 m left", true, -3.0f, 5.0f, -7.5f},
      {"grid player 5 m ahead, 3 m right", true, 3.0f, 5.0f, 7.5f},
      {"7.5 m ahead is clear already", true, -3.0f, 7.5f, NAN},
      {"7.5 m aside is clear already", true, -7.5f, 5.0f, NAN},
      {"behind him is clear", true, -3.0f, -1.0f, NAN},
      {"line player 5 m ahead, 3 m left", false, -3.0f, 5.0f, -7.5f},
  };
  for (const Case& k : cases) {
    SetUp();
    C().KickTimer = 0.5f;
    if (k.onGrid) {
      OnCell(4, 3, 3);
    } else {
      InSlot(4, 98);
    }
    Place(Pl(4), k.dx, k.dz);
    Run();
    if (std::isnan(k.wantDx)) {
      EXPECT_NE(Pl(4).DesiredPos.x - Pl(4).Pos.x, -7.5f) << k.what;
      EXPECT_NE(Pl(4).DesiredPos.x - Pl(4).Pos.x, 7.5f) << k.what;
    } else {
      EXPECT_FLOAT_EQ(Pl(4).DesiredPos.x, k.dx + k.wantDx) << k.what;
      EXPECT_FLOAT_EQ(Pl(4).DesiredPos.z, k.dz) << k.what;
    }
  }
}

TEST_F(RunningUnitTest, JustAfterASetPieceAPlayerAheadOnTheFarSideOfTheBallHoldsHisZ) {
  struct Case {
    const char* what;
    f32 ballX, playerX, playerZ, time;
    bool fromSetPiece, holds;
  };
  const Case cases[] = {
      {"ball left, player right of it", -10.0f, -9.0f, 2.0f, 0.5f, true, true},
      {"ball left, player well left of it", -10.0f, -12.0f, 2.0f, 0.5f, true, false},
      {"ball right, player left of it", 10.0f, 11.0f, 2.0f, 0.5f, true, true},
      {"ball right, player well right", 10.0f, 12.0f, 2.0f, 0.5f, true, false},
      {"behind the carrier", -10.0f, -9.0f, -2.0f, 0.5f, true, false},
      {"after 1.1 s", -10.0f, -9.0f, 2.0f, 1.1f, true, false},
      {"not from a set piece", -10.0f, -9.0f, 2.0f, 0.5f, false, false},
  };
  for (const Case& k : cases) {
    SetUp();
    Place(C(), k.ballX, 0.0f);
    W.BallPos.x = k.ballX;
    W.TimeSinceSetPiece = k.time;
    W.FromSetPiece = Flag(k.fromSetPiece);
    OnCell(4, 1, 1);
    Place(Pl(4), k.playerX, k.playerZ);
    Run();
    if (k.holds) {
      EXPECT_EQ(Pl(4).DesiredPos.z, k.playerZ) << k.what;
    } else {
      EXPECT_NE(Pl(4).DesiredPos.z, k.playerZ) << k.what;
    }
  }
}

// ---------------------------------------------------------------- breakdown and holds

TEST_F(RunningUnitTest, TheBackRowReachesTheBreakdownFirstWhenTheirTimeIsBelowOneOverPointSevenOfTheOthers) {
  struct Case {
    const char* what;
    f32 flankerDistance, backDistance;
    int chosen;
  };
  const Case cases[] = {
      {"7 at 14 m (1.225 s) beats 12 at 10 m (1.25 s)", 14.0f, 10.0f, 7},
      {"12 at 9.7 m (1.2125 s) beats 7 at 14 m", 14.0f, 9.7f, 12},
  };
  for (const Case& k : cases) {
    SetUp();
    C().GettingTackledTimer = 1.0f;
    W.BallPos = {0.0f, 1.0f, 0.0f};
    Place(Pl(7), 0.0f, -k.flankerDistance);
    Place(Pl(12), k.backDistance, 0.0f);
    Pl(12).ActionSeq.seqON = kTrue32;
    Pl(7).ActionSeq.seqON = kTrue32;
    Run();
    EXPECT_EQ(A().SelectedPlayer, k.chosen) << k.what;
    EXPECT_EQ(Pl(k.chosen).ActionSeq.seqON, 0) << k.what;
    EXPECT_EQ(Pl(k.chosen).DesiredPos.x, 0.0f) << k.what;
    EXPECT_EQ(Pl(k.chosen).DesiredPos.z, -1.5f) << k.what;
    EXPECT_EQ(A().FirstToBreakdownGap, 1.5f);
  }
  // The choice stands while the tackle lasts, and ends with it.
  Place(Pl(3), 0.5f, 0.0f);
  Run();
  EXPECT_EQ(A().SelectedPlayer, 12);
  C().GettingTackledTimer = 0.0f;
  Run();
  EXPECT_EQ(A().SelectedPlayer, 0);
}

TEST_F(RunningUnitTest, APlayerStillReactingRunsOnAsHeMoves) {
  Pl(3).ActionHoldTimer = 0.2f;
  Place(Pl(3), 34.5f, -20.0f);
  Pl(3).Velocity = {5.0f, 2.0f};
  Run();
  EXPECT_FLOAT_EQ(Pl(3).DesiredPos.x, 34.55f) << "kept 0.45 m inside the touchline";
  EXPECT_FLOAT_EQ(Pl(3).DesiredPos.z, -20.0f + 2.0f * kDt);
}

// ---------------------------------------------------------------- line

// Depth target of a line player: the flight of a pass from the carrier to
// him times his top speed, 0.25 m more, and the forward step he takes when
// he stands exactly 1 m behind it with a carrier at rest.
struct TDepthCase {
  const char* what;
  f32 sideways, maxspeed, passSpeed;
  u16 strategy;
  double depth;  // m, plus 0.25
};

TEST_F(RunningUnitTest, ALinePlayerKeepsTheDepthFromWhichHeCouldRunOntoAPass) {
  const TDepthCase cases[] = {
      {"14 m from a 20 m/s passer at 7 m/s", 14.0f, 7.0f, 20.0f, 0, 4.41},
      {"strategy 1 takes 0.74", 14.0f, 7.0f, 20.0f, 1, 0.74 * 7 * 0.7},
      {"strategy 2 takes 0.8", 14.0f, 7.0f, 20.0f, 2, 0.8 * 7 * 0.7},
      {"never deeper than 10 m", 30.0f, 10.0f, 10.0f, 0, 10.0},
      {"never more than 0.5 m ahead", 14.0f, -7.0f, 20.0f, 0, -0.75},
      {"a carrier who cannot pass gives the deepest line", 14.0f, 7.0f, 0.0f, 0, 10.0},
  };
  for (const TDepthCase& k : cases) {
    SetUp();
    C().maxpassspeed = k.passSpeed;
    C().Acceleration = 0.0f;
    A().StrategyNumber = k.strategy;
    InSlot(4, 101 + static_cast<int>(k.sideways));
    Pl(4).maxspeed = k.maxspeed;
    const double tz = -k.depth - 0.25;
    Place(Pl(4), k.sideways, static_cast<f32>(tz - 1.0));
    Run();
    // 1 m behind: speed 1 / 0.25 = 4 at weight 1 / 1.5.
    EXPECT_NEAR(Pl(4).DesiredPos.z, tz - 1.0 + 4.0 / 1.5 * kDt, 2e-5) << k.what;
  }
}

TEST_F(RunningUnitTest, LineDepthByTheCarriersActions) {
  struct Case {
    const char* what;
    int event;  // the carrier's current event type, 0 none
    f32 kickTimer;
    bool lineBreak;
    double depth;
  };
  const Case cases[] = {
      {"a type-55 event brings the line to 1.0 m", 55, 0.0f, false, 1.0},
      {"the type-55 depth wins over a kick", 55, 0.5f, false, 1.0},
      {"a kick brings it to 0.05 m", 0, 0.5f, false, 0.05},
      {"a perceived line break takes 0.9 of it", 0, 0.0f, true, 0.9 * 4.41},
  };
  for (const Case& k : cases) {
    SetUp();
    C().Acceleration = 0.0f;
    if (k.event != 0) {
      C().ActionSeq.seqON = kTrue32;
      C().ActionSeq.NumEvents = 1;
      C().ActionSeq.CurrEventIndex = 1;
      C().ActionSeq.EventArray[1].EventType = k.event;
      C().ActionSeq.EventArray[1].Complete = kFalse32;
    }
    C().KickTimer = k.kickTimer;
    InSlot(4, 115);
    Pl(4).maxspeed = 7.0f;
    Pl(4).PerceivedLineBreak = Flag(k.lineBreak);
    const double tz = -k.depth - 0.25;
    Place(Pl(4), 14.0f, static_cast<f32>(tz - 1.0));
    Run();
    EXPECT_NEAR(Pl(4).DesiredPos.z, tz - 1.0 + 4.0 / 1.5 * kDt, 2e-5) << k.what;
  }
}

TEST_F(RunningUnitTest, ALinePlayerAtHisDepthMovesWithTheCarrier) {
  // At his target he takes the carrier's forward speed plus one step of his
  // acceleration; 1 m from his slot's x he drifts to it at 0.5 m/s on top of
  // 0.9 of the carrier's sideways velocity.
  C().Velocity = {2.0f, 5.0f};
  C().Acceleration = 3.0f;
  InSlot(4, 111);
  Pl(4).maxspeed = 0.0f;  // no depth: his target is 0.25 m behind the carrier
  Place(Pl(4), 9.0f, -0.25f);
  Run();
  EXPECT_NEAR(Pl(4).DesiredPos.z, -0.25 + (5.0 + 3.0 * kDt) * kDt, 1e-6);
  EXPECT_NEAR(Pl(4).DesiredPos.x, 9.0 + (0.9 * 2.0 + 0.5) * kDt, 1e-6);
}

TEST_F(RunningUnitTest, ALinePlayerFollowsSidewaysOnlyNearTheBallAndDriftsToTheOuterPlaceOfSlots100And102) {
  struct Case {
    const char* what;
    int slot;
    f32 x;
    double wantDx;  // DesiredPos.x - Pos.x, m
  };
  // Carrier sideways at 3 m/s; slot k stands at x = k - 101.
  const Case cases[] = {
      {"11.5 m from the ball, 2.5 m short of his slot", 115, 11.5f, (0.9 * 3 + 1.0) * kDt},
      {"12 m from the ball", 115, 12.0f, 0.0},
      {"within 0.5 m of his slot", 106, 5.4f, 0.0},
      {"slot 102 stands at 1.4 m", 102, 0.4f, (0.9 * 3 + 0.5) * kDt},
      {"slot 100 stands at -1.4 m", 100, -0.4f, (0.9 * 3 - 0.5) * kDt},
      {"slot 99 stands at -2 m", 99, -1.0f, (0.9 * 3 - 0.5) * kDt},
  };
  for (const Case& k : cases) {
    SetUp();
    C().Velocity = {3.0f, 0.0f};
    InSlot(4, k.slot);
    Place(Pl(4), k.x, -5.0f);
    Run();
    EXPECT_NEAR(Pl(4).DesiredPos.x - k.x, k.wantDx, 1e-6) << k.what;
  }
}

TEST_F(RunningUnitTest, ALinePlayerCutBackAtATouchlineIsCalledUpAsASupportRunner) {
  struct Case {
    const char* what;
    f32 carrierX, playerX;
    bool sequence;
    bool called;
    u16 side;
  };
  const Case cases[] = {
      {"far from the carrier", 20.0f, 34.5f, false, true, 2},
      {"within 2 m of him", 33.0f, 34.5f, false, true, 1},
      {"running a sequence", 20.0f, 34.5f, true, false, 0},
      {"not beyond 34.15 m", 20.0f, 34.1f, false, false, 0},
  };
  for (const Case& k : cases) {
    SetUp();
    Place(C(), k.carrierX, 0.0f);
    W.BallPos.x = k.carrierX;
    C().Velocity = {8.0f, 0.0f};
    InSlot(4, 140);  // slot x beyond the touchline: target 34
    Pl(4).ActionSeq.seqON = Flag(k.sequence);
    Place(Pl(4), k.playerX, -3.0f);
    Run();
    if (!k.sequence) {
      EXPECT_LE(Pl(4).DesiredPos.x, 34.25f) << k.what;
    }
    EXPECT_EQ(Pl(4).SupportRunCall, Flag(k.called)) << k.what;
    EXPECT_EQ(Pl(4).SupportSide, k.side) << k.what;
  }
}

// ---------------------------------------------------------------- carrier path

TEST_F(RunningUnitTest, ATeamMateInTheCarriersPathIsSentOutOfIt) {
  struct Case {
    const char* what;
    f32 dx, dz, time;
    bool tackled;
    f32 wantX, wantZ;  // NAN: untouched
  };
  const Case cases[] = {
      {"0.3 m left, 4 m ahead", -0.3f, 4.0f, 1.2f, false, -1.5f, -0.6f},
      {"level in x takes the left", 0.0f, 4.0f, 1.2f, false, -1.5f, -0.6f},
      {"0.3 m right, 4 m ahead", 0.3f, 4.0f, 1.2f, false, 1.5f, -0.6f},
      {"0.3 m left, 0.3 m behind", -0.3f, -0.3f, 1.2f, false, -1.0f, -0.6f},
      {"within 1.1 s of a set piece", -0.3f, 4.0f, 1.08f, false, NAN, NAN},
      {"10 m ahead", -0.3f, 10.0f, 1.2f, false, NAN, NAN},
      {"2 m aside", -2.0f, 4.0f, 1.2f, false, NAN, NAN},
      {"tackled: 0.6 m behind is in the band", -0.3f, -0.6f, 1.2f, true, -1.0f, -0.8f},
      {"tackled: 1.6 m aside is not", -1.6f, 4.0f, 1.2f, true, NAN, NAN},
  };
  for (const Case& k : cases) {
    SetUp();
    W.TimeSinceSetPiece = k.time;
    if (k.tackled) C().GettingTackledTimer = 1.0f;
    Place(Pl(4), k.dx, k.dz);
    Pl(4).maxspeed = 0.05f;  // too slow to be sent to the breakdown
    Run();
    if (std::isnan(k.wantX)) {
      EXPECT_EQ(Pl(4).DesiredPos.x, k.dx) << k.what;
      EXPECT_EQ(Pl(4).DesiredPos.z, k.dz) << k.what;
    } else {
      EXPECT_FLOAT_EQ(Pl(4).DesiredPos.x, k.wantX) << k.what;
      EXPECT_FLOAT_EQ(Pl(4).DesiredPos.z, k.wantZ) << k.what;
    }
  }
}

TEST_F(RunningUnitTest, TheReceiverOfAPassAboutToBeMadeRunsHisLine) {
  A().PassReceiver = 9;
  A().ReceiverRunAngle = 90.0f;  // straight up the pitch
  A().ReceiverRunSpeed = 6.0f;
  Place(Pl(9), 5.0f, -2.0f);
  Run();
  EXPECT_EQ(Pl(9).DesiredPos.z, -2.0f) << "no pass under way";
  C().passtimer = 0.3f;
  Run();
  EXPECT_FLOAT_EQ(Pl(9).DesiredPos.z, -2.0f + 6.0f * kDt);
  EXPECT_NEAR(Pl(9).DesiredPos.x, 5.0f, 1e-6);
  C().passtimer = 0.0f;
  C().passcatchtimer = 1.0f;
  A().PassTimeLeft = 0.0f;
  Place(Pl(9), 5.0f, -2.0f);
  Run();
  EXPECT_EQ(Pl(9).DesiredPos.z, -2.0f) << "the catch timer counts only with time left";
  A().PassTimeLeft = 0.2f;
  Run();
  EXPECT_FLOAT_EQ(Pl(9).DesiredPos.z, -2.0f + 6.0f * kDt);
}

// ---------------------------------------------------------------- defenders and tackles

TEST_F(RunningUnitTest, ADefenderStillReadingRunsOnTheWayHeFacesAndDefendersAtTheBallStepAside) {
  // The defence's plan stands (no clock runs out): it leaves each defender
  // off the line at his own x, at the depth of its flat profile (z 0).
  W.DefenceCycleTimer = 2.0f;
  for (int k = 1; k <= 3; ++k) W.DefenceSubTimers[k] = 1.0f;
  // Facing pi: the heading 90 degrees, up the pitch.
  Def(3).AngleReactionTimer = 0.3f;
  Def(3).FacingAngle = static_cast<f32>(std::numbers::pi);
  Place(Def(3), 10.0f, 10.0f);
  Def(4).AngleReactionTimer = 0.3f;
  Def(4).ActionSeq.seqON = kTrue32;
  Place(Def(4), 12.0f, 10.0f);
  // A kind-0 tackle held by every wanted tackler: defenders near the ball
  // step 2 m aside of it.
  C().GettingTackledTimer = 1.0f;
  C().numgoverning = 2;
  W.Teams[2].TacklersWanted = 2;
  W.BallPos = {0.0f, 1.0f, 0.0f};
  Place(Def(5), 1.9f, 1.7f);
  Place(Def(6), 0.0f, -1.0f);
  Place(Def(7), -1.0f, 0.5f);
  Place(Def(8), 2.0f, 0.0f);
  Run();
  EXPECT_NEAR(Def(3).DesiredPos.x, 10.0f, 1e-5);
  EXPECT_NEAR(Def(3).DesiredPos.z, 15.0f, 1e-5);
  EXPECT_EQ(Def(4).DesiredPos.x, 12.0f) << "a defender on a sequence is not held";
  EXPECT_EQ(Def(5).DesiredPos.x, 2.0f);
  EXPECT_EQ(Def(6).DesiredPos.x, 2.0f) << "level with the ball goes right";
  EXPECT_EQ(Def(7).DesiredPos.x, -2.0f);
  EXPECT_EQ(Def(8).DesiredPos.x, 2.0f) << "2.0 m away is not near";
  EXPECT_EQ(Def(8).DesiredPos.z, 0.0f);

  C().numgoverning = 1;  // a tackler still wanted
  Place(Def(7), -1.0f, 0.5f);
  Run();
  EXPECT_EQ(Def(7).DesiredPos.x, -1.0f);
}

TEST_F(RunningUnitTest, ATackledPlayerSlidesOnAndSlowsFromHisKindsShareOfTheAnimation) {
  struct Case {
    const char* what;
    int block;
    f32 kind, frame;
    bool slows;
  };
  const Case cases[] = {
      {"block 1, kind 7, frame 54", 1, 7.0f, 54.0f, false},
      {"block 1, kind 7, frame 55", 1, 7.0f, 55.0f, true},
      {"block 2, kind 7, frame 69", 2, 7.0f, 69.0f, false},
      {"block 2, kind 7, frame 70", 2, 7.0f, 70.0f, true},
      {"kind 6 at frame 92", 1, 6.0f, 92.0f, true},
      {"kind 6 at frame 91", 2, 6.0f, 91.0f, false},
      {"kind 8 at frame 70", 1, 8.0f, 70.0f, true},
  };
  for (const Case& k : cases) {
    SetUp();
    TPlayer& P = W.Teams[k.block].Players[5];
    Place(P, 3.0f, 3.0f);
    P.GettingTackledTimer = 0.5f;
    P.GettingTackledKind = k.kind;
    P.GettingTackledAngle = 180.0f;  // towards +x
    P.GettingTackledSpeed = 4.0f;
    P.currentframe = k.frame;
    Run();
    const double speed = k.slows ? 4.0 - 0.5 * 9.81 * kDt : 4.0;
    EXPECT_NEAR(P.GettingTackledSpeed, speed, 1e-6) << k.what;
    EXPECT_NEAR(P.DesiredPos.x, 3.0 + speed * kDt, 1e-6) << k.what;
    EXPECT_NEAR(P.DesiredPos.z, 3.0, 1e-6) << k.what;
  }
  // Other kinds are left alone.
  SetUp();
  Place(Def(5), 3.0f, 3.0f);
  Def(5).GettingTackledTimer = 0.5f;
  Def(5).GettingTackledKind = 2.0f;
  Def(5).GettingTackledSpeed = 4.0f;
  Run();
  EXPECT_EQ(Def(5).DesiredPos.x, 3.0f);
}

TEST_F(RunningUnitTest, ATacklerFollowsTheContactPointHeHoldsOrElseHisLunge) {
  // Defender 5 tackles the carrier: lunging towards -z at 5 m/s, kind 3.
  auto setUpTackler = [&] {
    SetUp();
    Place(Def(5), 0.0f, 1.0f);
    Def(5).TackleAttemptTimer = 0.5f;
    Def(5).TackleAttemptKind = 3.0f;
    Def(5).TackleAttemptAngle = 270.0f;
    Def(5).TackleAttemptSpeed = 5.0f;
    Def(5).TackleAttemptLungeFrame = 40.0f;
    Def(5).currentframe = 10.0f;
    for (int k = 1; k <= 8; ++k) C().Footprint[k] = {static_cast<f32>(k), -static_cast<f32>(k)};
  };
  setUpTackler();
  Run();
  EXPECT_NEAR(Def(5).DesiredPos.z, 1.0 - 5.0 * kDt, 1e-6) << "his lunge";
  EXPECT_EQ(Def(5).TackleAttemptSpeed, 5.0f);

  setUpTackler();
  Def(5).currentframe = 40.0f;
  Run();
  EXPECT_NEAR(Def(5).TackleAttemptSpeed, 5.0 - 0.5 * 9.81 * kDt, 1e-6) << "slowing after the lunge frame";

  for (i32 point : {0, 9, -1}) {
    setUpTackler();
    Def(5).governedby = kCarrier;
    Def(5).ContactPoint = point;
    Run();
    EXPECT_NEAR(Def(5).DesiredPos.z, 1.0 - 5.0 * kDt, 1e-6) << "point " << point << " is no point";
  }
  setUpTackler();
  Def(5).governedby = 30;  // names no record
  Def(5).ContactPoint = 3;
  Run();
  EXPECT_NEAR(Def(5).DesiredPos.z, 1.0 - 5.0 * kDt, 1e-6);

  setUpTackler();
  Def(5).governedby = kCarrier;
  Def(5).ContactPoint = 3;
  Run();
  EXPECT_EQ(Def(5).DesiredPos.x, 3.0f);
  EXPECT_EQ(Def(5).DesiredPos.z, -3.0f);
}

TEST_F(RunningUnitTest, WithoutACarrierOnlyTheRulesThatNeedNoneRun) {
  for (i32 carrier : {0, 26, -3}) {
    SetUp();
    A().BallCarrier = carrier;
    W.RunningPhase = 1;
    Pl(3).ActionHoldTimer = 0.2f;
    Pl(3).Velocity = {1.0f, 0.0f};
    const u32 before = RandSeed;
    Run();
    EXPECT_EQ(W.RunningPhase, 2);
    EXPECT_EQ(DrawsSince(before), 0) << carrier;
    EXPECT_EQ(CellsHeldBy(1), 0);
    EXPECT_FLOAT_EQ(Pl(3).DesiredPos.x, Pl(3).Pos.x + 1.0f * kDt);
  }
}

}  // namespace

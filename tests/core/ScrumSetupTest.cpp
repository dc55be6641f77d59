#include "core/ScrumSetup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "SmallWorld.h"
#include "core/DrawCount.h"
#include "core/PlayerLists.h"
#include "core/Random.h"
#include "core/SlotLines.h"

namespace {

class ScrumSetupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    World.PitchWidth = 70.0f;
    World.PlayersPerTeam = 15;
    MakeSmallWorld(W);
    W.MarkX = -5.0f;
    W.MarkZ = 10.0f;
    TTeamBlock& A = W.Teams[1];
    TTeamBlock& D = W.Teams[2];
    for (int k = 1; k <= kSlotCount; ++k) A.LineSlotPos[k] = {static_cast<f32>(k - 101), 0.0f};
    A.SetPieceHolder = D.SetPieceHolder = 9;
    D.DeepPlayerNumber = 15;
    A.SupportGridSize = 11;
    for (int p = 1; p <= 25; ++p) {
      A.Players[p].Pos = {static_cast<f32>(p * 2 - 20), 0, 0};
      D.Players[p].Pos = {static_cast<f32>(20 - p * 2), 0, 15};
      if (p <= 8) A.Players[p].RuckTimer = 1.0f;
      if (p <= 8) D.PackSpots.OccupantB[p] = p;
    }
    RandSeed = 1234;
  }
  static std::vector<int> Entries(const TPlayerList& l) {
    std::vector<int> v;
    for (int k = 1; k <= 25 && l[k] != 0; ++k) v.push_back(l[k]);
    return v;
  }
  template <class Line>
  static std::vector<int> Players(const Line& l) {
    std::vector<int> v;
    for (int k = 1; k <= kSlotCount; ++k) {
      if (l[k] != 0 && l[k] != kSlotMark) v.push_back(l[k]);
    }
    std::sort(v.begin(), v.end());
    return v;
  }
  static int Marks(const TSlotLine& l) {
    int n = 0;
    for (int k = 1; k <= kSlotCount; ++k) n += l[k] == kSlotMark;
    return n;
  }
  static TWorld W;
};
TWorld ScrumSetupTest::W;

TEST_F(ScrumSetupTest, SevenBacksWithTheForwardsBound) {
  SetupScrumPlay(W);
  const TTeamBlock& A = W.Teams[1];
  const TTeamBlock& D = W.Teams[2];
  for (int p = 1; p <= 15; ++p) EXPECT_EQ(A.Players[p].InBackline != 0, p >= 9) << p;
  EXPECT_EQ(Entries(W.ScratchPlayerList), (std::vector<int>{9, 10, 11, 12, 13, 14, 15}));
  EXPECT_EQ(Entries(W.ScratchPriorityList), (std::vector<int>{10, 12, 13, 15}));
  EXPECT_EQ(Entries(D.AttackBacksList), (std::vector<int>{10, 11, 12, 13, 14, 15}));
  EXPECT_EQ(Players(A.SetPieceLine), (std::vector<int>{10, 11, 12, 13, 14, 15}));
  EXPECT_EQ(A.SetPieceLine[101], 0);  // the built line replaces the holder's centre slot
  // The slot positions are the mark plus the line's offsets.
  EXPECT_FLOAT_EQ(A.SetPieceSlotPos[90].x, -16.0f);
  EXPECT_FLOAT_EQ(A.SetPieceSlotPos[90].z, 10.0f);
  // Nobody is left for the support grid.
  for (int r = 1; r <= 11; ++r) {
    for (int c = 1; c <= 11; ++c) EXPECT_EQ(A.SupportGridCells[r][c], 0);
  }
  // Defenders: pack, scrum-half and full-back are placed already; five free
  // defenders for six backs, so no slot is reserved.
  EXPECT_EQ(D.FreeDefendersCount, 5);
  EXPECT_EQ(D.AttackBacksCount, 6);
  EXPECT_EQ(D.SurplusDefenders, -1);
  EXPECT_EQ(Marks(D.MarkedLine), 0);
  EXPECT_EQ(Players(D.MarkedLine), (std::vector<int>{10, 11, 12, 13, 14, 15}));
  EXPECT_EQ(Entries(D.FreeDefendersList), (std::vector<int>{14, 13, 12, 11, 10}));  // by x
  EXPECT_EQ(Players(D.DefenceLine), (std::vector<int>{10, 11, 12, 13, 14}));
  for (int p = 1; p <= 15; ++p) EXPECT_EQ(D.Players[p].SetPiecePlaced, kTrue32) << p;
}

TEST_F(ScrumSetupTest, SpareDefendersGetReservedSlots) {
  TTeamBlock& D = W.Teams[2];
  for (int k = 6; k <= 8; ++k) D.PackSpots.OccupantB[k] = 0;  // only five defenders bound
  SetupScrumPlay(W);
  EXPECT_EQ(D.FreeDefendersCount, 8);
  EXPECT_EQ(D.SurplusDefenders, 2);
  EXPECT_EQ(Marks(D.MarkedLine), 2);
  EXPECT_EQ(Players(D.DefenceLine), (std::vector<int>{6, 7, 8, 10, 11, 12, 13, 14}));
}

TEST_F(ScrumSetupTest, DefenceFillsFromTheFrontAtOrLeftOfTheCentre) {
  for (f32 mark : {0.0f, 0.1f}) {
    SetUp();
    W.MarkX = mark;
    SetupScrumPlay(W);
    const TTeamBlock& D = W.Teams[2];
    EXPECT_EQ(D.DefenceFillFromFront, mark <= 0 ? kTrue32 : kFalse32);
    int first = 0, last = 0;  // the outermost slots of the marked line
    for (int k = 1; k <= kSlotCount; ++k) {
      if (D.MarkedLine[k] == 0) continue;
      if (first == 0) first = k;
      last = k;
    }
    // Five defenders for six slots: the far end of the fill stays empty.
    if (mark <= 0) {
      EXPECT_EQ(D.DefenceLine[first], D.FreeDefendersList[1]);
      EXPECT_EQ(D.DefenceLine[last], 0);
    } else {
      EXPECT_EQ(D.DefenceLine[last], D.FreeDefendersList[5]);
      EXPECT_EQ(D.DefenceLine[first], 0);
    }
  }
}

TEST_F(ScrumSetupTest, UnboundPlayersBeyondFifteenTakeWeightedSupportCells) {
  W.PlayersPerTeam = World.PlayersPerTeam = 16;
  TTeamBlock& A = W.Teams[1];
  RandSeed = 50;
  SetupScrumPlay(W);  // all weights 0: drawn but not placed
  const int draws = DrawsSince(50);
  EXPECT_EQ(A.Players[16].InBackline, 0);
  for (int r = 1; r <= 11; ++r) {
    for (int c = 1; c <= 11; ++c) EXPECT_EQ(A.SupportGridCells[r][c], 0);
  }
  A.Players[16].RuckTimer = 1.0f;  // bound: no supporter, one draw fewer
  RandSeed = 50;
  SetupScrumPlay(W);
  EXPECT_EQ(DrawsSince(50), draws - 1);
  A.Players[16].RuckTimer = 0;
  A.SupportGridWeights[2][5] = 3;
  SetupScrumPlay(W);
  EXPECT_EQ(A.SupportGridCells[2][5], 16);
  // Cells 1 m apart, rows running back from the mark.
  EXPECT_FLOAT_EQ(A.SupportGridOrigin.x, -5.5f + 0.5f - 5.0f);
  EXPECT_FLOAT_EQ(A.SupportGridOrigin.z, 10.0f - 3.0f);
  EXPECT_FLOAT_EQ(A.SupportGridSpots[2][5].x, -10.0f + 5);
  EXPECT_FLOAT_EQ(A.SupportGridSpots[2][5].z, 7.0f - 2);
  World.PlayersPerTeam = 15;
}

}  // namespace

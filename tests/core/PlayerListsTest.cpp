#include "core/PlayerLists.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "core/DrawCount.h"

namespace {

TPlayerList MakeList(std::initializer_list<int> ids) {
  TPlayerList l = kEmptyPlayerList;
  int k = 1;
  for (int id : ids) l[k++] = static_cast<i16>(id);
  return l;
}

std::vector<int> Entries(const TPlayerList& l) {
  std::vector<int> v;
  for (int k = 1; k <= 25; ++k) v.push_back(l[k]);
  while (!v.empty() && v.back() == 0) v.pop_back();
  return v;
}

class PlayerListsTest : public ::testing::Test {
 protected:
  void SetUp() override { World.PlayersPerTeam = 15; }
  void TearDown() override { World.PlayersPerTeam = 15; }
};

TEST_F(PlayerListsTest, SortByKeyAscendingAndStable) {
  Arr1<f32, 25> keys{};
  EXPECT_EQ(Entries(SortPlayersByKey(kEmptyPlayerList, keys)), std::vector<int>{});
  keys[1] = 3.0f, keys[2] = -1.0f, keys[3] = 3.0f, keys[4] = 0.5f;
  EXPECT_EQ(Entries(SortPlayersByKey(MakeList({5, 9, 2, 7}), keys)), (std::vector<int>{9, 7, 5, 2}));
}

TEST_F(PlayerListsTest, SortByKeyKeepsEntriesWithHugeKeys) {
  // A key of a million or more still takes its place, after the others.
  Arr1<f32, 25> keys{};
  keys[1] = 2.0e6f, keys[2] = 4.0f, keys[3] = 1.0e6f, keys[4] = -3.0f;
  EXPECT_EQ(Entries(SortPlayersByKey(MakeList({11, 12, 13, 14}), keys)),
            (std::vector<int>{14, 12, 13, 11}));
}

TEST_F(PlayerListsTest, ListPlayersByXSkipsPlacedPlayers) {
  static TTeamBlock B;
  B = {};
  for (int p = 1; p <= 25; ++p) B.Players[p].Pos.x = static_cast<f32>(100 - p);
  B.Players[3].Pos.x = -50.0f;
  B.Players[7].SetPiecePlaced = kTrue32;
  const TPlayerList l = ListPlayersByX(B);
  EXPECT_EQ(Entries(l), (std::vector<int>{3, 15, 14, 13, 12, 11, 10, 9, 8, 6, 5, 4, 2, 1}));
  for (int p = 1; p <= 25; ++p) B.Players[p].SetPiecePlaced = kTrue32;
  EXPECT_EQ(Entries(ListPlayersByX(B)), std::vector<int>{});
}

TEST_F(PlayerListsTest, RemoveFromPlayerList) {
  EXPECT_EQ(Entries(RemoveFromPlayerList(MakeList({5, 9, 3}), 9)), (std::vector<int>{5, 3}));
  EXPECT_EQ(Entries(RemoveFromPlayerList(MakeList({5, 9, 3}), 4)), (std::vector<int>{5, 9, 3}));
  EXPECT_EQ(Entries(RemoveFromPlayerList(MakeList({5, 9, 9}), 9)), (std::vector<int>{5, 9}));
  // Only places 1..PlayersPerTeam are searched.
  TPlayerList full = kEmptyPlayerList;
  for (int k = 1; k <= 25; ++k) full[k] = static_cast<i16>(k);
  EXPECT_EQ(RemoveFromPlayerList(full, 20)[20], 20);
  // With 25 a side, an entry in the last place is removed too.
  World.PlayersPerTeam = 25;
  const TPlayerList out = RemoveFromPlayerList(full, 25);
  EXPECT_EQ(out[25], 0);
  EXPECT_EQ(out[24], 24);
}

TEST_F(PlayerListsTest, InsertIntoPlayerList) {
  EXPECT_EQ(Entries(InsertIntoPlayerList(7, 2, MakeList({5, 9, 3}))), (std::vector<int>{5, 7, 9, 3}));
  EXPECT_EQ(Entries(InsertIntoPlayerList(7, 5, MakeList({5, 9, 3}))), (std::vector<int>{5, 9, 3, 0, 7}));
  EXPECT_EQ(Entries(InsertIntoPlayerList(7, 1, kEmptyPlayerList)), (std::vector<int>{7}));
  // The shift stops at the first empty place.
  EXPECT_EQ(Entries(InsertIntoPlayerList(7, 1, MakeList({5, 9, 0, 4}))), (std::vector<int>{7, 5, 9, 4}));
  // A full list drops its last entry.
  TPlayerList full = kEmptyPlayerList;
  for (int k = 1; k <= 25; ++k) full[k] = static_cast<i16>(k);
  const TPlayerList out = InsertIntoPlayerList(30, 24, full);
  EXPECT_EQ(out[24], 30);
  EXPECT_EQ(out[25], 24);
  EXPECT_EQ(Entries(InsertIntoPlayerList(7, 0, MakeList({5}))), (std::vector<int>{5}));
  EXPECT_EQ(Entries(InsertIntoPlayerList(7, 26, MakeList({5}))), (std::vector<int>{5}));
}

TEST_F(PlayerListsTest, BestUnusedIndex) {
  const f32 v[4] = {3.0f, 1.0f, 1.0f, 8.0f};
  const i16 none[4] = {0, 0, 0, 0};
  const i16 ex2[4] = {2, 0, 0, 0};
  const i16 all[4] = {4, 3, 2, 1};
  EXPECT_EQ(BestUnusedIndex(v, none, 4, kFalse32), 2);  // first of equals
  EXPECT_EQ(BestUnusedIndex(v, ex2, 4, kFalse32), 3);
  EXPECT_EQ(BestUnusedIndex(v, none, 4, kTrue32), 4);
  EXPECT_EQ(BestUnusedIndex(v, all, 4, kFalse32), 0);
  const f32 zeros[3] = {0, 0, 0};
  EXPECT_EQ(BestUnusedIndex(zeros, none, 3, kTrue32), 0);
  const f32 huge[2] = {1.0e7f, 2.0e7f};
  EXPECT_EQ(BestUnusedIndex(huge, none, 2, kFalse32), 0);
}

TEST_F(PlayerListsTest, ClaimSpots) {
  TSpotTable t{};
  for (int k = 1; k <= 10; ++k) {
    t.PosA[k] = {static_cast<f32>(k), 0.0f};
    t.PosB[k] = {static_cast<f32>(k), 0.0f};
  }
  t = ClaimNearestFreeSpot(t, 21, 4.4f, 3.0f);
  EXPECT_EQ(t.OccupantA[4], 21);
  t = ClaimNearestFreeSpot(t, 22, 4.4f, 3.0f);  // 4 is taken: 5 is next nearest
  EXPECT_EQ(t.OccupantA[5], 22);
  t.OccupantB[1] = 9;
  t = ClaimNextFreeSpot(t, 23, 0.0f, 0.0f);  // pair 2-3: 2 is nearer
  EXPECT_EQ(t.OccupantB[2], 23);
  t.OccupantB[2] = 0;
  t = ClaimNextFreeSpot(t, 24, 9.0f, 0.0f);  // pair 2-3: 3 is nearer
  EXPECT_EQ(t.OccupantB[3], 24);
  EXPECT_EQ(t.OccupantB[2], 0);
  for (int k = 1; k <= 10; ++k) t.OccupantB[k] = 1;
  const TSpotTable before = t;
  t = ClaimNextFreeSpot(t, 25, 0.0f, 0.0f);
  EXPECT_EQ(t.OccupantB[10], before.OccupantB[10]);
}

TEST_F(PlayerListsTest, RefillFrontSpotWithoutCandidatesDrawsNothing) {
  RandSeed = 77;
  TSpotTable t{};
  t.OccupantB[6] = 6;
  const TSpotTable out = RefillFrontSpot(t, 0);
  EXPECT_EQ(DrawsSince(77), 0);
  EXPECT_EQ(out.OccupantB[6], 6);
  EXPECT_EQ(out.OccupantB[2], 0);
}

TEST_F(PlayerListsTest, RefillFrontSpotMovesOneCandidate) {
  // Each single candidate, and what it moves.
  struct Case {
    int spot;
    int front;
    int refilledFrom6;  // the spot that takes the occupant of 6, or 0
  } cases[] = {{4, 2, 4}, {7, 2, 0}, {5, 3, 5}, {8, 3, 0}};
  for (const Case& c : cases) {
    TSpotTable t{};
    t.OccupantB[c.spot] = 40;
    t.OccupantB[6] = 60;
    RandSeed = 5;
    const TSpotTable out = RefillFrontSpot(t, 0);
    EXPECT_EQ(DrawsSince(5), 1);
    EXPECT_EQ(out.OccupantB[c.front], 40) << c.spot;
    if (c.refilledFrom6 != 0) {
      EXPECT_EQ(out.OccupantB[c.refilledFrom6], 60) << c.spot;
      EXPECT_EQ(out.OccupantB[6], 0) << c.spot;
    } else {
      EXPECT_EQ(out.OccupantB[c.spot], 0) << c.spot;
      EXPECT_EQ(out.OccupantB[6], 60) << c.spot;
    }
  }
}

TEST_F(PlayerListsTest, RefillFrontSpotLeavesOutTheLeavingPlayer) {
  // Id at spot 6: neither 4 nor 5 may move; only 7 and 8 are candidates.
  for (u32 seed = 1; seed <= 20; ++seed) {
    TSpotTable t{};
    t.OccupantB[4] = 4, t.OccupantB[5] = 5, t.OccupantB[6] = 6, t.OccupantB[7] = 7,
    t.OccupantB[8] = 8;
    RandSeed = seed;
    const TSpotTable out = RefillFrontSpot(t, 6);
    EXPECT_EQ(out.OccupantB[4], 4);
    EXPECT_EQ(out.OccupantB[5], 5);
    EXPECT_TRUE(out.OccupantB[2] == 7 || out.OccupantB[3] == 8);
  }
  // Id alone in the table: nothing to move, no draw.
  TSpotTable t{};
  t.OccupantB[7] = 7;
  RandSeed = 3;
  EXPECT_EQ(RefillFrontSpot(t, 7).OccupantB[7], 7);
  EXPECT_EQ(DrawsSince(3), 0);
}

}  // namespace

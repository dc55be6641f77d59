#include "core/Backline.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/DrawCount.h"
#include "core/FloatGuard.h"
#include "core/PlayerLists.h"
#include "core/SlotLines.h"

namespace {

std::vector<int> Marked(const TSlotLine& l) {
  std::vector<int> out;
  for (int k = 1; k <= kSlotCount; ++k) {
    if (l[k] != 0) out.push_back(k);
  }
  return out;
}

class BacklineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    World.PitchWidth = 70.0f;
    World.PlayersPerTeam = 15;
    B = {};
    for (int k = 1; k <= kSlotCount; ++k) B.LineSlotPos[k] = {static_cast<f32>(k - 101), 0.0f};
    for (int p = 1; p <= 25; ++p) B.Players[p].InBackline = kTrue32;
  }
  static TSlotLine Marks(std::initializer_list<int> slots) {
    TSlotLine m = kEmptySlotLine;
    for (int k : slots) m[k] = 1;
    return m;
  }
  static TPlayerList List(std::initializer_list<int> ids) {
    TPlayerList l = kEmptyPlayerList;
    int k = 1;
    for (int id : ids) l[k++] = static_cast<i16>(id);
    return l;
  }
  void At(int p, f32 x, f32 z = 0) { B.Players[p].Pos = {x, 0, z}; }
  static TTeamBlock B;
};
TTeamBlock BacklineTest::B;

TEST_F(BacklineTest, PlanWithOnePlayerMarksOnlyTheCentre) {
  RandSeed = 99;
  EXPECT_EQ(Marked(PlanBacklineSpacing(1, 0.0f)), std::vector<int>{101});
  EXPECT_EQ(DrawsSince(99), 2);  // the two first gaps
}

TEST_F(BacklineTest, PlanMarksOneSlotPerPlayer) {
  for (f32 x : {-30.0f, -12.0f, 0.0f, 7.5f, 25.0f}) {
    for (int count = 2; count <= 15; ++count) {
      RandSeed = static_cast<u32>(count * 31 + 7);
      const std::vector<int> m = Marked(PlanBacklineSpacing(count, x));
      EXPECT_EQ(static_cast<int>(m.size()), count) << x << " " << count;
    }
  }
}

TEST_F(BacklineTest, PlanNearATouchlinePutsEveryoneOnTheOpenSide) {
  for (u32 seed = 1; seed <= 20; ++seed) {
    RandSeed = seed;
    for (int k : Marked(PlanBacklineSpacing(7, -33.0f))) EXPECT_GE(k, 101);
    for (int k : Marked(PlanBacklineSpacing(7, 33.0f))) EXPECT_LE(k, 101);
  }
}

TEST_F(BacklineTest, PlanFarOffThePitchRaisesNoFloatError) {
  // Room of 1e30 m on the right: the line stays on its 201 slots.
  RandSeed = 3;
  ClearFloatFlags();
  const std::vector<int> m = Marked(PlanBacklineSpacing(7, -1.0e30f));
  EXPECT_EQ(std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW), 0);
  EXPECT_EQ(m.size(), 7u);
  EXPECT_EQ(m.front(), 101);
}

TEST_F(BacklineTest, PlanShortensTheFirstGapWhenRoomIsShort) {
  // x = 20: 12.5 m of room to the right, so a first gap of 7 m (slot 108).
  // x = 27: 5.5 m, so 0.55 x 7 = 3.85 m, 4 slots (slot 105).
  const struct {
    f32 x;
    int slot;
  } cases[] = {{20.0f, 108}, {27.0f, 105}};
  for (const auto& c : cases) {
    int right = 0;
    for (u32 seed = 1; seed <= 60; ++seed) {
      RandSeed = seed;
      for (int k : Marked(PlanBacklineSpacing(2, c.x))) {
        if (k > 101) {
          EXPECT_EQ(k, c.slot) << c.x;
          ++right;
        }
      }
    }
    EXPECT_GT(right, 0) << c.x;  // the split sends him right on some seeds
  }
}

TEST_F(BacklineTest, BuildFillsMarkedSlotsInOrderOfX) {
  At(10, 5), At(12, -3), At(9, 0), At(13, 8);
  RandSeed = 1;
  const TSlotLine out = BuildBackline(B, List({10, 12, 9, 13}), Marks({95, 101, 104, 110}), 9, 0, 0,
                                      kFalse32, kTrue32, kEmptyPlayerList);
  EXPECT_EQ(DrawsSince(1), 0);
  EXPECT_EQ(out[95], 12);
  EXPECT_EQ(out[104], 10);
  EXPECT_EQ(out[110], 13);
  EXPECT_EQ(out[101], 0);  // the feeder's slot is never filled
  EXPECT_EQ(Marked(out).size(), 3u);
}

TEST_F(BacklineTest, BuildPlacesAvailableWingsFirst) {
  At(11, 25), At(12, -3), At(13, 8), At(14, 20);
  const TSlotLine marks = Marks({80, 90, 101, 112, 122});
  TSlotLine out = BuildBackline(B, List({12, 11, 13, 14}), marks, 9, 0, 0, kTrue32, kFalse32,
                                kEmptyPlayerList);
  EXPECT_EQ(out[80], 11);  // first marked slot from slot 1
  EXPECT_EQ(out[122], 14);  // first marked slot from slot 201
  EXPECT_EQ(out[90], 12);
  EXPECT_EQ(out[112], 13);
  // Tight: only slots within 15 m of the wing on both axes.
  out = BuildBackline(B, List({12, 11, 13, 14}), marks, 9, 0, 0, kTrue32, kTrue32, kEmptyPlayerList);
  EXPECT_EQ(out[112], 11);
  EXPECT_EQ(out[122], 14);
  // Not available, or on the priority list: left to the fill by x.
  B.Players[11].InBackline = kFalse32;
  out = BuildBackline(B, List({12, 11, 13, 14}), marks, 9, 0, 0, kTrue32, kFalse32, kEmptyPlayerList);
  EXPECT_EQ(out[122], 14);
  EXPECT_EQ(out[112], 11);  // the largest x of the three left
  B.Players[11].InBackline = kTrue32;
  TPlayerList priority = List({11});
  out = BuildBackline(B, List({12, 11, 13, 14}), marks, 9, 0, 0, kTrue32, kFalse32, priority);
  EXPECT_NE(out[80], 11);
}

TEST_F(BacklineTest, BuildPlacesPriorityPlayersNearTheAnchorOnADrawnSide) {
  At(10, 0), At(12, -3), At(13, 8);
  const TSlotLine marks = Marks({88, 90, 101, 112, 114});
  for (u32 seed = 1; seed <= 30; ++seed) {
    RandSeed = seed;
    RandomRange(1, 1001);  // the anchor's direction
    const bool positive = RandomRange(1, 1001) < 500;
    RandSeed = seed;
    const TSlotLine out = BuildBackline(B, List({12, 10, 13}), marks, 9, 0, 0, kTrue32, kFalse32,
                                        List({10}));
    EXPECT_EQ(DrawsSince(seed), 2);
    EXPECT_EQ(out[positive ? 112 : 90], 10) << seed;
    EXPECT_EQ(out[88], 12);  // the others fill from slot 1 in order of x
    EXPECT_EQ(out[positive ? 90 : 112], 13);
  }
}

}  // namespace

#include "core/SlotLines.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/DrawCount.h"
#include "core/FloatGuard.h"
#include "core/PlayerLists.h"

namespace {

// Slots 1 m apart, slot 101 at x = 0: slots 67..135 lie inside the
// touchlines of a 70 m pitch.
class SlotLinesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    World.PitchWidth = 70.0f;
    World.PlayersPerTeam = 15;
    for (int k = 1; k <= kSlotCount; ++k) Slots[k] = {static_cast<f32>(k - 101), 2.0f};
  }
  std::vector<int> Taken(const TSlotLine& l, i16 v) const {
    std::vector<int> out;
    for (int k = 1; k <= kSlotCount; ++k) {
      if (l[k] == v) out.push_back(k);
    }
    return out;
  }
  int Count(const TSlotLine& l) const {
    int n = 0;
    for (int k = 1; k <= kSlotCount; ++k) n += l[k] != 0;
    return n;
  }
  TSlotPositions Slots;
};

TEST_F(SlotLinesTest, PlaceAtRandomSlotStaysInsideTheTouchlines) {
  TSlotLine line = kEmptySlotLine;
  for (int k = 67; k <= 135; k += 2) line[k] = 1;  // every other slot taken
  for (u32 seed = 1; seed <= 40; ++seed) {
    RandSeed = seed;
    const TSlotLine out = PlaceAtRandomSlot(Slots, 9, line);
    EXPECT_EQ(DrawsSince(seed), 2);
    const std::vector<int> at = Taken(out, 9);
    ASSERT_EQ(at.size(), 1u);
    EXPECT_TRUE(at[0] > 67 && at[0] < 135 && at[0] % 2 == 0) << at[0];
  }
}

TEST_F(SlotLinesTest, PlaceAtRandomSlotOnAFullLineDrawsTwiceAndChangesNothing) {
  TSlotLine line = kEmptySlotLine;
  for (int k = 67; k <= 135; ++k) line[k] = 3;
  RandSeed = 11;
  const TSlotLine out = PlaceAtRandomSlot(Slots, 9, line);
  EXPECT_EQ(DrawsSince(11), 2);
  EXPECT_EQ(Taken(out, 9).size(), 0u);
  EXPECT_EQ(Taken(out, 3).size(), 69u);
}

TEST_F(SlotLinesTest, MarkRandomSlots) {
  RandSeed = 4;
  EXPECT_EQ(Count(MarkRandomSlots(Slots, 0, kEmptySlotLine)), 0);
  EXPECT_EQ(DrawsSince(4), 0);
  const TSlotLine out = MarkRandomSlots(Slots, 5, kEmptySlotLine);
  const std::vector<int> marks = Taken(out, kSlotMark);
  EXPECT_EQ(marks.size(), 5u);
  for (int k : marks) EXPECT_TRUE(k >= 67 && k <= 135);
  // Eleven tries per mark, then it is dropped.
  TSlotLine full = kEmptySlotLine;
  for (int k = 67; k <= 135; ++k) full[k] = 2;
  RandSeed = 4;
  EXPECT_EQ(Count(MarkRandomSlots(Slots, 2, full)), 69);
  EXPECT_EQ(DrawsSince(4), 22);
}

TEST_F(SlotLinesTest, MarkSlotsInRangePairFirstAndSpread) {
  // Around x = 0: lo = 99 (x -2 > -2.5), hi = 103.
  RandSeed = 8;
  TSlotLine out = MarkSlotsInRange(Slots, 0.0f, 2, kTrue32, kFalse32, kEmptySlotLine);
  EXPECT_EQ(Taken(out, kSlotMark), (std::vector<int>{99, 103}));
  EXPECT_EQ(DrawsSince(8), 0);
  out = MarkSlotsInRange(Slots, 0.0f, 1, kTrue32, kFalse32, kEmptySlotLine);
  const std::vector<int> one = Taken(out, kSlotMark);
  ASSERT_EQ(one.size(), 1u);
  EXPECT_TRUE(one[0] == 99 || one[0] == 103);
  // Without the pair, each mark lands within a few slots outside lo or hi.
  for (u32 seed = 1; seed <= 30; ++seed) {
    RandSeed = seed;
    out = MarkSlotsInRange(Slots, 0.0f, 4, kFalse32, kTrue32, kEmptySlotLine);
    const std::vector<int> marks = Taken(out, kSlotMark);
    EXPECT_EQ(marks.size(), 4u);
    for (int k : marks) EXPECT_TRUE(k <= 99 || k >= 103) << k;
  }
  // Near the left touchline every mark goes to the right first
  // (the position share is 0 per mille).
  RandSeed = 2;
  out = MarkSlotsInRange(Slots, -35.0f, 3, kFalse32, kTrue32, kEmptySlotLine);
  for (int k : Taken(out, kSlotMark)) EXPECT_GE(k, 68);
}

TEST_F(SlotLinesTest, MarkSlotsInRangeFarOffThePitchRaisesNoFloatError) {
  // The share across the pitch of a mark 1e30 m out does not fit 32 bits.
  RandSeed = 6;
  ClearFloatFlags();
  const TSlotLine out = MarkSlotsInRange(Slots, 1.0e30f, 2, kFalse32, kTrue32, kEmptySlotLine);
  EXPECT_EQ(std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW), 0);
  EXPECT_LE(Taken(out, kSlotMark).size(), 2u);
}

TEST_F(SlotLinesTest, ClearSlotMarksDrawsOnlyWhenTheCountIsUnexpected) {
  TSlotLine marked = kEmptySlotLine;
  marked[80] = marked[90] = marked[120] = kSlotMark;
  marked[100] = 7;
  const struct {
    const TSlotLine* line;
    int expected;
    int draws;
  } cases[] = {{&kEmptySlotLine, 0, 0}, {&kEmptySlotLine, 2, 0}, {&marked, 3, 0},
               {&marked, 2, 2},         {&marked, 0, 2}};
  for (const auto& c : cases) {
    RandSeed = 21;
    const TSlotLine out = ClearSlotMarks(c.expected, *c.line);
    EXPECT_EQ(DrawsSince(21), c.draws) << c.expected;
    EXPECT_EQ(Taken(out, kSlotMark).size(), 0u);
    EXPECT_EQ(out[100], c.line->Slots[100]);
  }
}

TEST_F(SlotLinesTest, ReserveNearestSlots) {
  TSlotLine line = kEmptySlotLine;
  line[110] = 4;
  TPlayerList wanted = kEmptyPlayerList;
  wanted[1] = 100, wanted[2] = 110, wanted[3] = 20, wanted[4] = 0, wanted[5] = 120;
  const TSlotLine out = ReserveNearestSlots(Slots, wanted, line);
  // 100 free: itself; 110 taken: 109 (first of 109 and 111); 20 outside: 67.
  EXPECT_EQ(Taken(out, kSlotMark), (std::vector<int>{67, 100, 109}));
  EXPECT_EQ(out[110], 4);
}

TEST_F(SlotLinesTest, FillSlotsWithPlayersFromEitherEnd) {
  TSlotLine marks = kEmptySlotLine;
  marks[10] = marks[20] = marks[30] = kSlotMark;
  TPlayerList list = kEmptyPlayerList;
  list[1] = 4, list[2] = 7;
  TSlotLine front = FillSlotsWithPlayers(marks, list, kTrue32);
  EXPECT_EQ(front[10], 4);
  EXPECT_EQ(front[20], 7);
  EXPECT_EQ(front[30], 0);
  TSlotLine back = FillSlotsWithPlayers(marks, list, kFalse32);
  EXPECT_EQ(back[30], 7);
  EXPECT_EQ(back[20], 4);
  EXPECT_EQ(back[10], 0);
}

TEST_F(SlotLinesTest, RebuildLineKeepsListedPlayersAndPlacesNewOnesNearest) {
  TSlotLine line = kEmptySlotLine;
  line[90] = 10, line[95] = 12, line[97] = kSlotMark, line[105] = 14;
  TPlayerList list = kEmptyPlayerList;
  list[1] = 14, list[2] = 10, list[3] = 13, list[4] = 11;
  Arr1<TVector2, 25> pos{};
  pos[13] = {-6.2f, 0};  // nearest free slot: 95 is free once 12 is dropped
  pos[11] = {4.0f, 0};   // 105 is taken: 104 comes first of 104 and 106
  const TSlotLine out = RebuildLine(Slots, line, list, pos);
  EXPECT_EQ(out[90], 10);
  EXPECT_EQ(out[105], 14);
  EXPECT_EQ(out[95], 13);
  EXPECT_EQ(out[104], 11);
  EXPECT_EQ(out[97], 0);  // marks are dropped
  EXPECT_EQ(Count(out), 4);
}

TEST_F(SlotLinesTest, RecentreLineShiftsAndReinsertsWhatFallsOff) {
  TSlotLine line = kEmptySlotLine;
  line[1] = 5, line[2] = 6, line[50] = kSlotMark, line[103] = 9, line[201] = 7;
  TSlotLine out = RecentreLine(line, 9);
  EXPECT_EQ(out[101], 9);
  EXPECT_EQ(out[48], kSlotMark);
  EXPECT_EQ(out[199], 7);
  EXPECT_EQ(out[1], 5);  // slots 1 and 2 fell off and went back in from slot 1
  EXPECT_EQ(out[2], 6);
  EXPECT_EQ(Count(out), 5);
  // The other way: what falls off the far end goes back in from slot 201.
  line = kEmptySlotLine;
  line[99] = 9, line[200] = 3, line[201] = 4, line[1] = 8;
  out = RecentreLine(line, 9);
  EXPECT_EQ(out[101], 9);
  EXPECT_EQ(out[3], 8);
  EXPECT_EQ(out[201], 4);
  EXPECT_EQ(out[200], 3);
  EXPECT_EQ(Count(out), 4);
  // Already centred, or not on the line at all: unchanged.
  EXPECT_EQ(Taken(RecentreLine(out, 9), 9), std::vector<int>{101});
  EXPECT_EQ(Taken(RecentreLine(line, 12), 8), std::vector<int>{1});
}

TEST_F(SlotLinesTest, MovePlayerToNearestSlot) {
  TSlotLine line = kEmptySlotLine;
  line[110] = 9, line[111] = 3;
  EXPECT_EQ(Taken(MovePlayerToNearestSlot(line, Slots, 9, 9.0f), 9), std::vector<int>{110});
  EXPECT_EQ(Taken(MovePlayerToNearestSlot(line, Slots, 9, 10.2f), 9), std::vector<int>{112});
  EXPECT_EQ(Taken(MovePlayerToNearestSlot(line, Slots, 9, -300.0f), 9), std::vector<int>{1});
  // Not on a full line: unchanged.
  TSlotLine full;
  for (int k = 1; k <= kSlotCount; ++k) full[k] = 2;
  EXPECT_EQ(Taken(MovePlayerToNearestSlot(full, Slots, 9, 0.0f), 9).size(), 0u);
}

TEST_F(SlotLinesTest, SpacingAlongLine) {
  const struct {
    int count;
    f32 low, high, gap, wanted;
    f32 start, outGap;
  } cases[] = {
      {4, 0, 30, 5, 10, 2.5f, 5},  {4, 0, 30, 5, 2, 0, 5},   {4, 0, 30, 5, 28, 15, 5},
      {4, 0, 12, 5, 10, 0, 4},     {2, 0, 30, 5, 40, 25, 5},
      // One player (or none) stands at Wanted, limited to the stretch.
      {1, 0, 30, 5, 10, 10, 5},    {1, 0, 30, 5, -4, 0, 5},   {0, 0, 30, 5, 31, 30, 5},
  };
  for (const auto& c : cases) {
    const TLineSpacing s = SpacingAlongLine(c.count, c.low, c.high, c.gap, c.wanted);
    EXPECT_FLOAT_EQ(s.Start, c.start) << c.count << " " << c.wanted;
    EXPECT_FLOAT_EQ(s.Gap, c.outGap) << c.count << " " << c.wanted;
  }
}

}  // namespace

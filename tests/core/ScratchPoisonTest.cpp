#include "core/ScratchPoison.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstring>

namespace {

TWorld W;
TWorld Before;

// Whether W and Before agree on the bytes [from, to) of the record.
bool SameBytes(size_t from, size_t to) {
  const auto* a = reinterpret_cast<const unsigned char*>(&W);
  const auto* b = reinterpret_cast<const unsigned char*>(&Before);
  return std::memcmp(a + from, b + from, to - from) == 0;
}

TEST(PoisonScratch, PoisonsEveryScratchFieldAndNothingElse) {
  std::memset(&W, 0, sizeof W);
  W.SearchFlag = kTrue32;
  W.FieldHalf.Families[1].OptionCount = 3;
  W.GroundFriction = 1.06f;
  W.ScratchValue5 = 2.0f;
  std::memcpy(&Before, &W, sizeof W);
  PoisonScratch(W);

  EXPECT_TRUE(std::isnan(W.ScratchValue1));
  EXPECT_TRUE(std::isnan(W.ScratchValue5));
  EXPECT_TRUE(std::isnan(W.SearchBestDist));
  EXPECT_TRUE(std::isnan(W.ScratchCircle[8].z));
  EXPECT_TRUE(std::isnan(W.ScratchVector.z));
  EXPECT_FALSE(IsPlayer(W.SearchBestIndex));
  EXPECT_FALSE(IsPlayer(W.SearchBestPlayer));
  EXPECT_FALSE(IsPlayer(W.ScratchPlayerList[1]));
  EXPECT_FALSE(IsPlayer(W.ScratchPriorityList[25]));
  EXPECT_NE(W.SearchFlag2, kTrue32);
  EXPECT_NE(W.SearchFlag2, kFalse32);
  EXPECT_GT(W.ScratchLine[1], 201);
  EXPECT_GT(W.ScratchLine[201], 201);

  // The flag that the timer step leaves for the decision step is kept, and
  // so is every field around the scratch.
  EXPECT_EQ(W.SearchFlag, kTrue32);
  const size_t line = offsetof(TWorld, ScratchLine);
  EXPECT_TRUE(SameBytes(0, line));
  EXPECT_TRUE(SameBytes(line + sizeof W.ScratchLine, offsetof(TWorld, ScratchPlayerList)));
  EXPECT_TRUE(SameBytes(offsetof(TWorld, FieldHalf), sizeof W));
}

}  // namespace

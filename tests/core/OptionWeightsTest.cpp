#include "core/OptionWeights.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The first n weights of zone row 1 after normalising a family of n options
// whose every row holds `row`.
std::vector<i16> Normalised(const std::vector<i16>& row) {
  TOptionFamily f{};
  f.OptionCount = static_cast<i16>(row.size());
  for (int z = 1; z <= 30; ++z) {
    for (size_t j = 0; j < row.size(); ++j) f.Weights[z][static_cast<int>(j) + 1] = row[j];
  }
  NormaliseOptionWeights(f);
  std::vector<i16> out;
  for (size_t j = 0; j < row.size(); ++j) {
    EXPECT_EQ(f.Weights[30][static_cast<int>(j) + 1], f.Weights[1][static_cast<int>(j) + 1]);
    out.push_back(f.Weights[1][static_cast<int>(j) + 1]);
  }
  return out;
}

TEST(OptionWeightsTest, RowsBecomePerMilleWithHalvesToEven) {
  struct Case {
    std::vector<i16> in, out;
  };
  const Case cases[] = {
      {{2, 1, 1}, {500, 250, 250}},
      {{100, 100, 30, 30, 5, 0}, {377, 377, 113, 113, 19, 0}},
      {{0, 0, 0, 0, 0, 0}, {167, 167, 167, 167, 167, 167}},
      {{0, 0, 0}, {333, 333, 333}},
      {{1, 15}, {62, 938}},  // 62.5 goes down to the even 62
      {{2, 2, 0}, {500, 500, 0}},
      {{-3, 1}, {500, 500}},  // a sum below 1 makes the row even
  };
  for (const Case& c : cases) EXPECT_EQ(Normalised(c.in), c.out);
}

TEST(OptionWeightsTest, OnlyTheFirstCountEntriesChange) {
  TOptionFamily f{};
  f.OptionCount = 2;
  f.Weights[4][1] = 3;
  f.Weights[4][2] = 1;
  f.Weights[4][3] = 99;
  NormaliseOptionWeights(f);
  EXPECT_EQ(f.Weights[4][1], 750);
  EXPECT_EQ(f.Weights[4][2], 250);
  EXPECT_EQ(f.Weights[4][3], 99);
  EXPECT_EQ(f.Weights[5][1], 500);  // an empty row is made even

  TOptionFamily none{};
  none.Weights[1][1] = 7;
  NormaliseOptionWeights(none);
  EXPECT_EQ(none.Weights[1][1], 7);
  none.OptionCount = -2;
  NormaliseOptionWeights(none);
  EXPECT_EQ(none.Weights[1][1], 7);
}

TEST(OptionWeightsTest, CountBeyondTheRowWidthStaysInsideTheRow) {
  TOptionFamily f{};
  f.OptionCount = 25;
  for (int j = 1; j <= 20; ++j) f.Weights[1][j] = 1;
  NormaliseOptionWeights(f);
  for (int j = 1; j <= 20; ++j) EXPECT_EQ(f.Weights[1][j], 50) << j;
}

}  // namespace

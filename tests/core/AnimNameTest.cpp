#include "core/AnimName.h"

#include <gtest/gtest.h>

#include <string>

// The word compares must agree with a byte-by-byte compare for every length
// a name can have: equal texts, a difference at each single position, and
// bytes past the length that differ (they must not be read as part of it).
TEST(SameShortText, AgreesWithByteCompareForEveryLengthAndPosition) {
  for (size_t n = 0; n <= 32; ++n) {
    char a[40], b[40];
    for (size_t k = 0; k < sizeof a; ++k) a[k] = b[k] = static_cast<char>('a' + k % 26);
    b[n] = 'X';  // past the length (a's byte there differs)
    EXPECT_TRUE(SameShortText(a, b, n)) << "length " << n;
    for (size_t at = 0; at < n; ++at) {
      const char keep = b[at];
      b[at] = static_cast<char>(keep ^ 0x20);
      EXPECT_FALSE(SameShortText(a, b, n)) << "length " << n << " differs at " << at;
      b[at] = keep;
    }
  }
}

TEST(TAnimName, EqualsOnlyTheSameTextOfTheSameLength) {
  TAnimName name{};
  name.Assign("breathingnormal");
  name.Assign("walk");  // the old text stays in the bytes past the length
  EXPECT_TRUE(name == "walk");
  EXPECT_FALSE(name == "walkbreathingnormal");
  EXPECT_FALSE(name == "wal");
  EXPECT_FALSE(name == "jogs");
  EXPECT_FALSE(name == "");
  name.Assign("");
  EXPECT_TRUE(name == "");
  const std::string longest(30, 'z');
  name.Assign(longest);
  EXPECT_TRUE(name == longest);
  EXPECT_FALSE(name == std::string(29, 'z') + "y");
}

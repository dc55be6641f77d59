#include "core/AnimName.h"

#include <gtest/gtest.h>

#include <string>

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

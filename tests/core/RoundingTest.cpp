#include "core/Rounding.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <climits>
#include <limits>

TEST(Rounding, TiesGoToEven) {
  const std::pair<double, double> cases[] = {{0.5, 0},   {1.5, 2},   {2.5, 2},   {3.5, 4},  {-0.5, -0.0},
                                             {-2.5, -2}, {-3.5, -4}, {2.4, 2},   {2.6, 3},  {-2.6, -3}};
  for (auto [x, r] : cases) EXPECT_EQ(RoundHalfEven(x), r) << x;
  EXPECT_EQ(RoundToI32(2.5), 2);
  EXPECT_EQ(RoundToI16(-3.5), -4);
  EXPECT_EQ(TruncToI32(-1.9), -1);
  EXPECT_EQ(TruncToI16(7.99), 7);
}

TEST(Rounding, FixedWidthsWrapOutOfRangeValues) {
  struct Case {
    double x;
    i32 i32Wrap;
    i16 i16Wrap;
    u16 u16Wrap;
  };
  const Case cases[] = {
      {2147483648.0, INT32_MIN, 0, 0},
      {-2147483649.0, INT32_MAX, -1, 65535},
      {4294967301.0, 5, 5, 5},
      {32768.0, 32768, INT16_MIN, 32768},
      {65537.0, 65537, 1, 1},
      {-1.0, -1, -1, 65535},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WrapToI32(c.x), c.i32Wrap) << c.x;
    EXPECT_EQ(WrapToI16(c.x), c.i16Wrap) << c.x;
    EXPECT_EQ(WrapToU16(c.x), c.u16Wrap) << c.x;
  }
}

TEST(Rounding, ClampedWidthsSaturate) {
  EXPECT_EQ(ClampToI32(-1e20), INT32_MIN);
  EXPECT_EQ(ClampToI32(1e20), INT32_MAX);
  EXPECT_EQ(ClampToI32(-5.0), -5);
  EXPECT_EQ(ClampToI16(40000.0), INT16_MAX);
  EXPECT_EQ(ClampToI16(-40000.0), INT16_MIN);
  EXPECT_EQ(ClampToI16(123.0), 123);
}

TEST(Rounding, NotANumberAndHugeValuesGiveZeroWithoutRaising) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  std::feclearexcept(FE_ALL_EXCEPT);
  EXPECT_EQ(RoundToI32(nan), 0);
  EXPECT_EQ(RoundToI16(nan), 0);
  EXPECT_EQ(TruncToI32(inf), 0);
  EXPECT_EQ(RoundToI32(-1e30), 0);
  EXPECT_EQ(ClampToI32(nan), 0);
  EXPECT_EQ(ClampToI16(nan), 0);
  EXPECT_EQ(std::fetestexcept(FE_INVALID | FE_OVERFLOW | FE_DIVBYZERO), 0);
}

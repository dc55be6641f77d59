#include "core/NumberFormat.h"

#include <gtest/gtest.h>

TEST(FormatGeneral, MatchesTheGeneralFormat) {
  struct Case {
    double v;
    const char* text;
  } cases[] = {
      {0.0, "0"},
      {-0.0, "0"},
      {1.5, "1.5"},
      {90.0 / 60.0, "1.5"},
      {static_cast<double>(1.85f), "1.85000002384186"},
      {2400.0, "2400"},
      {-12.25, "-12.25"},
      {1e-6, "1E-6"},
      {1.5e20, "1.5E20"},
      {1e-5, "0.00001"},
      {123456789012345.0, "123456789012345"},
      {1e15, "1E15"},
      {0.1, "0.1"},
      {1.0 / 3.0, "0.333333333333333"},
      {999999999999999.9, "1E15"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatGeneral(c.v), c.text) << c.v;
}

TEST(FormatFixed, RoundsExactTiesAwayFromZero) {
  struct Case {
    double v;
    int decimals;
    const char* text;
  } cases[] = {
      {10.25, 1, "10.3"},  {-10.25, 1, "-10.3"}, {2.5, 4, "2.5000"}, {1.0, 4, "1.0000"},
      {0.125, 2, "0.13"},  {9.96, 1, "10.0"},    {-0.04, 1, "0.0"},   {0.1, 1, "0.1"},
      {2.675, 2, "2.67"},  // 2.675 is stored just below the tie
      {7.0, 0, "7"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatFixed(c.v, c.decimals), c.text) << c.v;
}

TEST(FormatFixedPrecision, RoundsToSignificantDigitsThenPads) {
  struct Case {
    double v;
    const char* text;
  } cases[] = {
      {2.5, "2.5000"},       {1.0, "1.0000"},         {0.0, "0.0000"},
      {1234.56789, "1234.5680"}, {-0.00004, "0.0000"}, {0.00005, "0.0001"},
      {12345678.0, "1.234568E7"}, {9999999.96, "1E7"}, {0.03125, "0.0313"}, {-3.0, "-3.0000"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatFixedPrecision(c.v, 7, 4), c.text) << c.v;
}

TEST(FormatStat, RoundsToNineSignificantDigitsThenToTheDecimals) {
  struct Case {
    double v;
    int decimals;
    const char* text;
  } cases[] = {
      {10.25, 1, "10.3"},
      {-0.04, 1, "0.0"},
      {-1.0, 3, "-1.000"},
      {0.25, 4, "0.2500"},
      // 1199.9995 is stored just below the tie; nine digits make it one.
      {1199.9995, 3, "1200.000"},
      {2.675, 2, "2.68"},
      {-2.675, 2, "-2.68"},
      {12.5, 0, "13"},
      {0.0, 1, "0.0"},
      {123456789.4, 1, "123456789.0"},
      {999999999.7, 1, "1E9"},
      {1234567890.0, 2, "1.23456789E9"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatStat(c.v, c.decimals), c.text) << c.v << " " << c.decimals;
  EXPECT_EQ(FormatFixedPrecision(1199.9995, 9, 3), "1199.999");
}

TEST(MatchClockText, WholeMinutesAndRoundedSeconds) {
  struct Case {
    double clock;
    const char* text;
  } cases[] = {
      {static_cast<double>(754.6f), "12:35"},  // the match clock is a 32-bit float
      {119.6, "1:60"},                         // rounded seconds are not carried into the minutes
      {59.6, "0:60"},
      {0.0, "0:0"},
      {62.5, "1:2"},                           // a half goes to the even second
      {63.5, "1:4"},
      {2400.0, "40:0"},
  };
  for (const Case& c : cases) EXPECT_EQ(MatchClockText(c.clock), c.text) << c.clock;
}

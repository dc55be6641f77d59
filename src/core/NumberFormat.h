// Numbers as text, the same for every writer whatever the locale.
#pragma once

#include <string>

// The general format of reals: up to 15 significant digits of the exact
// value, '.' as separator, no trailing zeros, "0" for zero; fixed notation
// for 1E-5 <= |v| < 1E15, else mantissa + "E" + exponent ("1E-6", "1.5E20").
std::string FormatGeneral(double v);

// The same with `precision` significant digits (fixed notation below
// 10^precision): "1.234568E7" for 12345678 with 7.
std::string FormatGeneralDigits(double v, int precision);

// Fixed notation with `decimals` digits after the point; an exact tie is
// rounded away from zero (10.25 -> "10.3").
std::string FormatFixed(double v, int decimals);

// Fixed notation rounded to at most `precision` significant digits and
// `decimals` fraction digits, the fraction padded with zeros ("1234.5680"
// for 1234.56789 with 7 and 4); a value with more integer digits than
// `precision` is written in the general format with that many digits.
std::string FormatFixedPrecision(double v, int precision, int decimals);

// A statistics figure: the exact value rounded to 9 significant digits, then
// that to `decimals` fraction digits, an exact tie away from zero both times
// ("1200.000" for the double 1199.9995 with 3, where FormatFixedPrecision
// gives "1199.999"); zero has no minus sign ("0.0" for -0.04 with 1); more
// than 9 integer digits give FormatFixedPrecision's exponent form.
std::string FormatStat(double v, int decimals);

// A match time in the decision logs: whole minutes, ":" and the seconds past
// them rounded to the nearest whole second (a half to the even number), both
// without padding, so 754.6 s reads "12:35" and 59.6 s past a minute shows
// 60 seconds ("1:60" for 119.6 s).
std::string MatchClockText(double Clock);

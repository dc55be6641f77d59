#include "core/NumberFormat.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/Rounding.h"

namespace {

// Removes trailing zeros of a digit string (and returns what is left).
std::string TrimZeros(std::string digits) {
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  return digits;
}

}  // namespace

std::string FormatGeneral(double v) { return FormatGeneralDigits(v, 15); }

std::string FormatGeneralDigits(double v, int precision) {
  if (v == 0.0) return "0";
  if (std::isnan(v)) return "NAN";
  if (std::isinf(v)) return v > 0 ? "INF" : "-INF";
  // printf rounds the exact binary value to `precision` significant digits.
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*e", precision - 1, v);
  const char* p = buf;
  std::string out;
  if (*p == '-') {
    out += '-';
    ++p;
  }
  std::string digits;
  for (; *p && *p != 'e'; ++p)
    if (*p != '.') digits += *p;
  const int exponent = std::atoi(p + 1);
  digits = TrimZeros(digits);
  if (exponent >= -5 && exponent < precision) {
    if (exponent < 0) {
      out += "0.";
      out.append(static_cast<size_t>(-exponent - 1), '0');
      out += digits;
    } else {
      const size_t intLen = static_cast<size_t>(exponent) + 1;
      if (digits.size() <= intLen) {
        out += digits;
        out.append(intLen - digits.size(), '0');
      } else {
        out += digits.substr(0, intLen);
        out += '.';
        out += digits.substr(intLen);
      }
    }
  } else {
    out += digits[0];
    if (digits.size() > 1) {
      out += '.';
      out += digits.substr(1);
    }
    out += 'E';
    out += std::to_string(exponent);
  }
  return out;
}

namespace {

// A non-negative decimal number as its digits without the point, `intLen` of
// them before the point.
struct TDecimal {
  std::string digits;
  long intLen;
};

// The exact decimal expansion of |v| (glibc prints it digit for digit).
TDecimal ExactDecimal(double v) {
  char buf[512];
  std::snprintf(buf, sizeof buf, "%.80f", std::fabs(v));
  std::string s(buf);
  const size_t dot = s.find('.');
  return {s.substr(0, dot) + s.substr(dot + 1), static_cast<long>(dot)};
}

// Index of the first non-zero digit; the length when all are zero.
long FirstSignificant(const TDecimal& d) {
  long i = 0;
  while (i < static_cast<long>(d.digits.size()) && d.digits[static_cast<size_t>(i)] == '0') ++i;
  return i;
}

// Keeps the first `keep` digits and zeros the rest, rounding half away from
// zero on the digit that follows; a carry out of the first digit adds one.
void RoundDigits(TDecimal& d, long keep) {
  std::string& digits = d.digits;
  const long n = static_cast<long>(digits.size());
  const bool roundUp = keep >= 0 && keep < n && digits[static_cast<size_t>(keep)] >= '5';
  for (long i = keep < 0 ? 0 : keep; i < n; ++i) digits[static_cast<size_t>(i)] = '0';
  if (!roundUp) return;
  long i = keep - 1;
  while (i >= 0 && digits[static_cast<size_t>(i)] == '9') digits[static_cast<size_t>(i--)] = '0';
  if (i < 0) {
    digits.insert(digits.begin(), '1');
    ++d.intLen;
  } else {
    ++digits[static_cast<size_t>(i)];
  }
}

// Keeps at most `precision` significant digits.
void RoundSignificant(TDecimal& d, int precision) {
  const long firstSig = FirstSignificant(d);
  if (firstSig < static_cast<long>(d.digits.size())) RoundDigits(d, firstSig + precision);
}

// The integer digits (no leading zeros) and `decimals` fraction digits.
void SplitDecimal(const TDecimal& d, int decimals, std::string& intPart, std::string& frac) {
  intPart = d.digits.substr(0, static_cast<size_t>(d.intLen));
  while (intPart.size() > 1 && intPart[0] == '0') intPart.erase(intPart.begin());
  frac = d.digits.substr(static_cast<size_t>(d.intLen), static_cast<size_t>(decimals));
}

// Rounds the exact decimal expansion of |v| so that at most `precision`
// significant digits and `decimals` fraction digits remain (an exact tie
// goes away from zero), and returns the integer and fraction digits, the
// fraction padded with zeros to `decimals`.
void RoundExact(double v, int precision, int decimals, std::string& intPart, std::string& frac) {
  TDecimal d = ExactDecimal(v);
  long keep = d.intLen + decimals;  // digits kept, counted from the left
  const long firstSig = FirstSignificant(d);
  if (firstSig < static_cast<long>(d.digits.size()) && firstSig + precision < keep)
    keep = firstSig + precision;
  RoundDigits(d, keep);
  SplitDecimal(d, decimals, intPart, frac);
}

std::string JoinFixed(double v, const std::string& intPart, const std::string& frac) {
  std::string out = intPart;
  if (!frac.empty()) {
    out += '.';
    out += frac;
  }
  const bool zero = out.find_first_not_of("0.") == std::string::npos;
  if (v < 0 && !zero) out.insert(out.begin(), '-');
  return out;
}

}  // namespace

std::string FormatFixed(double v, int decimals) {
  if (!std::isfinite(v)) return FormatGeneral(v);
  std::string intPart, frac;
  RoundExact(v, 1 << 20, decimals, intPart, frac);
  return JoinFixed(v, intPart, frac);
}

std::string FormatFixedPrecision(double v, int precision, int decimals) {
  if (!std::isfinite(v)) return FormatGeneral(v);
  std::string intPart, frac;
  RoundExact(v, precision, decimals, intPart, frac);
  if (static_cast<int>(intPart.size()) > precision) return FormatGeneralDigits(v, precision);
  return JoinFixed(v, intPart, frac);
}

std::string FormatStat(double v, int decimals) {
  constexpr int kStatDigits = 9;
  if (!std::isfinite(v)) return FormatGeneral(v);
  TDecimal d = ExactDecimal(v);
  RoundSignificant(d, kStatDigits);
  std::string intPart, frac;
  SplitDecimal(d, decimals, intPart, frac);
  if (static_cast<int>(intPart.size()) > kStatDigits) return FormatFixedPrecision(v, kStatDigits, decimals);
  RoundDigits(d, d.intLen + decimals);
  SplitDecimal(d, decimals, intPart, frac);
  return JoinFixed(v, intPart, frac);
}

std::string MatchClockText(double Clock) {
  const double minutes = std::floor(Clock / 60.0);
  const double seconds = RoundHalfEven(Clock - 60.0 * minutes);
  return std::to_string(ClampToI32(minutes)) + ":" + std::to_string(ClampToI32(seconds));
}

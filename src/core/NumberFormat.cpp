#include "core/NumberFormat.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

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

// Rounds the exact decimal expansion of |v| so that at most `precision`
// significant digits and `decimals` fraction digits remain (an exact tie
// goes away from zero), and returns the integer and fraction digits, the
// fraction padded with zeros to `decimals`.
void RoundExact(double v, int precision, int decimals, std::string& intPart, std::string& frac) {
  // glibc prints the exact decimal expansion of a double.
  char buf[512];
  std::snprintf(buf, sizeof buf, "%.80f", std::fabs(v));
  std::string s(buf);
  const size_t dot = s.find('.');
  std::string digits = s.substr(0, dot) + s.substr(dot + 1);
  const long intLen = static_cast<long>(dot);
  long firstSig = 0;
  while (firstSig < static_cast<long>(digits.size()) && digits[static_cast<size_t>(firstSig)] == '0')
    ++firstSig;
  long keep = intLen + decimals;  // digits kept, counted from the left
  if (firstSig < static_cast<long>(digits.size()) && firstSig + precision < keep)
    keep = firstSig + precision;
  const bool roundUp = keep >= 0 && keep < static_cast<long>(digits.size()) &&
                       digits[static_cast<size_t>(keep)] >= '5';
  for (long i = keep < 0 ? 0 : keep; i < static_cast<long>(digits.size()); ++i)
    digits[static_cast<size_t>(i)] = '0';
  long i = keep - 1;
  if (roundUp) {
    while (i >= 0 && digits[static_cast<size_t>(i)] == '9') digits[static_cast<size_t>(i--)] = '0';
  }
  long grown = 0;
  if (roundUp) {
    if (i < 0) {
      digits.insert(digits.begin(), '1');
      grown = 1;
    } else {
      ++digits[static_cast<size_t>(i)];
    }
  }
  intPart = digits.substr(0, static_cast<size_t>(intLen + grown));
  while (intPart.size() > 1 && intPart[0] == '0') intPart.erase(intPart.begin());
  frac = digits.substr(static_cast<size_t>(intLen + grown), static_cast<size_t>(decimals));
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

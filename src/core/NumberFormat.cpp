#include "core/NumberFormat.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Removes trailing zeros of a digit string (and returns what is left).
std::string TrimZeros(std::string digits) {
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  return digits;
}

}  // namespace

std::string FormatGeneral(double v) {
  if (v == 0.0) return "0";
  if (std::isnan(v)) return "NAN";
  if (std::isinf(v)) return v > 0 ? "INF" : "-INF";
  // printf rounds the exact binary value to 15 significant digits.
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.14e", v);
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
  if (exponent >= -5 && exponent < 15) {
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

std::string FormatFixed(double v, int decimals) {
  if (!std::isfinite(v)) return FormatGeneral(v);
  // glibc prints the exact decimal expansion of a double, so the digit after
  // the last kept one tells a tie exactly; round it away from zero.
  char buf[512];
  std::snprintf(buf, sizeof buf, "%.80f", std::fabs(v));
  std::string s(buf);
  const size_t dot = s.find('.');
  std::string intPart = s.substr(0, dot);
  std::string frac = s.substr(dot + 1);
  const bool roundUp = frac[static_cast<size_t>(decimals)] >= '5';
  std::string kept = intPart + frac.substr(0, static_cast<size_t>(decimals));
  if (roundUp) {
    int i = static_cast<int>(kept.size()) - 1;
    while (i >= 0 && kept[static_cast<size_t>(i)] == '9') kept[static_cast<size_t>(i--)] = '0';
    if (i < 0)
      kept.insert(kept.begin(), '1');
    else
      ++kept[static_cast<size_t>(i)];
  }
  const size_t intLen = kept.size() - static_cast<size_t>(decimals);
  std::string out = kept.substr(0, intLen);
  if (decimals > 0) {
    out += '.';
    out.append(kept, intLen, std::string::npos);
  }
  bool allZero = true;
  for (char c : kept)
    if (c != '0') allZero = false;
  if (v < 0 && !allZero) out.insert(out.begin(), '-');
  return out;
}

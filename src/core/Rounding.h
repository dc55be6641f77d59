// Conversions of reals to whole numbers. Rounding is to nearest with ties to
// even (never std::round); a whole number kept in a fixed width wraps modulo
// 2^32 or 2^16, or is clamped where the caller says so. No conversion here is
// undefined behaviour, whatever the value, and none raises a floating-point
// flag (a not-a-number gives 0).
#pragma once

#include <cmath>
#include <cstdint>

#include "core/Arrays.h"

// Round to nearest, ties to even: 2.5 -> 2, 3.5 -> 4, -2.5 -> -2.
inline double RoundHalfEven(double x) { return std::nearbyint(x); }

// Round towards zero.
inline double TruncTowardZero(double x) { return std::trunc(x); }

namespace rounding_detail {
// A whole real as a 64-bit integer; not-a-number and values beyond the
// 64-bit range give 0 rather than undefined behaviour.
inline int64_t WholeToI64(double whole) {
  if (!std::isless(std::fabs(whole), 9223372036854775808.0)) return 0;
  return static_cast<int64_t>(whole);
}
}  // namespace rounding_detail

// A whole real kept in 32 or 16 bits: the low bits of its 64-bit integer.
inline i32 WrapToI32(double whole) {
  return static_cast<i32>(static_cast<u32>(static_cast<uint64_t>(rounding_detail::WholeToI64(whole))));
}
inline i16 WrapToI16(double whole) {
  return static_cast<i16>(static_cast<u16>(static_cast<uint64_t>(rounding_detail::WholeToI64(whole))));
}
inline u16 WrapToU16(double whole) {
  return static_cast<u16>(static_cast<uint64_t>(rounding_detail::WholeToI64(whole)));
}

// A real limited to the range of the width, for the values that clamp rather
// than wrap (not-a-number gives 0). A fraction is dropped: round first where
// the value is rounded.
inline i32 ClampToI32(double x) {
  if (std::isnan(x)) return 0;
  if (x <= -2147483648.0) return INT32_MIN;
  if (x >= 2147483647.0) return INT32_MAX;
  return static_cast<i32>(x);
}
inline i16 ClampToI16(double x) {
  if (std::isnan(x)) return 0;
  if (x <= -32768.0) return INT16_MIN;
  if (x >= 32767.0) return INT16_MAX;
  return static_cast<i16>(x);
}

// The usual conversions: rounded (ties to even) or truncated, then wrapped.
inline i32 RoundToI32(double x) { return WrapToI32(RoundHalfEven(x)); }
inline i32 TruncToI32(double x) { return WrapToI32(TruncTowardZero(x)); }
inline i16 RoundToI16(double x) { return WrapToI16(RoundHalfEven(x)); }
inline i16 TruncToI16(double x) { return WrapToI16(TruncTowardZero(x)); }
// Rounded (ties to even) into 64 bits; 0 beyond the 64-bit range.
inline int64_t RoundToI64(double x) { return rounding_detail::WholeToI64(RoundHalfEven(x)); }

// A kind code held as a float names a table row only when it is a whole
// number; anything else (fractions, NaN, huge values) gives -1, no row.
inline int WholeKind(f32 v) {
  if (!(v >= -1000.0f && v <= 1000.0f) || v != std::trunc(v)) return -1;
  return static_cast<int>(v);
}

// Plain fixed-size building blocks of the engine records: 1-based arrays,
// 32-bit flags and fixed-length text. All trivially copyable, so that the
// whole world record stays one block copy.
#pragma once

#include <cassert>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

using f32 = float;
using i16 = int16_t;
using u16 = uint16_t;
using i32 = int32_t;
using u32 = uint32_t;
using u8 = uint8_t;

// A real as a record field stores it: rounded to 32 bits.
inline constexpr f32 ToF32(double v) { return static_cast<f32>(v); }

// Flags stored in records: 0 false, -1 true; any nonzero value reads as true.
using bool32 = int32_t;
constexpr bool32 kTrue32 = -1;
constexpr bool32 kFalse32 = 0;
inline constexpr bool32 Flag(bool b) { return b ? kTrue32 : kFalse32; }

// An array indexed Lo..Hi as the records number them (1-based almost
// everywhere). Debug builds check the index; release builds do not.
template <class T, int Lo, int Hi>
struct Arr {
  static_assert(Hi >= Lo);
  static constexpr int kLow = Lo;
  static constexpr int kHigh = Hi;
  static constexpr int kSize = Hi - Lo + 1;
  T d[kSize];

  T& operator[](int i) {
    assert(i >= Lo && i <= Hi);
    return d[i - Lo];
  }
  const T& operator[](int i) const {
    assert(i >= Lo && i <= Hi);
    return d[i - Lo];
  }
  static constexpr bool InRange(int i) { return i >= Lo && i <= Hi; }
  T* begin() { return d; }
  T* end() { return d + kSize; }
  const T* begin() const { return d; }
  const T* end() const { return d + kSize; }
};

// 1-based array of N entries.
template <class T, int N>
using Arr1 = Arr<T, 1, N>;

// Fixed-length text with its current length, as the input and output files
// hold it. Characters past `len` may hold data (some writers fill fixed
// positions), but only the first `len` are the text.
template <int N>
struct ShortStr {
  u8 len;
  char s[N];

  void Assign(std::string_view v) {
    len = static_cast<u8>(v.size() < static_cast<size_t>(N) ? v.size() : N);
    if (len != 0) std::memcpy(s, v.data(), len);
  }
  std::string Str() const { return std::string(s, len); }
  std::string_view View() const { return std::string_view(s, len); }
  bool operator==(std::string_view v) const { return View() == v; }
};

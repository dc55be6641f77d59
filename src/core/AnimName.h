// The name of the animation a player plays, with a code the animation step
// keeps beside it so that it looks the name up once per change of animation
// rather than once per frame.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "core/Arrays.h"

// Whether the first N (at most 32) bytes of A and B agree: overlapping word
// compares in place of a library call, reading no byte beyond N.
template <class W>
bool SameWord(const char* A, const char* B, size_t At) {
  W a, b;
  std::memcpy(&a, A + At, sizeof a);
  std::memcpy(&b, B + At, sizeof b);
  return a == b;
}

inline bool SameShortText(const char* A, const char* B, size_t N) {
  using W8 = uint64_t;
  if (N >= 16)
    return SameWord<W8>(A, B, 0) && SameWord<W8>(A, B, 8) && SameWord<W8>(A, B, N - 16) && SameWord<W8>(A, B, N - 8);
  if (N >= 8) return SameWord<W8>(A, B, 0) && SameWord<W8>(A, B, N - 8);
  if (N >= 4) return SameWord<uint32_t>(A, B, 0) && SameWord<uint32_t>(A, B, N - 4);
  if (N >= 2) return SameWord<uint16_t>(A, B, 0) && SameWord<uint16_t>(A, B, N - 2);
  return N == 0 || A[0] == B[0];
}

// Text as ShortStr<30>, plus the code. Assign forgets the code; a copy of the
// record carries name and code together. Nothing else writes the name, so
// the code always belongs to it. The code fills the byte of padding after
// the name: the player record keeps its size and layout.
struct TAnimName {
  u8 len;
  char s[30];
  u8 RateCode;  // 0 until the animation step has looked the name up

  void Assign(std::string_view v) {
    len = static_cast<u8>(v.size() < sizeof s ? v.size() : sizeof s);
    if (len != 0) std::memcpy(s, v.data(), len);
    RateCode = 0;
  }
  std::string Str() const { return std::string(s, len); }
  std::string_view View() const { return std::string_view(s, len); }
  bool operator==(std::string_view v) const { return v.size() == len && SameShortText(s, v.data(), len); }
};
static_assert(sizeof(TAnimName) == 32);

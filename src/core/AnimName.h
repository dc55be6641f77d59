// The name of the animation a player plays, with a code the animation step
// keeps beside it so that it looks the name up once per change of animation
// rather than once per frame.
#pragma once

#include <cstring>
#include <string>
#include <string_view>

#include "core/Arrays.h"

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
  bool operator==(std::string_view v) const { return View() == v; }
};
static_assert(sizeof(TAnimName) == 32);

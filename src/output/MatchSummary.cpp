#include "output/MatchSummary.h"

TMatchSummary MatchSummary;

namespace {
constexpr int kAppearanceLength = 30;  // the age letter is the 30th character
constexpr i16 kDefaultAge = 18;
}  // namespace

i16 AgeFromAppearance(const ShortStr<30>& Appearance) {
  if (Appearance.len != kAppearanceLength) return kDefaultAge;
  const char letter = Appearance.s[kAppearanceLength - 1];
  if (letter < 'a' || letter > 'z') return kDefaultAge;
  return static_cast<i16>(17 + (letter - 'a'));
}
